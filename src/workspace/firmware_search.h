#pragma once
// The search of one window of the firmware block scan for the first version mark
// ("@(#)R" + a digit, "@(#)T", "@(#)G") and the first "2CLICK". Only patterns that lie whole
// inside the window count.

#include <cstddef>
#include <cstdint>

namespace tessaro {

struct PatternHits {
    static constexpr size_t npos = static_cast<size_t>(-1);
    size_t version = npos;  // offset of the "@(#)" of the first version mark
    size_t table = npos;    // offset of the first "2CLICK"
};

// How the window is filtered. All variants give the same hits; Best picks the fastest the
// processor runs (AVX-512BW, AVX2, then portable 16-byte vectors).
enum class SearchVariant { Best, Portable, Avx2, Avx512 };

// True when the processor can run `variant` (Best and Portable always).
bool searchVariantAvailable(SearchVariant variant);

// Searches buf[0, length) for the patterns that are wanted; a pattern not wanted stays npos.
// A variant the processor cannot run falls back to Portable.
PatternHits findFirmwarePatterns(const uint8_t* buf, size_t length, bool wantVersion, bool wantTable,
                                 SearchVariant variant = SearchVariant::Best);

} // namespace tessaro
