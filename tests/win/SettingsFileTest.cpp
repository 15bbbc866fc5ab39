// The settings file through the real profile functions: defaults, missing against empty values, the written
// layout, foreign keys kept, the control window's position, refused writes, and code page 932 paths.
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "win/Error.h"
#include "win/Files.h"
#include "win/Profile.h"
#include "win/Text.h"

#include <gtest/gtest.h>

#include "TestUtil.h"

namespace velmo::app {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = SettingsFile();
        Remove();
        Settings = velmo::Settings{};
        CurrentPicture.clear();
        PaletteMode = ForcePalette = false;
    }
    void TearDown() override { Remove(); }
    void Remove() {
        DeleteFileA(file_.c_str());
        RemoveDirectoryA(file_.c_str());
    }
    std::string file_;
};

TEST_F(SettingsFileTest, SettingsFileIsTheExecutableWithIni) {
    const std::string module = win::ModulePath();
    EXPECT_EQ(file_, module.substr(0, module.size() - 4) + ".ini");
    EXPECT_EQ(HelpFile(), module.substr(0, module.size() - 4) + ".hlp");
    EXPECT_EQ(ProgramFolder() + module.substr(ProgramFolder().size()), module);
    EXPECT_EQ(ProgramFolder().back(), '\\');
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsNotCreated) {
    Settings.Adj = 5;
    Settings.Position = "r";
    EXPECT_EQ(LoadSettings(), "none");
    EXPECT_EQ(Settings.StartPosition, 200);
    EXPECT_EQ(Settings.Length, 250);
    EXPECT_EQ(Settings.Adj, 2);
    EXPECT_EQ(Settings.Position, "t");
    EXPECT_EQ(Settings.MW, 640);
    EXPECT_EQ(Settings.MH, 480);
    EXPECT_FALSE(Settings.Max_SOT);
    EXPECT_FALSE(ForcePalette);
    EXPECT_EQ(ReadControlWindowPosition(), (Point{190, 280}));
    EXPECT_FALSE(win::FileExists(file_));
}

TEST_F(SettingsFileTest, MissingKeysGiveDefaultsEmptyTextsStayEmpty) {
    // The keys only in another section are all missing here.
    e2e::WriteFileBytes(file_, "[Other]\r\nPhoto_1=x\r\nAdj=4\r\nTop=1\r\n");
    EXPECT_EQ(LoadSettings(), "none");
    EXPECT_EQ(Settings.Adj, 2);
    EXPECT_EQ(ReadControlWindowPosition(), (Point{190, 280}));

    // Empty or unparsable numbers read as the default; empty texts stay empty.
    e2e::WriteFileBytes(file_,
                     "[Velmo]\r\nPhoto_1=\r\nStartPosition=\r\nLength=abc\r\nPosition=\r\nMW=12px\r\n"
                     "Max_SOT=\r\n[F_Con]\r\nTop=\r\nLeft=x\r\n");
    Settings.Adj = 5;
    Settings.MH = 1;
    Settings.Max_SOT = true;
    EXPECT_EQ(LoadSettings(), "");
    EXPECT_EQ(Settings.StartPosition, 200);
    EXPECT_EQ(Settings.Length, 250);
    EXPECT_EQ(Settings.Adj, 2);
    EXPECT_EQ(Settings.Position, "");
    EXPECT_EQ(Settings.MW, 640);
    EXPECT_EQ(Settings.MH, 480);
    EXPECT_FALSE(Settings.Max_SOT);
    EXPECT_EQ(ReadControlWindowPosition(), (Point{190, 280}));
}

TEST_F(SettingsFileTest, SaveCreatesTheSectionWithEightKeysInOrder) {
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(e2e::ReadFileBytes(file_),
              "[Velmo]\r\nPhoto_1=\r\nStartPosition=200\r\nLength=250\r\nAdj=2\r\nPosition=t\r\n"
              "MW=640\r\nMH=480\r\nMax_SOT=0\r\n");
}

TEST_F(SettingsFileTest, ValuesAreReadByTheRulesAndForeignKeysSurviveASave) {
    e2e::WriteFileBytes(file_,
                     "; hand-made\r\n[Other]\r\nkeep=1\r\n[velmo]\r\nMax_SOT=2\r\nExtra=x\r\nLength=0x20\r\n"
                     "Position=bottom\r\nPhoto_1=\r\nAdj=$3\r\nStartPosition=12px\r\nPalette_C=1\r\n"
                     "Palette_use=0\r\n[F_Con]\r\nTop=10\r\n");
    EXPECT_EQ(LoadSettings(), "");  // present but empty is not the default "none"
    EXPECT_TRUE(Settings.Max_SOT);
    EXPECT_EQ(Settings.Length, 32);
    EXPECT_EQ(Settings.Position, "b");
    EXPECT_EQ(Settings.Adj, 3);
    EXPECT_EQ(Settings.StartPosition, 200);
    EXPECT_TRUE(ForcePalette);
    EXPECT_FALSE(PaletteMode);  // this display has no 256-entry palette, so Palette_use is not even read

    CurrentPicture = "C:\\pics\\a.bmp";
    SaveSettings();
    const std::string after = e2e::ReadFileBytes(file_);
    EXPECT_NE(after.find("; hand-made\r\n[Other]\r\nkeep=1\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("Max_SOT=1\r\nExtra=x\r\nLength=32\r\nPosition=b\r\nPhoto_1=C:\\pics\\a.bmp\r\n"
                         "Adj=3\r\nStartPosition=200\r\nPalette_C=1\r\nPalette_use=0\r\n"),
              std::string::npos)
        << after;
    EXPECT_NE(after.find("[F_Con]\r\nTop=10\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("MW=640\r\nMH=480\r\n"), std::string::npos) << after;
}

TEST_F(SettingsFileTest, ControlWindowPositionIsWrittenTopThenLeftBesideTheSettings) {
    WriteControlWindowPosition(33, -7);
    EXPECT_EQ(e2e::ReadFileBytes(file_), "[F_Con]\r\nTop=-7\r\nLeft=33\r\n");
    EXPECT_EQ(ReadControlWindowPosition(), (Point{33, -7}));

    SaveSettings();
    WriteControlWindowPosition(5, 6);
    const std::string after = e2e::ReadFileBytes(file_);
    EXPECT_NE(after.find("[F_Con]\r\nTop=6\r\nLeft=5\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("[Velmo]\r\nPhoto_1=\r\nStartPosition=200\r\n"), std::string::npos) << after;
    EXPECT_EQ(LoadSettings(), "");
    EXPECT_EQ(ReadControlWindowPosition(), (Point{5, 6}));

    e2e::WriteFileBytes(file_, "[f_con]\r\nLeft=$10\r\nTop=12px\r\n");  // unparsable Top
    EXPECT_EQ(ReadControlWindowPosition(), (Point{16, 280}));
}

TEST_F(SettingsFileTest, RefusedWriteRaisesWithThePath) {
    ASSERT_TRUE(CreateDirectoryA(file_.c_str(), nullptr));  // a folder where the file should be
    const std::wstring message = win::AcpToWide(file_) + L" に書き込めません";
    try {
        SaveSettings();
        FAIL() << "SaveSettings succeeded on a folder";
    } catch (const win::AppError& error) {
        EXPECT_EQ(error.message(), message);
    }
    try {
        WriteControlWindowPosition(1, 2);
        FAIL() << "WriteControlWindowPosition succeeded on a folder";
    } catch (const win::AppError& error) {
        EXPECT_EQ(error.message(), message);
    }
}

TEST(Profile, Cp932BytesRoundTripThroughTheAnsiCalls) {
    ASSERT_EQ(GetACP(), 932u);
    test::TempFolder temp;
    // "表" and "ソ" end in 0x5C, the byte of "\".
    const std::string folder = temp.Sub("\x95\x5c\x83\x5c");
    const std::string file = folder + "\x83\x5c.ini";
    const std::string value = "C:\\\x95\x5c\\\x83\x5c.bmp";
    win::WriteProfileText(file, "Velmo", "Photo_1", value);
    EXPECT_EQ(win::ReadProfileValue(file, "Velmo", "Photo_1"), value);
    EXPECT_TRUE(win::FileExists(file));

    // A value longer than the reader's 1023 bytes comes back cut there.
    win::WriteProfileText(file, "Velmo", "Long", std::string(1500, 'a'));
    EXPECT_EQ(win::ReadProfileValue(file, "Velmo", "Long").value_or("").size(), 1023u);

    EXPECT_EQ(win::AcpToWide(value), L"C:\\表\\ソ.bmp");
    bool lossy = true;
    EXPECT_EQ(win::WideToAcp(L"C:\\表\\ソ.bmp", &lossy), value);
    EXPECT_FALSE(lossy);
    win::WideToAcp(L"\u0100", &lossy);
    EXPECT_TRUE(lossy);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(win::SystemLeadBytes().IsLead(static_cast<uint8_t>(b)),
                  LeadBytes::Cp932().IsLead(static_cast<uint8_t>(b)))
            << b;
}

TEST(Profile, MissingKeySectionOrFileIsToldFromAnEmptyValue) {
    test::TempFolder temp;
    const std::string file = temp.path() + "p.ini";
    EXPECT_EQ(win::ReadProfileValue(file, "S", "K"), std::nullopt);
    e2e::WriteFileBytes(file, "[S]\r\nEmpty=\r\nBlank=   \r\nK=v\r\n[T]\r\n");
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"S", "Empty", ""},
        {"S", "Blank", ""},
        {"S", "K", "v"},
        {"s", "k", "v"},
        {"S", "Missing", std::nullopt},
        {"T", "K", std::nullopt},
        {"U", "K", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(win::ReadProfileValue(file, c.section, c.key), c.expected) << c.section << "/" << c.key;
}

}  // namespace
}  // namespace velmo::app
