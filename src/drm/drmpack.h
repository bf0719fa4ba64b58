#pragma once
// The DRM icon pack of a CG15 firmware image: the icons a menu item can show by number.
// The image is big-endian; positions in it are addresses in the phone's address space, and
// a file offset is an address minus the image base. Icons are either stored GIF files
// (copied out as they are) or raw RGB565 pictures with a 1-bit mask (decoded and turned
// into GIF in memory).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "drm/quantize.h"

namespace tessaro {

// Which header layout the image has.
enum class PackKind {
    Plain,     // first word not zero: base at 0, directory address at 40, no raw table
    Headed,    // first word zero, byte 31 zero: base at 8, directory address at 52
    HeadedRaw, // first word zero, byte 31 set: raw table; addresses at 48/56, or 40/48 at base 0x10D00000
};

// One raw picture record, converted from its 16 stored bytes.
struct RawImageRecord {
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t keyColour = 0;  // 0xFF000000 | red << 16 | green << 8 | blue
    uint32_t dataOffset = 0; // absolute file offset of the pixels

    bool operator==(const RawImageRecord&) const = default;
};

// Offset-table entries as absolute file offsets; stored icon j spans entries j to j + 1.
using IconOffsetTable = std::vector<uint32_t>;
using RawImageTable = std::vector<RawImageRecord>;

// Header words and sizes of the layout.
inline constexpr size_t kCg15HeaderSize = 60;
inline constexpr size_t kPackDirectorySize = 64;
inline constexpr size_t kRawRecordSize = 16;
// The image base at which headed images with a raw table keep their addresses 8 bytes lower.
inline constexpr uint32_t kLowRawLayoutBase = 0x10D00000;

// Bytes a raw picture of `width` x `height` occupies: 2 per pixel plus one mask bit per pixel.
uint64_t rawImageDataSize(uint16_t width, uint16_t height);

// The loaded pack together with the program-wide pack-loaded flag and current pack path.
class DrmPack {
public:
    // Reads the CG15 image at `path` and builds the tables; returns the icon total (offset
    // entries N without a raw table, N + R - 1 with R raw records; 0 when both are empty).
    // Any earlier pack is dropped first. Fails with the file error, or with a text naming the
    // field when the header, directory or a table lies outside the file or ends before it
    // starts; the pack-loaded flag is only set by a load that succeeds.
    Result<uint32_t> loadDrmPack(const std::string& path);
    // The same for an image already in memory.
    Result<uint32_t> loadImage(std::vector<uint8_t> image);

    // Icon `index` (0-based; the picker shows index + 1) as a complete GIF file, or nothing
    // when that icon has no image: an empty or reversed span, a raw picture of size 0 or
    // whose data does not fit, an index beyond the pack.
    std::optional<std::vector<uint8_t>> extractDrmIcon(uint32_t index) const;

    // Decodes a raw picture from `data` (at least rawImageDataSize bytes): RGB565 pixels made
    // opaque, masked pixels XORed with the key colour (so their alpha becomes 0). Nothing when
    // the picture is empty or the data too short.
    static std::optional<ArgbImage> decodeRawImage(const RawImageRecord& record, std::span<const uint8_t> data);

    uint32_t total() const { return total_; }
    uint32_t rawCount() const { return uint32_t(rawTable_.size()); }
    // Stored icons the numbering offers (the last one is not offered when there is a raw table).
    uint32_t storedCount() const;
    PackKind kind() const { return kind_; }
    uint32_t imageBase() const { return imageBase_; }
    const IconOffsetTable& offsetTable() const { return offsetTable_; }
    const RawImageTable& rawTable() const { return rawTable_; }
    std::span<const uint8_t> image() const { return image_; }

    // Set by every completed load; the item editor asks for a file while it is false.
    bool isLoaded() const { return loaded_; }
    void setLoaded(bool loaded) { loaded_ = loaded; }
    // The CG15 file the user chose last; it outlives the picker window.
    const std::string& packPath() const { return packPath_; }
    void setPackPath(const std::string& path) { packPath_ = path; }

private:
    void clear();
    Result<uint32_t> buildTables();
    std::optional<std::vector<uint8_t>> rawIcon(uint32_t index) const;
    std::optional<std::vector<uint8_t>> storedIcon(uint32_t index) const;

    std::vector<uint8_t> image_;  // the whole pack file
    PackKind kind_ = PackKind::Plain;
    uint32_t imageBase_ = 0;
    IconOffsetTable offsetTable_;
    RawImageTable rawTable_;
    uint32_t total_ = 0;
    bool loaded_ = false;
    std::string packPath_;
};

// "plain", "headed" or "headed-raw".
const char* packKindName(PackKind kind);

} // namespace tessaro
