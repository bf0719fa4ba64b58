// The USB phone over a simulated phone on a simulated bus, classic and bulk: the request bytes
// of every operation, replies that fail their checks, a phone pulled out mid-call, a phone in
// AT mode, devices that cannot be looked at or opened, and file transfers of awkward sizes.

#include "p2k/usb_phone.h"

#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>

#include "core/bytes.h"
#include "p2k/p2k_framing.h"
#include "phone/transfer.h"
#include "support/virtual_phone_rig.h"
#include "usbsim/simulated_usb_link.h"

namespace tessaro::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

Bytes bytesOf(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A virtual phone's storage behind a simulated USB phone, and the USB phone over it.
class UsbRig {
public:
    explicit UsbRig(SimulatedPhoneOptions phoneOptions = {.testCommandInterface = 5},
                    SimulatedUsbLink::Options linkOptions = {}, bool plugged = true)
        : storage_(PhoneSpec{}), phoneOptions_(phoneOptions)
    {
        storage_.connect();
        auto link = std::make_unique<SimulatedUsbLink>(linkOptions);
        bus = link.get();
        if (plugged)
            plugPhone(phoneOptions);
        // Short bounds so a missing reply ends the call at once and a failed look is soon
        // tried again.
        usb = std::make_unique<UsbPhone>(std::move(link), UsbPhone::Options{200, 50, 10, 20, 80});
        usb->setDiagnostics([this](const std::string& line) { record(diagnostics_, line); });
        usb->setNotice([this](const std::string& line) { record(notices_, line); });
        context = std::make_unique<PhoneContext>(PhoneContext{*usb, storage_.link, storage_.log, storage_.progress,
                                                              storage_.prompter, storage_.local("")});
    }
    ~UsbRig() { usb.reset(); }

    void plugPhone(SimulatedPhoneOptions options, bool announce = true)
    {
        bus->plug(std::make_shared<SimulatedP2kPhone>(PhoneStorage{*storage_.virtualPhone, *storage_.api}, options),
                  announce);
    }
    int init()
    {
        return usb->P2K_Init([this](int connected) {
            std::lock_guard lock(mutex_);
            statuses_.push_back(connected);
            changed_.notify_all();
            return connected;
        });
    }
    // Waits (boundedly) for the status calls to be `expected`, then gives them.
    std::vector<int> statusesAfterWaitingFor(const std::vector<int>& expected)
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return statuses_ == expected; });
        return statuses_;
    }
    Lines diagnostics() const { return copy(diagnostics_); }
    Lines notices() const { return copy(notices_); }
    std::shared_ptr<SimulatedP2kPhone> phone() const { return bus->phone(); }

    VirtualPhoneRig storage_;
    SimulatedPhoneOptions phoneOptions_;
    SimulatedUsbLink* bus = nullptr;
    std::unique_ptr<UsbPhone> usb;
    std::unique_ptr<PhoneContext> context;

private:
    void record(Lines& lines, const std::string& line)
    {
        std::lock_guard lock(mutex_);
        lines.push_back(line);
    }
    Lines copy(const Lines& lines) const
    {
        std::lock_guard lock(mutex_);
        return lines;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> statuses_;
    Lines diagnostics_;
    Lines notices_;
};

const Bytes kAttrFolder = {0, 0, 0, 0x10};

// The tests every kind of phone takes: classic at interface 5 and 8, bulk.
class UsbPhoneKinds : public ::testing::TestWithParam<PhoneKind> {
protected:
    SimulatedPhoneOptions options() const { return GetParam().options; }
    bool bulk() const { return GetParam().options.bulk; }
};
INSTANTIATE_TEST_SUITE_P(Phones, UsbPhoneKinds, ::testing::ValuesIn(phoneKinds()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(UsbPhoneKinds, RequestBytesOfEachOperation)
{
    UsbRig rig(options());
    ASSERT_EQ(rig.init(), 0);
    ASSERT_EQ(rig.statusesAfterWaitingFor({1}), std::vector<int>{1});
    rig.storage_.putPhoneFile("/a/x.gif", Bytes(3, 1));
    P2kApi& api = *rig.usb;
    uint8_t buffer[16] = {};
    int wanted = 16;
    const Bytes seemData = {1, 2, 3};
    struct Case {
        const char* name;
        std::function<int()> call;
        uint16_t command;
        Bytes payload;
    };
    const std::vector<Case> cases = {
        {"version", [&] { return api.P2K_SendCMD(kCmdVersion, Bytes{0xFF, 0xFF}.data(), 2, buffer, &wanted); },
         0x0039, {0xFF, 0xFF}},
        {"create dir", [&] { return api.File_CreateDir("/a/d", 0); }, 0x004A,
         bytesOf({{0, 0, 0, 0x0E}, kAttrFolder, text("/a/d")})},
        {"delete dir", [&] { return api.File_DeleteDir("/a/d"); }, 0x004A,
         bytesOf({{0, 0, 0, 0x0F}, kAttrFolder, text("/a/d")})},
        {"create", [&] { return api.File_Create("/a/x.gif", 5); }, 0x004A,
         bytesOf({{0, 0, 0, 0}, {0, 0, 0, 5}, text("/a/x.gif")})},
        {"close", [&] { return api.File_Close(); }, 0x004A, {0, 0, 0, 4}},
        {"count", [&] { return api.File_CountEx("/a/*.gif") == 1 ? 0 : -1; }, 0x004A,
         bytesOf({{0, 0, 0, 7, 0, '/', 0, 'a', 0, '/', 0xFF, 0xFE, 0, '*', 0, '.', 0, 'g', 0, 'i', 0, 'f', 0, 0},
                  Bytes(256 - 24, 0)})},
        {"list", [&] { return api.File_ListEx(std::vector<uint8_t>(512).data(), 1, nullptr); }, 0x004A,
         {0, 0, 0, 8, 1}},
        {"seem write", [&] { return api.Seem_Write(0x0032, 2, 0, 3, seemData.data()); }, 0x002F,
         {0x00, 0x32, 0x00, 0x02, 0, 0, 0, 3, 1, 2, 3}},
        {"seem read", [&] { return api.Seem_Read(0x0032, 2, 0, 0, buffer, 16) == 3 ? 0 : -1; }, 0x0020,
         {0x00, 0x32, 0x00, 0x02, 0, 0, 0, 0}},
        {"delete", [&] { return api.File_Delete("/a/x.gif"); }, 0x004A,
         bytesOf({{0, 0, 0, 5}, text("/a/x.gif")})},
        {"restart", [&] { return api.P2K_Restart(); }, 0x0022, {}},
    };
    const auto phone = rig.phone(); // the restart takes it off the bus
    uint16_t id = 0;
    for (const auto& c : cases) {
        ASSERT_EQ(c.call(), 0) << c.name;
        const SimulatedRequest sent = phone->requests().back();
        EXPECT_EQ(sent.command, c.command) << c.name;
        EXPECT_EQ(sent.payload, c.payload) << c.name;
        EXPECT_EQ(sent.packetId, id++) << c.name;
    }
    EXPECT_EQ(rig.storage_.api->requests().back().call, PhoneCall::Restart);
    EXPECT_TRUE(rig.diagnostics().size() == 1) << ::testing::PrintToString(rig.diagnostics());
    // A bulk phone is never polled: no control transfer at all.
    EXPECT_EQ(rig.bus->controlTransfers() == 0, bulk());
    EXPECT_EQ(rig.bus->bulkTransfers() == 0, !bulk());
}

TEST_P(UsbPhoneKinds, FailedRepliesGiveMinusOneAndALineInWords)
{
    using Kind = SimulatedFault::Kind;
    struct Case {
        SimulatedFault fault;
        Lines lines;
        Lines bulkLines;   // where a bulk phone's reply fails otherwise
    };
    const std::string fsac = "P2K reply to command 0x004A: ";
    const std::vector<Case> cases = {
        {{Kind::ErrorClass, 0, 5}, {fsac + "error class 5 (invalid parameter)"}, {}},
        {{Kind::ErrorClass, 0x004A, 15}, {fsac + "error class 15 (unrecoverable)"}, {}},
        {{Kind::WrongId, 0, 1}, {fsac + "corrupted reply (wrong packet id)"}, {}},
        // A bulk reply has no length field; the data it announces never comes.
        {{Kind::WrongCount, 0, 0x100}, {fsac + "corrupted reply (data length beyond the length field)"},
         {fsac + "corrupted reply (data length beyond what arrived)"}},
        {{Kind::Truncate, 0, 10}, {fsac + "corrupted reply (shorter than its header)"}, {}},
        {{Kind::ReplaceBytes, 0, 0, {2, 0, 0, 0, 0, 8, 0x80, 0, 0x80, 0, 0, 0, 0, 0}},
         {fsac + "corrupted reply (not one reply)"}, {fsac + "corrupted reply (wrong packet id)"}},
        {{Kind::Stall}, {"P2K command 0x004A: send stalled"}, {}},
        // The reply stays queued and arrives while the next request waits for its own.
        {{Kind::PollStall}, {"P2K command 0x004A: poll stalled"}, {"P2K command 0x004A: read stalled"}},
        {{Kind::NoReply},
         {fsac + "late reply to an earlier request dropped", "P2K command 0x004A: no reply within 50 ms"}, {}},
    };
    UsbRig rig(options());
    ASSERT_EQ(rig.init(), 0);
    for (const auto& c : cases) {
        rig.storage_.putPhoneFile("/a/x", Bytes(3, 1));
        const size_t before = rig.diagnostics().size();
        rig.phone()->injectFault(c.fault);
        const Lines& expected = bulk() && !c.bulkLines.empty() ? c.bulkLines : c.lines;
        EXPECT_EQ(rig.usb->File_Delete("/a/x"), -1) << expected.back();
        const Lines lines = rig.diagnostics();
        EXPECT_EQ(Lines(lines.begin() + std::ptrdiff_t(before), lines.end()), expected);
    }
    // The phone is still there and answers the next request.
    rig.storage_.putPhoneFile("/a/x", Bytes(3, 1));
    EXPECT_EQ(rig.usb->File_Delete("/a/x"), 0);
    EXPECT_EQ(rig.statusesAfterWaitingFor({1}), std::vector<int>{1});
}

TEST_P(UsbPhoneKinds, PhonePulledOutMidCallFailsThatCallThenReportsItGone)
{
    UsbRig rig(options());
    ASSERT_EQ(rig.init(), 0);
    rig.phone()->injectFault({SimulatedFault::Kind::GoneAfterSend});
    Bytes reply(16);
    int wanted = 16;
    EXPECT_EQ(rig.usb->P2K_SendCMD(kCmdVersion, Bytes{0xFF, 0xFF}.data(), 2, reply.data(), &wanted), -1);
    EXPECT_EQ(wanted, 0);
    EXPECT_EQ(rig.statusesAfterWaitingFor({1, 0}), (std::vector<int>{1, 0}));
    EXPECT_EQ(rig.usb->File_Close(), -1);

    // Pulled out for real and a phone plugged in again.
    rig.bus->unplug();
    SimulatedPhoneOptions again = options();
    again.testCommandInterface = 2;
    rig.plugPhone(again);
    EXPECT_EQ(rig.statusesAfterWaitingFor({1, 0, 1}), (std::vector<int>{1, 0, 1}));
    rig.phone()->goneAfterRequests(2);
    EXPECT_EQ(rig.usb->P2K_SendCMD(kCmdVersion, Bytes{0xFF, 0xFF}.data(), 2, reply.data(), &wanted), 0);
    EXPECT_EQ(rig.usb->File_Close(), -1);
    EXPECT_EQ(rig.statusesAfterWaitingFor({1, 0, 1, 0}), (std::vector<int>{1, 0, 1, 0}));
}

TEST_P(UsbPhoneKinds, AtModePhoneIsSwitchedAndFoundAgain)
{
    SimulatedPhoneOptions atMode = options();
    atMode.atMode = true;
    for (const bool watch : {true, false}) {
        UsbRig rig(atMode, {.watchSupported = watch});
        const auto atPhone = rig.phone();
        ASSERT_EQ(rig.init(), 0);
        EXPECT_TRUE(atPhone->wantsModeSwitch());
        EXPECT_EQ(rig.statusesAfterWaitingFor({1}), std::vector<int>{1});
        EXPECT_EQ(rig.phone()->productId(), 0x4901);
        const Lines lines = rig.diagnostics();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], "Motorola phone in AT mode at bus 1 address 2: sent AT+MODE=8 to switch it to P2K mode (ok)");
        EXPECT_EQ(lines[1], "P2K phone at bus 1 address 3, test command interface "
                                + std::to_string(options().testCommandInterface)
                                + (bulk() ? ", bulk endpoints IN 0x84 OUT 0x04" : ""));
        int wanted = 0;
        EXPECT_EQ(rig.usb->P2K_SendCMD(kCmdVersion, Bytes{0xFF, 0xFF}.data(), 2, nullptr, &wanted), 0);
    }
}

TEST(UsbPhone, PhoneFoundByRescanningWhenTheLinkCannotWatch)
{
    UsbRig rig({}, {.watchSupported = false}, false);
    ASSERT_EQ(rig.init(), 0);
    rig.plugPhone({});
    EXPECT_EQ(rig.statusesAfterWaitingFor({1}), std::vector<int>{1});
    rig.bus->unplug();
    EXPECT_EQ(rig.statusesAfterWaitingFor({1, 0}), (std::vector<int>{1, 0}));
}

TEST(UsbPhone, DeviceThatCannotBeOpenedIsNoticedOnce)
{
    for (const auto& [status, words] : {std::pair{UsbStatus::Denied, "permission denied"},
                                        std::pair{UsbStatus::Busy, "in use by another program or driver"}}) {
        UsbRig rig({}, {.watchSupported = false}, false);
        rig.bus->setOpenStatus(status);
        rig.plugPhone({});
        ASSERT_EQ(rig.init(), 0);
        rig.plugPhone({}); // a second device is a second notice; rescans add none
        for (int i = 0; i < 2000 && rig.notices().size() < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::string notice = std::string("A Motorola phone was found on USB but cannot be opened: ") + words
            + ". Install the udev rule 70-tessaro-p2k.rules (see \"Using a real phone\" in the README) and plug"
              " the phone in again.";
        EXPECT_EQ(rig.notices(), (Lines{notice, notice}));
        EXPECT_EQ(rig.statusesAfterWaitingFor({}), std::vector<int>{});
    }
}

// A look at a device that failed is tried again with no event from the link, the waits
// growing up to a bound; only a device that is surely no phone is not looked at again.
TEST(UsbPhone, FailedLooksAreTriedAgainUntilThePhoneIsFound)
{
    struct Case {
        const char* name;
        std::function<void(SimulatedUsbLink&, bool fail)> arrange;
        std::string line;
    };
    const std::string device = "USB device 22B8:4901 at bus 1 address 2: ";
    const std::vector<Case> cases = {
        {"not opened", [](SimulatedUsbLink& l, bool f) { l.setOpenStatus(f ? UsbStatus::Error : UsbStatus::Ok); },
         device + "cannot be opened (failed); looking again"},
        {"permission denied", [](SimulatedUsbLink& l, bool f) { l.setOpenStatus(f ? UsbStatus::Denied : UsbStatus::Ok); },
         device + "cannot be opened (permission denied); looking again"},
        {"strings unreadable", [](SimulatedUsbLink& l, bool f) { l.phone()->refuseStrings(f); },
         device + "its interface strings cannot be read; looking again"},
        {"claim refused", [](SimulatedUsbLink& l, bool f) { l.setClaimStatus(f ? UsbStatus::Error : UsbStatus::Ok); },
         device + "cannot claim its test command interface (failed); looking again"},
        {"gone before the look", [](SimulatedUsbLink& l, bool f) { l.setOpenStatus(f ? UsbStatus::Gone : UsbStatus::Ok); },
         device + "cannot be opened (device gone); looking again"},
    };
    for (const auto& c : cases) {
        UsbRig rig({.testCommandInterface = 5});
        c.arrange(*rig.bus, true);
        ASSERT_EQ(rig.init(), 0) << c.name;
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        const int looks = rig.bus->opens();
        const auto spent = std::chrono::steady_clock::now() - start;
        // Waits of 20, 40, 80, 80 ... ms; a look at every rescan (10 ms) would be 40 or more.
        EXPECT_GE(looks, 2) << c.name;
        EXPECT_LE(looks, 2 + int(spent / std::chrono::milliseconds(80)) + 2) << c.name;
        c.arrange(*rig.bus, false);
        EXPECT_EQ(rig.statusesAfterWaitingFor({1}), std::vector<int>{1}) << c.name;
        const Lines lines = rig.diagnostics();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), c.line), 1) << c.name << ::testing::PrintToString(lines);
    }
}

TEST(UsbPhone, ADeviceThatIsNoPhoneIsLookedAtOnce)
{
    UsbRig rig({.notAPhone = true});
    ASSERT_EQ(rig.init(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(rig.bus->opens(), 1);
    // A phone that the link does not announce is still found while none is connected.
    rig.plugPhone({.testCommandInterface = 5}, false);
    EXPECT_EQ(rig.statusesAfterWaitingFor({1}), std::vector<int>{1});
    EXPECT_EQ(rig.bus->opens(), 2);
}

TEST(UsbPhone, StartFailureIsReported)
{
    UsbRig rig;
    rig.bus->failStart("libusb_init failed: LIBUSB_ERROR_OTHER");
    EXPECT_EQ(rig.init(), -1);
    EXPECT_EQ(rig.usb->startError(), "libusb_init failed: LIBUSB_ERROR_OTHER");
}

TEST_P(UsbPhoneKinds, ListingOverChunksOfAnotherRecordSize)
{
    SimulatedPhoneOptions chunks = options();
    chunks.listRecordSize = 0x106;
    chunks.listEntriesPerChunk = 2;
    UsbRig rig(chunks);
    ASSERT_EQ(rig.init(), 0);
    for (const char* name : {"a", "b", "c", "d", "e"})
        rig.storage_.putPhoneFile(std::string("/a/") + name + ".gif", Bytes(7, 1));
    ASSERT_EQ(rig.usb->File_CountEx("/a/*.gif"), 5);
    Bytes entries(6 * 512, 0xEE);
    std::vector<int> done;
    ASSERT_EQ(rig.usb->File_ListEx(entries.data(), 5, [&](int, int d, int total) {
        done.push_back(d);
        EXPECT_EQ(total, 5);
    }), 0);
    EXPECT_EQ(done, (std::vector<int>{2, 4, 5}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&entries[4 * 512 + 8])), "/a/e.gif");
    EXPECT_EQ(readLE32(&entries[4 * 512]), 7u);
    EXPECT_EQ(Bytes(entries.begin() + 5 * 512, entries.end()), Bytes(512, 0xEE));
    // Three chunks for five entries, none asked for past them.
    const auto requests = rig.phone()->requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const SimulatedRequest& r) { return r.payload == Bytes{0, 0, 0, 8, 1}; }),
              3);
    // A listing must be counted first.
    EXPECT_EQ(rig.usb->File_ListEx(entries.data(), 1, nullptr), -1);
}

TEST_P(UsbPhoneKinds, FileTransfersOfEverySizeAreByteExact)
{
    UsbRig rig(options());
    ASSERT_EQ(rig.init(), 0);
    rig.storage_.link.connected = true;
    for (const size_t size : {0, 1, 1023, 1024, 1025, 20216}) {
        const Bytes content = patternBytes(size);
        const std::string name = "f" + std::to_string(size);
        writeBytes(rig.storage_.local(name), content);
        EXPECT_TRUE(uploadFile(*rig.context, rig.storage_.local(name), "/a/" + name));
        EXPECT_EQ(readBytes(rig.storage_.phoneFile("/a/" + name)), content) << size;
        EXPECT_TRUE(downloadFile(*rig.context, "/a/" + name, rig.storage_.local(name + ".back"), "Reading"));
        EXPECT_EQ(readBytes(rig.storage_.local(name + ".back")), content) << size;
    }
}

// The phone pulled out while an upload writes over its file: the file stays cut, the upload is
// remembered, and once the phone is back its previous file goes back, byte for byte as the
// phone receives it.
TEST_P(UsbPhoneKinds, AnUploadCutByAnUnplugIsPutBackAfterTheReconnect)
{
    UsbRig rig(options());
    ASSERT_EQ(rig.init(), 0);
    ASSERT_EQ(rig.statusesAfterWaitingFor({1}), std::vector<int>{1});
    PhoneLinkState& link = rig.storage_.link;
    link.imei = "312345678901234";
    const std::string path = "/a/mobile/f";
    const Bytes old = patternBytes(1000);
    rig.storage_.putPhoneFile(path, old);
    ASSERT_EQ(rig.storage_.api->File_Create(path, 4), 0);
    ASSERT_EQ(rig.storage_.api->File_Close(), 0);
    writeBytes(rig.storage_.local("new"), Bytes(2500, 0x5A));

    // The backup takes count, one listing chunk, open, seek, one read and close; then the
    // upload's open, its first write, and the phone is gone at the second.
    rig.phone()->goneAfterRequests(9);
    UploadReport report;
    const Status sent = uploadFile(*rig.context, rig.storage_.local("new"), path, nullptr, &report);
    EXPECT_EQ(sent.error(), "Error writing " + path + ". The phone's previous file is kept in " + report.backup);
    EXPECT_TRUE(report.leftCut);
    EXPECT_EQ(readBytes(report.backup), old);
    EXPECT_EQ(readBytes(rig.storage_.phoneFile(path)), Bytes(1024, 0x5A));
    EXPECT_EQ(rig.statusesAfterWaitingFor({1, 0}), (std::vector<int>{1, 0}));

    rig.bus->unplug();
    rig.plugPhone(options());
    EXPECT_EQ(rig.statusesAfterWaitingFor({1, 0, 1}), (std::vector<int>{1, 0, 1}));
    const Result<std::string> putBack = putBackBackup(*rig.context, path);
    ASSERT_TRUE(putBack.ok()) << putBack.error();
    EXPECT_EQ(*putBack, report.backup);
    EXPECT_EQ(readBytes(rig.storage_.phoneFile(path)), old);

    const Bytes count = *renderCountRequest("/a/mobile/*");
    const Bytes pathBytes = text(path);
    const std::vector<std::pair<uint16_t, Bytes>> expected = {
        {0x004A, count},
        {0x004A, {0, 0, 0, 8, 1}},
        {0x004A, bytesOf({{0, 0, 0, 0}, {0, 0, 0, 0}, pathBytes})},
        {0x004A, bytesOf({{0, 0, 0, 2}, {0, 0, 0x03, 0xE8}, old})},
        {0x004A, {0, 0, 0, 4}},
        {0x004A, count},
        {0x004A, {0, 0, 0, 8, 1}},
        {0x004A, bytesOf({{0, 0, 0, 0}, {0, 0, 0, 4}, pathBytes})},
        {0x004A, {0, 0, 0, 4}},
    };
    std::vector<std::pair<uint16_t, Bytes>> received;
    for (const SimulatedRequest& r : rig.phone()->requests())
        received.emplace_back(r.command, r.payload);
    EXPECT_EQ(received, expected);
}

} // namespace
} // namespace tessaro::testing
