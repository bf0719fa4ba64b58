#include <gtest/gtest.h>

#include "core/open_menu.h"
#include "edit/title_options_check.h"
#include "edit/tree_edit.h"

namespace tessaro {
namespace {

DataEntry titles(uint8_t titleKind, std::vector<Title> list)
{
    return DataEntry{.kind = titleKind, .titles = std::move(list)};
}

// Menu Root -> (Tools -> (Games), Radio), the softkeys of a new menu.
class TitleOptionsCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        startNewMenu(menu.document);
        tools = add("Tools", menu.document.menuRoot());
        games = add("Games", tools);
        radio = add("Radio", menu.document.menuRoot());
    }
    MenuNode* add(const char* id, MenuNode* parent)
    {
        return insertAvailableItem(menu, menu.items.findAvailable(id), parent, InsertPosition::AddSubitemLast)
            .value()
            .node;
    }
    void give(MenuNode* node, uint8_t options, std::vector<DataEntry> entries)
    {
        node->item.options = options;
        ItemDataBlock block;
        block.entries = std::move(entries);
        menu.document.data().store(node->item.recordNo, block);
        node->item.hasData = true;
    }

    OpenMenu menu;
    MenuNode* tools = nullptr;
    MenuNode* games = nullptr;
    MenuNode* radio = nullptr;
};

TEST_F(TitleOptionsCheck, ItemsWithTitlesHoldTheEditorsOptions)
{
    const std::string warned0x08 = " on an item with titles; the item properties window sets 0x08";
    struct Case {
        const char* name;
        uint8_t options;
        std::vector<DataEntry> data;
        std::vector<std::string> warnings;
    };
    const std::vector<Case> cases = {
        {"menu title, options 0",
         0x00,
         {titles(kind::MenuTitle, {{1, u"Play"}})},
         {"/menu/0/items/0/options: 0x00" + warned0x08}},
        {"softkey title, another bit",
         0x10,
         {titles(kind::SoftkeyTitle, {{1, u"Play"}})},
         {"/menu/0/items/0/options: 0x10" + warned0x08}},
        {"titled bit among others",
         0x09,
         {titles(kind::MenuTitle, {{1, u"Play"}})},
         {"/menu/0/items/0/options: 0x09" + warned0x08}},
        {"titled", 0x08, {titles(kind::MenuTitle, {{1, u"Play"}})}, {}},
        {"custom", 0x18, {titles(kind::MenuTitle, {{1, u"Play"}}), titles(kind::SoftkeyTitle, {{1, u"P"}})}, {}},
        {"a title record without titles", 0x00, {titles(kind::MenuTitle, {})}, {}},
        {"no titles, a link", 0x00, {DataEntry{.kind = kind::Url, .bytes = {'x', 0}}}, {}},
        {"no titles left, titled kept", 0x08, {DataEntry{.kind = kind::Url, .bytes = {'x', 0}}}, {}},
        {"text to show is no title", 0x00, {titles(kind::ShowText, {{1, u"Hello"}})}, {}},
    };
    for (const Case& c : cases) {
        give(games, c.options, c.data);
        EXPECT_EQ(titleOptionsWarnings(menu.document), c.warnings) << c.name;
    }
}

TEST_F(TitleOptionsCheck, EveryItemInTreeOrderSoftkeysFirst)
{
    give(radio, 0x00, {titles(kind::MenuTitle, {{1, u"FM"}})});
    give(tools, 0x04, {titles(kind::MenuTitle, {{1, u"Kit"}})});
    give(menu.document.softkeys()->child(2), 0x00, {titles(kind::SoftkeyTitle, {{1, u"Up"}})});
    EXPECT_EQ(titleOptionsWarnings(menu.document),
              (std::vector<std::string>{
                  "/softkeys/2/options: 0x00 on an item with titles; the item properties window sets 0x08",
                  "/menu/0/options: 0x04 on an item with titles; the item properties window sets 0x08",
                  "/menu/1/options: 0x00 on an item with titles; the item properties window sets 0x08"}));

    MenuDocument empty;
    EXPECT_TRUE(titleOptionsWarnings(empty).empty());
}

} // namespace
} // namespace tessaro
