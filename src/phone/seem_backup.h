#pragma once
// Backup and restore of the phone settings record SEEM 0032 record 1 ("0032_0001"). A ".seem"
// file holds the record's bytes exactly as the phone delivered them, without header or trailer.

#include <string>
#include "core/translatable.h"

namespace tessaro {

struct PhoneContext;

inline constexpr int kBackupSeem = 0x0032;
inline constexpr int kBackupSeemRecord = 1;
// What the file dialogs of both operations start with.
inline constexpr char kSeemBackupFileName[] = "0032_0001.seem";
inline constexpr char kSeemBackupFilter[] = TRANSLATABLE("Core", "SEEM files|*.seem");
inline constexpr char kSeemBackupSaveTitle[] = TRANSLATABLE("Core", "Save SEEM bakup as");
inline constexpr char kSeemRestoreOpenTitle[] = TRANSLATABLE("Core", "Restore SEEM backup from");

// Reads the record and writes it to `path`, replacing the file. Does nothing while no phone is
// connected or when `path` is empty (the dialog was cancelled). Reports the outcome through
// the prompter; true when the backup was written.
bool backupSeemRecord(PhoneContext& phone, const std::string& path);

// Sends the bytes of the file at `path` as the record. Does nothing while no phone is
// connected or when `path` is empty. A file larger than the 10000-byte record image is
// refused with a message and nothing is sent. True when the phone took the record.
bool restoreSeemRecord(PhoneContext& phone, const std::string& path);

} // namespace tessaro
