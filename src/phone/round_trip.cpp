#include "phone/round_trip.h"

#include <algorithm>
#include <filesystem>

#include "core/prompter.h"
#include "core/translatable.h"
#include "core/open_menu.h"
#include "workspace/settings.h"
#include "phone/j2mest.h"
#include "phone/listing.h"
#include "p2k/phone_client.h"
#include "phone/phone_context.h"
#include "phone/transfer.h"

namespace tessaro {

namespace {

constexpr char kFatalCaption[] = TRANSLATABLE("Core", "Fatal P2K error");

std::string local(const RoundTrip& rt, const char* name) { return rt.workFolder + name; }

// Tries each location in turn until one reads, its progress window showing `label`; leaves
// the path and folder of the last one tried in `path` and `folder`. The last failure when none
// reads.
Status readJ2mest(RoundTrip& rt, const std::array<J2mestLocation, 2>& locations, const std::string& copy,
                  const std::string& label, std::string& path, std::string& folder)
{
    Status read;
    for (const J2mestLocation& location : locations) {
        path = location.path;
        folder = location.javaFolder;
        read = downloadFile(rt.phone, location.path, copy, label);
        if (read || read.cancelled())
            return read;
    }
    return read;
}

// Uploads a patched J2MEST copy and marks it as a system file, whatever the settings say.
Status writeJ2mest(RoundTrip& rt, const char* copy, const std::string& phonePath)
{
    const Status sent = uploadFile(rt.phone, local(rt, copy), phonePath);
    if (!sent)
        return sent;
    (void)rt.phone.client.setAttributes(phonePath, kSystemAttribute);
    return Status::success();
}

Status patchCopy(RoundTrip& rt, const PatchList& list, const std::string& javaFolder, const std::string& copy,
                 bool& patched)
{
    const std::string jad = local(rt, "temp.jad");
    for (const PatchEntry& entry : list) {
        const std::string jadName = "j2me" + std::to_string(entry.slot) + ".jad";
        // A descriptor that cannot be downloaded must leave no name behind, not the last one's.
        std::error_code ignored;
        std::filesystem::remove(jad, ignored);
        (void)downloadFile(rt.phone, javaFolder + jadName, jad, TRANSLATABLE("Core", "Downloading ") + jadName);
        const std::string name = readJadMidletName(jad);
        if (name.empty())
            continue;
        const Status written = patchMidlet1File(copy, entry.offset, name);
        if (!written) {
            std::error_code ignored;
            std::filesystem::remove(jad, ignored);
            return written;
        }
        patched = true;
    }
    std::error_code ignored;
    std::filesystem::remove(jad, ignored);
    return Status::success();
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

Result<PhoneMenuRead> readPhoneMenu(RoundTrip& rt)
{
    PhoneContext& phone = rt.phone;
    RoundTripState& state = rt.state;
    PhoneMenuRead result{local(rt, kMenuWorkingCopy), {}};
    const Status read = downloadFile(phone, kPhoneMenuPath, result.menuPath, TRANSLATABLE("Core", "Reading mma_ucp"));
    // Part of a menu file is no menu: nothing of it is opened.
    if (!read) {
        if (read.cancelled() || read.failure().kind == ErrorKind::Io)
            return read.failure();
        return Error(read.failure().kind, TRANSLATABLE("Core", "Error reading mma_ucp"), kFatalCaption);
    }
    const auto volumes = phone.client.queryVolumes();
    if (!volumes) {
        result.problems.push_back({MessageIcon::Error, kFatalCaption, volumes.error()});
        return result;
    }
    const bool card = std::find(volumes->begin(), volumes->end(), 'b') != volumes->end();

    state.phoneJ2mestRead = false;
    state.cardJ2mestRead = false;
    if (!rt.settings.readJ2mest)
        return result;

    if (rt.settings.j2mestFromPhone) {
        // The copy is about to be replaced by the phone's own file: a patch it held is gone, and
        // writing back what was just read (perhaps only in part) could only harm the phone's table.
        state.phonePatched = false;
        const Status table =
            readJ2mest(rt, phoneJ2mestLocations(), local(rt, kPhoneJ2mestCopy),
                       TRANSLATABLE("Core", "Reading J2MEST [phone]"), state.phoneJ2mestPath, state.phoneJavaFolder);
        if (!table) {
            state.phoneJ2mestPath.clear();
            if (!table.cancelled())
                result.problems.push_back(
                    {MessageIcon::Error, kFatalCaption, TRANSLATABLE("Core", "Error reading J2MEST [phone]")});
            return result;
        }
        state.phoneJ2mestRead = true;
    }

    if (rt.settings.j2mestFromCard && card) {
        state.cardPatched = false;
        state.cardJ2mestRead = true;
        const Status table =
            readJ2mest(rt, cardJ2mestLocations(phone.link.imei), local(rt, kCardJ2mestCopy),
                       TRANSLATABLE("Core", "Reading J2MEST [card]"), state.cardJ2mestPath, state.cardJavaFolder);
        if (!table) {
            state.cardJ2mestRead = false;
            state.cardJ2mestPath.clear();
            if (!table.cancelled())
                result.problems.push_back(
                    {MessageIcon::Error, TRANSLATABLE("Core", "P2K error"),
                     TRANSLATABLE("Core", "    Error reading J2MEST [card]\r\nFile read error or J2MEST absent")});
        }
    }
    return result;
}

Status writePhoneMenu(RoundTrip& rt)
{
    PhoneContext& phone = rt.phone;
    RoundTripState& state = rt.state;
    state.storedToPhone = false;
    UploadReport report;
    const Status sent = uploadFile(phone, local(rt, kMenuWorkingCopy), kPhoneMenuPath, nullptr, &report);
    state.menuBackup = report.backup;
    state.menuLeftCut = report.leftCut;
    if (!sent)
        return sent;
    state.storedToPhone = true;
    if (rt.settings.setSystemAttr)
        (void)phone.client.setAttributes(kPhoneMenuPath, kSystemAttribute);
    return writeJ2mestCopies(rt);
}

Status putBackPhoneMenu(RoundTrip& rt)
{
    const Result<std::string> putBack = putBackBackup(rt.phone, kPhoneMenuPath);
    if (!putBack)
        return putBack.failure();
    rt.state.menuLeftCut = false;
    return Status::success();
}

Status writeJ2mestCopies(RoundTrip& rt)
{
    const RoundTripState& state = rt.state;
    if (state.phonePatched && rt.settings.patchJ2mest)
        if (Status written = writeJ2mest(rt, kPhoneJ2mestCopy, state.phoneJ2mestPath); !written)
            return written;
    if (state.cardPatched && rt.settings.patchJ2mest)
        if (Status written = writeJ2mest(rt, kCardJ2mestCopy, state.cardJ2mestPath); !written)
            return written;
    return Status::success();
}

void sendRestart(RoundTrip& rt)
{
    (void)rt.phone.client.restart();
    rt.state.storedToPhone = false;
}

Status parseJavaSlots(RoundTrip& rt)
{
    return loadJavaSlotTables(rt.slots, rt.state.phoneJ2mestRead ? local(rt, kPhoneJ2mestCopy) : std::string(),
                              rt.state.cardJ2mestRead ? local(rt, kCardJ2mestCopy) : std::string());
}

Status patchJavaSlots(RoundTrip& rt)
{
    rt.state.phonePatched = false;
    rt.state.cardPatched = false;
    if (Status patched = patchCopy(rt, rt.slots.phonePatchList, rt.state.phoneJavaFolder, local(rt, kPhoneJ2mestCopy),
                                   rt.state.phonePatched);
        !patched)
        return patched;
    return patchCopy(rt, rt.slots.cardPatchList, rt.state.cardJavaFolder, local(rt, kCardJ2mestCopy),
                     rt.state.cardPatched);
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

} // namespace tessaro
