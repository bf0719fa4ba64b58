#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "core/folder_lock.h"
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

    // A file with bytes no save keeps differs from its own save.
    auto tailed = original;
    tailed.insert(tailed.end(), {1, 2, 3});
    testing::writeBytes(dir.file("tailed"), tailed);
    const CliRun lossy = runCli(dir, {"diff", dir.file("tailed"), dir.file("back")});
    EXPECT_EQ(lossy.status, 1) << lossy.err;
    EXPECT_EQ(lossy.out, "bytes outside the menu's records: 3 -> 0\n");
}

// A title written in by hand leaves the options as written; compile writes them so and says
// what the item properties window would have set.
TEST(TextCommands, CompileWarnsOfTitlesWithOptionsTheEditorNeverLeaves)
{
    TempDir dir;
    ASSERT_EQ(runCli(dir, {"new", dir.file("new")}).status, 0);
    ASSERT_EQ(runCli(dir, {"export", dir.file("new"), "-o", dir.file("menu.json")}).status, 0);
    std::string text = testing::readText(dir.file("menu.json"));
    const auto replace = [&text](const std::string& from, const std::string& to) {
        ASSERT_NE(text.find(from), std::string::npos) << from;
        text.replace(text.find(from), from.size(), to);
    };
    replace(
        R"("menu": [])",
        R"("menu": [{"id": "Games", "options": "0x00", "data": [{"kind": "menuTitle", "titles": [{"language": "01", "text": "Play"}]}]},)"
        R"( {"id": "Radio", "options": "0x08", "data": [{"kind": "menuTitle", "titles": [{"language": "01", "text": "FM"}]}]}])");
    replace(
        R"({"id": "Message", "type": "item", "options": "0x00")",
        R"({"id": "Message", "type": "item", "options": "0x00", "data": [{"kind": "softkeyTitle", "titles": [{"language": "01", "text": "SMS"}]}])");
    testing::writeText(dir.file("menu.json"), text);

    const CliRun run = runCli(dir, {"compile", dir.file("menu.json"), dir.file("out")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "Warning: /softkeys/1/options: 0x00 on an item with titles; the item properties window sets 0x08\n"
              "Warning: /menu/0/options: 0x00 on an item with titles; the item properties window sets 0x08\n");
    const CliRun back = runCli(dir, {"export", dir.file("out")});
    EXPECT_NE(back.out.find("\"id\": \"Games\",\n      \"type\": \"item\",\n      \"options\": \"0x00\""),
              std::string::npos)
        << back.out;
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

// Each refusal ends with its message and leaves every file as it was, writing none.
TEST(TextCommands, RefusalsWriteNothing)
{
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> text; // menu.json from the exported one
        std::vector<std::string> args;                       // DIR/ stands for the test's folder
        int status;
        std::string err;
    };
    const auto replaced = [](std::string from, std::string to) {
        return [from, to](const std::string& text) {
            std::string edited = text;
            edited.replace(edited.find(from), from.size(), to);
            return edited;
        };
    };
    const auto same = [](const std::string& text) { return text; };
    const std::string deep = "{\"softkeys\": [], \"menu\": " + std::string(70000, '[') + std::string(70000, ']') + "}";
    const std::string tooDeep =
        "Error: /: arrays and objects nested deeper than 10000 levels; a menu needs far fewer\n";
    const Case cases[] = {
        {"compile over its input",
         same,
         {"compile", "DIR/menu.json", "DIR/menu.json"},
         1,
         "Cannot write DIR/menu.json: it is the input file; give another file to write\n"},
        {"export over its input",
         same,
         {"export", "DIR/mma_ucp", "-o", "DIR/mma_ucp"},
         1,
         "Cannot write DIR/mma_ucp: it is the input file; give another file to write\n"},
        {"export over its input by another name",
         same,
         {"export", "DIR/mma_ucp", "-o", "DIR/./mma_ucp"},
         1,
         "Cannot write DIR/./mma_ucp: it is the input file; give another file to write\n"},
        {"a key given twice",
         replaced("\n}\n", ",\n  \"menu\": []\n}\n"),
         {"compile", "DIR/menu.json", "DIR/out"},
         1,
         "Error: /menu: the key \"menu\" is given twice\n"},
        {"a title given twice",
         replaced(R"("text": "Spiele")", R"("text": "Spiele", "utf16": "0041")"),
         {"compile", "DIR/menu.json", "DIR/out"},
         1,
         "Error: /menu/0/data/0/titles/1: both \"text\" and \"utf16\"; give one of them\n"},
        {"a raw record of a known kind",
         replaced(R"("kind": 2,)", R"("kind": 5,)"),
         {"compile", "DIR/menu.json", "DIR/out"},
         1,
         "Error: /menu/3/data/3/records/0/kind: kind 5 is no unsupported kind: write the record as {\"kind\": "
         "\"url\", ...}\n"},
        {"compile nested too deep",
         [&](const std::string&) { return deep; },
         {"compile", "DIR/menu.json", "DIR/out"},
         1,
         tooDeep},
        {"diff nested too deep",
         [&](const std::string&) { return deep; },
         {"diff", "DIR/mma_ucp", "DIR/menu.json"},
         2,
         tooDeep},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const auto original = testing::richFile(36, ByteOrder::Big, false, 12, true);
        testing::writeBytes(dir.file("mma_ucp"), original);
        ASSERT_EQ(runCli(dir, {"export", dir.file("mma_ucp"), "-o", dir.file("menu.json")}).status, 0);
        const std::string text = c.text(testing::readText(dir.file("menu.json")));
        testing::writeText(dir.file("menu.json"), text);
        const auto inFolder = [&dir](std::string s) {
            for (size_t at; (at = s.find("DIR/")) != std::string::npos;)
                s.replace(at, 4, dir.path().string() + "/");
            return s;
        };
        std::vector<std::string> args;
        for (const std::string& arg : c.args)
            args.push_back(inFolder(arg));
        const CliRun run = runCli(dir, args);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_EQ(run.err, inFolder(c.err)) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
        EXPECT_EQ(testing::readBytes(dir.file("mma_ucp")), original) << c.name;
        EXPECT_EQ(testing::readText(dir.file("menu.json")), text) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out"))) << c.name;
    }
}

TEST(TextCommands, DiffTellsTroubleFromADifference)
{
    TempDir dir;
    const auto original = testing::richFile(36, ByteOrder::Big, false, 12, true);
    testing::writeBytes(dir.file("mma_ucp"), original);
    ASSERT_EQ(runCli(dir, {"export", dir.file("mma_ucp"), "-o", dir.file("menu.json")}).status, 0);
    const std::string text = testing::readText(dir.file("menu.json"));

    // A text saved with a byte-order mark is a menu text all the same.
    testing::writeText(dir.file("marked.json"), "\xEF\xBB\xBF" + text);
    const CliRun marked = runCli(dir, {"diff", dir.file("mma_ucp"), dir.file("marked.json")});
    EXPECT_EQ(marked.status, 0) << marked.err;
    EXPECT_EQ(marked.out, "");
    EXPECT_EQ(marked.err, "");

    // Changes that cannot be printed are trouble, not a difference.
    std::string cdma = text;
    cdma.replace(cdma.find(R"("cdma": false)"), 13, R"("cdma": true)");
    testing::writeText(dir.file("cdma.json"), cdma);
    const CliRun unprinted = testing::runProgram(
        TESSARO_CLI, dir, {"--dir", dir.path().string(), "diff", dir.file("mma_ucp"), dir.file("cdma.json")},
        "/dev/full");
    EXPECT_EQ(unprinted.status, 2);
    EXPECT_EQ(unprinted.err, "Cannot write standard output: No space left on device\n");
}

// Whether a process waits in flock for the lock of the folder `folder` (a "->" line of
// /proc/locks names the waiter).
bool someoneWaitsFor(const std::string& folder)
{
    struct stat info {};
    EXPECT_EQ(::stat(folder.c_str(), &info), 0);
    const std::string inode = ":" + std::to_string(info.st_ino) + " ";
    std::istringstream locks(testing::readText("/proc/locks"));
    for (std::string line; std::getline(locks, line);)
        if (line.find("->") != std::string::npos && line.find(inode) != std::string::npos)
            return true;
    return false;
}

TEST(TextCommands, ExportSaysOnceThatItWaitsForAnotherProgram)
{
    TempDir dir;
    testing::writeBytes(dir.file("mma_ucp"), testing::richFile(36, ByteOrder::Big, false, 12, true));
    CliRun run;
    std::thread command;
    {
        const FolderLock other(dir.file("menu.json"));
        command = std::thread([&] { run = runCli(dir, {"export", dir.file("mma_ucp"), "-o", dir.file("menu.json")}); });
        for (int i = 0; i < 6000 && !someoneWaitsFor(dir.path().string()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(someoneWaitsFor(dir.path().string()));
        // Past the second after which a wait is told of.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    }
    command.join();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Waiting for another program to finish with " + dir.path().string() + "\n");
    EXPECT_TRUE(std::filesystem::exists(dir.file("menu.json")));
}

} // namespace
} // namespace tessaro
