#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>

#include "core/bytes.h"
#include "drm/cg15_builder.h"
#include "drm/decoded_gif.h"
#include "drm/drmpack.h"
#include "drm/gif_writer.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::Cg15Builder;
using testing::RawIconSpec;
using testing::solidRawIcon;

std::vector<uint8_t> bytesOf(std::initializer_list<uint8_t> b) { return b; }

uint16_t rgb565(uint8_t r, uint8_t g, uint8_t b)
{
    return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// Three stored "icons" of recognisable bytes.
Cg15Builder storedPack(PackKind kind, uint32_t baseWord = 0x10000000)
{
    Cg15Builder b;
    b.kind = kind;
    b.baseWord = baseWord;
    b.stored = {bytesOf({'G', 'I', 'F', 1}), bytesOf({'G', 'I', 'F', 2, 2}), bytesOf({'G', 'I', 'F', 3, 3, 3})};
    return b;
}

Result<uint32_t> load(DrmPack& pack, Cg15Builder& builder) { return pack.loadImage(builder.build()); }

// ---- Header cases ----

TEST(DrmPack, EveryHeaderCaseFindsItsDirectory)
{
    struct Case {
        const char* name;
        PackKind kind;
        uint32_t baseWord;
        uint32_t expectedBase;
    };
    const Case cases[] = {
        {"plain", PackKind::Plain, 0x100000FF, 0x10000000},
        {"headed, no raw table (directory at 52)", PackKind::Headed, 0x10000042, 0x10000000},
        {"headed raw, other base (directory at 48, end at 56)", PackKind::HeadedRaw, 0x10E00000, 0x10E00000},
        {"headed raw, base 0x10D00000 with low byte (directory at 40, end at 48)", PackKind::HeadedRaw, 0x10D000AB,
         0x10D00000},
    };
    for (const Case& c : cases) {
        Cg15Builder b = storedPack(c.kind, c.baseWord);
        if (c.kind == PackKind::HeadedRaw)
            b.raw = {solidRawIcon(2, 2, 0xFFFF)};
        DrmPack pack;
        auto total = load(pack, b);
        ASSERT_TRUE(total.ok()) << c.name << ": " << total.error();
        EXPECT_EQ(pack.kind(), c.kind) << c.name;
        EXPECT_EQ(pack.imageBase(), c.expectedBase) << c.name;
        EXPECT_EQ(pack.offsetTable().size(), 4u) << c.name;
        EXPECT_EQ(pack.rawCount(), c.kind == PackKind::HeadedRaw ? 1u : 0u) << c.name;
        EXPECT_EQ(*total, 4u) << c.name; // N = 4, or N + R - 1 with R = 1
        EXPECT_TRUE(pack.isLoaded()) << c.name;
    }
}

TEST(DrmPack, PlainImageNeverHasARawTableWhateverByte31Holds)
{
    Cg15Builder b = storedPack(PackKind::Plain);
    std::vector<uint8_t> image = b.build();
    image[31] = 0x01;
    DrmPack pack;
    auto total = pack.loadImage(image);
    ASSERT_TRUE(total.ok()) << total.error();
    EXPECT_EQ(pack.kind(), PackKind::Plain);
    EXPECT_EQ(pack.rawCount(), 0u);
    EXPECT_EQ(*total, 4u);
}

TEST(DrmPack, HeadedImageReadsTheRightWordForEachCase)
{
    // A headed image whose byte 31 is set but whose base is 0x10D00000 reads offset 40; with
    // the base changed to 0x10E00000 the same bytes must no longer load (offset 48 holds the
    // raw-table end, not a directory).
    Cg15Builder b = storedPack(PackKind::HeadedRaw, 0x10D00000);
    b.raw = {solidRawIcon(1, 1, 0)};
    std::vector<uint8_t> image = b.build();
    DrmPack pack;
    ASSERT_TRUE(pack.loadImage(image).ok());
    put32(&image[8], 0x10E00000, ByteOrder::Big);
    EXPECT_FALSE(pack.loadImage(image).ok());
}

// ---- Tables and numbering ----

TEST(DrmPack, OffsetTableBecomesAbsoluteFileOffsets)
{
    Cg15Builder b = storedPack(PackKind::Headed);
    DrmPack pack;
    ASSERT_TRUE(load(pack, b).ok());
    const uint32_t s = b.layout.storedData;
    EXPECT_EQ(pack.offsetTable(), (IconOffsetTable{s, s + 4, s + 9, s + 15}));
}

TEST(DrmPack, StoredIconsAreCopiedOutAsTheyAre)
{
    Cg15Builder b = storedPack(PackKind::Plain);
    DrmPack pack;
    auto total = load(pack, b);
    ASSERT_TRUE(total.ok());
    // N = 4 entries: total 4, numbers 1 to 3 show stored icons 0 to 2.
    EXPECT_EQ(*total, 4u);
    EXPECT_EQ(pack.storedCount(), 3u);
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(pack.extractDrmIcon(i), b.stored[i]) << i;
    EXPECT_FALSE(pack.extractDrmIcon(3).has_value());
    EXPECT_FALSE(pack.extractDrmIcon(0xFFFFFFFF).has_value());
}

TEST(DrmPack, EmptyStoredSpanHasNoImage)
{
    Cg15Builder b = storedPack(PackKind::Plain);
    b.stored[1].clear();
    DrmPack pack;
    ASSERT_TRUE(load(pack, b).ok());
    EXPECT_TRUE(pack.extractDrmIcon(0).has_value());
    EXPECT_FALSE(pack.extractDrmIcon(1).has_value());
    EXPECT_EQ(pack.extractDrmIcon(2), b.stored[2]);
}

TEST(DrmPack, RawIconsComeFirstAndTheLastStoredIconIsNotOffered)
{
    Cg15Builder b = storedPack(PackKind::HeadedRaw);
    b.raw = {solidRawIcon(2, 3, 0xF800), solidRawIcon(4, 1, 0x07E0)};
    DrmPack pack;
    auto total = load(pack, b);
    ASSERT_TRUE(total.ok()) << total.error();
    // N = 4, R = 2: total 4 + 2 - 1 = 5; indices 0-1 raw, 2-3 stored icons 0-1.
    EXPECT_EQ(*total, 5u);
    EXPECT_EQ(pack.rawCount(), 2u);
    EXPECT_EQ(pack.storedCount(), 2u);
    EXPECT_EQ(pack.rawTable()[0], (RawImageRecord{2, 3, 0xFF000000, b.layout.rawDataOffsets[0]}));

    auto first = pack.extractDrmIcon(0);
    ASSERT_TRUE(first.has_value());
    auto size = readGifScreenSize(*first);
    ASSERT_TRUE(size.ok());
    EXPECT_EQ(size->width, 2);
    EXPECT_EQ(size->height, 3);
    auto second = testing::decodeGif(*pack.extractDrmIcon(1));
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->palette[0], 0x00FC00u); // green 0x3F << 2

    EXPECT_EQ(pack.extractDrmIcon(2), b.stored[0]);
    EXPECT_EQ(pack.extractDrmIcon(3), b.stored[1]);
    EXPECT_FALSE(pack.extractDrmIcon(4).has_value()); // stored icon 2 is past total - 1
}

TEST(DrmPack, RawRecordsAreConvertedInPlace)
{
    Cg15Builder b = storedPack(PackKind::HeadedRaw, 0x10D00000);
    RawIconSpec icon = solidRawIcon(3, 5, 0);
    icon.key[0] = 0x12;
    icon.key[1] = 0x34;
    icon.key[2] = 0x56;
    b.raw = {solidRawIcon(1, 1, 0), icon};
    DrmPack pack;
    ASSERT_TRUE(load(pack, b).ok());
    ASSERT_EQ(pack.rawTable().size(), 2u);
    EXPECT_EQ(pack.rawTable()[1], (RawImageRecord{3, 5, 0xFF123456, b.layout.rawDataOffsets[1]}));
}

TEST(DrmPack, TotalsAbove32768AreOfferedInFull)
{
    Cg15Builder b;
    b.kind = PackKind::Plain;
    for (int i = 0; i < 40000; ++i)
        b.stored.push_back(bytesOf({uint8_t(i), uint8_t(i >> 8)}));
    DrmPack pack;
    auto total = load(pack, b);
    ASSERT_TRUE(total.ok());
    EXPECT_EQ(*total, 40001u);
    EXPECT_EQ(pack.extractDrmIcon(39999), bytesOf({uint8_t(39999), uint8_t(39999 >> 8)}));
}

// ---- Raw decoding ----

TEST(DrmPack, DecodeRawImageChannelsMaskAndKey)
{
    // Four pixels: masked black, unmasked white, unmasked 0x1234, masked 0x1234.
    const RawImageRecord record{4, 1, 0xFFA0B0C0, 0};
    const std::vector<uint8_t> data{
        0x00, 0x00, 0xFF, 0xFF, 0x12, 0x34, 0x12, 0x34, // RGB565 big-endian
        0x90,                                           // mask 1001....: pixels 0 and 3
    };
    auto image = DrmPack::decodeRawImage(record, data);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->pixels.size(), 4u);
    EXPECT_EQ(image->pixels[0], 0x00A0B0C0u); // key colour, alpha 0
    EXPECT_EQ(image->pixels[1], 0xFFF8FCF8u); // no low-bit replication
    // 0x1234: red 0x10, green ((2 << 3) | 1) << 2 = 0x44, blue (0x34 << 3) & 0xFF = 0xA0.
    EXPECT_EQ(image->pixels[2], 0xFF1044A0u);
    EXPECT_EQ(image->pixels[3], 0xFF1044A0u ^ 0xFFA0B0C0u);
}

TEST(DrmPack, MaskBitsRunOnAcrossRowsMostSignificantFirst)
{
    // 3 x 3: 18 pixel bytes, then 2 mask bytes; pixel 8 is bit 7 of the second byte.
    const RawImageRecord record{3, 3, 0xFF000000, 0};
    std::vector<uint8_t> data(18, 0xFF);
    data.push_back(0x41); // pixels 1 and 7
    data.push_back(0x80); // pixel 8
    auto image = DrmPack::decodeRawImage(record, data);
    ASSERT_TRUE(image.has_value());
    for (uint32_t k = 0; k < 9; ++k) {
        const bool masked = k == 1 || k == 7 || k == 8;
        EXPECT_EQ(image->pixels[k] >> 24, masked ? 0u : 0xFFu) << k;
    }
    data.pop_back();
    EXPECT_FALSE(DrmPack::decodeRawImage(record, data).has_value());
}

TEST(DrmPack, RawIconGifIsTheQuantisedDecodedPicture)
{
    RawIconSpec icon;
    icon.width = 4;
    icon.height = 2;
    icon.key[0] = 0x08;
    icon.pixels = {rgb565(255, 0, 0), rgb565(255, 0, 0), rgb565(0, 0, 255), 0,
                   rgb565(0, 0, 255), rgb565(0, 0, 255), rgb565(0, 0, 255), 0};
    icon.masked = {false, false, false, true, false, false, false, true};
    Cg15Builder b = storedPack(PackKind::HeadedRaw);
    b.raw = {icon};
    DrmPack pack;
    ASSERT_TRUE(load(pack, b).ok());
    auto gif = pack.extractDrmIcon(0);
    ASSERT_TRUE(gif.has_value());
    auto d = testing::decodeGif(*gif);
    ASSERT_TRUE(d.has_value());
    // Blue has 4 pixels, red 2: blue first; masked pixels take n = 2.
    EXPECT_EQ(d->palette[0], 0x0000F8u);
    EXPECT_EQ(d->palette[1], 0xF80000u);
    EXPECT_EQ(d->palette[2], 0u);
    EXPECT_EQ(d->transparentIndex, 2);
    EXPECT_EQ(d->indices, (std::vector<uint8_t>{1, 1, 0, 2, 0, 0, 0, 2}));
}

// ---- Hostile images ----

TEST(DrmPack, BrokenLayoutsAreClearLoadErrors)
{
    struct Case {
        const char* name;
        PackKind kind;
        std::function<void(std::vector<uint8_t>&, const testing::Cg15Layout&, uint32_t base)> damage;
        std::string error;
    };
    const Case cases[] = {
        {"short header", PackKind::Plain, [](auto& img, auto&, uint32_t) { img.resize(59); },
         "the file is 59 bytes long, shorter than the 60-byte header"},
        {"directory beyond the end", PackKind::Plain,
         [](auto& img, auto&, uint32_t base) { put32(&img[40], base + uint32_t(img.size()) - 63, ByteOrder::Big); },
         "the pack directory at address 0x10000065 (header offset 40, file offset 0x00000065) lies outside the file of 164 bytes"},
        {"directory before the base", PackKind::Headed,
         [](auto& img, auto&, uint32_t) { put32(&img[52], 0x0FFFFFFF, ByteOrder::Big); },
         "the pack directory at address 0x0FFFFFFF (header offset 52, file offset 0xFFFFFFFF) lies outside the file of 164 bytes"},
        {"offset table ends before it starts", PackKind::Plain,
         [](auto& img, auto& l, uint32_t base) { put32(&img[l.directory + 4], base + l.offsetTable, ByteOrder::Big); },
         "the offset table ends at address 0x10000080 (directory word 1) before it starts at 0x10000084 (directory word 5 + 4)"},
        {"offset table beyond the end", PackKind::Plain,
         [](auto& img, auto& l, uint32_t base) { put32(&img[l.directory + 4], base + 0x1000, ByteOrder::Big); },
         "the offset table of 991 entries at file offset 0x00000084 lies outside the file of 164 bytes"},
        {"raw table ends before it starts", PackKind::HeadedRaw,
         [](auto& img, auto& l, uint32_t base) { put32(&img[56], base + l.rawTable + 15, ByteOrder::Big); },
         "the raw table ends at address 0x100000A3 (header offset 56) before it starts at 0x100000A4 (directory word 12 + 16)"},
        {"raw table beyond the end", PackKind::HeadedRaw,
         [](auto& img, auto&, uint32_t base) { put32(&img[56], base + 0x10000, ByteOrder::Big); },
         "the raw table of 4085 records at file offset 0x000000A4 lies outside the file of 200 bytes"},
    };
    for (const Case& c : cases) {
        Cg15Builder b = storedPack(c.kind);
        if (c.kind == PackKind::HeadedRaw)
            b.raw = {solidRawIcon(1, 1, 0)};
        std::vector<uint8_t> image = b.build();
        c.damage(image, b.layout, b.base());
        DrmPack pack;
        auto total = pack.loadImage(image);
        ASSERT_FALSE(total.ok()) << c.name;
        EXPECT_EQ(total.error(), c.error) << c.name;
        EXPECT_EQ(pack.total(), 0u) << c.name;
        EXPECT_FALSE(pack.isLoaded()) << c.name;
    }
}

TEST(DrmPack, EmptyTablesGiveATotalOfZeroWithoutWrapping)
{
    // A headed image with an empty offset table and an empty raw table: N + R - 1 would wrap.
    Cg15Builder b;
    b.kind = PackKind::HeadedRaw;
    std::vector<uint8_t> image = b.build();
    put32(&image[b.layout.directory + 4], b.base() + b.layout.offsetTable + 4, ByteOrder::Big);
    DrmPack pack;
    auto total = pack.loadImage(image);
    ASSERT_TRUE(total.ok()) << total.error();
    EXPECT_EQ(*total, 0u);
    EXPECT_EQ(pack.storedCount(), 0u);
    EXPECT_FALSE(pack.extractDrmIcon(0).has_value());
}

TEST(DrmPack, DamagedStoredSpansHaveNoImage)
{
    Cg15Builder b = storedPack(PackKind::Plain);
    std::vector<uint8_t> image = b.build();
    uint8_t* entries = &image[b.layout.offsetTable + 4];
    // Icon 0 runs backwards (entry 1 below entry 0); icon 2 ends far beyond the file.
    put32(entries + 4, 0, ByteOrder::Big);
    put32(entries, 3, ByteOrder::Big);
    put32(entries + 12, 0x7FFFFFF0, ByteOrder::Big);
    DrmPack pack;
    ASSERT_TRUE(pack.loadImage(image).ok());
    EXPECT_FALSE(pack.extractDrmIcon(0).has_value());
    EXPECT_EQ(pack.extractDrmIcon(1), bytesOf({'G', 'I', 'F', 1, 'G', 'I', 'F', 2, 2}));
    EXPECT_FALSE(pack.extractDrmIcon(2).has_value());
}

TEST(DrmPack, DamagedRawRecordsHaveNoImage)
{
    // Three 2 x 2 pictures (8 pixel bytes + 1 mask byte, 10 with alignment), one record damaged.
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&, const Cg15Builder&)> damage;
        std::array<bool, 3> hasImage;
    };
    auto record = [](std::vector<uint8_t>& img, const Cg15Builder& b, int i) {
        return &img[b.layout.rawTable + 16 * (i + 1)];
    };
    const Case cases[] = {
        {"width 0", [&](auto& img, auto& b) { put16(record(img, b, 1), 0, ByteOrder::Big); }, {true, false, true}},
        {"height 0", [&](auto& img, auto& b) { put16(record(img, b, 1) + 2, 0, ByteOrder::Big); }, {true, false, true}},
        // Record 1 grows to 3 x 2: 12 + 1 bytes needed, only 10 before record 2.
        {"data shorter than the picture", [&](auto& img, auto& b) { put16(record(img, b, 1), 3, ByteOrder::Big); },
         {true, false, true}},
        // Record 1's data starts where record 0's does: record 0 has size 0, record 1 reads
        // record 0's bytes and has room up to record 2.
        {"size 0", [&](auto& img, auto& b) {
             put32(record(img, b, 1) + 12, readBE32(record(img, b, 0) + 12), ByteOrder::Big);
         }, {false, true, true}},
        // Record 1's data beyond the end of the file: record 2 then lies before it.
        {"data beyond the file, decreasing", [&](auto& img, auto& b) {
             put32(record(img, b, 1) + 12, 0x40000000, ByteOrder::Big);
         }, {true, false, true}},
        {"last record beyond the file", [&](auto& img, auto& b) {
             put32(record(img, b, 2) + 12, 0x40000000, ByteOrder::Big);
         }, {true, true, false}},
    };
    for (const Case& c : cases) {
        Cg15Builder b = storedPack(PackKind::HeadedRaw);
        b.raw = {solidRawIcon(2, 2, 0xFFFF), solidRawIcon(2, 2, 0x001F), solidRawIcon(2, 2, 0xF800)};
        std::vector<uint8_t> image = b.build();
        c.damage(image, b);
        DrmPack pack;
        ASSERT_TRUE(pack.loadImage(image).ok()) << c.name;
        for (uint32_t i = 0; i < 3; ++i)
            EXPECT_EQ(pack.extractDrmIcon(i).has_value(), c.hasImage[i]) << c.name << ", icon " << i;
    }
}

TEST(DrmPack, LastRawRecordIsBoundedByTheFile)
{
    Cg15Builder b = storedPack(PackKind::HeadedRaw);
    b.raw = {solidRawIcon(2, 2, 0xFFFF), solidRawIcon(3, 3, 0x001F)};
    std::vector<uint8_t> image = b.build();
    // The last record's 18 + 2 bytes end the file exactly.
    image.resize(b.layout.rawDataOffsets[1] + 20);
    DrmPack pack;
    ASSERT_TRUE(pack.loadImage(image).ok());
    EXPECT_TRUE(pack.extractDrmIcon(1).has_value());
    image.pop_back();
    ASSERT_TRUE(pack.loadImage(image).ok());
    EXPECT_FALSE(pack.extractDrmIcon(1).has_value());
    EXPECT_TRUE(pack.extractDrmIcon(0).has_value());
}

TEST(DrmPack, HugeRawPictureIsRefusedBeforeAnyAllocation)
{
    Cg15Builder b = storedPack(PackKind::HeadedRaw);
    b.raw = {solidRawIcon(1, 1, 0)};
    std::vector<uint8_t> image = b.build();
    put16(&image[b.layout.rawTable + 16], 0xFFFF, ByteOrder::Big);
    put16(&image[b.layout.rawTable + 18], 0xFFFF, ByteOrder::Big);
    DrmPack pack;
    ASSERT_TRUE(pack.loadImage(image).ok());
    EXPECT_FALSE(pack.extractDrmIcon(0).has_value());
}

// ---- Files, flag and path ----

TEST(DrmPack, LoadsFromAFileAndKeepsTheFlagOnFailure)
{
    testing::TempDir dir;
    Cg15Builder b = storedPack(PackKind::Plain);
    testing::writeBytes(dir.file("pack.smg"), b.build());
    DrmPack pack;
    EXPECT_FALSE(pack.isLoaded());
    auto total = pack.loadDrmPack(dir.file("pack.smg"));
    ASSERT_TRUE(total.ok()) << total.error();
    EXPECT_EQ(*total, 4u);
    EXPECT_TRUE(pack.isLoaded());
    EXPECT_EQ(pack.extractDrmIcon(2), b.stored[2]);

    // A failed load drops the pack but does not touch the flag.
    const std::string missing = dir.file("missing.bin");
    total = pack.loadDrmPack(missing);
    ASSERT_FALSE(total.ok());
    EXPECT_EQ(total.error(), "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_TRUE(pack.isLoaded());
    EXPECT_EQ(pack.total(), 0u);
    EXPECT_FALSE(pack.extractDrmIcon(0).has_value());

    testing::writeBytes(dir.file("short.bin"), std::vector<uint8_t>(10, 1));
    total = pack.loadDrmPack(dir.file("short.bin"));
    EXPECT_EQ(total.error(), "\"" + dir.file("short.bin")
                                 + "\" holds no readable DRM icon pack: the file is 10 bytes long, shorter than the "
                                   "60-byte header");

    pack.setLoaded(false);
    pack.setPackPath(dir.file("pack.smg"));
    EXPECT_EQ(pack.packPath(), dir.file("pack.smg"));
}

} // namespace
} // namespace tessaro
