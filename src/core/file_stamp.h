#pragma once
// What a file was when the program last read or wrote it (size and time of its last change),
// to tell before writing over it whether something else changed it since.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tessaro {

struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type changed;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path`; none when there is no such file or it cannot be examined.
std::optional<FileStamp> fileStamp(const std::string& path);

} // namespace tessaro
