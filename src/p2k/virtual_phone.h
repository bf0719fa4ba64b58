#pragma once
// A complete phone in software behind the P2K library interface. Its folder DIR holds:
//   a/, b/, c/, e/ ...      one folder per volume, named by one lower-case letter; the phone
//                           path /a/mobile/system/mma_ucp is the file DIR/a/mobile/system/mma_ucp
//   phone.json              {"model": str, "firmware": str, "lp": 0..65535, "imei": 15 digits}
//   seem/SSSS_RRRR.seem     SEEM records other than the identity ones (hex numbers)
//   attributes.json         attribute bits of phone files, by phone path
// It answers FSAC requests byte by byte, VERSION queries and SEEM reads and writes, lists
// files into 512-byte entries, keeps attributes, and can be plugged in and unplugged. For
// tests it records every call and can be told to fail a call or to unplug during one.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/result.h"
#include "p2k/p2k_api.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

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


// The phone's identity, from phone.json.
struct PhoneIdentity {
    std::string model;
    std::string firmware;
    uint16_t lp = 0;
    std::string imei;   // 15 digits

    // Parses phone.json text; the error names the field that is missing or wrong.
    static Result<PhoneIdentity> parse(const std::string& json);
    // SEEM 0x0117 record 1: the model as 16-bit units, high byte first, ended by 0x0000.
    std::vector<uint8_t> modelRecord() const;
    // SEEM 0x0004 record 1: 9 bytes holding the IMEI digits as nibbles.
    std::vector<uint8_t> imeiRecord() const;
    // Reply to VERSION 0xFFFF: byte 0 = 4 + length, bytes 5 on the firmware text.
    std::vector<uint8_t> firmwareReply() const;
    // Reply to VERSION 0x0004: the LP version in bytes 1 and 2, high byte first.
    std::vector<uint8_t> lpReply() const;
};

class VirtualPhone : public P2kApi {
public:
    struct Options {
        // Deliver status calls from a thread of the phone's own, as a real library may;
        // otherwise they are made on the thread that plugs, unplugs or calls.
        bool callbackThread = false;
        // P2K_Restart unplugs the phone and plugs it in again, as a rebooting phone does.
        bool rebootOnRestart = true;
    };

    enum class TrapAction { Fail, Unplug };

    // Opens the phone kept in `dir`: reads and checks phone.json. The phone starts unplugged.
    static Result<std::unique_ptr<VirtualPhone>> open(const std::filesystem::path& dir,
                                                      Options options);
    static Result<std::unique_ptr<VirtualPhone>> open(const std::filesystem::path& dir);
    ~VirtualPhone() override;

    // Parses the text of attributes.json into attribute bits by phone path; the error names
    // `fileName` and the entry that is wrong.
    static Result<std::map<std::string, int>> parseAttributes(std::string_view text,
                                                              const std::string& fileName);
    // The attributes.json text of attribute bits by phone path.
    static std::string attributesText(const std::map<std::string, int>& attributes);

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

    // Plugs the phone in / pulls it out; the status callback (once P2K_Init gave one) hears
    // about it. While unplugged every call but P2K_Init fails.
    void plug();
    void unplug();
    bool isPlugged() const;
    // With the callback thread: returns once every status call made so far was delivered.
    void waitForCallbacks();

    // The `nth` next call of `call` from now (1 = the very next) fails with -1, or first
    // unplugs the phone and then fails. For P2K_SendCMD, `fsacSubcommand` narrows the count
    // to FSAC requests of that kind.
    void addTrap(PhoneCall call, int nth, TrapAction action,
                 std::optional<uint32_t> fsacSubcommand = std::nullopt);
    void clearTraps();

    // Every call so far, in order.
    std::vector<PhoneRequest> requests() const;
    void clearRequests();
    // Recording can be switched off for long runs (benchmarks).
    void setRecording(bool on);

    const PhoneIdentity& identity() const { return identity_; }
    const std::filesystem::path& folder() const { return dir_; }
    // Where a phone path lies in DIR; empty when the path is refused (leaves DIR, passes
    // through a link, names no volume, "." or ".." components, longer than 503 bytes).
    std::filesystem::path resolve(const std::string& phonePath) const;

private:
    struct Resolved {
        std::filesystem::path file;
        std::string phonePath;   // the canonical form: "/a/mobile/x.gif", no trailing "/"
    };
    std::optional<Resolved> resolvePath(const std::string& phonePath) const;

    VirtualPhone(std::filesystem::path dir, PhoneIdentity identity, Options options);

    struct Trap {
        PhoneCall call;
        int remaining;
        TrapAction action;
        std::optional<uint32_t> subcommand;
    };
    struct OpenFile {
        std::filesystem::path file;
        std::string phonePath;
        int attributes = 0;      // the bits it was opened with
        uint64_t position = 0;
        bool readSeen = false;
        bool written = false;
    };

    // Records the call, then applies a matching trap: returns true when the call must fail.
    bool enter(PhoneRequest& request);
    void finish(PhoneRequest& request, int result);
    void notify(int connected);
    void deliverPending();
    void callbackLoop();

    int fsac(const uint8_t* request, int requestLength, uint8_t* reply, int wanted, int* delivered);
    int fsacOpen(const uint8_t* request, int requestLength);
    int fsacSeek(const uint8_t* request, int requestLength);
    int fsacRead(const uint8_t* request, int requestLength, uint8_t* reply, int wanted,
                 int* delivered);
    int fsacWrite(const uint8_t* request, int requestLength);
    int fsacClose();
    int volumeInfo(uint8_t* reply, int wanted, int* delivered);
    int freeSpace(const uint8_t* request, int requestLength, uint8_t* reply, int wanted, int* delivered);
    // Sets and stores the attribute bits of a phone path; false when they cannot be stored.
    bool setAttributes(const std::string& phonePath, int bits);
    int version(const uint8_t* request, int requestLength, uint8_t* reply, int wanted,
                int* delivered);
    std::vector<char> volumeLetters() const;
    std::filesystem::path seemFile(int seem, int record) const;
    Status loadAttributes();
    bool saveAttributes() const;

    const std::filesystem::path dir_;
    const PhoneIdentity identity_;
    const Options options_;

    mutable std::mutex mutex_;
    bool plugged_ = false;
    StatusCallback status_;
    std::vector<PhoneRequest> requests_;
    bool recording_ = true;
    std::vector<Trap> traps_;
    std::optional<OpenFile> open_;
    std::optional<std::pair<std::string, int>> pendingAttributes_;
    std::vector<PhoneFileEntry> counted_;
    bool countedValid_ = false;
    std::map<std::string, int> attributes_;
    std::deque<int> pending_;   // status calls not yet delivered

    // The callback thread, fed from pending_ under mutex_.
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<int> queue_;
    bool delivering_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace tessaro
