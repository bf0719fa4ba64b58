#include "drm/mapped_file.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
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

MappedFile::~MappedFile() { release(); }

MappedFile::MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept
{
    if (this != &other) {
        release();
        map_ = std::exchange(other.map_, nullptr);
        mapLength_ = std::exchange(other.mapLength_, 0);
        // A moved vector keeps its buffer, so a span into it stays valid.
        copy_ = std::move(other.copy_);
        bytes_ = std::exchange(other.bytes_, {});
        other.copy_.clear();
    }
    return *this;
}

void MappedFile::release()
{
    if (map_)
        ::munmap(map_, mapLength_);
    map_ = nullptr;
    mapLength_ = 0;
    copy_.clear();
    copy_.shrink_to_fit();
    bytes_ = {};
}

MappedFile MappedFile::fromBytes(std::vector<uint8_t> bytes)
{
    MappedFile file;
    file.copy_ = std::move(bytes);
    file.bytes_ = file.copy_;
    return file;
}

Result<MappedFile> MappedFile::open(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return Error{fileErrorText("Cannot open", path, errno)};
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return Error{fileErrorText("Cannot read", path, errno)};
    if (S_ISDIR(info.st_mode))
        return Error{fileErrorText("Cannot open", path, EISDIR)};

    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        const size_t length = size_t(info.st_size);
        void* map = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd.get(), 0);
        if (map != MAP_FAILED) {
            MappedFile file;
            file.map_ = map;
            file.mapLength_ = length;
            file.bytes_ = std::span<const uint8_t>(static_cast<const uint8_t*>(map), length);
            return file;
        }
    }

    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Error{fileErrorText("Cannot read", path, errno)};
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return fromBytes(std::move(bytes));
}

} // namespace tessaro
