// The windows on a screen with little room: the offscreen screen of 800x800 at scale 2 leaves
// 400x400 device-independent pixels, less than the phone file browser and the main window
// would like.
#include <QScreen>
#include <QtTest>

#include "p2k/p2k_api.h"
#include "session/editor_session.h"
#include "support/ui_harness.h"
#include "ui/browser_dialogs.h"
#include "ui/main_window.h"
#include "ui/phone_file_browser.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

// What a window manager usually adds around a window.
constexpr QSize kFrame(8, 40);

bool fits(const QWidget& window)
{
    const QRect area = window.screen()->availableGeometry();
    return window.width() + kFrame.width() <= area.width() && window.height() + kFrame.height() <= area.height();
}

QString sizeOf(const QWidget& window)
{
    return QStringLiteral("%1x%2 on %3x%4")
        .arg(window.width())
        .arg(window.height())
        .arg(window.screen()->availableGeometry().width())
        .arg(window.screen()->availableGeometry().height());
}

} // namespace

class SmallScreenTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        quietPlatformWarnings();
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(400, 400));
    }

    void theWindowsOpenNoLargerThanTheScreen()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        QVERIFY2(fits(w), qPrintable(sizeOf(w)));

        BrowserDialogs dialogs;
        QtBrowserChoices choices;
        PhoneFileBrowser browser(h.context->phone, h.context->browser, dialogs, choices);
        QVERIFY2(fits(browser), qPrintable(sizeOf(browser)));
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    SmallScreenTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "small_screen_test.moc"
