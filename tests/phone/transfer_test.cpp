// FSAC file transfers against the virtual phone: request bytes, log lines, progress, backups
// and the ways a transfer can end.

#include "phone/transfer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "core/bytes.h"
#include "p2k/phone_folder.h"
#include "phone/interrupted_uploads.h"

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
    EXPECT_EQ(read.error(), "Cannot create " + rig.local("no/such/folder/f") + ": No such file or directory");

    // Only a regular file is sent, and nothing of the phone is asked before: not even the
    // phone's file that the upload would have written over is listed or kept. A pipe is
    // refused at once, not waited on for a writer.
    std::filesystem::create_directories(rig.local("folder"));
    ASSERT_EQ(::mkfifo(rig.local("pipe").c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> sources = {
        {"absent", "No such file or directory"}, {"folder", "it is a folder"}, {"pipe", "it is not a regular file"}};
    for (const auto& [name, reason] : sources) {
        const Status sent = uploadFile(rig.phone(), rig.local(name), "/a/f");
        EXPECT_EQ(sent.failure().kind, ErrorKind::Io) << name;
        EXPECT_EQ(sent.error(), "Cannot open " + rig.local(name) + ": " + reason);
    }
    EXPECT_TRUE(rig.api->requests().empty());
    EXPECT_FALSE(std::filesystem::exists(rig.local("Backups")));

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
// "write 700", "close", "delete /a/f", "attributes 4 /a/f" and "attributes set" (the open and
// close of File_Create and File_Close).
std::string describe(const PhoneRequest& r)
{
    switch (r.call) {
    case PhoneCall::FileCountEx: return "count " + r.text;
    case PhoneCall::FileListEx: return "list";
    case PhoneCall::FileDelete: return "delete " + r.text;
    case PhoneCall::FileCreate: return "attributes " + std::to_string(r.args.at(0)) + " " + r.text;
    case PhoneCall::FileClose: return "attributes set";
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
        UploadReport report;
        ASSERT_TRUE(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu, nullptr, &report));
        EXPECT_EQ(readBytes(report.backup), patternBytes(size));
        EXPECT_EQ(std::filesystem::path(report.backup).parent_path(), std::filesystem::path(folder));
        backups.push_back(report.backup);
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
    // What killed runs left: names reserved and never filled, and the temporary files of copies
    // cut short. Those of a run that may still be going stay; none counts among the ten.
    const auto killedLongAgo = [&](const std::string& name, const Bytes& bytes) {
        writeBytes(folder + "/" + name, bytes);
        std::filesystem::last_write_time(folder + "/" + name,
                                         std::filesystem::file_time_type::clock::now() - std::chrono::minutes(11));
    };
    killedLongAgo("mma_ucp.20200110-120000", {});
    killedLongAgo(".mma_ucp.20200110-120000.tmp4242", {1, 2});
    const std::vector<std::string> going = {"mma_ucp.20200111-120000", ".mma_ucp.20200111-120000.tmp77"};
    writeBytes(folder + "/" + going[0], {});
    writeBytes(folder + "/" + going[1], {1});
    rig.putPhoneFile(kMenu, patternBytes(10));
    writeBytes(rig.local("mma_temp"), patternBytes(5));
    UploadReport report;

    ASSERT_TRUE(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu, nullptr, &report));
    std::vector<std::string> expected(old.begin() + 1, old.end());
    expected.push_back(fileNameOf(report.backup));
    expected.insert(expected.end(), others.begin(), others.end());
    expected.insert(expected.end(), going.begin(), going.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder), expected);

    // A backup an interrupted upload still needs stays, however old, besides the ten: the
    // oldest one here, which would go otherwise.
    writeText(rig.local("Backups/interrupted-uploads.txt"), "unknown\t20200102-120000\t0\t" + kMenu + "\n");
    ASSERT_TRUE(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu, nullptr, &report));
    expected.push_back(fileNameOf(report.backup));
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

// ---- failed uploads leave no cut file -------------------------------------------------------

const std::string kImei = "312345678901234";

// A phone holding its menu (1000 bytes, a system file) and a new menu of 2500 bytes to write over
// it. The link follows the phone as the connection monitor makes it: gone once it is pulled out.
struct MenuOverRig : VirtualPhoneRig {
    MenuOverRig()
    {
        connect();
        link.imei = kImei;
        EXPECT_EQ(api->P2K_Init([this](int connected) { return link.connected = connected != 0, connected; }), 0);
        putPhoneFile(kMenu, old);
        setAttributes(*this, kMenu, 4);
        writeBytes(local("mma_temp"), fresh);
        api->clearRequests();
        EXPECT_TRUE(log.create(logPath()));
    }
    std::string backupFolder() const { return local("Backups/" + kImei + "/a/mobile/system"); }
    // The one backup made.
    std::string backup() const
    {
        const std::vector<std::string> made = filesIn(backupFolder());
        EXPECT_EQ(made.size(), 1u);
        return made.empty() ? "" : made[0];
    }
    // The requests after the backup's count, listing and download of the old file.
    std::vector<std::string> afterBackup() const
    {
        std::vector<std::string> all = describeRequests(*this);
        const std::vector<std::string> backupTaken = {
            "count /a/mobile/system/*", "list", "open 4 " + kMenu, "seek", "read 1000", "close"};
        EXPECT_TRUE(all.size() >= backupTaken.size()
                    && std::equal(backupTaken.begin(), backupTaken.end(), all.begin()));
        return std::vector<std::string>(all.begin() + long(std::min(all.size(), backupTaken.size())), all.end());
    }

    const Bytes old = patternBytes(1000);
    const Bytes fresh = Bytes(2500, 0x5A);
};

// The bits the phone keeps for `path`, without asking it.
int storedAttributes(const VirtualPhoneRig& rig, const std::string& path)
{
    const auto folder = PhoneFolder::open(rig.phoneDir());
    EXPECT_TRUE(folder.ok()) << folder.error();
    return folder.ok() ? folder->attributes(path) : -1;
}

std::string withBackup(std::string text, const std::string& backup)
{
    if (const size_t at = text.find("BACKUP"); at != std::string::npos)
        text.replace(at, 6, backup);
    return text;
}

TEST(uploadFile, AFailureAfterTheOpenPutsThePreviousFileBackOrRemembersIt)
{
    const std::string open = "open 0 " + kMenu;
    const std::vector<std::string> putBack = {
        open, "write 1000", "close", "count /a/mobile/system/*", "list", "attributes 4 " + kMenu, "attributes set"};
    const auto then = [&putBack](std::vector<std::string> first) {
        first.insert(first.end(), putBack.begin(), putBack.end());
        return first;
    };
    enum class After { Old, Fresh, FirstBlock };
    struct Case {
        const char* name;
        std::function<void(VirtualPhoneRig&)> arrange;
        ErrorKind kind;    // Cancelled for a stop; Format for a success
        std::string error; // BACKUP stands for the backup's path
        std::vector<std::string> requests;
        After phoneAfter;
        int attributesAfter;
        bool putBack;
        bool leftCut;
    };
    const std::vector<Case> cases = {
        {"written",
         [](VirtualPhoneRig&) {},
         ErrorKind::Format,
         "",
         {open, "write 1024", "write 1024", "write 452", "close", "count /a/mobile/system/*", "list"},
         After::Fresh,
         0,
         false,
         false},
        {"stopped", [](VirtualPhoneRig& rig) { rig.progress.cancelAfterBars(1); }, ErrorKind::Cancelled, "Cancelled",
         then({open, "write 1024", "close"}), After::Old, 4, true, false},
        {"close refused",
         [](VirtualPhoneRig& rig) {
             rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Fail, kFsacClose);
         },
         ErrorKind::PhoneRefused, "Error writing " + kMenu + ". The phone's previous file was put back",
         then({open, "write 1024", "write 1024", "write 452", "close"}), After::Old, 4, true, false},
        {"write refused",
         [](VirtualPhoneRig& rig) {
             rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Fail, kFsacWrite);
         },
         ErrorKind::PhoneRefused, "Error writing " + kMenu + ". The phone's previous file was put back",
         then({open, "write 1024", "write 1024", "close"}), After::Old, 4, true, false},
        // Gone: nothing more is sent, and the phone keeps the block it took.
        {"pulled out",
         [](VirtualPhoneRig& rig) {
             rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Unplug, kFsacWrite);
         },
         ErrorKind::PhoneGone,
         "Error writing " + kMenu + ". The phone's previous file is kept in BACKUP",
         {open, "write 1024", "write 1024", "close"},
         After::FirstBlock,
         0,
         false,
         true},
        // The opens: the backup's, the upload's, the putting back's.
        {"put back refused",
         [](VirtualPhoneRig& rig) {
             rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Fail, kFsacWrite);
             rig.api->addTrap(PhoneCall::SendCmd, 3, RecordingPhone::TrapAction::Fail, kFsacOpen);
         },
         ErrorKind::PhoneRefused,
         "Error writing " + kMenu + ". The phone's previous file is kept in BACKUP",
         {open, "write 1024", "write 1024", "close", open},
         After::FirstBlock,
         0,
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MenuOverRig rig;
        c.arrange(rig);

        UploadReport report;
        const Status sent = uploadFile(rig.phone(), rig.local("mma_temp"), kMenu, nullptr, &report);
        const std::string backup = rig.backup();
        EXPECT_EQ(readBytes(backup), rig.old);
        EXPECT_EQ(report.backup, backup);
        if (c.kind == ErrorKind::Format) {
            EXPECT_TRUE(sent.ok()) << sent.error();
        } else {
            EXPECT_EQ(sent.failure().kind, c.kind);
            EXPECT_EQ(sent.error(), withBackup(c.error, backup));
        }
        EXPECT_EQ(rig.afterBackup(), c.requests);
        const Bytes after = c.phoneAfter == After::Old     ? rig.old
                            : c.phoneAfter == After::Fresh ? rig.fresh
                                                           : Bytes(rig.fresh.begin(), rig.fresh.begin() + 1024);
        EXPECT_EQ(readBytes(rig.phoneFile(kMenu)), after);
        EXPECT_EQ(storedAttributes(rig, kMenu), c.attributesAfter);
        EXPECT_EQ(report.putBack, c.putBack);
        EXPECT_EQ(report.leftCut, c.leftCut);
        if (c.putBack) {
            const auto lines = rig.logLines();
            const std::string why = c.kind == ErrorKind::Cancelled ? "cancelled" : "failed";
            EXPECT_NE(std::find(lines.begin(), lines.end(), "[P2KFileWrite] Upload " + why + ", putting back " + kMenu),
                      lines.end());
        }
        // Only a file left cut is remembered, with the bits it had.
        std::vector<InterruptedUpload> expected;
        if (c.leftCut)
            expected.push_back({kImei, kMenu, backup, 4});
        EXPECT_EQ(InterruptedUploads(rig.local("")).all(), expected);
        EXPECT_EQ(rig.progress.alive(), 0);
    }
}

TEST(uploadFile, AFileLeftCutIsPutBackWhenThatPhoneIsConnectedAgain)
{
    MenuOverRig rig;
    rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Unplug, kFsacWrite);
    ASSERT_EQ(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu).failure().kind, ErrorKind::PhoneGone);
    const std::string backup = rig.backup();
    // The record names the phone, the backup by its time, the bits and the path.
    const std::string stamp = fileNameOf(backup).substr(std::string("mma_ucp.").size());
    EXPECT_EQ(readText(rig.local("Backups/interrupted-uploads.txt")), kImei + "\t" + stamp + "\t4\t" + kMenu + "\n");

    // While the phone holds the cut file, another upload that fails names the first backup:
    // the second one holds the cut file.
    rig.virtualPhone->plug();
    rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Unplug, kFsacWrite);
    UploadReport again;
    EXPECT_EQ(uploadFile(rig.phone(), rig.local("mma_temp"), kMenu, nullptr, &again).error(),
              "Error writing " + kMenu + ". The phone's previous file is kept in " + backup);
    EXPECT_EQ(again.backup, backup);
    const std::vector<InterruptedUpload> first = {{kImei, kMenu, backup, 4}};
    EXPECT_EQ(InterruptedUploads(rig.local("")).all(), first);

    // Connected again: the backup goes back as an upload, without a copy of the cut file, and
    // the file gets its bits back.
    rig.virtualPhone->plug();
    ASSERT_TRUE(rig.link.connected);
    rig.api->clearRequests();
    const Result<std::string> putBack = putBackBackup(rig.phone(), kMenu);
    ASSERT_TRUE(putBack.ok()) << putBack.error();
    EXPECT_EQ(*putBack, backup);
    EXPECT_EQ(describeRequests(rig), (std::vector<std::string>{"count /a/mobile/system/*", "list", "open 0 " + kMenu,
                                                               "write 1000", "close", "count /a/mobile/system/*",
                                                               "list", "attributes 4 " + kMenu, "attributes set"}));
    EXPECT_EQ(readBytes(rig.phoneFile(kMenu)), rig.old);
    EXPECT_EQ(storedAttributes(rig, kMenu), 4);
    EXPECT_TRUE(InterruptedUploads(rig.local("")).all().empty());
    EXPECT_EQ(filesIn(rig.backupFolder()).size(), 2u);
}

TEST(putBackBackup, TheNewestBackupOfThePhoneWithoutARecord)
{
    MenuOverRig rig;
    const std::string folder = rig.backupFolder();
    std::filesystem::create_directories(folder);
    writeBytes(folder + "/mma_ucp.20240101-120000", patternBytes(30));
    writeBytes(folder + "/mma_ucp.20240102-120000", patternBytes(20));
    // An empty name a killed run reserved is no backup.
    writeBytes(folder + "/mma_ucp.20240103-120000", {});
    // Another phone's backup is not this one's.
    rig.putPhoneFile("/a/mobile/system/other", {});
    writeBytes(rig.local("Backups/unknown/a/mobile/system/mma_ucp.20250101-120000"), patternBytes(9));

    const Result<std::string> putBack = putBackBackup(rig.phone(), kMenu);
    ASSERT_TRUE(putBack.ok()) << putBack.error();
    EXPECT_EQ(*putBack, folder + "/mma_ucp.20240102-120000");
    EXPECT_EQ(readBytes(rig.phoneFile(kMenu)), patternBytes(20));
    // The phone's file was no known cut one: it is kept first, and keeps its bits.
    EXPECT_EQ(describeRequests(rig)[2], "open 4 " + kMenu);
    EXPECT_EQ(storedAttributes(rig, kMenu), 4);

    const Result<std::string> none = putBackBackup(rig.phone(), "/a/mobile/system/other");
    EXPECT_EQ(none.failure().kind, ErrorKind::NotFound);
    EXPECT_EQ(none.error(), "No backup of /a/mobile/system/other is kept for this phone");
}

TEST(uploadFile, ANewFileThatFailsIsNotLeftCut)
{
    struct Case {
        const char* name;
        std::function<void(VirtualPhoneRig&)> arrange;
        bool cancelled;
        std::string lastRequest;
        std::string lastLog;
    };
    const std::string written = "[P2KFileWrite] Send command FSAC (0x0004) RC=-1";
    const std::vector<Case> cases = {
        {"stopped", [](VirtualPhoneRig& rig) { rig.progress.cancelAfterBars(1); }, true, "delete /a/up.bin",
         "[P2KFileWrite] Upload cancelled, File_Delete /a/up.bin RC=0"},
        {"write refused",
         [](VirtualPhoneRig& rig) {
             rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Fail, kFsacWrite);
         },
         false, "delete /a/up.bin", "[P2KFileWrite] Upload failed, File_Delete /a/up.bin RC=0"},
        // Gone: nothing more is asked of it.
        {"pulled out",
         [](VirtualPhoneRig& rig) {
             rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Unplug, kFsacWrite);
         },
         false, "close", written},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MenuOverRig rig;
        writeBytes(rig.local("up.bin"), patternBytes(5000));
        c.arrange(rig);
        const Status sent = uploadFile(rig.phone(), rig.local("up.bin"), "/a/up.bin");
        EXPECT_EQ(sent.cancelled(), c.cancelled);
        if (!c.cancelled) {
            EXPECT_EQ(sent.error(), "Error writing /a/up.bin");
        }
        EXPECT_EQ(std::filesystem::exists(rig.phoneFile("/a/up.bin")), std::string(c.name) == "pulled out");
        EXPECT_EQ(describeRequests(rig).back(), c.lastRequest);
        EXPECT_EQ(rig.logLines().back(), c.lastLog);
        EXPECT_FALSE(std::filesystem::exists(rig.local("Backups")));
    }
}

TEST(uploadFiles, EachFolderIsListedOnceForTheBatchAndOnceForTheSizes)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/p/x.gif", patternBytes(300));
    rig.putPhoneFile("/a/p/y.gif", patternBytes(40));
    std::filesystem::create_directories(rig.phoneFile("/c"));
    const std::vector<UploadItem> items = {{rig.local("x.gif"), "/a/p/x.gif"},
                                           {rig.local("y.gif"), "/a/p/y.gif"},
                                           {rig.local("n.gif"), "/a/p/n.gif"},
                                           {rig.local("w.gif"), "/c/w.gif"}};
    writeBytes(rig.local("x.gif"), patternBytes(77));
    writeBytes(rig.local("y.gif"), patternBytes(500));
    writeBytes(rig.local("n.gif"), patternBytes(10));
    writeBytes(rig.local("w.gif"), patternBytes(5));
    RecordingProgress batch;
    batch.batchTotal = 592;

    std::vector<UploadResult> results;
    ASSERT_TRUE(uploadFiles(rig.phone(), items, &batch, &results));
    EXPECT_EQ(describeRequests(rig), (std::vector<std::string>{"count /a/p/*", "list",
                                                               // x.gif: kept, then written over
                                                               "open 0 /a/p/x.gif", "seek", "read 300", "close",
                                                               "open 0 /a/p/x.gif", "write 77", "close",
                                                               // y.gif: the same, from the same listing
                                                               "open 0 /a/p/y.gif", "seek", "read 40", "close",
                                                               "open 0 /a/p/y.gif", "write 500", "close",
                                                               // n.gif: new
                                                               "open 0 /a/p/n.gif", "write 10", "close",
                                                               // w.gif: another folder, empty so far
                                                               "count /c/*", "open 0 /c/w.gif", "write 5", "close",
                                                               // the sizes of the two written over, in one listing
                                                               "count /a/p/*", "list"}));
    ASSERT_EQ(results.size(), 4u);
    for (const UploadResult& result : results) {
        EXPECT_TRUE(result.tried);
        EXPECT_TRUE(result.status.ok()) << result.status.error();
    }
    EXPECT_EQ(readBytes(rig.local("Backups/unknown/a/p/") + fileNameOf(results[1].report.backup)), patternBytes(40));
    EXPECT_EQ(readBytes(rig.phoneFile("/a/p/y.gif")), patternBytes(500));
    EXPECT_EQ(batch.bytesDone, 592u);
}

TEST(uploadFile, ABackupThatCannotBeWrittenSaysWhyAndSendsNothing)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(10));
    writeBytes(rig.local("up"), patternBytes(20));
    // Where the backup's folder would be, a file.
    std::filesystem::create_directories(rig.local("Backups/unknown"));
    writeBytes(rig.local("Backups/unknown/a"), {1});

    const Status sent = uploadFile(rig.phone(), rig.local("up"), "/a/f");
    EXPECT_EQ(sent.failure().kind, ErrorKind::Io);
    const std::string start = "Cannot create " + rig.local("Backups/unknown/a/f.");
    const std::string end = ": Not a directory. Nothing was uploaded: the phone's file is as it was";
    EXPECT_TRUE(sent.error().starts_with(start) && sent.error().ends_with(end)) << sent.error();
    EXPECT_EQ(describeRequests(rig), (std::vector<std::string>{"count /a/*", "list"}));
    EXPECT_EQ(readBytes(rig.phoneFile("/a/f")), patternBytes(10));
}

} // namespace
} // namespace tessaro::testing
