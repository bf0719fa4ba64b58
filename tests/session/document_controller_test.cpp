// The controller every user change runs through: one undo step per change that changed the
// document, one announcement per change, and the open and modified state.

#include "session/document_controller.h"

#include <gtest/gtest.h>

#include "core/open_menu.h"
#include "edit/tree_edit.h"

namespace tessaro {
namespace {

struct Controlled : ::testing::Test {
    Controlled()
    {
        controller.setListener([this] { ++announced; });
    }
    // A change of the save mode, the smallest change a user can make.
    bool toggleCdma()
    {
        menu.saveMode.setCdma(!menu.saveMode.cdma());
        return true;
    }

    OpenMenu menu;
    DocumentController controller{menu};
    int announced = 0;
};

TEST_F(Controlled, EachChangeIsOneStepAndOneAnnouncement)
{
    startNewMenu(menu.document);
    controller.opened();
    EXPECT_TRUE(controller.isOpen());
    EXPECT_FALSE(controller.isModified());

    // A change that changes something is a step and an announcement; one that changes
    // nothing is neither.
    EXPECT_TRUE(controller.change("Change save mode", {}, [this] { return toggleCdma(); }));
    EXPECT_FALSE(controller.change("Move up", {}, [] { return false; }));
    EXPECT_EQ(announced, 2);
    EXPECT_TRUE(controller.isModified());
    EXPECT_EQ(controller.history().undoName(), "Change save mode");

    ASSERT_TRUE(controller.undo({}).has_value());
    EXPECT_FALSE(menu.saveMode.cdma());
    EXPECT_FALSE(controller.isModified());
    ASSERT_TRUE(controller.redo({}).has_value());
    EXPECT_TRUE(menu.saveMode.cdma());

    controller.saved();
    EXPECT_FALSE(controller.isModified());
    EXPECT_EQ(announced, 5);
}

TEST_F(Controlled, NothingIsRecordedWithoutAnOpenDocument)
{
    EXPECT_TRUE(controller.change("Change save mode", {}, [this] { return toggleCdma(); }));
    EXPECT_FALSE(controller.history().canUndo());
    EXPECT_FALSE(controller.undo({}).has_value());
    EXPECT_FALSE(controller.isModified());

    // An empty document is no open one either; a repaired one counts as modified.
    controller.opened(true);
    EXPECT_FALSE(controller.isOpen());
    startNewMenu(menu.document);
    controller.opened(true);
    EXPECT_TRUE(controller.isModified());
}

} // namespace
} // namespace tessaro
