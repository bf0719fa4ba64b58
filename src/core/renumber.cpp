#include "core/renumber.h"

#include <deque>
#include <unordered_map>

#include "core/menu_document.h"

namespace tessaro {

uint8_t recordNumberOf(const MenuDocument& document, const MenuNode* node)
{
    if (node == document.menuRoot())
        return 10;
    unsigned r = static_cast<unsigned>(node->row());
    for (const MenuNode* a = node->parent(); a; a = a->parent()) {
        if (!a->parent()) {
            // A top node: the Menu Root's previous sibling is the Softkeys container with
            // its seven softkeys.
            if (a == document.menuRoot() && document.softkeys())
                r += 1 + static_cast<unsigned>(document.softkeys()->descendantCount());
            r += 1;
            break;
        }
        for (MenuNode* s = a->previousSibling(); s; s = s->previousSibling())
            r += 1 + static_cast<unsigned>(s->descendantCount());
        for (MenuNode* s = a->nextSibling(); s; s = s->nextSibling())
            r += 1;
        r += 1;
    }
    return static_cast<uint8_t>(r + 2);
}

void renumberTree(MenuDocument& document)
{
    MenuNode* root = document.menuRoot();
    if (!root)
        return;

    // Record positions in sibling-group order, computed in one walk: a group's records are
    // consecutive, and each member's own group is laid out (depth first) after its group.
    std::unordered_map<const MenuNode*, uint8_t> recordNo;
    recordNo[root] = 10;
    unsigned next = 10;  // next free record position
    auto layout = [&](auto&& self, const MenuNode* parent) -> void {
        for (const auto& c : parent->children())
            recordNo[c.get()] = static_cast<uint8_t>(++next);
        for (const auto& c : parent->children())
            self(self, c.get());
    };
    layout(layout, root);

    ItemDataTable& oldTable = document.data();
    ItemDataTable newTable;
    for (size_t slot = 3; slot <= 9; ++slot)
        if (ItemDataBlock* b = oldTable.at(slot))
            newTable.store(slot, std::move(*b));

    const auto nodes = document.preorder();
    for (MenuNode* node : nodes) {
        if (node == root || MenuDocument::topOf(node) != root)
            continue;
        MenuRecord& item = node->item;
        const uint8_t old = item.recordNo;
        item.recordNo = recordNo[node];
        item.nextIndex = item.recordNo;
        item.parentIndex = static_cast<uint8_t>(recordNo[node->parent()] - 1);
        if (!node->hasChildren()) {
            item.childIndex = kNoIndex;
            if (item.itemType == kTypeContainer)
                item.itemType = kTypeItem;
        }
        if (item.hasData) {
            if (ItemDataBlock* b = oldTable.at(old))
                newTable.store(item.recordNo, std::move(*b));
        }
        if (!node->previousSibling())
            node->parent()->item.childIndex = static_cast<uint8_t>(item.recordNo - 1);
        if (!node->nextSibling())
            item.nextIndex = kNoIndex;
    }
    document.setData(std::move(newTable));
}

} // namespace tessaro
