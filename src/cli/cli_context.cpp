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

std::string CliContext::defaultFolder() const
{
    std::string folder = dir.empty() ? "." : dir;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

void CliContext::prepare()
{
    profiles.setDefaultFolder(defaultFolder());
    const Status started = profiles.startUp(workspace.items);
    if (!started)
        fail(started.error());
    // Profile errors are messages, as in the editor; the command goes on under what they left.
    if (!profile.empty())
        profiles.loadProfile(profile, workspace, prompter);
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

} // namespace tessaro::cli
