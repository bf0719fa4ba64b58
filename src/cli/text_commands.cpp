// tessaro-cli export, compile and diff: a menu as an editable JSON description, back to an
// mma_ucp file, and what changed between two menus (files or descriptions).
#include <filesystem>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "cli/cli_context.h"
#include "cli/save_mode_options.h"
#include "core/folder_lock.h"
#include "core/menu_description.h"
#include "core/menu_diff.h"
#include "core/menu_text.h"
#include "core/menu_writer.h"
#include "core/replacing_file.h"
#include "core/text_file.h"
#include "edit/title_options_check.h"
#include "session/editor_session.h"

namespace tessaro::cli {

namespace {

// Opens an mma_ucp file and returns the save mode of its description: the file's own with
// "Save all data" on, as the description keeps the unsupported records to write them back.
SaveMode openFile(CliContext& ctx, const std::string& path, std::vector<uint8_t>* bytesOutsideRecords = nullptr)
{
    ctx.menu().saveMode = SaveMode();
    MenuOpenReport opened = ctx.openDocument(path);
    if (bytesOutsideRecords)
        *bytesOutsideRecords = std::move(opened.bytesOutsideRecords);
    SaveMode mode = ctx.menu().saveMode;
    mode.setSaveAll(true);
    return mode;
}

// The description of an mma_ucp file, with the bytes no save of it keeps.
MenuDescription describeFile(CliContext& ctx, const std::string& path)
{
    std::vector<uint8_t> outside;
    const SaveMode mode = openFile(ctx, path, &outside);
    MenuDescription d = describeMenu(ctx.menu().document, mode);
    d.bytesOutsideRecords = std::move(outside);
    return d;
}

MenuDescription descriptionOfText(CliContext& ctx, std::string_view text)
{
    Result<MenuDescription> d = parseMenuText(text);
    if (!d)
        ctx.fail(d.failure());
    return std::move(d).value();
}

MenuDescription readDescription(CliContext& ctx, const std::string& path)
{
    const Result<std::string> text = readWholeFile(path);
    if (!text)
        ctx.fail(text.failure());
    return descriptionOfText(ctx, text.value());
}

// Either kind of file.
MenuDescription describeEither(CliContext& ctx, const std::string& path)
{
    const Result<std::string> bytes = readWholeFile(path);
    if (!bytes)
        ctx.fail(bytes.failure());
    return looksLikeMenuText(*bytes) ? descriptionOfText(ctx, *bytes) : describeFile(ctx, path);
}

struct ExportArgs {
    std::string file;
    std::string out;
};

struct CompileArgs {
    std::string in;
    std::string out;
    SaveModeOptions saveMode;
};

struct DiffArgs {
    std::string before;
    std::string after;
    bool json = false;
};

// Writing over the file a command reads would lose it: refused before anything is read.
void refuseWritingOverInput(CliContext& ctx, const std::string& in, const std::string& out)
{
    std::error_code ec;
    if (std::filesystem::equivalent(in, out, ec))
        ctx.fail("Cannot write " + out + ": it is the input file; give another file to write");
}

void exportText(CliContext& ctx, const ExportArgs& args)
{
    if (!args.out.empty())
        refuseWritingOverInput(ctx, args.file, args.out);
    const SaveMode mode = openFile(ctx, args.file);
    const std::string text = menuTextOf(ctx.menu().document, mode);
    if (args.out.empty()) {
        std::cout << text;
        return;
    }
    // A wait for another program's lock on the folder is told of, not sat through silently.
    if (const Status written = replaceFile(args.out, std::string_view(text), {.lockWait = &ctx.session().lockWait});
        !written)
        ctx.fail(written.failure());
}

void compileText(CliContext& ctx, const CompileArgs& args)
{
    refuseWritingOverInput(ctx, args.in, args.out);
    ctx.prepare();
    MenuDescription d = readDescription(ctx, args.in);
    args.saveMode.applyTo(d.saveMode);
    if (const Status installed = installMenuDescription(d, ctx.menu()); !installed)
        ctx.fail(installed.failure());
    // Written as described all the same: the warnings say what the editor would have set.
    for (const std::string& warning : titleOptionsWarnings(ctx.menu().document))
        ctx.prompter.show(MessageIcon::Warning, "Warning", warning);
    ctx.writeMenu(args.out);
}

// Exit status 0 for equal menus, 1 for different ones, 2 when either cannot be read.
void diffMenus(CliContext& ctx, const DiffArgs& args)
{
    std::vector<MenuChange> changes;
    try {
        ctx.prepare();
        const MenuDescription before = describeEither(ctx, args.before);
        const MenuDescription after = describeEither(ctx, args.after);
        changes = compareMenus(before, after);
    } catch (const CommandFailed&) {
        throw CommandFailed{2};
    }
    if (args.json) {
        nlohmann::ordered_json out;
        out["equal"] = changes.empty();
        out["changes"] = nlohmann::ordered_json::array();
        for (const MenuChange& c : changes)
            out["changes"].push_back({{"change", changeKindName(c.kind)}, {"item", c.item}, {"text", c.text}});
        std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    } else {
        for (const MenuChange& c : changes)
            std::cout << c.text << '\n';
    }
    if (!changes.empty())
        throw CommandFailed{1};
}

} // namespace

void registerTextCommands(CLI::App& app, CliContext& ctx)
{
    auto exportArgs = std::make_shared<ExportArgs>();
    auto* exp = app.add_subcommand("export", "Write an mma_ucp file as an editable JSON description");
    exp->add_option("FILE", exportArgs->file, "The mma_ucp file")->required();
    exp->add_option("-o,--output", exportArgs->out, "The JSON file to write (default: standard output)");
    exp->callback([&ctx, exportArgs] { exportText(ctx, *exportArgs); });

    auto compileArgs = std::make_shared<CompileArgs>();
    auto* comp = app.add_subcommand("compile", "Write the mma_ucp file of a JSON description");
    comp->add_option("IN", compileArgs->in, "The JSON description")->required();
    comp->add_option("OUT", compileArgs->out, "The mma_ucp file to write")->required();
    compileArgs->saveMode.addTo(*comp);
    comp->callback([&ctx, compileArgs] { compileText(ctx, *compileArgs); });

    auto diffArgs = std::make_shared<DiffArgs>();
    auto* diff = app.add_subcommand(
        "diff",
        "Show what changed between two menus (mma_ucp files or JSON descriptions); exit 0 equal, 1 different, 2 error");
    diff->add_option("A", diffArgs->before, "The first menu")->required();
    diff->add_option("B", diffArgs->after, "The second menu")->required();
    diff->add_flag("--json", diffArgs->json, "Print the changes as JSON");
    diff->callback([&ctx, diffArgs] { diffMenus(ctx, *diffArgs); });
}

} // namespace tessaro::cli
