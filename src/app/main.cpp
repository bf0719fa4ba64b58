// tessaro: the menu editor's window. Options: --virtual-phone DIR attaches the phone kept in
// DIR (see examples/virtual-phone), --plug-in plugs it in once the window is up; --open FILE
// opens a menu file at start and --select N selects its node of absolute index N (0 Softkeys,
// 8 Menu Root, 9 on the menu); --screenshot FILE saves a picture of the window once it is
// shown and quits.
#include <iostream>
#include <memory>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "core/menu_document.h"
#include "edit/profiles.h"
#include "phone/no_phone.h"
#include "phone/virtual_phone.h"
#include "ui/about_box.h"
#include "ui/app_context.h"
#include "ui/file_dialogs.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/progress_win.h"
#include "ui/qt_prompter.h"
#include "ui/tsdi_app_form.h"

int main(int argc, char** argv)
{
    using namespace tessaro;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaro"));
    QApplication::setApplicationVersion(QStringLiteral("0.6"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tessaro: main menu editor for P2K phones"));
    parser.addHelpOption();
    const QCommandLineOption virtualPhone(
        QStringLiteral("virtual-phone"), QStringLiteral("Attach the virtual phone kept in <dir>."),
        QStringLiteral("dir"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window to <file> once it is shown, then quit."),
        QStringLiteral("file"));
    const QCommandLineOption open(QStringLiteral("open"),
                                  QStringLiteral("Open the mma_ucp file <file> at start."),
                                  QStringLiteral("file"));
    const QCommandLineOption plugIn(QStringLiteral("plug-in"),
                                    QStringLiteral("Plug the virtual phone in at start."));
    const QCommandLineOption select(QStringLiteral("select"),
                                    QStringLiteral("Select the tree node of absolute index <n>."),
                                    QStringLiteral("n"));
    parser.addOption(select);
    parser.addOption(virtualPhone);
    parser.addOption(plugIn);
    parser.addOption(screenshot);
    parser.addOption(open);
    parser.process(app);

    std::unique_ptr<P2kApi> api;
    VirtualPhone* phone = nullptr;
    if (parser.isSet(virtualPhone)) {
        VirtualPhone::Options options;
        // Status calls come from a thread of the phone's own, as a real library's may.
        options.callbackThread = true;
        auto opened = VirtualPhone::open(parser.value(virtualPhone).toStdString(), options);
        if (!opened) {
            std::cerr << "tessaro: " << opened.error() << '\n';
            return 1;
        }
        api = std::move(opened).value();
        phone = static_cast<VirtualPhone*>(api.get());
    } else {
        api = std::make_unique<NoPhone>();
    }

    QtPrompter prompter;
    QtProgressFactory progress;
    QtFileDialogs files;
    AppContext context(ProfileManager::currentFolder(), std::move(api), prompter, progress);
    context.virtualPhone = phone;

    TAboutBox about;
    TSDIAppForm window(context, prompter, files, &about);
    prompter.setParent(&window);
    progress.setOwner(&window);
    files.setParent(&window);
    window.show();

    if (phone && parser.isSet(plugIn))
        QTimer::singleShot(0, &window, [phone] { phone->plug(); });
    if (parser.isSet(open))
        window.openFile(parser.value(open).toStdString());
    if (parser.isSet(select)) {
        MenuDocument& document = context.workspace.document;
        if (MenuNode* node = document.nodeAt(parser.value(select).toULong())) {
            for (MenuNode* up = node->parent(); up; up = up->parent())
                window.tree()->expand(window.tree()->menuModel().indexOfNode(up));
            window.tree()->selectNode(node);
        }
    }
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        // After the fade-in (25 ticks of 50 ms) the window is fully shown.
        QTimer::singleShot(2500, &window, [&window, file] {
            const bool saved = window.screenshot(file);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
