#pragma once
// Which tree editing operations apply to which node. The main window enables its menu
// entries from these queries, and every editing operation checks them again before it acts.
//
// Nodes are judged by their absolute index: 0 the Softkeys container, 1..7 the softkeys,
// 8 the Menu Root, 9 and up the main menu. A null node or a node of another document is
// refused by every query.

#include <cstddef>

namespace tessaro {

class MenuDocument;
class MenuNode;

// Absolute index of the first main-menu item.
inline constexpr int kFirstMenuItemIndex = 9;
// Absolute index of the Menu Root.
inline constexpr int kMenuRootIndex = 8;

// "Add subitem" (Add First / Add Last): the Menu Root or a menu item whose canHoldItems is 1.
bool canAddSubitem(const MenuDocument& document, const MenuNode* node);
// "Add item" (Add First / Add Before): a menu item.
bool canAddItem(const MenuDocument& document, const MenuNode* node);
// "Replace": any node but the Softkeys container and the Menu Root.
bool canReplace(const MenuDocument& document, const MenuNode* node);
// "Modify item": any node but the Softkeys container and the Menu Root.
bool canModify(const MenuDocument& document, const MenuNode* node);
// "Delete item": a menu item.
bool canDelete(const MenuDocument& document, const MenuNode* node);
// "Move up": a menu item with a previous sibling.
bool canMoveUp(const MenuDocument& document, const MenuNode* node);
// "Move down": a menu item with a next sibling.
bool canMoveDown(const MenuDocument& document, const MenuNode* node);
// A tree node dragged onto a target: both are menu items and the target is neither the
// dragged node nor below it (a node cannot be moved into its own subtree).
bool canDragNode(const MenuDocument& document, const MenuNode* dragged, const MenuNode* target);
// An available entry dragged onto a target: the target is a menu item.
bool canDropEntry(const MenuDocument& document, const MenuNode* target);

// What a drag carries: a node of the tree, or the position of an entry of the available
// items (the list box's drag object).
struct DragSource {
    MenuNode* node = nullptr;
    size_t entry = 0;
    bool fromTree = false;

    static DragSource treeNode(MenuNode* dragged) { return {dragged, 0, true}; }
    static DragSource availableEntry(size_t position) { return {nullptr, position, false}; }
};

// The acceptance test while a drag hovers over `target`: canDragNode for a tree node,
// canDropEntry for an available entry.
bool canAcceptDrop(const MenuDocument& document, const MenuNode* target, const DragSource& source);

// The enabling of the two context menus for a selected node, all at once. The add and
// replace entries also need a picked entry of the available items.
struct EnabledOperations {
    bool addSubitem = false;   // "Add subitem": "Add First", "Add Last"
    bool addItem = false;      // "Add item": "Add First", "Add Before"
    bool replace = false;
    bool modify = false;
    bool remove = false;       // "Delete item"
    bool moveUp = false;
    bool moveDown = false;

    bool operator==(const EnabledOperations&) const = default;
};
EnabledOperations enabledOperations(const MenuDocument& document, const MenuNode* selected,
                                    bool entryPicked);

} // namespace tessaro
