#include <gtest/gtest.h>

#include <filesystem>

#include "core/bytes.h"
#include "drm/bmp_to_gif.h"
#include "drm/decoded_gif.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::TempDir;

struct BmpOptions {
    uint32_t headerSize = 40; // 40, 108 (V4) or 124 (V5)
    uint32_t compression = 0; // 0 BI_RGB, 3 BI_BITFIELDS
    bool topDown = false;
    uint32_t red = 0x00FF0000, green = 0x0000FF00, blue = 0x000000FF, alpha = 0xFF000000;
};

uint32_t pack(uint32_t value, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    return (value << shift) & mask;
}

// A 32-bit BMP of ARGB pixels given top to bottom.
std::vector<uint8_t> bmp32(uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels, BmpOptions o = {})
{
    std::vector<uint8_t> out;
    const uint32_t dataOffset = 14 + o.headerSize;
    out.push_back('B');
    out.push_back('M');
    append32(out, dataOffset + 4 * width * height, ByteOrder::Little); // file size
    append32(out, 0, ByteOrder::Little);                                // reserved
    append32(out, dataOffset, ByteOrder::Little);                       // pixel data offset
    append32(out, o.headerSize, ByteOrder::Little);
    append32(out, width, ByteOrder::Little);
    append32(out, o.topDown ? uint32_t(-int32_t(height)) : height, ByteOrder::Little);
    append16(out, 1, ByteOrder::Little);  // planes
    append16(out, 32, ByteOrder::Little); // bits per pixel
    append32(out, o.compression, ByteOrder::Little);
    append32(out, 4 * width * height, ByteOrder::Little); // image size
    append32(out, 2835, ByteOrder::Little);               // 72 dpi
    append32(out, 2835, ByteOrder::Little);
    append32(out, 0, ByteOrder::Little); // colours used
    append32(out, 0, ByteOrder::Little); // colours important
    if (o.headerSize >= 108) {
        append32(out, o.red, ByteOrder::Little);
        append32(out, o.green, ByteOrder::Little);
        append32(out, o.blue, ByteOrder::Little);
        append32(out, o.alpha, ByteOrder::Little);
        append32(out, 0x73524742, ByteOrder::Little); // 'sRGB'
        out.resize(out.size() + 36 + 12, 0);           // end points, gamma
        if (o.headerSize == 124)
            out.resize(out.size() + 16, 0); // intent, profile offset and size, reserved
    }
    const bool masked = o.compression == 3;
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t y = o.topDown ? row : height - 1 - row;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t p = pixels[y * width + x];
            const uint32_t v = masked ? pack((p >> 16) & 0xFF, o.red) | pack((p >> 8) & 0xFF, o.green)
                                            | pack(p & 0xFF, o.blue) | pack(p >> 24, o.alpha)
                                      : p;
            append32(out, v, ByteOrder::Little);
        }
    }
    return out;
}

const std::vector<uint32_t> kMixed{0xFF102030, 0x96405060, 0x80FFFFFF, 0x00000000, 0xC8ABCDEF, 0xC9010203};

TEST(BmpToGif, PlainHeaderKeepsTheAlphaOfEachPixel)
{
    auto image = decodeBmp(bmp32(3, 2, kMixed));
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_EQ(image->width, 3u);
    EXPECT_EQ(image->height, 2u);
    EXPECT_EQ(image->pixels, kMixed);
}

TEST(BmpToGif, V4AndV5HeadersWithMasksKeepTheAlpha)
{
    struct Case {
        const char* name;
        BmpOptions options;
    };
    const Case cases[] = {
        {"V4 bitfields BGRA", {108, 3}},
        {"V5 bitfields RGBA top-down", {124, 3, true, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}},
        {"V5 BI_RGB", {124, 0}},
    };
    for (const Case& c : cases) {
        auto image = decodeBmp(bmp32(3, 2, kMixed, c.options));
        ASSERT_TRUE(image.ok()) << c.name << ": " << image.error();
        EXPECT_EQ(image->pixels, kMixed) << c.name;
    }
}

TEST(BmpToGif, AllZeroAlphaIsOpaqueWithoutMaskAndTransparentWithOne)
{
    const std::vector<uint32_t> zeroAlpha{0x00102030, 0x00405060};
    auto plain = decodeBmp(bmp32(2, 1, zeroAlpha));
    ASSERT_TRUE(plain.ok());
    EXPECT_EQ(plain->pixels, (std::vector<uint32_t>{0xFF102030, 0xFF405060}));

    for (uint32_t compression : {0u, 3u}) {
        auto declared = decodeBmp(bmp32(2, 1, zeroAlpha, {124, compression}));
        ASSERT_TRUE(declared.ok());
        EXPECT_EQ(declared->pixels, zeroAlpha) << "compression " << compression;
    }
}

TEST(BmpToGif, TwentyFourBitPicturesAreOpaque)
{
    // 1 x 2, rows bottom-up, each row padded to 4 bytes.
    std::vector<uint8_t> b{'B', 'M'};
    append32(b, 14 + 40 + 8, ByteOrder::Little);
    append32(b, 0, ByteOrder::Little);
    append32(b, 54, ByteOrder::Little);
    append32(b, 40, ByteOrder::Little);
    append32(b, 1, ByteOrder::Little);
    append32(b, 2, ByteOrder::Little);
    append16(b, 1, ByteOrder::Little);
    append16(b, 24, ByteOrder::Little);
    b.resize(54, 0);
    for (uint8_t v : {0x33, 0x22, 0x11, 0x00, 0x66, 0x55, 0x44, 0x00}) // B G R pad (bottom), top
        b.push_back(v);
    auto image = decodeBmp(b);
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_EQ(image->pixels, (std::vector<uint32_t>{0xFF445566, 0xFF112233}));
}

TEST(BmpToGif, ConvertsFileToTheQuantisedGif)
{
    TempDir dir;
    testing::writeBytes(dir.file("in.bmp"), bmp32(3, 2, kMixed, {124, 3}));
    const Status status = convertBmpToGif(dir.file("in.bmp"), dir.file("out.gif"));
    ASSERT_TRUE(status.ok()) << status.error();

    const ArgbImage source{3, 2, kMixed};
    const QuantizedImage expected = quantizeImage(source);
    auto d = testing::decodeGif(testing::readBytes(dir.file("out.gif")));
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->screenWidth, 3);
    EXPECT_EQ(d->screenHeight, 2);
    EXPECT_EQ(d->transparentIndex, expected.transparentIndex);
    EXPECT_EQ(d->indices, expected.indices);
    for (size_t i = 0; i < 256; ++i)
        EXPECT_EQ(d->palette[i], expected.palette[i] & 0xFFFFFF);
    // Alpha 0x96 (150) and 0x80 are transparent; 0xC8 (200) too; 0xC9 is opaque.
    EXPECT_EQ(d->indices[1], expected.transparentIndex);
    EXPECT_EQ(d->indices[4], expected.transparentIndex);
    EXPECT_NE(d->indices[5], expected.transparentIndex);
}

// Found by fuzzing: a 291-byte file whose header claimed 37637 x 8965 pixels made the
// decoder ask for gigabytes.
TEST(BmpToGif, HeaderClaimingMorePixelsThanTheFileHoldsIsRefused)
{
    std::vector<uint8_t> bytes = bmp32(3, 2, kMixed);
    put32(bytes.data() + 18, 37637, ByteOrder::Little); // width
    put32(bytes.data() + 22, 8965, ByteOrder::Little);  // height
    auto image = decodeBmp(bytes);
    ASSERT_FALSE(image.ok());
    EXPECT_EQ(image.error(), "the BMP picture claims more pixels than its file holds");
}

TEST(BmpToGif, FailuresWriteNothingAndSayWhy)
{
    TempDir dir;
    const std::string missing = dir.file("missing.bmp");
    Status status = convertBmpToGif(missing, dir.file("out.gif"));
    EXPECT_EQ(status.error(), "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.gif")));

    testing::writeText(dir.file("text.bmp"), "hello");
    status = convertBmpToGif(dir.file("text.bmp"), dir.file("out.gif"));
    EXPECT_EQ(status.error(), "Cannot read picture \"" + dir.file("text.bmp") + "\": not a BMP picture");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.gif")));

    testing::writeBytes(dir.file("in.bmp"), bmp32(3, 2, kMixed));
    const std::string unwritable = dir.file("no/such/folder/out.gif");
    status = convertBmpToGif(dir.file("in.bmp"), unwritable);
    EXPECT_EQ(status.error(), "Cannot create file \"" + unwritable + "\". No such file or directory");
}

} // namespace
} // namespace tessaro
