#include <gtest/gtest.h>

#include <filesystem>

#include "core/catalogue.h"
#include "core/item_base_file.h"
#include "core/open_menu.h"
#include "workspace/profiles.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::TempDir;
using testing::readText;
using testing::writeText;

std::vector<std::string> identifiers(const std::vector<ItemEntry>& list)
{
    std::vector<std::string> out;
    for (const auto& e : list)
        out.push_back(e.identifier);
    return out;
}

class ProfilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        profiles.setDataFolder(dir.path().string());
        ASSERT_TRUE(profiles.startUp(menu.items).ok());
    }

    void writeProfile(const std::string& name, const std::string& text)
    {
        writeText(profiles.profilePath(name), text);
        profiles.profileNames();
        profiles.rebuildSelector();
    }

    TempDir dir;
    ProfileManager profiles;
    OpenMenu menu;
};

// --- item base --------------------------------------------------------------------------

TEST_F(ProfilesTest, FirstStartCreatesProfilesFolderAndItemBaseFromCatalogue)
{
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Profiles"));
    const std::string text = readText(profiles.itemBasePath());
    std::string expected;
    for (const auto& row : kItemCatalogue)
        expected += std::string(row.identifier) + ";" + row.displayName + "\r\n";
    EXPECT_EQ(text, expected);
    // Spot checks of the rows whose display name differs.
    EXPECT_NE(text.find("AirplaneMod;AirplnMode [A630]\r\n"), std::string::npos);
    EXPECT_NE(text.find("Mutilmedia;Multimedia\r\n"), std::string::npos);
    EXPECT_NE(text.find("MFlashIncomp;MFlashIncomp [SC]\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Custom item"), std::string::npos);

    ASSERT_EQ(menu.items.base().size(), 153u);
    EXPECT_EQ(menu.items.base().back().identifier, "Custom item");
    EXPECT_EQ(menu.items.available(), menu.items.base());
    EXPECT_EQ(profiles.selectorEntries(), (std::vector<std::string>{"Default", "Create new..."}));
    EXPECT_EQ(profiles.selectorIndex(), 0);
    EXPECT_TRUE(profiles.isDefaultMode());
}

TEST(ItemBaseParse, LineFormsAndLineEnds)
{
    struct Case {
        const char* what;
        std::string text;
        std::vector<ItemEntry> expected;
    };
    const std::vector<Case> cases = {
        {"CR LF", "A;a\r\nB;b\r\n", {{"A", "a"}, {"B", "b"}}},
        {"LF", "A;a\nB;b\n", {{"A", "a"}, {"B", "b"}}},
        {"no final line end", "A;a\r\nB;b", {{"A", "a"}, {"B", "b"}}},
        {"split at the first ;", "A;b;c\r\n", {{"A", "b;c"}}},
        {"no ; : identifier shown as itself", "Lonely\r\n", {{"Lonely", "Lonely"}}},
        {"empty display name", "A;\r\n", {{"A", ""}}},
        {"empty lines skipped", "\r\nA;a\r\n\r\n\nB;b\r\n", {{"A", "a"}, {"B", "b"}}},
        {"empty identifier skipped", ";x\r\nA;a\r\n", {{"A", "a"}}},
        {"Custom item never from the file", "Custom item;Custom item\r\nA;a\r\n", {{"A", "a"}}},
        {"blank inside kept", "Text Msg;Text Msg\r\n", {{"Text Msg", "Text Msg"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseItemBase(c.text), c.expected) << c.what;
}

TEST_F(ProfilesTest, ExistingItemBaseIsReadNotRewritten)
{
    writeText(profiles.itemBasePath(), "PhoneBook;Phone book\nZeta;Zeta [SC]\n");
    ASSERT_TRUE(profiles.loadItemBase(menu.items).ok());
    EXPECT_EQ(identifiers(menu.items.base()), (std::vector<std::string>{"PhoneBook", "Zeta", "Custom item"}));
    EXPECT_EQ(menu.items.available()[0].displayName, "Phone book");
    EXPECT_EQ(readText(profiles.itemBasePath()), "PhoneBook;Phone book\nZeta;Zeta [SC]\n");
}

TEST_F(ProfilesTest, ItemBaseKeepsAtMost254EntriesAndLeavesTheFileAlone)
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "Item" + std::to_string(i) + ";Item" + std::to_string(i) + "\r\n";
    writeText(profiles.itemBasePath(), text);
    ASSERT_TRUE(profiles.reloadItemBase(menu.items).ok());
    ASSERT_EQ(menu.items.base().size(), 255u);
    EXPECT_EQ(menu.items.base()[253].identifier, "Item253");
    EXPECT_EQ(menu.items.base()[254].identifier, "Custom item");
    EXPECT_EQ(readText(profiles.itemBasePath()), text);
}

TEST_F(ProfilesTest, ReloadTakesAppendedLinesAndReturnsSelectorToDefault)
{
    writeProfile("P", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nPhoneBook\r\n");
    ASSERT_TRUE(profiles.loadProfile("P", menu).ok());
    ASSERT_EQ(profiles.selectorText(), "P");
    ASSERT_TRUE(appendItemBaseLine(profiles.itemBasePath(), "NewOne", true).ok());

    ASSERT_TRUE(profiles.reloadItemBase(menu.items).ok());
    EXPECT_EQ(profiles.selectorIndex(), 0);
    ASSERT_EQ(menu.items.base().size(), 154u);
    EXPECT_EQ(menu.items.base()[152], (ItemEntry{"NewOne", "NewOne [SC]"}));
    EXPECT_EQ(menu.items.available(), menu.items.base());
}

TEST_F(ProfilesTest, AppendedLineStartsOnItsOwnLineAfterAnOpenLastLine)
{
    // Edited by hand: the last line has no line end.
    writeText(profiles.itemBasePath(), "PhoneBook;Phone book\r\nZeta;Zeta");
    ASSERT_TRUE(appendItemBaseLine(profiles.itemBasePath(), "NewOne", false).ok());
    EXPECT_EQ(readText(profiles.itemBasePath()), "PhoneBook;Phone book\r\nZeta;Zeta\r\nNewOne;NewOne\r\n");
    ASSERT_TRUE(profiles.reloadItemBase(menu.items).ok());
    EXPECT_EQ(identifiers(menu.items.base()), (std::vector<std::string>{"PhoneBook", "Zeta", "NewOne", "Custom item"}));
}

TEST_F(ProfilesTest, ReloadFailureKeepsTheLists)
{
    const auto before = menu.items.base();
    std::filesystem::remove(profiles.itemBasePath());
    std::filesystem::create_directory(profiles.itemBasePath());
    EXPECT_FALSE(profiles.reloadItemBase(menu.items).ok());
    EXPECT_EQ(menu.items.base(), before);
}

TEST(ProfileManagerStartUp, UnwritableFolderReportsAndKeepsTheCatalogue)
{
    TempDir dir;
    testing::writeText(dir.path() / "Profiles", "a file where the folder should be");
    ProfileManager profiles(dir.path().string());
    ItemLists items;
    items.setBase({{"X", "X"}});
    const Status status = profiles.startUp(items);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(items.base().size(), 153u);
    EXPECT_EQ(profiles.selectorEntries(), (std::vector<std::string>{"Default", "Create new..."}));
}

TEST(ProfileManagerPaths, DataFolderGetsATrailingSeparator)
{
    ProfileManager profiles("/some/where");
    EXPECT_EQ(profiles.dataFolder(), "/some/where/");
    EXPECT_EQ(profiles.itemBasePath(), "/some/where/Profiles/itembase.dat");
    EXPECT_EQ(profiles.profilePath("R3624"), "/some/where/Profiles/R3624.prf");
    EXPECT_EQ(ProfileManager::currentFolder().back(), '/');
}

// --- listing and the selector -------------------------------------------------------------

TEST_F(ProfilesTest, ListProfilesTakesPrfFilesOnly)
{
    const auto folder = dir.path() / "Profiles";
    writeText(folder / "V3.prf", "");
    writeText(folder / "E398.prf", "");
    writeText(folder / ".hidden.prf", "");
    writeText(folder / "upper.PRF", "");
    writeText(folder / "notes.txt", "");
    writeText(folder / ".prf", "");
    std::filesystem::create_directory(folder / "folder.prf");
    profiles.profileNames();
    EXPECT_EQ(profiles.profiles(), (std::vector<std::string>{"E398", "V3"}));
    profiles.rebuildSelector();
    EXPECT_EQ(profiles.selectorEntries(),
              (std::vector<std::string>{"Default", "E398", "V3", "Create new..."}));
    EXPECT_EQ(profiles.createNewIndex(), 3);
}

TEST_F(ProfilesTest, ProfileAddedAfterTheSelectorWasBuiltIsListedAndSelected)
{
    writeProfile("A", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nAIM\r\n");
    writeText(profiles.profilePath("B"), "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nAIM\r\n");
    ASSERT_EQ(profiles.selectorEntries().size(), 3u);
    EXPECT_TRUE(profiles.loadProfile("B", menu).ok());
    EXPECT_EQ(profiles.selectorEntries(), (std::vector<std::string>{"Default", "A", "B", "Create new..."}));
    EXPECT_EQ(profiles.selectorText(), "B");
}

TEST_F(ProfilesTest, HiddenProfileStillNamedInTheSelector)
{
    writeText(profiles.profilePath(".secret"), "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nAIM\r\n");
    EXPECT_TRUE(profiles.loadProfile(".secret", menu).ok());
    EXPECT_EQ(profiles.selectorText(), ".secret");
    EXPECT_FALSE(profiles.isDefaultMode());
    EXPECT_EQ(profiles.selectorEntries().back(), "Create new...");
}

TEST_F(ProfilesTest, SelectionHandler)
{
    writeProfile("P", "[mma_ucp format]\r\n22 06 1\r\n[mma items]\r\nAIM\r\n");
    const auto select = [this](int index) {
        const auto selected = profiles.select(index, menu);
        EXPECT_TRUE(selected.ok()) << selected.error();
        return selected.ok() ? *selected : ProfileManager::Selection::Done;
    };
    EXPECT_EQ(select(1), ProfileManager::Selection::Done);
    EXPECT_EQ(profiles.selectorText(), "P");
    EXPECT_EQ(menu.items.available().size(), 2u);

    // "Create new..." asks the caller and leaves the profile in force.
    EXPECT_EQ(select(2), ProfileManager::Selection::CreateNew);
    EXPECT_EQ(profiles.selectorText(), "P");
    EXPECT_EQ(menu.saveMode.recordSize(), 22);

    EXPECT_EQ(select(0), ProfileManager::Selection::Done);
    EXPECT_TRUE(profiles.isDefaultMode());
    EXPECT_EQ(menu.items.available(), menu.items.base());
    EXPECT_EQ(menu.saveMode.recordSize(), 36);
    EXPECT_EQ(menu.saveMode.iconMarker(), IconMarker::K0C);
    EXPECT_FALSE(menu.saveMode.c698p());
}

// --- loadProfile ------------------------------------------------------------------------

const Error kMissing(ErrorKind::NotFound, "Profile not found. Default profile will be applied", "Missing profile");

Error profileError(const std::string& text)
{
    return Error(ErrorKind::Format, text, "Profile error");
}

TEST_F(ProfilesTest, MissingProfileAppliesTheDefault)
{
    writeProfile("P", "[mma_ucp format]\r\n22 06 1\r\n[mma items]\r\nAIM\r\n");
    ASSERT_TRUE(profiles.loadProfile("P", menu).ok());

    EXPECT_EQ(profiles.loadProfile("Nope", menu).failure(), kMissing);
    EXPECT_EQ(profiles.selectorIndex(), 0);
    EXPECT_EQ(menu.items.available(), menu.items.base());
    EXPECT_EQ(menu.saveMode.recordSize(), 36);
    EXPECT_EQ(menu.saveMode.iconMarker(), IconMarker::K0C);
    EXPECT_FALSE(menu.saveMode.markerEnabled());
    EXPECT_FALSE(menu.saveMode.c698p());
}

TEST_F(ProfilesTest, NamesThatCannotBeAFileOfTheFolderAreMissing)
{
    writeText(dir.path() / "outside.prf", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nAIM\r\n");
    EXPECT_EQ(profiles.loadProfile("../outside", menu).failure(), kMissing);
    EXPECT_EQ(profiles.loadProfile("", menu).failure(), kMissing);
    EXPECT_EQ(profiles.loadProfile(std::string("a\0b", 3), menu).failure(), kMissing);
}

struct FormatCase {
    const char* what;
    std::string text;
    std::vector<Error> errors;  // the one error of the load, if any
    int recordSize;
    IconMarker marker;
    bool c698p;
    bool itemsFiltered;  // the profile's list is in force
};

TEST_F(ProfilesTest, FormatLines)
{
    const std::string items = "[mma items]\r\nAIM\r\nPhoneBook\r\n";
    const std::vector<FormatCase> cases = {
        {"22 06 1", "[mma_ucp format]\r\n22 06 1\r\n" + items, {}, 22, IconMarker::K06, true, true},
        {"22 0C 0", "[mma_ucp format]\r\n22 0C 0\r\n" + items, {}, 22, IconMarker::K0C, false, true},
        {"36 06 0: marker checked, then ignored", "[mma_ucp format]\r\n36 06 0\r\n" + items, {}, 36,
         IconMarker::K0C, false, true},
        {"36 0C 1: the fix counts with 36-byte records too", "[mma_ucp format]\r\n36 0C 1\r\n" + items, {},
         36, IconMarker::K0C, true, true},
        {"several spaces and a tail", "[mma_ucp format]\r\n22   06  1 whatever else\r\n" + items, {}, 22,
         IconMarker::K06, true, true},
        {"LF line ends", "[mma_ucp format]\n22 06 1\n[mma items]\nAIM\nPhoneBook\n", {}, 22, IconMarker::K06,
         true, true},
        {"leading zero is still decimal 22", "[mma_ucp format]\r\n022 06 0\r\n" + items, {}, 22,
         IconMarker::K06, false, true},
        {"first line wrong", "[mma_ucp]\r\n22 06 1\r\n" + items, {profileError("Invalid profile formatting")}, 36,
         IconMarker::K0C, false, false},
        {"empty file", "", {profileError("Invalid profile formatting")}, 36, IconMarker::K0C, false, false},
        {"record length 40", "[mma_ucp format]\r\n40 06 1\r\n" + items,
         {profileError("Invalid mma record length (36 byte assumed)")}, 36, IconMarker::K0C, false, false},
        {"record length not a number", "[mma_ucp format]\r\nxx 06 1\r\n" + items,
         {profileError("Invalid mma record length (36 byte assumed)")}, 36, IconMarker::K0C, false, false},
        {"leading space: empty first token", "[mma_ucp format]\r\n 22 06 1\r\n" + items,
         {profileError("Invalid mma record length (36 byte assumed)")}, 36, IconMarker::K0C, false, false},
        {"only 36: empty second token", "[mma_ucp format]\r\n36\r\n" + items,
         {profileError("Invalid user icon marker (0C assumed)")}, 36, IconMarker::K0C, false, false},
        {"lower-case marker", "[mma_ucp format]\r\n22 0c 1\r\n" + items,
         {profileError("Invalid user icon marker (0C assumed)")}, 22, IconMarker::K0C, false, false},
        {"fix 2", "[mma_ucp format]\r\n22 06 2\r\n" + items,
         {profileError("C698p fix can be either 1 (ON) or 0 (OFF - assumed)")}, 22, IconMarker::K06, false,
         false},
        {"fix missing", "[mma_ucp format]\r\n22 06\r\n" + items,
         {profileError("C698p fix can be either 1 (ON) or 0 (OFF - assumed)")}, 22, IconMarker::K06, false,
         false},
        {"third line wrong", "[mma_ucp format]\r\n22 06 1\r\n[items]\r\nAIM\r\n",
         {profileError("Invalid profile formatting")}, 22, IconMarker::K06, true, false},
        {"third line missing", "[mma_ucp format]\r\n22 06 1\r\n", {profileError("Invalid profile formatting")},
         22, IconMarker::K06, true, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "F" + std::to_string(n++);
        writeProfile(name, c.text);
        OpenMenu fresh;
        fresh.items = menu.items;
        const Status loaded = profiles.loadProfile(name, fresh);
        EXPECT_EQ(loaded.ok() ? std::vector<Error>{} : std::vector<Error>{loaded.failure()}, c.errors) << c.what;
        EXPECT_EQ(fresh.saveMode.recordSize(), c.recordSize) << c.what;
        EXPECT_EQ(fresh.saveMode.iconMarker(), c.marker) << c.what;
        EXPECT_EQ(fresh.saveMode.c698p(), c.c698p) << c.what;
        if (c.itemsFiltered) {
            EXPECT_EQ(identifiers(fresh.items.available()),
                      (std::vector<std::string>{"AIM", "PhoneBook", "Custom item"}))
                << c.what;
            EXPECT_EQ(profiles.selectorText(), name) << c.what;
        } else {
            EXPECT_EQ(fresh.items.available(), fresh.items.base()) << c.what;
            EXPECT_EQ(profiles.selectorIndex(), 0) << c.what;
        }
    }
}

TEST_F(ProfilesTest, FormatErrorsKeepThePreviousItemList)
{
    writeProfile("Good", "[mma_ucp format]\r\n22 06 1\r\n[mma items]\r\nAIM\r\n");
    writeProfile("Bad", "[mma_ucp format]\r\n22 06 1\r\n[mma itemz]\r\nPhoneBook\r\n");
    ASSERT_TRUE(profiles.loadProfile("Good", menu).ok());
    ASSERT_EQ(profiles.loadProfile("Bad", menu).failure(), profileError("Invalid profile formatting"));
    EXPECT_EQ(identifiers(menu.items.available()), (std::vector<std::string>{"AIM", "Custom item"}));
    EXPECT_EQ(profiles.selectorIndex(), 0);
}

TEST_F(ProfilesTest, ItemListFollowsTheProfileOrderWithBaseDisplayNames)
{
    writeProfile("P", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nMutilmedia\r\nAIM\r\nDialedCalls\r\n");
    ASSERT_TRUE(profiles.loadProfile("P", menu).ok());
    EXPECT_EQ(menu.items.available(), (std::vector<ItemEntry>{{"Mutilmedia", "Multimedia"},
                                                            {"AIM", "AIM"},
                                                            {"DialedCalls", "DialedCalls [SC]"},
                                                            {"Custom item", "Custom item"}}));
    EXPECT_EQ(menu.items.findAvailable("PhoneBook"), 4u);
}

TEST_F(ProfilesTest, UnsupportedItemsReportTheLastAndKeepTheOthers)
{
    writeProfile("P", "[mma_ucp format]\r\n22 06 1\r\n[mma items]\r\nNotKnown1\r\nAIM\r\nNotKnown2\r\nPhoneBook\r\n");
    EXPECT_EQ(profiles.loadProfile("P", menu).failure(),
              profileError("Unsupported mma item(s) found and omitted: NotKnown2"));
    EXPECT_EQ(identifiers(menu.items.available()), (std::vector<std::string>{"AIM", "PhoneBook", "Custom item"}));
    EXPECT_EQ(profiles.selectorIndex(), 0);
    EXPECT_EQ(menu.saveMode.recordSize(), 22);
    EXPECT_TRUE(menu.saveMode.c698p());
}

TEST_F(ProfilesTest, EmptyLineInTheItemListIsAnUnsupportedEmptyName)
{
    writeProfile("P", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nAIM\r\n\r\nPhoneBook\r\n");
    EXPECT_EQ(profiles.loadProfile("P", menu).failure(), profileError("Unsupported mma item(s) found and omitted: "));
    EXPECT_EQ(identifiers(menu.items.available()), (std::vector<std::string>{"AIM", "PhoneBook", "Custom item"}));
}

TEST_F(ProfilesTest, IdentifiersMatchWithCase)
{
    writeProfile("P", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nphonebook\r\n");
    EXPECT_EQ(profiles.loadProfile("P", menu).error(), "Unsupported mma item(s) found and omitted: phonebook");
    EXPECT_EQ(identifiers(menu.items.available()), (std::vector<std::string>{"Custom item"}));
}

TEST_F(ProfilesTest, DefaultRestoresItemsAddedSinceStartUp)
{
    ASSERT_TRUE(appendItemBaseLine(profiles.itemBasePath(), "Later", false).ok());
    ASSERT_TRUE(profiles.reloadItemBase(menu.items).ok());
    writeProfile("P", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nAIM\r\n");
    ASSERT_TRUE(profiles.loadProfile("P", menu).ok());
    profiles.applyDefaultProfile(menu);
    EXPECT_EQ(menu.items.available(), menu.items.base());
    EXPECT_LT(menu.items.findAvailable("Later"), menu.items.available().size());
}

} // namespace
} // namespace tessaro
