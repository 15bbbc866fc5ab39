// The control window's editors as rules over the settings record.
#include "core/ControlRules.h"
#include "core/IniValue.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

TEST(ControlRules, IntegerTextRuleOfTheEdits) {
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {" 12", 12},      {"+12", 12},        {"-3", -3},     {"$10", 16},          {"$ff", 255},
        {"-2147483648", -2147483647 - 1},     {"0x10", std::nullopt},  // no "0x" in an edit
        {"1.5", std::nullopt}, {"", std::nullopt}, {"   ", std::nullopt}, {"99999999999", std::nullopt},
        {"12 ", std::nullopt}, {"abc", std::nullopt},
        // A sign goes only with decimal digits, and directly before them.
        {"-$10", std::nullopt}, {"+$10", std::nullopt}, {"$-10", std::nullopt}, {"- 5", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseInt32(c.text), c.value) << "text: '" << c.text << "'";
}

TEST(ControlRules, StartAndLengthEditsKeepTheirRanges) {
    struct Case {
        const char* position;
        const char* text;
        int32_t expected;  // StartPosition afterwards; kBefore when the text is no integer
    };
    constexpr int32_t kBefore = 77;
    const Case starts[] = {
        {"t", "1", 4},      {"t", "12", 12},    {"t", "120", 120},  {"t", "5000", 5000},  // no bound on top
        {"t", "-3", 4},     {"t", "$10", 16},   {"t", "abc", kBefore}, {"t", "", kBefore},
        {"r", "5000", 200}, {"l", "768", 768},  {"l", "769", 200},  {"b", "5000", 5000},
        {"x", "5000", 5000},                                                               // placed like "t"
    };
    for (const Case& c : starts) {
        Settings s;
        s.Position = c.position;
        s.MH = 768;
        s.StartPosition = kBefore;
        EXPECT_EQ(ApplyStartPositionText(s, c.text), c.expected != kBefore);
        EXPECT_EQ(s.StartPosition, c.expected) << c.position << " '" << c.text << "'";
    }

    Settings s;
    EXPECT_TRUE(ApplyLengthText(s, "3"));
    EXPECT_EQ(s.Length, 4);
    EXPECT_FALSE(ApplyLengthText(s, "99999999999"));
    EXPECT_EQ(s.Length, 4);
    EXPECT_TRUE(ApplyLengthText(s, "2"));  // an opened window shows 2 while the record holds 4
    EXPECT_EQ(s.Length, 4);
}

TEST(ControlRules, OpeningCorrectionsRadioItemsAndCaption) {
    for (auto [adj, expected] : {std::pair{-1, 3}, {9, 5}, {0, 0}, {5, 5}, {-7, 3}}) {
        Settings s;
        s.Adj = adj;
        CorrectAdjForEditor(s);
        EXPECT_EQ(s.Adj, expected) << adj;
    }
    EXPECT_EQ(EdgeItem("t"), 0);
    EXPECT_EQ(EdgeItem("b"), 1);
    EXPECT_EQ(EdgeItem("l"), 2);
    EXPECT_EQ(EdgeItem("r"), 3);
    EXPECT_EQ(EdgeItem("R"), 0);
    EXPECT_EQ(EdgeItem(""), 0);
    EXPECT_EQ(EdgeOfItem(1), "b");
    EXPECT_EQ(EdgeOfItem(3), "r");
    EXPECT_EQ(EdgeOfItem(-1), "t");

    const LeadBytes cp932 = LeadBytes::Cp932();
    EXPECT_EQ(ControlWindowCaption("", cp932), " Velmo - ");
    EXPECT_EQ(ControlWindowCaption("C:\\pics\\sea.bmp", cp932), " Velmo - sea.bmp");
    // "\x83\x5C" is one character whose second byte looks like a separator.
    EXPECT_EQ(ControlWindowCaption("C:\\\x83\x5C.bmp", cp932), " Velmo - \x83\x5C.bmp");
}

}  // namespace
}  // namespace velmo
