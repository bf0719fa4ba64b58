#include "ui/menu_tree_view.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>

#include "ui/drag_objects.h"
#include "ui/menu_tree_model.h"

namespace tessaro {

MenuTreeView::MenuTreeView(MenuTreeModel& model, QWidget* parent)
    : QTreeView(parent), model_(model), collapseList_(model.document())
{
    setObjectName(QStringLiteral("menuTree"));
    setModel(&model_);
    header()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // Hover expansion is ours: it is tied to the acceptance test and remembered for the drop.
    setAutoExpandDelay(-1);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

MenuNode* MenuTreeView::selectedNode() const
{
    return model_.nodeOf(currentIndex());
}

void MenuTreeView::selectNode(const MenuNode* node)
{
    const QModelIndex index = model_.indexOfNode(node);
    setCurrentIndex(index);
    if (index.isValid())
        scrollTo(index);
}

ViewState MenuTreeView::viewState() const
{
    const MenuDocument& document = model_.document();
    ViewState view;
    view.selected = document.indexOf(selectedNode());
    const std::vector<MenuNode*> nodes = document.preorder();
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i]->hasChildren() && isExpanded(model_.indexOfNode(nodes[i])))
            view.expanded.push_back(static_cast<int>(i));
    return view;
}

void MenuTreeView::showViewState(const ViewState& view)
{
    const MenuDocument& document = model_.document();
    for (int index : view.expanded)
        if (MenuNode* node = document.nodeAt(static_cast<size_t>(index)))
            expand(model_.indexOfNode(node));
    MenuNode* selected = view.selected >= 0 ? document.nodeAt(static_cast<size_t>(view.selected)) : nullptr;
    selectNode(selected ? selected : document.menuRoot());
}

std::optional<DragSource> MenuTreeView::sourceOf(const QMimeData* mime) const
{
    if (const auto* tree = qobject_cast<const TreeNodeDrag*>(mime)) {
        // Only drags that started in this tree.
        if (tree->origin() == this && tree->node())
            return DragSource::treeNode(tree->node());
        return std::nullopt;
    }
    if (const auto* entry = qobject_cast<const AvailableItemDrag*>(mime))
        return DragSource::availableEntry(entry->index());
    return std::nullopt;
}

bool MenuTreeView::dragHover(MenuNode* target, const DragSource& source)
{
    if (!target || !canAcceptDrop(model_.document(), target, source))
        return false;
    if (target->hasChildren()) {
        expand(model_.indexOfNode(target));
        collapseList_.add(target);
    }
    return true;
}

void MenuTreeView::collapseAll(const QModelIndex& index)
{
    for (int r = 0; r < model_.rowCount(index); ++r)
        collapseAll(model_.index(r, 0, index));
    collapse(index);
}

void MenuTreeView::collapseAfterDrop(const MenuNode* dropped)
{
    for (MenuNode* node : collapseList_.takeForDrop(dropped)) {
        const QModelIndex index = model_.indexOfNode(node);
        if (isExpanded(index))
            collapseAll(index);
    }
}

void MenuTreeView::startDrag(Qt::DropActions)
{
    MenuNode* node = selectedNode();
    if (!node)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(new TreeNodeDrag(node, this));
    drag->exec(Qt::MoveAction);
}

void MenuTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (sourceOf(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MenuTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    // Keeps the view scrolling near its edges while dragging.
    QTreeView::dragMoveEvent(event);
    const auto source = sourceOf(event->mimeData());
    MenuNode* target = model_.nodeOf(indexAt(event->position().toPoint()));
    if (source && dragHover(target, *source)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MenuTreeView::dropEvent(QDropEvent* event)
{
    const auto source = sourceOf(event->mimeData());
    MenuNode* target = model_.nodeOf(indexAt(event->position().toPoint()));
    if (!source || !target || !canAcceptDrop(model_.document(), target, *source)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // The node is moved by the document, not by the drag: nothing is removed at the source.
    stopAutoScroll();
    setState(NoState);
    Q_EMIT dropRequested(target, *source);
}

void MenuTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    Q_EMIT selectedNodeChanged(model_.nodeOf(current));
}

} // namespace tessaro
