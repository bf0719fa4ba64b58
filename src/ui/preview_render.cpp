#include "ui/preview_render.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include "core/open_menu.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "p2k/virtual_phone.h"
#include "preview/icon_check.h"
#include "preview/phone_icons.h"
#include "preview/screen_layout.h"
#include "session/editor_session.h"
#include "session/menu_open.h"
#include "ui/phone_screen_painter.h"
#include "workspace/profiles.h"

namespace tessaro {

namespace {

// Nobody is there to answer: messages go to stderr, questions are answered No.
class StderrPrompter : public Prompter {
public:
    void show(MessageIcon, const std::string& caption, const std::string& text) override
    {
        std::cerr << (caption.empty() ? "" : caption + ": ") << text << '\n';
    }
    Answer ask(MessageIcon icon, const std::string& caption, const std::string& text, Buttons buttons) override
    {
        show(icon, caption, text);
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
};

class NoProgress : public Progress {
public:
    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    void setBar(int, int) override {}

private:
    std::string caption_;
};

class NoProgressFactory : public ProgressFactory {
public:
    std::unique_ptr<Progress> openSingle() override { return std::make_unique<NoProgress>(); }
};

int failed(const std::string& text)
{
    std::cerr << "tessaro: " << text << '\n';
    return 1;
}

} // namespace

bool asksForPreviewPicture(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--render-preview" || arg.starts_with("--render-preview="))
            return true;
    }
    return false;
}

int renderPreviewPicture(int argc, char** argv)
{
    // Drawn in memory: no display is needed, whatever the environment holds.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tessaro: the phone-screen preview of a menu file as a picture"));
    parser.addHelpOption();
    const QCommandLineOption render(QStringLiteral("render-preview"),
                                    QStringLiteral("Render the preview of the mma_ucp file <menu>."),
                                    QStringLiteral("menu"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The PNG file to write."), QStringLiteral("file"));
    const QCommandLineOption screen(QStringLiteral("screen"),
                                    QStringLiteral("Screen size: 128x160, 176x220 (default) or 240x320."),
                                    QStringLiteral("WxH"));
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("Language id 1 to 47 of the titles (default: each item's first)."),
                                      QStringLiteral("n"));
    const QCommandLineOption list(QStringLiteral("list"), QStringLiteral("Show the menu as a list, not a grid."));
    const QCommandLineOption container(QStringLiteral("container"),
                                       QStringLiteral("The container shown, as a path of names (\"Settings/Tools\")."),
                                       QStringLiteral("path"));
    const QCommandLineOption virtualPhone(QStringLiteral("virtual-phone"),
                                          QStringLiteral("Take icons from the virtual phone kept in <dir>."),
                                          QStringLiteral("dir"));
    const QCommandLineOption icons(QStringLiteral("icons"),
                                   QStringLiteral("Take icons from <dir>, a copy of the phone's files."),
                                   QStringLiteral("dir"));
    const QCommandLineOption drm(QStringLiteral("drm"),
                                 QStringLiteral("Take DRM icons from the CG15 firmware image <image>."),
                                 QStringLiteral("image"));
    const QCommandLineOption folder(QStringLiteral("folder"),
                                    QStringLiteral("The program's files (Profiles/ with the item base) are in <dir>."),
                                    QStringLiteral("dir"));
    parser.addOptions({render, output, screen, language, list, container, virtualPhone, icons, drm, folder});
    parser.process(app);
    if (!parser.isSet(output))
        return failed("--render-preview needs -o OUT.png");

    PreviewOptions options;
    if (parser.isSet(screen)) {
        const auto size = parseScreenSize(parser.value(screen).toStdString());
        if (!size)
            return failed("unknown screen size " + parser.value(screen).toStdString());
        options.screen = *size;
    }
    options.style = parser.isSet(list) ? MenuStyle::List : MenuStyle::Grid;
    if (parser.isSet(language)) {
        bool number = false;
        options.language = parser.value(language).toInt(&number);
        if (!number || options.language < 1 || options.language > 47)
            return failed("the language is a number from 1 to 47");
    }

    PhoneBackendChoice choice;
    choice.kind = PhoneBackendChoice::Kind::None;
    if (parser.isSet(virtualPhone)) {
        choice.kind = PhoneBackendChoice::Kind::Virtual;
        choice.virtualFolder = parser.value(virtualPhone).toStdString();
    }
    Result<PhoneBackend> backend = makePhoneBackend(choice);
    if (!backend)
        return failed(backend.error());
    StderrPrompter prompter;
    NoProgressFactory progress;
    const std::string dataFolder = parser.isSet(folder) ? QDir(parser.value(folder)).absolutePath().toStdString()
                                                        : ProfileManager::currentFolder();
    EditorSession session(dataFolder, std::move(backend).value(), prompter, progress);
    (void)session.startUp(true);
    const Result<MenuOpenReport> opened =
        openMenuFile(parser.value(render).toStdString(), session.menu, session.profiles, false);
    if (!opened)
        return failed(opened.error());

    IconSources sources;
    if (parser.isSet(icons))
        sources.setFolder(parser.value(icons).toStdString());
    if (parser.isSet(drm)) {
        session.drmPack.setPackPath(parser.value(drm).toStdString());
        if (const Result<uint32_t> total = session.drmPack.loadDrmPack(session.drmPack.packPath()); !total)
            return failed(total.error());
        sources.setDrmPack(&session.drmPack);
    }
    PhoneIcons phoneIcons(session.file("IconCache/"));
    if (session.virtualPhone) {
        PhoneLinkView view;
        const EditorSession::PhoneStart started = session.startPhone(
            view, nullptr, [](const std::string&) {}, false);
        if (!started.library)
            return failed(started.library.error());
        session.virtualPhone->plug();
        phoneIcons.begin(session.link.imei, namedIconPaths(session.menu));
        for (Result<bool> more = true; *more;) {
            more = phoneIcons.step(session.phone);
            if (!more)
                return failed(more.error());
        }
        sources.setPhone(&phoneIcons);
    }

    const MenuNode* shown = nullptr;
    if (parser.isSet(container)) {
        const MenuNode* named = findNodeByPath(session.menu.document, parser.value(container).toStdString());
        if (!named)
            return failed("no container " + parser.value(container).toStdString());
        // A container shows its items with the first selected; an item its own container.
        shown = named->hasChildren() ? named->child(0) : named;
    }
    IconPictures pictures;
    const QImage picture = renderScreen(layoutScreen(session.menu, shown, options, &sources), pictures);
    if (!picture.save(parser.value(output), "PNG"))
        return failed("cannot write " + parser.value(output).toStdString());
    return 0;
}

} // namespace tessaro
