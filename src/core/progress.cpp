#include "core/progress.h"

namespace tessaro {

int percentOf(uint64_t x, uint64_t y)
{
    if (y == 0)
        return 0;
    // Exact rounding of 100x / y with ties to even; sizes here stay far below 2^57.
    const uint64_t num = x * 100;
    const uint64_t q = num / y;
    const uint64_t rem2 = (num % y) * 2;
    const uint64_t result = (rem2 > y || (rem2 == y && (q & 1))) ? q + 1 : q;
    return static_cast<int>(result);
}

} // namespace tessaro
