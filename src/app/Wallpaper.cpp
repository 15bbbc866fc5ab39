#include "app/Wallpaper.h"

#include <windows.h>

#include <vector>

#include "app/AppWindows.h"
#include "app/Unit2.h"
#include "win/PictureFile.h"
#include "win/Files.h"
#include "win/MessageDialog.h"
#include "win/Profile.h"
#include "win/Text.h"

namespace velmo::app {

namespace {

constexpr char kDesktopSection[] = "Desktop";
constexpr char kWallpaperKey[] = "Wallpaper";

// win.ini in the Windows folder; empty when the folder cannot be told.
std::string WinIniPath() {
    char folder[256] = "";
    const UINT length = GetWindowsDirectoryA(folder, sizeof(folder));
    if (length == 0 || length >= sizeof(folder))
        return std::string();
    return std::string(folder, length) + "\\win.ini";
}

}  // namespace

void SetDesktopWallpaper(const std::string& path) {
    if (!win::FileExists(path)) {
        DropTopmost();
        win::ShowMessageDialog(L"ファイルが存在しません。");
        return;
    }
    {
        // The picture's palette is realised in the main window, so that a palette display shows the wallpaper in
        // its colours; it is deselected again before the bitmap and its palette are freed.
        win::LoadedBitmap loaded = win::LoadPictureFile(path, win::ScreenSize());
        win::WindowDc dc(MainWindowHandle());
        if (dc && loaded.palette) {
            win::PaletteGuard palette(dc.get(), loaded.palette.get());
            RealizePalette(dc.get());
        }
    }
    try {
        std::vector<char> buffer(path.begin(), path.end());
        buffer.push_back('\0');
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, buffer.data(), SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
        const std::string winIni = WinIniPath();
        if (!winIni.empty())
            win::WriteProfileText(winIni, kDesktopSection, kWallpaperKey, path);
    } catch (...) {
        DropTopmost();
    }
}

std::string ReadDesktopWallpaper() {
    const std::string winIni = WinIniPath();
    if (winIni.empty())
        return std::string();
    return win::LowerAcp(win::ReadProfileValue(winIni, kDesktopSection, kWallpaperKey).value_or(std::string()));
}

// The control window's "wall paper": the selected entry becomes the desktop wallpaper; a failure only leaves the
// topmost band.
void TF_Control::WallPaperButtonClick() {
    GuardSilently([this] {
        if (const std::optional<Entry> entry = SelectedEntry())
            SetDesktopWallpaper(entry->path);
    });
}

// "WP_name": the wallpaper as recorded. The button is never shown.
void TF_Control::SpeedButton9Click() {
    win::ShowMessageDialog(win::AcpToWide(ReadDesktopWallpaper()));
}

}  // namespace velmo::app
