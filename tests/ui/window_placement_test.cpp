// Where the main window stands after a restart: where it was closed, its frame and its own
// area alike, however often it is started.
#include <QLayout>
#include <QScreen>
#include <QSplitter>
#include <QtTest>

#include "p2k/p2k_api.h"
#include "support/ui_harness.h"
#include "ui/main_window.h"
#include "ui/window_placement.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

// Fades the window in and out through its own ticks until it is gone (its place is saved).
void closeThroughTheFade(MainWindow& w)
{
    while (w.fade().level() != 255)
        w.fadeTick();
    w.close();
    for (int ticks = 0; w.isVisible() && ticks < 100; ++ticks)
        w.fadeTick();
}

} // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    // The offscreen platform puts a frame of a few pixels around each window, as a window
    // manager does: a place restored as if it held the frame moves the window by it.
    void theWindowStartsWhereItWasClosed()
    {
        WindowHarness first;
        MainWindow& w = first.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.frameGeometry() != w.geometry());
        w.resize(440, 500);
        w.move(31, 40);
        QTRY_COMPARE(w.frameGeometry().topLeft(), QPoint(31, 40));
        const QRect frame = w.frameGeometry();
        const QRect area = w.geometry();
        closeThroughTheFade(w);
        QVERIFY(!w.isVisible());

        for (int restart = 1; restart <= 3; ++restart) {
            WindowHarness again(nullptr, first.dir.path().string());
            MainWindow& next = again.start();
            next.show();
            QVERIFY(QTest::qWaitForWindowExposed(&next));
            QTRY_COMPARE(next.frameGeometry(), frame);
            QCOMPARE(next.geometry(), area);
            closeThroughTheFade(next);
        }
    }

    // A place remembered on a screen with more room (the offscreen one has 800x800) is pulled
    // onto this one, keeping the size that fits.
    void aPlaceOffTheScreenIsPulledOntoIt()
    {
        WindowHarness h;
        {
            QWidget elsewhere;
            QSplitter splitter(&elsewhere);
            elsewhere.setGeometry(600, 420, 440, 500);
            savePlacement(elsewhere, splitter, h.dir.file("tessaro.ini"));
        }
        MainWindow& w = h.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect area = w.screen()->availableGeometry();
        QTRY_VERIFY2(area.contains(w.geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                 .arg(w.geometry().x())
                                                                 .arg(w.geometry().y())
                                                                 .arg(w.width())
                                                                 .arg(w.height())));
        QCOMPARE(w.size(), QSize(440, 500));
    }

    // The window and a usual frame fit a 1366x768 screen at scale 2: 683x384 device-independent
    // pixels.
    void theMainWindowFitsASmallScaledScreen()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.ensurePolished();
        w.layout()->activate();
        const QSize needed = w.minimumSizeHint().expandedTo(w.minimumSize()) + QSize(8, 40);
        QVERIFY2(needed.width() <= 683 && needed.height() <= 384,
                 qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "window_placement_test.moc"
