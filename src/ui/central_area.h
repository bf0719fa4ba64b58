#pragma once
// `CentralArea`: what the main window shows below its tool bar: the menu tree on the left (with
// the hint how to begin while no menu is open) and, beside it across a splitter, the available items under their label, the selected item's
// summary and the save mode. The tree takes whatever the window gains; the panel on the right
// keeps its width. Hidden, the tree and the summary keep their room. The window wires each part
// to what it does.

#include <QWidget>

class QLabel;
class QSplitter;

namespace tessaro {

class AvailableItemsBox;
class EmptyTreeHint;
class ItemSummaryView;
class MainCommands;
class MenuTreeModel;
class MenuTreeView;
class SaveModePanel;

class CentralArea : public QWidget {
    Q_OBJECT
public:
    // The tree shows `model`; the hint offers the File menu's commands of `commands`. Of
    // `width`, the tree first gets 11 parts in 20, the panel 9.
    CentralArea(MenuTreeModel& model, const MainCommands& commands, int width, QWidget* parent = nullptr);

    MenuTreeView* tree() const { return tree_; }
    // Shown while no menu is open; the window hides it.
    EmptyTreeHint* emptyTreeHint() const { return emptyTreeHint_; }
    QSplitter* splitter() const { return splitter_; }
    // Off until a menu is open.
    AvailableItemsBox* availableItems() const { return available_; }
    ItemSummaryView* summary() const { return summary_; }
    SaveModePanel* saveModePanel() const { return saveMode_; }

Q_SIGNALS:
    // A double-click on the label over the available items.
    void availableLabelDoubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MenuTreeView* tree_ = nullptr;
    EmptyTreeHint* emptyTreeHint_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QLabel* availableLabel_ = nullptr;
    AvailableItemsBox* available_ = nullptr;
    ItemSummaryView* summary_ = nullptr;
    SaveModePanel* saveMode_ = nullptr;
};

} // namespace tessaro
