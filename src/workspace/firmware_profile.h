#pragma once
// Profiles made from a CG1 firmware image: the version mark names the profile and picks its
// save mode, the firmware's table of main-menu item names and its table of shortcut names
// give the profile's items. Names the item base lacks are appended to itembase.dat.
//
// What is searched, byte for byte:
//   version mark   "@(#)R" + a digit, "@(#)T" or "@(#)G"
//   item table     "2CLICK": the first item record (20 or 36 bytes a record)
//   shortcut end   00 FF FF FF FF FF FF after the item table; 52-byte shortcut records
//                  lie before it
//   dialled table  "Dialed" at an even offset after it; 44-byte records
// The image is read in one pass of 64 KiB blocks and is never changed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "workspace/firmware_search.h"

namespace tessaro {

class FirmwareImage;
class ItemLists;
class ProfileManager;
class Progress;
class ProgressFactory;
class Prompter;
struct Workspace;

inline constexpr std::string_view kFirmwareFail = "Fail";

struct FirmwareName {
    std::string name;
    bool shortcut = false;  // from the shortcut or dialled table: " [SC]" in the item base

    bool operator==(const FirmwareName&) const = default;
};

// What an image holds, before anything is written.
struct FirmwareAnalysis {
    bool versionFound = false;
    uint64_t versionOffset = 0;    // of the "@(#)" of the first version mark
    std::string tag;               // from the mark's letter on
    bool itemTableFound = false;
    uint64_t itemTableOffset = 0;  // of the first "2CLICK"
    int recordLength = 0;          // 20 or 36 once the table was found
    std::vector<FirmwareName> names;  // profile order: items, then shortcuts
    size_t itemCount = 0;          // item records walked
    size_t shortcutCount = 0;      // shortcut or dialled records walked
};

// Scans an image: one pass in 64 KiB blocks for the version mark and the item table (a
// pattern that straddles two blocks is found like any other), then the tables. `progress`
// (may be null) gets a percentage per block while no version mark is found. Fails only when
// the image cannot be read. `variant` chooses the pattern filter (tests and benchmarks).
Result<FirmwareAnalysis> analyseFirmware(FirmwareImage& image, Progress* progress,
                                         SearchVariant variant = SearchVariant::Best);

// True when a firmware tag can name a profile file: not empty, no control characters, none
// of / \ : * ? " < > |, not starting with ".".
bool isUsableProfileTag(std::string_view tag);

// The profile file text (CR LF line ends) for a tag, a firmware record length and the names.
std::string firmwareProfileText(std::string_view tag, int recordLength,
                                const std::vector<FirmwareName>& names);

struct FirmwareProfileResult {
    std::string result;            // "" when cancelled, "Fail", or the firmware tag
    bool itemBaseUpdated = false;  // lines were appended to itembase.dat
    std::string error;             // the text of a failed file operation, if any
};

// createProfileFromFirmware for the image at `imagePath` (an empty path: the user cancelled; so
// does a Cancel in the scan's progress window).
// Writes Profiles/<tag>.prf, appends the names the item base in `items` lacks to itembase.dat
// and shows "Item base has been updated" when it did. The result is "Fail" when the image
// has no version mark, no complete item table, or a tag that cannot name a file; a failed
// file operation gives "Fail" with its error text.
FirmwareProfileResult createProfileFromFirmware(const std::string& imagePath,
                                            const ProfileManager& profiles,
                                            const ItemLists& items, ProgressFactory& progress,
                                            Prompter& prompter);

// What the profile selector does afterwards: reload the item base when it grew; on success
// list the profiles, rebuild the selector, load the new profile and show "Profile was
// successfully created"; on failure show the error text (if any) and "Failed to create
// profile"; after a cancel nothing.
void finishFirmwareProfile(const FirmwareProfileResult& result, Workspace& ws,
                           ProfileManager& profiles, Prompter& prompter);

} // namespace tessaro
