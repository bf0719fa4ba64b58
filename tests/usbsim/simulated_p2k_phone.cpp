#include "usbsim/simulated_p2k_phone.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/bytes.h"
#include "p2k/file_list_entry.h"
#include "p2k/p2k_framing.h"
#include "p2k/virtual_phone.h"

namespace tessaro::testing {

namespace {

constexpr uint16_t kP2kProductId = 0x4901;
constexpr uint16_t kAtProductId = 0x4902;
constexpr uint8_t kStandardIn = 0x80;
constexpr uint8_t kGetDescriptor = 0x06;
constexpr uint8_t kVendorOut = 0x41;
constexpr uint8_t kVendorIn = 0xC1;
constexpr uint8_t kBulkIn = 0x84;
constexpr uint8_t kBulkOut = 0x04;
// Error classes of refused requests.
constexpr int kWrongDataLength = 0;
constexpr int kInvalidOpcode = 4;
constexpr int kInvalidParameter = 5;
constexpr int kGenericFailure = 7;
// What a phone answers to a read at or past the end is not known; a refusal is the worst case.
constexpr int kPastTheEnd = kGenericFailure;
constexpr size_t kReplyBuffer = 0x10000;
const std::string kModeSwitch = "AT+MODE=8\r\n";

// String descriptor indexes.
enum : uint8_t { kManufacturer = 1, kProduct, kCommunication, kData, kTestCommand };

const char* stringOf(int index)
{
    switch (index) {
    case kManufacturer: return "Motorola Inc.";
    case kProduct: return "Motorola Phone";
    case kCommunication: return "Motorola Communication Interface";
    case kData: return "Motorola Data Interface";
    case kTestCommand: return "Motorola Test Command";
    default: return nullptr;
    }
}

struct InterfaceLayout {
    int number;
    int interfaceClass;
    uint8_t stringIndex;
    std::vector<uint8_t> endpoints;
};

std::vector<InterfaceLayout> layoutOf(const SimulatedPhoneOptions& options)
{
    // An AT-mode phone is a CDC ACM modem; a P2K-mode one keeps the modem interfaces in front
    // of its test command interface and fills the numbers between with vendor interfaces.
    std::vector<InterfaceLayout> out;
    if (options.notAPhone)
        return {{0, 0xFF, 0, {}}};
    const int last = options.atMode ? 1 : std::max(options.testCommandInterface, 0);
    for (int n = 0; n <= last; ++n) {
        if (!options.atMode && n == last)
            out.push_back({n, 0xFF, kTestCommand, options.bulk ? std::vector<uint8_t>{kBulkIn, kBulkOut}
                                                                : std::vector<uint8_t>{}});
        else if (n == 0)
            out.push_back({n, 0x02, kCommunication, {0x81}});
        else if (n == 1)
            out.push_back({n, 0x0A, kData, {0x82, 0x02}});
        else
            out.push_back({n, 0xFF, 0, {}});
    }
    return out;
}

std::string pathOf(std::span<const uint8_t> bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t(0));
    return std::string(bytes.begin(), end);
}

} // namespace

const std::vector<PhoneKind>& phoneKinds()
{
    static const std::vector<PhoneKind> kinds = {
        {"Classic5", {.testCommandInterface = 5}},
        {"Classic8", {.testCommandInterface = 8}},
        {"Bulk", {.testCommandInterface = 8, .bulk = true}},
    };
    return kinds;
}

PhoneStorage::PhoneStorage(VirtualPhone& phone) : phone(phone), api(phone) {}

PhoneStorage::PhoneStorage(VirtualPhone& phone, P2kApi& api) : phone(phone), api(api) {}

SimulatedP2kPhone::SimulatedP2kPhone(PhoneStorage storage, SimulatedPhoneOptions options)
    : storage_(storage), options_(options)
{
    storage_.phone.plug();
}

uint16_t SimulatedP2kPhone::vendorId() const
{
    return kMotorolaVendorId;
}

uint16_t SimulatedP2kPhone::productId() const
{
    return options_.atMode ? kAtProductId : kP2kProductId;
}

std::vector<uint8_t> SimulatedP2kPhone::descriptors() const
{
    std::vector<uint8_t> d = {18, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 64};
    append16(d, vendorId(), ByteOrder::Little);
    append16(d, productId(), ByteOrder::Little);
    append16(d, 0x0001, ByteOrder::Little);
    d.insert(d.end(), {kManufacturer, kProduct, 0, 1});

    const auto layout = layoutOf(options_);
    std::vector<uint8_t> body;
    for (const auto& i : layout) {
        body.insert(body.end(), {9, 0x04, uint8_t(i.number), 0, uint8_t(i.endpoints.size()),
                                 uint8_t(i.interfaceClass), 0, 0, i.stringIndex});
        for (const uint8_t e : i.endpoints) {
            const uint8_t type = i.interfaceClass == 0x02 ? 0x03 : 0x02; // interrupt / bulk
            body.insert(body.end(), {7, 0x05, e, type, 64, 0, uint8_t(type == 0x03 ? 16 : 0)});
        }
    }
    std::vector<uint8_t> config = {9, 0x02};
    append16(config, uint16_t(9 + body.size()), ByteOrder::Little);
    config.insert(config.end(), {uint8_t(layout.size()), 1, 0, 0x80, 250});
    d.insert(d.end(), config.begin(), config.end());
    d.insert(d.end(), body.begin(), body.end());
    return d;
}

std::vector<UsbInterfaceInfo> SimulatedP2kPhone::interfaces() const
{
    std::vector<UsbInterfaceInfo> out;
    for (const auto& i : layoutOf(options_)) {
        const char* name = stringOf(i.stringIndex);
        UsbInterfaceInfo info{i.number, i.interfaceClass, name ? name : ""};
        for (const uint8_t e : i.endpoints)
            info.endpoints.push_back({e, i.interfaceClass == 0x02 ? UsbEndpointType::Interrupt : UsbEndpointType::Bulk});
        out.push_back(std::move(info));
    }
    return out;
}

std::vector<uint8_t> SimulatedP2kPhone::stringDescriptor(int index, uint16_t wLength) const
{
    std::vector<uint8_t> d;
    if (index == 0) {
        d = {4, 0x03, 0x09, 0x04}; // English (US)
    } else if (const char* text = stringOf(index)) {
        d = {0, 0x03};
        for (const char* c = text; *c; ++c)
            append16(d, uint8_t(*c), ByteOrder::Little);
        d[0] = uint8_t(d.size());
    }
    d.resize(std::min(d.size(), size_t(wLength)));
    return d;
}

SimulatedP2kPhone::Answer SimulatedP2kPhone::control(const UsbSetup& setup,
                                                     std::span<const uint8_t> out, uint16_t wLength)
{
    std::lock_guard lock(mutex_);
    if (gone_)
        return {UsbStatus::Gone};
    if (setup.requestType == kStandardIn && setup.request == kGetDescriptor && (setup.value >> 8) == 0x03) {
        auto d = stringDescriptor(setup.value & 0xFF, wLength);
        if (d.empty() || refuseStrings_)
            return {UsbStatus::Stall};
        const int n = int(d.size());
        return {UsbStatus::Ok, std::move(d), n};
    }
    // The P2K vendor requests go to the test command interface of a classic phone only.
    if (options_.atMode || options_.bulk || setup.index != options_.testCommandInterface)
        return {UsbStatus::Stall};
    if (setup.requestType == kVendorOut && setup.request == 0x02)
        return answerSend(out);
    if (setup.requestType == kVendorIn && setup.request == 0x00)
        return answerPoll(wLength);
    if (setup.requestType == kVendorIn && setup.request == 0x01 && setup.value == 1)
        return answerRead(wLength);
    return {UsbStatus::Stall};
}

SimulatedP2kPhone::Answer SimulatedP2kPhone::bulk(uint8_t endpoint, std::span<const uint8_t> out,
                                                  int inLength)
{
    std::lock_guard lock(mutex_);
    if (gone_)
        return {UsbStatus::Gone};
    if (options_.bulk && !options_.atMode) {
        if (endpoint == kBulkOut)
            return answerSend(out);
        if (endpoint == kBulkIn)
            return answerBulkRead(inLength);
        return {UsbStatus::Stall};
    }
    if (!options_.atMode)
        return {UsbStatus::Stall};
    if (endpoint == 0x02) {
        if (std::string(out.begin(), out.end()) == kModeSwitch)
            wantsModeSwitch_ = true;
        return {UsbStatus::Ok, {}, int(out.size())};
    }
    if (endpoint == 0x82) {
        (void)inLength;
        return {UsbStatus::Timeout}; // the modem has nothing to say
    }
    return {UsbStatus::Stall};
}

SimulatedP2kPhone::Answer SimulatedP2kPhone::answerSend(std::span<const uint8_t> out)
{
    if (goneCountdown_ > 0 && --goneCountdown_ == 0) {
        gone_ = true;
        return {UsbStatus::Gone};
    }
    const RequestLayout& requestLayout = options_.bulk ? kBulkRequest : kClassicRequest;
    const ReplyLayout& replyLayout = options_.bulk ? kBulkReply : kClassicReply;
    const auto parsed = parseRequest(out, requestLayout);
    if (!parsed)
        return {UsbStatus::Stall};
    SimulatedRequest request;
    request.packetId = parsed->id;
    request.command = parsed->command;
    request.payload.assign(parsed->payload.begin(), parsed->payload.end());
    requests_.push_back(request);
    const int sent = int(out.size());

    const auto fault = takeFault(request.command);
    if (fault && fault->kind == SimulatedFault::Kind::Stall)
        return {UsbStatus::Stall};
    if (fault && fault->kind == SimulatedFault::Kind::PollStall)
        pollStall_ = true;
    if (fault && fault->kind == SimulatedFault::Kind::GoneAfterSend) {
        gone_ = true;
        return {UsbStatus::Ok, {}, sent};
    }

    Outcome outcome;
    if (parsed->lengthMismatch)
        outcome.errorClass = kWrongDataLength;
    else if (parsed->reservedSet || parsed->idTooWide)
        outcome.errorClass = kInvalidParameter;
    else
        outcome = execute(request);
    if (!outcome.reply || (fault && fault->kind == SimulatedFault::Kind::NoReply))
        return {UsbStatus::Ok, {}, sent};

    uint16_t id = request.packetId;
    if (fault && fault->kind == SimulatedFault::Kind::WrongId)
        id = uint16_t(id + fault->value);
    if (fault && fault->kind == SimulatedFault::Kind::ErrorClass) {
        outcome.errorClass = fault->value;
        outcome.data.clear();
    }
    std::vector<uint8_t> answer = renderReply(id, outcome.data, outcome.errorClass, replyLayout);
    // The poll announces the P2K reply: what follows the 6 bytes of the transfer.
    const uint16_t size = uint16_t(answer.size() - 6);
    if (fault && fault->kind == SimulatedFault::Kind::WrongCount)
        put16(&answer[size_t(replyLayout.dataLengthOffset)], uint16_t(fault->value), ByteOrder::Big);
    if (fault && fault->kind == SimulatedFault::Kind::Truncate)
        answer.resize(std::min(answer.size(), size_t(std::max(fault->value, 0))));
    if (fault && fault->kind == SimulatedFault::Kind::ReplaceBytes)
        answer = fault->bytes;
    pending_.push_back({std::chrono::steady_clock::now() + options_.replyDelay,
                        fault && fault->kind == SimulatedFault::Kind::ReplaceBytes
                            ? uint16_t(std::max<size_t>(answer.size(), 6) - 6) : size,
                        std::move(answer)});
    return {UsbStatus::Ok, {}, sent};
}

SimulatedP2kPhone::Answer SimulatedP2kPhone::answerPoll(uint16_t wLength)
{
    if (pollStall_) {
        pollStall_ = false;
        return {UsbStatus::Stall};
    }
    const auto now = std::chrono::steady_clock::now();
    const auto ready = std::count_if(pending_.begin(), pending_.end(),
                                     [&](const Pending& p) { return p.readyAt <= now; });
    std::vector<uint8_t> answer = ready && pending_.front().readyAt <= now
        ? renderPollAnswer(uint16_t(ready), pending_.front().size) : renderPollAnswer(0, 0);
    answer.resize(std::min(answer.size(), size_t(wLength)));
    const int n = int(answer.size());
    return {UsbStatus::Ok, std::move(answer), n};
}

SimulatedP2kPhone::Answer SimulatedP2kPhone::answerRead(uint16_t wLength)
{
    if (pending_.empty() || pending_.front().readyAt > std::chrono::steady_clock::now())
        return {UsbStatus::Ok, {}, 0};
    std::vector<uint8_t> answer = std::move(pending_.front().answer);
    pending_.pop_front();
    answer.resize(std::min(answer.size(), size_t(wLength)));
    const int n = int(answer.size());
    return {UsbStatus::Ok, std::move(answer), n};
}

SimulatedP2kPhone::Answer SimulatedP2kPhone::answerBulkRead(int inLength)
{
    if (pollStall_) {
        pollStall_ = false;
        return {UsbStatus::Stall};
    }
    if (pending_.empty() || pending_.front().readyAt > std::chrono::steady_clock::now())
        return {UsbStatus::Timeout};
    auto& front = pending_.front().answer;
    const size_t n = std::min(front.size(), size_t(std::max(inLength, 0)));
    std::vector<uint8_t> answer(front.begin(), front.begin() + std::ptrdiff_t(n));
    front.erase(front.begin(), front.begin() + std::ptrdiff_t(n));
    if (front.empty())
        pending_.pop_front();
    return {UsbStatus::Ok, std::move(answer), int(n)};
}

SimulatedP2kPhone::Outcome SimulatedP2kPhone::execute(const SimulatedRequest& request)
{
    const auto& p = request.payload;
    switch (request.command) {
    case kCmdFsac:
        return fsac(p);
    case kCmdVersion: {
        std::vector<uint8_t> reply(kReplyBuffer);
        int wanted = int(reply.size());
        if (storage_.api.P2K_SendCMD(kCmdVersion, p.data(), int(p.size()), reply.data(), &wanted) == -1)
            return {{}, kGenericFailure};
        reply.resize(size_t(wanted));
        return {std::move(reply)};
    }
    case kCmdSeemRead: {
        if (p.size() != 8)
            return {{}, kWrongDataLength};
        std::vector<uint8_t> reply(1 + size_t(kSeemBufferSize));
        const int n = storage_.api.Seem_Read(readBE16(&p[0]), readBE16(&p[2]), readBE16(&p[4]),
                                         readBE16(&p[6]), reply.data() + 1, kSeemBufferSize);
        if (n < 0)
            return {{1}};
        reply.resize(1 + size_t(n));
        reply[0] = 0;
        return {std::move(reply)};
    }
    case kCmdSeemWrite: {
        if (p.size() < 8 || readBE16(&p[6]) != p.size() - 8)
            return {{}, kWrongDataLength};
        const int rc = storage_.api.Seem_Write(readBE16(&p[0]), readBE16(&p[2]), readBE16(&p[4]),
                                           readBE16(&p[6]), p.data() + 8);
        return {{uint8_t(rc == 0 ? 0 : 1)}};
    }
    case kCmdRestart:
        storage_.api.P2K_Restart();
        restarted_ = true;
        pending_.clear();
        return {{}, std::nullopt, false};
    default:
        return {{}, kInvalidOpcode};
    }
}

SimulatedP2kPhone::Outcome SimulatedP2kPhone::fsac(std::span<const uint8_t> payload)
{
    if (payload.size() < 4)
        return {{}, kWrongDataLength};
    const auto arguments = payload.subspan(4);
    auto ack = [](int rc) { return rc == -1 ? Outcome{{}, kGenericFailure} : Outcome{}; };
    switch (readBE32(payload.data())) {
    case kFsacOpen: {
        if (payload.size() < 8)
            return {{}, kWrongDataLength};
        const std::string path = pathOf(payload.subspan(8));
        openFile_.reset();
        const Outcome opened = forwardFsac(payload);
        if (!opened.errorClass)
            openFile_ = OpenFile{path};
        return opened;
    }
    case kFsacSeek:
        if (openFile_ && arguments.size() >= 5) {
            const uint64_t offset = readBE32(arguments.data());
            switch (arguments[4]) {
            case 0: openFile_->position = offset; break;
            case 1: openFile_->position += offset; break;
            case 2: openFile_->position = openFileSize() + offset; break;
            default: break;
            }
        }
        return forwardFsac(payload);
    case kFsacRead:
    case kFsacWrite:
        return fileBlock(readBE32(payload.data()), payload);
    case kFsacClose:
        openFile_.reset();
        return forwardFsac(payload);
    case kFsacDelete:
        return ack(storage_.api.File_Delete(pathOf(arguments)));
    case kFsacCreateDir:
    case kFsacDeleteDir: {
        if (arguments.size() < 4 || readBE32(arguments.data()) != kFolderAttributes)
            return {{}, 5}; // invalid parameter
        const std::string path = pathOf(arguments.subspan(4));
        return ack(readBE32(payload.data()) == kFsacCreateDir ? storage_.api.File_CreateDir(path, 0)
                                                             : storage_.api.File_DeleteDir(path));
    }
    case kFsacCount:
        return count(arguments);
    case kFsacListNext:
        return listChunk();
    case kFsacVolumes: {
        // The virtual phone answers with the library's records (letter at byte 3); the phone
        // itself sends its volume names.
        std::vector<uint8_t> records(128);
        int wanted = int(records.size());
        const uint8_t request[4] = {0, 0, 0, uint8_t(kFsacVolumes)};
        if (storage_.api.P2K_SendCMD(kCmdFsac, request, 4, records.data(), &wanted) == -1)
            return {{}, kGenericFailure};
        std::vector<char> letters;
        for (int j = 0; j + 6 <= wanted; j += 6)
            letters.push_back(char(records[size_t(j) + 3]));
        return {renderVolumeList(letters)};
    }
    default:
        return forwardFsac(payload);
    }
}

SimulatedP2kPhone::Outcome SimulatedP2kPhone::forwardFsac(std::span<const uint8_t> payload)
{
    std::vector<uint8_t> reply(kReplyBuffer);
    int wanted = int(reply.size());
    if (storage_.api.P2K_SendCMD(kCmdFsac, payload.data(), int(payload.size()), reply.data(), &wanted) == -1)
        return {{}, kGenericFailure};
    reply.resize(size_t(wanted));
    return {std::move(reply)};
}

SimulatedP2kPhone::Outcome SimulatedP2kPhone::fileBlock(uint32_t subcommand, std::span<const uint8_t> payload)
{
    if (payload.size() < 8)
        return {{}, kWrongDataLength};
    const uint32_t count = readBE32(payload.data() + 4);
    if (count > kMaxFileBlock)
        return {{}, kInvalidParameter};
    if (subcommand == kFsacRead && openFile_ && openFile_->position >= openFileSize())
        return {{}, kPastTheEnd};
    Outcome outcome = forwardFsac(payload);
    if (openFile_ && !outcome.errorClass)
        openFile_->position += subcommand == kFsacRead ? outcome.data.size() : count;
    return outcome;
}

uint64_t SimulatedP2kPhone::openFileSize() const
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(storage_.phone.resolve(openFile_->path), ec);
    return ec ? 0 : size;
}

SimulatedP2kPhone::Outcome SimulatedP2kPhone::count(std::span<const uint8_t> arguments)
{
    listing_.clear();
    listingNext_ = 0;
    const auto pattern = parseCountRequest(arguments);
    if (pattern && !pattern->terminated)
        return {{}, kInvalidParameter};
    const int n = pattern ? storage_.api.File_CountEx(pattern->pattern) : -1;
    std::vector<uint8_t> answer;
    if (n > 0) {
        std::vector<uint8_t> entries(size_t(n) * kFileListEntrySize);
        if (storage_.api.File_ListEx(entries.data(), n, nullptr) == -1)
            return {{0xFF, 0xFF}};
        for (int i = 0; i < n; ++i)
            listing_.push_back(parseFileListEntry(std::span(entries).subspan(size_t(i) * kFileListEntrySize, 512)));
    }
    append16(answer, uint16_t(n < 0 ? 0xFFFF : std::min(n, 0xFFFE)), ByteOrder::Big);
    return {std::move(answer)};
}

SimulatedP2kPhone::Outcome SimulatedP2kPhone::listChunk()
{
    // Past the counted entries a chunk carries no data.
    if (listingNext_ >= listing_.size())
        return {};
    const size_t n = std::min(listing_.size() - listingNext_, size_t(std::max(options_.listEntriesPerChunk, 1)));
    const auto chunk = std::span(listing_).subspan(listingNext_, n);
    listingNext_ += n;
    return {renderListChunk(chunk, options_.listRecordSize)};
}

std::optional<SimulatedFault> SimulatedP2kPhone::takeFault(uint16_t command)
{
    const auto it = std::find_if(faults_.begin(), faults_.end(), [&](const SimulatedFault& f) {
        return f.command == 0 || f.command == command;
    });
    if (it == faults_.end())
        return std::nullopt;
    SimulatedFault fault = std::move(*it);
    faults_.erase(it);
    return fault;
}

void SimulatedP2kPhone::refuseStrings(bool refuse)
{
    std::lock_guard lock(mutex_);
    refuseStrings_ = refuse;
}

bool SimulatedP2kPhone::refusesStrings() const
{
    std::lock_guard lock(mutex_);
    return refuseStrings_;
}

bool SimulatedP2kPhone::wantsModeSwitch() const
{
    std::lock_guard lock(mutex_);
    return wantsModeSwitch_;
}

void SimulatedP2kPhone::injectFault(SimulatedFault fault)
{
    std::lock_guard lock(mutex_);
    faults_.push_back(std::move(fault));
}

void SimulatedP2kPhone::goneAfterRequests(int n)
{
    std::lock_guard lock(mutex_);
    goneCountdown_ = std::max(n, 1);
}

void SimulatedP2kPhone::pullOut()
{
    std::lock_guard lock(mutex_);
    gone_ = true;
}

bool SimulatedP2kPhone::gone() const
{
    std::lock_guard lock(mutex_);
    return gone_;
}

bool SimulatedP2kPhone::restarted() const
{
    std::lock_guard lock(mutex_);
    return restarted_;
}

std::vector<SimulatedRequest> SimulatedP2kPhone::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void SimulatedP2kPhone::clearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

} // namespace tessaro::testing
