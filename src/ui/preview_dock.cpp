#include "ui/preview_dock.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "preview/item_icon.h"
#include "session/editor_session.h"
#include "ui/core_text.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/phone_preview_pane.h"

namespace tessaro {

PreviewDock::PreviewDock(QMainWindow& window, EditorSession& session, MenuTreeView& tree, MenuTreeModel& model)
    : QDockWidget(tr("Phone screen"), &window)
{
    setObjectName(QStringLiteral("previewDock"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    pane_ = new PhonePreviewPane(session, this);
    setWidget(pane_);
    window.addDockWidget(Qt::RightDockWidgetArea, this);
    setVisible(pane_->settings().shown);

    QAction* toggle = toggleViewAction();
    toggle->setObjectName(QStringLiteral("previewAction"));
    toggle->setText(tr("&Phone screen"));
    toggle->setToolTip(tr("Show the menu as the phone shows it"));
    auto* view = new QMenu(tr("Vie&w"), window.menuBar());
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addAction(toggle);
    QMenu* help = window.menuBar()->findChild<QMenu*>(QStringLiteral("helpMenu"));
    window.menuBar()->insertMenu(help ? help->menuAction() : nullptr, view);
    // Only the user's choice is kept: hiding with the window at close is no choice. The window
    // grows by the pane and gives the room back, so the tree keeps its width.
    connect(toggle, &QAction::triggered, pane_, [this, &window](bool shown) {
        pane_->setShownSetting(shown);
        if (window.isMaximized() || window.isFullScreen())
            return;
        const int by = sizeHint().width();
        window.resize(window.width() + (shown ? by : -by), window.height());
    });

    // The tree and the screen select together.
    connect(&tree, &MenuTreeView::selectedNodeChanged, pane_, [this, &tree] { pane_->showNode(tree.selectedNode()); });
    connect(pane_, &PhonePreviewPane::nodeChosen, &tree, [&tree, &model](MenuNode* node) {
        for (MenuNode* up = node->parent(); up; up = up->parent())
            tree.expand(model.indexOfNode(up));
        tree.selectNode(node);
    });

    // Each item's list icon beside its name, and why there is none in its tooltip.
    model.setDecoration([this, &session](const MenuNode& node, int role) -> QVariant {
        if (!node.parent())
            return {};
        const IconLook look = pane_->sources().look(itemIcon(session.menu.document.data(), node, IconRole::List));
        if (role == Qt::ToolTipRole)
            return look.state == IconState::Shown ? QVariant() : QVariant(coreText(look.reason));
        return pane_->pictures().treeIcon(look);
    });
    connect(pane_, &PhonePreviewPane::iconsChanged, &model, &MenuTreeModel::decorationsChanged);

    // A phone that comes or goes turns the phone commands on or off.
    for (const char* name : {"openFromPhoneAction", "saveToPhoneAction"})
        if (QAction* command = window.findChild<QAction*>(QString::fromLatin1(name)))
            connect(command, &QAction::changed, pane_, &PhonePreviewPane::phoneLinkChanged);
}

int PreviewDock::widthBeside() const
{
    return isHidden() ? 0 : sizeHint().width();
}

} // namespace tessaro
