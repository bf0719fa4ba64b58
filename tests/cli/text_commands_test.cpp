#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_run.h"
#include "support/menu_builder.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::CliRun;
using testing::TempDir;

CliRun runCli(const TempDir& dir, const std::vector<std::string>& args)
{
    return testing::runInFolder(TESSARO_CLI, dir.path().string(), dir, args);
}

TEST(TextCommands, ExportCompileAndDiff)
{
    TempDir dir;
    const auto original = testing::richFile(22, ByteOrder::Little, false, 6, false);
    testing::writeBytes(dir.file("mma_ucp"), original);

    const CliRun exported = runCli(dir, {"export", dir.file("mma_ucp"), "-o", dir.file("menu.json")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "");
    const CliRun printed = runCli(dir, {"export", dir.file("mma_ucp")});
    EXPECT_EQ(printed.out, testing::readText(dir.file("menu.json")));

    const CliRun compiled = runCli(dir, {"compile", dir.file("menu.json"), dir.file("back")});
    ASSERT_EQ(compiled.status, 0) << compiled.err;
    EXPECT_EQ(testing::readBytes(dir.file("back")), original);

    const CliRun same = runCli(dir, {"diff", dir.file("mma_ucp"), dir.file("menu.json")});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    ASSERT_EQ(runCli(dir, {"compile", dir.file("menu.json"), dir.file("wide"), "--record-size", "36"}).status, 0);
    const CliRun changed = runCli(dir, {"diff", dir.file("mma_ucp"), dir.file("wide"), "--json"});
    EXPECT_EQ(changed.status, 1) << changed.err;
    EXPECT_EQ(changed.out, R"({
  "equal": false,
  "changes": [
    {
      "change": "saveMode",
      "item": "",
      "text": "save mode: record size 22 -> 36"
    },
    {
      "change": "saveMode",
      "item": "",
      "text": "save mode: icon marker 06 -> 0C"
    }
  ]
}
)");

    const CliRun missing = runCli(dir, {"diff", dir.file("mma_ucp"), dir.file("nothing")});
    EXPECT_EQ(missing.status, 2);
}

TEST(TextCommands, AFaultyDescriptionWritesNothing)
{
    TempDir dir;
    testing::writeText(dir.file("menu.json"), R"({"softkeys": [], "menu": []})");
    const CliRun run = runCli(dir, {"compile", dir.file("menu.json"), dir.file("out")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: /softkeys: there must be exactly 7 softkeys, not 0\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
}

} // namespace
} // namespace tessaro
