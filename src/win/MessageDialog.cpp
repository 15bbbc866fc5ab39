#include "win/MessageDialog.h"

#include <algorithm>

#include "win/Handles.h"
#include "win/Modal.h"
#include "win/Window.h"

namespace velmo::win {

namespace {

std::wstring g_caption = L"Velmo";

constexpr int kMargin = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kMaxTextWidth = 420;
constexpr UINT kTextId = 100;

class MessageDialog : public Window {
public:
    MessageDialog(const std::wstring& text, DialogButtons buttons) : text_(text), buttons_(buttons) {}

    int Run();

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Build();
    void Finish(int answer) {
        answer_ = answer;
        done_ = true;
    }

    std::wstring text_;
    DialogButtons buttons_;
    UniqueFont font_;
    HWND defaultButton_ = nullptr;  // not owned
    int answer_ = IDCANCEL;
    bool done_ = false;
};

UniqueFont MessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
    return UniqueFont();
}

void MessageDialog::Build() {
    font_ = MessageFont();
    HFONT font = font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // Measure the word-wrapped text; CR LF inside it starts a new line.
    RECT textRect{0, 0, kMaxTextWidth, 0};
    {
        WindowDc screen(nullptr);
        SelectGuard select(screen.get(), font);
        DrawTextW(screen.get(), text_.c_str(), static_cast<int>(text_.size()), &textRect,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    }
    const int buttonCount = buttons_ == DialogButtons::YesNo ? 2 : 1;
    const int buttonsWidth = buttonCount * kButtonWidth + (buttonCount - 1) * kButtonGap;
    const int textWidth = std::max<int>(textRect.right, 1);
    const int textHeight = std::max<int>(textRect.bottom, 1);
    const int clientWidth = std::max(textWidth, buttonsWidth) + 2 * kMargin;
    const int clientHeight = kMargin + textHeight + kMargin + kButtonHeight + kMargin;

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const Size size{frame.right - frame.left, frame.bottom - frame.top};
    const Point at = CentredOnScreen(size);

    Create({L"VelmoMessage", 0, GetSysColorBrush(COLOR_BTNFACE)},
           {g_caption.c_str(), style, exStyle, {at.x, at.y, size.width, size.height}, nullptr, 0});

    HWND label = CreateControl(L"STATIC", {text_.c_str(), WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0,
                                           {kMargin, kMargin, textWidth, textHeight}, hwnd(), kTextId});
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    int x = (clientWidth - buttonsWidth) / 2;
    const int y = kMargin + textHeight + kMargin;
    auto addButton = [&](const wchar_t* caption, UINT id, bool isDefault) {
        HWND button = CreateControl(L"BUTTON", {caption,
                                                static_cast<DWORD>(WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
                                                0, {x, y, kButtonWidth, kButtonHeight}, hwnd(), id});
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (isDefault)
            defaultButton_ = button;
        x += kButtonWidth + kButtonGap;
    };
    if (buttons_ == DialogButtons::YesNo) {
        addButton(L"はい(&Y)", IDYES, true);
        addButton(L"いいえ(&N)", IDNO, false);
    } else {
        addButton(L"OK", IDOK, true);
    }
}

LRESULT MessageDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: {
            const bool question = buttons_ == DialogButtons::YesNo;
            switch (LOWORD(wp)) {
                case IDYES:
                    Finish(IDYES);
                    return 0;
                case IDNO:
                    Finish(IDNO);
                    return 0;
                case IDOK:  // Enter with the focus away from a button
                    Finish(question ? IDYES : IDOK);
                    return 0;
                case IDCANCEL:  // Escape
                    Finish(question ? IDNO : IDOK);
                    return 0;
            }
            break;
        }
        case DM_GETDEFID:
            return MAKELRESULT(buttons_ == DialogButtons::YesNo ? IDYES : IDOK, DC_HASDEFID);
        case WM_CLOSE:
            Finish(IDCANCEL);
            return 0;
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return Default(msg, wp, lp);
}

// Runs the dialog in the modal loop; the program's other windows take no input until an answer is given.
int MessageDialog::Run() {
    Build();
    RunModal(*this, defaultButton_, [this] { return done_; });
    return answer_;
}

}  // namespace

int ShowMessageDialog(const std::wstring& text, DialogButtons buttons) {
    Owned<MessageDialog> dialog(text, buttons);
    return dialog.Run();
}

void SetMessageDialogCaption(const std::wstring& caption) {
    g_caption = caption;
}

}  // namespace velmo::win
