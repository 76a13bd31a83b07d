#include "StatusBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

CStatusBar::CStatusBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CStatusBar::SetParts(const std::array<int, kPanes>& rightEdges) {
    m_anParts = rightEdges;
    update();
}

void CStatusBar::SetText(int pane, const QString& text, bool bBorderless) {
    const auto index = static_cast<std::size_t>(pane);
    if (m_astrTexts[index] == text && m_abBorderless[index] == bBorderless) {
        return;
    }
    m_astrTexts[index] = text;
    m_abBorderless[index] = bBorderless;
    update();
}

void CStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    int left = 0;
    for (int pane = 0; pane < kPanes; ++pane) {
        const auto index = static_cast<std::size_t>(pane);
        const QRect box(QPoint(left, 0), QPoint(m_anParts[index] - 1, height() - 1));
        left = m_anParts[index] + 2;
        if (box.width() <= 2) {
            continue;
        }
        if (!m_abBorderless[index]) {
            // A sunken pane, as status bars draw them.
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(box.topLeft(), box.topRight());
            painter.drawLine(box.topLeft(), box.bottomLeft());
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(box.bottomLeft(), box.bottomRight());
            painter.drawLine(box.topRight(), box.bottomRight());
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(box.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         QString(m_astrTexts[index]).replace('\t', "    "));
    }
    if (!m_logo.isNull()) {
        painter.drawPixmap(QRect(2, 2, m_anParts[1] - 3, InnerHeight() - 1), m_logo);
    }
}
