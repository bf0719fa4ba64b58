#include "p2k/virtual_phone.h"

#include <algorithm>
#include <span>

#include "core/bytes.h"
#include "p2k/p2k_framing.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// The volume reply holds 128 bytes, 6 per volume.
constexpr size_t kMaxVolumes = 21;
constexpr int kVolumeRecord = 6;
constexpr uint32_t kMaxBlock = 0x400;   // the most one FSAC read or write moves
// File_ListEx reports its progress every few entries, as a library reading them in packets.
constexpr int kListPacket = 8;

} // namespace

// ---- life cycle -------------------------------------------------------------------------

Result<std::unique_ptr<VirtualPhone>> VirtualPhone::open(const fs::path& dir)
{
    return open(dir, Options{});
}

Result<std::unique_ptr<VirtualPhone>> VirtualPhone::open(const fs::path& dir, Options options)
{
    auto folder = PhoneFolder::open(dir);
    if (!folder)
        return folder.failure();
    return std::unique_ptr<VirtualPhone>(new VirtualPhone(std::move(folder).value(), options));
}

VirtualPhone::VirtualPhone(PhoneFolder folder, Options options)
    : options_(options), folder_(std::move(folder))
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

fs::path VirtualPhone::resolve(const std::string& phonePath) const
{
    return folder_.resolve(phonePath);
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

void VirtualPhone::forgetSessions()
{
    open_.reset();
    pendingAttributes_.reset();
    countedValid_ = false;
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
        forgetSessions();
        notify(0);
    }
    deliverPending();
}

bool VirtualPhone::isPlugged() const
{
    std::lock_guard lock(mutex_);
    return plugged_;
}

// ---- the library operations -------------------------------------------------------------

int VirtualPhone::P2K_Init(StatusCallback status)
{
    {
        std::lock_guard lock(mutex_);
        status_ = std::move(status);
        if (plugged_)
            notify(1);
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
        const int wanted = replyLength ? *replyLength : 0;
        if (replyLength)
            *replyLength = 0;

        // A read marks its file session as a reading one even when the read fails.
        if (command == kCmdFsac && open_ && request && requestLength >= 4
            && readBE32(request) == kFsacRead)
            open_->readSeen = true;
        const bool refused = requestLength < 0 || (requestLength > 0 && !request) || wanted < 0
            || (wanted > 0 && !reply);
        if (plugged_ && !refused) {
            int delivered = 0;
            if (command == kCmdFsac)
                result = fsac(request, requestLength, reply, wanted, &delivered);
            else if (command == kCmdVersion)
                result = version(request, requestLength, reply, wanted, &delivered);
            if (result == -1)
                delivered = 0;
            if (replyLength)
                *replyLength = delivered;
        }
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
    auto at = folder_.locate(std::string(path, end));
    // A new open replaces any session left open: the protocol names no handle.
    open_.reset();
    if (!at)
        return -1;
    const PhoneFolder::Kind kind = folder_.kind(*at);
    if ((kind != PhoneFolder::Kind::Nothing && kind != PhoneFolder::Kind::File)
        || !folder_.hasParentFolder(*at))
        return -1;
    // Opening sets the file's attribute bits to the request's word, as a phone does: a reader
    // opens with the file's own bits, a writer usually with 0.
    open_ = OpenFile{std::move(*at), int(readBE32(request + 4) & 0xFFFF)};
    if (kind == PhoneFolder::Kind::File && !folder_.setAttributes(open_->at.phonePath, open_->attributes))
        return -1;
    return 0;
}

int VirtualPhone::fsacSeek(const uint8_t* request, int requestLength)
{
    if (requestLength < 9 || !open_)
        return -1;
    const uint64_t offset = readBE32(request + 4);
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
        open_->position = folder_.fileSize(open_->at).value_or(0) + offset;
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
    // A read names a file that must be there.
    const auto size = folder_.fileSize(open_->at);
    if (!size)
        return -1;
    // A phone moves at most 1024 bytes a read and has nothing to give at or past the end.
    const uint32_t asked = readBE32(request + 4);
    if (asked == 0 || asked > kMaxBlock || open_->position >= *size)
        return -1;
    const uint64_t count = std::min<uint64_t>({asked, uint64_t(std::max(wanted, 0)), *size - open_->position});
    if (!folder_.read(open_->at, open_->position, std::span(reply, size_t(count))))
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
    if (open_->position > folder_.fileSize(open_->at).value_or(0))
        return -1; // no holes: the client always writes on from where it is
    // The first write of a session replaces the file from the write position on, so a
    // shorter upload leaves no tail of the old file behind.
    if (!open_->written) {
        if (!folder_.resize(open_->at, open_->position))
            return -1;
        open_->written = true;
    }
    if (!folder_.write(open_->at, open_->position, std::span(request + 8, size_t(count))))
        return -1;
    open_->position += count;
    return 0;
}

int VirtualPhone::fsacClose()
{
    if (!open_)
        return -1;
    int result = 0;
    // Opened and closed without a read or write: a file that was not there is created empty
    // (the upload of an empty file); one that was keeps its content (an attribute change).
    if (!open_->written && !open_->readSeen && folder_.kind(open_->at) == PhoneFolder::Kind::Nothing
        && !folder_.resize(open_->at, 0))
        result = -1;
    // A file the session created takes the bits it was opened with.
    if (result == 0 && !folder_.setAttributes(open_->at.phonePath, open_->attributes))
        result = -1;
    open_.reset();
    return result;
}

std::vector<char> VirtualPhone::volumeLetters() const
{
    std::vector<char> letters = folder_.volumes();
    if (letters.size() > kMaxVolumes)
        letters.resize(kMaxVolumes);
    return letters;
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
    const auto available = folder_.freeSpace(*letter);
    if (!available)
        return -1;
    put32(reply, uint32_t(std::min<uint64_t>(*available, 0xFFFFFFFFu)), ByteOrder::Big);
    *delivered = 4;
    return 0;
}

int VirtualPhone::version(const uint8_t* request, int requestLength, uint8_t* reply, int wanted,
                          int* delivered)
{
    if (requestLength < 2)
        return -1;
    const uint16_t which = readBE16(request);
    std::vector<uint8_t> answer;
    if (which == 0xFFFF)
        answer = identity().firmwareReply();
    else if (which == 0x0004)
        answer = identity().lpReply();
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
        if (plugged_) {
            result = 0;
            if (options_.rebootOnRestart) {
                forgetSessions();
                notify(0);
                notify(1);
            }
        }
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_Create(const std::string& path, int attributes)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        if (plugged_ && attributes >= 0 && attributes <= 0xFFFF) {
            const auto at = folder_.locate(path);
            if (at && folder_.kind(*at) == PhoneFolder::Kind::File) {
                pendingAttributes_ = {at->phonePath, attributes};
                result = 0;
            }
        }
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_Close()
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        if (plugged_ && pendingAttributes_) {
            const auto [path, bits] = *pendingAttributes_;
            pendingAttributes_.reset();
            if (folder_.setAttributes(path, bits))
                result = 0;
        }
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_Delete(const std::string& path)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        const auto at = plugged_ ? folder_.locate(path) : std::nullopt;
        if (at && folder_.removeFile(*at)) {
            if (open_ && open_->at.file == at->file)
                open_.reset();
            result = 0;
        }
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_CreateDir(const std::string& path, int)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        const auto at = plugged_ ? folder_.locate(path) : std::nullopt;
        if (at && folder_.createFolder(*at))
            result = 0;
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_DeleteDir(const std::string& path)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        const auto at = plugged_ ? folder_.locate(path) : std::nullopt;
        if (at && folder_.removeFolder(*at))
            result = 0;
    }
    deliverPending();
    return result;
}

int VirtualPhone::File_CountEx(const std::string& pattern)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        countedValid_ = false;
        counted_.clear();
        if (plugged_) {
            if (auto entries = folder_.list(pattern)) {
                counted_ = std::move(*entries);
                countedValid_ = true;
                result = int(counted_.size());
            }
        }
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
        if (plugged_ && countedValid_ && count >= 0 && (entries || count == 0)) {
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
    }
    deliverPending();
    if (result == 0 && progress) {
        for (int done = std::min(kListPacket, listed); done > 0;
             done = done == listed ? 0 : std::min(done + kListPacket, listed))
            progress(0, done, listed);
    }
    return result;
}

int VirtualPhone::Seem_Read(int seem, int record, int offset, int length, uint8_t* buffer,
                            int capacity)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        const bool valid = seem >= 0 && seem <= 0xFFFF && record >= 0 && record <= 0xFFFF
            && offset >= 0 && length >= 0 && buffer && capacity >= 0;
        const auto bytes = plugged_ && valid ? folder_.seemRecord(seem, record) : std::nullopt;
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
    deliverPending();
    return result;
}

int VirtualPhone::Seem_Write(int seem, int record, int offset, int count, const uint8_t* buffer)
{
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        const bool valid = seem >= 0 && seem <= 0xFFFF && record >= 0 && record <= 0xFFFF
            && offset >= 0 && count >= 0 && offset <= kSeemBufferSize
            && count <= kSeemBufferSize - offset && (buffer || count == 0);
        if (plugged_ && valid
            && folder_.writeSeemRecord(seem, record, uint32_t(offset),
                                       std::span<const uint8_t>(buffer, size_t(count))))
            result = 0;
    }
    deliverPending();
    return result;
}

} // namespace tessaro
