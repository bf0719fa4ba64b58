#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/folder_lock.h"
#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/text_file.h"
#include "core/open_menu.h"
#include "edit/tree_edit.h"
#include "support/cli_run.h"
#include "support/menu_builder.h"
#include "support/recording_prompter.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::CliRun;
using testing::MenuBuilder;
using testing::readBytes;
using testing::readText;
using testing::TempDir;
using testing::writeText;

// Runs tessaro-cli with --dir set to the test's folder.
CliRun runCli(const TempDir& dir, const std::vector<std::string>& args)
{
    return testing::runInFolder(TESSARO_CLI, dir.path().string(), dir, args);
}

// Reads a written file back with the core reader, unknown items accepted.
std::vector<std::string> namesOf(const std::string& path, OpenMenu& menu)
{
    const auto report = readMenuFile(path, menu, ReadOptions{});
    EXPECT_TRUE(report.ok()) << report.error();
    std::vector<std::string> names;
    for (const MenuNode* n : menu.document.preorder())
        names.push_back(n->item.name);
    return names;
}

const std::vector<std::string> kTopNames = {"Container", "PhoneBook", "Message", "RecentCall", "Mutilmedia",
                                            "Datebook",  "MMRingStyle", "VoiceRecord", "MenuRoot"};

std::vector<std::string> topAnd(std::vector<std::string> menu)
{
    std::vector<std::string> all = kTopNames;
    all.insert(all.end(), menu.begin(), menu.end());
    return all;
}

// The word "new" as IN: a new document only while no file of that name exists, and said so.
TEST(CliEdit, NewDocumentOnlyWhenAskedFor)
{
    TempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(runCli(dir, {"edit", "new", "a.mma"}).err,
              "Warning: IN \"new\" starts a new document while no file \"new\" exists; use --new\n");
    MenuBuilder userFile;
    userFile.add(MenuBuilder::kRoot, "Games");
    testing::writeBytes("new", userFile.bytes());
    ASSERT_EQ(runCli(dir, {"edit", "--new", "b.mma"}).status, 0);
    EXPECT_EQ(readBytes("b.mma"), readBytes("a.mma"));
    const CliRun run = runCli(dir, {"edit", "new", "new"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readBytes("new"), userFile.bytes());
    EXPECT_EQ(runCli(dir, {"edit", "--new", "a", "b"}).err, "edit --new takes OUT only\n");
    std::filesystem::current_path(previous);
}

// Runs tessaro-cli with `args` while this test holds the lock of the folder of `path`, and
// calls `whileHeld` once the command waits for that lock; the command's run.
CliRun runHeldAtTheLock(const TempDir& dir, const std::string& path, const std::vector<std::string>& args,
                        const std::function<void()>& whileHeld)
{
    struct stat folder {};
    EXPECT_EQ(::stat(dir.path().c_str(), &folder), 0);
    const std::string waiter = ":" + std::to_string(folder.st_ino) + " ";
    CliRun run;
    std::thread command;
    {
        const FolderLock lock(path);
        command = std::thread([&] { run = runCli(dir, args); });
        const auto waiting = [&] {
            const std::string locks = readText("/proc/locks");
            for (const std::string_view line : splitLines(locks))
                if (line.find("->") != std::string_view::npos && line.find(waiter) != std::string_view::npos)
                    return true;
            return false;
        };
        for (int i = 0; i < 6000 && !waiting(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(waiting()) << args.front() << " never waited for the folder's lock";
        whileHeld();
    }
    command.join();
    return run;
}

// Another program writes the file while `edit F F` runs: the command, held at the folder's lock
// until then (it has read the file by the time it waits there), refuses to save over it.
TEST(CliEdit, SaveOverAFileChangedMeanwhileIsRefused)
{
    TempDir dir;
    const std::string path = dir.file("m.mma");
    ASSERT_EQ(runCli(dir, {"new", path}).status, 0);
    const CliRun run = runHeldAtTheLock(dir, path, {"edit", path, path, "--op", "insert sublast 8 Games"},
                                        [&] { writeText(path, "written by another program"); });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: The file was changed by another program since it was opened\n");
    EXPECT_EQ(readText(path), "written by another program");
}

// Every command that replaces a file does so under the folder's lock, so an `edit F F` saving
// at the same moment either sees its change or is seen by it: none is lost unsaid.
TEST(CliEdit, EveryCommandThatReplacesAFileWaitsForTheFoldersLock)
{
    TempDir dir;
    const std::string menu = dir.file("menu.mma"), text = dir.file("menu.json"), target = dir.file("target");
    ASSERT_EQ(runCli(dir, {"new", menu}).status, 0);
    ASSERT_EQ(runCli(dir, {"export", menu, "-o", text}).status, 0);
    const std::vector<std::vector<std::string>> commands = {
        {"new", target},
        {"convert", menu, target},
        {"compile", text, target},
        {"export", menu, "-o", target},
        {"edit", menu, target, "--op", "insert sublast 8 Games"},
    };
    for (const auto& args : commands) {
        writeText(target, "the other program's");
        const CliRun run =
            runHeldAtTheLock(dir, target, args, [&] { EXPECT_EQ(readText(target), "the other program's"); });
        EXPECT_EQ(run.status, 0) << args.front() << ": " << run.err;
        EXPECT_NE(readText(target), "the other program's") << args.front();
    }
}

// What the window asks before a save, the command line answers with --force: without it a
// read-only target or another program's change is refused with the refusal's own message.
TEST(CliEdit, ForceAnswersTheQuestionsOfASave)
{
    TempDir dir;
    const std::string menu = dir.file("menu.mma"), target = dir.file("target");
    ASSERT_EQ(runCli(dir, {"new", menu}).status, 0);
    struct Case {
        bool force;
        int status;
        std::string err;
    };
    for (const Case& c : {Case{false, 1, "Cannot write " + target + ": the file is read-only\n"}, Case{true, 0, ""}}) {
        writeText(target, "kept read-only");
        std::filesystem::permissions(target, std::filesystem::perms::owner_read);
        std::vector<std::string> args = {"convert", menu, target};
        if (c.force)
            args.insert(args.begin(), "--force");
        const CliRun run = runCli(dir, args);
        EXPECT_EQ(run.status, c.status) << c.force;
        EXPECT_EQ(run.err, c.err) << c.force;
        EXPECT_EQ(readText(target) == "kept read-only", !c.force);
        std::filesystem::remove(target);
    }
    // Another program's change to the file being edited is written over with --force.
    const CliRun run = runHeldAtTheLock(dir, menu, {"--force", "edit", menu, menu, "--op", "insert sublast 8 Games"},
                                        [&] { writeText(menu, "written by another program"); });
    EXPECT_EQ(run.status, 0) << run.err;
    OpenMenu read;
    EXPECT_EQ(namesOf(menu, read), topAnd({"Games"}));
}

TEST(CliNew, WritesTheSoftkeysAndAnEmptyMenu)
{
    TempDir dir;
    const CliRun run = runCli(dir, {"new", dir.file("out.mma")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto bytes = readBytes(dir.file("out.mma"));
    ASSERT_EQ(bytes.size(), 10u + 10 * 36);  // header and ten 36-byte records, no data area
    const std::vector<uint8_t> header = {
        0x00, 0x01,  // format marker 0x01 (no c698p fix)
        0x0A,        // ten records
        0x01, 0xFF, 0xFF,
        0x15, 0x02,  // 36-byte records
        0xFF, 0xFF,
    };
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 10), header);
    // Record 2, the left softkey.
    std::vector<uint8_t> lsk = {0x00, 0xFF, 0xFF, 0xFF,  // itemType, parentIndex, nextIndex, childIndex
                                0x00, 0x41,              // Options, Attributes
                                'P', 'h', 'o', 'n', 'e', 'B', 'o', 'o', 'k'};
    lsk.resize(6 + 25, 0);                   // name zero-padded to 25 bytes
    lsk.insert(lsk.end(), {0xCC,             // Group: softkey area
                           0x00, 0x00, 0x00, 0x00});  // dataOffset, dataLength
    const size_t at = 10 + 2 * 36;
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + 36), lsk);

    OpenMenu menu;
    EXPECT_EQ(namesOf(dir.file("out.mma"), menu), kTopNames);
}

TEST(CliNew, TakesTheSaveModeOptions)
{
    TempDir dir;
    const CliRun run = runCli(dir, {"new", dir.file("out.mma"), "--record-size", "22", "--icon-marker", "06",
                                 "--c698p", "--cdma"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto bytes = readBytes(dir.file("out.mma"));
    ASSERT_EQ(bytes.size(), 10u + 10 * 22);
    const std::vector<uint8_t> header = {
        0x03, 0x00,  // CDMA: the format marker (0x03, c698p fix) moves to byte 0
        0x0A,        // ten records
        0x00,        // CDMA
        0xFF, 0xFF,
        0xFF, 0xFF,  // 22-byte records
        0xFF, 0xFF,
    };
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 10), header);
}

TEST(CliEdit, AppliesTheOpsInOrder)
{
    TempDir dir;
    const std::string out = dir.file("out.mma");
    const CliRun run = runCli(dir, {"edit",
                                    "--new",
                                    out,
                                    "--op",
                                    "insert sublast 8 Tools", // 9 Tools
                                    "--op",
                                    "insert sublast 9 Text Msg", // 10 Text Msg under Tools
                                    "--op",
                                    "insert subfirst 9 Custom item", // 10 ~1, 11 Text Msg
                                    "--op",
                                    "insert before 9 Games", // 9 Games, 10 Tools, 11 ~1, 12 Text Msg
                                    "--op",
                                    "drop 11 DialedCalls", // 11 DialedCalls, 12 ~1, 13 Text Msg
                                    "--op",
                                    "move 13 9", // 9 Text Msg, 10 Games, 11 Tools, ...
                                    "--op",
                                    "down 12", // 12 ~1, 13 DialedCalls
                                    "--op",
                                    "replace 1 Message",
                                    "--op",
                                    "delete 10", // Games
                                    "--op",
                                    "insert first 12 AIM"}); // first under Tools
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    OpenMenu menu;
    const auto names = namesOf(out, menu);
    std::vector<std::string> expected = topAnd({"Text Msg", "Tools", "AIM", "~1", "DialedCalls"});
    expected[1] = "Message";
    EXPECT_EQ(names, expected);

    const MenuNode* custom = menu.document.nodeAt(12);
    EXPECT_EQ(custom->item.options, 0x18);
    EXPECT_EQ(custom->item.attributes, 0x41);
    const MenuNode* lsk = menu.document.nodeAt(1);
    EXPECT_EQ(lsk->caption(), "LSK: Message");
    EXPECT_EQ(lsk->item.attributes, 0x40);

    const MenuNode* shortcut = menu.document.nodeAt(13);
    EXPECT_EQ(shortcut->item.itemType, 9);
    EXPECT_EQ(shortcut->item.dataLength, 28);
    const ItemDataBlock* block = menu.document.data().at(shortcut->item.recordNo);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->entries.size(), 1u);
    EXPECT_EQ(block->entries[0].kind, 23);
    EXPECT_EQ(asciiText(block->entries[0]), "DialedCalls");
}

struct Refusal {
    std::vector<std::string> ops;  // the last one is refused
    std::string reason;
};

TEST(CliEdit, ARefusedOpStopsWithoutWriting)
{
    const std::vector<Refusal> cases = {
        {{"delete 8"}, "Delete item is not allowed on node 8"},
        {{"delete 0"}, "Delete item is not allowed on node 0"},
        {{"insert sublast 1 Games"}, "Add subitem is not allowed on node 1"},
        {{"insert before 8 Games"}, "Add item is not allowed on node 8"},
        {{"insert first 3 Games"}, "Add item is not allowed on node 3"},
        {{"replace 0 Games"}, "Replace is not allowed on node 0"},
        {{"replace 8 Games"}, "Replace is not allowed on node 8"},
        {{"insert sublast 8 Games", "up 9"}, "Move up is not allowed on node 9"},
        {{"insert sublast 8 Games", "down 9"}, "Move down is not allowed on node 9"},
        {{"insert sublast 8 Tools", "insert sublast 9 Games", "move 9 10"}, "Drop is not allowed on node 10"},
        {{"insert sublast 8 Tools", "move 9 9"}, "Drop is not allowed on node 9"},
        {{"insert sublast 8 Tools", "move 1 9"}, "Drop is not allowed on node 9"},
        {{"drop 8 Games"}, "Drop is not allowed on node 8"},
        {{"insert sublast 8 NoSuchItem"}, "unknown item \"NoSuchItem\""},
        {{"insert sublast 8 games"}, "unknown item \"games\""},
        {{"insert sublast 8"}, "missing item"},
        {{"insert after 8 Games"}, "unknown insert position \"after\""},
        {{"delete x"}, "bad number \"x\""},
        {{"delete -1"}, "bad number \"-1\""},
        {{"delete 9"}, "no node 9"},
        {{"up"}, "missing node number"},
        {{"insert sublast 8 Games", "delete 9 10"}, "unexpected \"10\""},
        {{"frobnicate 9"}, "unknown op \"frobnicate\""},
        {{""}, "empty op"},
        {{"undo"}, "nothing to undo"},
        {{"redo"}, "nothing to redo"},
        {{"insert sublast 8 Games", "undo", "undo"}, "nothing to undo"},
        {{"insert sublast 8 Games", "redo"}, "nothing to redo"},
        {{"insert sublast 8 Games", "undo 9"}, "unexpected \"9\""},
    };
    for (const Refusal& c : cases) {
        TempDir dir;
        const std::string out = dir.file("out.mma");
        writeText(out, "old");
        std::vector<std::string> args = {"edit", "--new", out};
        for (const auto& op : c.ops) {
            args.push_back("--op");
            args.push_back(op);
        }
        const CliRun run = runCli(dir, args);
        EXPECT_EQ(run.status, 1) << c.ops.back();
        EXPECT_EQ(run.err, "Op \"" + c.ops.back() + "\" failed: " + c.reason + "\n");
        EXPECT_EQ(readText(out), "old") << c.ops.back();
    }
}

TEST(CliEdit, UndoAndRedoTakeBackAndBringAgainTheOpsBeforeThem)
{
    TempDir dir;
    const std::string in = dir.file("in.mma");
    ASSERT_EQ(
        runCli(dir, {"edit", "--new", in, "--op", "insert sublast 8 Tools", "--op", "insert sublast 9 Games"}).status,
        0);
    struct Case {
        std::vector<std::string> ops;
        std::vector<std::string> menu;   // names under the Menu Root afterwards
    };
    const std::vector<Case> cases = {
        {{"delete 9", "undo"}, {"Tools", "Games"}},
        {{"delete 10", "replace 9 AIM", "undo", "undo"}, {"Tools", "Games"}},
        {{"delete 10", "replace 9 AIM", "undo", "undo", "redo"}, {"Tools"}},
        {{"delete 10", "undo", "redo", "insert first 9 AIM"}, {"AIM", "Tools"}},
        {{"insert sublast 8 AIM", "move 11 9", "undo"}, {"Tools", "Games", "AIM"}},
    };
    for (const Case& c : cases) {
        const std::string out = dir.file("out.mma");
        std::vector<std::string> args = {"edit", in, out};
        for (const auto& op : c.ops) {
            args.push_back("--op");
            args.push_back(op);
        }
        const CliRun run = runCli(dir, args);
        ASSERT_EQ(run.status, 0) << run.err;
        OpenMenu menu;
        EXPECT_EQ(namesOf(out, menu), topAnd(c.menu)) << c.ops.back();
    }
    // Undoing every op writes the file that was read, byte for byte.
    const std::string out = dir.file("undone.mma");
    ASSERT_EQ(runCli(dir, {"edit", in, out, "--op", "insert before 9 AIM", "--op", "delete 11", "--op", "up 10",
                           "--op", "undo", "--op", "undo", "--op", "undo"})
                  .status,
              0);
    EXPECT_EQ(readBytes(out), readBytes(in));
}

TEST(CliEdit, TheMenuHoldsAtMost245Items)
{
    TempDir dir;
    std::vector<std::string> args = {"edit", "--new", dir.file("full.mma")};
    for (int i = 0; i < 245; ++i) {
        args.push_back("--op");
        args.push_back(i % 2 ? "insert sublast 8 Games" : "insert sublast 8 Custom item");
    }
    CliRun run = runCli(dir, args);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto bytes = readBytes(dir.file("full.mma"));
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[2], 0xFF);  // 255 records

    args[2] = dir.file("over.mma");
    args.push_back("--op");
    args.push_back("drop 9 Radio");
    run = runCli(dir, args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Warning: The menu is full: mma_ucp can hold at most 245 menu items\n"
                       "Op \"drop 9 Radio\" failed: The menu is full: mma_ucp can hold at most 245 menu items\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("over.mma")));
}

TEST(CliEdit, CustomNumbersContinueAfterTheFilesHighest)
{
    TempDir dir;
    const std::string in = dir.file("in.mma");
    {
        OpenMenu menu;
        startNewMenu(menu.document);
        auto r = insertAvailableItem(menu, menu.items.available().size() - 1, menu.document.menuRoot(),
                                     InsertPosition::AddSubitemLast);
        ASSERT_TRUE(r.ok());
        r->node->item.name = "~7";
        ASSERT_TRUE(writeMenuFile(in, menu).ok());
    }
    const CliRun run = runCli(dir, {"edit", in, dir.file("out.mma"), "--op", "insert sublast 8 Custom item",
                                 "--op", "replace 1 Custom item"});
    ASSERT_EQ(run.status, 0) << run.err;
    OpenMenu menu;
    auto expected = topAnd({"~7", "~8"});
    expected[1] = "~9";
    EXPECT_EQ(namesOf(dir.file("out.mma"), menu), expected);
}

TEST(CliEdit, SaveModeOptionsApplyAfterTheOps)
{
    TempDir dir;
    CliRun run =
        runCli(dir, {"edit", "--new", dir.file("a.mma"), "--op", "insert sublast 8 Games", "--record-size", "22"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(dir.file("a.mma")).size(), 10u + 11 * 22);

    // A 22-byte file stays 22-byte unless told otherwise.
    run = runCli(dir, {"edit", dir.file("a.mma"), dir.file("b.mma"), "--op", "insert sublast 8 Radio"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(dir.file("b.mma")).size(), 10u + 12 * 22);
    run = runCli(dir, {"edit", dir.file("b.mma"), dir.file("c.mma"), "--record-size", "36"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(dir.file("c.mma")).size(), 10u + 12 * 36);
}

TEST(CliEdit, ItemsComeFromTheProfileInForce)
{
    TempDir dir;
    ASSERT_EQ(runCli(dir, {"new", dir.file("a.mma")}).status, 0);  // creates Profiles/
    // The default softkeys and Radio.
    writeText(dir.file("Profiles/Small.prf"), "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\n"
                                              "PhoneBook\r\nMessage\r\nRecentCall\r\nMutilmedia\r\n"
                                              "Datebook\r\nMMRingStyle\r\nVoiceRecord\r\nRadio\r\n");
    CliRun run =
        runCli(dir, {"--profile", "Small", "edit", "--new", dir.file("b.mma"), "--op", "insert sublast 8 Games"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Op \"insert sublast 8 Games\" failed: unknown item \"Games\"\n");
    run = runCli(dir, {"--profile", "Small", "edit", "--new", dir.file("b.mma"), "--op", "insert sublast 8 Radio"});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(CliEdit, AMissingInputFails)
{
    TempDir dir;
    const CliRun run = runCli(dir, {"edit", dir.file("missing.mma"), dir.file("out.mma")});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.err.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.mma")));
}

} // namespace
} // namespace tessaro
