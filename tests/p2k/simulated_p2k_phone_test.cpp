// The simulated P2K phone answers as a real one does, classic and bulk: the poll's two forms,
// nothing after a listing's end, requests a phone would not take refused with an error class,
// and the free-space request handed to its storage.

#include "usbsim/simulated_p2k_phone.h"

#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "core/bytes.h"
#include "p2k/p2k_framing.h"
#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes fsac(uint32_t subcommand, const Bytes& arguments = {})
{
    Bytes out;
    append32(out, subcommand, ByteOrder::Big);
    out.insert(out.end(), arguments.begin(), arguments.end());
    return out;
}

Bytes fsacPath(uint32_t subcommand, uint32_t word, const std::string& path)
{
    Bytes out = fsac(subcommand);
    append32(out, word, ByteOrder::Big);
    out.insert(out.end(), path.begin(), path.end());
    return out;
}

// Talks to the phone with raw frames, over control transfers or its bulk endpoints.
class Wire {
public:
    explicit Wire(SimulatedPhoneOptions options) : storage_(PhoneSpec{}), options_(options)
    {
        storage_.putPhoneFile("/a/f", Bytes(3, 0x5A));
        phone_ = std::make_unique<SimulatedP2kPhone>(PhoneStorage{*storage_.virtualPhone, *storage_.api}, options);
    }

    RecordingPhone& storage() { return *storage_.api; }
    const RequestLayout& requestLayout() const { return options_.bulk ? kBulkRequest : kClassicRequest; }
    const ReplyLayout& replyLayout() const { return options_.bulk ? kBulkReply : kClassicReply; }
    SimulatedP2kPhone& phone() { return *phone_; }

    // Sends a frame and gives the whole reply.
    Bytes exchange(std::span<const uint8_t> frame)
    {
        if (options_.bulk) {
            EXPECT_EQ(phone_->bulk(0x04, frame, 0).status, UsbStatus::Ok);
            return phone_->bulk(0x84, {}, 0x1000).data;
        }
        const uint16_t index = uint16_t(options_.testCommandInterface);
        EXPECT_EQ(phone_->control({0x41, 0x02, 0, index}, frame, 0).status, UsbStatus::Ok);
        const Bytes poll = phone_->control({0xC1, 0x00, 0, index}, {}, 8).data;
        const PollAnswer queued = parsePollAnswer(poll);
        return phone_->control({0xC1, 0x01, 1, index}, {}, uint16_t(queued.readLength())).data;
    }
    // Sends a well-formed request; the reply as checked.
    P2kReply request(uint16_t command, const Bytes& payload)
    {
        last_ = exchange(renderRequest(nextId_, command, payload, requestLayout()));
        return parseReply(last_, nextId_++, replyLayout());
    }

private:
    VirtualPhoneRig storage_;
    SimulatedPhoneOptions options_;
    std::unique_ptr<SimulatedP2kPhone> phone_;
    uint16_t nextId_ = 1;
    Bytes last_;
};

class SimulatedPhoneKinds : public ::testing::TestWithParam<PhoneKind> {};
INSTANTIATE_TEST_SUITE_P(Phones, SimulatedPhoneKinds, ::testing::ValuesIn(phoneKinds()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(SimulatedPhoneKinds, RequestsAPhoneWouldNotTakeAreRefusedWithAnErrorClass)
{
    const Bytes readBlock = fsac(kFsacRead, {0, 0, 0x04, 0x00});
    const Bytes openF = fsacPath(kFsacOpen, 0, "/a/f");
    const auto countOf = [](const std::string& pattern) { return *renderCountRequest(pattern); };
    struct Case {
        const char* name;
        std::vector<Bytes> before;   // FSAC requests sent first, each taken
        Bytes payload;               // then this one
        std::function<void(Bytes& frame, const RequestLayout&)> tamper;
        std::optional<int> errorClass;   // nothing: taken
    };
    const auto setByte = [](int at, uint8_t value) {
        return [=](Bytes& frame, const RequestLayout&) { frame[size_t(at)] = value; };
    };
    const auto length = [](int delta) {
        return [=](Bytes& frame, const RequestLayout& layout) {
            put16(&frame[size_t(layout.lengthOffset)],
                  uint16_t(readBE16(&frame[size_t(layout.lengthOffset)]) + delta), ByteOrder::Big);
        };
    };
    const auto lastReserved = [](Bytes& frame, const RequestLayout& layout) {
        frame[size_t(layout.lengthOffset == 4 ? 7 : layout.lengthOffset - 1)] = 1;
    };
    const auto writeOf = [](uint32_t n) {
        Bytes out = fsac(kFsacWrite);
        append32(out, n, ByteOrder::Big);
        out.resize(out.size() + n, 0x33);
        return out;
    };
    Bytes unterminated = countOf("/a/*");
    unterminated.resize(4 + 2 * 5);   // "/a/" 0xFFFE "*"
    const std::vector<Case> cases = {
        {"well formed", {}, fsac(kFsacVolumes), nullptr, std::nullopt},
        {"reserved header word", {}, fsac(kFsacVolumes), lastReserved, 5},
        {"length field one more", {}, fsac(kFsacVolumes), length(1), 0},
        {"length field one less", {}, fsac(kFsacVolumes), length(-1), 0},
        {"id over 12 bits", {}, fsac(kFsacVolumes), setByte(0, 0x11), 5},
        {"count pattern ended", {}, countOf("/a/*"), nullptr, std::nullopt},
        {"count pattern unterminated", {}, unterminated, nullptr, 5},
        {"read within the file", {openF}, readBlock, nullptr, std::nullopt},
        {"read of more than 0x400", {openF}, fsac(kFsacRead, {0, 0, 0x04, 0x01}), nullptr, 5},
        {"read at the end", {openF, readBlock}, readBlock, nullptr, 7},
        {"read past the end", {openF, fsac(kFsacSeek, {0, 0, 0, 4, 0})}, readBlock, nullptr, 7},
        {"read past the end from the end", {openF, fsac(kFsacSeek, {0, 0, 0, 0, 2})}, readBlock, nullptr, 7},
        {"read after a seek back", {openF, readBlock, fsac(kFsacSeek, {0, 0, 0, 2, 0})}, readBlock, nullptr,
         std::nullopt},
        {"write of 0x400", {openF}, writeOf(0x400), nullptr, std::nullopt},
        {"write of more than 0x400", {openF}, writeOf(0x401), nullptr, 5},
    };
    for (const auto& c : cases) {
        Wire wire(GetParam().options);
        for (const auto& payload : c.before)
            ASSERT_TRUE(wire.request(kCmdFsac, payload).ok()) << c.name;
        Bytes frame = renderRequest(0x0123, kCmdFsac, c.payload, wire.requestLayout());
        if (c.tamper)
            c.tamper(frame, wire.requestLayout());
        const Bytes answer = wire.exchange(frame);
        const P2kReply reply = parseReply(answer, 0x0123, wire.replyLayout());
        if (c.errorClass) {
            EXPECT_EQ(reply.kind, P2kReply::Kind::PhoneError) << c.name;
            EXPECT_EQ(reply.errorClass, *c.errorClass) << c.name;
        } else {
            EXPECT_TRUE(reply.ok()) << c.name << ": " << reply.describe();
        }
    }
}

TEST_P(SimulatedPhoneKinds, AListingEndsAfterTheCountedEntries)
{
    Wire wire(GetParam().options);
    const P2kReply count = wire.request(kCmdFsac, *renderCountRequest("/a/*"));
    ASSERT_TRUE(count.ok()) << count.describe();
    EXPECT_EQ(parseCountAnswer(count.data), 1);
    const Bytes next = fsac(kFsacListNext, {1});
    const P2kReply first = wire.request(kCmdFsac, next);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(parseListChunk(first.data)->size(), 1u);
    const P2kReply past = wire.request(kCmdFsac, next);
    ASSERT_TRUE(past.ok()) << past.describe();
    EXPECT_TRUE(past.data.empty());
}

TEST_P(SimulatedPhoneKinds, FreeSpaceIsAskedOfTheStorage)
{
    Wire wire(GetParam().options);
    const Bytes request = renderFreeSpaceRequest('a');
    (void)wire.request(kCmdFsac, request);
    const auto asked = wire.storage().requests();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().command, kCmdFsac);
    EXPECT_EQ(asked.back().bytes, request);
}

TEST(SimulatedPhone, PollSaysNotReadyInTwoBytesAndReadyInFour)
{
    VirtualPhoneRig storage{PhoneSpec{}};
    SimulatedP2kPhone phone(*storage.virtualPhone, {.testCommandInterface = 5, .replyDelay = std::chrono::milliseconds(20)});
    const Bytes version = renderRequest(7, kCmdVersion, Bytes{0xFF, 0xFF});
    ASSERT_EQ(phone.control({0x41, 0x02, 0, 5}, version, 0).status, UsbStatus::Ok);
    EXPECT_EQ(phone.control({0xC1, 0x00, 0, 5}, {}, 8).data, (Bytes{0, 0}));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const Bytes ready = phone.control({0xC1, 0x00, 0, 5}, {}, 8).data;
    ASSERT_EQ(ready.size(), 4u);
    EXPECT_EQ(readBE16(ready.data()), 1);
    // The size announced is that of the P2K reply: the read gives 6 bytes more.
    const Bytes answer = phone.control({0xC1, 0x01, 1, 5}, {}, 0x1000).data;
    EXPECT_EQ(answer.size(), size_t(readBE16(ready.data() + 2)) + 6);
}

} // namespace
} // namespace tessaro::testing
