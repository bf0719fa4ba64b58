#pragma once
// Read-only access to a firmware image, from a file or from memory. Reads past the end
// return fewer bytes; the image is never written.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace tessaro {

class FirmwareImage {
public:
    virtual ~FirmwareImage() = default;
    virtual uint64_t size() const = 0;
    // Copies up to out.size() bytes from `offset` into `out`; returns how many were copied
    // (0 at or beyond the end), or the error text of a failed read.
    virtual Result<size_t> read(uint64_t offset, std::span<uint8_t> out) = 0;
};

// An image file opened for reading only.
class FileImage : public FirmwareImage {
public:
    // Opens `path`; the error text names the file when it cannot be opened.
    static Result<std::unique_ptr<FileImage>> open(const std::string& path);
    ~FileImage() override;
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;

    uint64_t size() const override { return size_; }
    Result<size_t> read(uint64_t offset, std::span<uint8_t> out) override;

private:
    FileImage(int fd, uint64_t size, std::string path) : fd_(fd), size_(size), path_(std::move(path)) {}
    int fd_;
    uint64_t size_;
    std::string path_;
};

// An image held in memory (tests, fuzzing); the bytes must outlive the image.
class MemoryImage : public FirmwareImage {
public:
    explicit MemoryImage(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t size() const override { return bytes_.size(); }
    Result<size_t> read(uint64_t offset, std::span<uint8_t> out) override;

private:
    std::span<const uint8_t> bytes_;
};

} // namespace tessaro
