#pragma once
// File errors, worded in one place. The editor's own files (menus, profiles, the item base,
// settings) read "Cannot open PATH: reason"; pictures and icon packs read
// "Cannot open file "PATH". reason".

#include <string>
#include <string_view>

#include "core/result.h"

namespace tessaro {

// What was being done to the file when it failed.
enum class FileStep { Open, Read, Create, Write };
enum class FileWording { Plain, Quoted };

// Reasons that no errno names.
inline constexpr std::string_view kFolderReason = "it is a folder";
inline constexpr std::string_view kNotRegularReason = "it is not a regular file";

// The failure of `step` on `path`, kind Io (a missing file too: the reason says so), shown
// without a caption of its own:
// "Cannot open PATH: reason" (Plain; "Cannot open PATH" without a reason) or
// "Cannot open file "PATH". reason" (Quoted).
Error fileError(FileStep step, const std::string& path, std::string_view reason = {},
                FileWording wording = FileWording::Plain);
// The same with the system's text for the errno value `errorNumber`.
Error fileError(FileStep step, const std::string& path, int errorNumber,
                FileWording wording = FileWording::Plain);

} // namespace tessaro
