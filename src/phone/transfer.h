#pragma once
// Copying files between the phone and the computer with FSAC requests. Every call logs its
// requests and reports progress; a failure comes back as an error for the window or the
// command-line tool to show.
//
// The phone has no end-of-file answer a reader could trust (a file may end in any byte) and
// no rename, so a download asks for exactly the size a listing gave, and an upload over an
// existing file first keeps the phone's old file in a local backup (phone/phone_backups.h).

#include <string>
#include <vector>

#include "core/result.h"
#include "p2k/file_list_entry.h"
#include "phone/phone_backups.h"

namespace tessaro {

struct PhoneContext;
class BatchProgress;

// Finds a phone file in a listing of its folder with the mask "*" (of its volume when the
// folder is too long for a count request), by exact name, for its size and attribute bits.
// NotFound when the listing holds no such file.
Result<PhoneFileEntry> findPhoneFile(PhoneContext& phone, const std::string& phonePath);

// Downloads `file` (as a listing gave it) into `localPath`: opens it with its own attribute
// bits, which so stay as they are, and reads exactly its size in blocks of at most 1024
// bytes, never at or past its end. The local file is replaced only once the whole file
// arrived. The transfer's own progress window shows `label` + " P%". A download stopped from
// its window ends Cancelled and keeps nothing. A close the phone refuses after the whole file
// arrived fails (the phone may hold the file open until it restarts) but keeps the local copy.
Status downloadFile(PhoneContext& phone, const PhoneFileEntry& file, const std::string& localPath,
                    const std::string& label);
// The same, reporting into the caller's double progress window.
Status downloadFile(PhoneContext& phone, const PhoneFileEntry& file, const std::string& localPath,
                    BatchProgress& batch);
// findPhoneFile, then the download with the transfer's own progress window showing `label`.
Status downloadFile(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                    const std::string& label);

// What an upload did to the phone's file besides writing it.
struct UploadReport {
    // The backup that holds the phone's previous file: the one this upload made, or, for a file
    // an earlier upload left cut, that upload's. Empty when the phone had no such file.
    std::string backup;
    // The upload failed and the phone has its previous file back.
    bool putBack = false;
    // The upload failed and left the phone's file cut short (the phone gone, or refusing its
    // old file): remembered in InterruptedUploads, so that the backup is offered back when this
    // phone is connected again.
    bool leftCut = false;
};

// Uploads `localPath`, a regular file (looked at before anything is sent, and opened without
// waiting on a pipe), as `phonePath`: opened with attribute bits 0 (over an existing file
// too: nothing is deleted), written in blocks of at most 1024 bytes, closed. When the phone
// already has that file, it is first downloaded into a new backup, with a progress window of
// its own ("Keeping a copy of NAME P%"); a backup that cannot be written stops the upload
// before anything is sent. Afterwards the size is checked in a listing: a file the phone kept
// longer (the old tail not cut) is deleted and written again.
//
// When the upload is stopped from its window or fails after the phone's file was opened, the
// file is not left cut: a new file is deleted, and a file written over gets its previous file
// back from the backup, attribute bits included ("Error writing PATH. The phone's previous file
// was put back"; a stopped upload ends Cancelled). When that cannot be done either, the upload
// is remembered (UploadReport::leftCut) and the error says where the backup is. A successful
// upload of a path clears what was remembered of it. A failed close is a failed upload; a
// count or listing the phone refuses (a folder it does not have) does not stop it.
//
// `batch` null shows the transfer's own progress window, else it reports into the caller's
// double progress window. `report`, when given, receives what became of the phone's file.
Status uploadFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                  BatchProgress* batch = nullptr, UploadReport* report = nullptr);

// One file of uploadFiles.
struct UploadItem {
    std::string localPath;
    std::string phonePath;
};

// What became of one file of uploadFiles.
struct UploadResult {
    bool tried = false; // false when the batch stopped before this file
    Status status;
    UploadReport report;
};

// Uploads `files` in order as uploadFile does, into `batch` (null: each file with its own
// window), stopping at the first failure, which is returned. Each folder is listed once for
// all the files going there, and once more at the end for the sizes of the files written over
// existing ones. `results`, when given, receives one result per file.
Status uploadFiles(PhoneContext& phone, const std::vector<UploadItem>& files, BatchProgress* batch,
                   std::vector<UploadResult>* results = nullptr);

// Puts the previous file of `phonePath` back on the phone: the backup an upload that left the
// file cut remembered for this phone (InterruptedUploads), else the newest backup of that path
// kept for this phone (one that holds anything). Uploaded as uploadFile does (a file not known
// to be cut is itself kept first), then given the attribute bits the file had: those remembered,
// else those of the file it replaces. What was remembered of the path is cleared. The backup's
// path; NotFound "No backup of PATH is kept for this phone" when there is none.
Result<std::string> putBackBackup(PhoneContext& phone, const std::string& phonePath);

} // namespace tessaro
