// The program entry: the start-up sequence, the message loop and the top-level error report.
#include <windows.h>

#include <memory>

#include "app/Globals.h"
#include "app/U_Splash.h"
#include "app/Unit1.h"
#include "win/MessageDialog.h"
#include "win/Text.h"
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
    std::wstring text = error.message();
    if (text.empty())
        text = win::AcpToWide(error.what());
    text += L".";
    MessageBoxW(hwnd, text.c_str(), kAppTitle, MB_OK | MB_ICONERROR);
}

int Run() {
    win::Window::SetErrorReporter(&ReportError);

    Application application;
    auto splash = std::make_unique<TF_Splash>();
    auto form = std::make_unique<TForm1>();
    try {
        application.Initialize();
        F_Splash = splash.get();
        SplashWindowOpen = true;
        // The program's top-level windows have no Win32 owner: under Wine an owned window that entered the
        // topmost band while hidden can never leave it again (SetWindowPos(HWND_NOTOPMOST) is ignored).
        splash->Create(nullptr);
        application.SetTitle(kAppTitle);
        Form1 = form.get();
        form->Create(nullptr);
    } catch (...) {
        // Start-up failures are absorbed: the main window shows up with whatever was set.
    }
    PostSplashRelease();

    if (form->Exists()) {
        ShowWindow(form->hwnd(), SW_SHOW);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    Form1 = nullptr;
    F_Splash = nullptr;
    return 0;
}

}  // namespace

}  // namespace velmo::app

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return velmo::app::Run();
}
