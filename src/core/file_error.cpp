#include "core/file_error.h"

#include <cstring>

namespace tessaro {

namespace {

const char* verb(FileStep step)
{
    switch (step) {
    case FileStep::Open: return "Cannot open ";
    case FileStep::Read: return "Cannot read ";
    case FileStep::Create: return "Cannot create ";
    case FileStep::Write: return "Cannot write ";
    }
    return "Cannot open ";
}

} // namespace

Error fileError(FileStep step, const std::string& path, std::string_view reason, FileWording wording)
{
    std::string text = verb(step);
    if (wording == FileWording::Quoted) {
        text += "file \"" + path + "\". ";
        text += reason;
    } else {
        text += path;
        if (!reason.empty())
            text += ": " + std::string(reason);
    }
    return Error(ErrorKind::Io, std::move(text), "");
}

Error fileError(FileStep step, const std::string& path, int errorNumber, FileWording wording)
{
    return fileError(step, path, std::string_view(std::strerror(errorNumber)), wording);
}

} // namespace tessaro
