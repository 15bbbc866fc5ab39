// The form layer with real windows and real input: a table built into controls two panels deep, notifications
// reaching handlers, dialog keys, windows that free themselves, failed handlers, and the modal loop.
#include "win/Form.h"
#include "win/Modal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <thread>

#include "Desktop.h"

namespace velmo::win {
namespace {

enum Id : int { kOuter = 100, kInner, kSpeed, kEditA, kPush, kCheck, kRadio, kCombo, kEditB, kList };

constexpr ItemDesc kEdges[] = {{L"top", 0}, {L"bottom", 0}};
constexpr ItemDesc kDigits[] = {{L"0", 0}, {L"1", 0}, {L"2", 0}};
constexpr FontDesc kFonts[] = {{L"ＭＳ Ｐゴシック", 12, false, false, kSystemColor},
                               {L"ＭＳ Ｐゴシック", 12, true, false, Rgb(0, 0, 128)}};
constexpr ControlDesc kControls[] = {
    {kFormClient, ControlKind::Panel, kOuter, "Outer", {0, 0, 1, 1}, Dock::Client, L"", 0, kSystemColor, 0, {}, 0, 0},
    {kOuter, ControlKind::Panel, kInner, "Inner", {10, 10, 200, 190}, Dock::None, L"", 0, kSystemColor, 0, {}, 0, -1},
    {kInner, ControlKind::SpeedButton, kSpeed, "Speed", {5, 5, 63, 18}, Dock::None, L"close", 1, kSystemColor, 0, {}, 0,
     0},
    {kInner, ControlKind::Edit, kEditA, "EditA", {5, 30, 80, 20}, Dock::None, L"0", 0, kSystemColor, 0, {}, 0, 0},
    {kInner, ControlKind::PushButton, kPush, "Push", {5, 55, 65, 21}, Dock::None, L"OK", 0, kSystemColor, 0, {}, 0, 0},
    {kInner, ControlKind::CheckBox, kCheck, "Check", {5, 80, 80, 17}, Dock::None, L"StayOnTop", 0, kSystemColor, 0, {},
     0, 0},
    {kInner, ControlKind::RadioGroup, kRadio, "Radio", {100, 5, 90, 60}, Dock::None, L"Positon", 0, kSystemColor, 0,
     ItemsOf(kEdges), 0, 0},
    {kInner, ControlKind::DropDownList, kCombo, "Combo", {100, 80, 40, 20}, Dock::None, L"", 0, kSystemColor, 0,
     ItemsOf(kDigits), 12, 0},
    {kInner, ControlKind::Edit, kEditB, "EditB", {5, 105, 80, 20}, Dock::None, L"", 0, kSystemColor, 0, {}, 0, 0},
    {kOuter, ControlKind::ListBox, kList, "List", {220, 10, 100, 80}, Dock::None, L"", 0, kSystemColor, kOwnerDraw, {},
     12, 0},
};
constexpr FormDesc kForm{L"VelmoFormTest", L"Form test", {340, 210}, kFonts, 2, kControls, 10};

// Runs the thread's messages as the program's loop does, until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > static_cast<DWORD>(milliseconds))
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!HandleDialogKeys(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        Sleep(5);
    }
    return true;
}

class TestForm : public FormWindow {
public:
    TestForm() : FormWindow(kForm) {
        for (int id : {kSpeed, kPush, kCheck, kRadio})
            Bind(id, Event::Click, [this, id] { clicks.push_back(id); });
        for (int id : {kEditA, kEditB, kCombo})
            Bind(id, Event::Change, [this, id] { changes.push_back(id); });
        BindDrawItem(kList, [this](const DRAWITEMSTRUCT&) { ++drawn; });
    }
    void Create(Point at = {100, 100}) {
        CreateForm(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, at, nullptr);
        ShowWindow(hwnd(), SW_SHOW);
        SetForegroundWindow(hwnd());
        UpdateWindow(hwnd());
    }
    bool WantsDialogKeys() const override { return true; }

    std::vector<int> clicks;
    std::vector<int> changes;
    int drawn = 0;
};

POINT ScreenCentre(HWND control) {
    RECT rc;
    GetWindowRect(control, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// A real click on the control, repeated while `arrived` does not hold: under load Wine can drop an injected
// move for a late motion event, and the click then lands where the pointer was.
bool ClickAt(HWND control, const std::function<bool()>& arrived) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const POINT p = ScreenCentre(control);
        // The motion events of earlier moves are handled first, so that a late one cannot carry the pointer off.
        for (int move = 0; move < 4; ++move) {
            e2e::MoveTo(p.x, p.y);
            PumpUntil([] { return false; }, 50);
            POINT at{};
            GetCursorPos(&at);
            if (at.x == p.x && at.y == p.y)
                break;
        }
        e2e::LeftClick();
        if (PumpUntil(arrived, 3000))
            return true;
    }
    return false;
}

TEST(FormFonts, AMissingFaceGivesWayToTheNearestInstalledFaceOfItsKind) {
    using Faces = std::set<std::wstring>;
    const Faces ipa{L"IPAPゴシック", L"IPAゴシック", L"IPAP明朝", L"IPA明朝"};
    struct Case {
        const wchar_t* face;
        Faces installed;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"ＭＳ Ｐゴシック", ipa, L"IPAPゴシック"},
        {L"ＭＳ ゴシック", ipa, L"IPAゴシック"},
        {L"ＭＳ Ｐ明朝", ipa, L"IPAP明朝"},
        {L"ＭＳ 明朝", ipa, L"IPA明朝"},
        {L"ＭＳ Ｐゴシック", {L"ＭＳ Ｐゴシック", L"IPAPゴシック"}, L"ＭＳ Ｐゴシック"},  // there itself
        {L"ＭＳ 明朝", {L"Noto Serif CJK JP"}, L"Noto Serif CJK JP"},                    // the last of its kind
        {L"ＭＳ Ｐゴシック", {L"IPAゴシック", L"IPAP明朝"}, L"ＭＳ Ｐゴシック"},         // no face of another kind
        {L"ＭＳ 明朝", {}, L"ＭＳ 明朝"},                                                // none: the font mapper's
    };
    for (const Case& c : cases) {
        const auto installed = [&](const wchar_t* face) { return c.installed.count(face) > 0; };
        EXPECT_EQ(std::wstring(NearestFace(c.face, installed)), c.expected) << static_cast<int>(&c - cases);
    }
}

TEST(FormWindow, BuildsTheTableAndRealClicksReachHandlersTwoPanelsDeep) {
    Owned<TestForm> form;
    form.Create();
    Form& f = form.form();

    // Every row is a real child window with its caption, inside the right parent.
    EXPECT_EQ(GetParent(f.Control(kSpeed)), f.Control(kInner));
    EXPECT_EQ(GetParent(f.Control(kInner)), f.Control(kOuter));
    EXPECT_EQ(f.Get<ControlView>(kSpeed).Text(), L"close");
    EXPECT_EQ(f.Get<ControlView>(kRadio).Text(), L"Positon");
    RECT outer;
    GetClientRect(f.Control(kOuter), &outer);
    EXPECT_EQ(outer.right, 340);  // docked to fill the client area
    EXPECT_EQ(outer.bottom, 210);
    EXPECT_EQ(SendMessageW(f.Control(kList), LB_GETITEMHEIGHT, 0, 0), 12);
    EXPECT_EQ(f.Get<DropDownListView>(kCombo).Count(), 3);

    SetFocus(f.Control(kEditA));
    ASSERT_TRUE(ClickAt(f.Control(kSpeed), [&] { return !form.clicks.empty(); }))
        << "the speed button's click was lost";
    EXPECT_EQ(form.clicks, std::vector<int>{kSpeed});
    EXPECT_EQ(GetFocus(), f.Control(kEditA)) << "a speed button took the focus";

    // A radio item reports through its group, with the group's selection already made.
    HWND bottom = FindWindowExW(f.Control(kRadio), nullptr, L"Button", L"bottom");
    ASSERT_NE(bottom, nullptr);
    ASSERT_TRUE(ClickAt(bottom, [&] { return form.clicks.size() == 2; }));
    EXPECT_EQ(form.clicks.back(), kRadio);
    EXPECT_EQ(f.Get<RadioGroupView>(kRadio).ItemIndex(), 1);

    // The owner-drawn list reaches its drawing handler through the outer panel.
    f.Get<ListBoxView>(kList).Add("C:\\pics\\\x83\x5C.bmp");
    UpdateWindow(f.Control(kList));
    EXPECT_GT(form.drawn, 0);
    EXPECT_EQ(f.Get<ListBoxView>(kList).Item(0), "C:\\pics\\\x83\x5C.bmp");
}

TEST(FormWindow, ProgramSetValuesRunNoChangeHandlers) {
    Owned<TestForm> form;
    form.Create();
    Form& f = form.form();
    const EditView edit = f.Get<EditView>(kEditA);
    EXPECT_FALSE(edit.SetText(L"0"));  // what it shows already
    EXPECT_TRUE(form.changes.empty());
    EXPECT_TRUE(edit.SetText(L"120"));
    EXPECT_EQ(form.changes, std::vector<int>{kEditA});

    f.Get<DropDownListView>(kCombo).SetItemIndex(2);
    f.Get<CheckBoxView>(kCheck).SetChecked(true);
    f.Get<RadioGroupView>(kRadio).SetItemIndex(1);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(form.changes.size(), 1u);
    EXPECT_TRUE(form.clicks.empty());
    EXPECT_EQ(f.Get<DropDownListView>(kCombo).ItemIndex(), 2);
    EXPECT_TRUE(f.Get<CheckBoxView>(kCheck).Checked());
    EXPECT_EQ(f.Get<RadioGroupView>(kRadio).ItemIndex(), 1);

    // The bold mark of a speed button moves without losing the rest of its font.
    f.SetBold(kSpeed, false);
    EXPECT_FALSE(f.IsBold(kSpeed));
    f.SetBold(kSpeed, true);
    EXPECT_TRUE(f.IsBold(kSpeed));
}

TEST(FormWindow, TabWalksTheControlsInTableOrderAndEnterOrEscapeClosesNothing) {
    Owned<TestForm> form;
    form.Create();
    Form& f = form.form();
    SetFocus(f.Control(kEditA));
    // The speed button is skipped; the radio group is entered at its first item; the list ends the round.
    HWND firstItem = FindWindowExW(f.Control(kRadio), nullptr, L"Button", L"top");
    const HWND expected[] = {f.Control(kPush), f.Control(kCheck), firstItem, f.Control(kCombo), f.Control(kEditB),
                             f.Control(kList), f.Control(kEditA)};
    for (HWND next : expected) {
        e2e::PressKey(VK_TAB);
        EXPECT_TRUE(PumpUntil([&] { return GetFocus() == next; }, 2000))
            << "focus on id " << GetDlgCtrlID(GetFocus()) << ", expected " << GetDlgCtrlID(next);
    }

    // A digit typed after Enter and Escape is handled after them: once the edit shows it, whatever they did is
    // done.
    SetFocus(f.Control(kEditB));
    e2e::PressKey(VK_RETURN);
    e2e::PressKey(VK_ESCAPE);
    e2e::PressKey('7');
    EXPECT_TRUE(PumpUntil([&] { return e2e::WindowText(f.Control(kEditB)) == L"7"; }, 5000))
        << "the edit did not take the digit typed after Enter and Escape";
    EXPECT_TRUE(form.Exists());
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));
    EXPECT_TRUE(form.clicks.empty());
    EXPECT_EQ(GetFocus(), f.Control(kEditB));
}

// Made with `new`; its "close" button releases it and tells when the object is gone.
class SelfFreeing : public TestForm {
public:
    explicit SelfFreeing(bool* freed) : freed_(freed) {
        FreeWithWindow();
        Bind(kPush, Event::Click, [this] {
            Release();
            handlerFinished = true;  // the object is still there after the request
        });
    }
    ~SelfFreeing() override { *freed_ = true; }
    bool handlerFinished = false;

private:
    bool* freed_;
};

TEST(FormWindow, ClosesAndFreesItselfFromItsOwnHandler) {
    bool freed = false;
    auto* window = new SelfFreeing(&freed);
    window->Create();
    HWND hwnd = window->hwnd();
    ASSERT_TRUE(ClickAt(window->form().Control(kPush), [&] { return freed; })) << "the window was not freed";
    EXPECT_FALSE(IsWindow(hwnd));
}

int g_reports = 0;
void CountReport(HWND, const AppError&) {
    ++g_reports;
    // A message box runs messages while it is up: the failing handlers run again meanwhile.
    PumpUntil([] { return false; }, 300);
}

class Failing : public Window {
public:
    explicit Failing(UINT failOn) : failOn_(failOn) {}
    void Create() {
        Window::Create({L"VelmoFailingTest", 0, nullptr},
                       {L"failing", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, {50, 50, 200, 100}, nullptr, 0});
    }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == failOn_)
            throw std::runtime_error("handler failed");
        return Default(msg, wp, lp);
    }

private:
    UINT failOn_;
};

TEST(Window, FailedHandlersKeepTheWindowAndReportOnce) {
    Window::SetErrorReporter(&CountReport);
    g_reports = 0;
    {
        Owned<Failing> window(WM_CLOSE);
        window.Create();
        SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(window.Exists()) << "a failed close request destroyed the window";
        EXPECT_EQ(g_reports, 1);
    }
    g_reports = 0;
    {
        Owned<Failing> window(WM_PAINT);
        window.Create();
        InvalidateRect(window.hwnd(), nullptr, TRUE);
        PumpUntil([] { return false; }, 300);
        EXPECT_EQ(g_reports, 1) << "a paint that always fails stacked reports";
    }
    g_reports = 0;
    {
        Owned<Failing> window(WM_CREATE);
        EXPECT_THROW(window.Create(), AppError);
        EXPECT_FALSE(window.Exists());
        EXPECT_EQ(g_reports, 1);
    }
    Window::SetErrorReporter(nullptr);
}

// A dialog with an edit and no default or cancel button, ended by its close box.
class PromptLike : public TestForm {
public:
    PromptLike(HWND host, bool* hostEnabledAtDestroy) : host_(host), hostEnabledAtDestroy_(hostEnabledAtDestroy) {}
    bool done = false;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_CLOSE) {
            done = true;
            return 0;
        }
        if (msg == WM_DESTROY)
            *hostEnabledAtDestroy_ = IsWindowEnabled(host_) != FALSE;
        return TestForm::OnMessage(msg, wp, lp);
    }

private:
    HWND host_;
    bool* hostEnabledAtDestroy_;
};

TEST(Modal, DisablesTheOthersIgnoresEnterAndEscapeAndPassesQuitOn) {
    Owned<TestForm> host;
    host.Create({500, 100});
    bool hostEnabledAtDestroy = false;
    Owned<PromptLike> dialog(host.hwnd(), &hostEnabledAtDestroy);
    dialog.Create({100, 100});
    ShowWindow(dialog.hwnd(), SW_HIDE);

    // A digit typed after Enter and Escape is handled after them: once the focused edit shows it, a dialog they
    // ended would be gone.
    HWND edit = dialog.form().Control(kEditA);
    std::atomic<bool> hostWasDisabled{false}, digitTyped{false}, dialogSurvivedKeys{false};
    std::thread driver([&] {
        // Keys go to the window that has the focus when they are sent.
        e2e::WaitUntil([&] { return GetForegroundWindow() == dialog.hwnd() && e2e::FocusOf(dialog.hwnd()) == edit; });
        hostWasDisabled = !IsWindowEnabled(host.hwnd());
        e2e::PressKey(VK_RETURN);
        e2e::PressKey(VK_ESCAPE);
        e2e::PressKey('7');
        digitTyped = e2e::WaitUntil([&] { return e2e::WindowText(edit).find(L'7') != std::wstring::npos; });
        dialogSurvivedKeys = IsWindowVisible(dialog.hwnd()) != FALSE;
        PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
    });
    const bool quit = RunModal(dialog, edit, [&] { return dialog.done; });
    driver.join();
    EXPECT_FALSE(quit);
    EXPECT_TRUE(hostWasDisabled);
    EXPECT_TRUE(digitTyped) << "the edit did not take the digit typed after Enter and Escape";
    EXPECT_TRUE(dialogSurvivedKeys) << "Enter or Escape ended the dialog";
    EXPECT_TRUE(hostEnabledAtDestroy) << "the owner was enabled only after the dialog went";
    EXPECT_FALSE(dialog.Exists());
    EXPECT_TRUE(IsWindowEnabled(host.hwnd()));

    // A WM_QUIT that arrives during the loop ends it and is posted again for the outer loop.
    Owned<PromptLike> second(host.hwnd(), &hostEnabledAtDestroy);
    second.Create({100, 100});
    PostQuitMessage(7);
    EXPECT_TRUE(RunModal(second, nullptr, [&] { return second.done; }));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
}  // namespace velmo::win
