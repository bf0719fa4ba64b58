// The main window as it first opens, with no menu: the tree says how to begin (open a file,
// open the phone's menu, start a new one), the available items say why they are blank, and
// the first menu takes both away.
#include <QAction>
#include <QMenuBar>
#include <QSet>
#include <QtTest>

#include "p2k/virtual_phone.h"
#include "session/editor_session.h"
#include "support/ui_harness.h"
#include "ui/available_items_box.h"
#include "ui/main_window.h"
#include "ui/menu_tree_view.h"
#include "ui/mnemonics.h"
#include "ui/wrapping_command_button.h"

using namespace tessaro;
using namespace tessaro::testing;

class EmptyWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void emptyWindowSaysHowToBegin()
    {
        TempDir phoneDir;
        copySamplePhone(phoneDir.path().string());
        std::unique_ptr<VirtualPhone> opened = openVirtualPhone(phoneDir.path().string());
        VirtualPhone* phone = opened.get();
        WindowHarness h(std::move(opened));
        h.context->virtualPhone = phone;
        MainWindow& w = h.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        auto* hint = child<QWidget>(w, "emptyTreeHint");
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->geometry(), w.tree()->viewport()->rect());
        QVERIFY2(clippedChildren(*hint).isEmpty(), qPrintable(clippedChildren(*hint).join(u' ')));

        // Top to bottom; the phone command is off while no phone is connected.
        struct Command {
            const char* name;
            const char* caption;
            const char* note;
            bool enabled;
        };
        const Command commands[] = {
            {"openFileCommand", "&Open a menu file...", "Ctrl+O", true},
            {"openFromPhoneCommand", "Open from the &phone", "No phone is connected", false},
            {"newMenuCommand", "Start a &new menu", "Ctrl+N", true},
        };
        int above = -1;
        for (const Command& c : commands) {
            auto* button = child<WrappingCommandButton>(*hint, c.name);
            QCOMPARE(button->text(), QString::fromLatin1(c.caption));
            QCOMPARE(button->note(), QString::fromLatin1(c.note));
            QVERIFY2(button->isEnabled() == c.enabled, c.name);
            QVERIFY2(button->y() > above, c.name);
            QVERIFY2(button->height() >= button->heightForWidth(button->width()), c.name);
            above = button->y();
        }

        // Alt and a letter reach each command without taking one of the menu bar's.
        QStringList captions;
        for (QAction* menu : w.menuBar()->actions())
            captions << menu->text();
        for (const Command& c : commands)
            captions << QString::fromLatin1(c.caption);
        QSet<QChar> letters;
        for (const QString& caption : captions)
            letters.insert(mnemonicOf(caption));
        QVERIFY(!letters.contains(QChar()));
        QCOMPARE(letters.size(), captions.size());

        auto* phoneCommand = child<WrappingCommandButton>(*hint, "openFromPhoneCommand");
        for (const bool plugged : {true, false}) {
            plugged ? phone->plug() : phone->unplug();
            phone->waitForCallbacks();
            QCoreApplication::processEvents();
            QCOMPARE(phoneCommand->isEnabled(), plugged);
            QCOMPARE(phoneCommand->note(),
                     plugged ? QStringLiteral("A phone is connected") : QStringLiteral("No phone is connected"));
        }

        auto* available = child<AvailableItemsBox>(w, "availableItems");
        QVERIFY(!available->isEnabled());
        QCOMPARE(available->currentIndex(), -1);
        QCOMPARE(available->placeholderText(), QStringLiteral("Open a menu first"));

        // "Open" asks for a file through the same action as the File menu; cancelled, nothing
        // is open and the hint stays.
        QTest::mouseClick(child<WrappingCommandButton>(*hint, "openFileCommand"), Qt::LeftButton);
        QCOMPARE(h.files.requests.size(), size_t{1});
        QVERIFY(hint->isVisible());

        QTest::mouseClick(child<WrappingCommandButton>(*hint, "newMenuCommand"), Qt::LeftButton);
        QVERIFY(!w.context().menu.document.isEmpty());
        QVERIFY(!hint->isVisible());
        QVERIFY(available->isEnabled());
        QCOMPARE(available->placeholderText(), QString());
        QVERIFY(h.prompter.prompts.empty());
    }
};

QTEST_MAIN(EmptyWindowTest)
#include "empty_window_test.moc"
