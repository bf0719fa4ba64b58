#include <gtest/gtest.h>

#include <optional>

#include "core/item_data_codec.h"
#include "support/menu_builder.h"

namespace tessaro {
namespace {

using testing::join;
using Bytes = std::vector<uint8_t>;

constexpr DataFormat kBig36{36, ByteOrder::Big};
constexpr DataFormat kBig22{22, ByteOrder::Big};
constexpr DataFormat kLittle36{36, ByteOrder::Little};

Bytes encode(const ItemDataBlock& block, DataFormat format, IconMarker marker = IconMarker::K0C, bool saveAll = true)
{
    Bytes out;
    const Status s = encodeItemData(block, {format, marker, saveAll}, out);
    EXPECT_TRUE(s.ok()) << s.error();
    return out;
}

TEST(ItemDataCodec, TitleRecordLayoutBigEndian36)
{
    const Bytes bytes = {
        0x00,                    // kind 0: menu title
        0x00, 0x15,              // L = 21
        0x02,                    // two titles
        0x01, 0xCD, 0x00, 0x06,  // language 01, 36-byte marker, end offset 6
        0x07, 0xCD, 0x00, 0x0C,  // language 07, end offset 12
        0x00, 'H', 0x00, 'i', 0x00, 0x00,  // "Hi" and its zero unit
        0x00, 'D', 0x04, 0x10, 0x00, 0x00, // "D" + U+0410 and its zero unit
    };
    const auto decoded = decodeItemData(bytes, kBig36);
    EXPECT_TRUE(decoded.warnings.empty());
    ASSERT_EQ(decoded.block.entries.size(), 1u);
    const DataEntry& e = decoded.block.entries[0];
    EXPECT_EQ(e.kind, kind::MenuTitle);
    EXPECT_EQ(encodedPayloadLength(e), 21u);
    ASSERT_EQ(e.titles.size(), 2u);
    EXPECT_EQ(e.titles[0], (Title{1, u"Hi"}));
    EXPECT_EQ(e.titles[1], (Title{7, u"D\u0410"}));
    EXPECT_EQ(encode(decoded.block, kBig36), bytes);
}

TEST(ItemDataCodec, TitleRecordLayoutLittleEndian22)
{
    ItemDataBlock block;
    block.entries.push_back({.kind = kind::SoftkeyTitle, .titles = {{3, u"Ok"}}});
    const Bytes expected = {
        0x01,                    // kind 1: softkey title
        0x0B, 0x00,              // L = 11, little-endian
        0x01,                    // one title
        0x03, 0x00, 0x06, 0x00,  // language 03, 22-byte marker 0x00, end offset 6
        'O', 0x00, 'k', 0x00, 0x00, 0x00,  // "Ok" in UTF-16LE and its zero unit
    };
    EXPECT_EQ(encode(block, {22, ByteOrder::Little}), expected);
    const auto decoded = decodeItemData(expected, {22, ByteOrder::Little});
    ASSERT_EQ(decoded.block.entries.size(), 1u);
    EXPECT_EQ(decoded.block.entries[0].titles[0], (Title{3, u"Ok"}));
    EXPECT_EQ(encodedPayloadLength(decoded.block.entries[0]), 11u);  // the length it is written with
}

TEST(ItemDataCodec, LittleEndianTitleReadsAsItsBigEndianTwin)
{
    const std::vector<std::pair<uint8_t, std::u16string>> titles = {{35, u"\u041C\u0435\u043D\u044E"}, {1, u"Menu"}};
    const auto big = decodeItemData(testing::titleRecord(21, titles, 36, ByteOrder::Big), kBig36);
    const auto little = decodeItemData(testing::titleRecord(21, titles, 36, ByteOrder::Little), kLittle36);
    EXPECT_EQ(big.block, little.block);
    EXPECT_EQ(big.block.entries[0].titles[0].text, u"\u041C\u0435\u043D\u044E");
}

TEST(ItemDataCodec, TitleEndOffsetsSplitTheTextArea)
{
    // Two titles ending at 10 and 18: a 10-byte first text (4 characters) and an 8-byte
    // second one (3 characters); then an empty title whose end repeats the previous one.
    const Bytes payload = {
        0x03,
        0x01, 0xCD, 0x00, 0x0A,
        0x02, 0xCD, 0x00, 0x12,
        0x03, 0xCD, 0x00, 0x12,
        0, 'a', 0, 'b', 0, 'c', 0, 'd', 0, 0,
        0, 'e', 0, 'f', 0, 'g', 0, 0,
    };
    const auto decoded = decodeItemData(testing::dataRecord(0, payload, ByteOrder::Big), kBig36);
    EXPECT_TRUE(decoded.warnings.empty());
    const auto& t = decoded.block.entries.at(0).titles;
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].text, u"abcd");
    EXPECT_EQ(t[1].text, u"efg");
    EXPECT_EQ(t[2].text, u"");
}

TEST(ItemDataCodec, TitleRecordWithNoTitles)
{
    const Bytes payload = {0x00};
    const auto decoded = decodeItemData(testing::dataRecord(0, payload, ByteOrder::Big), kBig36);
    ASSERT_EQ(decoded.block.entries.size(), 1u);
    EXPECT_TRUE(decoded.block.entries[0].titles.empty());
    EXPECT_EQ(encodedPayloadLength(decoded.block.entries[0]), 1u);
}

TEST(ItemDataCodec, EveryKindRoundTripsInBothByteOrdersAndSizes)
{
    for (const DataFormat format : {kBig36, kLittle36, kBig22, DataFormat{22, ByteOrder::Little}}) {
        const ByteOrder o = format.order;
        const Bytes bytes = join({
            testing::titleRecord(0, {{1, u"Games"}, {6, u"Jeux"}}, format.recordSize, o),
            testing::titleRecord(1, {{1, u"Go"}}, format.recordSize, o),
            testing::asciiRecord(5, "http://example.org/", o),
            testing::asciiRecord(9, "App, Vendor, com.example.App", o),
            testing::asciiRecord(10, "App", o),
            testing::asciiRecord(11, "Vendor", o),
            testing::iconRecord(12, kRoleStatic, u"/a/mobile/picture/x.gif", o),
            testing::drmRecord(15, 0x12, 0x0102, o),
            testing::drmRecord(16, 0x12, 7, o),
            testing::drmRecord(17, 0x12, 300, o),
            testing::codeRecord(18, 200, o),
        });
        const auto decoded = decodeItemData(bytes, format);
        EXPECT_TRUE(decoded.warnings.empty());
        EXPECT_EQ(decoded.block.entries.size(), 11u);
        EXPECT_EQ(encode(decoded.block, format), bytes) << format.recordSize;

        const Bytes more = join({
            testing::codeRecord(19, 1, o),
            testing::codeRecord(20, 255, o),
            testing::titleRecord(21, {{2, u"text"}}, format.recordSize, o),
            testing::actionRecord(0xBEEF, o),
            testing::shortcutRecord("DialedCalls", o),
            // Kind 6: a dial number in 36-byte files, an "06" icon in 22-byte files.
            format.recordSize == 36 ? testing::asciiRecord(6, "+12345", o)
                                    : testing::iconRecord(6, kRoleAnimated, u"/e/a.gif", o),
            testing::dataRecord(13, Bytes{1, 2, 3}, o),
        });
        const auto decodedMore = decodeItemData(more, format);
        EXPECT_TRUE(decodedMore.warnings.empty());
        EXPECT_EQ(encode(decodedMore.block, format, IconMarker::K06), more) << format.recordSize;
        EXPECT_EQ(itemDataLength(&decodedMore.block, true), more.size());
    }
}

// Each entry as the codec renders it, with the lengths counted from those bytes, and the bytes
// parsed back: to the entry itself, or where it is not in written form, to that form.
TEST(ItemDataCodec, EntriesRenderAndParseWithTheLengthsTheyAreWrittenWith)
{
    constexpr ByteOrder o = ByteOrder::Big;
    const std::u16string onHeap(EntryText::kInlineUnits + 1, u'x');
    Bytes shortcut(kShortcutDataLength, 0);
    shortcut[0] = 'S';
    shortcut[1] = 'C';
    struct Case {
        DataEntry entry;
        Bytes bytes;
        std::optional<DataEntry> parsed;  // when it differs from `entry`
    };
    const std::vector<Case> cases = {
        {{.kind = kind::MenuTitle, .titles = {{1, u"Games"}, {35, onHeap}, {7, u""}}},
         testing::titleRecord(0, {{1, u"Games"}, {35, onHeap}, {7, u""}}, 36, o)},
        {{.kind = kind::ShowText, .titles = {{2, std::u16string(u"a\0b", 3)}}},  // written up to its zero
         testing::titleRecord(21, {{2, u"a"}}, 36, o),
         DataEntry{.kind = kind::ShowText, .titles = {{2, u"a"}}}},
        {{.kind = kind::Url, .bytes = {'h', 't'}}, testing::asciiRecord(5, "ht", o),  // the zero byte added
         DataEntry{.kind = kind::Url, .bytes = {'h', 't', 0}}},
        {{.kind = kind::FileIcon, .role = kRoleList, .path = u"/a/mobile/picture/a-rather-long-name.gif"},
         testing::iconRecord(12, kRoleList, u"/a/mobile/picture/a-rather-long-name.gif", o)},
        {{.kind = kind::DrmStaticIcon, .first = 0x12, .number = 300}, testing::drmRecord(16, 0x12, 300, o)},
        {{.kind = kind::Code13, .value = 7}, testing::codeRecord(19, 7, o)},
        {{.kind = kind::Action, .value = 0xBEEF}, testing::actionRecord(0xBEEF, o)},
        {{.kind = kind::ShortcutData, .bytes = {'S', 'C'}}, testing::shortcutRecord("SC", o),  // zero-padded
         DataEntry{.kind = kind::ShortcutData, .bytes = shortcut}},
        {{.kind = kind::Unsupported, .records = {{40, 2, {1, 2}}, {41, 0, {}}}},
         join({testing::dataRecord(40, Bytes{1, 2}, o), testing::dataRecord(41, Bytes{}, o)})},
        {{.kind = 13, .bytes = {9}}, testing::dataRecord(13, Bytes{9}, o),  // a kind built in memory
         DataEntry{.kind = kind::Unsupported, .records = {{13, 1, {9}}}}},
    };
    for (const Case& c : cases) {
        const ItemDataBlock block{0, {c.entry}};
        EXPECT_EQ(encode(block, kBig36), c.bytes) << int(c.entry.kind);
        const size_t header = c.entry.kind == kind::Unsupported ? 0 : 3;
        EXPECT_EQ(encodedPayloadLength(c.entry), c.bytes.size() - header) << int(c.entry.kind);
        EXPECT_EQ(itemDataLength(&block, true), c.bytes.size()) << int(c.entry.kind);
        const auto parsed = decodeItemData(c.bytes, kBig36);
        EXPECT_TRUE(parsed.warnings.empty());
        EXPECT_EQ(parsed.block.entries, std::vector<DataEntry>{c.parsed.value_or(c.entry)}) << int(c.entry.kind);
    }
}

TEST(ItemDataCodec, KindSixIsAnIconIn22ByteFilesAndADialNumberIn36ByteFiles)
{
    const Bytes record = testing::iconRecord(6, kRoleList, u"/a/x.gif", ByteOrder::Big);
    const auto in22 = decodeItemData(record, kBig22);
    ASSERT_EQ(in22.block.entries.size(), 1u);
    EXPECT_EQ(in22.block.entries[0].kind, kind::FileIcon);
    EXPECT_EQ(in22.block.entries[0].path, u"/a/x.gif");
    EXPECT_EQ(in22.iconMarker, IconMarker::K06);
    // Written with marker "06" it is kind 6 again; with "0C" it becomes kind 12.
    EXPECT_EQ(encode(in22.block, kBig22, IconMarker::K06), record);
    EXPECT_EQ(encode(in22.block, kBig22, IconMarker::K0C)[0], 12);
    // A 36-byte file always writes kind 12.
    EXPECT_EQ(encode(in22.block, kBig36, IconMarker::K06)[0], 12);

    const auto in36 = decodeItemData(testing::asciiRecord(6, "5551234", ByteOrder::Big), kBig36);
    EXPECT_EQ(in36.block.entries.at(0).kind, kind::DialNumber);
    EXPECT_EQ(asciiText(in36.block.entries[0]), "5551234");
    EXPECT_FALSE(in36.iconMarker.has_value());

    const auto kind12 = decodeItemData(testing::iconRecord(12, 4, u"/b/y", ByteOrder::Big), kBig22);
    EXPECT_EQ(kind12.iconMarker, IconMarker::K0C);
    EXPECT_EQ(kind12.block.entries.at(0).role, 4);
}

TEST(ItemDataCodec, FixedSizeKindsIgnoreTheirStoredLength)
{
    // Kind 18 with L = 3 is one byte; the next record starts 4 bytes after it.
    const Bytes bytes = {
        0x12, 0x00, 0x03, 0x07,  // kind 18, L = 3 (wrong), value 7
        0x05, 0x00, 0x02, 'u', 0x00,  // kind 5, L = 2, "u"
    };
    const auto decoded = decodeItemData(bytes, kBig36);
    ASSERT_EQ(decoded.block.entries.size(), 2u);
    EXPECT_EQ(decoded.block.entries[0].value, 7);
    EXPECT_EQ(encodedPayloadLength(decoded.block.entries[0]), 1u);
    EXPECT_EQ(asciiText(decoded.block.entries[1]), "u");

    const Bytes action = {0x16, 0x00, 0x09, 0x12, 0x34};  // kind 22, L = 9 (wrong), code 0x1234
    const auto a = decodeItemData(action, kBig36);
    EXPECT_EQ(a.block.entries.at(0).value, 0x1234);
    EXPECT_EQ(encodedPayloadLength(a.block.entries[0]), 2u);
}

TEST(ItemDataCodec, KeptAsUnsupportedIsWhatTheDecoderKeeps)
{
    for (const DataFormat format : {kBig36, kBig22})
        for (unsigned code = 0; code <= 0xFF; ++code)
            for (uint8_t length = 0; length <= 5; ++length) {
                Bytes record = {uint8_t(code), 0x00, length};
                for (uint8_t b = 0; b < length; ++b)
                    record.push_back(uint8_t(0x41 + b));
                const auto decoded = decodeItemData(record, format);
                const UnsupportedRecord raw{uint8_t(code), length, Bytes(record.begin() + 3, record.end())};
                const bool kept = decoded.warnings.empty() && decoded.block.entries.size() == 1
                                  && decoded.block.entries[0].kind == kind::Unsupported
                                  && decoded.block.entries[0].records == std::vector<UnsupportedRecord>{raw};
                EXPECT_EQ(keptAsUnsupported(uint8_t(code), length, format.recordSize), kept)
                    << "kind " << code << ", length " << int(length) << ", " << format.recordSize << "-byte records";
            }
}

TEST(ItemDataCodec, UnknownKindsAreCollectedInOneUnsupportedEntry)
{
    const Bytes bytes = join({
        testing::dataRecord(2, Bytes{0xAA}, ByteOrder::Big),
        testing::titleRecord(0, {{1, u"x"}}, 36, ByteOrder::Big),
        testing::dataRecord(200, Bytes{}, ByteOrder::Big),
        testing::dataRecord(24, Bytes{1, 2, 3, 4}, ByteOrder::Big),
    });
    const auto decoded = decodeItemData(bytes, kBig36);
    ASSERT_EQ(decoded.block.entries.size(), 2u);
    const DataEntry& u = decoded.block.entries[0];
    EXPECT_EQ(u.kind, kind::Unsupported);
    ASSERT_EQ(u.records.size(), 3u);
    EXPECT_EQ(u.records[0], (UnsupportedRecord{2, 1, {0xAA}}));
    EXPECT_EQ(u.records[1], (UnsupportedRecord{200, 0, {}}));
    EXPECT_EQ(u.records[2], (UnsupportedRecord{24, 4, {1, 2, 3, 4}}));
    EXPECT_EQ(encodedPayloadLength(u), 4u + 3 + 7);
    // "Save all data" off leaves them out of the length and of the output.
    EXPECT_EQ(itemDataLength(&decoded.block, false), 3 + 9);
    EXPECT_EQ(encode(decoded.block, kBig36, IconMarker::K0C, false),
              testing::titleRecord(0, {{1, u"x"}}, 36, ByteOrder::Big));
    // With it on they are written at the place of the first one, unchanged.
    EXPECT_EQ(encode(decoded.block, kBig36).size(), bytes.size());
}

TEST(ItemDataCodec, KindsOutsideTheTableAreUnsupported)
{
    for (int k : {2, 3, 4, 7, 8, 13, 14, 24, 100, 254, 255}) {
        const auto decoded = decodeItemData(testing::dataRecord(static_cast<uint8_t>(k), Bytes{9}, ByteOrder::Big), kBig36);
        ASSERT_EQ(decoded.block.entries.size(), 1u) << k;
        EXPECT_EQ(decoded.block.entries[0].kind, kind::Unsupported) << k;
    }
}

TEST(ItemDataCodec, AsciiTextsAreKeptUpToTheirZeroByte)
{
    // Stored with padding after the zero and without any zero: both are written as the
    // text and one zero byte, and their Length says so.
    const Bytes padded = testing::dataRecord(5, Bytes{'a', 'b', 0, 'x', 'y'}, ByteOrder::Big);
    const Bytes bare = testing::dataRecord(10, Bytes{'n', 'm'}, ByteOrder::Big);
    const auto decoded = decodeItemData(join({padded, bare}), kBig36);
    ASSERT_EQ(decoded.block.entries.size(), 2u);
    EXPECT_EQ(encodedPayloadLength(decoded.block.entries[0]), 3u);
    EXPECT_EQ(encodedPayloadLength(decoded.block.entries[1]), 3u);
    EXPECT_EQ(encode(decoded.block, kBig36), join({testing::asciiRecord(5, "ab", ByteOrder::Big),
                                                   testing::asciiRecord(10, "nm", ByteOrder::Big)}));
}

// --- hostile data -------------------------------------------------------------------------

TEST(ItemDataCodec, RecordRunningPastTheDataStopsWithAWarning)
{
    const Bytes bytes = join({testing::asciiRecord(5, "ok", ByteOrder::Big), Bytes{0x05, 0xFF, 0xFF, 'x'}});
    const auto decoded = decodeItemData(bytes, kBig36);
    EXPECT_EQ(decoded.block.entries.size(), 1u);
    ASSERT_EQ(decoded.warnings.size(), 1u);
    EXPECT_EQ(decoded.warnings[0],
              "data record at offset 6 (kind 5) says 65535 payload bytes, more than the item data holds; "
              "the rest was dropped");

    for (const Bytes& cut : {Bytes{0x12, 0x00, 0x01}, Bytes{0x16, 0x00, 0x02, 0x01},
                             Bytes(27, 0x17), Bytes{0x00, 0x00}}) {
        const auto d = decodeItemData(cut, kBig36);
        EXPECT_TRUE(d.block.entries.empty());
        EXPECT_EQ(d.warnings.size(), 1u);
    }
}

TEST(ItemDataCodec, TitleOffsetsBeyondTheirRecordAreCut)
{
    const Bytes payload = {
        0x02,
        0x01, 0xCD, 0x00, 0x04,
        0x02, 0xCD, 0xFF, 0xF0,  // ends far beyond the record
        0, 'a', 0, 0, 0, 'b', 0, 0,
    };
    const auto decoded = decodeItemData(testing::dataRecord(0, payload, ByteOrder::Big), kBig36);
    const auto& t = decoded.block.entries.at(0).titles;
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, u"a");
    EXPECT_EQ(t[1].text, u"b");
    ASSERT_EQ(decoded.warnings.size(), 1u);
    EXPECT_EQ(decoded.warnings[0], "data record at offset 0 (kind 0): title 2 ends beyond its record and was cut");
}

TEST(ItemDataCodec, DecreasingTitleOffsetGivesAnEmptyTitle)
{
    const Bytes payload = {
        0x02,
        0x01, 0xCD, 0x00, 0x04,
        0x02, 0xCD, 0x00, 0x02,  // ends before the previous title
        0, 'a', 0, 0,
    };
    const auto decoded = decodeItemData(testing::dataRecord(0, payload, ByteOrder::Big), kBig36);
    const auto& t = decoded.block.entries.at(0).titles;
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].text, u"");
    EXPECT_EQ(decoded.warnings.size(), 1u);
}

TEST(ItemDataCodec, TitleCountBeyondTheRecordKeepsTheEntriesThatFit)
{
    const Bytes payload = {0xFF, 0x01, 0xCD, 0x00, 0x02};  // 255 titles declared, one entry present
    const auto decoded = decodeItemData(testing::dataRecord(0, payload, ByteOrder::Big), kBig36);
    EXPECT_EQ(decoded.block.entries.at(0).titles.size(), 1u);
    EXPECT_EQ(decoded.block.entries[0].titles[0].text, u"");
    EXPECT_EQ(decoded.warnings.size(), 2u);  // too few entries; the text area lies beyond the record
}

TEST(ItemDataCodec, BlockCapacitiesAreKept)
{
    // 29 titles: the first 28 are kept.
    std::vector<std::pair<uint8_t, std::u16string>> titles;
    for (int i = 0; i < 29; ++i)
        titles.push_back({static_cast<uint8_t>(1 + i), u"t"});
    auto d = decodeItemData(testing::titleRecord(0, titles, 36, ByteOrder::Big), kBig36);
    EXPECT_EQ(d.block.entries.at(0).titles.size(), kMaxTitles);
    EXPECT_EQ(d.warnings, std::vector<std::string>{"data record at offset 0 (kind 0): only the first 28 of its 29 titles were kept"});

    // A 400-character title is cut to 399.
    d = decodeItemData(testing::titleRecord(0, {{1, std::u16string(400, u'x')}}, 36, ByteOrder::Big), kBig36);
    EXPECT_EQ(d.block.entries.at(0).titles.at(0).text.size(), kMaxTitleChars);
    EXPECT_EQ(d.warnings.size(), 1u);

    // Twelve entries: the twelfth is dropped.
    Bytes twelve;
    for (int i = 0; i < 12; ++i) {
        const Bytes r = testing::codeRecord(18, static_cast<uint8_t>(i), ByteOrder::Big);
        twelve.insert(twelve.end(), r.begin(), r.end());
    }
    d = decodeItemData(twelve, kBig36);
    EXPECT_EQ(d.block.entries.size(), kMaxEntries);
    EXPECT_EQ(d.warnings, std::vector<std::string>{"data record at offset 44 (kind 18) is one entry too many (at most 11) and was dropped"});

    // Twelve unsupported records: the twelfth is dropped; one above 2048 bytes is dropped too.
    Bytes unknown;
    for (int i = 0; i < 12; ++i) {
        const Bytes r = testing::dataRecord(30, Bytes{static_cast<uint8_t>(i)}, ByteOrder::Big);
        unknown.insert(unknown.end(), r.begin(), r.end());
    }
    const Bytes big = testing::dataRecord(31, Bytes(2049, 1), ByteOrder::Big);
    unknown.insert(unknown.end(), big.begin(), big.end());
    d = decodeItemData(unknown, kBig36);
    ASSERT_EQ(d.block.entries.size(), 1u);
    EXPECT_EQ(d.block.entries[0].records.size(), kMaxUnsupportedRecords);
    EXPECT_EQ(d.warnings.size(), 2u);
}

TEST(ItemDataCodec, KnownKindsTooShortForTheirPayloadAreKeptUnchanged)
{
    const Bytes bytes = join({
        testing::dataRecord(15, Bytes{0x12, 0x00}, ByteOrder::Big),  // a DRM icon needs 4 bytes
        testing::dataRecord(12, Bytes{}, ByteOrder::Big),            // an icon needs its role byte
        testing::dataRecord(0, Bytes{}, ByteOrder::Big),             // titles need their count
    });
    const auto decoded = decodeItemData(bytes, kBig36);
    ASSERT_EQ(decoded.block.entries.size(), 1u);
    EXPECT_EQ(decoded.block.entries[0].kind, kind::Unsupported);
    EXPECT_EQ(decoded.block.entries[0].records.size(), 3u);
    EXPECT_EQ(encode(decoded.block, kBig36), bytes);
}

TEST(ItemDataCodec, OddTextBytesAreDropped)
{
    const Bytes payload = {kRoleList, 0x00, 'a', 0x00};  // path "a" and a stray byte
    const auto decoded = decodeItemData(testing::dataRecord(12, payload, ByteOrder::Big), kBig36);
    EXPECT_EQ(decoded.block.entries.at(0).path, u"a");
}

// --- encoding limits ----------------------------------------------------------------------

TEST(ItemDataCodec, EncodingRefusesLengthsItsFieldsCannotCount)
{
    ItemDataBlock block;
    DataEntry url{.kind = kind::Url};
    url.bytes.assign(65535, 'a');  // with its zero byte one more than L can say
    url.bytes.push_back(0);
    block.entries.push_back(url);
    Bytes out{1, 2};
    Status s = encodeItemData(block, {kBig36, IconMarker::K0C, false}, out);
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(s.error(), "a data record of kind 5 needs 65536 bytes, more than its length field can count (65535)");
    EXPECT_EQ(out, (Bytes{1, 2}));  // left as it was

    block.entries[0].bytes.erase(block.entries[0].bytes.begin());
    EXPECT_TRUE(encodeItemData(block, {kBig36, IconMarker::K0C, false}, out).ok());
    EXPECT_EQ(out.size(), 2u + 3u + 65535u);

    ItemDataBlock titles;
    titles.entries.push_back({.kind = kind::MenuTitle, .titles = std::vector<Title>(256, Title{1, u""})});
    s = encodeItemData(titles, {kBig36, IconMarker::K0C, false}, out);
    EXPECT_EQ(s.error(), "a title record holds 256 titles, more than its count byte can count (255)");
}

} // namespace
} // namespace tessaro
