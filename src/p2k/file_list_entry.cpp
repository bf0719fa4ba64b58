#include "p2k/file_list_entry.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "p2k/p2k_api.h"

namespace tessaro {

PhoneFileEntry parseFileListEntry(std::span<const uint8_t> entry)
{
    uint8_t bytes[kFileListEntrySize] = {};
    std::memcpy(bytes, entry.data(), std::min<size_t>(entry.size(), sizeof bytes));

    PhoneFileEntry out;
    out.size = readLE32(bytes);
    out.reserved = readLE16(bytes + 4);
    out.attributes = readLE16(bytes + 6);
    const uint8_t* path = bytes + kEntryPathOffset;
    const size_t maxPath = kFileListEntrySize - kEntryPathOffset;
    const size_t length = std::find(path, path + maxPath, uint8_t(0)) - path;
    out.path.assign(reinterpret_cast<const char*>(path), length);
    return out;
}

void renderFileListEntry(const PhoneFileEntry& entry, std::span<uint8_t, 512> out)
{
    std::fill(out.begin(), out.end(), uint8_t(0));
    put32(out.data(), entry.size, ByteOrder::Little);
    put16(out.data() + 4, entry.reserved, ByteOrder::Little);
    put16(out.data() + 6, entry.attributes, ByteOrder::Little);
    const size_t length = std::min<size_t>(entry.path.size(), kMaxEntryPath);
    std::memcpy(out.data() + kEntryPathOffset, entry.path.data(), length);
}

std::string attributeLetters(int attributes)
{
    std::string text = "[";
    if (attributes & 1)
        text += 'R';
    if (attributes & 2)
        text += 'H';
    if (attributes & 4)
        text += 'S';
    text += ']';
    return text;
}

} // namespace tessaro
