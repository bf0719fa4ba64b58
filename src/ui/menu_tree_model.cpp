#include "ui/menu_tree_model.h"

namespace tessaro {

MenuTreeModel::MenuTreeModel(MenuDocument& document, QObject* parent)
    : QAbstractItemModel(parent), document_(document)
{
    document_.addObserver(this);
}

MenuTreeModel::~MenuTreeModel()
{
    document_.removeObserver(this);
}

int MenuTreeModel::rowOf(const MenuNode* node) const
{
    if (!node->parent())
        return node == document_.menuRoot() ? 1 : 0;
    return static_cast<int>(node->row());
}

MenuNode* MenuTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<MenuNode*>(index.internalPointer()) : nullptr;
}

QModelIndex MenuTreeModel::indexOfNode(const MenuNode* node) const
{
    if (!node)
        return {};
    return createIndex(rowOf(node), 0, const_cast<MenuNode*>(node));
}

QModelIndex MenuTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid()) {
        MenuNode* top = row == 0 ? document_.softkeys() : row == 1 ? document_.menuRoot() : nullptr;
        return top ? createIndex(row, 0, top) : QModelIndex();
    }
    MenuNode* child = nodeOf(parent)->child(static_cast<size_t>(row));
    return child ? createIndex(row, 0, child) : QModelIndex();
}

QModelIndex MenuTreeModel::parent(const QModelIndex& child) const
{
    const MenuNode* node = nodeOf(child);
    return node ? indexOfNode(node->parent()) : QModelIndex();
}

int MenuTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    if (!parent.isValid())
        return document_.isEmpty() ? 0 : 2;
    return static_cast<int>(nodeOf(parent)->childCount());
}

int MenuTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant MenuTreeModel::data(const QModelIndex& index, int role) const
{
    const MenuNode* node = nodeOf(index);
    if (node && decoration_ && (role == Qt::DecorationRole || role == Qt::ToolTipRole))
        return decoration_(*node, role);
    if (!node || role != Qt::DisplayRole)
        return {};
    // The two fixed top rows are shown in the user's language; the names stored stay.
    static const char* const kTopCaptions[] = {QT_TR_NOOP("Softkeys"), QT_TR_NOOP("Menu Root")};
    if (!index.parent().isValid())
        for (const char* caption : kTopCaptions)
            if (node->caption() == caption)
                return tr(caption);
    return QString::fromStdString(node->caption());
}

Qt::ItemFlags MenuTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // Captions are not editable; the view decides which drags and drops it accepts.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

void MenuTreeModel::decorationsChanged()
{
    const QList<int> roles{Qt::DecorationRole, Qt::ToolTipRole};
    for (const MenuNode* node : document_.preorder()) {
        const QModelIndex at = indexOfNode(node);
        Q_EMIT dataChanged(at, at, roles);
    }
}

void MenuTreeModel::documentReset()
{
    beginResetModel();
    endResetModel();
}

void MenuTreeModel::nodeAboutToBeInserted(MenuNode* parent, size_t row)
{
    const int r = static_cast<int>(row);
    beginInsertRows(indexOfNode(parent), r, r);
}

void MenuTreeModel::nodeInserted(MenuNode* node)
{
    endInsertRows();
    Q_EMIT nodeAdded(node);
}

void MenuTreeModel::nodeAboutToBeRemoved(MenuNode* node)
{
    const int r = rowOf(node);
    beginRemoveRows(indexOfNode(node->parent()), r, r);
}

void MenuTreeModel::nodeRemoved(MenuNode*, size_t)
{
    endRemoveRows();
}

void MenuTreeModel::nodeAboutToBeMoved(MenuNode* node, MenuNode* newParent, size_t row)
{
    const int r = rowOf(node);
    const QModelIndex from = indexOfNode(node->parent());
    const QModelIndex to = indexOfNode(newParent);
    // Qt refuses a move onto the node's own place; the document then leaves it as it is
    // too, but the begin/end pair must still match, so announce it as a layout change.
    if (!beginMoveRows(from, r, r, to, static_cast<int>(row))) {
        moveAsLayoutChange_ = true;
        Q_EMIT layoutAboutToBeChanged();
    }
}

void MenuTreeModel::nodeMoved(MenuNode*)
{
    if (moveAsLayoutChange_) {
        moveAsLayoutChange_ = false;
        Q_EMIT layoutChanged();
        return;
    }
    endMoveRows();
}

void MenuTreeModel::nodeChanged(MenuNode* node)
{
    const QModelIndex i = indexOfNode(node);
    Q_EMIT dataChanged(i, i);
}

} // namespace tessaro
