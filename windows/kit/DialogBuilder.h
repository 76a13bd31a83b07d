// Turns a dialog template into widgets: one child widget per control, at its rectangle converted
// from dialog units with the template font's metrics, found again by its numeric id.
#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <map>

#include "DialogTemplate.h"

class CDialogControls {
  public:
    // Builds `dialog` from `tmpl`: caption, font, fixed client size and every control.
    CDialogControls(QDialog& dialog, const DialogTemplate& tmpl);

    // The control of that id (the last one, for ids used twice); throws when there is none.
    QWidget* Control(int id) const;
    // The control of that id as the class the caller expects; throws std::logic_error when it is
    // of another class, as when an id of one template is used with another.
    template <class T>
    T* Get(int id) const {
        QWidget* control = Control(id);
        if (auto* typed = qobject_cast<T*>(control)) {
            return typed;
        }
        ThrowWrongClass(id, T::staticMetaObject.className(), *control);
    }

    const QFont& Font() const { return m_font; }
    // Dialog units to pixels, as Windows converts them: x by a quarter of the font's average
    // character width, y by an eighth of its height.
    QRect ToPixels(int x, int y, int width, int height) const;

  private:
    [[noreturn]] static void ThrowWrongClass(int id, const char* expected, const QWidget& control);

    QFont m_font;
    int m_nBaseX = 1;
    int m_nBaseY = 1;
    std::map<int, QWidget*> m_mapControls;
};

// The font a template names ("細明體", "新細明體"): the Ming face of that family on this system, or
// any CJK face Qt finds.
QFont TemplateFont(const char* family, int pointSize);
