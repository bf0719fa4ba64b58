#include "core/menu_document.h"

#include <algorithm>

namespace tessaro {

// --- MenuNode ---------------------------------------------------------------------------

size_t MenuNode::row() const
{
    if (!parent_)
        return 0;
    const auto& siblings = parent_->children_;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this)
            return i;
    return 0;
}

MenuNode* MenuNode::previousSibling() const
{
    if (!parent_)
        return nullptr;
    const size_t r = row();
    return r > 0 ? parent_->children_[r - 1].get() : nullptr;
}

MenuNode* MenuNode::nextSibling() const
{
    if (!parent_)
        return nullptr;
    const size_t r = row();
    return r + 1 < parent_->children_.size() ? parent_->children_[r + 1].get() : nullptr;
}

size_t MenuNode::descendantCount() const
{
    size_t n = 0;
    for (const auto& c : children_)
        n += 1 + c->descendantCount();
    return n;
}

bool MenuNode::contains(const MenuNode* other) const
{
    for (const MenuNode* n = other; n; n = n->parent_)
        if (n == this)
            return true;
    return false;
}

// --- MenuDocument -----------------------------------------------------------------------

namespace {

void collect(MenuNode* node, std::vector<MenuNode*>& out)
{
    out.push_back(node);
    for (const auto& c : node->children())
        collect(c.get(), out);
}

} // namespace

size_t MenuDocument::nodeCount() const
{
    size_t n = 0;
    for (const MenuNode* top : {softkeys_.get(), root_.get()})
        if (top)
            n += 1 + top->descendantCount();
    return n;
}

std::vector<MenuNode*> MenuDocument::preorder() const
{
    std::vector<MenuNode*> out;
    out.reserve(nodeCount());
    for (MenuNode* top : {softkeys_.get(), root_.get()})
        if (top)
            collect(top, out);
    return out;
}

MenuNode* MenuDocument::nodeAt(size_t index) const
{
    // Walk the two branches, skipping whole subtrees that lie before the index.
    for (MenuNode* top : {softkeys_.get(), root_.get()}) {
        if (!top)
            continue;
        MenuNode* node = top;
        while (true) {
            if (index == 0)
                return node;
            --index;
            bool descended = false;
            for (const auto& c : node->children()) {
                const size_t size = 1 + c->descendantCount();
                if (index < size) {
                    node = c.get();
                    descended = true;
                    break;
                }
                index -= size;
            }
            if (!descended)
                break;
        }
    }
    return nullptr;
}

int MenuDocument::indexOf(const MenuNode* node) const
{
    if (!node)
        return -1;
    int index = 0;
    const MenuNode* n = node;
    while (n->parent()) {
        const MenuNode* p = n->parent();
        index += 1;  // the parent itself
        for (const auto& c : p->children()) {
            if (c.get() == n)
                break;
            index += static_cast<int>(1 + c->descendantCount());
        }
        n = p;
    }
    if (n == softkeys_.get())
        return index;
    if (n == root_.get())
        return index + static_cast<int>(softkeys_ ? 1 + softkeys_->descendantCount() : 0);
    return -1;
}

const MenuNode* MenuDocument::topOf(const MenuNode* node)
{
    while (node && node->parent())
        node = node->parent();
    return node;
}

void MenuDocument::clear()
{
    softkeys_.reset();
    root_.reset();
    freeItemData(data_);
    notify([](DocumentObserver& o) { o.documentReset(); });
}

void MenuDocument::takeContentOf(MenuDocument& other)
{
    softkeys_ = std::move(other.softkeys_);
    root_ = std::move(other.root_);
    data_ = std::move(other.data_);
    other.data_ = {};
    notify([](DocumentObserver& o) { o.documentReset(); });
}

void MenuDocument::setTopNodes(std::unique_ptr<MenuNode> softkeys, std::unique_ptr<MenuNode> menuRoot)
{
    softkeys_ = std::move(softkeys);
    root_ = std::move(menuRoot);
    if (softkeys_)
        softkeys_->parent_ = nullptr;
    if (root_)
        root_->parent_ = nullptr;
    notify([](DocumentObserver& o) { o.documentReset(); });
}

MenuNode* MenuDocument::insertNode(MenuNode* parent, size_t row, std::unique_ptr<MenuNode> node)
{
    row = std::min(row, parent->children_.size());
    notify([&](DocumentObserver& o) { o.nodeAboutToBeInserted(parent, row); });
    node->parent_ = parent;
    MenuNode* raw = node.get();
    parent->children_.insert(parent->children_.begin() + static_cast<std::ptrdiff_t>(row), std::move(node));
    notify([&](DocumentObserver& o) { o.nodeInserted(raw); });
    return raw;
}

MenuNode* MenuDocument::appendNode(MenuNode* parent, std::unique_ptr<MenuNode> node)
{
    return insertNode(parent, parent->children_.size(), std::move(node));
}

std::unique_ptr<MenuNode> MenuDocument::removeNode(MenuNode* node)
{
    MenuNode* parent = node->parent_;
    if (!parent)
        return nullptr;
    notify([&](DocumentObserver& o) { o.nodeAboutToBeRemoved(node); });
    const size_t row = node->row();
    std::unique_ptr<MenuNode> owned = std::move(parent->children_[row]);
    parent->children_.erase(parent->children_.begin() + static_cast<std::ptrdiff_t>(row));
    owned->parent_ = nullptr;
    notify([&](DocumentObserver& o) { o.nodeRemoved(parent, row); });
    return owned;
}

bool MenuDocument::moveNode(MenuNode* node, MenuNode* newParent, size_t row)
{
    if (!node->parent_ || node->contains(newParent))
        return false;
    row = std::min(row, newParent->children_.size());
    notify([&](DocumentObserver& o) { o.nodeAboutToBeMoved(node, newParent, row); });
    MenuNode* oldParent = node->parent_;
    const size_t oldRow = node->row();
    std::unique_ptr<MenuNode> owned = std::move(oldParent->children_[oldRow]);
    oldParent->children_.erase(oldParent->children_.begin() + static_cast<std::ptrdiff_t>(oldRow));
    if (oldParent == newParent && oldRow < row)
        --row;
    owned->parent_ = newParent;
    newParent->children_.insert(newParent->children_.begin() + static_cast<std::ptrdiff_t>(row), std::move(owned));
    notify([&](DocumentObserver& o) { o.nodeMoved(node); });
    return true;
}

void MenuDocument::setCaption(MenuNode* node, std::string caption)
{
    node->caption_ = std::move(caption);
    notify([&](DocumentObserver& o) { o.nodeChanged(node); });
}

void MenuDocument::touch(MenuNode* node)
{
    notify([&](DocumentObserver& o) { o.nodeChanged(node); });
}

void MenuDocument::notifyReset()
{
    notify([](DocumentObserver& o) { o.documentReset(); });
}

void MenuDocument::addObserver(DocumentObserver* observer)
{
    observers_.push_back(observer);
}

void MenuDocument::removeObserver(DocumentObserver* observer)
{
    std::erase(observers_, observer);
}

void setFixedTopNodes(MenuDocument& document, uint8_t menuRootChild)
{
    MenuRecord softkeys;
    softkeys.name = "Container";
    softkeys.itemType = kTypeContainer;
    softkeys.parentIndex = 1;
    softkeys.nextIndex = 2;
    softkeys.childIndex = kNoIndex;
    softkeys.recordNo = kSoftkeysRecordNo;
    softkeys.group = kGroupSoftkeys;
    softkeys.canHoldItems = 1;

    MenuRecord root;
    root.name = "MenuRoot";
    root.itemType = kTypeContainer;
    root.parentIndex = kNoIndex;
    root.nextIndex = kNoIndex;
    root.childIndex = menuRootChild;
    root.recordNo = kMenuRootRecordNo;
    root.group = kGroupMenu;
    root.canHoldItems = 1;

    document.setTopNodes(std::make_unique<MenuNode>("Softkeys", std::move(softkeys)),
                         std::make_unique<MenuNode>("Menu Root", std::move(root)));
}

} // namespace tessaro
