#pragma once
// The rules of the DRM icon picker without its window: which number is shown, how the
// arrows wrap, which typed digits are taken, what the size label says and how large the
// preview and the window are for each screen size. The window only wires its controls to it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "drm/drmpack.h"

namespace tessaro {

// Sizes of the picker for one screen size. At 176 x 220 this is the initial layout; every
// other size moves and grows the window, the preview frame and the controls below and
// beside the preview by dx and dy.
struct PickerGeometry {
    int previewWidth = 0;
    int previewHeight = 0;
    int windowWidth = 0;        // preview width + 183
    int windowHeight = 0;       // preview height + 188
    int buttonsTop = 0;         // preview height + 124
    int screenSizeGroupTop = 0; // preview height - 36
    int dx = 0;                 // against the initial 176 x 220
    int dy = 0;
};

class DrmPickerModel {
public:
    // The screen sizes of "Screen size", in their order; the third is the initial choice.
    static constexpr int kScreenSizeCount = 4;
    static constexpr int kInitialScreenSize = 2;

    // Works on the program's pack, which outlives the picker.
    explicit DrmPickerModel(DrmPack& pack);

    // Opening the window: reloads the current pack path, sets the maximum to total - 1, the
    // number to "1" and shows icon 0. Fails with the load error; the pack then offers nothing.
    Status open();
    // "Load new..." with a chosen file: it becomes the current pack path, the pack-loaded flag
    // is cleared and the pack loaded as on opening. (Cancelling the dialog calls nothing.)
    Status loadNew(const std::string& path);

    // The arrows: one up or down, wrapping from the maximum to 1 and from 1 to the maximum.
    // Nothing happens while no number can be offered (total below 2).
    void stepUp();
    void stepDown();

    // A digit typed into the number field with the given selection (start, length) or, with
    // length 0, at the caret. Taken (and the icon shown) when the new text is a number from 1
    // to the maximum; otherwise the text stays as it was. Returns whether it was taken.
    bool typeDigit(char digit, size_t selectionStart, size_t selectionLength);
    // Backspace: removes the selection, or the character before the caret. Nothing is
    // checked and no icon is fetched.
    void backspace(size_t selectionStart, size_t selectionLength);

    // The number field's text (the result handed to the item editor on OK) and its caret.
    const std::string& text() const { return text_; }
    size_t caret() const { return caret_; }
    // The up/down position (1 while nothing is offered) and maximum (total - 1; below 1 when
    // no number can be offered).
    uint32_t position() const { return position_; }
    int64_t maximum() const { return maximum_; }

    // "Size:" at first, then "Size: WxH" of the shown icon or "[no image]".
    const std::string& sizeLabel() const { return sizeLabel_; }
    // The GIF the preview shows, or nothing (empty preview).
    const std::optional<std::vector<uint8_t>>& preview() const { return preview_; }
    // Set when the shown icon's bytes are not a readable GIF: the preview's reader error.
    // The size label then keeps its previous text.
    const std::string& previewError() const { return previewError_; }

    // Fetches icon `index` into the preview and updates the size label.
    void showIcon(uint32_t index);

    int screenSize() const { return screenSize_; }
    void setScreenSize(int index);
    PickerGeometry geometry() const;
    bool isCentered() const { return centered_; }
    void setCentered(bool centered) { centered_ = centered; }

private:
    Status loadCurrent();
    void showNumber(uint32_t number);

    DrmPack& pack_;
    std::string text_ = "1";
    size_t caret_ = 1;
    uint32_t position_ = 1;
    int64_t maximum_ = 0;
    std::string sizeLabel_ = "Size:";
    std::optional<std::vector<uint8_t>> preview_;
    std::string previewError_;
    int screenSize_ = kInitialScreenSize;
    bool centered_ = true;
};

// True when giflib's decoder reads the bytes as a complete GIF; otherwise `error` says why.
bool isReadableGif(const std::vector<uint8_t>& bytes, std::string& error);

} // namespace tessaro
