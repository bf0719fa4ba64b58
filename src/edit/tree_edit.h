#pragma once
// The editing operations on the menu tree: a new document, inserting, replacing, deleting
// and moving items, and the two drops of drag and drop. Every structural operation ends with
// renumberTree, so the records' index fields always match the tree.
//
// Each operation first checks the enabling rules (edit/edit_rules.h); where they say no, it
// returns a failure (kind Format: a request the window never makes) and leaves the document
// unchanged.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/menu_writer.h"
#include "core/result.h"
#include "core/translatable.h"
#include "edit/edit_rules.h"

namespace tessaro {

class MenuDocument;
class MenuNode;
class Prompter;
struct OpenMenu;

// Where insertAvailableItem puts the new node: AddBefore directly before the selected node,
// AddFirst as the first of its siblings, AddSubitemFirst / AddSubitemLast as the first / last
// child of the selected node.
enum class InsertPosition { AddBefore, AddFirst, AddSubitemFirst, AddSubitemLast };

// The refusal (kind Refused, caption "Warning"; shown with the warning icon) of an insert
// that would pass kMaxMenuItems.
inline constexpr std::string_view kTooManyItemsText =
    TRANSLATABLE("Core", "The menu is full: mma_ucp can hold at most 245 menu items");
// The question asked before deleteSubtree (caption "Warning", warning icon, Yes/No).
inline constexpr std::string_view kDeleteQuestion =
    TRANSLATABLE("Core", "The item and all its subitems will be deleted\r\n           Continue?");

// The node an insert, replace or drop produced or moved.
struct EditResult {
    MenuNode* node = nullptr;
    // A new custom item "~N": the window selects it and opens the item properties on it.
    bool custom = false;
};

// Clears the document (every node, every data block) and builds the fixed top: the Softkeys
// container with the seven default softkeys and an empty Menu Root. Returns the Menu Root,
// which the window selects. The custom counter is not touched.
MenuNode* startNewMenu(MenuDocument& document);
// Adds the seven default softkeys under the Softkeys container; does nothing unless the
// document has a Softkeys container without children.
void addSoftkeys(MenuDocument& document);

// Inserts available entry `entry` at `position` relative to `selected`. A custom entry takes
// the next custom number; a "[SC]" entry gets its shortcut data. Refused (kind Refused) when the
// rules do not allow the position or the menu already holds kMaxMenuItems items
// (kTooManyItemsText); kind NotFound when the entry does not exist.
Result<EditResult> insertAvailableItem(OpenMenu& menu, size_t entry, MenuNode* selected,
                                       InsertPosition position);

// Gives `node` a data block holding only the shortcut data (kind 23): the identifier,
// zero-padded to 25 bytes. The node becomes a shortcut item (itemType 9) with dataLength 28.
// Fails for a null node or one of another document.
Status attachShortcutData(MenuDocument& document, MenuNode* node, std::string_view identifier);

// Replaces `node` by available entry `entry`: its data block is freed, name and caption come
// from the entry (softkeys keep their position prefix), and it stays a container when it has
// children. Refused for the Softkeys container and the Menu Root (kind Refused), kind NotFound
// for an unknown entry.
Result<EditResult> replaceWithItem(OpenMenu& menu, size_t entry, MenuNode* node);

// Asks kDeleteQuestion; true when the user answered Yes.
bool confirmDeleteSubtree(Prompter& prompter);
// Deletes a menu item with its whole subtree and frees their data blocks, without asking.
Status deleteSubtree(MenuDocument& document, MenuNode* node);
// Asks first (only when the node may be deleted at all), then deletes on Yes. Returns whether
// the node was deleted; a failure when the rules refuse the node.
Result<bool> deleteSubtreeAfterAsking(MenuDocument& document, MenuNode* node, Prompter& prompter);

// Moves a menu item before its previous sibling.
Status moveNodeUp(MenuDocument& document, MenuNode* node);
// Moves a menu item after its next sibling.
Status moveNodeDown(MenuDocument& document, MenuNode* node);

// A drop on `target`. A tree node is moved to stand directly before the target, under the
// target's parent; an available entry is inserted there as with AddBefore. Refused where the
// acceptance test (canAcceptDrop) says no, so a node is never dropped into its own subtree.
Result<EditResult> dropOntoNode(OpenMenu& menu, MenuNode* target, const DragSource& source);

} // namespace tessaro
