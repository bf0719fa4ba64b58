#include <gtest/gtest.h>

#include <random>

#include "drm/decoded_gif.h"
#include "drm/gif_writer.h"

namespace tessaro {
namespace {

using testing::decodeGif;

QuantizedImage smallImage()
{
    QuantizedImage q;
    q.width = 3;
    q.height = 2;
    q.palette[0] = 0xFF112233;
    q.palette[1] = 0xFF445566;
    q.transparentIndex = 2;
    q.indices = {0, 1, 2, 2, 1, 0};
    return q;
}

TEST(GifWriter, HeaderColourTableAndControlBlockBytes)
{
    auto gif = writeGif(smallImage());
    ASSERT_TRUE(gif.ok()) << gif.error();
    const std::vector<uint8_t>& b = *gif;
    ASSERT_GT(b.size(), 800u);
    const std::vector<uint8_t> header{
        'G', 'I', 'F', '8', '9', 'a', // signature: GIF89a for the control extension
        0x03, 0x00,                   // logical screen width 3 (little-endian)
        0x02, 0x00,                   // logical screen height 2
        0xF7,                         // global table, colour resolution 8, unsorted, 2^(7+1) entries
        0x02,                         // background colour = the transparent index
        0x00,                         // no aspect ratio
    };
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 13), header);
    // Colour table: 256 RGB triples, the box means then black.
    const std::vector<uint8_t> colours{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 13, b.begin() + 22), colours);
    for (size_t i = 13 + 6; i < 13 + 768; ++i)
        ASSERT_EQ(b[i], 0) << i;
    const std::vector<uint8_t> control{
        0x21, 0xF9, 0x04, // graphic control extension, 4 bytes
        0x01,             // no disposal, no user input, transparent colour present
        0x00, 0x00,       // no delay
        0x02,             // transparent colour index n
        0x00,             // block terminator
        0x2C,             // image descriptor
        0x00, 0x00, 0x00, 0x00, // left 0, top 0
        0x03, 0x00, 0x02, 0x00, // width 3, height 2
        0x00,             // no local table, not interlaced
        0x08,             // LZW minimum code size
    };
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 781, b.begin() + 781 + control.size()), control);
    EXPECT_EQ(b.back(), 0x3B); // trailer
}

TEST(GifWriter, DecodesToTheSamePaletteIndicesAndTransparency)
{
    std::mt19937 random(7);
    for (uint16_t n : {0, 1, 17, 64}) {
        QuantizedImage q;
        q.width = 37;
        q.height = 23;
        for (uint16_t i = 0; i < n; ++i)
            q.palette[i] = 0xFF000000u | (uint32_t(random()) & 0xFFFFFF);
        q.transparentIndex = n;
        for (size_t k = 0; k < size_t(q.width) * q.height; ++k)
            q.indices.push_back(uint8_t(random() % (n + 1)));
        auto gif = writeGif(q);
        ASSERT_TRUE(gif.ok()) << gif.error();
        auto d = decodeGif(*gif);
        ASSERT_TRUE(d.has_value()) << "n=" << n;
        EXPECT_EQ(d->version, "GIF89a");
        EXPECT_EQ(d->screenWidth, 37);
        EXPECT_EQ(d->screenHeight, 23);
        EXPECT_EQ(d->imageCount, 1);
        EXPECT_EQ(d->imageWidth, 37);
        EXPECT_EQ(d->imageHeight, 23);
        ASSERT_EQ(d->palette.size(), 256u);
        for (size_t i = 0; i < 256; ++i)
            EXPECT_EQ(d->palette[i], q.palette[i] & 0xFFFFFF) << i;
        EXPECT_EQ(d->transparentIndex, n);
        EXPECT_EQ(d->indices, q.indices);
    }
}

TEST(GifWriter, PicturesBeyondTheOldFixedBufferAreWritten)
{
    // 1500 x 1400 = 2,100,000 indices, more than the 1,920,001 bytes a fixed buffer held.
    ArgbImage image;
    image.width = 1500;
    image.height = 1400;
    image.pixels.resize(size_t(image.width) * image.height);
    for (size_t k = 0; k < image.pixels.size(); ++k)
        image.pixels[k] = k % 3 ? 0xFF00FF00u : 0x00000000u;
    auto gif = convertToGif(image);
    ASSERT_TRUE(gif.ok()) << gif.error();
    auto d = decodeGif(*gif);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->palette[0], 0x00FF00u);
    EXPECT_EQ(d->transparentIndex, 1);
    for (size_t k = 0; k < image.pixels.size(); ++k)
        ASSERT_EQ(d->indices[k], k % 3 ? 0 : 1) << k;
}

TEST(GifWriter, RefusesEmptyOversizedAndInconsistentPictures)
{
    QuantizedImage q;
    EXPECT_EQ(writeGif(q).error(), "An empty picture cannot be written as a GIF");
    q.width = 70000;
    q.height = 1;
    q.indices.resize(70000);
    EXPECT_EQ(writeGif(q).error(), "A GIF holds at most 65535 x 65535 pixels; the picture is 70000 x 1");
    q = smallImage();
    q.indices.pop_back();
    EXPECT_EQ(writeGif(q).error(), "The index image does not match the picture size");
}

TEST(GifWriter, ReadGifScreenSizeTakesBytes6To9LittleEndian)
{
    const std::vector<uint8_t> header{'G', 'I', 'F', '8', '9', 'a', 0xF0, 0x00, 0x40, 0x01};
    auto size = readGifScreenSize(header);
    ASSERT_TRUE(size.ok());
    EXPECT_EQ(size->width, 240);
    EXPECT_EQ(size->height, 320);
    EXPECT_FALSE(readGifScreenSize(std::vector<uint8_t>(header.begin(), header.end() - 1)).ok());
}

} // namespace
} // namespace tessaro
