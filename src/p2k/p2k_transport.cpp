#include "p2k/p2k_transport.h"

#include <algorithm>
#include <thread>

#include "core/bytes.h"

namespace tessaro {

namespace {

using Clock = P2kTransport::Clock;
using std::chrono::duration_cast;
using std::chrono::milliseconds;

// The three vendor requests of a classic exchange, addressed to the Test Command interface.
constexpr uint8_t kVendorOut = 0x41;
constexpr uint8_t kVendorIn = 0xC1;
constexpr uint8_t kRequestSend = 0x02;
constexpr uint8_t kRequestPoll = 0x00;
constexpr uint8_t kRequestRead = 0x01;
constexpr int kPollAnswerSize = 8;
constexpr int kMaxReadLength = 0xFFFF;

// A bulk phone's reply is read in pieces of this size, each read waiting this long at most.
constexpr size_t kBulkReadSize = 0x1000;
constexpr int kBulkReadTimeoutMs = 1000;

// Milliseconds left until `deadline`, at least 1 and at most `bound`.
int msLeft(Clock::time_point deadline, int bound)
{
    const auto left = duration_cast<milliseconds>(deadline - Clock::now()).count();
    return int(std::clamp<long long>(left, 1, bound));
}

// When to poll again for a reply. The phone usually answers within a millisecond or two, so
// the first polls follow at once and then every 50 µs; past 2 ms the pauses double up to 1 ms
// so a slow command does not keep the bus busy.
class PollSchedule {
public:
    std::chrono::microseconds next(Clock::duration elapsed)
    {
        using std::chrono::microseconds;
        if (++polls_ <= 3)
            return microseconds(0);
        if (elapsed < milliseconds(2))
            return microseconds(50);
        pause_ = std::min(pause_ * 2, microseconds(1000));
        return pause_;
    }

private:
    int polls_ = 0;
    std::chrono::microseconds pause_{50};
};

class ControlTransport : public P2kTransport {
public:
    ControlTransport(UsbDevice& device, int interfaceNumber, int transferTimeoutMs)
        : device_(device), index_(uint16_t(interfaceNumber)), timeoutMs_(transferTimeoutMs)
    {
    }

    const ReplyLayout& replyLayout() const override { return kClassicReply; }
    std::string describe() const override { return {}; }

    Step send(uint16_t id, uint16_t command, std::span<const uint8_t> payload) override
    {
        std::vector<uint8_t> request = renderRequest(id, command, payload, kClassicRequest);
        const UsbResult sent = device_.control({kVendorOut, kRequestSend, 0, index_}, request, timeoutMs_);
        return {sent.status, "send"};
    }

    Step receive(Clock::time_point deadline, std::vector<uint8_t>& answer) override
    {
        const auto start = Clock::now();
        PollSchedule schedule;
        PollAnswer queued;
        for (;;) {
            uint8_t poll[kPollAnswerSize] = {};
            const UsbResult polled
                = device_.control({kVendorIn, kRequestPoll, 0, index_}, poll, msLeft(deadline, timeoutMs_));
            if (!polled.ok())
                return {polled.status, "poll"};
            // Ready is 4 bytes (count, size), not ready 2 zero bytes; longer answers are taken too.
            queued = parsePollAnswer(std::span(poll, size_t(std::clamp(polled.transferred, 0, kPollAnswerSize))));
            if (queued.ready())
                break;
            const auto now = Clock::now();
            if (now >= deadline)
                return {UsbStatus::Timeout, "reply"};
            const auto pause = schedule.next(now - start);
            if (pause.count() > 0)
                std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        }
        if (queued.readLength() > kMaxReadLength)
            return {UsbStatus::Ok, "poll",
                    "announced size " + std::to_string(queued.size) + " with " + std::to_string(queued.count)
                        + " replies"};
        answer.assign(size_t(queued.readLength()), 0);
        const UsbResult read = device_.control({kVendorIn, kRequestRead, 1, index_}, answer, timeoutMs_);
        if (!read.ok())
            return {read.status, "read"};
        answer.resize(size_t(std::clamp(read.transferred, 0, int(answer.size()))));
        return {};
    }

private:
    UsbDevice& device_;
    const uint16_t index_;
    const int timeoutMs_;
};

class BulkTransport : public P2kTransport {
public:
    BulkTransport(UsbDevice& device, uint8_t in, uint8_t out, int transferTimeoutMs)
        : device_(device), in_(in), out_(out), timeoutMs_(transferTimeoutMs)
    {
    }

    const ReplyLayout& replyLayout() const override { return kBulkReply; }
    std::string describe() const override
    {
        return "bulk endpoints IN " + hexNumber(in_, 2) + " OUT " + hexNumber(out_, 2);
    }

    Step send(uint16_t id, uint16_t command, std::span<const uint8_t> payload) override
    {
        std::vector<uint8_t> request = renderRequest(id, command, payload, kBulkRequest);
        const UsbResult sent = device_.bulk(out_, request, timeoutMs_);
        if (sent.ok() && sent.transferred != int(request.size()))
            return {UsbStatus::Error, "send"};
        return {sent.status, "send"};
    }

    // Reads until the whole reply (its header tells how long it is) has arrived; bytes past it
    // in the same read belong to no reply. A reply that stays incomplete is given as it is at
    // the deadline, so its checks tell what is missing.
    Step receive(Clock::time_point deadline, std::vector<uint8_t>& answer) override
    {
        std::vector<uint8_t> got;
        std::vector<uint8_t> buffer(kBulkReadSize);
        for (;;) {
            const auto size = replySize(got, kBulkReply);
            if (size && got.size() >= *size) {
                got.resize(*size);
                answer = std::move(got);
                return {};
            }
            if (Clock::now() >= deadline) {
                if (got.empty())
                    return {UsbStatus::Timeout, "reply"};
                answer = std::move(got);
                return {};
            }
            const UsbResult read = device_.bulk(in_, buffer, msLeft(deadline, std::min(kBulkReadTimeoutMs, timeoutMs_)));
            got.insert(got.end(), buffer.begin(), buffer.begin() + std::clamp(read.transferred, 0, int(buffer.size())));
            if (!read.ok() && read.status != UsbStatus::Timeout)
                return {read.status, "read"};
        }
    }

private:
    UsbDevice& device_;
    const uint8_t in_;
    const uint8_t out_;
    const int timeoutMs_;
};

} // namespace

std::unique_ptr<P2kTransport> makeP2kTransport(UsbDevice& device, const UsbInterfaceInfo& testCommand,
                                               int transferTimeoutMs)
{
    const uint8_t in = testCommand.bulkEndpoint(true);
    const uint8_t out = testCommand.bulkEndpoint(false);
    if (in && out)
        return std::make_unique<BulkTransport>(device, in, out, transferTimeoutMs);
    return std::make_unique<ControlTransport>(device, testCommand.number, transferTimeoutMs);
}

} // namespace tessaro
