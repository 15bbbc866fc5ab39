// File access: existence is for files only, and a replaced file is replaced whole or not at all.
#include "win/Error.h"
#include "win/Files.h"
#include "win/Handles.h"
#include "win/Text.h"

#include <gtest/gtest.h>

#include "TestUtil.h"

namespace velmo::win {
namespace {

TEST(Files, ExistenceIsForFilesOnly) {
    test::TempFolder temp;
    const std::string folder = temp.Sub("Capture0.bmp");
    EXPECT_FALSE(FileExists(folder.substr(0, folder.size() - 1)));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(temp.path() + "missing.bmp"));
    e2e::WriteFileBytes(temp.path() + "a.bmp", "x");
    EXPECT_TRUE(FileExists(temp.path() + "a.bmp"));
    EXPECT_TRUE(FileExists(temp.path() + "A.BMP"));  // names match whatever the case
}

TEST(Files, ReplacingWritesWholeOrLeavesTheOldFile) {
    test::TempFolder temp;
    const std::string path = temp.path() + "P_List1.dat";
    e2e::WriteFileBytes(path, "old contents that are longer\r\n");
    WriteFileReplacing(path, "new\r\n", 5);
    EXPECT_EQ(e2e::ReadFileBytes(path), "new\r\n");
    EXPECT_FALSE(FileExists(path + ".~new"));

    // A folder standing where the file should be: the write fails with the program's message and
    // leaves no temporary file behind.
    const std::string blocked = temp.Sub("blocked.dat");
    const std::string blockedPath = blocked.substr(0, blocked.size() - 1);
    try {
        WriteFileReplacing(blockedPath, "x", 1);
        FAIL() << "writing over a folder succeeded";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), L"ﾌｧｲﾙ " + AcpToWide(blockedPath) + L" を作成できません");
    }
    EXPECT_FALSE(FileExists(blockedPath + ".~new"));
}

TEST(Files, FailedReadsSayWhichFileAndWhy) {
    test::TempFolder temp;
    const std::string path = temp.path() + "\x83\x5c.bmp";
    try {
        ReadWholeFile(path);
        FAIL();
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), L"ﾌｧｲﾙ " + AcpToWide(path) + L" は開けません");
        EXPECT_EQ(error.code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
    e2e::WriteFileBytes(path, std::string("a\0b", 3));
    EXPECT_EQ(ReadWholeFile(path).size(), 3u);

    // ReadFile succeeds at the end of the file; the early end must not leave an older error as the reason.
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    char bytes[4];
    SetLastError(12345);
    EXPECT_FALSE(ReadExactly(file.get(), bytes, sizeof bytes));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HANDLE_EOF));
}

}  // namespace
}  // namespace velmo::win
