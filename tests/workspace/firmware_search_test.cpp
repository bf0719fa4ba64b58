#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string_view>
#include <vector>

#include "workspace/firmware_search.h"

namespace tessaro {
namespace {

// The plain search every variant must agree with.
PatternHits plainSearch(const std::vector<uint8_t>& buf, bool wantVersion, bool wantTable)
{
    PatternHits hits;
    for (size_t p = 0; p < buf.size(); ++p) {
        const size_t left = buf.size() - p;
        if (wantVersion && hits.version == PatternHits::npos && left >= 5 && std::memcmp(&buf[p], "@(#)", 4) == 0) {
            const uint8_t letter = buf[p + 4];
            if (letter == 'T' || letter == 'G' || (letter == 'R' && left >= 6 && buf[p + 5] >= '0' && buf[p + 5] <= '9'))
                hits.version = p;
        }
        if (wantTable && hits.table == PatternHits::npos && left >= 6 && std::memcmp(&buf[p], "2CLICK", 6) == 0)
            hits.table = p;
    }
    return hits;
}

std::vector<SearchVariant> variants()
{
    std::vector<SearchVariant> out;
    for (SearchVariant v : {SearchVariant::Best, SearchVariant::Portable, SearchVariant::Avx2, SearchVariant::Avx512})
        if (searchVariantAvailable(v))
            out.push_back(v);
    return out;
}

void expectSame(const std::vector<uint8_t>& buf, const std::string& what)
{
    for (bool wantVersion : {true, false}) {
        for (bool wantTable : {true, false}) {
            const PatternHits expected = plainSearch(buf, wantVersion, wantTable);
            for (SearchVariant v : variants()) {
                const PatternHits got = findFirmwarePatterns(buf.data(), buf.size(), wantVersion, wantTable, v);
                EXPECT_EQ(got.version, expected.version) << what << " variant " << int(v);
                EXPECT_EQ(got.table, expected.table) << what << " variant " << int(v);
            }
        }
    }
}

TEST(FirmwareSearch, EveryPositionAroundGroupEdgesAndTheWindowEnd)
{
    for (std::string_view pattern : {"@(#)R7", "@(#)T", "@(#)G", "2CLICK"}) {
        for (size_t length : {size_t{70}, size_t{133}, size_t{200}}) {
            for (size_t at = 0; at + pattern.size() <= length; ++at) {
                std::vector<uint8_t> buf(length, 'x');
                std::memcpy(&buf[at], pattern.data(), pattern.size());
                expectSame(buf, std::string(pattern) + " at " + std::to_string(at) + " of " + std::to_string(length));
            }
        }
    }
}

TEST(FirmwareSearch, CutPatternsAtTheWindowEndAreNotHits)
{
    for (std::string_view cut : {"@(#)R", "@(#)", "2CLIC", "@(#"}) {
        for (size_t length : {size_t{64}, size_t{128}, size_t{129}}) {
            std::vector<uint8_t> buf(length, 0);
            std::memcpy(&buf[length - cut.size()], cut.data(), cut.size());
            for (SearchVariant v : variants()) {
                const PatternHits got = findFirmwarePatterns(buf.data(), buf.size(), true, true, v);
                EXPECT_EQ(got.version, PatternHits::npos) << cut << " " << length;
                EXPECT_EQ(got.table, PatternHits::npos) << cut << " " << length;
            }
        }
    }
}

TEST(FirmwareSearch, NearMissesAndTheFirstOfSeveral)
{
    std::vector<uint8_t> buf(300, 0);
    auto put = [&](size_t at, std::string_view text) { std::memcpy(&buf[at], text.data(), text.size()); };
    put(1, "@(#)Rx");    // R without a digit
    put(20, "@(#)Q");    // another letter
    put(40, "2CLICk");
    put(63, "@(#)G1");   // the first real mark, across a group edge
    put(127, "2CLICK");  // the first table, across the next one
    put(200, "@(#)T");
    put(250, "2CLICK");
    expectSame(buf, "near misses");
    const PatternHits hits = findFirmwarePatterns(buf.data(), buf.size(), true, true);
    EXPECT_EQ(hits.version, 63u);
    EXPECT_EQ(hits.table, 127u);
}

TEST(FirmwareSearch, RandomBuffersFullOfPatternBytes)
{
    // Bytes drawn from the patterns' own letters make the filters let through many positions.
    const std::string alphabet = "@(#)RTG2CLIK0";
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> buf(1 + random() % 700);
        for (auto& b : buf)
            b = static_cast<uint8_t>(alphabet[random() % alphabet.size()]);
        expectSame(buf, "round " + std::to_string(round));
    }
}

TEST(FirmwareSearch, NothingWantedFindsNothing)
{
    const std::vector<uint8_t> buf = {'@', '(', '#', ')', 'T', '2', 'C', 'L', 'I', 'C', 'K'};
    const PatternHits hits = findFirmwarePatterns(buf.data(), buf.size(), false, false);
    EXPECT_EQ(hits.version, PatternHits::npos);
    EXPECT_EQ(hits.table, PatternHits::npos);
}

} // namespace
} // namespace tessaro
