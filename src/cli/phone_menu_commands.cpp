// tessaro-cli phone menu-get, menu-put, seem-backup, seem-restore, restart: the menu round trip
// with the phone, the SEEM 0032 backup and the restart.
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli/cli_context.h"
#include "cli/phone_session.h"
#include "cli/save_mode_options.h"
#include "core/menu_writer.h"
#include "core/text_encoding.h"
#include "phone/j2mest.h"
#include "phone/round_trip.h"
#include "phone/seem_backup.h"
#include "session/editor_session.h"
#include "session/menu_session.h"
#include "session/phone_menu.h"

namespace tessaro::cli {

namespace {

PhoneSession& connectedSession(CliContext& ctx)
{
    ctx.prepare();
    PhoneSession& session = phoneSession(ctx);
    session.requireConnected();
    return session;
}

std::optional<uint16_t> patchOffset(const PatchList& patches, size_t slot)
{
    for (const PatchEntry& entry : patches)
        if (entry.slot == slot)
            return entry.offset;
    return std::nullopt;
}

void printSlots(const char* table, const JavaSlotTable& slots, const PatchList& patches)
{
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!slots[i])
            continue;
        const JavaSlot& slot = *slots[i];
        std::cout << table << '\t' << i << '\t' << latin1ToUtf8(slot.midletName) << '\t'
                  << latin1ToUtf8(slot.midletVendor) << '\t' << latin1ToUtf8(slot.midlet1) << '\t'
                  << (slot.corelet ? "corelet" : "-");
        if (const auto offset = patchOffset(patches, i))
            std::cout << " patch@" << *offset;
        std::cout << '\n';
    }
}

nlohmann::ordered_json slotsJson(const JavaSlotTable& slots, const PatchList& patches)
{
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!slots[i])
            continue;
        const JavaSlot& slot = *slots[i];
        const auto offset = patchOffset(patches, i);
        out.push_back({{"slot", i},
                       {"name", latin1ToUtf8(slot.midletName)},
                       {"vendor", latin1ToUtf8(slot.midletVendor)},
                       {"midlet1", latin1ToUtf8(slot.midlet1)},
                       {"corelet", slot.corelet},
                       {"patchOffset", offset ? nlohmann::ordered_json(*offset) : nlohmann::ordered_json()}});
    }
    return out;
}

nlohmann::ordered_json tableJson(bool read, const std::string& path, const std::string& folder, bool patched,
                                 const JavaSlotTable& slots, const PatchList& patches)
{
    return {{"read", read},
            {"path", read ? latin1ToUtf8(path) : std::string()},
            {"javaFolder", read ? latin1ToUtf8(folder) : std::string()},
            {"patched", patched},
            {"slots", read ? slotsJson(slots, patches) : nlohmann::ordered_json::array()}};
}

struct MenuGetArgs {
    std::string out;
    bool json = false;
    bool patch = false;
    bool saveAll = false;
};

struct MenuPutArgs {
    std::string in;
    bool saveAll = false;
};

// --save-all of the menu commands: the rest of the save mode is the one the menu was read in.
void applySaveAll(CliContext& ctx, bool saveAll)
{
    if (saveAll)
        ctx.menu().saveMode.setSaveAll(true);
}

void menuGet(CliContext& ctx, const MenuGetArgs& args)
{
    connectedSession(ctx);
    EditorSession& session = ctx.session();
    ctx.questions.patch = args.patch;

    const auto opened = ctx.menuSession().openFromPhone();
    if (!opened)
        ctx.fail(opened.failure());
    ctx.tell(opened->notices);
    // A table that could not be read ("Fatal P2K error"): the menu is still written, but the
    // command did not do all it was asked.
    const bool failedInPart = std::any_of(opened->notices.begin(), opened->notices.end(),
                                          [](const Notice& n) { return n.icon == MessageIcon::Error; });
    if (opened->patchOffered)
        if (const Status patched = ctx.menuSession().offerJavaPatch(); !patched)
            ctx.fail(patched.failure());
    // The editor writes patched tables back with the next save; this run ends here, so they
    // go back now or never.
    const RoundTripState& state = session.roundTripState;
    if (state.phonePatched || state.cardPatched)
        if (const Status written = writeJ2mestCopies(session.roundTrip); !written)
            ctx.fail(written.failure());

    applySaveAll(ctx, args.saveAll);
    ctx.writeMenu(args.out);

    const JavaSlotTables& slots = session.javaSlots;
    if (args.json) {
        nlohmann::ordered_json out;
        out["menu"] = args.out;
        out["phone"] = tableJson(state.phoneJ2mestRead, state.phoneJ2mestPath, state.phoneJavaFolder,
                                 state.phonePatched, slots.phoneSlots, slots.phonePatchList);
        out["card"] = tableJson(state.cardJ2mestRead, state.cardJ2mestPath, state.cardJavaFolder,
                                state.cardPatched, slots.cardSlots, slots.cardPatchList);
        std::cout << out.dump(2) << '\n';
        if (failedInPart)
            throw CommandFailed{};
        return;
    }
    if (state.phoneJ2mestRead)
        printSlots("phone", slots.phoneSlots, slots.phonePatchList);
    if (state.cardJ2mestRead)
        printSlots("card", slots.cardSlots, slots.cardPatchList);
    if (failedInPart)
        throw CommandFailed{};
}

void menuPut(CliContext& ctx, const MenuPutArgs& args)
{
    connectedSession(ctx);
    EditorSession& session = ctx.session();
    // What the reader had to repair or leave out goes to the phone as it was read: say so.
    ctx.openDocument(args.in);
    applySaveAll(ctx, args.saveAll);
    if (const size_t leftOut = unknownRecordsLeftOut(ctx.menu()); leftOut > 0)
        ctx.questions.leaveOutUnknownRecords(leftOut);
    // Written as the editor's Save to phone writes, without its look at the phone's menu first:
    // no one is there to be shown what changes.
    if (const Status ready = session.workingFolder.ready(); !ready)
        ctx.fail(ready.failure());
    if (const Status saved = saveMenuToPhone(session.roundTrip, ctx.menu()); !saved) {
        ctx.prompter.show(MessageIcon::Error, saved.failure().caption, saved.error());
        const RoundTripState& state = session.roundTripState;
        if (state.menuLeftCut)
            std::cerr << kRestoreBackupHint << kPhoneMenuPath << '\n';
        throw CommandFailed{};
    }
}

void seemBackup(CliContext& ctx, const std::string& file)
{
    const Status saved = backupSeemRecord(connectedSession(ctx).phone(), file);
    if (!saved)
        ctx.fail(saved.failure());
    std::cerr << kSeemBackedUpText << '\n';
}

void seemRestore(CliContext& ctx, const std::string& file)
{
    const Status restored = restoreSeemRecord(connectedSession(ctx).phone(), file);
    if (!restored)
        ctx.fail(restored.failure());
    std::cerr << kSeemRestoredText << '\n';
}

void restart(CliContext& ctx)
{
    connectedSession(ctx);
    (void)restartWhenReady(ctx.session().roundTrip);
}

} // namespace

void registerPhoneMenuCommands(CLI::App& phone, CliContext& ctx)
{
    auto getArgs = std::make_shared<MenuGetArgs>();
    auto* get = phone.add_subcommand(
        "menu-get",
        "Open the phone's menu as the editor's \"Open from phone\" does (reading the J2MEST files "
        "tessaro.ini asks for) and write it to OUT in the save mode it was read in. Prints one "
        "line per Java slot found: table, slot, MIDlet name, vendor, MIDlet-1, "
        "\"corelet\" or \"-\", and \"patch@OFFSET\" when the slot's MIDlet-1 needs the patch");
    get->add_option("OUT", getArgs->out, "The mma_ucp file to write")->required();
    get->add_flag("--json", getArgs->json,
                  "Print {\"menu\", \"phone\", \"card\"}: per table whether it was read, its phone path, "
                  "Java folder, whether it was patched, and its slots with corelet flag and patch offset");
    get->add_flag("--patch", getArgs->patch,
                  "Answer Yes to the corelet patch question (PatchJ2MEST=1 in tessaro.ini); the patched "
                  "J2MEST files are written back to the phone before the command ends. Without it the "
                  "question is answered No");
    get->add_flag("--save-all", getArgs->saveAll, "Save all data including currently unsupported");
    get->callback([&ctx, getArgs] { menuGet(ctx, *getArgs); });

    auto file = std::make_shared<std::string>();
    auto* put = phone.add_subcommand(
        "menu-put",
        "Read an mma_ucp file and save it to the phone as the editor's \"Save to phone\" does: "
        "written to mma_temp in the save mode it was read in, uploaded, and marked SYSTEM when "
        "tessaro.ini says SetSystemAttr=1. Run `phone restart` for the phone to use it");
    auto putArgs = std::make_shared<MenuPutArgs>();
    put->add_option("IN", putArgs->in, "The mma_ucp file to send")->required();
    put->add_flag("--save-all", putArgs->saveAll, "Save all data including currently unsupported");
    put->callback([&ctx, putArgs] { menuPut(ctx, *putArgs); });

    auto* backup = phone.add_subcommand("seem-backup", "Back up SEEM 0032 record 1 to a .seem file");
    backup->add_option("FILE", *file, "The .seem file to write (replaced)")->required();
    backup->callback([&ctx, file] { seemBackup(ctx, *file); });

    auto* restore = phone.add_subcommand("seem-restore",
                                         "Restore SEEM 0032 record 1 from a .seem file of at most 10000 bytes");
    restore->add_option("FILE", *file, "The .seem file to send")->required();
    restore->callback([&ctx, file] { seemRestore(ctx, *file); });

    phone.add_subcommand("restart", "Restart the phone")->callback([&ctx] { restart(ctx); });
}

} // namespace tessaro::cli
