#pragma once
// GIF encoding of quantised pictures, in memory: a GIF89a file with the logical screen equal
// to the picture, a 256-entry global colour table (the box means, then black for the
// transparent entries), a graphic control extension naming index n as the transparent
// colour, and one image covering the screen.

#include <cstdint>
#include <span>
#include <vector>

#include "core/result.h"
#include "drm/quantize.h"

namespace tessaro {

// The complete GIF file of `image`. Fails (with the reason) for an empty picture, one wider
// or taller than 65535 pixels, or an encoder error.
Result<std::vector<uint8_t>> writeGif(const QuantizedImage& image);

// Quantises `image` and encodes it: the GIF a raw DRM icon or a 32-bit BMP turns into.
Result<std::vector<uint8_t>> convertToGif(const ArgbImage& image);

// Logical screen size of a GIF file: the little-endian words at bytes 6-7 and 8-9.
struct GifScreenSize {
    uint16_t width = 0;
    uint16_t height = 0;
};

// The screen size stored in a GIF's header, or an error when fewer than 10 bytes are given.
// The bytes are not otherwise checked.
Result<GifScreenSize> readGifScreenSize(std::span<const uint8_t> gif);

} // namespace tessaro
