#pragma once
// What every tessaro-cli command runs with: the global options, the messages on stderr and
// the program-wide tables the editor would hold.

#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/cli_progress.h"
#include "core/notice.h"
#include "core/prompter.h"
#include "core/result.h"
#include "session/menu_open.h"
#include "session/session_questions.h"

namespace tessaro {
class EditorSession;
class MenuSession;
class ProfileManager;
struct OpenMenu;
} // namespace tessaro

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

struct CliContext;

// How the command-line tool tells the way to put a phone file's previous copy back, followed by
// the phone path.
inline constexpr char kRestoreBackupHint[] = "To put the phone's previous file back: tessaro-cli phone restore-backup ";

// The open menu's questions, answered by the command line: no one is there to ask, so what the
// flags allow goes on and the rest is refused with the message a refusal prints.
class CliQuestions : public SessionQuestions {
public:
    explicit CliQuestions(CliContext& ctx) : ctx_(ctx) {}

    UnsavedChoice saveChangesFirst() override { return UnsavedChoice::Discard; }
    // --force writes over; else "Error: The file was changed by another program ...".
    bool overwriteChangedFile(const std::string& path) override;
    // --force replaces; else "Cannot write PATH: the file is read-only".
    bool replaceReadOnlyFile(const std::string& path) override;
    // Goes on with the warning "N data records of unknown kinds will be left out. ...".
    bool leaveOutUnknownRecords(size_t count) override;
    // The command's own flag (profile from-firmware --force), set in replaceProfiles.
    bool replaceProfile(const std::string& path) override;
    // menu-get --patch (set in patch); the question is printed either way.
    bool patchJavaTables() override;
    bool writeOverPhoneMenu(const std::vector<std::string>&) override { return true; }
    // Prints each missing icon as a warning and goes on, as it does over the menu's changes.
    bool sendWithMissingIcons(const std::vector<std::string>& changes,
                              const std::vector<std::string>& missingIcons) override;
    bool putBackPhoneMenu(const std::string&) override { return false; }
    // No one is there to ask: warns "Warning: An upload of PATH to this phone was interrupted
    // ..." with the command that puts the file back, and leaves it (not for `restoring`).
    bool putBackInterruptedUpload(const std::string& phonePath, const std::string& backup) override;

    bool replaceProfiles = false;
    bool patch = false;
    // The phone path phone restore-backup puts back, which needs no warning.
    std::string restoring;

private:
    CliContext& ctx_;
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
    bool force = false;             // --force: write over changed files, replace read-only ones

    CliContext();
    ~CliContext();

    StderrPrompter prompter;
    TerminalProgressFactory progress;
    CliQuestions questions{*this};
    // The run's objects and the open menu's life, made by prepare() from the global options.
    EditorSession& session();
    MenuSession& menuSession();
    OpenMenu& menu();
    ProfileManager& profiles();
    // The phone link, set up by the first phone command (see phoneSession()).
    std::shared_ptr<PhoneSession> phone;

    // The data folder with a trailing separator.
    std::string dataFolder() const;
    // Runs what the editor does at start-up for the global options: makes the run's session
    // with the phone library they choose, creates Profiles/ and itembase.dat, loads the item
    // base and the settings, applies --profile. Called by every command first; a command that
    // only reads passes `readOnly` and nothing is created.
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
    // Writes the open menu to `path` through the menu session: over the file that was read,
    // only while no other program changed it (unless --force). Ends the command on failure.
    void writeMenu(const std::string& path);

private:
    std::unique_ptr<EditorSession> session_;
    std::unique_ptr<MenuSession> menuSession_;
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
// tessaro-cli check: the icons a menu names that cannot be shown.
void registerCheckCommand(CLI::App& app, CliContext& ctx);

} // namespace tessaro::cli
