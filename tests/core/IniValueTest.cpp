#include "core/IniValue.h"

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
        {"007", 7},           {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},           {"$FFFFFFFF", -1},
        // Everything below falls back to the default.
        {"12px", 250},        {"", 250},            {"99999999999", 250}, {"2147483648", 250},
        {"-2147483649", 250}, {"$100000000", 250},  {"0x", 250},          {"$", 250},
        {"-", 250},           {"1 2", 250},         {"7 ", 250},          {" 0x20", 250},
        {"0xG", 250},         {"x20", 250},         {"1e3", 250},        {"-$10", 250},
        {"+$10", 250},        {"-0x10", 250},
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

}  // namespace
}  // namespace velmo
