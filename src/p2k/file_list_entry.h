#pragma once
// The 512-byte file-list entry the library fills for File_ListEx, little-endian:
//   0  u32  file size in bytes
//   4  u16  not read (0 in entries we make ourselves)
//   6  u16  attribute bits: 1 read-only, 2 hidden, 4 system
//   8  504  full phone path, one byte per character, ended by a 0 byte

#include <cstdint>
#include <span>
#include <string>

namespace tessaro {

// One entry of a phone file list, as parsed.
struct PhoneFileEntry {
    uint32_t size = 0;
    uint16_t reserved = 0;
    uint16_t attributes = 0;     // 1 read-only, 2 hidden, 4 system
    std::string path;            // one byte per character

    bool operator==(const PhoneFileEntry&) const = default;
};

inline constexpr int kEntryPathOffset = 8;
// Longest path an entry can carry: 504 bytes less the ending 0.
inline constexpr int kMaxEntryPath = 503;

// Parses one entry. Bytes past the given span are never read: a short entry reads as if
// zero-filled, a path without its ending 0 stops at the end of the entry.
PhoneFileEntry parseFileListEntry(std::span<const uint8_t> entry);
// Writes one entry into 512 bytes; a path longer than 503 bytes is cut there.
void renderFileListEntry(const PhoneFileEntry& entry, std::span<uint8_t, 512> out);

// The browser's attribute column: "[" + "R" (bit 1) + "H" (bit 2) + "S" (bit 4) + "]".
std::string attributeLetters(int attributes);

} // namespace tessaro
