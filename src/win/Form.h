// Form descriptions: the controls and menu items of a window as data tables.
#pragma once

#include <cstdint>

#include "core/Geometry.h"

namespace velmo::win {

enum class ControlKind { Panel, Image, Label, Button, Edit, CheckBox, RadioButton, ListBox, ComboBox };

enum class Align { None, Client };

// One control: its kind, id and design name, its place in client pixels, its caption and whether it starts
// visible. Handlers are bound by the owning window, by id.
struct ControlDesc {
    ControlKind kind;
    int id;
    const char* name;
    Rect bounds;
    Align align;
    const wchar_t* text;
    bool visible;
};

struct MenuItemDesc {
    int id;
    const char* name;
    const wchar_t* caption;  // "-" is a separator line
    bool checked;
};

}  // namespace velmo::win
