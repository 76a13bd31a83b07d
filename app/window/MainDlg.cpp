#include "MainDlg.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <cstdio>

#include "BatchPass.h"
#include "DrawingResources.h"
#include "FailureReport.h"
#include "Startup.h"
#include "Texts.h"
#include "Timing.h"
#include "WindowDrawing.h"
#include "WindowText.h"

namespace {

constexpr int kIdLoad = 1001;
constexpr int kIdStart = 1002;
constexpr int kIdExit = 1003;
constexpr int kIdSettings = 1005;
constexpr int kIdStop = 1006;
constexpr int kIdManual = 1007;
constexpr int kIdFileName = 1071;
constexpr int kIdFound = 1072;
constexpr int kIdTranslated = 1073;
constexpr int kIdSource = 1074;
constexpr int kIdTranslation = 1075;
constexpr int kIdProgress = 1039;

// The hand-drawn texts are placed against rectangles measured from the window's outer corner
// (a frame and a caption bar above the client area) but drawn in client coordinates; the
// offsets of the drawing then put them inside their boxes.
constexpr int kNonClientLeft = 3;
constexpr int kNonClientTop = 22;

const QColor kBlueOutline(0, 0, 200);
const QColor kRedOutline(255, 0, 0);
const QColor kWhite(255, 255, 255);

CMainDlg* g_pPumpWindow = nullptr;
constexpr std::uint32_t kFlushIntervalMs = 40;

// The file filter of Load in Qt's form: "label (patterns)" entries separated by ";;", every
// pattern matching without regard to case (*.EXE also takes app.exe and App.Exe).
QString LoadFilter() {
    const QStringList parts = QString::fromUtf8(texts::kLoadFilter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].trimmed().split(';')) {
            QString anyCase;
            for (const QChar c : pattern) {
                anyCase += c.isLetter() ? QString("[%1%2]").arg(c.toUpper(), c.toLower()) : c;
            }
            patterns << anyCase;
        }
        filters << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

QStringList ChooseProgramFiles(QWidget* parent) {
    return QFileDialog::getOpenFileNames(parent, QString(), QString(), LoadFilter(), nullptr,
                                         QFileDialog::HideNameFilterDetails);
}

std::string Format(const char* format, long long number) {
    char text[256];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

}  // namespace

CDrawingResources& SharedDrawing() {
    static CDrawingResources resources;
    return resources;
}

CMainDlg::CMainDlg(AppState& state, CTranslationEngine& engine, Openers openers)
    : m_state(state), m_engine(engine), m_openers(std::move(openers)) {
    g_pPumpWindow = this;
    SetMessagePump(&CMainDlg::PumpWindowEvents);
}

CMainDlg::~CMainDlg() {
    if (g_pPumpWindow == this) {
        g_pPumpWindow = nullptr;
        SetMessagePump(nullptr);
    }
}

int CMainDlg::DoModal() {
    OnInitDialog();
    return exec();
}

int CMainDlg::PumpWindowEvents() {
    // Events every time, for a quick Stop; the counters and panes 25 times a second, which is
    // as often as anyone can read them and keeps painting from slowing the pass.
    static std::uint32_t lastFlush = 0;
    const std::uint32_t now = GetTickCount();
    if (g_pPumpWindow != nullptr && now - lastFlush >= kFlushIntervalMs) {
        lastFlush = now;
        g_pPumpWindow->FlushDisplay();
    }
    QCoreApplication::processEvents();
    return 1;
}

void CMainDlg::OnInitDialog() {
    // The steps without a window: translator record, defaults, main dictionary, direction and
    // start-up folder. A missing record asks for the identity before the window is built.
    const StartupResult startup = StartUp(m_state, m_engine);
    if (startup.bAskTranslator && m_openers.askTranslator) {
        m_openers.askTranslator(this);
    }
    InitWindow();
    ConnectButtons();
    for (const std::exception_ptr& failure : startup.failures) {
        ReportFailureLater(this, failure);
    }
}

void CMainDlg::InitWindow() {
    m_pControls = std::make_unique<CDialogControls>(*this, FindDialogTemplate(102));
    const QIcon icon(":/vokra/icon128.xpm");
    setWindowIcon(icon);
    setWindowTitle(QString::fromUtf8(texts::kMainTitle));
    m_bmpLogo = QPixmap(":/vokra/logo135.xpm");

    CDrawingResources& drawing = SharedDrawing();
    drawing.m_pUiFont = m_pControls->Control(kIdFileName)->font();
    drawing.m_nFontHeight = QFontInfo(drawing.m_pUiFont).pixelSize();
    drawing.m_nLineStep = drawing.m_nFontHeight + drawing.m_nFontHeight / 3;
    drawing.m_crPanel = palette().color(QPalette::Window);

    // The status bar along the bottom edge; its panes end at quarters of the window's width.
    m_statusBar = new CStatusBar(this);
    const int barHeight = drawing.m_nFontHeight + 10;
    m_statusBar->setGeometry(0, height() - barHeight, width(), barHeight);
    const int w = width() / 4;
    m_anStatusParts = {1, 1 + w, 1 + 2 * w, 1 + 3 * w, 1 + 4 * w};
    m_statusBar->SetParts(m_anStatusParts);
    m_statusBar->SetText(1, QString::fromUtf8(texts::kPaneLogo), true);
    m_statusBar->SetText(2, QString::fromUtf8(texts::kPaneOffsetInitial));
    m_statusBar->SetText(3, QString::fromUtf8(texts::kPaneRatioInitial));
    m_statusBar->SetText(4, QString::fromUtf8(texts::kPaneStateIdle));
    m_statusBar->SetLogo(m_bmpLogo);
    m_nStatusInnerHeight = m_statusBar->InnerHeight();

    m_pProgress = m_pControls->Get<QProgressBar>(kIdProgress);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);

    auto outer = [this](int id) {
        return m_pControls->Control(id)->geometry().translated(kNonClientLeft, kNonClientTop);
    };
    m_rcFileName = outer(kIdFileName);
    m_rcFoundCount = outer(kIdFound);
    m_rcTranslatedCount = outer(kIdTranslated);
    m_rcSource = outer(kIdSource);
    m_rcTranslated = outer(kIdTranslation);

    EnableButton(kIdStart, false);
    EnableButton(kIdStop, false);
}

void CMainDlg::ConnectButtons() {
    auto connectButton = [this](int id, void (CMainDlg::*handler)()) {
        connect(m_pControls->Get<QPushButton>(id), &QPushButton::clicked, this,
                [this, handler] { RunUserAction(this, [this, handler] { (this->*handler)(); }); });
    };
    connectButton(kIdLoad, &CMainDlg::OnLoad);
    connectButton(kIdStart, &CMainDlg::OnStart);
    connectButton(kIdExit, &CMainDlg::OnExit);
    connectButton(kIdSettings, &CMainDlg::OnSettings);
    connectButton(kIdStop, &CMainDlg::OnStop);
    connectButton(kIdManual, &CMainDlg::OnManual);
}

void CMainDlg::EnableButton(int id, bool bEnabled) {
    m_pControls->Control(id)->setEnabled(bEnabled);
}

void CMainDlg::OnLoad() {
    const QStringList chosen = m_fnChooseFiles ? m_fnChooseFiles(this) : ChooseProgramFiles(this);
    // A cancelled choice keeps the earlier list, so that Start still has its files.
    if (chosen.isEmpty()) {
        return;
    }
    for (std::string& file : m_state.m_astrFiles) {
        file.clear();
    }
    m_state.m_nFileCount = static_cast<int>(std::min<qsizetype>(chosen.size(), kMaxFiles));
    for (int i = 0; i < m_state.m_nFileCount; ++i) {
        m_state.m_astrFiles[static_cast<std::size_t>(i)] = chosen[i].toStdString();
    }
    m_state.m_nFileIndex = 0;

    // The current directory becomes the folder of the chosen files: backups land there.
    const std::string folder = QFileInfo(chosen[0]).absolutePath().toStdString();
    if (chdir(folder.c_str()) == 0) {
        CopyText(m_state.m_szFileDir, folder);
    }

    const std::string& first = m_state.m_astrFiles[0];
    SplitPath(first, m_state);
    char title[1024];
    std::snprintf(title, sizeof title, texts::kMainTitleLoaded, m_state.m_nFileCount,
                  m_state.m_szFname, m_state.m_szExt);
    setWindowTitle(QString::fromUtf8(title));
    DrawFileName(first);
    EraseCounters();
    BlankPaneLines();
    SetProgress(0);
    FlushDisplay();
    EnableButton(kIdStart, true);
}

void CMainDlg::OnStart() {
    // The pass runs here, inside the handler; it keeps the window alive through the message
    // pump, where Stop and Settings are handled. A file error ends it (RunUserAction reports it).
    struct FlushAtEnd {
        CMainDlg* dlg;
        ~FlushAtEnd() { dlg->FlushDisplay(); }
    } flush{this};
    RunBatch(m_state, m_engine, *this);
}

void CMainDlg::OnStop() {
    StopBatch(m_state, *this);
    FlushDisplay();
}

void CMainDlg::OnExit() {
    m_state.m_pMainDictBuf = {};
    m_state.m_pPlugInDictBuf = {};
    m_state.m_pPlugInDictUpperBuf = {};
    close();
}

void CMainDlg::OnSettings() {
    if (m_openers.openSettings) {
        m_openers.openSettings(this);
        m_state.m_nActiveDialog = 0;
    }
}

void CMainDlg::OnManual() {
    if (m_openers.openManual) {
        m_openers.openManual(this);
        m_state.m_nActiveDialog = 0;
    }
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    // While a pass runs the window stays.
    if (m_state.m_bStopped == 0) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CMainDlg::reject() {
    if (m_state.m_bStopped != 0) {
        QDialog::reject();
    }
}

// --- What a pass shows: noted here, put on the screen by FlushDisplay. ---

void CMainDlg::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromUtf8(title));
}

void CMainDlg::DrawFileName(const std::string& path) {
    m_shown.fileName = FromFileName(path);
    m_shown.bDirty = true;
}

void CMainDlg::ShowRunning(bool bRunning) {
    for (int id : {kIdLoad, kIdStart, kIdExit, kIdManual}) {
        EnableButton(id, !bRunning);
    }
    EnableButton(kIdStop, bRunning);
}

void CMainDlg::EraseCounters() {
    m_shown.bFound = false;
    m_shown.bTranslated = false;
    m_shown.bDirty = true;
}

void CMainDlg::DrawFoundCount(unsigned count) {
    m_shown.bFound = true;
    m_shown.found = count;
    m_shown.bDirty = true;
}

void CMainDlg::DrawTranslatedCount(int count) {
    m_shown.bTranslated = true;
    m_shown.translated = count;
    m_shown.bDirty = true;
}

void CMainDlg::BlankPaneLines() {
    for (int k = 0; k < 4; ++k) {
        m_shown.source[static_cast<std::size_t>(k)].clear();
        m_shown.translation[static_cast<std::size_t>(k)].clear();
    }
    m_shown.bDirty = true;
}

// No more is kept than a pane line can show: 60 and 40 characters' room.
void CMainDlg::DrawSourceLine(int line, std::string_view source) {
    m_shown.source[static_cast<std::size_t>(line & 3)].assign(source.substr(0, 64));
    m_shown.bDirty = true;
}

void CMainDlg::DrawTranslationLine(int line, std::string_view translation) {
    m_shown.translation[static_cast<std::size_t>(line & 3)].assign(translation.substr(0, 128));
    m_shown.bDirty = true;
}

void CMainDlg::SetProgress(int percent) {
    m_shown.progress = percent;
    m_shown.bDirty = true;
}

void CMainDlg::ShowRunOffset(std::int64_t pos) {
    m_shown.bOffset = true;
    m_shown.offset = pos;
    m_shown.bDirty = true;
}

void CMainDlg::ShowRatio(unsigned percent) {
    m_shown.bRatio = true;
    m_shown.ratio = percent;
    m_shown.bDirty = true;
}

void CMainDlg::SetStatusText(int pane, const char* text) {
    if (pane == 4) {
        m_shown.state = text;
        m_shown.bDirty = true;
    } else if (m_statusBar != nullptr) {
        m_statusBar->SetText(pane, QString::fromUtf8(text));
    }
}

void CMainDlg::FlushDisplay() {
    if (!m_shown.bDirty || m_pControls == nullptr) {
        return;
    }
    m_shown.bDirty = false;
    m_pProgress->setValue(m_shown.progress);
    if (m_shown.bOffset) {
        m_statusBar->SetText(2, QString::fromUtf8(Format(texts::kPaneOffset, m_shown.offset)));
    }
    if (m_shown.bRatio) {
        m_statusBar->SetText(3, QString::fromUtf8(Format(texts::kPaneRatio, m_shown.ratio)));
    }
    if (m_shown.state != nullptr) {
        m_statusBar->SetText(4, QString::fromUtf8(m_shown.state));
    }
    update();
}

QString CMainDlg::ShownCounter(int id) const {
    if (id == kIdFound) {
        return m_shown.bFound ? QString::number(m_shown.found) : QString();
    }
    return m_shown.bTranslated ? QString::number(m_shown.translated) : QString();
}

QString CMainDlg::ShownPaneLine(int id, int line) const {
    const auto k = static_cast<std::size_t>(line);
    return id == kIdSource ? QString::fromLatin1(m_shown.source[k].data(),
                                                 static_cast<qsizetype>(m_shown.source[k].size()))
                           : FromDictionaryCode(m_shown.translation[k]);
}

void CMainDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (m_pControls == nullptr) {
        return;
    }
    const CDrawingResources& drawing = SharedDrawing();
    QPainter painter(this);
    painter.setFont(drawing.m_pUiFont);
    const int fh = drawing.m_nFontHeight;

    if (!m_shown.fileName.isEmpty()) {
        DrawOutlinedText(painter, m_shown.fileName,
                         QRect(QPoint(m_rcFileName.left() + 1, m_rcFileName.top() - 8),
                               m_rcFileName.bottomRight()),
                         kBlueOutline, kWhite, fh, drawing.m_crPanel);
    }
    auto drawCounter = [&](const QRect& box, const QString& text) {
        if (!text.isEmpty()) {
            DrawOutlinedText(painter, text,
                             QRect(QPoint(box.left() + 1, box.top() - 9), box.bottomRight()),
                             kRedOutline, kWhite, fh, drawing.m_crPanel);
        }
    };
    drawCounter(m_rcFoundCount, ShownCounter(kIdFound));
    drawCounter(m_rcTranslatedCount, ShownCounter(kIdTranslated));

    const QColor text = palette().color(QPalette::WindowText);
    for (int k = 0; k < 4; ++k) {
        auto lineRect = [&](const QRect& pane) {
            const int top = pane.top() + k * drawing.m_nLineStep;
            return QRect(QPoint(pane.left() + fh, top), QPoint(pane.right() - fh, top + fh));
        };
        DrawPlainLine(painter, ShownPaneLine(kIdSource, k), lineRect(m_rcSource), text,
                      drawing.m_crPanel);
        DrawPlainLine(painter, ShownPaneLine(kIdTranslation, k), lineRect(m_rcTranslated), text,
                      drawing.m_crPanel);
    }
}
