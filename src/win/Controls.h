// The custom child controls of the program's windows: a coloured panel and a picture view.
#pragma once

#include <windows.h>

#include <functional>

#include "core/Geometry.h"
#include "win/Form.h"
#include "win/Handles.h"
#include "win/Window.h"

namespace velmo::win {

// A plain child window filled with one colour; it reports pointer movement.
class Panel : public Window {
public:
    void Create(HWND parent, const ControlDesc& control);
    void SetColor(COLORREF color);
    // A raised bevel of this width around the edge; 0 for none.
    void SetBevel(int width);
    std::function<void()> onMouseMove;
    // Colours for child STATIC controls (WM_CTLCOLORSTATIC); returns the background brush.
    std::function<HBRUSH(HDC, HWND)> onControlColor;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    UniqueBrush brush_;
    COLORREF color_ = RGB(192, 192, 192);
    int bevel_ = 0;
};

// Holds one bitmap and draws it at natural size, centred, clipped to the control; the rest is the
// background colour. It reports double-clicks.
class Picture : public Window {
public:
    void Create(HWND parent, const ControlDesc& control);

    // Takes the bitmap (and its palette, which may be null) over; the previous ones are freed.
    void SetPicture(UniqueBitmap bitmap, UniquePalette palette);
    void Clear();
    HBITMAP bitmap() const { return bitmap_.get(); }     // not owned by the caller
    HPALETTE palette() const { return palette_.get(); }  // not owned by the caller
    void SetPalette(UniquePalette palette) { palette_ = std::move(palette); }
    Size pictureSize() const { return size_; }

    // When set, the picture's palette is selected (foreground) and realised for every paint.
    void SetUsePalette(bool use) { usePalette_ = use; }
    void SetBackground(COLORREF color) { background_ = color; }

    void Show(bool visible);
    bool Visible() const;
    // Repaints at once, without waiting for the message loop.
    void RepaintNow();

    // Draws into any DC: serves WM_PAINT and WM_PRINTCLIENT.
    void Paint(HDC hdc, const Rect& client) const;

    std::function<void()> onDoubleClick;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    UniqueBitmap bitmap_;
    UniquePalette palette_;
    Size size_{};
    COLORREF background_ = RGB(0, 0, 0);
    bool usePalette_ = false;
};

}  // namespace velmo::win
