#pragma once
// The local backups of phone files that uploads write over: where they lie, how each gets a
// name of its own, and which are kept.
//
// The backups of a phone file lie in "Backups/" of the data folder, below the phone's folder
// (backupPhoneFolder) and the phone path's folders ("Backups/312345678901234/a/mobile/system/").
// Each is named after the file and the time it was made ("mma_ucp.20261207-174501", "-1",
// "-2"... when that name is taken), a name created exclusively, so no backup ever overwrites
// another. A name is reserved empty before the copy arrives; a run killed meanwhile leaves it
// empty, so an empty file is never counted as a backup.

#include <string>
#include <vector>

#include "core/result.h"

namespace tessaro {

struct PhoneContext;

// How many backups of each phone file (per phone) are kept; older ones are removed.
inline constexpr int kBackupsKept = 10;

// The folder under "Backups/" of the phone with `imei`: the IMEI itself, or "unknown" when it
// is not known.
std::string backupPhoneFolder(const std::string& imei);
// The folder of the backups of `phonePath` of the phone with `imei` in `dataFolder` (which
// ends in a separator), ending in a separator.
std::string backupFolderFor(const std::string& dataFolder, const std::string& imei, const std::string& phonePath);
// The same for the connected phone.
std::string backupFolderFor(const PhoneContext& phone, const std::string& phonePath);

// Whether `fileName` is a backup name of the phone file named `phoneName`.
bool isBackupName(const std::string& fileName, const std::string& phoneName);

// Reserves a new backup name of the phone file `phoneName` in `folder` (made when missing),
// stamped with the time: the file is created there, empty and exclusively. Its path, or "Cannot
// create PATH: reason".
Result<std::string> reserveBackup(const std::string& folder, const std::string& phoneName);

// Keeps the newest kBackupsKept backups of the phone file `phoneName` in `folder` and removes
// the older ones; the files of `keep` stay besides them, whatever their age. Empty files are not
// counted: one older than a copy takes is a name a killed run reserved and is removed. Other
// files are left alone.
void removeOldBackups(const std::string& folder, const std::string& phoneName, const std::vector<std::string>& keep);

// The path of the newest backup of the phone file `phoneName` in `folder` that holds anything;
// empty when there is none.
std::string newestBackup(const std::string& folder, const std::string& phoneName);

} // namespace tessaro
