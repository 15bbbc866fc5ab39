// Unit1: the main window TForm1, the strip on the screen edge that reveals the picture.
#include "app/Unit1.h"


#include "app/AppWindows.h"
#include "app/Globals.h"
#include "app/OneProgram.h"
#include "app/SettingsFile.h"
#include "app/U_Splash.h"
#include "core/Strip.h"
#include "win/PictureFile.h"
#include "win/Files.h"
#include "win/MessageDialog.h"

namespace velmo::app {

namespace {

bool UsesPalette() {
    return PaletteMode || ForcePalette;
}

}  // namespace

TForm1::TForm1() : FormWindow(form1::kForm) {
    Bind(form1::kPanel1, win::Event::MouseMove, [this] { Panel1MouseMove(); });
    Bind(form1::kImage1, win::Event::DblClick, [this] { Image1DblClick(); });
}

void TForm1::Create() {
    // No border and no caption; the program's top-level windows have no Win32 owner: under Wine an owned window
    // that entered the topmost band while hidden can never leave it again (SetWindowPos(HWND_NOTOPMOST) is
    // ignored).
    CreateForm(WS_POPUP | WS_CLIPCHILDREN, 0, form1::kDesignPosition, nullptr, CS_DBLCLKS);

    PopupMenu1 = win::BuildPopupMenu(form1::kPopupMenu1);

    FormCreate();
}

// Runs while the window is still invisible. Steps up to the picture load share one guard: a failure skips
// the rest silently and the window shows up as far as it got.
void TForm1::FormCreate() {
    try {
        ControlWindowOpen = false;
        PaletteMode = false;
        SetWindowTextW(Panel1().hwnd(), L"");
        Panel1().SetColor(RGB(0, 0, 0));
        const std::string photo = LoadSettings();
        EnterStandby();
        Image1().SetUsePalette(UsesPalette());

        CurrentPicture.clear();
        if (win::FileExists(photo)) {
            try {
                LoadPicture(photo);
                Image1().Show(false);
                // A file that exists but could not be read stays remembered, so it is tried again next time.
                CurrentPicture = photo;
            } catch (...) {
                CurrentPicture.clear();
                Image1().Show(false);
            }
        }
        SplashTransition();
    } catch (...) {
    }
    PostSplashRelease();
    activateInstalled_ = true;
}

void TForm1::EnterStandby() {
    // The normal state from any other: a minimised window that was maximised before is restored to maximised
    // first, and from there to normal.
    if (IsIconic(hwnd()))
        ShowWindow(hwnd(), SW_RESTORE);
    if (IsZoomed(hwnd()))
        ShowWindow(hwnd(), SW_RESTORE);
    Image1().Show(false);
    ClampStrip(Settings);
    const Rect strip = ReachableStripRect(Settings, win::ScreenSize());
    SetWindowPos(hwnd(), nullptr, strip.left, strip.top, strip.width, strip.height, SWP_NOZORDER | SWP_NOACTIVATE);
    MakeTopmost();
}

void TForm1::RevealPicture() {
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    if (rc.bottom - rc.top >= 440 && rc.right - rc.left >= 600)
        return;
    GuardSilently([this] {
        MakeTopmost();
        // The picture is shown before the window grows, in the same step: the first paint of the full screen is
        // then the picture's, with no black panel painted first and painted over a moment later. Nothing is
        // painted in between, so the strip never shows it.
        const bool picture = !CurrentPicture.empty() && win::FileExists(CurrentPicture);
        if (picture)
            Image1().Show(true);
        ShowWindow(hwnd(), SW_MAXIMIZE);
        if (picture) {
            win::Picture& image = Image1();
            if (UsesPalette() && image.palette()) {
                {
                    win::UniqueDc memory(CreateCompatibleDC(nullptr));
                    win::SelectGuard select(memory.get(), image.bitmap());
                    win::PaletteGuard palette(memory.get(), image.palette());
                    RealizePalette(memory.get());
                }
                RealizePictureIn(hwnd());
                image.RepaintNow();
                InvalidateRect(hwnd(), nullptr, FALSE);
                UpdateWindow(hwnd());
            } else {
                // Its one paint now, rather than after the messages that the growing window queued.
                UpdateWindow(image.hwnd());
            }
        }
        Settings.MW = GetSystemMetrics(SM_CXSCREEN);
        Settings.MH = GetSystemMetrics(SM_CYSCREEN);
    });
    if (!Settings.Max_SOT)
        DropTopmost();
}

// Selects the picture's palette as a foreground palette into the window's DC and realises it.
void TForm1::RealizePictureIn(HWND window) {
    win::WindowDc dc(window);
    win::PaletteGuard palette(dc.get(), Image1().palette());
    RealizePalette(dc.get());
}

void TForm1::LoadPicture(const std::string& fileName) {
    if (!win::FileExists(fileName))
        return;
    GuardWithMessage(L"ファイルが開けません。", [&] {
        try {
            ShowPictureFile(fileName);
        } catch (...) {
            // Nothing names the picture that could not be read, even while the message is up.
            CurrentPicture.clear();
            ApplyControlWindowCaption();
            throw;
        }
    });
}

void TForm1::ShowPictureFile(const std::string& fileName) {
    win::Picture& image = Image1();
    if (!image.Visible())
        image.Show(true);
    // A picture of a format other than BMP is fitted to the screen as it is now; a later change of the screen
    // size fits it again at the next load (a double-click on the picture, a new choice, the next start).
    win::LoadedBitmap loaded = win::LoadPictureFile(fileName, win::ScreenSize());
    if (UsesPalette() && loaded.palette) {
        win::WindowDc dc(hwnd());
        win::PaletteGuard palette(dc.get(), loaded.palette.get());
        image.SetPicture(std::move(loaded.bitmap), std::move(loaded.palette));
        RealizePalette(dc.get());
    } else {
        image.SetPicture(std::move(loaded.bitmap), std::move(loaded.palette));
    }
    image.RepaintNow();
    CurrentPicture = fileName;
    ApplyControlWindowCaption();
}

bool TForm1::K1Checked() const {
    return PopupMenu1 && (GetMenuState(PopupMenu1.get(), form1::kK1, MF_BYCOMMAND) & MF_CHECKED);
}

void TForm1::SetK1Checked(bool checked) {
    if (PopupMenu1)
        CheckMenuItem(PopupMenu1.get(), form1::kK1, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Saves the settings; a refused write goes to the error report and keeps the window open.
bool TForm1::FormCloseQuery() {
    try {
        SaveSettings();
        return true;
    } catch (const win::AppError& error) {
        Report(hwnd(), error);
        return false;
    }
}

// The application's main window: closing it ends the program.
void TForm1::FormDestroy() {
    PostQuitMessage(0);
}

void TForm1::FormActivate() {
    if (SplashWindowOpen && F_Splash)
        PostSplashRelease();
    if (K1Checked())
        MakeTopmost();
}

// Runs each time the application becomes the active one: a display of 256 colours or fewer needs the
// picture drawn again through its palette.
void TForm1::ApplicationActivate() {
    win::WindowDc dc(hwnd());
    if (GetDeviceCaps(dc.get(), BITSPIXEL) <= 8)
        Image1().RepaintNow();
}

void TForm1::Panel1MouseMove() {
    RevealPicture();
}

void TForm1::Image1DblClick() {
    GuardSilently([this] { LoadPicture(CurrentPicture); });
}

void TForm1::ShowPopupMenu(LPARAM at) {
    switch (win::TrackContextMenu(PopupMenu1.get(), hwnd(), hwnd(), at)) {
        case form1::kMinimize1:
            minimize1Click();
            break;
        case form1::kK1:
            K1Click();
            break;
        case form1::kSetting1:
            setting1Click();
            break;
        case form1::kK2:
            K2Click();
            break;
        case form1::kExit1:
            Exit1Click();
            break;
    }
}

void TForm1::minimize1Click() {
    EnterStandby();
    CloseControlWindow();
}

void TForm1::K1Click() {
    if (K1Checked())
        DropTopmost();
    else
        MakeTopmost();
}

void TForm1::setting1Click() {
    GuardSilently([] { ShowControlWindow(); });
}

void TForm1::K2Click() {
    DropTopmost();
    const std::string help = HelpFile();
    WinHelpA(hwnd(), help.c_str(), HELP_CONTENTS, 0);
}

// The control window closes first, so its position is written.
void TForm1::Exit1Click() {
    CloseControlWindow();
    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

LRESULT TForm1::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == ShowStripMessage()) {
        // Started again from this folder: the user looks for the strip.
        MakeTopmost();
        return 0;
    }
    switch (msg) {
        case WM_GETMINMAXINFO: {
            // A strip is only a few pixels thick, and the maximised window covers the whole screen.
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = {1, 1};
            info->ptMaxPosition = {0, 0};
            info->ptMaxSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            return 0;
        }
        case WM_CONTEXTMENU:
            ShowPopupMenu(lp);
            return 0;
        case WM_ACTIVATEAPP:
            if (wp && activateInstalled_)
                ApplicationActivate();
            return 0;
        case WM_QUERYENDSESSION:
            FormCloseQuery();
            return TRUE;
    }
    return FormWindow::OnMessage(msg, wp, lp);
}

}  // namespace velmo::app
