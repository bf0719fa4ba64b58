#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "core/open_menu.h"
#include "p2k/operation_log.h"
#include "p2k/virtual_phone.h"
#include "phone/j2mest.h"
#include "phone/phone_context.h"
#include "phone/round_trip.h"
#include "phone/transfer.h"
#include "session/phone_menu.h"
#include "support/menu_builder.h"
#include "support/recording_phone.h"
#include "support/recording_progress.h"
#include "support/recording_prompter.h"
#include "support/temp_dir.h"
#include "workspace/profiles.h"
#include "workspace/settings.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;
using testing::PhoneCall;
using testing::PhoneRequest;
using testing::Prompt;
using testing::RecordingPhone;
using testing::RecordingPrompter;
using testing::TempDir;

constexpr char kImei[] = "312345678901234";

const Prompt kPatchQuestion{MessageIcon::Question, "Patch request",
                            "J2MEST file(s) seem to contain wrong CORELET info\r\n"
                            "preventing them from starting from main menu\r\n      Attempt patching?",
                            true};
const Prompt kRebootQuestion{MessageIcon::Question, "",
                             "mma_ucp was stored to the phone\r\n      Should we reboot it?", true};
const Notice kCardError{MessageIcon::Error, "P2K error",
                        "    Error reading J2MEST [card]\r\nFile read error or J2MEST absent"};
const Notice kPhoneError{MessageIcon::Error, "Fatal P2K error", "Error reading J2MEST [phone]"};

// A 1112-byte J2MEST with one corelet slot whose MIDlet-1 entry needs the application name.
std::vector<uint8_t> j2mestWithCorelet(int slot, const std::string& name, const std::string& midlet1)
{
    std::vector<uint8_t> image(31 * 1112 + 2, 0);
    uint8_t* record = image.data() + 2 + slot * 1112;
    record[0] = 0x01;   // corelet
    record[1] = 0x01;   // in use
    std::memcpy(record + 6, name.data(), name.size());
    std::memcpy(record + 39, "Acme", 4);
    std::memcpy(record + 156, midlet1.data(), midlet1.size());
    return image;
}

uint16_t midlet1Offset(int slot) { return uint16_t(2 + slot * 1112 + 156); }

std::vector<uint8_t> menuBytes()
{
    testing::MenuBuilder builder(36);
    builder.add(testing::MenuBuilder::kRoot, "Games", 0);
    builder.add(testing::MenuBuilder::kRoot, "Tools", 0);
    return builder.bytes();
}

// A virtual phone in one folder, the editor's data folder in another, and everything the
// round trip works with.

// The listings that look up `paths`, in order: each file is found in its folder's listing.
std::vector<std::string> listed(const std::vector<std::string>& paths)
{
    std::vector<std::string> patterns;
    for (const std::string& path : paths)
        patterns.push_back(listingPatternFor(path));
    return patterns;
}

class RoundTripRig {
public:
    RoundTripRig(bool card = true)
    {
        testing::writeText(phoneDir.path() / "phone.json",
                           std::string("{\"model\": \"V3\", \"firmware\": \"R374_G\", \"lp\": 1, \"imei\": \"")
                               + kImei + "\"}");
        put("a/mobile/system/mma_ucp", menuBytes());
        fs::create_directories(phoneDir.path() / "c");
        if (card)
            fs::create_directories(phoneDir.path() / "b");
        VirtualPhone::Options options;
        options.rebootOnRestart = false;
        auto opened = VirtualPhone::open(phoneDir.path(), options);
        EXPECT_TRUE(opened.ok()) << opened.error();
        virtualPhone = opened.value().get();
        api = std::make_unique<RecordingPhone>(std::move(opened).value(), [this] { virtualPhone->unplug(); });
        api->P2K_Init([this](int connected) {
            link.connected = connected != 0;
            return connected;
        });
        virtualPhone->plug();
        link.imei = kImei;
        phone = std::make_unique<PhoneContext>(
            PhoneContext{*api, link, log, progress, prompter, work.path().string() + "/"});
        profiles.setDataFolder(work.path().string() + "/");
        EXPECT_TRUE(profiles.startUp(menu.items).ok());
        rt = std::make_unique<RoundTrip>(RoundTrip{*phone, state, slots, settings, work.path().string() + "/"});
    }

    // Reads the phone's menu as the window does: the copy's path, or "" when the menu could not
    // be read; what went wrong is kept in `shown`.
    std::string read()
    {
        auto result = readPhoneMenu(*rt);
        if (!result) {
            shown.push_back({MessageIcon::Error, result.failure().caption, result.error()});
            return "";
        }
        shown.insert(shown.end(), result->problems.begin(), result->problems.end());
        return result->menuPath;
    }

    struct Opened {
        bool ok = false;
        std::string menuPath;
        bool patchOffered = false;
    };
    // Opens from the phone as the window does, answering the patch question when it is offered.
    Opened open()
    {
        auto result = openMenuFromPhone(*rt, menu, profiles);
        if (!result) {
            shown.push_back({MessageIcon::Error, result.failure().caption, result.error()});
            return {};
        }
        shown.insert(shown.end(), result->messages.begin(), result->messages.end());
        if (result->patchOffered
            && prompter.ask(MessageIcon::Question, kPatchRequestCaption, kPatchRequestText, Buttons::YesNo)
                   == Answer::Yes)
            if (const Status patched = patchJavaTables(*rt); !patched)
                shown.push_back({MessageIcon::Error, patched.failure().caption, patched.error()});
        return {true, result->menuPath, result->patchOffered};
    }

    void put(const std::string& phonePath, const std::vector<uint8_t>& bytes)
    {
        const fs::path file = phoneDir.path() / phonePath;
        fs::create_directories(file.parent_path());
        testing::writeBytes(file, bytes);
    }
    std::vector<uint8_t> onPhone(const std::string& phonePath) const
    {
        return testing::readBytes(phoneDir.path() / phonePath);
    }
    std::string local(const char* name) const { return work.file(name); }

    void readJ2mest(bool fromPhone, bool fromCard, bool patch = false)
    {
        settings.readJ2mest = fromPhone || fromCard;
        settings.j2mestFromPhone = fromPhone;
        settings.j2mestFromCard = fromCard;
        settings.patchJ2mest = patch;
    }

    // The phone paths the FSAC open requests named, in order.
    // The phone files looked up (every read starts by finding its file), in order.
    // The listings counted to find files, one a file looked up (see `listed`).
    std::vector<std::string> tried() const
    {
        std::vector<std::string> paths;
        for (const PhoneRequest& r : api->requests())
            if (r.call == PhoneCall::FileCountEx)
                paths.push_back(r.text);
        return paths;
    }
    std::vector<PhoneRequest> calls(PhoneCall call) const
    {
        std::vector<PhoneRequest> found;
        for (const PhoneRequest& r : api->requests())
            if (r.call == call)
                found.push_back(r);
        return found;
    }

    TempDir phoneDir;
    TempDir work;
    std::unique_ptr<RecordingPhone> api;
    VirtualPhone* virtualPhone = nullptr;
    PhoneLinkState link;
    OperationLog log;
    testing::RecordingProgressFactory progress;
    RecordingPrompter prompter;
    std::unique_ptr<PhoneContext> phone;
    RoundTripState state;
    JavaSlotTables slots;
    Settings settings;
    OpenMenu menu;
    ProfileManager profiles;
    std::unique_ptr<RoundTrip> rt;
    std::vector<Notice> shown;
};

const std::string kPhoneFirst = "/a/mobile/kjava/J2MEST";
const std::string kPhoneSecond = "/a/mobile/kjava/installed/J2MEST";
const std::string kCardFirst = std::string("/b/mobile/kjava/") + kImei + "/J2MEST";
const std::string kCardSecond = std::string("/b/mobile/kjava/installed/") + kImei + "/J2MEST";

TEST(RoundTrip, Locations)
{
    EXPECT_EQ(phoneJ2mestLocations()[0], (J2mestLocation{kPhoneFirst, "/c/mobile/kjava/"}));
    EXPECT_EQ(phoneJ2mestLocations()[1], (J2mestLocation{kPhoneSecond, "/c/mobile/kjava/installed/"}));
    EXPECT_EQ(cardJ2mestLocations("1")[0], (J2mestLocation{"/b/mobile/kjava/1/J2MEST", "/b/mobile/kjava/1/"}));
    EXPECT_EQ(cardJ2mestLocations("1")[1],
              (J2mestLocation{"/b/mobile/kjava/installed/1/J2MEST", "/b/mobile/kjava/installed/1/"}));
}

TEST(RoundTrip, NoneReadsOnlyTheMenu)
{
    RoundTripRig rig;
    rig.put("a/mobile/kjava/J2MEST", j2mestWithCorelet(0, "A", "1: A"));
    rig.state.phoneJ2mestRead = true;   // from an earlier open
    EXPECT_EQ(rig.read(), rig.local("mma_temp"));
    EXPECT_EQ(rig.tried(), listed({"/a/mobile/system/mma_ucp"}));
    EXPECT_EQ(testing::readBytes(rig.local("mma_temp")), menuBytes());
    EXPECT_FALSE(rig.state.phoneJ2mestRead);
    EXPECT_FALSE(rig.state.cardJ2mestRead);
    EXPECT_TRUE(rig.shown.empty());
}

// Every J2MEST setting with the files at the first or the second path, card present or not.
struct ReadCase {
    const char* name;
    bool fromPhone;
    bool fromCard;
    bool card;              // volume b exists
    bool phoneSecond;       // the phone's J2MEST lies only at the second path
    bool cardSecond;
    std::vector<std::string> tried;
    bool phoneRead;
    bool cardRead;
    std::string phoneFolder;
    std::string cardFolder;
};

class ReadPhoneMenuSettings : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadPhoneMenuSettings, ReadsWhatTheSettingsAskFor)
{
    const ReadCase& c = GetParam();
    RoundTripRig rig(c.card);
    const auto phoneTable = j2mestWithCorelet(1, "PhoneApp", "1: P");
    const auto cardTable = j2mestWithCorelet(2, "CardApp", "2: C");
    rig.put(c.phoneSecond ? kPhoneSecond.substr(1) : kPhoneFirst.substr(1), phoneTable);
    if (c.card)
        rig.put(c.cardSecond ? kCardSecond.substr(1) : kCardFirst.substr(1), cardTable);
    rig.readJ2mest(c.fromPhone, c.fromCard);

    EXPECT_EQ(rig.read(), rig.local("mma_temp"));
    EXPECT_EQ(rig.tried(), listed(c.tried));
    EXPECT_EQ(rig.state.phoneJ2mestRead, c.phoneRead);
    EXPECT_EQ(rig.state.cardJ2mestRead, c.cardRead);
    EXPECT_TRUE(rig.shown.empty());
    if (c.phoneRead) {
        EXPECT_EQ(rig.state.phoneJ2mestPath, c.phoneSecond ? kPhoneSecond : kPhoneFirst);
        EXPECT_EQ(rig.state.phoneJavaFolder, c.phoneFolder);
        EXPECT_EQ(testing::readBytes(rig.local("j2mest_temp")), phoneTable);
    }
    if (c.cardRead) {
        EXPECT_EQ(rig.state.cardJ2mestPath, c.tried.back());
        EXPECT_EQ(rig.state.cardJavaFolder, c.cardFolder);
        EXPECT_EQ(testing::readBytes(rig.local("j2mest_mmc")), cardTable);
    }
}

const std::string kMenu = "/a/mobile/system/mma_ucp";

INSTANTIATE_TEST_SUITE_P(
    AllSettings, ReadPhoneMenuSettings,
    ::testing::Values(
        ReadCase{"PhoneFirst", true, false, true, false, false, {kMenu, kPhoneFirst}, true, false,
                 "/c/mobile/kjava/", ""},
        ReadCase{"PhoneSecond", true, false, true, true, false, {kMenu, kPhoneFirst, kPhoneSecond}, true,
                 false, "/c/mobile/kjava/installed/", ""},
        ReadCase{"CardFirst", false, true, true, false, false, {kMenu, kCardFirst}, false, true, "",
                 std::string("/b/mobile/kjava/") + kImei + "/"},
        ReadCase{"CardSecond", false, true, true, false, true, {kMenu, kCardFirst, kCardSecond}, false, true,
                 "", std::string("/b/mobile/kjava/installed/") + kImei + "/"},
        ReadCase{"CardAbsent", false, true, false, false, false, {kMenu}, false, false, "", ""},
        ReadCase{"Both", true, true, true, false, false, {kMenu, kPhoneFirst, kCardFirst}, true, true,
                 "/c/mobile/kjava/", std::string("/b/mobile/kjava/") + kImei + "/"},
        ReadCase{"BothSecond", true, true, true, true, true,
                 {kMenu, kPhoneFirst, kPhoneSecond, kCardFirst, kCardSecond}, true, true,
                 "/c/mobile/kjava/installed/", std::string("/b/mobile/kjava/installed/") + kImei + "/"},
        // Without volume b only the phone's table is read, and no card message is shown.
        ReadCase{"BothCardAbsent", true, true, false, false, false, {kMenu, kPhoneFirst}, true, false,
                 "/c/mobile/kjava/", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoundTrip, MissingMenuReturnsNothing)
{
    RoundTripRig rig;
    fs::remove(rig.phoneDir.path() / "a/mobile/system/mma_ucp");
    rig.readJ2mest(true, true);
    EXPECT_EQ(rig.read(), "");
    EXPECT_EQ(rig.shown, (std::vector<Notice>{{MessageIcon::Error, "Fatal P2K error", "Error reading mma_ucp"}}));
    EXPECT_EQ(rig.tried().size(), 1u);   // neither volume query nor J2MEST read follow
}

TEST(RoundTrip, FailedVolumeQueryKeepsTheMenu)
{
    RoundTripRig rig;
    rig.readJ2mest(true, false);
    rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Fail, kFsacVolumes);
    EXPECT_EQ(rig.read(), rig.local("mma_temp"));
    EXPECT_EQ(rig.shown,
              (std::vector<Notice>{{MessageIcon::Error, "Fatal P2K error", "Error getting volume info"}}));
    EXPECT_EQ(rig.tried().size(), 1u);
}

TEST(RoundTrip, MissingPhoneTableSkipsTheCard)
{
    RoundTripRig rig;
    rig.put(kCardFirst.substr(1), j2mestWithCorelet(0, "C", "1: C"));
    rig.readJ2mest(true, true);
    rig.state.phoneJ2mestPath = "stale";
    EXPECT_EQ(rig.read(), rig.local("mma_temp"));
    EXPECT_EQ(rig.shown, (std::vector<Notice>{kPhoneError}));
    EXPECT_EQ(rig.tried(), listed({kMenu, kPhoneFirst, kPhoneSecond}));
    EXPECT_FALSE(rig.state.phoneJ2mestRead);
    EXPECT_FALSE(rig.state.cardJ2mestRead);
    EXPECT_EQ(rig.state.phoneJ2mestPath, "");
}

TEST(RoundTrip, MissingCardTableIsReported)
{
    RoundTripRig rig;
    rig.readJ2mest(false, true);
    EXPECT_EQ(rig.read(), rig.local("mma_temp"));
    EXPECT_EQ(rig.shown, (std::vector<Notice>{kCardError}));
    EXPECT_FALSE(rig.state.cardJ2mestRead);
    EXPECT_EQ(rig.state.cardJ2mestPath, "");
    EXPECT_EQ(rig.state.cardJavaFolder, std::string("/b/mobile/kjava/installed/") + kImei + "/");
}

TEST(RoundTrip, ProgressLabelsOfTheReads)
{
    RoundTripRig rig;
    rig.put(kPhoneFirst.substr(1), j2mestWithCorelet(0, "P", "1: P"));
    rig.put(kCardFirst.substr(1), j2mestWithCorelet(0, "C", "1: C"));
    rig.readJ2mest(true, true);
    ASSERT_FALSE(rig.read().empty());
    std::vector<std::string> firstCaptions;
    for (const std::string& caption : rig.progress.captions())
        if (caption.ends_with(" 0%"))
            firstCaptions.push_back(caption);
    EXPECT_EQ(firstCaptions, (std::vector<std::string>{"Reading mma_ucp 0%", "Reading J2MEST [phone] 0%",
                                                       "Reading J2MEST [card] 0%"}));
}

TEST(RoundTrip, OpenParsesTheTablesAndAsksToPatch)
{
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        RoundTripRig rig;
        const auto table = j2mestWithCorelet(4, "Snake", "3: Snake");
        rig.put(kPhoneSecond.substr(1), table);
        rig.put("c/mobile/kjava/installed/j2me4.jad", {});
        testing::writeText(rig.phoneDir.path() / "c/mobile/kjava/installed/j2me4.jad",
                           "MIDlet-Name: Snake\r\nMIDlet-1: Snake Game, /s.png, SnakeMIDlet\r\n");
        rig.readJ2mest(true, false, true);
        rig.prompter.answers = {answer};

        const auto result = rig.open();
        EXPECT_EQ(result.menuPath, rig.local("mma_temp"));
        EXPECT_TRUE(result.ok);
        EXPECT_FALSE(rig.menu.document.isEmpty());
        EXPECT_TRUE(result.patchOffered);
        EXPECT_TRUE(rig.state.phoneReady);
        ASSERT_FALSE(rig.prompter.prompts.empty());
        EXPECT_EQ(rig.prompter.prompts.back(), kPatchQuestion);
        ASSERT_TRUE(rig.slots.phoneSlots[4]);

        auto expected = table;
        if (answer == Answer::Yes) {
            EXPECT_TRUE(rig.state.phonePatched);
            EXPECT_EQ(rig.slots.phoneSlots[4]->midlet1, "Snake Game");
            EXPECT_FALSE(rig.slots.needsPatch);
            const auto field = midlet1Field("Snake Game");
            std::copy(field.begin(), field.end(), expected.begin() + midlet1Offset(4));
            EXPECT_EQ(rig.tried().back(), listingPatternFor("/c/mobile/kjava/installed/j2me4.jad"));
            EXPECT_FALSE(fs::exists(rig.local("temp.jad")));
        } else {
            EXPECT_FALSE(rig.state.phonePatched);
            EXPECT_EQ(rig.slots.phoneSlots[4]->midlet1, "3: Snake");
            EXPECT_TRUE(rig.slots.needsPatch);
        }
        EXPECT_EQ(testing::readBytes(rig.local("j2mest_temp")), expected);

        // The save writes the patched table back where it came from, as a system file.
        rig.api->clearRequests();
        const Status saved = saveMenuToPhone(*rig.rt, rig.menu);
        EXPECT_TRUE(saved) << saved.error();
        EXPECT_TRUE(rig.state.storedToPhone);
        EXPECT_EQ(rig.onPhone(kPhoneSecond.substr(1)), expected);
        const auto creates = rig.calls(PhoneCall::FileCreate);
        if (answer == Answer::Yes) {
            EXPECT_EQ(rig.tried(), listed({kMenu, kMenu, kPhoneSecond, kPhoneSecond}));
            ASSERT_EQ(creates.size(), 1u);
            EXPECT_EQ(creates[0].text, kPhoneSecond);
            EXPECT_EQ(creates[0].args, (std::vector<int>{4}));
        } else {
            EXPECT_EQ(rig.tried(), listed({kMenu, kMenu}));
            EXPECT_TRUE(creates.empty());
        }
    }
}

TEST(RoundTrip, NoPatchQuestionWithoutPermission)
{
    RoundTripRig rig;
    rig.put(kPhoneFirst.substr(1), j2mestWithCorelet(0, "Snake", "3: Snake"));
    rig.readJ2mest(true, false, false);
    const auto result = rig.open();
    EXPECT_FALSE(result.patchOffered);
    EXPECT_TRUE(rig.slots.needsPatch);
    EXPECT_TRUE(rig.prompter.prompts.empty());
    EXPECT_TRUE(rig.shown.empty());
}

TEST(RoundTrip, CardPatchWithMissingJadLeavesTheSlot)
{
    RoundTripRig rig;
    rig.put(kCardFirst.substr(1), j2mestWithCorelet(7, "Maps", "5: Maps"));
    rig.readJ2mest(false, true, true);
    rig.prompter.answers = {Answer::Yes};
    const auto result = rig.open();
    EXPECT_TRUE(result.patchOffered);
    EXPECT_FALSE(rig.state.cardPatched);
    EXPECT_EQ(rig.slots.cardSlots[7]->midlet1, "5: Maps");
    EXPECT_EQ(rig.tried().back(), listingPatternFor(std::string("/b/mobile/kjava/") + kImei + "/j2me7.jad"));
}

TEST(RoundTrip, FailedMenuReadLeavesTheDocumentCleared)
{
    RoundTripRig rig;
    ASSERT_TRUE(rig.open().ok);
    ASSERT_FALSE(rig.menu.document.isEmpty());
    fs::remove(rig.phoneDir.path() / "a/mobile/system/mma_ucp");
    const auto result = rig.open();
    EXPECT_EQ(result.menuPath, "");
    EXPECT_TRUE(rig.menu.document.isEmpty());
    EXPECT_TRUE(rig.state.phoneReady);
}

TEST(RoundTrip, ReadsCutShortOpenNothing)
{
    // The menu: its read fails.
    RoundTripRig rig;
    ASSERT_TRUE(rig.open().ok);
    rig.shown.clear();
    rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Fail, kFsacRead);
    const auto menu = rig.open();
    EXPECT_EQ(menu.menuPath, "");
    EXPECT_TRUE(rig.menu.document.isEmpty());
    EXPECT_EQ(rig.shown, (std::vector<Notice>{{MessageIcon::Error, "Fatal P2K error", "Error reading mma_ucp"}}));

    // A J2MEST table cut after 20 blocks (20480 bytes, which would pass for a 660-byte layout)
    // is not parsed into slots.
    RoundTripRig cut;
    cut.put(kPhoneFirst.substr(1), j2mestWithCorelet(0, "Snake", "1: Snake"));
    cut.readJ2mest(true, false);
    // One read for the menu, then twenty full blocks of the table.
    cut.api->addTrap(PhoneCall::SendCmd, 22, RecordingPhone::TrapAction::Fail, kFsacRead);
    const auto table = cut.open();
    EXPECT_TRUE(table.ok);
    EXPECT_FALSE(cut.state.phoneJ2mestRead);
    EXPECT_FALSE(fs::exists(cut.local("j2mest_temp")));
    EXPECT_FALSE(cut.slots.phoneSlots[0].has_value());
    EXPECT_EQ(cut.shown, (std::vector<Notice>{kPhoneError}));
}

TEST(RoundTrip, DisconnectionForgetsThePatches)
{
    RoundTripRig rig;
    ASSERT_FALSE(rig.read().empty());
    testing::writeBytes(rig.local("j2mest_temp"), {1, 2, 3});
    rig.state.phonePatched = true;
    rig.state.cardPatched = true;
    rig.state.storedToPhone = true;
    rig.state.phoneJ2mestPath = kPhoneFirst;
    rig.settings.patchJ2mest = true;

    forgetPhoneState(rig.state);
    EXPECT_FALSE(rig.state.storedToPhone);
    // The next phone gets the menu, never the table patched for the last one.
    rig.api->clearRequests();
    // Looked up, then its size checked after it was written over.
    EXPECT_TRUE(writePhoneMenu(*rig.rt));
    EXPECT_EQ(rig.tried(), listed({kMenu, kMenu}));
}

TEST(RoundTrip, RestartAfterAnOpenThatEndedUnpluggedDoesNothing)
{
    RoundTripRig rig;
    rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Unplug, kFsacRead);
    const auto result = rig.open();
    EXPECT_FALSE(rig.link.connected);
    EXPECT_FALSE(rig.state.phoneReady);
    rig.api->clearRequests();
    EXPECT_FALSE(restartWhenReady(*rig.rt));
    EXPECT_TRUE(rig.calls(PhoneCall::Restart).empty());
    (void)result;
}

TEST(RoundTrip, RestartLogsAndClearsStoredToPhone)
{
    RoundTripRig rig;
    ASSERT_TRUE(rig.log.create(rig.local("p2klog.txt")).ok());
    rig.log.setEnabled(true);
    rig.state.storedToPhone = true;
    EXPECT_TRUE(restartWhenReady(*rig.rt));
    EXPECT_EQ(rig.calls(PhoneCall::Restart).size(), 1u);
    EXPECT_FALSE(rig.state.storedToPhone);
    rig.log.close();
    EXPECT_EQ(testing::readText(rig.local("p2klog.txt")), "Phone is restarted\r\n");
}

TEST(RoundTrip, ClosingAfterASaveAsksToRebootOnce)
{
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        RoundTripRig rig;
        ASSERT_TRUE(rig.open().ok);
        ASSERT_TRUE(saveMenuToPhone(*rig.rt, rig.menu));
        ASSERT_TRUE(rig.state.storedToPhone);
        rig.prompter.answers = {answer};
        // The close request repeats while the window fades out.
        askRestartOnClose(*rig.rt);
        askRestartOnClose(*rig.rt);
        askRestartOnClose(*rig.rt);
        EXPECT_EQ(rig.prompter.prompts, (std::vector<Prompt>{kRebootQuestion}));
        EXPECT_EQ(rig.calls(PhoneCall::Restart).size(), answer == Answer::Yes ? 1u : 0u);
        EXPECT_FALSE(rig.state.storedToPhone);
    }
}

TEST(RoundTrip, NoRebootQuestionWhenUnplugged)
{
    RoundTripRig rig;
    rig.state.storedToPhone = true;
    rig.virtualPhone->unplug();
    askRestartOnClose(*rig.rt);
    EXPECT_TRUE(rig.prompter.prompts.empty());
    EXPECT_FALSE(rig.state.storedToPhone);
}

TEST(RoundTrip, SaveSetsTheSystemAttributeWhenAsked)
{
    for (const bool attr : {false, true}) {
        RoundTripRig rig;
        rig.settings.setSystemAttr = attr;
        ASSERT_TRUE(rig.open().ok);
        rig.api->clearRequests();
        ASSERT_TRUE(saveMenuToPhone(*rig.rt, rig.menu));
        const auto creates = rig.calls(PhoneCall::FileCreate);
        if (attr) {
            ASSERT_EQ(creates.size(), 1u);
            EXPECT_EQ(creates[0].text, kMenu);
            EXPECT_EQ(creates[0].args, (std::vector<int>{4}));
        } else {
            EXPECT_TRUE(creates.empty());
        }
        EXPECT_EQ(rig.onPhone("a/mobile/system/mma_ucp"), testing::readBytes(rig.local("mma_temp")));
    }
}

TEST(RoundTrip, FailedMenuUploadStopsTheSave)
{
    RoundTripRig rig;
    rig.settings.setSystemAttr = true;
    rig.state.phonePatched = true;
    rig.settings.patchJ2mest = true;
    ASSERT_TRUE(rig.open().ok);
    rig.state.storedToPhone = true;
    rig.api->clearRequests();
    rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Fail, kFsacWrite);
    const Status written = writePhoneMenu(*rig.rt);
    EXPECT_FALSE(rig.state.storedToPhone);
    // The phone's menu was kept before it was written over, and put back at once: the phone
    // still answers. Nothing else of the save follows.
    const auto backup =
        fs::directory_iterator(rig.local("Backups") + "/" + backupPhoneFolder(rig.link.imei) + "/a/mobile/system")
            ->path()
            .string();
    EXPECT_EQ(written.error(), "Error writing " + kMenu + ". The phone's previous file was put back");
    EXPECT_EQ(rig.state.menuBackup, backup);
    EXPECT_FALSE(rig.state.menuLeftCut);
    EXPECT_EQ(testing::readBytes(backup), menuBytes());
    EXPECT_EQ(rig.onPhone("a/mobile/system/mma_ucp"), menuBytes());
    EXPECT_TRUE(rig.calls(PhoneCall::FileCreate).empty());
    // Looked up, then the size of the menu put back checked.
    EXPECT_EQ(rig.tried(), listed({kMenu, kMenu}));
}

TEST(RoundTrip, FailedJ2mestUploadIsReported)
{
    RoundTripRig rig;
    ASSERT_FALSE(rig.read().empty());
    testing::writeBytes(rig.local("j2mest_temp"), {1, 2, 3});
    testing::writeBytes(rig.local("j2mest_mmc"), {4, 5, 6});
    rig.state.phonePatched = true;
    rig.state.cardPatched = true;
    rig.state.phoneJ2mestPath = "/z/none/J2MEST";   // no volume z: the phone refuses it
    rig.state.cardJ2mestPath = kCardFirst;
    rig.settings.patchJ2mest = true;
    EXPECT_EQ(writePhoneMenu(*rig.rt).error(), "Error writing /z/none/J2MEST");
    EXPECT_TRUE(rig.state.storedToPhone);
    EXPECT_FALSE(fs::exists(rig.phoneDir.path() / kCardFirst.substr(1)));

    // With the phone's table written, the card's follows.
    fs::create_directories(rig.phoneDir.path() / "a/mobile/kjava");
    fs::create_directories(rig.phoneDir.path() / kCardFirst.substr(1, kCardFirst.size() - 8));
    rig.state.phoneJ2mestPath = kPhoneFirst;
    EXPECT_TRUE(writePhoneMenu(*rig.rt));
    EXPECT_EQ(rig.onPhone(kPhoneFirst.substr(1)), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(rig.onPhone(kCardFirst.substr(1)), (std::vector<uint8_t>{4, 5, 6}));

    // Patched copies stay on the phone side only while patching is allowed.
    rig.settings.patchJ2mest = false;
    rig.api->clearRequests();
    // Looked up, then its size checked after it was written over.
    EXPECT_TRUE(writePhoneMenu(*rig.rt));
    EXPECT_EQ(rig.tried(), listed({kMenu, kMenu}));
}

TEST(RoundTrip, ReReadingATableDropsItsPatch)
{
    RoundTripRig rig;
    rig.put(kPhoneFirst.substr(1), j2mestWithCorelet(0, "A", "1: A"));
    rig.readJ2mest(true, false, true);
    rig.state.phonePatched = true;
    rig.state.cardPatched = true;   // the card's copy is not read again: its patch stays
    ASSERT_FALSE(rig.read().empty());
    EXPECT_FALSE(rig.state.phonePatched);
    EXPECT_TRUE(rig.state.cardPatched);
}

TEST(RoundTrip, SaveOfARefusedDocumentUploadsNothing)
{
    RoundTripRig rig;
    ASSERT_TRUE(rig.open().ok);
    const auto before = testing::readBytes(rig.local("mma_temp"));
    // An item the available items no longer hold: the writer refuses the document.
    rig.menu.items.setAvailable({});
    rig.api->clearRequests();
    const Status saved = saveMenuToPhone(*rig.rt, rig.menu);
    EXPECT_EQ(saved.failure().kind, ErrorKind::Refused);
    EXPECT_TRUE(rig.tried().empty());
    EXPECT_FALSE(rig.state.storedToPhone);
    EXPECT_EQ(testing::readBytes(rig.local("mma_temp")), before);
    EXPECT_TRUE(rig.state.phoneReady);
}

TEST(RoundTrip, FailedWriteOfTheWorkingCopyUploadsNothing)
{
    RoundTripRig rig;
    ASSERT_TRUE(rig.open().ok);
    // A folder in the working copy's place: the new file cannot be renamed over it.
    fs::remove(rig.local("mma_temp"));
    fs::create_directories(fs::path(rig.local("mma_temp")) / "inside");
    rig.api->clearRequests();
    const Status saved = saveMenuToPhone(*rig.rt, rig.menu);
    EXPECT_EQ(saved.failure().kind, ErrorKind::Io);
    EXPECT_FALSE(saved.error().empty());
    EXPECT_TRUE(rig.tried().empty());
    EXPECT_FALSE(rig.state.storedToPhone);
}

} // namespace
} // namespace tessaro
