#include "app/AppWindows.h"

#include <windows.h>

#include <vector>

#include "app/Globals.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "win/MessageDialog.h"

namespace velmo::app {

namespace {

// The windows are this process's own: a program of another folder has windows of the same classes, which a
// lookup by class name could find instead.
void SetBand(HWND band, bool checked) {
    if (Form1 && Form1->Exists()) {
        SetWindowPos(Form1->hwnd(), band, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        Form1->SetK1Checked(checked);
    }
    if (ControlWindowOpen && F_Control && F_Control->Exists())
        SetWindowPos(F_Control->hwnd(), band, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

}  // namespace

void ShowGuardMessage(const wchar_t* message) {
    win::ShowMessageDialog(message);
}

void MakeTopmost() {
    SetBand(HWND_TOPMOST, true);
}

void DropTopmost() {
    SetBand(HWND_NOTOPMOST, false);
}

void ShowControlWindow() {
    if (ControlWindowOpen && F_Control)
        F_Control->ShowInFront();
    else
        OpenControlWindow();
}

void CloseControlWindow() {
    if (ControlWindowOpen && F_Control)
        F_Control->Close();
}

void ApplyControlWindowCaption() {
    if (ControlWindowOpen && F_Control)
        F_Control->ApplyCaption();
}

void DestroyControlWindow() {
    if (F_Control)
        F_Control->Destroy();
}

HWND MainWindowHandle() {
    return Form1 ? Form1->hwnd() : nullptr;
}

void LoadPictureInMainWindow(const std::string& path, bool show) {
    if (!Form1)
        return;
    if (show && !Form1->Image1().Visible())
        Form1->Image1().Show(true);
    Form1->LoadPicture(path);
}

win::Picture& MainPicture() {
    if (!Form1)
        throw win::AppError(L"", "MainPicture (no main window)", 0);
    return Form1->Image1();
}

namespace {

std::vector<HWND> g_hidden;  // not owned: the windows MinimizeApplication took off the screen

BOOL CALLBACK HideOne(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_HIDE);
        g_hidden.push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

void MinimizeApplication() {
    EnumThreadWindows(GetCurrentThreadId(), &HideOne, 0);
}

void RestoreApplication() {
    for (HWND hwnd : g_hidden) {
        if (IsWindow(hwnd))
            ShowWindow(hwnd, SW_SHOWNA);
    }
    g_hidden.clear();
}

void StandbyMainWindow() {
    if (Form1)
        Form1->EnterStandby();
}

void CloseMainWindow() {
    if (Form1)
        SendMessageW(Form1->hwnd(), WM_CLOSE, 0, 0);
}

}  // namespace velmo::app
