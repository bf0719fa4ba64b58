#include "core/text_file.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaro {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

template <typename Buffer>
Result<Buffer> readInto(const std::string& path, FileWording wording, size_t limit)
{
    // Non-blocking, so that opening a pipe never waits for a writer; it is refused below.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return fileError(FileStep::Open, path, errno, wording);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return fileError(FileStep::Read, path, errno, wording);
    if (S_ISDIR(info.st_mode))
        return wording == FileWording::Plain ? fileError(FileStep::Open, path, kFolderReason, wording)
                                             : fileError(FileStep::Open, path, EISDIR, wording);
    if (!S_ISREG(info.st_mode))
        return fileError(FileStep::Open, path, kNotRegularReason, wording);
    const auto tooLarge = [&] {
        return fileError(FileStep::Read, path, "it is larger than " + std::to_string(limit) + " bytes", wording);
    };
    if (static_cast<uint64_t>(info.st_size) > limit)
        return tooLarge();

    // Read up to the end, not just the size fstat gave: the file may have grown meanwhile.
    Buffer bytes(static_cast<size_t>(info.st_size) + 1, 0);
    size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > limit)
                return tooLarge();
            bytes.resize(std::min(limit + 1, used * 2));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fileError(FileStep::Read, path, errno, wording);
        }
        if (got == 0)
            break;
        used += static_cast<size_t>(got);
    }
    if (used > limit)
        return tooLarge();
    bytes.resize(used);
    return bytes;
}

} // namespace

Result<std::string> readWholeFile(const std::string& path, FileWording wording, size_t limit)
{
    return readInto<std::string>(path, wording, limit);
}

Result<std::vector<uint8_t>> readWholeFileBytes(const std::string& path, FileWording wording, size_t limit)
{
    return readInto<std::vector<uint8_t>>(path, wording, limit);
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

} // namespace tessaro
