#include "workspace/firmware_image.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "core/file_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaro {

Result<std::unique_ptr<FileImage>> FileImage::open(const std::string& path)
{
    // Non-blocking, so that opening a pipe never waits for a writer; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return fileError(FileStep::Open, path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return fileError(FileStep::Open, path, error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fileError(FileStep::Open, path, S_ISDIR(st.st_mode) ? kFolderReason : kNotRegularReason);
    }
    return std::unique_ptr<FileImage>(new FileImage(fd, static_cast<uint64_t>(st.st_size), path));
}

FileImage::~FileImage()
{
    ::close(fd_);
}

Result<size_t> FileImage::read(uint64_t offset, std::span<uint8_t> out)
{
    size_t done = 0;
    while (done < out.size() && offset + done < size_) {
        const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fileError(FileStep::Read, path_, errno);
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

Result<size_t> MemoryImage::read(uint64_t offset, std::span<uint8_t> out)
{
    if (offset >= bytes_.size())
        return size_t{0};
    const size_t count = std::min<uint64_t>(out.size(), bytes_.size() - offset);
    std::memcpy(out.data(), bytes_.data() + offset, count);
    return count;
}

} // namespace tessaro
