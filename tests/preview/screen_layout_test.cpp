#include <gtest/gtest.h>

#include "core/open_menu.h"
#include "drm/gif_writer.h"
#include "edit/tree_edit.h"
#include "preview/icon_sources.h"
#include "preview/screen_layout.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::TempDir;

std::vector<uint8_t> oneColourGif(uint32_t argb)
{
    ArgbImage image{4, 4, std::vector<uint32_t>(16, argb)};
    return convertToGif(image).value();
}

DataEntry titles(std::vector<Title> list)
{
    return DataEntry{.kind = kind::MenuTitle, .titles = std::move(list)};
}

DataEntry fileIcon(uint8_t role, const char16_t* path)
{
    return DataEntry{.kind = kind::FileIcon, .role = role, .path = path};
}

// Menu Root holds ten items: Message (titles in English and Russian, a static icon in the
// icon folder), PhoneBook (a list icon the folder lacks), Games (DRM static icon 3, no image
// chosen), a custom item titled "Torch", then six plain items.
class ScreenLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startNewMenu(menu.document);
        for (const char* id : {"Message", "PhoneBook", "Games", "Custom item", "Camera", "Radio", "Tools", "Notes",
                               "Calculator", "Settings"})
            nodes.push_back(insertAvailableItem(menu, menu.items.findAvailable(id), menu.document.menuRoot(),
                                                InsertPosition::AddSubitemLast)
                                .value()
                                .node);
        give(0, {titles({{1, u"Messages"}, {35, u"Сообщения"}}), fileIcon(kRoleStatic, u"/a/pic/msg.gif")});
        give(1, {fileIcon(kRoleList, u"/a/pic/gone.gif")});
        give(2, {DataEntry{.kind = kind::DrmStaticIcon, .first = 0x12, .number = 3}});
        give(3, {titles({{1, u"Torch"}})});
        std::filesystem::create_directories(folder.path() / "a/pic");
        testing::writeBytes(folder.path() / "a/pic/msg.gif", oneColourGif(0xFF00FF00));
        sources.setFolder(folder.path().string());
    }
    void give(size_t at, std::vector<DataEntry> entries)
    {
        ItemDataBlock block;
        block.entries = std::move(entries);
        menu.document.data().store(nodes[at]->item.recordNo, block);
        nodes[at]->item.hasData = true;
    }

    OpenMenu menu;
    std::vector<MenuNode*> nodes;
    TempDir folder;
    IconSources sources;
};

struct Case {
    const char* what;
    MenuStyle style;
    ScreenSize screen;
    int language;
    size_t selected; // row in Menu Root
    int columns, rows, page, cells;
    ScreenRect rect;       // the selected cell
    const char* title;     // the title bar
    const char* cellTitle; // the selected cell's
    IconState state;       // the selected cell's picture
    const char* reason;    // with "DIR" for the icon folder
};

TEST_F(ScreenLayoutTest, PlacesTitlesAndIconsOnEachScreen)
{
    const Case cases[] = {
        {"grid, first title",
         MenuStyle::Grid,
         {176, 220},
         0,
         0,
         3,
         3,
         0,
         9,
         {0, 22, 58, 58},
         "Messages",
         "Messages",
         IconState::Shown,
         ""},
        {"grid, Russian",
         MenuStyle::Grid,
         {240, 320},
         35,
         0,
         3,
         4,
         0,
         10,
         {0, 32, 80, 64},
         "Сообщения",
         "Сообщения",
         IconState::Shown,
         ""},
        {"grid, no German title",
         MenuStyle::Grid,
         {128, 160},
         7,
         0,
         3,
         3,
         0,
         9,
         {0, 16, 42, 42},
         "Message",
         "Message",
         IconState::Shown,
         ""},
        {"grid, DRM icon without image",
         MenuStyle::Grid,
         {176, 220},
         0,
         2,
         3,
         3,
         0,
         9,
         {117, 22, 59, 58},
         "Games",
         "Games",
         IconState::Unknown,
         "DRM icon 3: no firmware image chosen"},
        {"grid, custom item's title",
         MenuStyle::Grid,
         {176, 220},
         1,
         3,
         3,
         3,
         0,
         9,
         {0, 80, 58, 59},
         "Torch",
         "Torch",
         IconState::PhoneOwn,
         "The phone shows its own icon"},
        {"grid, second page",
         MenuStyle::Grid,
         {176, 220},
         0,
         9,
         3,
         3,
         1,
         1,
         {0, 22, 58, 58},
         "Settings",
         "Settings",
         IconState::PhoneOwn,
         "The phone shows its own icon"},
        {"list, missing icon",
         MenuStyle::List,
         {176, 220},
         0,
         1,
         1,
         8,
         0,
         8,
         {0, 44, 176, 22},
         "Menu Root",
         "PhoneBook",
         IconState::Missing,
         "/a/pic/gone.gif is not in the icon folder DIR"},
        {"list, static icon not listed",
         MenuStyle::List,
         {240, 320},
         35,
         0,
         1,
         8,
         0,
         8,
         {0, 32, 240, 32},
         "Menu Root",
         "Сообщения",
         IconState::PhoneOwn,
         "The phone shows its own icon"},
        {"list, small screen",
         MenuStyle::List,
         {128, 160},
         0,
         9,
         1,
         8,
         1,
         2,
         {0, 32, 128, 16},
         "Menu Root",
         "Settings",
         IconState::PhoneOwn,
         "The phone shows its own icon"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenLayout layout =
            layoutScreen(menu, nodes[c.selected], PreviewOptions{c.screen, c.style, c.language}, &sources);
        EXPECT_EQ(layout.container, menu.document.menuRoot());
        EXPECT_EQ(layout.columns, c.columns);
        EXPECT_EQ(layout.rows, c.rows);
        EXPECT_EQ(layout.page, c.page);
        ASSERT_EQ(layout.cells.size(), size_t(c.cells));
        const ScreenCell* selected = nullptr;
        for (const ScreenCell& cell : layout.cells)
            if (cell.selected)
                selected = &cell;
        ASSERT_NE(selected, nullptr);
        EXPECT_EQ(selected->node, nodes[c.selected]);
        EXPECT_EQ(selected->rect, c.rect);
        EXPECT_EQ(layout.title, c.title);
        EXPECT_EQ(selected->title, c.cellTitle);
        EXPECT_EQ(selected->look.state, c.state);
        std::string reason = c.reason;
        if (const size_t at = reason.find("DIR"); at != std::string::npos)
            reason.replace(at, 3, folder.path().string());
        EXPECT_EQ(selected->look.reason, reason);
        EXPECT_EQ(layout.leftSoftkey, "PhoneBook");
        EXPECT_EQ(layout.rightSoftkey, "Message");
    }
}

TEST_F(ScreenLayoutTest, TopNodeShowsItsFirstItemAndSoftkeysTakeTheirOwnTitles)
{
    ItemDataBlock block;
    block.entries = {DataEntry{.kind = kind::SoftkeyTitle, .titles = {{1, u"Menu"}, {35, u"Меню"}}}};
    MenuNode* left = menu.document.softkeys()->child(0);
    menu.document.data().store(left->item.recordNo, block);
    const ScreenLayout layout =
        layoutScreen(menu, menu.document.menuRoot(), {{176, 220}, MenuStyle::Grid, 35}, &sources);
    EXPECT_EQ(layout.selected, nodes[0]);
    EXPECT_EQ(layout.leftSoftkey, "Меню");
}

} // namespace
} // namespace tessaro
