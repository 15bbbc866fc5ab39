// The child controls of our own classes: a coloured panel, a picture view and a radio group. Each passes its
// notifications on to the top-level window that owns the form, as a dialog's controls would reach the dialog.
#pragma once

#include <windows.h>

#include <string>

#include "core/FormDesc.h"
#include "core/Geometry.h"
#include "win/Handles.h"
#include "win/Window.h"

namespace velmo::win {

// The form descriptions are the core's; this layer builds windows from them.
using namespace velmo::form;

// WM_COMMAND notification codes of our own controls, beside the standard ones (BN_CLICKED, STN_DBLCLK).
inline constexpr WORD kNotifyMouseMove = 0x7F01;

// Sends WM_COMMAND with `code` for the child control `control` to the window that owns its form.
void NotifyForm(HWND control, WORD code);

// True for the messages a container passes on to the window that owns the form: WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*, WM_CONTEXTMENU.
bool IsChildNotification(UINT msg);

// A plain child window filled with one colour, with an optional bevel; it reports pointer movement
// (kNotifyMouseMove) and passes its children's notifications on.
class Panel : public Window {
public:
    void Create(HWND parent, const CreateArgs& args);
    void SetColor(COLORREF color);
    // A raised bevel of this width (> 0), a lowered one (< 0), or none.
    void SetBevel(int width);
    // An etched frame along the edge (a frame that groups other controls).
    void SetEtched(bool etched);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    UniqueBrush brush_;
    COLORREF color_ = RGB(192, 192, 192);
    int bevel_ = 0;
    bool etched_ = false;
};

// Holds one bitmap and draws it at natural size, centred, clipped to the control; the rest is the
// background colour. It reports double-clicks (STN_DBLCLK).
class Picture : public Window {
public:
    void Create(HWND parent, const CreateArgs& args);

    // Takes the bitmap (and its palette, which may be null) over; the previous ones are freed. A DIB section
    // deeper than 8 bits is replaced by a copy in the screen's format when the screen has 24 bits or more, so
    // bitmap() is then that copy; any other bitmap is kept as it is (a caller may go on drawing into it).
    void SetPicture(UniqueBitmap bitmap, UniquePalette palette);
    void Clear();
    HBITMAP bitmap() const { return bitmap_.get(); }     // not owned by the caller
    HPALETTE palette() const { return palette_.get(); }  // not owned by the caller
    // Gives the picture another palette; the previous one is freed.
    void SetPalette(UniquePalette palette) { palette_ = std::move(palette); }
    Size pictureSize() const { return size_; }

    // When set, the picture's palette is selected (foreground) and realised for every paint.
    void SetUsePalette(bool use) { usePalette_ = use; }
    void SetBackground(COLORREF color) { background_ = color; }

    void Show(bool visible);
    // The control's own visibility: IsWindowVisible would also say false while the parent window is hidden.
    bool Visible() const;
    // Repaints at once, without waiting for the message loop.
    void RepaintNow();

    // Draws into any DC: serves WM_PAINT and WM_PRINTCLIENT.
    void Paint(HDC hdc, const Rect& client) const;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    UniqueBitmap bitmap_;
    UniquePalette palette_;
    Size size_{};
    COLORREF background_ = RGB(0, 0, 0);
    bool usePalette_ = false;
};

// A group frame with its caption and one radio button per item, the items spread over its height. A click on
// an item reports BN_CLICKED for the group; the selection set by the program reports nothing.
class RadioGroup : public Window {
public:
    void Create(HWND parent, const CreateArgs& args, const Items& items, HFONT font);
    int ItemIndex() const;  // -1 when no item is selected
    void SetItemIndex(int index);

    // The messages a RadioGroupView sends, so that a non-owning view reaches the object.
    static constexpr UINT kGetIndex = WM_USER + 1;
    static constexpr UINT kSetIndex = WM_USER + 2;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int count_ = 0;
};

// Makes an owner-drawn BUTTON act on a click without taking the keyboard focus: the pointer is captured and
// the pushed state tracked here, and BN_CLICKED goes to the parent when the button is released over itself.
void MakeSpeedButton(HWND button);

}  // namespace velmo::win
