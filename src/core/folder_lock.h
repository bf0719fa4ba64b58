#pragma once
// An advisory lock (flock) on the folder that holds a file, so that programs changing files in
// that folder one after the other never lose each other's change: the read-modify-write of a
// shared file (the item base) and a save's check that the file is still the one that was read,
// with the replace that follows, each run under it. A folder rather than a lock file beside
// the target: a file that is replaced by renaming cannot carry the lock, and no extra file is
// left in the user's folder.

#include <chrono>
#include <functional>
#include <string>

#include "core/result.h"

namespace tessaro {

// How long a lock is waited for, and who hears of a wait that lasts.
struct LockWait {
    // Told once, with "Waiting for another program to finish with FOLDER", when the lock has
    // not come after `notice`; a lock that comes sooner is taken without a word.
    std::function<void(const std::string& text)> waiting;
    std::chrono::milliseconds notice{1000};
    // Past this the wait is given up (FolderLock::status()).
    std::chrono::milliseconds limit{60000};
};

class FolderLock {
public:
    // Waits for and takes the lock on the folder of `path` (a symbolic link's target folder),
    // at most wait.limit. A folder that cannot be opened or locked (no read permission, a file
    // system without locks) gives a lock that holds nothing: the work goes on as it would
    // without locking.
    explicit FolderLock(const std::string& path, const LockWait& wait = {});
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Whether the lock is held.
    bool held() const { return fd_ >= 0; }
    // Fails (kind Io) with "Gave up waiting for another program to finish with FOLDER" when
    // another program held the lock past wait.limit; the work must not go on then.
    Status status() const;

private:
    int fd_ = -1;
    std::string abandoned_; // the folder whose wait was given up
};

} // namespace tessaro
