#include "p2k/usb_phone.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "core/bytes.h"
#include "core/translatable.h"
#include "p2k/file_list_entry.h"
#include "p2k/p2k_framing.h"
#include "p2k/p2k_transport.h"
#include "p2k/usb_link.h"

namespace tessaro {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const std::string kTestCommandName = "Motorola Test Command";
const std::string kModeSwitch = "AT+MODE=8\r\n";
constexpr int kCdcDataClass = 0x0A;
constexpr const char* kUdevRule = "70-tessaro-p2k.rules";

std::string statusWords(UsbStatus status)
{
    switch (status) {
    case UsbStatus::Ok: return "ok";
    case UsbStatus::Timeout: return "timed out";
    case UsbStatus::Stall: return "stalled";
    case UsbStatus::Gone: return "device gone";
    case UsbStatus::Denied: return "permission denied";
    case UsbStatus::Busy: return "in use by another program or driver";
    case UsbStatus::Error: break;
    }
    return "failed";
}

std::string deviceName(const UsbDeviceInfo& info)
{
    return "bus " + std::to_string(info.bus) + " address " + std::to_string(info.address);
}

std::string noticeText(UsbStatus status)
{
    const std::string why = status == UsbStatus::Busy
        ? TRANSLATABLE("Core", "A Motorola phone was found on USB but cannot be opened: in use by another "
                               "program or driver. ")
        : TRANSLATABLE("Core", "A Motorola phone was found on USB but cannot be opened: permission denied. ");
    return why + TRANSLATABLE("Core", "Install the udev rule ") + kUdevRule
        + TRANSLATABLE("Core", " (see \"Using a real phone\" in the README) and plug the phone in again.");
}

std::vector<uint8_t> fsacRequest(uint32_t subcommand)
{
    std::vector<uint8_t> out;
    append32(out, subcommand, ByteOrder::Big);
    return out;
}

// The path of a library string: 8-bit characters up to the first 0.
void appendPath(std::vector<uint8_t>& out, const std::string& path)
{
    out.insert(out.end(), path.begin(), std::find(path.begin(), path.end(), '\0'));
}

// What a look at a Motorola device found.
enum class LookOutcome {
    Phone,      // a P2K phone, now in use
    NoPhone,    // surely no phone: no Test Command interface and no data interface to switch
    Switching,  // a phone in AT mode, asked to switch
    Failed,     // could not tell (not opened, strings unreadable, claim refused, gone meanwhile)
};

} // namespace

struct UsbPhone::Impl {
    Impl(std::unique_ptr<UsbLink> l, Options o) : link(std::move(l)), options(o)
    {
        options.transferTimeoutMs = std::max(options.transferTimeoutMs, 1);
        options.replyTimeoutMs = std::max(options.replyTimeoutMs, 1);
        options.rescanIntervalMs = std::max(options.rescanIntervalMs, 1);
        options.retryMinMs = std::max(options.retryMinMs, 1);
        options.retryMaxMs = std::max(options.retryMaxMs, options.retryMinMs);
        options.switchWaitMs = std::max(options.switchWaitMs, 1);
    }

    // The last look at a device on the bus, by its key.
    struct Look {
        LookOutcome outcome = LookOutcome::Failed;
        Clock::time_point next;   // when to look again
        int failures = 0;
    };

    std::unique_ptr<UsbLink> link;
    Options options;
    std::string startError;

    // Public calls, the device and the finding of phones: one at a time. Recursive so a
    // progress callback may call in again.
    std::recursive_mutex callMutex;
    std::unique_ptr<UsbDevice> device;
    std::unique_ptr<P2kTransport> transport;
    std::string deviceKey;
    int interfaceNumber = -1;
    uint16_t packetId = 0;
    std::set<uint16_t> abandoned;     // requests whose reply was not waited for to the end
    bool listingCounted = false;
    int listingLeft = 0;              // entries of the counted listing not yet handed out
    std::set<std::string> noticed;    // devices whose notice was given
    std::map<std::string, Look> looks;
    std::optional<Clock::time_point> nextLook;   // the earliest look due again

    // The backend thread's state.
    std::mutex stateMutex;
    std::condition_variable wake;
    std::condition_variable scannedCv;
    DiagnosticCallback diagnostics;
    NoticeCallback notice;
    StatusCallback status;
    bool started = false;
    bool watching = false;
    bool stopping = false;
    bool changed = false;
    bool lost = false;       // a call found the device gone
    long scans = 0;
    int reported = 0;        // the last status delivered
    std::thread thread;

    void diagnostic(const std::string& line)
    {
        DiagnosticCallback callback;
        {
            std::lock_guard lock(stateMutex);
            callback = diagnostics;
        }
        if (callback)
            callback(line);
    }

    void signal(bool deviceLost)
    {
        {
            std::lock_guard lock(stateMutex);
            changed = true;
            lost = lost || deviceLost;
        }
        wake.notify_all();
    }

    // ---- finding the phone (callMutex held) ------------------------------------------

    void dropDevice()
    {
        transport.reset();
        device.reset();
        deviceKey.clear();
        interfaceNumber = -1;
        listingCounted = false;
        abandoned.clear();
    }

    void noticeOnce(const UsbDeviceInfo& info, UsbStatus why)
    {
        if (!noticed.insert(info.key).second)
            return;
        const std::string text = noticeText(why);
        diagnostic("USB device 22B8:" + hexDigits(info.productId, 4) + " at " + deviceName(info) + ": "
                   + statusWords(why));
        NoticeCallback callback;
        {
            std::lock_guard lock(stateMutex);
            callback = notice;
        }
        if (callback)
            callback(text);
    }

    // A phone in AT mode switches to P2K mode on "AT+MODE=8" written to its data interface;
    // it then leaves the bus and comes back as a P2K phone a few seconds later.
    LookOutcome switchToP2k(UsbDevice& dev, const UsbInterfaceInfo& data, const UsbDeviceInfo& info, uint8_t out,
                            std::string& why)
    {
        const UsbStatus claimed = dev.claim(data.number);
        if (claimed == UsbStatus::Denied || claimed == UsbStatus::Busy)
            noticeOnce(info, claimed);
        if (claimed != UsbStatus::Ok) {
            why = "cannot claim its data interface (" + statusWords(claimed) + ")";
            return LookOutcome::Failed;
        }
        std::vector<uint8_t> command(kModeSwitch.begin(), kModeSwitch.end());
        const UsbResult sent = dev.bulk(out, command, options.transferTimeoutMs);
        dev.release(data.number);
        diagnostic("Motorola phone in AT mode at " + deviceName(info) + ": sent AT+MODE=8 to switch it to P2K mode ("
                   + statusWords(sent.status) + ")");
        return sent.ok() ? LookOutcome::Switching : LookOutcome::Failed;
    }

    // Opens the device and finds out what it is; takes it into use when it is a P2K phone.
    // `why` says what went wrong when the look failed.
    LookOutcome lookAt(const UsbDeviceInfo& info, std::string& why)
    {
        UsbStatus opened = UsbStatus::Error;
        std::unique_ptr<UsbDevice> dev = link->open(info, &opened);
        if (!dev) {
            if (opened == UsbStatus::Denied || opened == UsbStatus::Busy)
                noticeOnce(info, opened);
            why = "cannot be opened (" + statusWords(opened) + ")";
            return LookOutcome::Failed;
        }
        const auto interfaces = dev->interfaces();
        if (interfaces.empty()) {
            why = "its configuration cannot be read";
            return LookOutcome::Failed;
        }
        const auto test = std::find_if(interfaces.begin(), interfaces.end(),
                                       [](const UsbInterfaceInfo& i) { return i.name == kTestCommandName; });
        if (test != interfaces.end()) {
            const UsbStatus claimed = dev->claim(test->number);
            if (claimed == UsbStatus::Denied || claimed == UsbStatus::Busy)
                noticeOnce(info, claimed);
            if (claimed != UsbStatus::Ok) {
                why = "cannot claim its test command interface (" + statusWords(claimed) + ")";
                return LookOutcome::Failed;
            }
            device = std::move(dev);
            transport = makeP2kTransport(*device, *test, options.transferTimeoutMs);
            deviceKey = info.key;
            interfaceNumber = test->number;
            const std::string how = transport->describe();
            diagnostic("P2K phone at " + deviceName(info) + ", test command interface " + std::to_string(interfaceNumber)
                       + (how.empty() ? "" : ", " + how));
            return LookOutcome::Phone;
        }
        // Without every string the Test Command interface may be among those not read.
        if (std::any_of(interfaces.begin(), interfaces.end(), [](const UsbInterfaceInfo& i) { return i.nameUnreadable; })) {
            why = "its interface strings cannot be read";
            return LookOutcome::Failed;
        }
        for (const auto& i : interfaces) {
            const uint8_t out = i.bulkEndpoint(false);
            if (i.interfaceClass == kCdcDataClass && out)
                return switchToP2k(*dev, i, info, out, why);
        }
        return LookOutcome::NoPhone;
    }

    // Looks at the devices that are due: new ones, failed looks whose wait is over (waits
    // doubling from retryMinMs to retryMaxMs), phones asked to switch that are still there
    // after switchWaitMs. Devices that are surely no phone are not looked at again.
    void findPhone()
    {
        const auto present = link->devices(kMotorolaVendorId);
        std::erase_if(looks, [&](const auto& entry) {
            return std::none_of(present.begin(), present.end(),
                                [&](const UsbDeviceInfo& d) { return d.key == entry.first; });
        });
        nextLook.reset();
        for (const UsbDeviceInfo& info : present) {
            const auto now = Clock::now();
            const auto found = looks.find(info.key);
            if (found != looks.end() && (found->second.outcome == LookOutcome::NoPhone || now < found->second.next)) {
                if (found->second.outcome != LookOutcome::NoPhone)
                    nextLook = std::min(nextLook.value_or(found->second.next), found->second.next);
                continue;
            }
            Look& look = looks[info.key];
            std::string why;
            look.outcome = lookAt(info, why);
            switch (look.outcome) {
            case LookOutcome::Phone:
                looks.erase(info.key);
                return;
            case LookOutcome::NoPhone:
                break;
            case LookOutcome::Switching:
                look.next = now + milliseconds(options.switchWaitMs);
                break;
            case LookOutcome::Failed: {
                if (look.failures++ == 0 && !why.empty())
                    diagnostic("USB device 22B8:" + hexDigits(info.productId, 4) + " at " + deviceName(info) + ": "
                               + why + "; looking again");
                const int wait = int(std::min<long long>(options.retryMaxMs,
                                                         (long long)options.retryMinMs << std::min(look.failures - 1, 16)));
                look.next = Clock::now() + milliseconds(wait);
                break;
            }
            }
            if (look.outcome != LookOutcome::NoPhone)
                nextLook = std::min(nextLook.value_or(look.next), look.next);
        }
    }

    // ---- the backend thread ----------------------------------------------------------

    void run()
    {
        std::unique_lock lock(stateMutex);
        while (!stopping) {
            const bool wasLost = lost;
            changed = false;
            lost = false;
            lock.unlock();

            bool dropped = wasLost;
            bool connected = false;
            std::optional<Clock::time_point> due;
            {
                std::lock_guard call(callMutex);
                if (device) {
                    const auto present = link->devices(kMotorolaVendorId);
                    if (std::none_of(present.begin(), present.end(),
                                     [&](const UsbDeviceInfo& d) { return d.key == deviceKey; })) {
                        dropDevice();
                        dropped = true;
                    }
                }
                if (!device)
                    findPhone();
                connected = device != nullptr;
                due = nextLook;
            }
            deliver(dropped, connected);

            lock.lock();
            ++scans;
            scannedCv.notify_all();
            const auto woken = [&] { return stopping || changed || lost; };
            if (connected && watching) {
                wake.wait(lock, woken);
            } else {
                // Without a phone the bus is looked at again now and then even when the link
                // reports changes: a look that failed is tried again, and a change may be missed.
                auto until = Clock::now() + milliseconds(options.rescanIntervalMs);
                if (!connected && due)
                    until = std::min(until, *due);
                wake.wait_until(lock, until, woken);
            }
        }
    }

    // Status calls are made here only, so they arrive in order; a phone that left and came
    // back between two looks is reported gone first.
    void deliver(bool dropped, bool connected)
    {
        StatusCallback callback;
        int before = 0;
        {
            std::lock_guard lock(stateMutex);
            callback = status;
            before = reported;
            reported = connected ? 1 : 0;
        }
        if (!callback)
            return;
        if (before == 1 && (dropped || !connected))
            callback(0);
        if (connected && (before == 0 || dropped))
            callback(1);
    }

    // ---- the exchange (callMutex held) -----------------------------------------------

    // True when the step went well; otherwise a diagnostic line, and a device found gone is
    // dropped.
    bool stepDone(uint16_t command, const P2kTransport::Step& step)
    {
        if (step.ok())
            return true;
        if (!step.corrupted.empty())
            diagnostic("P2K reply to command " + hexNumber(command, 4) + ": corrupted reply (" + step.corrupted + ")");
        else if (step.noReply())
            diagnostic("P2K command " + hexNumber(command, 4) + ": no reply within "
                       + std::to_string(options.replyTimeoutMs) + " ms");
        else
            diagnostic("P2K command " + hexNumber(command, 4) + ": " + step.transfer + " " + statusWords(step.status));
        if (step.status == UsbStatus::Gone) {
            dropDevice();
            signal(true);
        }
        return false;
    }

    // Sends a request and, when `replyExpected`, waits for its reply and checks it: the
    // reply's data, or nothing after a diagnostic line.
    std::optional<std::vector<uint8_t>> exchange(uint16_t command, std::span<const uint8_t> payload,
                                                 bool replyExpected = true)
    {
        if (!device || payload.size() > size_t(kMaxPayload))
            return std::nullopt;
        const uint16_t id = packetId;
        packetId = nextPacketId(packetId);
        if (!stepDone(command, transport->send(id, command, payload)))
            return std::nullopt;
        if (!replyExpected)
            return std::vector<uint8_t>();

        const auto deadline = Clock::now() + milliseconds(options.replyTimeoutMs);
        for (;;) {
            std::vector<uint8_t> answer;
            const P2kTransport::Step received = transport->receive(deadline, answer);
            if (!received.ok()) {
                if (received.status != UsbStatus::Gone)
                    abandon(id);
                stepDone(command, received);
                return std::nullopt;
            }
            const ReplyLayout& layout = transport->replyLayout();
            const P2kReply reply = parseReply(answer, id, layout);
            if (reply.ok())
                return std::vector<uint8_t>(reply.data.begin(), reply.data.end());
            // The reply to a request given up on earlier may still come; it is dropped and the
            // wait for this request's reply goes on.
            const auto late = replyPacketId(answer, layout);
            if (late && *late != (id & 0x0FFF) && abandoned.erase(*late)) {
                diagnostic("P2K reply to command " + hexNumber(command, 4)
                           + ": late reply to an earlier request dropped");
                continue;
            }
            diagnostic("P2K reply to command " + hexNumber(command, 4) + ": " + reply.describe());
            return std::nullopt;
        }
    }

    void abandon(uint16_t id)
    {
        if (abandoned.size() >= 16)
            abandoned.clear(); // replies that never came; keep the set small
        abandoned.insert(id);
    }

    int fsacAck(const std::vector<uint8_t>& payload)
    {
        return exchange(kCmdFsac, payload) ? 0 : -1;
    }
};

UsbPhone::UsbPhone(std::unique_ptr<UsbLink> link) : UsbPhone(std::move(link), Options{}) {}

UsbPhone::UsbPhone(std::unique_ptr<UsbLink> link, Options options)
    : impl_(std::make_unique<Impl>(std::move(link), options))
{
}

UsbPhone::~UsbPhone()
{
    Impl& d = *impl_;
    bool watching = false;
    {
        std::lock_guard lock(d.stateMutex);
        d.stopping = true;
        watching = d.watching;
    }
    d.wake.notify_all();
    if (watching)
        d.link->unwatch();
    if (d.thread.joinable())
        d.thread.join();
    std::lock_guard call(d.callMutex);
    if (d.device)
        d.device->release(d.interfaceNumber);
    d.dropDevice();
}

void UsbPhone::setDiagnostics(DiagnosticCallback diagnostics)
{
    std::lock_guard lock(impl_->stateMutex);
    impl_->diagnostics = std::move(diagnostics);
}

void UsbPhone::setNotice(NoticeCallback notice)
{
    std::lock_guard lock(impl_->stateMutex);
    impl_->notice = std::move(notice);
}

const std::string& UsbPhone::startError() const
{
    return impl_->startError;
}

int UsbPhone::P2K_Init(StatusCallback status)
{
    Impl& d = *impl_;
    {
        std::lock_guard lock(d.stateMutex);
        d.status = std::move(status);
        if (d.started)
            return 0;
    }
    {
        std::lock_guard call(d.callMutex);
        std::string error;
        if (!d.link->start(&error)) {
            d.startError = error.empty() ? "USB cannot be used" : error;
            return -1;
        }
    }
    const bool watching = d.link->watch(kMotorolaVendorId, [&d] { d.signal(false); });
    {
        std::lock_guard lock(d.stateMutex);
        d.started = true;
        d.watching = watching;
    }
    d.thread = std::thread([&d] { d.run(); });
    // Returns once the phones already on the bus were looked at, so a phone plugged in
    // before the start is reported (on the backend's thread) by now.
    std::unique_lock lock(d.stateMutex);
    d.scannedCv.wait(lock, [&] { return d.scans > 0; });
    return 0;
}

int UsbPhone::P2K_SendCMD(uint16_t command, const uint8_t* request, int requestLength, uint8_t* reply,
                          int* replyLength)
{
    Impl& d = *impl_;
    const int wanted = replyLength ? *replyLength : 0;
    if (replyLength)
        *replyLength = 0;
    if (requestLength < 0 || requestLength > kMaxPayload || (requestLength > 0 && !request) || wanted < 0
        || (wanted > 0 && !reply))
        return -1;
    std::lock_guard call(d.callMutex);
    const std::span<const uint8_t> payload(request, size_t(requestLength));
    auto data = d.exchange(command, payload);
    if (!data)
        return -1;
    if (command == kCmdFsac && payload.size() >= 4) {
        const uint32_t subcommand = readBE32(payload.data());
        // The phone names its volumes ("/a" 0xFFFE ...); the library's reply holds one 6-byte
        // record a volume with the letter at byte 3.
        if (subcommand == kFsacVolumes)
            *data = renderVolumeList(parseVolumeList(*data));
        // A seek answers a failure with one byte instead of an empty acknowledgement.
        if (subcommand == kFsacSeek && data->size() == 1) {
            d.diagnostic("P2K reply to command " + hexNumber(command, 4) + ": seek refused");
            return -1;
        }
    }
    const size_t n = std::min(data->size(), size_t(wanted));
    std::copy_n(data->begin(), n, reply);
    if (replyLength)
        *replyLength = int(n);
    return 0;
}

int UsbPhone::P2K_Restart()
{
    std::lock_guard call(impl_->callMutex);
    // The phone drops off the bus at once; a reply may never come and is not waited for.
    return impl_->exchange(kCmdRestart, {}, false) ? 0 : -1;
}

int UsbPhone::File_Create(const std::string& path, int attributes)
{
    if (attributes < 0)
        return -1;
    std::vector<uint8_t> payload = fsacRequest(kFsacOpen);
    append32(payload, uint32_t(attributes), ByteOrder::Big);
    appendPath(payload, path);
    std::lock_guard call(impl_->callMutex);
    return impl_->fsacAck(payload);
}

int UsbPhone::File_Close()
{
    std::lock_guard call(impl_->callMutex);
    return impl_->fsacAck(fsacRequest(kFsacClose));
}

int UsbPhone::File_Delete(const std::string& path)
{
    std::vector<uint8_t> payload = fsacRequest(kFsacDelete);
    appendPath(payload, path);
    std::lock_guard call(impl_->callMutex);
    return impl_->fsacAck(payload);
}

int UsbPhone::File_CreateDir(const std::string& path, int)
{
    std::vector<uint8_t> payload = fsacRequest(kFsacCreateDir);
    append32(payload, kFolderAttributes, ByteOrder::Big);
    appendPath(payload, path);
    std::lock_guard call(impl_->callMutex);
    return impl_->fsacAck(payload);
}

int UsbPhone::File_DeleteDir(const std::string& path)
{
    std::vector<uint8_t> payload = fsacRequest(kFsacDeleteDir);
    append32(payload, kFolderAttributes, ByteOrder::Big);
    appendPath(payload, path);
    std::lock_guard call(impl_->callMutex);
    return impl_->fsacAck(payload);
}

int UsbPhone::File_CountEx(const std::string& pattern)
{
    Impl& d = *impl_;
    std::lock_guard call(d.callMutex);
    d.listingCounted = false;
    const auto payload = renderCountRequest(pattern.substr(0, pattern.find('\0')));
    if (!payload)
        return -1;
    const auto data = d.exchange(kCmdFsac, *payload);
    if (!data)
        return -1;
    const int count = parseCountAnswer(*data);
    d.listingCounted = count >= 0;
    d.listingLeft = std::max(count, 0);
    return count;
}

int UsbPhone::File_ListEx(uint8_t* entries, int count, ProgressCallback progress)
{
    Impl& d = *impl_;
    if (count < 0 || (count > 0 && !entries))
        return -1;
    std::lock_guard call(d.callMutex);
    if (!d.listingCounted || !d.device)
        return -1;
    d.listingCounted = false;
    std::vector<uint8_t> next = fsacRequest(kFsacListNext);
    next.push_back(kListNextArgument);
    // Never asked past the counted entries: a chunk there carries nothing.
    const int wanted = std::min(count, d.listingLeft);
    int filled = 0;
    int result = 0;
    while (filled < wanted) {
        const auto data = d.exchange(kCmdFsac, next);
        if (data && data->empty())
            break;
        const auto chunk =
            data ? parseListChunk(*data) : Result<std::vector<PhoneFileEntry>>(Error(ErrorKind::PhoneGone, ""));
        if (!chunk) {
            if (data)
                d.diagnostic("P2K reply to command " + hexNumber(kCmdFsac, 4) + ": " + chunk.error());
            result = -1;
            break;
        }
        if (chunk->empty())
            break;
        for (const auto& entry : *chunk) {
            if (filled == wanted)
                break;
            renderFileListEntry(entry, std::span<uint8_t, kFileListEntrySize>(
                                           entries + size_t(filled) * kFileListEntrySize, kFileListEntrySize));
            ++filled;
        }
        if (progress)
            progress(0, filled, count);
    }
    if (count > 0)
        std::fill(entries + size_t(filled) * kFileListEntrySize, entries + size_t(count) * kFileListEntrySize,
                  uint8_t(0));
    return result;
}

int UsbPhone::Seem_Read(int seem, int record, int offset, int length, uint8_t* buffer, int capacity)
{
    Impl& d = *impl_;
    const auto inRange = [](int v) { return v >= 0 && v <= 0xFFFF; };
    if (!inRange(seem) || !inRange(record) || !inRange(offset) || !inRange(length) || !buffer || capacity < 0)
        return -1;
    std::vector<uint8_t> payload;
    for (const int v : {seem, record, offset, length})
        append16(payload, uint16_t(v), ByteOrder::Big);
    std::lock_guard call(d.callMutex);
    const auto data = d.exchange(kCmdSeemRead, payload);
    if (!data || data->empty())
        return -1;
    if ((*data)[0] != 0) {
        d.diagnostic("SEEM " + hexNumber(unsigned(seem), 4) + " record " + hexNumber(unsigned(record), 4)
                     + ": read status " + std::to_string((*data)[0]));
        return -1;
    }
    const size_t size = data->size() - 1;
    if (size > size_t(capacity))
        return -1;
    std::copy(data->begin() + 1, data->end(), buffer);
    return int(size);
}

int UsbPhone::Seem_Write(int seem, int record, int offset, int count, const uint8_t* buffer)
{
    Impl& d = *impl_;
    const auto inRange = [](int v) { return v >= 0 && v <= 0xFFFF; };
    if (!inRange(seem) || !inRange(record) || !inRange(offset) || count < 0 || count > kMaxPayload - 8
        || (count > 0 && !buffer))
        return -1;
    std::vector<uint8_t> payload;
    for (const int v : {seem, record, offset, count})
        append16(payload, uint16_t(v), ByteOrder::Big);
    if (count > 0)
        payload.insert(payload.end(), buffer, buffer + count);
    std::lock_guard call(d.callMutex);
    const auto data = d.exchange(kCmdSeemWrite, payload);
    if (!data)
        return -1;
    // The reply's first byte is the status; an acknowledgement without data is success.
    if (!data->empty() && (*data)[0] != 0) {
        d.diagnostic("SEEM " + hexNumber(unsigned(seem), 4) + " record " + hexNumber(unsigned(record), 4)
                     + ": write status " + std::to_string((*data)[0]));
        return -1;
    }
    return 0;
}

} // namespace tessaro
