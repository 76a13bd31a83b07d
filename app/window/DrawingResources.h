// The drawing resources the windows share: the font of all hand-drawn text, its height, the
// distance between the lines of a content pane, and the panel colour behind hand-drawn text.
#pragma once

#include <QColor>
#include <QFont>

struct CDrawingResources {
    QFont m_pUiFont;
    int m_nFontHeight = 12;
    int m_nLineStep = 16;
    QColor m_crPanel;
};

// The one set, filled by the main window's initialisation.
CDrawingResources& SharedDrawing();
