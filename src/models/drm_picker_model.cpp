#include "models/drm_picker_model.h"

#include <algorithm>
#include <cstring>

#include <gif_lib.h>

#include "core/translatable.h"
#include "drm/gif_writer.h"

namespace tessaro {

namespace {

struct ScreenSize {
    int width;
    int height;
};
// "128x128", "120x160", "176x220", "240x320".
constexpr ScreenSize kScreenSizes[DrmPickerModel::kScreenSizeCount] = {{128, 128}, {120, 160}, {176, 220}, {240, 320}};

// The layout is drawn for 176 x 220; these are its distances from the preview size.
constexpr int kWindowExtraWidth = 183;
constexpr int kWindowExtraHeight = 188;
constexpr int kButtonsBelowPreview = 124;
constexpr int kScreenSizeGroupAbovePreviewBottom = 36;

struct MemorySource {
    const std::vector<uint8_t>* bytes;
    size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* source = static_cast<MemorySource*>(gif->UserData);
    const size_t n = std::min(size_t(length), source->bytes->size() - source->position);
    std::memcpy(out, source->bytes->data() + source->position, n);
    source->position += n;
    return int(n);
}

std::string gifReaderError(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : TRANSLATABLE("Core", "GIF image is not valid");
}

} // namespace

bool isReadableGif(const std::vector<uint8_t>& bytes, std::string& error)
{
    MemorySource source{&bytes};
    int code = 0;
    GifFileType* gif = DGifOpen(&source, readFromMemory, &code);
    if (!gif) {
        error = gifReaderError(code);
        return false;
    }
    const bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
    if (!ok)
        error = gifReaderError(gif->Error ? gif->Error : D_GIF_ERR_NO_IMAG_DSCR);
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
    return ok;
}

DrmPickerModel::DrmPickerModel(DrmPack& pack) : pack_(pack) {}

Status DrmPickerModel::open() { return loadCurrent(); }

Status DrmPickerModel::loadNew(const std::string& path)
{
    pack_.setPackPath(path);
    pack_.setLoaded(false);
    return loadCurrent();
}

Status DrmPickerModel::loadCurrent()
{
    auto total = pack_.loadDrmPack(pack_.packPath());
    if (!total) {
        // The old pack is gone with the failed load: nothing can be offered any more.
        maximum_ = -1;
        return total.failure();
    }
    maximum_ = int64_t(*total) - 1;
    position_ = 1;
    text_ = "1";
    caret_ = 1;
    showIcon(0);
    return Status::success();
}

void DrmPickerModel::showIcon(uint32_t index)
{
    auto icon = pack_.extractDrmIcon(index);
    if (!icon) {
        preview_.reset();
        previewError_.clear();
        sizeLabel_ = TRANSLATABLE("Core", "[no image]");
        return;
    }
    std::string error;
    auto size = readGifScreenSize(*icon);
    if (!size || !isReadableGif(*icon, error)) {
        // Stored icons are handed out unchecked; the preview cannot show what is no GIF.
        preview_.reset();
        previewError_ = size ? error : size.error();
        return;
    }
    preview_ = std::move(icon);
    previewError_.clear();
    sizeLabel_ = TRANSLATABLE("Core", "Size: ") + std::to_string(size->width) + "x" + std::to_string(size->height);
}

void DrmPickerModel::showNumber(uint32_t number)
{
    position_ = number;
    text_ = std::to_string(number);
    caret_ = text_.size();
    showIcon(number - 1);
}

void DrmPickerModel::stepUp()
{
    if (maximum_ < 1)
        return;
    showNumber(position_ >= maximum_ ? 1 : position_ + 1);
}

void DrmPickerModel::stepDown()
{
    if (maximum_ < 1)
        return;
    showNumber(position_ <= 1 || position_ > maximum_ ? uint32_t(maximum_) : position_ - 1);
}

bool DrmPickerModel::typeDigit(char digit, size_t selectionStart, size_t selectionLength)
{
    if (digit < '0' || digit > '9')
        return false;
    const size_t start = std::min(selectionStart, text_.size());
    const size_t length = std::min(selectionLength, text_.size() - start);
    std::string candidate = text_;
    candidate.replace(start, length, 1, digit);

    // Any number above the maximum is refused, so stop counting once it is exceeded.
    int64_t value = 0;
    for (char c : candidate) {
        value = value * 10 + (c - '0');
        if (value > maximum_)
            return false;
    }
    if (value < 1)
        return false;
    text_ = std::move(candidate);
    caret_ = start + 1;
    position_ = uint32_t(value);
    showIcon(position_ - 1);
    return true;
}

void DrmPickerModel::backspace(size_t selectionStart, size_t selectionLength)
{
    const size_t start = std::min(selectionStart, text_.size());
    const size_t length = std::min(selectionLength, text_.size() - start);
    if (length > 0) {
        text_.erase(start, length);
        caret_ = start;
    } else if (start > 0) {
        text_.erase(start - 1, 1);
        caret_ = start - 1;
    }
}

void DrmPickerModel::setScreenSize(int index)
{
    if (index >= 0 && index < kScreenSizeCount)
        screenSize_ = index;
}

PickerGeometry DrmPickerModel::geometry() const
{
    const ScreenSize size = kScreenSizes[screenSize_];
    const ScreenSize initial = kScreenSizes[kInitialScreenSize];
    PickerGeometry g;
    g.previewWidth = size.width;
    g.previewHeight = size.height;
    g.windowWidth = size.width + kWindowExtraWidth;
    g.windowHeight = size.height + kWindowExtraHeight;
    g.buttonsTop = size.height + kButtonsBelowPreview;
    g.screenSizeGroupTop = size.height - kScreenSizeGroupAbovePreviewBottom;
    g.dx = size.width - initial.width;
    g.dy = size.height - initial.height;
    return g;
}

} // namespace tessaro
