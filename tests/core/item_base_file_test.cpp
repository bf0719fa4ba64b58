#include <gtest/gtest.h>

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
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.file("itembase.dat");
        writeText(path, c.before);
        ASSERT_TRUE(appendItemBaseLine(path, "New", false).ok());
        EXPECT_EQ(readText(path), c.after) << c.before;
    }
}

} // namespace
} // namespace tessaro
