#include "preview/gif_check.h"

#include <algorithm>
#include <cstring>

#include <gif_lib.h>

namespace tessaro {

namespace {

struct Reader {
    std::span<const uint8_t> bytes;
    size_t at = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int wanted)
{
    auto* reader = static_cast<Reader*>(gif->UserData);
    const size_t left = reader->bytes.size() - reader->at;
    const size_t count = std::min(left, size_t(wanted < 0 ? 0 : wanted));
    if (count > 0)
        std::memcpy(out, reader->bytes.data() + reader->at, count);
    reader->at += count;
    return int(count);
}

} // namespace

bool gifDecodes(std::span<const uint8_t> bytes)
{
    Reader reader{bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readBytes, &error);
    if (!gif)
        return false;
    bool good = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
    for (int i = 0; good && i < gif->ImageCount; ++i) {
        const GifImageDesc& frame = gif->SavedImages[i].ImageDesc;
        good = frame.Width > 0 && frame.Height > 0;
    }
    DGifCloseFile(gif, &error);
    return good;
}

} // namespace tessaro
