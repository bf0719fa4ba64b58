#include "edit/undo_history.h"

#include <memory>

#include "core/menu_document.h"
#include "core/open_menu.h"

namespace tessaro {

namespace {

using Node = UndoHistory::Snapshot::Node;

Node copyOf(const MenuNode& node)
{
    Node copy{node.caption(), node.item, {}};
    copy.children.reserve(node.childCount());
    for (const auto& child : node.children())
        copy.children.push_back(copyOf(*child));
    return copy;
}

std::unique_ptr<MenuNode> bare(const Node& copy)
{
    return std::make_unique<MenuNode>(copy.caption, copy.item);
}

// Puts the copied children under a node of the document, as the reader builds a tree.
void appendChildren(MenuDocument& document, MenuNode* parent, const Node& copy)
{
    for (const Node& child : copy.children)
        appendChildren(document, document.appendNode(parent, bare(child)), child);
}

} // namespace

bool UndoHistory::Snapshot::sameDocument(const Snapshot& other) const
{
    return softkeys == other.softkeys && menuRoot == other.menuRoot && data == other.data
        && saveMode == other.saveMode;
}

UndoHistory::UndoHistory(OpenMenu& menu) : menu_(menu) {}

void UndoHistory::clear()
{
    undo_.clear();
    redo_.clear();
    savedAt_ = 0;
}

UndoHistory::Snapshot UndoHistory::capture(ViewState view) const
{
    const MenuDocument& document = menu_.document;
    Snapshot s;
    if (document.softkeys())
        s.softkeys = copyOf(*document.softkeys());
    if (document.menuRoot())
        s.menuRoot = copyOf(*document.menuRoot());
    document.data().forEachBlock([&](size_t slot, const ItemDataBlock& block) { s.data.push_back({slot, block}); });
    s.saveMode = menu_.saveMode;
    s.view = std::move(view);
    return s;
}

bool UndoHistory::commit(std::string_view name, Snapshot before)
{
    if (capture().sameDocument(before))
        return false;
    // The states the redo steps led to are gone for good; so is a saved state among them.
    if (savedAt_ > static_cast<long>(undo_.size()))
        savedAt_ = -1;
    redo_.clear();
    undo_.push_back({std::string(name), std::move(before)});
    if (undo_.size() > kMaxSteps) {
        undo_.erase(undo_.begin());
        savedAt_ = savedAt_ > 0 ? savedAt_ - 1 : -1;
    }
    return true;
}

std::string UndoHistory::undoName() const
{
    return undo_.empty() ? std::string() : undo_.back().name;
}

std::string UndoHistory::redoName() const
{
    return redo_.empty() ? std::string() : redo_.back().name;
}

std::optional<ViewState> UndoHistory::undo(ViewState current)
{
    if (undo_.empty())
        return std::nullopt;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back({step.name, capture(std::move(current))});
    restore(step.state);
    return std::move(step.state.view);
}

std::optional<ViewState> UndoHistory::redo(ViewState current)
{
    if (redo_.empty())
        return std::nullopt;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back({step.name, capture(std::move(current))});
    restore(step.state);
    return std::move(step.state.view);
}

void UndoHistory::restore(const Snapshot& state)
{
    MenuDocument& document = menu_.document;
    document.clear();
    for (const Snapshot::Slot& s : state.data) {
        document.data().store(s.slot, s.block);
        // A block read from a file may name another owner than its slot; keep it as it was.
        document.data().at(s.slot)->owner = s.block.owner;
    }
    menu_.saveMode = state.saveMode;
    if (!state.softkeys && !state.menuRoot)
        return;
    document.setTopNodes(state.softkeys ? bare(*state.softkeys) : nullptr,
                         state.menuRoot ? bare(*state.menuRoot) : nullptr);
    if (state.softkeys)
        appendChildren(document, document.softkeys(), *state.softkeys);
    if (state.menuRoot)
        appendChildren(document, document.menuRoot(), *state.menuRoot);
}

} // namespace tessaro
