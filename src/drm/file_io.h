#pragma once
// File errors worded the one way the program shows them, and whole-file writes of the
// pictures it produces.

#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"

namespace tessaro {

// "<what> file "PATH". <reason of errno>", e.g. "Cannot open file "a.bin". No such file or directory".
std::string fileErrorText(const char* what, const std::string& path, int error);

// Creates or replaces the file with `bytes` through a ReplacingFile; "Cannot create file
// "PATH". reason" when it cannot be created, "Cannot write file "PATH". reason" when the
// write fails.
Status writeFileBytes(const std::string& path, std::span<const uint8_t> bytes);

} // namespace tessaro
