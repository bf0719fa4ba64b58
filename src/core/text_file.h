#pragma once
// Small file helpers for the editor's own text files (itembase.dat, profiles, tessaro.ini);
// they are written with replaceFile (core/replacing_file.h).

#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace tessaro {

// The whole content of a file; an error text when it cannot be opened or read.
Result<std::string> readWholeFile(const std::string& path);

// The lines of a text, with LF or CR LF line ends; a last line end does not start an empty
// line. The views point into `text`.
std::vector<std::string_view> splitLines(std::string_view text);

} // namespace tessaro
