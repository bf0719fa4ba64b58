#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "core/bytes.h"
#include "drm/cg15_builder.h"
#include "drm/decoded_gif.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::Cg15Builder;
using testing::CliRun;
using testing::TempDir;

CliRun runCli(const TempDir& dir, const std::vector<std::string>& args)
{
    return testing::runProgram(TESSARO_CLI, dir, args);
}

// Raw icons 0-1, stored icons 0-2 (stored icon 1 empty, stored icon 3 not offered): total 5.
Cg15Builder samplePack()
{
    Cg15Builder b;
    b.kind = PackKind::HeadedRaw;
    b.raw = {testing::solidRawIcon(2, 3, 0xF800), testing::solidRawIcon(5, 1, 0x001F)};
    b.stored = {{'G', 'I', 'F', '8', '9', 'a', 7, 0, 9, 0}, {}, {'G', 'I', 'F', 3}};
    return b;
}

TEST(DrmCommands, InfoPrintsTheTotalAndLayout)
{
    TempDir dir;
    Cg15Builder b = samplePack();
    testing::writeBytes(dir.file("pack.smg"), b.build());
    const CliRun run = runCli(dir, {"drm", "info", dir.file("pack.smg")});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["total"], 3 + 1 + 2 - 1);
    EXPECT_EQ(json["kind"], "headed-raw");
    EXPECT_EQ(json["rawCount"], 2);
    EXPECT_EQ(json["storedCount"], 2);
    EXPECT_EQ(json["offsetEntries"], 4);
    EXPECT_EQ(json["imageBase"], "0x10000000");
    EXPECT_EQ(run.err, "");
}

TEST(DrmCommands, InfoOfAnUnreadableFileFails)
{
    TempDir dir;
    const std::string missing = dir.file("missing.smg");
    CliRun run = runCli(dir, {"drm", "info", missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot open file \"" + missing + "\". No such file or directory\n");
    EXPECT_EQ(run.out, "");

    testing::writeText(dir.file("tiny.bin"), "0123");
    run = runCli(dir, {"drm", "info", dir.file("tiny.bin")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "\"" + dir.file("tiny.bin")
                           + "\" holds no readable DRM icon pack: the file is 4 bytes long, shorter than the 60-byte header\n");
}

TEST(DrmCommands, GetWritesRawAndStoredIconsByNumber)
{
    TempDir dir;
    Cg15Builder b = samplePack();
    testing::writeBytes(dir.file("pack.smg"), b.build());

    // Number 1 is raw icon 0, turned into a GIF.
    CliRun run = runCli(dir, {"drm", "get", dir.file("pack.smg"), "1", dir.file("one.gif")});
    ASSERT_EQ(run.status, 0) << run.err;
    auto gif = testing::decodeGif(testing::readBytes(dir.file("one.gif")));
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->screenWidth, 2);
    EXPECT_EQ(gif->screenHeight, 3);
    EXPECT_EQ(gif->palette[0], 0xF80000u);
    EXPECT_EQ(gif->indices, std::vector<uint8_t>(6, 0));

    // Number 3 is stored icon 0, copied as it is.
    run = runCli(dir, {"drm", "get", dir.file("pack.smg"), "3", dir.file("three.gif")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(testing::readBytes(dir.file("three.gif")), b.stored[0]);
}

TEST(DrmCommands, GetSaysNoImageForEmptyIconsAndNumbersOutOfRange)
{
    TempDir dir;
    testing::writeBytes(dir.file("pack.smg"), samplePack().build());
    // 4: the empty stored icon; 0 and 5: outside 1 to total - 1; then no number at all.
    for (const char* number : {"4", "0", "5", "4294967297", "x1"}) {
        const CliRun run = runCli(dir, {"drm", "get", dir.file("pack.smg"), number, dir.file("x.gif")});
        EXPECT_EQ(run.status, 1) << number;
        EXPECT_EQ(run.err, "[no image]\n") << number;
        EXPECT_FALSE(std::filesystem::exists(dir.file("x.gif"))) << number;
    }
}

TEST(DrmCommands, ExportWritesEveryIconWithAnImage)
{
    TempDir dir;
    Cg15Builder b = samplePack();
    testing::writeBytes(dir.file("pack.smg"), b.build());
    const CliRun run = runCli(dir, {"drm", "export", dir.file("pack.smg"), dir.file("icons")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3\n");
    EXPECT_EQ(run.err, ""); // no progress when stderr is not a terminal
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("icons")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"1.gif", "2.gif", "3.gif"}));
    EXPECT_EQ(testing::readBytes(dir.file("icons/3.gif")), b.stored[0]);
    auto second = testing::decodeGif(testing::readBytes(dir.file("icons/2.gif")));
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->screenWidth, 5);
    EXPECT_EQ(second->palette[0], 0x0000F8u);
}

TEST(DrmCommands, ToGifConvertsABmp)
{
    TempDir dir;
    // 1 x 1 32-bit BMP, 40-byte header, one half-transparent pixel.
    std::vector<uint8_t> bmp{'B', 'M'};
    append32(bmp, 58, ByteOrder::Little); // file size
    append32(bmp, 0, ByteOrder::Little);  // reserved
    append32(bmp, 54, ByteOrder::Little); // pixel data offset
    append32(bmp, 40, ByteOrder::Little); // header size
    append32(bmp, 1, ByteOrder::Little);  // width
    append32(bmp, 1, ByteOrder::Little);  // height
    append16(bmp, 1, ByteOrder::Little);  // planes
    append16(bmp, 32, ByteOrder::Little); // bits per pixel
    bmp.resize(54, 0);
    append32(bmp, 0x96112233, ByteOrder::Little); // alpha 150
    testing::writeBytes(dir.file("in.bmp"), bmp);

    CliRun run = runCli(dir, {"to-gif", dir.file("in.bmp"), dir.file("out.gif")});
    ASSERT_EQ(run.status, 0) << run.err;
    auto gif = testing::decodeGif(testing::readBytes(dir.file("out.gif")));
    ASSERT_TRUE(gif.has_value());
    // Alpha 150 makes the palette entry but the pixel is written transparent (index n = 1).
    EXPECT_EQ(gif->palette[0], 0x112233u);
    EXPECT_EQ(gif->transparentIndex, 1);
    EXPECT_EQ(gif->indices, std::vector<uint8_t>{1});

    run = runCli(dir, {"to-gif", dir.file("none.bmp"), dir.file("out2.gif")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot open file \"" + dir.file("none.bmp") + "\". No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out2.gif")));
}

} // namespace
} // namespace tessaro
