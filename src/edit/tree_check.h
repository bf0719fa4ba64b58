#pragma once
// A consistency check of a renumbered document: the records' index fields match the tree and
// every data block sits in the slot of a node that owns it. Used by tests and the fuzz target
// to catch an operation that left the document half-updated.

#include "core/result.h"

namespace tessaro {

class MenuDocument;

// Checks, for every main-menu node: recordNo is its record position in sibling-group order + 1
// (what recordNumberOf gives) and fits a byte, parentIndex, nextIndex and childIndex follow
// from the tree, and no childless node is a container; for every block of the item data
// table: its slot is a softkey's (3..9) or the recordNo of a main-menu node with hasData, and
// its owner byte is the slot. Returns the first violation found, naming the node's absolute
// index or the slot.
Status checkRecordLinks(const MenuDocument& document);

} // namespace tessaro
