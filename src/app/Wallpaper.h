// The desktop wallpaper: set through the system and recorded in win.ini, read back from win.ini.
#pragma once

#include <string>

namespace velmo::app {

// Makes the bitmap file the desktop wallpaper. A missing file gets "ファイルが存在しません。" after DropTopmost;
// a file that is not a readable bitmap throws AppError to the caller; a later failure (win.ini cannot be
// written) only leaves the topmost band.
void SetDesktopWallpaper(const std::string& path);

// The wallpaper recorded in win.ini, lowercased (LowerAcp); empty when there is none.
std::string ReadDesktopWallpaper();

}  // namespace velmo::app
