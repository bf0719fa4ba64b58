#pragma once
// The open menu document: a tree of two top nodes (the Softkeys container with its seven
// softkeys, and the Menu Root with the main menu) plus the item data table.
//
// Nodes are addressed by absolute index, their position in a pre-order walk over both top
// nodes: 0 Softkeys, 1..7 the softkeys, 8 Menu Root, 9.. the main menu.
// Every structural change goes through the primitives below, which tell the observers.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/item_data.h"
#include "core/mma_item.h"

namespace tessaro {

class MenuNode {
public:
    MenuNode(std::string caption, MenuRecord record) : item(std::move(record)), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    MenuNode* parent() const { return parent_; }
    const std::vector<std::unique_ptr<MenuNode>>& children() const { return children_; }
    size_t childCount() const { return children_.size(); }
    MenuNode* child(size_t row) const { return row < children_.size() ? children_[row].get() : nullptr; }
    bool hasChildren() const { return !children_.empty(); }
    // Position among the parent's children (0 for a top node).
    size_t row() const;
    MenuNode* previousSibling() const;
    MenuNode* nextSibling() const;
    // Number of all nodes below this one.
    size_t descendantCount() const;
    // True when `other` is this node or lies below it.
    bool contains(const MenuNode* other) const;

    MenuRecord item;

private:
    friend class MenuDocument;
    std::string caption_;
    MenuNode* parent_ = nullptr;
    std::vector<std::unique_ptr<MenuNode>> children_;
};

// Notified of every change of a document, so a view can follow it.
class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    // The whole tree was replaced or cleared.
    virtual void documentReset() {}
    virtual void nodeAboutToBeInserted(MenuNode* /*parent*/, size_t /*row*/) {}
    virtual void nodeInserted(MenuNode* /*node*/) {}
    virtual void nodeAboutToBeRemoved(MenuNode* /*node*/) {}
    virtual void nodeRemoved(MenuNode* /*parent*/, size_t /*row*/) {}
    // Moves are announced like a removal followed by an insertion at the new place;
    // `row` counts in the new parent's children before the node is put there.
    virtual void nodeAboutToBeMoved(MenuNode* /*node*/, MenuNode* /*newParent*/, size_t /*row*/) {}
    virtual void nodeMoved(MenuNode* /*node*/) {}
    // Caption or item fields of a node changed.
    virtual void nodeChanged(MenuNode* /*node*/) {}
};

class MenuDocument {
public:
    MenuDocument() = default;
    MenuDocument(const MenuDocument&) = delete;
    MenuDocument& operator=(const MenuDocument&) = delete;

    // --- the tree -------------------------------------------------------------------
    bool isEmpty() const { return softkeys_ == nullptr; }
    MenuNode* softkeys() const { return softkeys_.get(); }
    MenuNode* menuRoot() const { return root_.get(); }
    // Number of nodes in the whole tree (0 for an empty document).
    size_t nodeCount() const;
    // Node at an absolute index, or nullptr.
    MenuNode* nodeAt(size_t index) const;
    // Absolute index of a node of this document; -1 for nullptr or a foreign node.
    int indexOf(const MenuNode* node) const;
    // All nodes in pre-order (absolute index order).
    std::vector<MenuNode*> preorder() const;
    // The top node of a node's branch (softkeys or menu root).
    static const MenuNode* topOf(const MenuNode* node);
    // Makes room for `count` children of `parent`, so that appending them allocates once.
    void reserveChildren(MenuNode* parent, size_t count) { parent->children_.reserve(count); }

    // --- primitives (each tells the observers) --------------------------------------------
    // Removes every node and every data block.
    void clear();
    // Installs the two top nodes of a document being built (after clear()).
    void setTopNodes(std::unique_ptr<MenuNode> softkeys, std::unique_ptr<MenuNode> menuRoot);
    // Inserts a node as child `row` of `parent` (row clamped to the child count).
    MenuNode* insertNode(MenuNode* parent, size_t row, std::unique_ptr<MenuNode> node);
    MenuNode* appendNode(MenuNode* parent, std::unique_ptr<MenuNode> node);
    // Removes a node with its subtree and returns it.
    std::unique_ptr<MenuNode> removeNode(MenuNode* node);
    // Moves a node to child `row` of `newParent`; row counts before the node is taken out.
    // Refused (returns false) when newParent is the node itself or lies below it.
    bool moveNode(MenuNode* node, MenuNode* newParent, size_t row);
    void setCaption(MenuNode* node, std::string caption);
    // Tells the observers that a node's item fields were changed in place.
    void touch(MenuNode* node);
    // Tells the observers that the whole tree changed (after a renumbering, say).
    void notifyReset();
    // Takes the tree and the item data of `other`, which is left empty, in place of its own;
    // the observers stay and hear of it as a reset.
    void takeContentOf(MenuDocument& other);

    // --- item data -------------------------------------------------------------------
    ItemDataTable& data() { return data_; }
    const ItemDataTable& data() const { return data_; }
    void setData(ItemDataTable table) { data_ = std::move(table); }

    // --- observers -------------------------------------------------------------------
    void addObserver(DocumentObserver* observer);
    void removeObserver(DocumentObserver* observer);

private:
    template <typename F>
    void notify(F&& f)
    {
        for (auto* o : observers_)
            f(*o);
    }

    std::unique_ptr<MenuNode> softkeys_;
    std::unique_ptr<MenuNode> root_;
    ItemDataTable data_;
    std::vector<DocumentObserver*> observers_;
};

// Clears nothing; sets the two fixed top nodes, both empty: "Softkeys" (the container of the
// softkeys) and "Menu Root". `menuRootChild` is the Menu Root's first-child field until the
// menu gets items (renumbering sets it then).
void setFixedTopNodes(MenuDocument& document, uint8_t menuRootChild);

} // namespace tessaro
