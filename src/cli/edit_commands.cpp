#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/edit_ops.h"
#include "cli/save_mode_options.h"
#include "core/menu_writer.h"
#include "edit/menu_open.h"
#include "edit/tree_edit.h"
#include "edit/document_controller.h"

namespace tessaro::cli {

namespace {

// Writes the document; a refused or failed save ends the command with 1.
void writeDocument(CliContext& ctx, const std::string& path)
{
    if (const Status written = writeMenuFile(path, ctx.workspace); !written)
        ctx.fail(written.failure());
}

struct EditArgs {
    std::string in;
    std::string out;
    std::vector<std::string> ops;
    SaveModeOptions saveMode;
};

struct NewArgs {
    std::string out;
    SaveModeOptions saveMode;
};

void runEdit(CliContext& ctx, const EditArgs& args)
{
    ctx.prepare();
    Workspace& ws = ctx.workspace;
    if (args.in == "new") {
        startNewMenu(ws.document);
    } else {
        // Read as `dump` reads: the open sequence, the reader's notes as warnings.
        const Result<OpenedMenu> opened = openMenuFile(args.in, ws, ctx.profiles);
        if (!opened)
            ctx.fail(opened.error());
        ctx.tell(opened->notices);
        for (const std::string& warning : opened->warnings)
            ctx.prompter.show(MessageIcon::Warning, "Warning", warning);
    }
    DocumentController document(ws);
    document.opened();
    for (const std::string& op : args.ops) {
        const Status applied = applyEditOp(op, document, ctx.prompter);
        if (!applied)
            ctx.fail("Op \"" + op + "\" failed: " + applied.error());
    }
    args.saveMode.applyTo(ws.saveMode);
    writeDocument(ctx, args.out);
}

void runNew(CliContext& ctx, const NewArgs& args)
{
    ctx.prepare();
    startNewMenu(ctx.workspace.document);
    args.saveMode.applyTo(ctx.workspace.saveMode);
    writeDocument(ctx, args.out);
}

} // namespace

void registerEditCommands(CLI::App& app, CliContext& ctx)
{
    auto editArgs = std::make_shared<EditArgs>();
    CLI::App* edit = app.add_subcommand("edit", "Read IN (or a new document for \"new\"), apply the ops in order, "
                                                "set the save mode and write OUT");
    edit->add_option("IN", editArgs->in, "mma_ucp to read, or the word new")->required();
    edit->add_option("OUT", editArgs->out, "mma_ucp to write")->required();
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
