// tessaro-cli profiles, items and profile-from-firmware.
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "cli/cli_context.h"
#include "cli/cli_progress.h"
#include "session/editor_session.h"
#include "core/text_encoding.h"
#include "workspace/firmware_profile.h"

namespace tessaro::cli {

namespace {

std::string markerText(IconMarker marker)
{
    return marker == IconMarker::K06 ? "06" : "0C";
}

void printItems(CliContext& ctx, bool json)
{
    const SaveMode& mode = ctx.menu().saveMode;
    const auto& available = ctx.menu().items.available();
    if (json) {
        nlohmann::ordered_json out;
        out["profile"] = latin1ToUtf8(ctx.profiles().selectorText());
        out["recordSize"] = mode.recordSize();
        out["iconMarker"] = markerText(mode.iconMarker());
        out["c698p"] = mode.c698p();
        auto list = nlohmann::ordered_json::array();
        for (const auto& entry : available) {
            nlohmann::ordered_json item;
            item["identifier"] = latin1ToUtf8(entry.identifier);
            item["display"] = latin1ToUtf8(entry.displayName);
            list.push_back(std::move(item));
        }
        out["available"] = std::move(list);
        std::cout << out.dump(2) << '\n';
        return;
    }
    std::cout << "Profile: " << ctx.profiles().selectorText() << '\n'
              << "Record size: " << mode.recordSize() << '\n'
              << "Icon marker: " << markerText(mode.iconMarker()) << '\n'
              << "c698p fix: " << (mode.c698p() ? "on" : "off") << '\n'
              << "Available items (" << available.size() << "):\n";
    for (const auto& entry : available) {
        std::cout << "  " << entry.identifier;
        if (entry.displayName != entry.identifier)
            std::cout << "  (" << entry.displayName << ')';
        std::cout << '\n';
    }
}

} // namespace

void registerProfileCommands(CLI::App& app, CliContext& ctx)
{
    auto* profiles = app.add_subcommand("profiles", "List the profiles of the Profiles folder, one a line");
    profiles->callback([&ctx] {
        ctx.prepare(true);
        for (const auto& name : ctx.profiles().profiles())
            std::cout << name << '\n';
    });

    auto* items = app.add_subcommand("items", "Show the available items under the profile in force");
    auto json = std::make_shared<bool>(false);
    items->add_flag("--json", *json, "Print a JSON object");
    items->callback([&ctx, json] {
        ctx.prepare(true);
        printItems(ctx, *json);
    });

    auto* fromFirmware = app.add_subcommand("profile-from-firmware",
                                            "Create a profile from a CG1 firmware image; prints its name");
    auto image = std::make_shared<std::string>();
    auto force = std::make_shared<bool>(false);
    fromFirmware->add_option("IMAGE", *image, "The CG1 firmware image")->required();
    fromFirmware->add_flag("--force", *force, "Replace a profile of the same name");
    fromFirmware->callback([&ctx, image, force] {
        ctx.prepare();
        // The command line shows no progress bars: a scan just runs.
        QuietProgressFactory progress;
        const Result<FirmwareProfile> made = createProfileFromFirmware(*image, ctx.menu(), ctx.profiles(), progress,
                                                                       [force](const std::string&) { return *force; });
        if (!made && made.failure().kind == ErrorKind::Exists)
            ctx.fail(made.error() + "; --force replaces it");
        if (!made) {
            // A file error comes first, then the line the editor shows for every failure.
            if (made.failure().kind == ErrorKind::Io)
                ctx.prompter.show(MessageIcon::Error, made.failure().caption, made.error());
            ctx.fail(std::string(kProfileNotCreatedText));
        }
        ctx.tell(made->notices);
        ctx.prompter.show(MessageIcon::None, "", std::string(kProfileCreatedText));
        std::cout << made->tag << '\n';
    });
}

} // namespace tessaro::cli
