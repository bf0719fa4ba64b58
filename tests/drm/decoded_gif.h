#pragma once
// Decodes GIF bytes with giflib's decoder, independently of our encoder, so tests can
// check the palette, the transparent index and every pixel's index.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gif_lib.h>

namespace tessaro::testing {

struct DecodedGif {
    std::string version; // "GIF87a" or "GIF89a"
    int screenWidth = 0;
    int screenHeight = 0;
    int imageCount = 0;
    int imageLeft = 0, imageTop = 0, imageWidth = 0, imageHeight = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB per global colour table entry
    int transparentIndex = -1;     // NO_TRANSPARENT_COLOR (-1) when no control block says one
    std::vector<uint8_t> indices;  // first image, rows top to bottom
};

inline std::optional<DecodedGif> decodeGif(std::span<const uint8_t> bytes)
{
    struct Source {
        std::span<const uint8_t> bytes;
        size_t position = 0;
    } source{bytes};
    auto read = [](GifFileType* gif, GifByteType* out, int length) -> int {
        auto* s = static_cast<Source*>(gif->UserData);
        const size_t n = std::min(size_t(length), s->bytes.size() - s->position);
        std::memcpy(out, s->bytes.data() + s->position, n);
        s->position += n;
        return int(n);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    if (!gif)
        return std::nullopt;
    std::optional<DecodedGif> result;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount >= 1) {
        DecodedGif d;
        d.version.assign(reinterpret_cast<const char*>(bytes.data()), std::min<size_t>(6, bytes.size()));
        d.screenWidth = gif->SWidth;
        d.screenHeight = gif->SHeight;
        d.imageCount = gif->ImageCount;
        const SavedImage& image = gif->SavedImages[0];
        d.imageLeft = image.ImageDesc.Left;
        d.imageTop = image.ImageDesc.Top;
        d.imageWidth = image.ImageDesc.Width;
        d.imageHeight = image.ImageDesc.Height;
        if (gif->SColorMap) {
            for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
                const GifColorType& c = gif->SColorMap->Colors[i];
                d.palette.push_back((uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue);
            }
        }
        GraphicsControlBlock control{};
        if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK)
            d.transparentIndex = control.TransparentColor;
        d.indices.assign(image.RasterBits, image.RasterBits + size_t(d.imageWidth) * d.imageHeight);
        result = std::move(d);
    }
    DGifCloseFile(gif, &error);
    return result;
}

} // namespace tessaro::testing
