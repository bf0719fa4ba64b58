#pragma once
// Writing mma_ucp: the header, the item records straight from the tree in sibling-group order
// and the data area, under the save mode of the "MMA save mode" panel.
//
// The whole file is built in memory first. Limits of the format (255 records, a 65535-byte
// data area, 16-bit lengths) are refused before anything is written, and a file on disk is
// replaced only by a complete new one.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

class Prompter;
struct Workspace;

// Shown (caption "Profile error", error icon) when an item is outside the available items.
inline constexpr std::string_view kProfileMismatchText =
    TRANSLATABLE("Core", "mma_ucp doesn't match current profile");
inline constexpr std::string_view kProfileErrorCaption = TRANSLATABLE("Core", "Profile error");

// Refused in 22-byte records (caption "Error"), followed by the items' names.
inline constexpr std::string_view kDialIn22ByteText =
    "\"Dial this number\" cannot be saved in 22-byte records, where that record is an icon. Items: ";

struct WriteReport {
    bool ok = false;
    // The document was refused: an item outside the profile, or a limit of the format. The
    // prompter has shown why; `error` holds the same text. This is the save-failed flag.
    bool refused = false;
    // The text of the refusal or of the I/O error; the caller shows an I/O error itself.
    std::string error;
};

// Renders the document and replaces `path` with it: a temporary file in the same folder is
// written and renamed over the target only when complete, so a refused or failed save leaves
// an existing file untouched. Stores normalised itemType and dataLength values in the nodes.
WriteReport writeMenuFile(const std::string& path, Workspace& ws, Prompter& prompter);

// The bytes of the file writeMenuFile would write, or the refusal text (the prompter has shown
// it). Stores normalised itemType and dataLength values in the nodes as a save does.
Result<std::vector<uint8_t>> renderMenuFile(Workspace& ws, Prompter& prompter);

} // namespace tessaro
