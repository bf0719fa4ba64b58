#include "core/replacing_file.h"

#include "core/file_error.h"
#include "core/folder_lock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <random>
#include <vector>

namespace tessaro {

namespace {

Error writeError(const std::string& path, int error)
{
    return fileError(FileStep::Write, path, error);
}

constexpr size_t kKeptNameBytes = 200; // of the file name in a temporary name

// Whether `name` is a temporary file name: `prefix` followed by digits only.
bool temporaryOf(const std::string& name, const std::string& prefix)
{
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0
           && name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

// Whether `name` is the temporary file of any target: "." + a name + ".tmp" + digits.
bool anyTemporary(const std::string& name)
{
    const size_t tmp = name.rfind(".tmp");
    return name.size() > 1 && name[0] == '.' && tmp != std::string::npos && tmp > 1
           && temporaryOf(name, name.substr(0, tmp + 4));
}

// Removes the temporary files of ours among those `isTemporary` names that a killed or crashed
// save left: ours by owner and name, old enough that no save can still be writing them.
template <typename Predicate>
void removeStale(const std::filesystem::path& folder, Predicate isTemporary)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isTemporary(name))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
            || st.st_uid != ::geteuid() || now - st.st_mtime < kStaleTemporarySeconds)
            continue;
        ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

bool readOnly(const std::string& path, const struct stat& st)
{
    // No write bit at all counts for root too, who may write anyway.
    return (st.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EACCES);
}

} // namespace

Result<std::string> linkTarget(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path at(path);
    // As the system follows links, but to the end of a dangling one as well: the file it names
    // is made there.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(at, ec))
            return at.string();
        const fs::path next = fs::read_symlink(at, ec);
        if (ec)
            return Error(ErrorKind::Io, ec.message());
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return Error(ErrorKind::Io, std::strerror(ELOOP));
}

std::string temporaryPrefix(const std::string& fileName)
{
    return "." + fileName.substr(0, kKeptNameBytes) + ".tmp";
}

Result<ReplacingFile> ReplacingFile::create(const std::string& target, int* errorNumber, ReplaceOptions options)
{
    const auto writeError = [errorNumber](const std::string& path, int error) {
        if (errorNumber)
            *errorNumber = error;
        return tessaro::writeError(path, error);
    };
    namespace fs = std::filesystem;
    // Replace the file a symbolic link names, not the link itself; a loop names no file, and
    // writing a regular file over the link would break it.
    const Result<std::string> followed = linkTarget(target);
    if (!followed) {
        if (errorNumber)
            *errorNumber = ELOOP;
        return fileError(FileStep::Write, target, followed.error());
    }
    const fs::path resolved(followed.value());
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
        if (!options.readOnlyToo && readOnly(resolved.string(), existing)) {
            if (errorNumber)
                *errorNumber = EACCES;
            Error refused = fileError(FileStep::Write, target, kReadOnlyReason);
            refused.kind = ErrorKind::ReadOnly;
            return refused;
        }
        mode = int(existing.st_mode & 07777);
    }
    fs::path folder = resolved.parent_path();
    if (folder.empty())
        folder = ".";
    const std::string prefix = temporaryPrefix(resolved.filename().string());
    removeStale(folder, [&prefix](const std::string& name) { return temporaryOf(name, prefix); });

    // Created exclusively under a name no one else holds (as mkstemp does), but with the
    // usual 0666 less the umask, the permissions a plain new file would get.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = (folder / (prefix + std::to_string(random()))).string();
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ReplacingFile file(resolved.string(), target, temp, fd, mode, options);
            if (mode >= 0)
                file.copyMetadataFrom(resolved.string());
            return file;
        }
        if (errno != EEXIST)
            return writeError(target, errno);
    }
    return writeError(target, EEXIST);
}

ReplacingFile::ReplacingFile(std::string target, std::string shownPath, std::string temp, int fd, int mode,
                             ReplaceOptions options)
    : target_(std::move(target)),
      shownPath_(std::move(shownPath)),
      temp_(std::move(temp)),
      fd_(fd),
      mode_(mode),
      options_(options)
{
}

void ReplacingFile::copyMetadataFrom(const std::string& old)
{
    // Each step is kept where it can be and skipped where it cannot (a user who is not the
    // owner, a file system without attributes): the content matters more than these.
    struct stat st {};
    if (::stat(old.c_str(), &st) == 0) {
        [[maybe_unused]] const int kept = ::fchown(fd_, st.st_uid, st.st_gid);
    }
    const ssize_t listSize = ::listxattr(old.c_str(), nullptr, 0);
    if (listSize <= 0)
        return;
    std::vector<char> names(static_cast<size_t>(listSize));
    const ssize_t got = ::listxattr(old.c_str(), names.data(), names.size());
    for (ssize_t at = 0; got > 0 && at < got; at += ssize_t(std::char_traits<char>::length(names.data() + at)) + 1) {
        const char* name = names.data() + at;
        const ssize_t valueSize = ::getxattr(old.c_str(), name, nullptr, 0);
        if (valueSize < 0)
            continue;
        std::vector<char> value(static_cast<size_t>(valueSize));
        if (::getxattr(old.c_str(), name, value.data(), value.size()) == valueSize)
            (void)::fsetxattr(fd_, name, value.data(), value.size(), 0);
    }
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : target_(std::move(other.target_)),
      shownPath_(std::move(other.shownPath_)),
      temp_(std::move(other.temp_)),
      fd_(other.fd_),
      mode_(other.mode_),
      errno_(other.errno_),
      options_(other.options_)
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
    // Of two programs replacing files in one folder, one renames at a time; a save over the
    // file it read sees there whether another program's rename came first.
    std::optional<FolderLock> lock;
    if (!options_.folderLocked) {
        lock.emplace(target_, options_.lockWait ? *options_.lockWait : LockWait{});
        if (Status locked = lock->status(); !locked) {
            discard();
            return locked;
        }
    }
    if (options_.unchangedSince)
        if (Status unchanged = checkUnchanged(target_, *options_.unchangedSince); !unchanged) {
            discard();
            return unchanged;
        }
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    temp_.clear();
    // The rename itself on the disk too; a file system that cannot sync folders still renamed.
    std::filesystem::path folder = std::filesystem::path(target_).parent_path();
    if (folder.empty())
        folder = ".";
    if (const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

void removeStaleTemporaries(const std::string& folder)
{
    removeStale(folder, anyTemporary);
}

Status replaceFile(const std::string& path, std::span<const uint8_t> bytes, ReplaceOptions options)
{
    Result<ReplacingFile> file = ReplacingFile::create(path, nullptr, options);
    if (!file)
        return file.failure();
    if (Status written = file.value().write(bytes); !written)
        return written;
    return file.value().commit();
}

Status replaceFile(const std::string& path, std::string_view text, ReplaceOptions options)
{
    return replaceFile(path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                       options);
}

} // namespace tessaro
