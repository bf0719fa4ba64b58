// Reads the first part of the input as an mma_ucp file (or starts a new document), applies
// the edit operations the rest of the input spells, and writes the result. After every
// operation the record links must match the tree, no block may sit in a slot its node does
// not own, and a refused operation must leave the document as it was. A written document
// must read back to the same tree.
//
// Input: two bytes (little-endian) give the length of the file part; the rest drives the
// operations, one opcode byte followed by its operands.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "core/menu_document.h"
#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/prompter.h"
#include "core/open_menu.h"
#include "edit/tree_check.h"
#include "edit/tree_edit.h"

namespace {

using namespace tessaro;

class QuietPrompter : public Prompter {
public:
    void show(MessageIcon, const std::string&, const std::string&) override {}
    Answer ask(MessageIcon, const std::string&, const std::string&, Buttons) override
    {
        yes = !yes;
        return yes ? Answer::Yes : Answer::No;
    }
    bool yes = false;
};

class Bytes {
public:
    explicit Bytes(std::span<const uint8_t> data) : data_(data) {}
    bool empty() const { return pos_ >= data_.size(); }
    uint8_t next() { return pos_ < data_.size() ? data_[pos_++] : 0; }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

struct Snapshot {
    std::vector<const MenuNode*> nodes;
    std::vector<std::string> captions;
    std::vector<MenuRecord> items;
    std::vector<ItemDataBlock> blocks;
    uint8_t counter = 0;

    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const OpenMenu& menu)
{
    Snapshot s;
    for (const MenuNode* n : menu.document.preorder()) {
        s.nodes.push_back(n);
        s.captions.push_back(n->caption());
        s.items.push_back(n->item);
    }
    for (size_t slot = 0; slot < kTableSlots; ++slot)
        if (const ItemDataBlock* b = menu.document.data().at(slot))
            s.blocks.push_back(*b);
    s.counter = menu.customCounter;
    return s;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The tree shape as parent absolute indices, and the names.
struct Shape {
    std::vector<int> parents;
    std::vector<std::string> names;
    bool operator==(const Shape&) const = default;
};

Shape shapeOf(const MenuDocument& doc)
{
    Shape shape;
    for (const MenuNode* n : doc.preorder()) {
        shape.parents.push_back(doc.indexOf(n->parent()));
        shape.names.push_back(n->item.name);
    }
    return shape;
}

MenuNode* pickNode(OpenMenu& menu, Bytes& in)
{
    const size_t count = menu.document.nodeCount();
    const size_t raw = in.next();
    // Now and then no node at all, to exercise the refusals.
    if (raw == 0xFF || count == 0)
        return nullptr;
    return menu.document.nodeAt(raw % count);
}

size_t pickEntry(OpenMenu& menu, Bytes& in)
{
    // One past the end now and then: an entry that does not exist.
    return in.next() % (menu.items.available().size() + 1);
}

void applyOps(OpenMenu& menu, Bytes& in, QuietPrompter& prompter)
{
    for (int steps = 0; !in.empty() && steps < 64; ++steps) {
        const Snapshot before = snapshot(menu);
        bool ok = true;
        switch (in.next() % 10) {
        case 0: {
            const auto position = static_cast<InsertPosition>(in.next() % 4);
            MenuNode* node = pickNode(menu, in);
            ok = insertAvailableItem(menu, pickEntry(menu, in), node, position).ok();
            break;
        }
        case 1: {
            MenuNode* node = pickNode(menu, in);
            ok = replaceWithItem(menu, pickEntry(menu, in), node).ok();
            break;
        }
        case 2:
            ok = deleteSubtree(menu.document, pickNode(menu, in)).ok();
            break;
        case 3:
            ok = moveNodeUp(menu.document, pickNode(menu, in)).ok();
            break;
        case 4:
            ok = moveNodeDown(menu.document, pickNode(menu, in)).ok();
            break;
        case 5: {
            MenuNode* dragged = pickNode(menu, in);
            MenuNode* target = pickNode(menu, in);
            const bool accepted = canAcceptDrop(menu.document, target, DragSource::treeNode(dragged));
            ok = dropOntoNode(menu, target, DragSource::treeNode(dragged)).ok();
            check(ok == accepted);
            break;
        }
        case 6: {
            MenuNode* target = pickNode(menu, in);
            ok = dropOntoNode(menu, target, DragSource::availableEntry(pickEntry(menu, in))).ok();
            break;
        }
        case 7: {
            auto r = deleteSubtreeAfterAsking(menu.document, pickNode(menu, in), prompter);
            ok = r.ok() && r.value();
            break;
        }
        case 8:
            // Custom numbers near the top of the one-byte counter.
            menu.customCounter = static_cast<uint8_t>(menu.customCounter < 250 ? 250 + in.next() % 6 : in.next());
            continue;
        default:
            startNewMenu(menu.document);
            break;
        }
        if (!ok)
            check(snapshot(menu) == before);
        check(checkRecordLinks(menu.document).ok());
        check(menu.document.nodeCount() <= 9 + kMaxMenuItems);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t fileLength = std::min<size_t>(size - 2, data[0] | (data[1] << 8));
    const std::span<const uint8_t> file(data + 2, fileLength);
    Bytes ops(std::span<const uint8_t>(data + 2 + fileLength, size - 2 - fileLength));

    OpenMenu menu;
    QuietPrompter prompter;
    ReadOptions options;  // unknown identifiers accepted, no item base file
    bool read = false;
    if (!file.empty()) {
        read = readMenuBytes(file, menu, options).ok() && !menu.document.isEmpty();
    }
    if (!read)
        startNewMenu(menu.document);
    check(checkRecordLinks(menu.document).ok());

    applyOps(menu, ops, prompter);

    auto bytes = renderMenuFile(menu);
    if (!bytes.ok())
        return 0;
    OpenMenu back;
    check(readMenuBytes(bytes.value(), back, options).ok());
    const Shape written = shapeOf(menu.document);
    Shape reread = shapeOf(back.document);
    check(written.parents == reread.parents);
    if (menu.saveMode.recordSize() == 36)
        check(written.names == reread.names);
    return 0;
}
