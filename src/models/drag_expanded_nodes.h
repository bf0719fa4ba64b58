#pragma once
// `DragExpandedNodes`: the nodes that were expanded while a drag hovered over them. After a drop
// every one of them that is neither the dropped node nor one of its ancestors is collapsed
// again, so the tree shows the dropped node and little else that the drag opened.
//
// The list follows its document: nodes removed from the tree leave the list with their
// subtree, and a cleared or replaced document empties it, so a drag that ended elsewhere
// never leaves a dangling node for the next drop.

#include <vector>

#include "core/menu_document.h"

namespace tessaro {

class DragExpandedNodes : public DocumentObserver {
public:
    explicit DragExpandedNodes(MenuDocument& document);
    ~DragExpandedNodes() override;
    DragExpandedNodes(const DragExpandedNodes&) = delete;
    DragExpandedNodes& operator=(const DragExpandedNodes&) = delete;

    // Remembers a node the hover expanded; a node already listed is not listed twice.
    void add(MenuNode* node);
    const std::vector<MenuNode*>& nodes() const { return nodes_; }
    bool isEmpty() const { return nodes_.empty(); }
    void clear() { nodes_.clear(); }

    // The listed nodes to collapse after a drop of `dropped`: those that are neither the
    // dropped node nor one of its ancestors, in the order they were listed.
    std::vector<MenuNode*> toCollapse(const MenuNode* dropped) const;
    // toCollapse(), then the list is emptied.
    std::vector<MenuNode*> takeForDrop(const MenuNode* dropped);

    void documentReset() override;
    void nodeAboutToBeRemoved(MenuNode* node) override;

private:
    MenuDocument& document_;
    std::vector<MenuNode*> nodes_;
};

} // namespace tessaro
