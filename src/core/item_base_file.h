#pragma once
// Lines of the item base file itembase.dat: identifier, ";", display name.

#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace tessaro {

// The display name an identifier met in a file or a firmware gets in the item base: the
// identifier, and " [SC]" after it for a shortcut item.
std::string itemBaseDisplayName(std::string_view identifier, bool shortcut);

// The line for an identifier met in a file or a firmware: the identifier, ";", its display
// name (itemBaseDisplayName).
std::string itemBaseLine(std::string_view identifier, bool shortcut);

// Appends one such line (with its line end) to the item base file, first ending a last line
// that has no line end, unless a line of the file has that identifier already (the file may
// hold more lines than the item base in memory takes). A missing file is created; the file is
// replaced whole (replaceFile) under the folder's lock, and one that cannot be read is left as
// it is; when another program keeps that lock past a minute, nothing is added (kind Io).
// Returns the number of lines added.
Result<size_t> appendItemBaseLine(const std::string& path, std::string_view identifier, bool shortcut);
// The same for several lines at once (made by itemBaseLine), each identifier once: all of them
// or none are added.
Result<size_t> appendItemBaseLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace tessaro
