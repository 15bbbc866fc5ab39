// The settings record and the table of every key of the settings file.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/PathParts.h"

namespace velmo {

// Field names are the key names of section [Velmo]. A default-constructed record holds every field's
// default from kSettingsKeys.
struct Settings {
    Settings();

    int32_t StartPosition;  // offset of the strip along its edge
    int32_t Length;         // extent of the strip along its edge
    int32_t Adj;            // thickness adjustment: the strip shows Adj + 1 pixels
    std::string Position;   // edge letter: "t", "b", "l" or "r"; at most one character
    int32_t MW;             // screen size when the picture was last revealed
    int32_t MH;
    bool Max_SOT;  // keep the revealed window in the topmost band
};

inline constexpr const char* kSettingsSection = "Velmo";
inline constexpr const char* kControlSection = "F_Con";  // the control window's position

enum class ValueKind {
    Text,        // kept as read
    Integer,     // read by ParseIniInt
    Boolean,     // read by ParseIniBool, written as "0" or "1"
    EdgeLetter,  // only the first character of the text is kept
};

// One key of the settings file. A value present in the file is read by the rules of its kind with the
// default as fallback; a missing key is the default itself. The range is what the program keeps the value
// in once it uses it; reading does not apply it.
struct SettingsKey {
    const char* section;
    const char* name;
    ValueKind kind;
    const char* defaultText;  // Text and EdgeLetter
    int32_t defaultNumber;    // Integer; Boolean as 0 or 1
    int32_t minimum;          // Integer
    int32_t maximum;
    // The record field the key loads into and saves from; all null for a key outside the record.
    int32_t Settings::*integer;
    bool Settings::*boolean;
    std::string Settings::*text;
};

inline constexpr int32_t kNoMinimum = std::numeric_limits<int32_t>::min();
inline constexpr int32_t kNoMaximum = std::numeric_limits<int32_t>::max();

constexpr SettingsKey TextKey(const char* section, const char* name, const char* fallback) {
    return {section, name, ValueKind::Text, fallback, 0, kNoMinimum, kNoMaximum, nullptr, nullptr, nullptr};
}

constexpr SettingsKey EdgeLetterKey(const char* section,
                                    const char* name,
                                    const char* fallback,
                                    std::string Settings::*field) {
    return {section, name, ValueKind::EdgeLetter, fallback, 0, kNoMinimum, kNoMaximum, nullptr, nullptr, field};
}

constexpr SettingsKey IntegerKey(const char* section,
                                 const char* name,
                                 int32_t fallback,
                                 int32_t Settings::*field = nullptr,
                                 int32_t minimum = kNoMinimum,
                                 int32_t maximum = kNoMaximum) {
    return {section, name, ValueKind::Integer, nullptr, fallback, minimum, maximum, field, nullptr, nullptr};
}

constexpr SettingsKey BooleanKey(const char* section,
                                 const char* name,
                                 bool fallback,
                                 bool Settings::*field = nullptr) {
    return {section, name, ValueKind::Boolean, nullptr, fallback ? 1 : 0, 0, 1, nullptr, field, nullptr};
}

// Every key the program reads or writes. [Velmo] is in the order SaveSettings writes it: Photo_1, then the
// record's keys.
inline constexpr SettingsKey kSettingsKeys[] = {
    TextKey(kSettingsSection, "Photo_1", "none"),
    IntegerKey(kSettingsSection, "StartPosition", 200, &Settings::StartPosition, 4),
    IntegerKey(kSettingsSection, "Length", 250, &Settings::Length, 4),
    // Adj is brought into 0..5 by three rules that differ on purpose: reading keeps any number (this range is
    // what the other two take their bounds from); ClampStrip (Strip.cpp) makes a negative Adj 5, the thickest
    // strip, after giving the shortest strip at least 3; CorrectAdjForEditor (ControlRules.cpp) makes it 3 for
    // the editor's list, which never shows the strip itself.
    IntegerKey(kSettingsSection, "Adj", 2, &Settings::Adj, 0, 5),
    EdgeLetterKey(kSettingsSection, "Position", "t", &Settings::Position),
    IntegerKey(kSettingsSection, "MW", 640, &Settings::MW),
    IntegerKey(kSettingsSection, "MH", 480, &Settings::MH),
    BooleanKey(kSettingsSection, "Max_SOT", false, &Settings::Max_SOT),
    BooleanKey(kSettingsSection, "Palette_C", false),   // palette steps on any display
    BooleanKey(kSettingsSection, "Palette_use", true),  // palette steps on a 256-entry palette display
    IntegerKey(kControlSection, "Top", 280),
    IntegerKey(kControlSection, "Left", 190),
};

// The table entry of `name` in `section`; a name not in the table fails to compile where it is constexpr.
constexpr const SettingsKey& SettingsKeyNamed(std::string_view section, std::string_view name) {
    for (const SettingsKey& key : kSettingsKeys) {
        if (section == key.section && name == key.name)
            return key;
    }
    throw std::invalid_argument("no such settings key");
}

inline constexpr const SettingsKey& kPhotoKey = SettingsKeyNamed(kSettingsSection, "Photo_1");
inline constexpr const SettingsKey& kStartPositionKey = SettingsKeyNamed(kSettingsSection, "StartPosition");
inline constexpr const SettingsKey& kLengthKey = SettingsKeyNamed(kSettingsSection, "Length");
inline constexpr const SettingsKey& kAdjKey = SettingsKeyNamed(kSettingsSection, "Adj");
inline constexpr const SettingsKey& kPositionKey = SettingsKeyNamed(kSettingsSection, "Position");
inline constexpr const SettingsKey& kPaletteForceKey = SettingsKeyNamed(kSettingsSection, "Palette_C");
inline constexpr const SettingsKey& kPaletteUseKey = SettingsKeyNamed(kSettingsSection, "Palette_use");
inline constexpr const SettingsKey& kControlTopKey = SettingsKeyNamed(kControlSection, "Top");
inline constexpr const SettingsKey& kControlLeftKey = SettingsKeyNamed(kControlSection, "Left");

constexpr bool IsRecordKey(const SettingsKey& key) {
    return key.integer != nullptr || key.boolean != nullptr || key.text != nullptr;
}

// The value of an Integer or Boolean key; `text` is what the file holds, nothing for a missing key.
int32_t IntegerValue(const SettingsKey& key, const std::optional<std::string>& text);
bool BooleanValue(const SettingsKey& key, const std::optional<std::string>& text);

// The value of a Text or EdgeLetter key. `lead` tells a double-byte first character of an edge letter.
std::string TextValue(const SettingsKey& key, const std::optional<std::string>& text, const LeadBytes& lead);

// Stores the value of a record key into its field of `settings`.
void LoadRecordKey(Settings& settings,
                   const SettingsKey& key,
                   const std::optional<std::string>& text,
                   const LeadBytes& lead);

// The text written for a record key.
std::string RecordKeyText(const Settings& settings, const SettingsKey& key);

}  // namespace velmo
