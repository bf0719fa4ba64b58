// Replacing a file: the old file or the whole new one, never anything between; permissions
// kept; a symbolic link replaced through the link.

#include "core/replacing_file.h"

#include <sys/stat.h>

#include <filesystem>

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

} // namespace
} // namespace tessaro
