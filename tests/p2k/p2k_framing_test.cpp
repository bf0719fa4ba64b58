// The P2K framing: request header bytes of classic and bulk phones and what a phone checks in
// them, packet ids, the poll answer, every check of a reply in either layout, listing chunks
// of different record sizes, the volume list and the count request.

#include "p2k/p2k_framing.h"

#include <gtest/gtest.h>

#include "core/bytes.h"
#include "p2k/p2k_api.h"

namespace tessaro::testing {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(P2kFraming, RequestHeaderAndWrappingIds)
{
    EXPECT_EQ(renderRequest(0x0123, kCmdVersion, Bytes{0xFF, 0xFF}),
              (Bytes{0x01, 0x23, 0x00, 0x39, 0x00, 0x02, 0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(renderRequest(0, kCmdRestart, {}), (Bytes{0, 0, 0x00, 0x22, 0, 0, 0, 0}));
    // Bulk: id, command, six zero bytes, length.
    EXPECT_EQ(renderRequest(0x0123, kCmdVersion, Bytes{0xFF, 0xFF}, kBulkRequest),
              (Bytes{0x01, 0x23, 0x00, 0x39, 0, 0, 0, 0, 0, 0, 0x00, 0x02, 0xFF, 0xFF}));
    EXPECT_TRUE(renderRequest(1, kCmdFsac, Bytes(0x10000)).empty());
    EXPECT_EQ(nextPacketId(0x0FFE), 0x0FFF);
    EXPECT_EQ(nextPacketId(0x0FFF), 0x0000);
}

TEST(P2kFraming, WhatAPhoneChecksInARequestHeader)
{
    // A byte of the header changed: its offset in the classic and in the bulk header.
    struct Case { const char* name; size_t classicAt, bulkAt; uint8_t value; bool idTooWide, reservedSet, lengthMismatch; };
    const std::vector<Case> cases = {
        {"good", 0, 0, 0x01, false, false, false},
        {"id of 13 bits", 0, 0, 0x11, true, false, false},
        {"reserved word", 7, 9, 0x01, false, true, false},
        {"first reserved byte", 6, 4, 0x80, false, true, false},
        {"length one more", 5, 11, 0x03, false, false, true},
        {"length one less", 5, 11, 0x01, false, false, true},
    };
    for (const RequestLayout& layout : {kClassicRequest, kBulkRequest}) {
        const Bytes good = renderRequest(0x0123, kCmdVersion, Bytes{0xFF, 0xFF}, layout);
        for (const auto& c : cases) {
            Bytes request = good;
            request[layout.headerSize == kClassicRequest.headerSize ? c.classicAt : c.bulkAt] = c.value;
            const auto parsed = parseRequest(request, layout);
            ASSERT_TRUE(parsed) << c.name;
            EXPECT_EQ(parsed->command, kCmdVersion) << c.name;
            EXPECT_EQ(Bytes(parsed->payload.begin(), parsed->payload.end()), (Bytes{0xFF, 0xFF})) << c.name;
            EXPECT_EQ(parsed->idTooWide, c.idTooWide) << c.name << " " << layout.headerSize;
            EXPECT_EQ(parsed->reservedSet, c.reservedSet) << c.name << " " << layout.headerSize;
            EXPECT_EQ(parsed->lengthMismatch, c.lengthMismatch) << c.name << " " << layout.headerSize;
        }
        EXPECT_FALSE(parseRequest(Bytes(good.begin(), good.begin() + layout.headerSize - 1), layout));
    }
}

TEST(P2kFraming, PollAnswer)
{
    struct Case { Bytes answer; bool ready; int readLength; };
    const std::vector<Case> cases = {
        {{}, false, 4},
        {{0x00, 0x00}, false, 4},                          // not ready, as a phone says it
        {{0x00, 0x01, 0x00}, false, 4},                    // fewer than 4 bytes
        {{0x00, 0x01, 0x00, 0x0A}, true, 16},              // ready, as a phone says it
        {{0x00, 0x00, 0x00, 0x10}, false, 20},             // count 0
        {{0x00, 0x01, 0x00, 0x0A, 0, 0, 0, 0}, true, 16},  // one reply: size + 6
        {{0x00, 0x02, 0xFF, 0xFF}, true, 0xFFFF + 8},
    };
    for (const auto& c : cases) {
        const PollAnswer a = parsePollAnswer(c.answer);
        EXPECT_EQ(a.ready(), c.ready) << ::testing::PrintToString(c.answer);
        if (c.ready) {
            EXPECT_EQ(a.readLength(), c.readLength);
        }
    }
    EXPECT_EQ(renderPollAnswer(1, 0x10), (Bytes{0, 1, 0, 0x10}));
    EXPECT_EQ(renderPollAnswer(0, 0x10), (Bytes{0, 0}));
}

TEST(P2kFraming, ReplyChecks)
{
    const Bytes good = renderReply(0x123, Bytes{0xAA, 0xBB, 0xCC});
    ASSERT_EQ(good, (Bytes{1, 0, 0, 0, 0x00, 0x0B, 0x81, 0x23, 0x80, 0, 0x00, 0x03, 0, 0, 0xAA, 0xBB, 0xCC}));
    auto with = [&](size_t at, uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    Bytes longer = good;
    longer.insert(longer.end(), {0xDD, 0xEE}); // more arrived than the reply holds
    struct Case { const char* name; Bytes answer; std::string outcome; Bytes data; };
    const std::vector<Case> cases = {
        {"good", good, "ok", {0xAA, 0xBB, 0xCC}},
        {"longer transfer", longer, "ok", {0xAA, 0xBB, 0xCC}},
        {"no data", renderReply(0x123, {}), "ok", {}},
        {"short", Bytes(good.begin(), good.begin() + 13), "corrupted reply (shorter than its header)", {}},
        {"two replies", with(0, 2), "corrupted reply (not one reply)", {}},
        {"no reply bit", with(6, 0x01), "corrupted reply (wrong packet id)", {}},
        {"other id", with(7, 0x24), "corrupted reply (wrong packet id)", {}},
        {"id bits above 12 ignored", with(6, 0xF1), "ok", {0xAA, 0xBB, 0xCC}},
        {"count beyond arrival", Bytes(good.begin(), good.end() - 1), "corrupted reply (data length beyond what arrived)", {}},
        {"count beyond length", with(11, 0x04), "corrupted reply (data length beyond the length field)", {}},
        {"length below header", with(5, 0x07), "corrupted reply (length field shorter than the header)", {}},
        {"huge count", with(10, 0xFF), "corrupted reply (data length beyond the length field)", {}},
    };
    for (const auto& c : cases) {
        const P2kReply r = parseReply(c.answer, 0x123);
        EXPECT_EQ(r.describe(), c.outcome) << c.name;
        EXPECT_EQ(Bytes(r.data.begin(), r.data.end()), c.data) << c.name;
    }
    EXPECT_EQ(replyPacketId(good), 0x123);
    EXPECT_FALSE(replyPacketId(with(0, 2)));
    EXPECT_FALSE(replyPacketId(with(6, 0x01)));
}

TEST(P2kFraming, BulkReplyChecks)
{
    const Bytes good = renderReply(0x123, Bytes{0xAA, 0xBB, 0xCC}, std::nullopt, kBulkReply);
    // Id, result word, six unused bytes, data length, data.
    ASSERT_EQ(good, (Bytes{0x81, 0x23, 0x80, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x03, 0xAA, 0xBB, 0xCC}));
    Bytes otherId = good;
    otherId[1] = 0x24;
    struct Case { const char* name; Bytes answer; std::string outcome; };
    const std::vector<Case> cases = {
        {"good", good, "ok"},
        {"no data", renderReply(0x123, {}, std::nullopt, kBulkReply), "ok"},
        {"error class", renderReply(0x123, {}, 5, kBulkReply), "error class 5 (invalid parameter)"},
        {"short", Bytes(good.begin(), good.begin() + 11), "corrupted reply (shorter than its header)"},
        {"other id", otherId, "corrupted reply (wrong packet id)"},
        {"cut", Bytes(good.begin(), good.end() - 1), "corrupted reply (data length beyond what arrived)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseReply(c.answer, 0x123, kBulkReply).describe(), c.outcome) << c.name;
    EXPECT_EQ(Bytes(parseReply(good, 0x123, kBulkReply).data.begin(), parseReply(good, 0x123, kBulkReply).data.end()),
              (Bytes{0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(replyPacketId(otherId, kBulkReply), 0x124);
    EXPECT_EQ(replySize(Bytes(good.begin(), good.begin() + 12), kBulkReply), 15u);
    EXPECT_FALSE(replySize(Bytes(good.begin(), good.begin() + 11), kBulkReply));
}

TEST(P2kFraming, EveryErrorClassInWords)
{
    const std::vector<std::pair<int, std::string>> classes = {
        {0, "wrong data length"}, {1, "security level too low"}, {2, "not supported by this protocol"},
        {3, "not supported in this mode"}, {4, "invalid opcode"}, {5, "invalid parameter"},
        {7, "generic failure"}, {9, "unknown error"}, {10, "out of memory"}, {11, "internal task error"},
        {12, "test-command task timed out"}, {13, "CDMA parse error"},
        {14, "header length larger than what arrived"}, {15, "unrecoverable"}};
    for (const auto& [cls, words] : classes) {
        const Bytes answer = renderReply(7, Bytes{1, 2}, cls);
        const P2kReply r = parseReply(answer, 7);
        EXPECT_EQ(r.kind, P2kReply::Kind::PhoneError);
        EXPECT_EQ(r.describe(), "error class " + std::to_string(cls) + " (" + words + ")");
    }
    EXPECT_EQ(parseReply(renderReply(7, {}, 6), 7).kind, P2kReply::Kind::Data);
}

TEST(P2kFraming, ListingChunksOfEitherRecordSize)
{
    const std::vector<PhoneFileEntry> files = {{1500, 0, 4, "/a/mobile/f.gif"}, {0, 0, 0x21, "/c/x"}};
    for (const int recordSize : {0x10C, 0x106, 0x2C}) {
        const Bytes chunk = renderListChunk(files, recordSize);
        ASSERT_EQ(chunk.size(), size_t(4 + 2 * recordSize));
        EXPECT_EQ(Bytes(chunk.begin(), chunk.begin() + 4), (Bytes{0, 2, 0, 0}));
        // Attributes, owner and size close each record.
        EXPECT_EQ(Bytes(chunk.begin() + 4 + recordSize - 8, chunk.begin() + 4 + recordSize),
                  (Bytes{0, 4, 0, 0, 0x00, 0x00, 0x05, 0xDC}));
        const auto parsed = parseListChunk(chunk);
        ASSERT_TRUE(parsed.ok()) << parsed.error();
        EXPECT_EQ(parsed.value(), files) << recordSize;
    }
    // A path that fills its whole field has no ending 0.
    const std::vector<PhoneFileEntry> full = {{1, 0, 0, std::string(20, 'p')}};
    EXPECT_EQ(parseListChunk(renderListChunk(full, 28)).value(), full);
}

TEST(P2kFraming, HostileOrEmptyListingChunks)
{
    EXPECT_TRUE(parseListChunk(Bytes{0, 0, 0, 0}).value().empty());
    EXPECT_TRUE(parseListChunk(Bytes{0, 0, 0, 0, 1, 2, 3}).value().empty());
    EXPECT_EQ(parseListChunk(Bytes{0, 1, 0}).error(), "listing chunk of 3 bytes");
    // Records that would be no longer than their file part.
    EXPECT_EQ(parseListChunk(Bytes{0, 1, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}).error(),
              "listing chunk of 12 bytes cannot hold its records (1)");
    Bytes many = {0xFF, 0xFF, 0, 0};
    many.resize(300);
    EXPECT_FALSE(parseListChunk(many).ok());
}

TEST(P2kFraming, VolumeListAndCount)
{
    const Bytes list = renderVolumeList(std::vector<char>{'a', 'c'});
    EXPECT_EQ(list, (Bytes{0, '/', 0, 'a', 0xFF, 0xFE, 0, '/', 0, 'c', 0xFF, 0xFE}));
    EXPECT_EQ(parseVolumeList(list), (std::vector<char>{'a', 'c'}));
    // No separator after the last name, an odd byte, a name that is no letter.
    EXPECT_EQ(parseVolumeList(Bytes{0, '/', 0, 'b', 0xFF, 0xFE, 0, '/', 0, '1', 0xFF, 0xFE, 0, '/', 0, 'e', 7}),
              (std::vector<char>{'b', 'e'}));
    EXPECT_EQ(parseVolumeList(Bytes(200, 0)).size(), 0u);

    const auto request = renderCountRequest("/a/mobile/*.gif");
    ASSERT_TRUE(request);
    Bytes expected = {0, 0, 0, 7};
    for (const char c : std::string("/a/mobile/"))
        expected.insert(expected.end(), {0, uint8_t(c)});
    expected.insert(expected.end(), {0xFF, 0xFE, 0, '*', 0, '.', 0, 'g', 0, 'i', 0, 'f', 0, 0});
    expected.resize(256, 0);   // zeros up to 256 bytes, subcommand included
    EXPECT_EQ(*request, expected);
    const auto parsed = parseCountRequest(std::span(*request).subspan(4));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->pattern, "/a/mobile/*.gif");
    EXPECT_TRUE(parsed->terminated);
    // Ended right after the mask: no 0x0000 unit.
    const auto unterminated = parseCountRequest(Bytes(request->begin() + 4, request->begin() + 4 + 2 * 16));
    ASSERT_TRUE(unterminated);
    EXPECT_EQ(unterminated->pattern, "/a/mobile/*.gif");
    EXPECT_FALSE(unterminated->terminated);
    EXPECT_FALSE(renderCountRequest("nofolder"));
    EXPECT_EQ(renderCountRequest("/a/" + std::string(119, 'x') + "/*")->back(), 0);   // fills the 256 bytes
    EXPECT_FALSE(renderCountRequest("/a/" + std::string(120, 'x') + "/*"));
    EXPECT_FALSE(parseCountRequest(Bytes{0, '/', 0, 'a'}));

    EXPECT_EQ(parseCountAnswer(Bytes{0x01, 0x02}), 0x0102);
    EXPECT_EQ(parseCountAnswer(Bytes{0, 0}), 0);
    EXPECT_EQ(parseCountAnswer(Bytes{0xFF, 0xFF}), -1);
    EXPECT_EQ(parseCountAnswer(Bytes{5}), -1);
}

} // namespace
} // namespace tessaro::testing
