// What the editor makes at start and what it leaves until it is first needed: the program's
// pictures are painted when shown, at the size and screen scale asked for, and the About box is
// made when it is first asked for.
#include <QDialog>
#include <QImage>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "p2k/p2k_api.h"
#include "support/ui_harness.h"
#include "ui/about_box.h"
#include "ui/app_icons.h"
#include "ui/main_window.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

struct NamedIcon {
    const char* name;
    std::function<QIcon()> make;
};

const std::vector<NamedIcon>& everyIcon()
{
    static const std::vector<NamedIcon> icons = {
        {"application", applicationIcon},
        {"new", newDocumentIcon},
        {"open", openDocumentIcon},
        {"save", saveDocumentIcon},
        {"open from phone", [] { return phoneCommandIcon(PhoneGlyph::OpenFromPhone); }},
        {"save to phone", [] { return phoneCommandIcon(PhoneGlyph::SaveToPhone); }},
        {"restart phone", [] { return phoneCommandIcon(PhoneGlyph::Restart); }},
        {"tray connected", [] { return trayImage(14); }},
        {"tray disconnected", [] { return trayImage(15); }},
    };
    return icons;
}

int opaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 255;
    return count;
}

} // namespace

class StartUpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    // A picture at a screen scale has the device pixels of that scale, painted for them: the
    // same as the picture of that many pixels at scale 1, not a smaller one stretched.
    void iconsArePaintedAtTheScaleAskedFor()
    {
        for (const NamedIcon& named : everyIcon()) {
            const QIcon icon = named.make();
            QVERIFY2(!icon.isNull(), named.name);
            for (const qreal scale : {1.0, 1.25, 1.5, 2.0, 3.0}) {
                const QString what = QStringLiteral("%1 at %2").arg(QLatin1String(named.name)).arg(scale);
                const QPixmap scaled = icon.pixmap(QSize(24, 24), scale);
                const int side = qRound(24 * scale);
                QCOMPARE(scaled.size(), QSize(side, side));
                QCOMPARE(scaled.devicePixelRatio(), scale);
                const QImage direct = icon.pixmap(QSize(side, side), 1.0).toImage();
                QVERIFY2(scaled.toImage().convertToFormat(direct.format()) == direct, qPrintable(what));
                QVERIFY2(opaquePixels(direct) > side * side / 8, qPrintable(what));
            }
            // A disabled command looks it.
            QVERIFY2(icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled).toImage()
                         != icon.pixmap(QSize(24, 24), 1.0).toImage(),
                     named.name);
        }
    }

    // The sizes a window manager picks the window icon from.
    void theWindowIconOffersTheUsualSizes()
    {
        QCOMPARE(applicationIcon().availableSizes(),
                 (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}));
    }

    void theAboutBoxIsMadeWhenFirstAskedFor()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.findChild<AboutBox*>());

        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget())) {
                shown = box->windowTitle();
                box->accept();
            }
        });
        w.showAbout();
        QCOMPARE(shown, QStringLiteral("About"));
        QVERIFY(w.findChild<AboutBox*>());
    }
};

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
