#pragma once
// `ItemPopupMenus`: the two popup menus of the main window. The menu of the available items puts
// the picked item into the tree (as the selected node's first or last subitem, first among its
// siblings or before it) or replaces the selected node with it; the menu of the tree modifies,
// deletes or moves the selected node. The tree's own keys (Delete, F2 / Enter, Ctrl+Up /
// Ctrl+Down, the context-menu key, Insert) reach the same entries. The menus only report what
// was chosen; their owner decides what is enabled and does it.

#include <QObject>

class QAbstractItemView;
class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

namespace tessaro {

struct EnabledOperations;
enum class InsertPosition;

class ItemPopupMenus : public QObject {
    Q_OBJECT
public:
    // The menus pop up over `owner`, which owns them.
    explicit ItemPopupMenus(QWidget* owner);

    QMenu* availableItemsMenu() const { return availableItemsMenu_; }
    QMenu* treeMenu() const { return treeMenu_; }
    // Enables the entries for what the selected node allows; without a picked available item
    // the menu of the available items says to pick one first.
    void update(const EnabledOperations& ops, bool entryPicked);
    // A key pressed in `tree`: true when it was one of the menus' keys and was taken (an entry
    // it stands for runs only when enabled).
    bool treeKey(QKeyEvent* event, QAbstractItemView& tree);

Q_SIGNALS:
    // Either menu is about to open, or a key is about to run one of their entries: the owner
    // calls update() now.
    void updateNeeded();
    void insertRequested(tessaro::InsertPosition position);
    void replaceRequested();
    void modifyRequested();
    void deleteRequested();
    void moveUpRequested();
    void moveDownRequested();

private:
    QMenu* availableItemsMenu_ = nullptr;
    QMenu* treeMenu_ = nullptr;
    QAction* pickFirstHint_ = nullptr;
    QAction* addSubitemMenu_ = nullptr;
    QAction* addSubitemFirst_ = nullptr;
    QAction* addSubitemLast_ = nullptr;
    QAction* addItemMenu_ = nullptr;
    QAction* addItemFirst_ = nullptr;
    QAction* addItemBefore_ = nullptr;
    QAction* replace_ = nullptr;
    QAction* modify_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* moveUp_ = nullptr;
    QAction* moveDown_ = nullptr;
};

} // namespace tessaro
