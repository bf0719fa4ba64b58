#include "core/translatable.h"
#include "workspace/data_folder.h"

namespace tessaro {

namespace fs = std::filesystem;

fs::path userDataFolder(const char* xdgDataHome, const char* home)
{
    // Relative values of XDG_DATA_HOME are invalid and ignored, as the base directory rules say.
    if (xdgDataHome && *xdgDataHome && fs::path(xdgDataHome).is_absolute())
        return fs::path(xdgDataHome) / "tessaro";
    if (home && *home && fs::path(home).is_absolute())
        return fs::path(home) / ".local" / "share" / "tessaro";
    return {};
}

Status prepareDataFolder(const fs::path& folder, const fs::path& sample)
{
    std::error_code ec;
    if (folder.empty())
        return Error(ErrorKind::NotFound,
                     TRANSLATABLE("Core", "No data folder: neither XDG_DATA_HOME nor HOME is set"));
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        return Error(ErrorKind::Io, TRANSLATABLE("Core", "Cannot create the data folder ") + folder.string());
    if (fs::exists(folder / "Profiles", ec) || !fs::is_directory(sample, ec))
        return {};
    // skip_existing: a file the user already has is never replaced by the sample's.
    fs::copy(sample, folder, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    if (ec)
        return Error(ErrorKind::Io, TRANSLATABLE("Core", "Cannot copy the sample profile into ") + folder.string()
                                        + ": " + ec.message());
    return {};
}

} // namespace tessaro
