#pragma once
// A P2K phone as a USB device, for tests: it shows the descriptors and interface strings of a
// phone, decodes P2K frames sent to its "Motorola Test Command" interface (control transfers,
// or bulk endpoints on a newer phone) and answers them from a VirtualPhone's storage (FSAC,
// SEEM, VERSION, restart) as a real phone does: a poll answers 2 zero bytes until a reply is
// queued and then exactly count and size; a listing ends after the counted entries; requests
// a phone would not take are refused with an error class (a header word that must be 0 is
// not, a length field that disagrees with the payload, an id over 12 bits, a count pattern
// without its 0x0000 unit, a file read at or past the open file's end, file blocks over
// 0x400 bytes). It can also show itself as a phone in AT mode, which asks to be switched with
// "AT+MODE=8\r\n" on its data interface. Faults can be injected for the next matching exchange.

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "phone/phone_context.h"
#include "p2k/usb_link.h"

namespace tessaro {
class P2kApi;
class VirtualPhone;
}

namespace tessaro::testing {

// What a simulated phone answers from: a virtual phone, and the way its requests reach it
// (the phone itself, or a RecordingPhone wearing it).
struct PhoneStorage {
    PhoneStorage(VirtualPhone& phone);
    PhoneStorage(VirtualPhone& phone, P2kApi& api);

    VirtualPhone& phone;
    P2kApi& api;
};

struct SimulatedPhoneOptions {
    int testCommandInterface = 8;   // interface number of "Motorola Test Command"
    bool atMode = false;            // shows itself as an AT-mode phone (PID 0x4902, CDC ACM
                                    // communication interface 0 + data interface 1 with bulk
                                    // IN 0x82 / OUT 0x02); "AT+MODE=8\r\n" on bulk OUT asks to switch
    bool notAPhone = false;         // a Motorola device that is no phone: one vendor interface
                                    // without endpoints or string
    bool bulk = false;              // a newer phone: the Test Command interface has bulk IN 0x84
                                    // and OUT 0x04 and takes no P2K control requests
    int listRecordSize = 0x10C;     // listing record size
    int listEntriesPerChunk = 3;
    std::chrono::microseconds replyDelay{0}; // a reply is queued this long after the request
};

// What to do to the reply of the next request that matches (command 0 = any command).
struct SimulatedFault {
    enum class Kind {
        ReplaceBytes,   // the whole read answer becomes `bytes`
        Truncate,       // the read answer is cut to `value` bytes
        ErrorClass,     // the reply carries error class `value` (0x8 / 0x6 is success)
        WrongId,        // the reply's packet id is the sent one plus `value`
        WrongCount,     // the reply's count field (N) becomes `value`
        Stall,          // the send request is refused with a stall
        PollStall,      // the next poll (bulk: read) is refused with a stall
        NoReply,        // the reply is never queued (polls keep answering "not ready")
        GoneAfterSend,  // the request arrives, then the phone leaves the bus
    };
    Kind kind = Kind::NoReply;
    uint16_t command = 0;
    int value = 0;
    std::vector<uint8_t> bytes;
};

// One P2K request as the phone received it.
struct SimulatedRequest {
    uint16_t packetId = 0;
    uint16_t command = 0;
    std::vector<uint8_t> payload;
};

// The phones the USB suites run on: classic ones with the Test Command interface at 5 and at
// 8, and a bulk one.
struct PhoneKind {
    const char* name;
    SimulatedPhoneOptions options;
};
const std::vector<PhoneKind>& phoneKinds();

class SimulatedP2kPhone {
public:
    explicit SimulatedP2kPhone(PhoneStorage storage, SimulatedPhoneOptions options = {});

    uint16_t vendorId() const;    // 0x22B8
    uint16_t productId() const;   // 0x4901 (P2K) / 0x4902 (AT)
    const SimulatedPhoneOptions& options() const { return options_; }
    // The virtual phone whose storage answers (plugged in by the constructor).
    const PhoneStorage& storage() const { return storage_; }
    // Device descriptor followed by the whole configuration descriptor (as sysfs "descriptors").
    std::vector<uint8_t> descriptors() const;
    std::vector<UsbInterfaceInfo> interfaces() const;

    struct Answer {
        UsbStatus status = UsbStatus::Ok;
        std::vector<uint8_t> data;
        int transferred = 0;
    };
    // A control transfer: standard GET_DESCRIPTOR of strings (0x80/0x06, wValue 0x03nn) and the
    // P2K vendor requests. IN: `data` holds at most wLength bytes; OUT: `transferred`.
    Answer control(const UsbSetup& setup, std::span<const uint8_t> out, uint16_t wLength);
    // A bulk transfer: the AT command of an AT-mode phone, the requests and replies of a bulk
    // phone (IN: at most `inLength` bytes of the reply, the rest at the next read; Timeout while
    // none is ready).
    Answer bulk(uint8_t endpoint, std::span<const uint8_t> out, int inLength);

    // While set, string descriptors are refused with a stall (as by a device still settling).
    void refuseStrings(bool refuse);
    bool refusesStrings() const;

    // Set once "AT+MODE=8\r\n" arrived in AT mode: the host takes this device off the bus and
    // plugs in a P2K-mode one (a new SimulatedP2kPhone without atMode).
    bool wantsModeSwitch() const;

    // Applies `fault` to the next request matching its command.
    void injectFault(SimulatedFault fault);
    // From the `n`th P2K request on (1 = the next one) the device is gone: that request and
    // everything after it answer Gone.
    void goneAfterRequests(int n);
    // Gone at once (the device was pulled out).
    void pullOut();
    bool gone() const;
    // Set when a restart request arrived: the phone leaves the bus.
    bool restarted() const;

    // Every P2K request received, in order, for byte-exact assertions.
    std::vector<SimulatedRequest> requests() const;
    void clearRequests();

private:
    struct Pending {
        std::chrono::steady_clock::time_point readyAt;
        uint16_t size = 0;            // announced by the poll: P2K header + data
        std::vector<uint8_t> answer;  // the whole read answer
    };
    // What the phone makes of a request: data, an error class, or no reply at all.
    struct Outcome {
        std::vector<uint8_t> data;
        std::optional<int> errorClass;
        bool reply = true;
    };

    Answer answerSend(std::span<const uint8_t> out);
    Answer answerPoll(uint16_t wLength);
    Answer answerRead(uint16_t wLength);
    Answer answerBulkRead(int inLength);
    std::vector<uint8_t> stringDescriptor(int index, uint16_t wLength) const;
    Outcome execute(const SimulatedRequest& request);
    Outcome fsac(std::span<const uint8_t> payload);
    Outcome forwardFsac(std::span<const uint8_t> payload);
    Outcome count(std::span<const uint8_t> arguments);
    Outcome listChunk();
    Outcome fileBlock(uint32_t subcommand, std::span<const uint8_t> payload);
    uint64_t openFileSize() const;
    std::optional<SimulatedFault> takeFault(uint16_t command);

    PhoneStorage storage_;
    SimulatedPhoneOptions options_;
    mutable std::mutex mutex_;
    std::vector<SimulatedRequest> requests_;
    std::deque<Pending> pending_;
    std::vector<SimulatedFault> faults_;
    int goneCountdown_ = 0;   // 0: not armed
    bool gone_ = false;
    bool pollStall_ = false;
    bool refuseStrings_ = false;
    bool wantsModeSwitch_ = false;
    bool restarted_ = false;
    // The listing in progress: the entries still to hand out, FSAC 0x08 after FSAC 0x07.
    std::vector<PhoneFileEntry> listing_;
    size_t listingNext_ = 0;
    // The file the last FSAC open named, and where reads and writes are in it.
    struct OpenFile {
        std::string path;
        uint64_t position = 0;
    };
    std::optional<OpenFile> openFile_;
};

} // namespace tessaro::testing
