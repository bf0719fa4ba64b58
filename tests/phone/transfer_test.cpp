// FSAC file transfers against the virtual phone: request bytes, log lines, progress, backups
// and the ways a transfer can end.

#include "phone/transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "core/bytes.h"

#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes be32(uint32_t v)
{
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Open: subcommand 0, the attribute word, the path without a terminating 0.
Bytes openRequest(const std::string& path, uint32_t attributes)
{
    Bytes out = cat({be32(0x00), be32(attributes)});
    out.insert(out.end(), path.begin(), path.end());
    return out;
}
const Bytes kSeekStart = {0, 0, 0, 3, /*offset*/ 0, 0, 0, 0, /*origin*/ 0};
const Bytes kClose = {0, 0, 0, 4};

void setAttributes(VirtualPhoneRig& rig, const std::string& path, int bits)
{
    ASSERT_EQ(rig.api->File_Create(path, bits), 0);
    ASSERT_EQ(rig.api->File_Close(), 0);
}

int attributesOf(VirtualPhoneRig& rig, const std::string& path)
{
    const auto entry = findPhoneFile(rig.phone(), path);
    EXPECT_TRUE(entry.ok()) << entry.error();
    return entry.ok() ? entry->attributes : -1;
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        out.push_back(entry.path().string());
    return out;
}

std::string fileNameOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

bool temporaryFileLeft(const std::string& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".tmp") != std::string::npos)
            return true;
    return false;
}

// Files a phone may hold: empty, a single 0x08 (the byte an end-of-file guess would drop),
// around the 1024-byte block, ending in 0x08, and a large one.
struct FileCase {
    size_t size;
    bool endsIn08;
};
const FileCase kFiles[] = {{0, false}, {1, true}, {1023, false}, {1024, false},
                           {1025, true}, {2048, true}, {20216, false}};

Bytes contentOf(const FileCase& file)
{
    Bytes content = patternBytes(file.size);
    if (file.endsIn08)
        content.back() = 0x08;
    return content;
}

// ---- downloads ----------------------------------------------------------------------------

TEST(downloadFile, EveryFileArrivesExactlyWithItsAttributesKept)
{
    const std::string path = "/a/mobile/system/mma_ucp";
    for (const FileCase& file : kFiles) {
        SCOPED_TRACE(file.size);
        VirtualPhoneRig rig;
        rig.connect();
        const Bytes content = contentOf(file);
        rig.putPhoneFile(path, content);
        setAttributes(rig, path, 5);
        rig.api->clearRequests();

        ASSERT_TRUE(downloadFile(rig.phone(), path, rig.local("mma_temp"), "Reading mma_ucp"));
        EXPECT_EQ(readBytes(rig.local("mma_temp")), content);

        // The listing gave size and bits; the open carries the bits, the reads exactly the size.
        std::vector<Bytes> expected = {openRequest(path, 5), kSeekStart};
        std::vector<std::string> log = {"[FindFile] FileCountEx /a/mobile/system/* RC=1", "[FindFile] FileListEx RC=0",
                                        "[P2KFileRead] Enter " + path, "[P2KFileRead] Send command FSAC (0x0000) RC=0",
                                        "[P2KFileRead] Send command FSAC (0x0003) RC=0"};
        for (size_t at = 0; at < file.size; at += 1024) {
            const size_t n = std::min<size_t>(1024, file.size - at);
            expected.push_back(cat({be32(0x01), be32(uint32_t(n))}));
            log.push_back("[P2KFileRead] Send command FSAC (0x0001) RC=0 bytes received=" + std::to_string(n));
        }
        expected.push_back(kClose);
        log.push_back("[P2KFileRead] Send command FSAC (0x0004) RC=0");
        std::vector<Bytes> sent;
        for (const auto& r : rig.commands())
            sent.push_back(r.bytes);
        EXPECT_EQ(sent, expected);
        EXPECT_EQ(rig.logLines(), log);
        EXPECT_EQ(attributesOf(rig, path), 5);
        EXPECT_EQ(rig.progress.alive(), 0);

        // The same through a batch, from the entry a listing gave.
        RecordingProgress batch;
        batch.batchTotal = 40000;
        const auto entry = findPhoneFile(rig.phone(), path);
        ASSERT_TRUE(entry.ok());
        ASSERT_TRUE(downloadFile(rig.phone(), *entry, rig.local("batch"), batch));
        EXPECT_EQ(readBytes(rig.local("batch")), content);
        EXPECT_EQ(batch.bytesDone, uint32_t(file.size));
    }
}

TEST(downloadFile, ProgressFollowsTheFileSize)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(2500));

    // 1024 / 2500 = 40.96% -> 41, 2048 / 2500 = 81.92% -> 82, then 100.
    ASSERT_TRUE(downloadFile(rig.phone(), "/a/f", rig.local("f"), "Downloading f"));
    EXPECT_EQ(rig.progress.events(), (std::vector<std::string>{
                                          "open", "caption Downloading f 0%", "caption Downloading f 41%",
                                          "bar1 41", "caption Downloading f 82%", "bar1 82",
                                          "caption Downloading f 100%", "bar1 100", "close"}));

    // In a batch: file and batch percentages in the caption, both bars.
    RecordingProgress batch;
    batch.batchTotal = 5000;
    batch.bytesDone = 1000;
    const auto entry = findPhoneFile(rig.phone(), "/a/f");
    ASSERT_TRUE(entry.ok());
    ASSERT_TRUE(downloadFile(rig.phone(), *entry, rig.local("x.gif"), batch));
    EXPECT_EQ(batch.events(), (std::vector<std::string>{
                                  "caption Downloading x.gif 0% (Total 20%)", "bar1 0",
                                  "caption Downloading x.gif 41% (Total 40%)", "bar1 41", "bar2 40",
                                  "caption Downloading x.gif 82% (Total 61%)", "bar1 82", "bar2 61",
                                  "caption Downloading x.gif 100% (Total 70%)", "bar1 100", "bar2 70"}));
}

TEST(downloadFile, FailuresLeaveTheLocalFileAsItWas)
{
    struct Case {
        const char* name;
        std::function<void(VirtualPhoneRig&)> arrange;
        std::string error;
        size_t commandsSent;
    };
    const std::vector<Case> cases = {
        {"not on the phone", [](VirtualPhoneRig&) {}, "/a/f is not on the phone", 0},
        {"open refused",
         [](VirtualPhoneRig& rig) { rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Fail, kFsacOpen); },
         "Error reading /a/f", 1},
        {"read fails after data",
         [](VirtualPhoneRig& rig) { rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Fail, kFsacRead); },
         "Error reading /a/f", 5},
        {"unplugged mid-read",
         [](VirtualPhoneRig& rig) { rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Unplug, kFsacRead); },
         "Error reading /a/f", 5},
        {"cancelled", [](VirtualPhoneRig& rig) { rig.progress.cancelAfterBars(1); }, "Cancelled", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualPhoneRig rig;
        rig.connect();
        if (std::string(c.name) != "not on the phone")
            rig.putPhoneFile("/a/f", patternBytes(3000));
        writeBytes(rig.local("f"), {7, 7});
        c.arrange(rig);

        const Status read = downloadFile(rig.phone(), "/a/f", rig.local("f"), "Downloading f");
        EXPECT_EQ(read.error(), c.error);
        EXPECT_EQ(read.cancelled(), c.error == "Cancelled");
        EXPECT_EQ(readBytes(rig.local("f")), (Bytes{7, 7}));
        EXPECT_FALSE(temporaryFileLeft(rig.local("")));
        EXPECT_EQ(rig.commands().size(), c.commandsSent);
        EXPECT_EQ(rig.progress.alive(), 0);
    }
}

TEST(Transfers, LocalFilesThatCannotBeUsedStopBeforeAnyRequest)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(10));
    const auto entry = findPhoneFile(rig.phone(), "/a/f");
    ASSERT_TRUE(entry.ok());
    rig.api->clearRequests();

    const Status read = downloadFile(rig.phone(), *entry, rig.local("no/such/folder/f"), "Downloading f");
    EXPECT_EQ(read.failure().kind, ErrorKind::Io);
    EXPECT_EQ(read.error(), "Cannot create " + rig.local("no/such/folder/f"));
    const Status sent = uploadFile(rig.phone(), rig.local("absent"), "/a/new");
    EXPECT_EQ(sent.failure().kind, ErrorKind::Io);
    EXPECT_EQ(sent.error(), "Cannot open " + rig.local("absent"));
    EXPECT_TRUE(rig.commands().empty());

    // A path that does not fit the 4096-byte request buffer is refused unsent.
    const std::string tooLong = "/a/" + std::string(4090, 'x');
    writeBytes(rig.local("up"), patternBytes(10));
    EXPECT_FALSE(downloadFile(rig.phone(), PhoneFileEntry{10, 0, 0, tooLong}, rig.local("f"), "Downloading f"));
    EXPECT_TRUE(rig.commands().empty());
}

// ---- uploads ------------------------------------------------------------------------------

TEST(uploadFile, EveryFileGoesOutExactlyWithoutSeekOrTerminator)
{
    const std::string path = "/a/mobile/system/mma_ucp";
    for (const FileCase& file : kFiles) {
        SCOPED_TRACE(file.size);
        VirtualPhoneRig rig;
        rig.connect();
        const Bytes content = contentOf(file);
        writeBytes(rig.local("mma_temp"), content);
        std::filesystem::create_directories(rig.phoneFile(path).parent_path());
        rig.api->clearRequests();

        ASSERT_TRUE(uploadFile(rig.phone(), rig.local("mma_temp"), path));
        EXPECT_EQ(readBytes(rig.phoneFile(path)), content);
        std::vector<Bytes> expected = {openRequest(path, 0)};
        for (size_t at = 0; at < file.size; at += 1024) {
            const size_t n = std::min<size_t>(1024, file.size - at);
            expected.push_back(cat({be32(0x02), be32(uint32_t(n)), Bytes(content.begin() + long(at),
                                                                          content.begin() + long(at + n))}));
        }
        expected.push_back(kClose);
        std::vector<Bytes> sent;
        for (const auto& r : rig.commands())
            sent.push_back(r.bytes);
        EXPECT_EQ(sent, expected);
        // A new file needs no backup.
        EXPECT_FALSE(std::filesystem::exists(backupFolderFor(rig.phone(), path)));
    }
}

TEST(uploadFile, CaptionsInABatch)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("x.bin"), patternBytes(1500));
    RecordingProgress batch;
    batch.batchTotal = 3000;

    ASSERT_TRUE(uploadFile(rig.phone(), rig.local("x.bin"), "/a/x.bin", &batch));
    EXPECT_EQ(batch.events(), (std::vector<std::string>{
                                  "caption Uploading x.bin 0% (Total 0%)",
                                  "bar1 68", "bar2 34", "caption Uploading x.bin 68% (Total 34%)",
                                  "bar1 100", "bar2 50", "caption Uploading x.bin 100% (Total 50%)"}));
    EXPECT_EQ(rig.logLines()[1], "[P2KGroupWrite] Enter /a/x.bin");
}

TEST(uploadFile, OverAnExistingFileKeepsTheOldOneUntilTheNewOneIsWhole)
{
    const std::string path = "/a/mobile/system/mma_ucp";
    const Bytes old = patternBytes(1000);   // one block: only the upload sees the cancel
    const Bytes fresh(2500, 0x5A);
    struct Case {
        const char* name;
        std::function<void(VirtualPhoneRig&)> arrange;
        bool ok;
        Bytes phoneAfter;   // empty: not checked (the phone is gone)
    };
    const std::vector<Case> cases = {
        {"written", [](VirtualPhoneRig&) {}, true, fresh},
        // Cancel after the first block: the old file is put back, bits included.
        {"cancelled", [](VirtualPhoneRig& rig) { rig.progress.cancelAfterBars(1); }, false, old},
        {"close fails",
         [](VirtualPhoneRig& rig) { rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Fail, kFsacClose); },
         false, {}},
        {"unplugged",
         [](VirtualPhoneRig& rig) { rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Unplug, kFsacWrite); },
         false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualPhoneRig rig;
        rig.connect();
        rig.putPhoneFile(path, old);
        setAttributes(rig, path, 4);
        writeBytes(rig.local("mma_temp"), fresh);
        c.arrange(rig);

        const Status sent = uploadFile(rig.phone(), rig.local("mma_temp"), path);
        const std::vector<std::string> backups = filesIn(rig.local("Backups/unknown/a/mobile/system"));
        ASSERT_EQ(backups.size(), 1u);
        const std::string backup = backups[0];
        EXPECT_TRUE(fileNameOf(backup).starts_with("mma_ucp.")) << backup;
        EXPECT_EQ(readBytes(backup), old);
        EXPECT_EQ(sent.ok(), c.ok);
        if (!c.ok && !sent.cancelled()) {
            EXPECT_EQ(sent.error(), "Error writing " + path + ". The phone's previous file is kept in " + backup);
        }
        if (!c.phoneAfter.empty()) {
            EXPECT_EQ(readBytes(rig.phoneFile(path)), c.phoneAfter);
        }
        if (sent.cancelled()) {
            EXPECT_EQ(attributesOf(rig, path), 4);
        }
        EXPECT_EQ(rig.progress.alive(), 0);
    }
}

TEST(uploadFile, CancelledNewFileIsRemoved)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("up.bin"), patternBytes(5000));
    rig.progress.cancelAfterBars(1);

    EXPECT_TRUE(uploadFile(rig.phone(), rig.local("up.bin"), "/a/up.bin").cancelled());
    EXPECT_FALSE(std::filesystem::exists(rig.phoneFile("/a/up.bin")));
    EXPECT_EQ(rig.logLines().back(), "[P2KFileWrite] Upload cancelled, File_Delete /a/up.bin RC=0");
}

// ---- attributes ---------------------------------------------------------------------------

TEST(setAttributes, LogsAndFailsWhereThePhoneDoes)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(10));

    EXPECT_TRUE(rig.phone().client.setAttributes("/a/f", 4));
    EXPECT_EQ(rig.phone().client.setAttributes("/a/none", 1).error(), "Error changing attributes for /a/none");
    EXPECT_EQ(rig.logLines(), (std::vector<std::string>{"Set attribute 4 to /a/f RC=0",
                                                        "Set attribute 1 to /a/none RC=-1"}));
    EXPECT_EQ(attributesOf(rig, "/a/f"), 4);
}

} // namespace
} // namespace tessaro::testing

namespace tessaro::testing {
namespace {

// A recorded request in a few words: "count /a/*", "list", "open 4 /a/f", "seek", "read 1024",
// "write 700", "close", "delete /a/f".
std::string describe(const PhoneRequest& r)
{
    switch (r.call) {
    case PhoneCall::FileCountEx: return "count " + r.text;
    case PhoneCall::FileListEx: return "list";
    case PhoneCall::FileDelete: return "delete " + r.text;
    case PhoneCall::SendCmd: break;
    default: return "other";
    }
    const auto number = [&](size_t at) { return std::to_string(readBE32(r.bytes.data() + at)); };
    switch (r.fsacSubcommand()) {
    case 0x00: return "open " + number(4) + " " + std::string(r.bytes.begin() + 8, r.bytes.end());
    case 0x01: return "read " + number(4);
    case 0x02: return "write " + number(4);
    case 0x03: return "seek";
    case 0x04: return "close";
    default: return "fsac " + std::to_string(r.fsacSubcommand());
    }
}

std::vector<std::string> describeRequests(const VirtualPhoneRig& rig)
{
    std::vector<std::string> out;
    for (const auto& r : rig.api->requests())
        out.push_back(describe(r));
    return out;
}

const std::string kMenu = "/a/mobile/system/mma_ucp";

TEST(uploadFile, OverAnExistingFileOpensItWithoutDeleting)
{
    struct Case {
        const char* name;
        size_t oldSize;
        size_t newSize;
        std::vector<std::string> requests; // after the backup's
        std::string lastLog;
    };
    const std::string count = "count /a/mobile/system/*";
    const std::string written = "[P2KFileWrite] Send command FSAC (0x0004) RC=0";
    const std::vector<Case> cases = {
        {"shorter", 1500, 700, {"open 0 " + kMenu, "write 700", "close", count, "list"}, "[FindFile] FileListEx RC=0"},
        {"longer",
         700,
         1500,
         {"open 0 " + kMenu, "write 1024", "write 476", "close", count, "list"},
         "[FindFile] FileListEx RC=0"},
        // The phone keeps a file opened and closed unwritten as it was: longer than the empty
        // one meant, so it is deleted and written again.
        {"empty",
         700,
         0,
         {"open 0 " + kMenu, "close", count, "list", "delete " + kMenu, "open 0 " + kMenu, "close"},
         written},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualPhoneRig rig;
        rig.connect();
        rig.putPhoneFile(kMenu, patternBytes(c.oldSize));
        setAttributes(rig, kMenu, 4);
        writeBytes(rig.local("mma_temp"), Bytes(c.newSize, 0x5A));
        rig.api->clearRequests();
        // A phone that will not delete its system files: only a tail it kept needs a delete.
        if (c.newSize > 0)
            rig.api->addTrap(PhoneCall::FileDelete, 1, RecordingPhone::TrapAction::Fail);

        const Status sent = uploadFile(rig.phone(), rig.local("mma_temp"), kMenu);
        ASSERT_TRUE(sent.ok()) << sent.error();
        EXPECT_EQ(readBytes(rig.phoneFile(kMenu)), Bytes(c.newSize, 0x5A));
        std::vector<std::string> expected = {count, "list", "open 4 " + kMenu, "seek"};
        for (size_t at = 0; at < c.oldSize; at += 1024)
            expected.push_back("read " + std::to_string(std::min<size_t>(1024, c.oldSize - at)));
        expected.push_back("close");
        expected.insert(expected.end(), c.requests.begin(), c.requests.end());
        EXPECT_EQ(describeRequests(rig), expected);
        EXPECT_EQ(rig.logLines().back(), c.lastLog);
        if (c.newSize == 0) {
            const auto lines = rig.logLines();
            EXPECT_NE(std::find(lines.begin(), lines.end(),
                                "[P2KFileWrite] The phone kept the old file's tail, File_Delete " + kMenu + " RC=0"),
                      lines.end());
        }
    }
}

TEST(uploadFile, ACountThePhoneRefusesDoesNotStopIt)
{
    struct Case {
        const char* name;
        std::string path;
        bool arrives;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"folder there", "/a/mobile/new.bin", true, ""},
        // The phone has no such folder: the open is still sent, and the phone's answer tells.
        {"no folder", "/a/none/new.bin", false, "Error writing /a/none/new.bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualPhoneRig rig;
        rig.connect();
        std::filesystem::create_directories(rig.phoneFile("/a/mobile"));
        writeBytes(rig.local("new.bin"), patternBytes(10));
        rig.api->addTrap(PhoneCall::FileCountEx, 1, RecordingPhone::TrapAction::Fail);

        const Status sent = uploadFile(rig.phone(), rig.local("new.bin"), c.path);
        EXPECT_EQ(sent.error(), c.error);
        EXPECT_EQ(std::filesystem::exists(rig.phoneFile(c.path)), c.arrives);
        EXPECT_EQ(describeRequests(rig)[1], "open 0 " + c.path);
        EXPECT_FALSE(std::filesystem::exists(rig.local("Backups")));
    }
}

TEST(downloadFile, ARefusedCloseIsReportedAndTheWholeCopyKept)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(3000));
    rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Fail, kFsacClose);

    const Status read = downloadFile(rig.phone(), "/a/f", rig.local("f"), "Downloading f");
    EXPECT_EQ(read.failure().kind, ErrorKind::PhoneRefused);
    EXPECT_EQ(read.error(), "The copy of /a/f in " + rig.local("f")
                                + " is complete, but the phone refused to close the file: it may hold the file open "
                                  "until it is restarted");
    EXPECT_EQ(readBytes(rig.local("f")), patternBytes(3000));
    EXPECT_FALSE(temporaryFileLeft(rig.local("")));
}

// ---- backups ------------------------------------------------------------------------------

TEST(backupPhoneFolder, TheImeiOrUnknown)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"312345678901234", "312345678901234"}, {"", "unknown"}, {"../x", "unknown"}, {"35 12", "unknown"}};
    for (const auto& [imei, folder] : cases)
        EXPECT_EQ(backupPhoneFolder(imei), folder) << imei;
}

std::string stampIn(int seconds)
{
    const std::time_t at = std::time(nullptr) + seconds;
    std::tm local{};
    localtime_r(&at, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& path : filesIn(folder))
        names.push_back(fileNameOf(path));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(uploadFile, EachBackupHasItsOwnNameInItsPhonesFolder)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.link.imei = "351234567890123";
    const std::string folder = rig.local("Backups/351234567890123/a/mobile/system");
    // Names of this second and the next two are taken already: the backups go past them.
    std::filesystem::create_directories(folder);
    for (int s = 0; s < 3; ++s)
        writeBytes(folder + "/mma_ucp." + stampIn(s), {1});
    std::vector<std::string> backups;
    for (const size_t size : {100, 200, 300}) {
        rig.putPhoneFile(kMenu, patternBytes(size));
        writeBytes(rig.local("mma_temp"), patternBytes(1));
        std::string backup;
        ASSERT_TRUE(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu, nullptr, &backup));
        EXPECT_EQ(readBytes(backup), patternBytes(size));
        EXPECT_EQ(std::filesystem::path(backup).parent_path(), std::filesystem::path(folder));
        backups.push_back(backup);
    }
    EXPECT_NE(backups[0], backups[1]);
    EXPECT_NE(backups[1], backups[2]);
    EXPECT_TRUE(fileNameOf(backups[0]).ends_with("-1")) << backups[0];
    EXPECT_EQ(namesIn(folder).size(), 6u);
    // Another phone's menu goes into its own folder.
    rig.link.imei.clear();
    ASSERT_TRUE(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu));
    EXPECT_EQ(namesIn(rig.local("Backups/unknown/a/mobile/system")).size(), 1u);
    EXPECT_EQ(namesIn(folder).size(), 6u);
}

TEST(uploadFile, OnlyTheLastTenBackupsOfAFileAreKept)
{
    VirtualPhoneRig rig;
    rig.connect();
    const std::string folder = rig.local("Backups/unknown/a/mobile/system");
    std::filesystem::create_directories(folder);
    std::vector<std::string> old;
    for (int i = 0; i < 8; ++i)
        old.push_back("mma_ucp.2020010" + std::to_string(i + 1) + "-120000");
    old.push_back("mma_ucp.20200109-120000-2");
    old.push_back("mma_ucp.20200109-120000-10");
    // Not backups of this file: left alone.
    const std::vector<std::string> others = {"mma_ucp.notes", "mma_ucp_2.20200101-120000", "mma_ucp.20200101-1200"};
    for (const auto& name : old)
        writeBytes(folder + "/" + name, {1});
    for (const auto& name : others)
        writeBytes(folder + "/" + name, {1});
    rig.putPhoneFile(kMenu, patternBytes(10));
    writeBytes(rig.local("mma_temp"), patternBytes(5));
    std::string backup;

    ASSERT_TRUE(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu, nullptr, &backup));
    std::vector<std::string> expected(old.begin() + 1, old.end());
    expected.push_back(fileNameOf(backup));
    expected.insert(expected.end(), others.begin(), others.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder), expected);
}

TEST(uploadFile, KeepingTheCopyIsAStageOfItsOwn)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile(kMenu, patternBytes(1500));
    writeBytes(rig.local("mma_temp"), patternBytes(700));

    ASSERT_TRUE(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu));
    EXPECT_EQ(rig.progress.events(),
              (std::vector<std::string>{
                  "open", "caption Keeping a copy of mma_ucp 0%", "caption Keeping a copy of mma_ucp 68%", "bar1 68",
                  "caption Keeping a copy of mma_ucp 100%", "bar1 100", "close", "open",
                  "caption Uploading mma_temp 0%", "bar1 100", "caption Uploading mma_temp 100%", "close"}));
}

} // namespace
} // namespace tessaro::testing
