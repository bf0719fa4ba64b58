#pragma once
// Colour reduction of a 32-bit ARGB picture to at most 64 opaque colours plus transparency:
// a recursive midpoint box split over the opaque pixels, boxes ordered by population, and
// pixels mapped by box membership (not by nearest colour). The palette and every pixel's
// index are fixed by these rules; the GIF writer only encodes what comes out.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tessaro {

// A picture of 0xAARRGGBB pixels, rows top to bottom, no row padding.
struct ArgbImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;

    uint32_t pixel(uint32_t x, uint32_t y) const { return pixels[size_t(y) * width + x]; }
};

// One colour taken into the palette computation.
struct ColourPoint {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const ColourPoint&) const = default;
};
using ColourPoints = std::vector<ColourPoint>;

// One box of the split. Minimum and maximum are over the pixels that ended in the box, so
// boxes of one split may overlap in the channels that were not split.
struct ColourBox {
    uint8_t minRed = 0, minGreen = 0, minBlue = 0;
    uint8_t maxRed = 0, maxGreen = 0, maxBlue = 0;
    uint8_t meanRed = 0, meanGreen = 0, meanBlue = 0;
    int32_t count = 0;

    bool operator==(const ColourBox&) const = default;
};
using BoxList = std::vector<ColourBox>;

// 256 ARGB entries: the box means (alpha 255), then transparent black.
using Palette = std::array<uint32_t, 256>;

// Splits deeper than this stop; 2^6 bounds the box list to 64 boxes.
inline constexpr int kMaxSplitDepth = 6;
// A pixel whose alpha is above this helps form the palette.
inline constexpr uint8_t kPaletteAlphaThreshold = 128;
// A pixel whose alpha is at or below this is written as transparent.
inline constexpr uint8_t kOpaqueAlphaThreshold = 200;

// The outcome of the reduction: palette, transparent index n (= number of boxes) and one
// index per pixel, rows top to bottom, stride = width.
struct QuantizedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    Palette palette{};
    uint16_t transparentIndex = 0;
    std::vector<uint8_t> indices;
};

// The (red, green, blue) of every pixel with alpha above 128, column by column (x outer,
// y inner), as the palette computation takes them.
ColourPoints collectOpaquePixels(const ArgbImage& image);

// Splits `points` at `depth` and appends the resulting boxes to `boxes` in creation order.
// The points are reordered in place (each split keeps the input order within both halves).
void SplitBox(std::span<ColourPoint> points, int depth, BoxList& boxes);

// Reorders the boxes by descending count; boxes of equal count end up in reverse creation order.
void sortBoxesByCount(BoxList& boxes);

// Entries 0..n-1 = 0xFF000000 | mean colour of box i; entries n..255 = 0.
Palette buildPalette(const BoxList& boxes);

// The first box whose ranges hold all three channels of the colour, or n when none does.
uint16_t findBoxIndex(const BoxList& boxes, uint8_t red, uint8_t green, uint8_t blue);

// The complete reduction of one picture. Works at any size the memory allows; a picture whose
// pixel count does not match its size gives an empty (0 x 0) result.
QuantizedImage quantizeImage(const ArgbImage& image);

} // namespace tessaro
