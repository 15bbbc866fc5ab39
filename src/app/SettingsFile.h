// The settings file beside the executable and the settings record's load and save.
#pragma once

#include <string>

#include "core/Geometry.h"

namespace velmo::app {

// The executable's path with the extension of its last component replaced by ".ini"; computed on every call.
std::string SettingsFile();

// The executable's path with ".hlp" in place of its extension.
std::string HelpFile();

// The folder of the executable, with its trailing "\".
std::string ProgramFolder();

// Fills Settings, ForcePalette and PaletteMode; returns the text of Photo_1. Never fails.
std::string LoadSettings();

// Writes Photo_1 (CurrentPicture) and then the record's keys; a refused write throws "%s に書き込めません" and
// stops there.
void SaveSettings();

// The control window's left (x) and top (y) from [F_Con], read when it opens. Never fails.
Point ReadControlWindowPosition();

// Writes Top and then Left to [F_Con] when the control window closes; a refused write throws like SaveSettings.
void WriteControlWindowPosition(int left, int top);

// Writes the one key Photo_1, the picture to show at the next start; throws like SaveSettings.
void WritePhotoSetting(const std::string& path);

}  // namespace velmo::app
