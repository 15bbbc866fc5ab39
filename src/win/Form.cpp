#include "win/Form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <stdexcept>

namespace velmo::win {

namespace {

int CALLBACK NoteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) {
    reinterpret_cast<std::set<std::wstring>*>(faces)->insert(font->lfFaceName);
    return 1;
}

}  // namespace

// The installed families are asked for once, all at a time: a question a face costs several milliseconds under
// Wine, and the splash's fonts alone ask about ten, before the splash can show.
bool FaceInstalled(const wchar_t* face) {
    static const std::set<std::wstring> installed = [] {
        std::set<std::wstring> faces;
        LOGFONTW query{};
        query.lfCharSet = SHIFTJIS_CHARSET;  // an empty face name: every family with Japanese characters
        WindowDc screen(nullptr);
        EnumFontFamiliesExW(screen.get(), &query, &NoteFace, reinterpret_cast<LPARAM>(&faces), 0);
        return faces;
    }();
    return installed.count(face) > 0;
}

const wchar_t* NearestFace(const wchar_t* face, const std::function<bool(const wchar_t*)>& installed) {
    if (installed(face))
        return face;
    const std::wstring name(face);
    const bool mincho = name.find(L"明朝") != std::wstring::npos || name.find(L"Mincho") != std::wstring::npos;
    const bool proportional = name.find(L"Ｐ") != std::wstring::npos || name.find(L"P") != std::wstring::npos;
    static const std::vector<const wchar_t*> kMincho = {L"ＭＳ 明朝", L"MS Mincho", L"IPA明朝", L"IPAMincho",
                                                        L"游明朝", L"Yu Mincho", L"Noto Serif CJK JP"};
    static const std::vector<const wchar_t*> kPMincho = {L"ＭＳ Ｐ明朝", L"MS PMincho", L"IPAP明朝", L"IPAPMincho",
                                                         L"游明朝", L"Yu Mincho", L"Noto Serif CJK JP"};
    static const std::vector<const wchar_t*> kGothic = {L"ＭＳ ゴシック", L"MS Gothic", L"IPAゴシック",
                                                        L"IPAGothic", L"メイリオ", L"Meiryo", L"Noto Sans CJK JP"};
    static const std::vector<const wchar_t*> kPGothic = {L"ＭＳ Ｐゴシック", L"MS PGothic", L"IPAPゴシック",
                                                         L"IPAPGothic", L"メイリオ", L"Meiryo", L"Noto Sans CJK JP"};
    const std::vector<const wchar_t*>& list =
        mincho ? (proportional ? kPMincho : kMincho) : (proportional ? kPGothic : kGothic);
    for (const wchar_t* candidate : list) {
        if (installed(candidate))
            return candidate;
    }
    // None of them: the font mapper picks a face for the Japanese character set.
    return face;
}

namespace {

UniqueFont MakeFont(const FontDesc& font, bool bold) {
    LOGFONTW info{};
    info.lfHeight = -font.height;  // character height, without internal leading
    info.lfWeight = (font.bold || bold) ? FW_BOLD : FW_NORMAL;
    info.lfItalic = font.italic ? TRUE : FALSE;
    // With the Japanese character set the font mapper picks the nearest Japanese face when this one is missing.
    info.lfCharSet = SHIFTJIS_CHARSET;
    info.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(info.lfFaceName, NearestFace(font.face, &FaceInstalled), LF_FACESIZE);
    UniqueFont handle(CreateFontIndirectW(&info));
    if (!handle)
        throw AppError(L"", "CreateFontIndirectW", GetLastError());
    return handle;
}

COLORREF TextColor(const FontDesc& font) {
    return font.color == kSystemColor ? GetSysColor(COLOR_WINDOWTEXT) : static_cast<COLORREF>(font.color);
}

// The size a label's text needs in `font`, for labels whose table row gives no width.
SIZE TextExtent(HFONT font, const wchar_t* text) {
    WindowDc screen(nullptr);
    SelectGuard select(screen.get(), font);
    RECT rc{0, 0, 0, 0};
    DrawTextW(screen.get(), text, -1, &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {rc.right, rc.bottom};
}

}  // namespace

void Form::Build(HWND window) {
    window_ = window;
    fonts_.clear();
    boldFonts_.clear();
    for (int i = 0; i < desc_.fontCount; ++i) {
        fonts_.push_back(MakeFont(desc_.fonts[i], false));
        boldFonts_.push_back(UniqueFont());
    }
    if (!fonts_.empty())
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[0].get()), FALSE);

    entries_.clear();
    entries_.resize(static_cast<size_t>(desc_.controlCount));
    for (int i = 0; i < desc_.controlCount; ++i) {
        const ControlDesc& control = desc_.controls[i];
        HWND parent = control.parent == kFormClient ? window : Control(control.parent);
        if (!parent)
            throw AppError(L"", "Form::Build (parent)", ERROR_INVALID_WINDOW_HANDLE);
        Create(control, parent, entries_[static_cast<size_t>(i)]);
    }
    ApplyDocks();
    StackDecorationsBelow();
}

// Child windows created one after the other stack with the first on top, which is also the tab order; in the
// design a later control lies over an earlier one. Labels and frames take no focus, so those that a later
// sibling overlaps go to the bottom, the earlier ones lower, and the tab order of the rest stays as it is. A label
// that names a control stays directly above it: screen readers name an edit or a drop-down list by the label
// just before it in the z-order (such a label never reaches into its control; see Create).
void Form::StackDecorationsBelow() {
    auto rectOf = [](HWND hwnd) {
        RECT rc{};
        GetWindowRect(hwnd, &rc);
        return rc;
    };
    for (int i = desc_.controlCount - 1; i >= 0; --i) {
        const ControlDesc& control = desc_.controls[i];
        if ((control.kind != ControlKind::Label && control.kind != ControlKind::Bevel) || NamedControl(desc_, i))
            continue;
        const RECT mine = rectOf(entries_[static_cast<size_t>(i)].hwnd);
        for (int j = i + 1; j < desc_.controlCount; ++j) {
            RECT overlap;
            const RECT theirs = rectOf(entries_[static_cast<size_t>(j)].hwnd);
            if (desc_.controls[j].parent == control.parent && IntersectRect(&overlap, &mine, &theirs)) {
                SetWindowPos(entries_[static_cast<size_t>(i)].hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                break;
            }
        }
    }
}

void Form::Create(const ControlDesc& control, HWND parent, Entry& entry) {
    const bool visible = !(control.flags & kHidden);
    const DWORD shown = visible ? WS_VISIBLE : 0;
    const DWORD tabStop = (control.flags & kNoFocus) ? 0 : WS_TABSTOP;
    HFONT font = Font(control.font);
    CreateArgs args{control.text ? control.text : L"", shown, 0, control.bounds, parent,
                    static_cast<UINT>(control.id)};
    entry.bold = (control.flags & kBold) != 0;

    const wchar_t* className = nullptr;
    switch (control.kind) {
        case ControlKind::Panel: {
            auto panel = std::make_unique<Panel>();
            if (control.flags & kBorder)
                args.style |= WS_BORDER;
            panel->Create(parent, args);
            panel->SetColor(control.background == kSystemColor ? GetSysColor(COLOR_BTNFACE)
                                                               : static_cast<COLORREF>(control.background));
            panel->SetBevel(control.bevel);
            entry.hwnd = panel->hwnd();
            entry.object = std::move(panel);
            break;
        }
        case ControlKind::Image: {
            auto picture = std::make_unique<Picture>();
            picture->Create(parent, args);
            entry.hwnd = picture->hwnd();
            entry.object = std::move(picture);
            break;
        }
        case ControlKind::RadioGroup: {
            auto group = std::make_unique<RadioGroup>();
            group->Create(parent, args, control.items, font);
            entry.hwnd = group->hwnd();
            entry.object = std::move(group);
            break;
        }
        case ControlKind::Label: {
            className = L"STATIC";
            args.style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
            // A label without a size sizes itself to its text; one with a size grows where a substitute font is
            // wider than the face of the design, so that no text is cut. A label that names a control ends where
            // its control begins: it lies above it, and would cover it otherwise.
            const SIZE size = TextExtent(font, args.text);
            args.bounds.width = std::max<int32_t>(args.bounds.width, size.cx);
            args.bounds.height = std::max<int32_t>(args.bounds.height, size.cy);
            if (const ControlDesc* named = NamedControl(desc_, static_cast<int>(&control - desc_.controls))) {
                if (named->bounds.left > args.bounds.left)
                    args.bounds.width = std::min(args.bounds.width, named->bounds.left - args.bounds.left);
            }
            break;
        }
        case ControlKind::Bevel: {
            // A frame of our panel class: a STATIC etched frame leaves its inside unpainted.
            auto bevel = std::make_unique<Panel>();
            bevel->Create(parent, args);
            bevel->SetColor(BackgroundOf(static_cast<int>(&control - desc_.controls)));
            bevel->SetEtched(true);
            entry.hwnd = bevel->hwnd();
            entry.object = std::move(bevel);
            break;
        }
        case ControlKind::SpeedButton:
            className = L"BUTTON";
            args.style |= BS_OWNERDRAW;
            break;
        case ControlKind::PushButton:
            className = L"BUTTON";
            args.style |= BS_PUSHBUTTON | tabStop;
            break;
        case ControlKind::CheckBox:
            className = L"BUTTON";
            args.style |= BS_AUTOCHECKBOX | tabStop;
            break;
        case ControlKind::Edit:
            className = L"EDIT";
            args.style |= ES_LEFT | ES_AUTOHSCROLL | tabStop;
            args.exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::DropDownList:
            className = L"COMBOBOX";
            args.style |= CBS_DROPDOWNLIST | WS_VSCROLL | tabStop;
            // The table gives the closed height; the window's height includes the dropped-down list.
            args.bounds.height += (control.itemHeight > 0 ? control.itemHeight : 16) * (control.items.count + 1) + 2;
            break;
        case ControlKind::ListBox:
            className = L"LISTBOX";
            args.style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | tabStop;
            if (control.flags & kOwnerDraw)
                args.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
            if (control.flags & kBorder)
                args.style |= WS_BORDER;
            break;
        case ControlKind::Header:
            className = WC_HEADERW;
            args.style |= HDS_HORZ | HDS_BUTTONS;
            break;
    }

    if (className) {
        args.style |= WS_CHILD | WS_CLIPSIBLINGS;
        entry.hwnd = CreateWindowFrom(className, args);
        // The error names the control by its design name.
        if (!entry.hwnd)
            throw AppError(L"", control.name, GetLastError());
        SendMessageW(entry.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(entry.bold ? Font(control.font, true) : font),
                     FALSE);
    }
    HWND hwnd = entry.hwnd;

    switch (control.kind) {
        case ControlKind::SpeedButton:
            MakeSpeedButton(hwnd);
            break;
        case ControlKind::DropDownList:
            for (int i = 0; i < control.items.count; ++i)
                SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(control.items.items[i].text));
            if (control.itemHeight > 0)
                SendMessageW(hwnd, CB_SETITEMHEIGHT, 0, control.itemHeight);
            break;
        case ControlKind::ListBox:
            for (int i = 0; i < control.items.count; ++i)
                SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(control.items.items[i].text));
            break;
        case ControlKind::Header:
            for (int i = 0; i < control.items.count; ++i) {
                HDITEMW item{};
                item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
                item.pszText = const_cast<wchar_t*>(control.items.items[i].text);
                item.cxy = control.items.items[i].width;
                item.fmt = HDF_LEFT | HDF_STRING;
                SendMessageW(hwnd, HDM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            }
            break;
        default:
            break;
    }
}

HWND Form::Control(int id) const {
    const int index = IndexOf(desc_, id);
    if (index < 0 || static_cast<size_t>(index) >= entries_.size())
        return nullptr;
    return entries_[static_cast<size_t>(index)].hwnd;
}

Panel& Form::PanelOf(int id) {
    const int index = IndexOf(desc_, id);
    if (index < 0 || desc_.controls[index].kind != ControlKind::Panel || !entries_.at(static_cast<size_t>(index)).object)
        throw std::logic_error("Form::PanelOf: not a panel");
    return static_cast<Panel&>(*entries_[static_cast<size_t>(index)].object);
}

Picture& Form::PictureOf(int id) {
    const int index = IndexOf(desc_, id);
    if (index < 0 || desc_.controls[index].kind != ControlKind::Image || !entries_.at(static_cast<size_t>(index)).object)
        throw std::logic_error("Form::PictureOf: not an image");
    return static_cast<Picture&>(*entries_[static_cast<size_t>(index)].object);
}

HFONT Form::Font(int index, bool bold) const {
    if (index < 0 || static_cast<size_t>(index) >= fonts_.size())
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!bold || desc_.fonts[index].bold)
        return fonts_[static_cast<size_t>(index)].get();
    // The bold forms are made on first use; most windows never need one.
    UniqueFont& boldFont = boldFonts_[static_cast<size_t>(index)];
    if (!boldFont)
        boldFont = MakeFont(desc_.fonts[index], true);
    return boldFont.get();
}

void Form::ApplyDocks() {
    if (!window_ || entries_.empty())
        return;
    // Where each docked control goes. Parents come before their children in the table, so each container's new
    // client size is known before its children are placed.
    std::vector<std::optional<Rect>> places(entries_.size());
    auto layout = [&](int parentId, Size client) {
        LayoutChildren(desc_, parentId, client, [&](int index, const Rect& r) {
            if (desc_.controls[index].dock != Dock::None && entries_[static_cast<size_t>(index)].hwnd)
                places[static_cast<size_t>(index)] = r;
        });
    };
    RECT rc{};
    GetClientRect(window_, &rc);
    layout(kFormClient, {rc.right, rc.bottom});
    for (int i = 0; i < desc_.controlCount; ++i) {
        HWND hwnd = entries_[static_cast<size_t>(i)].hwnd;
        if (desc_.controls[i].kind != ControlKind::Panel || !hwnd)
            continue;
        RECT frame{}, client{};
        GetWindowRect(hwnd, &frame);
        GetClientRect(hwnd, &client);
        Size size{client.right, client.bottom};
        if (const std::optional<Rect>& place = places[static_cast<size_t>(i)]) {
            // Its new size less the frame it keeps (a border, none for most).
            size = {place->width - ((frame.right - frame.left) - client.right),
                    place->height - ((frame.bottom - frame.top) - client.bottom)};
        }
        layout(desc_.controls[i].id, size);
    }
    // The children take their places before their containers grow: a container paints its new area at once,
    // and would paint its colour where a child is about to lie (the black of the main window's panel before the
    // picture, when the window is maximised).
    for (int i = desc_.controlCount - 1; i >= 0; --i) {
        if (const std::optional<Rect>& r = places[static_cast<size_t>(i)])
            MoveWindow(entries_[static_cast<size_t>(i)].hwnd, r->left, r->top, r->width, r->height, TRUE);
    }
}

void Form::SetBold(int id, bool bold) {
    const int index = IndexOf(desc_, id);
    if (index < 0 || static_cast<size_t>(index) >= entries_.size())
        return;
    Entry& entry = entries_[static_cast<size_t>(index)];
    entry.bold = bold;
    if (entry.hwnd) {
        SendMessageW(entry.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font(desc_.controls[index].font, bold)), FALSE);
        InvalidateRect(entry.hwnd, nullptr, TRUE);
    }
}

bool Form::IsBold(int id) const {
    const int index = IndexOf(desc_, id);
    return index >= 0 && static_cast<size_t>(index) < entries_.size() && entries_[static_cast<size_t>(index)].bold;
}

const ControlDesc* Form::RowOf(HWND hwnd) const {
    for (HWND h = hwnd; h && h != window_; h = GetParent(h)) {
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].hwnd == h)
                return &desc_.controls[i];
        }
    }
    return nullptr;
}

COLORREF Form::BackgroundOf(int index) const {
    // A control without a colour of its own shows its container's.
    for (int i = index; i >= 0;) {
        const ControlDesc& control = desc_.controls[i];
        if (control.background != kSystemColor)
            return static_cast<COLORREF>(control.background);
        if (control.parent == kFormClient)
            break;
        i = IndexOf(desc_, control.parent);
    }
    return GetSysColor(COLOR_BTNFACE);
}

HBRUSH Form::BrushFor(COLORREF color) {
    for (auto& [c, brush] : brushes_) {
        if (c == color)
            return brush.get();
    }
    brushes_.emplace_back(color, UniqueBrush(CreateSolidBrush(color)));
    return brushes_.back().second.get();
}

bool Form::Answer(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            const ControlDesc* row = RowOf(reinterpret_cast<HWND>(lp));
            if (!row)
                return false;
            const int index = static_cast<int>(row - desc_.controls);
            const FontDesc* font = row->font >= 0 && row->font < desc_.fontCount ? &desc_.fonts[row->font] : nullptr;
            const COLORREF background = BackgroundOf(index);
            HDC hdc = reinterpret_cast<HDC>(wp);
            SetTextColor(hdc, font ? TextColor(*font) : GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(hdc, background);
            result = reinterpret_cast<LRESULT>(BrushFor(background));
            return true;
        }
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            const int index = IndexOf(desc_, static_cast<int>(measure->CtlID));
            if (index < 0 || desc_.controls[index].itemHeight <= 0)
                return false;
            measure->itemHeight = static_cast<UINT>(desc_.controls[index].itemHeight);
            result = TRUE;
            return true;
        }
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            const int index = IndexOf(desc_, static_cast<int>(draw->CtlID));
            if (draw->CtlType != ODT_BUTTON || index < 0 || desc_.controls[index].kind != ControlKind::SpeedButton)
                return false;
            DrawSpeedButton(*draw, index);
            result = TRUE;
            return true;
        }
    }
    return false;
}

// A raised frame on the button face, sunken while pushed; the caption centred in the row's font and colour.
void Form::DrawSpeedButton(const DRAWITEMSTRUCT& draw, int index) {
    const ControlDesc& control = desc_.controls[index];
    const bool pushed = (draw.itemState & ODS_SELECTED) != 0;
    const bool disabled = (draw.itemState & ODS_DISABLED) != 0;
    RECT rc = draw.rcItem;
    FillRect(draw.hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(draw.hDC, &rc, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);

    const int length = GetWindowTextLengthW(draw.hwndItem);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(draw.hwndItem, text.data(), length + 1)));

    const FontDesc* font =
        control.font >= 0 && control.font < desc_.fontCount ? &desc_.fonts[control.font] : nullptr;
    SelectGuard select(draw.hDC, Font(control.font, entries_[static_cast<size_t>(index)].bold));
    SetBkMode(draw.hDC, TRANSPARENT);
    SetTextColor(draw.hDC, disabled ? GetSysColor(COLOR_GRAYTEXT)
                                    : (font ? TextColor(*font) : GetSysColor(COLOR_BTNTEXT)));
    if (pushed)
        OffsetRect(&rc, 1, 1);
    DrawTextW(draw.hDC, text.c_str(), static_cast<int>(text.size()), &rc,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

UniqueMenu BuildPopupMenu(const MenuItemDesc* items, size_t count) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        throw AppError(L"", "CreatePopupMenu", GetLastError());
    for (size_t i = 0; i < count; ++i) {
        const MenuItemDesc& item = items[i];
        if (item.hidden)
            continue;
        const bool separator = item.caption[0] == L'-' && item.caption[1] == L'\0';
        const UINT flags = separator ? MF_SEPARATOR : (MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED));
        if (!AppendMenuW(menu.get(), flags, static_cast<UINT_PTR>(item.id), separator ? nullptr : item.caption))
            throw AppError(L"", item.name, GetLastError());
    }
    return menu;
}

int TrackContextMenu(HMENU menu, HWND owner, HWND from, LPARAM at) {
    POINT pt{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (pt.x == -1 && pt.y == -1) {
        RECT rc{};
        GetWindowRect(from, &rc);
        pt = {rc.left, rc.top};
    }
    // The menu closes properly on a click elsewhere only when its owner is the foreground window, and the message
    // posted after it lets the system finish the menu's mode (TrackPopupMenu's documented remark).
    SetForegroundWindow(owner);
    const int command =
        static_cast<int>(TrackPopupMenuEx(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x, pt.y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    return command;
}

void FormWindow::Bind(int id, Event event, std::function<void()> handler) {
    for (Binding& binding : bindings_) {
        if (binding.id == id && binding.event == event) {
            binding.handler = std::move(handler);
            return;
        }
    }
    bindings_.push_back({id, event, std::move(handler)});
}

void FormWindow::BindDrawItem(int id, std::function<void(const DRAWITEMSTRUCT&)> handler) {
    drawers_.emplace_back(id, std::move(handler));
}

void FormWindow::CreateForm(DWORD style, DWORD exStyle, Point position, HWND owner, UINT classStyle) {
    const FormDesc& desc = form_.desc();
    RECT frame{0, 0, desc.client.width, desc.client.height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    // The client area not covered by controls shows the face colour, as a dialog's does.
    Create({desc.className, classStyle, GetSysColorBrush(COLOR_BTNFACE)},
           {desc.caption, style, exStyle,
            {position.x, position.y, frame.right - frame.left, frame.bottom - frame.top}, owner, 0});
    form_.Build(hwnd());
}

void FormWindow::CreateFormCentred(DWORD style, DWORD exStyle, HWND owner) {
    RECT frame{0, 0, form_.desc().client.width, form_.desc().client.height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    CreateForm(style, exStyle, CentredOnScreen({frame.right - frame.left, frame.bottom - frame.top}), owner);
}

void FormWindow::Close() {
    if (FormCloseQuery())
        FormClose();
}

bool FormWindow::Dispatch(int id, Event event) {
    for (const Binding& binding : bindings_) {
        if (binding.id == id && binding.event == event && binding.handler) {
            binding.handler();
            return true;
        }
    }
    return false;
}

namespace {

// The event that a control's WM_COMMAND notification stands for, by the control's kind.
bool CommandEvent(ControlKind kind, WORD code, Event& event) {
    switch (kind) {
        case ControlKind::SpeedButton:
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::RadioGroup:
            event = Event::Click;
            return code == BN_CLICKED;
        case ControlKind::Edit:
            event = Event::Change;
            return code == EN_CHANGE;
        case ControlKind::DropDownList:
            event = Event::Change;
            return code == CBN_SELCHANGE;
        case ControlKind::ListBox:
            event = code == LBN_DBLCLK ? Event::DblClick : Event::SelChange;
            return code == LBN_DBLCLK || code == LBN_SELCHANGE;
        case ControlKind::Panel:
            event = Event::MouseMove;
            return code == kNotifyMouseMove;
        case ControlKind::Image:
            event = Event::DblClick;
            return code == STN_DBLCLK;
        default:
            return false;
    }
}

}  // namespace

LRESULT FormWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int index = IndexOf(form_.desc(), id);
            Event event;
            // Menu commands and IDOK/IDCANCEL from Enter and Escape name no control: nothing runs.
            if (lp != 0 && index >= 0 && CommandEvent(form_.desc().controls[index].kind, HIWORD(wp), event))
                Dispatch(id, event);
            return 0;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            const int id = static_cast<int>(header->idFrom);
            const int index = IndexOf(form_.desc(), id);
            if (index >= 0 && form_.desc().controls[index].kind == ControlKind::Header &&
                (header->code == HDN_ITEMCHANGEDW || header->code == HDN_ITEMCHANGEDA)) {
                const auto* change = reinterpret_cast<const NMHEADERW*>(lp);
                if (change->pitem && (change->pitem->mask & HDI_WIDTH))
                    Dispatch(id, Event::SectionResize);
            }
            return Default(msg, wp, lp);
        }
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            for (auto& [id, drawer] : drawers_) {
                if (id == static_cast<int>(draw->CtlID)) {
                    drawer(*draw);
                    return TRUE;
                }
            }
            break;
        }
        case WM_SIZE:
            form_.ApplyDocks();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE)
                FormActivate();
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            FormDestroy();
            return 0;
    }
    if (form_.Answer(msg, wp, lp, result))
        return result;
    return Default(msg, wp, lp);
}

}  // namespace velmo::win
