// The two promises of the reader and writer together: a file written in any save mode reads
// back to the same document, and a file read and written with "Save all data" in its own mode
// comes back byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/item_lists.h"
#include "core/menu_diff.h"
#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"
#include "support/menu_builder.h"

namespace tessaro {
namespace {

using testing::MenuBuilder;
using testing::richFile;
using Bytes = std::vector<uint8_t>;

Result<ReadReport> read(const Bytes& bytes, OpenMenu& menu)
{
    return readMenuBytes(bytes, menu, ReadOptions{false, {}});
}

Bytes render(OpenMenu& menu)
{
    auto bytes = renderMenuFile(menu);
    EXPECT_TRUE(bytes.ok()) << bytes.error();
    return bytes.ok() ? bytes.value() : Bytes{};
}

TEST(MenuRoundTrip, OwnModeWithSaveAllComesBackByteForByte)
{
    struct Case {
        int recordSize;
        ByteOrder order;
        bool c698p;
        uint8_t iconKind;
    };
    const Case cases[] = {
        {36, ByteOrder::Big, false, 12},    {36, ByteOrder::Little, false, 12}, {22, ByteOrder::Big, false, 12},
        {22, ByteOrder::Big, false, 6},     {22, ByteOrder::Big, true, 6},      {22, ByteOrder::Little, false, 6},
        {22, ByteOrder::Little, false, 12}, {22, ByteOrder::Little, true, 6},
    };
    for (const Case& c : cases) {
        const Bytes file = richFile(c.recordSize, c.order, c.c698p, c.iconKind, c.recordSize == 36);
        OpenMenu menu;
        const auto r = read(file, menu);
        ASSERT_TRUE(r.ok()) << r.error();
        EXPECT_TRUE(r->warnings.empty());
        menu.saveMode.setSaveAll(true);
        EXPECT_EQ(render(menu), file) << c.recordSize << " " << (c.order == ByteOrder::Big) << " " << c.c698p << " "
                                    << int(c.iconKind);
    }
}

// Everything of a document except where its data lies in the file.
void expectSameDocument(const OpenMenu& a, const OpenMenu& b, bool unsupportedKept, const std::string& mode)
{
    const auto na = a.document.preorder();
    const auto nb = b.document.preorder();
    ASSERT_EQ(na.size(), nb.size()) << mode;
    for (size_t i = 0; i < na.size(); ++i) {
        MenuRecord ia = na[i]->item;
        MenuRecord ib = nb[i]->item;
        ia.dataOffset = ib.dataOffset = 0;
        EXPECT_EQ(na[i]->caption(), nb[i]->caption()) << mode << " node " << i;
        EXPECT_EQ(ia, ib) << mode << " node " << i;
    }
    for (size_t slot = 0; slot < kTableSlots; ++slot) {
        const ItemDataBlock* ba = a.document.data().at(slot);
        const ItemDataBlock* bb = b.document.data().at(slot);
        ASSERT_EQ(ba == nullptr, bb == nullptr) << mode << " slot " << slot;
        if (!ba)
            continue;
        ItemDataBlock expected = *ba;
        if (!unsupportedKept)
            std::erase_if(expected.entries, [](const DataEntry& e) { return e.kind == kind::Unsupported; });
        EXPECT_EQ(expected, *bb) << mode << " slot " << slot;
    }
}

TEST(MenuRoundTrip, EverySaveModeReadsBackToTheSameDocument)
{
    for (int size : {22, 36}) {
        for (bool cdma : {false, true}) {
            for (bool c698p : {false, true}) {
                for (IconMarker marker : {IconMarker::K06, IconMarker::K0C}) {
                    for (bool saveAll : {false, true}) {
                        const std::string mode = std::to_string(size) + (cdma ? " cdma" : "") + (c698p ? " c698p" : "") +
                                                 (marker == IconMarker::K06 ? " 06" : " 0C") + (saveAll ? " all" : "");
                        OpenMenu menu;
                        ASSERT_TRUE(read(richFile(36, ByteOrder::Big, false, 12, false), menu).ok());
                        ASSERT_EQ(menu.document.nodeCount(), 18u);
                        ASSERT_EQ(menu.document.data().count(), 10u);
                        menu.saveMode.setRecordSize(size);
                        menu.saveMode.setIconMarker(marker);
                        menu.saveMode.setC698p(c698p);
                        menu.saveMode.setCdma(cdma);
                        menu.saveMode.setSaveAll(saveAll);
                        const SaveMode written = menu.saveMode;
                        const Bytes bytes = render(menu);

                        OpenMenu back;
                        const auto r = read(bytes, back);
                        ASSERT_TRUE(r.ok()) << mode << r.error();
                        EXPECT_TRUE(r->warnings.empty()) << mode;
                        expectSameDocument(menu, back, saveAll, mode);

                        EXPECT_EQ(back.saveMode.recordSize(), size) << mode;
                        EXPECT_EQ(back.saveMode.cdma(), cdma) << mode;
                        EXPECT_EQ(back.saveMode.c698p(), written.c698p()) << mode;
                        EXPECT_EQ(back.saveMode.iconMarker(), written.iconMarker()) << mode;
                    }
                }
            }
        }
    }
}

TEST(MenuRoundTrip, ConvertingBetweenRecordSizesKeepsTheData)
{
    // 22-byte CDMA with "06" icons to 36-byte big-endian and back.
    OpenMenu menu;
    const Bytes original = richFile(22, ByteOrder::Little, false, 6, false);
    ASSERT_TRUE(read(original, menu).ok());
    menu.saveMode.setRecordSize(36);
    menu.saveMode.setCdma(false);
    menu.saveMode.setSaveAll(true);
    OpenMenu wide;
    ASSERT_TRUE(read(render(menu), wide).ok());
    wide.saveMode.setRecordSize(22);
    wide.saveMode.setIconMarker(IconMarker::K06);
    wide.saveMode.setCdma(true);
    wide.saveMode.setSaveAll(true);
    EXPECT_EQ(render(wide), original);
}

TEST(MenuRoundTrip, ItemsNoListHoldsAreSavedAsTheyWereRead)
{
    // Names no itembase.dat line can hold (a byte beyond ASCII, the separator, a control byte)
    // and one the lists simply lack, as beyond the item base's last line.
    for (const std::string name : {"Caf\xE9", "a;b", "x\x01y", "NotInTheBase"}) {
        MenuBuilder b;
        b.add(MenuBuilder::kRoot, name, 0, testing::asciiRecord(5, "http://a", ByteOrder::Big));
        const Bytes file = b.bytes();
        OpenMenu menu;
        ASSERT_TRUE(readMenuBytes(file, menu, ReadOptions{true, {}}).ok()) << name;
        menu.saveMode.setSaveAll(true);
        EXPECT_EQ(render(menu), file) << name;

        // What the user puts in still has to be among the available items.
        MenuRecord inserted;
        inserted.name = name;
        menu.document.appendNode(menu.document.menuRoot(), std::make_unique<MenuNode>(name, inserted));
        const auto refused = renderMenuFile(menu);
        ASSERT_FALSE(refused.ok()) << name;
        EXPECT_EQ(refused.error(), kProfileMismatchText);
    }
}

TEST(MenuRoundTrip, BytesOutsideTheRecordsAreToldOfAndComparedByDiff)
{
    struct Case {
        const char* what;
        std::function<void(testing::MenuFile&)> damage;
        size_t outside;
    };
    const Case cases[] = {
        {"none", [](testing::MenuFile&) {}, 0},
        {"trailing bytes",
         [](testing::MenuFile& f) {
             f.data.insert(f.data.end(), {1, 2, 3});
         },
         3},
        {"header bytes 4 to 9",
         [](testing::MenuFile& f) {
             f.header[4] = 0;
             f.header[9] = 7;
         },
         2},
        {"byte 31 of a record", [](testing::MenuFile& f) { f.records[10].group = 0x11; }, 1},
        {"junk after a name's zero byte", [](testing::MenuFile& f) { f.records[11].name += std::string("\0zz", 3); },
         2},
        {"a gap between data blocks",
         [](testing::MenuFile& f) {
             f.data.insert(f.data.begin() + f.records[11].dataOffset, {9, 9});
             f.records[11].dataOffset += 2;
         },
         2},
    };
    for (const Case& c : cases) {
        MenuBuilder b;
        b.add(MenuBuilder::kRoot, "Games", 0, testing::asciiRecord(5, "http://a", ByteOrder::Big));
        b.add(MenuBuilder::kRoot, "Tools", 0, testing::asciiRecord(5, "http://b", ByteOrder::Big));
        testing::MenuFile file = b.layout();
        c.damage(file);
        OpenMenu menu;
        const auto r = readMenuBytes(file.bytes(), menu, ReadOptions{true, {}});
        ASSERT_TRUE(r.ok()) << c.what;
        EXPECT_EQ(r->bytesOutsideRecords.size(), c.outside) << c.what;
        const auto warned = std::find(r->warnings.begin(), r->warnings.end(), bytesOutsideRecordsText(c.outside));
        EXPECT_EQ(warned != r->warnings.end(), c.outside > 0) << c.what;

        // The file against its own save: equal exactly when the save keeps every byte.
        MenuDescription before = describeMenu(menu.document, menu.saveMode);
        before.bytesOutsideRecords = r->bytesOutsideRecords;
        menu.saveMode.setSaveAll(true);
        OpenMenu saved;
        const auto back = readMenuBytes(render(menu), saved, ReadOptions{true, {}});
        ASSERT_TRUE(back.ok() && back->bytesOutsideRecords.empty()) << c.what;
        MenuDescription after = describeMenu(saved.document, saved.saveMode);
        before.saveMode.setSaveAll(true);
        after.saveMode.setSaveAll(true);
        EXPECT_EQ(compareMenus(before, after).size(), c.outside > 0 ? 1u : 0u) << c.what;
    }
}

} // namespace
} // namespace tessaro
