// The working folder: made private, removed at the end, and the folders of runs that were
// killed removed by the next run, never a folder a living run holds or one that is not ours.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "core/working_folder.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A folder left as a run leaves it: the working copy inside and the mark.
void leftBehind(const fs::path& folder)
{
    fs::create_directories(folder);
    testing::writeText(folder / "mma_temp", "the phone's menu");
    testing::writeText(folder / ".owner", "4242\n");
}

TEST(WorkingFolder, ANewFolderRemovesOnlyTheFoldersOfRunsThatAreGone)
{
    struct Case {
        const char* name;
        std::function<void(const TempDir&, std::vector<int>& held)> make;
        bool removed;
    };
    const auto lockedBy = [](const fs::path& mark, std::vector<int>& held) {
        const int fd = ::open(mark.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        held.push_back(fd);
    };
    std::vector<Case> cases = {
        {"a killed run's", [](const TempDir& d, std::vector<int>&) { leftBehind(d.path() / "tessaro-a1B2c3"); }, true},
        {"a living run's",
         [&](const TempDir& d, std::vector<int>& held) {
             leftBehind(d.path() / "tessaro-a1B2c3");
             lockedBy(d.path() / "tessaro-a1B2c3/.owner", held);
         },
         false},
        {"one without a mark",
         [](const TempDir& d, std::vector<int>&) {
             leftBehind(d.path() / "tessaro-a1B2c3");
             fs::remove(d.path() / "tessaro-a1B2c3/.owner");
         },
         false},
        {"a mark that is a link",
         [](const TempDir& d, std::vector<int>&) {
             fs::create_directories(d.path() / "tessaro-a1B2c3");
             testing::writeText(d.path() / "mark", "1\n");
             fs::create_symlink(d.path() / "mark", d.path() / "tessaro-a1B2c3/.owner");
         },
         false},
        {"a link to a folder",
         [](const TempDir& d, std::vector<int>&) {
             leftBehind(d.path() / "elsewhere");
             fs::create_directory_symlink(d.path() / "elsewhere", d.path() / "tessaro-a1B2c3");
         },
         false},
        {"another program's name",
         [](const TempDir& d, std::vector<int>&) { leftBehind(d.path() / "tessaro-a1B2c3x"); }, false},
        {"another program's name", [](const TempDir& d, std::vector<int>&) { leftBehind(d.path() / "tessaro-a1B.c3"); },
         false},
        {"a file", [](const TempDir& d, std::vector<int>&) { testing::writeText(d.path() / "tessaro-a1B2c3", "x"); },
         false},
    };
    // Only root can leave a folder that another user owns.
    if (::geteuid() == 0)
        cases.push_back({"another user's",
                         [](const TempDir& d, std::vector<int>&) {
                             leftBehind(d.path() / "tessaro-a1B2c3");
                             ASSERT_EQ(::lchown((d.path() / "tessaro-a1B2c3").c_str(), 65534, 65534), 0);
                         },
                         false});
    for (const Case& c : cases) {
        TempDir base;
        std::vector<int> held;
        c.make(base, held);
        std::vector<fs::path> made;
        for (const auto& entry : fs::recursive_directory_iterator(base.path()))
            made.push_back(entry.path());
        {
            const WorkingFolder folder(base.path().string());
            ASSERT_TRUE(folder.ready().ok()) << c.name;
            for (const fs::path& path : made)
                EXPECT_EQ(fs::exists(fs::symlink_status(path)), !c.removed) << c.name << ": " << path;
            EXPECT_TRUE(fs::exists(folder.path() + ".owner")) << c.name;
        }
        for (const int fd : held)
            ::close(fd);
    }
}

TEST(WorkingFolder, AKilledRunsFolderGoesWithTheNextRunAndALivingOneStays)
{
    TempDir base;
    const WorkingFolder living(base.path().string());
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const WorkingFolder killed(base.path().string());
        testing::writeText(killed.file("mma_temp"), "the phone's menu");
        (void)!::write(pipe[1], killed.path().data(), killed.path().size());
        ::kill(::getpid(), SIGKILL);
    }
    ::close(pipe[1]);
    char name[4096] = {};
    const ssize_t n = ::read(pipe[0], name, sizeof name - 1);
    ::close(pipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_GT(n, 0);
    const std::string killed(name, size_t(n));
    ASSERT_TRUE(fs::exists(killed + "mma_temp"));

    const WorkingFolder next(base.path().string());
    ASSERT_TRUE(next.ready().ok());
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_TRUE(fs::exists(living.path()));
    EXPECT_TRUE(fs::exists(next.path()));
    EXPECT_EQ(testing::readText(living.path() + ".owner"), std::to_string(::getpid()) + "\n");
}

} // namespace
} // namespace tessaro
