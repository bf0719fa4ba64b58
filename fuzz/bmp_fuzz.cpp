// Reads arbitrary bytes as a BMP picture and converts it to GIF as the picture converter
// does. Decoded pictures hold one pixel per position (a picture of no rows is decoded, and
// refused by the GIF writer), and every GIF written names their size.
#include <cstdint>
#include <span>

#include "drm/bmp_to_gif.h"
#include "drm/gif_writer.h"
#include "fuzz_support.h"

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto image = decodeBmp(std::span<const uint8_t>(data, size));
    if (!image)
        return 0;
    fuzz::check(image->pixels.size() == size_t(image->width) * image->height);
    const auto gif = convertToGif(*image);
    if (!gif)
        return 0;
    const auto screen = readGifScreenSize(*gif);
    fuzz::check(screen.ok() && screen->width == image->width && screen->height == image->height);
    return 0;
}
