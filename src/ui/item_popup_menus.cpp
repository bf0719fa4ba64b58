#include "ui/item_popup_menus.h"

#include <QAbstractItemView>
#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "edit/edit_rules.h"
#include "edit/tree_edit.h"
#include "ui/named_action.h"

namespace tessaro {

ItemPopupMenus::ItemPopupMenus(QWidget* owner) : QObject(owner)
{
    // The menu of the available items.
    availableItemsMenu_ = new QMenu(owner);
    availableItemsMenu_->setObjectName(QStringLiteral("availableItemsMenu"));
    // Without a pick every entry is off; the first line says why.
    pickFirstHint_ = makeAction(this, "pickFirstHint", tr("Pick an item in \"Available mma items\" first"));
    pickFirstHint_->setEnabled(false);
    availableItemsMenu_->addAction(pickFirstHint_);
    QMenu* subitem = availableItemsMenu_->addMenu(tr("Add subitem"));
    addSubitemMenu_ = subitem->menuAction();
    addSubitemMenu_->setObjectName(QStringLiteral("addSubitemMenu"));
    addSubitemFirst_ = makeAction(this, "addSubitemFirstAction", tr("Add First"));
    addSubitemLast_ = makeAction(this, "addSubitemLastAction", tr("Add Last"));
    subitem->addAction(addSubitemFirst_);
    subitem->addAction(addSubitemLast_);
    QMenu* item = availableItemsMenu_->addMenu(tr("Add item"));
    addItemMenu_ = item->menuAction();
    addItemMenu_->setObjectName(QStringLiteral("addItemMenu"));
    addItemFirst_ = makeAction(this, "addItemFirstAction", tr("Add First"));
    addItemBefore_ = makeAction(this, "addItemBeforeAction", tr("Add Before"));
    item->addAction(addItemFirst_);
    item->addAction(addItemBefore_);
    replace_ = makeAction(this, "replaceAction", tr("Replace"));
    availableItemsMenu_->addAction(replace_);
    connect(addSubitemFirst_, &QAction::triggered, this,
            [this] { Q_EMIT insertRequested(InsertPosition::AddSubitemFirst); });
    connect(addSubitemLast_, &QAction::triggered, this,
            [this] { Q_EMIT insertRequested(InsertPosition::AddSubitemLast); });
    connect(addItemFirst_, &QAction::triggered, this, [this] { Q_EMIT insertRequested(InsertPosition::AddFirst); });
    connect(addItemBefore_, &QAction::triggered, this, [this] { Q_EMIT insertRequested(InsertPosition::AddBefore); });
    connect(replace_, &QAction::triggered, this, &ItemPopupMenus::replaceRequested);
    connect(availableItemsMenu_, &QMenu::aboutToShow, this, &ItemPopupMenus::updateNeeded);

    // The menu of the tree.
    treeMenu_ = new QMenu(owner);
    treeMenu_->setObjectName(QStringLiteral("treeMenu"));
    modify_ = makeAction(this, "modifyItemAction", tr("Modify item"));
    delete_ = makeAction(this, "deleteItemAction", tr("Delete item"));
    moveUp_ = makeAction(this, "moveUpAction", tr("Move up"));
    moveDown_ = makeAction(this, "moveDownAction", tr("Move down"));
    // Shown in the menu; the tree itself takes the keys (treeKey).
    modify_->setShortcut(QKeySequence(Qt::Key_F2));
    delete_->setShortcut(QKeySequence(Qt::Key_Delete));
    moveUp_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    moveDown_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    for (QAction* a : {modify_, delete_, moveUp_, moveDown_})
        a->setShortcutContext(Qt::WidgetShortcut);
    treeMenu_->addAction(modify_);
    treeMenu_->addAction(delete_);
    treeMenu_->addAction(moveUp_);
    treeMenu_->addAction(moveDown_);
    connect(modify_, &QAction::triggered, this, &ItemPopupMenus::modifyRequested);
    connect(delete_, &QAction::triggered, this, &ItemPopupMenus::deleteRequested);
    connect(moveUp_, &QAction::triggered, this, &ItemPopupMenus::moveUpRequested);
    connect(moveDown_, &QAction::triggered, this, &ItemPopupMenus::moveDownRequested);
    connect(treeMenu_, &QMenu::aboutToShow, this, &ItemPopupMenus::updateNeeded);
}

void ItemPopupMenus::update(const EnabledOperations& ops, bool entryPicked)
{
    pickFirstHint_->setVisible(!entryPicked);
    addSubitemMenu_->setEnabled(ops.addSubitem);
    addSubitemFirst_->setEnabled(ops.addSubitem);
    addSubitemLast_->setEnabled(ops.addSubitem);
    addItemMenu_->setEnabled(ops.addItem);
    addItemFirst_->setEnabled(ops.addItem);
    addItemBefore_->setEnabled(ops.addItem);
    replace_->setEnabled(ops.replace);
    modify_->setEnabled(ops.modify);
    delete_->setEnabled(ops.remove);
    moveUp_->setEnabled(ops.moveUp);
    moveDown_->setEnabled(ops.moveDown);
}

bool ItemPopupMenus::treeKey(QKeyEvent* event, QAbstractItemView& tree)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    // Where a popup opened from the keyboard stands: under the selected node.
    const auto popupAt = [&tree](QMenu* menu) {
        const QRect item = tree.visualRect(tree.currentIndex());
        const QPoint at = item.isValid() ? item.bottomLeft() : QPoint(0, 0);
        menu->popup(tree.viewport()->mapToGlobal(at));
    };
    QAction* command = nullptr;
    switch (event->key()) {
    case Qt::Key_Delete: command = mods == Qt::NoModifier ? delete_ : nullptr; break;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter: command = mods == Qt::NoModifier ? modify_ : nullptr; break;
    case Qt::Key_Up: command = mods == Qt::ControlModifier ? moveUp_ : nullptr; break;
    case Qt::Key_Down: command = mods == Qt::ControlModifier ? moveDown_ : nullptr; break;
    case Qt::Key_Menu:
        // Accepted, so no context-menu event follows at a place of the platform's choosing.
        event->accept();
        popupAt(treeMenu_);
        return true;
    case Qt::Key_Insert:
        if (mods != Qt::NoModifier)
            return false;
        event->accept();
        popupAt(availableItemsMenu_);
        return true;
    default: break;
    }
    if (!command)
        return false;
    event->accept();
    // The same rules as the popup menu's entries: a key on a node it does not fit does nothing.
    Q_EMIT updateNeeded();
    if (command->isEnabled())
        command->trigger();
    return true;
}

} // namespace tessaro
