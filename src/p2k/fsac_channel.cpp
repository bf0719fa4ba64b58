#include "p2k/fsac_channel.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "p2k/p2k_api.h"

namespace tessaro {

namespace {
constexpr int kHeader = 8;
} // namespace

bool FsacChannel::fits(size_t length, bool terminated)
{
    return length <= size_t(kBufferSize - kHeader - (terminated ? 1 : 0));
}

void FsacChannel::header(uint32_t subcommand)
{
    put32(request_.data(), subcommand, ByteOrder::Big);
}

int FsacChannel::send(int length, int wanted, int* delivered)
{
    int got = wanted;
    const int rc = api_.P2K_SendCMD(kCmdFsac, request_.data(), length, reply_.data(), &got);
    // Whatever the library claims, no more than was wanted is taken from the reply.
    if (delivered)
        *delivered = std::clamp(got, 0, wanted);
    return rc;
}

int FsacChannel::open(const std::string& path, bool terminated)
{
    if (!fits(path.size(), terminated))
        return -1;
    header(kFsacOpen);
    put32(request_.data() + 4, 0, ByteOrder::Big);
    std::memcpy(request_.data() + kHeader, path.data(), path.size());
    int length = kHeader + int(path.size());
    if (terminated)
        request_[length++] = 0;
    return send(length, 0, nullptr);
}

int FsacChannel::seek(uint32_t offset, uint8_t origin)
{
    header(kFsacSeek);
    put32(request_.data() + 4, offset, ByteOrder::Big);
    request_[8] = origin;
    return send(9, 0, nullptr);
}

int FsacChannel::read(int* delivered)
{
    header(kFsacRead);
    put32(request_.data() + 4, kBlockSize, ByteOrder::Big);
    return send(kHeader, kBlockSize, delivered);
}

int FsacChannel::write(const uint8_t* data, uint32_t count)
{
    if (count > uint32_t(kBlockSize))
        return -1;
    header(kFsacWrite);
    put32(request_.data() + 4, count, ByteOrder::Big);
    if (count > 0)
        std::memcpy(request_.data() + kHeader, data, count);
    return send(kHeader + int(count), 0, nullptr);
}

int FsacChannel::close()
{
    header(kFsacClose);
    return send(4, 0, nullptr);
}

int FsacChannel::volumeInfo(int wanted, int* delivered)
{
    header(kFsacVolumes);
    return send(4, std::clamp(wanted, 0, kBufferSize), delivered);
}

} // namespace tessaro
