#include "ui/folder_tree_view.h"

#include <vector>

#include <QHeaderView>
#include <QLocale>

#include "models/folder_tree.h"
#include "ui/browser_dialogs.h"

namespace tessaro {

FolderTreeView::FolderTreeView(QWidget* parent) : QTreeWidget(parent)
{
    // The second column tells a volume's free space. Both columns take the width of their
    // longest text, so a deep folder name is never cut short: the tree scrolls sideways
    // instead, and the user may still drag a column wider or narrower.
    setColumnCount(2);
    setHeaderLabels({tr("Folder"), tr("Free space")});
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QTreeWidget::itemExpanded, this, [this] { fitColumns(); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this] { fitColumns(); });
}

void FolderTreeView::fitColumns()
{
    resizeColumnToContents(0);
    resizeColumnToContents(1);
}

const FolderNode* FolderTreeView::nodeOf(QTreeWidgetItem* item) const
{
    return item ? reinterpret_cast<const FolderNode*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

QTreeWidgetItem* FolderTreeView::itemOf(const FolderNode* node) const
{
    for (QTreeWidgetItemIterator it(const_cast<FolderTreeView*>(this)); *it; ++it)
        if (nodeOf(*it) == node)
            return *it;
    return nullptr;
}

std::set<std::string> FolderTreeView::expandedPaths() const
{
    std::set<std::string> paths;
    for (QTreeWidgetItemIterator it(const_cast<FolderTreeView*>(this)); *it; ++it)
        if ((*it)->isExpanded())
            if (const FolderNode* node = nodeOf(*it))
                paths.insert(FolderTree::pathOf(*node));
    return paths;
}

void FolderTreeView::showFolders(const FolderNode& root, const FolderNode* selected,
                                 const std::set<std::string>& expanded)
{
    clear();
    auto* top = new QTreeWidgetItem(this, {tr("Phone")});
    top->setData(0, Qt::UserRole, QVariant::fromValue(quintptr(&root)));
    // Folders are added depth first; each item carries its model node.
    std::vector<std::pair<const FolderNode*, QTreeWidgetItem*>> pending{{&root, top}};
    while (!pending.empty()) {
        const auto [node, item] = pending.back();
        pending.pop_back();
        for (const auto& child : node->children) {
            auto* made = new QTreeWidgetItem(item, {phoneText(child->name)});
            made->setToolTip(0, phoneText(FolderTree::pathOf(*child)));
            if (child->freeBytes) {
                const QString size = QLocale().formattedDataSize(qint64(*child->freeBytes));
                made->setText(1, size);
                made->setToolTip(1, tr("%1 free").arg(size));
            }
            made->setData(0, Qt::UserRole, QVariant::fromValue(quintptr(child.get())));
            pending.push_back({child.get(), made});
        }
    }
    top->setExpanded(true);
    if (!expanded.empty())
        for (QTreeWidgetItemIterator it(this); *it; ++it)
            if (expanded.count(FolderTree::pathOf(*nodeOf(*it))))
                (*it)->setExpanded(true);
    if (QTreeWidgetItem* current = selected ? itemOf(selected) : nullptr) {
        for (QTreeWidgetItem* up = current->parent(); up; up = up->parent())
            up->setExpanded(true);
        setCurrentItem(current);
    }
    fitColumns();
}

} // namespace tessaro
