// The program entry: the start-up sequence, the message loop and the top-level error report.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/AppWindows.h"
#include "app/Globals.h"
#include "app/OneProgram.h"
#include "app/U_Splash.h"
#include "app/Unit1.h"
#include "win/MessageDialog.h"
#include "win/Modal.h"
#include "win/Window.h"

namespace velmo::app {

namespace {

// The application object's window: hidden, titled with the application title.
class Application : public win::Window {
public:
    void Initialize() {
        Create({L"VelmoApplication", 0, nullptr}, {kAppTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                                                   {0, 0, 0, 0}, nullptr, 0});
    }
    void SetTitle(const wchar_t* title) {
        SetWindowTextW(hwnd(), title);
        win::SetMessageDialogCaption(title);
    }
};

// What a command without a guard of its own leaves behind: a system message box with the error's text and
// ".", captioned with the application title.
void ReportError(HWND hwnd, const win::AppError& error) {
    win::DialogOpening();
    MessageBoxW(hwnd, win::ReportText(error).c_str(), kAppTitle, MB_OK | MB_ICONERROR);
}

void RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move the focus in the windows that have controls to move through.
        if (win::HandleDialogKeys(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int Run() {
    OneProgram program;
    if (!program.Claim())
        return 0;
    win::Window::SetErrorReporter(&ReportError);
    // Every dialog opens with the program's windows out of the topmost band, so that none of them covers it.
    win::SetDialogOpening(&DropTopmost);
    // The header control of the control window's list comes from the common controls.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    win::Owned<Application> application;
    auto form = std::make_unique<win::Owned<TForm1>>();
    try {
        // The splash frees itself with its window: when the release request arrives, or at the end below.
        SplashWindowOpen = true;
        win::CreateFreedWithWindow(F_Splash, [](TF_Splash& splash) { splash.Create(); });
        application.Initialize();
        application.SetTitle(kAppTitle);
        Form1 = form.get();
        form->Create();
        program.SetMainWindow(form->hwnd());
    } catch (...) {
        // Start-up failures are absorbed: the main window shows up with whatever was set.
    }
    PostSplashRelease();

    if (form->Exists()) {
        ShowWindow(form->hwnd(), SW_SHOW);
        RunMessageLoop();
    }
    // Windows still open go with the application, before the objects that their handlers use; the control window
    // goes without its close sequence.
    DestroyControlWindow();
    if (F_Splash)
        F_Splash->Destroy();
    form->Destroy();
    Form1 = nullptr;
    return 0;
}

}  // namespace

}  // namespace velmo::app

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return velmo::app::Run();
}
