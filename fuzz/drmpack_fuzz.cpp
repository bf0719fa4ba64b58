// Loads arbitrary bytes as a CG15 image and fetches every icon the numbering offers, plus
// the indices just past it. Nothing may read outside the image or crash.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "drm/drmpack.h"
#include "drm/gif_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessaro::DrmPack pack;
    auto total = pack.loadImage(std::vector<uint8_t>(data, data + size));
    if (!total)
        return 0;
    const uint64_t last = uint64_t(*total) + 2;
    for (uint64_t index = 0; index < last && index <= 0xFFFFFFFFu; ++index) {
        auto icon = pack.extractDrmIcon(uint32_t(index));
        if (icon) {
            auto screen = tessaro::readGifScreenSize(*icon);
            (void)screen;
        }
    }
    return 0;
}
