#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "core/catalogue.h"
#include "core/file_fingerprint.h"
#include "core/item_data_codec.h"
#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/renumber.h"
#include "core/open_menu.h"
#include "support/menu_builder.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using Bytes = std::vector<uint8_t>;

// A document as the editor makes it: the Softkeys container with the seven default softkeys
// and an empty Menu Root.
void newDocument(OpenMenu& menu)
{
    MenuDocument& doc = menu.document;
    doc.clear();
    MenuRecord container{1, 1, 2, kNoIndex, 2, 0, 0, "Container", kGroupSoftkeys, 0, 0, false, 1};
    MenuRecord root{1, kNoIndex, kNoIndex, 0, 10, 0, 0, "MenuRoot", kGroupMenu, 0, 0, false, 1};
    doc.setTopNodes(std::make_unique<MenuNode>("Softkeys", container), std::make_unique<MenuNode>("Menu Root", root));
    for (int i = 0; i < kSoftkeyCount; ++i) {
        MenuRecord key{0, kNoIndex, kNoIndex, kNoIndex, static_cast<uint8_t>(i + 3), 0, 0x41,
                     kDefaultSoftkeys[i].identifier, kGroupSoftkeys, 0, 0, false, 0};
        doc.appendNode(doc.softkeys(), std::make_unique<MenuNode>(kDefaultSoftkeys[i].displayName, key));
    }
}

MenuNode* addItem(OpenMenu& menu, MenuNode* parent, const std::string& name, uint8_t type = kTypeItem)
{
    MenuRecord item;
    item.name = name;
    item.itemType = type;
    item.attributes = 0x41;
    MenuNode* node = menu.document.appendNode(parent, std::make_unique<MenuNode>(name, item));
    renumberTree(menu.document);
    return node;
}

void attach(OpenMenu& menu, MenuNode* node, ItemDataBlock block)
{
    node->item.hasData = true;
    node->item.dataLength = itemDataLength(&block, menu.saveMode.saveAll());
    menu.document.data().store(node->item.recordNo, std::move(block));
}

Bytes render(OpenMenu& menu)
{
    auto bytes = renderMenuFile(menu);
    EXPECT_TRUE(bytes.ok()) << bytes.error();
    return bytes.ok() ? bytes.value() : Bytes{};
}

Bytes slice(const Bytes& bytes, size_t offset, size_t count)
{
    if (offset + count > bytes.size())
        return {};
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

TEST(MenuWriter, ThirtySixByteLayout)
{
    OpenMenu menu;
    newDocument(menu);
    MenuNode* games = addItem(menu, menu.document.menuRoot(), "Games", kTypeContainer);
    MenuNode* calc = addItem(menu, games, "Calculator");
    games->item.itemType = kTypeContainer;  // renumbering made it an item while it was empty
    ItemDataBlock block;
    block.entries.push_back({.kind = kind::Url, .bytes = {'a', 'b', 'c', 0}});
    attach(menu, calc, block);
    const Bytes out = render(menu);
    ASSERT_EQ(out.size(), 10u + 12 * 36 + 7);

    EXPECT_EQ(slice(out, 0, 10), (Bytes{
                                     0x00,        // byte 0
                                     0x01,        // format marker
                                     0x0C,        // N = 12 records
                                     0x01,        // byte 3
                                     0xFF, 0xFF,  //
                                     0x15, 0x02,  // 36-byte records
                                     0xFF, 0xFF,
                                 }));
    const Bytes name = {'R', 'o', 'o', 't', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Bytes root = {0x01, 0xFF, 0xFF, 0x01, 0x00, 0x00};  // record 0: type, parent, next, child, options, attributes
    root.insert(root.end(), name.begin(), name.end());  // "Root", 25 bytes
    root.insert(root.end(), {0xCC, 0x00, 0x00, 0x00, 0x00});  // Group, dataOffset, dataLength
    EXPECT_EQ(slice(out, 10, 36), root);

    // Record 1, the Softkeys container with its stored fields.
    EXPECT_EQ(slice(out, 46, 6), (Bytes{0x01, 0x01, 0x02, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(slice(out, 52, 10), (Bytes{'C', 'o', 'n', 't', 'a', 'i', 'n', 'e', 'r', 0}));
    EXPECT_EQ(out[46 + 31], 0xCC);
    // Record 2, the LSK: type 0, no links, attributes 0x41, "PhoneBook", Group 0xCC.
    EXPECT_EQ(slice(out, 82, 6), (Bytes{0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x41}));
    EXPECT_EQ(out[82 + 31], 0xCC);
    // Record 9, the Menu Root: first child at record 10.
    EXPECT_EQ(slice(out, 10 + 9 * 36, 6), (Bytes{0x01, 0xFF, 0xFF, 0x0A, 0x00, 0x00}));
    EXPECT_EQ(out[10 + 9 * 36 + 31], 0xCD);
    // Record 10, Games: container, parent 9, last sibling, first child 11.
    EXPECT_EQ(slice(out, 10 + 10 * 36, 6), (Bytes{0x01, 0x09, 0xFF, 0x0B, 0x00, 0x41}));
    EXPECT_EQ(slice(out, 10 + 10 * 36 + 31, 5), (Bytes{0xCD, 0x00, 0x00, 0x00, 0x00}));
    // Record 11, Calculator: parent 10, data at offset 0, 7 bytes.
    EXPECT_EQ(slice(out, 10 + 11 * 36, 6), (Bytes{0x00, 0x0A, 0xFF, 0xFF, 0x00, 0x41}));
    EXPECT_EQ(slice(out, 10 + 11 * 36 + 31, 5), (Bytes{0xCD, 0x00, 0x00, 0x00, 0x07}));
    // Data area: kind 5, L = 4, "abc" and its zero byte.
    EXPECT_EQ(slice(out, 10 + 12 * 36, 7), (Bytes{0x05, 0x00, 0x04, 'a', 'b', 'c', 0x00}));
}

TEST(MenuWriter, TwentyTwoByteLayout)
{
    OpenMenu menu;
    newDocument(menu);
    menu.saveMode.setRecordSize(22);
    addItem(menu, menu.document.menuRoot(), "MF-Wallpaper");
    const Bytes out = render(menu);
    ASSERT_EQ(out.size(), 10u + 11 * 22);
    EXPECT_EQ(slice(out, 0, 10), (Bytes{0x00, 0x01, 0x0B, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    // Record 0: "Root" in a 12-byte name field, no Group byte, trailer words 0.
    EXPECT_EQ(slice(out, 10, 22), (Bytes{0x01, 0xFF, 0xFF, 0x01, 0x00, 0x00, 'R', 'o', 'o', 't', 0, 0, 0, 0, 0, 0, 0, 0,
                                         0x00, 0x00, 0x00, 0x00}));
    // Record 10: "MF-Wallpaper", 12 bytes without a zero byte, then the trailer words.
    EXPECT_EQ(slice(out, 10 + 10 * 22, 22), (Bytes{0x00, 0x09, 0xFF, 0xFF, 0x00, 0x41, 'M', 'F',  '-',  'W',  'a',
                                                   'l',  'l',  'p',  'a',  'p',  'e',  'r', 0x00, 0x00, 0x00, 0x00}));
}

TEST(MenuWriter, HeaderFollowsTheSaveMode)
{
    struct Case {
        int recordSize;
        bool c698p;
        bool cdma;
        Bytes header;
    };
    const Case cases[] = {
        {22, true, true, {0x03, 0x00, 0x0A, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {22, false, true, {0x01, 0x00, 0x0A, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {22, true, false, {0x00, 0x03, 0x0A, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {36, false, false, {0x00, 0x01, 0x0A, 0x01, 0xFF, 0xFF, 0x15, 0x02, 0xFF, 0xFF}},
        {36, false, true, {0x01, 0x00, 0x0A, 0x00, 0xFF, 0xFF, 0x15, 0x02, 0xFF, 0xFF}},
    };
    OpenMenu menu;
    newDocument(menu);
    for (const Case& c : cases) {
        menu.saveMode.setRecordSize(c.recordSize);
        menu.saveMode.setC698p(c.c698p);
        menu.saveMode.setCdma(c.cdma);
        EXPECT_EQ(slice(render(menu), 0, 10), c.header);
    }
}

TEST(MenuWriter, ItemTypesAreNormalised)
{
    OpenMenu menu;
    newDocument(menu);
    MenuNode* empty = addItem(menu, menu.document.menuRoot(), "Games");
    MenuNode* two = addItem(menu, menu.document.menuRoot(), "Tools", 2);
    MenuNode* ten = addItem(menu, menu.document.menuRoot(), "Radio", 10);
    MenuNode* nine = addItem(menu, menu.document.menuRoot(), "Camera", kTypeShortcut);
    menu.document.nodeAt(1)->item.itemType = kTypeContainer;  // an empty container among the softkeys
    empty->item.itemType = kTypeContainer;                   // an empty container in the main menu

    menu.saveMode.setSaveAll(true);
    Bytes out = render(menu);
    EXPECT_EQ(out[10 + 11 * 36], 2);
    EXPECT_EQ(out[10 + 12 * 36], 10);

    menu.saveMode.setSaveAll(false);
    out = render(menu);
    EXPECT_EQ(out[10 + 2 * 36], kTypeContainer);  // the softkey keeps 1
    EXPECT_EQ(out[10 + 10 * 36], kTypeItem);
    EXPECT_EQ(out[10 + 11 * 36], kTypeItem);
    EXPECT_EQ(out[10 + 12 * 36], kTypeItem);
    EXPECT_EQ(out[10 + 13 * 36], kTypeShortcut);
    // Stored back into the nodes.
    EXPECT_EQ(empty->item.itemType, kTypeItem);
    EXPECT_EQ(two->item.itemType, kTypeItem);
    EXPECT_EQ(ten->item.itemType, kTypeItem);
    EXPECT_EQ(nine->item.itemType, kTypeShortcut);
}

TEST(MenuWriter, DataOffsetsRunThroughTheItems)
{
    OpenMenu menu;
    newDocument(menu);
    MenuNode* a = addItem(menu, menu.document.menuRoot(), "Games");
    MenuNode* b = addItem(menu, menu.document.menuRoot(), "Tools");
    MenuNode* c = addItem(menu, menu.document.menuRoot(), "Radio");
    ItemDataBlock code;
    code.entries.push_back({.kind = kind::Code12, .value = 9});
    attach(menu, a, code);
    attach(menu, c, code);
    ItemDataBlock lsk;
    lsk.entries.push_back({.kind = kind::Code13, .value = 1});
    attach(menu, menu.document.nodeAt(1), lsk);
    const Bytes out = render(menu);
    auto trailer = [&](size_t record) { return slice(out, 10 + record * 36 + 32, 4); };
    EXPECT_EQ(trailer(2), (Bytes{0x00, 0x00, 0x00, 0x04}));   // the LSK's data comes first
    EXPECT_EQ(trailer(3), (Bytes{0x00, 0x04, 0x00, 0x00}));   // no data: the running offset
    EXPECT_EQ(trailer(10), (Bytes{0x00, 0x04, 0x00, 0x04}));
    EXPECT_EQ(trailer(11), (Bytes{0x00, 0x08, 0x00, 0x00}));  // the offset of the next item with data
    EXPECT_EQ(trailer(12), (Bytes{0x00, 0x08, 0x00, 0x04}));
    EXPECT_EQ(slice(out, 10 + 13 * 36, 12), (Bytes{0x13, 0x00, 0x01, 0x01, 0x12, 0x00, 0x01, 0x09, 0x12, 0x00, 0x01, 0x09}));
    EXPECT_EQ(b->item.dataLength, 0);
    EXPECT_EQ(c->item.dataLength, 4);
}

TEST(MenuWriter, UnsupportedDataOnlyWithSaveAll)
{
    OpenMenu menu;
    newDocument(menu);
    MenuNode* games = addItem(menu, menu.document.menuRoot(), "Games");
    ItemDataBlock block;
    block.entries.push_back({.kind = kind::Unsupported, .records = {{2, 1, {0xAB}}, {40, 0, {}}}});
    attach(menu, games, block);
    Bytes out = render(menu);
    EXPECT_EQ(out.size(), 10u + 11 * 36);
    EXPECT_EQ(slice(out, 10 + 10 * 36 + 32, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(games->item.dataLength, 0);

    menu.saveMode.setSaveAll(true);
    out = render(menu);
    EXPECT_EQ(slice(out, 10 + 10 * 36 + 32, 4), (Bytes{0, 0, 0, 7}));
    EXPECT_EQ(slice(out, 10 + 11 * 36, 7), (Bytes{0x02, 0x00, 0x01, 0xAB, 0x28, 0x00, 0x00}));
}

TEST(MenuWriter, TitleEndOffsetsCountFromZeroInEachRecord)
{
    OpenMenu menu;
    newDocument(menu);
    ItemDataBlock block;
    block.entries.push_back({.kind = kind::SoftkeyTitle, .titles = {{1, u"Ab"}}});
    block.entries.push_back({.kind = kind::ShowText, .titles = {{1, u"C"}, {2, u"De"}}});
    attach(menu, menu.document.nodeAt(1), block);
    const Bytes out = render(menu);
    EXPECT_EQ(slice(out, 10 + 10 * 36, 33), (Bytes{
                                                0x01, 0x00, 0x0B,        // kind 1, L = 11
                                                0x01,                    // one title
                                                0x01, 0xCD, 0x00, 0x06,  // language 1, marker, end 6
                                                0x00, 'A', 0x00, 'b', 0x00, 0x00,
                                                0x15, 0x00, 0x13,        // kind 21, L = 19
                                                0x02,                    // two titles
                                                0x01, 0xCD, 0x00, 0x04,  // end 4, counted from 0
                                                0x02, 0xCD, 0x00, 0x0A,  // end 10
                                                0x00, 'C', 0x00, 0x00,
                                                0x00, 'D', 0x00,
                                            }));
}

TEST(MenuWriter, IconMarker06WritesKindSixAndReadsBack)
{
    OpenMenu menu;
    newDocument(menu);
    menu.saveMode.setRecordSize(22);
    menu.saveMode.setIconMarker(IconMarker::K06);
    MenuNode* games = addItem(menu, menu.document.menuRoot(), "Games");
    ItemDataBlock block;
    block.entries.push_back({.kind = kind::FileIcon, .role = kRoleAnimated, .path = u"/a/g.gif"});
    attach(menu, games, block);
    const Bytes out = render(menu);
    EXPECT_EQ(out[10 + 11 * 22], 0x06);

    OpenMenu back;
    back.saveMode.setRecordSize(22);
    ASSERT_TRUE(readMenuBytes(out, back, {}).ok());
    EXPECT_EQ(back.saveMode.iconMarker(), IconMarker::K06);
    ASSERT_NE(back.document.data().at(11), nullptr);
    EXPECT_EQ(back.document.data().at(11)->entries, menu.document.data().at(11)->entries);
}

TEST(MenuWriter, DialNumberIn22ByteRecordsIsRefused)
{
    OpenMenu menu;
    newDocument(menu);
    const auto dial = [](std::string_view number) {
        return DataEntry{.kind = kind::DialNumber, .bytes = std::vector<uint8_t>(number.begin(), number.end())};
    };
    attach(menu, addItem(menu, menu.document.menuRoot(), "Games"), ItemDataBlock{0, {dial("112")}});
    addItem(menu, menu.document.menuRoot(), "Tools");
    attach(menu, addItem(menu, menu.document.menuRoot(), "~3"), ItemDataBlock{0, {dial("5550100")}});
    ASSERT_TRUE(renderMenuFile(menu).ok());  // 36-byte records hold dial numbers

    menu.saveMode.setRecordSize(22);
    testing::TempDir dir;
    const std::string path = dir.file("mma_ucp");
    testing::writeText(path, "old file");
    const std::string text = "\"Dial this number\" cannot be saved in 22-byte records, where that record is an "
                             "icon. Items: Games, ~3";
    EXPECT_EQ(writeMenuFile(path, menu).failure(), Error(ErrorKind::Refused, text, "Error"));
    EXPECT_EQ(testing::readText(path), "old file");
}

TEST(MenuWriter, ItemOutsideTheProfileIsRefused)
{
    OpenMenu menu;
    newDocument(menu);
    addItem(menu, menu.document.menuRoot(), "~4");
    MenuNode* games = addItem(menu, menu.document.menuRoot(), "Games");
    games->item.itemType = 12;
    addItem(menu, menu.document.menuRoot(), "Radio");
    menu.items.setAvailable({{"PhoneBook", "PhoneBook"}, {"Message", "Message"}, {"RecentCall", "RecentCall"},
                           {"Mutilmedia", "Multimedia"}, {"Datebook", "Datebook"}, {"MMRingStyle", "MMRingStyle"},
                           {"VoiceRecord", "VoiceRecord"}, {"Games", "Games"}});
    testing::TempDir dir;
    const std::string path = dir.file("mma_ucp");
    testing::writeText(path, "old file");
    const Status r = writeMenuFile(path, menu);
    EXPECT_EQ(r.failure(), Error(ErrorKind::Refused, "mma_ucp doesn't match current profile", "Profile error"));
    EXPECT_EQ(testing::readText(path), "old file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    // Records before the refused one were normalised as the save went.
    EXPECT_EQ(games->item.itemType, kTypeItem);

    const std::string fresh = dir.file("new");
    EXPECT_EQ(writeMenuFile(fresh, menu).failure().kind, ErrorKind::Refused);
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST(MenuWriter, CustomItemsNeedOnlyAnAvailableList)
{
    OpenMenu menu;
    newDocument(menu);
    addItem(menu, menu.document.menuRoot(), "~4");
    EXPECT_TRUE(renderMenuFile(menu).ok());
}

// --- limits of the format -------------------------------------------------------------------

TEST(MenuWriter, MoreThan255RecordsAreRefused)
{
    OpenMenu menu;
    newDocument(menu);
    for (int i = 0; i < 245; ++i)
        menu.document.appendNode(menu.document.menuRoot(), std::make_unique<MenuNode>("x", MenuRecord{.name = "~1"}));
    EXPECT_TRUE(renderMenuFile(menu).ok());  // 255 records: the most a file holds
    menu.document.appendNode(menu.document.menuRoot(), std::make_unique<MenuNode>("x", MenuRecord{.name = "~1"}));

    testing::TempDir dir;
    const std::string path = dir.file("mma_ucp");
    testing::writeText(path, "old file");
    const std::string text = "The menu needs 256 records; an mma_ucp file holds at most 255 (245 menu items)";
    EXPECT_EQ(writeMenuFile(path, menu).failure(), Error(ErrorKind::Refused, text, "Error"));
    EXPECT_EQ(testing::readText(path), "old file");
}

TEST(MenuWriter, DataAreaAbove65535BytesIsRefused)
{
    OpenMenu menu;
    newDocument(menu);
    // Two items of 32770 data bytes each: 65540 in all.
    for (const char* name : {"Games", "Tools"}) {
        MenuNode* node = addItem(menu, menu.document.menuRoot(), name);
        ItemDataBlock block;
        block.entries.push_back({.kind = kind::Url, .bytes = Bytes(32766, 'u')});
        block.entries[0].bytes.push_back(0);
        attach(menu, node, block);
    }
    auto bytes = renderMenuFile(menu);
    ASSERT_FALSE(bytes.ok());
    EXPECT_EQ(bytes.failure(), Error(ErrorKind::Refused,
                                     "The item data needs 65540 bytes; an mma_ucp data area holds at most 65535", "Error"));

    // Four bytes less fit exactly.
    menu.document.data().at(12)->entries[0].bytes.erase(menu.document.data().at(12)->entries[0].bytes.begin(),
                                                      menu.document.data().at(12)->entries[0].bytes.begin() + 5);
    auto fits = renderMenuFile(menu);
    ASSERT_TRUE(fits.ok());
    EXPECT_EQ(fits.value().size(), 10u + 12 * 36 + 65535);
}

TEST(MenuWriter, TextsTheirLengthFieldsCannotCountAreRefused)
{
    OpenMenu menu;
    newDocument(menu);
    MenuNode* games = addItem(menu, menu.document.menuRoot(), "Games");
    ItemDataBlock block;
    block.entries.push_back({.kind = kind::FileIcon, .role = kRoleList, .path = std::u16string(32767, u'p')});
    attach(menu, games, block);
    auto bytes = renderMenuFile(menu);
    ASSERT_FALSE(bytes.ok());
    const std::string text = "The data of item Games cannot be saved: a data record of kind 12 needs 65537 bytes, more "
                             "than its length field can count (65535)";
    EXPECT_EQ(bytes.failure(), Error(ErrorKind::Refused, text, "Error"));
}

TEST(MenuWriter, SoftkeyAreaMustKeepItsSevenItems)
{
    OpenMenu menu;
    newDocument(menu);
    menu.document.removeNode(menu.document.nodeAt(7));
    EXPECT_EQ(renderMenuFile(menu).error(), "The softkey area must hold exactly seven items without subitems");

    OpenMenu empty;
    EXPECT_EQ(renderMenuFile(empty).error(), "There is no menu to save");
}

// --- replacing the file ---------------------------------------------------------------------

TEST(MenuWriter, SaveReplacesTheFileAndKeepsItsPermissions)
{
    OpenMenu menu;
    newDocument(menu);
    testing::TempDir dir;
    const std::string path = dir.file("mma_ucp");
    testing::writeText(path, "old file");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(writeMenuFile(path, menu).ok());
    EXPECT_EQ(testing::readBytes(path), render(menu));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(MenuWriter, FailedSaveLeavesTheTargetAndNoTemporaryFile)
{
    OpenMenu menu;
    newDocument(menu);
    testing::TempDir dir;
    // The target is a folder with something in it: the final rename fails.
    const std::string path = dir.file("target");
    std::filesystem::create_directory(path);
    testing::writeText(dir.file("target/keep"), "x");
    const Status r = writeMenuFile(path, menu);
    EXPECT_EQ(r.failure().kind, ErrorKind::Io);
    EXPECT_EQ(r.failure().caption, "");
    EXPECT_EQ(r.error().rfind("Cannot write " + path + ": ", 0), 0u) << r.error();
    EXPECT_EQ(testing::readText(dir.file("target/keep")), "x");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    const std::string missing = dir.file("no/such/folder/mma_ucp");
    EXPECT_EQ(writeMenuFile(missing, menu).error(), "Cannot write " + missing + ": No such file or directory");
}

TEST(MenuWriter, SaveThroughASymbolicLinkReplacesTheFileItNames)
{
    OpenMenu menu;
    newDocument(menu);
    testing::TempDir dir;
    testing::writeText(dir.file("real"), "old");
    std::filesystem::create_symlink("real", dir.file("link"));
    ASSERT_TRUE(writeMenuFile(dir.file("link"), menu).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));
    EXPECT_EQ(testing::readBytes(dir.file("real")), render(menu));
}

// Two programs opened the same file: the second one's save refuses after the first one's.
TEST(MenuWriter, SaveOverAFileChangedSinceItWasOpenedIsRefused)
{
    OpenMenu menu;
    newDocument(menu);
    testing::TempDir dir;
    const std::string path = dir.file("mma_ucp");
    testing::writeBytes(path, render(menu));
    FileFingerprint first = fingerprintOnDisk(path);
    FileFingerprint second = first;
    addItem(menu, menu.document.menuRoot(), "Games");
    ASSERT_TRUE(writeMenuFileChecked(path, menu, first).ok());
    const Bytes saved = testing::readBytes(path);
    const Error changed(ErrorKind::ChangedOnDisk, "The file was changed by another program since it was opened");
    EXPECT_EQ(writeMenuFileChecked(path, menu, second).failure(), changed);
    EXPECT_EQ(testing::readBytes(path), saved);
    // The first one's next save goes through; the same bytes written again later are a change.
    ASSERT_TRUE(writeMenuFileChecked(path, menu, first).ok());
    const timespec later[2] = {{0, UTIME_OMIT}, {1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
    EXPECT_EQ(writeMenuFileChecked(path, menu, first).failure(), changed);
}

} // namespace
} // namespace tessaro
