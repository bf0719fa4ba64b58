// tessaro-cli phone: the file commands on a virtual phone, and the default without one.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include <nlohmann/json.hpp>

#include "cli/virtual_phone_cli.h"
#include "models/file_browser_model.h"
#include "support/menu_builder.h"
#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

class PhoneCommands : public VirtualPhoneCliTest {
protected:
    void SetUp() override
    {
        fs::create_directories(phoneDir() / "a" / "mobile" / "system");
        fs::create_directories(phoneDir() / "b");
        fs::create_directories(phoneDir() / "c" / "pics");
        fs::create_directories(pcDir());
        writeText(phoneDir() / "phone.json",
                  R"({"model": "E398", "firmware": "R373_G_0E.30.49R", "lp": 4660, "imei": "312345678901234"})");
        writeText(phoneDir() / "a" / "mobile" / "system" / "mma_ucp", "menu bytes");
        writeText(phoneDir() / "c" / "pics" / "x.gif", "GIF89a");
        writeText(phoneDir() / "c" / "notes.txt", "n");
    }

    // A profile for the phone's firmware prefix, so that connecting selects it quietly.
    void addFirmwareProfile()
    {
        fs::create_directories(pcDir() / "Profiles");
        writeText(pcDir() / "Profiles" / "R373.prf", "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\n");
    }
};

const std::string kMissingProfile = "Missing profile: Profile not found. Default profile will be applied\n";

TEST_F(PhoneCommands, EveryCommandNeedsAPhone)
{
    const std::vector<std::vector<std::string>> commands = {
        {"info"}, {"ls"}, {"ls", "--mode", "all"}, {"get", "/a/x", "x"}, {"put", "x", "/a/x"},
        {"attr", "/a/x", "4"}, {"rm", "/a/x"}, {"mkdir", "/a/d"}, {"rmdir", "/a/d"}};
    for (const auto& command : commands) {
        const CliRun run = phone(command, false);
        EXPECT_EQ(run.status, 1) << command[0];
        EXPECT_EQ(run.err, "No phone connected\n") << command[0];
        EXPECT_EQ(run.out, "") << command[0];
    }
    // The log is still created, empty.
    EXPECT_EQ(readText(pcDir() / "p2klog.txt"), "");
}

TEST_F(PhoneCommands, InfoPrintsTheIdentity)
{
    addFirmwareProfile();
    const CliRun run = phone({"info"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "{\n"
                       "  \"model\": \"E398\",\n"
                       "  \"firmware\": \"R373_G_0E.30.49R\",\n"
                       "  \"firmwarePrefix\": \"R373\",\n"
                       "  \"lp\": \"1234\",\n"
                       "  \"imei\": \"312345678901234\"\n"
                       "}\n");
}

TEST_F(PhoneCommands, FreeSpaceOfEveryVolume)
{
    addFirmwareProfile();
    // One line per volume in the phone's order: "/a 123456".
    const CliRun run = phone({"df"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("(/[a-z] [1-9][0-9]*\n)+"))) << run.out;
    const CliRun json = phone({"df", "--json"});
    const auto parsed = nlohmann::json::parse(json.out);
    ASSERT_TRUE(parsed.is_array());
    EXPECT_EQ(parsed[0]["volume"], "/a");
    EXPECT_GT(parsed[0]["free"].get<uint64_t>(), 0u);
}

TEST_F(PhoneCommands, ConnectingSelectsTheFirmwareProfile)
{
    const CliRun run = phone({"info"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, kMissingProfile);
}

TEST_F(PhoneCommands, TheConnectionIsLoggedWhenLoggingIsOn)
{
    addFirmwareProfile();
    writeText(pcDir() / "tessaro.ini", "[setup]\r\nLogEnabled=1\r\n");
    ASSERT_EQ(phone({"info"}).status, 0);
    EXPECT_EQ(readText(pcDir() / "p2klog.txt"),
              "Phone connected\r\n"
              "Read SEEM 279_1 RC=10\r\n"
              "[GetFWVersion] Send command VERSION (0xFFFF)  RC=0\r\n"
              "Read SEEM 4_1 RC=9\r\n"
              "[GetLPVersion] Send command VERSION (0x0004)  RC=0\r\n");

    // With logging off a command that only reads leaves the log alone; one that may write
    // starts it afresh.
    writeText(pcDir() / "tessaro.ini", "[setup]\r\nLogEnabled=0\r\n");
    ASSERT_EQ(phone({"info"}).status, 0);
    EXPECT_NE(readText(pcDir() / "p2klog.txt"), "");
    ASSERT_EQ(phone({"df"}).status, 0);
    EXPECT_EQ(readText(pcDir() / "p2klog.txt"), "");
}

TEST_F(PhoneCommands, ListInEachMode)
{
    addFirmwareProfile();
    CliRun run = phone({"ls"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "6 [] /c/pics/x.gif\n");

    run = phone({"ls", "--mode", "all"});
    EXPECT_EQ(run.out, "10 [] /a/mobile/system/mma_ucp\n1 [] /c/notes.txt\n6 [] /c/pics/x.gif\n");

    run = phone({"ls", "--mode", "mask", "--volumes", "bc", "--ext", "txt"});
    EXPECT_EQ(run.out, "1 [] /c/notes.txt\n");
    run = phone({"ls", "--mode", "mask"}); // volume a, every file
    EXPECT_EQ(run.out, "10 [] /a/mobile/system/mma_ucp\n");

    ASSERT_EQ(phone({"attr", "/c/pics/x.gif", "5"}).status, 0);
    run = phone({"ls", "--json"});
    EXPECT_EQ(nlohmann::json::parse(run.out),
              nlohmann::json::parse(R"([{"path": "/c/pics/x.gif", "size": 6, "attributes": 5}])"));
    EXPECT_EQ(phone({"ls"}).out, "6 [RS] /c/pics/x.gif\n");

    EXPECT_NE(phone({"ls", "--mode", "pictures"}).status, 0);
}

TEST_F(PhoneCommands, GetAndPut)
{
    addFirmwareProfile();
    const std::string local = (pcDir() / "menu").string();
    CliRun run = phone({"get", "/a/mobile/system/mma_ucp", local});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readText(local), "menu bytes");

    run = phone({"put", local, "/b/"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readText(phoneDir() / "b" / "menu"), "menu bytes");
    run = phone({"put", local, "/b/copy"});
    EXPECT_EQ(readText(phoneDir() / "b" / "copy"), "menu bytes");

    run = phone({"put", local, "/q/menu"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: Error writing /q/menu\n");
    // A mistyped phone path leaves the local file as it was.
    run = phone({"get", "/a/none", local});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: /a/none is not on the phone\n");
    EXPECT_EQ(readText(local), "menu bytes");
}

TEST_F(PhoneCommands, PutSendsRegularFilesOnly)
{
    addFirmwareProfile();
    ASSERT_EQ(::mkfifo((pcDir() / "pipe").c_str(), 0600), 0);
    fs::create_directories(pcDir() / "folder");
    // Refused at once, before the phone's file is looked at: no wait for a writer, no backup.
    for (const auto& [name, reason] : std::vector<std::pair<std::string, std::string>>{
             {"pipe", "it is not a regular file"}, {"folder", "it is a folder"}}) {
        const std::string local = (pcDir() / name).string();
        const CliRun run = phone({"put", local, "/a/mobile/system/mma_ucp"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "Error: Cannot open " + local + ": " + reason + "\n");
    }
    EXPECT_FALSE(fs::exists(pcDir() / "Backups"));
    EXPECT_EQ(readText(phoneDir() / "a" / "mobile" / "system" / "mma_ucp"), "menu bytes");
}

TEST_F(PhoneCommands, AFileLeftCutIsToldOfUntilItIsPutBack)
{
    addFirmwareProfile();
    // An earlier run was cut off in the middle of writing the menu: the phone holds what arrived.
    const std::string backup = (pcDir() / "Backups/312345678901234/a/mobile/system/mma_ucp.20261207-174501").string();
    fs::create_directories(pcDir() / "Backups" / "312345678901234" / "a" / "mobile" / "system");
    writeText(backup, "the whole menu bytes");
    writeText(pcDir() / "Backups" / "interrupted-uploads.txt",
              "312345678901234\t20261207-174501\t4\t/a/mobile/system/mma_ucp\n");

    CliRun run = phone({"ls", "--mode", "all"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Warning: An upload of /a/mobile/system/mma_ucp to this phone was interrupted. The phone's "
                       "previous file is kept in "
                           + backup
                           + "\n"
                             "To put the phone's previous file back: tessaro-cli phone restore-backup "
                             "/a/mobile/system/mma_ucp\n");
    EXPECT_EQ(run.out, "10 [] /a/mobile/system/mma_ucp\n1 [] /c/notes.txt\n6 [] /c/pics/x.gif\n");

    // The command it names puts the backup back with the bits the file had, and says so only.
    run = phone({"restore-backup", "/a/mobile/system/mma_ucp"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Put back " + backup + " as /a/mobile/system/mma_ucp\n");
    EXPECT_EQ(readText(phoneDir() / "a" / "mobile" / "system" / "mma_ucp"), "the whole menu bytes");
    run = phone({"ls", "--mode", "all"});
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "20 [S] /a/mobile/system/mma_ucp\n1 [] /c/notes.txt\n6 [] /c/pics/x.gif\n");

    // Put back again: the newest backup, the one just put back.
    run = phone({"restore-backup", "/a/mobile/system/mma_ucp"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Put back " + backup + " as /a/mobile/system/mma_ucp\n");

    run = phone({"restore-backup", "/c/notes.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: No backup of /c/notes.txt is kept for this phone\n");
    EXPECT_EQ(phone({"restore-backup", "/c/notes.txt"}, false).err, "No phone connected\n");
}

TEST_F(PhoneCommands, FilesAndFolders)
{
    addFirmwareProfile();
    EXPECT_EQ(phone({"mkdir", "/b/new"}).status, 0);
    EXPECT_TRUE(fs::is_directory(phoneDir() / "b" / "new"));
    CliRun run = phone({"mkdir", "/b/new"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: Error creating /b/new\n");

    EXPECT_EQ(phone({"rm", "/c/notes.txt"}).status, 0);
    EXPECT_FALSE(fs::exists(phoneDir() / "c" / "notes.txt"));
    run = phone({"rm", "/c/notes.txt"});
    EXPECT_EQ(run.err, "Error: Error deleting /c/notes.txt\n");

    EXPECT_EQ(phone({"rmdir", "/b/new"}).status, 0);
    run = phone({"rmdir", "/b/new"});
    EXPECT_EQ(run.err, "Error: Error deleting /b/new\n");

    run = phone({"attr", "/c/none", "4"});
    EXPECT_EQ(run.err, "Error: Error changing attributes for /c/none\n");
    EXPECT_NE(phone({"attr", "/c/pics/x.gif", "8"}).status, 0);
}

// The file browser deletes and makes files and folders through the same client calls as
// tessaro-cli: the same message when the phone refuses, the same line in p2klog.txt.
TEST_F(PhoneCommands, FilesAndFoldersAreLoggedAsTheFileBrowserLogsThem)
{
    addFirmwareProfile();
    writeText(pcDir() / "tessaro.ini", "[setup]\r\nLogEnabled=1\r\n");

    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/c/notes.txt", {'n'});
    // Listed, but gone from the phone by the time it is deleted.
    rig.putPhoneFile("/c/gone.txt", {'g'});
    BrowserState state;
    ASSERT_TRUE(listPhoneFiles(rig.phone(), state, ListingMode::AllFiles));
    std::filesystem::remove(rig.phoneFile("/c/gone.txt"));
    FileBrowserModel model(rig.phone(), state);
    model.buildTree();
    model.open();
    const auto select = [&](const std::string& folder) { model.selectFolder(model.findFolder(folder)); };
    const auto deleteFile = [&](const std::string& name) {
        select("/c");
        for (int row = 0; row < int(model.rows().size()); ++row)
            if (model.rows()[size_t(row)].name == name)
                model.setSelection({row});
        rig.prompter.answers = {Answer::Yes};
        return model.deleteSelected([](const std::string&) { return DeleteAnswer::Yes; });
    };

    const struct {
        std::vector<std::string> command;
        std::function<Status()> inBrowser;
        std::string logLine;
        std::string error; // empty when the phone did it
    } steps[] = {
        {{"mkdir", "/c/new"}, [&] { select("/c"); return model.createFolder("new"); },
         "[CreateFolder] File_CreateDir /c/new RC=0", ""},
        {{"mkdir", "/c/new"}, [&] { select("/c"); return model.createFolder("new"); },
         "[CreateFolder] File_CreateDir /c/new RC=-1", "Error creating /c/new"},
        {{"rmdir", "/c/new"}, [&] {
             select("/c/new");
             rig.prompter.answers = {Answer::Yes};
             return model.deleteFolder();
         },
         "[DeleteFolder] File_DeleteDir /c/new RC=0", ""},
        {{"rm", "/c/notes.txt"}, [&] { return deleteFile("notes.txt"); }, "[DeleteFile] File_Delete /c/notes.txt RC=0",
         ""},
        {{"rm", "/c/gone.txt"}, [&] { return deleteFile("gone.txt"); }, "[DeleteFile] File_Delete /c/gone.txt RC=-1",
         "Error deleting /c/gone.txt"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.command[0] + " " + step.command[1]);
        const CliRun run = phone(step.command);
        EXPECT_EQ(run.status, step.error.empty() ? 0 : 1);
        EXPECT_EQ(run.err, step.error.empty() ? "" : "Error: " + step.error + "\n");
        const std::vector<std::string> cliLog = crlfLines(readText(pcDir() / "p2klog.txt"));
        ASSERT_FALSE(cliLog.empty());
        EXPECT_EQ(cliLog.back(), step.logLine);

        const Status done = step.inBrowser();
        EXPECT_EQ(done.error(), step.error);
        const std::vector<std::string> browserLog = rig.logLines();
        ASSERT_FALSE(browserLog.empty());
        EXPECT_EQ(browserLog.back(), step.logLine);
    }
}

TEST_F(PhoneCommands, PathBytesAreShownOneCharacterEach)
{
    addFirmwareProfile();
    writeText(phoneDir() / "b" / "caf\xE9.gif", "g");
    const CliRun run = phone({"ls", "--mode", "mask", "--volumes", "b", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(nlohmann::json::parse(run.out)[0]["path"], "/b/caf\u00e9.gif");
}

TEST_F(PhoneCommands, OutputThatCannotBeWrittenFailsTheCommand)
{
    addFirmwareProfile();
    MenuBuilder menu;
    menu.add(MenuBuilder::kRoot, "Games");
    writeBytes(pcDir() / "mma_ucp", menu.bytes());
    const std::vector<std::vector<std::string>> commands = {
        {"dump", (pcDir() / "mma_ucp").string()}, {"items"}, {"--virtual-phone", phoneDir().string(), "phone", "ls"}};
    for (const auto& command : commands) {
        std::vector<std::string> args = {"--dir", pcDir().string()};
        args.insert(args.end(), command.begin(), command.end());
        const CliRun run = runProgram(TESSARO_CLI, temp, args, "/dev/full");
        EXPECT_EQ(run.status, 1) << command[0];
        EXPECT_EQ(run.err, "Cannot write standard output: No space left on device\n") << command[0];
    }
}

TEST_F(PhoneCommands, AnUnusableVirtualPhoneFolderIsReported)
{
    fs::remove(phoneDir() / "phone.json");
    CliRun run = phone({"info"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot read " + (phoneDir() / "phone.json").string() + "\n");
    // A pipe in its place is refused, not waited on.
    ASSERT_EQ(::mkfifo((phoneDir() / "phone.json").c_str(), 0600), 0);
    run = phone({"info"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot read " + (phoneDir() / "phone.json").string() + "\n");
}

} // namespace
} // namespace tessaro::testing
