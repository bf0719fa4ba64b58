#include "core/working_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace tessaro {

WorkingFolder::WorkingFolder()
{
    std::error_code ec;
    std::string base = std::filesystem::temp_directory_path(ec).string();
    if (ec || base.empty())
        base = "/tmp";
    std::string pattern = base + "/tessaro-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkdtemp makes the folder readable by its owner only.
    if (::mkdtemp(name.data()))
        path_ = std::string(name.data()) + "/";
    else
        errno_ = errno;
}

Status WorkingFolder::ready() const
{
    if (!path_.empty())
        return {};
    return Error(ErrorKind::Io,
                 TRANSLATABLE("Core", "Cannot make a working folder: ") + std::string(std::strerror(errno_)));
}

WorkingFolder::~WorkingFolder()
{
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace tessaro
