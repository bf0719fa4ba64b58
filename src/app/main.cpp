// tessaro: the menu editor's window. It talks to phones on USB unless --virtual-phone DIR
// attaches the phone kept in DIR (see examples/virtual-phone; --plug-in plugs it in once the
// window is up) or --no-phone leaves the phone commands off; --open FILE
// opens a menu file at start and --select N selects its node of absolute index N (0 Softkeys,
// 8 Menu Root, 9 on the menu); --screenshot FILE saves a picture of the window once it is
// shown and quits. The program keeps its files in the current folder, in DIR with --folder DIR,
// or in the user's data folder with --user-folder (as the desktop entry starts it).
// --render-preview MENU -o OUT.png draws the phone-screen preview of a menu file and quits.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string_view>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include "core/menu_document.h"
#include "p2k/virtual_phone.h"
#include "session/editor_session.h"
#include "ui/app_translations.h"
#include "ui/core_text.h"
#include "ui/editor_program.h"
#include "ui/main_window.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/preview_render.h"
#include "ui/progress_window.h"
#include "ui/qt_prompter.h"
#include "ui/screenshot.h"
#include "workspace/data_folder.h"

namespace {

// The sample profile installed with the program (share/tessaro/sample beside bin/), or where
// the system keeps shared data.
std::filesystem::path sampleFolder()
{
    const QString besideProgram = QDir(QCoreApplication::applicationDirPath())
                                      .absoluteFilePath(QStringLiteral("../share/tessaro/sample"));
    if (QDir(besideProgram).exists())
        return besideProgram.toStdString();
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("tessaro/sample"),
                                  QStandardPaths::LocateDirectory)
        .toStdString();
}

// The editor's command-line options, added to `parser` with --help and --version.
struct Options {
    explicit Options(QCommandLineParser& parser)
    {
        parser.setApplicationDescription(QStringLiteral("Tessaro: main menu editor for P2K phones"));
        parser.addHelpOption();
        parser.addVersionOption();
        for (const QCommandLineOption* option :
             {&virtualPhone, &plugIn, &noPhone, &folder, &userFolder, &open, &select, &screenshot, &renderPreview})
            parser.addOption(*option);
    }
    const QCommandLineOption folder{
        QStringLiteral("folder"),
        QStringLiteral("Keep the program's files (Profiles/, tessaro.ini, the log) in <dir>."), QStringLiteral("dir")};
    const QCommandLineOption userFolder{
        QStringLiteral("user-folder"),
        QStringLiteral("Keep the program's files in the user's data folder (~/.local/share/tessaro).")};
    const QCommandLineOption virtualPhone{QStringLiteral("virtual-phone"),
                                          QStringLiteral("Attach the virtual phone kept in <dir>."),
                                          QStringLiteral("dir")};
    const QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window to <file> once it is shown, then quit."), QStringLiteral("file")};
    const QCommandLineOption open{QStringLiteral("open"), QStringLiteral("Open the mma_ucp file <file> at start."),
                                  QStringLiteral("file")};
    const QCommandLineOption noPhone{QStringLiteral("no-phone"),
                                     QStringLiteral("Talk to no phone: the phone commands stay off.")};
    const QCommandLineOption plugIn{QStringLiteral("plug-in"), QStringLiteral("Plug the virtual phone in at start.")};
    // Handled before the window is made (ui/preview_render.h); listed here for --help.
    const QCommandLineOption renderPreview{
        QStringLiteral("render-preview"),
        QStringLiteral("Draw the phone-screen preview of the mma_ucp file <menu> into -o OUT.png and quit, with no "
                       "display; also --screen WxH, --language N, --list, --container PATH and the icon sources "
                       "--icons DIR, --drm IMAGE, --virtual-phone DIR (--render-preview --help lists them)."),
        QStringLiteral("menu")};
    const QCommandLineOption select{QStringLiteral("select"),
                                    QStringLiteral("Select the tree node of absolute index <n>."), QStringLiteral("n")};
};

// True when the command line asks only for --help or --version, which need no display.
bool asksForTextOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "--help-all" || arg == "--version" || arg == "-v")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace tessaro;
    // The preview as a picture needs neither the window nor a display.
    if (asksForPreviewPicture(argc, argv))
        return renderPreviewPicture(argc, argv);
    if (asksForTextOnly(argc, argv)) {
        QCoreApplication text(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tessaro"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));
        QCommandLineParser parser;
        const Options options(parser);
        parser.process(text); // answers and exits
        return 0;
    }
    QApplication app(argc, argv);
    prepareEditorApplication(app);

    QCommandLineParser parser;
    const Options options(parser);
    parser.process(app);
    // The windows speak the system's language when there is a translation for it; --help
    // above stays English, like tessaro-cli's, for help2man and scripts.
    installTranslations(app, QLocale::system(),
                        translationFolders(QCoreApplication::applicationDirPath()));

    // Paths on the command line are where the user typed them, also after --folder moves the
    // program into its data folder.
    const QDir typedIn = QDir::current();
    const auto typedPath = [&](const QCommandLineOption& option) {
        return QDir::cleanPath(typedIn.absoluteFilePath(parser.value(option))).toStdString();
    };
    if (parser.isSet(options.folder) || parser.isSet(options.userFolder)) {
        const std::filesystem::path dir = parser.isSet(options.folder)
                                              ? std::filesystem::path(parser.value(options.folder).toStdString())
                                              : userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        const Status ready = prepareDataFolder(dir, sampleFolder());
        std::error_code ec;
        if (ready)
            std::filesystem::current_path(dir, ec);
        if (!ready || ec) {
            const std::string text =
                ready ? QT_TRANSLATE_NOOP("Core", "Cannot use the folder ") + dir.string() : ready.error();
            QMessageBox::critical(nullptr, QStringLiteral("Tessaro"), coreText(text));
            return 1;
        }
    }

    PhoneBackendChoice choice;
    if (parser.isSet(options.virtualPhone)) {
        choice.kind = PhoneBackendChoice::Kind::Virtual;
        choice.virtualFolder = typedPath(options.virtualPhone);
        // Status calls come from a thread of the phone's own, as a real library's may.
        choice.callbackThread = true;
    } else if (parser.isSet(options.noPhone)) {
        choice.kind = PhoneBackendChoice::Kind::None;
    }
    Result<PhoneBackend> backend = makePhoneBackend(choice);
    if (!backend) {
        std::cerr << "tessaro: " << backend.error() << '\n';
        return 1;
    }
    EditorProgram editor(std::move(backend).value());
    EditorSession& context = editor.session();
    MainWindow& window = editor.window();
    VirtualPhone* phone = context.virtualPhone;
    window.show();

    if (phone && parser.isSet(options.plugIn))
        QTimer::singleShot(0, &window, [phone] { phone->plug(); });
    if (parser.isSet(options.open))
        window.openFile(typedPath(options.open));
    if (parser.isSet(options.select)) {
        MenuDocument& document = context.menu.document;
        if (MenuNode* node = document.nodeAt(parser.value(options.select).toULong())) {
            for (MenuNode* up = node->parent(); up; up = up->parent())
                window.tree()->expand(window.tree()->menuModel().indexOfNode(up));
            window.tree()->selectNode(node);
        }
    }
    if (parser.isSet(options.screenshot)) {
        const QString file = QString::fromStdString(typedPath(options.screenshot));
        // After the fade-in (25 ticks of 50 ms) the window is fully shown.
        QTimer::singleShot(2500, &window, [&window, file] {
            const bool saved = saveScreenshot(window, file);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
