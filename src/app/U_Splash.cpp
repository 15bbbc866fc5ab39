// U_Splash: the splash window TF_Splash, shown at start-up with the product label.
#include "app/U_Splash.h"

#include "app/AppWindows.h"
#include "app/Globals.h"
#include "core/Splash.h"
#include "win/Modal.h"

namespace velmo::app {

TF_Splash::TF_Splash() : FormWindow(splash::kForm) {}

void TF_Splash::Create() {
    CreateFormCentred(WS_POPUP | WS_CLIPCHILDREN, 0, nullptr);
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(hwnd());
}

void TF_Splash::FormDestroy() {
    SplashWindowOpen = false;
    F_Splash = nullptr;
}

void TF_Splash::FormClose() {
    closed_ = true;
    ShowWindow(hwnd(), SW_HIDE);
    Release();
}

namespace {

// Repaints what is invalid in the splash and its labels now, without waiting for the message loop.
void PaintNow(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

void TF_Splash::Transition(const Rect& target, const std::string& edge) {
    // The waits handle messages: a release or a close that comes meanwhile must not free this object under
    // the transition, and a close cuts it short.
    const win::Window::Busy busy;
    win::WaitPumping(1000);
    if (closed_)
        return;
    form().Get<win::ControlView>(splash::kLabel1).Show(false);
    form().Get<win::ControlView>(splash::kLabel2).Show(false);
    Panel1().SetBevel(0);
    PaintNow(hwnd());
    win::WaitPumping(500);
    PaintNow(hwnd());
    win::WaitPumping(500);
    if (closed_)
        return;

    auto play = [this](const std::vector<SplashMove>& moves) {
        for (const SplashMove& move : moves) {
            const Rect& b = move.bounds;
            SetWindowPos(hwnd(), nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
            switch (move.after) {
                case SplashPause::None:
                    break;
                case SplashPause::PaintAndWait:
                    PaintNow(hwnd());
                    win::WaitBusy(10);
                    break;
                case SplashPause::Paint:
                    PaintNow(hwnd());
                    break;
                case SplashPause::PaintTwice:
                    PaintNow(hwnd());
                    PaintNow(hwnd());
                    break;
            }
        }
    };
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    const Rect splash{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
    const std::vector<SplashMove> size = PlanSizePhase(splash, target);
    play(size);
    win::WaitPumping(500);
    if (closed_)
        return;
    play(PlanPositionPhase(size.back().bounds, target, edge));
    // What the user did during the last steps reaches the splash, which is still the active window: an Alt+F4
    // meant for it must not be left for the strip, which becomes active next, and end the program.
    win::HandlePending();
}

void SplashTransition() {
    HWND main = MainWindowHandle();
    if (!SplashWindowOpen || !F_Splash || !main)
        return;
    RECT rc;
    GetWindowRect(main, &rc);
    F_Splash->Transition({rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top}, Settings.Position);
}

void PostSplashRelease() {
    if (SplashWindowOpen && F_Splash)
        F_Splash->Release();
}

}  // namespace velmo::app
