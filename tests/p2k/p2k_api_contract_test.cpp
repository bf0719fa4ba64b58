// What every P2kApi backend must do, run on each backend: the virtual phone plugged in, the
// virtual phone unplugged, the USB phone over each kind of simulated phone, and the no-phone
// default (the USB phone through libusb on the fake USB bus runs it in tests/usb). A backend without a phone fails every
// call but P2K_Init; one with a phone answers as the phone link relies on.

#include <gtest/gtest.h>

#include "core/bytes.h"
#include "p2k/p2k_framing.h"
#include "phone/transfer.h"

#include "p2k/no_phone.h"
#include "p2k/usb_phone.h"
#include "usbsim/simulated_usb_link.h"
#include "p2k/p2k_api_contract.h"

namespace tessaro::testing {
namespace {

// The phone operations over the backend under test, its phone connected.
struct ConnectedPhone {
    ConnectedPhone(P2kApi& api, const TempDir& folder)
        : phone{api, link, log, progress, prompter, (folder.path() / "").string()}
    {
        link.connected = true;
    }
    PhoneLinkState link;
    OperationLog log;
    RecordingProgressFactory progress;
    RecordingPrompter prompter;
    PhoneContext phone;
};

TEST_P(P2kApiContract, StatusCallbackTellsWhetherAPhoneIsThere)
{
    if (GetParam().hasPhone)
        EXPECT_EQ(statusCalls, std::vector<int>{1});
    else
        EXPECT_TRUE(statusCalls.empty());
}

TEST_P(P2kApiContract, RepliesNeverExceedWhatWasWanted)
{
    // A reply buffer with guard bytes after the two wanted.
    Bytes reply(64, 0xEE);
    int wanted = 2;
    const Bytes firmware = {0xFF, 0xFF};
    const int rc = api->P2K_SendCMD(kCmdVersion, firmware.data(), 2, reply.data(), &wanted);
    EXPECT_GE(wanted, 0);
    EXPECT_LE(wanted, 2);
    EXPECT_EQ(Bytes(reply.begin() + 2, reply.end()), Bytes(62, 0xEE));
    EXPECT_EQ(rc == -1, !GetParam().hasPhone);

    wanted = 0;
    EXPECT_EQ(fsac({0, 0, 0, 0x0A}, reply.data(), &wanted) == -1, !GetParam().hasPhone);
    EXPECT_EQ(wanted, 0);
    EXPECT_EQ(Bytes(reply.begin() + 2, reply.end()), Bytes(62, 0xEE));
}

TEST_P(P2kApiContract, FileListFillsExactlyTheEntriesAskedFor)
{
    const int n = api->File_CountEx("/a/*.gif");
    Bytes entries(3 * 512, 0xEE);
    if (!GetParam().hasPhone) {
        EXPECT_EQ(n, -1);
        EXPECT_EQ(api->File_ListEx(entries.data(), 1, nullptr), -1);
        EXPECT_EQ(entries, Bytes(3 * 512, 0xEE));
        return;
    }
    ASSERT_EQ(n, 1);
    int progressCalls = 0;
    bool returned = false;
    ASSERT_EQ(api->File_ListEx(entries.data(), 2, [&](int, int done, int total) {
        progressCalls++;
        EXPECT_LE(done, total);
        // Progress arrives on the calling thread, before the call returns.
        EXPECT_EQ(std::this_thread::get_id(), callingThread);
        EXPECT_FALSE(returned);
    }), 0);
    returned = true;
    EXPECT_GE(progressCalls, 1);
    EXPECT_EQ(Bytes(entries.begin() + 1024, entries.end()), Bytes(512, 0xEE));
    EXPECT_EQ(readLE32(entries.data()), 1500u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entries.data() + 8)), "/a/mobile/f.gif");
}

TEST_P(P2kApiContract, FsacWriteThenReadGivesTheBytesBack)
{
    const std::string path = "/a/mobile/new.bin";
    Bytes open = {0, 0, 0, 0, 0, 0, 0, 0};
    open.insert(open.end(), path.begin(), path.end());
    const Bytes seek0 = {0, 0, 0, 3, 0, 0, 0, 0, 0};
    const Bytes write = {0, 0, 0, 2, 0, 0, 0, 3, 'a', 'b', 'c'};
    const Bytes read = {0, 0, 0, 1, 0, 0, 4, 0};
    const Bytes close = {0, 0, 0, 4};
    uint8_t reply[1024];
    int none = 0;
    const int expected = GetParam().hasPhone ? 0 : -1;

    EXPECT_EQ(fsac(open, reply, &none), expected);
    EXPECT_EQ(fsac(seek0, reply, &none), expected);
    EXPECT_EQ(fsac(write, reply, &none), expected);
    EXPECT_EQ(fsac(close, reply, &none), expected);

    EXPECT_EQ(fsac(open, reply, &none), expected);
    EXPECT_EQ(fsac(seek0, reply, &none), expected);
    int wanted = 1024;
    EXPECT_EQ(fsac(read, reply, &wanted), expected);
    if (GetParam().hasPhone) {
        EXPECT_EQ(Bytes(reply, reply + wanted), (Bytes{'a', 'b', 'c'}));
        // Nothing is there to read at the end: a phone refuses such a read.
        wanted = 1024;
        EXPECT_EQ(fsac(read, reply, &wanted), -1);
    }
    EXPECT_EQ(fsac(close, reply, &none), expected);
}

TEST_P(P2kApiContract, EveryFileTravelsExactlyAndKeepsItsAttributes)
{
    if (!GetParam().hasPhone)
        GTEST_SKIP() << "no phone";
    ConnectedPhone connected(*api, temp);
    PhoneContext& phone = connected.phone;
    // Empty, a lone 0x08, around the 1024-byte block, ending in 0x08, and a large file.
    for (const auto& [size, endsIn08] : std::vector<std::pair<size_t, bool>>{
             {0, false}, {1, true}, {1023, false}, {1024, false}, {1025, true}, {2048, true}, {20216, false}}) {
        SCOPED_TRACE(size);
        Bytes content = patternBytes(size);
        if (endsIn08)
            content.back() = 0x08;
        const std::string path = "/a/mobile/f" + std::to_string(size);
        writeBytes(temp.path() / "up", content);
        ASSERT_TRUE(uploadFile(phone, (temp.path() / "up").string(), path));
        ASSERT_TRUE(phone.client.setAttributes(path, 5));
        ASSERT_TRUE(downloadFile(phone, path, (temp.path() / "down").string(), "Reading"));
        EXPECT_EQ(readBytes(temp.path() / "down"), content);
        const auto entry = findPhoneFile(phone, path);
        ASSERT_TRUE(entry.ok()) << entry.error();
        EXPECT_EQ(entry->size, size);
        EXPECT_EQ(entry->attributes, 5);
    }
}

TEST_P(P2kApiContract, AnyPathThePhoneHoldsTravelsAndIsWrittenOver)
{
    if (!GetParam().hasPhone)
        GTEST_SKIP() << "no phone";
    ConnectedPhone connected(*api, temp);
    PhoneContext& phone = connected.phone;
    // A folder too long for a count request of its own, and names a mask would misread.
    const std::string deep = "/a/" + std::string(60, 'd') + "/" + std::string(64, 'e') + "/";
    ASSERT_EQ(api->File_CreateDir(deep.substr(0, 63), 0), 0);
    ASSERT_EQ(api->File_CreateDir(deep.substr(0, deep.size() - 1), 0), 0);
    const std::vector<std::string> paths = {deep + std::string(150 - deep.size(), 'f'), "/a/mobile/x[1].gif",
                                            "/a/mobile/*", "/a/mobile/a?b"};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        ASSERT_EQ(path == paths[0], path.size() == 150);
        writeBytes(temp.path() / "up", patternBytes(1500));
        ASSERT_TRUE(uploadFile(phone, (temp.path() / "up").string(), path));
        // Over the file: shorter, so a tail the phone kept would show.
        writeBytes(temp.path() / "up", patternBytes(700));
        UploadReport report;
        const Status over = uploadFile(phone, (temp.path() / "up").string(), path, nullptr, &report);
        ASSERT_TRUE(over.ok()) << over.error();
        EXPECT_EQ(readBytes(report.backup), patternBytes(1500));
        ASSERT_TRUE(downloadFile(phone, path, (temp.path() / "down").string(), "Reading"));
        EXPECT_EQ(readBytes(temp.path() / "down"), patternBytes(700));
    }
    // The neighbour the masks would have matched is untouched.
    const auto gif = findPhoneFile(phone, "/a/mobile/f.gif");
    ASSERT_TRUE(gif.ok()) << gif.error();
    EXPECT_EQ(gif->size, 1500u);
}

TEST_P(P2kApiContract, FilesAndFoldersOnlyWithAPhone)
{
    const int expected = GetParam().hasPhone ? 0 : -1;
    EXPECT_EQ(api->File_CreateDir("/a/newdir", 0), expected);
    EXPECT_EQ(api->File_Create("/a/mobile/f.gif", 4), expected);
    EXPECT_EQ(api->File_Close(), expected);
    EXPECT_EQ(api->File_Delete("/a/mobile/f.gif"), expected);
    EXPECT_EQ(api->File_DeleteDir("/a/newdir"), expected);
    // Failures that every phone reports the same way.
    EXPECT_EQ(api->File_Delete("/a/mobile/f.gif"), -1);
    EXPECT_EQ(api->File_DeleteDir("/a/newdir"), -1);
    EXPECT_EQ(api->File_Close(), -1);
}

TEST_P(P2kApiContract, SeemRecordsOfTheIdentity)
{
    std::vector<uint8_t> buffer(kSeemBufferSize, 0xEE);
    const int rc = api->Seem_Read(0x0004, 1, 0, 0, buffer.data(), kSeemBufferSize);
    if (!GetParam().hasPhone) {
        EXPECT_EQ(rc, -1);
        EXPECT_EQ(api->Seem_Write(0x0032, 1, 0, 0, buffer.data()), -1);
        return;
    }
    ASSERT_EQ(rc, 9);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 9),
              (Bytes{0x08, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43}));
    EXPECT_EQ(buffer[9], 0xEE);
    const Bytes record = {1, 2, 3};
    ASSERT_EQ(api->Seem_Write(0x0032, 1, 0, 3, record.data()), 0);
    EXPECT_EQ(api->Seem_Read(0x0032, 1, 0, 0, buffer.data(), kSeemBufferSize), 3);
}

TEST_P(P2kApiContract, SeemRecordLongerThanTheBufferIsRefused)
{
    // The IMEI record holds 9 bytes; a buffer of 8 cannot take it.
    std::vector<uint8_t> buffer(16, 0xEE);
    EXPECT_EQ(api->Seem_Read(0x0004, 1, 0, 0, buffer.data(), 8), -1);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 8, buffer.end()), std::vector<uint8_t>(8, 0xEE));
    EXPECT_EQ(api->Seem_Read(0x0004, 1, 0, 0, buffer.data(), 9), GetParam().hasPhone ? 9 : -1);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 9, buffer.end()), std::vector<uint8_t>(7, 0xEE));
}

TEST_P(P2kApiContract, FreeSpaceOfAVolume)
{
    // Volume /a of the folder's file system: four bytes, big-endian.
    uint8_t reply[8] = {};
    int wanted = 4;
    const Bytes request = renderFreeSpaceRequest('a');
    EXPECT_EQ(fsac(request, reply, &wanted) == -1, !GetParam().hasPhone);
    if (GetParam().hasPhone) {
        EXPECT_EQ(wanted, 4);
        EXPECT_GT(readBE32(reply), 0u);
        wanted = 4;
        EXPECT_EQ(fsac(renderFreeSpaceRequest('q'), reply, &wanted), -1);   // no such volume
    }
}

TEST_P(P2kApiContract, RestartOnlyWithAPhone)
{
    EXPECT_EQ(api->P2K_Restart() == -1, !GetParam().hasPhone);
}

#ifndef TESSARO_CONTRACT_SUITE_ONLY
// The USB phone over a simulated phone on a simulated bus, keeping the phone's storage alive
// until the USB phone is gone.
struct SimulatedStorage {
    std::unique_ptr<VirtualPhone> storage;
};
class UsbSimulatedPhone : private SimulatedStorage, public UsbPhone {
public:
    // `plugged`: the simulated phone on the bus; null for none.
    UsbSimulatedPhone(std::unique_ptr<VirtualPhone> phone, std::unique_ptr<SimulatedUsbLink> link,
                      const SimulatedPhoneOptions* plugged)
        : SimulatedStorage{std::move(phone)}, UsbPhone(plug(*storage, std::move(link), plugged))
    {
    }

private:
    static std::unique_ptr<UsbLink> plug(VirtualPhone& storage, std::unique_ptr<SimulatedUsbLink> link,
                                         const SimulatedPhoneOptions* plugged)
    {
        if (plugged)
            link->plug(std::make_shared<SimulatedP2kPhone>(storage, *plugged));
        return link;
    }
};

std::unique_ptr<P2kApi> usbSimulated(const std::filesystem::path& dir, const SimulatedPhoneOptions* plugged)
{
    auto phone = virtualPhone(dir, false);
    std::unique_ptr<VirtualPhone> storage(static_cast<VirtualPhone*>(phone.release()));
    return std::make_unique<UsbSimulatedPhone>(std::move(storage), std::make_unique<SimulatedUsbLink>(), plugged);
}

// The virtual phone, the USB phone over each kind of simulated phone, and the phone-less ones.
std::vector<Backend> backends()
{
    std::vector<Backend> out = {
        {"VirtualPhonePlugged", [](const auto& dir) { return virtualPhone(dir, true); }, true},
        {"VirtualPhoneUnplugged", [](const auto& dir) { return virtualPhone(dir, false); }, false}};
    for (const PhoneKind& kind : phoneKinds())
        out.push_back({std::string("UsbSimulated") + kind.name,
                       [options = kind.options](const auto& dir) { return usbSimulated(dir, &options); }, true});
    out.push_back({"UsbSimulatedNoPhone", [](const auto& dir) { return usbSimulated(dir, nullptr); }, false});
    out.push_back({"NoPhone", [](const auto&) -> std::unique_ptr<P2kApi> { return std::make_unique<NoPhone>(); }, false});
    return out;
}

INSTANTIATE_TEST_SUITE_P(Backends, P2kApiContract, ::testing::ValuesIn(backends()),
                         [](const auto& info) { return info.param.name; });
#endif

} // namespace
} // namespace tessaro::testing
