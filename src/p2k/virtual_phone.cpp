#include "p2k/virtual_phone.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "core/bytes.h"
#include "core/replacing_file.h"
#include "p2k/file_list_entry.h"
#include "p2k/p2k_framing.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// Longest firmware text a VERSION reply can carry: its length byte counts 4 more.
constexpr size_t kMaxFirmware = 255 - 4;
// Longest model whose record (16-bit units plus the ending unit) fits a SEEM buffer.
constexpr size_t kMaxModel = kSeemBufferSize / 2 - 1;
// The volume reply holds 128 bytes, 6 per volume.
constexpr size_t kMaxVolumes = 21;
constexpr int kVolumeRecord = 6;
constexpr uint32_t kMaxBlock = 0x400;   // the most one FSAC read or write moves
// File_ListEx reports its progress every few entries, as a library reading them in packets.
constexpr int kListPacket = 8;

bool isVolumeLetter(const std::string& name)
{
    return name.size() == 1 && name[0] >= 'a' && name[0] <= 'z';
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// '*' any run of characters, '?' any one; letters match in either case.
bool globMatch(const std::string& glob, const std::string& name)
{
    size_t g = 0, n = 0, starG = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (g < glob.size() && glob[g] == '*') {
            starG = g++;
            starN = n;
        } else if (g < glob.size() && (glob[g] == '?' || lowerAscii(glob[g]) == lowerAscii(name[n]))) {
            ++g;
            ++n;
        } else if (starG != std::string::npos) {
            g = starG + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*')
        ++g;
    return g == glob.size();
}

std::optional<std::vector<uint8_t>> readWholeFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return bytes;
}

std::string hex4(int value, bool upper)
{
    return hexDigits(uint32_t(value), 4, upper);
}

} // namespace

int64_t PhoneRequest::fsacSubcommand() const
{
    if (call != PhoneCall::SendCmd || command != kCmdFsac || bytes.size() < 4)
        return -1;
    return readBE32(bytes.data());
}

// ---- identity ---------------------------------------------------------------------------

Result<PhoneIdentity> PhoneIdentity::parse(const std::string& text)
{
    using nlohmann::json;
    const json doc = json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object())
        return Error{"phone.json: not a JSON object"};

    PhoneIdentity id;
    auto textField = [&](const char* key, std::string& out, size_t maxLength) -> Status {
        const auto it = doc.find(key);
        if (it == doc.end() || !it->is_string())
            return Error{std::string("phone.json: \"") + key + "\" must be a string"};
        out = it->get<std::string>();
        if (out.find('\0') != std::string::npos)
            return Error{std::string("phone.json: \"") + key + "\" holds a zero character"};
        if (out.size() > maxLength)
            return Error{std::string("phone.json: \"") + key + "\" is longer than "
                         + std::to_string(maxLength) + " bytes"};
        return Status::success();
    };
    if (Status s = textField("model", id.model, kMaxModel); !s)
        return Error{s.error()};
    if (Status s = textField("firmware", id.firmware, kMaxFirmware); !s)
        return Error{s.error()};
    if (Status s = textField("imei", id.imei, 15); !s)
        return Error{s.error()};
    if (id.imei.size() != 15
        || !std::all_of(id.imei.begin(), id.imei.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return Error{"phone.json: \"imei\" must be 15 digits"};

    const auto lp = doc.find("lp");
    if (lp == doc.end() || !lp->is_number_integer())
        return Error{"phone.json: \"lp\" must be a whole number"};
    const bool inRange = lp->is_number_unsigned() ? lp->get<uint64_t>() <= 0xFFFF
                                                  : lp->get<int64_t>() >= 0 && lp->get<int64_t>() <= 0xFFFF;
    if (!inRange)
        return Error{"phone.json: \"lp\" must lie between 0 and 65535"};
    id.lp = uint16_t(lp->get<int64_t>());
    return id;
}

std::vector<uint8_t> PhoneIdentity::modelRecord() const
{
    std::vector<uint8_t> record;
    for (const char c : model)
        append16(record, uint8_t(c), ByteOrder::Big);
    append16(record, 0, ByteOrder::Big);
    return record;
}

std::vector<uint8_t> PhoneIdentity::imeiRecord() const
{
    auto d = [&](int i) { return uint8_t(imei[i] - '0'); };
    std::vector<uint8_t> record(9);
    record[0] = 0x08;                      // digits that follow, as the phone stores it
    record[1] = uint8_t(d(0) << 4 | 0x0A); // first digit in the high nibble
    for (int k = 2; k <= 7; ++k)           // two digits per byte, low nibble first
        record[k] = uint8_t(d(2 * k - 2) << 4 | d(2 * k - 3));
    record[8] = uint8_t(d(14) << 4 | d(13));
    return record;
}

std::vector<uint8_t> PhoneIdentity::firmwareReply() const
{
    std::vector<uint8_t> reply(5 + firmware.size(), 0);
    reply[0] = uint8_t(4 + firmware.size());
    std::copy(firmware.begin(), firmware.end(), reply.begin() + 5);
    return reply;
}

std::vector<uint8_t> PhoneIdentity::lpReply() const
{
    return {0x00, uint8_t(lp >> 8), uint8_t(lp), 0x00};
}

// ---- life cycle -------------------------------------------------------------------------

Result<std::unique_ptr<VirtualPhone>> VirtualPhone::open(const fs::path& dir)
{
    return open(dir, Options{});
}

Result<std::unique_ptr<VirtualPhone>> VirtualPhone::open(const fs::path& dir, Options options)
{
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return Error{"Virtual phone folder not found: " + dir.string()};
    const auto json = readWholeFile(dir / "phone.json");
    if (!json)
        return Error{"Cannot read " + (dir / "phone.json").string()};
    auto identity = PhoneIdentity::parse(std::string(json->begin(), json->end()));
    if (!identity)
        return Error{identity.error()};
    std::unique_ptr<VirtualPhone> phone(new VirtualPhone(dir, std::move(identity).value(), options));
    if (Status s = phone->loadAttributes(); !s)
        return Error{s.error()};
    return phone;
}

VirtualPhone::VirtualPhone(fs::path dir, PhoneIdentity identity, Options options)
    : dir_(std::move(dir)), identity_(std::move(identity)), options_(options)
{
    if (options_.callbackThread)
        thread_ = std::thread([this] { callbackLoop(); });
}

VirtualPhone::~VirtualPhone()
{
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
}

// ---- status calls -----------------------------------------------------------------------

void VirtualPhone::notify(int connected)
{
    pending_.push_back(connected);
}

void VirtualPhone::deliverPending()
{
    std::unique_lock lock(mutex_);
    if (!status_) {
        pending_.clear();
        return;
    }
    if (options_.callbackThread) {
        queue_.insert(queue_.end(), pending_.begin(), pending_.end());
        pending_.clear();
        lock.unlock();
        wake_.notify_all();
        return;
    }
    // Delivered one by one without the lock: the receiver calls back into the phone.
    while (!pending_.empty()) {
        const int connected = pending_.front();
        pending_.pop_front();
        const StatusCallback status = status_;
        lock.unlock();
        status(connected);
        lock.lock();
    }
}

void VirtualPhone::callbackLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        const int connected = queue_.front();
        queue_.pop_front();
        delivering_ = true;
        const StatusCallback status = status_;
        lock.unlock();
        if (status)
            status(connected);
        lock.lock();
        delivering_ = false;
        idle_.notify_all();
    }
}

void VirtualPhone::waitForCallbacks()
{
    std::unique_lock lock(mutex_);
    if (!options_.callbackThread)
        return;
    idle_.wait(lock, [&] { return queue_.empty() && !delivering_; });
}

void VirtualPhone::plug()
{
    {
        std::lock_guard lock(mutex_);
        if (plugged_)
            return;
        plugged_ = true;
        notify(1);
    }
    deliverPending();
}

void VirtualPhone::unplug()
{
    {
        std::lock_guard lock(mutex_);
        if (!plugged_)
            return;
        plugged_ = false;
        open_.reset();
        pendingAttributes_.reset();
        countedValid_ = false;
        notify(0);
    }
    deliverPending();
}

bool VirtualPhone::isPlugged() const
{
    std::lock_guard lock(mutex_);
    return plugged_;
}

// ---- recording and traps ----------------------------------------------------------------

void VirtualPhone::addTrap(PhoneCall call, int nth, TrapAction action,
                           std::optional<uint32_t> fsacSubcommand)
{
    std::lock_guard lock(mutex_);
    traps_.push_back({call, std::max(nth, 1), action, fsacSubcommand});
}

void VirtualPhone::clearTraps()
{
    std::lock_guard lock(mutex_);
    traps_.clear();
}

std::vector<PhoneRequest> VirtualPhone::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void VirtualPhone::clearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

void VirtualPhone::setRecording(bool on)
{
    std::lock_guard lock(mutex_);
    recording_ = on;
}

bool VirtualPhone::enter(PhoneRequest& request)
{
    if (!plugged_)
        return true;
    bool fail = false;
    bool pull = false;
    for (auto it = traps_.begin(); it != traps_.end();) {
        const bool matches = it->call == request.call
            && (!it->subcommand || request.fsacSubcommand() == int64_t(*it->subcommand));
        if (matches && --it->remaining == 0) {
            fail = true;
            pull = pull || it->action == TrapAction::Unplug;
            it = traps_.erase(it);
        } else {
            ++it;
        }
    }
    if (pull) {
        plugged_ = false;
        open_.reset();
        pendingAttributes_.reset();
        countedValid_ = false;
        notify(0);
    }
    return fail;
}

void VirtualPhone::finish(PhoneRequest& request, int result)
{
    request.result = result;
    if (recording_)
        requests_.push_back(std::move(request));
}

// ---- paths ------------------------------------------------------------------------------

std::optional<VirtualPhone::Resolved> VirtualPhone::resolvePath(const std::string& phonePath) const
{
    if (phonePath.size() < 2 || phonePath.size() > size_t(kMaxEntryPath) || phonePath[0] != '/'
        || phonePath.find('\0') != std::string::npos)
        return std::nullopt;
    std::vector<std::string> parts;
    size_t start = 1;
    for (;;) {
        const size_t slash = phonePath.find('/', start);
        parts.push_back(phonePath.substr(start, slash == std::string::npos ? std::string::npos
                                                                           : slash - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    if (parts.size() > 1 && parts.back().empty())
        parts.pop_back(); // a folder written with its trailing "/"
    if (!isVolumeLetter(parts.front()))
        return std::nullopt;

    Resolved out{dir_, ""};
    for (const auto& part : parts) {
        if (part.empty() || part == "." || part == "..")
            return std::nullopt;
        out.file /= part;
        out.phonePath += "/" + part;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(out.file, ec)))
            return std::nullopt;
    }
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(dir_ / parts.front(), ec)))
        return std::nullopt;
    return out;
}

fs::path VirtualPhone::resolve(const std::string& phonePath) const
{
    const auto resolved = resolvePath(phonePath);
    return resolved ? resolved->file : fs::path();
}

std::vector<char> VirtualPhone::volumeLetters() const
{
    std::vector<char> letters;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir_, ec)) {
        const std::string name = entry.path().filename().string();
        std::error_code statEc;
        if (isVolumeLetter(name) && fs::is_directory(fs::symlink_status(entry.path(), statEc)))
            letters.push_back(name[0]);
    }
    std::sort(letters.begin(), letters.end());
    if (letters.size() > kMaxVolumes)
        letters.resize(kMaxVolumes);
    return letters;
}

// ---- attributes -------------------------------------------------------------------------

Result<std::map<std::string, int>> VirtualPhone::parseAttributes(std::string_view text,
                                                                  const std::string& fileName)
{
    const auto doc = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object())
        return Error{fileName + ": not a JSON object"};
    std::map<std::string, int> attributes;
    for (const auto& [path, bits] : doc.items()) {
        if (!bits.is_number_integer() || bits.get<int64_t>() < 0 || bits.get<int64_t>() > 0xFFFF)
            return Error{fileName + ": the bits of \"" + path + "\" must lie between 0 and 65535"};
        attributes[path] = int(bits.get<int64_t>());
    }
    return attributes;
}

std::string VirtualPhone::attributesText(const std::map<std::string, int>& attributes)
{
    nlohmann::json doc = nlohmann::json::object();
    for (const auto& [path, bits] : attributes)
        doc[path] = bits;
    // JSON text is UTF-8: a path byte that is not part of a UTF-8 character is written as
    // U+FFFD, so such a path does not read back as itself.
    return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

Status VirtualPhone::loadAttributes()
{
    const fs::path file = dir_ / "attributes.json";
    std::error_code ec;
    if (!fs::exists(file, ec))
        return Status::success();
    const auto bytes = readWholeFile(file);
    if (!bytes)
        return Error{"Cannot read " + file.string()};
    auto attributes = parseAttributes(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                                      file.string());
    if (!attributes)
        return Error{attributes.error()};
    attributes_ = std::move(attributes).value();
    return Status::success();
}

bool VirtualPhone::saveAttributes() const
{
    const std::string text = attributesText(attributes_);
    return replaceFile((dir_ / "attributes.json").string(), std::string_view(text)).ok();
}

// ---- the library operations -------------------------------------------------------------

int VirtualPhone::P2K_Init(StatusCallback status)
{
    {
        std::lock_guard lock(mutex_);
        PhoneRequest request{PhoneCall::Init};
        status_ = std::move(status);
        if (plugged_)
            notify(1);
        finish(request, 0);
    }
    deliverPending();
    return 0;
}

int VirtualPhone::P2K_SendCMD(uint16_t command, const uint8_t* request, int requestLength,
                              uint8_t* reply, int* replyLength)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::SendCmd};
        rec.command = command;
        const int wanted = replyLength ? *replyLength : 0;
        rec.replyWanted = wanted;
        if (request && requestLength > 0)
            rec.bytes.assign(request, request + requestLength);
        if (replyLength)
            *replyLength = 0;

        // A read marks its file session as a reading one even when the read fails.
        if (command == kCmdFsac && open_ && rec.fsacSubcommand() == kFsacRead)
            open_->readSeen = true;
        const bool refused = requestLength < 0 || (requestLength > 0 && !request) || wanted < 0
            || (wanted > 0 && !reply);
        if (!enter(rec) && !refused) {
            int delivered = 0;
            if (command == kCmdFsac)
                result = fsac(request, requestLength, reply, wanted, &delivered);
            else if (command == kCmdVersion)
                result = version(request, requestLength, reply, wanted, &delivered);
            if (result == -1)
                delivered = 0;
            if (replyLength)
                *replyLength = delivered;
            rec.delivered = delivered;
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::fsac(const uint8_t* request, int requestLength, uint8_t* reply, int wanted,
                       int* delivered)
{
    if (requestLength < 4)
        return -1;
    switch (readBE32(request)) {
    case kFsacOpen:
        return fsacOpen(request, requestLength);
    case kFsacRead:
        return fsacRead(request, requestLength, reply, wanted, delivered);
    case kFsacWrite:
        return fsacWrite(request, requestLength);
    case kFsacSeek:
        return fsacSeek(request, requestLength);
    case kFsacClose:
        return fsacClose();
    case kFsacVolumes:
        return volumeInfo(reply, wanted, delivered);
    case kFsacFreeSpace:
        return freeSpace(request, requestLength, reply, wanted, delivered);
    default:
        return -1;
    }
}

int VirtualPhone::fsacOpen(const uint8_t* request, int requestLength)
{
    if (requestLength < 8)
        return -1;
    // The path runs to its first 0 byte or to the end of the request.
    const uint8_t* path = request + 8;
    const uint8_t* end = std::find(path, request + requestLength, uint8_t(0));
    const auto resolved = resolvePath(std::string(path, end));
    // A new open replaces any session left open: the protocol names no handle.
    open_.reset();
    if (!resolved)
        return -1;
    std::error_code ec;
    const auto status = fs::symlink_status(resolved->file, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return -1;
    if (!fs::is_directory(resolved->file.parent_path(), ec))
        return -1;
    // Opening sets the file's attribute bits to the request's word, as a phone does: a reader
    // opens with the file's own bits, a writer usually with 0.
    open_ = OpenFile{resolved->file, resolved->phonePath, int(readBE32(request + 4) & 0xFFFF)};
    if (fs::is_regular_file(status) && !setAttributes(open_->phonePath, open_->attributes))
        return -1;
    return 0;
}

int VirtualPhone::fsacSeek(const uint8_t* request, int requestLength)
{
    if (requestLength < 9 || !open_)
        return -1;
    const uint64_t offset = readBE32(request + 4);
    std::error_code ec;
    const uint64_t size = fs::is_regular_file(open_->file, ec) ? fs::file_size(open_->file, ec) : 0;
    switch (request[8]) {
    case 0:
        open_->position = offset;
        return 0;
    case 1:
        open_->position += offset;
        return 0;
    case 2:
        // Counted forward from the end of the file: the end-of-file check (0x3FF from the
        // end) then finds nothing to read, so it can never add a byte to a whole file.
        open_->position = size + offset;
        return 0;
    default:
        return -1;
    }
}

int VirtualPhone::fsacRead(const uint8_t* request, int requestLength, uint8_t* reply, int wanted,
                           int* delivered)
{
    if (requestLength < 8 || !open_)
        return -1;
    std::error_code ec;
    if (!fs::is_regular_file(open_->file, ec))
        return -1; // nothing of that name: a read names a file that must be there
    const uint64_t size = fs::file_size(open_->file, ec);
    if (ec)
        return -1;
    // A phone moves at most 1024 bytes a read and has nothing to give at or past the end.
    const uint32_t asked = readBE32(request + 4);
    if (asked == 0 || asked > kMaxBlock || open_->position >= size)
        return -1;
    const uint64_t count = std::min<uint64_t>({asked, uint64_t(std::max(wanted, 0)), size - open_->position});
    std::ifstream in(open_->file, std::ios::binary);
    in.seekg(std::streamoff(open_->position));
    in.read(reinterpret_cast<char*>(reply), std::streamsize(count));
    if (!in)
        return -1;
    open_->position += count;
    *delivered = int(count);
    return 0;
}

int VirtualPhone::fsacWrite(const uint8_t* request, int requestLength)
{
    if (requestLength < 8 || !open_)
        return -1;
    const uint64_t count = readBE32(request + 4);
    if (count > uint64_t(requestLength - 8) || count > kMaxBlock)
        return -1;
    std::error_code ec;
    const bool exists = fs::is_regular_file(open_->file, ec);
    const uint64_t size = exists ? fs::file_size(open_->file, ec) : 0;
    if (open_->position > size)
        return -1; // no holes: the client always writes on from where it is
    if (!open_->written) {
        // The first write of a session replaces the file from the write position on, so a
        // shorter upload leaves no tail of the old file behind.
        if (exists) {
            fs::resize_file(open_->file, open_->position, ec);
            if (ec)
                return -1;
        } else {
            std::ofstream create(open_->file, std::ios::binary);
            if (!create)
                return -1;
        }
        open_->written = true;
    }
    std::fstream out(open_->file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(std::streamoff(open_->position));
    out.write(reinterpret_cast<const char*>(request + 8), std::streamsize(count));
    if (!out.flush())
        return -1;
    open_->position += count;
    return 0;
}

int VirtualPhone::fsacClose()
{
    if (!open_)
        return -1;
    int result = 0;
    std::error_code ec;
    if (!open_->written && !open_->readSeen && !fs::exists(fs::symlink_status(open_->file, ec))) {
        // Opened and closed without a read or write: a file that was not there is created
        // empty (the upload of an empty file); one that was keeps its content (an attribute
        // change).
        std::ofstream create(open_->file, std::ios::binary);
        if (!create)
            result = -1;
    }
    // A file the session created takes the bits it was opened with.
    if (result == 0 && !setAttributes(open_->phonePath, open_->attributes))
        result = -1;
    open_.reset();
    return result;
}

int VirtualPhone::volumeInfo(uint8_t* reply, int wanted, int* delivered)
{
    const auto letters = volumeLetters();
    std::vector<uint8_t> records(letters.size() * kVolumeRecord, 0);
    for (size_t j = 0; j < letters.size(); ++j)
        records[j * kVolumeRecord + 3] = uint8_t(letters[j]);
    const size_t n = std::min(records.size(), size_t(std::max(wanted, 0)));
    std::copy_n(records.begin(), n, reply);
    *delivered = int(n);
    return 0;
}

int VirtualPhone::freeSpace(const uint8_t* request, int requestLength, uint8_t* reply, int wanted,
                            int* delivered)
{
    const auto letter = parseFreeSpaceRequest(std::span(request, size_t(requestLength)).subspan(4));
    if (!letter || wanted < 4)
        return -1;
    const auto letters = volumeLetters();
    if (std::find(letters.begin(), letters.end(), *letter) == letters.end())
        return -1;
    std::error_code ec;
    const fs::space_info space = fs::space(dir_ / std::string(1, *letter), ec);
    if (ec)
        return -1;
    put32(reply, uint32_t(std::min<uintmax_t>(space.available, 0xFFFFFFFFu)), ByteOrder::Big);
    *delivered = 4;
    return 0;
}

bool VirtualPhone::setAttributes(const std::string& phonePath, int bits)
{
    const auto old = attributes_.find(phonePath);
    if ((old == attributes_.end() ? 0 : old->second) == bits)
        return true;
    const auto before = attributes_;
    if (bits == 0)
        attributes_.erase(phonePath);
    else
        attributes_[phonePath] = bits;
    if (saveAttributes())
        return true;
    attributes_ = before;
    return false;
}

int VirtualPhone::version(const uint8_t* request, int requestLength, uint8_t* reply, int wanted,
                          int* delivered)
{
    if (requestLength < 2)
        return -1;
    const uint16_t which = readBE16(request);
    std::vector<uint8_t> answer;
    if (which == 0xFFFF)
        answer = identity_.firmwareReply();
    else if (which == 0x0004)
        answer = identity_.lpReply();
    else
        return -1;
    const size_t n = std::min(answer.size(), size_t(std::max(wanted, 0)));
    std::copy_n(answer.begin(), n, reply);
    *delivered = int(n);
    return 0;
}

int VirtualPhone::P2K_Restart()
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::Restart};
        if (!enter(rec)) {
            result = 0;
            if (options_.rebootOnRestart) {
                open_.reset();
                pendingAttributes_.reset();
                countedValid_ = false;
                notify(0);
                notify(1);
            }
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_Create(const std::string& path, int attributes)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::FileCreate};
        rec.text = path;
        rec.args = {attributes};
        if (!enter(rec) && attributes >= 0 && attributes <= 0xFFFF) {
            const auto resolved = resolvePath(path);
            std::error_code ec;
            if (resolved && fs::is_regular_file(fs::symlink_status(resolved->file, ec))) {
                pendingAttributes_ = {resolved->phonePath, attributes};
                result = 0;
            }
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_Close()
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::FileClose};
        if (!enter(rec) && pendingAttributes_) {
            const auto [path, bits] = *pendingAttributes_;
            pendingAttributes_.reset();
            if (setAttributes(path, bits))
                result = 0;
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_Delete(const std::string& path)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::FileDelete};
        rec.text = path;
        if (!enter(rec)) {
            const auto resolved = resolvePath(path);
            std::error_code ec;
            if (resolved && fs::is_regular_file(fs::symlink_status(resolved->file, ec))
                && fs::remove(resolved->file, ec)) {
                if (open_ && open_->file == resolved->file)
                    open_.reset();
                if (attributes_.erase(resolved->phonePath))
                    saveAttributes();
                result = 0;
            }
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_CreateDir(const std::string& path, int zero)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::FileCreateDir};
        rec.text = path;
        rec.args = {zero};
        if (!enter(rec)) {
            const auto resolved = resolvePath(path);
            std::error_code ec;
            if (resolved && !fs::exists(fs::symlink_status(resolved->file, ec))
                && fs::is_directory(resolved->file.parent_path(), ec)
                && fs::create_directory(resolved->file, ec))
                result = 0;
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_DeleteDir(const std::string& path)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::FileDeleteDir};
        rec.text = path;
        if (!enter(rec)) {
            const auto resolved = resolvePath(path);
            std::error_code ec;
            // A volume itself cannot go, nor a folder that still holds something.
            if (resolved && resolved->phonePath.size() > 2
                && fs::is_directory(fs::symlink_status(resolved->file, ec))
                && fs::is_empty(resolved->file, ec) && fs::remove(resolved->file, ec))
                result = 0;
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_CountEx(const std::string& pattern)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::FileCountEx};
        rec.text = pattern;
        countedValid_ = false;
        counted_.clear();
        const size_t slash = pattern.rfind('/');
        const auto folder = (slash == std::string::npos || slash == 0)
            ? std::nullopt : resolvePath(pattern.substr(0, slash + 1));
        std::error_code ec;
        if (!enter(rec) && folder && fs::is_directory(fs::symlink_status(folder->file, ec))) {
            // Every file at or below the folder whose name matches, sorted by path.
            const std::string glob = pattern.substr(slash + 1);
            fs::recursive_directory_iterator it(folder->file,
                                                fs::directory_options::skip_permission_denied, ec);
            for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
                std::error_code statEc;
                const auto status = it->symlink_status(statEc);
                if (!fs::is_regular_file(status))
                    continue; // links are never followed, folders are not listed
                const std::string relative = fs::relative(it->path(), folder->file, statEc).generic_string();
                const std::string phonePath = folder->phonePath + "/" + relative;
                if (statEc || phonePath.size() > size_t(kMaxEntryPath)
                    || !globMatch(glob, it->path().filename().string()))
                    continue;
                PhoneFileEntry entry;
                entry.size = uint32_t(std::min<uintmax_t>(it->file_size(statEc), 0xFFFFFFFFu));
                const auto bits = attributes_.find(phonePath);
                entry.attributes = bits == attributes_.end() ? 0 : uint16_t(bits->second);
                entry.path = phonePath;
                counted_.push_back(std::move(entry));
            }
            if (!ec) {
                std::sort(counted_.begin(), counted_.end(),
                          [](const auto& a, const auto& b) { return a.path < b.path; });
                countedValid_ = true;
                result = int(counted_.size());
            } else {
                counted_.clear();
            }
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_ListEx(uint8_t* entries, int count, ProgressCallback progress)
{
    int result = -1;
    int listed = 0;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::FileListEx};
        rec.args = {count};
        if (!enter(rec) && countedValid_ && count >= 0 && (entries || count == 0)) {
            listed = std::min(count, int(counted_.size()));
            for (int i = 0; i < count; ++i) {
                std::span<uint8_t, 512> out(entries + size_t(i) * kFileListEntrySize, 512);
                if (i < listed)
                    renderFileListEntry(counted_[i], out);
                else
                    std::fill(out.begin(), out.end(), uint8_t(0));
            }
            result = 0;
        }
        finish(rec, result);
    }
    deliverPending();
    if (result == 0 && progress) {
        for (int done = std::min(kListPacket, listed); done > 0;
             done = done == listed ? 0 : std::min(done + kListPacket, listed))
            progress(0, done, listed);
    }
    return result;
}

fs::path VirtualPhone::seemFile(int seem, int record) const
{
    const fs::path lower = dir_ / "seem" / (hex4(seem, false) + "_" + hex4(record, false) + ".seem");
    std::error_code ec;
    if (fs::exists(lower, ec))
        return lower;
    const fs::path upper = dir_ / "seem" / (hex4(seem, true) + "_" + hex4(record, true) + ".seem");
    return fs::exists(upper, ec) ? upper : lower;
}

int VirtualPhone::Seem_Read(int seem, int record, int offset, int length, uint8_t* buffer,
                            int capacity)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::SeemRead};
        rec.args = {seem, record, offset, length};
        const bool valid = seem >= 0 && seem <= 0xFFFF && record >= 0 && record <= 0xFFFF
            && offset >= 0 && length >= 0 && buffer && capacity >= 0;
        if (!enter(rec) && valid) {
            std::optional<std::vector<uint8_t>> bytes;
            if (seem == 0x0117 && record == 1)
                bytes = identity_.modelRecord();
            else if (seem == 0x0004 && record == 1)
                bytes = identity_.imeiRecord();
            else
                bytes = readWholeFile(seemFile(seem, record));
            // A record never exceeds the 10000-byte buffer; a bigger file is not a record.
            if (bytes && bytes->size() <= size_t(kSeemBufferSize) && size_t(offset) <= bytes->size()) {
                size_t n = bytes->size() - size_t(offset);
                if (length > 0)
                    n = std::min(n, size_t(length));
                if (n <= size_t(capacity)) {
                    std::copy_n(bytes->begin() + offset, n, buffer);
                    result = int(n);
                }
            }
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

int VirtualPhone::Seem_Write(int seem, int record, int offset, int count, const uint8_t* buffer)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        PhoneRequest rec{PhoneCall::SeemWrite};
        rec.args = {seem, record, offset, count};
        const bool valid = seem >= 0 && seem <= 0xFFFF && record >= 0 && record <= 0xFFFF
            && offset >= 0 && count >= 0 && offset <= kSeemBufferSize
            && count <= kSeemBufferSize - offset && (buffer || count == 0);
        if (valid && count > 0)
            rec.bytes.assign(buffer, buffer + count);
        // The identity records come from phone.json and are not written.
        const bool identity = (seem == 0x0117 || seem == 0x0004) && record == 1;
        if (!enter(rec) && valid && !identity) {
            const fs::path file = seemFile(seem, record);
            std::vector<uint8_t> bytes;
            bool ok = true;
            if (offset > 0) {
                // Written from an offset: the record keeps what lies before it.
                auto old = readWholeFile(file);
                ok = old && size_t(offset) <= old->size();
                if (ok)
                    bytes = std::move(*old);
            }
            std::error_code ec;
            fs::create_directories(file.parent_path(), ec);
            if (ok && !ec) {
                bytes.resize(std::max(bytes.size(), size_t(offset) + size_t(count)));
                if (count > 0)
                    std::copy_n(buffer, count, bytes.begin() + offset);
                if (replaceFile(file.string(), std::span<const uint8_t>(bytes)))
                    result = 0;
            }
        }
        finish(rec, result);
    }
    deliverPending();
    return result;
}

} // namespace tessaro
