#pragma once
// Writing mma_ucp: the header, the item records straight from the tree in sibling-group order
// and the data area, under the save mode of the "MMA save mode" panel.
//
// The whole file is built in memory first. Limits of the format (255 records, a 65535-byte
// data area, 16-bit lengths) are refused before anything is written, and a file on disk is
// replaced only by a complete new one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/item_lists.h"
#include "core/replacing_file.h"
#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

struct FileFingerprint;
struct OpenMenu;

// The most menu items a document holds: record positions are one byte (0xFF means none), and
// 10 of the 255 records are the file root, the Softkeys container, the softkeys and the
// Menu Root.
inline constexpr size_t kMaxMenuItems = 245;

// Refused in 22-byte records (caption "Error"), followed by the items' names.
inline constexpr std::string_view kDialIn22ByteText =
    "\"Dial this number\" cannot be saved in 22-byte records, where that record is an icon. Items: ";

// Refused in 22-byte records (caption "Error"), whose name field holds 12 bytes, followed by the
// longer names.
inline constexpr char kLongNameIn22ByteText[] =
    TRANSLATABLE("Core", "Names longer than 12 bytes cannot be saved in 22-byte records, where they would be cut. "
                         "Items: ");

class SaveMode;

inline constexpr size_t kMenuHeaderSize = 10;

// The header a save writes under `mode` for a file of `records` records: the format marker
// 0x01 (0x03 with the c698p fix) in byte 1, moved to byte 0 in CDMA mode, the record count in
// byte 2, the rest fixed.
std::array<uint8_t, kMenuHeaderSize> menuFileHeader(const SaveMode& mode, uint8_t records);

// Renders the document and replaces `path` with it: a temporary file in the same folder is
// written and renamed over the target only when complete, so a refused or failed save leaves
// an existing file untouched. Stores normalised itemType and dataLength values in the nodes.
// Fails with a refusal (kind Refused, caption "Profile error" for an item outside the
// available items that was not read so from a file, "Error" for a limit of the format; the save-failed flag) or the file
// error of the write (kind Io, no caption); a read-only target is refused (kind ReadOnly,
// kReadOnlyReason) unless options.readOnlyToo.
Status writeMenuFile(const std::string& path, OpenMenu& menu, ReplaceOptions options = {});

// writeMenuFile over the file that was opened (or last saved) as `fingerprint`: refuses with
// kChangedOnDiskText (kind ChangedOnDisk, caption "Error"), leaving the file alone, when the
// file on disk no longer holds what it held. The check and the rename run under the folder's
// lock, so of two programs saving the same opened file the second one refuses. On success
// `fingerprint` is the file written, for the next save.
Status writeMenuFileChecked(const std::string& path, OpenMenu& menu, FileFingerprint& fingerprint,
                            ReplaceOptions options = {});

// The data records of unknown kinds in the document that a save under its save mode leaves out:
// 0 while "Save all data" is on.
size_t unknownRecordsLeftOut(const OpenMenu& menu);
// The question (and the command-line tool's warning) before a save that leaves `count` such
// records out: "N data records of unknown kinds will be left out. Save all keeps them."
std::string unknownRecordsLeftOutText(size_t count);

// The bytes of the file writeMenuFile would write, or its refusal. Stores normalised itemType
// and dataLength values in the nodes as a save does.
Result<std::vector<uint8_t>> renderMenuFile(OpenMenu& menu);

} // namespace tessaro
