#include "phone/round_trip.h"

#include <algorithm>
#include <filesystem>

#include "core/prompter.h"
#include "core/translatable.h"
#include "core/workspace.h"
#include "workspace/settings.h"
#include "phone/j2mest.h"
#include "phone/listing.h"
#include "p2k/operation_log.h"
#include "p2k/p2k_api.h"
#include "phone/phone_context.h"
#include "phone/transfer.h"

namespace tessaro {

namespace {

constexpr char kFatalCaption[] = TRANSLATABLE("Core", "Fatal P2K error");

std::string local(const RoundTrip& rt, const char* name) { return rt.phone.defaultFolder + name; }

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Tries each location in turn until one reads; leaves the path and folder of the last one
// tried in `path` and `folder`.
bool readJ2mest(RoundTrip& rt, const std::array<J2mestLocation, 2>& locations, const std::string& copy,
                std::string& path, std::string& folder)
{
    for (const J2mestLocation& location : locations) {
        path = location.path;
        folder = location.javaFolder;
        const Status read = downloadFile(rt.phone, location.path, copy);
        if (read)
            return true;
        if (read.cancelled()) {
            rt.phone.cancelled = true;
            return false;
        }
    }
    return false;
}

// Uploads a patched J2MEST copy and marks it as a system file, whatever the settings say.
bool writeJ2mest(RoundTrip& rt, const char* copy, const std::string& phonePath)
{
    const Status sent = uploadFile(rt.phone, local(rt, copy), phonePath);
    if (!sent) {
        if (!sent.cancelled())
            rt.phone.prompter.show(MessageIcon::Error, "", sent.error());
        return false;
    }
    (void)setPhoneAttributes(rt.phone, phonePath, kSystemAttribute);
    return true;
}

void patchCopy(RoundTrip& rt, const PatchList& list, const std::string& javaFolder, const std::string& copy,
               bool& patched)
{
    const std::string jad = local(rt, "temp.jad");
    for (const PatchEntry& entry : list) {
        const std::string jadName = "j2me" + std::to_string(entry.slot) + ".jad";
        rt.phone.progressLabel = TRANSLATABLE("Core", "Downloading ") + jadName;
        // A descriptor that cannot be downloaded must leave no name behind, not the last one's.
        std::error_code ignored;
        std::filesystem::remove(jad, ignored);
        (void)downloadFile(rt.phone, javaFolder + jadName, jad);
        const std::string name = readJadMidletName(jad);
        if (name.empty())
            continue;
        const Status written = patchMidlet1File(copy, entry.offset, name);
        if (!written) {
            rt.phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"), written.error());
            break;
        }
        patched = true;
    }
    std::error_code ignored;
    std::filesystem::remove(jad, ignored);
}

} // namespace

std::array<J2mestLocation, 2> phoneJ2mestLocations()
{
    return {J2mestLocation{"/a/mobile/kjava/J2MEST", "/c/mobile/kjava/"},
            J2mestLocation{"/a/mobile/kjava/installed/J2MEST", "/c/mobile/kjava/installed/"}};
}

std::array<J2mestLocation, 2> cardJ2mestLocations(const std::string& imei)
{
    return {J2mestLocation{"/b/mobile/kjava/" + imei + "/J2MEST", "/b/mobile/kjava/" + imei + "/"},
            J2mestLocation{"/b/mobile/kjava/installed/" + imei + "/J2MEST",
                           "/b/mobile/kjava/installed/" + imei + "/"}};
}

std::string readPhoneMenu(RoundTrip& rt)
{
    PhoneContext& phone = rt.phone;
    RoundTripState& state = rt.state;
    phone.progressLabel = TRANSLATABLE("Core", "Reading mma_ucp");
    const std::string menu = local(rt, kMenuWorkingCopy);
    const Status read = downloadFile(phone, kPhoneMenuPath, menu);
    if (!read) {
        // Part of a menu file is no menu: nothing of it is opened.
        phone.cancelled = read.cancelled();
        if (phone.cancelled)
            return {};
        if (read.failure().kind == ErrorKind::Io)
            phone.prompter.show(MessageIcon::Error, kErrorCaption, read.error());
        else
            phone.prompter.show(MessageIcon::Error, kFatalCaption, TRANSLATABLE("Core", "Error reading mma_ucp"));
        return {};
    }
    if (!queryVolumes(phone)) {
        phone.prompter.show(MessageIcon::Error, kFatalCaption,
                            TRANSLATABLE("Core", "Error getting volume info"));
        return menu;
    }
    const bool card = std::find(phone.volumes.begin(), phone.volumes.end(), 'b') != phone.volumes.end();

    state.phoneJ2mestRead = false;
    state.cardJ2mestRead = false;
    if (!rt.settings.readJ2mest)
        return menu;

    if (rt.settings.j2mestFromPhone) {
        // The copy is about to be replaced by the phone's own file: a patch it held is gone, and
        // writing back what was just read (perhaps only in part) could only harm the phone's table.
        state.phonePatched = false;
        phone.progressLabel = TRANSLATABLE("Core", "Reading J2MEST [phone]");
        if (!readJ2mest(rt, phoneJ2mestLocations(), local(rt, kPhoneJ2mestCopy), state.phoneJ2mestPath,
                        state.phoneJavaFolder)) {
            state.phoneJ2mestPath.clear();
            if (!phone.cancelled)
                phone.prompter.show(MessageIcon::Error, kFatalCaption, TRANSLATABLE("Core", "Error reading J2MEST [phone]"));
            return menu;
        }
        state.phoneJ2mestRead = true;
    }

    if (rt.settings.j2mestFromCard && card) {
        state.cardPatched = false;
        state.cardJ2mestRead = true;
        phone.progressLabel = TRANSLATABLE("Core", "Reading J2MEST [card]");
        if (!readJ2mest(rt, cardJ2mestLocations(phone.link.imei), local(rt, kCardJ2mestCopy),
                        state.cardJ2mestPath, state.cardJavaFolder)) {
            state.cardJ2mestRead = false;
            state.cardJ2mestPath.clear();
            if (!phone.cancelled)
                phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "P2K error"),
                                TRANSLATABLE("Core", "    Error reading J2MEST [card]\r\nFile read error or J2MEST absent"));
        }
    }
    return menu;
}

bool writePhoneMenu(RoundTrip& rt)
{
    PhoneContext& phone = rt.phone;
    RoundTripState& state = rt.state;
    state.storedToPhone = false;
    const Status sent = uploadFile(phone, local(rt, kMenuWorkingCopy), kPhoneMenuPath, nullptr, &state.menuBackup);
    if (!sent) {
        phone.cancelled = sent.cancelled();
        if (!phone.cancelled)
            phone.prompter.show(MessageIcon::Error, "",
                                sent.error());
        return false;
    }
    state.storedToPhone = true;
    if (rt.settings.setSystemAttr)
        (void)setPhoneAttributes(phone, kPhoneMenuPath, kSystemAttribute);
    return writeJ2mestCopies(rt);
}

Status putBackPhoneMenu(RoundTrip& rt)
{
    if (rt.state.menuBackup.empty())
        return Error(ErrorKind::Refused, TRANSLATABLE("Core", "No earlier menu of the phone is kept"));
    const Status sent = uploadFile(rt.phone, rt.state.menuBackup, kPhoneMenuPath);
    if (sent && rt.settings.setSystemAttr)
        return setPhoneAttributes(rt.phone, kPhoneMenuPath, kSystemAttribute);
    return sent;
}

bool writeJ2mestCopies(RoundTrip& rt)
{
    const RoundTripState& state = rt.state;
    if (state.phonePatched && rt.settings.patchJ2mest
        && !writeJ2mest(rt, kPhoneJ2mestCopy, state.phoneJ2mestPath))
        return false;
    if (state.cardPatched && rt.settings.patchJ2mest
        && !writeJ2mest(rt, kCardJ2mestCopy, state.cardJ2mestPath))
        return false;
    return true;
}

void sendRestart(RoundTrip& rt)
{
    rt.phone.log.writeLine("Phone is restarted");
    (void)rt.phone.api.P2K_Restart();
    rt.state.storedToPhone = false;
}

bool parseJavaSlots(RoundTrip& rt)
{
    return loadJavaSlotTables(rt.slots, rt.phone.prompter,
                       rt.state.phoneJ2mestRead ? local(rt, kPhoneJ2mestCopy) : std::string(),
                       rt.state.cardJ2mestRead ? local(rt, kCardJ2mestCopy) : std::string());
}

void patchJavaSlots(RoundTrip& rt)
{
    rt.state.phonePatched = false;
    rt.state.cardPatched = false;
    patchCopy(rt, rt.slots.phonePatchList, rt.state.phoneJavaFolder, local(rt, kPhoneJ2mestCopy),
              rt.state.phonePatched);
    patchCopy(rt, rt.slots.cardPatchList, rt.state.cardJavaFolder, local(rt, kCardJ2mestCopy),
              rt.state.cardPatched);
}

PhoneOpenResult openMenuFromPhone(RoundTrip& rt, Workspace& ws, ProfileManager& profiles)
{
    PhoneOpenResult result;
    RoundTripState& state = rt.state;
    Prompter& prompter = rt.phone.prompter;

    // A failed read leaves the document cleared.
    ws.document.clear();
    state.phoneReady = false;
    result.menuPath = readPhoneMenu(rt);
    state.phoneReady = rt.phone.link.connected;
    if (!result.menuPath.empty()) {
        const Result<OpenedMenu> opened = openMenuFile(result.menuPath, ws, profiles);
        if (opened) {
            std::vector<Notice> notices = opened->notices;
            if (opened->repaired)
                notices.push_back(repairsNotice(*opened));
            for (const Notice& notice : notices)
                prompter.show(notice.icon, notice.caption, notice.text);
            result.repaired = opened->repaired;
        } else {
            result.open = opened.failure();
            prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"), opened.error());
        }
    }

    if (!fileExists(local(rt, kPhoneJ2mestCopy)) && !fileExists(local(rt, kCardJ2mestCopy)))
        return result;
    rt.slots.clearJavaSlots();
    (void)parseJavaSlots(rt);
    if (!(state.phoneJ2mestRead || state.cardJ2mestRead) || !rt.settings.patchJ2mest || !rt.slots.needsPatch)
        return result;
    result.patchAsked = true;
    const Answer answer = prompter.ask(MessageIcon::Question, TRANSLATABLE("Core", "Patch request"),
                                       TRANSLATABLE("Core", "J2MEST file(s) seem to contain wrong CORELET info\r\n"
                                       "preventing them from starting from main menu\r\n"
                                       "      Attempt patching?"),
                                       Buttons::YesNo);
    if (answer != Answer::Yes)
        return result;
    patchJavaSlots(rt);
    if (state.phonePatched || state.cardPatched) {
        rt.slots.clearJavaSlots();
        (void)parseJavaSlots(rt);
    }
    return result;
}

PhoneSaveResult saveMenuToPhone(RoundTrip& rt, Workspace& ws)
{
    PhoneSaveResult result;
    rt.state.phoneReady = false;
    result.write = writeMenuFile(local(rt, kMenuWorkingCopy), ws);
    // Only a complete new "mma_temp" is uploaded: after a failed write an older copy may still
    // be there, and sending it would pass the failure off as a save.
    if (result.write.ok()) {
        result.uploaded = writePhoneMenu(rt);
    } else {
        const Error& failed = result.write.failure();
        rt.phone.prompter.show(MessageIcon::Error,
                               failed.kind == ErrorKind::Refused ? failed.caption : TRANSLATABLE("Core", "Error"),
                               failed.text);
    }
    rt.state.phoneReady = rt.phone.link.connected;
    return result;
}

bool restartWhenReady(RoundTrip& rt)
{
    if (!rt.state.phoneReady)
        return false;
    sendRestart(rt);
    return true;
}

void askRestartOnClose(RoundTrip& rt)
{
    if (rt.state.storedToPhone && rt.phone.link.connected) {
        const Answer answer = rt.phone.prompter.ask(MessageIcon::Question, "",
                                                    TRANSLATABLE("Core", "mma_ucp was stored to the phone\r\n      Should we reboot it?"),
                                                    Buttons::YesNo);
        if (answer == Answer::Yes)
            sendRestart(rt);
    }
    rt.state.storedToPhone = false;
}

void forgetPhoneState(RoundTripState& state)
{
    state.storedToPhone = false;
    state.phonePatched = false;
    state.cardPatched = false;
}

void deleteWorkingFiles(const std::string& defaultFolder)
{
    for (const char* name : {kMenuWorkingCopy, kPhoneJ2mestCopy, kCardJ2mestCopy}) {
        std::error_code ignored;
        std::filesystem::remove(defaultFolder + name, ignored);
    }
}

} // namespace tessaro
