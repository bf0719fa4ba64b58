#include <gtest/gtest.h>

#include "core/open_menu.h"
#include "models/drag_expanded_nodes.h"
#include "edit/edit_rules.h"
#include "edit/tree_edit.h"

namespace tessaro {
namespace {

// Menu: Tools -> (Games, Radio -> (AIM)), Camera (which may not hold items).
class EditRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        startNewMenu(doc());
        tools = add("Tools", doc().menuRoot(), InsertPosition::AddSubitemLast);
        games = add("Games", tools, InsertPosition::AddSubitemLast);
        radio = add("Radio", tools, InsertPosition::AddSubitemLast);
        aim = add("AIM", radio, InsertPosition::AddSubitemLast);
        camera = add("Camera", doc().menuRoot(), InsertPosition::AddSubitemLast);
        camera->item.canHoldItems = 0;
    }
    MenuDocument& doc() { return menu.document; }
    MenuNode* add(const char* id, MenuNode* at, InsertPosition p)
    {
        return insertAvailableItem(menu, menu.items.findAvailable(id), at, p).value().node;
    }

    OpenMenu menu;
    MenuNode* tools = nullptr;
    MenuNode* games = nullptr;
    MenuNode* radio = nullptr;
    MenuNode* aim = nullptr;
    MenuNode* camera = nullptr;
};

struct Row {
    const char* node;
    EnabledOperations ops;   // with an entry of the available items picked
};

TEST_F(EditRules, TheEnablingTable)
{
    auto nodeNamed = [&](const std::string& name) -> MenuNode* {
        if (name == "Softkeys") return doc().nodeAt(0);
        if (name == "LSK") return doc().nodeAt(1);
        if (name == "Smart") return doc().nodeAt(7);
        if (name == "Menu Root") return doc().menuRoot();
        if (name == "Tools") return tools;
        if (name == "Games") return games;
        if (name == "Radio") return radio;
        if (name == "AIM") return aim;
        if (name == "Camera") return camera;
        return nullptr;
    };
    //                         addSub addItem replace modify delete up     down
    const Row rows[] = {
        {"Softkeys",  {false, false, false, false, false, false, false}},
        {"LSK",       {false, false, true,  true,  false, false, false}},
        {"Smart",     {false, false, true,  true,  false, false, false}},
        {"Menu Root", {true,  false, false, false, false, false, false}},
        {"Tools",     {true,  true,  true,  true,  true,  false, true}},   // first of two
        {"Camera",    {false, true,  true,  true,  true,  true,  false}},  // cannot hold items
        {"Games",     {true,  true,  true,  true,  true,  false, true}},
        {"Radio",     {true,  true,  true,  true,  true,  true,  false}},
        {"AIM",       {true,  true,  true,  true,  true,  false, false}},  // only child
        {"none",      {false, false, false, false, false, false, false}},
    };
    for (const Row& row : rows) {
        const MenuNode* node = nodeNamed(row.node);
        EXPECT_EQ(enabledOperations(doc(), node, true), row.ops) << row.node;
        EnabledOperations withoutEntry = row.ops;
        withoutEntry.addSubitem = withoutEntry.addItem = withoutEntry.replace = false;
        EXPECT_EQ(enabledOperations(doc(), node, false), withoutEntry) << row.node;
        EXPECT_EQ(canAddSubitem(doc(), node), row.ops.addSubitem) << row.node;
        EXPECT_EQ(canAddItem(doc(), node), row.ops.addItem) << row.node;
        EXPECT_EQ(canReplace(doc(), node), row.ops.replace) << row.node;
        EXPECT_EQ(canModify(doc(), node), row.ops.modify) << row.node;
        EXPECT_EQ(canDelete(doc(), node), row.ops.remove) << row.node;
        EXPECT_EQ(canMoveUp(doc(), node), row.ops.moveUp) << row.node;
        EXPECT_EQ(canMoveDown(doc(), node), row.ops.moveDown) << row.node;
        EXPECT_EQ(canDropEntry(doc(), node), row.ops.addItem) << row.node;
    }
}

TEST_F(EditRules, NodesOfAnotherDocumentAreRefused)
{
    OpenMenu other;
    startNewMenu(other.document);
    MenuNode* foreign =
        insertAvailableItem(other, 0, other.document.menuRoot(), InsertPosition::AddSubitemLast)
            .value()
            .node;
    EXPECT_EQ(enabledOperations(doc(), foreign, true), EnabledOperations{});
    EXPECT_FALSE(canDragNode(doc(), foreign, tools));
    EXPECT_FALSE(canDragNode(doc(), tools, foreign));
    EXPECT_FALSE(insertAvailableItem(menu, 0, foreign, InsertPosition::AddBefore).ok());
    EXPECT_FALSE(replaceWithItem(menu, 0, foreign).ok());
    EXPECT_FALSE(deleteSubtree(doc(), foreign).ok());
    EXPECT_FALSE(moveNodeUp(doc(), foreign).ok());
    EXPECT_FALSE(dropOntoNode(menu, tools, DragSource::treeNode(foreign)).ok());
    EXPECT_EQ(doc().nodeCount(), 14u);
    EXPECT_EQ(other.document.nodeCount(), 10u);
}

TEST_F(EditRules, RefusedOperationsLeaveTheDocumentAlone)
{
    const auto before = doc().preorder();
    std::vector<MenuRecord> items;
    for (MenuNode* n : before)
        items.push_back(n->item);
    const uint8_t counter = menu.customCounter;
    const size_t custom = menu.items.available().size() - 1;

    EXPECT_FALSE(insertAvailableItem(menu, custom, camera, InsertPosition::AddSubitemFirst).ok());
    EXPECT_FALSE(insertAvailableItem(menu, custom, doc().menuRoot(), InsertPosition::AddBefore).ok());
    EXPECT_FALSE(insertAvailableItem(menu, custom, doc().nodeAt(3), InsertPosition::AddFirst).ok());
    EXPECT_FALSE(insertAvailableItem(menu, custom + 1, tools, InsertPosition::AddBefore).ok());
    EXPECT_FALSE(replaceWithItem(menu, custom, doc().nodeAt(0)).ok());
    EXPECT_FALSE(replaceWithItem(menu, custom, doc().menuRoot()).ok());
    EXPECT_FALSE(replaceWithItem(menu, custom + 1, tools).ok());
    for (size_t index = 0; index <= 8; ++index) {
        EXPECT_FALSE(deleteSubtree(doc(), doc().nodeAt(index)).ok()) << index;
        EXPECT_FALSE(moveNodeUp(doc(), doc().nodeAt(index)).ok()) << index;
        EXPECT_FALSE(moveNodeDown(doc(), doc().nodeAt(index)).ok()) << index;
    }
    EXPECT_FALSE(moveNodeUp(doc(), games).ok());
    EXPECT_FALSE(moveNodeDown(doc(), radio).ok());
    EXPECT_FALSE(moveNodeUp(doc(), aim).ok());
    EXPECT_FALSE(deleteSubtree(doc(), nullptr).ok());

    EXPECT_EQ(doc().preorder(), before);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i]->item, items[i]) << i;
    EXPECT_EQ(menu.customCounter, counter);
}

TEST_F(EditRules, RefusalsNameTheNode)
{
    auto r = replaceWithItem(menu, 0, doc().menuRoot());
    EXPECT_EQ(r.error(), "Replace is not allowed on node 8");
    EXPECT_EQ(moveNodeUp(doc(), games).error(), "Move up is not allowed on node 10");
    EXPECT_EQ(deleteSubtree(doc(), nullptr).error(), "Delete item: no such node");
    EXPECT_EQ(replaceWithItem(menu, 500, tools).error(), "No available item at position 500");
}

// --- DragExpandedNodes ----------------------------------------------------------------------

TEST_F(EditRules, CollapseListKeepsTheDroppedNodeAndItsAncestorsOpen)
{
    DragExpandedNodes list(doc());
    list.add(tools);
    list.add(radio);
    list.add(camera);
    list.add(radio);  // hovered twice
    EXPECT_EQ(list.nodes(), (std::vector<MenuNode*>{tools, radio, camera}));

    // AIM lands under Radio under Tools: only Camera closes again.
    EXPECT_EQ(list.toCollapse(aim), (std::vector<MenuNode*>{camera}));
    // Dropped onto the list's own node: that one stays open too.
    EXPECT_EQ(list.toCollapse(radio), (std::vector<MenuNode*>{camera}));
    EXPECT_EQ(list.toCollapse(games), (std::vector<MenuNode*>{radio, camera}));
    EXPECT_EQ(list.takeForDrop(camera), (std::vector<MenuNode*>{tools, radio}));
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(EditRules, CollapseListForgetsRemovedNodesAndClearedDocuments)
{
    DragExpandedNodes list(doc());
    list.add(tools);
    list.add(radio);
    list.add(aim);
    list.add(camera);
    ASSERT_TRUE(deleteSubtree(doc(), radio).ok());
    EXPECT_EQ(list.nodes(), (std::vector<MenuNode*>{tools, camera}));

    // A moved node stays listed.
    ASSERT_TRUE(moveNodeUp(doc(), camera).ok());
    EXPECT_EQ(list.nodes(), (std::vector<MenuNode*>{tools, camera}));

    startNewMenu(doc());
    EXPECT_TRUE(list.isEmpty());
}

} // namespace
} // namespace tessaro
