// U_Splash: the splash window TF_Splash, shown at start-up with the product label.
#include "app/U_Splash.h"

#include <algorithm>

#include "app/Globals.h"

namespace velmo::app {

TF_Splash::TF_Splash() : FormWindow(splash::kForm) {
    FreeWithWindow();
}

void TF_Splash::Create() {
    const Size size = splash::kForm.client;
    const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - size.width) / 2);
    const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - size.height) / 2);
    CreateForm(WS_POPUP | WS_CLIPCHILDREN, 0, {left, top}, nullptr);
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(hwnd());
}

void TF_Splash::FormDestroy() {
    SplashWindowOpen = false;
    F_Splash = nullptr;
}

LRESULT TF_Splash::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        FormDestroy();
        return 0;
    }
    return FormWindow::OnMessage(msg, wp, lp);
}

void PostSplashRelease() {
    if (SplashWindowOpen && F_Splash)
        F_Splash->Release();
}

}  // namespace velmo::app
