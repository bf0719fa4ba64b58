// tessaro: the menu editor's window. Options: --virtual-phone DIR attaches the phone kept in
// DIR (see examples/virtual-phone); --screenshot FILE saves a picture of the window once it
// is shown and quits.
#include <iostream>
#include <memory>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "edit/profiles.h"
#include "phone/no_phone.h"
#include "phone/virtual_phone.h"
#include "ui/about_box.h"
#include "ui/app_context.h"
#include "ui/file_dialogs.h"
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
    parser.addOption(virtualPhone);
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

    if (parser.isSet(open))
        window.openFile(parser.value(open).toStdString());
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
