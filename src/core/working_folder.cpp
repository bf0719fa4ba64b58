#include "core/working_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

namespace tessaro {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "tessaro-";
constexpr size_t kRandomPart = 6; // mkdtemp's XXXXXX
constexpr char kOwnerMark[] = ".owner";

std::string systemTemporaryFolder()
{
    std::error_code ec;
    std::string base = fs::temp_directory_path(ec).string();
    return ec || base.empty() ? std::string("/tmp") : base;
}

// A name mkdtemp gives our pattern: the prefix and six letters or digits.
bool isWorkingFolderName(std::string_view name)
{
    if (name.size() != kPrefix.size() + kRandomPart || !name.starts_with(kPrefix))
        return false;
    for (char c : name.substr(kPrefix.size()))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// Removes `folder` when it is ours and its run is gone: a folder of this user (not a link)
// with a mark of this user (not a link) that nobody holds locked. The lock, not the process
// id, decides: the kernel lets it go when the run ends however it ends, a process id may be
// taken again by another program, and another pid namespace sees other ids.
void removeWhenAbandoned(const fs::path& folder)
{
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return;
    const fs::path mark = folder / kOwnerMark;
    const int fd = ::open(mark.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    struct stat held {};
    struct stat named {};
    // Still the mark under its name once locked: a sweep running beside this one may have
    // removed the folder in between.
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid()
        && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(mark.c_str(), &named) == 0 && named.st_dev == held.st_dev
        && named.st_ino == held.st_ino) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    ::close(fd);
}

void removeAbandonedFolders(const std::string& base)
{
    std::error_code ec;
    fs::directory_iterator it(base, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec))
        if (isWorkingFolderName(it->path().filename().string()))
            removeWhenAbandoned(it->path());
}

// Marks `folder` as held by this run: the mark is locked before it gets its name, so a sweep
// never finds it unlocked while the run lives. Returns the locked descriptor, -1 when the
// folder stays unmarked (a file system without locks): such a folder is never swept.
int markOwned(const std::string& folder)
{
    const std::string unnamed = folder + kOwnerMark + ".new";
    const int fd = ::open(unnamed.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::write(fd, pid.data(), pid.size()) != ssize_t(pid.size())
        || ::rename(unnamed.c_str(), (folder + kOwnerMark).c_str()) != 0) {
        ::unlink(unnamed.c_str());
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

WorkingFolder::WorkingFolder() : WorkingFolder(systemTemporaryFolder())
{
}

WorkingFolder::WorkingFolder(const std::string& base)
{
    removeAbandonedFolders(base);
    std::string pattern = base + "/" + std::string(kPrefix) + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkdtemp makes the folder readable by its owner only.
    if (!::mkdtemp(name.data())) {
        errno_ = errno;
        return;
    }
    path_ = std::string(name.data()) + "/";
    ownerFd_ = markOwned(path_);
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
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    if (ownerFd_ >= 0)
        ::close(ownerFd_);
}

} // namespace tessaro
