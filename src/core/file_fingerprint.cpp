#include "core/file_fingerprint.h"

#include <sys/stat.h>

#include "core/text_file.h"

namespace tessaro {

namespace {

uint64_t fnv1a(std::span<const uint8_t> bytes)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) {
        hash ^= b;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

} // namespace

FileFingerprint fingerprintOf(const std::string& path, std::span<const uint8_t> content)
{
    FileFingerprint print;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return print;
    print.exists = true;
    print.size = uint64_t(st.st_size);
    print.modifiedSeconds = st.st_mtim.tv_sec;
    print.modifiedNanoseconds = st.st_mtim.tv_nsec;
    print.hash = fnv1a(content);
    return print;
}

FileFingerprint fingerprintOnDisk(const std::string& path)
{
    const auto bytes = readWholeFileBytes(path);
    if (!bytes) {
        // Present but unreadable: a fingerprint that matches no file that was read.
        FileFingerprint print = fingerprintOf(path, {});
        print.hash = ~print.hash;
        return print;
    }
    return fingerprintOf(path, bytes.value());
}

Status checkUnchanged(const std::string& path, const FileFingerprint& opened)
{
    if (fingerprintOnDisk(path) == opened)
        return Status::success();
    return Error(ErrorKind::ChangedOnDisk, kChangedOnDiskText);
}

} // namespace tessaro
