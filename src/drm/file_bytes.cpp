#include "drm/file_bytes.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "drm/file_io.h"

namespace tessaro {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

FileBytes FileBytes::fromBytes(std::vector<uint8_t> bytes)
{
    FileBytes file;
    file.bytes_ = std::move(bytes);
    return file;
}

Result<FileBytes> FileBytes::open(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return Error{fileErrorText("Cannot open", path, errno)};
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return Error{fileErrorText("Cannot read", path, errno)};
    if (S_ISDIR(info.st_mode))
        return Error{fileErrorText("Cannot open", path, EISDIR)};

    // A regular file is read into a buffer of exactly its size, so memory use stays at the
    // file's size; what a pipe delivers, or a file that grew meanwhile, is appended in chunks.
    std::vector<uint8_t> bytes(S_ISREG(info.st_mode) && info.st_size > 0 ? size_t(info.st_size) : 0);
    size_t used = 0;
    uint8_t chunk[65536];
    for (;;) {
        const bool direct = used < bytes.size();
        uint8_t* target = direct ? bytes.data() + used : chunk;
        const size_t room = direct ? bytes.size() - used : sizeof chunk;
        const ssize_t got = ::read(fd.get(), target, room);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Error{fileErrorText("Cannot read", path, errno)};
        }
        if (got == 0)
            break;
        if (!direct)
            bytes.insert(bytes.end(), chunk, chunk + got);
        used += size_t(got);
    }
    bytes.resize(used);
    return fromBytes(std::move(bytes));
}

} // namespace tessaro
