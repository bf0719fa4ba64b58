#include "drm/file_io.h"

#include "core/file_error.h"
#include "core/replacing_file.h"

namespace tessaro {

Status writeFileBytes(const std::string& path, std::span<const uint8_t> bytes)
{
    int error = 0;
    auto file = ReplacingFile::create(path, &error);
    if (!file)
        return fileError(FileStep::Create, path, error, FileWording::Quoted);
    Status written = file.value().write(bytes);
    if (written)
        written = file.value().commit();
    if (!written)
        return fileError(FileStep::Write, path, file.value().errorNumber(), FileWording::Quoted);
    return Status::success();
}

} // namespace tessaro
