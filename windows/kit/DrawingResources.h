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

    // The font and the panel colour; the height and the line step follow from the font.
    void Take(const QFont& font, const QColor& panel);
};

// The one set: the main window's initialisation takes the font of its file-name box and the
// system's panel colour; until then (a window opened on its own, in a test) the template font and
// the application's panel colour.
CDrawingResources& SharedDrawing();
