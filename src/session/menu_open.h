#pragma once
// The editor's open sequence: read an mma_ucp file under the profile in force, fall back to
// the default profile when the file uses items the profile lacks, and take in identifiers
// that were new to the item base.

#include <cstdint>
#include <string>
#include <vector>

#include "core/file_fingerprint.h"
#include "core/notice.h"
#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

class ProfileManager;
struct OpenMenu;

struct MenuOpenReport {
    bool profileMismatch = false;       // the profile was dropped for the default one
    bool itemBaseUpdated = false;       // identifiers were appended to itembase.dat
    std::vector<std::string> warnings;  // the reader's notes on the final read
    std::vector<uint8_t> bytesOutsideRecords; // what no save of the file keeps
    // The reader repaired or skipped damaged parts: the document is not what the file holds,
    // so it counts as modified.
    bool repaired = false;
    // For the caller to show, in order: the "Profile error" warning of the fallback to the
    // default profile, "Item base has been updated".
    std::vector<Notice> notices;
    // The file as it was read, for writeMenuFileChecked when the document is saved over it.
    FileFingerprint fingerprint;
};

inline constexpr char kRepairedCaption[] = TRANSLATABLE("Core", "File repaired");

// Reads `path` into the document, replacing it: in default mode when the selector is at
// "Default", else under the profile. A profile mismatch makes the whole item base available,
// puts the selector at "Default" and reads again; appended identifiers reload the item base
// and read the file once more. Fails with the read error (no caption); a file that is no
// menu file changes nothing. With `recordUnknown` false unknown identifiers are accepted
// without being added to itembase.dat.
Result<MenuOpenReport> openMenuFile(const std::string& path, OpenMenu& menu, ProfileManager& profiles,
                                bool recordUnknown = true);

// The message after a repaired open (caption "File repaired", warning icon) that lists the
// reader's notes.
Notice repairsNotice(const MenuOpenReport& opened);

} // namespace tessaro
