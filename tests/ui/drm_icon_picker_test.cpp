// The DRM icon picker window over packs built in a temporary folder: its controls, the
// opening, the arrows, the key rules of the number field, the screen sizes, "Load new..."
// and the number it hands back.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "drm/cg15_builder.h"
#include "drm/drmpack.h"
#include "drm/gif_writer.h"
#include "support/ui_harness.h"
#include "ui/drm_icon_picker.h"
#include "ui/gif_preview.h"
#include "ui/up_down_arrows.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

std::vector<uint8_t> gifOf(uint32_t width, uint32_t height)
{
    ArgbImage image{width, height, std::vector<uint32_t>(size_t(width) * height, 0xFF336699)};
    return convertToGif(image).value();
}

// Two frames of 1 x 1 pixel, 10/100 s each, looping.
const std::vector<uint8_t> kAnimatedGif = {
    'G', 'I', 'F', '8', '9', 'a',
    0x01, 0x00, 0x01, 0x00,       // logical screen 1 x 1
    0x80, 0x00, 0x00,             // global colour table of 2 entries
    0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
    0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
    0x03, 0x01, 0x00, 0x00, 0x00, // loop for ever
    0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,             // delay 10
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, // image 1 x 1
    0x02, 0x02, 0x44, 0x01, 0x00,                               // index 0
    0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
    0x02, 0x02, 0x4C, 0x01, 0x00,                               // index 1
    0x3B,
};

// Twelve stored icons; number n is (10 + n) x (20 + n): total 13, numbers 1 to 12.
std::vector<std::vector<uint8_t>> twelveIcons()
{
    std::vector<std::vector<uint8_t>> icons;
    for (uint32_t n = 1; n <= 12; ++n)
        icons.push_back(gifOf(10 + n, 20 + n));
    return icons;
}

std::string packFile(const TempDir& dir, const std::string& name, std::vector<std::vector<uint8_t>> stored,
                     std::vector<RawIconSpec> raw = {})
{
    Cg15Builder b;
    b.stored = std::move(stored);
    if (!raw.empty()) {
        b.kind = PackKind::HeadedRaw;
        b.raw = std::move(raw);
    }
    const std::string path = dir.file(name);
    writeBytes(path, b.build());
    return path;
}

struct Picker {
    TempDir dir;
    DrmPack pack;
    RecordingPrompter prompter;
    FakeFileDialogs files;
    std::unique_ptr<DrmIconPicker> window;

    explicit Picker(std::vector<std::vector<uint8_t>> stored = twelveIcons())
    {
        pack.setPackPath(packFile(dir, "pack.smg", std::move(stored)));
    }

    DrmIconPicker& open()
    {
        window = std::make_unique<DrmIconPicker>(pack, files, prompter);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("picker not shown");
        return *window;
    }

    QLineEdit* edit() { return child<QLineEdit>(*window, "numberField"); }
    UpDownArrows* arrows() { return child<UpDownArrows>(*window, "numberArrows"); }
    QString label() { return child<QLabel>(*window, "sizeLabel")->text(); }
    GifPreview* preview() { return child<GifPreview>(*window, "preview"); }
    QRadioButton* screenSize(int index)
    {
        return child<QGroupBox>(*window, "screenSizeGroup")->findChildren<QRadioButton*>().at(index);
    }
    void up() { QTest::mouseClick(arrows()->upButton(), Qt::LeftButton); }
    void down() { QTest::mouseClick(arrows()->downButton(), Qt::LeftButton); }
    void type(const char* keys) { QTest::keyClicks(edit(), QString::fromLatin1(keys)); }
    void selectAll() { edit()->selectAll(); }
};

} // namespace

class DrmPickerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    void controlsAndCaptions()
    {
        Picker p;
        DrmIconPicker picker(p.pack, p.files, p.prompter);
        QCOMPARE(picker.windowTitle(), QStringLiteral("DRM Icon Picker"));
        QCOMPARE(child<QLabel>(picker, "headingLabel")->text(), QStringLiteral("Select an icon"));
        QCOMPARE(child<QLineEdit>(picker, "numberField")->text(), QStringLiteral("1"));
        auto* arrows = child<UpDownArrows>(picker, "numberArrows");
        QCOMPARE(arrows->minimum(), 1);
        QCOMPARE(arrows->position(), 1);
        QCOMPARE(child<QLabel>(picker, "sizeLabel")->text(), QStringLiteral("Size:"));
        auto* centred = child<QCheckBox>(picker, "centeredBox");
        QCOMPARE(centred->text(), QStringLiteral("Centered"));
        QVERIFY(centred->isChecked());
        auto* sizes = child<QGroupBox>(picker, "screenSizeGroup");
        QCOMPARE(sizes->title(), QStringLiteral("Screen size"));
        const QList<QRadioButton*> radios = sizes->findChildren<QRadioButton*>();
        QCOMPARE(radios.size(), 4);
        const char* captions[] = {"128x128", "120x160", "176x220", "240x320"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(radios[i]->text(), QString::fromLatin1(captions[i]));
            QCOMPARE(radios[i]->isChecked(), i == 2);
        }
        QCOMPARE(child<QGroupBox>(picker, "previewFrame")->title(), QStringLiteral("Picture preview"));
        QCOMPARE(child<GifPreview>(picker, "preview")->size(), QSize(176, 220));
        auto* ok = child<QPushButton>(picker, "okButton");
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        QVERIFY(ok->isDefault());
        QCOMPARE(child<QPushButton>(picker, "cancelButton")->text(), QStringLiteral("&Cancel"));
        auto* loadNew = child<QPushButton>(picker, "loadNewButton");
        QCOMPARE(loadNew->text(), QStringLiteral("&Load new..."));
        QCOMPARE(loadNew->toolTip(), QStringLiteral("Open new CG15 binary"));
        // A fixed border, only the system menu on the title bar.
        const Qt::WindowFlags flags = picker.windowFlags();
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                           | Qt::WindowContextHelpButtonHint)));
        QCOMPARE(picker.minimumSize(), picker.maximumSize());
        // Nothing is read before the window opens.
        QVERIFY(!p.pack.isLoaded());
    }

    void openingLoadsThePackAtNumberOne()
    {
        Picker p;
        p.open();
        QVERIFY(p.pack.isLoaded());
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        QCOMPARE(p.arrows()->maximum(), 12);
        QCOMPARE(p.arrows()->position(), 1);
        QCOMPARE(p.label(), QStringLiteral("Size: 11x21"));
        QVERIFY(p.preview()->hasPicture());
        const std::vector<uint8_t> first = *p.pack.extractDrmIcon(0);
        QCOMPARE(p.preview()->gif(), QByteArray(reinterpret_cast<const char*>(first.data()), qsizetype(first.size())));
        QVERIFY(p.prompter.prompts.empty());
    }

    void everyOpeningReadsTheFileAgain()
    {
        Picker p;
        p.open();
        p.selectAll();
        p.type("5");
        QCOMPARE(p.edit()->text(), QStringLiteral("5"));
        p.window.reset();
        // The same path, other contents: the next opening shows them, back at number 1.
        packFile(p.dir, "pack.smg", {gifOf(40, 30), gifOf(2, 2)});
        QVERIFY(p.pack.isLoaded());
        p.open();
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        QCOMPARE(p.arrows()->maximum(), 2);
        QCOMPARE(p.label(), QStringLiteral("Size: 40x30"));
    }

    void centredOnItsOwner()
    {
        Picker p;
        QWidget owner;
        owner.setGeometry(100, 80, 800, 600);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        DrmIconPicker picker(p.pack, p.files, p.prompter, &owner);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        // Within the few pixels a window frame may add.
        const QPoint offset = picker.frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    }

    void emptyIconShowsNoImage()
    {
        Picker p({gifOf(16, 16), {}, gifOf(8, 8)});
        p.open();
        QCOMPARE(p.label(), QStringLiteral("Size: 16x16"));
        p.up();
        QCOMPARE(p.edit()->text(), QStringLiteral("2"));
        QCOMPARE(p.label(), QStringLiteral("[no image]"));
        QVERIFY(!p.preview()->hasPicture());
        p.up();
        QCOMPARE(p.label(), QStringLiteral("Size: 8x8"));
        QVERIFY(p.preview()->hasPicture());
    }

    void packOfTotalOneOffersNothing()
    {
        Picker p(std::vector<std::vector<uint8_t>>{});
        p.open();
        QCOMPARE(p.pack.total(), 1u);
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        QCOMPARE(p.label(), QStringLiteral("[no image]"));
        QCOMPARE(p.arrows()->maximum(), 0);
        p.selectAll();
        p.type("1");
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        p.up();
        p.down();
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        QCOMPARE(p.arrows()->position(), 1);
    }

    void arrowsWrapAtBothEnds()
    {
        Picker p;
        p.open();
        p.down();
        QCOMPARE(p.edit()->text(), QStringLiteral("12"));
        QCOMPARE(p.arrows()->position(), 12);
        QCOMPARE(p.label(), QStringLiteral("Size: 22x32"));
        p.up();
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        QCOMPARE(p.label(), QStringLiteral("Size: 11x21"));
        p.up();
        QCOMPARE(p.edit()->text(), QStringLiteral("2"));
        QCOMPARE(p.arrows()->position(), 2);
        QCOMPARE(p.label(), QStringLiteral("Size: 12x22"));
        // The arrows leave the focus in the number field.
        QCOMPARE(p.arrows()->upButton()->focusPolicy(), Qt::NoFocus);
    }

    void typedDigitsInRangeAreTaken()
    {
        Picker p;
        p.open();
        // Replacing the selected "1" by "9" shows number 9.
        p.selectAll();
        p.type("9");
        QCOMPARE(p.edit()->text(), QStringLiteral("9"));
        QCOMPARE(p.edit()->cursorPosition(), 1);
        QCOMPARE(p.arrows()->position(), 9);
        QCOMPARE(p.label(), QStringLiteral("Size: 19x29"));
        // "91" is above 12: the text before the key stays.
        p.type("1");
        QCOMPARE(p.edit()->text(), QStringLiteral("9"));
        QCOMPARE(p.arrows()->position(), 9);
        // A digit goes in at the caret: "1" before "9" would be 19, refused; "1" then "2"
        // after a fresh "1" makes 12.
        p.edit()->setCursorPosition(0);
        p.type("1");
        QCOMPARE(p.edit()->text(), QStringLiteral("9"));
        p.selectAll();
        p.type("12");
        QCOMPARE(p.edit()->text(), QStringLiteral("12"));
        QCOMPARE(p.label(), QStringLiteral("Size: 22x32"));
        // Replacing a selection in the middle: select "2" of "12", type "0" -> "10".
        p.edit()->setSelection(1, 1);
        p.type("0");
        QCOMPARE(p.edit()->text(), QStringLiteral("10"));
        QCOMPARE(p.arrows()->position(), 10);
        QVERIFY(p.prompter.prompts.empty());
    }

    void otherKeysAreDiscarded()
    {
        Picker p;
        p.open();
        p.edit()->setCursorPosition(1);
        p.type("x-+ .");
        QTest::keyClick(p.edit(), Qt::Key_Delete);
        p.edit()->setCursorPosition(0);
        QTest::keyClick(p.edit(), Qt::Key_Delete);
        QTest::keyClick(p.edit(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(p.edit(), Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        // Moving the caret still works: End, then "0" makes 10.
        QTest::keyClick(p.edit(), Qt::Key_Home);
        QCOMPARE(p.edit()->cursorPosition(), 0);
        QTest::keyClick(p.edit(), Qt::Key_End);
        p.type("0");
        QCOMPARE(p.edit()->text(), QStringLiteral("10"));
        // No way in but the keys: no context menu, no drops, no input method.
        QCOMPARE(p.edit()->contextMenuPolicy(), Qt::NoContextMenu);
        QVERIFY(!p.edit()->acceptDrops());
        QVERIFY(!p.edit()->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void backspaceShrinksTheTextOnly()
    {
        Picker p;
        p.open();
        p.selectAll();
        p.type("12");
        QCOMPARE(p.label(), QStringLiteral("Size: 22x32"));
        QTest::keyClick(p.edit(), Qt::Key_Backspace);
        // The field says 1 while number 12 is still shown.
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        QCOMPARE(p.label(), QStringLiteral("Size: 22x32"));
        QCOMPARE(p.arrows()->position(), 12);
        QTest::keyClick(p.edit(), Qt::Key_Backspace);
        QCOMPARE(p.edit()->text(), QString());
        // "0" into the empty field is refused.
        p.type("0");
        QCOMPARE(p.edit()->text(), QString());
        // Backspace on a selection removes it.
        p.type("11");
        p.edit()->setSelection(0, 1);
        QTest::keyClick(p.edit(), Qt::Key_Backspace);
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        QCOMPARE(p.edit()->cursorPosition(), 0);
        QCOMPARE(p.label(), QStringLiteral("Size: 21x31"));
        QCOMPARE(p.window->numberText(), std::string("1"));
    }

    void screenSizesGrowTheWindow()
    {
        Picker p;
        DrmIconPicker& w = p.open();
        auto* frame = child<QGroupBox>(w, "previewFrame");
        auto* sizes = child<QGroupBox>(w, "screenSizeGroup");
        auto* ok = child<QPushButton>(w, "okButton");
        auto* cancel = child<QPushButton>(w, "cancelButton");
        auto* loadNew = child<QPushButton>(w, "loadNewButton");
        auto* sizeLabel = child<QLabel>(w, "sizeLabel");
        const QSize window0 = w.size();
        const QRect frame0 = frame->geometry();
        const QRect sizes0 = sizes->geometry();
        const QRect ok0 = ok->geometry();
        const QRect cancel0 = cancel->geometry();
        const QRect loadNew0 = loadNew->geometry();
        const QRect sizeLabel0 = sizeLabel->geometry();
        QCOMPARE(p.preview()->size(), QSize(176, 220));
        // The screen-size group's foot is level with "Centered"; the buttons stand below both.
        QCOMPARE(sizes0.bottom(), child<QCheckBox>(w, "centeredBox")->geometry().bottom());
        QVERIFY(ok0.top() > sizes0.bottom());
        QVERIFY(clippedChildren(w).isEmpty());

        const struct {
            int index;
            int width;
            int height;
        } cases[] = {{3, 240, 320}, {1, 120, 160}, {0, 128, 128}, {2, 176, 220}};
        for (const auto& c : cases) {
            p.screenSize(c.index)->click();
            QVERIFY(p.screenSize(c.index)->isChecked());
            const int dx = c.width - 176;
            const int dy = c.height - 220;
            QCOMPARE(p.preview()->size(), QSize(c.width, c.height));
            QCOMPARE(w.size(), window0 + QSize(dx, dy));
            QCOMPARE(w.minimumSize(), w.maximumSize());
            QCOMPARE(frame->geometry(), frame0.adjusted(0, 0, dx, dy));
            QCOMPARE(sizes->geometry(), sizes0.translated(dx, dy));
            QCOMPARE(ok->geometry(), ok0.translated(dx, dy));
            QCOMPARE(cancel->geometry(), cancel0.translated(dx, dy));
            QCOMPARE(loadNew->geometry(), loadNew0.translated(0, dy));
            QCOMPARE(sizeLabel->geometry(), sizeLabel0.translated(0, dy).adjusted(0, 0, dx, 0));
            QCOMPARE(p.window->model().screenSize(), c.index);
            QVERIFY2(clippedChildren(w).isEmpty(), qPrintable(clippedChildren(w).join(u' ')));
        }
        // The picture is never resized to the area.
        QCOMPARE(p.preview()->pictureRect().size(), QSize(11, 21));
    }

    void largerTextIsNotClipped()
    {
        const QFont usual = QApplication::font();
        QFont large = usual;
        large.setPointSizeF(usual.pointSizeF() * 1.5);
        QApplication::setFont(large);
        QStringList clipped;
        {
            Picker p;
            DrmIconPicker& w = p.open();
            clipped << clippedChildren(w);
            p.screenSize(0)->click(); // the smallest preview
            clipped << clippedChildren(w);
        }
        QApplication::setFont(usual);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u' ')));
    }

    void centeredOrTopLeft()
    {
        Picker p({gifOf(16, 16)});
        p.open();
        QCOMPARE(p.preview()->pictureRect(), QRect((176 - 16) / 2, (220 - 16) / 2, 16, 16));
        auto* centred = child<QCheckBox>(*p.window, "centeredBox");
        centred->click();
        QVERIFY(!p.preview()->isCentered());
        QVERIFY(!p.window->model().isCentered());
        QCOMPARE(p.preview()->pictureRect(), QRect(0, 0, 16, 16));
        centred->click();
        p.screenSize(3)->click();
        QCOMPARE(p.preview()->pictureRect(), QRect((240 - 16) / 2, (320 - 16) / 2, 16, 16));
    }

    void animatedIconsPlay()
    {
        Picker p({kAnimatedGif, gifOf(3, 3)});
        p.open();
        QCOMPARE(p.label(), QStringLiteral("Size: 1x1"));
        QMovie* movie = p.preview()->movie();
        QVERIFY(movie);
        QCOMPARE(movie->frameCount(), 2);
        QCOMPARE(movie->state(), QMovie::Running);
        QTRY_VERIFY(movie->currentFrameNumber() == 1);
        p.up();
        QCOMPARE(p.label(), QStringLiteral("Size: 3x3"));
        QCOMPARE(p.preview()->movie()->frameCount(), 1);
    }

    void storedBytesThatAreNoGif()
    {
        Picker p({gifOf(16, 16), {'n', 'o', 't', ' ', 'a', ' ', 'G', 'I', 'F', '!', '!'}});
        p.open();
        p.up();
        // The preview's reader fails with its own error; the size label keeps its text.
        QCOMPARE(p.prompter.prompts.size(), size_t(1));
        QCOMPARE(p.prompter.prompts[0].icon, MessageIcon::Error);
        QVERIFY(!p.prompter.prompts[0].text.empty());
        QCOMPARE(p.label(), QStringLiteral("Size: 16x16"));
        QVERIFY(!p.preview()->hasPicture());
        QCOMPARE(p.edit()->text(), QStringLiteral("2"));
    }

    void loadNewCancelledKeepsThePack()
    {
        Picker p;
        p.open();
        p.selectAll();
        p.type("7");
        const std::string path = p.pack.packPath();
        p.files.answers = {""};
        child<QPushButton>(*p.window, "loadNewButton")->click();
        QCOMPARE(p.files.requests.size(), size_t(1));
        QCOMPARE(p.files.requests[0].title, std::string("Select a DRM binary"));
        QCOMPARE(p.files.requests[0].filter, std::string("CG15 binaries|*.smg;*.bin|All files|*.*"));
        QCOMPARE(p.pack.packPath(), path);
        QVERIFY(p.pack.isLoaded());
        QCOMPARE(p.pack.total(), 13u);
        QCOMPARE(p.edit()->text(), QStringLiteral("7"));
        QCOMPARE(p.label(), QStringLiteral("Size: 17x27"));
        QVERIFY(p.preview()->hasPicture());
        QCOMPARE(p.arrows()->maximum(), 12);
    }

    void loadNewReadsTheChosenFile()
    {
        Picker p;
        p.open();
        p.selectAll();
        p.type("7");
        // A headed image with a raw table: two raw pictures come first.
        const std::string other = packFile(p.dir, "other.bin", {gifOf(30, 40), gifOf(1, 1)},
                                           {solidRawIcon(5, 7, 0xF800), solidRawIcon(9, 4, 0x07E0)});
        p.files.answers = {other};
        child<QPushButton>(*p.window, "loadNewButton")->click();
        QCOMPARE(p.pack.packPath(), other);
        QVERIFY(p.pack.isLoaded());
        // 3 offset entries + 2 raw records - 1.
        QCOMPARE(p.arrows()->maximum(), 3);
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        QCOMPARE(p.label(), QStringLiteral("Size: 5x7"));
        QVERIFY(p.preview()->hasPicture());
        p.up();
        QCOMPARE(p.label(), QStringLiteral("Size: 9x4"));
        p.up();
        QCOMPARE(p.label(), QStringLiteral("Size: 30x40"));
        p.up();
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
        // The next "Load new..." starts in the folder of the pack in use.
        p.files.answers = {""};
        child<QPushButton>(*p.window, "loadNewButton")->click();
        QCOMPARE(p.files.requests.back().folder, p.dir.path().string());
        QVERIFY(p.prompter.prompts.empty());
    }

    void loadNewOfAnUnreadableFile()
    {
        Picker p;
        p.open();
        const std::string missing = p.dir.file("gone.smg");
        p.files.answers = {missing};
        child<QPushButton>(*p.window, "loadNewButton")->click();
        QCOMPARE(p.prompter.texts(),
                 std::vector<std::string>{"Cannot open file \"" + missing + "\". No such file or directory"});
        QCOMPARE(p.prompter.prompts[0].icon, MessageIcon::Error);
        QCOMPARE(p.pack.packPath(), missing);
        QVERIFY(!p.pack.isLoaded());
        // Nothing is offered any more; the arrows and digits do nothing.
        p.up();
        p.selectAll();
        p.type("2");
        QCOMPARE(p.edit()->text(), QStringLiteral("1"));
    }

    void openingAnUnreadableFile()
    {
        Picker p;
        p.pack.setPackPath(p.dir.file("nothing.smg"));
        p.open();
        QCOMPARE(p.prompter.prompts.size(), size_t(1));
        QVERIFY(!p.pack.isLoaded());
        QCOMPARE(p.label(), QStringLiteral("Size:"));
        // Another file can still be chosen.
        p.files.answers = {p.dir.file("pack.smg")};
        child<QPushButton>(*p.window, "loadNewButton")->click();
        QCOMPARE(p.label(), QStringLiteral("Size: 11x21"));
        QVERIFY(p.pack.isLoaded());
    }

    void enterIsOkAndEscapeCancel()
    {
        Picker p;
        p.open();
        QTest::keyClick(p.edit(), Qt::Key_Return);
        QCOMPARE(p.window->result(), int(QDialog::Accepted));
        p.open();
        QTest::keyClick(p.edit(), Qt::Key_Escape);
        QCOMPARE(p.window->result(), int(QDialog::Rejected));
    }

    void pickReturnsTheFieldText()
    {
        Picker p;
        // The pack is not loaded yet: the file is asked for first.
        p.files.answers = {p.pack.packPath()};
        p.pack.setPackPath({});
        QTimer::singleShot(0, this, [] {
            auto* picker = qobject_cast<DrmIconPicker*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            auto* edit = child<QLineEdit>(*picker, "numberField");
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("12"));
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::mouseClick(child<QPushButton>(*picker, "okButton"), Qt::LeftButton);
        });
        QWidget owner;
        const std::optional<std::string> number = pickDrmIcon(&owner, p.pack, p.files, p.prompter);
        QCOMPARE(number, std::optional<std::string>("1"));
        QCOMPARE(p.files.requests.size(), size_t(1));
        QCOMPARE(p.files.requests[0].title, std::string("Select a DRM binary"));
        QCOMPARE(p.files.requests[0].filter, std::string("CG15 binaries|*.smg;*.bin|All files|*.*"));
        QVERIFY(p.pack.isLoaded());
        QCOMPARE(p.pack.packPath(), p.dir.file("pack.smg"));
        QVERIFY(owner.findChildren<DrmIconPicker*>().isEmpty());

        // Loaded now: no question, and Cancel gives nothing.
        QTimer::singleShot(0, this, [] {
            auto* picker = qobject_cast<DrmIconPicker*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            QTest::mouseClick(child<QPushButton>(*picker, "cancelButton"), Qt::LeftButton);
        });
        QCOMPARE(pickDrmIcon(&owner, p.pack, p.files, p.prompter), std::nullopt);
        QCOMPARE(p.files.requests.size(), size_t(1));
    }

    void pickCancelledAtTheFileQuestion()
    {
        Picker p;
        const std::string path = p.pack.packPath();
        p.files.answers = {""};
        QCOMPARE(pickDrmIcon(nullptr, p.pack, p.files, p.prompter), std::nullopt);
        QCOMPARE(p.files.requests.size(), size_t(1));
        QCOMPARE(p.files.requests[0].folder, p.dir.path().string());
        QCOMPARE(p.pack.packPath(), path);
        QVERIFY(!p.pack.isLoaded());
    }
};

QTEST_MAIN(DrmPickerTest)
#include "drm_icon_picker_test.moc"
