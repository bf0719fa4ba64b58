// The main window without a phone: start-up state, New, the save-mode controls, the popup
// menus, the tree commands and drops, the item summary, joke mode, fade and close.
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <filesystem>

#include "core/menu_document.h"
#include "edit/tree_edit.h"
#include "support/ui_harness.h"
#include "session/editor_session.h"
#include "ui/available_items_box.h"
#include "ui/drag_objects.h"
#include "ui/elided_label.h"
#include "ui/lamp_shape.h"
#include "ui/main_window.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/splash_screen.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

QStringList comboItems(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Position of an available entry by display name.
int entryIndex(MainWindow& w, const char* displayName)
{
    return child<QComboBox>(w, "availableItems")->findText(QString::fromLatin1(displayName));
}

// Fades the window in and out through its own ticks until it is gone.
void closeThroughTheFade(MainWindow& w)
{
    while (w.fade().level() != 255)
        w.fadeTick();
    w.close();
    for (int ticks = 0; w.isVisible() && ticks < 100; ++ticks)
        w.fadeTick();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    // A harness with a new document and the available entry `name` picked.
    void pick(MainWindow& w, const char* name)
    {
        auto* box = child<QComboBox>(w, "availableItems");
        box->setCurrentIndex(entryIndex(w, name));
        QVERIFY(box->currentIndex() >= 0);
    }
    MenuNode* insert(MainWindow& w, MenuNode* at, const char* name, InsertPosition pos)
    {
        w.tree()->selectNode(at);
        pick(w, name);
        const size_t before = w.context().menu.document.nodeCount();
        w.insertItem(pos);
        if (w.context().menu.document.nodeCount() != before + 1)
            return nullptr;
        // The inserted node is the one with the name among the siblings/children.
        for (MenuNode* n : w.context().menu.document.preorder())
            if (n->caption() == name)
                return n;
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void statusPanelsGiveWayInANarrowWindow()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* phone = static_cast<ElidedLabel*>(w.statusPanel(2));
        phone->setText(QStringLiteral("Телефон: TX100  [TX100_A_01.02.03R] "));
        w.statusPanel(1)->setText(QStringLiteral("Формат: 36-байтный  Записей: 18"));
        for (const int width : {462, 440}) {
            w.resize(width, w.height());
            w.statusBar()->layout()->activate();
            const QRect info = w.statusPanel(1)->geometry();
            const QRect lamp = w.statusPanel(3)->geometry();
            QVERIFY2(info.right() < phone->geometry().left(), qPrintable(QString::number(width)));
            QVERIFY2(phone->geometry().right() < lamp.left(), qPrintable(QString::number(width)));
            QVERIFY(lamp.right() < w.statusBar()->width());
            QVERIFY(phone->shownText().startsWith(QStringLiteral("Телефон:")));
        }
    }

    void availableItemsDropDownIsCappedAndTypingFilters()
    {
        AvailableItemsBox box;
        std::vector<ItemEntry> entries;
        for (const char* name : {"Camera", "Calendar", "Games", "Radio", "Recent calls", "Tools"})
            for (int i = 0; i < 10; ++i)
                entries.push_back({name, std::string(name) + " " + std::to_string(i)});
        box.fill(entries);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.showPopup();
        QAbstractItemView* list = box.view();
        QVERIFY(list->window()->height() <= 17 * list->sizeHintForRow(0) + 8);
        QTest::keyClicks(list, "CAL");
        QCOMPARE(box.filter(), QStringLiteral("CAL"));
        QCOMPARE(box.shownText(), QStringLiteral("Filter: CAL"));
        QStringList shown;
        for (int row = 0; row < box.count(); ++row)
            if (!static_cast<QListView*>(list)->isRowHidden(row))
                shown << box.itemText(row);
        QCOMPARE(shown.size(), 20); // "Calendar" and "Recent calls"
        QCOMPARE(list->currentIndex().row(), 10);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(box.currentIndex(), 10);
        QVERIFY(box.filter().isEmpty());
        QCOMPARE(box.shownText(), QStringLiteral("Calendar 0"));
    }

    void startUpState()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessaro v.0.6[*]"));
        QCOMPARE(w.width(), 462);
        QCOMPARE(w.height() - w.menuBar()->sizeHint().height(), 516);
        // The commands that need a document or a phone are off.
        QVERIFY(child<QToolButton>(w, "newButton")->isEnabled());
        QVERIFY(child<QToolButton>(w, "openButton")->isEnabled());
        for (const char* name :
             {"saveButton", "openFromPhoneButton", "saveToPhoneButton", "restartPhoneButton"})
            QVERIFY2(!child<QToolButton>(w, name)->isEnabled(), name);
        for (const char* name :
             {"saveAsAction", "openFromPhoneAction", "saveToPhoneAction", "restartPhoneAction"})
            QVERIFY2(!child<QAction>(w, name)->isEnabled(), name);
        QVERIFY(!child<QComboBox>(w, "availableItems")->isEnabled());
        QCOMPARE(child<QComboBox>(w, "availableItems")->maxVisibleItems(), 16);
        QVERIFY(!child<QCheckBox>(w, "c698pFixBox")->isEnabled());
        QVERIFY(!child<QGroupBox>(w, "iconMarkerGroup")->isEnabled());
        QVERIFY(child<QRadioButton>(w, "recordSize36")->isChecked());
        QVERIFY(child<QRadioButton>(w, "iconMarker0C")->isChecked());
        QVERIFY(child<QPlainTextEdit>(w, "itemSummary")->isHidden());
        QCOMPARE(child<QLabel>(w, "availableItemsLabel")->text(), QStringLiteral("Available mma items"));
        // Hints.
        QCOMPARE(child<QToolButton>(w, "newButton")->toolTip(), QStringLiteral("Create new mma_ucp from scratch"));
        QCOMPARE(child<QToolButton>(w, "openFromPhoneButton")->toolTip(), QStringLiteral("Open mma_ucp from phone"));
        QCOMPARE(child<QComboBox>(w, "profileSelector")->toolTip(),
                 QStringLiteral("Select a profile for target phone.\nProfile excludes unsupported mma "
                                "items and sets proper mma_ucp format"));
        QCOMPARE(child<QCheckBox>(w, "c698pFixBox")->toolTip(), QStringLiteral("Fix mma_ucp to act properly on R3624 FW"));
        // A first start makes Profiles/itembase.dat with the 152 catalogue rows; the selector
        // holds "Default" and "Create new..." only.
        const std::string base = h.dir.file("Profiles/itembase.dat");
        QVERIFY(std::filesystem::exists(base));
        const std::string text = readText(base);
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 152);
        QCOMPARE(comboItems(child<QComboBox>(w, "profileSelector")),
                 (QStringList{"Default", "Create new..."}));
        QCOMPARE(child<QComboBox>(w, "profileSelector")->currentIndex(), 0);
        auto* available = child<QComboBox>(w, "availableItems");
        QCOMPARE(available->count(), 153);
        QCOMPARE(available->itemText(152), QStringLiteral("Custom item"));
        QCOMPARE(available->currentIndex(), -1);
        // Status bar, lamp, tray, log.
        QCOMPARE(w.statusPanel(1)->text(), QString());
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Phone: None"));
        QCOMPARE(child<LampShape>(w, "statusLamp")->color(), QColor(Qt::red));
        QCOMPARE(w.trayImage(), 15);
        QCOMPARE(w.balloonTitle(), QStringLiteral("P2K Status"));
        QCOMPARE(w.balloonText(), QStringLiteral("Disconnected"));
        QVERIFY(std::filesystem::exists(h.dir.file("p2klog.txt")));
        QCOMPARE(std::filesystem::file_size(h.dir.file("p2klog.txt")), 0u);
        QVERIFY(h.prompter.prompts.empty());
        // Fading in, the splash on top.
        auto* timer = child<QTimer>(w, "fadeTimer");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 50);
        QCOMPARE(w.windowOpacity(), 0.0);
        QVERIFY(w.splash() != nullptr);
        QVERIFY(w.splash()->isVisible());
        QCOMPARE(w.splash()->alpha(), 200);
    }

    void selectorListsProfiles()
    {
        WindowHarness h;
        std::filesystem::create_directories(h.dir.path() / "Profiles");
        writeText(h.dir.path() / "Profiles/R3624.prf", "[mma_ucp format]\r\n22 06 1\r\n[mma items]\r\nPhoneBook\r\n");
        writeText(h.dir.path() / "Profiles/A100.prf", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nMessage\r\n");
        MainWindow& w = h.start();
        QCOMPARE(comboItems(child<QComboBox>(w, "profileSelector")),
                 (QStringList{"Default", "A100", "R3624", "Create new..."}));
        // Choosing a profile filters the available items and sets the save mode.
        w.pickProfile(2);
        QCOMPARE(comboItems(child<QComboBox>(w, "availableItems")),
                 (QStringList{"PhoneBook", "Custom item"}));
        QVERIFY(child<QRadioButton>(w, "recordSize22")->isChecked());
        QVERIFY(child<QRadioButton>(w, "iconMarker06")->isChecked());
        QVERIFY(child<QCheckBox>(w, "c698pFixBox")->isChecked());
        QVERIFY(child<QGroupBox>(w, "iconMarkerGroup")->isEnabled());
        // "Default" gives everything back, in 36-byte mode.
        w.pickProfile(0);
        QCOMPARE(child<QComboBox>(w, "availableItems")->count(), 153);
        QVERIFY(child<QRadioButton>(w, "recordSize36")->isChecked());
        QVERIFY(!child<QCheckBox>(w, "c698pFixBox")->isChecked());
        QVERIFY(h.prompter.prompts.empty());
    }

    void newDocument()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        child<QAction>(w, "newAction")->trigger();
        const MenuDocument& doc = w.context().menu.document;
        QCOMPARE(doc.nodeCount(), size_t(9));
        QCOMPARE(w.tree()->selectedNode(), doc.menuRoot());
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Format: 36-byte  Entries: 0"));
        QVERIFY(child<QToolButton>(w, "saveButton")->isEnabled());
        QVERIFY(child<QComboBox>(w, "availableItems")->isEnabled());
        // No phone: Save to phone stays off.
        QVERIFY(!child<QToolButton>(w, "saveToPhoneButton")->isEnabled());
        QCOMPARE(captionsUnder(doc.softkeys()),
                 (QStringList{"LSK: PhoneBook", "RSK: Message", "Up: RecentCall", "Down: Multimedia",
                              "Left: Datebook", "Right: MMRingStyle", "Smart: VoiceRecord"}));
        QVERIFY(child<QPlainTextEdit>(w, "itemSummary")->isHidden());
    }

    void saveModeControls()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        auto* r22 = child<QRadioButton>(w, "recordSize22");
        auto* r36 = child<QRadioButton>(w, "recordSize36");
        auto* fix = child<QCheckBox>(w, "c698pFixBox");
        auto* group = child<QGroupBox>(w, "iconMarkerGroup");
        auto* m06 = child<QRadioButton>(w, "iconMarker06");
        auto* m0C = child<QRadioButton>(w, "iconMarker0C");
        const SaveMode& mode = w.context().menu.saveMode;

        w.show();
        QTest::mouseClick(r22, Qt::LeftButton);
        QCOMPARE(mode.recordSize(), 22);
        QVERIFY(group->isEnabled());
        QVERIFY(fix->isEnabled());
        QTest::mouseClick(fix, Qt::LeftButton);
        QTest::mouseClick(m06, Qt::LeftButton);
        QVERIFY(mode.c698p());
        QCOMPARE(mode.iconMarker(), IconMarker::K06);

        QTest::mouseClick(r36, Qt::LeftButton);
        QCOMPARE(mode.recordSize(), 36);
        QVERIFY(!group->isEnabled());
        QVERIFY(m0C->isChecked());
        QCOMPARE(mode.iconMarker(), IconMarker::K0C);
        QVERIFY(!fix->isEnabled());
        QVERIFY(!fix->isChecked());
        QVERIFY(!mode.c698p());

        QTest::mouseClick(child<QCheckBox>(w, "cdmaBox"), Qt::LeftButton);
        QVERIFY(mode.cdma());
        QTest::mouseClick(child<QCheckBox>(w, "saveAllBox"), Qt::LeftButton);
        QVERIFY(mode.saveAll());
        QTest::mouseClick(child<QCheckBox>(w, "cdmaBox"), Qt::LeftButton);
        QVERIFY(!mode.cdma());
    }

    void popupEnablingOnEveryKindOfNode()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* a = insert(w, doc.menuRoot(), "PhoneBook", InsertPosition::AddSubitemLast);
        MenuNode* b = insert(w, doc.menuRoot(), "Message", InsertPosition::AddSubitemLast);
        QVERIFY(a && b);
        auto* box = child<QComboBox>(w, "availableItems");
        const char* names[] = {"addSubitemMenu", "addSubitemFirstAction", "addSubitemLastAction",
                               "addItemMenu", "addItemFirstAction", "addItemBeforeAction",
                               "replaceAction", "modifyItemAction", "deleteItemAction",
                               "moveUpAction", "moveDownAction"};
        struct Case {
            MenuNode* node;
            bool picked;
            // subitem, item, replace, delete, up, down
            bool expected[6];
        };
        const Case cases[] = {
            {doc.softkeys(), true, {false, false, false, false, false, false}},
            {doc.nodeAt(1), true, {false, false, true, false, false, false}},
            {doc.menuRoot(), true, {true, false, false, false, false, false}},
            {a, true, {true, true, true, true, false, true}},
            {b, true, {true, true, true, true, true, false}},
            // Without a picked entry the add and replace entries are off.
            {a, false, {false, false, false, true, false, true}},
            {nullptr, true, {false, false, false, false, false, false}},
        };
        for (const Case& c : cases) {
            w.tree()->selectNode(c.node);
            box->setCurrentIndex(c.picked ? 0 : -1);
            w.updatePopupMenus();
            // "Modify item" on every node but the Softkeys container and the Menu Root.
            const int at = doc.indexOf(c.node);
            const bool modify = at > 0 && at != 8;
            const bool expected[] = {c.expected[0], c.expected[0], c.expected[0], c.expected[1],
                                     c.expected[1], c.expected[1], c.expected[2], modify,
                                     c.expected[3], c.expected[4], c.expected[5]};
            for (size_t i = 0; i < std::size(names); ++i) {
                const QString what = QStringLiteral("node %1 picked %2: %3")
                                         .arg(doc.indexOf(c.node)).arg(c.picked).arg(names[i]);
                QVERIFY2(child<QAction>(w, names[i])->isEnabled() == expected[i], qPrintable(what));
            }
        }
    }

    void insertReplaceDeleteMove()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* root = doc.menuRoot();
        MenuNode* a = insert(w, root, "PhoneBook", InsertPosition::AddSubitemLast);
        QVERIFY(a);
        QCOMPARE(a->item.recordNo, uint8_t(11));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Format: 36-byte  Entries: 1"));
        insert(w, root, "Message", InsertPosition::AddSubitemFirst);
        insert(w, a, "Datebook", InsertPosition::AddBefore);
        insert(w, a, "RecentCall", InsertPosition::AddFirst);
        QCOMPARE(captionsUnder(root), (QStringList{"RecentCall", "Message", "Datebook", "PhoneBook"}));
        insert(w, a, "Multimedia", InsertPosition::AddSubitemLast);
        QCOMPARE(a->item.itemType, uint8_t(kTypeContainer));
        QVERIFY(w.tree()->isExpanded(w.tree()->menuModel().indexOfNode(a)));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Format: 36-byte  Entries: 5"));

        // Custom items are numbered and selected.
        w.tree()->selectNode(a);
        pick(w, "Custom item");
        w.insertItem(InsertPosition::AddSubitemLast);
        QCOMPARE(QString::fromStdString(w.tree()->selectedNode()->caption()), QStringLiteral("~1"));
        w.tree()->selectNode(a);
        w.insertItem(InsertPosition::AddSubitemLast);
        QCOMPARE(QString::fromStdString(w.tree()->selectedNode()->caption()), QStringLiteral("~2"));

        // Replace keeps a softkey's prefix.
        w.tree()->selectNode(doc.nodeAt(1));
        pick(w, "Message");
        w.replaceItem();
        QCOMPARE(QString::fromStdString(doc.nodeAt(1)->caption()), QStringLiteral("LSK: Message"));

        // Move up / down.
        MenuNode* message = root->child(1);
        w.tree()->selectNode(message);
        w.moveItemUp();
        QCOMPARE(captionsUnder(root), (QStringList{"Message", "RecentCall", "Datebook", "PhoneBook"}));
        QCOMPARE(w.tree()->selectedNode(), message);
        w.moveItemDown();
        w.moveItemDown();
        QCOMPARE(captionsUnder(root), (QStringList{"RecentCall", "Datebook", "Message", "PhoneBook"}));

        // Delete asks first; No keeps the tree.
        const size_t before = doc.nodeCount();
        w.tree()->selectNode(a);
        h.prompter.answers = {Answer::No};
        w.deleteItem();
        QCOMPARE(doc.nodeCount(), before);
        QCOMPARE(h.prompter.prompts.size(), size_t(1));
        QCOMPARE(h.prompter.prompts[0].text,
                 std::string("The item and all its subitems will be deleted\r\n           Continue?"));
        QCOMPARE(h.prompter.prompts[0].caption, std::string("Warning"));
        QVERIFY(h.prompter.prompts[0].icon == MessageIcon::Warning);
        QVERIFY(h.prompter.prompts[0].question);
        h.prompter.answers = {Answer::Yes};
        w.deleteItem();
        QCOMPARE(doc.nodeCount(), before - 4);  // PhoneBook with Multimedia, ~1 and ~2
        QCOMPARE(captionsUnder(root), (QStringList{"RecentCall", "Datebook", "Message"}));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Format: 36-byte  Entries: 3"));
    }

    void dropsFromTreeAndFromTheBox()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* root = doc.menuRoot();
        MenuNode* a = insert(w, root, "PhoneBook", InsertPosition::AddSubitemLast);
        MenuNode* b = insert(w, root, "Message", InsertPosition::AddSubitemLast);
        MenuNode* c = insert(w, b, "Datebook", InsertPosition::AddSubitemLast);
        MenuTreeView* tree = w.tree();
        tree->collapse(tree->menuModel().indexOfNode(b));
        tree->expand(tree->menuModel().indexOfNode(root));

        auto send = [&](QMimeData& mime, MenuNode* target, bool drop) {
            const QPoint pos = tree->visualRect(tree->menuModel().indexOfNode(target)).center();
            // A real drag enters the view before it moves over it or drops.
            QDragEnterEvent enter(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(tree->viewport(), &enter);
            if (drop) {
                QDropEvent ev(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(tree->viewport(), &ev);
                return ev.isAccepted();
            }
            QDragMoveEvent ev(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(tree->viewport(), &ev);
            return ev.isAccepted();
        };

        // Hovering over B (which has a child) expands it and lists it for collapsing.
        TreeNodeDrag dragA(a, tree);
        QVERIFY(send(dragA, b, false));
        QVERIFY(tree->isExpanded(tree->menuModel().indexOfNode(b)));
        QCOMPARE(tree->collapseList().nodes().size(), size_t(1));
        // Not onto a softkey, nor onto the Menu Root.
        QVERIFY(!send(dragA, doc.nodeAt(1), false));
        QVERIFY(!send(dragA, root, false));
        // Dropping A onto C puts it before C under B; B stays expanded (C's parent).
        QVERIFY(send(dragA, c, true));
        QCOMPARE(captionsUnder(b), (QStringList{"PhoneBook", "Datebook"}));
        QVERIFY(tree->isExpanded(tree->menuModel().indexOfNode(b)));
        QVERIFY(tree->collapseList().isEmpty());
        QCOMPARE(w.tree()->selectedNode(), a);

        // A node is not dropped into its own subtree.
        TreeNodeDrag dragB(b, tree);
        QVERIFY(!send(dragB, c, true));

        // An available entry dropped on C is inserted before it and selected.
        const int k = entryIndex(w, "RecentCall");
        AvailableItemDrag entry("RecentCall", static_cast<size_t>(k));
        QVERIFY(send(entry, c, false));
        QVERIFY(send(entry, c, true));
        QCOMPARE(captionsUnder(b), (QStringList{"PhoneBook", "RecentCall", "Datebook"}));
        QCOMPARE(QString::fromStdString(w.tree()->selectedNode()->caption()), QStringLiteral("RecentCall"));

        // A hover expansion away from the drop is collapsed again: hover over B, drop on a
        // node outside B.
        MenuNode* d = insert(w, root, "Multimedia", InsertPosition::AddSubitemLast);
        tree->collapse(tree->menuModel().indexOfNode(b));
        TreeNodeDrag dragD(d, tree);
        QVERIFY(send(dragD, b, false));
        QVERIFY(tree->isExpanded(tree->menuModel().indexOfNode(b)));
        AvailableItemDrag entry2("Datebook", static_cast<size_t>(entryIndex(w, "Datebook")));
        QVERIFY(send(entry2, d, true));
        QVERIFY(!tree->isExpanded(tree->menuModel().indexOfNode(b)));
        QCOMPARE(captionsUnder(root), (QStringList{"Message", "Datebook", "Multimedia"}));
    }

    void pickingAnEntryOpensTheItemMenu()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        auto* popup = child<QMenu>(w, "availableItemsMenu");
        // No document, no selected node: the pick is remembered, no menu.
        w.pickAvailableItem(entryIndex(w, "Message"));
        QCOMPARE(w.pickedEntry(), std::string("Message"));
        QVERIFY(!popup->isVisible());
        w.newDocument();
        auto* box = child<QComboBox>(w, "availableItems");
        box->setCurrentIndex(entryIndex(w, "Calculator"));
        w.pickAvailableItem(box->currentIndex());
        QCOMPARE(w.pickedEntry(), std::string("Calculator"));
        QVERIFY(popup->isVisible());
        // Opened below the box, with the entries the Menu Root allows.
        QVERIFY(popup->geometry().top() >= box->mapToGlobal(QPoint(0, box->height())).y());
        QVERIFY(child<QAction>(w, "addSubitemLastAction")->isEnabled());
        QVERIFY(!child<QAction>(w, "replaceAction")->isEnabled());
        child<QAction>(w, "addSubitemLastAction")->trigger();
        popup->close();
        QCOMPARE(captionsUnder(w.context().menu.document.menuRoot()), (QStringList{"Calculator"}));
    }

    void itemSummaryLines()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        auto* memo = child<QPlainTextEdit>(w, "itemSummary");
        MenuNode* a = insert(w, doc.menuRoot(), "PhoneBook", InsertPosition::AddSubitemLast);
        w.tree()->selectNode(a);
        QVERIFY(memo->isVisible() || !memo->isHidden());
        QCOMPARE(memo->toPlainText(), QStringLiteral("Item summary:\n\n[Not modified]"));
        // A shortcut entry carries shortcut data.
        const auto& base = w.context().menu.items.available();
        auto sc = std::find_if(base.begin(), base.end(), [](const ItemEntry& e) {
            return e.displayName.size() > 4 && e.displayName.ends_with("[SC]");
        });
        if (sc != base.end()) {
            MenuNode* s = insert(w, doc.menuRoot(), sc->displayName.c_str(), InsertPosition::AddSubitemLast);
            QVERIFY(s);
            w.tree()->selectNode(doc.menuRoot());
            w.tree()->selectNode(s);
            QCOMPARE(memo->toPlainText(), QStringLiteral("Item summary:\n\nShortcut data"));
        }
        w.tree()->selectNode(doc.menuRoot());
        QVERIFY(memo->isHidden());
        w.tree()->selectNode(doc.nodeAt(3));
        QVERIFY(!memo->isHidden());
        w.tree()->selectNode(doc.softkeys());
        QVERIFY(memo->isHidden());
    }

    void jokeModeOnAndOff()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        auto* label = child<QLabel>(w, "availableItemsLabel");
        QTest::mouseDClick(label, Qt::LeftButton);
        QCOMPARE(w.windowTitle(), QStringLiteral("O-ops... We must have done smth wrong :([*]"));
        QVERIFY(w.tree()->isHidden());
        QVERIFY(!w.mask().isEmpty());
        const QPoint inTree = w.tree()->mapTo(&w, w.tree()->rect().center());
        QVERIFY(!w.mask().contains(inTree));
        QVERIFY(w.mask().contains(QPoint(2, 2)));
        QTest::mouseDClick(label, Qt::LeftButton);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessaro v.0.5[*]"));
        QVERIFY(!w.tree()->isHidden());
        QVERIFY(w.mask().isEmpty());
    }

    void fadeInThenCloseFadesOut()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        auto* timer = child<QTimer>(w, "fadeTimer");
        timer->stop();  // the test drives the ticks
        // Files of the user's that bear the working copies' names.
        writeText(h.dir.path() / "mma_temp", "x");
        writeText(h.dir.path() / "j2mest_mmc", "x");

        // A close request during the fade-in is refused and does not start the fade-out.
        for (int i = 0; i < 5; ++i)
            w.fadeTick();
        QCOMPARE(w.fade().level(), 50);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(w.fade().direction() == WindowFade::Direction::In);

        while (w.fade().level() != 255)
            w.fadeTick();
        QCOMPARE(w.windowOpacity(), 1.0);
        QVERIFY(!w.splash()->isVisible());
        QVERIFY(!timer->isActive());
        QCOMPARE(timer->interval(), 30);

        // Closing now fades out: refused until the level reaches 0.
        QVERIFY(!w.close());
        QVERIFY(timer->isActive());
        QVERIFY(w.fade().direction() == WindowFade::Direction::Out);
        timer->stop();
        int ticks = 0;
        while (w.isVisible() && ticks < 100) {
            w.fadeTick();
            ++ticks;
        }
        QCOMPARE(ticks, 26);
        QVERIFY(!w.isVisible());
        QVERIFY(w.splash() == nullptr);
        QCOMPARE(readText(h.dir.path() / "mma_temp"), std::string("x"));
        QCOMPARE(readText(h.dir.path() / "j2mest_mmc"), std::string("x"));
        QVERIFY(h.prompter.prompts.empty());
    }

    void fadeRunsOnItsTimer()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        QTRY_COMPARE_WITH_TIMEOUT(w.fade().level(), 255, 5000);
        QCOMPARE(w.windowOpacity(), 1.0);
        w.close();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 5000);
    }
    void treeKeysAndDoubleClick()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* root = doc.menuRoot();
        insert(w, root, "Message", InsertPosition::AddSubitemLast);
        MenuNode* calc = insert(w, root, "Calculator", InsertPosition::AddSubitemLast);
        QVERIFY(calc);
        MenuTreeView* tree = w.tree();
        int editorRuns = 0;
        w.setItemEditorRunner([&](ItemPropertiesWindow&) {
            ++editorRuns;
            return false;
        });
        // The keys are shown in the tree's menu.
        QCOMPARE(child<QAction>(w, "modifyItemAction")->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(child<QAction>(w, "deleteItemAction")->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(child<QAction>(w, "moveUpAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Up));
        QCOMPARE(child<QAction>(w, "moveDownAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Down));

        tree->selectNode(calc);
        QTest::keyClick(tree, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(captionsUnder(root), (QStringList{"Calculator", "Message"}));
        QCOMPARE(tree->selectedNode(), calc);
        QTest::keyClick(tree, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(captionsUnder(root), (QStringList{"Message", "Calculator"}));

        const struct {
            Qt::Key key;
            int runs;
        } opens[] = {{Qt::Key_F2, 1}, {Qt::Key_Return, 2}, {Qt::Key_Enter, 3}};
        for (const auto& c : opens) {
            QTest::keyClick(tree, c.key);
            QCOMPARE(editorRuns, c.runs);
        }
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect calcRect = tree->visualRect(tree->menuModel().indexOfNode(calc));
        QVERIFY(calcRect.isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, calcRect.center());
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, calcRect.center());
        QCOMPARE(editorRuns, 4);
        // The Softkeys container is no item to modify: F2 does nothing there.
        tree->selectNode(doc.nodeAt(0));
        QTest::keyClick(tree, Qt::Key_F2);
        QCOMPARE(editorRuns, 4);

        tree->selectNode(calc);
        QTest::keyClick(tree, Qt::Key_Menu);
        auto* treeMenu = child<QMenu>(w, "treeMenu");
        QVERIFY(treeMenu->isVisible());
        treeMenu->close();
        // Nothing picked: the insert menu's first line says what to do.
        child<QComboBox>(w, "availableItems")->setCurrentIndex(-1);
        QTest::keyClick(tree, Qt::Key_Insert);
        auto* insertMenu = child<QMenu>(w, "availableItemsMenu");
        QVERIFY(insertMenu->isVisible());
        QAction* hint = child<QAction>(w, "pickFirstHint");
        QVERIFY(hint->isVisible() && !hint->isEnabled());
        QCOMPARE(hint->text(), QStringLiteral("Pick an item in \"Available mma items\" first"));
        insertMenu->close();

        // Delete asks the question of the menu entry first.
        h.prompter.answers = {Answer::No, Answer::Yes};
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(captionsUnder(root), (QStringList{"Message", "Calculator"}));
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(captionsUnder(root), (QStringList{"Message"}));
        QCOMPARE(h.prompter.prompts.size(), size_t(2));
        QCOMPARE(h.prompter.prompts[0].caption, std::string("Warning"));
        QCOMPARE(h.prompter.prompts[0].text, std::string(kDeleteQuestion));
    }

    void availableItemsOpenTheMenuOnlyOnAPick()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        w.newDocument();
        auto* box = child<AvailableItemsBox>(w, "availableItems");
        auto* popup = child<QMenu>(w, "availableItemsMenu");
        box->setCurrentIndex(entryIndex(w, "Calculator"));
        // Stepping through the closed box with the arrows only moves its entry.
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentIndex(), entryIndex(w, "Calculator") + 1);
        QVERIFY(!popup->isVisible());
        QTest::keyClick(box, Qt::Key_Up);
        QVERIFY(!popup->isVisible());
        // Enter picks the entry shown.
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(popup->isVisible());
        QCOMPARE(w.pickedEntry(), std::string("Calculator"));
        popup->close();
    }

    void resizingGrowsTheTreeAndThePlaceIsRemembered()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(w.minimumSize() != w.maximumSize());
        QWidget* panel = w.splitter()->widget(1);
        const int treeBefore = w.tree()->width();
        const int panelBefore = panel->width();
        w.resize(w.width() + 200, w.height() + 100);
        QTRY_COMPARE(w.tree()->width(), treeBefore + 200);
        QCOMPARE(panel->width(), panelBefore);
        // The user moves the splitter too.
        w.splitter()->setSizes({w.splitter()->sizes()[0] - 50, panelBefore + 50});
        const QList<int> sizes = w.splitter()->sizes();
        const QSize size = w.size();
        closeThroughTheFade(w);
        QVERIFY(!w.isVisible());
        const std::string ini = readText(h.dir.path() / "tessaro.ini");
        QVERIFY2(ini.find("[window]\r\nGeometry=") != std::string::npos, ini.c_str());

        WindowHarness again(nullptr, h.dir.path().string());
        MainWindow& w2 = again.start();
        w2.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w2));
        QCOMPARE(w2.size(), size);
        QTRY_COMPARE(w2.splitter()->sizes(), sizes);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
