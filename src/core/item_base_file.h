#pragma once
// Lines of the item base file itembase.dat: identifier, ";", display name.

#include <string>
#include <string_view>

#include "core/result.h"

namespace tessaro {

// The line for an identifier met in a file or a firmware: the identifier, ";", the identifier
// again, and " [SC]" after it for a shortcut item.
std::string itemBaseLine(std::string_view identifier, bool shortcut);

// Appends one such line (with its line end) to the item base file, first ending a last line
// that has no line end. The file is replaced whole (replaceFile).
Status appendItemBaseLine(const std::string& path, std::string_view identifier, bool shortcut);

} // namespace tessaro
