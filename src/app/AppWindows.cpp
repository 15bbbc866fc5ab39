#include "app/AppWindows.h"

#include <windows.h>

#include "app/Globals.h"
#include "app/Unit1.h"
#include "app/Unit1Form.h"

namespace velmo::app {

namespace {

// The control window's class; it moves with the main window while it is open.
constexpr wchar_t kControlWindowClass[] = L"TF_Control";

void SetBand(HWND band, bool checked) {
    if (HWND main = FindWindowW(form1::kForm.className, nullptr))
        SetWindowPos(main, band, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    if (Form1)
        Form1->SetK1Checked(checked);
    if (ControlWindowOpen) {
        if (HWND control = FindWindowW(kControlWindowClass, nullptr))
            SetWindowPos(control, band, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

}  // namespace

void MakeTopmost() {
    SetBand(HWND_TOPMOST, true);
}

void DropTopmost() {
    SetBand(HWND_NOTOPMOST, false);
}

}  // namespace velmo::app
