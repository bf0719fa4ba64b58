#include "support/recording_phone.h"

#include <algorithm>

#include "core/bytes.h"

namespace tessaro::testing {

int64_t PhoneRequest::fsacSubcommand() const
{
    if (call != PhoneCall::SendCmd || command != kCmdFsac || bytes.size() < 4)
        return -1;
    return readBE32(bytes.data());
}

RecordingPhone::RecordingPhone(std::unique_ptr<P2kApi> backend, std::function<void()> unplug)
    : backend_(std::move(backend)), unplug_(std::move(unplug))
{
}

void RecordingPhone::addTrap(PhoneCall call, int nth, TrapAction action,
                             std::optional<uint32_t> fsacSubcommand)
{
    std::lock_guard lock(mutex_);
    traps_.push_back({call, std::max(nth, 1), action, fsacSubcommand});
}

void RecordingPhone::clearTraps()
{
    std::lock_guard lock(mutex_);
    traps_.clear();
}

std::vector<PhoneRequest> RecordingPhone::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void RecordingPhone::clearRequests()
{
    std::lock_guard lock(mutex_);
    cleared_ += requests_.size();
    requests_.clear();
}

int RecordingPhone::run(PhoneRequest request, const std::function<int()>& forward, bool* trapped,
                        const std::function<void(PhoneRequest&)>& answered)
{
    bool fail = false;
    bool pull = false;
    uint64_t number = 0;
    {
        std::lock_guard lock(mutex_);
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
        number = cleared_ + requests_.size();
        requests_.push_back(std::move(request));
    }
    if (trapped)
        *trapped = fail;
    // Outside the lock: the backend calls back (status calls, listing progress), and the
    // receivers may call in again.
    if (pull && unplug_)
        unplug_();
    const int result = fail ? -1 : forward();

    std::lock_guard lock(mutex_);
    if (number >= cleared_ && number - cleared_ < requests_.size()) {
        PhoneRequest& recorded = requests_[size_t(number - cleared_)];
        recorded.result = result;
        if (!fail && answered)
            answered(recorded);
    }
    return result;
}

int RecordingPhone::P2K_Init(StatusCallback status)
{
    return run({PhoneCall::Init}, [&] { return backend_->P2K_Init(std::move(status)); });
}

int RecordingPhone::P2K_SendCMD(uint16_t command, const uint8_t* request, int requestLength,
                                uint8_t* reply, int* replyLength)
{
    PhoneRequest rec{PhoneCall::SendCmd};
    rec.command = command;
    rec.replyWanted = replyLength ? *replyLength : 0;
    if (request && requestLength > 0)
        rec.bytes.assign(request, request + requestLength);
    bool trapped = false;
    const int result = run(
        std::move(rec),
        [&] { return backend_->P2K_SendCMD(command, request, requestLength, reply, replyLength); },
        &trapped, [&](PhoneRequest& done) { done.delivered = replyLength ? *replyLength : 0; });
    if (trapped && replyLength)
        *replyLength = 0;
    return result;
}

int RecordingPhone::P2K_Restart()
{
    return run({PhoneCall::Restart}, [&] { return backend_->P2K_Restart(); });
}

int RecordingPhone::File_Create(const std::string& path, int attributes)
{
    PhoneRequest rec{PhoneCall::FileCreate};
    rec.text = path;
    rec.args = {attributes};
    return run(std::move(rec), [&] { return backend_->File_Create(path, attributes); });
}

int RecordingPhone::File_Close()
{
    return run({PhoneCall::FileClose}, [&] { return backend_->File_Close(); });
}

int RecordingPhone::File_Delete(const std::string& path)
{
    PhoneRequest rec{PhoneCall::FileDelete};
    rec.text = path;
    return run(std::move(rec), [&] { return backend_->File_Delete(path); });
}

int RecordingPhone::File_CreateDir(const std::string& path, int zero)
{
    PhoneRequest rec{PhoneCall::FileCreateDir};
    rec.text = path;
    rec.args = {zero};
    return run(std::move(rec), [&] { return backend_->File_CreateDir(path, zero); });
}

int RecordingPhone::File_DeleteDir(const std::string& path)
{
    PhoneRequest rec{PhoneCall::FileDeleteDir};
    rec.text = path;
    return run(std::move(rec), [&] { return backend_->File_DeleteDir(path); });
}

int RecordingPhone::File_CountEx(const std::string& pattern)
{
    PhoneRequest rec{PhoneCall::FileCountEx};
    rec.text = pattern;
    return run(std::move(rec), [&] { return backend_->File_CountEx(pattern); });
}

int RecordingPhone::File_ListEx(uint8_t* entries, int count, ProgressCallback progress)
{
    PhoneRequest rec{PhoneCall::FileListEx};
    rec.args = {count};
    return run(std::move(rec), [&] { return backend_->File_ListEx(entries, count, std::move(progress)); });
}

int RecordingPhone::Seem_Read(int seem, int record, int offset, int length, uint8_t* buffer,
                              int capacity)
{
    PhoneRequest rec{PhoneCall::SeemRead};
    rec.args = {seem, record, offset, length};
    return run(std::move(rec),
               [&] { return backend_->Seem_Read(seem, record, offset, length, buffer, capacity); });
}

int RecordingPhone::Seem_Write(int seem, int record, int offset, int count, const uint8_t* buffer)
{
    PhoneRequest rec{PhoneCall::SeemWrite};
    rec.args = {seem, record, offset, count};
    // The data as far as a caller's SEEM buffer can hold it.
    if (buffer && count > 0 && offset >= 0 && offset <= kSeemBufferSize && count <= kSeemBufferSize - offset)
        rec.bytes.assign(buffer, buffer + count);
    return run(std::move(rec), [&] { return backend_->Seem_Write(seem, record, offset, count, buffer); });
}

} // namespace tessaro::testing
