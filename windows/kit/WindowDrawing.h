// Drawing shared by the main and the manual window.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

// One line of text in `face` with a one-pixel `outline`: drawn five times in a box whose right
// edge is the rectangle's right edge less `fontHeight` and whose height is `fontHeight` — left,
// right, above and below in the outline colour (the first one on an opaque `panel` background,
// which also clears the area behind the text), then in place in the face colour.
void DrawOutlinedText(QPainter& painter, const QString& text, const QRect& rect,
                      const QColor& outline, const QColor& face, int fontHeight,
                      const QColor& panel);

// One line of text at the top left of `rect`, clipped to it, in `colour` on an opaque `panel`
// background.
void DrawPlainLine(QPainter& painter, const QString& text, const QRect& rect, const QColor& colour,
                   const QColor& panel);
