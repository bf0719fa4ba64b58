#pragma once
// How P2K requests and replies travel over USB on the "Motorola Test Command" interface.
// Classic phones, whose interface has no endpoints, take the request as a vendor control OUT
// transfer and are then polled until a reply is queued, which a control IN transfer reads.
// Newer phones have a bulk IN and a bulk OUT endpoint there: the request goes out on bulk
// OUT with a 12-byte header and the reply is read from bulk IN, with no polls.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "p2k/p2k_framing.h"
#include "p2k/usb_link.h"

namespace tessaro {

class P2kTransport {
public:
    using Clock = std::chrono::steady_clock;

    // How a step of an exchange ended.
    struct Step {
        UsbStatus status = UsbStatus::Ok;
        // The transfer that failed: "send", "poll", "read"; "reply" with Timeout when no reply
        // came in time.
        const char* transfer = "";
        // A failure the phone's own bytes show ("announced size ..."); empty otherwise.
        std::string corrupted;

        bool ok() const { return status == UsbStatus::Ok && corrupted.empty(); }
        bool noReply() const { return status == UsbStatus::Timeout && std::string_view(transfer) == "reply"; }
    };

    virtual ~P2kTransport() = default;

    // Where the reply's fields lie in the bytes `receive` gives.
    virtual const ReplyLayout& replyLayout() const = 0;
    // "bulk endpoints IN 0x84 OUT 0x04" for the diagnostics; empty for control transfers.
    virtual std::string describe() const = 0;
    // Sends one request.
    virtual Step send(uint16_t id, uint16_t command, std::span<const uint8_t> payload) = 0;
    // Waits until `deadline` for the next reply and puts its bytes in `answer`.
    virtual Step receive(Clock::time_point deadline, std::vector<uint8_t>& answer) = 0;
};

// The transport the Test Command interface `testCommand` of `device` calls for: bulk when it has
// a bulk IN and a bulk OUT endpoint, else control transfers. Every single transfer is bounded
// by `transferTimeoutMs`.
std::unique_ptr<P2kTransport> makeP2kTransport(UsbDevice& device, const UsbInterfaceInfo& testCommand,
                                               int transferTimeoutMs);

} // namespace tessaro
