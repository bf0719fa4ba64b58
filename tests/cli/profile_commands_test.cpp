#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::CliRun;
using testing::TempDir;
using testing::readText;
using testing::writeBytes;
using testing::writeText;

// Runs tessaro-cli with --dir set to the test's folder.
CliRun runCli(const TempDir& dir, const std::vector<std::string>& args)
{
    return testing::runInFolder(TESSARO_CLI, dir.path().string(), dir, args);
}

void writeProfile(const TempDir& dir, const std::string& name, const std::string& text)
{
    std::filesystem::create_directories(dir.path() / "Profiles");
    writeText(dir.path() / "Profiles" / (name + ".prf"), text);
}

// A CG1 image with the mark "@(#)R3624_", 36-byte item records and one shortcut (gap 12).
std::vector<uint8_t> firmwareImage()
{
    std::vector<uint8_t> bytes(3 * 65536, 0);
    auto put = [&](size_t at, std::string_view text) { std::memcpy(&bytes[at], text.data(), text.size()); };
    put(65536 - 3, "@(#)R3624_G_0A");  // across the first block boundary
    const size_t table = 0x1000;
    put(table, "2CLICK");
    put(table + 36, "PhoneBook");
    put(table + 72, "FwOnlyItem");
    const size_t pattern = table + 108 + 0x100;
    put(pattern - 57, "FwShortcut");
    const uint8_t tail[] = {0x00, 0x07, 0x00, 0x01, 0x07, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::memcpy(&bytes[pattern - 5], tail, sizeof tail);
    return bytes;
}

TEST(ProfileCommands, StartUpCreatesTheItemBaseAndListsNothing)
{
    TempDir dir;
    const CliRun listed = runCli(dir, {"profiles"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "");
    EXPECT_EQ(listed.err, "");
    // A command that writes sets the folder up.
    const CliRun run = runCli(dir, {"new", dir.file("out.mma")});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string base = readText(dir.path() / "Profiles" / "itembase.dat");
    EXPECT_EQ(std::count(base.begin(), base.end(), '\n'), 152);
    EXPECT_EQ(base.substr(0, 15), "2CLICK;2CLICK\r\n");
}

TEST(ProfileCommands, ProfilesOneALine)
{
    TempDir dir;
    writeProfile(dir, "V3", "");
    writeProfile(dir, "E398", "");
    writeText(dir.path() / "Profiles" / "readme.txt", "");
    const CliRun run = runCli(dir, {"profiles"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "E398\nV3\n");
}

TEST(ProfileCommands, ItemsJsonUnderTheDefaultProfile)
{
    TempDir dir;
    const CliRun run = runCli(dir, {"items", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["profile"], "Default");
    EXPECT_EQ(j["recordSize"], 36);
    EXPECT_EQ(j["iconMarker"], "0C");
    EXPECT_EQ(j["c698p"], false);
    ASSERT_EQ(j["available"].size(), 153u);
    EXPECT_EQ(j["available"][0], (nlohmann::json{{"identifier", "2CLICK"}, {"display", "2CLICK"}}));
    EXPECT_EQ(j["available"][5], (nlohmann::json{{"identifier", "AirplaneMod"}, {"display", "AirplnMode [A630]"}}));
    EXPECT_EQ(j["available"][152], (nlohmann::json{{"identifier", "Custom item"}, {"display", "Custom item"}}));
    // Keys in the documented order.
    EXPECT_EQ(run.out.find("\"profile\""), run.out.find('"'));
}

TEST(ProfileCommands, ItemsUnderAProfile)
{
    TempDir dir;
    writeProfile(dir, "P", "[mma_ucp format]\r\n22 06 1\r\n[mma items]\r\nPhoneBook\r\nAIM\r\n");
    const CliRun run = runCli(dir, {"--profile", "P", "items", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["profile"], "P");
    EXPECT_EQ(j["recordSize"], 22);
    EXPECT_EQ(j["iconMarker"], "06");
    EXPECT_EQ(j["c698p"], true);
    EXPECT_EQ(j["available"], nlohmann::json::parse(R"([{"identifier":"PhoneBook","display":"PhoneBook"},
        {"identifier":"AIM","display":"AIM"},{"identifier":"Custom item","display":"Custom item"}])"));

    const CliRun text = runCli(dir, {"--profile", "P", "items"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "Profile: P\nRecord size: 22\nIcon marker: 06\nc698p fix: on\nAvailable items (3):\n"
                        "  PhoneBook\n  AIM\n  Custom item\n");
}

TEST(ProfileCommands, ProfileProblemsAreMessagesAndTheSelectorSaysDefault)
{
    TempDir dir;
    CliRun run = runCli(dir, {"--profile", "Nope", "items", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Missing profile: Profile not found. Default profile will be applied\n");
    EXPECT_EQ(nlohmann::json::parse(run.out)["profile"], "Default");

    writeProfile(dir, "Odd", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\nAIM\r\nUnknownThing\r\n");
    run = runCli(dir, {"--profile", "Odd", "items", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Profile error: Unsupported mma item(s) found and omitted: UnknownThing\n");
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["profile"], "Default");
    EXPECT_EQ(j["available"].size(), 2u);

    writeProfile(dir, "Bad", "[mma_ucp format]\r\n40 0C 0\r\n[mma items]\r\nAIM\r\n");
    run = runCli(dir, {"--profile", "Bad", "items", "--json"});
    EXPECT_EQ(run.err, "Profile error: Invalid mma record length (36 byte assumed)\n");
    EXPECT_EQ(nlohmann::json::parse(run.out)["recordSize"], 36);
}

TEST(ProfileCommands, ProfileFromFirmware)
{
    TempDir dir;
    const auto image = firmwareImage();
    writeBytes(dir.path() / "fw.smg", image);
    const CliRun run = runCli(dir, {"profile-from-firmware", dir.file("fw.smg")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "R3624\n");
    EXPECT_EQ(run.err, "Profile info: Item base has been updated\nProfile was successfully created\n");
    EXPECT_EQ(readText(dir.path() / "Profiles" / "R3624.prf"),
              "[mma_ucp format]\r\n36 0C 1\r\n[mma items]\r\n2CLICK\r\nPhoneBook\r\nFwOnlyItem\r\nFwShortcut\r\n");
    const std::string base = readText(dir.path() / "Profiles" / "itembase.dat");
    EXPECT_NE(base.find("\r\nFwOnlyItem;FwOnlyItem\r\nFwShortcut;FwShortcut [SC]\r\n"), std::string::npos);
    EXPECT_EQ(testing::readBytes(dir.path() / "fw.smg"), image);

    EXPECT_EQ(runCli(dir, {"profiles"}).out, "R3624\n");
    const CliRun items = runCli(dir, {"--profile", "R3624", "items", "--json"});
    EXPECT_EQ(items.err, "");
    const auto j = nlohmann::json::parse(items.out);
    EXPECT_EQ(j["profile"], "R3624");
    EXPECT_EQ(j["c698p"], true);
    EXPECT_EQ(j["available"][3], (nlohmann::json{{"identifier", "FwShortcut"}, {"display", "FwShortcut [SC]"}}));

    // A second run finds the profile and leaves it; with --force it replaces it, knowing every name.
    const std::string profile = (dir.path() / "Profiles" / "R3624.prf").string();
    writeText(profile, "edited by hand");
    CliRun again = runCli(dir, {"profile-from-firmware", dir.file("fw.smg")});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "A profile of this firmware exists already: " + profile + "; --force replaces it\n");
    EXPECT_EQ(readText(profile), "edited by hand");
    again = runCli(dir, {"profile-from-firmware", "--force", dir.file("fw.smg")});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "Profile was successfully created\n");
}

TEST(ProfileCommands, ProfileFromFirmwareFailures)
{
    TempDir dir;
    writeBytes(dir.path() / "plain.bin", std::vector<uint8_t>(1000, 0x41));
    CliRun run = runCli(dir, {"profile-from-firmware", dir.file("plain.bin")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Failed to create profile\n");

    run = runCli(dir, {"profile-from-firmware", dir.file("absent.bin")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("absent.bin"), std::string::npos);
    EXPECT_NE(run.err.find("\nFailed to create profile\n"), std::string::npos);

    EXPECT_EQ(runCli(dir, {"profiles"}).out, "");
}

TEST(ProfileCommands, DataFolderThatCannotHoldProfiles)
{
    TempDir dir;
    writeText(dir.path() / "Profiles", "a file, not a folder");
    const CliRun run = runCli(dir, {"new", dir.file("out.mma")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Profiles"), std::string::npos);
}

} // namespace
} // namespace tessaro
