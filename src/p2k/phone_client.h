#pragma once
// The phone as the program's work sees it: the library's operations with typed arguments and
// results. Each operation writes its own line of the operation log "p2klog.txt", and each
// request the phone did not carry out comes back as an Error: PhoneGone when the link is down
// by then, else PhoneRefused. File transfers have their own class, PhoneFileTransfer.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "p2k/file_list_entry.h"
#include "p2k/p2k_api.h"

namespace tessaro {

class OperationLog;
struct PhoneLinkState;

// Who counts or lists files; it tags the lines in the log ("[GetIconList] FileCountEx  RC=3").
enum class ListingLog {
    Icons,       // "[GetIconList]"
    AllFiles,    // "[GetFileList]"
    Masked,      // "[GetMaskedList]"
    FolderCheck, // "[DeleteFolder]": whether a folder the phone would not delete still holds files
};

// What a count found. The library lists the files of the pattern it counted last.
struct FileCount {
    std::string pattern;
    int files = 0;
};

// The pattern a listing that finds `path` counts: its folder with the mask "*"
// ("/a/mobile/*"), or its volume's ("/a/*") when the folder does not fit a count request.
std::string listingPatternFor(const std::string& path);

class PhoneClient {
public:
    // Listing progress: entries done, entries in total.
    using ListingProgress = std::function<void(int done, int total)>;

    // `link` is the state the status callback keeps; all three must outlive the client.
    PhoneClient(P2kApi& api, PhoneLinkState& link, OperationLog& log);

    OperationLog& log() { return log_; }

    // ---- the link

    // Starts the library, which then calls `status` as a phone comes and goes (see P2kApi).
    // Not logged. Fails "Error initializing P2KAPI library" (no caption).
    Status start(P2kApi::StatusCallback status);
    // Logs "Phone connected", or "Phone disconnected" when `connected` is false.
    void logConnection(bool connected);
    // Logs "Phone is restarted", then restarts the phone. Fails "Error restarting the phone".
    Status restart();

    // ---- who the phone is

    // Record 1 of a SEEM the connection sequence reads (the model, the IMEI): the bytes the
    // phone delivered, logged "Read SEEM 279_1 RC=10". Fails "Error reading SEEM".
    Result<std::vector<uint8_t>> readIdentitySeem(int seem);
    // The firmware version from VERSION 0xFFFF: reply bytes 5 up to byte L (L = reply byte 0),
    // within what was delivered; empty when the reply is shorter. Logged
    // "[GetFWVersion] Send command VERSION (0xFFFF)  RC=0". Fails "Error reading the firmware
    // version".
    Result<std::string> readFirmwareVersion();
    // The LP version from VERSION 0x0004: reply byte 1 × 256 + byte 2, bytes not delivered
    // counting as 0. Logged "[GetLPVersion] Send command VERSION (0x0004)  RC=0". Fails "Error
    // reading the LP version".
    Result<uint16_t> readLpVersion();

    // ---- SEEM records (not logged)

    // A whole record, at most kSeemBufferSize bytes. Fails "Error reading SEEM" (caption
    // "P2K Error"), also when the library claims more bytes than the buffer holds.
    Result<std::vector<uint8_t>> readSeem(int seem, int record);
    // Writes `bytes` (at most kSeemBufferSize) as the whole record. Fails "Error writing SEEM"
    // (caption "P2K Error").
    Status writeSeem(int seem, int record, std::span<const uint8_t> bytes);

    // ---- volumes

    // The phone's volume letters in its order (byte 3 of each 6-byte record of the answer).
    // Not logged. Fails "Error getting volume info" (no caption).
    Result<std::vector<char>> queryVolumes();
    // The same for a listing, logged under its tag with 0 or -1: "[GetIconList] Get volume
    // info RC=0" ("[GetFileList] Get volume info  RC=0").
    Result<std::vector<char>> queryVolumes(ListingLog listing);
    // The free bytes of a volume, logged "[FreeSpace] /a RC=0". Fails "Error getting free space
    // of volume /a", also when the answer is too short.
    Result<uint32_t> freeSpace(char volume);

    // ---- counts and listings

    // Counts the files matching `pattern` ("/a/*.gif"), logged "TAG FileCountEx  RC=N". Fails
    // "Error reading PATTERN".
    Result<FileCount> countFiles(const std::string& pattern, ListingLog listing);
    // Lists what `counted` counted (at most 32768 entries: a larger count is not believed),
    // logged "TAG FileListEx  RC=0". Each progress report is logged "[ProgressProc]
    // completion=D of T" before `progress` (may be empty) hears of it. Entries the library left
    // without a path are dropped. Fails "Error reading PATTERN".
    Result<std::vector<PhoneFileEntry>> listFiles(const FileCount& counted, ListingLog listing,
                                                  const ListingProgress& progress);
    // Logs "TAG Listing cancelled".
    void logListingCancelled(ListingLog listing);
    // The entry of the file `path`, from a listing with the mask "*" (see listingPatternFor)
    // matched by exact name; nothing when the listing holds no such file. Logged "[FindFile]
    // FileCountEx /a/mobile/* RC=12" and "[FindFile] FileListEx RC=0". Fails "Error reading
    // PATH" when the phone refuses the count or the listing.
    Result<std::optional<PhoneFileEntry>> findFile(const std::string& path);
    // The whole listing findFile(path) looks in: every file of the pattern listingPatternFor(path)
    // (at most 32768), logged as findFile's. Fails "Error reading PATH" as findFile does.
    Result<std::vector<PhoneFileEntry>> listFolderOf(const std::string& path);

    // ---- files and folders

    // Logged "[DeleteFile] File_Delete PATH RC=0"; fails "Error deleting PATH".
    Status deleteFile(const std::string& path);
    // Logged "[CreateFolder] File_CreateDir PATH RC=0"; fails "Error creating PATH".
    Status createFolder(const std::string& path);
    // Deletes an empty folder, logged "[DeleteFolder] File_DeleteDir PATH RC=0"; fails "Error
    // deleting PATH".
    Status deleteFolder(const std::string& path);
    // File_Create and File_Close with the attribute bits (1 read-only, 2 hidden, 4 system),
    // logged "Set attribute 4 to PATH RC=0". Fails "Error changing attributes for PATH".
    Status setAttributes(const std::string& path, int attributes);

private:
    friend class PhoneFileTransfer;

    // The one place a request the phone did not carry out becomes an error: gone when the link
    // says so by now, else refused.
    Error failure(std::string text, std::string caption = kErrorCaption) const;
    // File_Delete, logged "TAG File_Delete PATH RC=R".
    Status removeFile(const std::string& path, const std::string& tag, std::string failureText);
    Result<std::vector<uint8_t>> seemRecord(int seem, int record, bool logged);

    P2kApi& api_;
    PhoneLinkState& link_;
    OperationLog& log_;
};

} // namespace tessaro
