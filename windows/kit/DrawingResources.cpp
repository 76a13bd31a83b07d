#include "DrawingResources.h"

#include <QApplication>
#include <QFontInfo>
#include <QPalette>

#include "DialogBuilder.h"

void CDrawingResources::Take(const QFont& font, const QColor& panel) {
    m_pUiFont = font;
    m_nFontHeight = QFontInfo(font).pixelSize();
    m_nLineStep = m_nFontHeight + m_nFontHeight / 3;
    m_crPanel = panel;
}

CDrawingResources& SharedDrawing() {
    static CDrawingResources resources = [] {
        CDrawingResources defaults;
        defaults.Take(TemplateFont("細明體", 9), QApplication::palette().color(QPalette::Window));
        return defaults;
    }();
    return resources;
}
