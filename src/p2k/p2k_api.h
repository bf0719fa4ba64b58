#pragma once
// The P2K access library: every phone access goes through these operations. Strings are
// zero-terminated 8-bit strings, integers 32-bit; a result of -1 always means failure.

#include <cstdint>
#include <functional>
#include <string>

namespace tessaro {

// Command codes of P2K_SendCMD.
inline constexpr uint16_t kCmdFsac = 0x004A;     // file system access
inline constexpr uint16_t kCmdVersion = 0x0039;  // version query

// FSAC subcommands: the first four request bytes, big-endian.
inline constexpr uint32_t kFsacOpen = 0x00;
inline constexpr uint32_t kFsacRead = 0x01;
inline constexpr uint32_t kFsacWrite = 0x02;
inline constexpr uint32_t kFsacSeek = 0x03;
inline constexpr uint32_t kFsacClose = 0x04;
inline constexpr uint32_t kFsacDelete = 0x05;
inline constexpr uint32_t kFsacCount = 0x07;      // starts a listing
inline constexpr uint32_t kFsacListNext = 0x08;   // next chunk of the listing
inline constexpr uint32_t kFsacVolumes = 0x0A;
inline constexpr uint32_t kFsacFreeSpace = 0x0B;
inline constexpr uint32_t kFsacCreateDir = 0x0E;
inline constexpr uint32_t kFsacDeleteDir = 0x0F;

inline constexpr int kSeemBufferSize = 10000;
inline constexpr int kFileListEntrySize = 512;

class P2kApi {
public:
    // Called with nonzero when a phone is connected, 0 when it is gone; returns its argument.
    // A library may call it on a thread of its own, and may call back in from there: the USB
    // phone always calls it on its backend thread, the virtual phone on its own thread when
    // asked to (else on the thread that plugged, unplugged or called).
    using StatusCallback = std::function<int(int connected)>;
    // Listing progress: an ignored value, entries done, entries in total. Every backend calls
    // it on the thread that called File_ListEx, before File_ListEx returns.
    using ProgressCallback = std::function<void(int ignored, int done, int total)>;

    virtual ~P2kApi() = default;

    virtual int P2K_Init(StatusCallback status) = 0;
    // replyLength: in, bytes wanted (0 for none); out, bytes delivered.
    virtual int P2K_SendCMD(uint16_t command, const uint8_t* request, int requestLength,
                            uint8_t* reply, int* replyLength) = 0;
    virtual int P2K_Restart() = 0;
    // With File_Close, sets the attribute bits of a phone file.
    virtual int File_Create(const std::string& path, int attributes) = 0;
    virtual int File_Close() = 0;
    virtual int File_Delete(const std::string& path) = 0;
    virtual int File_CreateDir(const std::string& path, int zero) = 0;
    virtual int File_DeleteDir(const std::string& path) = 0;
    // Number of files matching a pattern such as "/a/*.gif".
    virtual int File_CountEx(const std::string& pattern) = 0;
    // Fills `count` 512-byte entries of the last counted pattern.
    virtual int File_ListEx(uint8_t* entries, int count, ProgressCallback progress) = 0;
    // Reads a whole SEEM record (offset 0, length 0) into `buffer` of `capacity` bytes
    // (the callers' buffers hold 10000); returns the bytes delivered. A record longer than
    // the buffer is refused with -1 and nothing is written past `capacity`.
    virtual int Seem_Read(int seem, int record, int offset, int length, uint8_t* buffer,
                          int capacity) = 0;
    virtual int Seem_Write(int seem, int record, int offset, int count, const uint8_t* buffer) = 0;
};

} // namespace tessaro
