// Parses arbitrary bytes as a J2MEST Java slot table, then patches every slot the parse asks
// to be patched, as the program writes a patched copy back. Patch offsets must lie inside the
// table, and the patched table must read back with the same slots, the patched ones carrying
// the new name, and nothing left to patch.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "phone/j2mest.h"
#include "fuzz_support.h"

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto copy = parseJ2mest(std::span<const uint8_t>(data, size));
    if (!copy)
        return 0;
    fuzz::check(j2mestLayout(copy->recordSize).has_value());
    fuzz::check(copy->headerSize >= 0 && copy->headerSize < kJ2mestRecordCount);
    fuzz::check(copy->patches.size() <= size_t(kJavaSlotCount));

    // A name longer than the field, so the cut is exercised too.
    const std::string name = "Patched application name over 33 bytes";
    std::vector<uint8_t> image(data, data + size);
    JavaSlotTable expected = copy->slots;
    for (const PatchEntry& p : copy->patches) {
        fuzz::check(p.slot < kJavaSlotCount && copy->slots[p.slot].has_value());
        fuzz::check(copy->slots[p.slot]->corelet);
        fuzz::check(patchMidlet1(image, p.offset, name));
        expected[p.slot]->midlet1 = name.substr(0, kMidlet1FieldSize - 1);
    }
    const auto patched = parseJ2mest(image);
    fuzz::check(patched.ok() && patched->patches.empty());
    fuzz::check(patched->recordSize == copy->recordSize && patched->secondLayout == copy->secondLayout);
    fuzz::check(patched->slots == expected);
    return 0;
}
