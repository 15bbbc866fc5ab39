#include "core/IniValue.h"
#include "core/Settings.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

TEST(IniValue, IntegerReadingRules) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"32", 32},           {"0x20", 32},         {"0X20", 32},        {"$20", 32},
        {"$ff", 255},         {"$FF", 255},         {"  -7", -7},        {"+15", 15},
        {"-$10", -16},        {"007", 7},           {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},           {"$FFFFFFFF", -1},
        // Everything below falls back to the default.
        {"12px", 250},        {"", 250},            {"99999999999", 250}, {"2147483648", 250},
        {"-2147483649", 250}, {"$100000000", 250},  {"0x", 250},          {"$", 250},
        {"-", 250},           {"1 2", 250},         {"7 ", 250},          {" 0x20", 250},
        {"0xG", 250},         {"x20", 250},         {"1e3", 250},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIniInt(c.text, 250), c.expected) << "text: '" << c.text << "'";
}

TEST(IniValue, BooleansAreNonZeroIntegers) {
    EXPECT_TRUE(ParseIniBool("2", false));
    EXPECT_TRUE(ParseIniBool("-1", false));
    EXPECT_FALSE(ParseIniBool("yes", false));
    EXPECT_TRUE(ParseIniBool("yes", true));
    EXPECT_FALSE(ParseIniBool("0", true));
    EXPECT_EQ(FormatIniBool(ParseIniBool("2", false)), "1");
    EXPECT_EQ(FormatIniBool(false), "0");
    EXPECT_EQ(FormatIniInt(-3), "-3");
}

TEST(SettingsFields, TableKeepsFileOrderAndReadsEachKind) {
    const char* expectedOrder[] = {"StartPosition", "Length", "Adj", "Position", "MW", "MH", "Max_SOT"};
    ASSERT_EQ(std::size(kSettingsFields), std::size(expectedOrder));
    for (size_t i = 0; i < std::size(expectedOrder); ++i)
        EXPECT_STREQ(kSettingsFields[i].key, expectedOrder[i]);

    // Reading every key's default text gives the record's defaults.
    Settings fromDefaults;
    fromDefaults.Position = "?";
    fromDefaults.Max_SOT = true;
    for (const SettingsField& field : kSettingsFields)
        ApplyFieldText(fromDefaults, field, FieldDefaultText(field), LeadBytes::Cp932());
    Settings defaults;
    for (const SettingsField& field : kSettingsFields)
        EXPECT_EQ(FieldText(fromDefaults, field), FieldText(defaults, field)) << field.key;

    Settings s;
    const SettingsField& position = kSettingsFields[3];
    ApplyFieldText(s, position, "bottom", LeadBytes::Cp932());
    EXPECT_EQ(s.Position, "b");
    ApplyFieldText(s, position, "", LeadBytes::Cp932());
    EXPECT_EQ(s.Position, "");
    ApplyFieldText(s, position, "T", LeadBytes::Cp932());
    EXPECT_EQ(FieldText(s, position), "T");
    // A double-byte first character is kept whole, never cut to a lone lead byte.
    ApplyFieldText(s, position, "\x95\x5c\x83\x5c", LeadBytes::Cp932());
    EXPECT_EQ(s.Position, "\x95\x5c");

    ApplyFieldText(s, kSettingsFields[6], "-1", LeadBytes::Cp932());
    EXPECT_EQ(FieldText(s, kSettingsFields[6]), "1");
    ApplyFieldText(s, kSettingsFields[1], "$20", LeadBytes::Cp932());
    EXPECT_EQ(s.Length, 32);
}

}  // namespace
}  // namespace velmo
