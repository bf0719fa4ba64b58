// Where the main window stands after a restart: where it was closed, its frame and its own
// area alike, however often it is started.
#include <QtTest>

#include "p2k/p2k_api.h"
#include "support/ui_harness.h"
#include "ui/main_window.h"

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
};

QTEST_MAIN(WindowPlacementTest)
#include "window_placement_test.moc"
