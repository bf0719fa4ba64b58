#include <gtest/gtest.h>

#include "models/setup_model.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::TempDir;
using testing::readText;
using testing::writeText;

constexpr BoxState kOnEnabled{true, true};
constexpr BoxState kOffEnabled{false, true};
constexpr BoxState kOffDisabled{false, false};

Settings readingFrom(bool phone, bool card, bool patch)
{
    Settings s;
    s.readJ2mest = phone || card;
    s.j2mestFromPhone = phone;
    s.j2mestFromCard = card;
    s.patchJ2mest = patch;
    return s;
}

// The J2MEST boxes: reading, its two sources and patching, in that order.
std::vector<BoxState> j2mestBoxes(const SetupModel& m)
{
    return {m.box(SetupOption::ReadJavaSlots), m.box(SetupOption::JavaSlotsFromPhone),
            m.box(SetupOption::JavaSlotsFromCard), m.box(SetupOption::AllowCoreletPatching)};
}

TEST(SetupModel, OpeningWithReadingOn)
{
    Settings s = readingFrom(true, false, true);
    s.setSystemAttr = true;
    const SetupModel m(s, true);
    EXPECT_EQ(m.box(SetupOption::SetSystemAttribute), kOnEnabled);
    EXPECT_EQ(m.box(SetupOption::LogPhoneOperations), kOffEnabled);
    EXPECT_EQ(m.box(SetupOption::ActivateSeemItems), kOffDisabled);
    EXPECT_EQ(j2mestBoxes(m), (std::vector<BoxState>{kOnEnabled, kOnEnabled, kOffEnabled, kOnEnabled}));
    EXPECT_TRUE(m.seemButtonsEnabled());
    EXPECT_EQ(m.workingCopy(), s);
}

TEST(SetupModel, OpeningWithReadingOff)
{
    Settings s;
    s.logEnabled = true;
    const SetupModel m(s, false);
    EXPECT_EQ(m.box(SetupOption::LogPhoneOperations), kOnEnabled);
    EXPECT_EQ(j2mestBoxes(m), (std::vector<BoxState>{kOffEnabled, kOffDisabled, kOffDisabled, kOffDisabled}));
    EXPECT_FALSE(m.seemButtonsEnabled());
}

TEST(SetupModel, CheckingReadEnablesTheSourcesOnly)
{
    SetupModel m(Settings{}, false);
    EXPECT_TRUE(m.setChecked(SetupOption::ReadJavaSlots, true));
    EXPECT_EQ(j2mestBoxes(m), (std::vector<BoxState>{kOnEnabled, kOffEnabled, kOffEnabled, kOffDisabled}));
    EXPECT_TRUE(m.workingCopy().readJ2mest);
}

TEST(SetupModel, CheckingASourceEnablesPatching)
{
    SetupModel m(Settings{}, false);
    m.setChecked(SetupOption::ReadJavaSlots, true);
    m.setChecked(SetupOption::JavaSlotsFromCard, true);
    EXPECT_EQ(j2mestBoxes(m), (std::vector<BoxState>{kOnEnabled, kOffEnabled, kOnEnabled, kOffEnabled}));
    m.setChecked(SetupOption::AllowCoreletPatching, true);
    EXPECT_EQ(m.workingCopy(), readingFrom(false, true, true));
}

TEST(SetupModel, UncheckingTheLastSourceTurnsReadingOff)
{
    SetupModel m(readingFrom(true, true, true), false);
    m.setChecked(SetupOption::JavaSlotsFromPhone, false);
    // One source left: everything stays on and enabled.
    EXPECT_EQ(j2mestBoxes(m), (std::vector<BoxState>{kOnEnabled, kOffEnabled, kOnEnabled, kOnEnabled}));
    EXPECT_EQ(m.workingCopy(), readingFrom(false, true, true));

    m.setChecked(SetupOption::JavaSlotsFromCard, false);
    EXPECT_EQ(j2mestBoxes(m), (std::vector<BoxState>{kOffEnabled, kOffDisabled, kOffDisabled, kOffDisabled}));
    EXPECT_EQ(m.workingCopy(), Settings{});
}

TEST(SetupModel, UncheckingReadClearsEverythingBelowIt)
{
    SetupModel m(readingFrom(true, true, true), false);
    m.setChecked(SetupOption::ReadJavaSlots, false);
    EXPECT_EQ(j2mestBoxes(m), (std::vector<BoxState>{kOffEnabled, kOffDisabled, kOffDisabled, kOffDisabled}));
    EXPECT_EQ(m.workingCopy(), Settings{});
    // Checking it again brings the sources back unchecked.
    m.setChecked(SetupOption::ReadJavaSlots, true);
    EXPECT_EQ(j2mestBoxes(m), (std::vector<BoxState>{kOnEnabled, kOffEnabled, kOffEnabled, kOffDisabled}));
}

TEST(SetupModel, DisabledBoxesCannotChange)
{
    SetupModel m(Settings{}, true);
    EXPECT_FALSE(m.setChecked(SetupOption::ActivateSeemItems, true));
    EXPECT_FALSE(m.setChecked(SetupOption::JavaSlotsFromPhone, true));
    EXPECT_FALSE(m.setChecked(SetupOption::AllowCoreletPatching, true));
    EXPECT_EQ(m.workingCopy(), Settings{});
    EXPECT_EQ(m.box(SetupOption::ActivateSeemItems), kOffDisabled);
}

TEST(SetupModel, PlainBoxesFollowTheirFlags)
{
    SetupModel m(Settings{}, false);
    m.setChecked(SetupOption::SetSystemAttribute, true);
    m.setChecked(SetupOption::LogPhoneOperations, true);
    EXPECT_TRUE(m.workingCopy().setSystemAttr);
    EXPECT_TRUE(m.workingCopy().logEnabled);
    m.setChecked(SetupOption::LogPhoneOperations, false);
    EXPECT_FALSE(m.workingCopy().logEnabled);
}

TEST(SetupModel, OkWithReadCheckedButNoSourceWritesNone)
{
    TempDir dir;
    Settings settings;
    SetupModel m(settings, false);
    m.setChecked(SetupOption::ReadJavaSlots, true);
    m.setChecked(SetupOption::SetSystemAttribute, true);
    ASSERT_TRUE(m.ok(settings, dir.file("tessaro.ini")).ok());
    EXPECT_FALSE(settings.readJ2mest);
    EXPECT_TRUE(settings.setSystemAttr);
    EXPECT_EQ(readText(dir.path() / "tessaro.ini"),
              "[setup]\r\nSetSystemAttr=1\r\nLogEnabled=0\r\nReadJ2MEST=None\r\nPatchJ2MEST=0\r\n");
}

TEST(SetupModel, OkCopiesTheWorkingCopyBack)
{
    TempDir dir;
    Settings settings;
    SetupModel m(settings, false);
    m.setChecked(SetupOption::ReadJavaSlots, true);
    m.setChecked(SetupOption::JavaSlotsFromPhone, true);
    m.setChecked(SetupOption::AllowCoreletPatching, true);
    ASSERT_TRUE(m.ok(settings, dir.file("tessaro.ini")).ok());
    EXPECT_EQ(settings, readingFrom(true, false, true));
    EXPECT_EQ(loadSettings(dir.file("tessaro.ini")), settings);
}

TEST(SetupModel, CancelLeavesSettingsAndFileUnchanged)
{
    TempDir dir;
    const std::string original = "[setup]\r\nReadJ2MEST=Both\r\nPatchJ2MEST=1\r\n";
    writeText(dir.path() / "tessaro.ini", original);
    const Settings settings = loadSettings(dir.file("tessaro.ini"));
    {
        SetupModel m(settings, false);
        m.setChecked(SetupOption::ReadJavaSlots, false);
        m.setChecked(SetupOption::LogPhoneOperations, true);
        // Cancel: the model is dropped without ok().
    }
    EXPECT_EQ(settings, readingFrom(true, true, true));
    EXPECT_EQ(readText(dir.path() / "tessaro.ini"), original);
}

} // namespace
} // namespace tessaro
