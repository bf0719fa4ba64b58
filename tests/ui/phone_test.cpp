// The main window with the virtual phone (the sample phone of examples/virtual-phone): plugging
// in and out, open from and save to the phone with the corelet patch question, restart, the
// reboot question when closing, and the SEEM buttons of the settings dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <filesystem>
#include <functional>

#include "core/menu_document.h"
#include "edit/tree_edit.h"
#include "p2k/virtual_phone.h"
#include "support/recording_phone.h"
#include "support/ui_harness.h"
#include "session/editor_session.h"
#include "ui/lamp_shape.h"
#include "ui/menu_tree_view.h"
#include "ui/setup_dialog.h"
#include "ui/main_window.h"

using namespace tessaro;
using namespace tessaro::testing;
namespace fs = std::filesystem;

namespace {

const char* const kImei = "351234567890124";
const char* const kPatchQuestion =
    "J2MEST file(s) seem to contain wrong CORELET info\r\npreventing them from starting from main "
    "menu\r\n      Attempt patching?";
const char* const kRebootQuestion = "mma_ucp was stored to the phone\r\n      Should we reboot it?";

// A harness whose data folder holds the sample session (profile TX100, tessaro.ini with
// logging, both J2MEST sources and patching on) and a copy of the sample phone in "phone/".
struct PhoneHarness {
    explicit PhoneHarness(bool callbackThread = false)
    {
        const fs::path root = TESSARO_EXAMPLES;
        fs::copy(root / "sample-session", tmp.path(), fs::copy_options::recursive);
        copySamplePhone((tmp.path() / "phone").string());
        VirtualPhone::Options options;
        options.callbackThread = callbackThread;
        auto opened = VirtualPhone::open(tmp.path() / "phone", options);
        if (!opened)
            qFatal("%s", opened.error().c_str());
        phone = opened.value().get();
        auto recorded = std::make_unique<RecordingPhone>(std::move(opened).value());
        api = recorded.get();
        h = std::make_unique<WindowHarness>(std::move(recorded), tmp.path().string());
        h->context->virtualPhone = phone;
    }

    MainWindow& start() { return h->start(); }
    // Plugs the phone in and lets the queued status call run.
    void plug()
    {
        phone->plug();
        phone->waitForCallbacks();
        QCoreApplication::processEvents();
    }
    void unplug()
    {
        phone->unplug();
        phone->waitForCallbacks();
        QCoreApplication::processEvents();
    }
    std::string log() const { return readText(tmp.path() / "p2klog.txt"); }
    fs::path phoneFile(const std::string& path) const { return tmp.path() / "phone" / path; }

    TempDir tmp;
    VirtualPhone* phone = nullptr;
    // The window's phone library: the virtual phone, recorded.
    RecordingPhone* api = nullptr;
    std::unique_ptr<WindowHarness> h;
};

bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

// Watches the progress windows of an operation: counts their paint events and, when asked,
// clicks Cancel through the event queue as soon as one is shown, as a user would.
class ProgressWatcher : public QObject {
public:
    explicit ProgressWatcher(bool cancel) : cancel_(cancel) { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }

    int paints = 0;
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window()->objectName() != QLatin1String("progressWindow"))
            return false;
        if (event->type() == QEvent::Paint)
            ++paints;
        if (event->type() == QEvent::Show && widget->isWindow()) {
            ++shown;
            if (cancel_)
                QMetaObject::invokeMethod(widget->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                                          &QPushButton::click, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool cancel_;
};

class PhoneTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    // A file an upload left cut on this phone (pulled out in the middle) is offered back as soon
    // as the phone is known again, and Yes puts it back.
    void cutFileOfThisPhoneIsOfferedBackWhenItConnects()
    {
        PhoneHarness p;
        const fs::path backups = p.tmp.path() / "Backups" / kImei / "a" / "mobile" / "picture";
        fs::create_directories(backups);
        writeBytes(backups / "star.gif.20261207-174501", std::vector<uint8_t>(3000, 0x5A));
        writeText(p.tmp.path() / "Backups" / "interrupted-uploads.txt",
                  std::string(kImei) + "\t20261207-174501\t1\t/a/mobile/picture/star.gif\n");
        p.start();
        const std::string question =
            "An upload of /a/mobile/picture/star.gif to this phone was interrupted, which left the file cut short on "
            "the phone.\nIts previous file is kept in "
            + (backups / "star.gif.20261207-174501").string() + ".\nPut it back on the phone now?";

        p.h->prompter.answers = {Answer::Yes};
        p.plug();
        QCOMPARE(
            p.h->prompter.texts(),
            (std::vector<std::string>{question, "The phone's previous file was put back: /a/mobile/picture/star.gif"}));
        QCOMPARE(p.h->prompter.prompts[0].caption, std::string("Interrupted upload"));
        QVERIFY(p.h->prompter.prompts[1].icon == MessageIcon::Information);
        QCOMPARE(readBytes(p.phoneFile("a/mobile/picture/star.gif")), std::vector<uint8_t>(3000, 0x5A));
        QCOMPARE(readText(p.tmp.path() / "Backups" / "interrupted-uploads.txt"), std::string());
    }

    void plugAndUnplug()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        QVERIFY(child<QMenu>(w, "virtualPhoneMenu") != nullptr);
        // The "Virtual phone" menu plugs the phone in.
        child<QAction>(w, "plugInAction")->trigger();
        QVERIFY(p.phone->isPlugged());
        p.phone->waitForCallbacks();
        QCoreApplication::processEvents();
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Phone: TX100  [TX100_A_01.02.03R] "));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral(" IMEI: %1").arg(kImei));
        QCOMPARE(child<LampShape>(w, "statusLamp")->color(), QColor(Qt::green));
        QCOMPARE(w.trayImage(), 14);
        QCOMPARE(w.balloonText(), QStringLiteral("Connected:  TX100"));
        QVERIFY(child<QToolButton>(w, "openFromPhoneButton")->isEnabled());
        QVERIFY(child<QToolButton>(w, "restartPhoneButton")->isEnabled());
        QVERIFY(child<QAction>(w, "openFromPhoneAction")->isEnabled());
        QVERIFY(child<QAction>(w, "restartPhoneAction")->isEnabled());
        // No document yet: nothing to save to the phone.
        QVERIFY(!child<QToolButton>(w, "saveToPhoneButton")->isEnabled());
        // The profile named by the firmware's prefix is chosen.
        QCOMPARE(child<QComboBox>(w, "profileSelector")->currentText(), QStringLiteral("TX100"));
        QCOMPARE(child<QComboBox>(w, "availableItems")->itemText(0), QStringLiteral("PhoneBook"));
        const std::string log = p.log();
        QVERIFY(has(log, "Phone connected\r\n"));
        QVERIFY(has(log, "Read SEEM 279_1 RC="));
        QVERIFY(has(log, "Read SEEM 4_1 RC="));
        QVERIFY(has(log, "[GetFWVersion] Send command VERSION (0xFFFF)  RC="));
        QVERIFY(has(log, "[GetLPVersion] Send command VERSION (0x0004)  RC="));
        QVERIFY(p.h->prompter.prompts.empty());

        // The balloon shows the phone's details when the pointer comes.
        w.trayIconHovered();
        QCOMPARE(w.balloonTitle(), QStringLiteral("Phone info"));
        QCOMPARE(w.balloonText(),
                 QStringLiteral("Model: TX100\nF/W Version: TX100_A_01.02.03R\nLP Version: 1234"));

        child<QAction>(w, "unplugAction")->trigger();
        QVERIFY(!p.phone->isPlugged());
        p.phone->waitForCallbacks();
        QCoreApplication::processEvents();
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Phone: None "));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("IMEI: N/A "));
        QCOMPARE(child<LampShape>(w, "statusLamp")->color(), QColor(Qt::red));
        QCOMPARE(w.trayImage(), 15);
        QCOMPARE(w.balloonText(), QStringLiteral("Disconnected"));
        for (const char* name : {"openFromPhoneButton", "saveToPhoneButton", "restartPhoneButton"})
            QVERIFY2(!child<QToolButton>(w, name)->isEnabled(), name);
        QVERIFY(has(p.log(), "Phone disconnected\r\n"));
        // Without a phone the balloon is left alone.
        w.trayIconHovered();
        QCOMPARE(w.balloonText(), QStringLiteral("Disconnected"));

        // With a document, plugging in enables Save to phone too; New does as well.
        w.newDocument();
        p.plug();
        QVERIFY(child<QToolButton>(w, "saveToPhoneButton")->isEnabled());
    }

    // No profile for the phone's firmware is said in the status bar, not in a message box at
    // every plug-in; a broken profile still gets its box.
    void phoneProfileMissingOrBroken()
    {
        struct Case {
            const char* what;
            std::function<void(const fs::path& profile)> arrange;
            QString status;
            std::vector<Prompt> prompts;
        };
        const std::vector<Case> cases = {
            {"missing",
             [](const fs::path& profile) { fs::remove(profile); },
             QStringLiteral("Profile not found. Default profile will be applied"),
             {}},
            {"broken",
             [](const fs::path& profile) { writeText(profile, ""); },
             QString(),
             {{MessageIcon::Warning, "Profile error", "Invalid profile formatting", false}}},
        };
        for (const Case& c : cases) {
            PhoneHarness p;
            c.arrange(p.tmp.path() / "Profiles/TX100.prf");
            MainWindow& w = p.start();
            p.plug();
            QVERIFY2(w.statusBar()->currentMessage() == c.status, c.what);
            QVERIFY2(p.h->prompter.prompts == c.prompts, c.what);
            QCOMPARE(child<QComboBox>(w, "profileSelector")->currentText(), QStringLiteral("Default"));
        }
    }

    void statusCallsFromThePhonesThreadAreQueued()
    {
        PhoneHarness p(true);
        MainWindow& w = p.start();
        p.phone->plug();
        p.phone->waitForCallbacks();
        // Delivered on the phone's thread, run on the window's: nothing shown yet.
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Phone: None"));
        QTRY_COMPARE(w.statusPanel(2)->text(), QStringLiteral("Phone: TX100  [TX100_A_01.02.03R] "));
        p.phone->unplug();
        QTRY_COMPARE(w.statusPanel(2)->text(), QStringLiteral("Phone: None "));
    }

    void openFromPhoneWithThePatch()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        p.plug();
        p.h->prompter.answers = {Answer::Yes};
        child<QAction>(w, "openFromPhoneAction")->trigger();
        // The patch question, once, with its caption.
        QCOMPARE(p.h->prompter.texts(), (std::vector<std::string>{kPatchQuestion}));
        QCOMPARE(p.h->prompter.prompts[0].caption, std::string("Patch request"));
        QVERIFY(p.h->prompter.prompts[0].icon == MessageIcon::Question);
        const MenuDocument& doc = w.context().menu.document;
        QCOMPARE(doc.nodeCount(), size_t(27));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Format: 36-byte  Entries: 18"));
        QVERIFY(child<QToolButton>(w, "saveButton")->isEnabled());
        QVERIFY(child<QToolButton>(w, "saveToPhoneButton")->isEnabled());
        QVERIFY(child<QComboBox>(w, "availableItems")->isEnabled());
        // The working copies are there; the phone's slot 0 was patched from its .jad.
        for (const char* f : {"mma_temp", "j2mest_temp", "j2mest_mmc"})
            QVERIFY2(fs::exists(w.context().workingFolder.file(f)), f);
        const auto& slot = w.context().javaSlots.phoneSlots[0];
        QVERIFY(slot.has_value());
        QCOMPARE(slot->midlet1, std::string("Snake Game"));
        QVERIFY(w.context().javaSlots.cardSlots[0].has_value());
        QCOMPARE(w.context().javaSlots.cardSlots[0]->midletName, std::string("Chess"));
        QVERIFY(has(p.log(), "[P2KFileRead] Enter /a/mobile/system/mma_ucp"));
    }

    void openFromPhoneRefusingThePatch()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        p.plug();
        p.h->prompter.answers = {Answer::No};
        w.openFromPhone();
        QCOMPARE(p.h->prompter.texts(), (std::vector<std::string>{kPatchQuestion}));
        QCOMPARE(w.context().javaSlots.phoneSlots[0]->midlet1, std::string("1: Snake"));
        QVERIFY(!w.context().roundTripState.phonePatched);
    }

    void openFromPhoneThatFails()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        p.plug();
        fs::remove(p.phoneFile("a/mobile/system/mma_ucp"));
        w.openFromPhone();
        QCOMPARE(p.h->prompter.texts(), (std::vector<std::string>{"Error reading mma_ucp"}));
        QCOMPARE(p.h->prompter.prompts[0].caption, std::string("Fatal P2K error"));
        QVERIFY(!child<QToolButton>(w, "saveButton")->isEnabled());
        QVERIFY(!child<QToolButton>(w, "saveToPhoneButton")->isEnabled());
        // Nothing is open, so there is nothing to insert into.
        QVERIFY(!child<QComboBox>(w, "availableItems")->isEnabled());
    }

    void saveToPhoneThenCloseAsksToRebootOnce()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        w.show();
        child<QTimer>(w, "fadeTimer")->stop();
        p.plug();
        p.h->prompter.answers = {Answer::Yes};
        w.openFromPhone();
        // Add an item and save to the phone: the menu and the patched J2MEST go back.
        MenuDocument& doc = w.context().menu.document;
        QCOMPARE(w.tree()->selectedNode(), doc.menuRoot()->child(0)); // ready for the keys
        w.tree()->selectNode(doc.menuRoot());
        auto* box = child<QComboBox>(w, "availableItems");
        box->setCurrentIndex(box->findText(QStringLiteral("Browser")));
        w.insertItem(InsertPosition::AddSubitemLast);
        // Save to phone first shows what it changes there; declined, the phone keeps its menu.
        const auto before = readBytes(p.phoneFile("a/mobile/system/mma_ucp"));
        p.h->phoneChangesAccepted = false;
        child<QAction>(w, "saveToPhoneAction")->trigger();
        QCOMPARE(p.h->phoneChanges.size(), size_t(1));
        QVERIFY(p.h->phoneChanges[0].join(u'\n').contains(QStringLiteral("Browser")));
        QCOMPARE(readBytes(p.phoneFile("a/mobile/system/mma_ucp")), before);
        QVERIFY(!w.context().roundTripState.storedToPhone);
        p.h->phoneChangesAccepted = true;
        child<QAction>(w, "saveToPhoneAction")->trigger();
        QCOMPARE(p.h->prompter.prompts.size(), size_t(1));
        QVERIFY(w.context().roundTripState.storedToPhone);
        QCOMPARE(w.statusBar()->currentMessage(),
                 QStringLiteral("The menu was written to the phone as /a/mobile/system/mma_ucp"));
        QCOMPARE(readBytes(p.phoneFile("a/mobile/system/mma_ucp")), readBytes(w.context().workingFolder.file("mma_temp")));
        const std::string j2mest = readText(p.phoneFile("a/mobile/kjava/J2MEST"));
        QVERIFY(has(j2mest, "Snake Game"));
        QVERIFY(has(p.log(), "[P2KFileWrite] Enter "));

        // Fade in, then close: the reboot question comes once although the fade-out asks
        // to close on every tick.
        while (w.fade().level() != 255)
            w.fadeTick();
        p.h->prompter.answers = {Answer::Yes};
        p.api->clearRequests();
        QVERIFY(!w.close());
        int ticks = 0;
        while (w.isVisible() && ticks++ < 100)
            w.fadeTick();
        QVERIFY(!w.isVisible());
        QCOMPARE(p.h->prompter.texts(), (std::vector<std::string>{kPatchQuestion, kRebootQuestion}));
        QCOMPARE(p.h->prompter.prompts[1].caption, std::string());
        QVERIFY(p.h->prompter.prompts[1].icon == MessageIcon::Question);
        const auto requests = p.api->requests();
        QVERIFY(std::any_of(requests.begin(), requests.end(),
                            [](const PhoneRequest& r) { return r.call == PhoneCall::Restart; }));
        QVERIFY(has(p.log(), "Phone is restarted\r\n"));
        // The working copies were kept in the run's own folder, never in the user's.
        for (const char* f : {"mma_temp", "j2mest_temp", "j2mest_mmc"})
            QVERIFY2(!fs::exists(p.tmp.path() / f), f);
    }

    void saveToPhoneRefusedByTheProfile()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        p.plug();
        w.newDocument();
        // Under profile TX100 a custom item is fine but "Chat" is not available: choose the
        // default profile, insert it, then go back to TX100.
        w.pickProfile(0);
        MenuDocument& doc = w.context().menu.document;
        w.tree()->selectNode(doc.menuRoot());
        auto* box = child<QComboBox>(w, "availableItems");
        box->setCurrentIndex(box->findText(QStringLiteral("Chat")));
        w.insertItem(InsertPosition::AddSubitemLast);
        w.pickProfile(child<QComboBox>(w, "profileSelector")->findText(QStringLiteral("TX100")));
        const auto before = readBytes(p.phoneFile("a/mobile/system/mma_ucp"));
        w.saveToPhone();
        QCOMPARE(p.h->prompter.texts(), (std::vector<std::string>{"mma_ucp doesn't match current profile"}));
        QCOMPARE(readBytes(p.phoneFile("a/mobile/system/mma_ucp")), before);
        QVERIFY(!w.context().roundTripState.storedToPhone);
    }

    void restartPhone()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        p.plug();
        child<QAction>(w, "restartPhoneAction")->trigger();
        QVERIFY(has(p.log(), "Phone is restarted\r\n"));
        // The phone reboots: it goes and comes back.
        QCoreApplication::processEvents();
        p.phone->waitForCallbacks();
        QCoreApplication::processEvents();
        QCOMPARE(child<LampShape>(w, "statusLamp")->color(), QColor(Qt::green));
    }

    void seemButtonsFollowTheConnection()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        EditorSession& ctx = w.context();
        {
            SetupDialog form(ctx.settings, p.tmp.file("tessaro.ini"), &ctx.phone, ctx.link.connected,
                            p.h->files, p.h->prompter);
            QVERIFY(!child<QPushButton>(form, "backupSeemButton")->isEnabled());
            QVERIFY(!child<QPushButton>(form, "restoreBackupButton")->isEnabled());
            form.backupSeem();
            QVERIFY(p.h->files.requests.empty());
        }
        p.plug();
        SetupDialog form(ctx.settings, p.tmp.file("tessaro.ini"), &ctx.phone, ctx.link.connected,
                        p.h->files, p.h->prompter);
        QVERIFY(child<QPushButton>(form, "backupSeemButton")->isEnabled());
        QVERIFY(child<QPushButton>(form, "restoreBackupButton")->isEnabled());
        const std::string backup = p.tmp.file("backup.seem");
        p.h->files.answers = {backup};
        form.backupSeem();
        QCOMPARE(p.h->files.requests.back().title, std::string("Save SEEM backup as"));
        QCOMPARE(p.h->files.requests.back().fileName, std::string("0032_0001.seem"));
        QCOMPARE(p.h->files.requests.back().filter, std::string("SEEM files|*.seem"));
        QCOMPARE(fs::file_size(backup), uintmax_t(96));
        QCOMPARE(p.h->prompter.texts().back(), std::string("SEEM 0032_0001 backed up"));

        p.h->files.answers = {backup};
        form.restoreSeem();
        QCOMPARE(p.h->files.requests.back().title, std::string("Restore SEEM backup from"));
        QCOMPARE(p.h->prompter.texts().back(), std::string("Backup SEEM 0032_0001 restored"));
        // A cancelled dialog sends nothing.
        p.api->clearRequests();
        form.restoreSeem();
        QVERIFY(p.api->requests().empty());
    }
    void progressWindowIsDrawnWhileTheMenuIsRead()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        p.plug();
        p.h->prompter.answers = {Answer::No};
        ProgressWatcher watcher(false);
        w.openFromPhone();
        // The window lives only while the phone is read: its paints happened meanwhile.
        QVERIFY(watcher.shown > 0);
        QVERIFY(watcher.paints > 0);
        QCOMPARE(w.context().menu.document.nodeCount(), size_t(27));
    }

    void cancellingTheMenuReadOpensNothingAndSaysNothing()
    {
        PhoneHarness p;
        MainWindow& w = p.start();
        p.plug();
        ProgressWatcher watcher(true);
        w.openFromPhone();
        QCOMPARE(watcher.shown, 1);
        QVERIFY(p.h->prompter.prompts.empty());
        QVERIFY(!fs::exists(w.context().workingFolder.file("mma_temp")));
        QVERIFY(!child<QToolButton>(w, "saveButton")->isEnabled());
        QVERIFY(has(p.log(), "[P2KFileRead] Download cancelled, nothing kept of /a/mobile/system/mma_ucp"));
        // Only the first of the file's two blocks was asked for.
        QVERIFY(!has(p.log(), "bytes received=22"));
    }

};

QTEST_MAIN(PhoneTest)
#include "phone_test.moc"
