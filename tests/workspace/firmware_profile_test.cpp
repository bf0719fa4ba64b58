#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "core/progress.h"
#include "core/open_menu.h"
#include "workspace/firmware_image.h"
#include "workspace/firmware_profile.h"
#include "workspace/profiles.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::TempDir;
using testing::readBytes;
using testing::readText;
using testing::writeBytes;

constexpr size_t kBlock = 65536;

// A synthetic CG1 image: zero bytes with a version mark, an item table and a shortcut table
// placed where a test wants them.
class ImageBuilder {
public:
    explicit ImageBuilder(size_t size, uint8_t fill = 0) : bytes(size, fill) {}

    ImageBuilder& put(size_t at, std::string_view text)
    {
        EXPECT_LE(at + text.size(), bytes.size());
        std::memcpy(bytes.data() + at, text.data(), text.size());
        return *this;
    }
    ImageBuilder& put(size_t at, std::initializer_list<uint8_t> raw)
    {
        std::copy(raw.begin(), raw.end(), bytes.begin() + static_cast<long>(at));
        return *this;
    }

    // Item records of `length` (20 or 36) bytes from `at`; returns the offset after them.
    // 20-byte records carry a non-zero byte 19, 36-byte records a zero one.
    size_t items(size_t at, const std::vector<std::string>& names, size_t length)
    {
        for (const auto& name : names) {
            std::fill_n(bytes.begin() + static_cast<long>(at), length, uint8_t{0});
            put(at, name);
            if (length == 20)
                bytes[at + 19] = 0x01;
            at += length;
        }
        return at;
    }

    // 52-byte shortcut records (in memory order) ending `gap` − 7 bytes before the end pattern
    // at `patternAt`; gap 12 leaves five bytes 00 07 00 01 07, gap 10 three bytes 11 22 33.
    void shortcuts(size_t patternAt, const std::vector<std::string>& names, int gap)
    {
        const size_t last = patternAt + 7 - static_cast<size_t>(gap) - 52;
        size_t at = last - (names.size() - 1) * 52;
        for (const auto& name : names) {
            std::fill_n(bytes.begin() + static_cast<long>(at), 52, uint8_t{0});
            put(at, name);
            at += 52;
        }
        if (gap == 12)
            put(patternAt - 5, {0x00, 0x07, 0x00, 0x01, 0x07});
        else
            put(patternAt - 3, {0x11, 0x22, 0x33});
        put(patternAt, {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    }

    std::vector<uint8_t> bytes;
};

FirmwareAnalysis analyse(const std::vector<uint8_t>& bytes, Progress* progress = nullptr)
{
    MemoryImage image(bytes);
    auto result = analyseFirmware(image, progress);
    EXPECT_TRUE(result.ok()) << result.error();
    return result.ok() ? *result : FirmwareAnalysis{};
}

std::vector<std::string> namesOf(const FirmwareAnalysis& a)
{
    std::vector<std::string> out;
    for (const auto& n : a.names)
        out.push_back(n.name);
    return out;
}

// A typical image: version mark, a 36-byte item table at 0x1000, shortcuts with gap 12.
ImageBuilder typicalImage(std::string_view mark = "@(#)R3624_G_0A.52.1AR", size_t length = 36, int gap = 12)
{
    ImageBuilder b(4 * kBlock);
    b.put(0x200, mark);
    const size_t q = b.items(0x1000, {"2CLICK", "PhoneBook", "NewItem"}, length);
    b.shortcuts(q + 0x400, {"WallPaper", "NewShort"}, gap);
    return b;
}

// --- the scan -----------------------------------------------------------------------------

TEST(FirmwareScan, TypicalImage)
{
    const FirmwareAnalysis a = analyse(typicalImage().bytes);
    EXPECT_TRUE(a.versionFound);
    EXPECT_EQ(a.versionOffset, 0x200u);
    EXPECT_EQ(a.tag, "R3624");
    EXPECT_TRUE(a.itemTableFound);
    EXPECT_EQ(a.itemTableOffset, 0x1000u);
    EXPECT_EQ(a.recordLength, 36);
    EXPECT_EQ(a.itemCount, 3u);
    EXPECT_EQ(a.shortcutCount, 2u);
    // Shortcuts are walked backwards from the end of their table.
    EXPECT_EQ(a.names, (std::vector<FirmwareName>{{"2CLICK", false},
                                                  {"PhoneBook", false},
                                                  {"NewItem", false},
                                                  {"NewShort", true},
                                                  {"WallPaper", true}}));
}

TEST(FirmwareScan, VersionMarkForms)
{
    struct Case {
        std::string marks;
        std::string tag;
    };
    const std::vector<Case> cases = {
        {"@(#)R3624_G_0A", "R3624"},
        {"@(#)TRIPLETS_G_0B", "TRIPLETS"},
        {"@(#)GENERIC_1.0", "GENERIC_1.0"},           // after G: up to the zero byte
        {"@(#)RX_no @(#)R372_ok", "R372"},             // "@(#)R" without a digit is no mark
        {"@(#)Q1_no @(#)T9_yes", "T9"},                // other letters neither
        {"@(#@(#)R474_x", "R474"},
        {"@(#)R364", "R364"},                         // no "_": the zero byte ends the tag
    };
    for (const auto& c : cases) {
        ImageBuilder b(2 * kBlock);
        b.put(0x100, c.marks);
        b.items(0x8000, {"2CLICK"}, 36);
        const FirmwareAnalysis a = analyse(b.bytes);
        EXPECT_TRUE(a.versionFound) << c.marks;
        EXPECT_EQ(a.tag, c.tag) << c.marks;
    }
}

TEST(FirmwareScan, TagStopsAfterOneHundredBytes)
{
    ImageBuilder b(kBlock, 'x');
    b.put(0, "2CLICK");
    b.put(0x1000, "@(#)G");
    const FirmwareAnalysis a = analyse(b.bytes);
    EXPECT_EQ(a.tag, "G" + std::string(99, 'x'));
}

// Every way a pattern can straddle a 64 KiB boundary, at the first and the second boundary.
TEST(FirmwareScan, PatternsStraddlingBlockBoundariesAreFound)
{
    for (size_t boundary : {kBlock, 2 * kBlock}) {
        for (size_t before = 1; before <= 6; ++before) {
            ImageBuilder b(3 * kBlock + 100);
            b.put(boundary - before, "@(#)R3624_x");
            b.items(boundary + kBlock / 2 - before, {"2CLICK"}, 36);
            FirmwareAnalysis a = analyse(b.bytes);
            EXPECT_EQ(a.versionOffset, boundary - before) << boundary << " " << before;
            EXPECT_EQ(a.tag, "R3624") << boundary << " " << before;

            ImageBuilder t(3 * kBlock + 100);
            t.put(16, "@(#)T_x");
            t.items(boundary - before, {"2CLICK", "AIM"}, 20);
            a = analyse(t.bytes);
            EXPECT_TRUE(a.itemTableFound) << boundary << " " << before;
            EXPECT_EQ(a.itemTableOffset, boundary - before);
            EXPECT_EQ(namesOf(a), (std::vector<std::string>{"2CLICK", "AIM"}));
        }
    }
}

// Blocks of any size, down to a single byte, find the same marks and tables as 64 KiB ones.
TEST(FirmwareScan, BlockSizeDoesNotChangeTheAnalysis)
{
    ImageBuilder b(700);
    b.put(3, "@(#)R3624_x");
    const size_t q = b.items(40, {"2CLICK", "AIM"}, 36);
    b.shortcuts(q + 300, {"WallPaper"}, 12);
    const FirmwareAnalysis whole = analyse(b.bytes);
    ASSERT_EQ(namesOf(whole), (std::vector<std::string>{"2CLICK", "AIM", "WallPaper"}));
    for (const size_t blockSize : {0, 1, 2, 4, 5, 6, 7, 41, 64, 699, 700}) {
        MemoryImage image(b.bytes);
        const auto a = analyseFirmware(image, nullptr, SearchVariant::Best, blockSize);
        ASSERT_TRUE(a.ok()) << blockSize;
        EXPECT_EQ(a->versionOffset, whole.versionOffset) << blockSize;
        EXPECT_EQ(a->tag, whole.tag) << blockSize;
        EXPECT_EQ(a->itemTableOffset, whole.itemTableOffset) << blockSize;
        EXPECT_EQ(a->names, whole.names) << blockSize;
    }
}

TEST(FirmwareScan, MarksAtTheVeryEndOfTheImage)
{
    ImageBuilder b(kBlock + 5);
    b.items(0, {"2CLICK"}, 36);
    b.put(kBlock, "@(#)T");
    EXPECT_EQ(analyse(b.bytes).tag, "T");

    ImageBuilder r(kBlock + 5);
    r.items(0, {"2CLICK"}, 36);
    r.put(kBlock, "@(#)R");  // its digit would lie beyond the end
    EXPECT_FALSE(analyse(r.bytes).versionFound);
}

TEST(FirmwareScan, RecordLengthFromByte19OfTheFirstRecord)
{
    EXPECT_EQ(analyse(typicalImage("@(#)R3624_", 20).bytes).recordLength, 20);
    EXPECT_EQ(analyse(typicalImage("@(#)R3624_", 20).bytes).names.size(), 5u);
    EXPECT_EQ(analyse(typicalImage("@(#)R3624_", 36).bytes).recordLength, 36);
}

TEST(FirmwareScan, BothShortcutGaps)
{
    for (int gap : {10, 12}) {
        const FirmwareAnalysis a = analyse(typicalImage("@(#)T_", 36, gap).bytes);
        EXPECT_EQ(a.shortcutCount, 2u) << gap;
        EXPECT_EQ(namesOf(a), (std::vector<std::string>{"2CLICK", "PhoneBook", "NewItem", "NewShort", "WallPaper"}))
            << gap;
    }
}

TEST(FirmwareScan, DialedTableWhenThereAreNoShortcutRecords)
{
    ImageBuilder b(2 * kBlock);
    b.put(0x10, "@(#)T_");
    const size_t q = b.items(0x1000, {"2CLICK", "AIM"}, 36);
    const size_t patternAt = q + 0x100;
    b.put(patternAt, {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    const size_t e = patternAt + 7;
    b.put(e + 1, "Dialed");  // odd offsets do not count
    b.put(e + 10, "DialedCalls");
    b.put(e + 10 + 44, "ReceivedCalls");
    b.put(e + 10 + 88, "9Lives");
    const FirmwareAnalysis a = analyse(b.bytes);
    EXPECT_EQ(a.names, (std::vector<FirmwareName>{{"2CLICK", false},
                                                  {"AIM", false},
                                                  {"DialedCalls", true},
                                                  {"ReceivedCalls", true},
                                                  {"9Lives", true}}));
}

TEST(FirmwareScan, DialedTableIgnoredWhenShortcutsWereFound)
{
    ImageBuilder b = typicalImage("@(#)T_");
    const FirmwareAnalysis before = analyse(b.bytes);
    const size_t e = 0x1000 + 3 * 36 + 0x400 + 7;  // the byte after the end pattern
    b.put(e, "DialedCalls");
    EXPECT_EQ(analyse(b.bytes).names, before.names);
}

TEST(FirmwareScan, ShortcutEndPatternCountsBelowOffset65529)
{
    for (const size_t j : {size_t{65528}, size_t{65529}}) {
        ImageBuilder b(3 * kBlock);
        b.put(0x10, "@(#)T_");
        const size_t q = b.items(0x1000, {"2CLICK", "AIM"}, 36);
        b.shortcuts(q + j, {"WallPaper"}, 12);
        const FirmwareAnalysis a = analyse(b.bytes);
        EXPECT_EQ(a.shortcutCount, j < 65529 ? 1u : 0u) << j;
    }
}

TEST(FirmwareScan, DialedMarkCountsBelowOffset506)
{
    for (const size_t k : {size_t{504}, size_t{506}}) {
        ImageBuilder b(2 * kBlock);
        b.put(0x10, "@(#)T_");
        const size_t q = b.items(0x1000, {"2CLICK"}, 36);
        const size_t patternAt = q + 0x100;
        b.put(patternAt, {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        b.put(patternAt + 7 + k, "DialedCalls");
        const FirmwareAnalysis a = analyse(b.bytes);
        EXPECT_EQ(a.shortcutCount, k < 506 ? 1u : 0u) << k;
    }
}

// --- hostile images --------------------------------------------------------------------------

TEST(FirmwareScan, ImagesMissingPartsEndCleanly)
{
    {
        ImageBuilder b(kBlock);
        b.items(0, {"2CLICK"}, 36);
        EXPECT_FALSE(analyse(b.bytes).versionFound);
    }
    {
        ImageBuilder b(kBlock);
        b.put(0, "@(#)T_");
        EXPECT_FALSE(analyse(b.bytes).itemTableFound);
    }
    {
        // "2CLICK" too close to the end for its first record.
        ImageBuilder b(100);
        b.put(0, "@(#)T_");
        b.put(90, "2CLICK");
        EXPECT_FALSE(analyse(b.bytes).itemTableFound);
    }
    {
        // No shortcut end pattern: the items alone.
        ImageBuilder b(kBlock);
        b.put(0, "@(#)T_");
        b.items(0x100, {"2CLICK", "AIM"}, 36);
        const FirmwareAnalysis a = analyse(b.bytes);
        EXPECT_EQ(namesOf(a), (std::vector<std::string>{"2CLICK", "AIM"}));
        EXPECT_EQ(a.shortcutCount, 0u);
    }
    {
        // The item table runs to the end of the image: nothing left to look for shortcuts in.
        ImageBuilder b(0x100 + 36);
        b.put(0, "@(#)T_");
        b.items(0x100, {"2CLICK"}, 36);
        EXPECT_EQ(namesOf(analyse(b.bytes)), (std::vector<std::string>{"2CLICK"}));
    }
    EXPECT_FALSE(analyse({}).versionFound);
}

TEST(FirmwareScan, NamesEndWithTheirRecordAndTheImage)
{
    // A 36-byte record full of letters: the name is the whole record, not more.
    ImageBuilder b(0x100 + 36 * 2 + 10);
    b.put(0, "@(#)T_");
    b.items(0x100, {"2CLICK"}, 36);
    b.put(0x100 + 36, std::string(36, 'N'));
    b.put(0x100 + 72, std::string(10, 'M'));  // cut off by the end of the image
    const FirmwareAnalysis a = analyse(b.bytes);
    EXPECT_EQ(namesOf(a), (std::vector<std::string>{"2CLICK", std::string(36, 'N')}));
}

TEST(FirmwareScan, NamesThatWouldBreakTheLineFilesAreLeftOut)
{
    ImageBuilder b(kBlock);
    b.put(0, "@(#)T_");
    b.items(0x100, {"2CLICK", "Bad\r\nName", "Semi;colon", "Good"}, 36);
    const FirmwareAnalysis a = analyse(b.bytes);
    EXPECT_EQ(a.itemCount, 4u);
    EXPECT_EQ(namesOf(a), (std::vector<std::string>{"2CLICK", "Good"}));
}

TEST(FirmwareScan, EndlessTablesAreCut)
{
    ImageBuilder b(6 * kBlock, 'A');
    b.put(0, "@(#)T_");
    b.put(0x100, "2CLICK");
    const FirmwareAnalysis a = analyse(b.bytes);
    EXPECT_EQ(a.recordLength, 20);
    EXPECT_EQ(a.itemCount, 4096u);
}

TEST(FirmwareScan, ProgressPerBlockUntilTheMarkIsFound)
{
    struct Recording : Progress {
        void setCaption(const std::string& c) override { text = c; }
        std::string caption() const override { return text; }
        void setBar(int bar, int percent) override { bars.push_back({bar, percent}); }
        std::string text;
        std::vector<std::pair<int, int>> bars;
    } progress;
    ImageBuilder b(4 * kBlock);
    b.items(0x100, {"2CLICK"}, 36);
    b.put(2 * kBlock + 10, "@(#)T_");
    analyse(b.bytes, &progress);
    // Bytes in the block × the block's number: the bar counts the blocks before the one read.
    EXPECT_EQ(progress.bars, (std::vector<std::pair<int, int>>{{0, 0}, {0, 25}}));

    // A short last block is weighed by its own length: 32768 × 2 of 163840 bytes.
    Recording partial;
    ImageBuilder c(2 * kBlock + kBlock / 2);
    c.items(0x100, {"2CLICK"}, 36);
    analyse(c.bytes, &partial);
    EXPECT_EQ(partial.bars, (std::vector<std::pair<int, int>>{{0, 0}, {0, 40}, {0, 40}}));
}

TEST(FirmwareProfileTag, UsableNames)
{
    EXPECT_TRUE(isUsableProfileTag("R3624"));
    EXPECT_TRUE(isUsableProfileTag("GENERIC 1.0_x"));
    EXPECT_TRUE(isUsableProfileTag("R..x"));
    for (std::string_view bad : {"", ".hidden", "G/x", "G\\x", "G:x", "G*", "G?", "G\"", "G<", "G>", "G|", "G\x01",
                                 "G\x7F", "G\tx"})
        EXPECT_FALSE(isUsableProfileTag(bad)) << bad;
}

TEST(FirmwareProfileText, LineTwoFromTagAndRecordLength)
{
    const std::vector<FirmwareName> names = {{"2CLICK", false}, {"Short", true}};
    EXPECT_EQ(firmwareProfileText("R3624", 36, names),
              "[mma_ucp format]\r\n36 0C 1\r\n[mma items]\r\n2CLICK\r\nShort\r\n");
    for (std::string_view six : {"TRIPLETS", "R364", "R372", "R474"})
        EXPECT_EQ(firmwareProfileText(six, 20, {}), "[mma_ucp format]\r\n22 06 0\r\n[mma items]\r\n") << six;
    EXPECT_EQ(firmwareProfileText("R3643", 20, {}), "[mma_ucp format]\r\n22 0C 0\r\n[mma items]\r\n");
}

// --- creating the profile ----------------------------------------------------------------

class FirmwareProfileTest : public ::testing::Test {
protected:
    // Remembers the caption of the last progress window it opened.
    struct CaptionProgress : ProgressFactory {
        struct Window : Progress {
            explicit Window(std::shared_ptr<std::string> c) : caption_(std::move(c)) {}
            void setCaption(const std::string& c) override { *caption_ = c; }
            std::string caption() const override { return *caption_; }
            void setBar(int, int) override {}
            std::shared_ptr<std::string> caption_;
        };
        std::unique_ptr<Progress> openSingle() override { return std::make_unique<Window>(caption); }
        std::shared_ptr<std::string> caption = std::make_shared<std::string>();
    };

    void SetUp() override
    {
        profiles.setDataFolder(dir.path().string());
        ASSERT_TRUE(profiles.startUp(menu.items).ok());
        baseText = readText(profiles.itemBasePath());
    }

    // Creates the profile of `bytes`; a profile that exists already is replaced when
    // `replaceAnswer` says so, and the paths asked about are kept in `asked`.
    Result<FirmwareProfile> create(const std::vector<uint8_t>& bytes)
    {
        const std::string path = dir.file("fw.smg");
        writeBytes(path, bytes);
        CaptionProgress progress;
        auto r = createProfileFromFirmware(path, menu, profiles, progress, [this](const std::string& profilePath) {
            asked.push_back(profilePath);
            return replaceAnswer;
        });
        lastCaption = *progress.caption;
        EXPECT_EQ(readBytes(path), bytes) << "the image must not change";
        return r;
    }

    TempDir dir;
    ProfileManager profiles;
    OpenMenu menu;
    std::string baseText;
    std::string lastCaption;
    bool replaceAnswer = true;
    std::vector<std::string> asked;
};

struct : ProgressFactory {
    std::unique_ptr<Progress> openSingle() override { return nullptr; }
} noProgress;

const Notice kUpdated{MessageIcon::Information, "Profile info", "Item base has been updated"};

TEST_F(FirmwareProfileTest, CreatesTheProfileAppendsMissingNamesAndLoadsIt)
{
    const auto r = create(typicalImage().bytes);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->tag, "R3624");
    EXPECT_EQ(r->notices, (std::vector<Notice>{kUpdated}));
    EXPECT_EQ(lastCaption, "Scanning CG1");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(readText(profiles.profilePath("R3624")),
              "[mma_ucp format]\r\n36 0C 1\r\n[mma items]\r\n2CLICK\r\nPhoneBook\r\nNewItem\r\nNewShort\r\nWallPaper\r\n");
    EXPECT_EQ(readText(profiles.itemBasePath()), baseText + "NewItem;NewItem\r\nNewShort;NewShort [SC]\r\n");

    EXPECT_EQ(profiles.selectorEntries(), (std::vector<std::string>{"Default", "R3624", "Create new..."}));
    EXPECT_EQ(profiles.selectorText(), "R3624");
    ASSERT_EQ(menu.items.available().size(), 6u);
    EXPECT_EQ(menu.items.available()[3], (ItemEntry{"NewShort", "NewShort [SC]"}));
    EXPECT_EQ(menu.saveMode.recordSize(), 36);
    EXPECT_TRUE(menu.saveMode.c698p());
}

TEST_F(FirmwareProfileTest, SecondRunAppendsNothing)
{
    ASSERT_TRUE(create(typicalImage().bytes).ok());
    const std::string grown = readText(profiles.itemBasePath());
    const auto r = create(typicalImage().bytes);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->tag, "R3624");
    EXPECT_TRUE(r->notices.empty());
    EXPECT_EQ(readText(profiles.itemBasePath()), grown);
}

// The first line wins when the item base is read: a second one would only take a place.
TEST_F(FirmwareProfileTest, ANameMetTwiceIsAppendedOnce)
{
    ImageBuilder b(2 * kBlock);
    b.put(0, "@(#)TRIPLETS_x");
    const size_t q = b.items(0x100, {"2CLICK", "Twice"}, 20);
    b.shortcuts(q + 0x200, {"Twice"}, 10);
    const auto r = create(b.bytes);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->tag, "TRIPLETS");
    EXPECT_EQ(readText(profiles.itemBasePath()), baseText + "Twice;Twice\r\n");
    EXPECT_EQ(readText(profiles.profilePath("TRIPLETS")),
              "[mma_ucp format]\r\n22 06 0\r\n[mma items]\r\n2CLICK\r\nTwice\r\nTwice\r\n");
}

TEST_F(FirmwareProfileTest, FailuresWriteNoProfile)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    ImageBuilder noMark(kBlock);
    noMark.items(0, {"2CLICK", "NewItem"}, 36);
    ImageBuilder noTable(kBlock);
    noTable.put(0, "@(#)R3624_");
    ImageBuilder slash(kBlock);
    slash.put(0, "@(#)G../../evil");
    slash.items(0x100, {"2CLICK", "NewItem"}, 36);
    ImageBuilder control(kBlock);
    control.put(0, "@(#)R36\x01" "24_");
    control.items(0x100, {"2CLICK"}, 36);
    const std::vector<Case> cases = {
        {"no version mark", noMark.bytes},
        {"no item table", noTable.bytes},
        {"tag with a slash", slash.bytes},
        {"tag with a control character", control.bytes},
        {"empty image", {}},
    };
    for (const auto& c : cases) {
        const auto r = create(c.bytes);
        EXPECT_EQ(r.failure(), Error(ErrorKind::Format, "Failed to create profile", "")) << c.what;
        profiles.profileNames();
        EXPECT_TRUE(profiles.profiles().empty()) << c.what;
        EXPECT_EQ(readText(profiles.itemBasePath()), baseText) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "evil.prf"));
}

TEST_F(FirmwareProfileTest, FileErrorsFailWithTheErrorAndLeaveTheItemBase)
{
    const auto missing = createProfileFromFirmware(dir.file("absent.bin"), menu, profiles, noProgress, {});
    EXPECT_EQ(missing.failure(),
              Error(ErrorKind::Io, "Cannot open " + dir.file("absent.bin") + ": No such file or directory", ""));

    // A folder where the profile goes: nothing is appended for a profile that was not written.
    std::filesystem::create_directories(profiles.profilePath("R3624") + "/inside");
    const auto blocked = create(typicalImage().bytes);
    EXPECT_EQ(blocked.failure().kind, ErrorKind::Io);
    EXPECT_EQ(readText(profiles.itemBasePath()), baseText);
}

TEST_F(FirmwareProfileTest, CancelDoesNothing)
{
    EXPECT_TRUE(createProfileFromFirmware("", menu, profiles, noProgress, {}).failure().cancelled());
    EXPECT_TRUE(profiles.isDefaultMode());
}

TEST_F(FirmwareProfileTest, CancelInTheProgressWindowStopsTheScanAndWritesNothing)
{
    struct : ProgressFactory {
        // Cancel is pressed as soon as the bar first moves.
        struct Window : Progress {
            explicit Window(int& bars) : bars_(bars) {}
            void setCaption(const std::string&) override {}
            std::string caption() const override { return {}; }
            void setBar(int, int) override { ++bars_; }
            bool cancelled() const override { return bars_ > 0; }
            int& bars_;
        };
        std::unique_ptr<Progress> openSingle() override { return std::make_unique<Window>(bars); }
        int bars = 0;
    } cancelling;
    ImageBuilder b(4 * kBlock);
    b.items(0x100, {"2CLICK", "NewItem"}, 36);
    b.put(2 * kBlock + 10, "@(#)R3624_G_0E.30.49R");
    const std::string path = dir.file("fw.smg");
    writeBytes(path, b.bytes);
    const auto r = createProfileFromFirmware(path, menu, profiles, cancelling, {});
    EXPECT_EQ(cancelling.bars, 1);
    EXPECT_TRUE(r.failure().cancelled());
    EXPECT_FALSE(std::filesystem::exists(profiles.profilePath("R3624")));
    EXPECT_EQ(readText(profiles.itemBasePath()), baseText);
}

TEST_F(FirmwareProfileTest, ExistingProfileIsOverwritten)
{
    std::filesystem::create_directories(profiles.profilesFolder());
    testing::writeText(profiles.profilePath("T9"), "old");
    ImageBuilder b(kBlock);
    b.put(0, "@(#)T9_");
    b.items(0x100, {"2CLICK"}, 36);
    EXPECT_EQ(create(b.bytes)->tag, "T9");
    EXPECT_EQ(asked, (std::vector<std::string>{profiles.profilePath("T9")}));
    EXPECT_EQ(readText(profiles.profilePath("T9")), "[mma_ucp format]\r\n36 0C 0\r\n[mma items]\r\n2CLICK\r\n");
}

// Declined, or with nobody to ask, an existing profile stays as it was and so does the item base.
TEST_F(FirmwareProfileTest, ExistingProfileIsKeptUnlessReplacingIsAllowed)
{
    std::filesystem::create_directories(profiles.profilesFolder());
    const std::string existing = profiles.profilePath("T9");
    ImageBuilder b(kBlock);
    b.put(0, "@(#)T9_");
    b.items(0x100, {"2CLICK", "NewItem"}, 36);
    const std::string image = dir.file("fw.smg");
    writeBytes(image, b.bytes);
    struct Case {
        const char* what;
        std::function<bool(const std::string&)> replaceExisting;
        std::vector<std::string> asked;
    };
    std::vector<std::string> asked;
    const auto declining = [&asked](const std::string& profilePath) {
        asked.push_back(profilePath);
        return false;
    };
    const std::vector<Case> cases = {
        {"declined", declining, {existing}},
        {"nobody to ask", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        asked.clear();
        testing::writeText(existing, "old");
        const auto r = createProfileFromFirmware(image, menu, profiles, noProgress, c.replaceExisting);
        EXPECT_EQ(r.failure(), Error(ErrorKind::Exists, "A profile of this firmware exists already: " + existing, ""));
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(readText(existing), "old");
        EXPECT_EQ(readText(profiles.itemBasePath()), baseText);
    }
}

} // namespace
} // namespace tessaro
