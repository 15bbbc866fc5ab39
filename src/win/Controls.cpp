#include "win/Controls.h"

#include <commctrl.h>
#include <windowsx.h>

namespace velmo::win {

namespace {

Rect ClientRect(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

// Passes a child's notification on to the window that owns the form; its answer is the container's answer.
LRESULT ForwardToForm(HWND container, UINT msg, WPARAM wp, LPARAM lp) {
    HWND root = GetAncestor(container, GA_ROOT);
    if (!root || root == container)
        return DefWindowProcW(container, msg, wp, lp);
    return SendMessageW(root, msg, wp, lp);
}

}  // namespace

void NotifyForm(HWND control, WORD code) {
    HWND root = GetAncestor(control, GA_ROOT);
    if (root && root != control) {
        const int id = GetDlgCtrlID(control);
        SendMessageW(root, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }
}

bool IsChildNotification(UINT msg) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORDLG:
        case WM_CONTEXTMENU:
            return true;
    }
    return false;
}

void Panel::Create(HWND parent, const CreateArgs& args) {
    // WS_EX_CONTROLPARENT lets Tab and the arrow keys walk into the panel's children.
    CreateArgs panel = args;
    panel.style |= WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    panel.exStyle |= WS_EX_CONTROLPARENT;
    panel.parent = parent;
    Window::Create({L"VelmoPanel", 0, nullptr}, panel);
}

void Panel::SetColor(COLORREF color) {
    color_ = color;
    brush_.reset();
    if (Exists())
        InvalidateRect(hwnd(), nullptr, TRUE);
}

void Panel::SetEtched(bool etched) {
    etched_ = etched;
    if (Exists())
        InvalidateRect(hwnd(), nullptr, TRUE);
}

void Panel::SetBevel(int width) {
    bevel_ = width;
    if (Exists())
        InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT Panel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The panel's own menu request (WM_CONTEXTMENU) goes up with its children's.
    if (IsChildNotification(msg))
        return ForwardToForm(hwnd(), msg, wp, lp);
    switch (msg) {
        case WM_ERASEBKGND: {
            if (!brush_)
                brush_.reset(CreateSolidBrush(color_));
            HDC hdc = reinterpret_cast<HDC>(wp);
            RECT rc;
            GetClientRect(hwnd(), &rc);
            FillRect(hdc, &rc, brush_.get());
            // Raised: light on the top and left edges, shadow on the bottom and right; lowered the other way.
            HBRUSH light = GetSysColorBrush(bevel_ > 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
            HBRUSH dark = GetSysColorBrush(bevel_ > 0 ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
            const int width = bevel_ > 0 ? bevel_ : -bevel_;
            for (int i = 0; i < width; ++i) {
                RECT top{rc.left + i, rc.top + i, rc.right - i, rc.top + i + 1};
                RECT left{rc.left + i, rc.top + i, rc.left + i + 1, rc.bottom - i};
                RECT bottom{rc.left + i, rc.bottom - i - 1, rc.right - i, rc.bottom - i};
                RECT right{rc.right - i - 1, rc.top + i, rc.right - i, rc.bottom - i};
                FillRect(hdc, &top, light);
                FillRect(hdc, &left, light);
                FillRect(hdc, &bottom, dark);
                FillRect(hdc, &right, dark);
            }
            if (etched_)
                DrawEdge(hdc, &rc, EDGE_ETCHED, BF_RECT);
            return 1;
        }
        case WM_MOUSEMOVE:
            NotifyForm(hwnd(), kNotifyMouseMove);
            return 0;
    }
    return Default(msg, wp, lp);
}

void Picture::Create(HWND parent, const CreateArgs& args) {
    CreateArgs picture = args;
    picture.style |= WS_CHILD | WS_CLIPSIBLINGS;
    picture.parent = parent;
    Window::Create({L"VelmoImage", CS_DBLCLKS, nullptr}, picture);
}

namespace {

// A copy of a DIB section deeper than 8 bits in the screen's own format, or null when the section is better
// drawn as it is. Blitting a 24-bit section to a 32-bit screen converts every pixel on every paint; the copy
// is converted once here and then only copied, which makes the reveal of a large picture markedly faster.
// A picture of 8 bits or fewer stays a section: it keeps its indices for its palette and for saving, and it is
// small. A screen of fewer than 24 bits would lose colours in the copy, so there the section stays too, as
// does a plain 32-bit section on a 32-bit screen, which is in the screen's format already.
UniqueBitmap ScreenFormatCopy(HBITMAP bitmap) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) || section.dsBm.bmBitsPixel <= 8)
        return UniqueBitmap();
    WindowDc screen(nullptr);
    const int screenBits = screen ? GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES) : 0;
    if (screenBits < 24 ||
        (screenBits == 32 && section.dsBm.bmBitsPixel == 32 && section.dsBmih.biCompression == BI_RGB))
        return UniqueBitmap();
    const int width = section.dsBm.bmWidth;
    const int height = section.dsBm.bmHeight;
    UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), width, height));
    UniqueDc from(CreateCompatibleDC(screen.get()));
    UniqueDc to(CreateCompatibleDC(screen.get()));
    if (!copy || !from || !to)
        return UniqueBitmap();  // short of memory: the section is drawn as it is
    SelectGuard source(from.get(), bitmap);
    SelectGuard target(to.get(), copy.get());
    if (!BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY))
        return UniqueBitmap();
    return copy;
}

}  // namespace

void Picture::SetPicture(UniqueBitmap bitmap, UniquePalette palette) {
    // The section goes once its copy is made, so the picture is held once.
    if (bitmap) {
        if (UniqueBitmap copy = ScreenFormatCopy(bitmap.get()))
            bitmap = std::move(copy);
    }
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

    // Fill around the picture only, so a repaint does not flicker through black.
    {
        UniqueBrush background(CreateSolidBrush(background_));
        UniqueRegion rest(
            CreateRectRgn(client.left, client.top, client.left + client.width, client.top + client.height));
        if (bitmap_) {
            UniqueRegion picture(CreateRectRgn(left, top, left + size_.width, top + size_.height));
            CombineRgn(rest.get(), rest.get(), picture.get(), RGN_DIFF);
        }
        FillRgn(hdc, rest.get(), background.get());
    }

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
            NotifyForm(hwnd(), STN_DBLCLK);
            return 0;
    }
    return Default(msg, wp, lp);
}

namespace {

constexpr int kGroupFrameId = 0xFFFF;  // the frame is a STATIC-like part of the group, not a control of its own

// Where the radio buttons go inside a group of `size`: below the caption, spread evenly over the rest.
Rect ItemRect(Size size, int index, int count) {
    const int top = 14;
    const int bottom = 4;
    const int step = count > 0 ? (size.height - top - bottom) / count : 0;
    return {8, top + index * step, size.width - 12, step < 17 ? step : 17};
}

}  // namespace

void RadioGroup::Create(HWND parent, const CreateArgs& args, const Items& items, HFONT font) {
    CreateArgs group = args;
    group.style |= WS_CHILD | WS_CLIPSIBLINGS;
    group.exStyle |= WS_EX_CONTROLPARENT;
    group.parent = parent;
    Window::Create({L"VelmoRadioGroup", 0, GetSysColorBrush(COLOR_BTNFACE)}, group);
    const Size size{args.bounds.width, args.bounds.height};
    HWND frame = CreateControl(L"BUTTON", {args.text, WS_VISIBLE | BS_GROUPBOX, 0, {0, 0, size.width, size.height},
                                           hwnd(), static_cast<UINT>(kGroupFrameId)});
    SendMessageW(frame, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    count_ = items.count;
    for (int i = 0; i < items.count; ++i) {
        // The first item starts the group and holds the tab stop; the arrow keys move within the group.
        const DWORD style = WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        HWND item = CreateControl(L"BUTTON", {items.items[i].text, style, 0, ItemRect(size, i, items.count), hwnd(),
                                              static_cast<UINT>(i + 1)});
        SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The frame is drawn over by the items, so it goes to the bottom of the z-order (and the tab order).
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int RadioGroup::ItemIndex() const {
    for (int i = 0; i < count_; ++i) {
        if (IsDlgButtonChecked(hwnd(), i + 1) == BST_CHECKED)
            return i;
    }
    return -1;
}

void RadioGroup::SetItemIndex(int index) {
    for (int i = 0; i < count_; ++i)
        CheckDlgButton(hwnd(), i + 1, i == index ? BST_CHECKED : BST_UNCHECKED);
}

LRESULT RadioGroup::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kGetIndex:
            return ItemIndex();
        case kSetIndex:
            SetItemIndex(static_cast<int>(wp));
            return 0;
        case WM_COMMAND: {
            const int item = LOWORD(wp);
            if (item >= 1 && item <= count_ && HIWORD(wp) == BN_CLICKED) {
                // An auto radio button checks itself before it reports; the group reports once per click.
                NotifyForm(hwnd(), BN_CLICKED);
                return 0;
            }
            break;
        }
    }
    if (IsChildNotification(msg))
        return ForwardToForm(hwnd(), msg, wp, lp);
    return Default(msg, wp, lp);
}

namespace {

LRESULT CALLBACK SpeedButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A standard button takes the focus here; a speed button only captures the pointer.
            SetCapture(hwnd);
            SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
            return 0;
        case WM_MOUSEMOVE:
            if (GetCapture() == hwnd) {
                RECT rc;
                GetClientRect(hwnd, &rc);
                const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                const BOOL inside = PtInRect(&rc, pt);
                const BOOL pushed = (SendMessageW(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
                if (inside != pushed)
                    SendMessageW(hwnd, BM_SETSTATE, inside, 0);
            }
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd) {
                RECT rc;
                GetClientRect(hwnd, &rc);
                const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                ReleaseCapture();  // WM_CAPTURECHANGED clears the pushed look
                if (PtInRect(&rc, pt) && IsWindowEnabled(hwnd)) {
                    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(hwnd));
                }
            }
            return 0;
        case WM_CAPTURECHANGED:
            SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            // Without the focus no keys arrive; a focus given by the program does not make the space bar click.
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &SpeedButtonProc, 0);
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void MakeSpeedButton(HWND button) {
    if (!SetWindowSubclass(button, &SpeedButtonProc, 0, 0))
        throw AppError(L"", "SetWindowSubclass", GetLastError());
}

}  // namespace velmo::win
