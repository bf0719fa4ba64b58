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
#include "core/workspace.h"
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

Snapshot snapshot(const Workspace& ws)
{
    Snapshot s;
    for (const MenuNode* n : ws.document.preorder()) {
        s.nodes.push_back(n);
        s.captions.push_back(n->caption());
        s.items.push_back(n->item);
    }
    for (size_t slot = 0; slot < kTableSlots; ++slot)
        if (const ItemDataBlock* b = ws.document.data().at(slot))
            s.blocks.push_back(*b);
    s.counter = ws.customCounter;
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

MenuNode* pickNode(Workspace& ws, Bytes& in)
{
    const size_t count = ws.document.nodeCount();
    const size_t raw = in.next();
    // Now and then no node at all, to exercise the refusals.
    if (raw == 0xFF || count == 0)
        return nullptr;
    return ws.document.nodeAt(raw % count);
}

size_t pickEntry(Workspace& ws, Bytes& in)
{
    // One past the end now and then: an entry that does not exist.
    return in.next() % (ws.items.available().size() + 1);
}

void applyOps(Workspace& ws, Bytes& in, QuietPrompter& prompter)
{
    for (int steps = 0; !in.empty() && steps < 64; ++steps) {
        const Snapshot before = snapshot(ws);
        bool ok = true;
        switch (in.next() % 10) {
        case 0: {
            const auto position = static_cast<InsertPosition>(in.next() % 4);
            MenuNode* node = pickNode(ws, in);
            ok = insertAvailableItem(ws, pickEntry(ws, in), node, position).ok();
            break;
        }
        case 1: {
            MenuNode* node = pickNode(ws, in);
            ok = replaceWithItem(ws, pickEntry(ws, in), node).ok();
            break;
        }
        case 2:
            ok = deleteSubtree(ws.document, pickNode(ws, in)).ok();
            break;
        case 3:
            ok = moveNodeUp(ws.document, pickNode(ws, in)).ok();
            break;
        case 4:
            ok = moveNodeDown(ws.document, pickNode(ws, in)).ok();
            break;
        case 5: {
            MenuNode* dragged = pickNode(ws, in);
            MenuNode* target = pickNode(ws, in);
            const bool accepted = canAcceptDrop(ws.document, target, DragSource::treeNode(dragged));
            ok = dropOntoNode(ws, target, DragSource::treeNode(dragged)).ok();
            check(ok == accepted);
            break;
        }
        case 6: {
            MenuNode* target = pickNode(ws, in);
            ok = dropOntoNode(ws, target, DragSource::availableEntry(pickEntry(ws, in))).ok();
            break;
        }
        case 7: {
            auto r = deleteSubtreeAfterAsking(ws.document, pickNode(ws, in), prompter);
            ok = r.ok() && r.value();
            break;
        }
        case 8:
            // Custom numbers near the top of the one-byte counter.
            ws.customCounter = static_cast<uint8_t>(ws.customCounter < 250 ? 250 + in.next() % 6 : in.next());
            continue;
        default:
            startNewMenu(ws.document);
            break;
        }
        if (!ok)
            check(snapshot(ws) == before);
        check(checkRecordLinks(ws.document).ok());
        check(ws.document.nodeCount() <= 9 + kMaxMenuItems);
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

    Workspace ws;
    QuietPrompter prompter;
    ReadOptions options;  // unknown identifiers accepted, no item base file
    bool read = false;
    if (!file.empty()) {
        read = readMenuBytes(file, ws, options).ok() && !ws.document.isEmpty();
    }
    if (!read)
        startNewMenu(ws.document);
    check(checkRecordLinks(ws.document).ok());

    applyOps(ws, ops, prompter);

    auto bytes = renderMenuFile(ws);
    if (!bytes.ok())
        return 0;
    Workspace back;
    check(readMenuBytes(bytes.value(), back, options).ok());
    const Shape written = shapeOf(ws.document);
    Shape reread = shapeOf(back.document);
    check(written.parents == reread.parents);
    if (ws.saveMode.recordSize() == 36)
        check(written.names == reread.names);
    return 0;
}
