#include "core/file_stamp.h"

#include <system_error>

namespace tessaro {

std::optional<FileStamp> fileStamp(const std::string& path)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return std::nullopt;
    const auto changed = std::filesystem::last_write_time(path, ec);
    if (ec)
        return std::nullopt;
    return FileStamp{size, changed};
}

} // namespace tessaro
