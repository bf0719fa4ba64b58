#include "session/phone_menu.h"

#include <filesystem>

#include "core/prompter.h"
#include "core/translatable.h"
#include "core/open_menu.h"
#include "phone/j2mest.h"
#include "workspace/settings.h"
#include "phone/phone_context.h"
#include "session/menu_open.h"

namespace tessaro {

namespace {

std::string local(const RoundTrip& rt, const char* name) { return rt.workFolder + name; }

} // namespace

Result<PhoneOpenResult> openMenuFromPhone(RoundTrip& rt, OpenMenu& menu, ProfileManager& profiles)
{
    RoundTripState& state = rt.state;

    // A failed read leaves the document cleared.
    menu.document.clear();
    state.phoneReady = false;
    const auto read = readPhoneMenu(rt);
    state.phoneReady = rt.phone.link.connected;
    if (!read)
        return read.failure();
    PhoneOpenResult result;
    result.menuPath = read->menuPath;
    const Result<MenuOpenReport> opened = openMenuFile(result.menuPath, menu, profiles);
    if (!opened)
        return Error(opened.failure().kind, opened.error(), kErrorCaption);
    // In the order they happened: what could not be read, then what the open found.
    result.messages = read->problems;
    result.messages.insert(result.messages.end(), opened->notices.begin(), opened->notices.end());
    if (opened->repaired)
        result.messages.push_back(repairsNotice(*opened));
    result.repaired = opened->repaired;

    if (!std::filesystem::exists(local(rt, kPhoneJ2mestCopy)) && !std::filesystem::exists(local(rt, kCardJ2mestCopy)))
        return result;
    rt.slots.clearJavaSlots();
    if (const Status parsed = parseJavaSlots(rt); !parsed)
        result.messages.push_back({MessageIcon::Error, parsed.failure().caption, parsed.error()});
    result.patchOffered =
        (state.phoneJ2mestRead || state.cardJ2mestRead) && rt.settings.patchJ2mest && rt.slots.needsPatch;
    return result;
}

Status patchJavaTables(RoundTrip& rt)
{
    const Status patched = patchJavaSlots(rt);
    if (rt.state.phonePatched || rt.state.cardPatched) {
        rt.slots.clearJavaSlots();
        if (const Status parsed = parseJavaSlots(rt); !parsed)
            return parsed;
    }
    return patched;
}

Status saveMenuToPhone(RoundTrip& rt, OpenMenu& menu)
{
    rt.state.phoneReady = false;
    // Only a complete new "mma_temp" is uploaded: after a failed write an older copy may still
    // be there, and sending it would pass the failure off as a save.
    Status saved = writeMenuFile(local(rt, kMenuWorkingCopy), menu);
    if (saved)
        saved = writePhoneMenu(rt);
    rt.state.phoneReady = rt.phone.link.connected;
    return saved;
}

} // namespace tessaro
