#include "drm/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tessaro {

std::string fileErrorText(const char* what, const std::string& path, int error)
{
    return std::string(what) + " file \"" + path + "\". " + std::strerror(error);
}

Status writeFileBytes(const std::string& path, std::span<const uint8_t> bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return Error{fileErrorText("Cannot create", path, errno)};
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        return Error{fileErrorText("Cannot write", path, written ? errno : writeError)};
    return Status::success();
}

} // namespace tessaro
