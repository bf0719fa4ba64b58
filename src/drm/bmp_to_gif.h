#pragma once
// File-to-file conversion of 32-bit BMP pictures to GIF, through the same quantiser as the
// raw DRM icons.

#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"
#include "drm/quantize.h"

namespace tessaro {

// The pixels of a BMP file as ARGB. 32-bit pictures keep their alpha; other depths come
// out opaque. A 32-bit picture without an alpha mask whose alpha bytes are all zero is
// taken as opaque (the fourth byte was merely unused); with a declared alpha mask
// (BITMAPV4/V5 header) zero alpha stays transparent. Fails with the decoder's reason.
Result<ArgbImage> decodeBmp(std::span<const uint8_t> bytes);

// Reads the 32-bit picture at `source` and writes its GIF to `destination`. On failure
// nothing is written and the error names the file and the reason.
Status convertBmpToGif(const std::string& source, const std::string& destination);

} // namespace tessaro
