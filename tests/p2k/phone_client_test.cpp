// The phone client over the virtual phone: the log lines each operation writes, and what its
// failure says when the phone refuses and when the phone is pulled out during the call.

#include "p2k/phone_client.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "p2k/phone_file_transfer.h"
#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

using Lines = std::vector<std::string>;

template <typename T>
Status statusOf(const Result<T>& result)
{
    if (!result)
        return result.failure();
    return Status::success();
}

// A virtual phone whose link follows the phone as it is plugged in and pulled out, as the
// connection monitor keeps it.
struct ClientRig : VirtualPhoneRig {
    ClientRig()
    {
        api->P2K_Init([this](int connected) {
            link.connected = connected != 0;
            return connected;
        });
        connect();
        putPhoneFile("/a/f.bin", patternBytes(10));
        std::filesystem::create_directories(phoneFile("/a/empty"));
        std::filesystem::create_directories(phoneDir() / "seem");
        writeBytes(phoneDir() / "seem" / "0032_0001.seem", {1, 2, 3});
        api->clearRequests();
    }
    PhoneClient& client() { return phone().client; }
};

struct Operation {
    const char* name;
    std::function<Status(PhoneClient&)> run;
    PhoneCall call;               // the library call the phone refuses or dies in
    std::optional<uint32_t> fsac; // the FSAC request among the P2K_SendCMD calls
    Lines log;                    // the lines when the phone carries it out
    Lines refusedLog;             // the lines when it refuses
    std::string error;
};

Status openForDownload(PhoneClient& client)
{
    PhoneFileTransfer transfer(client, "/a/f.bin", TransferKind::Download, "Error reading /a/f.bin");
    return transfer.open(0);
}

Status readInABatch(PhoneClient& client)
{
    PhoneFileTransfer transfer(client, "/a/f.bin", TransferKind::BatchDownload, "Error reading /a/f.bin");
    if (Status opened = transfer.open(0); !opened)
        return opened;
    return statusOf(transfer.read(4));
}

Status writeAndClose(PhoneClient& client)
{
    PhoneFileTransfer transfer(client, "/a/up.bin", TransferKind::Upload, "Error writing /a/up.bin");
    if (Status opened = transfer.open(0); !opened)
        return opened;
    const uint8_t bytes[3] = {7, 8, 9};
    if (Status written = transfer.write(bytes); !written)
        return written;
    return transfer.close();
}

Status countAndList(PhoneClient& client)
{
    const auto counted = client.countFiles("/a/*.bin", ListingLog::AllFiles);
    if (!counted)
        return counted.failure();
    return statusOf(client.listFiles(*counted, ListingLog::AllFiles, nullptr));
}

const std::vector<Operation>& operations()
{
    static const std::vector<Operation> table = {
        {"deleteFile",
         [](PhoneClient& c) { return c.deleteFile("/a/f.bin"); },
         PhoneCall::FileDelete,
         {},
         {"[DeleteFile] File_Delete /a/f.bin RC=0"},
         {"[DeleteFile] File_Delete /a/f.bin RC=-1"},
         "Error deleting /a/f.bin"},
        {"createFolder",
         [](PhoneClient& c) { return c.createFolder("/a/new"); },
         PhoneCall::FileCreateDir,
         {},
         {"[CreateFolder] File_CreateDir /a/new RC=0"},
         {"[CreateFolder] File_CreateDir /a/new RC=-1"},
         "Error creating /a/new"},
        {"deleteFolder",
         [](PhoneClient& c) { return c.deleteFolder("/a/empty"); },
         PhoneCall::FileDeleteDir,
         {},
         {"[DeleteFolder] File_DeleteDir /a/empty RC=0"},
         {"[DeleteFolder] File_DeleteDir /a/empty RC=-1"},
         "Error deleting /a/empty"},
        {"setAttributes",
         [](PhoneClient& c) { return c.setAttributes("/a/f.bin", 4); },
         PhoneCall::FileCreate,
         {},
         {"Set attribute 4 to /a/f.bin RC=0"},
         {"Set attribute 4 to /a/f.bin RC=-1"},
         "Error changing attributes for /a/f.bin"},
        {"findFile",
         [](PhoneClient& c) { return statusOf(c.findFile("/a/f.bin")); },
         PhoneCall::FileListEx,
         {},
         {"[FindFile] FileCountEx /a/* RC=1", "[FindFile] FileListEx RC=0"},
         {"[FindFile] FileCountEx /a/* RC=1", "[FindFile] FileListEx RC=-1"},
         "Error reading /a/f.bin"},
        {"countFiles",
         [](PhoneClient& c) { return statusOf(c.countFiles("/a/*.bin", ListingLog::Icons)); },
         PhoneCall::FileCountEx,
         {},
         {"[GetIconList] FileCountEx  RC=1"},
         {"[GetIconList] FileCountEx  RC=-1"},
         "Error reading /a/*.bin"},
        {"listFiles",
         countAndList,
         PhoneCall::FileListEx,
         {},
         {"[GetFileList] FileCountEx  RC=1", "[ProgressProc] completion=1 of 1", "[GetFileList] FileListEx  RC=0"},
         {"[GetFileList] FileCountEx  RC=1", "[GetFileList] FileListEx  RC=-1"},
         "Error reading /a/*.bin"},
        {"queryVolumes",
         [](PhoneClient& c) { return statusOf(c.queryVolumes()); },
         PhoneCall::SendCmd,
         kFsacVolumes,
         {},
         {},
         "Error getting volume info"},
        {"queryVolumes for icons",
         [](PhoneClient& c) { return statusOf(c.queryVolumes(ListingLog::Icons)); },
         PhoneCall::SendCmd,
         kFsacVolumes,
         {"[GetIconList] Get volume info RC=0"},
         {"[GetIconList] Get volume info RC=-1"},
         "Error getting volume info"},
        {"queryVolumes for all files",
         [](PhoneClient& c) { return statusOf(c.queryVolumes(ListingLog::AllFiles)); },
         PhoneCall::SendCmd,
         kFsacVolumes,
         {"[GetFileList] Get volume info  RC=0"},
         {"[GetFileList] Get volume info  RC=-1"},
         "Error getting volume info"},
        {"freeSpace",
         [](PhoneClient& c) { return statusOf(c.freeSpace('a')); },
         PhoneCall::SendCmd,
         kFsacFreeSpace,
         {"[FreeSpace] /a RC=0"},
         {"[FreeSpace] /a RC=-1"},
         "Error getting free space of volume /a"},
        {"readIdentitySeem",
         [](PhoneClient& c) { return statusOf(c.readIdentitySeem(0x0117)); },
         PhoneCall::SeemRead,
         {},
         {"Read SEEM 279_1 RC=10"},
         {"Read SEEM 279_1 RC=-1"},
         "Error reading SEEM"},
        {"readSeem",
         [](PhoneClient& c) { return statusOf(c.readSeem(0x0032, 1)); },
         PhoneCall::SeemRead,
         {},
         {},
         {},
         "Error reading SEEM"},
        {"writeSeem",
         [](PhoneClient& c) {
             return c.writeSeem(0x0032, 1, std::vector<uint8_t>{4, 5, 6});
         },
         PhoneCall::SeemWrite,
         {},
         {},
         {},
         "Error writing SEEM"},
        {"readFirmwareVersion",
         [](PhoneClient& c) { return statusOf(c.readFirmwareVersion()); },
         PhoneCall::SendCmd,
         {},
         {"[GetFWVersion] Send command VERSION (0xFFFF)  RC=0"},
         {"[GetFWVersion] Send command VERSION (0xFFFF)  RC=-1"},
         "Error reading the firmware version"},
        {"readLpVersion",
         [](PhoneClient& c) { return statusOf(c.readLpVersion()); },
         PhoneCall::SendCmd,
         {},
         {"[GetLPVersion] Send command VERSION (0x0004)  RC=0"},
         {"[GetLPVersion] Send command VERSION (0x0004)  RC=-1"},
         "Error reading the LP version"},
        {"restart",
         [](PhoneClient& c) { return c.restart(); },
         PhoneCall::Restart,
         {},
         {"Phone is restarted"},
         {"Phone is restarted"},
         "Error restarting the phone"},
        {"open for a download",
         openForDownload,
         PhoneCall::SendCmd,
         kFsacOpen,
         {"[P2KFileRead] Enter /a/f.bin", "[P2KFileRead] Send command FSAC (0x0000) RC=0"},
         {"[P2KFileRead] Enter /a/f.bin", "[P2KFileRead] Send command FSAC (0x0000) RC=-1"},
         "Error reading /a/f.bin"},
        {"read in a batch",
         readInABatch,
         PhoneCall::SendCmd,
         kFsacRead,
         {"[P2KGroupRead] Enter /a/f.bin", "[P2KGroupRead] Send command FSAC (0x0000) RC=0",
          "[P2KGroupRead] Send command FSAC (0x0001) RC=0 bytes received4"},
         {"[P2KGroupRead] Enter /a/f.bin", "[P2KGroupRead] Send command FSAC (0x0000) RC=0",
          "[P2KGroupRead] Send command FSAC (0x0001) RC=-1 bytes received0"},
         "Error reading /a/f.bin"},
        {"write and close",
         writeAndClose,
         PhoneCall::SendCmd,
         kFsacClose,
         {"[P2KFileWrite] Enter /a/up.bin", "[P2KFileWrite] Send command FSAC (0x0000) RC=0",
          "[P2KFileWrite] Send command FSAC (0x0002) RC=0 bytes sent=11",
          "[P2KFileWrite] Send command FSAC (0x0004) RC=0"},
         {"[P2KFileWrite] Enter /a/up.bin", "[P2KFileWrite] Send command FSAC (0x0000) RC=0",
          "[P2KFileWrite] Send command FSAC (0x0002) RC=0 bytes sent=11",
          "[P2KFileWrite] Send command FSAC (0x0004) RC=-1"},
         "Error writing /a/up.bin"},
    };
    return table;
}

TEST(PhoneClient, EachOperationLogsItsLinesAndTellsARefusalFromAPhoneThatIsGone)
{
    for (const Operation& op : operations()) {
        SCOPED_TRACE(op.name);
        {
            ClientRig rig;
            const Status done = op.run(rig.client());
            EXPECT_TRUE(done) << done.error();
            EXPECT_EQ(rig.logLines(), op.log);
        }
        {
            ClientRig rig;
            rig.api->addTrap(op.call, 1, RecordingPhone::TrapAction::Fail, op.fsac);
            const Status refused = op.run(rig.client());
            EXPECT_EQ(refused.failure().kind, ErrorKind::PhoneRefused);
            EXPECT_EQ(refused.error(), op.error);
            EXPECT_EQ(rig.logLines(), op.refusedLog);
        }
        {
            ClientRig rig;
            rig.api->addTrap(op.call, 1, RecordingPhone::TrapAction::Unplug, op.fsac);
            const Status gone = op.run(rig.client());
            EXPECT_FALSE(rig.link.connected);
            EXPECT_EQ(gone.failure().kind, ErrorKind::PhoneGone);
            EXPECT_EQ(gone.error(), op.error);
        }
    }
}

TEST(PhoneClient, NotesWithoutARequest)
{
    ClientRig rig;
    rig.client().logConnection(true);
    rig.client().logListingCancelled(ListingLog::Masked);
    PhoneFileTransfer download(rig.client(), "/a/f.bin", TransferKind::BatchDownload, "");
    download.logDownloadCancelled();
    PhoneFileTransfer upload(rig.client(), "/a/f.bin", TransferKind::BatchUpload, "");
    upload.logPuttingBack(true);
    upload.logPuttingBack(false);
    ASSERT_TRUE(upload.deleteCancelledUpload());
    rig.client().logConnection(false);
    EXPECT_EQ(rig.logLines(),
              (Lines{"Phone connected", "[GetMaskedList] Listing cancelled",
                     "[P2KGroupRead] Download cancelled, nothing kept of /a/f.bin",
                     "[P2KGroupWrite] Upload cancelled, putting back /a/f.bin",
                     "[P2KGroupWrite] Upload failed, putting back /a/f.bin",
                     "[P2KGroupWrite] Upload cancelled, File_Delete /a/f.bin RC=0", "Phone disconnected"}));
    EXPECT_TRUE(rig.api->requests().size() == 1 && rig.api->requests()[0].call == PhoneCall::FileDelete);
}

TEST(PhoneClient, AnswersAreReadAsThePhoneGivesThem)
{
    ClientRig rig;
    const auto found = rig.client().findFile("/a/f.bin");
    ASSERT_TRUE(found);
    ASSERT_TRUE(found->has_value());
    EXPECT_EQ(**found, (PhoneFileEntry{10, 0, 0, "/a/f.bin"}));
    const auto missing = rig.client().findFile("/a/none.bin");
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->has_value());

    EXPECT_EQ(*rig.client().readSeem(0x0032, 1), (std::vector<uint8_t>{1, 2, 3}));
    ASSERT_TRUE(rig.client().writeSeem(0x0032, 1, std::vector<uint8_t>{9}));
    EXPECT_EQ(*rig.client().readSeem(0x0032, 1), std::vector<uint8_t>{9});
    EXPECT_EQ(*rig.client().readFirmwareVersion(), "R373_G_0E.30.49R");
    EXPECT_EQ(*rig.client().readLpVersion(), 0x1234);
    // A record longer than the buffer is refused before anything is sent.
    rig.api->clearRequests();
    EXPECT_EQ(rig.client().writeSeem(0x0032, 1, std::vector<uint8_t>(kSeemBufferSize + 1)).failure().kind,
              ErrorKind::Refused);
    EXPECT_TRUE(rig.api->requests().empty());
}

} // namespace
} // namespace tessaro::testing
