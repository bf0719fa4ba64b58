#pragma once
// Record numbering of the main menu. Records 0..9 are fixed (root, Softkeys, seven softkeys,
// Menu Root); the main menu follows in sibling-group order: the Menu Root's children as one
// group, then for each of them in order the layout of its own subtree.

#include <cstdint>

namespace tessaro {

class MenuDocument;
class MenuNode;

// The node's recordNo (record position + 1) under the sibling-group order, in byte
// arithmetic. The Menu Root gives 10; its first child 11.
uint8_t recordNumberOf(const MenuDocument& document, const MenuNode* node);

// Recomputes recordNo, parentIndex, nextIndex and childIndex of every main-menu node from
// the tree shape, turns childless containers into items, and moves the item data blocks to
// their new slots. Blocks of vanished nodes or of nodes without hasData are dropped.
void renumberTree(MenuDocument& document);

} // namespace tessaro
