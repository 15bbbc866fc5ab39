// The name prompt as a person meets it: driven from a second thread through its real controls and keys.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "Desktop.h"
#include "app/AppWindows.h"
#include "app/U_CapInfo.h"
#include "app/Globals.h"
#include "win/Text.h"

namespace velmo::app {
namespace {

struct Seen {
    std::wstring caption;
    std::wstring label;
    std::wstring name;
    bool survivedKeys = false;
};

HWND Child(HWND dialog, const wchar_t* className, const wchar_t* text = nullptr) {
    return FindWindowExW(dialog, nullptr, className, text);
}

// Runs the prompt while `drive` works on its window from another thread.
Seen RunPrompt(const std::string& proposed, const std::string& mode, const std::function<void(HWND)>& drive) {
    Seen seen;
    PromptText = proposed;
    PromptMode = mode;
    std::thread driver([&] {
        HWND dialog = nullptr;
        e2e::WaitUntil([&] { return (dialog = e2e::FindVisibleWindowOfClass(L"TF_CapInfo")) != nullptr; });
        if (!dialog)
            return;
        // The wording is set when the dialog becomes active.
        e2e::WaitUntil([&] { return GetForegroundWindow() == dialog; }, std::chrono::seconds(3));
        seen.caption = e2e::WindowText(dialog);
        seen.label = e2e::WindowText(Child(dialog, L"Static"));
        seen.name = e2e::WindowText(Child(dialog, L"Edit"));
        drive(dialog);
    });
    ShowNamePrompt();
    driver.join();
    PromptMode.clear();
    return seen;
}

void Click(HWND dialog, const wchar_t* button) {
    PostMessageW(Child(dialog, L"Button", button), BM_CLICK, 0, 0);
}

// A digit typed after Enter and Escape is handled after them: once the name shows it, a prompt they closed
// would be gone. The close box then keeps the proposal, not the edited name.
TEST(NamePrompt, EnterAndEscapeCloseNothingAndTheCloseBoxKeepsTheProposal) {
    std::atomic<bool> typed{false}, survived{false};
    const Seen seen = RunPrompt("Capture3.bmp", "cap", [&](HWND dialog) {
        // Keys go to the window that has the focus when they are sent.
        HWND edit = Child(dialog, L"Edit");
        e2e::WaitUntil([&] { return e2e::FocusOf(dialog) == edit; });
        e2e::PressKey(VK_RETURN);
        e2e::PressKey(VK_ESCAPE);
        e2e::PressKey('7');
        typed = e2e::WaitUntil([&] { return e2e::WindowText(edit).find(L'7') != std::wstring::npos; });
        survived = IsWindowVisible(dialog) != FALSE;
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(seen.caption, L"Caputure");
    EXPECT_EQ(seen.label, L"キャプチャリングしますか ？");
    EXPECT_EQ(seen.name, L"Capture3.bmp");
    EXPECT_TRUE(typed) << "the name did not take the digit typed after Enter and Escape";
    EXPECT_TRUE(survived) << "Enter or Escape closed the prompt";
    EXPECT_EQ(PromptText, "Capture3.bmp");
    EXPECT_EQ(F_CapInfo, nullptr);
    EXPECT_EQ(e2e::FindVisibleWindowOfClass(L"TF_CapInfo"), nullptr);
}

TEST(NamePrompt, OkTakesJapaneseNamesInTheCodePageAndCancelEmptiesTheText) {
    const Seen seen = RunPrompt("old.bmp", "ren", [](HWND dialog) {
        SendMessageW(Child(dialog, L"Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"写真 ソ.bmp"));
        Click(dialog, L"OK");
    });
    EXPECT_EQ(seen.caption, L"ファイル名変更");
    EXPECT_EQ(seen.label, L"ファイル名を入力して下さい。");
    EXPECT_EQ(PromptText, win::WideToAcp(L"写真 ソ.bmp"));
    EXPECT_EQ(PromptText.substr(PromptText.size() - 6, 2), "\x83\x5C");  // "ソ" in Shift-JIS

    RunPrompt("old.bmp", "", [](HWND dialog) { Click(dialog, L"Cancel"); });
    EXPECT_EQ(PromptText, "");
    RunPrompt("old.bmp", "", [](HWND dialog) {
        SendMessageW(Child(dialog, L"Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        Click(dialog, L"OK");
    });
    EXPECT_EQ(PromptText, "");  // OK on an empty name is a Cancel to every caller
}

TEST(NamePrompt, ANameTheCodePageCannotHoldIsRefused) {
    std::atomic<bool> refused{false}, stillOpen{false};
    RunPrompt("old.bmp", "cap", [&](HWND dialog) {
        SendMessageW(Child(dialog, L"Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"사진.bmp"));  // Hangul
        Click(dialog, L"OK");
        HWND message = nullptr;
        refused = e2e::WaitUntil([&] { return (message = e2e::FindVisibleWindowOfClass(L"VelmoMessage")) != nullptr; });
        if (message)
            PostMessageW(FindWindowExW(message, nullptr, L"Button", L"OK"), BM_CLICK, 0, 0);
        e2e::WaitUntil([] { return e2e::FindVisibleWindowOfClass(L"VelmoMessage") == nullptr; });
        stillOpen = IsWindowVisible(dialog) != FALSE;
        Click(dialog, L"Cancel");
    });
    EXPECT_TRUE(refused) << "no message for a name with characters outside the code page";
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(PromptText, "");
}

}  // namespace
}  // namespace velmo::app
