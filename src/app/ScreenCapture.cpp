// The control window's "capture": the whole screen, with the program's windows out of the way, into a BMP file in
// the program folder that becomes the shown picture.
#include <optional>
#include <string>

#include "app/AppWindows.h"
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "app/U_CapInfo.h"
#include "app/Unit2.h"
#include "core/Capture.h"
#include "win/BmpFile.h"
#include "win/Files.h"
#include "win/MessageDialog.h"
#include "win/Modal.h"
#include "win/Text.h"

namespace velmo::app {

// "capture": a failure that escapes the capture only leaves the topmost band.
void TF_Control::CaptureButtonClick() {
    GuardSilently([this] { CaptureScreen(); });
}

namespace {

// While the screen is copied the program's windows are away: the windows beneath get this long to repaint.
constexpr DWORD kCaptureWaitMs = 500;

// Entry i stands for hardware palette index i.
win::UniquePalette ExplicitPalette() {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical{0x300, 256, {}};
    for (int i = 0; i < 256; ++i)
        logical.entries[i] = {static_cast<BYTE>(i), 0, 0, PC_EXPLICIT};
    return win::UniquePalette(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)));
}

}  // namespace

// The whole screen, with the program's windows out of the way, into a BMP file in the program folder that
// becomes the shown picture. Every way out shows the windows again.
void TF_Control::CaptureScreen() {
    DropTopmost();
    PromptText.clear();
    HWND main = MainWindowHandle();
    ShowWindow(main, SW_HIDE);
    ShowWindow(hwnd(), SW_HIDE);

    bool abandon = false;
    struct Finish {
        HWND main;
        HWND control;
        const bool& abandon;
        ~Finish() {
            try {
                RestoreApplication();
                win::Picture& image = MainPicture();
                image.Show(true);
                // The previous picture replaces the empty bitmap made for the capture.
                if (abandon)
                    LoadPictureInMainWindow(CurrentPicture, false);
            } catch (...) {
            }
            ShowWindow(main, SW_SHOW);
            ShowWindow(control, SW_SHOW);
        }
    } finish{main, hwnd(), abandon};

    const LeadBytes& lead = win::SystemLeadBytes();
    const std::string folder = ProgramFolder();
    const std::string proposed = ProposeCaptureFile(folder, [](const std::string& path) { return win::FileExists(path); });

    std::optional<win::WindowDc> screen;
    screen.emplace(nullptr);
    if (!*screen)
        throw win::AppError(L"", "GetDC", GetLastError());
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    win::Picture& image = MainPicture();
    image.SetPicture(win::UniqueBitmap(CreateCompatibleBitmap(screen->get(), width, height)), win::UniquePalette());
    if (!image.bitmap())
        throw win::AppError(L"", "CreateCompatibleBitmap", GetLastError());

    PromptText = FileNamePart(proposed, lead);
    PromptMode = "cap";
    ShowNamePrompt();
    PromptMode.clear();
    if (PromptText.empty()) {
        abandon = true;
        return;
    }
    const std::string target = CaptureTarget(folder, PromptText, lead);
    PromptText.clear();
    if (!HasBmpExtension(target, lead)) {
        win::ShowMessageDialog(L"拡張子は、.bmp にして下さい。");
        abandon = true;
        return;
    }

    MinimizeApplication();
    win::WaitPumping(kCaptureWaitMs);
    {
        win::UniqueDc memory(CreateCompatibleDC(screen->get()));
        win::SelectGuard select(memory.get(), image.bitmap());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen->get(), 0, 0, SRCCOPY))
            throw win::AppError(L"", "BitBlt", GetLastError());
    }
    screen.reset();

    if (PaletteMode || ForcePalette) {
        image.SetPalette(ExplicitPalette());
        win::WindowDc dc(main);
        win::PaletteGuard palette(dc.get(), image.palette());
        RealizePalette(dc.get());
    }

    try {
        win::SaveBmpFile(image.bitmap(), image.palette(), target);
    } catch (...) {
        // Nothing names a file that is not there: the previous picture, its name and Photo_1 stay, and the
        // previous picture comes back as after Cancel.
        win::ShowMessageDialog(L"ファイル保存に失敗しました。");
        abandon = true;
        return;
    }
    CurrentPicture = target;
    ApplyCaption();
    WritePhotoSetting(CurrentPicture);
}

}  // namespace velmo::app
