#include "drm/gif_writer.h"

#include <algorithm>
#include <string>

#include <gif_lib.h>

#include "core/bytes.h"

namespace tessaro {

namespace {

int appendToVector(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// The encoder failed to put the GIF's bytes down (out of memory, mostly).
Error gifError(int code)
{
    const char* text = GifErrorString(code);
    return Error(ErrorKind::Io, "GIF encoder: " + std::string(text ? text : "error " + std::to_string(code)));
}

// Closes the encoder on every path; EGifCloseFile also frees what the encoder allocated.
class GifEncoder {
public:
    explicit GifEncoder(std::vector<uint8_t>& out) { gif_ = EGifOpen(&out, appendToVector, &openError_); }
    ~GifEncoder()
    {
        if (gif_) {
            int ignored = 0;
            EGifCloseFile(gif_, &ignored);
        }
    }
    GifEncoder(const GifEncoder&) = delete;
    GifEncoder& operator=(const GifEncoder&) = delete;

    GifFileType* get() const { return gif_; }
    int openError() const { return openError_; }
    // Writes the trailer; the encoder is gone afterwards.
    bool close(int& error)
    {
        GifFileType* gif = gif_;
        gif_ = nullptr;
        return EGifCloseFile(gif, &error) == GIF_OK;
    }

private:
    GifFileType* gif_ = nullptr;
    int openError_ = 0;
};

// A colour map object owned for the length of one encoding.
struct ColourMap {
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    ~ColourMap() { GifFreeMapObject(map); }
};

} // namespace

Result<std::vector<uint8_t>> writeGif(const QuantizedImage& image)
{
    if (image.width == 0 || image.height == 0)
        return Error(ErrorKind::Refused, "An empty picture cannot be written as a GIF");
    if (image.width > 0xFFFF || image.height > 0xFFFF)
        return Error(ErrorKind::Refused, "A GIF holds at most 65535 x 65535 pixels; the picture is "
                                             + std::to_string(image.width) + " x " + std::to_string(image.height));
    if (image.indices.size() != size_t(image.width) * image.height)
        return Error(ErrorKind::Format, "The index image does not match the picture size");

    ColourMap colours;
    if (!colours.map)
        return gifError(E_GIF_ERR_NOT_ENOUGH_MEM);
    for (size_t i = 0; i < image.palette.size(); ++i) {
        const uint32_t argb = image.palette[i];
        colours.map->Colors[i] = GifColorType{uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb)};
    }

    std::vector<uint8_t> out;
    out.reserve(size_t(image.width) * image.height / 2 + 1024);
    GifEncoder encoder(out);
    GifFileType* gif = encoder.get();
    if (!gif)
        return gifError(encoder.openError());

    // The graphic control extension needs GIF89a; giflib only picks it by itself for
    // whole-file writes.
    EGifSetGifVersion(gif, true);
    const int width = int(image.width), height = int(image.height);
    if (EGifPutScreenDesc(gif, width, height, 8, image.transparentIndex & 0xFF, colours.map) != GIF_OK)
        return gifError(gif->Error);

    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.UserInputFlag = false;
    control.DelayTime = 0;
    control.TransparentColor = image.transparentIndex;
    GifByteType extension[4];
    const size_t extensionLength = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(extensionLength), extension) != GIF_OK)
        return gifError(gif->Error);

    if (EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK)
        return gifError(gif->Error);
    // EGifPutLine masks the line in place, so it gets a copy of each row.
    std::vector<GifPixelType> row(image.width);
    for (uint32_t y = 0; y < image.height; ++y) {
        const uint8_t* source = image.indices.data() + size_t(y) * image.width;
        std::copy(source, source + image.width, row.begin());
        if (EGifPutLine(gif, row.data(), width) != GIF_OK)
            return gifError(gif->Error);
    }

    int closeError = 0;
    if (!encoder.close(closeError))
        return gifError(closeError);
    return out;
}

Result<std::vector<uint8_t>> convertToGif(const ArgbImage& image)
{
    return writeGif(quantizeImage(image));
}

Result<GifScreenSize> readGifScreenSize(std::span<const uint8_t> gif)
{
    ByteReader reader(gif);
    if (!reader.has(6, 4))
        return Error(ErrorKind::Format,
                     "The GIF data is " + std::to_string(gif.size()) + " bytes long; its screen size needs 10");
    return GifScreenSize{readLE16(reader.at(6)), readLE16(reader.at(8))};
}

} // namespace tessaro
