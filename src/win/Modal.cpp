#include "win/Modal.h"

namespace velmo::win {

namespace {

struct DisableState {
    HWND except;
    std::vector<HWND>* windows;
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM lp) {
    auto* state = reinterpret_cast<DisableState*>(lp);
    if (hwnd != state->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        state->windows->push_back(hwnd);
    }
    return TRUE;
}

void (*g_dialogOpening)() = nullptr;

}  // namespace

void SetDialogOpening(void (*opening)()) {
    g_dialogOpening = opening;
}

void DialogOpening() {
    if (g_dialogOpening)
        g_dialogOpening();
}

DisabledWindows::DisabledWindows(HWND except) {
    DisableState state{except, &windows_};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&state));
}

DisabledWindows::~DisabledWindows() {
    for (HWND window : windows_) {
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
}

bool HandlePending() {
    const Window::Busy busy;  // whoever handles them goes on afterwards with the windows it uses
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return true;
        }
        if (!HandleDialogKeys(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return false;
}

void WaitPumping(DWORD milliseconds) {
    const Window::Busy busy;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        if (HandlePending())
            return;
        Sleep(1);
    }
}

void WaitBusy(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds)
        Sleep(1);
}

bool RunModal(Window& dialog, HWND focus, const std::function<bool()>& finished) {
    // The dialog goes after the windows are enabled again (members of a scope are destroyed in reverse).
    struct DestroyAtEnd {
        Window& dialog;
        ~DestroyAtEnd() { dialog.Destroy(); }
    } destroy{dialog};
    const Window::Busy busy;  // the caller goes on afterwards with the windows it uses
    DisabledWindows disabled(dialog.hwnd());

    DialogOpening();
    ShowWindow(dialog.hwnd(), SW_SHOW);
    SetForegroundWindow(dialog.hwnd());
    if (focus)
        SetFocus(focus);

    MSG msg;
    while (!finished() && dialog.Exists()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return true;
        }
        if (got == -1)
            break;
        if (!IsDialogMessageW(dialog.hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return false;
}

}  // namespace velmo::win
