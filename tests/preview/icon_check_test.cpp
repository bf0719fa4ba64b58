#include <gtest/gtest.h>

#include "core/open_menu.h"
#include "drm/gif_writer.h"
#include "edit/tree_edit.h"
#include "preview/icon_check.h"
#include "preview/phone_icons.h"
#include "support/virtual_phone_rig.h"

namespace tessaro {
namespace {

using testing::VirtualPhoneRig;

std::vector<uint8_t> oneColourGif()
{
    return convertToGif(ArgbImage{2, 2, std::vector<uint32_t>(4, 0xFFFF0000)}).value();
}

// Tools (static icon on the phone, list icon not) holding Games (DRM list icon 7).
class IconCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startNewMenu(menu.document);
        tools = add("Tools", menu.document.menuRoot());
        games = add("Games", tools);
        ItemDataBlock block;
        block.entries = {DataEntry{.kind = kind::FileIcon, .role = kRoleStatic, .path = u"/a/mobile/picture/star.gif"},
                         DataEntry{.kind = kind::FileIcon, .role = kRoleList, .path = u"/a/mobile/picture/gone.gif"}};
        menu.document.data().store(tools->item.recordNo, block);
        block.entries = {DataEntry{.kind = kind::DrmListIcon, .first = 0x12, .number = 7}};
        menu.document.data().store(games->item.recordNo, block);
        rig.putPhoneFile("/a/mobile/picture/star.gif", oneColourGif());
        rig.putPhoneFile("/a/mobile/picture/broken.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 2});
        rig.connect();
    }
    MenuNode* add(const char* id, MenuNode* parent)
    {
        return insertAvailableItem(menu, menu.items.findAvailable(id), parent, InsertPosition::AddSubitemLast)
            .value()
            .node;
    }
    // Runs every step of a fetch.
    void fetchAll(PhoneIcons& icons)
    {
        icons.begin(rig.link.imei, namedIconPaths(menu));
        for (Result<bool> more = true; *more;) {
            more = icons.step(rig.phone());
            ASSERT_TRUE(more.ok()) << more.error();
        }
    }

    VirtualPhoneRig rig;
    OpenMenu menu;
    MenuNode* tools = nullptr;
    MenuNode* games = nullptr;
};

TEST_F(IconCheckTest, NamesWhatThePhoneLacks)
{
    const auto lines = iconsMissingOnPhone(rig.phone(), menu, nullptr);
    ASSERT_TRUE(lines.ok()) << lines.error();
    EXPECT_EQ(*lines, std::vector<std::string>{"Tools: list icon: /a/mobile/picture/gone.gif is not on the phone"});
}

TEST_F(IconCheckTest, FetchesEachIconOnceAndFindsDamagedOnes)
{
    ItemDataBlock block;
    block.entries = {DataEntry{.kind = kind::FileIcon, .role = kRoleStatic, .path = u"/a/mobile/picture/broken.gif"}};
    menu.document.data().store(games->item.recordNo, block);
    PhoneIcons icons(rig.local("IconCache"));
    fetchAll(icons);
    EXPECT_EQ(icons.fetchCount(), 2u);
    IconSources sources;
    sources.setPhone(&icons);
    std::vector<std::string> lines;
    for (const IconProblem& problem : findIconProblems(menu, sources))
        lines.push_back(problem.line);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Tools: list icon: /a/mobile/picture/gone.gif is not on the phone",
                         "Tools/Games: static icon: /a/mobile/picture/broken.gif cannot be read as a GIF picture",
                     }));
    EXPECT_EQ(sources.look(IconRef{IconRef::Source::File, "/a/mobile/picture/star.gif"}).state, IconState::Shown);

    // The same phone again: the listings are made, nothing is fetched.
    PhoneIcons again(rig.local("IconCache"));
    fetchAll(again);
    EXPECT_EQ(again.fetchCount(), 0u);
    // A file that changed size on the phone is fetched again.
    rig.putPhoneFile("/a/mobile/picture/star.gif", std::vector<uint8_t>(oneColourGif().size() + 1, 0));
    fetchAll(again);
    EXPECT_EQ(again.fetchCount(), 1u);
}

TEST_F(IconCheckTest, FindsNodesByTheirPathOfNames)
{
    EXPECT_EQ(nodePathText(*games), "Tools/Games");
    EXPECT_EQ(findNodeByPath(menu.document, "Tools/Games"), games);
    EXPECT_EQ(findNodeByPath(menu.document, ""), menu.document.menuRoot());
    EXPECT_EQ(findNodeByPath(menu.document, "Softkeys/LSK: PhoneBook"), menu.document.softkeys()->child(0));
    EXPECT_EQ(findNodeByPath(menu.document, "Tools/Radio"), nullptr);
}

} // namespace
} // namespace tessaro
