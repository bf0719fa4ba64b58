#pragma once
// Lines of the item base file itembase.dat: identifier, ";", display name.

#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace tessaro {

// The line for an identifier met in a file or a firmware: the identifier, ";", the identifier
// again, and " [SC]" after it for a shortcut item.
std::string itemBaseLine(std::string_view identifier, bool shortcut);

// Appends one such line (with its line end) to the item base file, first ending a last line
// that has no line end. A missing file is created; the file is replaced whole (replaceFile),
// and one that cannot be read is left as it is.
Status appendItemBaseLine(const std::string& path, std::string_view identifier, bool shortcut);
// The same for several lines at once (made by itemBaseLine): all of them or none are added.
Status appendItemBaseLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace tessaro
