#pragma once
// The phone's folder tree as the file browser shows it: "Phone" at the top, the volumes with
// their free space in a second column under its own heading, each item carrying its model
// folder and its full path as a tooltip. Folder names are shown whole: the tree scrolls
// sideways rather than cut them short. Refilling it keeps
// the folders that were open and the selected one, found again by their paths.

#include <set>
#include <string>

#include <QTreeWidget>

namespace tessaro {

struct FolderNode;

class FolderTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTreeView(QWidget* parent = nullptr);

    // The paths of the open folders ("" for the root); taken before the model's tree changes.
    std::set<std::string> expandedPaths() const;
    // Refills the view from `root`, opening the root, the folders of `expanded` and the way
    // down to `selected`, which becomes the current item (none: no current item).
    void showFolders(const FolderNode& root, const FolderNode* selected, const std::set<std::string>& expanded);

    const FolderNode* nodeOf(QTreeWidgetItem* item) const;
    QTreeWidgetItem* itemOf(const FolderNode* node) const;

private:
    // Both columns as wide as their widest text among the items shown.
    void fitColumns();
};

} // namespace tessaro
