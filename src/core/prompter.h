#pragma once
// How the core talks to the user. The core owns every text and caption; the Qt side
// shows them with message boxes, the command-line tool prints them, tests record them.

#include <string>

namespace tessaro {

enum class MessageIcon { None, Information, Warning, Error, Question };
// Ok: OK and Cancel. YesAllNoCancel: Yes, Yes to all, No and Cancel, for a question asked
// once per file of several.
enum class Buttons { Ok, YesNo, YesAllNoCancel };
enum class Answer { Ok, Cancel, Yes, No, YesToAll };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box with one OK button.
    virtual void show(MessageIcon icon, const std::string& caption, const std::string& text) = 0;
    // A question; returns the button the user chose.
    virtual Answer ask(MessageIcon icon, const std::string& caption, const std::string& text,
                       Buttons buttons) = 0;
};

} // namespace tessaro
