#include "WindowDrawing.h"

namespace {

void DrawAt(QPainter& painter, const QString& text, int left, int top, int right, int height,
            const QColor& colour, const QColor* pBackground) {
    const QRect box(QPoint(left, top), QPoint(right, top + height - 1));
    if (pBackground != nullptr) {
        painter.fillRect(
            QRect(box.topLeft(), QSize(painter.fontMetrics().horizontalAdvance(text), height))
                .intersected(box),
            *pBackground);
    }
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace

void DrawOutlinedText(QPainter& painter, const QString& text, const QRect& rect,
                      const QColor& outline, const QColor& face, int fontHeight,
                      const QColor& panel) {
    painter.save();
    const int right = rect.right() - fontHeight;
    const int x = rect.left();
    const int y = rect.top();
    painter.setClipRect(QRect(QPoint(x - 1, y - 1), QPoint(right + 1, y + fontHeight)));
    DrawAt(painter, text, x - 1, y, right, fontHeight, outline, &panel);
    DrawAt(painter, text, x + 1, y, right, fontHeight, outline, nullptr);
    DrawAt(painter, text, x, y - 1, right, fontHeight, outline, nullptr);
    DrawAt(painter, text, x, y + 1, right, fontHeight, outline, nullptr);
    DrawAt(painter, text, x, y, right, fontHeight, face, nullptr);
    painter.restore();
}

void DrawPlainLine(QPainter& painter, const QString& text, const QRect& rect, const QColor& colour,
                   const QColor& panel) {
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(
        QRect(rect.topLeft(), QSize(painter.fontMetrics().horizontalAdvance(text), rect.height()))
            .intersected(rect),
        panel);
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
}
