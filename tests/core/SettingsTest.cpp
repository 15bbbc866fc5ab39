#include "core/Settings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/IniValue.h"

namespace velmo {
namespace {

// The profile functions compare section and key names without regard to case.
bool SameName(const char* a, const char* b) {
    std::string x(a), y(b);
    for (char& c : x)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : y)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return x == y;
}

TEST(SettingsKeys, TableIsConsistentAndGivesTheRecordItsDefaults) {
    for (const SettingsKey& key : kSettingsKeys) {
        for (const SettingsKey& other : kSettingsKeys) {
            if (&key != &other)
                EXPECT_FALSE(SameName(key.section, other.section) && SameName(key.name, other.name)) << key.name;
        }
        const bool textual = key.kind == ValueKind::Text || key.kind == ValueKind::EdgeLetter;
        EXPECT_EQ(key.defaultText != nullptr, textual) << key.name;
        EXPECT_LE(key.minimum, key.maximum) << key.name;
        if (!textual) {
            EXPECT_GE(key.defaultNumber, key.minimum) << key.name;
            EXPECT_LE(key.defaultNumber, key.maximum) << key.name;
        }
    }

    // The record's keys in the order they are saved, with the default record's texts.
    const std::pair<const char*, const char*> expected[] = {
        {"StartPosition", "200"}, {"Length", "250"}, {"Adj", "2"}, {"Position", "t"}, {"MW", "640"}, {"MH", "480"},
        {"Max_SOT", "0"},
    };
    const Settings defaults;
    size_t i = 0;
    for (const SettingsKey& key : kSettingsKeys) {
        if (!IsRecordKey(key))
            continue;
        ASSERT_LT(i, std::size(expected));
        EXPECT_STREQ(key.section, kSettingsSection);
        EXPECT_STREQ(key.name, expected[i].first);
        EXPECT_EQ(RecordKeyText(defaults, key), expected[i].second) << key.name;
        ++i;
    }
    EXPECT_EQ(i, std::size(expected));

    // A missing key loads the default even over a changed field.
    Settings changed;
    changed.Adj = 5;
    changed.Position = "r";
    changed.Max_SOT = true;
    for (const SettingsKey& key : kSettingsKeys)
        LoadRecordKey(changed, key, std::nullopt, LeadBytes::Cp932());
    for (const SettingsKey& key : kSettingsKeys)
        EXPECT_EQ(RecordKeyText(changed, key), RecordKeyText(defaults, key)) << key.name;
}

// The value read for `key` as text: nothing for a missing key, else what the file holds.
std::string Read(const SettingsKey& key, const std::optional<std::string>& text) {
    switch (key.kind) {
        case ValueKind::Integer:
            return FormatIniInt(IntegerValue(key, text));
        case ValueKind::Boolean:
            return FormatIniBool(BooleanValue(key, text));
        default:
            return TextValue(key, text, LeadBytes::Cp932());
    }
}

TEST(SettingsKeys, MissingEmptyAndUnparsableValues) {
    struct Case {
        const SettingsKey& key;
        std::optional<std::string> text;
        const char* expected;
    };
    const Case cases[] = {
        {kPhotoKey, std::nullopt, "none"},
        {kPhotoKey, "", ""},  // present but empty is not the default
        {kPhotoKey, " C:\\a b.bmp", " C:\\a b.bmp"},
        {kLengthKey, std::nullopt, "250"},
        {kLengthKey, "$20", "32"},
        {kLengthKey, "12px", "250"},
        {kLengthKey, "", "250"},
        {kLengthKey, "-3", "-3"},  // the range is not applied while reading
        {kAdjKey, "9", "9"},
        {kPaletteUseKey, std::nullopt, "1"},
        {kPaletteUseKey, "0", "0"},
        {kPaletteUseKey, "yes", "1"},
        {kPaletteForceKey, std::nullopt, "0"},
        {kPaletteForceKey, "yes", "0"},
        {kPaletteForceKey, "-1", "1"},
        {kControlTopKey, std::nullopt, "280"},
        {kControlLeftKey, std::nullopt, "190"},
        {kControlLeftKey, "x", "190"},
        {kControlLeftKey, "-20", "-20"},
        {kPositionKey, std::nullopt, "t"},
        {kPositionKey, "", ""},
        {kPositionKey, "bottom", "b"},
        {kPositionKey, "T", "T"},
        {kPositionKey, "\x95\x5c\x83\x5c", "\x95\x5c"},  // a double-byte first character is kept whole
        {kPositionKey, "\x95", "\x95"},                  // a lone lead byte at the end stays one byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.key, c.text), c.expected) << c.key.name << " '" << c.text.value_or("(missing)") << "'";
}

}  // namespace
}  // namespace velmo
