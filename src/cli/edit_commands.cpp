#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/edit_ops.h"
#include "cli/save_mode_options.h"
#include "core/open_menu.h"
#include "session/menu_session.h"

namespace tessaro::cli {

namespace {

struct EditArgs {
    std::string in;
    std::string out;
    bool newDocument = false;
    std::vector<std::string> ops;
    SaveModeOptions saveMode;
};

struct NewArgs {
    std::string out;
    SaveModeOptions saveMode;
};

void runEdit(CliContext& ctx, EditArgs args)
{
    // With --new the one file named is OUT.
    if (args.newDocument) {
        if (!args.out.empty())
            ctx.fail("edit --new takes OUT only");
        args.out = std::move(args.in);
        args.in.clear();
    }
    if (args.out.empty())
        ctx.fail("edit needs IN and OUT, or --new and OUT");
    ctx.prepare();
    MenuSession& session = ctx.menuSession();
    std::error_code ec;
    // The word "new" for IN stays a new document only while no file of that name would be read.
    const bool oldNewWord =
        !args.newDocument && args.in == "new"
        && std::filesystem::symlink_status(args.in, ec).type() == std::filesystem::file_type::not_found;
    if (oldNewWord)
        ctx.prompter.show(MessageIcon::Warning, "Warning",
                          "IN \"new\" starts a new document while no file \"new\" exists; use --new");
    if (args.newDocument || oldNewWord)
        session.newMenu();
    else
        // Read as `dump` reads: the open sequence, the reader's notes as warnings.
        ctx.openDocument(args.in);
    for (const std::string& op : args.ops) {
        const Status applied = applyEditOp(op, session.document(), ctx.prompter);
        if (!applied)
            ctx.fail("Op \"" + op + "\" failed: " + applied.error());
    }
    args.saveMode.applyTo(ctx.menu().saveMode);
    // Over the file that was read, the save refuses when another program changed that file
    // meanwhile.
    ctx.writeMenu(args.out);
}

void runNew(CliContext& ctx, const NewArgs& args)
{
    ctx.prepare();
    ctx.menuSession().newMenu();
    args.saveMode.applyTo(ctx.menu().saveMode);
    ctx.writeMenu(args.out);
}

} // namespace

void registerEditCommands(CLI::App& app, CliContext& ctx)
{
    auto editArgs = std::make_shared<EditArgs>();
    CLI::App* edit = app.add_subcommand("edit", "Read IN (or start a new document with --new), apply the ops in order, "
                                                "set the save mode and write OUT");
    edit->add_option("IN", editArgs->in, "mma_ucp to read (not given with --new)");
    edit->add_option("OUT", editArgs->out, "mma_ucp to write");
    edit->add_flag("--new", editArgs->newDocument,
                   "Start from a new document instead of reading IN (the word new as IN still does so "
                   "while no file of that name exists)");
    edit->add_option("--op", editArgs->ops,
                     "An edit operation: insert before|first|subfirst|sublast INDEX ITEM, replace INDEX ITEM, "
                     "delete INDEX, up INDEX, down INDEX, move INDEX TARGET, drop TARGET ITEM; undo and redo "
                     "take back and bring again the ops before them")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    editArgs->saveMode.addTo(*edit);
    edit->callback([&ctx, editArgs] { runEdit(ctx, *editArgs); });

    auto newArgs = std::make_shared<NewArgs>();
    CLI::App* created = app.add_subcommand("new", "Write a new document: the seven default softkeys and an empty menu");
    created->add_option("OUT", newArgs->out, "mma_ucp to write")->required();
    newArgs->saveMode.addTo(*created);
    created->callback([&ctx, newArgs] { runNew(ctx, *newArgs); });
}

} // namespace tessaro::cli
