#pragma once
// Whole-file writes of the pictures the program produces.

#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"

namespace tessaro {

// Creates or replaces the file with `bytes` through a ReplacingFile; "Cannot create file
// "PATH". reason" when it cannot be created, "Cannot write file "PATH". reason" when the
// write fails (fileError, Quoted).
Status writeFileBytes(const std::string& path, std::span<const uint8_t> bytes);

} // namespace tessaro
