#pragma once
// A complete phone in software behind the P2K library interface, kept in a PhoneFolder (see
// phone_folder.h for what the folder holds). It answers FSAC requests byte by byte, VERSION
// queries and SEEM reads and writes, lists files into 512-byte entries, keeps attributes, and
// can be plugged in and unplugged.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/result.h"
#include "p2k/file_list_entry.h"
#include "p2k/p2k_api.h"
#include "p2k/phone_folder.h"

namespace tessaro {

class VirtualPhone : public P2kApi {
public:
    struct Options {
        // Deliver status calls from a thread of the phone's own, as a real library may;
        // otherwise they are made on the thread that plugs, unplugs or calls.
        bool callbackThread = false;
        // P2K_Restart unplugs the phone and plugs it in again, as a rebooting phone does.
        bool rebootOnRestart = true;
    };

    // Opens the phone kept in `dir`: reads and checks phone.json. The phone starts unplugged.
    static Result<std::unique_ptr<VirtualPhone>> open(const std::filesystem::path& dir,
                                                      Options options);
    static Result<std::unique_ptr<VirtualPhone>> open(const std::filesystem::path& dir);
    ~VirtualPhone() override;

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

    const PhoneIdentity& identity() const { return folder_.identity(); }
    const std::filesystem::path& folder() const { return folder_.path(); }
    // Where a phone path lies in DIR; empty when the path is refused (see PhoneFolder::locate).
    std::filesystem::path resolve(const std::string& phonePath) const;

private:
    VirtualPhone(PhoneFolder folder, Options options);

    // The FSAC file session: the protocol names no handle, so there is at most one.
    struct OpenFile {
        PhoneFolder::Location at;
        int attributes = 0;      // the bits it was opened with
        uint64_t position = 0;
        bool readSeen = false;
        bool written = false;
    };

    // Forgets the file session and the listing, as a phone that goes away does.
    void forgetSessions();
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
    int version(const uint8_t* request, int requestLength, uint8_t* reply, int wanted,
                int* delivered);
    // The volumes the FSAC volume reply has room for.
    std::vector<char> volumeLetters() const;

    const Options options_;

    mutable std::mutex mutex_;
    PhoneFolder folder_;
    bool plugged_ = false;
    StatusCallback status_;
    std::optional<OpenFile> open_;
    std::optional<std::pair<std::string, int>> pendingAttributes_;
    std::vector<PhoneFileEntry> counted_;
    bool countedValid_ = false;
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
