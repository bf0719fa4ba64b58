#include "core/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/replacing_file.h"

namespace tessaro {

namespace {

// A wait for the lock, shared by the waiting caller and the thread blocked in flock: the
// caller may give up while the thread still waits, and the thread then lets the lock go as
// soon as it gets it.
struct PendingLock {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;      // flock returned
    bool locked = false;    // ... with the lock
    bool abandoned = false; // the caller gave up; the thread closes the descriptor
};

// Blocks in flock on the descriptor `fd`, which the pending lock owns from then on until the
// caller takes it.
void blockForLock(int fd, const std::shared_ptr<PendingLock>& pending)
{
    int result = 0;
    do
        result = ::flock(fd, LOCK_EX);
    while (result != 0 && errno == EINTR);
    const std::lock_guard guard(pending->mutex);
    if (pending->abandoned) {
        ::close(fd); // releases the lock, if it came
        return;
    }
    pending->done = true;
    pending->locked = result == 0;
    pending->changed.notify_all();
}

// The folder as a user reads it in a message: absolute, without "." and "..".
std::string shownFolder(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::string shown = std::filesystem::absolute(folder, ec).lexically_normal().string();
    if (ec)
        shown = folder.string();
    if (shown.size() > 1 && shown.back() == '/')
        shown.pop_back();
    return shown;
}

} // namespace

FolderLock::FolderLock(const std::string& path, const LockWait& wait)
{
    namespace fs = std::filesystem;
    const Result<std::string> followed = linkTarget(path);
    fs::path folder = fs::path(followed ? followed.value() : path).parent_path();
    if (folder.empty())
        folder = ".";
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    int locked = 0;
    do
        locked = ::flock(fd_, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked == 0)
        return;
    if (errno != EWOULDBLOCK) {
        ::close(fd_);
        fd_ = -1;
        return;
    }

    // Another program holds it. Wait in flock, so the lock comes the moment it is let go, on a
    // thread of its own, so the wait can be told of and given up.
    const auto pending = std::make_shared<PendingLock>();
    std::thread waiter;
    try {
        waiter = std::thread(blockForLock, fd_, pending);
    } catch (const std::system_error&) {
        // No thread to spare: wait here, untold and without a limit.
        do
            locked = ::flock(fd_, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            ::close(fd_);
            fd_ = -1;
        }
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock guard(pending->mutex);
    if (!pending->changed.wait_until(guard, start + wait.notice, [&] { return pending->done; }) && wait.waiting) {
        guard.unlock();
        wait.waiting(TRANSLATABLE("Core", "Waiting for another program to finish with ") + shownFolder(folder));
        guard.lock();
    }
    if (!pending->changed.wait_until(guard, start + wait.limit, [&] { return pending->done; })) {
        pending->abandoned = true;
        guard.unlock();
        waiter.detach();
        fd_ = -1;
        abandoned_ = shownFolder(folder);
        return;
    }
    const bool gotIt = pending->locked;
    guard.unlock();
    waiter.join();
    if (!gotIt) {
        ::close(fd_);
        fd_ = -1;
    }
}

Status FolderLock::status() const
{
    if (abandoned_.empty())
        return {};
    return Error(ErrorKind::Io,
                 TRANSLATABLE("Core", "Gave up waiting for another program to finish with ") + abandoned_);
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0)
        ::close(fd_); // closing the descriptor releases the lock
}

} // namespace tessaro
