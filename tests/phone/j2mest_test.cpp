#include <gtest/gtest.h>

#include <cstring>

#include "phone/j2mest.h"
#include "support/recording_prompter.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::Prompt;
using testing::RecordingPrompter;
using testing::TempDir;

// A zero-filled table of 31 records of `r` bytes behind an `h`-byte header.
std::vector<uint8_t> table(int r, int h) { return std::vector<uint8_t>(31 * size_t(r) + size_t(h), 0); }

uint8_t* record(std::vector<uint8_t>& image, int r, int h, int i) { return image.data() + h + i * r; }

void put(uint8_t* at, const std::string& text) { std::memcpy(at, text.data(), text.size()); }

// Fills record i: flags at byte 0 and 1, the three texts at the given starts.
void fill(std::vector<uint8_t>& image, int r, int h, int i, uint8_t byte0, uint8_t byte1, int nameAt,
          const std::string& name, int vendorAt, const std::string& vendor, int midlet1At,
          const std::string& midlet1)
{
    uint8_t* rec = record(image, r, h, i);
    rec[0] = byte0;
    rec[1] = byte1;
    put(rec + nameAt, name);
    put(rec + vendorAt, vendor);
    put(rec + midlet1At, midlet1);
}

struct LayoutCase {
    int r;
    int nameAt;
    int vendorAt;
    int midlet1At;
    int inUseByte;
    bool corelet;
};

class J2mestLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(J2mestLayouts, ReadsTheFieldsOfEachRecordSize)
{
    const LayoutCase c = GetParam();
    auto image = table(c.r, 7);
    // byte 0 = 0x01 (corelet bit) and byte 1 = 0x01: the in-use bit wherever the layout keeps it.
    fill(image, c.r, 7, 4, 0x01, 0x01, c.nameAt, "Snake", c.vendorAt, "Acme", c.midlet1At, "3: Snake");
    auto parsed = parseJ2mest(image);
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    EXPECT_EQ(parsed->recordSize, c.r);
    EXPECT_EQ(parsed->headerSize, 7);
    for (int i = 0; i < kJavaSlotCount; ++i)
        EXPECT_EQ(parsed->slots[size_t(i)].has_value(), i == 4) << "slot " << i;
    const JavaSlot& slot = *parsed->slots[4];
    EXPECT_EQ(slot.midletName, "Snake");
    EXPECT_EQ(slot.midletVendor, "Acme");
    EXPECT_EQ(slot.midlet1, "3: Snake");
    EXPECT_EQ(slot.corelet, c.corelet);
    if (c.corelet)
        EXPECT_EQ(parsed->patches, (PatchList{{4, uint16_t(7 + 4 * c.r + c.midlet1At)}}));
    else
        EXPECT_TRUE(parsed->patches.empty());
}

INSTANTIATE_TEST_SUITE_P(AllSizes, J2mestLayouts,
                         ::testing::Values(LayoutCase{652, 4, 37, 100, 0, false},
                                           LayoutCase{660, 4, 37, 108, 0, false},
                                           LayoutCase{708, 6, 39, 152, 1, true},
                                           LayoutCase{712, 4, 37, 156, 0, false},
                                           LayoutCase{1104, 6, 39, 152, 1, true},
                                           LayoutCase{1112, 6, 39, 156, 1, true}),
                         [](const auto& info) { return "R" + std::to_string(info.param.r); });

TEST(J2mest, InUseNeedsANameAndTheInUseBit)
{
    auto image = table(1112, 0);
    fill(image, 1112, 0, 0, 0x01, 0x00, 6, "NoBit", 39, "v", 156, "m");   // in-use bit clear
    fill(image, 1112, 0, 1, 0x01, 0x03, 6, "", 39, "v", 156, "m");        // name starts with 0
    fill(image, 1112, 0, 2, 0x00, 0x01, 6, "Plain", 39, "v", 156, "3: x"); // in use, no corelet
    auto parsed = parseJ2mest(image);
    ASSERT_TRUE(parsed.ok());
    EXPECT_FALSE(parsed->slots[0]);
    EXPECT_FALSE(parsed->slots[1]);
    ASSERT_TRUE(parsed->slots[2]);
    EXPECT_FALSE(parsed->slots[2]->corelet);
    EXPECT_TRUE(parsed->patches.empty());
}

TEST(J2mest, SizesOf652ByteRecordsAndTheirHeader)
{
    // 20216 = 31 × 652 + 4; 20215 = 31 × 652 + 3: the same layout one byte earlier.
    for (int h : {4, 3}) {
        auto image = table(652, h);
        ASSERT_EQ(image.size(), h == 4 ? 20216u : 20215u);
        fill(image, 652, h, 0, 0x01, 0x00, 4, "Chess", 37, "Vendor", 100, "Chess,/i.png,Main");
        auto parsed = parseJ2mest(image);
        ASSERT_TRUE(parsed.ok());
        EXPECT_EQ(parsed->headerSize, h);
        ASSERT_TRUE(parsed->slots[0]);
        EXPECT_EQ(parsed->slots[0]->midletName, "Chess");
        EXPECT_EQ(parsed->slots[0]->midletVendor, "Vendor");
        EXPECT_EQ(parsed->slots[0]->midlet1, "Chess,/i.png,Main");
    }
}

TEST(J2mest, A660ByteTableNeverAsksForAPatch)
{
    auto image = table(660, 0);
    ASSERT_EQ(image.size(), 20460u);
    for (int i = 0; i < kJavaSlotCount; ++i)
        fill(image, 660, 0, i, 0xFF, 0xFF, 4, "App", 37, "V", 108, "3: App");
    auto parsed = parseJ2mest(image);
    ASSERT_TRUE(parsed.ok());
    EXPECT_TRUE(parsed->slots[29]);
    EXPECT_FALSE(parsed->slots[29]->corelet);
    EXPECT_TRUE(parsed->patches.empty());
}

TEST(J2mest, PatchOffsetOfThe1112ByteLayout)
{
    auto image = table(1112, 5);
    fill(image, 1112, 5, 2, 0x01, 0x01, 6, "Snake", 39, "Acme", 156, "3: Snake Game");
    auto parsed = parseJ2mest(image);
    ASSERT_TRUE(parsed.ok());
    // H + i × 1112 + 156 = 5 + 2224 + 156.
    EXPECT_EQ(parsed->patches, (PatchList{{2, 2385}}));
}

TEST(J2mest, SecondLayoutOf1104ByteTables)
{
    auto image = table(1104, 2);
    // Record 1 is the first in use and ends with FF FF FF FF at bytes 1100..1103.
    const std::string vendor(117, 'v');   // bytes 39..155: runs over the first layout's MIDlet-1
    fill(image, 1104, 2, 1, 0x01, 0x01, 6, "First", 39, vendor, 156, "1: First");
    std::memset(record(image, 1104, 2, 1) + 1100, 0xFF, 4);
    // A later record without the marker still uses the second layout.
    fill(image, 1104, 2, 3, 0x01, 0x01, 6, "Later", 39, "Acme", 156, "2: Later");
    auto parsed = parseJ2mest(image);
    ASSERT_TRUE(parsed.ok());
    EXPECT_TRUE(parsed->secondLayout);
    EXPECT_EQ(parsed->slots[1]->midletVendor, vendor);
    EXPECT_EQ(parsed->slots[1]->midlet1, "1: First");
    EXPECT_EQ(parsed->slots[3]->midlet1, "2: Later");
    EXPECT_EQ(parsed->patches, (PatchList{{1, uint16_t(2 + 1104 + 156)}, {3, uint16_t(2 + 3 * 1104 + 156)}}));
}

TEST(J2mest, MarkerOnALaterRecordDoesNotSwitchTheLayout)
{
    auto image = table(1104, 0);
    fill(image, 1104, 0, 0, 0x01, 0x01, 6, "A", 39, "Acme", 152, "1: A");
    fill(image, 1104, 0, 1, 0x01, 0x01, 6, "B", 39, "Acme", 152, "2: B");
    std::memset(record(image, 1104, 0, 1) + 1100, 0xFF, 4);
    auto parsed = parseJ2mest(image);
    ASSERT_TRUE(parsed.ok());
    EXPECT_FALSE(parsed->secondLayout);
    EXPECT_EQ(parsed->slots[1]->midlet1, "2: B");
    EXPECT_EQ(parsed->patches[1], (PatchEntry{1, 1104 + 152}));
}

TEST(J2mest, TextsWithoutZeroByteEndAtTheNextField)
{
    auto image = table(708, 0);
    std::memset(record(image, 708, 0, 0), 'A', 708);   // byte 0 'A' = 0x41: corelet bit set
    auto parsed = parseJ2mest(image);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed->slots[0]->midletName, std::string(33, 'A'));      // bytes 6..38
    EXPECT_EQ(parsed->slots[0]->midletVendor, std::string(113, 'A'));   // bytes 39..151
    EXPECT_EQ(parsed->slots[0]->midlet1, std::string(556, 'A'));        // to the record's end
}

TEST(J2mest, Midlet1ShapesThatNeedNoPatch)
{
    for (const std::string midlet1 : {"3:", "3:x", "x: a", ":3 a", "", "3 : a"}) {
        auto image = table(1112, 0);
        fill(image, 1112, 0, 0, 0x01, 0x01, 6, "App", 39, "V", 156, midlet1);
        auto parsed = parseJ2mest(image);
        ASSERT_TRUE(parsed.ok());
        EXPECT_TRUE(parsed->patches.empty()) << midlet1;
    }
}

TEST(J2mest, TheThirtyFirstRecordIsNeverRead)
{
    auto image = table(1112, 0);
    fill(image, 1112, 0, 30, 0x01, 0x01, 6, "Hidden", 39, "V", 156, "3: Hidden");
    auto parsed = parseJ2mest(image);
    ASSERT_TRUE(parsed.ok());
    EXPECT_TRUE(parsed->patches.empty());
    for (const auto& slot : parsed->slots)
        EXPECT_FALSE(slot);
}

TEST(J2mest, UnsupportedSizesAreRefused)
{
    // Empty, shorter than one record set, a near miss on each side, longer than any table.
    for (size_t size : {size_t(0), size_t(30), size_t(31 * 650), size_t(31 * 653), size_t(31 * 1113),
                        size_t(1) << 20}) {
        const std::vector<uint8_t> image(size, 0xFF);
        auto parsed = parseJ2mest(image);
        ASSERT_FALSE(parsed.ok()) << size;
        EXPECT_EQ(parsed.error(), "Unsupported J2MEST format");
    }
}

TEST(J2mest, Midlet1FieldKeepsItsZeroByte)
{
    const auto shortField = midlet1Field("Snake Game");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(shortField.data()), 10), "Snake Game");
    for (size_t i = 10; i < 33; ++i)
        EXPECT_EQ(shortField[i], 0) << i;

    // 32 bytes fit with the 0 byte; 33 and more are cut to 32.
    for (size_t length : {size_t(32), size_t(33), size_t(60)}) {
        const auto field = midlet1Field(std::string(length, 'N'));
        EXPECT_EQ(std::count(field.begin(), field.end(), 'N'), 32) << length;
        EXPECT_EQ(field[32], 0) << length;
    }
}

TEST(J2mest, PatchStaysInsideTheImage)
{
    std::vector<uint8_t> image(40, 0xEE);
    EXPECT_TRUE(patchMidlet1(image, 7, "Go"));
    EXPECT_EQ(image[6], 0xEE);
    EXPECT_EQ(image[7], 'G');
    EXPECT_EQ(image[9], 0);
    EXPECT_EQ(image[39], 0);
    EXPECT_FALSE(patchMidlet1(image, 8, "Go"));     // 8 + 33 > 40
    EXPECT_FALSE(patchMidlet1(image, 1000, "Go"));
}

TEST(J2mest, PatchedFileReadsBackWithTheName)
{
    TempDir dir;
    auto image = table(1112, 3);
    fill(image, 1112, 3, 0, 0x01, 0x01, 6, "Snake", 39, "Acme", 156, "3: Snake, with tail");
    testing::writeBytes(dir.file("j2"), image);
    auto before = parseJ2mestFile(dir.file("j2"));
    ASSERT_TRUE(before.ok());
    ASSERT_EQ(before->patches.size(), 1u);
    ASSERT_TRUE(patchMidlet1File(dir.file("j2"), before->patches[0].offset, "Snake Game"));
    auto after = parseJ2mestFile(dir.file("j2"));
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(after->slots[0]->midlet1, "Snake Game");
    EXPECT_TRUE(after->patches.empty());
    EXPECT_EQ(testing::readBytes(dir.file("j2")).size(), image.size());

    EXPECT_FALSE(patchMidlet1File(dir.file("j2"), image.size() - 32, "x"));
    EXPECT_FALSE(patchMidlet1File(dir.file("missing"), 0, "x"));
}

TEST(J2mest, JadNameRules)
{
    struct Case {
        std::string text;
        std::string name;
    };
    const Case cases[] = {
        {"MIDlet-1: Snake Game, /icon.png, SnakeMIDlet\r\n", "Snake Game"},
        {"MIDlet-1:\r\nMIDlet-Name: x\r\n", ""},                  // 9 characters: skipped
        {"  \tMIDlet-1:   Chess ,/c.png,C  \n", "Chess"},           // trimmed around the line and name
        {"MIDlet-1: A,x\nMIDlet-1: B,y\n", "AB"},                   // several lines are joined
        {"MIDlet-10: Ten,x\nmidlet-1: low,x\n", ""},                // the first 9 characters must match
        {"MIDlet-1: NoComma\r", "NoComma"},                         // no comma: the whole value
        {"MIDlet-1:,x\n", ""},
        {"MIDlet-Name: Other\rMIDlet-1: Cr Only,x\rX: y", "Cr Only"},
        {std::string("MIDlet-1: \x01\xFF\x80z,\0\n", 17), "\xFF\x80z"},  // control bytes trim away
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jadMidletName(c.text), c.name) << c.text;
}

TEST(J2mest, LargestTableReadsAndLongerFilesAreRefused)
{
    TempDir dir;
    auto image = table(1112, 30);   // 34502 bytes: the largest table there is
    fill(image, 1112, 30, 29, 0x01, 0x01, 6, "Last", 39, "V", 156, "9: Last");
    testing::writeBytes(dir.file("largest"), image);
    auto parsed = parseJ2mestFile(dir.file("largest"));
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed->patches, (PatchList{{29, uint16_t(30 + 29 * 1112 + 156)}}));

    image.push_back(0);
    testing::writeBytes(dir.file("longer"), image);
    auto longer = parseJ2mestFile(dir.file("longer"));
    ASSERT_FALSE(longer.ok());
    EXPECT_EQ(longer.error(), "Unsupported J2MEST format");
}

TEST(J2mest, ReadJadMidletNameFromFile)
{
    TempDir dir;
    std::string huge = "MIDlet-1: Huge,x\n";
    huge.resize(1024 * 1024 + 1, ' ');
    testing::writeText(dir.file("huge.jad"), huge);
    EXPECT_EQ(readJadMidletName(dir.file("huge.jad")), "");
    testing::writeText(dir.file("temp.jad"), "MIDlet-Vendor: Acme\r\nMIDlet-1: Snake Game, /s.png, S\r\n");
    EXPECT_EQ(readJadMidletName(dir.file("temp.jad")), "Snake Game");
    testing::writeText(dir.file("empty.jad"), "");
    EXPECT_EQ(readJadMidletName(dir.file("empty.jad")), "");
    EXPECT_EQ(readJadMidletName(dir.file("missing.jad")), "");
}

TEST(J2mest, ParseIntoTablesStopsAtAnUnsupportedCopy)
{
    TempDir dir;
    auto phone = table(1112, 0);
    fill(phone, 1112, 0, 5, 0x01, 0x01, 6, "Snake", 39, "Acme", 156, "3: Snake");
    testing::writeBytes(dir.file("j2mest_temp"), phone);
    testing::writeBytes(dir.file("j2mest_mmc"), std::vector<uint8_t>(1000, 1));

    JavaSlotTables tables;
    EXPECT_EQ(loadJavaSlotTables(tables, dir.file("j2mest_temp"), dir.file("j2mest_mmc")).error(),
              "Unsupported J2MEST format");
    // The phone copy parsed before stays; needsPatch is only set by a complete parse.
    ASSERT_TRUE(tables.phoneSlots[5]);
    EXPECT_EQ(tables.phoneSlots[5]->midletName, "Snake");
    EXPECT_EQ(tables.phonePatchList.size(), 1u);
    EXPECT_FALSE(tables.needsPatch);
}

TEST(J2mest, ParseIntoTablesReadsOnlyTheCopiesNamed)
{
    TempDir dir;
    auto card = table(708, 1);
    fill(card, 708, 1, 0, 0x01, 0x01, 6, "Maps", 39, "Acme", 152, "7: Maps");
    testing::writeBytes(dir.file("j2mest_mmc"), card);

    JavaSlotTables tables;
    tables.phonePatchList = {{1, 2}};
    tables.needsPatch = true;
    EXPECT_TRUE(loadJavaSlotTables(tables, "", ""));
    EXPECT_TRUE(tables.phonePatchList.empty());
    EXPECT_FALSE(tables.needsPatch);

    EXPECT_TRUE(loadJavaSlotTables(tables, "", dir.file("j2mest_mmc")));
    EXPECT_EQ(tables.cardPatchList, (PatchList{{0, uint16_t(1 + 152)}}));
    EXPECT_TRUE(tables.needsPatch);
    EXPECT_EQ(tables.offeredSlots(true, true).size(), 1u);
    EXPECT_TRUE(tables.offeredSlots(true, false).empty());

    tables.clearJavaSlots();
    EXPECT_TRUE(tables.offeredSlots(true, true).empty());
}

TEST(J2mest, OfferedSlotsListThePhoneFirst)
{
    JavaSlotTables tables;
    tables.cardSlots[0] = JavaSlot{"Card", "", "", false};
    tables.phoneSlots[9] = JavaSlot{"Phone", "", "", false};
    const auto offered = tables.offeredSlots(true, true);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].midletName, "Phone");
    EXPECT_EQ(offered[1].midletName, "Card");
}

TEST(J2mest, UnreadableCopyIsReported)
{
    TempDir dir;
    JavaSlotTables tables;
    const Status loaded = loadJavaSlotTables(tables, dir.file("missing"), "");
    EXPECT_EQ(loaded.failure().kind, ErrorKind::Io);
    EXPECT_TRUE(loaded.error().starts_with("Cannot open " + dir.file("missing"))) << loaded.error();
}

} // namespace
} // namespace tessaro
