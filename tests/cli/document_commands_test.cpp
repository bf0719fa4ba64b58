#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "core/item_data.h"
#include "core/mma_item.h"
#include "support/cli_run.h"
#include "support/menu_builder.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::MenuBuilder;
using testing::CliRun;
using testing::TempDir;
using Bytes = std::vector<uint8_t>;

// Runs tessaro-cli with --dir set to the test's folder, so Profiles/ is made there.
CliRun runCli(const TempDir& dir, const std::vector<std::string>& args)
{
    return testing::runInFolder(TESSARO_CLI, dir.path().string(), dir, args);
}

// One item with every kind of data record, a softkey with a title, a nested custom item.
Bytes sampleFile(int recordSize = 36, ByteOrder o = ByteOrder::Big, uint8_t iconKind = 12)
{
    using namespace testing;
    MenuBuilder b(recordSize, o);
    b.softkey(0, {"PhoneBook", 0, 0x08, 0x41, titleRecord(1, {{1, u"Names"}}, recordSize, o)});
    const int games = b.add(MenuBuilder::kRoot, "Games", kTypeContainer,
                            join({titleRecord(0, {{1, u"Games"}, {35, u"\u0418\u0433\u0440\u044B"}}, recordSize, o),
                                  iconRecord(iconKind, kRoleAnimated, u"/a/games.gif", o), drmRecord(16, 0x12, 42, o),
                                  asciiRecord(5, "http://x.org/\xE9", o), codeRecord(19, 7, o), actionRecord(513, o),
                                  shortcutRecord("DialedCalls", o), dataRecord(30, Bytes{0x0A, 0xFF}, o)}));
    b.add(games, "~5");
    b.add(MenuBuilder::kRoot, "Radio");
    return b.bytes();
}

TEST(DocumentCommands, DumpJsonShape)
{
    TempDir dir;
    testing::writeBytes(dir.file("mma_ucp"), sampleFile());
    const CliRun run = runCli(dir, {"dump", dir.file("mma_ucp"), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["format"], nlohmann::json::parse(
                               R"({"recordSize": 36, "cdma": false, "c698p": false, "iconMarker": "0C", "saveAll": false})"));
    EXPECT_EQ(j["customCounter"], 5);
    EXPECT_EQ(j["dataBlockCount"], 2);
    EXPECT_EQ(j["itemBaseUpdated"], false);
    ASSERT_EQ(j["nodes"].size(), 12u);

    const auto& softkeys = j["nodes"][0];
    EXPECT_EQ(softkeys, nlohmann::json::parse(R"({
        "index": 0, "parent": -1, "caption": "Softkeys", "itemType": 1, "parentIndex": 1, "nextIndex": 2,
        "childIndex": 255, "recordNo": 2, "options": 0, "attributes": 0, "name": "Container", "group": 204,
        "dataOffset": 0, "dataLength": 0, "hasData": false, "canHoldItems": 1, "data": null})"));
    EXPECT_EQ(j["nodes"][8]["caption"], "Menu Root");
    EXPECT_EQ(j["nodes"][8]["parent"], -1);
    EXPECT_EQ(j["nodes"][8]["data"], nullptr);
    EXPECT_EQ(j["nodes"][1]["data"], nlohmann::json::parse(R"({"owner": 3, "entries": [
        {"kind": 1, "length": 17, "titles": [{"language": 1, "text": "Names"}]}]})"));

    const auto& games = j["nodes"][9];
    EXPECT_EQ(games["parent"], 8);
    EXPECT_EQ(games["caption"], "Games");
    EXPECT_EQ(games["recordNo"], 11);
    EXPECT_EQ(games["childIndex"], 12);  // Radio is record 11, ~5 record 12
    EXPECT_EQ(games["hasData"], true);
    EXPECT_EQ(games["data"], nlohmann::json::parse(R"({"owner": 11, "entries": [
        {"kind": 0, "length": 31, "titles": [{"language": 1, "text": "Games"}, {"language": 35, "text": "Игры"}]},
        {"kind": 12, "length": 27, "role": 4, "path": "/a/games.gif"},
        {"kind": 16, "length": 4, "first": 18, "number": 42},
        {"kind": 5, "length": 15, "text": "http://x.org/é"},
        {"kind": 19, "length": 1, "value": 7},
        {"kind": 22, "length": 2, "value": 513},
        {"kind": 23, "length": 25, "text": "DialedCalls"},
        {"kind": 254, "length": 5, "records": [{"kind": 30, "length": 2, "payload": "0aff"}]}]})"));
    EXPECT_EQ(j["nodes"][10]["parent"], 9);
    EXPECT_EQ(j["nodes"][10]["caption"], "~5");
    EXPECT_EQ(j["nodes"][10]["data"], nullptr);
}

TEST(DocumentCommands, DumpForPeople)
{
    TempDir dir;
    testing::writeBytes(dir.file("mma_ucp"), sampleFile(22, ByteOrder::Little, 6));
    const CliRun run = runCli(dir, {"dump", dir.file("mma_ucp")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("Softkeys")),
              "Format: 22-byte records, little-endian (CDMA), icon marker 06, c698p fix off\n"
              "Custom counter: 5\n"
              "Data blocks: 2\n");
    for (const char* line : {
             "  LSK: PhoneBook  [#1, record 2, \"PhoneBook\", type 0, options 0x08, attributes 0x41, data 20 bytes at 0]\n",
             "  Games  [#9, record 10, \"Games\", type 1, options 0x00, attributes 0x41, data 131 bytes at 20]\n",
             "        [23 Russian] \"Игры\"\n",
             "      Icon (FS) (kind 12, length 27): animated (role 4) \"/a/games.gif\"\n",
             "      Static icon (DRM) (kind 16, length 4): number 42, first byte 0x12\n",
             "      Unsupported data (kind 254, length 5)\n        kind 30, length 2: 0aff\n",
             "    ~5  [#10, record 12, \"~5\", type 0, options 0x00, attributes 0x41]\n",
         })
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
}

TEST(DocumentCommands, ConvertAppendsUnknownItemsToTheItemBase)
{
    TempDir dir;
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Gizmo");
    testing::writeBytes(dir.file("mma_ucp"), b.bytes());
    const CliRun run = runCli(dir, {"convert", dir.file("mma_ucp"), dir.file("out"), "--record-size", "36"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Profile info: Item base has been updated\n");
    const std::string base = testing::readText(dir.file("Profiles/itembase.dat"));
    EXPECT_EQ(base.substr(base.size() - 13), "Gizmo;Gizmo\r\n");

    // A later run finds it in the item base, with its display name.
    const CliRun again = runCli(dir, {"dump", dir.file("mma_ucp"), "--json"});
    EXPECT_EQ(again.err, "");
    const auto j = nlohmann::json::parse(again.out);
    EXPECT_EQ(j["itemBaseUpdated"], false);
    EXPECT_EQ(j["nodes"][9]["caption"], "Gizmo");
}

TEST(DocumentCommands, DumpShowsItemsTheItemBaseLacksByTheNameTheFileHolds)
{
    TempDir dir;
    MenuBuilder b;
    b.softkey(5, {"Gadget"});
    b.addItem(MenuBuilder::kRoot, {"QuickLink", kTypeShortcut});
    b.add(MenuBuilder::kRoot, "Gizmo");
    testing::writeBytes(dir.file("mma_ucp"), b.bytes());
    for (const bool json : {false, true}) {
        // Read-only, the dump adds nothing to the item base, yet shows what a dump shows once
        // convert has added the names there.
        std::vector<std::string> args = {"dump", dir.file("mma_ucp")};
        if (json)
            args.push_back("--json");
        const CliRun unknown = runCli(dir, args);
        ASSERT_EQ(unknown.status, 0) << unknown.err;
        EXPECT_EQ(unknown.err, "");
        if (json) {
            const auto j = nlohmann::json::parse(unknown.out);
            EXPECT_EQ(j["nodes"][6]["caption"], "Right: Gadget");
            EXPECT_EQ(j["nodes"][9]["caption"], "QuickLink [SC]");
            EXPECT_EQ(j["nodes"][10]["caption"], "Gizmo");
        } else {
            for (const char* line : {"  Right: Gadget  [#6, record 7, \"Gadget\"", "  QuickLink [SC]  [#9, record 10, ",
                                     "  Gizmo  [#10, record 11, "})
                EXPECT_NE(unknown.out.find(line), std::string::npos) << line << unknown.out;
        }
        TempDir known;
        testing::writeBytes(known.file("mma_ucp"), b.bytes());
        ASSERT_EQ(runCli(known, {"convert", known.file("mma_ucp"), known.file("out")}).status, 0);
        args[1] = known.file("mma_ucp");
        const CliRun added = testing::runInFolder(TESSARO_CLI, known.path().string(), known, args);
        EXPECT_EQ(added.out, unknown.out) << json;
    }
}

TEST(DocumentCommands, CommandsThatOnlyReadMakeNoFile)
{
    const std::vector<std::vector<std::string>> commands = {
        {"dump", "MENU", "--json"}, {"dump", "MENU"}, {"items"}, {"profiles"}};
    for (auto args : commands) {
        TempDir dir;
        MenuBuilder b;
        b.add(MenuBuilder::kRoot, "Gizmo");
        testing::writeBytes(dir.file("mma_ucp"), b.bytes());
        for (auto& arg : args)
            if (arg == "MENU")
                arg = dir.file("mma_ucp");
        const CliRun run = runCli(dir, args);
        EXPECT_EQ(run.status, 0) << args[0] << run.err;
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        // The runner's stdout.txt and stderr.txt aside, the folder holds only the menu.
        std::erase_if(names, [](const std::string& n) { return n == "stdout.txt" || n == "stderr.txt"; });
        EXPECT_EQ(names, std::vector<std::string>{"mma_ucp"}) << args[0];
    }
}

TEST(DocumentCommands, DumpUnderAProfileThatLacksAnItemFallsBackToTheDefault)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("Profiles"));
    testing::writeText(dir.file("Profiles/R3.prf"), "[mma_ucp format]\r\n22 06 1\r\n[mma items]\r\nPhoneBook\r\n");
    testing::writeBytes(dir.file("mma_ucp"), sampleFile());
    const CliRun run = runCli(dir, {"--profile", "R3", "dump", dir.file("mma_ucp"), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Profile error: Selected profile doesn't match mma_ucp\r\n    Default profile will be applied\n");
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["nodes"].size(), 12u);
    EXPECT_EQ(j["format"]["recordSize"], 36);
}

TEST(DocumentCommands, DumpReportsWhatItSkipped)
{
    TempDir dir;
    MenuBuilder b;
    b.add(MenuBuilder::kRoot, "Games");
    testing::MenuFile file = b.layout();
    file.records[10].childIndex = 10;
    testing::writeBytes(dir.file("mma_ucp"), file.bytes());
    const CliRun run = runCli(dir, {"dump", dir.file("mma_ucp"), "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Warning: Record 10 names record 10 as its first child, a record already read; its children "
                       "were skipped\n");
}

TEST(DocumentCommands, DumpFailures)
{
    TempDir dir;
    CliRun run = runCli(dir, {"dump", dir.file("absent")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot open " + dir.file("absent") + ": No such file or directory\n");
    EXPECT_EQ(run.out, "");

    testing::writeBytes(dir.file("short"), Bytes(100, 0x01));
    run = runCli(dir, {"dump", dir.file("short")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Not an mma_ucp menu file: 100 bytes are too few for the header and its ten fixed records "
                       "(230 bytes with 22-byte records)\n");
}

TEST(DocumentCommands, ConvertAppliesTheOptionsInTheWindowsOrder)
{
    TempDir dir;
    testing::writeBytes(dir.file("in"), sampleFile());

    // 36 to 22 with the "06" marker, the fix and CDMA; "Save all data" keeps kind 30.
    CliRun run = runCli(dir, {"convert", dir.file("in"), dir.file("out"), "--record-size", "22", "--icon-marker", "06",
                              "--c698p", "--cdma", "--save-all"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    Bytes expected = sampleFile(22, ByteOrder::Little, 6);
    expected[0] = 0x03;  // the fix: CDMA files keep the format marker in byte 0
    EXPECT_EQ(testing::readBytes(dir.file("out")), expected);

    // Back to 36 big-endian: "06" and the fix are gone with the 22-byte records.
    run = runCli(dir, {"convert", dir.file("out"), dir.file("back"), "--record-size", "36", "--icon-marker", "06",
                       "--c698p", "--no-cdma", "--save-all"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(testing::readBytes(dir.file("back")), sampleFile());

    // 36 to 22 without more options: "0C" stays, no fix; unsupported data is left out.
    run = runCli(dir, {"convert", dir.file("in"), dir.file("plain"), "--record-size", "22"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Warning: 1 data records of unknown kinds will be left out. Save all keeps them.\n");
    const Bytes plain = testing::readBytes(dir.file("plain"));
    EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 4), (Bytes{0x00, 0x01, 0x0D, 0x01}));
    const CliRun dumped = runCli(dir, {"dump", dir.file("plain"), "--json"});
    const auto j = nlohmann::json::parse(dumped.out);
    EXPECT_EQ(j["format"]["iconMarker"], "0C");
    EXPECT_EQ(j["nodes"][9]["data"]["entries"].size(), 7u);
}

TEST(DocumentCommands, ConvertFailuresLeaveTheTargetAlone)
{
    TempDir dir;
    testing::writeBytes(dir.file("in"), sampleFile());
    std::filesystem::create_directory(dir.file("target"));
    testing::writeText(dir.file("target/keep"), "x");
    CliRun run = runCli(dir, {"convert", dir.file("in"), dir.file("target")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Warning: 1 data records of unknown kinds will be left out. Save all keeps them.\nCannot write "
                           + dir.file("target") + ": Is a directory\n");
    EXPECT_EQ(testing::readText(dir.file("target/keep")), "x");

    // A number to dial has no place in 22-byte records, where its kind means an icon.
    MenuBuilder dial;
    dial.add(MenuBuilder::kRoot, "Games", 0, testing::asciiRecord(6, "112", ByteOrder::Big));
    testing::writeBytes(dir.file("dial"), dial.bytes());
    testing::writeText(dir.file("old22"), "old");
    run = runCli(dir, {"convert", dir.file("dial"), dir.file("old22"), "--record-size", "22"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: \"Dial this number\" cannot be saved in 22-byte records, where that record is an "
                       "icon. Items: Games\n");
    EXPECT_EQ(testing::readText(dir.file("old22")), "old");

    // Nor a name of more than 12 bytes, which the 22-byte name field would cut into another.
    MenuBuilder names;
    names.add(MenuBuilder::kRoot, "ReceivedCalls");
    names.add(MenuBuilder::kRoot, "Games");
    names.add(MenuBuilder::kRoot, "~1234567890123");
    testing::writeBytes(dir.file("names"), names.bytes());
    run = runCli(dir, {"convert", dir.file("names"), dir.file("old22"), "--record-size", "22"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: Names longer than 12 bytes cannot be saved in 22-byte records, where they would be "
                       "cut. Items: ReceivedCalls, ~1234567890123\n");
    EXPECT_EQ(testing::readText(dir.file("old22")), "old");

    run = runCli(dir, {"convert", dir.file("in"), dir.file("out"), "--record-size", "30"});
    EXPECT_EQ(run.status, 1);
    run = runCli(dir, {"convert", dir.file("in"), dir.file("out"), "--cdma", "--no-cdma"});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
}

} // namespace
} // namespace tessaro
