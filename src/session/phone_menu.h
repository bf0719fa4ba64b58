#pragma once
// The menu's round trip through the phone as the editor runs it: open the phone's menu as the
// document, offer the Java table patch, save the document to the phone.

#include <string>
#include <vector>

#include "core/notice.h"
#include "core/result.h"
#include "core/translatable.h"
#include "phone/round_trip.h"

namespace tessaro {

class ProfileManager;
struct OpenMenu;

struct PhoneOpenResult {
    std::string menuPath;          // the menu copy read; empty when the menu could not be read
    bool repaired = false;         // the open repaired a damaged file
    bool patchOffered = false;     // the J2MEST tables need the corelet patch and may have it
    std::vector<Notice> messages;  // what to show, in order: profile notices, repairs, tables
};

// "Open from phone": clears the document, reads the phone's menu and J2MEST files, opens the
// menu copy under the profile in force and parses the J2MEST copies. Fails when the menu
// could not be read or opened (the document stays cleared). phoneReady is false while it runs
// and then follows connected. When patchOffered, the caller shows the messages and then asks
// whether to patch (kPatchRequestText) before patchJavaTables.
Result<PhoneOpenResult> openMenuFromPhone(RoundTrip& rt, OpenMenu& menu, ProfileManager& profiles);

// The question before the corelet patch of the J2MEST tables.
inline constexpr char kPatchRequestCaption[] = TRANSLATABLE("Core", "Patch request");
inline constexpr char kPatchRequestText[] = TRANSLATABLE("Core", "J2MEST file(s) seem to contain wrong CORELET info\r\n"
                                                                 "preventing them from starting from main menu\r\n"
                                                                 "      Attempt patching?");

// Patches the J2MEST tables (see patchJavaSlots) and reads the patched tables again.
Status patchJavaTables(RoundTrip& rt);

// "Save to phone": writes the document to "mma_temp" and, when that succeeded, uploads it with
// writePhoneMenu. A refused or failed write uploads nothing.
Status saveMenuToPhone(RoundTrip& rt, OpenMenu& menu);

} // namespace tessaro
