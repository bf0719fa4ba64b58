// The folder's lock: taken at once when free, waited for without a word when it comes soon,
// told of once when the wait lasts, and given up on past its limit.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/folder_lock.h"
#include "core/replacing_file.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;

// Another program's lock on `folder`, let go after `holdFor` (never when negative).
class OtherProgram {
public:
    OtherProgram(const std::string& folder, std::chrono::milliseconds holdFor)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        EXPECT_EQ(::flock(fd_, LOCK_EX), 0);
        if (holdFor >= 0ms)
            letGo_ = std::thread([this, holdFor] {
                std::this_thread::sleep_for(holdFor);
                ::close(fd_);
            });
    }
    ~OtherProgram()
    {
        if (letGo_.joinable())
            letGo_.join();
        else
            ::close(fd_);
    }

private:
    int fd_;
    std::thread letGo_;
};

TEST(FolderLock, WaitsAreToldOfOnceAndGivenUpOnPastTheLimit)
{
    struct Case {
        const char* name;
        std::chrono::milliseconds holdFor; // -1: held throughout; 0: not held at all
        bool held;
        int notices;
    };
    const Case cases[] = {
        {"free", 0ms, true, 0},
        {"let go soon", 100ms, true, 0},
        {"let go after the notice", 700ms, true, 1},
        {"held past the limit", -1ms, false, 1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::optional<OtherProgram> other;
        if (c.holdFor != 0ms)
            other.emplace(dir.path().string(), c.holdFor);
        std::vector<std::string> notices;
        const LockWait wait{[&notices](const std::string& text) { notices.push_back(text); }, 400ms, 1500ms};
        const auto start = std::chrono::steady_clock::now();
        const FolderLock lock(dir.file("itembase.dat"), wait);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(lock.held(), c.held) << c.name;
        EXPECT_EQ(notices, std::vector<std::string>(c.notices, "Waiting for another program to finish with "
                                                                   + dir.path().string()))
            << c.name;
        if (c.held) {
            EXPECT_TRUE(lock.status().ok()) << c.name;
            EXPECT_LT(waited, c.holdFor + 1000ms) << c.name;
        } else {
            EXPECT_EQ(lock.status().failure(),
                      Error(ErrorKind::Io, "Gave up waiting for another program to finish with " + dir.path().string()))
                << c.name;
            EXPECT_GE(waited, 1500ms) << c.name;
        }
    }
}

TEST(FolderLock, AReplaceThatGivesUpLeavesTheTargetAlone)
{
    TempDir dir;
    testing::writeText(dir.file("menu.json"), "old");
    const OtherProgram other(dir.path().string(), -1ms);
    const LockWait wait{{}, 100ms, 300ms};
    const Status written = replaceFile(dir.file("menu.json"), std::string_view("new"), {.lockWait = &wait});
    EXPECT_EQ(written.failure(),
              Error(ErrorKind::Io, "Gave up waiting for another program to finish with " + dir.path().string()));
    EXPECT_EQ(testing::readText(dir.file("menu.json")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

} // namespace
} // namespace tessaro
