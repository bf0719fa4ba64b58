#include "edit/tree_check.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/menu_document.h"

namespace tessaro {

namespace {

Error atNode(int index, const std::string& what)
{
    return Error(ErrorKind::Format, "node " + std::to_string(index) + ": " + what);
}

} // namespace

Status checkRecordLinks(const MenuDocument& document)
{
    const MenuNode* root = document.menuRoot();
    if (!root)
        return Status::success();

    // Slot -> whether a node may own a block there.
    std::array<bool, kTableSlots> owned{};
    std::array<bool, kTableSlots> taken{};
    for (size_t slot = 3; slot <= 9; ++slot)
        owned[slot] = true;

    // Expected record numbers in sibling-group order: a node's children form one group, laid
    // out right after the groups of the nodes before it, depth first.
    // Kept as pairs sorted by node: one allocation, where a hash map makes one per node.
    std::vector<std::pair<const MenuNode*, unsigned>> expected;
    unsigned recordNo = 10;  // the Menu Root's
    std::vector<const MenuNode*> pending = {root};
    while (!pending.empty()) {
        const MenuNode* parent = pending.back();
        pending.pop_back();
        for (const auto& c : parent->children())
            expected.emplace_back(c.get(), ++recordNo);
        for (size_t i = parent->childCount(); i-- > 0;)
            pending.push_back(parent->child(i));
    }
    if (recordNo > 255)
        return Error(ErrorKind::Format, "the main menu needs " + std::to_string(recordNo) + " records");
    std::sort(expected.begin(), expected.end());
    const auto expectedOf = [&](const MenuNode* node) {
        return std::lower_bound(expected.begin(), expected.end(), std::pair<const MenuNode*, unsigned>(node, 0))
            ->second;
    };

    const auto nodes = document.preorder();
    for (size_t i = 0; i < nodes.size(); ++i) {
        const MenuNode* node = nodes[i];
        const int index = static_cast<int>(i);
        if (node == root || MenuDocument::topOf(node) != root)
            continue;
        const MenuRecord& item = node->item;
        if (const unsigned wanted = expectedOf(node); item.recordNo != wanted)
            return atNode(index, "RecordNo " + std::to_string(item.recordNo) + " instead of " + std::to_string(wanted));
        if (taken[item.recordNo])
            return atNode(index, "RecordNo " + std::to_string(item.recordNo) + " used twice");
        taken[item.recordNo] = true;
        const uint8_t parentRecord = node->parent() == root ? 10 : node->parent()->item.recordNo;
        if (item.parentIndex != static_cast<uint8_t>(parentRecord - 1))
            return atNode(index, "ParentIndex " + std::to_string(item.parentIndex));
        const uint8_t next = node->nextSibling() ? item.recordNo : kNoIndex;
        if (item.nextIndex != next)
            return atNode(index, "NextIndex " + std::to_string(item.nextIndex));
        if (node->hasChildren()) {
            if (item.childIndex != static_cast<uint8_t>(node->child(0)->item.recordNo - 1))
                return atNode(index, "ChildIndex " + std::to_string(item.childIndex));
        } else {
            if (item.childIndex != kNoIndex)
                return atNode(index, "ChildIndex " + std::to_string(item.childIndex) + " without children");
            if (item.itemType == kTypeContainer)
                return atNode(index, "container without children");
        }
        if (item.hasData)
            owned[item.recordNo] = true;
    }
    if (root->hasChildren() && root->item.childIndex != static_cast<uint8_t>(root->child(0)->item.recordNo - 1))
        return Error(ErrorKind::Format, "Menu Root: ChildIndex " + std::to_string(root->item.childIndex));

    Status blocks = Status::success();
    document.data().forEachBlock([&](size_t slot, const ItemDataBlock& block) {
        if (!blocks)
            return;
        if (!owned[slot])
            blocks = Error(ErrorKind::Format, "slot " + std::to_string(slot) + ": block without an owner");
        else if (block.owner != slot)
            blocks = Error(ErrorKind::Format,
                           "slot " + std::to_string(slot) + ": owner byte " + std::to_string(block.owner));
    });
    return blocks;
}

} // namespace tessaro
