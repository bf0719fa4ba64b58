#include <gtest/gtest.h>

#include <functional>

#include "core/menu_reader.h"
#include "core/open_menu.h"
#include "support/menu_builder.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::MenuBuilder;
using testing::MenuFile;
using Bytes = std::vector<uint8_t>;

Result<ReadReport> read(const Bytes& bytes, OpenMenu& menu, bool acceptUnknown = true, std::string itemBase = {})
{
    return readMenuBytes(bytes, menu, ReadOptions{acceptUnknown, std::move(itemBase)});
}

std::vector<std::string> captions(const OpenMenu& menu)
{
    std::vector<std::string> out;
    for (const MenuNode* n : menu.document.preorder())
        out.push_back(n->caption());
    return out;
}

TEST(MenuReader, BuildsTheTwoPartTreeFromA36ByteFile)
{
    MenuBuilder b;
    const int games = b.add(MenuBuilder::kRoot, "Games", kTypeContainer);
    b.add(games, "Calculator");
    b.add(games, "~3");
    b.add(MenuBuilder::kRoot, "Mutilmedia");
    OpenMenu menu;
    const auto r = read(b.bytes(), menu);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->warnings.empty());
    EXPECT_FALSE(r->itemBaseUpdated);

    EXPECT_EQ(captions(menu), (std::vector<std::string>{
                                "Softkeys", "LSK: PhoneBook", "RSK: Message", "Up: RecentCall", "Down: Multimedia",
                                "Left: Datebook", "Right: MMRingStyle", "Smart: VoiceRecord", "Menu Root", "Games",
                                "Calculator", "~3", "Multimedia"}));

    const MenuRecord& softkeys = menu.document.softkeys()->item;
    EXPECT_EQ(softkeys, (MenuRecord{1, 1, 2, kNoIndex, 2, 0, 0, "Container", kGroupSoftkeys, 0, 0, false, 1}));
    const MenuRecord& root = menu.document.menuRoot()->item;
    EXPECT_EQ(root, (MenuRecord{1, kNoIndex, kNoIndex, 10, 10, 0, 0, "MenuRoot", kGroupMenu, 0, 0, false, 1}));

    const MenuRecord& lsk = menu.document.nodeAt(1)->item;
    EXPECT_EQ(lsk, (MenuRecord{0, kNoIndex, kNoIndex, kNoIndex, 3, 0, 0x41, "PhoneBook", kGroupSoftkeys, 0, 0, false, 0}));
    EXPECT_EQ(menu.document.nodeAt(7)->item.recordNo, 9);

    // Records: Games 10, Mutilmedia 11, Calculator 12, ~3 13.
    EXPECT_EQ(menu.document.nodeAt(9)->item,
              (MenuRecord{1, 9, 11, 12, 11, 0, 0x41, "Games", kGroupMenu, 0, 0, false, 1}));
    EXPECT_EQ(menu.document.nodeAt(10)->item,
              (MenuRecord{0, 10, 13, kNoIndex, 13, 0, 0x41, "Calculator", kGroupMenu, 0, 0, false, 1}));
    EXPECT_EQ(menu.document.nodeAt(11)->item.recordNo, 14);
    EXPECT_EQ(menu.document.nodeAt(11)->item.nextIndex, kNoIndex);
    EXPECT_EQ(menu.document.nodeAt(12)->item.recordNo, 12);

    EXPECT_EQ(menu.saveMode.recordSize(), 36);
    EXPECT_EQ(menu.saveMode.iconMarker(), IconMarker::K0C);
    EXPECT_FALSE(menu.saveMode.c698p());
    EXPECT_FALSE(menu.saveMode.cdma());
    EXPECT_EQ(menu.formatRead, 36);
    EXPECT_EQ(menu.customCounter, 3);
}

TEST(MenuReader, HeaderBytesSetTheSaveMode)
{
    struct Case {
        int recordSize;
        ByteOrder order;
        bool c698p;
        bool expectC698p;
        bool expectCdma;
    };
    const Case cases[] = {
        {22, ByteOrder::Big, false, false, false},
        {22, ByteOrder::Big, true, true, false},
        {22, ByteOrder::Little, false, false, true},
        // CDMA with the fix: byte 0 = 0x03, byte 1 = 0x00.
        {22, ByteOrder::Little, true, true, true},
        {36, ByteOrder::Big, false, false, false},
        {36, ByteOrder::Little, false, false, true},
    };
    for (const Case& c : cases) {
        OpenMenu menu;
        menu.saveMode.setRecordSize(22);
        menu.saveMode.setIconMarker(IconMarker::K06);
        ASSERT_TRUE(read(MenuBuilder(c.recordSize, c.order, c.c698p).bytes(), menu).ok());
        EXPECT_EQ(menu.saveMode.recordSize(), c.recordSize);
        EXPECT_EQ(menu.formatRead, c.recordSize);
        EXPECT_EQ(menu.saveMode.c698p(), c.expectC698p) << c.recordSize << c.c698p;
        EXPECT_EQ(menu.saveMode.cdma(), c.expectCdma);
        // 36-byte files force "0C"; 22-byte files leave the marker as it was.
        EXPECT_EQ(menu.saveMode.iconMarker(), c.recordSize == 36 ? IconMarker::K0C : IconMarker::K06);
    }
}

TEST(MenuReader, CdmaTrailerWordsAreLittleEndian)
{
    MenuBuilder b(36, ByteOrder::Little);
    b.add(MenuBuilder::kRoot, "Games", 0, testing::asciiRecord(5, "http://a", ByteOrder::Little));
    b.add(MenuBuilder::kRoot, "Tools", 0, testing::asciiRecord(5, "x", ByteOrder::Little));
    MenuFile file = b.layout();
    OpenMenu menu;
    ASSERT_TRUE(read(file.bytes(), menu).ok());
    EXPECT_EQ(menu.document.nodeAt(10)->item.dataOffset, 12);
    EXPECT_EQ(menu.document.nodeAt(10)->item.dataLength, 5);
    EXPECT_EQ(asciiText(menu.document.data().at(12)->entries.at(0)), "x");

    // The same records read as big-endian give byte-swapped offsets.
    file.header = {0x00, 0x01, file.header[2], 0x01, 0xFF, 0xFF, 0x15, 0x02, 0xFF, 0xFF};
    OpenMenu big;
    ASSERT_TRUE(read(file.bytes(), big).ok());
    EXPECT_EQ(big.document.nodeAt(10)->item.dataOffset, 0x0C00);
    EXPECT_EQ(big.document.nodeAt(10)->item.dataLength, 0x0500);
}

TEST(MenuReader, ZeroAtByte41MeansThirtySixByteRecords)
{
    // A 22-byte file whose record 1 has a name of fewer than four characters has 0x00 at
    // byte 41 (name byte 3 of record 1) and is read with 36-byte records.
    MenuBuilder b(22);
    for (int i = 0; i < 7; ++i)  // enough records to fill ten 36-byte ones
        b.add(MenuBuilder::kRoot, "Games");
    MenuFile file = b.layout();
    file.records[1].name = "Cnt";
    const Bytes bytes = file.bytes();
    ASSERT_EQ(bytes[41], 0x00);
    OpenMenu menu;
    ASSERT_TRUE(read(bytes, menu).ok());
    EXPECT_EQ(menu.formatRead, 36);
    EXPECT_EQ(menu.saveMode.recordSize(), 36);
}

TEST(MenuReader, TwelveCharacterNameIn22ByteRecords)
{
    MenuBuilder b(22);
    b.add(MenuBuilder::kRoot, "MF-Wallpaper", 0, testing::codeRecord(18, 1, ByteOrder::Big));
    OpenMenu menu;
    ASSERT_TRUE(read(b.bytes(), menu).ok());
    const MenuRecord& item = menu.document.nodeAt(9)->item;
    EXPECT_EQ(item.name, "MF-Wallpaper");  // the 12 name bytes and nothing of the trailer
    EXPECT_EQ(menu.document.nodeAt(9)->caption(), "MF-Wallpaper [SC]");
    EXPECT_EQ(item.dataLength, 4);
}

TEST(MenuReader, CustomNamesRaiseTheCounter)
{
    MenuBuilder b;
    b.softkey(2, {"~40"});
    b.add(MenuBuilder::kRoot, "~7");
    b.add(MenuBuilder::kRoot, "~x");
    b.add(MenuBuilder::kRoot, "~");
    OpenMenu menu;
    menu.customCounter = 2;
    ASSERT_TRUE(read(b.bytes(), menu).ok());
    // The softkey adds one (3); "~7" raises it to 7; "~x" and "~" count as 0.
    EXPECT_EQ(menu.customCounter, 7);
    EXPECT_EQ(menu.document.nodeAt(3)->caption(), "Up: ~40");
    EXPECT_EQ(menu.document.nodeAt(3)->item.canHoldItems, 0);
    EXPECT_EQ(menu.document.nodeAt(10)->caption(), "~x");
    EXPECT_EQ(menu.document.nodeAt(10)->item.canHoldItems, 1);

    // Never lowered; numbers beyond the one-byte counter stop at 255.
    menu.customCounter = 9;
    MenuBuilder low;
    low.add(MenuBuilder::kRoot, "~7");
    ASSERT_TRUE(read(low.bytes(), menu).ok());
    EXPECT_EQ(menu.customCounter, 9);
    MenuBuilder high;
    high.add(MenuBuilder::kRoot, "~70000");
    ASSERT_TRUE(read(high.bytes(), menu).ok());
    EXPECT_EQ(menu.customCounter, 255);
}

TEST(MenuReader, OptionsOf0x18BecomeEightOnCatalogueItemsOnly)
{
    MenuBuilder b;
    b.softkey(0, {"PhoneBook", 0, 0x18});
    b.addItem(MenuBuilder::kRoot, {"Games", 0, 0x18});
    b.addItem(MenuBuilder::kRoot, {"~1", 0, 0x18});
    OpenMenu menu;
    ASSERT_TRUE(read(b.bytes(), menu).ok());
    EXPECT_EQ(menu.document.nodeAt(1)->item.options, 0x08);
    EXPECT_EQ(menu.document.nodeAt(9)->item.options, 0x08);
    EXPECT_EQ(menu.document.nodeAt(10)->item.options, 0x18);
}

TEST(MenuReader, ParentIndexZeroIsNotRemembered)
{
    // Records 10..13 under the root: 10 and 11 carry parentIndex 0, 12 carries 9 (the group
    // goes on), 13 carries 0 again and ends it, left out with a warning.
    MenuBuilder b;
    for (const char* name : {"Games", "Tools", "Camera", "Radio"})
        b.add(MenuBuilder::kRoot, name);
    MenuFile file = b.layout();
    file.records[10].parentIndex = 0;
    file.records[11].parentIndex = 0;
    file.records[13].parentIndex = 0;
    OpenMenu menu;
    ASSERT_TRUE(read(file.bytes(), menu).ok());
    EXPECT_EQ(menu.document.menuRoot()->childCount(), 3u);
    EXPECT_EQ(menu.document.nodeAt(11)->item.name, "Camera");
    EXPECT_EQ(read(file.bytes(), menu)->warnings,
              std::vector<std::string>{"Records not reached from the menu tree were left out: 13"});
}

TEST(MenuReader, EmptyMainMenu)
{
    const Bytes bytes = MenuBuilder().bytes();
    ASSERT_EQ(bytes[2], 10);
    OpenMenu menu;
    ASSERT_TRUE(read(bytes, menu).ok());
    EXPECT_EQ(menu.document.nodeCount(), 9u);
    EXPECT_FALSE(menu.document.menuRoot()->hasChildren());
    EXPECT_EQ(menu.document.data().count(), 0u);
}

TEST(MenuReader, UnknownIdentifierAbortsUnderAProfile)
{
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Games");
    b.add(MenuBuilder::kRoot, "NewThing");
    testing::TempDir dir;
    OpenMenu menu;
    const auto r = read(b.bytes(), menu, false, dir.file("itembase.dat"));
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.failure().kind, ErrorKind::Refused);
    EXPECT_EQ(r.error(), "mma_ucp doesn't match current profile");
    EXPECT_EQ(r.failure().caption, "Profile error");
    EXPECT_FALSE(std::filesystem::exists(dir.file("itembase.dat")));

    // An unknown softkey aborts just the same.
    MenuBuilder k;
    k.softkey(6, {"Gadget"});
    EXPECT_EQ(read(k.bytes(), menu, false).failure().kind, ErrorKind::Refused);
}

TEST(MenuReader, UnknownIdentifiersAreAppendedToTheItemBaseOnce)
{
    MenuBuilder b;
    b.softkey(1, {"Gadget"});
    b.add(MenuBuilder::kRoot, "NewThing");
    b.addItem(MenuBuilder::kRoot, {"QuickLink", kTypeShortcut});
    b.add(MenuBuilder::kRoot, "NewThing");
    testing::TempDir dir;
    testing::writeText(dir.file("itembase.dat"), "Games;Games\r\n");
    OpenMenu menu;
    const auto r = read(b.bytes(), menu, true, dir.file("itembase.dat"));
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->itemBaseUpdated);
    EXPECT_EQ(testing::readText(dir.file("itembase.dat")),
              "Games;Games\r\nGadget;Gadget\r\nNewThing;NewThing\r\nQuickLink;QuickLink [SC]\r\n");
    // Unknown items show an empty display name.
    EXPECT_EQ(menu.document.nodeAt(2)->caption(), "RSK: ");
    EXPECT_EQ(menu.document.nodeAt(9)->caption(), "");
    EXPECT_EQ(menu.document.menuRoot()->childCount(), 3u);
}

TEST(MenuReader, NamesThatWouldBreakTheItemBaseAreNotWrittenToIt)
{
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Bad;Name");
    b.add(MenuBuilder::kRoot, "Two\r\nLines");
    b.add(MenuBuilder::kRoot, "");
    b.add(MenuBuilder::kRoot, "Phone\xC2ook"); // one damaged byte
    testing::TempDir dir;
    testing::writeText(dir.file("itembase.dat"), "Games;Games\r\n");
    OpenMenu menu;
    const auto r = read(b.bytes(), menu, true, dir.file("itembase.dat"));
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_FALSE(r->itemBaseUpdated);
    EXPECT_EQ(testing::readText(dir.file("itembase.dat")), "Games;Games\r\n");
    EXPECT_EQ(menu.document.menuRoot()->childCount(), 4u);
    ASSERT_EQ(r->warnings.size(), 4u);
    EXPECT_EQ(r->warnings[1], "The unknown item name \"Two??Lines\" cannot be written to the item base: it is empty "
                              "or holds a line break, a control character, \";\" or a byte beyond ASCII");
    EXPECT_EQ(r->warnings[3], "The unknown item name \"Phone?ook\" cannot be written to the item base: it is empty "
                              "or holds a line break, a control character, \";\" or a byte beyond ASCII");
}

TEST(MenuReader, FilesThatAreNoMenuChangeNothing)
{
    // Bytes that pass the size and count checks: 22-byte records, twelve of them.
    Bytes noise(300);
    uint32_t x = 12345;
    for (uint8_t& byte : noise) {
        x = x * 1103515245u + 12345u;
        byte = uint8_t(x >> 16);
    }
    noise[2] = 12;
    noise[41] = 0x55;
    MenuFile renamed = MenuBuilder().layout();
    renamed.records[0].name = "Rot";

    for (const Bytes& foreign : {noise, renamed.bytes()}) {
        MenuBuilder b(22);
        b.add(MenuBuilder::kRoot, "Games");
        OpenMenu menu;
        ASSERT_TRUE(read(b.bytes(), menu).ok());
        const std::vector<std::string> before = captions(menu);
        testing::TempDir dir;
        testing::writeText(dir.file("itembase.dat"), "Games;Games\r\n");

        const auto r = read(foreign, menu, true, dir.file("itembase.dat"));
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.error(), "Not an mma_ucp menu file: its first record is not the menu root \"Root\"");
        EXPECT_EQ(captions(menu), before);
        EXPECT_EQ(menu.saveMode.recordSize(), 22);
        EXPECT_EQ(testing::readText(dir.file("itembase.dat")), "Games;Games\r\n");
    }
}

TEST(MenuReader, DamagedFilesAddNothingToTheItemBase)
{
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "NewThing", 0, testing::asciiRecord(5, "abc", ByteOrder::Big));
    b.add(MenuBuilder::kRoot, "Other");
    MenuFile file = b.layout();
    file.records[10].dataOffset = 0xFFF0;
    testing::TempDir dir;
    testing::writeText(dir.file("itembase.dat"), "Games;Games\r\n");
    OpenMenu menu;
    const auto r = read(file.bytes(), menu, true, dir.file("itembase.dat"));
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_FALSE(r->itemBaseUpdated);
    EXPECT_EQ(testing::readText(dir.file("itembase.dat")), "Games;Games\r\n");
    ASSERT_EQ(r->warnings.size(), 3u);
    EXPECT_EQ(r->warnings[1], "Unknown items of this damaged file were not added to the item base: NewThing, Other");
}

TEST(MenuReader, ItemDataLandsAtEachNodesRecordNo)
{
    const ByteOrder o = ByteOrder::Big;
    MenuBuilder b(22);
    b.softkey(0, {"PhoneBook", 0, 0x08, 0x41, testing::titleRecord(1, {{1, u"Names"}}, 22, o)});
    const int games = b.add(MenuBuilder::kRoot, "Games", kTypeContainer,
                            testing::iconRecord(6, kRoleList, u"/a/g.gif", o));
    b.add(games, "Calculator", 0, testing::join({testing::titleRecord(0, {{7, u"Rechner"}}, 22, o),
                                                  testing::drmRecord(16, 0x12, 5, o)}));
    b.add(MenuBuilder::kRoot, "Tools");
    OpenMenu menu;
    const auto r = read(b.bytes(), menu);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->warnings.empty());

    const ItemDataTable& t = menu.document.data();
    EXPECT_EQ(t.count(), 3u);
    ASSERT_NE(t.at(3), nullptr);  // the LSK
    EXPECT_EQ(t.at(3)->owner, 3);
    EXPECT_EQ(t.at(3)->entries.at(0).titles.at(0).text, u"Names");
    ASSERT_NE(t.at(11), nullptr);  // Games, record 10
    EXPECT_EQ(t.at(11)->entries.at(0).kind, kind::FileIcon);
    EXPECT_EQ(t.at(11)->entries.at(0).path, u"/a/g.gif");
    ASSERT_NE(t.at(13), nullptr);  // Calculator, record 12
    EXPECT_EQ(t.at(13)->entries.at(1).number, 5);
    EXPECT_TRUE(menu.document.nodeAt(9)->item.hasData);
    EXPECT_FALSE(menu.document.nodeAt(11)->item.hasData);
    // A kind 6 icon in a 22-byte file selects the "06" marker.
    EXPECT_EQ(menu.saveMode.iconMarker(), IconMarker::K06);
}

TEST(MenuReader, MissingFileIsAnError)
{
    testing::TempDir dir;
    OpenMenu menu;
    const auto r = readMenuFile(dir.file("absent"), menu, {});
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error(), "Cannot open " + dir.file("absent") + ": No such file or directory");
    EXPECT_TRUE(menu.document.isEmpty());
}

TEST(MenuReader, ReadsFromDisk)
{
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Games");
    testing::TempDir dir;
    testing::writeBytes(dir.file("mma_ucp"), b.bytes());
    OpenMenu menu;
    EXPECT_TRUE(readMenuFile(dir.file("mma_ucp"), menu, {}).ok());
    EXPECT_EQ(menu.document.nodeCount(), 10u);
}

// --- hostile files ------------------------------------------------------------------------

TEST(MenuReader, FilesTooShortForTheFixedRecordsAreRefused)
{
    const Bytes full = MenuBuilder(22).bytes();
    OpenMenu menu;
    auto r = read(Bytes(full.begin(), full.begin() + 41), menu);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error(), "Not an mma_ucp menu file: 41 bytes are too few for the header and its ten fixed records");

    r = read(Bytes(full.begin(), full.begin() + 229), menu);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error(), "Not an mma_ucp menu file: 229 bytes are too few for the header and its ten fixed records "
                       "(230 bytes with 22-byte records)");
    EXPECT_TRUE(menu.document.isEmpty());
    EXPECT_FALSE(read(Bytes{}, menu).ok());
}

TEST(MenuReader, RecordCountBelowTenIsRefused)
{
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Games");
    MenuFile file = b.layout();
    file.header[2] = 9;
    OpenMenu menu;
    const auto r = read(file.bytes(), menu);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error(), "Not an mma_ucp menu file: the header counts 9 records, fewer than its ten fixed records");
}

TEST(MenuReader, RecordsAreReadOnlyBelowTheRecordCount)
{
    // N = 11: record 11 lies in the data area and is not an item, however it looks.
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Games");
    b.add(MenuBuilder::kRoot, "Tools");
    MenuFile file = b.layout();
    file.header[2] = 11;
    OpenMenu menu;
    ASSERT_TRUE(read(file.bytes(), menu).ok());
    EXPECT_EQ(menu.document.menuRoot()->childCount(), 1u);
}

TEST(MenuReader, TruncatedRecordAreaReadsWhatIsThere)
{
    MenuBuilder b;
    for (const char* name : {"Games", "Tools", "Camera"})
        b.add(MenuBuilder::kRoot, name);
    Bytes bytes = b.bytes();
    bytes.resize(10 + 12 * 36 + 20);  // record 12 is cut
    OpenMenu menu;
    const auto r = read(bytes, menu);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(menu.document.menuRoot()->childCount(), 2u);
    EXPECT_EQ(r->warnings,
              std::vector<std::string>{"The file ends inside its records: the header counts 13 records, the file holds 12"});
}

TEST(MenuReader, ChildIndexLoopsEndTheGroup)
{
    MenuBuilder b;
    const int games = b.add(MenuBuilder::kRoot, "Games", kTypeContainer);
    b.add(games, "Calculator");
    b.add(MenuBuilder::kRoot, "Tools");
    MenuFile file = b.layout();
    // Records: Games 10, Tools 11, Calculator 12. Calculator names Games as its child and
    // Tools names itself.
    file.records[12].childIndex = 10;
    file.records[11].childIndex = 11;
    OpenMenu menu;
    const auto r = read(file.bytes(), menu);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(menu.document.nodeCount(), 12u);
    EXPECT_EQ(r->warnings, (std::vector<std::string>{
                              "Record 12 names record 10 as its first child, a record already read; its children "
                              "were skipped",
                              "Record 11 names record 11 as its first child, a record already read; its children "
                              "were skipped"}));
}

TEST(MenuReader, ChildIndexOutsideTheMainMenuIsSkipped)
{
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Games");
    b.add(MenuBuilder::kRoot, "Tools");
    MenuFile file = b.layout();
    file.records[10].childIndex = 2;    // a softkey
    file.records[11].childIndex = 200;  // beyond the records
    OpenMenu menu;
    const auto r = read(file.bytes(), menu);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(menu.document.nodeCount(), 11u);
    EXPECT_EQ(r->warnings.size(), 2u);
    EXPECT_EQ(r->warnings[0], "Record 10 names record 2 as its first child, outside the main menu records; its "
                             "children were skipped");
}

TEST(MenuReader, GroupRunningIntoReadRecordsStops)
{
    // Games' children start at record 11 and, with the same parentIndex, would run on into
    // record 12 which holds Games' own sibling group again.
    MenuBuilder b;
    for (int i = 0; i < 4; ++i)
        b.add(MenuBuilder::kRoot, "Games");
    MenuFile file = b.layout();
    file.records[10].childIndex = 12;
    for (size_t i = 10; i < 14; ++i)
        file.records[i].parentIndex = 9;
    OpenMenu menu;
    const auto r = read(file.bytes(), menu);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(menu.document.nodeCount(), 13u);  // each of the four records once
    EXPECT_FALSE(r->warnings.empty());
}

TEST(MenuReader, DeepestChainOfRecords)
{
    // 245 main-menu records, each the only child of the one before.
    MenuBuilder b;
    int parent = MenuBuilder::kRoot;
    for (int i = 0; i < 245; ++i)
        parent = b.add(parent, "~" + std::to_string(i), kTypeContainer);
    OpenMenu menu;
    const auto r = read(b.bytes(), menu);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(menu.document.nodeCount(), 254u);
    EXPECT_EQ(menu.document.nodeAt(253)->item.recordNo, 255);
    EXPECT_EQ(menu.customCounter, 244);
}

TEST(MenuReader, DataBeyondTheFileGivesNoBlock)
{
    const ByteOrder o = ByteOrder::Big;
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Games", 0, testing::asciiRecord(5, "abc", o));
    b.add(MenuBuilder::kRoot, "Tools", 0, testing::asciiRecord(5, "def", o));
    MenuFile file = b.layout();
    file.records[11].dataOffset = 0xFFF0;
    OpenMenu menu;
    const auto r = read(file.bytes(), menu);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_NE(menu.document.data().at(11), nullptr);
    EXPECT_EQ(menu.document.data().at(12), nullptr);
    EXPECT_TRUE(menu.document.nodeAt(10)->item.hasData);  // as read
    EXPECT_EQ(r->warnings,
              (std::vector<std::string>{
                  "Item Tools (record 11): its data at offset 65520 (7 bytes) lies beyond the end of the file",
                  "7 bytes outside the menu's records will not be kept"}));

    // Cut inside the data area: the first item keeps its block.
    Bytes cut = b.bytes();
    cut.resize(cut.size() - 2);
    ASSERT_TRUE(read(cut, menu).ok());
    EXPECT_NE(menu.document.data().at(11), nullptr);
    EXPECT_EQ(menu.document.data().at(12), nullptr);
}

TEST(MenuReader, WarningsOfItemDataNameTheItem)
{
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Games", 0, Bytes{0x05, 0x00, 0x09, 'a'});
    OpenMenu menu;
    const auto r = read(b.bytes(), menu);
    EXPECT_EQ(r->warnings, std::vector<std::string>{
                              "Item Games (record 10): data record at offset 0 (kind 5) says 9 payload bytes, more "
                              "than the item data holds; the rest was dropped"});
    EXPECT_EQ(menu.document.data().at(11), nullptr);  // no entry, no block
}

TEST(MenuReader, LostRecordsAndMissingDataAreWarningsAndAddNothingToTheItemBase)
{
    // Records: NewA 10, NewB 11 (data), NewC 12 under NewB (data); data area 14 bytes.
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "NewA");
    const int parent =
        b.add(MenuBuilder::kRoot, "NewB", kTypeContainer, testing::asciiRecord(5, "abc", ByteOrder::Big));
    b.add(parent, "NewC", 0, testing::asciiRecord(5, "def", ByteOrder::Big));
    const MenuFile clean = b.layout();
    struct Case {
        const char* what;
        std::function<Bytes()> damaged;
        std::vector<std::string> warnings;
    };
    const std::vector<Case> cases = {
        {"a changed parent byte",
         [&] {
             MenuFile f = clean;
             f.records[11].parentIndex = 10;
             return f.bytes();
         },
         {"Records not reached from the menu tree were left out: 11, 12"}},
        {"cut where the data area starts",
         [&] {
             Bytes c = clean.bytes();
             c.resize(c.size() - 14);
             return c;
         },
         {"Item NewB (record 11): its data at offset 0 (7 bytes) lies beyond the end of the file",
          "Item NewC (record 12): its data at offset 7 (7 bytes) lies beyond the end of the file"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir dir;
        testing::writeText(dir.file("itembase.dat"), "Games;Games\r\n");
        OpenMenu menu;
        const auto r = read(c.damaged(), menu, true, dir.file("itembase.dat"));
        ASSERT_TRUE(r.ok()) << r.error();
        std::vector<std::string> expected = c.warnings;
        expected.push_back("Unknown items of this damaged file were not added to the item base: "
                           + std::string(c.warnings.size() == 1 ? "NewA" : "NewA, NewB, NewC"));
        EXPECT_EQ(r->warnings, expected);
        EXPECT_EQ(testing::readText(dir.file("itembase.dat")), "Games;Games\r\n");
    }
}

} // namespace
} // namespace tessaro
