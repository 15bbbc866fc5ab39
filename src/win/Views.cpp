#include "win/Views.h"

#include <commctrl.h>

#include <vector>

#include "win/Controls.h"
#include "win/Text.h"

namespace velmo::win {

std::wstring ControlView::Text() const {
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void ControlView::SetText(const std::wstring& text) const {
    SetWindowTextW(hwnd_, text.c_str());
}

bool ControlView::Visible() const {
    return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void ControlView::Show(bool visible) const {
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void ButtonView::Click() const {
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd_));
}

bool CheckBoxView::Checked() const {
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBoxView::SetChecked(bool checked) const {
    SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int RadioGroupView::ItemIndex() const {
    return static_cast<int>(SendMessageW(hwnd_, RadioGroup::kGetIndex, 0, 0));
}

void RadioGroupView::SetItemIndex(int index) const {
    SendMessageW(hwnd_, RadioGroup::kSetIndex, static_cast<WPARAM>(index), 0);
}

bool EditView::SetText(const std::wstring& text) const {
    if (Text() == text)
        return false;
    ControlView::SetText(text);
    return true;
}

std::string EditView::TextAcp(bool* lossy) const {
    return WideToAcp(Text(), lossy);
}

int DropDownListView::Count() const {
    return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
}

int DropDownListView::ItemIndex() const {
    return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
}

void DropDownListView::SetItemIndex(int index) const {
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The items go through the ...A messages: the list converts between the system code page and its own text.
int ListBoxView::Count() const {
    return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
}

void ListBoxView::Clear() const {
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
}

void ListBoxView::Add(const char* item) const {
    if (SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item)) < 0)
        throw AppError(L"", "LB_ADDSTRING", GetLastError());
}

std::string ListBoxView::Item(int index) const {
    const LRESULT length = SendMessageA(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return std::string();
    // LB_GETTEXTLEN may count more than the text needs (double-byte characters); never fewer.
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return copied > 0 ? std::string(buffer.data(), static_cast<size_t>(copied)) : std::string();
}

int ListBoxView::ItemIndex() const {
    return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
}

void ListBoxView::SetItemIndex(int index) const {
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ListBoxView::HasSelection() const {
    const int index = ItemIndex();
    return index >= 0 && index < Count();
}

int HeaderView::Count() const {
    return static_cast<int>(SendMessageW(hwnd_, HDM_GETITEMCOUNT, 0, 0));
}

int HeaderView::SectionWidth(int index) const {
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    if (!SendMessageW(hwnd_, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.cxy;
}

}  // namespace velmo::win
