#pragma once
// One file's transfer between the computer and the phone over FSAC, as the operation log tells
// it: "[P2KFileRead] Enter PATH", each request with its result, and what happened when it
// was stopped. The phone names no file handle, so one transfer at a time has its file open.

#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"
#include "p2k/fsac_channel.h"

namespace tessaro {

class PhoneClient;

// Which way a file goes, and whether as one of a batch; it tags the transfer's log lines
// ("[P2KFileRead]", "[P2KGroupRead]", "[P2KFileWrite]", "[P2KGroupWrite]").
enum class TransferKind { Download, BatchDownload, Upload, BatchUpload };

class PhoneFileTransfer {
public:
    // Every failure of the transfer's requests says `failureText` ("Error reading PATH"), with
    // the kind the client gives it (the phone gone or refusing).
    PhoneFileTransfer(PhoneClient& client, std::string path, TransferKind kind, std::string failureText);

    // Logs "Enter PATH" and opens the file, setting its attribute bits to `attributes`:
    // "Send command FSAC (0x0000) RC=0".
    Status open(uint32_t attributes);
    // To the start of the file: "Send command FSAC (0x0003) RC=0".
    Status seekToStart();
    // Reads up to `count` bytes (1 to 1024): "Send command FSAC (0x0001) RC=0 bytes
    // received=1024" ("bytes received1024" in a batch). The bytes delivered, valid until the
    // next request; a reply without any fails as a refusal does.
    Result<std::span<const uint8_t>> read(int count);
    // Writes up to 1024 bytes: "Send command FSAC (0x0002) RC=0 bytes sent=N", N counting the
    // 8 bytes of the request's head.
    Status write(std::span<const uint8_t> bytes);
    // "Send command FSAC (0x0004) RC=0".
    Status close();

    // Deletes a file the phone kept longer than what was written over it (its old tail not
    // cut), before it is written anew: "The phone kept the old file's tail, File_Delete PATH
    // RC=0".
    Status deleteLongerFile();
    // Deletes what a stopped upload left of a new file: "Upload cancelled, File_Delete PATH
    // RC=0".
    Status deleteCancelledUpload();
    // Deletes what a failed upload left of a new file: "Upload failed, File_Delete PATH RC=0".
    Status deleteFailedUpload();
    // "Download cancelled, nothing kept of PATH".
    void logDownloadCancelled();
    // "Upload cancelled, putting back PATH" ("Upload failed, ..." when it was not stopped but
    // failed): the phone's old file is about to be written back.
    void logPuttingBack(bool cancelled);

private:
    void logLine(const std::string& text);
    std::string tag() const;

    PhoneClient& client_;
    FsacChannel channel_;
    std::string path_;
    TransferKind kind_;
    std::string failureText_;
};

} // namespace tessaro
