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
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/notice.h"
#include "core/result.h"
#include "core/translatable.h"
#include "workspace/firmware_search.h"

namespace tessaro {

class FirmwareImage;
class ProfileManager;
class Progress;
class ProgressFactory;
struct OpenMenu;

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

// The scan reads the image this many bytes at a time.
inline constexpr size_t kFirmwareBlockSize = 65536;

// Scans an image: one pass in blocks of `blockSize` bytes (at least 1) for the version mark
// and the item table (a pattern that straddles two blocks is found like any other), then the
// tables. `progress` (may be null) gets a percentage per block while no version mark is found.
// Fails only when the image cannot be read. `variant` chooses the pattern filter; tests,
// benchmarks and fuzzing choose both, the result is the same whatever they choose.
Result<FirmwareAnalysis> analyseFirmware(FirmwareImage& image, Progress* progress,
                                         SearchVariant variant = SearchVariant::Best,
                                         size_t blockSize = kFirmwareBlockSize);

// True when a firmware tag can name a profile file: not empty, no control characters, none
// of / \ : * ? " < > |, not starting with ".".
bool isUsableProfileTag(std::string_view tag);

// The profile file text (CR LF line ends) for a tag, a firmware record length and the names.
std::string firmwareProfileText(std::string_view tag, int recordLength,
                                const std::vector<FirmwareName>& names);

// What the caller shows after a profile was made, and after a failure (no caption, no icon;
// a file error comes before it).
inline constexpr std::string_view kProfileCreatedText = TRANSLATABLE("Core", "Profile was successfully created");
inline constexpr std::string_view kProfileNotCreatedText = TRANSLATABLE("Core", "Failed to create profile");

struct FirmwareProfile {
    std::string tag;  // the new profile's name
    // For the caller to show, in order: "Item base has been updated", a failed reload of the
    // item base, the profile error of loading the new profile.
    std::vector<Notice> notices;
};

// "Create new..." of the profile selector for the image at `imagePath`: scans it, writes
// Profiles/<tag>.prf, appends the names the item base lacks to itembase.dat, reloads the item
// base when it grew, lists the profiles, rebuilds the selector and loads the new profile.
// Fails with kind Cancelled for an empty path (the user cancelled the file question) or a
// Cancel in the scan's progress window, kind Format (kProfileNotCreatedText) when the image
// has no version mark, no complete item table or a tag that cannot name a file, kind Io with
// the file error (no caption) when a file cannot be read or written. A failure leaves the
// item base as it was. When a profile of that name exists already, `replaceExisting` is asked
// with its path: true replaces it; false, or no function, fails with kind Exists,
// kProfileExistsText and the path (no caption), and nothing is written.
Result<FirmwareProfile>
createProfileFromFirmware(const std::string& imagePath, OpenMenu& menu, ProfileManager& profiles,
                          ProgressFactory& progress,
                          const std::function<bool(const std::string& profilePath)>& replaceExisting);

// The failure of a profile that exists already, followed by its path; the window asks with it.
inline constexpr char kProfileExistsText[] = TRANSLATABLE("Core", "A profile of this firmware exists already: ");

} // namespace tessaro
