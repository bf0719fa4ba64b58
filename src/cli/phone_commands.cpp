// tessaro-cli phone: the phone's identity, its files and folders.
#include <filesystem>
#include <iostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_context.h"
#include "cli/phone_session.h"
#include "core/text_encoding.h"
#include "p2k/file_list_entry.h"
#include "p2k/phone_client.h"
#include "phone/listing.h"
#include "phone/transfer.h"
#include "session/editor_session.h"

namespace tessaro::cli {

namespace {

// Phone paths are 8-bit strings shown one character per byte, as the file browser does.
std::string shown(const std::string& phonePath)
{
    return latin1ToUtf8(phonePath);
}

// Reports a failed phone operation as the file browser does (caption "Error") and ends the
// command with status 1.
[[noreturn]] void failWith(CliContext& ctx, const std::string& text)
{
    ctx.fail(Error(ErrorKind::Refused, text));
}

PhoneSession& connectedSession(CliContext& ctx, bool readOnly = false)
{
    ctx.prepare(readOnly);
    PhoneSession& session = phoneSession(ctx);
    session.requireConnected();
    return session;
}

void info(CliContext& ctx)
{
    const PhoneLinkState& link = connectedSession(ctx, true).phone().link;
    // A phone that does not tell who it is was not really reached.
    if (!link.unreadable.empty())
        failWith(ctx, "The phone did not answer with its " + link.unreadable);
    nlohmann::ordered_json out;
    out["model"] = shown(link.model);
    out["firmware"] = shown(link.firmwareVersion);
    out["firmwarePrefix"] = shown(link.firmwarePrefix);
    out["lp"] = link.lpVersionText;
    out["imei"] = shown(link.imei);
    std::cout << out.dump(2) << '\n';
}

struct ListArgs {
    std::string mode = "icons";
    std::string volumes = "a";
    std::string extension;
    bool json = false;
};

void list(CliContext& ctx, const ListArgs& args)
{
    PhoneContext& phone = connectedSession(ctx, true).phone();
    std::vector<char> volumes;
    Result<PhoneListing> listed = PhoneListing{};
    if (args.mode == "icons") {
        listed = listIcons(phone, volumes);
    } else if (args.mode == "all") {
        listed = listAllFiles(phone, volumes);
    } else {
        // The extension is typed without its dot; one typed with it is taken as meant.
        const std::string typed = !args.extension.empty() && args.extension[0] == '.'
            ? args.extension.substr(1) : args.extension;
        listed = listMatchingFiles(phone, args.volumes, typed.empty() ? "" : "." + typed);
    }
    if (!listed)
        ctx.fail(listed.failure());

    if (args.json) {
        nlohmann::ordered_json out = nlohmann::ordered_json::array();
        for (const auto& entry : listed->files)
            out.push_back({{"path", shown(entry.path)}, {"size", entry.size}, {"attributes", entry.attributes}});
        std::cout << out.dump(2) << '\n';
        return;
    }
    for (const auto& entry : listed->files)
        std::cout << entry.size << ' ' << attributeLetters(entry.attributes) << ' ' << shown(entry.path) << '\n';
}

void get(CliContext& ctx, const std::string& phonePath, const std::string& localPath)
{
    PhoneContext& phone = connectedSession(ctx).phone();
    const Status read = downloadFile(phone, phonePath, localPath,
                                     "Downloading " + std::filesystem::path(localPath).filename().string());
    if (!read)
        ctx.fail(read.failure());
}

void put(CliContext& ctx, const std::string& localPath, std::string phonePath)
{
    PhoneContext& phone = connectedSession(ctx).phone();
    // A folder as the target takes the local file's name, as an upload into a folder does.
    if (!phonePath.empty() && phonePath.back() == '/')
        phonePath += std::filesystem::path(localPath).filename().string();
    UploadReport report;
    const Status sent = uploadFile(phone, localPath, phonePath, nullptr, &report);
    if (!sent) {
        ctx.prompter.show(MessageIcon::Error, sent.failure().caption, sent.error());
        if (report.leftCut)
            std::cerr << kRestoreBackupHint << phonePath << '\n';
        throw CommandFailed{};
    }
}

void restoreBackup(CliContext& ctx, const std::string& phonePath)
{
    // The warning of an interrupted upload is not needed for the file being put back.
    ctx.questions.restoring = phonePath;
    PhoneContext& phone = connectedSession(ctx).phone();
    const Result<std::string> putBack = putBackBackup(phone, phonePath);
    if (!putBack)
        ctx.fail(putBack.failure());
    std::cerr << "Put back " << *putBack << " as " << shown(phonePath) << '\n';
}

void attr(CliContext& ctx, const std::string& phonePath, int bits)
{
    const Status changed = connectedSession(ctx).phone().client.setAttributes(phonePath, bits);
    if (!changed)
        ctx.fail(changed.failure());
}

struct FreeSpaceArgs {
    bool json = false;
};

void freeSpaceOfVolumes(CliContext& ctx, const FreeSpaceArgs& args)
{
    PhoneContext& phone = connectedSession(ctx).phone();
    const auto volumes = phone.client.queryVolumes();
    if (!volumes)
        ctx.fail(volumes.failure());
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const char volume : *volumes) {
        const auto free = phone.client.freeSpace(volume);
        if (!free)
            ctx.fail(free.failure());
        if (args.json)
            out.push_back({{"volume", std::string("/") + volume}, {"free", *free}});
        else
            std::cout << '/' << volume << ' ' << *free << '\n';
    }
    if (args.json)
        std::cout << out.dump(2) << '\n';
}

// The file browser deletes and makes files and folders through the same client calls, with
// the same messages and log lines.
void remove(CliContext& ctx, const std::string& phonePath)
{
    if (const Status deleted = connectedSession(ctx).phone().client.deleteFile(phonePath); !deleted)
        ctx.fail(deleted.failure());
}

void makeFolder(CliContext& ctx, const std::string& phonePath)
{
    if (const Status created = connectedSession(ctx).phone().client.createFolder(phonePath); !created)
        ctx.fail(created.failure());
}

void removeFolder(CliContext& ctx, const std::string& phonePath)
{
    if (const Status deleted = connectedSession(ctx).phone().client.deleteFolder(phonePath); !deleted)
        ctx.fail(deleted.failure());
}

} // namespace

void registerPhoneCommands(CLI::App& app, CliContext& ctx)
{
    auto* phone = app.add_subcommand("phone", "Work with the phone (--usb: a real phone on USB; --virtual-phone DIR: a virtual one)");
    phone->require_subcommand(1);
    registerPhoneMenuCommands(*phone, ctx);
    // Said in the program's own help too, so that the manual page carries it.
    const std::string footer = app.get_footer();
    app.footer(
        (footer.empty() ? "" : footer + "\n\n")
        + "Phone commands (tessaro-cli phone COMMAND --help): info, ls, df, get, put, restore-backup, attr, rm, "
          "mkdir, rmdir, menu-get, menu-put, seem-backup, seem-restore, restart. An upload over a file the phone "
          "has first keeps a copy of it in Backups/ of the data folder. An upload cut off in the middle puts "
          "that copy back at once while the phone answers; otherwise the next phone command on that phone "
          "says so, and phone restore-backup PHONEPATH puts the newest copy back.");

    phone->add_subcommand("info", "Print the phone's model, firmware, LP version and IMEI as JSON")
        ->callback([&ctx] { info(ctx); });

    auto listArgs = std::make_shared<ListArgs>();
    auto* ls = phone->add_subcommand("ls", "List the phone's files: size, attributes, path");
    ls->add_option("--mode", listArgs->mode, "icons (*.gif), all, or mask (--volumes, --ext)")
        ->check(CLI::IsMember({"icons", "all", "mask"}));
    ls->add_option("--volumes", listArgs->volumes, "Volume letters listed in mask mode (default a)");
    ls->add_option("--ext", listArgs->extension, "Extension listed in mask mode (none: all files)");
    ls->add_flag("--json", listArgs->json, "Print [{\"path\", \"size\", \"attributes\"}]");
    ls->callback([&ctx, listArgs] { list(ctx, *listArgs); });

    auto freeArgs = std::make_shared<FreeSpaceArgs>();
    auto* df = phone->add_subcommand("df", "Print each volume's free space in bytes");
    df->add_flag("--json", freeArgs->json, "Print [{\"volume\", \"free\"}]");
    df->callback([&ctx, freeArgs] { freeSpaceOfVolumes(ctx, *freeArgs); });

    auto paths = std::make_shared<std::pair<std::string, std::string>>();
    auto* getCommand = phone->add_subcommand("get", "Copy a phone file to a local file");
    getCommand->add_option("PHONEPATH", paths->first, "Phone path such as /a/mobile/system/mma_ucp")->required();
    getCommand->add_option("LOCAL", paths->second, "Local file to write")->required();
    getCommand->callback([&ctx, paths] { get(ctx, paths->first, paths->second); });

    auto* putCommand = phone->add_subcommand("put", "Copy a local file to the phone");
    putCommand->add_option("LOCAL", paths->first, "Local file to send")->required();
    putCommand->add_option("PHONEPATH", paths->second, "Phone path; ending with / names a folder")->required();
    putCommand->callback([&ctx, paths] { put(ctx, paths->first, paths->second); });

    auto* restoreCommand = phone->add_subcommand(
        "restore-backup", "Put back the newest backup of a phone file kept for the connected phone (after an "
                          "interrupted upload: the backup it left)");
    restoreCommand->add_option("PHONEPATH", paths->first, "Phone file such as /a/mobile/system/mma_ucp")->required();
    restoreCommand->callback([&ctx, paths] { restoreBackup(ctx, paths->first); });

    auto bits = std::make_shared<int>(0);
    auto* attrCommand = phone->add_subcommand("attr", "Set a phone file's attribute bits: 1 read-only, 2 hidden, 4 system");
    attrCommand->add_option("PHONEPATH", paths->first, "Phone file")->required();
    attrCommand->add_option("BITS", *bits, "Sum of the attribute bits, 0 to 7")->required()->check(CLI::Range(0, 7));
    attrCommand->callback([&ctx, paths, bits] { attr(ctx, paths->first, *bits); });

    auto* rm = phone->add_subcommand("rm", "Delete a phone file");
    rm->add_option("PHONEPATH", paths->first, "Phone file")->required();
    rm->callback([&ctx, paths] { remove(ctx, paths->first); });

    auto* mkdir = phone->add_subcommand("mkdir", "Create a phone folder");
    mkdir->add_option("PHONEPATH", paths->first, "Phone folder")->required();
    mkdir->callback([&ctx, paths] { makeFolder(ctx, paths->first); });

    auto* rmdir = phone->add_subcommand("rmdir", "Delete an empty phone folder");
    rmdir->add_option("PHONEPATH", paths->first, "Phone folder")->required();
    rmdir->callback([&ctx, paths] { removeFolder(ctx, paths->first); });
}

} // namespace tessaro::cli
