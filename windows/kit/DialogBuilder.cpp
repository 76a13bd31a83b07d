#include "DialogBuilder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <stdexcept>
#include <string>

// The pictures (icon 128, logo 135) are compiled into this library; a static library must
// register them itself.
static void InitPictures() {
    static const bool bDone = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    static_cast<void>(bDone);
}

QFont TemplateFont(const char* family, int pointSize) {
    QFont font;
    // The templates' 細明體 and 新細明體 are Ming faces; AR PL UMing is one of the same family and
    // metrics. Fall back to any CJK face.
    font.setFamilies({QString::fromUtf8(family), "AR PL UMing TW", "AR PL UMing TW MBE",
                      "AR PL UMing CN", "Noto Serif CJK TC", "Noto Sans CJK TC",
                      "WenQuanYi Zen Hei"});
    font.setPointSize(pointSize);
    return font;
}

namespace {

QWidget* MakeControl(const ControlTemplate& control, QDialog& dialog, QButtonGroup*& radios) {
    const QString caption = QString::fromUtf8(control.caption);
    switch (control.kind) {
        case EControlKind::PushButton: {
            auto* button = new QPushButton(caption, &dialog);
            // No button is the dialog's default: Enter does not press one by itself.
            button->setAutoDefault(false);
            button->setDefault(false);
            return button;
        }
        case EControlKind::GroupBox:
            return new QGroupBox(caption, &dialog);
        case EControlKind::Static:
            return new QLabel(caption, &dialog);
        case EControlKind::Edit: {
            auto* edit = new QLineEdit(caption, &dialog);
            edit->setFrame((control.style & kStyleBorder) != 0);
            return edit;
        }
        case EControlKind::CheckBox:
            return new QCheckBox(caption, &dialog);
        case EControlKind::RadioButton: {
            auto* radio = new QRadioButton(caption, &dialog);
            if (radios == nullptr || (control.style & kStyleGroupStart) != 0) {
                radios = new QButtonGroup(&dialog);
            }
            radios->addButton(radio, control.id);
            return radio;
        }
        case EControlKind::ComboBox:
            return new QComboBox(&dialog);
        case EControlKind::Slider: {
            auto* slider = new QSlider(Qt::Horizontal, &dialog);
            if ((control.style & kStyleAutoTicks) != 0) {
                slider->setTickPosition(QSlider::TicksBelow);
                slider->setTickInterval(1);
            }
            return slider;
        }
        case EControlKind::ProgressBar: {
            auto* bar = new QProgressBar(&dialog);
            bar->setTextVisible(false);
            return bar;
        }
    }
    throw std::logic_error("unknown control kind");
}

}  // namespace

CDialogControls::CDialogControls(QDialog& dialog, const DialogTemplate& tmpl)
    : m_font(TemplateFont(tmpl.font, tmpl.pointSize)) {
    InitPictures();
    const QFontMetrics metrics(m_font);
    // Windows' dialog base units: the average width of the 52 letters, rounded, and the height.
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_nBaseX = std::max(1, (letters / 26 + 1) / 2);
    m_nBaseY = std::max(1, metrics.height());

    dialog.setWindowTitle(QString::fromUtf8(tmpl.caption));
    dialog.setFont(m_font);
    dialog.setFixedSize(ToPixels(0, 0, tmpl.width, tmpl.height).size());

    QButtonGroup* radios = nullptr;
    for (const ControlTemplate& control : tmpl.controls) {
        QWidget* widget = MakeControl(control, dialog, radios);
        widget->setObjectName(QString::number(control.id));
        QRect geometry = ToPixels(control.x, control.y, control.width, control.height);
        if (control.kind == EControlKind::ComboBox) {
            // A drop-down list's template height is that of its open list; closed, it is one
            // line high.
            geometry.setHeight(widget->sizeHint().height());
        }
        widget->setGeometry(geometry);
        widget->setEnabled((control.style & kStyleDisabled) == 0);
        widget->setVisible((control.style & kStyleHidden) == 0);
        m_mapControls[control.id] = widget;
    }
}

QWidget* CDialogControls::Control(int id) const {
    auto it = m_mapControls.find(id);
    if (it == m_mapControls.end()) {
        throw std::out_of_range("no control " + std::to_string(id));
    }
    return it->second;
}

void CDialogControls::ThrowWrongClass(int id, const char* expected, const QWidget& control) {
    throw std::logic_error("control " + std::to_string(id) + " is a " +
                           control.metaObject()->className() + ", not a " + expected);
}

QRect CDialogControls::ToPixels(int x, int y, int width, int height) const {
    auto mulDiv = [](int value, int base, int units) { return (value * base + units / 2) / units; };
    return QRect(mulDiv(x, m_nBaseX, 4), mulDiv(y, m_nBaseY, 8), mulDiv(width, m_nBaseX, 4),
                 mulDiv(height, m_nBaseY, 8));
}
