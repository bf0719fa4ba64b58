// tessaro-cli phone menu-get, menu-put, seem-backup, seem-restore and restart on a virtual phone.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "cli/virtual_phone_cli.h"
#include "support/menu_builder.h"

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

const std::string kMissingProfile = "Missing profile: Profile not found. Default profile will be applied\n";
const std::string kPatchQuestion = "Patch request: J2MEST file(s) seem to contain wrong CORELET info\r\n"
                                   "preventing them from starting from main menu\r\n      Attempt patching?\n";

// A 1112-byte J2MEST behind a 2-byte header: slot 4 needs the patch, slot 5 does not.
std::vector<uint8_t> j2mest()
{
    std::vector<uint8_t> image(31 * 1112 + 2, 0);
    const auto slot = [&](int i, const std::string& name, const std::string& midlet1) {
        uint8_t* record = image.data() + 2 + i * 1112;
        record[0] = 0x01;   // corelet
        record[1] = 0x01;   // in use
        std::memcpy(record + 6, name.data(), name.size());
        std::memcpy(record + 39, "Acme", 4);
        std::memcpy(record + 156, midlet1.data(), midlet1.size());
    };
    slot(4, "Snake", "3: Snake");
    slot(5, "Chess", "Chess,/c.png,C");
    return image;
}

constexpr size_t kSnakeOffset = 2 + 4 * 1112 + 156;   // 4606

class PhoneMenuCommands : public VirtualPhoneCliTest {
protected:
    void SetUp() override
    {
        fs::create_directories(pcDir());
        fs::create_directories(phoneDir() / "c");
        writeText(phoneDir() / "phone.json",
                  R"({"model": "E398", "firmware": "R373_G_0E.30.49R", "lp": 4660, "imei": "312345678901234"})");
        MenuBuilder builder(36);
        builder.add(MenuBuilder::kRoot, "Games");
        builder.add(MenuBuilder::kRoot, "Tools");
        putOnPhone("a/mobile/system/mma_ucp", builder.bytes());
    }

    std::string pc(const std::string& name) const { return (pcDir() / name).string(); }

    void putOnPhone(const std::string& path, const std::vector<uint8_t>& bytes)
    {
        fs::create_directories((phoneDir() / path).parent_path());
        writeBytes(phoneDir() / path, bytes);
    }
    void settings(const std::string& lines) { writeText(pcDir() / "tessaro.ini", "[setup]\r\n" + lines); }

    void expectNoWorkingFiles() const
    {
        for (const char* name : {"mma_temp", "j2mest_temp", "j2mest_mmc", "temp.jad"})
            EXPECT_FALSE(fs::exists(pcDir() / name)) << name;
    }
};

TEST_F(PhoneMenuCommands, EveryCommandNeedsAPhone)
{
    writeBytes(pcDir() / "in.mma", {});
    const std::vector<std::vector<std::string>> commands = {
        {"menu-get", pc("out.mma")}, {"menu-put", pc("in.mma")}, {"seem-backup", pc("b.seem")},
        {"seem-restore", pc("in.mma")}, {"restart"}};
    for (const auto& command : commands) {
        const CliRun run = phone(command, false);
        EXPECT_EQ(run.status, 1) << command[0];
        EXPECT_EQ(run.err, "No phone connected\n") << command[0];
        EXPECT_EQ(run.out, "") << command[0];
    }
    EXPECT_FALSE(fs::exists(pcDir() / "out.mma"));
    EXPECT_FALSE(fs::exists(pcDir() / "b.seem"));
}

TEST_F(PhoneMenuCommands, MenuGetWritesTheMenuAsRead)
{
    const CliRun run = phone({"menu-get", pc("out.mma")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kMissingProfile);
    // The same bytes as reading the phone's file and writing it again in its own save mode.
    ASSERT_EQ(cli({"convert", (phoneDir() / "a/mobile/system/mma_ucp").string(), pc("conv.mma")}).status, 0);
    EXPECT_EQ(readBytes(pcDir() / "out.mma"), readBytes(pcDir() / "conv.mma"));
    expectNoWorkingFiles();
}

TEST_F(PhoneMenuCommands, MenuGetWithoutAMenuFails)
{
    fs::remove(phoneDir() / "a/mobile/system/mma_ucp");
    const CliRun run = phone({"menu-get", pc("out.mma")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kMissingProfile + "Fatal P2K error: Error reading mma_ucp\n");
    EXPECT_FALSE(fs::exists(pcDir() / "out.mma"));
    expectNoWorkingFiles();
}

TEST_F(PhoneMenuCommands, MenuGetWithAnUnreadableTableFailsAfterWritingTheMenu)
{
    settings("ReadJ2MEST=Phone\r\n");
    const CliRun run = phone({"menu-get", pc("out.mma")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kMissingProfile + "Fatal P2K error: Error reading J2MEST [phone]\n");
    EXPECT_TRUE(fs::exists(pcDir() / "out.mma"));
}

TEST_F(PhoneMenuCommands, MenuGetPrintsTheJavaSlots)
{
    settings("ReadJ2MEST=Phone\r\n");
    putOnPhone("a/mobile/kjava/J2MEST", j2mest());
    const CliRun run = phone({"menu-get", pc("out.mma")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "phone\t4\tSnake\tAcme\t3: Snake\tcorelet patch@4606\n"
                       "phone\t5\tChess\tAcme\tChess,/c.png,C\tcorelet\n");
    // Patching is not allowed by the settings: no question.
    EXPECT_EQ(run.err, kMissingProfile);
}

TEST_F(PhoneMenuCommands, MenuGetJsonWithBothTablesAndNoCard)
{
    settings("ReadJ2MEST=Both\r\nPatchJ2MEST=1\r\n");
    putOnPhone("a/mobile/kjava/installed/J2MEST", j2mest());
    const CliRun run = phone({"menu-get", "--json", pc("out.mma")});
    EXPECT_EQ(run.status, 0) << run.err;
    // Without --patch the question is answered No.
    EXPECT_EQ(run.err, kMissingProfile + kPatchQuestion);
    EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(R"({
        "menu": ")" + pc("out.mma") + R"(",
        "phone": {"read": true, "path": "/a/mobile/kjava/installed/J2MEST",
                  "javaFolder": "/c/mobile/kjava/installed/", "patched": false,
                  "slots": [
                    {"slot": 4, "name": "Snake", "vendor": "Acme", "midlet1": "3: Snake",
                     "corelet": true, "patchOffset": 4606},
                    {"slot": 5, "name": "Chess", "vendor": "Acme", "midlet1": "Chess,/c.png,C",
                     "corelet": true, "patchOffset": null}]},
        "card": {"read": false, "path": "", "javaFolder": "", "patched": false, "slots": []}
    })"));
    EXPECT_EQ(readBytes(phoneDir() / "a/mobile/kjava/installed/J2MEST"), j2mest());
}

TEST_F(PhoneMenuCommands, MenuGetPatchWritesTheTableBack)
{
    settings("ReadJ2MEST=Card\r\nPatchJ2MEST=1\r\n");
    const std::string folder = "b/mobile/kjava/312345678901234/";
    putOnPhone(folder + "J2MEST", j2mest());
    writeText(phoneDir() / folder / "j2me4.jad", "MIDlet-Name: Snake\r\nMIDlet-1: Snake Game, /s.png, S\r\n");
    const CliRun run = phone({"menu-get", "--patch", pc("out.mma")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, kMissingProfile + kPatchQuestion);
    EXPECT_EQ(run.out, "card\t4\tSnake\tAcme\tSnake Game\tcorelet\n"
                       "card\t5\tChess\tAcme\tChess,/c.png,C\tcorelet\n");

    auto expected = j2mest();
    std::memset(expected.data() + kSnakeOffset, 0, 33);
    std::memcpy(expected.data() + kSnakeOffset, "Snake Game", 10);
    EXPECT_EQ(readBytes(phoneDir() / folder / "J2MEST"), expected);
    const auto attributes = nlohmann::json::parse(readText(phoneDir() / "attributes.json"));
    EXPECT_EQ(attributes["/" + folder + "J2MEST"], 4);
    expectNoWorkingFiles();
}

TEST_F(PhoneMenuCommands, MenuPutUploadsTheFile)
{
    settings("SetSystemAttr=1\r\nLogEnabled=1\r\n");
    MenuBuilder builder(22);
    builder.add(MenuBuilder::kRoot, "Other");
    writeBytes(pcDir() / "in.mma", builder.bytes());
    const CliRun run = phone({"menu-put", pc("in.mma")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    // What went up is the file as the writer writes it in the save mode it was read in.
    ASSERT_EQ(cli({"convert", pc("in.mma"), pc("conv.mma")}).status, 0);
    EXPECT_EQ(readBytes(phoneDir() / "a/mobile/system/mma_ucp"), readBytes(pcDir() / "conv.mma"));
    const auto attributes = nlohmann::json::parse(readText(phoneDir() / "attributes.json"));
    EXPECT_EQ(attributes["/a/mobile/system/mma_ucp"], 4);
    EXPECT_NE(readText(pcDir() / "p2klog.txt").find("[P2KFileWrite] Enter /a/mobile/system/mma_ucp\r\n"),
              std::string::npos);
    expectNoWorkingFiles();
}

TEST_F(PhoneMenuCommands, SaveAllKeepsUnknownKindsAndTheirLossIsNamed)
{
    MenuBuilder builder(36);
    builder.add(MenuBuilder::kRoot, "Games", 0, dataRecord(30, std::vector<uint8_t>{0x0A, 0xFF}, ByteOrder::Big));
    const std::vector<uint8_t> menu = builder.bytes();
    putOnPhone("a/mobile/system/mma_ucp", menu);
    writeBytes(pcDir() / "in.mma", menu);
    const std::string onPhone = (phoneDir() / "a/mobile/system/mma_ucp").string();
    const std::string warning = "Warning: 1 data records of unknown kinds will be left out. Save all keeps them.\n";
    struct Case {
        std::vector<std::string> args;
        std::string written;
        bool kept;
    };
    const std::vector<Case> cases = {{{"menu-get", pc("out.mma")}, pc("out.mma"), false},
                                     {{"menu-get", pc("all.mma"), "--save-all"}, pc("all.mma"), true},
                                     {{"menu-put", pc("in.mma")}, onPhone, false},
                                     {{"menu-put", pc("in.mma"), "--save-all"}, onPhone, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size() == 3 ? c.args[0] + " --save-all" : c.args[0]);
        const CliRun run = phone(c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find(warning) == std::string::npos, c.kept) << run.err;
        EXPECT_EQ(readBytes(c.written) == menu, c.kept);
    }
}

TEST_F(PhoneMenuCommands, MenuPutOfAnUnreadableFileSendsNothing)
{
    const auto before = readBytes(phoneDir() / "a/mobile/system/mma_ucp");
    const CliRun run = phone({"menu-put", pc("missing.mma")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readBytes(phoneDir() / "a/mobile/system/mma_ucp"), before);
}

TEST_F(PhoneMenuCommands, SeemBackupAndRestore)
{
    fs::create_directories(phoneDir() / "seem");
    writeBytes(phoneDir() / "seem/0032_0001.seem", {0x00, 0x01, 0xFE});
    CliRun run = phone({"seem-backup", pc("b.seem")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, kMissingProfile + "SEEM 0032_0001 backed up\n");
    EXPECT_EQ(readBytes(pcDir() / "b.seem"), (std::vector<uint8_t>{0x00, 0x01, 0xFE}));

    writeBytes(pcDir() / "other.seem", {0x07, 0x08, 0x09});
    run = phone({"seem-restore", pc("other.seem")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, kMissingProfile + "Backup SEEM 0032_0001 restored\n");
    EXPECT_EQ(readBytes(phoneDir() / "seem/0032_0001.seem"), (std::vector<uint8_t>{0x07, 0x08, 0x09}));

    // An empty backup would wipe the record: refused.
    writeBytes(pcDir() / "empty.seem", {});
    run = phone({"seem-restore", pc("empty.seem")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kMissingProfile + "Error: Backup file does not fit SEEM 0032_0001: 0 bytes, the phone's record has 3\n");

    writeBytes(pcDir() / "big.seem", std::vector<uint8_t>(10001, 7));
    run = phone({"seem-restore", pc("big.seem")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              kMissingProfile + "Error: Backup file is too large for SEEM 0032_0001: 10001 bytes, at most 10000\n");
    EXPECT_EQ(readBytes(phoneDir() / "seem/0032_0001.seem"), (std::vector<uint8_t>{0x07, 0x08, 0x09}));
}

TEST_F(PhoneMenuCommands, RestartIsLogged)
{
    settings("LogEnabled=1\r\n");
    const CliRun run = phone({"restart"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readText(pcDir() / "p2klog.txt").find("\r\nPhone is restarted\r\n"), std::string::npos);
}

} // namespace
} // namespace tessaro::testing
