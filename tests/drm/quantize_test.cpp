#include <gtest/gtest.h>

#include <random>

#include "drm/quantize.h"

namespace tessaro {
namespace {

uint32_t argb(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

ArgbImage imageOf(uint32_t width, uint32_t height, std::vector<uint32_t> pixels)
{
    return ArgbImage{width, height, std::move(pixels)};
}

ColourBox box(ColourPoint min, ColourPoint max, ColourPoint mean, int32_t count)
{
    return ColourBox{min.red, min.green, min.blue, max.red, max.green, max.blue,
                     mean.red, mean.green, mean.blue, count};
}

TEST(Quantize, CollectOpaquePixelsGoesColumnByColumnAndSkipsAlpha128)
{
    // 2 x 2, rows top to bottom: (0,0) (1,0) / (0,1) (1,1).
    const ArgbImage image = imageOf(2, 2, {argb(255, 1, 0, 0), argb(129, 2, 0, 0),
                                           argb(200, 3, 0, 0), argb(128, 4, 0, 0)});
    const ColourPoints points = collectOpaquePixels(image);
    // Column 0 top to bottom, then column 1; alpha 128 is left out, 129 taken.
    EXPECT_EQ(points, (ColourPoints{{1, 0, 0}, {3, 0, 0}, {2, 0, 0}}));
}

TEST(Quantize, AllAlphaAtMost128GivesNoBoxesAndIndexZero)
{
    const ArgbImage image = imageOf(3, 1, {argb(0, 10, 20, 30), argb(128, 255, 255, 255), argb(100, 1, 2, 3)});
    const QuantizedImage q = quantizeImage(image);
    EXPECT_EQ(q.transparentIndex, 0);
    for (uint32_t entry : q.palette)
        EXPECT_EQ(entry, 0u);
    EXPECT_EQ(q.indices, (std::vector<uint8_t>{0, 0, 0}));
}

TEST(Quantize, OneOpaqueColourGivesOneBox)
{
    const ArgbImage image = imageOf(4, 3, std::vector<uint32_t>(12, argb(255, 0x12, 0x34, 0x56)));
    ColourPoints points = collectOpaquePixels(image);
    BoxList boxes;
    SplitBox(points, 0, boxes);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], box({0x12, 0x34, 0x56}, {0x12, 0x34, 0x56}, {0x12, 0x34, 0x56}, 12));

    const QuantizedImage q = quantizeImage(image);
    EXPECT_EQ(q.palette[0], 0xFF123456u);
    for (size_t i = 1; i < q.palette.size(); ++i)
        EXPECT_EQ(q.palette[i], 0u) << i;
    EXPECT_EQ(q.transparentIndex, 1);
    EXPECT_EQ(q.indices, std::vector<uint8_t>(12, 0));
}

TEST(Quantize, Alpha150FormsThePaletteButIsWrittenTransparent)
{
    // Alone, the alpha-150 pixel still makes a palette entry nobody uses.
    QuantizedImage q = quantizeImage(imageOf(1, 1, {argb(150, 40, 50, 60)}));
    EXPECT_EQ(q.palette[0], 0xFF28323Cu);
    EXPECT_EQ(q.transparentIndex, 1);
    EXPECT_EQ(q.indices, (std::vector<uint8_t>{1}));

    // With an opaque pixel of the same colour it counts towards the box.
    const ArgbImage both = imageOf(2, 1, {argb(150, 40, 50, 60), argb(255, 40, 50, 60)});
    ColourPoints points = collectOpaquePixels(both);
    BoxList boxes;
    SplitBox(points, 0, boxes);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].count, 2);
    q = quantizeImage(both);
    EXPECT_EQ(q.indices, (std::vector<uint8_t>{1, 0}));
}

TEST(Quantize, MappingThresholdIs200)
{
    const QuantizedImage q = quantizeImage(imageOf(3, 1, {argb(200, 9, 9, 9), argb(201, 9, 9, 9), argb(255, 9, 9, 9)}));
    EXPECT_EQ(q.transparentIndex, 1);
    EXPECT_EQ(q.indices, (std::vector<uint8_t>{1, 0, 0}));
}

TEST(Quantize, NeighboursDifferingByOneLandInSeparateBoxes)
{
    // Split value 10 + (1 div 2) = 10: red 10 goes low, 11 high.
    ColourPoints points{{10, 0, 0}, {11, 0, 0}};
    BoxList boxes;
    SplitBox(points, 0, boxes);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], box({10, 0, 0}, {10, 0, 0}, {10, 0, 0}, 1));
    EXPECT_EQ(boxes[1], box({11, 0, 0}, {11, 0, 0}, {11, 0, 0}, 1));

    // Equal counts: the later-created box (red 11) gets index 0.
    const QuantizedImage q = quantizeImage(imageOf(2, 1, {argb(255, 10, 0, 0), argb(255, 11, 0, 0)}));
    EXPECT_EQ(q.palette[0], 0xFF0B0000u);
    EXPECT_EQ(q.palette[1], 0xFF0A0000u);
    EXPECT_EQ(q.palette[2], 0u);
    EXPECT_EQ(q.indices, (std::vector<uint8_t>{1, 0}));
}

TEST(Quantize, SplitChannelTiesGoToRedThenGreen)
{
    struct Case {
        const char* name;
        ColourPoints points;
        ColourPoint firstBox; // the lower half of the chosen channel
    };
    const Case cases[] = {
        // ranges R 10, G 10, B 0: red; (0,10,0) is the low one.
        {"red over green", {{10, 0, 0}, {0, 10, 0}}, {0, 10, 0}},
        // ranges R 10, G 0, B 10: red; (0,0,10) is the low one.
        {"red over blue", {{10, 0, 0}, {0, 0, 10}}, {0, 0, 10}},
        // ranges R 0, G 10, B 10: green; (0,0,10) is the low one.
        {"green over blue", {{0, 10, 0}, {0, 0, 10}}, {0, 0, 10}},
        // ranges R 1, G 2, B 3: blue.
        {"blue largest", {{1, 2, 0}, {0, 0, 3}}, {1, 2, 0}},
    };
    for (const Case& c : cases) {
        ColourPoints points = c.points;
        BoxList boxes;
        SplitBox(points, 0, boxes);
        ASSERT_EQ(boxes.size(), 2u) << c.name;
        EXPECT_EQ((ColourPoint{boxes[0].minRed, boxes[0].minGreen, boxes[0].minBlue}), c.firstBox) << c.name;
    }
}

TEST(Quantize, DepthLimitGives64BoxesWithTruncatedMeans)
{
    // Reds 0..255 once each: every box ends with four neighbouring reds.
    std::vector<uint32_t> pixels;
    for (int r = 0; r < 256; ++r)
        pixels.push_back(argb(255, uint8_t(r), 7, 7));
    const ArgbImage image = imageOf(256, 1, pixels);
    ColourPoints points = collectOpaquePixels(image);
    BoxList boxes;
    SplitBox(points, 0, boxes);
    ASSERT_EQ(boxes.size(), 64u);
    // Creation order runs from the lowest reds upwards; (0+1+2+3) div 4 = 1.
    EXPECT_EQ(boxes[0], box({0, 7, 7}, {3, 7, 7}, {1, 7, 7}, 4));
    EXPECT_EQ(boxes[63], box({252, 7, 7}, {255, 7, 7}, {253, 7, 7}, 4));

    const QuantizedImage q = quantizeImage(image);
    EXPECT_EQ(q.transparentIndex, 64);
    // All counts are equal, so the palette runs in reverse creation order.
    EXPECT_EQ(q.palette[0], 0xFFFD0707u);
    EXPECT_EQ(q.palette[63], 0xFF010707u);
    EXPECT_EQ(q.palette[64], 0u);
    EXPECT_EQ(q.indices[0], 63);
    EXPECT_EQ(q.indices[255], 0);
}

TEST(Quantize, SortByCountIsDescendingWithTiesInReverseCreationOrder)
{
    BoxList boxes;
    for (int32_t count : {3, 5, 3, 5, 1})
        boxes.push_back(box({uint8_t(boxes.size()), 0, 0}, {}, {}, count));
    sortBoxesByCount(boxes);
    std::vector<int> order;
    for (const ColourBox& b : boxes)
        order.push_back(b.minRed);
    EXPECT_EQ(order, (std::vector<int>{3, 1, 2, 0, 4}));
}

TEST(Quantize, FindBoxIndexTakesTheFirstCoveringBoxElseN)
{
    // Box 0 is wide with a far mean, box 1 tight around the colour: box 0 still wins.
    const BoxList boxes{box({0, 0, 0}, {100, 100, 100}, {90, 90, 90}, 9),
                        box({40, 40, 40}, {60, 60, 60}, {50, 50, 50}, 3)};
    EXPECT_EQ(findBoxIndex(boxes, 50, 50, 50), 0);
    EXPECT_EQ(findBoxIndex(boxes, 101, 50, 50), 2);
    EXPECT_EQ(findBoxIndex(boxes, 50, 50, 101), 2);
    EXPECT_EQ(findBoxIndex({}, 1, 2, 3), 0);
}

TEST(Quantize, BuildPaletteFillsMeansThenTransparentBlack)
{
    const Palette palette = buildPalette({box({}, {}, {1, 2, 3}, 5), box({}, {}, {0xAA, 0xBB, 0xCC}, 4)});
    EXPECT_EQ(palette[0], 0xFF010203u);
    EXPECT_EQ(palette[1], 0xFFAABBCCu);
    EXPECT_EQ(palette[2], 0u);
    EXPECT_EQ(palette[255], 0u);
}

// The mapping of quantizeImage must be the box-by-box scan, pixel for pixel.
TEST(Quantize, MappingMatchesFindBoxIndexOnRandomPictures)
{
    std::mt19937 random(42);
    for (int round = 0; round < 20; ++round) {
        const uint32_t width = 1 + random() % 40, height = 1 + random() % 40;
        std::vector<uint32_t> pixels(size_t(width) * height);
        const uint32_t colourMask = round % 2 ? 0xFFF8FCF8u : 0xFFFFFFFFu;
        for (uint32_t& p : pixels)
            p = uint32_t(random()) & colourMask;
        const ArgbImage image = imageOf(width, height, pixels);

        ColourPoints points = collectOpaquePixels(image);
        BoxList boxes;
        SplitBox(points, 0, boxes);
        sortBoxesByCount(boxes);
        const QuantizedImage q = quantizeImage(image);
        ASSERT_EQ(q.transparentIndex, boxes.size());
        EXPECT_EQ(q.palette, buildPalette(boxes));
        for (size_t k = 0; k < pixels.size(); ++k) {
            const uint32_t p = pixels[k];
            const uint16_t expected = (p >> 24) <= 200 ? uint16_t(boxes.size())
                                                       : findBoxIndex(boxes, uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
            ASSERT_EQ(q.indices[k], expected) << "round " << round << " pixel " << k;
        }
    }
}

TEST(Quantize, MismatchedPixelCountGivesEmptyResult)
{
    const QuantizedImage q = quantizeImage(imageOf(3, 3, {argb(255, 1, 1, 1)}));
    EXPECT_EQ(q.width, 0u);
    EXPECT_TRUE(q.indices.empty());
}

} // namespace
} // namespace tessaro
