#pragma once
// How the core talks to the user. The core owns every text and caption; the Qt side
// shows them with message boxes, the command-line tool prints them, tests record them.

#include <string>

namespace tessaro {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

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
