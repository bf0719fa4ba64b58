#include "drm/bmp_to_gif.h"

#include <climits>
#include <cstdlib>
#include <memory>

#include <stb_image.h>

#include "core/bytes.h"
#include "core/text_file.h"
#include "core/translatable.h"
#include "drm/file_io.h"
#include "drm/gif_writer.h"

namespace tessaro {

namespace {

struct StbFree {
    void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

// BMP file header (14 bytes) and the BITMAPINFOHEADER fields we look at.
constexpr size_t kPixelDataOffsetAt = 10;
constexpr size_t kHeaderSizeAt = 14;
constexpr size_t kHeightAt = 22;
constexpr size_t kBitCountAt = 28;
constexpr size_t kCompressionAt = 30;
// BITMAPV4HEADER and BITMAPV5HEADER carry the alpha mask at header offset 52.
constexpr size_t kAlphaMaskAt = 14 + 52;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// stb_image treats a 32-bit picture whose alpha is zero everywhere as one without alpha and
// makes it opaque. That is right for the plain 40-byte header, where the fourth byte is
// unused, but a V4/V5 header with an alpha mask declares the alpha: there all-zero means
// fully transparent. stb only rewrites alpha when every pixel had zero alpha, so one stored
// pixel whose alpha bits are zero but which came out opaque tells that it happened.
bool alphaWasForcedOpaque(std::span<const uint8_t> bytes, const ArgbImage& image)
{
    ByteReader reader(bytes);
    if (!reader.has(kAlphaMaskAt, 4) || readLE32(reader.at(kHeaderSizeAt)) < kV4HeaderSize
        || readLE16(reader.at(kBitCountAt)) != 32)
        return false;
    const uint32_t compression = readLE32(reader.at(kCompressionAt));
    const uint32_t declaredMask = readLE32(reader.at(kAlphaMaskAt));
    if (declaredMask == 0 || (compression != kBiRgb && compression != kBiBitfields))
        return false;
    // With BI_RGB the alpha is the fourth byte whatever the mask field says.
    const uint32_t mask = compression == kBiRgb ? 0xFF000000u : declaredMask;
    const uint32_t dataOffset = readLE32(reader.at(kPixelDataOffsetAt));
    if (!reader.has(dataOffset, 4) || image.pixels.empty())
        return false;
    if ((readLE32(reader.at(dataOffset)) & mask) != 0)
        return false;
    // The first stored pixel is the bottom-left one, or the top-left one of a top-down picture.
    const bool topDown = int32_t(readLE32(reader.at(kHeightAt))) < 0;
    const uint32_t y = topDown ? 0 : image.height - 1;
    return (image.pixel(0, y) >> 24) == 0xFF;
}

} // namespace

Result<ArgbImage> decodeBmp(std::span<const uint8_t> bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return Error(ErrorKind::Format, "not a BMP picture");
    if (bytes.size() > size_t(INT_MAX))
        return Error(ErrorKind::Refused, "the BMP picture is too large");
    int width = 0, height = 0, components = 0;
    // The decoder allocates what the header claims before it reads a pixel, so a few bytes
    // could ask for gigabytes. Every pixel takes at least one bit of the file. (The height of
    // a top-down picture comes out negative here.)
    if (stbi_info_from_memory(bytes.data(), int(bytes.size()), &width, &height, &components)
        && std::abs(int64_t(width)) * std::abs(int64_t(height)) > 8 * int64_t(bytes.size()))
        return Error(ErrorKind::Format, "the BMP picture claims more pixels than its file holds");
    std::unique_ptr<stbi_uc, StbFree> rgba(
        stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &components, 4));
    if (!rgba) {
        const char* reason = stbi_failure_reason();
        return Error(ErrorKind::Format, reason ? reason : "unreadable BMP picture");
    }

    ArgbImage image;
    image.width = uint32_t(width);
    image.height = uint32_t(height);
    image.pixels.resize(size_t(image.width) * image.height);
    const stbi_uc* p = rgba.get();
    for (uint32_t& pixel : image.pixels) {
        pixel = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
        p += 4;
    }
    if (alphaWasForcedOpaque(bytes, image)) {
        for (uint32_t& pixel : image.pixels)
            pixel &= 0x00FFFFFFu;
    }
    return image;
}

Status convertBmpToGif(const std::string& source, const std::string& destination)
{
    auto file = readWholeFileBytes(source, FileWording::Quoted);
    if (!file)
        return file.failure();
    auto image = decodeBmp(*file);
    if (!image)
        return Error(image.failure().kind,
                     TRANSLATABLE("Core", "Cannot read picture \"") + source + "\": " + image.error());
    auto gif = convertToGif(*image);
    if (!gif)
        return Error(gif.failure().kind,
                     TRANSLATABLE("Core", "Cannot convert picture \"") + source + "\": " + gif.error());
    return writeFileBytes(destination, *gif);
}

} // namespace tessaro
