#pragma once
// Reading whole files, and the lines of the editor's own text files (itembase.dat, profiles,
// tessaro.ini); files are written with replaceFile (core/replacing_file.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_error.h"
#include "core/result.h"

namespace tessaro {

// No file the program reads whole comes near this; a bigger one is refused rather than read.
inline constexpr size_t kWholeFileLimit = size_t{64} << 20;

// The whole content of the regular file `path`, of at most `limit` bytes. A missing, unreadable
// or oversized file, a folder, a pipe or a device fails (kind Io) with its fileError in
// `wording`; nothing ever waits for a writer.
Result<std::string> readWholeFile(const std::string& path, FileWording wording = FileWording::Plain,
                                  size_t limit = kWholeFileLimit);
// The same as bytes.
Result<std::vector<uint8_t>> readWholeFileBytes(const std::string& path,
                                                FileWording wording = FileWording::Plain,
                                                size_t limit = kWholeFileLimit);

// The lines of a text, with LF or CR LF line ends; a last line end does not start an empty
// line. The views point into `text`.
std::vector<std::string_view> splitLines(std::string_view text);

} // namespace tessaro
