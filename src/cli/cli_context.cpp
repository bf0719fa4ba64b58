#include "cli/cli_context.h"

#include <iostream>

#include "core/file_error.h"
#include "core/file_fingerprint.h"
#include "core/menu_writer.h"
#include "core/replacing_file.h"
#include "core/text_encoding.h"
#include "session/editor_session.h"
#include "session/menu_session.h"
#include "session/phone_menu.h"
#include "workspace/profiles.h"

namespace tessaro::cli {

void StderrPrompter::show(MessageIcon, const std::string& caption, const std::string& text)
{
    if (caption.empty())
        std::cerr << text << '\n';
    else
        std::cerr << caption << ": " << text << '\n';
}

Answer StderrPrompter::ask(MessageIcon icon, const std::string& caption, const std::string& text, Buttons)
{
    show(icon, caption, text);
    return answer;
}

bool CliQuestions::overwriteChangedFile(const std::string&)
{
    if (!ctx_.force)
        ctx_.prompter.show(MessageIcon::Error, kErrorCaption, kChangedOnDiskText);
    return ctx_.force;
}

bool CliQuestions::replaceReadOnlyFile(const std::string& path)
{
    if (!ctx_.force)
        ctx_.prompter.show(MessageIcon::Error, "", fileError(FileStep::Write, path, kReadOnlyReason).text);
    return ctx_.force;
}

bool CliQuestions::leaveOutUnknownRecords(size_t count)
{
    ctx_.prompter.show(MessageIcon::Warning, "Warning", unknownRecordsLeftOutText(count));
    return true;
}

bool CliQuestions::sendWithMissingIcons(const std::vector<std::string>&, const std::vector<std::string>& missingIcons)
{
    for (const std::string& line : missingIcons)
        ctx_.prompter.show(MessageIcon::Warning, "Warning", TRANSLATABLE("Core", "Icon missing on the phone: ") + line);
    return true;
}

bool CliQuestions::replaceProfile(const std::string&)
{
    return replaceProfiles;
}

bool CliQuestions::putBackInterruptedUpload(const std::string& phonePath, const std::string& backup)
{
    if (phonePath == restoring)
        return false;
    const std::string shown = latin1ToUtf8(phonePath);
    ctx_.prompter.show(MessageIcon::Warning, "Warning",
                       "An upload of " + shown + " to this phone was interrupted. The phone's previous file is kept in "
                           + backup + "\n" + kRestoreBackupHint + phonePath);
    return false;
}

bool CliQuestions::patchJavaTables()
{
    ctx_.prompter.show(MessageIcon::Question, kPatchRequestCaption, kPatchRequestText);
    return patch;
}

CliContext::CliContext() = default;

// The session goes first, its phone library before all else, so no status call reaches the
// phone link's queue after it is gone.
CliContext::~CliContext() = default;

std::string CliContext::dataFolder() const
{
    std::string folder = dir.empty() ? "." : dir;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

EditorSession& CliContext::session()
{
    if (!session_)
        prepare(true);
    return *session_;
}

MenuSession& CliContext::menuSession()
{
    session();
    return *menuSession_;
}

OpenMenu& CliContext::menu()
{
    return session().menu;
}

ProfileManager& CliContext::profiles()
{
    return session().profiles;
}

void CliContext::prepare(bool onlyReads)
{
    // Once a run: a second start would put the menu a command has read away.
    if (session_)
        return;
    readOnly = onlyReads;
    {
        PhoneBackendChoice choice;
        choice.kind = PhoneBackendChoice::Kind::None;
        if (!virtualPhone.empty()) {
            choice.kind = PhoneBackendChoice::Kind::Virtual;
            choice.virtualFolder = virtualPhone;
        } else if (usb) {
            choice.kind = PhoneBackendChoice::Kind::Usb;
        }
        Result<PhoneBackend> backend = makePhoneBackend(choice);
        if (!backend)
            fail(backend.error());
        session_ = std::make_unique<EditorSession>(dataFolder(), std::move(backend).value(), prompter, progress);
        menuSession_ = std::make_unique<MenuSession>(*session_, questions);
        // A save that waits for another program's lock says so instead of sitting silent.
        session_->lockWait.waiting = [this](const std::string& text) {
            prompter.show(MessageIcon::Information, "", text);
        };
    }
    if (const Status started = session_->startUp(onlyReads); !started)
        fail(started.error());
    // Profile errors are messages, as in the editor; the command goes on under what they left.
    if (!profile.empty()) {
        if (const Status loaded = session_->profiles.loadProfile(profile, session_->menu); !loaded)
            prompter.show(MessageIcon::Warning, loaded.failure().caption, loaded.error());
    }
}

void CliContext::fail(const std::string& text)
{
    prompter.show(MessageIcon::Error, "", text);
    throw CommandFailed{};
}

void CliContext::fail(const Error& error)
{
    // A refusal the questions already printed needs no second line.
    if (!error.cancelled())
        prompter.show(MessageIcon::Error, error.caption, error.text);
    throw CommandFailed{};
}

void CliContext::tell(const std::vector<Notice>& notices)
{
    for (const Notice& notice : notices)
        prompter.show(notice.icon, notice.caption, notice.text);
}

MenuOpenReport CliContext::openDocument(const std::string& path, bool onlyReads)
{
    prepare(onlyReads);
    Result<MenuOpenReport> opened = menuSession().openFile(path, !onlyReads);
    if (!opened)
        fail(opened.error());
    tell(opened->notices);
    for (const std::string& warning : opened->warnings)
        prompter.show(MessageIcon::Warning, "Warning", warning);
    return std::move(opened).value();
}

void CliContext::writeMenu(const std::string& path)
{
    if (const Status written = menuSession().saveAs(path); !written)
        fail(written.failure());
}

} // namespace tessaro::cli
