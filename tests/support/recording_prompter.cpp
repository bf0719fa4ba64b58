#include "support/recording_prompter.h"

namespace tessaro::testing {

void RecordingPrompter::show(MessageIcon icon, const std::string& caption, const std::string& text)
{
    prompts.push_back({icon, caption, text, false});
}

Answer RecordingPrompter::ask(MessageIcon icon, const std::string& caption, const std::string& text,
                              Buttons buttons)
{
    prompts.push_back({icon, caption, text, true});
    questionButtons.push_back(buttons);
    if (answers.empty())
        return fallback;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::vector<std::string> RecordingPrompter::texts() const
{
    std::vector<std::string> out;
    for (const auto& p : prompts)
        out.push_back(p.text);
    return out;
}

} // namespace tessaro::testing
