// Reads arbitrary bytes as the phone folder's attributes.json and writes the table again as
// the phone does after a change. What was read must read back the same.
#include <cstdint>
#include <string>

#include "p2k/phone_folder.h"
#include "fuzz_support.h"

using tessaro::PhoneFolder;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto attributes = PhoneFolder::parseAttributes(fuzz::textOf(data, size), "attributes.json");
    if (!attributes)
        return 0;
    for (const auto& [path, bits] : *attributes)
        fuzz::check(bits >= 0 && bits <= 0xFFFF);
    const std::string text = PhoneFolder::attributesText(*attributes);
    const auto again = PhoneFolder::parseAttributes(text, "attributes.json");
    fuzz::check(again.ok() && *again == *attributes);
    return 0;
}
