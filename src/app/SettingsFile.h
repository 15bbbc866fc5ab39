// The settings file beside the executable and the settings record's load and save.
#pragma once

#include <string>

namespace velmo::app {

// The executable's path with the extension of its last component replaced by ".ini"; computed on every call.
std::string SettingsFile();

// The executable's path with ".hlp" in place of its extension.
std::string HelpFile();

// The folder of the executable, with its trailing "\".
std::string ProgramFolder();

// Fills Settings, ForcePalette and PaletteMode; returns the text of Photo_1. Never fails.
std::string LoadSettings();

// Writes CurrentPicture and the record; a refused write throws "%s に書き込めません" and stops there.
void SaveSettings();

}  // namespace velmo::app
