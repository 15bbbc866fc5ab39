// The list the control window shows, as a model: its commands and the bytes it writes back.
#include "core/PictureList.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

TEST(PictureList, EveryLineComesBackByteForByteUnlessItWasChanged) {
    // Lines a code-page conversion would not keep: invalid Shift-JIS pairs, a lone lead byte at the end of a
    // line, UTF-8, control bytes, and a trail byte "\" inside a real character.
    const std::string odd[] = {
        "C:\\a\x81\x20z.bmp", "C:\\lone\x81", "C:\\caf\xC3\xA9.bmp", "\x01\x02\x1F\x7F\xFF\xFE\xFD",
        "C:\\\x83\x5C.bmp", "",
    };
    std::string file;
    for (const std::string& line : odd)
        file += line + "\r\n";

    PictureList list("P_List2.dat", file);
    EXPECT_EQ(list.file(), "P_List2.dat");
    ASSERT_EQ(list.size(), std::size(odd));
    EXPECT_EQ(list.Format(), file);

    // The commands touch only the entry they name; every other entry keeps its bytes.
    list.Add("C:\\new.bmp");
    list.Replace(0, "C:\\renamed.bmp");
    list.Remove(5);
    list.Remove(-1);
    list.Remove(99);
    list.Replace(99, "nothing");
    std::string expected = "C:\\renamed.bmp\r\n";
    for (size_t i = 1; i < 5; ++i)
        expected += odd[i] + "\r\n";
    expected += "C:\\new.bmp\r\n";
    EXPECT_EQ(list.Format(), expected);
    EXPECT_STREQ(list.CString(0), "C:\\renamed.bmp");  // each entry ends in a NUL for the calls that want one
    EXPECT_STREQ(list.CString(1), "C:\\lone\x81");
    EXPECT_EQ(list[5], "C:\\new.bmp");
    EXPECT_TRUE(list.Has(0) && list.Has(5));
    EXPECT_FALSE(list.Has(6) || list.Has(-1));

    // A file with no line end after its last line and with LF ends is written back in the list's own form.
    EXPECT_EQ(PictureList("P_List1.dat", "a\nb").Format(), "a\r\nb\r\n");
    EXPECT_EQ(PictureList().Format(), "");
}

}  // namespace
}  // namespace velmo
