// tessaro-cli --usb against a phone on the fake USB bus (classic with the Test Command interface
// at 5 or at 8, or bulk) gives what tessaro-cli --virtual-phone gives on a copy of the same
// phone folder: the same output, exit status and local files for every phone command, and the
// same phone folder afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <map>
#include <regex>

#include "core/bytes.h"
#include "support/virtual_phone_rig.h"
#include "support/cli_run.h"
#include "support/menu_builder.h"
#include "usb/fake_usb_bus.h"

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<int> kSizes = {0, 1, 1023, 1024, 1025, 20216};

// Every file under `dir` with its bytes, by relative path (folders as empty entries). Backups
// are named by the second they were made, which two runs need not share: that part is left out.
std::map<std::string, std::vector<uint8_t>> tree(const fs::path& dir, const std::string& skip = "")
{
    static const std::regex kBackupTime(R"(\.\d{8}-\d{6}(-\d+)?$)");
    std::map<std::string, std::vector<uint8_t>> out;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        std::string name = fs::relative(entry.path(), dir).string();
        if (name.starts_with("Backups/"))
            name = std::regex_replace(name, kBackupTime, "");
        if (name == skip)
            continue;
        out[name] = entry.is_regular_file() ? readBytes(entry.path()) : std::vector<uint8_t>{};
    }
    return out;
}

class UsbCli : public ::testing::TestWithParam<PhoneKind> {
protected:
    void SetUp() override
    {
        for (const char* side : {"virtual", "usb"}) {
            const fs::path phone = temp.path() / side / "phone";
            makePhoneFolder(phone);
            MenuBuilder builder(36);
            builder.add(MenuBuilder::kRoot, "Games");
            builder.add(MenuBuilder::kRoot, "Tools");
            fs::create_directories(phone / "a" / "mobile" / "system");
            writeBytes(phone / "a" / "mobile" / "system" / "mma_ucp", builder.bytes());
            const fs::path pc = temp.path() / side / "pc";
            fs::create_directories(pc);
            for (const int size : kSizes) {
                writeBytes(phone / "a" / "mobile" / ("s" + std::to_string(size)), patternBytes(size_t(size)));
                writeBytes(pc / ("p" + std::to_string(size)), patternBytes(size_t(size + 3)));
            }
        }
        auto opened = VirtualPhone::open(temp.path() / "usb" / "phone");
        ASSERT_TRUE(opened.ok()) << opened.error();
        storage = std::move(opened).value();
    }

    // Runs `tessaro-cli PREFIX phone ARGS` in the side's folder; "@" in an argument stands for
    // the side's pc folder.
    CliRun run(const std::string& side, std::vector<std::string> prefix, const std::vector<std::string>& args)
    {
        const std::string pc = (temp.path() / side / "pc").string();
        prefix.push_back("phone");
        for (std::string a : args) {
            if (!a.empty() && a[0] == '@')
                a = pc + a.substr(1);
            prefix.push_back(a);
        }
        CliRun result = runInFolder(TESSARO_CLI, pc, temp, prefix);
        for (std::string* text : {&result.out, &result.err})
            for (size_t at; (at = text->find(pc)) != std::string::npos;)
                text->replace(at, pc.size(), "@");
        return result;
    }

    SimulatedPhoneOptions phone(bool atMode = false) const
    {
        SimulatedPhoneOptions options = GetParam().options;
        options.atMode = atMode;
        return options;
    }

    TempDir temp;
    std::unique_ptr<VirtualPhone> storage;
    FakeUsbBus bus;
};
INSTANTIATE_TEST_SUITE_P(Phones, UsbCli, ::testing::ValuesIn(phoneKinds()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(UsbCli, EveryPhoneCommandGivesWhatTheVirtualPhoneGives)
{
    bus.plug(*storage, phone());
    std::vector<std::vector<std::string>> commands = {{"info"}, {"ls"}};
    for (const int size : kSizes) {
        const std::string n = std::to_string(size);
        commands.push_back({"get", "/a/mobile/s" + n, "@/g" + n});
        commands.push_back({"put", "@/p" + n, "/a/mobile/u" + n});
    }
    const std::vector<std::vector<std::string>> more = {
        {"attr", "/a/mobile/s1", "4"}, {"ls", "--mode", "all"}, {"mkdir", "/a/newdir"}, {"rmdir", "/a/newdir"},
        {"rm", "/a/mobile/s0"},        {"rm", "/a/mobile/none"}, {"menu-get", "@/menu.mma"},
        {"menu-put", "@/menu.mma"},    {"seem-backup", "@/b.seem"}, {"seem-restore", "@/b.seem"},
        {"get", "/a/mobile/none", "@/none"}, {"restart"}};
    commands.insert(commands.end(), more.begin(), more.end());

    for (const auto& command : commands) {
        std::string name;
        for (const auto& a : command)
            name += a + " ";
        const CliRun expected = run("virtual", {"--virtual-phone", (temp.path() / "virtual" / "phone").string()}, command);
        // After a restart the phone comes back on the bus by itself; wait for it.
        ASSERT_TRUE(FakeUsbBus::waitFor([&] { return !bus.devices().empty(); })) << name;
        const CliRun actual = run("usb", {"--usb", "--wait", "10"}, command);
        EXPECT_EQ(actual.status, expected.status) << name;
        EXPECT_EQ(actual.out, expected.out) << name;
        // The virtual phone restarts at once and connects again within the command (a second
        // connection sequence); a USB phone comes back only after the command has ended.
        if (command[0] != "restart") {
            EXPECT_EQ(actual.err, expected.err) << name;
        }
        EXPECT_EQ(tree(temp.path() / "usb" / "pc", "p2klog.txt"), tree(temp.path() / "virtual" / "pc", "p2klog.txt"))
            << name;
    }
    EXPECT_EQ(tree(temp.path() / "usb" / "phone"), tree(temp.path() / "virtual" / "phone"));
}

TEST_P(UsbCli, APhoneInAtModeIsSwitchedAndFound)
{
    bus.plug(*storage, phone(true));
    const CliRun expected = run("virtual", {"--virtual-phone", (temp.path() / "virtual" / "phone").string()}, {"info"});
    const CliRun actual = run("usb", {"--usb", "--wait", "10"}, {"info"});
    EXPECT_EQ(actual.status, 0) << actual.err;
    EXPECT_EQ(actual.out, expected.out);
    EXPECT_EQ(bus.plugCount(), 2);   // the AT-mode phone, then the P2K-mode one
    EXPECT_EQ(bus.detachedDrivers(), std::vector<std::string>{"2:1"});
}

TEST_P(UsbCli, APhonePulledOutDuringADownloadEndsTheCommand)
{
    auto plugged = bus.plug(*storage, phone());
    auto download = std::async(std::launch::async, [&] {
        return run("usb", {"--usb", "--wait", "10"}, {"get", "/a/mobile/s20216", "@/g"});
    });
    // Out in the middle of the 20216 bytes, once a few blocks were read.
    const auto blocksRead = [&] {
        int reads = 0;
        for (const auto& r : plugged->requests())
            reads += r.command == 0x004A && r.payload.size() >= 4 && readBE32(r.payload.data()) == 1;
        return reads;
    };
    ASSERT_TRUE(FakeUsbBus::waitFor([&] { return blocksRead() >= 5; }));
    bus.unplug(bus.devices().front());
    const CliRun actual = download.get();
    EXPECT_EQ(actual.status, 1);
    EXPECT_EQ(actual.err, "Missing profile: Profile not found. Default profile will be applied\n"
                          "Error: Error reading /a/mobile/s20216\n");
    EXPECT_EQ(actual.out, "");
}

TEST_P(UsbCli, AnUploadCutByAnUnplugIsToldOfAndPutBackOnceThePhoneIsBack)
{
    auto plugged = bus.plug(*storage, phone());
    const std::vector<std::string> usb = {"--usb", "--wait", "10"};
    auto upload = std::async(std::launch::async, [&] {
        return run("usb", usb, {"put", "@/p20216", "/a/mobile/s20216"});
    });
    // Out in the middle of the 20219 bytes, once a few blocks were written over the old file.
    const auto blocksWritten = [&] {
        int writes = 0;
        for (const auto& r : plugged->requests())
            writes += r.command == 0x004A && r.payload.size() >= 4 && readBE32(r.payload.data()) == 2;
        return writes;
    };
    ASSERT_TRUE(FakeUsbBus::waitFor([&] { return blocksWritten() >= 5; }));
    bus.unplug(bus.devices().front());
    static const std::regex kStamp(R"(\.\d{8}-\d{6}(-\d+)?)");
    const auto stampless = [](const std::string& text) { return std::regex_replace(text, kStamp, ".STAMP"); };
    const std::string missingProfile = "Missing profile: Profile not found. Default profile will be applied\n";
    const std::string backup = "@/Backups/312345678901234/a/mobile/s20216.STAMP";
    const std::string restore =
        "To put the phone's previous file back: tessaro-cli phone restore-backup /a/mobile/s20216\n";
    const CliRun cut = upload.get();
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(stampless(cut.err), missingProfile
                                      + "Error: Error writing /a/mobile/s20216. The phone's previous file is "
                                        "kept in "
                                      + backup + "\n" + restore);
    const std::vector<uint8_t> onPhone = readBytes(temp.path() / "usb" / "phone" / "a" / "mobile" / "s20216");
    EXPECT_LT(onPhone.size(), 20219u);

    // Back on the bus: the next phone command tells of it, and the command it names puts the
    // previous file back.
    bus.plug(*storage, phone());
    const CliRun told = run("usb", usb, {"ls"});
    EXPECT_EQ(told.status, 0) << told.err;
    EXPECT_EQ(stampless(told.err), missingProfile
                                       + "Warning: An upload of /a/mobile/s20216 to this phone was "
                                         "interrupted. The phone's previous file is kept in "
                                       + backup + "\n" + restore);
    const CliRun putBack = run("usb", usb, {"restore-backup", "/a/mobile/s20216"});
    EXPECT_EQ(putBack.status, 0) << putBack.err;
    EXPECT_EQ(stampless(putBack.err), missingProfile + "Put back " + backup + " as /a/mobile/s20216\n");
    EXPECT_EQ(readBytes(temp.path() / "usb" / "phone" / "a" / "mobile" / "s20216"), patternBytes(20216));
    EXPECT_EQ(run("usb", usb, {"ls"}).err, missingProfile);
}

} // namespace
} // namespace tessaro::testing
