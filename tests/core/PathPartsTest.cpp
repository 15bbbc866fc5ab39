#include "core/PathParts.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

// "表" is 0x95 0x5C and "ソ" is 0x83 0x5C: their trail byte equals "\".
constexpr char kHyo[] = "\x95\x5c";
constexpr char kSo[] = "\x83\x5c";

TEST(PathParts, SplitsPathsOverShiftJisBytes) {
    const LeadBytes sjis = LeadBytes::Cp932();
    struct Case {
        std::string path, folder, name, extension;
    };
    const std::string hyoDir = std::string("C:\\") + kHyo + "\\";
    const Case cases[] = {
        {"C:\\pics\\a.bmp", "C:\\pics\\", "a.bmp", ".bmp"},
        {"a.bmp", "", "a.bmp", ".bmp"},
        {"C:a.b.bmp", "C:", "a.b.bmp", ".bmp"},
        {"C:\\dir.x\\noext", "C:\\dir.x\\", "noext", ""},
        {"C:\\dir\\", "C:\\dir\\", "", ""},
        // A folder named "表": the trail byte is not a separator.
        {hyoDir + "a.bmp", hyoDir, "a.bmp", ".bmp"},
        // A file name ending in "ソ": the name is kept whole.
        {std::string("C:\\x\\") + kSo, "C:\\x\\", kSo, ""},
        {std::string("C:\\x\\") + kSo + ".bmp", "C:\\x\\", std::string(kSo) + ".bmp", ".bmp"},
        // A lone lead byte at the very end is an ordinary byte.
        {std::string("C:\\x\\a\x95"), "C:\\x\\", "a\x95", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderPart(c.path, sjis), c.folder) << c.path;
        EXPECT_EQ(FileNamePart(c.path, sjis), c.name) << c.path;
        EXPECT_EQ(ExtensionPart(c.path, sjis), c.extension) << c.path;
    }

    // Without the lead-byte table the same bytes do split, which is what the table prevents.
    EXPECT_EQ(FileNamePart(std::string("C:\\x\\") + kSo, LeadBytes::None()), "");
}

TEST(PathParts, ReplacesOnlyTheLastComponentsExtension) {
    const LeadBytes sjis = LeadBytes::Cp932();
    EXPECT_EQ(ReplaceExtension("C:\\Velmo\\Velmo.exe", ".ini", sjis), "C:\\Velmo\\Velmo.ini");
    EXPECT_EQ(ReplaceExtension("C:\\v.1\\Velmo", ".ini", sjis), "C:\\v.1\\Velmo.ini");
    EXPECT_EQ(ReplaceExtension("C:\\a.b.exe", ".hlp", sjis), "C:\\a.b.hlp");
    const std::string soDir = std::string("C:\\") + kSo + ".d\\" + kHyo + "\\Velmo.exe";
    EXPECT_EQ(ReplaceExtension(soDir, ".ini", sjis), std::string("C:\\") + kSo + ".d\\" + kHyo + "\\Velmo.ini");
    // The trail byte 0x2E is not possible in CP932, but 0x5C is: "ソ" then ".exe" stays one name.
    EXPECT_EQ(ReplaceExtension(std::string("C:\\") + kSo + "exe", ".ini", sjis),
              std::string("C:\\") + kSo + "exe.ini");
}

TEST(PathParts, Cp932LeadByteRanges) {
    const LeadBytes sjis = LeadBytes::Cp932();
    int count = 0;
    for (int b = 0; b < 256; ++b)
        count += sjis.IsLead(static_cast<uint8_t>(b)) ? 1 : 0;
    EXPECT_EQ(count, (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1));
    EXPECT_FALSE(sjis.IsLead(0x80));
    EXPECT_FALSE(sjis.IsLead(0xA0));
    EXPECT_FALSE(sjis.IsLead(0xFD));
    EXPECT_TRUE(sjis.IsLead(0x81));
    EXPECT_TRUE(sjis.IsLead(0xFC));
}

}  // namespace
}  // namespace velmo
