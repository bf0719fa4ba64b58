// Parses arbitrary bytes as one 512-byte file-list entry of File_ListEx (shorter or longer
// spans too) and renders what was read. The rendered entry must carry the same size and
// attribute fields, and read back to the same entry, the path cut to what an entry can end.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>

#include "p2k/file_list_entry.h"
#include "p2k/p2k_api.h"
#include "fuzz_support.h"

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const PhoneFileEntry entry = parseFileListEntry(std::span<const uint8_t>(data, size));
    fuzz::check(entry.path.size() <= size_t(kFileListEntrySize - kEntryPathOffset));
    fuzz::check(entry.path.find('\0') == std::string::npos);
    const std::string letters = attributeLetters(entry.attributes);
    fuzz::check(letters.size() >= 2 && letters.size() <= 5);

    std::array<uint8_t, kFileListEntrySize> rendered;
    renderFileListEntry(entry, rendered);
    std::array<uint8_t, kEntryPathOffset> head{};
    std::memcpy(head.data(), data, std::min<size_t>(size, head.size()));
    fuzz::check(std::equal(head.begin(), head.end(), rendered.begin()));
    fuzz::check(rendered.back() == 0);

    PhoneFileEntry expected = entry;
    if (expected.path.size() > size_t(kMaxEntryPath))
        expected.path.resize(kMaxEntryPath);
    fuzz::check(parseFileListEntry(rendered) == expected);
    return 0;
}
