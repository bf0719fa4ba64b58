#pragma once
// The bytes of a whole file, read into memory once. A firmware image is read rather than
// mapped: a mapped file that another program shortens would bring the program down on the
// next icon, while a copy costs no more than the file's own size.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace tessaro {

class FileBytes {
public:
    FileBytes() = default;

    // Reads the whole file; fails with "Cannot open file "PATH". reason" or
    // "Cannot read file "PATH". reason".
    static Result<FileBytes> open(const std::string& path);
    // Bytes already in memory, held the same way.
    static FileBytes fromBytes(std::vector<uint8_t> bytes);

    std::span<const uint8_t> bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace tessaro
