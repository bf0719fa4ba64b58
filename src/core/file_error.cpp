#include "core/file_error.h"

#include <cstring>

namespace tessaro {

namespace {

// Marked for translation: the window translates the verb of every file error it shows.
const char* verb(FileStep step)
{
    switch (step) {
    case FileStep::Open: return TRANSLATABLE("Core", "Cannot open ");
    case FileStep::Read: return TRANSLATABLE("Core", "Cannot read ");
    case FileStep::Create: return TRANSLATABLE("Core", "Cannot create ");
    case FileStep::Write: return TRANSLATABLE("Core", "Cannot write ");
    }
    return TRANSLATABLE("Core", "Cannot open ");
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
