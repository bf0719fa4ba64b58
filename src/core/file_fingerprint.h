#pragma once
// What a file was when it was read: its size, modification time and a hash of its content. A
// save compares it with the file on disk so that a change made by another program since the
// file was opened is not overwritten without a word.

#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

inline constexpr char kChangedOnDiskText[] =
    TRANSLATABLE("Core", "The file was changed by another program since it was opened");

struct FileFingerprint {
    bool exists = false;
    uint64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    uint64_t hash = 0; // FNV-1a of the content

    bool operator==(const FileFingerprint&) const = default;
};

// The fingerprint of the file at `path` now, the content hashed from `content` (the bytes just
// read from it). A missing file gives one with exists false.
FileFingerprint fingerprintOf(const std::string& path, std::span<const uint8_t> content);
// The fingerprint of the file at `path` as it is on disk now, read whole.
FileFingerprint fingerprintOnDisk(const std::string& path);

// Succeeds when the file at `path` still matches `opened`; otherwise fails with kind
// ChangedOnDisk, kChangedOnDiskText and the caption "Error", for the question whether to save
// all the same. Run it under the FolderLock of the save.
Status checkUnchanged(const std::string& path, const FileFingerprint& opened);

} // namespace tessaro
