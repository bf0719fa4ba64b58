// What every window of the editor keeps to: it fits the screens it must (a 1366x768 laptop at
// scale 1, a 1920x1080 screen at scale 1.5 and 2), and each of its buttons has a mnemonic.
#include <QLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

#include "drm/drmpack.h"
#include "support/ui_harness.h"
#include "ui/about_box.h"
#include "session/editor_session.h"
#include "ui/browser_dialogs.h"
#include "ui/double_progress_window.h"
#include "ui/drm_icon_picker.h"
#include "ui/entry_dialogs.h"
#include "ui/item_properties_window.h"
#include "ui/main_window.h"
#include "ui/mnemonics.h"
#include "ui/phone_file_browser.h"
#include "ui/progress_window.h"
#include "ui/setup_dialog.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

constexpr QSize kFrame(8, 40);

struct Screen {
    const char* name;
    QSize size;
    double scale;
};
const Screen kScreens[] = {{"1366x768 at 1", {1366, 768}, 1.0},
                           {"1920x1080 at 1.5", {1920, 1080}, 1.5},
                           {"1920x1080 at 2", {1920, 1080}, 2.0}};

QSize needed(QWidget& window)
{
    window.ensurePolished();
    if (window.layout())
        window.layout()->activate();
    return window.minimumSizeHint().expandedTo(window.minimumSize()) + kFrame;
}

using WindowMaker = std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>;

// What the windows work on besides the harness.
struct WindowParts {
    EntryLanguages languages;
    BrowserDialogs browserDialogs;
    QtBrowserChoices choices;
};

// Each window of the editor with a maker; the main window (made by the harness) has none.
std::vector<WindowMaker> allWindows(WindowHarness& h, WindowParts& parts)
{
    h.start();
    return {
        {"main window", nullptr},
        {"Item properties",
         [&h, &parts] {
             return std::make_unique<ItemPropertiesWindow>(*h.context, h.prompter, h.files, parts.languages);
         }},
        {"Settings",
         [&h] {
             return std::make_unique<SetupDialog>(h.context->settings, h.dir.file("tessaro.ini"), nullptr, false,
                                                  h.files, h.prompter);
         }},
        {"Picture Picker",
         [&h, &parts] {
             return std::make_unique<PhoneFileBrowser>(h.context->phone, h.context->browser, parts.browserDialogs,
                                                       parts.choices);
         }},
        {"DRM Icon Picker", [&h] { return std::make_unique<DrmIconPicker>(h.context->drmPack, h.files, h.prompter); }},
        {"About", [] { return std::make_unique<AboutBox>(); }},
        {"Name settings", [] { return std::make_unique<TitleEntryDialog>(); }},
        {"Text editor", [] { return std::make_unique<TextEntryDialog>(); }},
        {"mask", [] { return std::make_unique<MaskDialog>(); }},
        {"attributes", [] { return std::make_unique<AttributesDialog>(); }},
        {"delete confirmation", [] { return std::make_unique<DeleteConfirmDialog>(); }},
        {"progress", [&h] { return std::make_unique<ProgressWindow>(h.window.get()); }},
        {"double progress", [&h] { return std::make_unique<DoubleProgressWindow>(h.window.get()); }},
    };
}

} // namespace

class EveryWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }

    // Sizes are in device-independent pixels, so a window fits a scaled screen when its
    // minimum size fits the screen divided by the scale; room is left for the window
    // manager's title bar and frame.
    void everyWindowFitsEveryScreen()
    {
        WindowHarness h;
        WindowParts parts;
        const auto windows = allWindows(h, parts);
        QStringList tooLarge;
        for (const auto& [name, make] : windows) {
            std::unique_ptr<QWidget> made = make ? make() : nullptr;
            QWidget& window = made ? *made : static_cast<QWidget&>(*h.window);
            const QSize size = needed(window);
            for (const Screen& screen : kScreens) {
                const QSize room = screen.size / screen.scale;
                if (size.width() > room.width() || size.height() > room.height())
                    tooLarge << QStringLiteral("%1 needs %2x%3 on %4 (room %5x%6)")
                                    .arg(QLatin1String(name))
                                    .arg(size.width())
                                    .arg(size.height())
                                    .arg(QLatin1String(screen.name))
                                    .arg(room.width())
                                    .arg(room.height());
            }
        }
        QVERIFY2(tooLarge.isEmpty(), qPrintable(tooLarge.join(QLatin1Char('\n'))));
    }

    void everyDialogButtonHasAMnemonic()
    {
        WindowHarness h;
        WindowParts parts;
        QStringList without;
        for (const auto& [name, make] : allWindows(h, parts)) {
            if (!make)
                continue;
            const std::unique_ptr<QWidget> window = make();
            for (const QPushButton* button : window->findChildren<QPushButton*>())
                // A caption without a letter ("...") cannot carry one.
                if (button->text().contains(QRegularExpression(QStringLiteral("\\w")))
                    && mnemonicOf(button->text()).isNull())
                    without << QLatin1String(name) + QStringLiteral(": ") + button->text();
        }
        QVERIFY2(without.isEmpty(), qPrintable(without.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(EveryWindowTest)
#include "every_window_test.moc"
