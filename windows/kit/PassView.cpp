#include "PassView.h"

#include <QCoreApplication>
#include <QPainter>
#include <cstdio>
#include <utility>

#include "DrawingResources.h"
#include "Texts.h"
#include "Timing.h"
#include "WindowDrawing.h"
#include "WindowText.h"

namespace {

const QColor kBlueOutline(0, 0, 200);
const QColor kRedOutline(255, 0, 0);
const QColor kWhite(255, 255, 255);

// The counters and panes go on the screen 25 times a second: as often as anyone can read them,
// and rarely enough that painting does not slow the pass.
constexpr std::uint32_t kFlushIntervalMs = 40;

CPassView* g_pNewestView = nullptr;

std::string Format(const char* format, long long number) {
    char text[256];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

}  // namespace

CPassView::CPassView(QWidget& window, CStatusBar& statusBar, QProgressBar& progress,
                     CPassLayout layout, std::function<void(bool)> showRunning)
    : m_window(window),
      m_statusBar(statusBar),
      m_progress(progress),
      m_layout(layout),
      m_fnShowRunning(std::move(showRunning)),
      m_pOuter(g_pNewestView) {
    g_pNewestView = this;
    SetMessagePump(&CPassView::PumpEvents);
}

CPassView::~CPassView() {
    if (g_pNewestView == this) {
        g_pNewestView = m_pOuter;
    }
    if (g_pNewestView == nullptr) {
        SetMessagePump(nullptr);
    }
}

int CPassView::PumpEvents() {
    // Events every time, for a quick Stop; the figures only every few tens of milliseconds.
    static std::uint32_t lastFlush = 0;
    const std::uint32_t now = GetTickCount();
    if (g_pNewestView != nullptr && now - lastFlush >= kFlushIntervalMs) {
        lastFlush = now;
        g_pNewestView->Flush();
    }
    QCoreApplication::processEvents();
    return 1;
}

void CPassView::Flush() {
    if (m_marker.Kind() != EMarker::None &&
        GetTickCount() - m_nLastMarkerStep > m_marker.IntervalMs()) {
        m_nLastMarkerStep = GetTickCount();
        m_statusBar.SetText(1, QString::fromStdString(m_marker.Step()));
    }
    if (!m_bDirty) {
        return;
    }
    m_bDirty = false;
    m_progress.setValue(m_nProgress);
    if (m_bOffset) {
        m_statusBar.SetText(2, QString::fromUtf8(Format(texts::kPaneOffset, m_nOffset)));
    }
    if (m_bRatio) {
        m_statusBar.SetText(3, QString::fromUtf8(Format(texts::kPaneRatio, m_nRatio)));
    }
    for (int pane = 1; pane < CStatusBar::kPanes; ++pane) {
        if (const char* text = m_apszStatus[static_cast<std::size_t>(pane)]) {
            m_statusBar.SetText(pane, QString::fromUtf8(text));
        }
    }
    m_window.update();
}

void CPassView::Paint(QPainter& painter) const {
    const CDrawingResources& drawing = SharedDrawing();
    painter.save();
    painter.setFont(drawing.m_pUiFont);
    const int fh = drawing.m_nFontHeight;
    auto outlined = [&](const QString& text, const QRect& box, int up, const QColor& outline) {
        if (!text.isEmpty()) {
            DrawOutlinedText(painter, text,
                             QRect(QPoint(box.left() + 1, box.top() - up), box.bottomRight()),
                             outline, kWhite, fh, drawing.m_crPanel);
        }
    };
    outlined(m_strFileName, m_layout.fileName, 8, kBlueOutline);
    outlined(ShownFoundCount(), m_layout.foundCount, 9, kRedOutline);
    outlined(ShownTranslatedCount(), m_layout.translatedCount, 9, kRedOutline);

    const QColor text = m_window.palette().color(QPalette::WindowText);
    for (int k = 0; k < m_layout.nPaneLines; ++k) {
        auto lineRect = [&](const QRect& pane) {
            const int top = pane.top() + k * drawing.m_nLineStep;
            return QRect(QPoint(pane.left() + fh, top), QPoint(pane.right() - fh, top + fh));
        };
        DrawPlainLine(painter, ShownSourceLine(k), lineRect(m_layout.source), text,
                      drawing.m_crPanel);
        DrawPlainLine(painter, ShownTranslationLine(k), lineRect(m_layout.translated), text,
                      drawing.m_crPanel);
    }
    painter.restore();
}

QString CPassView::ShownFoundCount() const {
    return m_bFound ? QString::number(m_nFound) : QString();
}

QString CPassView::ShownTranslatedCount() const {
    return m_bTranslated ? QString::number(m_nTranslated) : QString();
}

QString CPassView::ShownSourceLine(int line) const {
    const std::string& source = m_astrSource[static_cast<std::size_t>(line)];
    return QString::fromLatin1(source.data(), static_cast<qsizetype>(source.size()));
}

QString CPassView::ShownTranslationLine(int line) const {
    return FromDictionaryCode(m_astrTranslation[static_cast<std::size_t>(line)]);
}

void CPassView::SetTitle(const std::string& title) {
    m_window.setWindowTitle(QString::fromUtf8(title));
}

void CPassView::DrawFileName(const std::string& path) {
    m_strFileName = FromFileName(path);
    m_bDirty = true;
}

void CPassView::ShowRunning(bool bRunning) {
    m_fnShowRunning(bRunning);
}

void CPassView::EraseCounters() {
    m_bFound = false;
    m_bTranslated = false;
    m_bDirty = true;
}

void CPassView::DrawFoundCount(std::uint64_t count) {
    m_bFound = true;
    m_nFound = count;
    m_bDirty = true;
}

void CPassView::DrawTranslatedCount(std::int64_t count) {
    m_bTranslated = true;
    m_nTranslated = count;
    m_bDirty = true;
}

void CPassView::BlankPaneLines() {
    for (int k = 0; k < kMaxLines; ++k) {
        m_astrSource[static_cast<std::size_t>(k)].clear();
        m_astrTranslation[static_cast<std::size_t>(k)].clear();
    }
    m_bDirty = true;
}

// No more is kept than a pane line can show: 60 and 40 characters' room.
void CPassView::DrawSourceLine(int line, std::string_view source) {
    m_astrSource[static_cast<std::size_t>(line % m_layout.nPaneLines)].assign(source.substr(0, 64));
    m_bDirty = true;
}

void CPassView::DrawTranslationLine(int line, std::string_view translation) {
    m_astrTranslation[static_cast<std::size_t>(line % m_layout.nPaneLines)].assign(
        translation.substr(0, 128));
    m_bDirty = true;
}

void CPassView::SetProgress(int percent) {
    m_nProgress = percent;
    m_bDirty = true;
}

void CPassView::ShowRunOffset(std::int64_t pos) {
    m_bOffset = true;
    m_nOffset = pos;
    m_bDirty = true;
}

void CPassView::ShowRatio(unsigned percent) {
    m_bRatio = true;
    m_nRatio = percent;
    m_bDirty = true;
}

void CPassView::SetStatusText(int pane, const char* text) {
    if (pane >= 1 && pane < CStatusBar::kPanes) {
        m_apszStatus[static_cast<std::size_t>(pane)] = text;
        m_bDirty = true;
    }
}

void CPassView::StartMarker(EMarker kind) {
    m_marker = CProgressMarker(kind);
    m_nLastMarkerStep = GetTickCount();
}

void CPassView::ShowNotice(const std::string& text) {
    m_astrNotices.push_back(QString::fromStdString(text));
}

QStringList CPassView::TakeNotices() {
    return std::exchange(m_astrNotices, {});
}
