#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/folder_lock.h"
#include "core/item_base_file.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::TempDir;
using testing::readText;
using testing::writeText;

struct AppendCase {
    const char* before;
    const char* after;
};

// However the last line of a hand-edited file ends, the new line starts on a line of its own
// and the last entry keeps its bytes.
TEST(AppendItemBaseLine, EndsTheLastLineOnce)
{
    const AppendCase cases[] = {
        {"", "New;New\r\n"},
        {"Zeta;Zeta\r\n", "Zeta;Zeta\r\nNew;New\r\n"},
        {"Zeta;Zeta\n", "Zeta;Zeta\nNew;New\r\n"},
        {"Zeta;Zeta", "Zeta;Zeta\r\nNew;New\r\n"},
        // Found by fuzzing: a lone CR got a second one, and "Zeta\r" read back as the entry.
        {"Zeta;Zeta\r", "Zeta;Zeta\r\nNew;New\r\n"},
        // A line of the file has the identifier (perhaps beyond the 254 the item base takes).
        {"Zeta;Zeta\r\nNew;Shown otherwise", "Zeta;Zeta\r\nNew;Shown otherwise"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.file("itembase.dat");
        writeText(path, c.before);
        const Result<size_t> added = appendItemBaseLine(path, "New", false);
        ASSERT_TRUE(added.ok());
        EXPECT_EQ(readText(path), c.after) << c.before;
        EXPECT_EQ(*added, std::string(c.before) == c.after ? 0u : 1u) << c.before;
    }
}

// Two programs appending at once: the second waits until the first has written back what it read.
TEST(AppendItemBaseLine, TwoWritersKeepBothLines)
{
    TempDir dir;
    const std::string path = dir.file("itembase.dat");
    writeText(path, "Zeta;Zeta\r\n");
    std::thread second;
    {
        // The first writer, between its read and its write when the second one starts.
        const FolderLock lock(path);
        ASSERT_TRUE(lock.held());
        const std::string read = readText(path);
        second = std::thread([&path] { EXPECT_TRUE(appendItemBaseLine(path, "Two", false).ok()); });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        writeText(path, read + "One;One\r\n");
    }
    second.join();
    EXPECT_EQ(readText(path), "Zeta;Zeta\r\nOne;One\r\nTwo;Two\r\n");
}

} // namespace
} // namespace tessaro
