#include "app/SettingsFile.h"

#include <windows.h>

#include <optional>

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

std::optional<std::string> ReadKey(const std::string& file, const SettingsKey& key) {
    return win::ReadProfileValue(file, key.section, key.name);
}

void WriteKey(const std::string& file, const SettingsKey& key, const std::string& text) {
    win::WriteProfileText(file, key.section, key.name, text);
}

}  // namespace

std::string LoadSettings() {
    PaletteMode = IsPaletteDisplay();

    const std::string file = SettingsFile();
    const std::string photo = TextValue(kPhotoKey, ReadKey(file, kPhotoKey), win::SystemLeadBytes());
    for (const SettingsKey& key : kSettingsKeys) {
        if (IsRecordKey(key))
            LoadRecordKey(Settings, key, ReadKey(file, key), win::SystemLeadBytes());
    }
    ForcePalette = BooleanValue(kPaletteForceKey, ReadKey(file, kPaletteForceKey));
    if (PaletteMode)
        PaletteMode = BooleanValue(kPaletteUseKey, ReadKey(file, kPaletteUseKey));
    return photo;
}

void SaveSettings() {
    const std::string file = SettingsFile();
    WriteKey(file, kPhotoKey, CurrentPicture);
    for (const SettingsKey& key : kSettingsKeys) {
        if (IsRecordKey(key))
            WriteKey(file, key, RecordKeyText(Settings, key));
    }
}

Point ReadControlWindowPosition() {
    const std::string file = SettingsFile();
    return {IntegerValue(kControlLeftKey, ReadKey(file, kControlLeftKey)),
            IntegerValue(kControlTopKey, ReadKey(file, kControlTopKey))};
}

void WriteControlWindowPosition(int left, int top) {
    const std::string file = SettingsFile();
    WriteKey(file, kControlTopKey, FormatIniInt(top));
    WriteKey(file, kControlLeftKey, FormatIniInt(left));
}

void WritePhotoSetting(const std::string& path) {
    WriteKey(SettingsFile(), kPhotoKey, path);
}

}  // namespace velmo::app
