#pragma once
// The edit operations of `tessaro-cli edit`, one --op text each:
//   insert before|first|subfirst|sublast INDEX ITEM
//   replace INDEX ITEM
//   delete INDEX          (no confirmation)
//   up INDEX | down INDEX
//   move INDEX TARGET     (the tree drag: INDEX moves to stand directly before TARGET)
//   drop TARGET ITEM      (an available entry dragged onto TARGET)
//   undo | redo           (takes back / brings again the last op of the ops before it)
// INDEX and TARGET are absolute node indices of the tree as it stands when the op runs; ITEM
// is an available identifier (first match) or "Custom item", the rest of the text, blanks
// included.

#include <string_view>

#include "core/result.h"

namespace tessaro {
class Prompter;
class DocumentController;
struct OpenMenu;
}

namespace tessaro::cli {

// Runs one op on the document; each op that changes it is one undo step.
// A malformed op, a bad number, an unknown item, an op the editing rules refuse, or an undo or
// redo with nothing to take back returns the reason and leaves the document unchanged.
Status applyEditOp(std::string_view op, DocumentController& document, Prompter& prompter);

} // namespace tessaro::cli
