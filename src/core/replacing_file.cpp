#include "core/replacing_file.h"

#include "core/file_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

namespace tessaro {

namespace {

Error writeError(const std::string& path, int error)
{
    return fileError(FileStep::Write, path, error);
}

} // namespace

Result<ReplacingFile> ReplacingFile::create(const std::string& target, int* errorNumber)
{
    const auto writeError = [errorNumber](const std::string& path, int error) {
        if (errorNumber)
            *errorNumber = error;
        return tessaro::writeError(path, error);
    };
    namespace fs = std::filesystem;
    fs::path resolved(target);
    std::error_code ec;
    // Replace the file a symbolic link names, not the link itself.
    if (fs::is_symlink(resolved, ec)) {
        const fs::path followed = fs::weakly_canonical(resolved, ec);
        if (!ec)
            resolved = followed;
    }
    int mode = -1;
    struct stat existing {};
    if (::stat(resolved.c_str(), &existing) == 0) {
        // Renaming over a folder fails anyway; renaming over a device or a pipe would replace
        // the node itself, never what the caller meant.
        if (S_ISDIR(existing.st_mode))
            return writeError(target, EISDIR);
        if (!S_ISREG(existing.st_mode)) {
            if (errorNumber)
                *errorNumber = EINVAL;
            return fileError(FileStep::Write, target, kNotRegularReason);
        }
        mode = int(existing.st_mode & 07777);
    }
    fs::path folder = resolved.parent_path();
    if (folder.empty())
        folder = ".";

    // Created exclusively under a name no one else holds (as mkstemp does), but with the
    // usual 0666 less the umask, the permissions a plain new file would get.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp =
            (folder / ("." + resolved.filename().string() + ".tmp" + std::to_string(random()))).string();
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return ReplacingFile(resolved.string(), target, temp, fd, mode);
        if (errno != EEXIST)
            return writeError(target, errno);
    }
    return writeError(target, EEXIST);
}

ReplacingFile::ReplacingFile(std::string target, std::string shownPath, std::string temp, int fd, int mode)
    : target_(std::move(target)), shownPath_(std::move(shownPath)), temp_(std::move(temp)), fd_(fd), mode_(mode)
{
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : target_(std::move(other.target_)), shownPath_(std::move(other.shownPath_)), temp_(std::move(other.temp_)),
      fd_(other.fd_), mode_(other.mode_), errno_(other.errno_)
{
    other.fd_ = -1;
    other.temp_.clear();
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

void ReplacingFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

Status ReplacingFile::fail(int error)
{
    errno_ = error;
    discard();
    return writeError(shownPath_, error);
}

Status ReplacingFile::write(std::span<const uint8_t> bytes)
{
    if (fd_ < 0)
        return writeError(shownPath_, errno_ ? errno_ : EBADF);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        done += size_t(n);
    }
    return {};
}

Status ReplacingFile::commit()
{
    if (fd_ < 0)
        return writeError(shownPath_, errno_ ? errno_ : EBADF);
    if (mode_ >= 0 && ::fchmod(fd_, mode_t(mode_)) != 0)
        return fail(errno);
    // On the disk before the rename, so a crash leaves the old file or the whole new one.
    if (::fsync(fd_) != 0)
        return fail(errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        return fail(errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    temp_.clear();
    return {};
}

Status replaceFile(const std::string& path, std::span<const uint8_t> bytes)
{
    Result<ReplacingFile> file = ReplacingFile::create(path);
    if (!file)
        return file.failure();
    if (Status written = file.value().write(bytes); !written)
        return written;
    return file.value().commit();
}

Status replaceFile(const std::string& path, std::string_view text)
{
    return replaceFile(path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

} // namespace tessaro
