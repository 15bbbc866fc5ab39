// Names of screen captures.
#include "core/Capture.h"

#include <gtest/gtest.h>

#include <set>

namespace velmo {
namespace {

TEST(Capture, ProposesTheFirstFreeNumberAndNineWhenAllAreTaken) {
    const std::string folder = "C:\\Velmo\\";
    auto propose = [&](std::set<int> taken) {
        return ProposeCaptureFile(folder, [&](const std::string& path) {
            for (int n : taken) {
                if (path == folder + "Capture" + std::to_string(n) + ".bmp")
                    return true;
            }
            return false;
        });
    };
    EXPECT_EQ(propose({}), folder + "Capture0.bmp");
    EXPECT_EQ(propose({0, 1, 2, 3, 4, 6, 7, 8, 9}), folder + "Capture5.bmp");  // a gap at 5
    EXPECT_EQ(propose({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), folder + "Capture9.bmp");
}

TEST(Capture, TypedNamesGoToTheProgramFolderAndNeedTheBmpExtension) {
    const LeadBytes cp932 = LeadBytes::Cp932();
    const std::string folder = "C:\\Velmo\\";
    EXPECT_EQ(CaptureTarget(folder, "sub\\pic.bmp", cp932), folder + "pic.bmp");
    EXPECT_EQ(CaptureTarget(folder, "C:\\x\\pic.bmp", cp932), folder + "pic.bmp");
    EXPECT_EQ(CaptureTarget(folder, "D:pic.bmp", cp932), folder + "pic.bmp");
    EXPECT_EQ(CaptureTarget(folder, "\x83\x5C.bmp", cp932), folder + "\x83\x5C.bmp");  // "ソ.bmp" stays whole
    EXPECT_EQ(CaptureTarget(folder, "PIC.BMP", cp932), folder + "PIC.BMP");              // the typed case is kept

    EXPECT_TRUE(HasBmpExtension("C:\\Velmo\\PIC.BMP", cp932));
    EXPECT_TRUE(HasBmpExtension("C:\\Velmo\\a.b.Bmp", cp932));
    EXPECT_FALSE(HasBmpExtension("C:\\Velmo\\pic", cp932));
    EXPECT_FALSE(HasBmpExtension("C:\\Velmo\\pic.jpg", cp932));
    EXPECT_FALSE(HasBmpExtension("C:\\Velmo\\pic.bmpx", cp932));
    EXPECT_FALSE(HasBmpExtension("C:\\v.bmp\\pic", cp932));  // a dot in a folder is no extension
}

}  // namespace
}  // namespace velmo
