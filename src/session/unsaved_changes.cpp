#include "session/unsaved_changes.h"

#include <string>

#include "core/prompter.h"
#include "core/translatable.h"

namespace tessaro {

bool askToSaveChanges(bool modified, Prompter& prompter, const std::function<bool()>& save)
{
    if (!modified)
        return true;
    switch (prompter.ask(MessageIcon::Question, TRANSLATABLE("Core", "Confirmation"),
                         std::string(kSaveChangesQuestion),
                         Buttons::SaveDiscardCancel)) {
    case Answer::Save:
        return save();
    case Answer::Discard:
        return true;
    default:
        // Anything but a clear choice keeps the document: losing work is the one mistake
        // that cannot be taken back.
        return false;
    }
}

} // namespace tessaro
