#pragma once
// Replacing a file so that it is always either the old file or the complete new one: the new
// content goes into a uniquely named temporary file in the target's folder, is flushed to the
// disk and only then renamed over the target. The target's permissions are kept; a target that
// is a symbolic link is replaced through the link (the file it names changes, the link stays).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/result.h"

namespace tessaro {

class ReplacingFile {
public:
    // Creates the temporary file beside `target`. Fails with "Cannot write TARGET: reason"
    // when it cannot be created or the target is a folder or not a regular file; the errno
    // of that failure goes to `errorNumber` when given.
    static Result<ReplacingFile> create(const std::string& target, int* errorNumber = nullptr);

    ReplacingFile(ReplacingFile&& other) noexcept;
    ReplacingFile& operator=(ReplacingFile&&) = delete;
    // Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();

    // Appends to the temporary file.
    Status write(std::span<const uint8_t> bytes);
    // Flushes the temporary file to the disk, gives it the target's permissions and renames it
    // over the target. On failure the target is untouched and the temporary file is gone.
    Status commit();
    // Removes the temporary file; the target is untouched.
    void discard();

    // The errno of the last failure, 0 when there was none.
    int errorNumber() const { return errno_; }

private:
    ReplacingFile(std::string target, std::string shownPath, std::string temp, int fd, int mode);
    Status fail(int error);

    std::string target_;     // the file that is replaced (a link's target resolved)
    std::string shownPath_;  // the path as the caller gave it, for messages
    std::string temp_;
    int fd_ = -1;
    int mode_ = -1;          // permission bits of an existing target, -1 for a new file
    int errno_ = 0;
};

// Replaces `path` with `bytes` through a ReplacingFile.
Status replaceFile(const std::string& path, std::span<const uint8_t> bytes);
Status replaceFile(const std::string& path, std::string_view text);

} // namespace tessaro
