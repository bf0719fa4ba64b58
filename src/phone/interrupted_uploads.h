#pragma once
// Uploads that left a phone file cut short: the phone was pulled out in the middle, or would
// not take its previous file back. Each is remembered in the data folder, so that when that
// phone is connected again the file's backup can be offered back.
//
// The record is "Backups/interrupted-uploads.txt", one line per upload:
// PHONE TAB STAMP TAB ATTRIBUTES TAB PATH, where PHONE is the phone's folder under "Backups/"
// (its IMEI, or "unknown"), STAMP the part of the backup's name after the file's name and its
// dot ("20261207-174501-1"), ATTRIBUTES the decimal attribute bits the phone's file had, and
// PATH the phone path with "%", control bytes and bytes from 0x7F up written as %XX. Lines that
// do not read so are left out. It is replaced as a whole under the lock of its folder.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"

namespace tessaro {

struct InterruptedUpload {
    std::string phone;       // the phone's folder under "Backups/": backupPhoneFolder(IMEI)
    std::string path;        // the phone path, one byte a character
    std::string backup;      // the backup's local path
    uint16_t attributes = 0; // the attribute bits the phone's file had before the upload

    bool operator==(const InterruptedUpload&) const = default;
};

class InterruptedUploads {
public:
    // The record of `dataFolder` (which ends in a separator).
    explicit InterruptedUploads(std::string dataFolder);

    // The record file's path.
    std::string file() const;
    // Every upload on record, in the order they were remembered; none when there is no record
    // or it cannot be read.
    std::vector<InterruptedUpload> all() const;
    // Those of the phone with `imei`; none for a phone whose IMEI is not known, which could be
    // any phone.
    std::vector<InterruptedUpload> ofPhone(const std::string& imei) const;
    // The upload of `path` to the phone with `imei` ("" for one whose IMEI is not known).
    std::optional<InterruptedUpload> find(const std::string& imei, const std::string& path) const;

    // Adds `upload`, unless the same file of the same phone is on record already: its backup
    // holds the file from before it was first cut, which a later upload's backup (of the cut
    // file) must not replace. The error of a record that cannot be written.
    Status remember(const InterruptedUpload& upload);
    // Removes the upload of `path` to the phone with `imei`; nothing is written when there is
    // none.
    Status forget(const std::string& imei, const std::string& path);

private:
    std::string dataFolder_;
};

} // namespace tessaro
