#include "core/working_folder.h"

#include <cstdlib>
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
}

WorkingFolder::~WorkingFolder()
{
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace tessaro
