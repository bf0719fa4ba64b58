#pragma once
// Replacing a file so that it is always either the old file or the complete new one: the new
// content goes into a uniquely named temporary file in the target's folder, is flushed to the
// disk and only then renamed over the target, and the folder is flushed after the rename. The
// rename runs under the FolderLock of the target's folder, so every program's replace of a file
// in that folder takes its turn, and a save over the file it read checks there, right before
// the rename, that no other program changed the file since. The
// target's permissions, owner and group, extended attributes and access lists are kept where
// the file system and our rights allow; a target that is a symbolic link is replaced through
// the link (the file it names changes, or is made, and the link stays), a link loop is
// refused. A read-only target is refused unless the caller says otherwise. Temporary files
// left behind by a save that crashed are removed by the next save of the same file.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/file_fingerprint.h"
#include "core/result.h"

namespace tessaro {

struct LockWait;

// A temporary file this old is no longer written by any replace: one left by a killed run.
inline constexpr long kStaleTemporarySeconds = 10 * 60;

// The refusal of a read-only target, after "Cannot write TARGET: " (kind ReadOnly, no caption):
// the window may ask and replace it with ReplaceOptions::readOnlyToo.
inline constexpr char kReadOnlyReason[] = TRANSLATABLE("Core", "the file is read-only");

struct ReplaceOptions {
    bool readOnlyToo = false; // replace a target that has no write permission
    // Replace only while the target is still the file read (or last written) as this one; else
    // fail with kind ChangedOnDisk and kChangedOnDiskText, leaving it alone.
    const FileFingerprint* unchangedSince = nullptr;
    // The caller holds the FolderLock of the target's folder already (a read-modify-write).
    bool folderLocked = false;
    // How the wait for the folder's lock is told of and limited; nullptr: untold, a minute.
    const LockWait* lockWait = nullptr;
};

class ReplacingFile {
public:
    // Creates the temporary file beside `target`. Fails with "Cannot write TARGET: reason"
    // when it cannot be created, the target is a folder or not a regular file, or a link loop
    // (kind Io), or the target is read-only without options.readOnlyToo (kind ReadOnly); the
    // errno of that failure goes to `errorNumber` when given.
    static Result<ReplacingFile> create(const std::string& target, int* errorNumber = nullptr,
                                        ReplaceOptions options = {});

    ReplacingFile(ReplacingFile&& other) noexcept;
    ReplacingFile& operator=(ReplacingFile&&) = delete;
    // Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();

    // Appends to the temporary file.
    Status write(std::span<const uint8_t> bytes);
    // Flushes the temporary file to the disk, gives it the target's permissions and renames it
    // over the target, under the folder's lock and after the check of options.unchangedSince.
    // On failure (the lock given up on included, kind Io) the target is untouched and the
    // temporary file is gone.
    Status commit();
    // Removes the temporary file; the target is untouched.
    void discard();

    // The errno of the last failure, 0 when there was none.
    int errorNumber() const { return errno_; }

private:
    ReplacingFile(std::string target, std::string shownPath, std::string temp, int fd, int mode,
                  ReplaceOptions options);
    // Owner, group and extended attributes (access lists among them) of the old file.
    void copyMetadataFrom(const std::string& old);
    Status fail(int error);

    std::string target_;     // the file that is replaced (a link's target resolved)
    std::string shownPath_;  // the path as the caller gave it, for messages
    std::string temp_;
    int fd_ = -1;
    int mode_ = -1;          // permission bits of an existing target, -1 for a new file
    int errno_ = 0;
    ReplaceOptions options_;
};

// The file a write to `path` changes: where its chain of symbolic links ends (a file that may
// not exist yet), or `path` itself. Fails with the errno of a link loop or of a link that
// cannot be read.
Result<std::string> linkTarget(const std::string& path);

// The name the temporary file of `target` starts with: "." + the file name (cut so that the
// whole name stays far below the 255-byte limit) + ".tmp".
std::string temporaryPrefix(const std::string& fileName);

// Removes the temporary files of every target in `folder` that replaces killed or crashed
// there left: this user's files named as temporaryPrefix() and digits, older than any replace
// takes. A replace sweeps only its own target's; a folder whose files all get new names
// (backups) is swept with this.
void removeStaleTemporaries(const std::string& folder);

// Replaces `path` with `bytes` through a ReplacingFile.
Status replaceFile(const std::string& path, std::span<const uint8_t> bytes, ReplaceOptions options = {});
Status replaceFile(const std::string& path, std::string_view text, ReplaceOptions options = {});

} // namespace tessaro
