#include "core/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/replacing_file.h"

namespace tessaro {

FolderLock::FolderLock(const std::string& path)
{
    namespace fs = std::filesystem;
    const Result<std::string> followed = linkTarget(path);
    fs::path folder = fs::path(followed ? followed.value() : path).parent_path();
    if (folder.empty())
        folder = ".";
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    int locked = 0;
    do
        locked = ::flock(fd_, LOCK_EX);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0)
        ::close(fd_); // closing the descriptor releases the lock
}

} // namespace tessaro
