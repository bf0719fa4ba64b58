// The settings dialog wired to its model, the two progress windows, the about box and the
// splash.
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

#include "support/ui_harness.h"
#include "ui/about_box.h"
#include "session/editor_session.h"
#include "ui/dialog_parent_scope.h"
#include "ui/double_progress_window.h"
#include "ui/main_window.h"
#include "ui/phone_file_browser.h"
#include "ui/progress_window.h"
#include "ui/qt_prompter.h"
#include "ui/setup_dialog.h"
#include "ui/splash_screen.h"
#include "workspace/settings.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

// Clicks a check box on its indicator (the middle of a wide box is beyond its label).
void click(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void setupDialogOpensFromTheSettings()
    {
        TempDir dir;
        RecordingPrompter prompter;
        FakeFileDialogs files;
        Settings settings;
        settings.logEnabled = true;
        settings.readJ2mest = true;
        settings.j2mestFromCard = true;
        SetupDialog form(settings, dir.file("tessaro.ini"), nullptr, false, files, prompter);
        QCOMPARE(form.windowTitle(), QStringLiteral("Settings"));
        const struct {
            const char* name;
            const char* caption;
            bool checked;
            bool enabled;
        } boxes[] = {
            {"loggingBox", "Enable p2k ops logging", true, true},
            {"systemAttributeBox", "Set SYSTEM attribute", false, true},
            {"activateSeemItemsBox", "Activate items in SEEM 0032", false, false},
            {"readJavaSlotsBox", "Read J2MEST", true, true},
            {"fromPhoneBox", "From phone", false, true},
            {"fromCardBox", "From card", true, true},
            {"allowPatchingBox", "Allow patching to run corelets", false, true},
        };
        for (const auto& b : boxes) {
            auto* box = child<QCheckBox>(form, b.name);
            QCOMPARE(box->text(), QString::fromLatin1(b.caption));
            QVERIFY2(box->isChecked() == b.checked, b.name);
            QVERIFY2(box->isEnabled() == b.enabled, b.name);
        }
        QCOMPARE(child<QPushButton>(form, "backupSeemButton")->text(), QStringLiteral("&Backup SEEM"));
        QCOMPARE(child<QPushButton>(form, "restoreBackupButton")->text(), QStringLiteral("&Restore backup"));
        QVERIFY(!child<QPushButton>(form, "backupSeemButton")->isEnabled());
        QVERIFY(!child<QPushButton>(form, "restoreBackupButton")->isEnabled());
        QVERIFY(child<QPushButton>(form, "okButton")->isDefault());
        QCOMPARE(child<QPushButton>(form, "cancelButton")->text(), QStringLiteral("&Cancel"));
    }

    void setupTabFollowsTheRows()
    {
        WindowHarness h;
        h.start();
        Settings settings;
        settings.readJ2mest = true;
        settings.j2mestFromPhone = true;
        SetupDialog form(settings, h.dir.file("tessaro.ini"), &h.context->phone, true, h.files, h.prompter);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        child<QCheckBox>(form, "loggingBox")->setFocus();
        QStringList order;
        for (int i = 0; i < 10; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // "Activate items in SEEM 0032" is off here, so Tab passes it by.
        QCOMPARE(order, (QStringList{"loggingBox", "systemAttributeBox", "backupSeemButton", "restoreBackupButton",
                                     "readJavaSlotsBox", "fromPhoneBox", "fromCardBox", "allowPatchingBox", "okButton",
                                     "cancelButton"}));
    }

    void setupRulesAndOk()
    {
        TempDir dir;
        RecordingPrompter prompter;
        FakeFileDialogs files;
        Settings settings;
        const std::string ini = dir.file("tessaro.ini");
        SetupDialog form(settings, ini, nullptr, false, files, prompter);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* read = child<QCheckBox>(form, "readJavaSlotsBox");
        auto* phone = child<QCheckBox>(form, "fromPhoneBox");
        auto* card = child<QCheckBox>(form, "fromCardBox");
        auto* patch = child<QCheckBox>(form, "allowPatchingBox");
        QVERIFY(!phone->isEnabled());
        click(read);
        QVERIFY(read->isChecked());
        QVERIFY(phone->isEnabled() && card->isEnabled());
        QVERIFY(!patch->isEnabled());
        click(phone);
        QVERIFY(patch->isEnabled());
        click(patch);
        // Unchecking the last source unchecks "Read J2MEST" and the patch option.
        click(phone);
        QVERIFY(!read->isChecked());
        QVERIFY(!patch->isChecked());
        QVERIFY(!phone->isEnabled() && !card->isEnabled() && !patch->isEnabled());
        click(read);
        click(card);
        click(child<QCheckBox>(form, "loggingBox"));
        // Nothing is taken before OK.
        QCOMPARE(settings, Settings{});
        QTest::mouseClick(child<QPushButton>(form, "okButton"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(settings.logEnabled && settings.readJ2mest && settings.j2mestFromCard);
        QVERIFY(!settings.j2mestFromPhone);
        QCOMPARE(loadSettings(ini), settings);
        QVERIFY(readText(ini).find("ReadJ2MEST=Card") != std::string::npos);
    }

    void setupCancelChangesNothing()
    {
        TempDir dir;
        RecordingPrompter prompter;
        FakeFileDialogs files;
        Settings settings;
        const std::string ini = dir.file("tessaro.ini");
        SetupDialog form(settings, ini, nullptr, false, files, prompter);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        click(child<QCheckBox>(form, "systemAttributeBox"));
        QTest::mouseClick(child<QPushButton>(form, "cancelButton"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(settings, Settings{});
        QVERIFY(!std::filesystem::exists(ini));
    }

    void singleProgressWindow()
    {
        QWidget owner;
        QtProgressFactory factory(&owner);
        {
            std::unique_ptr<Progress> progress = factory.openSingle();
            auto* win = dynamic_cast<ProgressWindow*>(progress.get());
            QVERIFY(win);
            QVERIFY(win->isVisible());
            QCOMPARE(win->windowTitle(), QString());
            QVERIFY(!(win->windowFlags() & Qt::WindowCloseButtonHint));
            progress->setCaption("Reading mma_ucp");
            QCOMPARE(progress->caption(), std::string("Reading mma_ucp"));
            QCOMPARE(win->windowTitle(), QStringLiteral("Reading mma_ucp"));
            progress->setBar(0, 42);
            QCOMPARE(win->bar()->value(), 42);
            QCOMPARE(win->bar()->objectName(), QStringLiteral("progressBar"));
            progress->setBar(0, 140);
            QCOMPARE(win->bar()->value(), 100);
            // Escape does not close it, the operation does; it asks the operation to stop, as
            // Cancel does.
            QVERIFY(!progress->cancelled());
            QTest::keyClick(win, Qt::Key_Escape);
            QVERIFY(win->isVisible());
            QVERIFY(progress->cancelled());
        }
        QVERIFY(owner.findChildren<ProgressWindow*>().isEmpty());
    }

    void doubleProgressWindow()
    {
        QWidget owner;
        DoubleProgressWindow win(&owner);
        QCOMPARE(win.batchTotal, 0u);
        QCOMPARE(win.bytesDone, 0u);
        win.show();
        win.setCaption("Uploading star.gif");
        win.setBar(0, 30);
        win.setBar(1, 70);
        QCOMPARE(win.bar(0)->value(), 30);
        QCOMPARE(win.bar(1)->value(), 70);
        QCOMPARE(win.bar(0)->objectName(), QStringLiteral("fileProgressBar"));
        QCOMPARE(win.bar(1)->objectName(), QStringLiteral("batchProgressBar"));
        QCOMPARE(win.windowTitle(), QStringLiteral("Uploading star.gif"));
        QVERIFY(!win.cancelled());
        QTest::mouseClick(child<QPushButton>(win, "cancelButton"), Qt::LeftButton);
        QVERIFY(win.cancelled());
    }

    void dialogsStandOverTheWindowTheyComeFrom()
    {
        QWidget main, form, browser;
        QtPrompter prompter(&main);
        QtFileDialogs files(&main);
        QtProgressFactory progress(&main);
        QtBrowserChoices choices(&main);
        RecordingPrompter recording;
        {
            DialogParentScope overForm(&form);
            overForm.add(prompter).add(files).add(progress).add(choices).add(recording);
            QCOMPARE(prompter.parent(), &form);
            QCOMPARE(files.parent(), &form);
            QCOMPARE(progress.owner(), &form);
            QCOMPARE(choices.parent(), &form);
            {
                DialogParentScope overBrowser(&browser);
                overBrowser.add(prompter).add(choices);
                QCOMPARE(prompter.parent(), &browser);
                QCOMPARE(choices.parent(), &browser);
            }
            QCOMPARE(prompter.parent(), &form);
            QCOMPARE(choices.parent(), &form);
        }
        for (QWidget* parent : {prompter.parent(), files.parent(), progress.owner(), choices.parent()})
            QCOMPARE(parent, &main);
    }

    void aboutBoxAndSplash()
    {
        AboutBox about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        QCOMPARE(child<QLabel>(about, "productName")->text(), QStringLiteral("Tessaro"));
        QCOMPARE(child<QLabel>(about, "version")->text(), QStringLiteral("Version 0.6"));
        QVERIFY(child<QPlainTextEdit>(about, "credits")->isReadOnly());
        auto* ok = child<QPushButton>(about, "okButton");
        QVERIFY(ok->isDefault());
        about.show();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));

        QWidget owner;
        SplashScreen splash(&owner);
        QCOMPARE(splash.alpha(), 200);
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.palette().color(QPalette::Window), QColor(0xBF, 0xFF, 0xBF));
        QStringList texts;
        for (auto* l : splash.findChildren<QLabel*>())
            texts << l->text();
        for (const char* t : {"D2U05 Ready", "v.0.6", "Tessaro", "edition"})
            QVERIFY2(texts.contains(QString::fromLatin1(t)), t);

        // The first message box of the start is not hidden behind the splash.
        splash.show();
        QMessageBox message(QMessageBox::Warning, QStringLiteral("Missing profile"), QStringLiteral("text"));
        message.show();
        QVERIFY(!splash.isVisible());
    }

    void prompterText()
    {
        QCOMPARE(QtPrompter::displayText("mma_ucp was stored to the phone\r\n      Should we reboot it?"),
                 QStringLiteral("mma_ucp was stored to the phone\n      Should we reboot it?"));
        QCOMPARE(QString::fromStdString(QtFileDialogs::qtFilter("CG1 binaries|*.bin;*.smg|All files|*.*")),
                 QStringLiteral("CG1 binaries (*.bin *.smg);;All files (*)"));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
