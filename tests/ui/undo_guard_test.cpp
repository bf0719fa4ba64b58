// The main window's Edit → Undo / Redo, the modified mark in its title, and the question about
// unsaved changes before New, Open and closing.
#include <QAction>
#include <QComboBox>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>

#include "core/menu_document.h"
#include "edit/tree_edit.h"
#include "support/ui_harness.h"
#include "session/editor_session.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/main_window.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

const Prompt kSaveQuestion{MessageIcon::Question, "Confirmation", "Save changes to the menu?", true};

MenuNode* insert(MainWindow& w, MenuNode* at, const char* name, InsertPosition position)
{
    w.tree()->selectNode(at);
    auto* box = child<QComboBox>(w, "availableItems");
    box->setCurrentIndex(box->findText(QString::fromLatin1(name)));
    w.insertItem(position);
    for (MenuNode* n : w.context().menu.document.preorder())
        if (n->caption() == name)
            return n;
    return nullptr;
}

// A new document with PhoneBook > Message under the Menu Root: two steps to undo.
void newDocumentWithTwoItems(MainWindow& w)
{
    w.newDocument();
    MenuNode* book = insert(w, w.context().menu.document.menuRoot(), "PhoneBook",
                            InsertPosition::AddSubitemLast);
    insert(w, book, "Message", InsertPosition::AddSubitemLast);
}

} // namespace

class UndoGuardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void editMenuUndoesAndRedoesWithTheirNames()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        auto* undo = child<QAction>(w, "undoAction");
        auto* redo = child<QAction>(w, "redoAction");
        QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                                         QKeySequence(Qt::CTRL | Qt::Key_Y)}));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessaro v.0.6[*]"));
        newDocumentWithTwoItems(w);
        MenuDocument& doc = w.context().menu.document;
        QVERIFY(w.isWindowModified());
        QCOMPARE(undo->text(), QStringLiteral("&Undo Insert item"));
        QVERIFY(!redo->isEnabled());

        // Undo: Message goes, PhoneBook is selected and expanded as it was before the insert.
        MenuNode* book = doc.nodeAt(9);
        w.tree()->selectNode(book);
        undo->trigger();
        QCOMPARE(doc.nodeCount(), size_t(10));
        QCOMPARE(w.tree()->selectedNode(), doc.nodeAt(9));
        QCOMPARE(redo->text(), QStringLiteral("&Redo Insert item"));
        redo->trigger();
        QCOMPARE(doc.nodeCount(), size_t(11));
        QVERIFY(w.tree()->isExpanded(w.tree()->menuModel().indexOfNode(doc.nodeAt(9))));
        QCOMPARE(w.tree()->selectedNode(), doc.nodeAt(9));

        // A delete is one step; a save-mode click another, and the controls follow an undo.
        w.tree()->selectNode(doc.nodeAt(9));
        h.prompter.answers = {Answer::Yes};
        w.deleteItem();
        QCOMPARE(undo->text(), QStringLiteral("&Undo Delete item"));
        child<QRadioButton>(w, "recordSize22")->click();
        QCOMPARE(undo->text(), QStringLiteral("&Undo Change save mode"));
        undo->trigger();
        QVERIFY(child<QRadioButton>(w, "recordSize36")->isChecked());
        undo->trigger();
        QCOMPARE(captionsUnder(doc.menuRoot()), QStringList{"PhoneBook"});
        QCOMPARE(w.tree()->selectedNode(), doc.nodeAt(9));
        undo->trigger();
        undo->trigger();
        QCOMPARE(doc.nodeCount(), size_t(9));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("&Undo"));
        QVERIFY(!w.isWindowModified());
    }

    void saveClearsTheModifiedMark()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        newDocumentWithTwoItems(w);
        h.files.answers = {(h.dir.path() / "menu.mma").string()};
        QVERIFY(w.saveDocument());
        QVERIFY(!w.isWindowModified());
        child<QAction>(w, "undoAction")->trigger();
        QVERIFY(w.isWindowModified());
        child<QAction>(w, "redoAction")->trigger();
        QVERIFY(!w.isWindowModified());
    }

    void newAndOpenAskAboutUnsavedChanges()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        newDocumentWithTwoItems(w);
        const MenuDocument& doc = w.context().menu.document;

        // Cancel: nothing happens, not even the open dialog.
        h.prompter.answers = {Answer::Cancel, Answer::Cancel};
        w.newDocument();
        child<QAction>(w, "openAction")->trigger();
        QCOMPARE(doc.nodeCount(), size_t(11));
        QVERIFY(h.files.requests.empty());
        QVERIFY(w.isWindowModified());

        // Save with the save dialog cancelled: the action does not go on either.
        h.prompter.answers = {Answer::Save};
        h.files.answers = {""};
        w.newDocument();
        QCOMPARE(doc.nodeCount(), size_t(11));

        // Save that writes the file: the new document follows.
        const std::string saved = (h.dir.path() / "menu.mma").string();
        h.prompter.answers = {Answer::Save};
        h.files.answers = {saved};
        w.newDocument();
        QCOMPARE(doc.nodeCount(), size_t(9));
        QVERIFY(std::filesystem::exists(saved));
        QVERIFY(!w.isWindowModified());
        QVERIFY(!child<QAction>(w, "undoAction")->isEnabled());

        // Unchanged: no question. Discard throws the changes away.
        child<QAction>(w, "openAction")->trigger();  // open dialog cancelled (no answer queued)
        insert(w, doc.menuRoot(), "PhoneBook", InsertPosition::AddSubitemLast);
        h.prompter.answers = {Answer::Discard};
        h.files.answers = {saved};
        w.openDocument();
        QCOMPARE(doc.nodeCount(), size_t(11));
        QVERIFY(!w.isWindowModified());
        QCOMPARE(h.prompter.prompts, (std::vector<Prompt>(5, kSaveQuestion)));
    }

    void closingAsksAndCancelKeepsTheWindow()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        auto* timer = child<QTimer>(w, "fadeTimer");
        timer->stop();
        while (w.fade().level() != 255)
            w.fadeTick();
        newDocumentWithTwoItems(w);

        h.prompter.answers = {Answer::Cancel};
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(w.fade().direction() == WindowFade::Direction::In);
        QVERIFY(!timer->isActive());

        // Discard: the fade-out runs to the end without asking again.
        h.prompter.answers = {Answer::Discard};
        QVERIFY(!w.close());
        QVERIFY(w.fade().direction() == WindowFade::Direction::Out);
        timer->stop();
        for (int ticks = 0; w.isVisible() && ticks < 100; ++ticks)
            w.fadeTick();
        QVERIFY(!w.isVisible());
        QCOMPARE(h.prompter.prompts, (std::vector<Prompt>(2, kSaveQuestion)));
    }
};

QTEST_MAIN(UndoGuardTest)
#include "undo_guard_test.moc"
