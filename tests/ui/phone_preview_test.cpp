// The phone-screen preview beside the main window's tree: a known picture lands in its item's
// cell, and the tree and the screen select together.
#include <QtTest>

#include "drm/gif_writer.h"
#include "session/editor_session.h"
#include "support/menu_builder.h"
#include "support/ui_harness.h"
#include "ui/main_window.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/phone_preview_pane.h"
#include "ui/preview_dock.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

constexpr QRgb kLeft = 0xFFFF0000;
constexpr QRgb kRight = 0xFF0000FF;

// 8 x 8 pixels: the left half red, the right half blue.
std::vector<uint8_t> twoColourGif()
{
    ArgbImage image{8, 8, std::vector<uint32_t>(64)};
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            image.pixels[y * 8 + x] = x < 4 ? kLeft : kRight;
    return convertToGif(image).value();
}

} // namespace

class PhonePreviewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pictureLandsInItsCell();
};

void PhonePreviewTest::pictureLandsInItsCell()
{
    WindowHarness harness;
    MenuBuilder menu;
    for (const char* name : {"Message", "PhoneBook", "Games", "Tools", "Radio"})
        menu.add(MenuBuilder::kRoot, name);
    menu.add(MenuBuilder::kRoot, "Camera", 0, iconRecord(12, 3, u"/a/pic/two.gif", ByteOrder::Big));
    writeBytes(harness.dir.path() / "mma_ucp", menu.bytes());
    std::filesystem::create_directories(harness.dir.path() / "icons/a/pic");
    writeBytes(harness.dir.path() / "icons/a/pic/two.gif", twoColourGif());

    MainWindow& window = harness.start();
    window.openFile(harness.dir.file("mma_ucp"));
    PhonePreviewPane& pane = *window.previewDock()->pane();
    pane.setIconFolder(harness.dir.file("icons"));
    pane.setStyle(MenuStyle::Grid);
    pane.setScreenSize({176, 220});
    MenuNode* camera = window.context().menu.document.menuRoot()->child(5);
    window.tree()->selectNode(camera);

    // Camera is the sixth item: the third cell of the second row.
    const ScreenLayout& layout = pane.screen()->screenLayout();
    QCOMPARE(layout.selected, camera);
    const ScreenCell& cell = layout.cells.at(5);
    QCOMPARE(cell.rect, (ScreenRect{117, 80, 59, 59}));
    const QImage screen = renderScreen(layout, pane.pictures());
    const QPoint centre(cell.iconRect.x + cell.iconRect.width / 2, cell.iconRect.y + cell.iconRect.height / 2);
    QCOMPARE(screen.pixel(centre + QPoint(-2, 0)), kLeft);
    QCOMPARE(screen.pixel(centre + QPoint(1, 0)), kRight);
    QVERIFY(screen.pixel(cell.rect.x + cell.rect.width / 2, cell.rect.y + cell.rect.height - 3) != kLeft);

    // The tree shows no picture for Camera's list icon; selecting on the screen selects in the tree.
    const QModelIndex cameraIndex = window.tree()->menuModel().indexOfNode(camera);
    QCOMPARE(cameraIndex.data(Qt::ToolTipRole).toString(), QStringLiteral("The phone shows its own icon"));
    Q_EMIT pane.screen()->nodeChosen(window.context().menu.document.menuRoot()->child(1));
    QCOMPARE(window.tree()->selectedNode(), window.context().menu.document.menuRoot()->child(1));
}

QTEST_MAIN(PhonePreviewTest)
#include "phone_preview_test.moc"
