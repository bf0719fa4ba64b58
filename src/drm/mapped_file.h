#pragma once
// The bytes of a whole file, read-only. Regular files are mapped, so a firmware image of
// tens of megabytes costs only the pages actually looked at; anything that cannot be mapped
// (a pipe, an empty file) is read into memory instead.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace tessaro {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps (or reads) the file; fails with "Cannot open file "PATH". reason" or
    // "Cannot read file "PATH". reason".
    static Result<MappedFile> open(const std::string& path);
    // Bytes already in memory, held the same way.
    static MappedFile fromBytes(std::vector<uint8_t> bytes);

    std::span<const uint8_t> bytes() const { return bytes_; }
    bool isMapped() const { return map_ != nullptr; }

private:
    void release();

    void* map_ = nullptr;
    size_t mapLength_ = 0;
    std::vector<uint8_t> copy_;
    std::span<const uint8_t> bytes_;
};

} // namespace tessaro
