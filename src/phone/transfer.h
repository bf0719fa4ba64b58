#pragma once
// Copying files between the phone and the computer with FSAC requests. Every call logs its
// requests and reports progress; a failure comes back as an error for the window or the
// command-line tool to show.
//
// The phone has no end-of-file answer a reader could trust (a file may end in any byte) and
// no rename, so a download asks for exactly the size a listing gave, and an upload over an
// existing file first keeps the phone's old file in a local backup.

#include <string>

#include "core/result.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

struct PhoneContext;
class BatchProgress;

// How many backups of each phone file (per phone) are kept; older ones are removed.
inline constexpr int kBackupsKept = 10;

// The folder of the backups of a phone file: "Backups/" in the data folder, the phone's folder
// (backupPhoneFolder) and the phone path's folders below it
// ("Backups/312345678901234/a/mobile/system/"). Each backup is named after the file and the
// time it was made ("mma_ucp.20261207-174501", "-1", "-2"... when that name is taken), a name
// created exclusively, so no backup ever overwrites another.
std::string backupFolderFor(const PhoneContext& phone, const std::string& phonePath);
// The folder under "Backups/" of the phone with `imei`: the IMEI itself, or "unknown" when it
// is not known.
std::string backupPhoneFolder(const std::string& imei);

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

// Uploads `localPath` as `phonePath`: opened with attribute bits 0 (over an existing file
// too: nothing is deleted), written in blocks of at most 1024 bytes, closed. When the phone
// already has that file, it is first downloaded into a new backup (see backupFolderFor; the
// last kBackupsKept are kept), and afterwards the size is checked in a listing: a file the
// phone kept longer (the old tail not cut) is deleted and written again. An upload stopped from
// its window puts the old file back from the backup, and a failed one says where the backup is.
// A failed close is a failed upload; a count or listing the phone refuses (a folder it does not
// have) does not stop it. `batch` null shows the transfer's own progress window, else it
// reports into the caller's double progress window; the backup has its own window ("Keeping a
// copy of NAME P%"). `backup`, when given, receives the backup's path (empty when the phone had
// no such file).
Status uploadFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                  BatchProgress* batch = nullptr, std::string* backup = nullptr);

} // namespace tessaro
