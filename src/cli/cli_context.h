#pragma once
// What every tessaro-cli command runs with: the global options, the messages on stderr and
// the program-wide tables the editor would hold.

#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "core/notice.h"
#include "core/prompter.h"
#include "core/result.h"
#include "core/open_menu.h"
#include "session/menu_open.h"
#include "workspace/profiles.h"

namespace tessaro::cli {

class PhoneSession;

// Messages go to stderr as "Caption: text", or just the text when the caption is empty.
class StderrPrompter : public Prompter {
public:
    void show(MessageIcon icon, const std::string& caption, const std::string& text) override;
    // Questions are printed like messages and answered with `answer`.
    Answer ask(MessageIcon icon, const std::string& caption, const std::string& text,
               Buttons buttons) override;
    Answer answer = Answer::No;
};

// Thrown by a command to end with `status` after its message (if any) was printed.
struct CommandFailed {
    int status = 1;
};

struct CliContext {
    // Global options.
    std::string dir = ".";          // the data folder holding Profiles/
    std::string profile;            // --profile NAME
    std::string virtualPhone;       // --virtual-phone DIR
    bool usb = false;               // --usb: a real phone on USB
    int waitSeconds = 15;           // --wait SECONDS: how long --usb waits for a phone

    StderrPrompter prompter;
    OpenMenu menu;
    // The item base, the profiles and the selector state (set up by prepare()).
    ProfileManager profiles;
    // The phone link, set up by the first phone command (see phoneSession()).
    std::shared_ptr<PhoneSession> phone;

    // The data folder with a trailing separator.
    std::string dataFolder() const;
    // Runs what the editor does at start-up for the global options: creates Profiles/ and
    // itembase.dat, loads the item base, applies --profile. Called by every command first;
    // a command that only reads passes `readOnly` and nothing is created.
    void prepare(bool readOnly = false);
    bool readOnly = false; // set by prepare(): no file of the folder is made or changed
    // Prints a message through the prompter (empty caption) and ends the command with 1.
    [[noreturn]] void fail(const std::string& text);
    // Prints an error as "caption: text" and ends the command with 1.
    [[noreturn]] void fail(const Error& error);
    // Prints notices, in order.
    void tell(const std::vector<Notice>& notices);
    // Runs prepare(), then reads an mma_ucp file into the open menu as the editor's open
    // sequence does; its notices and the reader's warnings go to stderr. Fails the command
    // when the file cannot be read.
    // A command that only reads passes `readOnly`: unknown identifiers are not added to the
    // item base and nothing of the folder is created.
    MenuOpenReport openDocument(const std::string& path, bool readOnly = false);
};

// Each area adds its commands here.
void registerDocumentCommands(CLI::App& app, CliContext& ctx);
void registerProfileCommands(CLI::App& app, CliContext& ctx);
void registerEditCommands(CLI::App& app, CliContext& ctx);
void registerPhoneCommands(CLI::App& app, CliContext& ctx);
// Adds the menu round-trip, SEEM and restart commands to the `phone` command.
void registerPhoneMenuCommands(CLI::App& phone, CliContext& ctx);
void registerDrmCommands(CLI::App& app, CliContext& ctx);
void registerTextCommands(CLI::App& app, CliContext& ctx);

} // namespace tessaro::cli
