// Reads arbitrary bytes as a ".jad" descriptor and takes the application name from its
// "MIDlet-1:" lines, as the J2MEST patch does. The name must be one trimmed line.
#include <cstdint>
#include <string>

#include "phone/j2mest.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string name = tessaro::jadMidletName(fuzz::textOf(data, size));
    fuzz::check(name.size() <= size);
    fuzz::check(name.find_first_of("\r\n") == std::string::npos);
    if (!name.empty()) {
        fuzz::check(static_cast<unsigned char>(name.front()) > ' ');
        fuzz::check(static_cast<unsigned char>(name.back()) > ' ');
    }
    return 0;
}
