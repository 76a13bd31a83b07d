// Dialog templates as data: each window is a table of controls with their ids, kinds, captions
// and rectangles in dialog units, built into widgets by one builder.
#pragma once

#include <span>

enum class EControlKind {
    PushButton,
    GroupBox,
    Static,
    Edit,
    CheckBox,
    RadioButton,
    ComboBox,
    Slider,
    ProgressBar,
};

// Style flags of a control.
enum EControlStyle : unsigned {
    kStyleNone = 0,
    kStyleDisabled = 1u << 0,
    kStyleAutoHScroll = 1u << 1,  // edit: scrolls instead of refusing text wider than the box
    kStyleBorder = 1u << 2,
    kStyleGroupStart = 1u << 3,  // radio: begins a group
    kStyleAutoTicks = 1u << 4,   // slider: a tick for every position
    kStyleHidden = 1u << 5,
};

// The id of controls the program never addresses (labels, frames).
inline constexpr int kNoControlId = 65535;

struct ControlTemplate {
    int id;
    EControlKind kind;
    const char* caption;
    int x, y, width, height;  // dialog units
    unsigned style;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;  // dialog units
    const char* font;
    int pointSize;
    std::span<const ControlTemplate> controls;
};

// The template of that id; every template the program has is listed in DialogTemplates.cpp.
const DialogTemplate& FindDialogTemplate(int id);
