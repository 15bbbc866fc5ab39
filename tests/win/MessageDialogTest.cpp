// The program's message dialog, driven from a second thread the way a test driver or screen reader sees it.
#include "win/MessageDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "TestUtil.h"

namespace velmo::win {
namespace {

struct Seen {
    std::wstring caption;
    std::wstring text;
    std::vector<std::wstring> buttons;
    RECT rect{};
    bool hasIcon = false;
};

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512];
    int n = static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer)));
    return std::wstring(buffer, n > 0 ? n : 0);
}

HWND FindDialog() {
    return FindWindowW(L"VelmoMessage", nullptr);
}

// Waits for the dialog on another thread, records what it shows, then answers with `action`.
std::thread Answer(Seen& seen, std::function<void(HWND)> action) {
    return std::thread([&seen, action] {
        HWND dialog = nullptr;
        test::WaitFor([&] { return (dialog = FindDialog()) != nullptr && IsWindowVisible(dialog); });
        if (!dialog)
            return;
        seen.caption = TextOf(dialog);
        GetWindowRect(dialog, &seen.rect);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[64];
            GetClassNameW(child, cls, 64);
            if (std::wstring(cls) == L"Button")
                seen.buttons.push_back(TextOf(child));
            else if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                seen.hasIcon = true;
            else
                seen.text = TextOf(child);
        }
        action(dialog);
    });
}

void PostKey(HWND dialog, UINT key) {
    HWND focus = GetWindow(dialog, GW_CHILD);
    // The keys go to the focused control; the default button holds the focus when the dialog opens.
    for (HWND child = focus; child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowLongW(child, GWL_STYLE) & BS_DEFPUSHBUTTON)
            focus = child;
    }
    PostMessageW(focus, WM_KEYDOWN, key, 0);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000000);
}

TEST(MessageDialog, OkMessageShowsTextCentredWithoutIcon) {
    Seen seen;
    std::thread driver = Answer(seen, [](HWND dialog) { PostKey(dialog, VK_RETURN); });
    const std::wstring text = L"ファイルが開けません。";
    EXPECT_EQ(ShowMessageDialog(text), IDOK);
    driver.join();
    EXPECT_EQ(seen.caption, L"Velmo");
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(seen.hasIcon);
    const int cx = (seen.rect.left + seen.rect.right) / 2;
    const int cy = (seen.rect.top + seen.rect.bottom) / 2;
    EXPECT_NEAR(cx, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(cy, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(FindDialog(), nullptr);
}

TEST(MessageDialog, QuestionAnswersYesNoAndNeither) {
    const std::wstring text = L"一行目\r\n二行目";
    {
        Seen seen;
        std::thread driver = Answer(seen, [](HWND dialog) { PostKey(dialog, VK_RETURN); });
        EXPECT_EQ(ShowMessageDialog(text, DialogButtons::YesNo), IDYES);  // Enter takes the default button
        driver.join();
        EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{L"はい(&Y)", L"いいえ(&N)"}));
        EXPECT_EQ(seen.text, text);
    }
    {
        Seen seen;
        std::thread driver = Answer(seen, [](HWND dialog) { PostKey(dialog, VK_ESCAPE); });
        EXPECT_EQ(ShowMessageDialog(text, DialogButtons::YesNo), IDNO);  // Escape is the cancel button
        driver.join();
    }
    {
        Seen seen;
        std::thread driver = Answer(seen, [](HWND dialog) {
            PostMessageW(GetDlgItem(dialog, IDNO), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(ShowMessageDialog(text, DialogButtons::YesNo), IDNO);
        driver.join();
    }
    {
        Seen seen;
        std::thread driver = Answer(seen, [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); });
        EXPECT_EQ(ShowMessageDialog(text, DialogButtons::YesNo), IDCANCEL);  // the close box: neither answer
        driver.join();
    }
}

TEST(MessageDialog, LongTextIsWrappedInsideTheScreen) {
    Seen seen;
    std::thread driver = Answer(seen, [](HWND dialog) { PostKey(dialog, VK_RETURN); });
    std::wstring text;
    for (int i = 0; i < 40; ++i)
        text += L"とても長い文章 ";
    ShowMessageDialog(text);
    driver.join();
    EXPECT_LT(seen.rect.right - seen.rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(seen.rect.left, 0);
}

}  // namespace
}  // namespace velmo::win
