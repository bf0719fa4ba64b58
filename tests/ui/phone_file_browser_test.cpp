// The phone file browser window and its three dialogs over a virtual phone: controls and
// captions, choosing a folder and a file, the path handed back, an upload and a delete
// through injected dialogs, Ctrl+A, and the dialogs' results.
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>

#include "phone/listing.h"
#include "p2k/operation_log.h"
#include "phone/phone_context.h"
#include "p2k/virtual_phone.h"
#include "support/recording_phone.h"
#include "support/recording_progress.h"
#include "support/recording_prompter.h"
#include "support/temp_dir.h"
#include "support/ui_harness.h"
#include "ui/browser_dialogs.h"
#include "ui/phone_file_browser.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

// Answers the browser's platform dialogs from fixed values and records what was asked.
class FakeChoices : public BrowserChoices {
public:
    std::vector<std::string> openFiles(const FileDialogRequest& request) override
    {
        asked.push_back(request.title + "|" + request.filter);
        return files;
    }
    std::string saveFile(const FileDialogRequest& request) override
    {
        asked.push_back(request.title + "|" + request.filter + "|" + request.fileName);
        return saveTo;
    }
    std::string chooseFolder(const std::string& caption, const std::string&) override
    {
        asked.push_back(caption);
        return folder;
    }
    std::optional<std::string> askText(const std::string& title, const std::string& label) override
    {
        asked.push_back(title + "|" + label);
        return text;
    }

    std::vector<std::string> files;
    std::string saveTo;
    std::string folder;
    std::optional<std::string> text;
    std::vector<std::string> asked;
};

// A plugged-in virtual phone with volumes a and c and three pictures.
struct Browser {
    Browser()
    {
        const auto dir = temp.path() / "phone";
        std::filesystem::create_directories(dir / "c");
        writeText(dir / "phone.json",
                  "{\"model\": \"E398\", \"firmware\": \"R373_G_0E.30.49R\", \"lp\": 1, \"imei\": \"312345678901234\"}\n");
        put("/a/mobile/picture/x.gif", "GIF89a-x");
        put("/a/mobile/picture/y.gif", "GIF89a-yy");
        put("/c/w.gif", "GIF89a-www");
        auto phone = openVirtualPhone(dir.string());
        phone->plug();
        api = std::make_unique<RecordingPhone>(std::move(phone));
        link.connected = true;
        context = std::make_unique<PhoneContext>(
            PhoneContext{*api, link, log, progress, prompter, temp.path().string() + "/"});
    }
    void put(const std::string& phonePath, const std::string& text) const
    {
        const auto file = temp.path() / "phone" / phonePath.substr(1);
        std::filesystem::create_directories(file.parent_path());
        writeText(file, text);
    }
    std::filesystem::path phoneFile(const std::string& phonePath) const
    {
        return temp.path() / "phone" / phonePath.substr(1);
    }

    TempDir temp;
    std::unique_ptr<RecordingPhone> api;
    PhoneLinkState link;
    OperationLog log;
    RecordingProgressFactory progress;
    RecordingPrompter prompter;
    std::unique_ptr<PhoneContext> context;
    PhoneContext& phone() { return *context; }
    BrowserState state;
    BrowserDialogs dialogs;
    FakeChoices choices;
};

QTreeWidgetItem* folderItem(PhoneFileBrowser& viewer, const QStringList& names)
{
    auto* tree = child<QTreeWidget>(viewer, "folderTree");
    QTreeWidgetItem* item = tree->topLevelItem(0);
    for (const auto& name : names) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; item && i < item->childCount(); ++i)
            if (item->child(i)->text(0) == name)
                next = item->child(i);
        item = next;
    }
    return item;
}

void clickItem(QTreeWidget* view, QTreeWidgetItem* item)
{
    view->scrollToItem(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
}

QStringList rowTexts(PhoneFileBrowser& viewer, int column)
{
    auto* list = child<QTreeWidget>(viewer, "fileList");
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(column);
    return out;
}

QStringList menuTexts(QMenu* menu)
{
    QStringList out;
    for (auto* a : menu->actions())
        out << a->text();
    return out;
}

} // namespace

class PhoneFileBrowserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void controlsAndCaptions()
    {
        Browser b;
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.buildTree();
        viewer.show();
        QCOMPARE(viewer.windowTitle(), QStringLiteral("Picture Picker"));
        auto* list = child<QTreeWidget>(viewer, "fileList");
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("File"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("File Size"));
        QCOMPARE(list->headerItem()->text(2), QStringLiteral("Attr"));
        QCOMPARE(child<QTreeWidget>(viewer, "folderTree")->topLevelItem(0)->text(0), QStringLiteral("Phone"));
        QCOMPARE(child<QLabel>(viewer, "iconPathLabel")->text(), QStringLiteral("Icon path/name:"));
        QVERIFY(child<QLineEdit>(viewer, "iconPathField")->isReadOnly());
        QCOMPARE(child<QCheckBox>(viewer, "usePathBox")->text(), QStringLiteral("Use path"));
        QVERIFY(!child<QLineEdit>(viewer, "usePathField")->isEnabled());
        QCOMPARE(child<QPushButton>(viewer, "updateButton")->text(), QStringLiteral("&Update file list"));
        QVERIFY(child<QToolButton>(viewer, "listingModeButton"));
        QCOMPARE(menuTexts(child<QMenu>(viewer, "listingModeMenu")),
                 (QStringList{"Icons only", "All files", "By mask..."}));
        QVERIFY(child<QAction>(viewer, "IconsOnly")->isChecked());
        QCOMPARE(menuTexts(child<QMenu>(viewer, "fileMenu")),
                 (QStringList{"Upload to this folder", "Download selected", "Delete selected", "Set attribute"}));
        QCOMPARE(menuTexts(child<QMenu>(viewer, "folderMenu")), (QStringList{"Create folder", "Delete folder"}));
        QCOMPARE(child<QPushButton>(viewer, "okButton")->text(), QStringLiteral("&OK"));
        QVERIFY(child<QPushButton>(viewer, "okButton")->isDefault());
        QCOMPARE(child<QPushButton>(viewer, "cancelButton")->text(), QStringLiteral("&Cancel"));
    }

    void deepFolderNamesAndFreeSpaceReadWholeAtTheDefaultSize()
    {
        Browser b;
        for (const char* folder : {"kjava", "picture", "system"})
            b.put(std::string("/a/mobile/") + folder + "/deeper/still/i.gif", "GIF89a");
        QVERIFY(listPhoneFiles(b.phone(), b.state, ListingMode::IconsOnly));
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.buildTree();
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCOMPARE(viewer.size(), QSize(560, 400));
        auto* tree = child<QTreeWidget>(viewer, "folderTree");
        tree->expandAll();

        QVERIFY(!tree->isHeaderHidden());
        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Folder"));
        QCOMPARE(tree->headerItem()->text(1), QStringLiteral("Free space"));
        QCOMPARE(tree->header()->sectionResizeMode(1), QHeaderView::Interactive);
        const QFontMetrics metrics(tree->font());
        // The item's text margins on either side.
        const int margins = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        // Column 0 starts each item one indentation further in per level.
        const auto wholeText = [&](QTreeWidgetItem* item, int column) {
            int depth = 0;
            for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
                ++depth;
            const int indent = column == 0 ? (depth + 1) * tree->indentation() : 0;
            return tree->columnWidth(column) >= indent + metrics.horizontalAdvance(item->text(column)) + margins;
        };
        const QString free = QLocale().formattedDataSize(qint64(b.state.freeBytes.at('a')));
        QTreeWidgetItem* volume = folderItem(viewer, {"a"});
        QCOMPARE(volume->text(1), free);
        QVERIFY(wholeText(volume, 1));
        QCOMPARE(volume->toolTip(1), free + QStringLiteral(" free"));
        for (const char* name : {"kjava", "picture", "system"}) {
            const QStringList path{"a", "mobile", QString::fromLatin1(name), "deeper", "still"};
            for (qsizetype depth = 1; depth <= path.size(); ++depth) {
                QTreeWidgetItem* item = folderItem(viewer, path.first(depth));
                QVERIFY2(item && wholeText(item, 0), qPrintable(path.first(depth).join(u'/')));
                QCOMPARE(item->toolTip(0), u'/' + path.first(depth).join(u'/'));
            }
        }
        // The columns are wider than the pane: the tree scrolls sideways.
        QVERIFY(tree->horizontalScrollBar()->maximum() > 0);
    }

    void folderFileAndRoot()
    {
        Browser b;
        QVERIFY(listPhoneFiles(b.phone(), b.state, ListingMode::IconsOnly));
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.buildTree();
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        auto* tree = child<QTreeWidget>(viewer, "folderTree");
        QTreeWidgetItem* picture = folderItem(viewer, {"a", "mobile", "picture"});
        QVERIFY(picture);
        clickItem(tree, picture);
        QCOMPARE(rowTexts(viewer, 0), (QStringList{"x.gif", "y.gif"}));
        QCOMPARE(rowTexts(viewer, 1), (QStringList{"8", "9"}));
        QCOMPARE(rowTexts(viewer, 2), (QStringList{"[]", "[]"}));
        auto* list = child<QTreeWidget>(viewer, "fileList");
        clickItem(list, list->topLevelItem(1));
        QCOMPARE(child<QLineEdit>(viewer, "iconPathField")->text(), QStringLiteral("/a/mobile/picture/y.gif"));

        // Ctrl+A selects every file.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(viewer.model().selection(), (std::vector<int>{0, 1}));

        clickItem(tree, tree->topLevelItem(0));
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(!viewer.model().hasFolder());
        QVERIFY(tree->selectedItems().isEmpty());
        QCOMPARE(child<QLineEdit>(viewer, "iconPathField")->text(), QString());
    }

    void pickListsFirstAndReturnsTheClickedPath()
    {
        Browser b;
        QTimer::singleShot(0, this, [this] {
            auto* viewer = qobject_cast<PhoneFileBrowser*>(QApplication::activeModalWidget());
            QVERIFY(viewer);
            clickItem(child<QTreeWidget>(*viewer, "folderTree"), folderItem(*viewer, {"c"}));
            auto* list = child<QTreeWidget>(*viewer, "fileList");
            QCOMPARE(list->topLevelItemCount(), 1);
            clickItem(list, list->topLevelItem(0));
            QTest::mouseClick(child<QPushButton>(*viewer, "okButton"), Qt::LeftButton);
        });
        QWidget owner;
        QCOMPARE(pickPhoneFile(&owner, b.phone(), b.state, b.dialogs, b.choices, false),
                 std::optional<std::string>("/c/w.gif"));
        QCOMPARE(b.state.chosenPath, std::string("/c/w.gif"));
        QCOMPARE(b.state.files.size(), size_t(3));

        // The list is there now: no listing, and Cancel gives nothing.
        b.api->clearRequests();
        QTimer::singleShot(0, this, [] {
            auto* viewer = qobject_cast<PhoneFileBrowser*>(QApplication::activeModalWidget());
            QVERIFY(viewer);
            QTest::mouseClick(child<QPushButton>(*viewer, "cancelButton"), Qt::LeftButton);
        });
        QCOMPARE(pickPhoneFile(&owner, b.phone(), b.state, b.dialogs, b.choices, true), std::nullopt);
        QVERIFY(b.api->requests().empty());
        QCOMPARE(b.state.chosenPath, std::string());
    }

    void arrowKeysPickAndEnterIsOk()
    {
        Browser b;
        QTimer::singleShot(0, this, [this] {
            auto* viewer = qobject_cast<PhoneFileBrowser*>(QApplication::activeModalWidget());
            QVERIFY(viewer);
            clickItem(child<QTreeWidget>(*viewer, "folderTree"), folderItem(*viewer, {"a", "mobile", "picture"}));
            auto* list = child<QTreeWidget>(*viewer, "fileList");
            auto* path = child<QLineEdit>(*viewer, "iconPathField");
            QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(path->text(), QStringLiteral("/a/mobile/picture/x.gif"));
            QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(path->text(), QStringLiteral("/a/mobile/picture/y.gif"));
            QTest::keyClick(list, Qt::Key_Return);
        });
        QWidget owner;
        QCOMPARE(pickPhoneFile(&owner, b.phone(), b.state, b.dialogs, b.choices, false),
                 std::optional<std::string>("/a/mobile/picture/y.gif"));
    }

    void uploadAndDeleteThroughTheInjectedDialogs()
    {
        Browser b;
        QVERIFY(listPhoneFiles(b.phone(), b.state, ListingMode::IconsOnly));
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.buildTree();
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        clickItem(child<QTreeWidget>(viewer, "folderTree"), folderItem(viewer, {"c"}));

        const std::string local = b.temp.file("new.gif");
        writeText(local, "GIF89a-new");
        b.choices.files = {local};
        child<QAction>(viewer, "Upload")->trigger();
        QCOMPARE(b.choices.asked, (std::vector<std::string>{"Select file|GIF files|*.gif|All files|*.*"}));
        QCOMPARE(readText(b.phoneFile("/c/new.gif")), std::string("GIF89a-new"));
        QCOMPARE(rowTexts(viewer, 0), (QStringList{"w.gif", "new.gif"}));
        QCOMPARE(rowTexts(viewer, 1), (QStringList{"10", "10"}));

        auto* list = child<QTreeWidget>(viewer, "fileList");
        clickItem(list, list->topLevelItem(0));
        b.prompter.answers = {Answer::Yes};
        QVERIFY(viewer.model().hasFolder());
        QCOMPARE(viewer.model().selection(), std::vector<int>{0});
        child<QAction>(viewer, "Delete")->trigger();
        QCOMPARE(b.prompter.prompts.size(), size_t(1));
        QCOMPARE(b.prompter.prompts[0].caption, std::string("Confirmation"));
        QCOMPARE(b.prompter.prompts[0].text, std::string("Delete w.gif?"));
        QVERIFY(!std::filesystem::exists(b.phoneFile("/c/w.gif")));
        QCOMPARE(rowTexts(viewer, 0), (QStringList{"new.gif"}));
        QCOMPARE(child<QLineEdit>(viewer, "iconPathField")->text(), QString());
    }

    void uploadOverAnExistingFileAsksFirst()
    {
        Browser b;
        QVERIFY(listPhoneFiles(b.phone(), b.state, ListingMode::IconsOnly));
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.buildTree();
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        clickItem(child<QTreeWidget>(viewer, "folderTree"), folderItem(viewer, {"c"}));
        const std::string local = b.temp.file("w.gif");
        writeText(local, "GIF89a-new");
        b.choices.files = {local};

        b.prompter.answers = {Answer::No};
        child<QAction>(viewer, "Upload")->trigger();
        QCOMPARE(b.prompter.texts(), (std::vector<std::string>{"File /c/w.gif already exists\r\nOverwrite it?"}));
        QCOMPARE(b.prompter.prompts[0].caption, std::string("Confirmation"));
        QCOMPARE(readText(b.phoneFile("/c/w.gif")), std::string("GIF89a-www"));

        b.prompter.answers = {Answer::Yes};
        child<QAction>(viewer, "Upload")->trigger();
        QCOMPARE(readText(b.phoneFile("/c/w.gif")), std::string("GIF89a-new"));
        // The file written over keeps its one row.
        QCOMPARE(rowTexts(viewer, 0), (QStringList{"w.gif"}));
    }

    void downloadCreateFolderAndMaskMenu()
    {
        Browser b;
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.show();
        // No listing yet: the volumes are unknown and "By mask..." is off.
        QVERIFY(!child<QAction>(viewer, "ByMask")->isEnabled());
        QVERIFY(listPhoneFiles(b.phone(), b.state, ListingMode::IconsOnly));
        viewer.buildTree();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        clickItem(child<QTreeWidget>(viewer, "folderTree"), folderItem(viewer, {"a", "mobile", "picture"}));
        auto* list = child<QTreeWidget>(viewer, "fileList");
        clickItem(list, list->topLevelItem(0));
        b.choices.saveTo = b.temp.file("got.gif");
        child<QAction>(viewer, "Download")->trigger();
        QCOMPARE(b.choices.asked.back(), std::string("Save file as|GIF files|*.gif|All files|*.*|x.gif"));
        QCOMPARE(readText(b.choices.saveTo), std::string("GIF89a-x"));

        b.choices.text = "sub";
        child<QAction>(viewer, "CreateFolder")->trigger();
        QCOMPARE(b.choices.asked.back(), std::string("New folder|Type in new folder name"));
        QVERIFY(std::filesystem::is_directory(b.phoneFile("/a/mobile/picture/sub")));
        QTreeWidgetItem* sub = folderItem(viewer, {"a", "mobile", "picture", "sub"});
        QVERIFY(sub);
        QCOMPARE(child<QTreeWidget>(viewer, "folderTree")->currentItem(), sub);
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(child<QAction>(viewer, "ByMask")->isEnabled());   // the listing read the volumes
    }

    void treeKeepsOpenFoldersAndSelectionAfterUpdateAndFolderDelete()
    {
        Browser b;
        b.put("/c/e/x.gif", "GIF89a-e");
        QVERIFY(listPhoneFiles(b.phone(), b.state, ListingMode::IconsOnly));
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.buildTree();
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        auto* tree = child<QTreeWidget>(viewer, "folderTree");
        folderItem(viewer, {"c"})->setExpanded(true);
        clickItem(tree, folderItem(viewer, {"a", "mobile", "picture"}));

        const auto check = [&](const QStringList& current) {
            for (const QStringList& open : {QStringList{"a"}, QStringList{"a", "mobile"}, QStringList{"c"}})
                QVERIFY2(folderItem(viewer, open)->isExpanded(), qPrintable(open.join(u'/')));
            QCOMPARE(tree->currentItem(), folderItem(viewer, current));
            QCOMPARE(viewer.model().selectedFolder(),
                     viewer.model().findFolder("/" + current.join(u'/').toStdString()));
        };
        child<QPushButton>(viewer, "updateButton")->click();
        check({"a", "mobile", "picture"});
        b.choices.text = "sub";
        child<QAction>(viewer, "CreateFolder")->trigger();
        check({"a", "mobile", "picture", "sub"});
        b.prompter.answers = {Answer::Yes};
        child<QAction>(viewer, "DeleteFolder")->trigger();
        QCOMPARE(b.prompter.prompts.back().text,
                 std::string("Delete folder /a/mobile/picture/sub with its 0 files and 0 folders?"));
        check({"a", "mobile", "picture"});
        QCOMPARE(rowTexts(viewer, 0), (QStringList{"x.gif", "y.gif"}));

        // No keeps the folder and all it holds.
        clickItem(tree, folderItem(viewer, {"a", "mobile"}));
        child<QAction>(viewer, "DeleteFolder")->trigger();
        QCOMPARE(b.prompter.prompts.back().text, std::string("Delete folder /a/mobile with its 2 files and 1 folder?"));
        check({"a", "mobile"});
        QVERIFY(std::filesystem::exists(b.phoneFile("/a/mobile/picture/x.gif")));
    }

    void downloadProposesThePhoneNameAsWindowText()
    {
        Browser b;
        b.put("/c/e/\xE9t\xE9.gif", "GIF89a-e");   // 8-bit name: e-acute t e-acute
        QVERIFY(listPhoneFiles(b.phone(), b.state, ListingMode::IconsOnly));
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.buildTree();
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        clickItem(child<QTreeWidget>(viewer, "folderTree"), folderItem(viewer, {"c", "e"}));
        auto* list = child<QTreeWidget>(viewer, "fileList");
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("\u00E9t\u00E9.gif"));
        clickItem(list, list->topLevelItem(0));
        b.choices.saveTo = b.temp.file("e.gif");
        child<QAction>(viewer, "Download")->trigger();
        // The dialog gets the same characters (UTF-8 here), not the raw phone bytes.
        QCOMPARE(b.choices.asked.back(), std::string("Save file as|GIF files|*.gif|All files|*.*|\xC3\xA9t\xC3\xA9.gif"));
        QCOMPARE(readText(b.choices.saveTo), std::string("GIF89a-e"));
    }

    void uploadToTheRootWithoutUsePathIsRefused()
    {
        Browser b;
        QVERIFY(listPhoneFiles(b.phone(), b.state, ListingMode::IconsOnly));
        PhoneFileBrowser viewer(b.phone(), b.state, b.dialogs, b.choices);
        viewer.buildTree();
        viewer.show();
        const std::string local = b.temp.file("new.gif");
        writeText(local, "GIF89a");
        b.choices.files = {local};
        viewer.uploadFiles();
        QCOMPARE(b.prompter.texts(), (std::vector<std::string>{"Target directory not specified"}));

        // With "Use path" and a typed folder, the folder's nodes appear.
        std::filesystem::create_directories(b.phoneFile("/a/up"));
        auto* use = child<QCheckBox>(viewer, "usePathBox");
        use->setChecked(true);
        auto* usePathField = child<QLineEdit>(viewer, "usePathField");
        QVERIFY(usePathField->isEnabled());
        usePathField->clear();
        QTest::keyClicks(usePathField, QStringLiteral("/a/up"));
        viewer.uploadFiles();
        QVERIFY(std::filesystem::exists(b.phoneFile("/a/up/new.gif")));
        QVERIFY(folderItem(viewer, {"a", "up"}));
    }

    void deleteDialogResults()
    {
        DeleteConfirmDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirmation"));
        QCOMPARE(child<QLabel>(dialog, "questionLabel")->text(), QStringLiteral("Delete selected files?"));
        const std::pair<const char*, DeleteAnswer> buttons[] = {{"yesButton", DeleteAnswer::Yes},
                                                                {"yesToAllButton", DeleteAnswer::YesToAll},
                                                                {"skipButton", DeleteAnswer::Skip},
                                                                {"cancelButton", DeleteAnswer::Cancel}};
        for (const auto& [name, answer] : buttons) {
            QTimer::singleShot(0, &dialog, [&dialog, name = name] {
                QTest::mouseClick(child<QPushButton>(dialog, name), Qt::LeftButton);
            });
            QCOMPARE(dialog.ask("Delete a.gif"), answer);
        }
        QCOMPARE(child<QLabel>(dialog, "questionLabel")->text(), QStringLiteral("Delete a.gif"));
        // Enter answers Cancel, even with the focus on "Yes".
        QTimer::singleShot(0, &dialog, [&dialog] {
            child<QPushButton>(dialog, "yesButton")->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(dialog.ask("Delete b.gif"), DeleteAnswer::Cancel);
        QCOMPARE(child<QPushButton>(dialog, "yesButton")->text(), QStringLiteral("&Yes"));
        QCOMPARE(child<QPushButton>(dialog, "yesToAllButton")->text(), QStringLiteral("Y&es to all"));
        QCOMPARE(child<QPushButton>(dialog, "skipButton")->text(), QStringLiteral("&Skip"));
    }

    void maskDialogTwiceAndExtension()
    {
        MaskDialog dialog;
        BrowserState state;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set file mask"));
        auto* boxes = child<QListWidget>(dialog, "volumeList");
        auto* edit = child<QLineEdit>(dialog, "extensionField");
        QTimer::singleShot(0, &dialog, [&] {
            boxes->item(1)->setCheckState(Qt::Unchecked);
            QTest::keyClicks(edit, QStringLiteral("gif"));
            QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        });
        QVERIFY(dialog.execute({'a', 'b', 'c'}, state));
        QCOMPARE(state.maskVolumes, std::string("ac"));
        QCOMPARE(state.maskExtension, std::string(".gif"));
        QCOMPARE(state.mode, ListingMode::ByMask);

        QTimer::singleShot(0, &dialog, [&] {
            QCOMPARE(boxes->count(), 3);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(boxes->item(i)->checkState(), Qt::Checked);
            QCOMPARE(edit->text(), QStringLiteral("gif"));
            for (int i = 0; i < 3; ++i)
                boxes->item(i)->setCheckState(Qt::Unchecked);
            QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        });
        QVERIFY(dialog.execute({'a', 'b', 'c'}, state));
        QCOMPARE(state.maskVolumes, std::string());
        QCOMPARE(state.maskExtension, std::string(".gif"));
    }

    void attributeDialogBits()
    {
        AttributesDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set file attributes"));
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(child<QCheckBox>(dialog, "hiddenBox")->isChecked());
            child<QCheckBox>(dialog, "readOnlyBox")->setChecked(true);
            QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        });
        QCOMPARE(dialog.execute(nullptr, 2), 3);
        QTimer::singleShot(0, &dialog, [&] {
            QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        });
        QCOMPARE(dialog.execute(nullptr, 4), -1);
    }
};

QTEST_MAIN(PhoneFileBrowserTest)
#include "phone_file_browser_test.moc"
