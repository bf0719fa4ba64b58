#pragma once
// A prompter for tests: records every message and question, answers from a queue.

#include <deque>
#include <string>
#include <vector>

#include "core/prompter.h"

namespace tessaro::testing {

struct Prompt {
    MessageIcon icon;
    std::string caption;
    std::string text;
    bool question = false;

    bool operator==(const Prompt&) const = default;
};

class RecordingPrompter : public Prompter {
public:
    void show(MessageIcon icon, const std::string& caption, const std::string& text) override;
    Answer ask(MessageIcon icon, const std::string& caption, const std::string& text,
               Buttons buttons) override;

    // Answers given to the next questions, in order; when empty, questions get `fallback`.
    std::deque<Answer> answers;
    Answer fallback = Answer::No;
    std::vector<Prompt> prompts;
    // The buttons of each question, in order.
    std::vector<Buttons> questionButtons;

    // Texts of all prompts, in order.
    std::vector<std::string> texts() const;
};

} // namespace tessaro::testing
