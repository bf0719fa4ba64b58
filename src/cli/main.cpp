// tessaro-cli: the menu document engine for scripting.
#include <cerrno>
#include <cstdio>
#include <iostream>

#include <CLI/CLI.hpp>

#include "cli/cli_context.h"
#include "core/file_error.h"

int main(int argc, char** argv)
{
    using namespace tessaro::cli;
    CLI::App app{"tessaro-cli: the Tessaro menu document engine for scripting"};
    app.set_version_flag("--version", std::string("tessaro-cli ") + TESSARO_VERSION);
    app.require_subcommand(1);
    CliContext ctx;
    app.add_option("--dir", ctx.dir, "Default folder holding Profiles/ (default: the current directory)");
    app.add_option("--profile", ctx.profile, "Profile to load before the command runs");
    auto* virtualPhone = app.add_option("--virtual-phone", ctx.virtualPhone,
                                        "Plug in the virtual phone kept in this folder");
    auto* usb = app.add_flag("--usb", ctx.usb, "Talk to a real phone on USB")->excludes(virtualPhone);
    app.add_option("--wait", ctx.waitSeconds,
                   "With --usb: seconds to wait for a phone to connect (default 15)")
        ->needs(usb)
        ->check(CLI::Range(0, 3600));

    app.add_flag("--force", ctx.force,
                 "Write over a menu file that another program changed since it was read, and replace "
                 "read-only files");

    registerDocumentCommands(app, ctx);
    registerProfileCommands(app, ctx);
    registerEditCommands(app, ctx);
    registerPhoneCommands(app, ctx);
    registerDrmCommands(app, ctx);
    registerTextCommands(app, ctx);
    registerCheckCommand(app, ctx);

    // diff and check, like diff(1), tell trouble (2) from a difference (1).
    const auto troubleStatus = [&app] {
        return app.get_subcommand("diff")->parsed() || app.get_subcommand("check")->parsed() ? 2 : 1;
    };
    int status = 0;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : troubleStatus();
    } catch (const CommandFailed& failed) {
        status = failed.status;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return troubleStatus();
    }
    // What was printed must have arrived: a full disk or a closed pipe is a failed command,
    // whatever the command would have ended with.
    errno = 0;
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << tessaro::fileError(tessaro::FileStep::Write, "standard output", errno ? errno : EIO).text << '\n';
        return troubleStatus();
    }
    return status;
}
