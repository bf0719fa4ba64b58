#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/text_file.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::TempDir;

TEST(WholeFile, ReadsARegularFileWhole)
{
    TempDir dir;
    testing::writeText(dir.file("f"), "a\r\nb");
    EXPECT_EQ(readWholeFile(dir.file("f")).value(), "a\r\nb");
    EXPECT_EQ(readWholeFileBytes(dir.file("f"), FileWording::Plain, 4).value(), (std::vector<uint8_t>{'a', '\r', '\n', 'b'}));
}

TEST(WholeFile, HostileFilesFailWithTheirFileError)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    testing::writeText(dir.file("big"), "12345");
    struct Case {
        std::string path;
        FileWording wording;
        std::string text;
    };
    const std::vector<Case> cases = {
        {dir.file("missing"), FileWording::Plain, "Cannot open " + dir.file("missing") + ": No such file or directory"},
        {dir.file("missing"), FileWording::Quoted,
         "Cannot open file \"" + dir.file("missing") + "\". No such file or directory"},
        {dir.file("folder"), FileWording::Plain, "Cannot open " + dir.file("folder") + ": it is a folder"},
        {dir.file("folder"), FileWording::Quoted, "Cannot open file \"" + dir.file("folder") + "\". Is a directory"},
        // A pipe with no writer: refused at once, never waited on.
        {dir.file("pipe"), FileWording::Plain, "Cannot open " + dir.file("pipe") + ": it is not a regular file"},
        {dir.file("big"), FileWording::Plain, "Cannot read " + dir.file("big") + ": it is larger than 4 bytes"},
        // Opens, but every read fails.
        {"/proc/self/mem", FileWording::Plain, "Cannot read /proc/self/mem: Input/output error"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readWholeFile(c.path, c.wording, 4).failure(), Error(ErrorKind::Io, c.text, "")) << c.path;
        EXPECT_EQ(readWholeFileBytes(c.path, c.wording, 4).error(), c.text) << c.path;
    }
}

} // namespace
} // namespace tessaro
