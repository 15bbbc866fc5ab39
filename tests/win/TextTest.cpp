// Unicode text becoming system-code-page bytes (paths, names typed by the user), and the texts of the error report.
#include <gtest/gtest.h>

#include <string>

#include "win/Error.h"
#include "win/Text.h"

namespace velmo::win {
namespace {

TEST(Text, CharactersWithoutAnExactFormInTheCodePageAreRefusedNeverReplaced) {
    ASSERT_EQ(GetACP(), 932u);
    struct Case {
        const wchar_t* text;
        bool lossy;
        const char* bytes;  // expected when not lossy
    };
    const Case cases[] = {
        {L"café.bmp", true, nullptr},      // best fit would give "cafe.bmp"
        {L"a¥b.bmp", true, nullptr},       // best fit would give "a\b.bmp", a folder
        {L"€", true, nullptr},
        {L"사진.bmp", true, nullptr},
        {L"ソ.bmp", false, "\x83\x5C.bmp"},  // trail byte "\"
        {L"表", false, "\x95\x5C"},
        {L"ｱｲｳ", false, "\xB1\xB2\xB3"},  // half-width kana, one byte each
        {L"①", false, "\x87\x40"},         // in this code page
        {L"a\\b", false, "a\\b"},
    };
    for (const Case& c : cases) {
        bool lossy = !c.lossy;
        const std::string bytes = WideToAcp(c.text, &lossy);
        EXPECT_EQ(lossy, c.lossy) << "case " << (&c - cases);
        if (!c.lossy)
            EXPECT_EQ(bytes, c.bytes);
        else
            EXPECT_EQ(bytes.find('\\'), std::string::npos) << "a look-alike of a path separator";
    }
}

TEST(Text, TheErrorReportSpeaksJapaneseWithTheDetailsAfter) {
    EXPECT_EQ(ReportText(CannotOpenFile("C:\\a.bmp", "CreateFileA", 2)), L"ﾌｧｲﾙ C:\\a.bmp は開けません.");
    EXPECT_EQ(ReportText(AppError(L"", "LB_ADDSTRING", 8)), L"予期しないエラーが発生しました.\r\nLB_ADDSTRING (8)");
    EXPECT_EQ(ReportText(AppError(L"", "std::bad_alloc", 0)), L"予期しないエラーが発生しました.\r\nstd::bad_alloc");
    EXPECT_EQ(ReportText(AppError(L"", "", 0)), L"予期しないエラーが発生しました.");
}

}  // namespace
}  // namespace velmo::win
