// The settings record and the table of its keys in the settings file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/PathParts.h"

namespace velmo {

// Field names are the key names of section [Velmo].
struct Settings {
    int32_t StartPosition = 200;  // offset of the strip along its edge
    int32_t Length = 250;         // extent of the strip along its edge
    int32_t Adj = 2;              // thickness adjustment: the strip shows Adj + 1 pixels
    std::string Position = "t";   // edge letter: "t", "b", "l" or "r"; at most one character
    int32_t MW = 640;             // screen size when the picture was last revealed
    int32_t MH = 480;
    bool Max_SOT = false;         // keep the revealed window in the topmost band
};

inline constexpr const char* kSettingsSection = "Velmo";
inline constexpr const char* kPhotoKey = "Photo_1";
inline constexpr const char* kPhotoDefault = "none";
inline constexpr const char* kPaletteForceKey = "Palette_C";
inline constexpr const char* kPaletteUseKey = "Palette_use";

enum class FieldKind { Integer, Boolean, EdgeLetter };

// One key of the record: read and written by the same generic code, in table order.
struct SettingsField {
    const char* key;
    FieldKind kind;
    int32_t defaultValue;          // Integer and Boolean
    int32_t Settings::*integer;    // Integer
    bool Settings::*boolean;       // Boolean
};

inline constexpr SettingsField kSettingsFields[] = {
    {"StartPosition", FieldKind::Integer, 200, &Settings::StartPosition, nullptr},
    {"Length", FieldKind::Integer, 250, &Settings::Length, nullptr},
    {"Adj", FieldKind::Integer, 2, &Settings::Adj, nullptr},
    {"Position", FieldKind::EdgeLetter, 0, nullptr, nullptr},
    {"MW", FieldKind::Integer, 640, &Settings::MW, nullptr},
    {"MH", FieldKind::Integer, 480, &Settings::MH, nullptr},
    {"Max_SOT", FieldKind::Boolean, 0, nullptr, &Settings::Max_SOT},
};

// The text a reader passes as the profile default, so a missing key reads as the field's default.
std::string FieldDefaultText(const SettingsField& field);

// Stores the text read for `field` into `settings` by the value rules.
void ApplyFieldText(Settings& settings, const SettingsField& field, std::string_view text, const LeadBytes& lead);

// The text written for `field`.
std::string FieldText(const Settings& settings, const SettingsField& field);

}  // namespace velmo
