// Replacing a file: the old file or the whole new one, never anything between; permissions
// kept; a symbolic link replaced through the link.

#include "core/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;
using testing::readText;
using testing::TempDir;
using testing::writeText;

// Everything in the folder but `keep`: what a replacement left behind.
std::vector<std::string> leftovers(const TempDir& dir, const std::string& keep)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().filename() != keep)
            names.push_back(entry.path().filename().string());
    return names;
}

TEST(ReplacingFile, NewAndExistingFilesAndPermissions)
{
    TempDir dir;
    const std::string path = dir.file("menu");
    ASSERT_TRUE(replaceFile(path, std::string_view("first")).ok());
    EXPECT_EQ(readText(path), "first");

    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(replaceFile(path, std::string_view("second")).ok());
    EXPECT_EQ(readText(path), "second");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(leftovers(dir, "menu").empty());
}

TEST(ReplacingFile, SymbolicLinkIsReplacedThroughTheLink)
{
    TempDir dir;
    fs::create_directory(dir.path() / "real");
    writeText(dir.path() / "real" / "tessaro.ini", "old");
    fs::create_symlink(dir.path() / "real" / "tessaro.ini", dir.path() / "link");

    ASSERT_TRUE(replaceFile(dir.file("link"), std::string_view("new")).ok());
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link"));
    EXPECT_EQ(readText(dir.path() / "real" / "tessaro.ini"), "new");
    // The temporary file was made beside the real file, and is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), fs::directory_iterator()), 1);
}

TEST(ReplacingFile, UncommittedOrFailedLeavesTheTargetUntouched)
{
    TempDir dir;
    const std::string path = dir.file("itembase.dat");
    writeText(path, "kept");
    {
        auto file = ReplacingFile::create(path);
        ASSERT_TRUE(file.ok()) << file.error();
        ASSERT_TRUE(file.value().write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("junk"), 4)).ok());
        // Dropped without commit(): a transfer that broke off.
    }
    EXPECT_EQ(readText(path), "kept");
    EXPECT_TRUE(leftovers(dir, "itembase.dat").empty());

    const Status onFolder = replaceFile(dir.path().string(), std::string_view("x"));
    EXPECT_EQ(onFolder.error(), "Cannot write " + dir.path().string() + ": Is a directory");
    const std::string missing = dir.file("no/such/folder/f");
    EXPECT_EQ(replaceFile(missing, std::string_view("x")).error(),
              "Cannot write " + missing + ": No such file or directory");
    if (fs::exists("/dev/null")) {
        EXPECT_EQ(replaceFile("/dev/null", std::string_view("x")).error(),
                  "Cannot write /dev/null: it is not a regular file");
    }
}

// Hostile situations around the target, each through the one replace: what it leaves and says.
TEST(ReplacingFile, HostileTargets)
{
    struct Case {
        const char* what;
        std::function<std::string(const TempDir&)> setUp; // returns the path to replace
        std::string reason;                               // after "Cannot write PATH: "; empty: replaced
        std::function<void(const TempDir&)> check;
    };
    const auto file = [](const TempDir& d) {
        writeText(d.path() / "menu", "old");
        return d.file("menu");
    };
    const std::vector<Case> cases = {
        {"read-only",
         [&](const TempDir& d) {
             fs::permissions(file(d), fs::perms::owner_read | fs::perms::group_read);
             return d.file("menu");
         },
         "the file is read-only",
         [](const TempDir& d) {
             EXPECT_EQ(readText(d.path() / "menu"), "old");
             ASSERT_TRUE(replaceFile(d.file("menu"), std::string_view("new"), {.readOnlyToo = true}).ok());
             EXPECT_EQ(readText(d.path() / "menu"), "new");
             EXPECT_EQ(fs::status(d.path() / "menu").permissions() & fs::perms::all,
                       fs::perms::owner_read | fs::perms::group_read);
         }},
        {"owner, group and extended attributes",
         [&](const TempDir& d) {
             const std::string path = file(d);
             if (::geteuid() == 0) {
                 EXPECT_EQ(::chown(path.c_str(), 1234, 4321), 0);
             }
             ::setxattr(path.c_str(), "user.tessaro", "kept", 4, 0); // where the file system has them
             return path;
         },
         "",
         [](const TempDir& d) {
             struct stat st {};
             ASSERT_EQ(::stat(d.file("menu").c_str(), &st), 0);
             if (::geteuid() == 0) {
                 EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(uid_t(1234), gid_t(4321)));
             }
             char value[8] = {};
             const ssize_t n = ::getxattr(d.file("menu").c_str(), "user.tessaro", value, sizeof value);
             EXPECT_TRUE(n < 0 ? errno == ENOTSUP : std::string(value, size_t(n)) == "kept");
         }},
        {"link to a file not yet there",
         [](const TempDir& d) {
             fs::create_symlink("real", d.path() / "link");
             return d.file("link");
         },
         "",
         [](const TempDir& d) {
             EXPECT_TRUE(fs::is_symlink(d.path() / "link"));
             EXPECT_EQ(readText(d.path() / "real"), "new");
         }},
        {"link loop",
         [](const TempDir& d) {
             fs::create_symlink("b", d.path() / "a");
             fs::create_symlink("a", d.path() / "b");
             return d.file("a");
         },
         "Too many levels of symbolic links",
         [](const TempDir& d) { EXPECT_TRUE(fs::is_symlink(d.path() / "a") && fs::is_symlink(d.path() / "b")); }},
        {"pipe",
         [](const TempDir& d) {
             EXPECT_EQ(::mkfifo(d.file("pipe").c_str(), 0600), 0);
             return d.file("pipe");
         },
         "it is not a regular file", [](const TempDir& d) { EXPECT_TRUE(fs::is_fifo(d.path() / "pipe")); }},
        {"full device", [](const TempDir&) { return std::string("/dev/full"); }, "it is not a regular file",
         [](const TempDir&) {}},
        {"name of 250 bytes", [](const TempDir& d) { return d.file(std::string(250, 'n')); }, "",
         [](const TempDir& d) { EXPECT_EQ(readText(d.path() / std::string(250, 'n')), "new"); }},
        {"temporary files a crashed save left",
         [&](const TempDir& d) {
             for (const char* name : {".menu.tmp123", ".menu.tmp456", ".other.tmp7"})
                 writeText(d.path() / name, "left");
             const timespec hourAgo[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
             for (const char* name : {".menu.tmp123", ".other.tmp7"})
                 EXPECT_EQ(::utimensat(AT_FDCWD, d.file(name).c_str(), hourAgo, 0), 0);
             return file(d);
         },
         "",
         [](const TempDir& d) {
             // The old one of this file goes; a fresh one may be a save in progress.
             auto left = leftovers(d, "menu");
             std::sort(left.begin(), left.end());
             EXPECT_EQ(left, (std::vector<std::string>{".menu.tmp456", ".other.tmp7"}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = c.setUp(dir);
        const Status r = replaceFile(path, std::string_view("new"));
        if (c.reason.empty()) {
            EXPECT_TRUE(r.ok()) << r.error();
            EXPECT_EQ(readText(fs::canonical(path)), "new");
        } else {
            EXPECT_EQ(r.error(), "Cannot write " + path + ": " + c.reason);
            EXPECT_EQ(r.failure().kind, c.reason == "the file is read-only" ? ErrorKind::ReadOnly : ErrorKind::Io);
        }
        c.check(dir);
    }
}

} // namespace
} // namespace tessaro

namespace tessaro {
namespace {

TEST(removeStaleTemporaries, OnlyOursOfKilledRunsGo)
{
    TempDir dir;
    const auto make = [&](const std::string& name, bool old) {
        writeText(dir.path() / name, "x");
        if (old)
            fs::last_write_time(dir.path() / name, fs::file_time_type::clock::now() - std::chrono::minutes(11));
    };
    // Temporary files of any target, old enough that no replace still writes them.
    make(".mma_ucp.20261207-174501.tmp4242", true);
    make(".a.tmp.b.tmp7", true);
    // A replace that may still be going, and names that are no temporary file's.
    const std::vector<std::string> kept = {".mma_ucp.20261207-174501.tmp99", ".x.tmp12a", "x.tmp12", ".tmp12", ".x.tmp",
                                           "mma_ucp.20261207-174501"};
    make(kept[0], false);
    for (size_t i = 1; i < kept.size(); ++i)
        make(kept[i], true);
    fs::create_directory(dir.path() / ".folder.tmp5");
    fs::last_write_time(dir.path() / ".folder.tmp5", fs::file_time_type::clock::now() - std::chrono::minutes(11));

    removeStaleTemporaries(dir.path().string());
    std::vector<std::string> expected = kept;
    expected.push_back(".folder.tmp5");
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> left = leftovers(dir, "");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, expected);
}

} // namespace
} // namespace tessaro
