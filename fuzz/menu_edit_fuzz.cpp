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
#include <string_view>
#include <vector>

#include "core/menu_document.h"
#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"
#include "core/prompter.h"
#include "edit/tree_check.h"
#include "edit/tree_edit.h"
#include "fuzz_support.h"

namespace {

using namespace tessaro;
using fuzz::check;

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

// A digest of everything an operation may change: the nodes (by address, so a node replaced
// by an equal one counts as a change), their captions and records, the data blocks in their
// slots and the custom counter. A refused operation must leave it as it was. Cheaper than a
// copy of the document before each operation, and as good for finding a change.
class Digest {
public:
    FUZZ_UNTRACED void add(uint64_t value)
    {
        hash_ = (hash_ ^ value) * 0x100000001B3ull;
        hash_ ^= hash_ >> 31;
    }
    FUZZ_UNTRACED void add(std::string_view text)
    {
        add(text.size());
        add(std::hash<std::string_view>{}(text));
    }
    FUZZ_UNTRACED void add(std::u16string_view text)
    {
        add(text.size());
        add(std::hash<std::u16string_view>{}(text));
    }
    FUZZ_UNTRACED void add(const std::vector<uint8_t>& bytes)
    {
        add(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

FUZZ_UNTRACED void addRecord(Digest& d, const MenuRecord& r)
{
    for (uint64_t field : {r.itemType, r.parentIndex, r.nextIndex, r.childIndex, r.recordNo, r.options, r.attributes,
                           r.group, uint8_t(r.hasData), r.canHoldItems})
        d.add(field);
    d.add(uint64_t{r.dataOffset});
    d.add(uint64_t{r.dataLength});
    d.add(std::string_view(r.name));
}

FUZZ_UNTRACED void addEntry(Digest& d, const DataEntry& e)
{
    for (uint64_t field : {uint64_t{e.kind}, uint64_t{e.role}, uint64_t{e.first}, uint64_t{e.number}, uint64_t{e.value},
                           uint64_t{e.titles.size()}, uint64_t{e.records.size()}})
        d.add(field);
    for (const Title& t : e.titles) {
        d.add(uint64_t{t.language});
        d.add(t.text.view());
    }
    d.add(e.bytes);
    d.add(e.path.view());
    for (const UnsupportedRecord& r : e.records) {
        d.add(uint64_t{r.kind});
        d.add(uint64_t{r.length});
        d.add(r.payload);
    }
}

// The node and its subtree in pre-order.
FUZZ_UNTRACED void addSubtree(Digest& d, const MenuNode* n)
{
    d.add(uint64_t{reinterpret_cast<uintptr_t>(n)});
    d.add(std::string_view(n->caption()));
    addRecord(d, n->item);
    d.add(uint64_t{n->childCount()});
    for (const auto& child : n->children())
        addSubtree(d, child.get());
}

FUZZ_UNTRACED uint64_t digestOf(const OpenMenu& menu)
{
    Digest d;
    for (const MenuNode* top : {menu.document.softkeys(), menu.document.menuRoot()})
        if (top)
            addSubtree(d, top);
    menu.document.data().forEachBlock([&](size_t slot, const ItemDataBlock& b) {
        d.add(uint64_t{slot});
        d.add(uint64_t{b.owner});
        d.add(uint64_t{b.entries.size()});
        for (const DataEntry& e : b.entries)
            addEntry(d, e);
    });
    d.add(uint64_t{menu.customCounter});
    return d.value();
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
        const uint64_t before = digestOf(menu);
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
            check(digestOf(menu) == before);
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
