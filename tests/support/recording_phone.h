#pragma once
// A P2kApi for tests that wears any other backend (virtual phone, USB phone, no phone): it
// passes every call on, records each with its arguments and result, and can be told to fail
// a given call or to unplug the phone during one.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "p2k/p2k_api.h"

namespace tessaro::testing {

// The library operations, as recorded.
enum class PhoneCall {
    Init, SendCmd, Restart, FileCreate, FileClose, FileDelete, FileCreateDir, FileDeleteDir,
    FileCountEx, FileListEx, SeemRead, SeemWrite
};

// One recorded call with its arguments and result.
struct PhoneRequest {
    PhoneCall call = PhoneCall::Init;
    uint16_t command = 0;          // P2K_SendCMD: the command code
    std::vector<uint8_t> bytes;    // P2K_SendCMD: the request bytes; Seem_Write: the data
    int replyWanted = 0;           // P2K_SendCMD: reply bytes wanted
    int delivered = 0;             // P2K_SendCMD: reply bytes delivered
    std::string text;              // the path or search pattern
    std::vector<int> args;         // the integer arguments in order (attributes, SEEM numbers...)
    int result = 0;

    // The FSAC subcommand (first four request bytes, big-endian); -1 for other calls.
    int64_t fsacSubcommand() const;
};

class RecordingPhone : public P2kApi {
public:
    enum class TrapAction { Fail, Unplug };

    // Wears `backend`; `unplug` pulls its phone out for an Unplug trap (without it such a
    // trap only fails the call).
    explicit RecordingPhone(std::unique_ptr<P2kApi> backend, std::function<void()> unplug = {});

    int P2K_Init(StatusCallback status) override;
    int P2K_SendCMD(uint16_t command, const uint8_t* request, int requestLength, uint8_t* reply,
                    int* replyLength) override;
    int P2K_Restart() override;
    int File_Create(const std::string& path, int attributes) override;
    int File_Close() override;
    int File_Delete(const std::string& path) override;
    int File_CreateDir(const std::string& path, int zero) override;
    int File_DeleteDir(const std::string& path) override;
    int File_CountEx(const std::string& pattern) override;
    int File_ListEx(uint8_t* entries, int count, ProgressCallback progress) override;
    int Seem_Read(int seem, int record, int offset, int length, uint8_t* buffer,
                  int capacity) override;
    int Seem_Write(int seem, int record, int offset, int count, const uint8_t* buffer) override;

    // The `nth` next call of `call` from now (1 = the very next) fails with -1 without
    // reaching the backend, or first unplugs the phone and then fails. For P2K_SendCMD,
    // `fsacSubcommand` narrows the count to FSAC requests of that kind.
    void addTrap(PhoneCall call, int nth, TrapAction action,
                 std::optional<uint32_t> fsacSubcommand = std::nullopt);
    void clearTraps();

    // Every call so far, in the order they began.
    std::vector<PhoneRequest> requests() const;
    void clearRequests();

    P2kApi& backend() { return *backend_; }

private:
    struct Trap {
        PhoneCall call;
        int remaining;
        TrapAction action;
        std::optional<uint32_t> subcommand;
    };

    // Records the call as begun (before the backend answers, so calls it makes meanwhile
    // come after it) and applies the traps; unless a trap fails it, `forward` passes it on
    // and gives the result, and `answered` adds what the backend gave to the record.
    int run(PhoneRequest request, const std::function<int()>& forward, bool* trapped = nullptr,
            const std::function<void(PhoneRequest&)>& answered = {});

    const std::unique_ptr<P2kApi> backend_;
    const std::function<void()> unplug_;

    mutable std::mutex mutex_;
    std::vector<PhoneRequest> requests_;
    uint64_t cleared_ = 0;   // requests dropped by clearRequests(), so a call finishing late finds its own
    std::vector<Trap> traps_;
};

} // namespace tessaro::testing
