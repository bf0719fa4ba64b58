#pragma once
// The request and reply buffers of one FSAC exchange series (a transfer, a volume or
// free-space query): 4096 bytes each, zero-filled at the start, and the requests built in
// them, big-endian.

#include <array>
#include <cstdint>
#include <string>

namespace tessaro {

class P2kApi;

class FsacChannel {
public:
    static constexpr int kBufferSize = 4096;
    // The most a read or a write moves in one request.
    static constexpr int kBlockSize = 1024;

    explicit FsacChannel(P2kApi& api) : api_(api) {}

    // Whether an open request for a path of `length` bytes fits the request buffer.
    static bool fits(size_t length);

    // Each returns the library's result; a request that would not fit the buffer is not sent
    // and gives -1. `delivered` receives the reply bytes delivered, never more than wanted.
    // Opening sets the file's attribute bits to `attributes`: a read opens with the file's own.
    int open(const std::string& path, uint32_t attributes);
    int seek(uint32_t offset, uint8_t origin);
    int read(int count, int* delivered);                   // at most kBlockSize bytes
    int write(const uint8_t* data, uint32_t count);        // at most kBlockSize bytes
    int close();
    int volumeInfo(int wanted, int* delivered);
    int freeSpace(char volume, int* delivered);            // the answer: BE32 free bytes

    const uint8_t* reply() const { return reply_.data(); }

private:
    int send(int length, int wanted, int* delivered);
    void header(uint32_t subcommand);

    P2kApi& api_;
    std::array<uint8_t, kBufferSize> request_{};
    std::array<uint8_t, kBufferSize> reply_{};
};

} // namespace tessaro
