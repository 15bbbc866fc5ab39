// Typed, non-owning views of the standard controls: each holds the HWND of a control that its parent window
// owns and destroys, and speaks to it through its messages.
#pragma once

#include <windows.h>

#include <string>

namespace velmo::win {

class ControlView {
public:
    explicit ControlView(HWND hwnd = nullptr) : hwnd_(hwnd) {}
    HWND hwnd() const { return hwnd_; }  // not owned
    explicit operator bool() const { return hwnd_ != nullptr; }

    std::wstring Text() const;
    void SetText(const std::wstring& text) const;
    // The control's own visibility, whatever its parents' is.
    bool Visible() const;
    void Show(bool visible) const;

protected:
    HWND hwnd_;
};

class ButtonView : public ControlView {
public:
    using ControlView::ControlView;
    // Acts as a click of the pointer would.
    void Click() const;
};

class CheckBoxView : public ControlView {
public:
    using ControlView::ControlView;
    bool Checked() const;
    // Reports no click.
    void SetChecked(bool checked) const;
};

class RadioGroupView : public ControlView {
public:
    using ControlView::ControlView;
    int ItemIndex() const;  // -1 when none is selected
    // Reports no click.
    void SetItemIndex(int index) const;
};

class EditView : public ControlView {
public:
    using ControlView::ControlView;
    // A one-line edit reports a change (EN_CHANGE) on every text the program sets, even an equal one; the
    // program's windows run an edit's change rule only when the shown text changes, so this sets the text only
    // then. Returns whether it did.
    bool SetText(const std::wstring& text) const;
    // The text in the system code page; `lossy` tells whether a character had no place in it.
    std::string TextAcp(bool* lossy) const;
};

class DropDownListView : public ControlView {
public:
    using ControlView::ControlView;
    int Count() const;
    int ItemIndex() const;  // -1 when none is selected
    // Reports no change (CBN_SELCHANGE comes from the user only).
    void SetItemIndex(int index) const;
};

// A list box whose items are byte strings in the system code page.
class ListBoxView : public ControlView {
public:
    using ControlView::ControlView;
    int Count() const;
    void Clear() const;
    void Add(const char* item) const;  // system-code-page bytes ending in a NUL
    std::string Item(int index) const;
    int ItemIndex() const;  // -1 when none is selected
    void SetItemIndex(int index) const;
    // The item index lies in 0 to Count() - 1.
    bool HasSelection() const;
};

class HeaderView : public ControlView {
public:
    using ControlView::ControlView;
    int Count() const;
    int SectionWidth(int index) const;
};

}  // namespace velmo::win
