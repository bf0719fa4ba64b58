#pragma once
// Whether bytes hold a GIF picture a decoder can show: read whole with giflib, so a damaged
// icon is found before it is drawn or sent.

#include <cstdint>
#include <span>

namespace tessaro {

// True when `bytes` decode as a GIF with at least one picture of a non-zero size.
bool gifDecodes(std::span<const uint8_t> bytes);

} // namespace tessaro
