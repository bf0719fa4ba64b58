#pragma once
// Backup and restore of the phone settings record SEEM 0032 record 1 ("0032_0001"). A ".seem"
// file holds the record's bytes exactly as the phone delivered them, without header or trailer.

#include <string>

#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

struct PhoneContext;

inline constexpr int kBackupSeem = 0x0032;
inline constexpr int kBackupSeemRecord = 1;
// What the file dialogs of both operations start with.
inline constexpr char kSeemBackupFileName[] = "0032_0001.seem";
inline constexpr char kSeemBackupFilter[] = TRANSLATABLE("Core", "SEEM files|*.seem");
inline constexpr char kSeemBackupSaveTitle[] = TRANSLATABLE("Core", "Save SEEM backup as");
inline constexpr char kSeemRestoreOpenTitle[] = TRANSLATABLE("Core", "Restore SEEM backup from");

// What the windows and the command-line tool say after a backup or a restore.
inline constexpr char kSeemBackedUpText[] = TRANSLATABLE("Core", "SEEM 0032_0001 backed up");
inline constexpr char kSeemRestoredText[] = TRANSLATABLE("Core", "Backup SEEM 0032_0001 restored");

// Reads the record and writes it to `path`, replacing the file. An empty `path` (the dialog
// was cancelled) ends Cancelled with nothing done.
Status backupSeemRecord(PhoneContext& phone, const std::string& path);

// Sends the bytes of the file at `path` as the record. The file must hold exactly as many
// bytes as the phone's record has now: an empty or cut file, or another phone's record, is
// refused before anything is sent. An empty `path` ends Cancelled.
Status restoreSeemRecord(PhoneContext& phone, const std::string& path);

} // namespace tessaro
