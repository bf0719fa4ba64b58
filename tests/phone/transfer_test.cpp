// FSAC file transfers against the virtual phone: request bytes, log lines, progress and the
// ways a transfer can end.

#include "phone/transfer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "p2k/no_phone.h"
#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

using Bytes = std::vector<uint8_t>;

const std::string kMenuPath = "/a/mobile/system/mma_ucp";

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

Bytes openRequest(const std::string& path, bool terminated)
{
    Bytes out = cat({be32(0x00), be32(0)});
    out.insert(out.end(), path.begin(), path.end());
    if (terminated)
        out.push_back(0);
    return out;
}
const Bytes kSeekStart = {0, 0, 0, 3, /*offset*/ 0, 0, 0, 0, /*origin*/ 0};
const Bytes kSeekEofCheck = {0, 0, 0, 3, /*offset*/ 0, 0, 0x03, 0xFF, /*origin*/ 2};
const Bytes kRead = {0, 0, 0, 1, /*count 1024*/ 0, 0, 0x04, 0x00};
const Bytes kClose = {0, 0, 0, 4};

// The requests' bytes and the reply bytes delivered, in order.
struct Exchange {
    Bytes request;
    int wanted;
    int delivered;
    bool operator==(const Exchange&) const = default;
};
std::vector<Exchange> exchanges(const VirtualPhoneRig& rig)
{
    std::vector<Exchange> out;
    for (const auto& r : rig.commands()) {
        EXPECT_EQ(r.command, 0x004A);
        out.push_back({r.bytes, r.replyWanted, r.delivered});
    }
    return out;
}

// ---- reads ------------------------------------------------------------------------------

class ReadSizes : public ::testing::TestWithParam<int> {};

TEST_P(ReadSizes, RequestsLogAndContent)
{
    const int size = GetParam();
    VirtualPhoneRig rig;
    rig.connect();
    const Bytes content = patternBytes(size_t(size));
    rig.putPhoneFile(kMenuPath, content);
    rig.phone().progressLabel = "Reading mma_ucp";

    const int result = downloadFile(rig.phone(), kMenuPath, rig.local("mma_temp"), 3000);

    EXPECT_EQ(result, size == 0 ? -1 : size);
    EXPECT_EQ(readBytes(rig.local("mma_temp")), content);

    std::vector<Exchange> expected = {{openRequest(kMenuPath, false), 0, 0}, {kSeekStart, 0, 0}};
    std::vector<std::string> log = {"[P2KFileRead] Enter " + kMenuPath,
                                    "[P2KFileRead] Send command FSAC (0x0000) RC=0",
                                    "[P2KFileRead] Send command FSAC (0x0003) RC=0"};
    for (int left = size; left > 0; left -= 1024) {
        const int n = std::min(left, 1024);
        expected.push_back({kRead, 1024, n});
        log.push_back("[P2KFileRead] Send command FSAC (0x0001) RC=0 bytes received=" + std::to_string(n));
    }
    expected.push_back({kRead, 1024, 1}); // the end-of-file marker
    log.push_back("[P2KFileRead] Send command FSAC (0x0001) RC=0 bytes received=1");
    if (size >= 1024) { // a full block was seen: the end-of-file check
        expected.push_back({kSeekEofCheck, 0, 0});
        expected.push_back({kRead, 1024, 1});
        log.push_back("[P2KFileRead] Send command FSAC (0x0003) - check EOF RC=0");
        log.push_back("[P2KFileRead] Send command FSAC (0x0001) RC=0 bytes received=1");
    }
    expected.push_back({kClose, 0, 0});
    log.push_back("[P2KFileRead] Send command FSAC (0x0004) RC=0");
    EXPECT_EQ(exchanges(rig), expected);
    EXPECT_EQ(rig.logLines(), log);
    EXPECT_EQ(rig.progress.alive(), 0);
}

TEST_P(ReadSizes, GroupReadLogsWithoutEqualsSign)
{
    const int size = GetParam();
    VirtualPhoneRig rig;
    rig.connect();
    const Bytes content = patternBytes(size_t(size));
    rig.putPhoneFile("/c/x.gif", content);
    RecordingProgress batch;
    batch.batchTotal = 100000;

    const int result = downloadFileInBatch(rig.phone(), "/c/x.gif", rig.local("x.gif"), size, batch);

    EXPECT_EQ(result, size == 0 ? -1 : size);
    EXPECT_EQ(readBytes(rig.local("x.gif")), content);
    EXPECT_EQ(batch.bytesDone, uint32_t(size));
    const auto lines = rig.logLines();
    EXPECT_EQ(lines.front(), "[P2KGroupRead] Enter /c/x.gif");
    EXPECT_EQ(lines[3], "[P2KGroupRead] Send command FSAC (0x0001) RC=0 bytes received"
                            + std::to_string(size == 0 ? 1 : std::min(size, 1024)));
    EXPECT_EQ(lines.back(), "[P2KGroupRead] Send command FSAC (0x0004) RC=0");
    EXPECT_EQ(rig.progress.opened(), 0); // the caller's window only
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadSizes, ::testing::Values(0, 1, 1023, 1024, 1025, 1500, 20216));

TEST(downloadFile, EveryFileSizeReadsBackExactly)
{
    VirtualPhoneRig rig;
    rig.connect();
    std::vector<int> sizes;
    for (int s = 1; s <= 40; ++s)
        sizes.push_back(s);
    for (int k = 1; k <= 4; ++k)
        for (int d = -2; d <= 2; ++d)
            sizes.push_back(k * 1024 + d);
    for (const int size : sizes) {
        const Bytes content = patternBytes(size_t(size));
        rig.putPhoneFile("/a/f", content);
        ASSERT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), size), size) << size;
        ASSERT_EQ(readBytes(rig.local("f")), content) << size;
    }
}

TEST(downloadFile, LastBlockOfOneByte08IsTakenForTheEndOfFile)
{
    // The protocol's one ambiguity: a last block made of the single byte 0x08 looks exactly
    // like the end-of-file marker, so that byte is not stored. The end-of-file check finds
    // nothing after the end, whichever way the file ends.
    VirtualPhoneRig rig;
    rig.connect();
    Bytes content = patternBytes(1025);
    content.back() = 0x08;
    rig.putPhoneFile("/a/f", content);

    EXPECT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), 1025), 1024);
    EXPECT_EQ(readBytes(rig.local("f")), Bytes(content.begin(), content.end() - 1));

    rig.putPhoneFile("/a/g", {0x08});
    EXPECT_EQ(downloadFile(rig.phone(), "/a/g", rig.local("g"), 1), -1);
    EXPECT_TRUE(readBytes(rig.local("g")).empty());
}

TEST(downloadFile, ProgressCaptionsRoundHalvesToEven)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(1500));
    rig.phone().progressLabel = "Downloading f";

    // 1024 / 100000 = 1.024% -> 1; 1500 / 100000 = 1.5% -> 2 (the even neighbour)
    ASSERT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), 100000), 1500);
    EXPECT_EQ(rig.progress.events(), (std::vector<std::string>{
                                          "open", "caption Downloading f 0%",
                                          "caption Downloading f 1%", "bar1 1",
                                          "caption Downloading f 2%", "bar1 2", "close"}));

    // 1024 / 8192 = 12.5% -> 12; the caption is not redrawn when its text stays.
    rig.progress.clear();
    rig.putPhoneFile("/a/f", patternBytes(2048));
    ASSERT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), 8192), 2048);
    EXPECT_EQ(rig.progress.events(), (std::vector<std::string>{
                                          "open", "caption Downloading f 0%",
                                          "caption Downloading f 12%", "bar1 12",
                                          "caption Downloading f 25%", "bar1 25", "close"}));

    // Beyond the expected size the percentage stays at 100.
    rig.progress.clear();
    ASSERT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), 1000), 2048);
    EXPECT_EQ(rig.progress.events(), (std::vector<std::string>{
                                          "open", "caption Downloading f 0%",
                                          "caption Downloading f 100%", "bar1 100", "bar1 100",
                                          "close"}));
}

TEST(downloadFileInBatch, CaptionsCarryTheBatchTotal)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/pic/x.gif", patternBytes(1500));
    RecordingProgress batch;
    batch.batchTotal = 3000;
    batch.bytesDone = 1000;

    ASSERT_EQ(downloadFileInBatch(rig.phone(), "/a/pic/x.gif", rig.local("x.gif"), 1500, batch), 1500);
    // file 1024/1500 = 68.3% -> 68, batch 2024/3000 = 67.5% -> 68; then 100% and 2500/3000 -> 83
    EXPECT_EQ(batch.events(), (std::vector<std::string>{
                                  "caption Downloading x.gif 0% (Total 33%)", "bar1 0",
                                  "caption Downloading x.gif 68% (Total 67%)", "bar1 68", "bar2 67",
                                  "caption Downloading x.gif 100% (Total 83%)", "bar1 100", "bar2 83"}));
    EXPECT_EQ(batch.bytesDone, 2500u);
}

TEST(downloadFile, FailedOpenSendsNothingMore)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("old"), {1, 2, 3});

    EXPECT_EQ(downloadFile(rig.phone(), "/a/missing/file", rig.local("old"), 10), -1);
    EXPECT_EQ(exchanges(rig).size(), 1u);
    EXPECT_EQ(rig.logLines(), (std::vector<std::string>{"[P2KFileRead] Enter /a/missing/file",
                                                        "[P2KFileRead] Send command FSAC (0x0000) RC=-1"}));
    // A mistyped phone path never empties the local file.
    EXPECT_EQ(readBytes(rig.local("old")), (Bytes{1, 2, 3}));
    EXPECT_EQ(rig.progress.opened(), 0);
}

TEST(downloadFileInBatch, FailedOpenStillSendsTheSeek)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(10));
    rig.api->addTrap(PhoneCall::SendCmd, 1, VirtualPhone::TrapAction::Fail, kFsacOpen);
    RecordingProgress batch;

    EXPECT_EQ(downloadFileInBatch(rig.phone(), "/a/f", rig.local("f"), 10, batch), -1);
    const auto sent = exchanges(rig);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].request, kSeekStart);
}

TEST(downloadFile, ReadFailingAfterDataIsCutShortAndLeavesTheLocalFile)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(3000));
    writeBytes(rig.local("f"), {7, 7});
    rig.api->addTrap(PhoneCall::SendCmd, 2, VirtualPhone::TrapAction::Fail, kFsacRead);

    const PhoneReadResult read = readPhoneFile(rig.phone(), "/a/f", rig.local("f"), 3000, nullptr);
    EXPECT_EQ(read.stored, -1);
    EXPECT_TRUE(read.cutShort);
    EXPECT_EQ(readBytes(rig.local("f")), (Bytes{7, 7}));
    // No temporary file is left beside it.
    for (const auto& entry : std::filesystem::directory_iterator(rig.local("")))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".f.tmp")) << entry.path();
    const auto lines = rig.logLines();
    EXPECT_EQ(lines[lines.size() - 2], "[P2KFileRead] Send command FSAC (0x0001) RC=-1 bytes received=0");
    EXPECT_EQ(lines.back(), "[P2KFileRead] Send command FSAC (0x0004) RC=0");
    EXPECT_EQ(rig.progress.alive(), 0);
}

TEST(downloadFile, UnpluggedMidTransfer)
{
    VirtualPhoneRig rig;
    int statusCalls = 0;
    rig.api->P2K_Init([&](int connected) {
        statusCalls++;
        rig.link.connected = connected != 0;
        return connected;
    });
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(5000));
    rig.api->addTrap(PhoneCall::SendCmd, 3, VirtualPhone::TrapAction::Unplug, kFsacRead);

    EXPECT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), 5000), -1);
    EXPECT_FALSE(std::filesystem::exists(rig.local("f")));
    EXPECT_FALSE(rig.api->isPlugged());
    EXPECT_FALSE(rig.link.connected);
    EXPECT_EQ(statusCalls, 2);
    EXPECT_EQ(rig.logLines().back(), "[P2KFileRead] Send command FSAC (0x0004) RC=-1");
    EXPECT_EQ(rig.progress.alive(), 0);
    // Nothing after the unplugging reaches the phone.
    EXPECT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), 5000), -1);
}

// A library whose FSAC reads are scripted, for replies the virtual phone never gives.
class ScriptedReads : public NoPhone {
public:
    int P2K_SendCMD(uint16_t, const uint8_t* request, int, uint8_t* reply, int* replyLength) override
    {
        requests.push_back(request[3]);
        if (request[3] == 0x01) {
            std::fill(reply, reply + *replyLength, uint8_t(0x41));
            *replyLength = delivered.empty() ? 0 : delivered.front();
            if (delivered.empty() && endMarker) {
                reply[0] = 0x08;
                *replyLength = 1;
            }
            if (!delivered.empty())
                delivered.erase(delivered.begin());
        } else {
            *replyLength = 0;
        }
        return 0;
    }
    std::vector<int> delivered; // per read; 0 (or the end-of-file marker) once the list is used up
    bool endMarker = false;
    std::vector<int> requests;  // the subcommand of each request
};

TEST(downloadFile, RepliesOfNothingOrTooMuchEndTheRead)
{
    TempDir temp;
    ScriptedReads api;
    PhoneLinkState link;
    OperationLog log;
    RecordingProgressFactory progress;
    RecordingPrompter prompter;
    PhoneContext phone{api, link, log, progress, prompter, temp.path().string() + "/"};

    // A phone that answers every read with nothing would otherwise be asked for ever.
    EXPECT_EQ(downloadFile(phone, "/a/f", temp.file("f"), 10), -1);
    EXPECT_EQ(api.requests, (std::vector<int>{0x00, 0x03, 0x01, 0x04}));

    // A delivered count above the 1024 wanted is taken as 1024.
    api.requests.clear();
    api.delivered = {5000, 3};
    api.endMarker = true;
    EXPECT_EQ(downloadFile(phone, "/a/f", temp.file("f"), 10), 1027);
    EXPECT_EQ(readBytes(temp.file("f")), Bytes(1027, 0x41));
}

TEST(downloadFile, DeviceAsLocalFileIsRefusedBeforeAnythingIsSent)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(3000));
    EXPECT_EQ(downloadFile(rig.phone(), "/a/f", "/dev/full", 3000), -1);
    EXPECT_EQ(rig.prompter.texts(), (std::vector<std::string>{"Cannot create /dev/full"}));
    EXPECT_TRUE(rig.commands().empty());
}

TEST(downloadFile, LocalFileThatCannotBeCreatedSendsNothing)
{
    VirtualPhoneRig rig;
    rig.connect();
    EXPECT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("no/such/folder/f"), 10), -1);
    EXPECT_TRUE(rig.commands().empty());
    ASSERT_EQ(rig.prompter.prompts.size(), 1u);
    EXPECT_EQ(rig.prompter.prompts[0].caption, "Error");
    EXPECT_EQ(rig.prompter.prompts[0].text, "Cannot create " + rig.local("no/such/folder/f"));
}

TEST(Transfers, PathsLongerThanTheRequestBufferAreRefused)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("up"), patternBytes(10));
    RecordingProgress batch;
    const std::string fits = "/a/" + std::string(4087 - 3, 'x');   // 8 + 4087 = 4095 bytes
    const std::string tooLong = fits + "y";                         // 4096 + the 0 byte
    const std::string groupTooLong = tooLong + "z";                 // 8 + 4089 bytes

    // The read's open request of 8 + 4088 bytes fills the buffer exactly and is sent.
    EXPECT_EQ(downloadFile(rig.phone(), tooLong, rig.local("f"), 1), -1);
    ASSERT_EQ(rig.commands().size(), 1u);
    EXPECT_EQ(rig.commands()[0].bytes.size(), 4096u);
    EXPECT_EQ(uploadFile(rig.phone(), rig.local("up"), fits), -1); // sent, 4096 bytes; the phone refuses
    EXPECT_EQ(rig.commands()[1].bytes.size(), 4096u);
    rig.api->clearRequests();
    const std::string logBefore = readText(rig.logPath());

    EXPECT_EQ(downloadFile(rig.phone(), groupTooLong, rig.local("f"), 1), -1);
    EXPECT_EQ(downloadFileInBatch(rig.phone(), groupTooLong, rig.local("f"), 1, batch), -1);
    EXPECT_EQ(uploadFile(rig.phone(), rig.local("up"), tooLong), -1);
    EXPECT_EQ(uploadFileInBatch(rig.phone(), rig.local("up"), groupTooLong, batch), -1);
    EXPECT_TRUE(rig.api->requests().empty());
    EXPECT_EQ(readText(rig.logPath()), logBefore);
}

// ---- writes -----------------------------------------------------------------------------

class WriteSizes : public ::testing::TestWithParam<int> {};

TEST_P(WriteSizes, RequestsLogAndContent)
{
    const int size = GetParam();
    VirtualPhoneRig rig;
    rig.connect();
    const Bytes content = patternBytes(size_t(size));
    writeBytes(rig.local("mma_temp"), content);
    rig.putPhoneFile(kMenuPath, patternBytes(30000)); // an older, longer file

    EXPECT_EQ(uploadFile(rig.phone(), rig.local("mma_temp"), kMenuPath), size);
    EXPECT_EQ(readBytes(rig.phoneFile(kMenuPath)), content);

    std::vector<Exchange> expected = {{openRequest(kMenuPath, true), 0, 0}, {kSeekStart, 0, 0}};
    std::vector<std::string> log = {"[P2KFileWrite] Enter " + kMenuPath,
                                    "[P2KFileWrite] Send command FSAC (0x0000) RC=0",
                                    "[P2KFileWrite] Send command FSAC (0x0003) RC=0"};
    for (int at = 0; at < size; at += 1024) {
        const int n = std::min(size - at, 1024);
        Bytes request = cat({be32(0x02), be32(uint32_t(n))});
        request.insert(request.end(), content.begin() + at, content.begin() + at + n);
        expected.push_back({request, 0, 0});
        log.push_back("[P2KFileWrite] Send command FSAC (0x0002) RC=0 bytes sent=" + std::to_string(n + 8));
    }
    expected.push_back({kClose, 0, 0});
    log.push_back("[P2KFileWrite] Send command FSAC (0x0004) RC=0");
    EXPECT_EQ(exchanges(rig), expected);
    EXPECT_EQ(rig.logLines(), log);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WriteSizes, ::testing::Values(0, 1, 1023, 1024, 1025, 1500, 20216));

TEST(uploadFile, FifteenHundredBytesGoAsTwoRequests)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("x.bin"), patternBytes(1500));

    EXPECT_EQ(uploadFile(rig.phone(), rig.local("x.bin"), "/a/x.bin"), 1500);
    const auto sent = rig.commands();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0].bytes.size(), 9u + 8u);   // open: header, "/a/x.bin", 0
    EXPECT_EQ(sent[2].bytes.size(), 1032u);
    ASSERT_EQ(sent[3].bytes.size(), 484u);
    EXPECT_EQ(Bytes(sent[3].bytes.begin(), sent[3].bytes.begin() + 8),
              (Bytes{0, 0, 0, 2, /*count 476*/ 0, 0, 0x01, 0xDC}));
    EXPECT_EQ(rig.progress.events(), (std::vector<std::string>{
                                          "open", "caption Uploading x.bin 0%",
                                          "bar1 68", "caption Uploading x.bin 68%",
                                          "bar1 100", "caption Uploading x.bin 100%", "close"}));
    EXPECT_EQ(rig.phone().progressLabel, "Uploading x.bin 100%");
}

TEST(Transfers, OpenRequestLengthsOfTheMenuPath)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("mma_temp"), patternBytes(5));
    rig.putPhoneFile(kMenuPath, {});
    RecordingProgress batch;
    ASSERT_EQ(uploadFile(rig.phone(), rig.local("mma_temp"), kMenuPath), 5);
    ASSERT_EQ(uploadFileInBatch(rig.phone(), rig.local("mma_temp"), kMenuPath, batch), 5);
    const auto sent = rig.commands();
    ASSERT_EQ(sent.size(), 8u);
    EXPECT_EQ(sent[0].bytes.size(), 33u);
    EXPECT_EQ(sent[4].bytes.size(), 32u);
    EXPECT_EQ(sent[4].bytes, openRequest(kMenuPath, false));
}

TEST(uploadFileInBatch, CaptionsAndTheUnlimitedLastTotal)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("x.bin"), patternBytes(1500));
    RecordingProgress batch;
    batch.batchTotal = 3000;

    ASSERT_EQ(uploadFileInBatch(rig.phone(), rig.local("x.bin"), "/a/x.bin", batch), 1500);
    EXPECT_EQ(batch.events(), (std::vector<std::string>{
                                  "caption Uploading x.bin 0% (Total 0%)",
                                  "bar1 68", "bar2 34", "caption Uploading x.bin 68% (Total 34%)",
                                  "bar1 100", "bar2 50", "caption Uploading x.bin 100% (Total 50%)"}));
    EXPECT_EQ(rig.logLines()[0], "[P2KGroupWrite] Enter /a/x.bin");

    // A batch total smaller than what was sent: blocks stop at 100, the remainder does not.
    RecordingProgress small;
    small.batchTotal = 1000;
    ASSERT_EQ(uploadFileInBatch(rig.phone(), rig.local("x.bin"), "/a/x.bin", small), 1500);
    EXPECT_EQ(small.caption(), "Uploading x.bin 100% (Total 150%)");
    EXPECT_EQ(small.bar(1), 150);
    EXPECT_EQ(small.bytesDone, 1500u);
}

TEST(uploadFile, EmptyFileSendsOpenSeekCloseAndLeavesAnEmptyPhoneFile)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("empty"), {});
    rig.putPhoneFile("/a/empty", patternBytes(100));

    EXPECT_EQ(uploadFile(rig.phone(), rig.local("empty"), "/a/empty"), 0);
    EXPECT_EQ(rig.commands().size(), 3u);
    EXPECT_TRUE(readBytes(rig.phoneFile("/a/empty")).empty());
}

TEST(uploadFile, FailedSeekEndsWithoutDataOrClose)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("f"), patternBytes(100));
    writeBytes(rig.local("empty"), {});
    rig.api->addTrap(PhoneCall::SendCmd, 1, VirtualPhone::TrapAction::Fail, kFsacSeek);
    EXPECT_EQ(uploadFile(rig.phone(), rig.local("f"), "/a/f"), -1);
    EXPECT_EQ(rig.commands().size(), 2u);
    EXPECT_EQ(rig.progress.opened(), 0);

    // An empty file whose seek failed was not sent either.
    rig.api->addTrap(PhoneCall::SendCmd, 1, VirtualPhone::TrapAction::Fail, kFsacSeek);
    EXPECT_EQ(uploadFile(rig.phone(), rig.local("empty"), "/a/empty"), -1);
    EXPECT_FALSE(std::filesystem::exists(rig.phoneFile("/a/empty")));
}

TEST(uploadFile, FailedBlockStopsBeforeTheRemainder)
{
    VirtualPhoneRig rig;
    rig.connect();
    const Bytes content = patternBytes(2500);
    writeBytes(rig.local("f"), content);
    rig.api->addTrap(PhoneCall::SendCmd, 2, VirtualPhone::TrapAction::Fail, kFsacWrite);

    EXPECT_EQ(uploadFile(rig.phone(), rig.local("f"), "/a/f"), -1);
    // open, seek, block 1, failed block 2, close: no remainder written out of place.
    const auto sent = rig.commands();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[4].bytes, kClose);
    EXPECT_EQ(readBytes(rig.phoneFile("/a/f")), Bytes(content.begin(), content.begin() + 1024));
}

TEST(uploadFile, FailedRemainderGivesMinusOne)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("f"), patternBytes(1500));
    rig.api->addTrap(PhoneCall::SendCmd, 2, VirtualPhone::TrapAction::Fail, kFsacWrite);
    EXPECT_EQ(uploadFile(rig.phone(), rig.local("f"), "/a/f"), -1);
    EXPECT_EQ(rig.logLines()[4], "[P2KFileWrite] Send command FSAC (0x0002) RC=-1 bytes sent=484");
}

TEST(uploadFile, UnpluggedMidTransfer)
{
    VirtualPhoneRig rig;
    rig.connect();
    writeBytes(rig.local("f"), patternBytes(4000));
    rig.api->addTrap(PhoneCall::SendCmd, 2, VirtualPhone::TrapAction::Unplug, kFsacWrite);

    EXPECT_EQ(uploadFile(rig.phone(), rig.local("f"), "/a/f"), -1);
    EXPECT_FALSE(rig.api->isPlugged());
    EXPECT_EQ(rig.logLines().back(), "[P2KFileWrite] Send command FSAC (0x0004) RC=-1");
    EXPECT_EQ(rig.progress.alive(), 0);
}

TEST(uploadFile, MissingLocalFileIsReportedBeforeAnyRequest)
{
    VirtualPhoneRig rig;
    rig.connect();
    EXPECT_EQ(uploadFile(rig.phone(), rig.local("absent"), "/a/f"), -1);
    EXPECT_TRUE(rig.commands().empty());
    EXPECT_EQ(rig.prompter.texts(), (std::vector<std::string>{"Cannot open " + rig.local("absent")}));
}

TEST(Transfers, WriteThenReadRoundTrip)
{
    VirtualPhoneRig rig;
    rig.connect();
    for (const int size : {1, 1023, 1024, 1025, 2048, 3073, 20216}) {
        const Bytes content = patternBytes(size_t(size));
        writeBytes(rig.local("up"), content);
        ASSERT_EQ(uploadFile(rig.phone(), rig.local("up"), "/b/round"), size);
        ASSERT_EQ(downloadFile(rig.phone(), "/b/round", rig.local("down"), size), size);
        EXPECT_EQ(readBytes(rig.local("down")), content) << size;
    }
}

// ---- attributes -------------------------------------------------------------------------

TEST(setPhoneAttributes, LogsAndReturnsTheCloseResult)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile(kMenuPath, patternBytes(10));

    EXPECT_EQ(setPhoneAttributes(rig.phone(), kMenuPath, 4), 0);
    EXPECT_EQ(setPhoneAttributes(rig.phone(), "/a/none", 1), -1);
    EXPECT_EQ(rig.logLines(), (std::vector<std::string>{"Set attribute 4 to " + kMenuPath + " RC=0",
                                                        "Set attribute 1 to /a/none RC=-1"}));
    const auto calls = rig.api->requests();
    ASSERT_EQ(calls.size(), 3u); // create, close; create (no close after a failure)
    EXPECT_EQ(calls[1].call, PhoneCall::FileClose);
    EXPECT_EQ(calls[2].call, PhoneCall::FileCreate);
}

// ---- cancelling from the progress window ------------------------------------------------

struct CancelCase {
    const char* name;
    bool upload;
    bool batch;
    int barsBeforeCancel; // one bar per block in the single window, two in the double one
    const char* lastLogLine;
};

class CancelledTransfer : public ::testing::TestWithParam<CancelCase> {};

TEST_P(CancelledTransfer, StopsAfterTheFirstBlockAndLeavesNothingPartial)
{
    const CancelCase& c = GetParam();
    VirtualPhoneRig rig;
    rig.connect();
    const Bytes content = patternBytes(5000);
    RecordingProgress batch;
    batch.batchTotal = 5000;
    batch.cancelAfterBars(c.barsBeforeCancel);
    rig.progress.cancelAfterBars(c.barsBeforeCancel);

    int result = 0;
    if (c.upload) {
        writeBytes(rig.local("up.bin"), content);
        result = c.batch ? uploadFileInBatch(rig.phone(), rig.local("up.bin"), "/a/up.bin", batch)
                         : uploadFile(rig.phone(), rig.local("up.bin"), "/a/up.bin");
        // The part that reached the phone is deleted again.
        EXPECT_FALSE(std::filesystem::exists(rig.phoneFile("/a/up.bin")));
        ASSERT_FALSE(rig.api->requests().empty());
        EXPECT_EQ(rig.api->requests().back().call, PhoneCall::FileDelete);
        EXPECT_EQ(rig.api->requests().back().text, "/a/up.bin");
    } else {
        rig.putPhoneFile("/a/f", content);
        writeBytes(rig.local("f"), {7, 7});
        result = c.batch ? downloadFileInBatch(rig.phone(), "/a/f", rig.local("f"), 5000, batch)
                         : downloadFile(rig.phone(), "/a/f", rig.local("f"), 5000);
        // The older local file stays as it was and no temporary file is left beside it.
        EXPECT_EQ(readBytes(rig.local("f")), (Bytes{7, 7}));
        for (const auto& entry : std::filesystem::directory_iterator(rig.local("")))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".f.tmp")) << entry.path();
    }
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(rig.phone().cancelled);
    // Open, seek, one block, close: nothing after the block in progress.
    const auto sent = rig.commands();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[3].bytes, kClose);
    EXPECT_EQ(rig.logLines().back(), c.lastLogLine);
    // A cancel is the user's own choice: no error message follows it.
    EXPECT_TRUE(rig.prompter.prompts.empty());
    EXPECT_EQ(rig.progress.alive(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CancelledTransfer,
    ::testing::Values(
        CancelCase{"Download", false, false, 1, "[P2KFileRead] Download cancelled, nothing kept of /a/f"},
        CancelCase{"GroupDownload", false, true, 2, "[P2KGroupRead] Download cancelled, nothing kept of /a/f"},
        CancelCase{"Upload", true, false, 1, "[P2KFileWrite] Upload cancelled, File_Delete /a/up.bin RC=0"},
        CancelCase{"GroupUpload", true, true, 2,
                   "[P2KGroupWrite] Upload cancelled, File_Delete /a/up.bin RC=0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CancelledTransfer, NextTransferStartsUncancelled)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/f", patternBytes(3000));
    rig.progress.cancelAfterBars(1);
    ASSERT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), 3000), -1);
    rig.progress.cancelAfterBars(-1);
    EXPECT_EQ(downloadFile(rig.phone(), "/a/f", rig.local("f"), 3000), 3000);
    EXPECT_FALSE(rig.phone().cancelled);
}

} // namespace
} // namespace tessaro::testing
