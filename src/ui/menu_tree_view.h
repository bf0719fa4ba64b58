#pragma once
// `MenuTreeView`: the menu tree. Captions are not editable; nodes can be dragged inside the
// tree and entries of the available items dropped on it. While a drag hovers over an
// accepted node that has children, the node is expanded and remembered in `DragExpandedNodes`;
// after the drop the nodes the drag opened are collapsed again.

#include <optional>

#include <QTreeView>

#include "edit/edit_rules.h"
#include "edit/undo_history.h"
#include "models/drag_expanded_nodes.h"

namespace tessaro {

class MenuTreeModel;

class MenuTreeView : public QTreeView {
    Q_OBJECT
public:
    MenuTreeView(MenuTreeModel& model, QWidget* parent = nullptr);

    MenuTreeModel& menuModel() const { return model_; }
    MenuNode* selectedNode() const;
    void selectNode(const MenuNode* node);
    DragExpandedNodes& collapseList() { return collapseList_; }

    // The acceptance test of a drag hovering over `target`; expands an accepted target that
    // has children and lists it in `DragExpandedNodes`.
    bool dragHover(MenuNode* target, const DragSource& source);
    // After a drop of `dropped`: collapses the listed nodes that are neither the dropped node
    // nor its ancestors, with all their descendants, and empties the list.
    void collapseAfterDrop(const MenuNode* dropped);

    // Where the view stands: the selected node and the expanded nodes, as indices in the
    // document's preorder.
    ViewState viewState() const;
    // Expands the nodes of `view` that are still there and selects its node; the menu root
    // when it names none or its node is gone.
    void showViewState(const ViewState& view);

    // What a drag event carries, when it is something the tree takes at all.
    std::optional<DragSource> sourceOf(const QMimeData* mime) const;

Q_SIGNALS:
    // A drop the acceptance test allowed; the window performs it.
    void dropRequested(tessaro::MenuNode* target, const tessaro::DragSource& source);
    // The selected node changed (also to none).
    void selectedNodeChanged(tessaro::MenuNode* node);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void collapseAll(const QModelIndex& index);

    MenuTreeModel& model_;
    DragExpandedNodes collapseList_;
};

} // namespace tessaro
