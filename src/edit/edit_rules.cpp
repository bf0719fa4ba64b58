#include "edit/edit_rules.h"

#include "core/menu_document.h"

namespace tessaro {

namespace {

// -1 for a null node or one that is not part of the document.
int indexIn(const MenuDocument& document, const MenuNode* node)
{
    return node ? document.indexOf(node) : -1;
}

bool isMenuItem(const MenuDocument& document, const MenuNode* node)
{
    return indexIn(document, node) >= kFirstMenuItemIndex;
}

} // namespace

bool canAddSubitem(const MenuDocument& document, const MenuNode* node)
{
    return indexIn(document, node) >= kMenuRootIndex && node->item.canHoldItems == 1;
}

bool canAddItem(const MenuDocument& document, const MenuNode* node)
{
    return isMenuItem(document, node);
}

bool canReplace(const MenuDocument& document, const MenuNode* node)
{
    const int index = indexIn(document, node);
    return index > 0 && index != kMenuRootIndex;
}

bool canModify(const MenuDocument& document, const MenuNode* node)
{
    return canReplace(document, node);
}

bool canDelete(const MenuDocument& document, const MenuNode* node)
{
    return isMenuItem(document, node);
}

bool canMoveUp(const MenuDocument& document, const MenuNode* node)
{
    return isMenuItem(document, node) && node->previousSibling() != nullptr;
}

bool canMoveDown(const MenuDocument& document, const MenuNode* node)
{
    return isMenuItem(document, node) && node->nextSibling() != nullptr;
}

bool canDragNode(const MenuDocument& document, const MenuNode* dragged, const MenuNode* target)
{
    return isMenuItem(document, dragged) && isMenuItem(document, target) && !dragged->contains(target);
}

bool canDropEntry(const MenuDocument& document, const MenuNode* target)
{
    return isMenuItem(document, target);
}

bool canAcceptDrop(const MenuDocument& document, const MenuNode* target, const DragSource& source)
{
    return source.fromTree ? canDragNode(document, source.node, target) : canDropEntry(document, target);
}

EnabledOperations enabledOperations(const MenuDocument& document, const MenuNode* selected, bool entryPicked)
{
    EnabledOperations ops;
    ops.addSubitem = entryPicked && canAddSubitem(document, selected);
    ops.addItem = entryPicked && canAddItem(document, selected);
    ops.replace = entryPicked && canReplace(document, selected);
    ops.modify = canModify(document, selected);
    ops.remove = canDelete(document, selected);
    ops.moveUp = canMoveUp(document, selected);
    ops.moveDown = canMoveDown(document, selected);
    return ops;
}

} // namespace tessaro
