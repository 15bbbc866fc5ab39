// Form descriptions: a window's controls, fonts and colours as one constexpr table, and the dock arithmetic that
// places them. Pure data without Windows types, so the tables are checked by native tests; the Win32 layer
// (src/win/Form) builds the windows from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "core/Geometry.h"

namespace velmo::form {

// A colour laid out as a COLORREF: 0x00BBGGRR.
using Color = uint32_t;
constexpr Color Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}
// The system's colour for the control (window text, button face).
inline constexpr Color kSystemColor = 0xFF000000u;

enum class ControlKind {
    Panel,         // a container of our own class, filled with its colour, optionally bevelled
    Image,         // a picture drawn centred at its natural size
    Label,         // STATIC text
    SpeedButton,   // an owner-drawn BUTTON with a raised frame that takes no keyboard focus
    PushButton,    // a standard BUTTON
    Edit,          // a one-line EDIT
    CheckBox,      // BUTTON, BS_AUTOCHECKBOX
    RadioGroup,    // a container of our own class with a group frame and one radio button per item
    DropDownList,  // COMBOBOX, CBS_DROPDOWNLIST
    ListBox,       // LISTBOX
    Header,        // the common controls' column header
    Bevel,         // an etched frame
};

// Docked controls take their place from what their parent's client area has left, in table order within each
// kind: first those docked to the top, then to the left, then the one that fills the rest.
enum class Dock { None, Top, Left, Client };

enum ControlFlag : uint32_t {
    kHidden = 1u << 0,     // created without WS_VISIBLE
    kBold = 1u << 1,       // a speed button's caption starts bold (a mark the program may move)
    kNoFocus = 1u << 2,    // never takes the keyboard focus and is skipped by Tab
    kOwnerDraw = 1u << 3,  // the window draws the items (list boxes)
    kBorder = 1u << 4,     // a one-pixel border
};

// Face, character height in pixels (without internal leading) and colour of a text.
struct FontDesc {
    const wchar_t* face;
    int height;
    bool bold;
    bool italic;
    Color color;
};

// An item of a list, combo box or radio group, or a header section (with its width).
struct ItemDesc {
    const wchar_t* text;
    int width;
};

struct Items {
    const ItemDesc* items = nullptr;
    int count = 0;
};

template <size_t N>
constexpr Items ItemsOf(const ItemDesc (&items)[N]) {
    return {items, static_cast<int>(N)};
}

// The id that names the window's own client area as a parent.
inline constexpr int kFormClient = 0;
// Control ids start here, clear of IDOK (1) and IDCANCEL (2), which Enter and Escape send.
inline constexpr int kFirstControlId = 100;

// One control. `parent` is the id of the control that contains it, or kFormClient; parents come before their
// children in the table. Table order is creation order and so the tab order.
struct ControlDesc {
    int parent;
    ControlKind kind;
    int id;
    const char* name;
    Rect bounds;  // in the parent's client pixels; a docked control uses only the width or height it needs
    Dock dock;
    const wchar_t* text;
    int font;          // index into the form's font table
    Color background;  // kSystemColor: the parent's colour for labels, the system's for the rest
    uint32_t flags;
    Items items;
    int itemHeight;  // list and combo box items; 0 for the control's own choice
    int bevel;       // panels: width of a raised bevel (> 0) or a lowered one (< 0); 0 for none
};

struct FormDesc {
    const wchar_t* className;
    const wchar_t* caption;
    Size client;
    const FontDesc* fonts;  // fonts[0] is the window's own font
    int fontCount;
    const ControlDesc* controls;
    int controlCount;
};

// An item of a pop-up menu; the caption "-" is a separator line. A hidden item is not put into the menu.
struct MenuItemDesc {
    int id;
    const char* name;
    const wchar_t* caption;
    bool checked;
    bool hidden = false;
};

// The place of every docked child of `parent` inside a client area of `client` size, and of undocked children
// their table bounds. `place(index, rect)` is called once for each child, in table order.
template <typename Place>
void LayoutChildren(const FormDesc& form, int parent, Size client, Place&& place) {
    Rect rest{0, 0, client.width, client.height};
    auto clampSize = [](int32_t v) { return v < 0 ? 0 : v; };
    for (Dock pass : {Dock::None, Dock::Top, Dock::Left, Dock::Client}) {
        for (int i = 0; i < form.controlCount; ++i) {
            const ControlDesc& c = form.controls[i];
            if (c.parent != parent || c.dock != pass)
                continue;
            switch (c.dock) {
                case Dock::None:
                    place(i, c.bounds);
                    break;
                case Dock::Top: {
                    const int32_t h = c.bounds.height < rest.height ? c.bounds.height : rest.height;
                    place(i, Rect{rest.left, rest.top, rest.width, clampSize(h)});
                    rest.top += h;
                    rest.height = clampSize(rest.height - h);
                    break;
                }
                case Dock::Left: {
                    const int32_t w = c.bounds.width < rest.width ? c.bounds.width : rest.width;
                    place(i, Rect{rest.left, rest.top, clampSize(w), rest.height});
                    rest.left += w;
                    rest.width = clampSize(rest.width - w);
                    break;
                }
                case Dock::Client:
                    place(i, rest);
                    break;
            }
        }
    }
}

// The control that the label at `index` names: the next row, when it has the same parent and is a control that
// shows no caption of its own (an edit or a drop-down list), whose name is then the label's text. Null for any
// other row.
constexpr const ControlDesc* NamedControl(const FormDesc& form, int index) {
    if (index < 0 || index + 1 >= form.controlCount || form.controls[index].kind != ControlKind::Label)
        return nullptr;
    const ControlDesc& next = form.controls[index + 1];
    const bool nameless = next.kind == ControlKind::Edit || next.kind == ControlKind::DropDownList;
    return nameless && next.parent == form.controls[index].parent ? &next : nullptr;
}

// The index of the control with this id in the table, or -1.
constexpr int IndexOf(const FormDesc& form, int id) {
    for (int i = 0; i < form.controlCount; ++i) {
        if (form.controls[i].id == id)
            return i;
    }
    return -1;
}

}  // namespace velmo::form
