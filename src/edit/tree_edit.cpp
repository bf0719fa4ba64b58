#include "edit/tree_edit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>

#include "core/catalogue.h"
#include "core/item_data_codec.h"
#include "core/menu_document.h"
#include "core/prompter.h"
#include "core/renumber.h"
#include "core/translatable.h"
#include "core/open_menu.h"

namespace tessaro {

namespace {

constexpr uint8_t kInsertedAttributes = 0x41;
constexpr uint8_t kReplacedAttributes = 0x40;

// Entries a container keeps: its titles and icons.
constexpr std::array<uint8_t, 6> kContainerKinds = {
    kind::MenuTitle, kind::SoftkeyTitle, kind::FileIcon,
    kind::DrmListIcon, kind::DrmStaticIcon, kind::DrmAnimatedIcon,
};

std::unique_ptr<MenuNode> makeNode(std::string caption, const MenuRecord& item)
{
    return std::make_unique<MenuNode>(std::move(caption), item);
}

Error refused(std::string_view what, const MenuDocument& document, const MenuNode* node)
{
    const int index = node ? document.indexOf(node) : -1;
    if (index < 0)
        return Error(ErrorKind::NotFound, std::string(what) + ": no such node");
    return Error(ErrorKind::Refused, std::string(what) + " is not allowed on node " + std::to_string(index));
}

Error noSuchEntry(size_t entry)
{
    return Error(ErrorKind::NotFound, "No available item at position " + std::to_string(entry));
}

// The number of a custom name "~N", or -1 when the rest is not a plain decimal number.
int customNumber(const std::string& name)
{
    if (!isCustomName(name) || name.size() < 2)
        return -1;
    int value = -1;
    const char* first = name.data() + 1;
    const char* last = name.data() + name.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    return (ec == std::errc() && end == last) ? value : -1;
}

// The name of the next custom item. The counter is one byte and never lowered; a number an item
// of the document carries already (a softkey's, which does not raise the counter to its number)
// is passed over. Once the counter has reached 255 the lowest number that no item of this
// document carries is taken instead, so two items of one file never share a name (a file holds
// at most 254 nodes, so one is free).
std::string takeCustomName(OpenMenu& menu)
{
    std::array<bool, 256> used{};
    for (const MenuNode* node : menu.document.preorder()) {
        const int n = customNumber(node->item.name);
        if (n >= 0 && n < 256)
            used[static_cast<size_t>(n)] = true;
    }
    while (menu.customCounter < 255) {
        ++menu.customCounter;
        if (!used[menu.customCounter])
            return "~" + std::to_string(menu.customCounter);
    }
    int free = 1;
    while (free < 255 && used[static_cast<size_t>(free)])
        ++free;
    return "~" + std::to_string(free);
}

// Keeps only the titles and icons of a node that has just become a container; a block left
// empty is dropped with the node's hasData and dataLength.
void keepContainerData(MenuDocument& document, MenuNode* node, bool saveAll)
{
    MenuRecord& item = node->item;
    ItemDataBlock* block = item.hasData ? document.data().at(item.recordNo) : nullptr;
    if (!block)
        return;
    std::erase_if(block->entries, [](const DataEntry& e) {
        return std::find(kContainerKinds.begin(), kContainerKinds.end(), e.kind) == kContainerKinds.end();
    });
    if (block->entries.empty()) {
        document.data().drop(item.recordNo);
        item.hasData = false;
        item.dataLength = 0;
    } else {
        item.dataLength = itemDataLength(block, saveAll);
    }
}

// Names `item` after an available entry ("Custom item" gives a fresh custom name) and returns
// the caption the node is shown with.
std::string nameAfterEntry(OpenMenu& menu, const ItemEntry& available, MenuRecord& item)
{
    if (available.displayName == kCustomItem) {
        item.name = takeCustomName(menu);
        return item.name;
    }
    item.name = available.identifier;
    return available.displayName;
}

bool isSubitemPosition(InsertPosition position)
{
    return position == InsertPosition::AddSubitemFirst || position == InsertPosition::AddSubitemLast;
}

} // namespace

MenuNode* startNewMenu(MenuDocument& document)
{
    document.clear();
    setFixedTopNodes(document, kMenuRootRecordNo);
    addSoftkeys(document);
    return document.menuRoot();
}

void addSoftkeys(MenuDocument& document)
{
    MenuNode* container = document.softkeys();
    if (!container || container->hasChildren())
        return;
    for (int i = 0; i < kSoftkeyCount; ++i) {
        MenuRecord key;
        key.name = kDefaultSoftkeys[i].identifier;
        key.itemType = kTypeItem;
        key.parentIndex = kNoIndex;
        key.nextIndex = kNoIndex;
        key.childIndex = kNoIndex;
        key.recordNo = static_cast<uint8_t>(kFirstSoftkeyRecordNo + i);
        key.attributes = kInsertedAttributes;
        key.group = kGroupSoftkeys;
        key.canHoldItems = 0;
        document.appendNode(container, makeNode(softkeyPrefix(i) + kDefaultSoftkeys[i].displayName, key));
    }
}

Result<EditResult> insertAvailableItem(OpenMenu& menu, size_t entry, MenuNode* selected,
                                       InsertPosition position)
{
    MenuDocument& document = menu.document;
    const bool subitem = isSubitemPosition(position);
    if (subitem ? !canAddSubitem(document, selected) : !canAddItem(document, selected))
        return refused(subitem ? "Add subitem" : "Add item", document, selected);
    if (entry >= menu.items.available().size())
        return noSuchEntry(entry);
    if (document.menuRoot()->descendantCount() >= kMaxMenuItems)
        return Error(ErrorKind::Refused, std::string(kTooManyItemsText), TRANSLATABLE("Core", "Warning"));

    const ItemEntry available = menu.items.available()[entry];
    const bool custom = available.displayName == kCustomItem;
    MenuRecord item;
    std::string caption = nameAfterEntry(menu, available, item);
    item.canHoldItems = menu.items.canHoldItems(entry);
    item.nextIndex = kNoIndex;
    item.childIndex = kNoIndex;
    item.itemType = kTypeItem;
    item.options = custom ? kOptionsCustom : 0;
    item.hasData = false;
    item.dataOffset = 0;
    item.dataLength = 0;
    item.group = kGroupMenu;
    item.attributes = kInsertedAttributes;

    MenuNode* parent = subitem ? selected : selected->parent();
    size_t row = 0;
    switch (position) {
    case InsertPosition::AddBefore: row = selected->row(); break;
    case InsertPosition::AddFirst: row = 0; break;
    case InsertPosition::AddSubitemFirst: row = 0; break;
    case InsertPosition::AddSubitemLast: row = parent->childCount(); break;
    }
    MenuNode* node = document.insertNode(parent, row, makeNode(std::move(caption), item));
    node->item.parentIndex = static_cast<uint8_t>(recordNumberOf(document, parent) - 1);

    if (subitem) {
        if (parent->item.itemType != kTypeContainer) {
            parent->item.itemType = kTypeContainer;
            parent->item.childIndex = kNoIndex;
        }
        keepContainerData(document, parent, menu.saveMode.saveAll());
        document.touch(parent);
    }
    renumberTree(document);

    if (isShortcutDisplayName(available.displayName))
        (void)attachShortcutData(document, node, available.identifier);
    return EditResult{node, custom};
}

Status attachShortcutData(MenuDocument& document, MenuNode* node, std::string_view identifier)
{
    if (!node || document.indexOf(node) < 0)
        return Error(ErrorKind::NotFound, "Shortcut data: no such node");
    // 25 bytes with room for the terminating zero: longer identifiers are cut at 24.
    DataEntry entry;
    entry.kind = kind::ShortcutData;
    entry.bytes.assign(kShortcutDataLength, 0);
    const size_t n = std::min(identifier.size(), kShortcutDataLength - 1);
    std::copy_n(identifier.begin(), n, entry.bytes.begin());

    ItemDataBlock block;
    block.entries.push_back(std::move(entry));
    const uint16_t length = itemDataLength(&block, false);
    document.data().store(node->item.recordNo, std::move(block));
    node->item.itemType = kTypeShortcut;
    node->item.hasData = true;
    node->item.dataLength = length;
    document.touch(node);
    return Status::success();
}

Result<EditResult> replaceWithItem(OpenMenu& menu, size_t entry, MenuNode* node)
{
    MenuDocument& document = menu.document;
    if (!canReplace(document, node))
        return refused("Replace", document, node);
    const auto& list = menu.items.available();
    if (entry >= list.size())
        return noSuchEntry(entry);
    // The first available entry with this identifier decides display name and flag.
    const size_t position = menu.items.findAvailable(list[entry].identifier);
    const ItemEntry available = list[position];
    const bool custom = available.displayName == kCustomItem;

    MenuRecord& item = node->item;
    document.data().drop(item.recordNo);
    item.hasData = false;
    item.dataLength = 0;

    const int index = document.indexOf(node);
    const bool softkey = index >= 1 && index <= kSoftkeyCount;
    const std::string text = nameAfterEntry(menu, available, item);
    // A softkey's caption always starts with its position, as the reader shows it.
    document.setCaption(node, softkey ? softkeyPrefix(index - 1) + text : text);

    item.canHoldItems = menu.items.canHoldItems(position);
    item.itemType = node->hasChildren() ? kTypeContainer : kTypeItem;
    item.options = 0;
    item.attributes = kReplacedAttributes;
    renumberTree(document);
    if (custom)
        item.options = kOptionsCustom;
    if (isShortcutDisplayName(available.displayName))
        (void)attachShortcutData(document, node, available.identifier);
    document.touch(node);
    return EditResult{node, custom};
}

bool confirmDeleteSubtree(Prompter& prompter)
{
    return prompter.ask(MessageIcon::Warning, TRANSLATABLE("Core", "Warning"),
                        std::string(kDeleteQuestion), Buttons::YesNo) ==
           Answer::Yes;
}

Status deleteSubtree(MenuDocument& document, MenuNode* node)
{
    if (!canDelete(document, node))
        return refused("Delete item", document, node);
    auto freeData = [&](auto&& self, MenuNode* n) -> void {
        if (document.data().drop(n->item.recordNo)) {
            n->item.hasData = false;
            n->item.dataLength = 0;
        }
        for (const auto& c : n->children())
            self(self, c.get());
    };
    freeData(freeData, node);
    document.removeNode(node);
    renumberTree(document);
    return Status::success();
}

Result<bool> deleteSubtreeAfterAsking(MenuDocument& document, MenuNode* node, Prompter& prompter)
{
    if (!canDelete(document, node))
        return refused("Delete item", document, node);
    if (!confirmDeleteSubtree(prompter))
        return false;
    const Status status = deleteSubtree(document, node);
    if (!status)
        return status.failure();
    return true;
}

Status moveNodeUp(MenuDocument& document, MenuNode* node)
{
    if (!canMoveUp(document, node))
        return refused("Move up", document, node);
    document.moveNode(node, node->parent(), node->row() - 1);
    renumberTree(document);
    return Status::success();
}

Status moveNodeDown(MenuDocument& document, MenuNode* node)
{
    if (!canMoveDown(document, node))
        return refused("Move down", document, node);
    // Before the sibling after the next one; past the end when there is none (the row is
    // clamped to the end of the group).
    document.moveNode(node, node->parent(), node->row() + 2);
    renumberTree(document);
    return Status::success();
}

Result<EditResult> dropOntoNode(OpenMenu& menu, MenuNode* target, const DragSource& source)
{
    MenuDocument& document = menu.document;
    if (!canAcceptDrop(document, target, source))
        return refused("Drop", document, target);
    if (!source.fromTree)
        return insertAvailableItem(menu, source.entry, target, InsertPosition::AddBefore);
    MenuNode* dragged = source.node;
    if (!document.moveNode(dragged, target->parent(), target->row()))
        return refused("Drop", document, target);
    renumberTree(document);
    return EditResult{dragged, false};
}

} // namespace tessaro
