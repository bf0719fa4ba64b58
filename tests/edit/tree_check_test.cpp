#include <gtest/gtest.h>

#include "core/open_menu.h"
#include "edit/tree_check.h"
#include "edit/tree_edit.h"

namespace tessaro {
namespace {

// Menu Root -> (Tools -> (Games), Radio), renumbered: Tools 11, Radio 12, Games 13.
class TreeCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        startNewMenu(menu.document);
        tools = add("Tools", menu.document.menuRoot());
        games = add("Games", tools);
        radio = add("Radio", menu.document.menuRoot());
        ItemDataBlock block;
        block.entries.push_back(DataEntry{.kind = kind::Url, .bytes = {'x', 0}});
        menu.document.data().store(games->item.recordNo, block);
        games->item.hasData = true;
        ASSERT_TRUE(checkRecordLinks(menu.document).ok()) << checkRecordLinks(menu.document).error();
    }
    MenuNode* add(const char* id, MenuNode* parent)
    {
        return insertAvailableItem(menu, menu.items.findAvailable(id), parent, InsertPosition::AddSubitemLast)
            .value()
            .node;
    }
    std::string problem() { return checkRecordLinks(menu.document).error(); }

    OpenMenu menu;
    MenuNode* tools = nullptr;
    MenuNode* games = nullptr;
    MenuNode* radio = nullptr;
};

TEST_F(TreeCheck, NamesTheFirstBrokenLink)
{
    radio->item.recordNo = 13;
    EXPECT_EQ(problem(), "node 11: RecordNo 13 instead of 12");
    radio->item.recordNo = 12;

    games->item.parentIndex = 9;
    EXPECT_EQ(problem(), "node 10: ParentIndex 9");
    games->item.parentIndex = 10;

    tools->item.nextIndex = 0xFF;
    EXPECT_EQ(problem(), "node 9: NextIndex 255");
    tools->item.nextIndex = 11;

    tools->item.childIndex = 13;
    EXPECT_EQ(problem(), "node 9: ChildIndex 13");
    tools->item.childIndex = 12;

    radio->item.itemType = kTypeContainer;
    EXPECT_EQ(problem(), "node 11: container without children");
    radio->item.itemType = kTypeItem;

    menu.document.menuRoot()->item.childIndex = 11;
    EXPECT_EQ(problem(), "Menu Root: ChildIndex 11");
    menu.document.menuRoot()->item.childIndex = 10;
    EXPECT_TRUE(checkRecordLinks(menu.document).ok());
}

TEST_F(TreeCheck, BlocksMustSitWithTheirOwners)
{
    games->item.hasData = false;
    EXPECT_EQ(problem(), "slot 13: block without an owner");
    games->item.hasData = true;

    menu.document.data().at(13)->owner = 12;
    EXPECT_EQ(problem(), "slot 13: owner byte 12");
    menu.document.data().at(13)->owner = 13;

    ItemDataBlock stray;
    menu.document.data().store(200, stray);
    EXPECT_EQ(problem(), "slot 200: block without an owner");
    menu.document.data().drop(200);

    menu.document.data().store(5, stray);  // a softkey's slot
    EXPECT_TRUE(checkRecordLinks(menu.document).ok());
}

} // namespace
} // namespace tessaro
