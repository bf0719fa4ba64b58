#include "drm/quantize.h"

#include <algorithm>
#include <bit>

namespace tessaro {

namespace {

uint8_t alphaOf(uint32_t argb) { return uint8_t(argb >> 24); }
uint8_t redOf(uint32_t argb) { return uint8_t(argb >> 16); }
uint8_t greenOf(uint32_t argb) { return uint8_t(argb >> 8); }
uint8_t blueOf(uint32_t argb) { return uint8_t(argb); }

enum class Channel { Red, Green, Blue };

uint8_t channelOf(const ColourPoint& p, Channel c)
{
    switch (c) {
    case Channel::Red: return p.red;
    case Channel::Green: return p.green;
    case Channel::Blue: return p.blue;
    }
    return 0;
}

// The smallest and largest value of each channel over a run of points.
struct ChannelBounds {
    uint8_t minR = 255, minG = 255, minB = 255, maxR = 0, maxG = 0, maxB = 0;

    void add(const ColourPoint& p)
    {
        minR = std::min(minR, p.red);
        minG = std::min(minG, p.green);
        minB = std::min(minB, p.blue);
        maxR = std::max(maxR, p.red);
        maxG = std::max(maxG, p.green);
        maxB = std::max(maxB, p.blue);
    }
};

ColourBox makeBox(std::span<const ColourPoint> points)
{
    ChannelBounds b;
    uint64_t sumR = 0, sumG = 0, sumB = 0;
    for (const ColourPoint& p : points) {
        b.add(p);
        sumR += p.red;
        sumG += p.green;
        sumB += p.blue;
    }
    const uint64_t n = points.size();
    return ColourBox{b.minR, b.minG, b.minB, b.maxR, b.maxG, b.maxB,
                     uint8_t(sumR / n), uint8_t(sumG / n), uint8_t(sumB / n), int32_t(n)};
}

// The split proper. `scratch` is at least as long as `points`; the upper half is parked in it
// while the lower half is compacted in place, so no split allocates.
void splitRange(std::span<ColourPoint> points, std::span<ColourPoint> scratch, int depth, BoxList& boxes)
{
    if (depth < kMaxSplitDepth && points.size() >= 2) {
        ChannelBounds b;
        for (const ColourPoint& p : points)
            b.add(p);
        const int rangeR = b.maxR - b.minR, rangeG = b.maxG - b.minG, rangeB = b.maxB - b.minB;
        Channel channel;
        int splitValue;
        if (rangeG <= rangeR && rangeB <= rangeR) {
            channel = Channel::Red;
            splitValue = b.minR + rangeR / 2;
        } else if (rangeR <= rangeG && rangeB <= rangeG) {
            channel = Channel::Green;
            splitValue = b.minG + rangeG / 2;
        } else {
            channel = Channel::Blue;
            splitValue = b.minB + rangeB / 2;
        }

        size_t lower = 0, upper = 0;
        for (const ColourPoint& p : points) {
            if (channelOf(p, channel) > splitValue)
                scratch[upper++] = p;
            else
                points[lower++] = p;
        }
        std::copy_n(scratch.begin(), upper, points.begin() + lower);

        splitRange(points.first(lower), scratch, depth + 1, boxes);
        splitRange(points.subspan(lower), scratch, depth + 1, boxes);
        return;
    }
    if (!points.empty())
        boxes.push_back(makeBox(points));
}

// Box membership per channel value as bit sets (bit i = box i), so that the first box
// holding a colour is the lowest bit of three ANDed masks. Gives exactly findBoxIndex.
class BoxLookup {
public:
    explicit BoxLookup(const BoxList& boxes) : count_(uint16_t(boxes.size()))
    {
        for (size_t i = 0; i < boxes.size(); ++i) {
            const ColourBox& b = boxes[i];
            const uint64_t bit = uint64_t(1) << i;
            for (int v = b.minRed; v <= b.maxRed; ++v)
                red_[v] |= bit;
            for (int v = b.minGreen; v <= b.maxGreen; ++v)
                green_[v] |= bit;
            for (int v = b.minBlue; v <= b.maxBlue; ++v)
                blue_[v] |= bit;
        }
    }

    uint8_t indexOf(uint8_t red, uint8_t green, uint8_t blue) const
    {
        const uint64_t hits = red_[red] & green_[green] & blue_[blue];
        return hits ? uint8_t(std::countr_zero(hits)) : uint8_t(count_);
    }

private:
    std::array<uint64_t, 256> red_{};
    std::array<uint64_t, 256> green_{};
    std::array<uint64_t, 256> blue_{};
    uint16_t count_;
};

} // namespace

ColourPoints collectOpaquePixels(const ArgbImage& image)
{
    ColourPoints points;
    points.reserve(image.pixels.size());
    for (uint32_t x = 0; x < image.width; ++x) {
        for (uint32_t y = 0; y < image.height; ++y) {
            const uint32_t argb = image.pixel(x, y);
            if (alphaOf(argb) > kPaletteAlphaThreshold)
                points.push_back({redOf(argb), greenOf(argb), blueOf(argb)});
        }
    }
    return points;
}

void SplitBox(std::span<ColourPoint> points, int depth, BoxList& boxes)
{
    std::vector<ColourPoint> scratch(points.size());
    splitRange(points, scratch, depth, boxes);
}

void sortBoxesByCount(BoxList& boxes)
{
    BoxList remaining = std::move(boxes);
    boxes.clear();
    while (!remaining.empty()) {
        size_t best = 0;
        for (size_t i = 1; i < remaining.size(); ++i) {
            if (remaining[i].count >= remaining[best].count)
                best = i;
        }
        boxes.push_back(remaining[best]);
        remaining.erase(remaining.begin() + std::ptrdiff_t(best));
    }
}

Palette buildPalette(const BoxList& boxes)
{
    Palette palette{};
    for (size_t i = 0; i < boxes.size() && i < palette.size(); ++i) {
        const ColourBox& b = boxes[i];
        palette[i] = 0xFF000000u | (uint32_t(b.meanRed) << 16) | (uint32_t(b.meanGreen) << 8) | b.meanBlue;
    }
    return palette;
}

uint16_t findBoxIndex(const BoxList& boxes, uint8_t red, uint8_t green, uint8_t blue)
{
    for (size_t i = 0; i < boxes.size(); ++i) {
        const ColourBox& b = boxes[i];
        if (b.minRed <= red && red <= b.maxRed && b.minGreen <= green && green <= b.maxGreen
            && b.minBlue <= blue && blue <= b.maxBlue)
            return uint16_t(i);
    }
    return uint16_t(boxes.size());
}

QuantizedImage quantizeImage(const ArgbImage& image)
{
    if (image.pixels.size() != size_t(image.width) * image.height)
        return {};
    ColourPoints points = collectOpaquePixels(image);
    BoxList boxes;
    SplitBox(points, 0, boxes);
    sortBoxesByCount(boxes);

    QuantizedImage out;
    out.width = image.width;
    out.height = image.height;
    out.palette = buildPalette(boxes);
    out.transparentIndex = uint16_t(boxes.size());
    out.indices.resize(size_t(image.width) * image.height);

    const BoxLookup lookup(boxes);
    const uint8_t transparent = uint8_t(boxes.size());
    for (size_t k = 0; k < out.indices.size(); ++k) {
        const uint32_t argb = image.pixels[k];
        out.indices[k] = alphaOf(argb) <= kOpaqueAlphaThreshold
                             ? transparent
                             : lookup.indexOf(redOf(argb), greenOf(argb), blueOf(argb));
    }
    return out;
}

} // namespace tessaro
