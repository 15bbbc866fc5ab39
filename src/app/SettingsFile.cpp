#include "app/SettingsFile.h"

#include <windows.h>

#include "app/Globals.h"
#include "core/IniValue.h"
#include "core/PathParts.h"
#include "win/Files.h"
#include "win/Handles.h"
#include "win/Profile.h"
#include "win/Text.h"

namespace velmo::app {

std::string SettingsFile() {
    return ReplaceExtension(win::ModulePath(), ".ini", win::SystemLeadBytes());
}

std::string HelpFile() {
    return ReplaceExtension(win::ModulePath(), ".hlp", win::SystemLeadBytes());
}

std::string ProgramFolder() {
    return FolderPart(win::ModulePath(), win::SystemLeadBytes());
}

namespace {

// The number of entries of the display's system palette: exactly 256 marks a palette display.
bool IsPaletteDisplay() {
    win::WindowDc screen(nullptr);
    if (!screen)
        return false;
    win::UniqueDc compatible(CreateCompatibleDC(screen.get()));
    return compatible && GetDeviceCaps(compatible.get(), SIZEPALETTE) == 256;
}

}  // namespace

std::string LoadSettings() {
    PaletteMode = IsPaletteDisplay();

    const std::string file = SettingsFile();
    const std::string photo = win::ReadProfileText(file, kSettingsSection, kPhotoKey, kPhotoDefault);
    for (const SettingsField& field : kSettingsFields) {
        const std::string text =
            win::ReadProfileText(file, kSettingsSection, field.key, FieldDefaultText(field).c_str());
        ApplyFieldText(Settings, field, text, win::SystemLeadBytes());
    }
    ForcePalette = ParseIniBool(win::ReadProfileText(file, kSettingsSection, kPaletteForceKey, "0"), false);
    if (PaletteMode)
        PaletteMode = ParseIniBool(win::ReadProfileText(file, kSettingsSection, kPaletteUseKey, "1"), true);
    return photo;
}

void SaveSettings() {
    const std::string file = SettingsFile();
    win::WriteProfileText(file, kSettingsSection, kPhotoKey, CurrentPicture);
    for (const SettingsField& field : kSettingsFields)
        win::WriteProfileText(file, kSettingsSection, field.key, FieldText(Settings, field));
}

}  // namespace velmo::app
