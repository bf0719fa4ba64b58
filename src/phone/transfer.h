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

// The folder of the backups of a phone file: "Backups/" in the data folder with the phone
// path's folders below it ("Backups/a/mobile/system/"). Each backup is named after the file and
// the time it was made ("mma_ucp.20261207-174501"), so putting one back never overwrites it.
std::string backupFolderFor(const PhoneContext& phone, const std::string& phonePath);

// Finds a phone file by listing its folder with the file's name as the mask, for its size
// and attribute bits. Refused when the phone lists no such file.
Result<PhoneFileEntry> findPhoneFile(PhoneContext& phone, const std::string& phonePath);

// Downloads `file` (as a listing gave it) into `localPath`: opens it with its own attribute
// bits, which so stay as they are, and reads exactly its size in blocks of at most 1024
// bytes, never at or past its end. The local file is replaced only once the whole file
// arrived. The transfer's own progress window shows `label` + " P%". A download stopped from
// its window ends Cancelled and keeps nothing.
Status downloadFile(PhoneContext& phone, const PhoneFileEntry& file, const std::string& localPath,
                    const std::string& label);
// The same, reporting into the caller's double progress window.
Status downloadFile(PhoneContext& phone, const PhoneFileEntry& file, const std::string& localPath,
                    BatchProgress& batch);
// findPhoneFile, then the download with the transfer's own progress window showing `label`.
Status downloadFile(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                    const std::string& label);

// Uploads `localPath` as `phonePath`. When the phone already has that file, it is first
// downloaded into a new backup (see backupFolderFor); an upload stopped from its window puts
// the old file back from there, and a failed one says where the backup is. A failed close is
// a failed upload. `batch` null shows the transfer's own progress window, else it reports into
// the caller's double progress window. `backup`, when given, receives the backup's path (empty
// when the phone had no such file).
Status uploadFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                  BatchProgress* batch = nullptr, std::string* backup = nullptr);

} // namespace tessaro
