#include "win/Controls.h"

#include <windowsx.h>

namespace velmo::win {

namespace {

Rect ClientRect(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

Rect DescribedBounds(HWND parent, const ControlDesc& control) {
    return control.align == Align::Client ? ClientRect(parent) : control.bounds;
}

}  // namespace

void Panel::Create(HWND parent, const ControlDesc& control) {
    Window::Create({L"VelmoPanel", 0, nullptr},
                   {control.text, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (control.visible ? DWORD{WS_VISIBLE} : DWORD{0}), 0,
                    DescribedBounds(parent, control), parent, static_cast<UINT>(control.id)});
}

void Panel::SetColor(COLORREF color) {
    color_ = color;
    brush_.reset();
    if (Exists())
        InvalidateRect(hwnd(), nullptr, TRUE);
}

void Panel::SetBevel(int width) {
    bevel_ = width;
    if (Exists())
        InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT Panel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            if (!brush_)
                brush_.reset(CreateSolidBrush(color_));
            HDC hdc = reinterpret_cast<HDC>(wp);
            RECT rc;
            GetClientRect(hwnd(), &rc);
            FillRect(hdc, &rc, brush_.get());
            // Raised: light on the top and left edges, shadow on the bottom and right.
            for (int i = 0; i < bevel_; ++i) {
                RECT top{rc.left + i, rc.top + i, rc.right - i, rc.top + i + 1};
                RECT left{rc.left + i, rc.top + i, rc.left + i + 1, rc.bottom - i};
                RECT bottom{rc.left + i, rc.bottom - i - 1, rc.right - i, rc.bottom - i};
                RECT right{rc.right - i - 1, rc.top + i, rc.right - i, rc.bottom - i};
                FillRect(hdc, &top, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
                FillRect(hdc, &left, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
                FillRect(hdc, &bottom, GetSysColorBrush(COLOR_BTNSHADOW));
                FillRect(hdc, &right, GetSysColorBrush(COLOR_BTNSHADOW));
            }
            return 1;
        }
        case WM_CTLCOLORSTATIC:
            if (onControlColor)
                return reinterpret_cast<LRESULT>(onControlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
            break;
        case WM_MOUSEMOVE:
            if (onMouseMove)
                onMouseMove();
            return 0;
    }
    return Default(msg, wp, lp);
}

void Picture::Create(HWND parent, const ControlDesc& control) {
    Window::Create({L"VelmoImage", CS_DBLCLKS, nullptr},
                   {control.text, WS_CHILD | WS_CLIPSIBLINGS | (control.visible ? DWORD{WS_VISIBLE} : DWORD{0}), 0,
                    DescribedBounds(parent, control), parent, static_cast<UINT>(control.id)});
}

void Picture::SetPicture(UniqueBitmap bitmap, UniquePalette palette) {
    bitmap_ = std::move(bitmap);
    palette_ = std::move(palette);
    size_ = {};
    BITMAP info{};
    if (bitmap_ && GetObjectW(bitmap_.get(), sizeof(info), &info))
        size_ = {info.bmWidth, info.bmHeight};
    if (Exists())
        InvalidateRect(hwnd(), nullptr, FALSE);
}

void Picture::Clear() {
    SetPicture(UniqueBitmap(), UniquePalette());
}

void Picture::Show(bool visible) {
    if (Exists() && Visible() != visible)
        ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

// The control's own visibility: IsWindowVisible would also say false while the parent window is hidden.
bool Picture::Visible() const {
    return Exists() && (GetWindowLongW(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Picture::RepaintNow() {
    if (Exists()) {
        InvalidateRect(hwnd(), nullptr, FALSE);
        UpdateWindow(hwnd());
    }
}

void Picture::Paint(HDC hdc, const Rect& client) const {
    // Centre the picture; a picture larger than the control shows its middle part.
    int left = client.left + (client.width - size_.width) / 2;
    int top = client.top + (client.height - size_.height) / 2;

    UniqueBrush background(CreateSolidBrush(background_));
    // Fill around the picture only, so a repaint does not flicker through black.
    HRGN rest = CreateRectRgn(client.left, client.top, client.left + client.width, client.top + client.height);
    if (bitmap_) {
        HRGN picture = CreateRectRgn(left, top, left + size_.width, top + size_.height);
        CombineRgn(rest, rest, picture, RGN_DIFF);
        DeleteObject(picture);
    }
    FillRgn(hdc, rest, background.get());
    DeleteObject(rest);

    if (!bitmap_)
        return;
    UniqueDc memory(CreateCompatibleDC(hdc));
    if (!memory)
        return;
    SelectGuard select(memory.get(), bitmap_.get());
    if (usePalette_ && palette_) {
        PaletteGuard target(hdc, palette_.get());
        RealizePalette(hdc);
        BitBlt(hdc, left, top, size_.width, size_.height, memory.get(), 0, 0, SRCCOPY);
    } else {
        BitBlt(hdc, left, top, size_.width, size_.height, memory.get(), 0, 0, SRCCOPY);
    }
}

LRESULT Picture::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintDc paint(hwnd());
            Paint(paint.get(), ClientRect(hwnd()));
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wp), ClientRect(hwnd()));
            return 0;
        case WM_LBUTTONDBLCLK:
            if (onDoubleClick)
                onDoubleClick();
            return 0;
    }
    return Default(msg, wp, lp);
}

}  // namespace velmo::win
