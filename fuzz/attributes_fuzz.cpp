// Reads arbitrary bytes as the virtual phone's attributes.json and writes the table again as
// the phone does after a change. What was read must read back the same.
#include <cstdint>
#include <string>

#include "p2k/virtual_phone.h"
#include "fuzz_support.h"

using tessaro::VirtualPhone;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto attributes = VirtualPhone::parseAttributes(fuzz::textOf(data, size), "attributes.json");
    if (!attributes)
        return 0;
    for (const auto& [path, bits] : *attributes)
        fuzz::check(bits >= 0 && bits <= 0xFFFF);
    const std::string text = VirtualPhone::attributesText(*attributes);
    const auto again = VirtualPhone::parseAttributes(text, "attributes.json");
    fuzz::check(again.ok() && *again == *attributes);
    return 0;
}
