#include <gtest/gtest.h>

#include <filesystem>

#include "workspace/settings.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::TempDir;
using testing::readText;
using testing::writeText;

Settings loadText(const std::string& text)
{
    TempDir dir;
    writeText(dir.path() / "tessaro.ini", text);
    return loadSettings(dir.file("tessaro.ini"));
}

Settings make(bool system, bool log, bool read, bool phone, bool card, bool patch)
{
    Settings s;
    s.setSystemAttr = system;
    s.logEnabled = log;
    s.readJ2mest = read;
    s.j2mestFromPhone = phone;
    s.j2mestFromCard = card;
    s.patchJ2mest = patch;
    return s;
}

TEST(Settings, MissingFileGivesEverythingOff)
{
    TempDir dir;
    EXPECT_EQ(loadSettings(dir.file("tessaro.ini")), Settings{});
    EXPECT_EQ(settingsPath("/x/"), "/x/tessaro.ini");
}

TEST(Settings, LoadTable)
{
    struct Case {
        const char* what;
        std::string text;
        Settings expected;
    };
    const std::vector<Case> cases = {
        {"all on, both sources",
         "[setup]\r\nSetSystemAttr=1\r\nLogEnabled=1\r\nReadJ2MEST=Both\r\nPatchJ2MEST=1\r\n",
         make(true, true, true, true, true, true)},
        {"phone only", "[setup]\nReadJ2MEST=Phone\nPatchJ2MEST=0\n", make(false, false, true, true, false, false)},
        {"card only", "[setup]\nReadJ2MEST=Card\nPatchJ2MEST=1\n", make(false, false, true, false, true, true)},
        {"None with patch 1: patching stays off", "[setup]\nReadJ2MEST=None\nPatchJ2MEST=1\n",
         make(false, false, false, false, false, false)},
        {"missing ReadJ2MEST with patch 1", "[setup]\nPatchJ2MEST=1\nLogEnabled=1\n",
         make(false, true, false, false, false, false)},
        {"odd values read as off", "[setup]\nSetSystemAttr=yes\nLogEnabled=true\nReadJ2MEST=phone\nPatchJ2MEST=1\n",
         make(false, false, false, false, false, false)},
        {"values 2 and empty", "[setup]\nSetSystemAttr=2\nLogEnabled=\nReadJ2MEST=\n", Settings{}},
        {"key names without regard to case", "[SETUP]\nsetsystemattr=1\nREADJ2MEST=Card\npatchj2mest=1\n",
         make(true, false, true, false, true, true)},
        {"first of a repeated key counts", "[setup]\nLogEnabled=1\nLogEnabled=0\nReadJ2MEST=Phone\nReadJ2MEST=None\n",
         make(false, true, true, true, false, false)},
        {"spaces around = and values", "[setup]\nLogEnabled = 1 \nReadJ2MEST = Both\n",
         make(false, true, true, true, true, false)},
        {"keys outside the section are not taken", "LogEnabled=1\n[other]\nSetSystemAttr=1\n[setup]\n", Settings{}},
        {"not an INI file at all", std::string("\x00\x01\xFF garbage\n==\n[", 17), Settings{}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(loadText(c.text), c.expected) << c.what;
}

TEST(Settings, ActivateSeemItemsIsNeverRead)
{
    EXPECT_FALSE(loadText("[setup]\nActivateSEEM=1\nCheckBox2=1\n").activateSeemItems);
}

TEST(Settings, SaveWritesTheFourKeys)
{
    struct Case {
        Settings settings;
        const char* read;
    };
    const std::vector<Case> cases = {
        {make(true, false, true, true, true, true), "Both"},
        {make(false, true, true, true, false, false), "Phone"},
        {make(false, false, true, false, true, false), "Card"},
        {make(false, false, false, true, true, false), "None"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        ASSERT_TRUE(saveSettings(dir.file("tessaro.ini"), c.settings).ok());
        const std::string expected = std::string("[setup]\r\n") +
                                     "SetSystemAttr=" + (c.settings.setSystemAttr ? "1" : "0") + "\r\n" +
                                     "LogEnabled=" + (c.settings.logEnabled ? "1" : "0") + "\r\n" +
                                     "ReadJ2MEST=" + c.read + "\r\n" +
                                     "PatchJ2MEST=" + (c.settings.patchJ2mest ? "1" : "0") + "\r\n";
        EXPECT_EQ(readText(dir.path() / "tessaro.ini"), expected) << c.read;
    }
}

TEST(Settings, NoneWithPatchOneWritesZeroAfterALoad)
{
    TempDir dir;
    writeText(dir.path() / "tessaro.ini", "[setup]\r\nReadJ2MEST=None\r\nPatchJ2MEST=1\r\n");
    const Settings loaded = loadSettings(dir.file("tessaro.ini"));
    ASSERT_TRUE(saveSettings(dir.file("tessaro.ini"), loaded).ok());
    EXPECT_EQ(readText(dir.path() / "tessaro.ini"),
              "[setup]\r\nReadJ2MEST=None\r\nPatchJ2MEST=0\r\nSetSystemAttr=0\r\nLogEnabled=0\r\n");
}

TEST(Settings, SaveKeepsOtherSectionsAndKeysAndReplacesRepeatedKeys)
{
    TempDir dir;
    writeText(dir.path() / "tessaro.ini",
              "[window]\nLeft=10\n[setup]\nlogenabled=1\nLogEnabled=1\nExtra=keep\n");
    ASSERT_TRUE(saveSettings(dir.file("tessaro.ini"), make(true, false, false, false, false, false)).ok());
    const std::string text = readText(dir.path() / "tessaro.ini");
    EXPECT_NE(text.find("[window]\r\nLeft=10\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Extra=keep\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("logenabled"), std::string::npos) << text;
    EXPECT_EQ(text.find("LogEnabled=1"), std::string::npos) << text;
    EXPECT_EQ(loadSettings(dir.file("tessaro.ini")), make(true, false, false, false, false, false));
}

TEST(Settings, RoundTrip)
{
    TempDir dir;
    for (const Settings& s : {make(true, true, true, true, false, true), make(false, false, true, false, true, false),
                              make(true, false, false, false, false, false)}) {
        ASSERT_TRUE(saveSettings(dir.file("tessaro.ini"), s).ok());
        EXPECT_EQ(loadSettings(dir.file("tessaro.ini")), s);
    }
}

TEST(Settings, FailedSaveReportsAndLeavesNoFile)
{
    TempDir dir;
    const std::string path = (dir.path() / "missing-folder" / "tessaro.ini").string();
    EXPECT_FALSE(saveSettings(path, Settings{}).ok());
    EXPECT_FALSE(std::filesystem::exists(path));
}


TEST(WindowPlacement, SavedBesideTheSetupKeysAndReadBack)
{
    TempDir dir;
    const std::string path = dir.file("tessaro.ini");
    ASSERT_TRUE(saveSettings(path, make(true, true, false, false, false, false)).ok());
    const WindowPlacement placement{"01d9d0cb0003", "000000ff"};
    ASSERT_TRUE(saveWindowPlacement(path, placement).ok());
    EXPECT_EQ(readText(dir.path() / "tessaro.ini"),
              "[setup]\r\nSetSystemAttr=1\r\nLogEnabled=1\r\nReadJ2MEST=None\r\nPatchJ2MEST=0\r\n\r\n\r\n"
              "[window]\r\nGeometry=01d9d0cb0003\r\nSplitter=000000ff\r\n");
    EXPECT_EQ(loadWindowPlacement(path), placement);
    // Saving the settings again keeps the placement, and the other way round; the file does not
    // grow from saving the same values.
    const std::string once = readText(dir.path() / "tessaro.ini");
    ASSERT_TRUE(saveWindowPlacement(path, placement).ok());
    EXPECT_EQ(readText(dir.path() / "tessaro.ini"), once);
    ASSERT_TRUE(saveSettings(path, make(false, true, false, false, false, false)).ok());
    EXPECT_EQ(loadWindowPlacement(path), placement);
    EXPECT_EQ(loadSettings(path), make(false, true, false, false, false, false));
}

TEST(WindowPlacement, ValuesThatAreNotHexBytesAreIgnored)
{
    const struct {
        const char* text;
        WindowPlacement expected;
    } cases[] = {
        {"", {}},
        {"[window]\nGeometry=abc\nSplitter=00ff\n", {"", "00ff"}},
        {"[window]\nGeometry=zz00\nSplitter=\n", {}},
        {"[window]\nGeometry=0A0b\n", {"0A0b", ""}},
        {"[setup]\nGeometry=00ff\n", {}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeText(dir.path() / "tessaro.ini", c.text);
        EXPECT_EQ(loadWindowPlacement(dir.file("tessaro.ini")), c.expected) << c.text;
    }
}

} // namespace
} // namespace tessaro
