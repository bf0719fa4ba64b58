#pragma once
// The editor's open sequence: read an mma_ucp file under the profile in force, fall back to
// the default profile when the file uses items the profile lacks, and take in identifiers
// that were new to the item base.

#include <string>
#include <vector>
#include "core/translatable.h"

namespace tessaro {

class ProfileManager;
class Prompter;
struct Workspace;

struct OpenResult {
    bool ok = true;
    std::string error;                  // the read error text when !ok
    bool profileMismatch = false;       // the profile was dropped for the default one
    bool itemBaseUpdated = false;       // identifiers were appended to itembase.dat
    std::vector<std::string> warnings;  // the reader's notes on the final read
    // The reader repaired or skipped damaged parts: the document is not what the file holds,
    // so it counts as modified.
    bool repaired = false;
};

inline constexpr char kRepairedCaption[] = TRANSLATABLE("Core", "File repaired");

// Reads `path` into the document, replacing it: in default mode when the selector is at
// "Default", else under the profile. A profile mismatch warns ("Profile error"), makes the
// whole item base available, puts the selector at "Default" and reads again; appended
// identifiers reload the item base, read the file once more and report "Item base has been
// updated". A read failure ends the sequence with its error text (not shown here); a file
// that is no menu file changes nothing.
OpenResult openMenuFile(const std::string& path, Workspace& ws, ProfileManager& profiles,
                        Prompter& prompter);

// After a repaired open: one message (caption "File repaired", warning icon) that lists the
// reader's notes. Nothing for a clean open.
void showRepairs(const OpenResult& result, Prompter& prompter);

} // namespace tessaro
