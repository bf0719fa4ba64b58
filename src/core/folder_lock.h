#pragma once
// An advisory lock (flock) on the folder that holds a file, so that programs changing files in
// that folder one after the other never lose each other's change: the read-modify-write of a
// shared file (the item base) and a save's check that the file is still the one that was read,
// with the replace that follows, each run under it. A folder rather than a lock file beside
// the target: a file that is replaced by renaming cannot carry the lock, and no extra file is
// left in the user's folder.

#include <string>

namespace tessaro {

class FolderLock {
public:
    // Waits for and takes the lock on the folder of `path` (a symbolic link's target folder).
    // A folder that cannot be opened or locked (no read permission, a file system without
    // locks) gives a lock that holds nothing: the work goes on as it would without locking.
    explicit FolderLock(const std::string& path);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Whether the lock is held.
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace tessaro
