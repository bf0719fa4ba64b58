#pragma once
// How the program talks to the user. The layers below the windows only ask questions here;
// their failures and notices travel back as values, which the windows and the command-line
// tool show here. The core owns every text and caption; the Qt side shows them with message
// boxes, the command-line tool prints them, tests record them.

#include <string>

namespace tessaro {

enum class MessageIcon { None, Information, Warning, Error, Question };
// Ok: OK and Cancel. YesAllNoCancel: Yes, Yes to all, No and Cancel, for a question asked
// once per file of several. SaveDiscardCancel: whether to save changes before they are lost.
enum class Buttons { Ok, YesNo, YesAllNoCancel, SaveDiscardCancel };
enum class Answer { Ok, Cancel, Yes, No, YesToAll, Save, Discard };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box with one OK button.
    virtual void show(MessageIcon icon, const std::string& caption, const std::string& text) = 0;
    // A question; returns the button the user chose. A box closed without a choice answers
    // No for YesNo and Cancel otherwise.
    virtual Answer ask(MessageIcon icon, const std::string& caption, const std::string& text,
                       Buttons buttons) = 0;
};

} // namespace tessaro
