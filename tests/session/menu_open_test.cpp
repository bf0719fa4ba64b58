#include <gtest/gtest.h>

#include "core/open_menu.h"
#include "session/menu_open.h"
#include "workspace/profiles.h"
#include "support/menu_builder.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::MenuBuilder;
using testing::TempDir;
using testing::readText;
using testing::writeBytes;
using testing::writeText;

const Notice kMismatch{MessageIcon::Warning, "Profile error",
                       "Selected profile doesn't match mma_ucp\r\n    Default profile will be applied"};
const Notice kUpdated{MessageIcon::Information, "Profile info", "Item base has been updated"};

std::vector<std::string> mainMenuNames(const OpenMenu& menu)
{
    std::vector<std::string> names;
    const auto nodes = menu.document.preorder();
    for (size_t i = 9; i < nodes.size(); ++i)
        names.push_back(nodes[i]->item.name);
    return names;
}

class MenuOpenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        profiles.setDataFolder(dir.path().string());
        ASSERT_TRUE(profiles.startUp(menu.items).ok());
    }

    std::string menuFile(const std::vector<std::string>& names, uint8_t lastType = 0)
    {
        MenuBuilder builder;
        for (size_t i = 0; i < names.size(); ++i)
            builder.add(MenuBuilder::kRoot, names[i], i + 1 == names.size() ? lastType : 0);
        const std::string path = dir.file("mma_ucp");
        writeBytes(path, builder.bytes());
        return path;
    }

    void useProfile(const std::string& items)
    {
        writeText(profiles.profilePath("P"), "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\n" + items);
        ASSERT_TRUE(profiles.loadProfile("P", menu).ok());
    }

    TempDir dir;
    ProfileManager profiles;
    OpenMenu menu;
};

TEST_F(MenuOpenTest, KnownItemsInDefaultModeReadOnce)
{
    const std::string base = readText(profiles.itemBasePath());
    const auto r = openMenuFile(menuFile({"PhoneBook", "Message"}), menu, profiles);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_FALSE(r->profileMismatch);
    EXPECT_FALSE(r->itemBaseUpdated);
    EXPECT_TRUE(r->notices.empty());
    EXPECT_EQ(mainMenuNames(menu), (std::vector<std::string>{"PhoneBook", "Message"}));
    EXPECT_EQ(readText(profiles.itemBasePath()), base);
}

TEST_F(MenuOpenTest, UnknownItemInDefaultModeGrowsTheItemBaseOnce)
{
    const std::string base = readText(profiles.itemBasePath());
    const auto r = openMenuFile(menuFile({"PhoneBook", "Brandnew", "NewShortcut"}, 9), menu, profiles);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->itemBaseUpdated);
    EXPECT_EQ(r->notices, (std::vector<Notice>{kUpdated}));
    // Appended by the first read only: the second read knows them.
    EXPECT_EQ(readText(profiles.itemBasePath()), base + "Brandnew;Brandnew\r\nNewShortcut;NewShortcut [SC]\r\n");
    EXPECT_LT(menu.items.findAvailable("Brandnew"), menu.items.available().size());
    EXPECT_EQ(menu.items.available().back().identifier, "Custom item");
    // The tree was read again with the new names known.
    const auto nodes = menu.document.preorder();
    ASSERT_EQ(nodes.size(), 12u);
    EXPECT_EQ(nodes[10]->caption(), "Brandnew");
    EXPECT_EQ(nodes[11]->caption(), "NewShortcut [SC]");
    EXPECT_TRUE(profiles.isDefaultMode());
}

TEST_F(MenuOpenTest, ProfileLackingAnItemWarnsOnceAndFallsBackToDefault)
{
    useProfile("PhoneBook\r\n");
    const auto r = openMenuFile(menuFile({"PhoneBook", "Message", "AIM"}), menu, profiles);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->profileMismatch);
    EXPECT_FALSE(r->itemBaseUpdated);
    EXPECT_EQ(r->notices, (std::vector<Notice>{kMismatch}));
    EXPECT_TRUE(profiles.isDefaultMode());
    EXPECT_EQ(menu.items.available(), menu.items.base());
    EXPECT_EQ(mainMenuNames(menu), (std::vector<std::string>{"PhoneBook", "Message", "AIM"}));
}

TEST_F(MenuOpenTest, ProfileCoveringTheFileReadsUnderTheProfile)
{
    // The seven default softkeys and the two menu items.
    useProfile("PhoneBook\r\nMessage\r\nRecentCall\r\nMutilmedia\r\nDatebook\r\nMMRingStyle\r\n"
               "VoiceRecord\r\nAIM\r\n");
    const auto r = openMenuFile(menuFile({"AIM", "Message"}), menu, profiles);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->notices.empty());
    EXPECT_EQ(profiles.selectorText(), "P");
    EXPECT_EQ(menu.items.available().size(), 9u);
    EXPECT_EQ(mainMenuNames(menu), (std::vector<std::string>{"AIM", "Message"}));
}

TEST_F(MenuOpenTest, MismatchWithAnItemUnknownToTheBaseDoesBoth)
{
    useProfile("PhoneBook\r\n");
    const auto r = openMenuFile(menuFile({"PhoneBook", "Brandnew"}), menu, profiles);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->profileMismatch);
    EXPECT_TRUE(r->itemBaseUpdated);
    EXPECT_EQ(r->notices, (std::vector<Notice>{kMismatch, kUpdated}));
    EXPECT_EQ(mainMenuNames(menu), (std::vector<std::string>{"PhoneBook", "Brandnew"}));
    EXPECT_EQ(menu.items.findAvailable("Brandnew"), menu.items.available().size() - 2);
}

TEST_F(MenuOpenTest, UnreadableFileEndsWithItsError)
{
    const auto r = openMenuFile(dir.file("no-such-file"), menu, profiles);
    EXPECT_EQ(r.failure(), Error(ErrorKind::Io, "Cannot open " + dir.file("no-such-file") + ": No such file or directory", ""));
}

} // namespace
} // namespace tessaro
