// The data folder: where it lies by the XDG rules, and what a new one is given.

#include <fstream>

#include <gtest/gtest.h>

#include "workspace/data_folder.h"
#include "support/temp_dir.h"

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, FollowsTheXdgRules)
{
    const struct {
        const char* xdg;
        const char* home;
        fs::path expected;
    } cases[] = {
        {"/data", "/home/u", "/data/tessaro"},
        {nullptr, "/home/u", "/home/u/.local/share/tessaro"},
        {"", "/home/u", "/home/u/.local/share/tessaro"},
        {"relative/dir", "/home/u", "/home/u/.local/share/tessaro"}, // ignored: not absolute
        {nullptr, nullptr, ""},
        {nullptr, "relative", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(userDataFolder(c.xdg, c.home), c.expected) << (c.xdg ? c.xdg : "(unset)");
}

void writeText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DataFolder, ANewFolderGetsTheSampleAndAnOldOneKeepsItsFiles)
{
    TempDir temp;
    const fs::path sample = temp.path() / "share" / "sample";
    writeText(sample / "Profiles" / "TX100.prf", "sample profile");
    writeText(sample / "tessaro.ini", "[setup]\n");

    const fs::path fresh = temp.path() / "data" / "tessaro";
    ASSERT_TRUE(prepareDataFolder(fresh, sample).ok());
    EXPECT_EQ(readText(fresh / "Profiles" / "TX100.prf"), "sample profile");
    EXPECT_EQ(readText(fresh / "tessaro.ini"), "[setup]\n");

    // The user's own files are never replaced, even when the sample changes.
    writeText(fresh / "Profiles" / "TX100.prf", "edited by the user");
    writeText(sample / "Profiles" / "V3.prf", "a newer sample");
    ASSERT_TRUE(prepareDataFolder(fresh, sample).ok());
    EXPECT_EQ(readText(fresh / "Profiles" / "TX100.prf"), "edited by the user");
    EXPECT_FALSE(fs::exists(fresh / "Profiles" / "V3.prf"));

    // Without a sample the folder is still made.
    EXPECT_TRUE(prepareDataFolder(temp.path() / "other", temp.path() / "missing").ok());
    EXPECT_TRUE(fs::is_directory(temp.path() / "other"));

    // A file where the folder should be is a clear failure.
    writeText(temp.path() / "blocked", "x");
    const Status blocked = prepareDataFolder(temp.path() / "blocked", sample);
    EXPECT_EQ(blocked.error(), "Cannot create the data folder " + (temp.path() / "blocked").string());
}

} // namespace
} // namespace tessaro::testing
