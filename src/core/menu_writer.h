#pragma once
// Writing mma_ucp: the header, the item records straight from the tree in sibling-group order
// and the data area, under the save mode of the "MMA save mode" panel.
//
// The whole file is built in memory first. Limits of the format (255 records, a 65535-byte
// data area, 16-bit lengths) are refused before anything is written, and a file on disk is
// replaced only by a complete new one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/item_lists.h"
#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

struct Workspace;

// The most menu items a document holds: record positions are one byte (0xFF means none), and
// 10 of the 255 records are the file root, the Softkeys container, the softkeys and the
// Menu Root.
inline constexpr size_t kMaxMenuItems = 245;

// Refused in 22-byte records (caption "Error"), followed by the items' names.
inline constexpr std::string_view kDialIn22ByteText =
    "\"Dial this number\" cannot be saved in 22-byte records, where that record is an icon. Items: ";

// Renders the document and replaces `path` with it: a temporary file in the same folder is
// written and renamed over the target only when complete, so a refused or failed save leaves
// an existing file untouched. Stores normalised itemType and dataLength values in the nodes.
// Fails with a refusal (kind Refused, caption "Profile error" for an item outside the
// available items, "Error" for a limit of the format; the save-failed flag) or the file
// error of the write (kind Io, no caption).
Status writeMenuFile(const std::string& path, Workspace& ws);

// The bytes of the file writeMenuFile would write, or its refusal. Stores normalised itemType
// and dataLength values in the nodes as a save does.
Result<std::vector<uint8_t>> renderMenuFile(Workspace& ws);

} // namespace tessaro
