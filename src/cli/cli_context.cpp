#include "cli/cli_context.h"

#include <iostream>

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

std::string CliContext::dataFolder() const
{
    std::string folder = dir.empty() ? "." : dir;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

void CliContext::prepare(bool onlyReads)
{
    readOnly = onlyReads;
    profiles.setDataFolder(dataFolder());
    const Status started = profiles.startUp(menu.items, !onlyReads);
    if (!started)
        fail(started.error());
    // Profile errors are messages, as in the editor; the command goes on under what they left.
    if (!profile.empty()) {
        if (const Status loaded = profiles.loadProfile(profile, menu); !loaded)
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
    Result<MenuOpenReport> opened = openMenuFile(path, menu, profiles, !onlyReads);
    if (!opened)
        fail(opened.error());
    tell(opened->notices);
    for (const std::string& warning : opened->warnings)
        prompter.show(MessageIcon::Warning, "Warning", warning);
    return std::move(opened).value();
}

} // namespace tessaro::cli
