// The picture list files and the two columns of a list item.
#include "core/ListFile.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

using Items = std::vector<std::string>;

TEST(ListFile, LinesEndAtAnyLineEndAndANulEndsTheText) {
    struct Case {
        std::string bytes;
        Items items;
    };
    const Case cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},               // no line end after the last line
        {"a\r\r\nb", {"a", "", "b"}},         // a lone CR, then CR LF
        {"a\n\rb", {"a", "", "b"}},           // LF then CR are two line ends
        {"\r\n\r\n", {"", ""}},               // blank lines are items
        {" a \r\n", {" a "}},                 // no trimming
        {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},  // the line with the NUL keeps its part before it
        {std::string("\0a", 2), {}},
        {"C:\\\x83\x5C\\\x95\x5C.bmp\r\n", {"C:\\\x83\x5C\\\x95\x5C.bmp"}},  // bytes kept as they are
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseListFile(c.bytes), c.items) << "bytes: '" << c.bytes << "'";

    EXPECT_EQ(FormatListFile({}), "");
    EXPECT_EQ(FormatListFile({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(FormatListFile(ParseListFile("a\nb")), "a\r\nb\r\n");  // rewritten with CR LF
}

TEST(ListFile, ManyLinesRoundTrip) {
    Items items;
    for (int i = 0; i < 100000; ++i)
        items.push_back("C:\\pics\\picture" + std::to_string(i) + ".bmp");
    const std::string text = FormatListFile(items);
    EXPECT_EQ(ParseListFile(text), items);
}

TEST(ListFile, ColumnsSplitAtRealSeparatorsAndStopAtWholeCharacters) {
    const LeadBytes cp932 = LeadBytes::Cp932();
    ListColumns c = ListItemColumns("C:\\pics\\sea.bmp", cp932);
    EXPECT_EQ(c.folder, " C:\\pics\\");
    EXPECT_EQ(c.file, " sea.bmp");

    // "ソ" (83 5C) and "表" (95 5C) end in a byte that looks like "\": only the real separators count.
    c = ListItemColumns("C:\\\x83\x5C\\\x95\x5C.bmp", cp932);
    EXPECT_EQ(c.folder, " C:\\\x83\x5C\\");
    EXPECT_EQ(c.file, " \x95\x5C.bmp");
    c = ListItemColumns("", cp932);
    EXPECT_EQ(c.folder, " ");
    EXPECT_EQ(c.file, " ");
    c = ListItemColumns("sea.bmp", cp932);  // no folder
    EXPECT_EQ(c.folder, " ");
    EXPECT_EQ(c.file, " sea.bmp");

    // A long folder is cut at 255 bytes, the blank included; a double-byte character that would straddle the
    // limit is left out whole.
    const std::string longFolder = "C:\\" + std::string(300, 'a') + "\\";
    EXPECT_EQ(ListItemColumns(longFolder + "x.bmp", cp932).folder.size(), kMaxColumnBytes);
    std::string japanese = "C:\\";
    while (japanese.size() < 300)
        japanese += "\x83\x5C";
    japanese += "\\x.bmp";
    const std::string folder = ListItemColumns(japanese, cp932).folder;
    EXPECT_EQ(folder.size(), kMaxColumnBytes - 1);  // " C:\" is 4 bytes, then whole 2-byte characters
    EXPECT_EQ(folder.back(), '\x5C');
}

}  // namespace
}  // namespace velmo
