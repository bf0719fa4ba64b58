#pragma once
// The question asked before New, Open, Open from phone and closing the window throw away a
// document that changed since it was opened or saved.

#include <functional>
#include <string_view>
#include "core/translatable.h"

namespace tessaro {

class Prompter;

// Asked with caption "Confirmation", a question icon and Save / Discard / Cancel.
inline constexpr std::string_view kSaveChangesQuestion = TRANSLATABLE("Core", "Save changes to the menu?");

// Whether the guarded action may go on. An unmodified document goes on without a question.
// Otherwise the user chooses: Save runs `save` and goes on only when it saved (a refused,
// failed or cancelled save stops the action), Discard goes on, Cancel (or closing the box)
// stops it and leaves everything as it was.
bool askToSaveChanges(bool modified, Prompter& prompter, const std::function<bool()>& save);

} // namespace tessaro
