// The connection sequence on plugging a virtual phone in and out: log lines, the identity
// decoded, what the window is told, the profile selection, the bounded SEEM retries.

#include "phone/connection_monitor.h"

#include <algorithm>
#include <mutex>

#include <gtest/gtest.h>

#include "p2k/no_phone.h"
#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

using Lines = std::vector<std::string>;

// Records what the window would show, one line per call.
class RecordingView : public PhoneLinkView {
public:
    void setImeiPanel(const std::string& t) override { calls.push_back("imei panel " + t); }
    void setPhonePanel(const std::string& t) override { calls.push_back("phone panel " + t); }
    void setStatusLamp(StatusLamp l) override
    {
        calls.push_back(l == StatusLamp::Green ? "lamp green" : "lamp red");
    }
    void setTrayImage(int i) override { calls.push_back("tray " + std::to_string(i)); }
    void showTrayBalloon(const std::string& t) override { calls.push_back("balloon " + t); }
    void setPhoneActionsEnabled(bool openRestart, bool save) override
    {
        calls.push_back(std::string("actions ") + (openRestart ? "1" : "0") + (save ? "1" : "0"));
    }
    bool menuHasNodes() const override { return hasNodes; }

    bool hasNodes = false;
    Lines calls;
};

struct MonitorRig : VirtualPhoneRig {
    explicit MonitorRig(const PhoneSpec& spec = {}, VirtualPhone::Options options = {})
        : VirtualPhoneRig(spec, options), monitor(phone(), view)
    {
        monitor.setProfileSelection([this](const std::string& prefix) { selected.push_back(prefix); });
        monitor.setRetryWait([this](std::chrono::milliseconds ms) { waits.push_back(int(ms.count())); });
        monitor.setDisconnectHook([this] { disconnectHooks++; });
    }
    RecordingView view;
    ConnectionMonitor monitor;
    Lines selected;
    std::vector<int> waits;
    int disconnectHooks = 0;
};

const Lines kConnectLog = {
    "Phone connected",
    "Read SEEM 279_1 RC=10", // "E398": four units and the ending one
    "[GetFWVersion] Send command VERSION (0xFFFF)  RC=0",
    "Read SEEM 4_1 RC=9",
    "[GetLPVersion] Send command VERSION (0x0004)  RC=0",
};

TEST(ConnectionMonitor, PluggingInRunsTheWholeSequence)
{
    MonitorRig rig;
    rig.view.hasNodes = true;
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    EXPECT_TRUE(readText(rig.logPath()).empty());
    rig.virtualPhone->plug();

    EXPECT_EQ(rig.logLines(), kConnectLog);
    EXPECT_EQ(rig.view.calls, (Lines{"balloon Connected:  E398",
                                     "phone panel Phone: E398  [R373_G_0E.30.49R] ",
                                     "imei panel  IMEI: 312345678901234", "tray 14", "lamp green",
                                     "actions 11"}));
    EXPECT_EQ(rig.selected, Lines{"R373"});
    EXPECT_TRUE(rig.link.connected);
    EXPECT_EQ(rig.link.model, "E398");
    EXPECT_EQ(rig.link.firmwareVersion, "R373_G_0E.30.49R");
    EXPECT_EQ(rig.link.firmwarePrefix, "R373");
    EXPECT_EQ(rig.link.lpVersion, 0x1234);
    EXPECT_EQ(rig.link.lpVersionText, "1234");
    EXPECT_EQ(rig.link.imei, "312345678901234");
    EXPECT_TRUE(rig.waits.empty());

    // The requests, in order: SEEM 0x0117, VERSION 0xFFFF, SEEM 0x0004, VERSION 0x0004.
    const auto calls = rig.api->requests();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[1].call, PhoneCall::SeemRead);
    EXPECT_EQ(calls[1].args, (std::vector<int>{0x0117, 1, 0, 0}));
    EXPECT_EQ(calls[2].command, 0x0039);
    EXPECT_EQ(calls[2].bytes, (std::vector<uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(calls[2].replyWanted, 256);
    EXPECT_EQ(calls[3].args, (std::vector<int>{0x0004, 1, 0, 0}));
    EXPECT_EQ(calls[4].bytes, (std::vector<uint8_t>{0x00, 0x04}));
    EXPECT_EQ(calls[4].replyWanted, 4);
}

TEST(ConnectionMonitor, SaveToPhoneNeedsAMenuNode)
{
    MonitorRig rig;
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();
    EXPECT_EQ(rig.view.calls.back(), "actions 10");
}

TEST(ConnectionMonitor, UnpluggingCallsTheHookButKeepsTheIdentity)
{
    MonitorRig rig;
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();
    rig.view.calls.clear();

    rig.virtualPhone->unplug();

    EXPECT_EQ(rig.view.calls, (Lines{"tray 15", "balloon Disconnected", "lamp red", "actions 00",
                                     "phone panel Phone: None ", "imei panel IMEI: N/A "}));
    EXPECT_FALSE(rig.link.connected);
    EXPECT_EQ(rig.link.firmwarePrefix, "");
    EXPECT_EQ(rig.link.model, "E398");
    EXPECT_EQ(rig.link.imei, "312345678901234");
    EXPECT_EQ(rig.link.lpVersionText, "1234");
    EXPECT_EQ(rig.disconnectHooks, 1);
    EXPECT_EQ(rig.logLines().back(), "Phone disconnected");
}

TEST(ConnectionMonitor, FirmwareWithoutUnderscoreStillSelectsAProfile)
{
    PhoneSpec spec;
    spec.firmware = "AB12CD34";
    MonitorRig rig(spec);
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();
    EXPECT_EQ(rig.selected, Lines{""});
    EXPECT_EQ(rig.link.firmwarePrefix, "");
}

TEST(ConnectionMonitor, EmptyFirmwareSkipsTheProfileSelection)
{
    PhoneSpec spec;
    spec.firmware = ""; // VERSION reply byte 0 is 4
    MonitorRig rig(spec);
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();
    EXPECT_TRUE(rig.selected.empty());
    EXPECT_EQ(rig.link.firmwareVersion, "");
    EXPECT_EQ(rig.view.calls[1], "phone panel Phone: E398  [] ");
}

TEST(ConnectionMonitor, SeemReadsAreRetriedEvery500Ms)
{
    MonitorRig rig;
    rig.api->addTrap(PhoneCall::SeemRead, 1, RecordingPhone::TrapAction::Fail);
    rig.api->addTrap(PhoneCall::SeemRead, 2, RecordingPhone::TrapAction::Fail);
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();

    EXPECT_EQ(rig.logLines(), (Lines{"Phone connected", "Read SEEM 279_1 RC=-1", "Read SEEM 279_1 RC=-1",
                                     "Read SEEM 279_1 RC=10",
                                     "[GetFWVersion] Send command VERSION (0xFFFF)  RC=0",
                                     "Read SEEM 4_1 RC=9",
                                     "[GetLPVersion] Send command VERSION (0x0004)  RC=0"}));
    EXPECT_EQ(rig.waits, (std::vector<int>{500, 500}));
    EXPECT_EQ(rig.link.model, "E398");
}

TEST(ConnectionMonitor, SeemReadsGiveUpAfterTheAttemptLimit)
{
    MonitorRig rig;
    rig.monitor.setSeemAttempts(3);
    for (int n = 1; n <= 3; ++n)
        rig.api->addTrap(PhoneCall::SeemRead, n, RecordingPhone::TrapAction::Fail);
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();

    const Lines log = rig.logLines();
    EXPECT_EQ(Lines(log.begin(), log.begin() + 5),
              (Lines{"Phone connected", "Read SEEM 279_1 RC=-1", "Read SEEM 279_1 RC=-1",
                     "Read SEEM 279_1 RC=-1", "[GetFWVersion] Send command VERSION (0xFFFF)  RC=0"}));
    EXPECT_EQ(rig.waits, (std::vector<int>{500, 500}));
    // The sequence goes on; the model that could not be read stays empty.
    EXPECT_EQ(rig.link.model, "");
    EXPECT_EQ(rig.link.imei, "312345678901234");
    EXPECT_TRUE(rig.link.connected);
    EXPECT_EQ(rig.selected, Lines{"R373"});
}

TEST(ConnectionMonitor, SeemReadsGiveUpWhenThePhoneIsUnplugged)
{
    MonitorRig rig;
    rig.api->addTrap(PhoneCall::SeemRead, 1, RecordingPhone::TrapAction::Fail);
    rig.monitor.setRetryWait([&](std::chrono::milliseconds) { rig.virtualPhone->unplug(); });
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();

    EXPECT_EQ(rig.logLines(), (Lines{"Phone connected", "Read SEEM 279_1 RC=-1", "Phone disconnected"}));
    EXPECT_FALSE(rig.link.connected);
    EXPECT_TRUE(rig.selected.empty());
    EXPECT_EQ(rig.view.calls.back(), "imei panel IMEI: N/A ");
}

TEST(ConnectionMonitor, ReadFailingBecauseThePhoneWentAwayStopsAtOnce)
{
    MonitorRig rig;
    rig.api->addTrap(PhoneCall::SeemRead, 1, RecordingPhone::TrapAction::Unplug);
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();
    // The disconnection arrives during the read, before its log line.
    EXPECT_EQ(rig.logLines(), (Lines{"Phone connected", "Phone disconnected", "Read SEEM 279_1 RC=-1"}));
    EXPECT_TRUE(rig.waits.empty());
    EXPECT_FALSE(rig.link.connected);
}

TEST(ConnectionMonitor, UnplugBetweenStepsStopsTheWholeSequence)
{
    // Unplugged during the firmware query (before the second SEEM read) or the LP query
    // (after it): no phone actions are enabled and no profile is chosen for a phone that is gone.
    for (const int nthCommand : {1, 2}) {
        MonitorRig rig;
        rig.api->addTrap(PhoneCall::SendCmd, nthCommand, RecordingPhone::TrapAction::Unplug);
        ASSERT_TRUE(rig.monitor.initPhoneLink());
        rig.virtualPhone->plug();

        EXPECT_FALSE(rig.link.connected) << nthCommand;
        EXPECT_TRUE(rig.selected.empty()) << nthCommand;
        EXPECT_TRUE(rig.waits.empty()) << nthCommand;
        EXPECT_EQ(rig.view.calls.back(), "imei panel IMEI: N/A ") << nthCommand;
        EXPECT_EQ(std::count(rig.view.calls.begin(), rig.view.calls.end(), "actions 00"), 1) << nthCommand;
    }
}

TEST(ConnectionMonitor, LogIsCreatedEmptyAndStaysEmptyWhileLoggingIsOff)
{
    MonitorRig rig;
    writeText(rig.logPath(), "old lines\r\n");
    rig.log.setEnabled(false);
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    EXPECT_TRUE(std::filesystem::exists(rig.logPath()));
    rig.virtualPhone->plug();
    rig.virtualPhone->unplug();
    EXPECT_EQ(readText(rig.logPath()), "");
}

TEST(ConnectionMonitor, LibraryThatCannotStartIsReported)
{
    struct FailingInit : NoPhone {
        int P2K_Init(StatusCallback) override { return -1; }
    } api;
    TempDir temp;
    PhoneLinkState link;
    OperationLog log;
    RecordingProgressFactory progress;
    RecordingPrompter prompter;
    PhoneContext phone{api, link, log, progress, prompter, temp.path().string() + "/"};
    PhoneLinkView view;
    ConnectionMonitor monitor(phone, view);

    const Status started = monitor.initPhoneLink();
    EXPECT_EQ(started.error(), "Error initializing P2KAPI library");
    EXPECT_EQ(started.failure().caption, "");
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(std::filesystem::exists(temp.path() / "p2klog.txt"));
}

TEST(ConnectionMonitor, NoPhoneStartsQuietlyAndNeverConnects)
{
    NoPhone api;
    TempDir temp;
    PhoneLinkState link;
    OperationLog log;
    RecordingProgressFactory progress;
    RecordingPrompter prompter;
    PhoneContext phone{api, link, log, progress, prompter, temp.path().string() + "/"};
    RecordingView view;
    ConnectionMonitor monitor(phone, view);

    EXPECT_TRUE(monitor.initPhoneLink());
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_FALSE(link.connected);
    EXPECT_TRUE(view.calls.empty());
}

TEST(ConnectionMonitor, AlreadyConnectedDoesNotStartTheLibraryAgain)
{
    MonitorRig rig;
    rig.link.connected = true;
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    EXPECT_TRUE(rig.api->requests().empty());
}

TEST(ConnectionMonitor, StatusCallsFromTheLibraryThreadAreDispatched)
{
    VirtualPhone::Options options;
    options.callbackThread = true;
    MonitorRig rig(PhoneSpec{}, options);
    std::mutex mutex;
    std::vector<std::function<void()>> queued;
    const auto testThread = std::this_thread::get_id();
    std::thread::id ranOn;
    rig.monitor.setDispatch([&](std::function<void()> job) {
        std::lock_guard lock(mutex);
        queued.push_back(std::move(job));
    });
    rig.monitor.setProfileSelection([&](const std::string&) { ranOn = std::this_thread::get_id(); });
    ASSERT_TRUE(rig.monitor.initPhoneLink());
    rig.virtualPhone->plug();
    rig.virtualPhone->waitForCallbacks();
    EXPECT_FALSE(rig.link.connected); // nothing ran on the library's thread

    std::vector<std::function<void()>> jobs;
    {
        std::lock_guard lock(mutex);
        jobs.swap(queued);
    }
    ASSERT_EQ(jobs.size(), 1u);
    jobs[0]();
    EXPECT_TRUE(rig.link.connected);
    EXPECT_EQ(ranOn, testThread);
    EXPECT_EQ(rig.logLines(), kConnectLog);
}

// ---- decoding ---------------------------------------------------------------------------

TEST(DecodeImei, DigitsFromNibblesAndTheCheckDigit)
{
    struct Case {
        std::vector<uint8_t> record;
        std::string imei;
    };
    const std::vector<Case> cases = {
        // length, first digit in the high nibble, then two digits a byte (low nibble first),
        // the last digit in the low nibble of byte 8
        {{0x08, 0x3A, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43}, "312345678901234"},
        {{0x08, 0x4A, 0x09, 0x51, 0x24, 0x30, 0x32, 0x57, 0x81}, "490154203237518"},
        {std::vector<uint8_t>(9, 0), "000000000000000"},
        // a short record: the missing bytes count as 0
        {{0x08, 0x3A, 0x21}, "312000000000003"},
        // nibbles above 9 become the characters after '9' (15 is "?"); the check digit still
        // follows the arithmetic: 7 × 6 + 7 × 21 = 189
        {{0x08, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "??????????????1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeImei(c.record), c.imei);
}

TEST(DecodeModel, LowBytesUpToTheEndingUnit)
{
    const std::vector<uint8_t> record = {0x00, 'V', 0x01, '3', 0x00, 0x00, 0x00, 'X'};
    EXPECT_EQ(decodeModel(record), "V3");
    EXPECT_EQ(decodeModel(std::vector<uint8_t>{0x00, 'A', 0x00, 'B', 0x00}), "AB"); // odd byte ignored
    EXPECT_EQ(decodeModel({}), "");
}

TEST(FirmwarePrefix, TextBeforeTheFirstUnderscore)
{
    EXPECT_EQ(firmwarePrefix("AB12_CD_34"), "AB12");
    EXPECT_EQ(firmwarePrefix("AB12"), "");
    EXPECT_EQ(firmwarePrefix("_X"), "");
    EXPECT_EQ(lpVersionText(0x0A0B), "0A0B");
    EXPECT_EQ(lpVersionText(0xFFFF), "FFFF");
}

// A library whose VERSION replies are scripted, to try replies the virtual phone never gives.
class ScriptedVersion : public NoPhone {
public:
    int P2K_SendCMD(uint16_t, const uint8_t*, int, uint8_t* reply, int* replyLength) override
    {
        for (int i = 0; i < int(answer.size()) && i < *replyLength; ++i)
            reply[i] = answer[size_t(i)];
        *replyLength = delivered;
        return rc;
    }
    std::vector<uint8_t> answer;
    int delivered = 0;
    int rc = 0;
};

TEST(GetVersions, RepliesAreReadOnlyAsFarAsDelivered)
{
    ScriptedVersion api;
    PhoneLinkState link;
    OperationLog log;
    RecordingProgressFactory progress;
    RecordingPrompter prompter;
    PhoneContext phone{api, link, log, progress, prompter, "./"};

    EXPECT_EQ(queryFirmwareVersion(phone), ""); // not connected: nothing is asked
    link.connected = true;

    api.answer = {9, 0, 0, 0, 0, 'R', '3', '7', '3', '_'};
    api.delivered = 10;
    EXPECT_EQ(queryFirmwareVersion(phone), "R373_");
    api.delivered = 7; // L says 9, the phone delivered less
    EXPECT_EQ(queryFirmwareVersion(phone), "R3");
    api.delivered = 5000; // more than the 256 wanted
    EXPECT_EQ(queryFirmwareVersion(phone), "R373_");
    api.answer[0] = 4;
    EXPECT_EQ(queryFirmwareVersion(phone), "");
    api.rc = -1;
    EXPECT_EQ(queryFirmwareVersion(phone), "");

    api.rc = 0;
    api.answer = {0, 0x12, 0x34, 0};
    api.delivered = 4;
    EXPECT_EQ(queryLpVersion(phone), 0x1234);
    api.delivered = 2;
    EXPECT_EQ(queryLpVersion(phone), 0x1200);
    api.rc = -1;
    EXPECT_EQ(queryLpVersion(phone), 0);
}

} // namespace
} // namespace tessaro::testing
