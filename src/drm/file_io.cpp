#include "drm/file_io.h"

#include <cstring>

#include "core/replacing_file.h"

namespace tessaro {

std::string fileErrorText(const char* what, const std::string& path, int error)
{
    return std::string(what) + " file \"" + path + "\". " + std::strerror(error);
}

Status writeFileBytes(const std::string& path, std::span<const uint8_t> bytes)
{
    int error = 0;
    auto file = ReplacingFile::create(path, &error);
    if (!file)
        return Error{fileErrorText("Cannot create", path, error)};
    Status written = file.value().write(bytes);
    if (written)
        written = file.value().commit();
    if (!written)
        return Error{fileErrorText("Cannot write", path, file.value().errorNumber())};
    return Status::success();
}

} // namespace tessaro
