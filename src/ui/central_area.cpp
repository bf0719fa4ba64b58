#include "ui/central_area.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

#include "ui/available_items_box.h"
#include "ui/empty_tree_hint.h"
#include "ui/item_summary_view.h"
#include "ui/main_commands.h"
#include "ui/menu_tree_view.h"
#include "ui/save_mode_panel.h"

namespace tessaro {

CentralArea::CentralArea(MenuTreeModel& model, const MainCommands& commands, int width, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("centralArea"));

    tree_ = new MenuTreeView(model, this);
    QSizePolicy keep = tree_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    tree_->setSizePolicy(keep);
    // Made right after the tree, so its commands follow the tree in the order of the Tab key.
    emptyTreeHint_ =
        new EmptyTreeHint(*tree_, *commands.openAction(), *commands.openFromPhoneAction(), *commands.newAction());

    availableLabel_ = new QLabel(tr("Available mma items"), this);
    availableLabel_->setObjectName(QStringLiteral("availableItemsLabel"));
    availableLabel_->installEventFilter(this);

    available_ = new AvailableItemsBox(this);
    available_->setMenuOpen(false);

    summary_ = new ItemSummaryView(this);

    saveMode_ = new SaveModePanel(this);

    auto* rightPanel = new QWidget(this);
    auto* right = new QVBoxLayout(rightPanel);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(availableLabel_);
    right->addWidget(available_);
    right->addWidget(summary_, 1);
    right->addWidget(saveMode_);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("treeSplitter"));
    splitter_->setChildrenCollapsible(false);
    // The tree stands in a holder of its own: hidden in joke mode, it keeps its room there.
    auto* treeHolder = new QWidget(this);
    auto* treeLayout = new QVBoxLayout(treeHolder);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(tree_);
    splitter_->addWidget(treeHolder);
    splitter_->addWidget(rightPanel);
    // The tree takes whatever the window gains; the panel keeps its width.
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    splitter_->setSizes({11 * width / 20, 9 * width / 20});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter_);
}

bool CentralArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == availableLabel_ && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT availableLabelDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tessaro
