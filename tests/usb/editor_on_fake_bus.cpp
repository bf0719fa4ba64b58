// The editor started as a user starts it, talking to USB phones: a phone on the fake USB bus
// (Test Command interface 5, the sample phone's files behind it) is found, shown in the status
// bar, its menu opened, and pulling it out is reported. Runs on the offscreen platform.
#include <QApplication>
#include <QLabel>
#include <QtTest>

#include <filesystem>

#include "core/menu_document.h"
#include "p2k/usb_phone.h"
#include "p2k/virtual_phone.h"
#include "support/ui_harness.h"
#include "session/editor_session.h"
#include "ui/lamp_shape.h"
#include "ui/main_window.h"
#include "usb/fake_usb_bus.h"
#include "usb/preload.h"

using namespace tessaro;
using namespace tessaro::testing;
namespace fs = std::filesystem;

class EditorOnFakeBus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void findsThePhoneOpensItsMenuAndHearsItLeave()
    {
        TempDir tmp;
        fs::copy(fs::path(TESSARO_EXAMPLES) / "sample-session", tmp.path(), fs::copy_options::recursive);
        copySamplePhone((tmp.path() / "phone").string());
        auto storage = VirtualPhone::open(tmp.path() / "phone");
        QVERIFY2(storage.ok(), storage.error().c_str());

        FakeUsbBus bus;
        SimulatedPhoneOptions options;
        options.testCommandInterface = 5;
        bus.plug(*storage.value(), options);

        WindowHarness h(makeUsbPhone(), tmp.path().string());
        h.prompter.fallback = Answer::No; // the corelet patch question
        MainWindow& w = h.start();

        QTRY_COMPARE_WITH_TIMEOUT(w.statusPanel(2)->text(),
                                  QStringLiteral("Phone: TX100  [TX100_A_01.02.03R] "), 10000);
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral(" IMEI: 351234567890124"));
        QCOMPARE(child<LampShape>(w, "statusLamp")->color(), QColor(Qt::green));

        w.openFromPhone();
        const MenuDocument& document = h.context->menu.document;
        QVERIFY(!document.isEmpty());
        QVERIFY(!captionsUnder(document.menuRoot()).isEmpty());

        bus.unplug(bus.devices().front());
        QTRY_COMPARE_WITH_TIMEOUT(w.statusPanel(2)->text(), QStringLiteral("Phone: None "), 10000);
        QCOMPARE(child<LampShape>(w, "statusLamp")->color(), QColor(Qt::red));
        QCOMPARE(w.balloonText(), QStringLiteral("Disconnected"));
    }
};

int main(int argc, char** argv)
{
    if (!runUnderUmockdevPreload(argv))
        return 1;
    QApplication app(argc, argv);
    EditorOnFakeBus test;
    return QTest::qExec(&test, argc, argv);
}

#include "editor_on_fake_bus.moc"
