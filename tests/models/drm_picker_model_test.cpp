#include <gtest/gtest.h>

#include "drm/cg15_builder.h"
#include "models/drm_picker_model.h"
#include "drm/gif_writer.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::Cg15Builder;
using testing::TempDir;

std::vector<uint8_t> gifOf(uint32_t width, uint32_t height)
{
    ArgbImage image{width, height, std::vector<uint32_t>(size_t(width) * height, 0xFF336699)};
    return convertToGif(image).value();
}

// Stored icons 16x16, 20x10, "not a GIF", 8x8: total 5, numbers 1 to 4.
struct PickerFixture {
    TempDir dir;
    DrmPack pack;
    DrmPickerModel model{pack};

    explicit PickerFixture(std::vector<std::vector<uint8_t>> stored = {gifOf(16, 16), gifOf(20, 10),
                                                                       {'n', 'o', 't', ' ', 'a', ' ', 'G', 'I', 'F', '!', '!'},
                                                                       gifOf(8, 8)})
    {
        Cg15Builder b;
        b.stored = std::move(stored);
        testing::writeBytes(dir.file("pack.smg"), b.build());
        pack.setPackPath(dir.file("pack.smg"));
    }
};

TEST(DrmPickerModel, OpeningLoadsThePackAndShowsNumberOne)
{
    PickerFixture f;
    EXPECT_EQ(f.model.sizeLabel(), "Size:");
    ASSERT_TRUE(f.model.open().ok());
    EXPECT_TRUE(f.pack.isLoaded());
    EXPECT_EQ(f.model.maximum(), 4);
    EXPECT_EQ(f.model.text(), "1");
    EXPECT_EQ(f.model.position(), 1u);
    EXPECT_EQ(f.model.sizeLabel(), "Size: 16x16");
    ASSERT_TRUE(f.model.preview().has_value());
    EXPECT_EQ(*f.model.preview(), f.pack.extractDrmIcon(0));
}

TEST(DrmPickerModel, ArrowsWrapAtBothEnds)
{
    PickerFixture f;
    ASSERT_TRUE(f.model.open().ok());
    f.model.stepDown();
    EXPECT_EQ(f.model.text(), "4");
    EXPECT_EQ(f.model.sizeLabel(), "Size: 8x8");
    f.model.stepUp();
    EXPECT_EQ(f.model.text(), "1");
    f.model.stepUp();
    EXPECT_EQ(f.model.text(), "2");
    EXPECT_EQ(f.model.sizeLabel(), "Size: 20x10");
}

TEST(DrmPickerModel, TypedDigitsAreTakenOnlyInRange)
{
    PickerFixture f;
    ASSERT_TRUE(f.model.open().ok());
    // Replacing the selected "1" by "2" shows number 2.
    EXPECT_TRUE(f.model.typeDigit('2', 0, 1));
    EXPECT_EQ(f.model.text(), "2");
    EXPECT_EQ(f.model.caret(), 1u);
    EXPECT_EQ(f.model.position(), 2u);
    EXPECT_EQ(f.model.sizeLabel(), "Size: 20x10");
    // "25" exceeds the maximum 4: the text before the key stays.
    EXPECT_FALSE(f.model.typeDigit('5', 1, 0));
    EXPECT_EQ(f.model.text(), "2");
    // "0" into an empty field is refused too.
    f.model.backspace(1, 0);
    EXPECT_EQ(f.model.text(), "");
    EXPECT_FALSE(f.model.typeDigit('0', 0, 0));
    EXPECT_EQ(f.model.text(), "");
    // Backspace leaves the shown icon alone; OK would return the field's text.
    EXPECT_EQ(f.model.position(), 2u);
    EXPECT_TRUE(f.model.typeDigit('4', 0, 0));
    EXPECT_EQ(f.model.sizeLabel(), "Size: 8x8");
    EXPECT_FALSE(f.model.typeDigit('x', 0, 0));
}

TEST(DrmPickerModel, EmptyIconsAndNonGifBytes)
{
    PickerFixture f;
    ASSERT_TRUE(f.model.open().ok());
    // Number 3 holds bytes that are no GIF: the preview fails and the label keeps its text.
    EXPECT_TRUE(f.model.typeDigit('3', 0, 1));
    EXPECT_EQ(f.model.sizeLabel(), "Size: 16x16");
    EXPECT_FALSE(f.model.preview().has_value());
    EXPECT_FALSE(f.model.previewError().empty());
    // An index without an image shows "[no image]" with an empty preview.
    f.model.showIcon(99);
    EXPECT_EQ(f.model.sizeLabel(), "[no image]");
    EXPECT_FALSE(f.model.preview().has_value());
}

TEST(DrmPickerModel, PackWithTotalOneOffersNothing)
{
    PickerFixture f(std::vector<std::vector<uint8_t>>{});
    ASSERT_TRUE(f.model.open().ok());
    EXPECT_EQ(f.model.maximum(), 0);
    EXPECT_EQ(f.model.text(), "1");
    EXPECT_EQ(f.model.sizeLabel(), "[no image]");
    EXPECT_FALSE(f.model.typeDigit('1', 0, 1));
    f.model.stepUp();
    EXPECT_EQ(f.model.text(), "1");
}

TEST(DrmPickerModel, TotalsAbove32768AreOfferedInFull)
{
    std::vector<std::vector<uint8_t>> stored(40000, std::vector<uint8_t>{1});
    PickerFixture f(stored);
    ASSERT_TRUE(f.model.open().ok());
    EXPECT_EQ(f.model.maximum(), 40000);
    f.model.stepDown();
    EXPECT_EQ(f.model.text(), "40000");
    EXPECT_TRUE(f.model.typeDigit('3', 0, 5));
    for (char c : std::string("9999"))
        EXPECT_TRUE(f.model.typeDigit(c, f.model.caret(), 0));
    EXPECT_EQ(f.model.text(), "39999");
    EXPECT_FALSE(f.model.typeDigit('1', 5, 0)); // 399991
    // A leading zero still converts to a number in range and is kept as typed.
    EXPECT_TRUE(f.model.typeDigit('0', 0, 0));
    EXPECT_EQ(f.model.text(), "039999");
    EXPECT_EQ(f.model.position(), 39999u);
}

TEST(DrmPickerModel, LoadNewClearsTheFlagAndReportsFailure)
{
    PickerFixture f;
    ASSERT_TRUE(f.model.open().ok());
    const std::string missing = f.dir.file("other.bin");
    const Status status = f.model.loadNew(missing);
    EXPECT_EQ(status.error(), "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(f.pack.packPath(), missing);
    EXPECT_FALSE(f.pack.isLoaded());
    EXPECT_EQ(f.model.maximum(), -1);
    f.model.stepUp();
    EXPECT_EQ(f.model.text(), "1");

    ASSERT_TRUE(f.model.loadNew(f.dir.file("pack.smg")).ok());
    EXPECT_TRUE(f.pack.isLoaded());
    EXPECT_EQ(f.model.maximum(), 4);
}

TEST(DrmPickerModel, ScreenSizesMoveAndGrowTheLayout)
{
    DrmPack pack;
    DrmPickerModel model(pack);
    PickerGeometry g = model.geometry();
    EXPECT_EQ(model.screenSize(), 2);
    EXPECT_EQ((std::vector<int>{g.previewWidth, g.previewHeight, g.windowWidth, g.windowHeight, g.buttonsTop,
                                g.screenSizeGroupTop, g.dx, g.dy}),
              (std::vector<int>{176, 220, 359, 408, 344, 184, 0, 0}));
    model.setScreenSize(3);
    g = model.geometry();
    EXPECT_EQ((std::vector<int>{g.previewWidth, g.previewHeight, g.windowWidth, g.windowHeight, g.dx, g.dy}),
              (std::vector<int>{240, 320, 423, 508, 64, 100}));
    model.setScreenSize(1);
    g = model.geometry();
    EXPECT_EQ(g.previewWidth, 120);
    EXPECT_EQ(g.previewHeight, 160);
    model.setScreenSize(0);
    EXPECT_EQ(model.geometry().previewWidth, 128);
    model.setScreenSize(7);
    EXPECT_EQ(model.screenSize(), 0);
    EXPECT_TRUE(model.isCentered());
}

} // namespace
} // namespace tessaro
