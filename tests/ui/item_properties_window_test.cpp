// The item properties window: opened from "Modify item" and after a custom insert, titles
// entered through the entry dialog, fields checked as they are typed, OK stored on the node
// and shown in the item summary; the two entry dialogs.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include "core/menu_document.h"
#include "edit/tree_edit.h"
#include "support/ui_harness.h"
#include "session/editor_session.h"
#include "ui/available_items_box.h"
#include "ui/entry_dialogs.h"
#include "ui/gif_preview.h"
#include "ui/item_properties_window.h"
#include "ui/menu_tree_view.h"
#include "ui/main_window.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

QStringList rowTexts(QTreeWidget* list, int row)
{
    QTreeWidgetItem* item = list->topLevelItem(row);
    return {item->text(0), item->text(1), item->text(2)};
}

// Runs `body` on the window the main window opens; the window then counts as closed with OK
// when `body` clicked OK.
void answerEditor(MainWindow& w, int& opened, std::function<void(ItemPropertiesWindow&)> body)
{
    w.setItemEditorRunner([&opened, body](ItemPropertiesWindow& form) {
        ++opened;
        form.show();
        body(form);
        form.hide();
        return form.QDialog::result() == QDialog::Accepted;
    });
}

} // namespace

class ItemEditorTest : public QObject {
    Q_OBJECT

private:
    MenuNode* insert(MainWindow& w, MenuNode* at, const char* name)
    {
        w.tree()->selectNode(at);
        auto* box = child<QComboBox>(w, "availableItems");
        box->setCurrentIndex(box->findText(QString::fromLatin1(name)));
        w.insertItem(InsertPosition::AddSubitemLast);
        return w.tree()->selectedNode() != at ? w.tree()->selectedNode()
                                              : w.context().menu.document.preorder().back();
    }

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void applyStoresAStepThatCancelKeeps()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* node = insert(w, doc.menuRoot(), "Message");
        w.tree()->selectNode(node);
        int opened = 0;
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            form.setEntryRunner([](QWidget*, const EntryRequest&) {
                return std::optional<EntryAnswer>(EntryAnswer{0, QStringLiteral("Hi")});
            });
            child<QPushButton>(form, "addMenuTitleButton")->click();
            child<QPushButton>(form, "applyButton")->click();
            // Applied: in the document already, one step to take back.
            QVERIFY(doc.data().at(node->item.recordNo));
            QCOMPARE(w.history().undoName(), std::string("Modify item"));
            // A later change is what Cancel asks about and throws away.
            child<QCheckBox>(form, "protectedBox")->click();
            h.prompter.answers = {Answer::Yes};
            child<QPushButton>(form, "cancelButton")->click();
        });
        child<QAction>(w, "modifyItemAction")->trigger();
        QCOMPARE(h.prompter.prompts.back().text, std::string("Discard the changes to this item?"));
        const ItemDataBlock* block = doc.data().at(node->item.recordNo);
        QVERIFY(block && block->entries[0].titles[0].text == u"Hi");
        QCOMPARE(node->item.attributes, uint8_t(0x41));
        QCOMPARE(w.history().undoName(), std::string("Modify item"));
        w.undoStep();
        // An undo brings back copies of the nodes: the item is looked up again.
        QVERIFY(!doc.data().at(doc.menuRoot()->child(0)->item.recordNo));
        QCOMPARE(w.history().undoName(), std::string("Insert item"));
    }

    void modifyItemAddsATitleAndOkStoresIt()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* node = insert(w, doc.menuRoot(), "Message");
        QVERIFY(node && node->caption() == "Message");
        QCOMPARE(node->item.attributes, uint8_t(0x41));

        w.tree()->selectNode(node);
        w.updatePopupMenus();
        QAction* modify = child<QAction>(w, "modifyItemAction");
        QVERIFY(modify->isEnabled());

        int opened = 0;
        std::vector<EntryRequest> requests;
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("Item properties"));
            auto* pages = child<QTabWidget>(form, "pages");
            QCOMPARE(pages->currentWidget(), pages->widget(0));
            QCOMPARE(pages->tabText(0), QStringLiteral("Visual"));
            QVERIFY(pages->isTabVisible(1));
            QVERIFY(child<QGroupBox>(form, "iconGroup")->isEnabled());
            QVERIFY(child<QCheckBox>(form, "lockableBox")->isChecked());
            QVERIFY(child<QCheckBox>(form, "protectedBox")->isEnabled());
            QVERIFY(!child<QCheckBox>(form, "nonChangeableBox")->isEnabled());
            QVERIFY(!child<QPushButton>(form, "applyButton")->isEnabled());
            QVERIFY(!child<QPushButton>(form, "resetAllButton")->isEnabled());

            form.setEntryRunner([&](QWidget*, const EntryRequest& request) {
                requests.push_back(request);
                return std::optional<EntryAnswer>(EntryAnswer{9, QStringLiteral("Spiele")});
            });
            child<QPushButton>(form, "addMenuTitleButton")->click();
            auto* list = child<QTreeWidget>(form, "menuTitles");
            QCOMPARE(list->topLevelItemCount(), 1);
            QCOMPARE(rowTexts(list, 0), (QStringList{"#1", "0A", "Spiele"}));
            QVERIFY(child<QPushButton>(form, "applyButton")->isEnabled());
            QVERIFY(child<QPushButton>(form, "resetAllButton")->isEnabled());
            QVERIFY(child<QPushButton>(form, "editMenuTitleButton")->isEnabled());

            child<QCheckBox>(form, "protectedBox")->click();
            QCOMPARE(form.model().attributes(), uint8_t(0x61));
            child<QPushButton>(form, "okButton")->click();
        });
        modify->trigger();

        QCOMPARE(opened, 1);
        QCOMPARE(requests.size(), size_t(1));
        QVERIFY(!requests[0].showText);
        QCOMPARE(requests[0].language, 0);  // "English US" until the first Edit
        const ItemDataBlock* block = doc.data().at(node->item.recordNo);
        QVERIFY(block);
        QCOMPARE(block->owner, node->item.recordNo);
        QCOMPARE(block->entries.size(), size_t(1));
        QCOMPARE(block->entries[0].kind, kind::MenuTitle);
        QCOMPARE(block->entries[0].titles.size(), size_t(1));
        QCOMPARE(block->entries[0].titles[0].language, uint8_t(10));
        QVERIFY(block->entries[0].titles[0].text == u"Spiele");
        QVERIFY(node->item.hasData);
        QCOMPARE(node->item.dataLength, uint16_t(3 + 1 + 4 + 14));
        QCOMPARE(node->item.options, uint8_t(0x08));
        QCOMPARE(node->item.attributes, uint8_t(0x61));
        QCOMPARE(child<QPlainTextEdit>(w, "itemSummary")->toPlainText(),
                 QStringLiteral("Item summary:\n\nName in menu modified"));

        // Opened again: the title is loaded; Edit remembers its language for the dialog.
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            auto* list = child<QTreeWidget>(form, "menuTitles");
            QCOMPARE(list->topLevelItemCount(), 1);
            QVERIFY(child<QPushButton>(form, "resetAllButton")->isEnabled());
            list->setCurrentItem(list->topLevelItem(0));
            form.setEntryRunner([&](QWidget*, const EntryRequest& request) {
                requests.push_back(request);
                return std::optional<EntryAnswer>();  // Cancel changes nothing
            });
            child<QPushButton>(form, "editMenuTitleButton")->click();
            QCOMPARE(rowTexts(list, 0), (QStringList{"#1", "0A", "Spiele"}));
            child<QPushButton>(form, "deleteMenuTitleButton")->click();
            QCOMPARE(list->topLevelItemCount(), 0);
            QVERIFY(!child<QPushButton>(form, "editMenuTitleButton")->isEnabled());
            child<QPushButton>(form, "okButton")->click();
        });
        modify->trigger();
        QCOMPARE(requests.size(), size_t(2));
        QCOMPARE(requests[1].language, 9);
        QCOMPARE(requests[1].text, QStringLiteral("Spiele"));
        // Everything emptied: the block is freed.
        QVERIFY(!doc.data().at(node->item.recordNo));
        QVERIFY(!node->item.hasData);
        QCOMPARE(node->item.dataLength, uint16_t(0));
        QCOMPARE(child<QPlainTextEdit>(w, "itemSummary")->toPlainText(),
                 QStringLiteral("Item summary:\n\n[Not modified]"));
    }

    void softkeyAndContainerOpenings()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        int opened = 0;
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            QVERIFY(!child<QGroupBox>(form, "iconGroup")->isEnabled());
            QVERIFY(!child<QPushButton>(form, "animatedIconPicker")->isEnabled());
            QVERIFY(!child<QCheckBox>(form, "protectedBox")->isEnabled());
            QVERIFY(child<QCheckBox>(form, "nonChangeableBox")->isEnabled());
            child<QPushButton>(form, "cancelButton")->click();
        });
        w.tree()->selectNode(doc.nodeAt(1));
        w.modifyItem();
        QCOMPARE(opened, 1);

        MenuNode* folder = insert(w, doc.menuRoot(), "Message");
        insert(w, folder, "PhoneBook");
        QCOMPARE(folder->item.itemType, uint8_t(kTypeContainer));
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            auto* pages = child<QTabWidget>(form, "pages");
            QVERIFY(!pages->isTabVisible(1));
            QVERIFY(!child<QComboBox>(form, "functionChoice")->isEnabled());
            child<QPushButton>(form, "cancelButton")->click();
        });
        w.tree()->selectNode(folder);
        w.modifyItem();
        QCOMPARE(opened, 2);
        QCOMPARE(folder->item.itemType, uint8_t(kTypeContainer));
    }

    void customInsertOpensTheWindowAndShortcutIsStored()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        int opened = 0;
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            auto* choice = child<QComboBox>(form, "functionChoice");
            QCOMPARE(choice->itemText(4), QStringLiteral("Shortcut"));
            choice->setCurrentIndex(4);
            Q_EMIT choice->activated(4);
            auto* pages = child<QTabWidget>(form, "pages");
            QCOMPARE(pages->currentIndex(), 1);
            auto* shortcutData = child<QLineEdit>(form, "shortcutDataField");
            QVERIFY(shortcutData->isEnabled());
            QCOMPARE(shortcutData->maxLength(), 25);
            QTest::keyClicks(shortcutData, "ABC");
            child<QPushButton>(form, "okButton")->click();
        });
        MenuNode* node = insert(w, doc.menuRoot(), "Custom item");
        QCOMPARE(opened, 1);
        QCOMPARE(node->caption(), std::string("~1"));
        QCOMPARE(node->item.itemType, uint8_t(9));
        QCOMPARE(node->item.attributes, uint8_t(0x60));
        QCOMPARE(node->item.options, uint8_t(0x18));
        const ItemDataBlock* block = doc.data().at(node->item.recordNo);
        QVERIFY(block && block->entries.size() == 1);
        QCOMPARE(block->entries[0].kind, kind::ShortcutData);
        QCOMPARE(block->entries[0].bytes[0], uint8_t('A'));
        QCOMPARE(block->entries[0].bytes[3], uint8_t(0));
        QCOMPARE(node->item.dataLength, uint16_t(28));
        QCOMPARE(child<QPlainTextEdit>(w, "itemSummary")->toPlainText(),
                 QStringLiteral("Item summary:\n\nShortcut data"));
    }

    void thePageStaysWhereTheUserTurnedIt()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        int opened = 0;
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            auto* pages = child<QTabWidget>(form, "pages");
            auto* choice = child<QComboBox>(form, "functionChoice");
            choice->setCurrentIndex(4);
            Q_EMIT choice->activated(4);  // "Shortcut" turns to the Function page
            QCOMPARE(pages->currentIndex(), 1);
            pages->setCurrentIndex(0);
            child<QCheckBox>(form, "lockableBox")->click();
            form.setEntryRunner([](QWidget*, const EntryRequest&) {
                return std::optional<EntryAnswer>(EntryAnswer{0, QStringLiteral("Hi")});
            });
            child<QPushButton>(form, "addMenuTitleButton")->click();
            QCOMPARE(pages->currentIndex(), 0);
            pages->setCurrentIndex(1);
            QTest::keyClicks(child<QLineEdit>(form, "shortcutDataField"), "AB");
            QCOMPARE(pages->currentIndex(), 1);
            choice->setCurrentIndex(0);
            Q_EMIT choice->activated(0);  // "[None]" turns back to the Visual page
            QCOMPARE(pages->currentIndex(), 0);
            child<QPushButton>(form, "okButton")->click();
        });
        insert(w, w.context().menu.document.menuRoot(), "Custom item");
        QCOMPARE(opened, 1);
    }

    void cancelAsksBeforeThrowingChangesAway()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* node = insert(w, doc.menuRoot(), "Message");
        w.tree()->selectNode(node);
        int opened = 0;
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            // Unchanged: Cancel closes without a question.
            child<QPushButton>(form, "cancelButton")->click();
            QVERIFY(form.isHidden());
            QVERIFY(h.prompter.prompts.empty());
        });
        w.modifyItem();
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            child<QCheckBox>(form, "protectedBox")->click();
            h.prompter.answers = {Answer::No, Answer::Yes};
            QTest::keyClick(&form, Qt::Key_Escape);
            QVERIFY(form.isVisible());
            child<QPushButton>(form, "cancelButton")->click();
            QVERIFY(form.isHidden());
        });
        w.modifyItem();
        QCOMPARE(opened, 2);
        const Prompt asked{MessageIcon::Question, "Confirmation", "Discard the changes to this item?", true};
        QCOMPARE(h.prompter.prompts, (std::vector<Prompt>{asked, asked}));
        QCOMPARE(node->item.attributes, uint8_t(0x41));
        QVERIFY(!w.history().canUndo() || w.history().undoName() != "Modify item");
    }

    void typedFieldsAreChecked()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* node = insert(w, doc.menuRoot(), "Message");
        int opened = 0;
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            auto* path = child<QLineEdit>(form, "animatedIconField");
            path->setText(QStringLiteral("/d/x"));
            Q_EMIT path->textEdited(path->text());
            QCOMPARE(path->text(), QString());
            path->setText(QStringLiteral("/a/picture/icon_1.gif"));
            Q_EMIT path->textEdited(path->text());
            QCOMPARE(path->text(), QStringLiteral("/a/picture/icon_1.gif"));
            QVERIFY(child<GifPreview>(form, "animatedIconPreview")->isVisible());
            // Without a phone the FS picker stays off; DRM turns it on.
            QVERIFY(!child<QPushButton>(form, "staticIconPicker")->isEnabled());
            auto* source = child<QGroupBox>(form, "staticIconSource");
            source->findChildren<QRadioButton*>().at(1)->click();
            QVERIFY(child<QPushButton>(form, "staticIconPicker")->isEnabled());
            auto* drm = child<QLineEdit>(form, "staticIconField");
            drm->setText(QStringLiteral("4001"));
            Q_EMIT drm->textEdited(drm->text());
            QCOMPARE(drm->text(), QString());
            child<QPushButton>(form, "okButton")->click();
        });
        w.tree()->selectNode(node);
        w.modifyItem();
        const auto& prompts = h.prompter.prompts;
        QCOMPARE(prompts.size(), size_t(2));
        QCOMPARE(prompts[0].caption, std::string("Input format error"));
        QCOMPARE(prompts[0].icon, MessageIcon::Error);
        QCOMPARE(prompts[0].text,
                 std::string("Invalid volume letter. Expecting a,b,c,e\r\nInput will be ignored"));
        QCOMPARE(prompts[1].text, std::string("Value too big\r\nInput will be ignored"));
        const ItemDataBlock* block = doc.data().at(node->item.recordNo);
        QVERIFY(block && block->entries.size() == 1);
        QCOMPARE(block->entries[0].kind, kind::FileIcon);
        QCOMPARE(block->entries[0].role, kRoleAnimated);
        QCOMPARE(child<QPlainTextEdit>(w, "itemSummary")->toPlainText(),
                 QStringLiteral("Item summary:\n\nIcon(s) modified [source: file]"));
    }

    void fsPickerPutsThePhonePathIntoTheField()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        MenuNode* node = insert(w, doc.menuRoot(), "Message");
        w.context().link.connected = true;
        int opened = 0;
        std::vector<bool> asked;
        answerEditor(w, opened, [&](ItemPropertiesWindow& form) {
            form.setPhoneFilePicker([&](QWidget*, bool animatedIcon) {
                asked.push_back(animatedIcon);
                return std::optional<std::string>(animatedIcon ? "/a/picture/anim.gif" : "/d/x");
            });
            auto* animatedPicker = child<QPushButton>(form, "animatedIconPicker");
            QVERIFY(animatedPicker->isEnabled());
            animatedPicker->click();
            QCOMPARE(child<QLineEdit>(form, "animatedIconField")->text(), QStringLiteral("/a/picture/anim.gif"));
            child<QPushButton>(form, "listIconPicker")->click();
            QCOMPARE(child<QLineEdit>(form, "listIconField")->text(), QString());
            child<QPushButton>(form, "okButton")->click();
        });
        w.tree()->selectNode(node);
        w.modifyItem();
        QCOMPARE(asked, (std::vector<bool>{true, false}));
        QCOMPARE(h.prompter.texts(),
                 (std::vector<std::string>{"Invalid volume letter. Expecting a,b,c,e\r\nInput will be ignored"}));
        const ItemDataBlock* block = doc.data().at(node->item.recordNo);
        QVERIFY(block && block->entries.size() == 1);
        QVERIFY(block->entries[0].path == u"/a/picture/anim.gif");
    }

    void entryDialogs()
    {
        TitleEntryDialog name;
        QCOMPARE(name.windowTitle(), QStringLiteral("Name settings"));
        name.prepare(5, QStringLiteral("Hallo"));
        auto* languages = child<QComboBox>(name, "languageChoice");
        QCOMPARE(languages->count(), 47);
        QCOMPARE(languages->itemText(0), QStringLiteral("English US"));
        QCOMPARE(name.language(), 5);
        QCOMPARE(child<QLineEdit>(name, "titleField")->text(), QStringLiteral("Hallo"));

        TextEntryDialog text;
        QCOMPARE(text.windowTitle(), QStringLiteral("Text editor "));
        text.prepare(0, QString());
        auto* memo = child<QPlainTextEdit>(text, "textField");
        memo->setPlainText(QStringLiteral("one\ntwo") + QString(500, QLatin1Char('x')));
        QCOMPARE(memo->toPlainText().size(), 400);
        QVERIFY(text.text().startsWith(QStringLiteral("onetwo")));

        // The real dialog, answered by a timer.
        QTimer::singleShot(0, [] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* form = qobject_cast<TitleEntryDialog*>(top); form && form->isVisible()) {
                    child<QLineEdit>(*form, "titleField")->setText(QStringLiteral("Neu"));
                    form->accept();
                }
        });
        const auto answer = runEntryDialog(nullptr, {false, 3, QString()});
        QVERIFY(answer);
        QCOMPARE(answer->language, 3);
        QCOMPARE(answer->text, QStringLiteral("Neu"));
    }
};

QTEST_MAIN(ItemEditorTest)
#include "item_properties_window_test.moc"
