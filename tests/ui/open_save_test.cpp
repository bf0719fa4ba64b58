// Opening and saving files from the main window: the open sequence with its profile fallback
// and item base update, saving, the writer's refusal, read errors, and a firmware profile made
// from the selector's "Create new...".
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include <filesystem>

#include "core/menu_document.h"
#include "edit/tree_edit.h"
#include "support/menu_builder.h"
#include "support/ui_harness.h"
#include "session/editor_session.h"
#include "ui/menu_tree_view.h"
#include "ui/main_window.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

// Menu Root -> (PhoneBook, Message -> (Datebook)), 36-byte records.
std::vector<uint8_t> sampleMenu(const std::string& extra = {})
{
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "PhoneBook");
    const int message = b.add(MenuBuilder::kRoot, "Message", kTypeContainer);
    b.add(message, "Datebook");
    if (!extra.empty())
        b.add(MenuBuilder::kRoot, extra);
    return b.bytes();
}

void writeProfile(const TempDir& dir, const std::string& name, const std::string& body)
{
    std::filesystem::create_directories(dir.path() / "Profiles");
    writeText(dir.path() / "Profiles" / (name + ".prf"), body);
}

// A small CG1 image "fw.smg" of firmware R9999: a version mark, an item table of 36-byte
// records (2CLICK, PhoneBook) and an empty shortcut table.
void writeSmallFirmware(const TempDir& dir)
{
    std::vector<uint8_t> image(1024, 0x20);
    auto put = [&](size_t at, const std::string& s) {
        std::copy(s.begin(), s.end(), image.begin() + static_cast<long>(at));
    };
    put(16, std::string("@(#)R9999_TEST") + '\0');
    std::fill(image.begin() + 256, image.begin() + 256 + 36 * 3, 0);
    put(256, "2CLICK");
    put(256 + 36, "PhoneBook");
    const size_t q = 256 + 36 * 2;
    std::fill(image.begin() + q, image.begin() + q + 120, 0);
    const uint8_t end[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::copy(std::begin(end), std::end(end), image.begin() + static_cast<long>(q + 100));
    writeBytes(dir.path() / "fw.smg", image);
}

} // namespace

class OpenSaveTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void openUnderDefaultProfile()
    {
        WindowHarness h;
        writeBytes(h.dir.path() / "menu.mma", sampleMenu());
        MainWindow& w = h.start();
        h.files.answers = {h.dir.file("menu.mma")};
        child<QAction>(w, "openAction")->trigger();
        QCOMPARE(h.files.requests.size(), size_t(1));
        QCOMPARE(h.files.requests[0].title, std::string("Open mma file"));
        QCOMPARE(h.files.requests[0].filter, std::string("All Files (*.*)|*.*"));
        const MenuDocument& doc = w.context().menu.document;
        QCOMPARE(captionsUnder(doc.menuRoot()), (QStringList{"PhoneBook", "Message"}));
        QCOMPARE(doc.nodeCount(), size_t(12));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Format: 36-byte  Entries: 3"));
        QVERIFY(child<QToolButton>(w, "saveButton")->isEnabled());
        QVERIFY(child<QComboBox>(w, "availableItems")->isEnabled());
        QVERIFY(!child<QToolButton>(w, "saveToPhoneButton")->isEnabled());
        QVERIFY(h.prompter.prompts.empty());
        // A cancelled dialog changes nothing.
        child<QAction>(w, "openAction")->trigger();
        QCOMPARE(doc.nodeCount(), size_t(12));
    }

    void openFocusesTheTreeAndSaveWritesBackToTheFile()
    {
        WindowHarness h;
        const std::string file = h.dir.file("menu.mma");
        writeBytes(file, sampleMenu());
        MainWindow& w = h.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        h.files.answers = {file};
        child<QAction>(w, "openAction")->trigger();
        // The tree has the keys, its first menu item selected.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.tree()));
        QCOMPARE(w.tree()->selectedNode()->caption(), std::string("PhoneBook"));

        // Ctrl+S writes the changed menu back without asking where.
        h.prompter.answers = {Answer::Yes};
        QTest::keyClick(w.tree(), Qt::Key_Delete);
        QCOMPARE(captionsUnder(w.context().menu.document.menuRoot()), (QStringList{"Message"}));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(h.files.requests.size(), size_t(1));
        QVERIFY(!w.isWindowModified());
        // Written under the same name: read again, PhoneBook is gone.
        w.openFile(file);
        QCOMPARE(captionsUnder(w.context().menu.document.menuRoot()), (QStringList{"Message"}));

        // A file changed by someone else is written over only after asking.
        h.prompter.answers = {Answer::Yes, Answer::No};
        QTest::keyClick(w.tree(), Qt::Key_Delete);
        writeBytes(file, sampleMenu("Radio"));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(h.prompter.prompts.back().caption, std::string("Save"));
        QVERIFY(w.isWindowModified());
        QCOMPARE(readBytes(file), sampleMenu("Radio"));

        // A read-only file is replaced only after asking too.
        h.prompter.answers = {Answer::Yes, Answer::No, Answer::Yes, Answer::Yes};
        std::filesystem::permissions(file, std::filesystem::perms::owner_read);
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(h.prompter.prompts.back().text.find("read-only") != std::string::npos);
        QCOMPARE(readBytes(file), sampleMenu("Radio"));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!w.isWindowModified());
        QVERIFY(readBytes(file) != sampleMenu("Radio"));

        // Ctrl+Shift+S asks for a name.
        h.files.answers = {h.dir.file("copy.mma")};
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(h.files.requests.back().title, std::string("Save mma as..."));
        QVERIFY(std::filesystem::exists(h.dir.file("copy.mma")));
    }

    void profileMismatchFallsBackToDefault()
    {
        WindowHarness h;
        writeProfile(h.dir, "Small", "[mma_ucp format]\r\n22 06 0\r\n[mma items]\r\nPhoneBook\r\nDatebook\r\n");
        writeBytes(h.dir.path() / "menu.mma", sampleMenu());
        MainWindow& w = h.start();
        w.pickProfile(1);
        QCOMPARE(child<QComboBox>(w, "availableItems")->count(), 3);
        w.openFile(h.dir.file("menu.mma"));
        // Warned once; the selector is back at "Default" and the whole file is shown.
        QCOMPARE(h.prompter.prompts.size(), size_t(1));
        QCOMPARE(h.prompter.prompts[0].text,
                 std::string("Selected profile doesn't match mma_ucp\r\n    Default profile will be applied"));
        QCOMPARE(h.prompter.prompts[0].caption, std::string("Profile error"));
        QVERIFY(h.prompter.prompts[0].icon == MessageIcon::Warning);
        QCOMPARE(child<QComboBox>(w, "profileSelector")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(w, "availableItems")->count(), 153);
        QCOMPARE(captionsUnder(w.context().menu.document.menuRoot()), (QStringList{"PhoneBook", "Message"}));
        // The file's format is shown by the save-mode controls.
        QVERIFY(child<QRadioButton>(w, "recordSize36")->isChecked());
    }

    void unknownItemUpdatesTheItemBase()
    {
        WindowHarness h;
        writeBytes(h.dir.path() / "menu.mma", sampleMenu("ZZGadget"));
        MainWindow& w = h.start();
        w.openFile(h.dir.file("menu.mma"));
        QCOMPARE(h.prompter.prompts.size(), size_t(1));
        QCOMPARE(h.prompter.prompts[0].text, std::string("Item base has been updated"));
        QCOMPARE(h.prompter.prompts[0].caption, std::string("Profile info"));
        QVERIFY(h.prompter.prompts[0].icon == MessageIcon::Information);
        const std::string base = readText(h.dir.path() / "Profiles/itembase.dat");
        QVERIFY(base.find("ZZGadget;ZZGadget\r\n") != std::string::npos);
        auto* box = child<QComboBox>(w, "availableItems");
        QCOMPARE(box->count(), 154);
        QVERIFY(box->findText(QStringLiteral("ZZGadget")) >= 0);
        QCOMPARE(box->itemText(153), QStringLiteral("Custom item"));
        QCOMPARE(captionsUnder(w.context().menu.document.menuRoot()),
                 (QStringList{"PhoneBook", "Message", "ZZGadget"}));
    }

    void saveWritesTheDocument()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.newDocument();
        MenuDocument& doc = w.context().menu.document;
        w.tree()->selectNode(doc.menuRoot());
        auto* box = child<QComboBox>(w, "availableItems");
        box->setCurrentIndex(box->findText(QStringLiteral("Calculator")));
        w.insertItem(InsertPosition::AddSubitemLast);
        const std::string path = h.dir.file("out.mma");
        h.files.answers = {path};
        child<QAction>(w, "saveAsAction")->trigger();
        QCOMPARE(h.files.requests.back().title, std::string("Save mma as..."));
        QCOMPARE(h.files.requests.back().filter, std::string("All Files (*.*)|*.*"));
        QVERIFY(std::filesystem::exists(path));
        QVERIFY(h.prompter.prompts.empty());
        // The file reads back as the same menu.
        w.newDocument();
        w.openFile(path);
        QCOMPARE(captionsUnder(doc.menuRoot()), (QStringList{"Calculator"}));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Format: 36-byte  Entries: 1"));
    }

    void writerRefusalKeepsTheOldFile()
    {
        WindowHarness h;
        writeProfile(h.dir, "Small", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nPhoneBook\r\n");
        writeBytes(h.dir.path() / "menu.mma", sampleMenu());
        MainWindow& w = h.start();
        w.openFile(h.dir.file("menu.mma"));
        // A profile that lacks Message and Datebook: the writer refuses the document.
        w.pickProfile(1);
        const std::string path = h.dir.file("out.mma");
        writeText(path, "old");
        h.files.answers = {path};
        w.saveDocument();
        QCOMPARE(h.prompter.prompts.size(), size_t(1));
        QCOMPARE(h.prompter.prompts[0].text, std::string("mma_ucp doesn't match current profile"));
        QCOMPARE(h.prompter.prompts[0].caption, std::string("Profile error"));
        QCOMPARE(readText(path), std::string("old"));
    }

    void unreadableFileIsReported()
    {
        WindowHarness h;
        writeBytes(h.dir.path() / "short.mma", {0x01, 0x02, 0x03});
        MainWindow& w = h.start();
        w.openFile(h.dir.file("short.mma"));
        QCOMPARE(h.prompter.prompts.size(), size_t(1));
        QVERIFY(h.prompter.prompts[0].icon == MessageIcon::Error);
        QVERIFY(!h.prompter.prompts[0].text.empty());
        // Nothing was read: there is no document to save.
        QVERIFY(!child<QToolButton>(w, "saveButton")->isEnabled());
        w.openFile(h.dir.file("missing.mma"));
        QCOMPARE(h.prompter.prompts.size(), size_t(2));

        // A file that is no menu file changes nothing: the new document stays, and Save with it.
        w.newDocument();
        QVERIFY(child<QToolButton>(w, "saveButton")->isEnabled());
        w.openFile(h.dir.file("short.mma"));
        QCOMPARE(h.prompter.prompts.size(), size_t(3));
        QVERIFY(!w.context().menu.document.isEmpty());
        QVERIFY(child<QToolButton>(w, "saveButton")->isEnabled());
    }

    void damagedFileIsReportedAsRepairedAndModified()
    {
        WindowHarness h;
        MenuBuilder b;
        b.add(MenuBuilder::kRoot, "PhoneBook", 0, asciiRecord(5, "abc", ByteOrder::Big));
        b.add(MenuBuilder::kRoot, "Message", 0, asciiRecord(5, "def", ByteOrder::Big));
        MenuFile damaged = b.layout();
        damaged.records[11].dataOffset = 0xFFF0;
        writeBytes(h.dir.path() / "clean.mma", b.bytes());
        writeBytes(h.dir.path() / "damaged.mma", damaged.bytes());
        MainWindow& w = h.start();

        w.openFile(h.dir.file("clean.mma"));
        QVERIFY(h.prompter.prompts.empty());
        QVERIFY(!w.isWindowModified());

        w.openFile(h.dir.file("damaged.mma"));
        QCOMPARE(h.prompter.prompts.size(), size_t(1));
        QCOMPARE(h.prompter.prompts[0].caption, std::string("File repaired"));
        QVERIFY(h.prompter.prompts[0].icon == MessageIcon::Warning);
        QCOMPARE(h.prompter.prompts[0].text,
                 std::string("The file is damaged. What could not be read as it stands was repaired or left out:\r\n"
                             "Item Message (record 11): its data at offset 65520 (7 bytes) lies beyond the end of "
                             "the file\r\n7 bytes outside the menu's records will not be kept"));
        QVERIFY(w.isWindowModified());
    }

    void createNewProfileFromFirmware()
    {
        WindowHarness h;
        writeSmallFirmware(h.dir);

        MainWindow& w = h.start();
        auto* selector = child<QComboBox>(w, "profileSelector");
        // Cancelled: nothing happens.
        w.pickProfile(selector->count() - 1);
        QCOMPARE(h.files.requests.back().title, std::string("Select CG1 to create FW profile"));
        QCOMPARE(h.files.requests.back().filter, std::string("CG1 binaries|*.bin;*.smg|All files|*.*"));
        QVERIFY(h.prompter.prompts.empty());
        QCOMPARE(selector->currentIndex(), 0);

        h.files.answers = {h.dir.file("fw.smg")};
        w.pickProfile(selector->count() - 1);
        QVERIFY(std::filesystem::exists(h.dir.path() / "Profiles/R9999.prf"));
        QCOMPARE(h.prompter.texts().back(), std::string("Profile was successfully created"));
        QCOMPARE(selector->count(), 3);
        QCOMPARE(selector->currentText(), QStringLiteral("R9999"));
        QCOMPARE(child<QComboBox>(w, "availableItems")->count(), 3);  // 2CLICK, PhoneBook, Custom item
    }

    // A profile made earlier for the same firmware is replaced only when the user says so.
    void replacingAFirmwareProfileIsAsked()
    {
        WindowHarness h;
        writeSmallFirmware(h.dir);
        writeProfile(h.dir, "R9999", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nPhoneBook\r\n");
        const std::filesystem::path profile = h.dir.path() / "Profiles/R9999.prf";
        const std::string earlier = readText(profile);
        const std::string question = "A profile of this firmware exists already: " + profile.string() + "\nReplace it?";
        MainWindow& w = h.start();
        auto* selector = child<QComboBox>(w, "profileSelector");

        h.files.answers = {h.dir.file("fw.smg")};
        h.prompter.answers = {Answer::No};
        w.pickProfile(selector->count() - 1);
        QCOMPARE(h.prompter.prompts, (std::vector<Prompt>{{MessageIcon::Question, "", question, true},
                                                          {MessageIcon::None, "", "Failed to create profile", false}}));
        QCOMPARE(readText(profile), earlier);

        h.prompter.prompts.clear();
        h.files.answers = {h.dir.file("fw.smg")};
        h.prompter.answers = {Answer::Yes};
        w.pickProfile(selector->count() - 1);
        QCOMPARE(h.prompter.prompts,
                 (std::vector<Prompt>{{MessageIcon::Question, "", question, true},
                                      {MessageIcon::None, "", "Profile was successfully created", false}}));
        QCOMPARE(readText(profile),
                 std::string("[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\n2CLICK\r\nPhoneBook\r\n"));
        QCOMPARE(selector->currentText(), QStringLiteral("R9999"));
    }

    // The menu as text: exported, compared with a changed copy, imported back as the open menu.
    void menuAsTextExportCompareImport()
    {
        WindowHarness h;
        writeBytes(h.dir.path() / "menu.mma", sampleMenu());
        writeBytes(h.dir.path() / "more.mma", sampleMenu("Browser"));
        MainWindow& w = h.start();
        QVERIFY(!child<QAction>(w, "exportTextAction")->isEnabled());
        // A name given without an extension gets ".json", which Import's filter shows.
        h.files.answers = {h.dir.file("menu.mma"), h.dir.file("menu"), h.dir.file("more.mma")};
        child<QAction>(w, "openAction")->trigger();
        child<QAction>(w, "exportTextAction")->trigger();
        QVERIFY(readText(h.dir.path() / "menu.json").find("\"id\": \"Datebook\"") != std::string::npos);

        child<QAction>(w, "compareFileAction")->trigger();
        auto* differences = child<QPlainTextEdit>(w, "differencesText");
        QVERIFY(differences->toPlainText().contains(QStringLiteral("Browser")));
        QCOMPARE(differences->toPlainText().count(u'\n'), 0);   // one change, one line

        w.newDocument();
        h.files.answers = {h.dir.file("menu.json")};
        child<QAction>(w, "importTextAction")->trigger();
        const MenuDocument& doc = w.context().menu.document;
        QCOMPARE(captionsUnder(doc.menuRoot()), (QStringList{"PhoneBook", "Message"}));
        QVERIFY(w.isWindowModified());
        QVERIFY(h.prompter.prompts.empty());
        // No mma_ucp file holds the imported menu: the title says so and Save asks for a name
        // instead of writing over the file opened before.
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("imported[*] - ")));
        const std::vector<uint8_t> opened = readBytes(h.dir.path() / "menu.mma");
        h.files.answers = {""};
        child<QAction>(w, "saveAction")->trigger();
        QCOMPARE(h.files.requests.back().title, std::string("Save mma as..."));
        QCOMPARE(readBytes(h.dir.path() / "menu.mma"), opened);
    }

    // Open, Import text and Open from phone that fail leave the menu that was open as it was,
    // its undo history and the file Save writes included.
    void aFailedOpenKeepsTheMenuAndItsHistory()
    {
        WindowHarness h;
        writeBytes(h.dir.path() / "menu.mma", sampleMenu());
        writeBytes(h.dir.path() / "short.mma", {0x01, 0x02, 0x03});
        writeText(h.dir.path() / "bad.json", "{\"menu\": [");
        MainWindow& w = h.start();
        w.openFile(h.dir.file("menu.mma"));
        h.prompter.answers = {Answer::Yes};
        QTest::keyClick(w.tree(), Qt::Key_Delete);
        const MenuDocument& doc = w.context().menu.document;
        const QStringList edited = captionsUnder(doc.menuRoot());
        h.prompter.answers = {Answer::Discard, Answer::Discard, Answer::Discard};
        w.openFile(h.dir.file("short.mma"));
        h.files.answers = {h.dir.file("bad.json")};
        child<QAction>(w, "importTextAction")->trigger();
        w.openFromPhone();
        QCOMPARE(captionsUnder(doc.menuRoot()), edited);
        QVERIFY(child<QAction>(w, "undoAction")->isEnabled());
        QVERIFY(w.isWindowModified());
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("menu.mma[*] - ")));
        QCOMPARE(w.menuSession().filePath(), h.dir.file("menu.mma"));
    }

    // A record of an unknown kind that a save without "Save all data" drops is said in the
    // status line, and the save asks first.
    void recordsLeftOutAreToldBeforeTheSave()
    {
        WindowHarness h;
        MenuBuilder b;
        const uint8_t payload[] = {1, 2, 3};
        b.add(MenuBuilder::kRoot, "PhoneBook", 0, dataRecord(0x30, payload, ByteOrder::Big));
        writeBytes(h.dir.path() / "menu.mma", b.bytes());
        MainWindow& w = h.start();
        w.openFile(h.dir.file("menu.mma"));
        QVERIFY(w.statusPanel(1)->text().endsWith(QStringLiteral("Left out on save: 1")));
        h.prompter.answers = {Answer::No};
        child<QAction>(w, "saveAction")->trigger();
        QCOMPARE(h.prompter.prompts.size(), size_t(1));
        QVERIFY(h.prompter.prompts[0].text.starts_with("1 data records of unknown kinds will be left out."));
        QCOMPARE(readBytes(h.dir.path() / "menu.mma"), b.bytes());
    }
};

QTEST_MAIN(OpenSaveTest)
#include "open_save_test.moc"
