#include <gtest/gtest.h>

#include "core/menu_document.h"
#include "models/main_window_rules.h"

namespace tessaro {
namespace {

std::unique_ptr<MenuNode> node(const std::string& name, uint8_t type = kTypeItem)
{
    MenuRecord item;
    item.name = name;
    item.itemType = type;
    return std::make_unique<MenuNode>(name, item);
}

// Softkeys with seven softkeys, the Menu Root and one menu item with recordNo 11.
struct SmallDocument {
    MenuDocument doc;
    MenuNode* item = nullptr;

    SmallDocument()
    {
        doc.setTopNodes(node("Container", kTypeContainer), node("MenuRoot", kTypeContainer));
        for (int i = 0; i < 7; ++i)
            doc.appendNode(doc.softkeys(), node("Key" + std::to_string(i)));
        item = doc.appendNode(doc.menuRoot(), node("Item"));
        item->item.recordNo = 11;
    }

    void giveData(std::vector<uint8_t> kinds)
    {
        ItemDataBlock block;
        for (uint8_t k : kinds) {
            DataEntry e;
            e.kind = k;
            block.entries.push_back(e);
        }
        doc.data().store(11, block);
        item->item.hasData = true;
    }
};

TEST(statusLine, CountsEntriesBeyondTheFixedNine)
{
    EXPECT_EQ(statusLine(0, 36, 9), "Format: 36-byte  Entries: 0"); // a new menu: as it will be saved
    EXPECT_EQ(statusLine(0, 22, 9), "Format: 22-byte  Entries: 0");
    EXPECT_EQ(statusLine(36, 22, 12), "Format: 36-byte  Entries: 3");
    EXPECT_EQ(statusLine(22, 36, 10), "Format: 22-byte  Entries: 1");
    // No document at all.
    EXPECT_EQ(statusLine(0, 36, 0), "Format: 36-byte  Entries: 0");
}

TEST(itemSummary, HiddenForTheTwoContainersAndNoNode)
{
    SmallDocument d;
    EXPECT_FALSE(itemSummary(d.doc, d.doc.softkeys()));
    EXPECT_FALSE(itemSummary(d.doc, d.doc.menuRoot()));
    EXPECT_FALSE(itemSummary(d.doc, nullptr));
    // A softkey has a summary.
    EXPECT_TRUE(itemSummary(d.doc, d.doc.nodeAt(1)));
}

TEST(itemSummary, NodeWithoutDataIsNotModified)
{
    SmallDocument d;
    const auto lines = itemSummary(d.doc, d.item);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"Item summary:", "", "[Not modified]"}));
}

struct SummaryCase {
    std::vector<uint8_t> kinds;
    std::vector<std::string> lines;  // after "Item summary:" and the empty line
};

class ItemSummaryLines : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(ItemSummaryLines, OneLinePerEntryOrGroup)
{
    SmallDocument d;
    d.giveData(GetParam().kinds);
    auto expected = std::vector<std::string>{"Item summary:", ""};
    expected.insert(expected.end(), GetParam().lines.begin(), GetParam().lines.end());
    EXPECT_EQ(itemSummary(d.doc, d.item).value(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ItemSummaryLines,
    ::testing::Values(
        SummaryCase{{0, 1}, {"Name in menu modified", "Softkey name modified"}},
        SummaryCase{{5}, {"URL attached"}},
        // 6, 18, 19, 20 share one line.
        SummaryCase{{6, 18, 19, 20}, {"Phone number attached"}},
        SummaryCase{{9, 10, 11}, {"MIDlet attached"}},
        SummaryCase{{12, 12, 12}, {"Icon(s) modified [source: file]"}},
        SummaryCase{{15, 16, 17}, {"Icon(s) modified [source: DRM]"}},
        // Both icon sources are listed.
        SummaryCase{{12, 15}, {"Icon(s) modified [source: file]", "Icon(s) modified [source: DRM]"}},
        SummaryCase{{21}, {"Text screen attached"}},
        SummaryCase{{22}, {"Action emulated"}},
        SummaryCase{{23}, {"Shortcut data"}},
        SummaryCase{{0xFE}, {"Unsupported Data"}},
        // Titles repeat; block order is kept.
        SummaryCase{{0, 23, 0}, {"Name in menu modified", "Shortcut data", "Name in menu modified"}}));

TEST(documentCommands, FollowDocumentAndConnection)
{
    EXPECT_EQ(documentCommands(false, true), (DocumentCommands{false, false, false}));
    EXPECT_EQ(documentCommands(true, false), (DocumentCommands{true, false, true}));
    EXPECT_EQ(documentCommands(true, true), (DocumentCommands{true, true, true}));
}

TEST(JokeMode, FirstToggleEntersSecondLeaves)
{
    JokeMode joke;
    EXPECT_FALSE(joke.isActive());
    EXPECT_TRUE(joke.toggle());
    EXPECT_STREQ(joke.caption(), "O-ops... We must have done smth wrong :(");
    EXPECT_FALSE(joke.toggle());
    EXPECT_STREQ(joke.caption(), "Tessaro v.0.5");
}

} // namespace
} // namespace tessaro
