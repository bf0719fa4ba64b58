#pragma once
// What the tree accepts in a drag: a node of the tree itself, or `AvailableItemDrag`, an entry of
// the available items carrying its display text and its index.

#include <QMimeData>

#include <cstddef>
#include <string>

namespace tessaro {

class MenuNode;

class AvailableItemDrag : public QMimeData {
    Q_OBJECT
public:
    AvailableItemDrag(std::string displayText, size_t index);

    const std::string& displayText() const { return displayText_; }
    size_t index() const { return index_; }

    static const char* mimeType() { return "application/x-tessaro-available-item"; }

private:
    std::string displayText_;
    size_t index_;
};

// A node dragged inside the tree; `origin` is the view the drag started in.
class TreeNodeDrag : public QMimeData {
    Q_OBJECT
public:
    TreeNodeDrag(MenuNode* node, const QObject* origin);

    MenuNode* node() const { return node_; }
    const QObject* origin() const { return origin_; }

    static const char* mimeType() { return "application/x-tessaro-tree-node"; }

private:
    MenuNode* node_;
    const QObject* origin_;
};

} // namespace tessaro
