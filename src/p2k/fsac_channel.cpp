#include "p2k/fsac_channel.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "p2k/p2k_api.h"
#include "p2k/p2k_framing.h"

namespace tessaro {

namespace {
constexpr int kHeader = 8;
} // namespace

bool FsacChannel::fits(size_t length)
{
    return length <= size_t(kBufferSize - kHeader);
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

int FsacChannel::open(const std::string& path, uint32_t attributes)
{
    if (!fits(path.size()))
        return -1;
    header(kFsacOpen);
    put32(request_.data() + 4, attributes, ByteOrder::Big);
    // The path runs to the end of the request, without a terminating 0.
    std::memcpy(request_.data() + kHeader, path.data(), path.size());
    return send(kHeader + int(path.size()), 0, nullptr);
}

int FsacChannel::seek(uint32_t offset, uint8_t origin)
{
    header(kFsacSeek);
    put32(request_.data() + 4, offset, ByteOrder::Big);
    request_[8] = origin;
    return send(9, 0, nullptr);
}

int FsacChannel::read(int count, int* delivered)
{
    if (count < 1 || count > kBlockSize)
        return -1;
    header(kFsacRead);
    put32(request_.data() + 4, uint32_t(count), ByteOrder::Big);
    return send(kHeader, count, delivered);
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

int FsacChannel::freeSpace(char volume, int* delivered)
{
    const std::vector<uint8_t> request = renderFreeSpaceRequest(volume);
    std::copy(request.begin(), request.end(), request_.begin());
    return send(int(request.size()), 4, delivered);
}

int FsacChannel::volumeInfo(int wanted, int* delivered)
{
    header(kFsacVolumes);
    return send(4, std::clamp(wanted, 0, kBufferSize), delivered);
}

} // namespace tessaro
