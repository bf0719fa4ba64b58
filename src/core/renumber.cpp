#include "core/renumber.h"

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

namespace {

// One walk in sibling-group order: a group's records are consecutive, and each member's own
// group is laid out (depth first) after its group. The members are visited in pre-order,
// each with its new number and its parent's already known.
class Renumbering {
public:
    Renumbering(ItemDataTable& oldTable, ItemDataTable& newTable) : oldTable_(oldTable), newTable_(newTable) {}

    // Lays out the group of `parent`, whose recordNo is `parentNo`, and the groups below it.
    void layOut(MenuNode* parent, uint8_t parentNo)
    {
        const auto& children = parent->children();
        unsigned number = next_;
        next_ += static_cast<unsigned>(children.size());
        for (size_t row = 0; row < children.size(); ++row) {
            MenuNode* node = children[row].get();
            const auto recordNo = static_cast<uint8_t>(++number);
            place(*node, recordNo, parentNo, row == 0, row + 1 == children.size());
            layOut(node, recordNo);
        }
    }

private:
    void place(MenuNode& node, uint8_t recordNo, uint8_t parentNo, bool first, bool last)
    {
        MenuRecord& item = node.item;
        const uint8_t old = item.recordNo;
        item.recordNo = recordNo;
        item.nextIndex = last ? kNoIndex : recordNo;
        item.parentIndex = static_cast<uint8_t>(parentNo - 1);
        if (!node.hasChildren()) {
            item.childIndex = kNoIndex;
            if (item.itemType == kTypeContainer)
                item.itemType = kTypeItem;
        }
        if (item.hasData) {
            if (ItemDataBlock* b = oldTable_.at(old))
                newTable_.store(recordNo, std::move(*b));
        }
        if (first)
            node.parent()->item.childIndex = static_cast<uint8_t>(recordNo - 1);
    }

    ItemDataTable& oldTable_;
    ItemDataTable& newTable_;
    unsigned next_ = 10;  // last record position given
};

} // namespace

void renumberTree(MenuDocument& document)
{
    MenuNode* root = document.menuRoot();
    if (!root)
        return;

    ItemDataTable& oldTable = document.data();
    ItemDataTable newTable;
    for (size_t slot = 3; slot <= 9; ++slot)
        if (ItemDataBlock* b = oldTable.at(slot))
            newTable.store(slot, std::move(*b));

    Renumbering(oldTable, newTable).layOut(root, 10);
    document.setData(std::move(newTable));
}

} // namespace tessaro
