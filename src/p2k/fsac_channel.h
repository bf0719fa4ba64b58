#pragma once
// The request and reply buffers of one FSAC exchange series (a transfer or a volume query):
// 4096 bytes each, zero-filled at the start, and the requests built in them, big-endian.

#include <array>
#include <cstdint>
#include <string>

namespace tessaro {

class P2kApi;

class FsacChannel {
public:
    static constexpr int kBufferSize = 4096;
    static constexpr int kBlockSize = 1024;

    explicit FsacChannel(P2kApi& api) : api_(api) {}

    // Whether an open request for a path of `length` bytes fits the request buffer (with the
    // single-file write's trailing 0 byte when `terminated`).
    static bool fits(size_t length, bool terminated);

    // Each returns the library's result; a request that would not fit the buffer is not sent
    // and gives -1. `delivered` receives the reply bytes delivered, never more than wanted.
    int open(const std::string& path, bool terminated);
    int seek(uint32_t offset, uint8_t origin);
    int read(int* delivered);                              // one 1024-byte block
    int write(const uint8_t* data, uint32_t count);        // at most 1024 bytes
    int close();
    int volumeInfo(int wanted, int* delivered);

    const uint8_t* reply() const { return reply_.data(); }

private:
    int send(int length, int wanted, int* delivered);
    void header(uint32_t subcommand);

    P2kApi& api_;
    std::array<uint8_t, kBufferSize> request_{};
    std::array<uint8_t, kBufferSize> reply_{};
};

} // namespace tessaro
