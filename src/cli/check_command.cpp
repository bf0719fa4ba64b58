// tessaro-cli check: the icons a menu names that the phone, an icon folder or a firmware image
// lacks or that no decoder reads, one line each. Like diff(1): 0 none, 1 some, 2 trouble.
#include <filesystem>
#include <iostream>

#include "cli/cli_context.h"
#include "cli/phone_session.h"
#include "core/open_menu.h"
#include "drm/drmpack.h"
#include "phone/phone_context.h"
#include "preview/icon_check.h"
#include "preview/phone_icons.h"
#include "session/editor_session.h"

namespace tessaro::cli {

namespace {

constexpr int kTrouble = 2;

struct CheckArgs {
    std::string file;
    std::string iconFolder;
    std::string drmImage;
};

[[noreturn]] void trouble(CliContext& ctx, const std::string& caption, const std::string& text)
{
    ctx.prompter.show(MessageIcon::Error, caption, text);
    throw CommandFailed{kTrouble};
}

void check(CliContext& ctx, const CheckArgs& args)
{
    try {
        ctx.openDocument(args.file, true);
    } catch (const CommandFailed&) {
        throw CommandFailed{kTrouble};
    }
    IconSources sources;
    if (!args.iconFolder.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(args.iconFolder, ec))
            trouble(ctx, "", TRANSLATABLE("Core", "No such icon folder: ") + args.iconFolder);
        sources.setFolder(args.iconFolder);
    }
    DrmPack pack;
    if (!args.drmImage.empty()) {
        pack.setPackPath(args.drmImage);
        if (const Result<uint32_t> total = pack.loadDrmPack(args.drmImage); !total)
            trouble(ctx, total.failure().caption, total.error());
        sources.setDrmPack(&pack);
    }
    PhoneIcons icons(ctx.dataFolder() + "IconCache/");
    if (!ctx.virtualPhone.empty() || ctx.usb) {
        PhoneSession& phone = phoneSession(ctx);
        if (!phone.isConnected())
            trouble(ctx, "", TRANSLATABLE("Core", "No phone connected"));
        icons.begin(ctx.session().link.imei, namedIconPaths(ctx.menu()));
        for (Result<bool> more = true; *more;) {
            more = icons.step(phone.phone());
            if (!more)
                trouble(ctx, more.failure().caption, more.error());
        }
        sources.setPhone(&icons);
    }
    const std::vector<IconProblem> problems = findIconProblems(ctx.menu(), sources);
    for (const IconProblem& problem : problems)
        std::cout << problem.line << '\n';
    if (!problems.empty())
        throw CommandFailed{1};
}

} // namespace

void registerCheckCommand(CLI::App& app, CliContext& ctx)
{
    auto args = std::make_shared<CheckArgs>();
    auto* command = app.add_subcommand(
        "check", "Print each icon FILE names that is missing or unreadable: on the phone (--virtual-phone, --usb), "
                 "in an icon folder (--icons), in a firmware image (--drm). Exit 0: none, 1: some, 2: trouble");
    command->add_option("FILE", args->file, "The mma_ucp file")->required();
    command->add_option("--icons", args->iconFolder, "A folder holding the phone's files (DIR/a/mobile/picture/...)");
    command->add_option("--drm", args->drmImage, "The CG15 firmware image holding the DRM icons");
    command->callback([&ctx, args] { check(ctx, *args); });
}

} // namespace tessaro::cli
