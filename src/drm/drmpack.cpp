#include "drm/drmpack.h"

#include <cstdio>

#include "core/bytes.h"
#include "core/text_file.h"
#include "core/translatable.h"
#include "drm/gif_writer.h"

namespace tessaro {

namespace {

// Header fields.
constexpr size_t kPlainBaseAt = 0;
constexpr size_t kHeadedBaseAt = 8;
constexpr size_t kRawFlagAt = 31; // last byte of the big-endian word at 28
constexpr size_t kPlainDirectoryAt = 40;
constexpr size_t kHeadedDirectoryAt = 52;
constexpr size_t kRawDirectoryAt = 48;
constexpr size_t kRawEndAt = 56;
constexpr size_t kLowRawDirectoryAt = 40;
constexpr size_t kLowRawEndAt = 48;
constexpr uint32_t kBaseMask = 0xFFFFFF00u;

// Directory words.
constexpr size_t kTableEndWord = 1;
constexpr size_t kStoredBaseWord = 4;
constexpr size_t kTableWord = 5;
constexpr size_t kRawTableWord = 12;
constexpr size_t kRawDataWord = 13;
// The offset table and the raw table each start with a leading item that is skipped.
constexpr uint32_t kTableLead = 4;
constexpr uint32_t kRawTableLead = 16;

std::string hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(value));
    return text;
}

// True when `count` items of `itemSize` bytes from `offset` lie inside a file of `size` bytes.
bool fits(uint64_t offset, uint64_t count, uint64_t itemSize, uint64_t size)
{
    return offset <= size && count <= (size - offset) / itemSize;
}

} // namespace

uint64_t rawImageDataSize(uint16_t width, uint16_t height)
{
    const uint64_t pixels = uint64_t(width) * height;
    return 2 * pixels + (pixels + 7) / 8;
}

const char* packKindName(PackKind kind)
{
    switch (kind) {
    case PackKind::Plain: return "plain";
    case PackKind::Headed: return "headed";
    case PackKind::HeadedRaw: return "headed-raw";
    }
    return "";
}

uint32_t DrmPack::storedCount() const
{
    // Offered indices are 0 .. total - 2; the raw ones come first.
    const uint32_t offered = total_ > 0 ? total_ - 1 : 0;
    return offered > rawCount() ? offered - rawCount() : 0;
}

void DrmPack::clear()
{
    image_.clear();
    image_.shrink_to_fit();
    kind_ = PackKind::Plain;
    imageBase_ = 0;
    offsetTable_.clear();
    offsetTable_.shrink_to_fit();
    rawTable_.clear();
    rawTable_.shrink_to_fit();
    total_ = 0;
}

Result<uint32_t> DrmPack::loadDrmPack(const std::string& path)
{
    clear();
    auto file = readWholeFileBytes(path, FileWording::Quoted);
    if (!file)
        return file.failure();
    image_ = std::move(file).value();
    auto total = buildTables();
    if (!total) {
        clear();
        return Error(total.failure().kind,
                     "\"" + path + TRANSLATABLE("Core", "\" holds no readable DRM icon pack: ") + total.error());
    }
    loaded_ = true;
    return total;
}

Result<uint32_t> DrmPack::loadImage(std::vector<uint8_t> image)
{
    clear();
    image_ = std::move(image);
    auto total = buildTables();
    if (!total) {
        clear();
        return total;
    }
    loaded_ = true;
    return total;
}

Result<uint32_t> DrmPack::buildTables()
{
    const ByteReader image(image_);
    const uint64_t size = image.size();
    if (size < kCg15HeaderSize)
        return Error(ErrorKind::Format, "the file is " + std::to_string(size) + " bytes long, shorter than the "
                                            + std::to_string(kCg15HeaderSize) + "-byte header");

    size_t baseAt = kPlainBaseAt;
    size_t directoryAt = kPlainDirectoryAt;
    size_t rawEndAt = 0;
    kind_ = PackKind::Plain;
    if (readBE32(image.at(0)) == 0) {
        baseAt = kHeadedBaseAt;
        if (image.at(kRawFlagAt)[0] == 0) {
            kind_ = PackKind::Headed;
            directoryAt = kHeadedDirectoryAt;
        } else {
            kind_ = PackKind::HeadedRaw;
            directoryAt = kRawDirectoryAt;
        }
    }
    imageBase_ = readBE32(image.at(baseAt)) & kBaseMask;
    if (kind_ == PackKind::HeadedRaw) {
        if (imageBase_ == kLowRawLayoutBase) {
            directoryAt = kLowRawDirectoryAt;
            rawEndAt = kLowRawEndAt;
        } else {
            rawEndAt = kRawEndAt;
        }
    }

    // Address arithmetic is 32-bit and wraps, as on the phone; whatever comes out is then
    // checked against the file.
    const uint32_t directoryAddress = readBE32(image.at(directoryAt));
    const uint32_t directoryOffset = directoryAddress - imageBase_;
    if (!fits(directoryOffset, 1, kPackDirectorySize, size))
        return Error(ErrorKind::Format, "the pack directory at address " + hex(directoryAddress) + " (header offset "
                                            + std::to_string(directoryAt) + ", file offset " + hex(directoryOffset)
                                            + ") lies outside the file of " + std::to_string(size) + " bytes");
    uint32_t word[kPackDirectorySize / 4];
    for (size_t i = 0; i < std::size(word); ++i)
        word[i] = readBE32(image.at(directoryOffset + 4 * i));

    const uint64_t tableStart = uint64_t(word[kTableWord]) + kTableLead;
    const uint64_t tableEnd = word[kTableEndWord];
    if (tableEnd < tableStart)
        return Error(ErrorKind::Format, "the offset table ends at address " + hex(tableEnd)
                                            + " (directory word 1) before it starts at " + hex(tableStart)
                                            + " (directory word 5 + 4)");
    const uint64_t entries = (tableEnd - tableStart) / 4;
    const uint32_t tableOffset = word[kTableWord] - imageBase_ + kTableLead;
    if (!fits(tableOffset, entries, 4, size))
        return Error(ErrorKind::Format, "the offset table of " + std::to_string(entries) + " entries at file offset "
                                            + hex(tableOffset) + " lies outside the file of " + std::to_string(size)
                                            + " bytes");

    uint64_t records = 0;
    uint32_t rawOffset = 0;
    if (kind_ == PackKind::HeadedRaw) {
        const uint64_t rawStart = uint64_t(word[kRawTableWord]) + kRawTableLead;
        const uint64_t rawEnd = readBE32(image.at(rawEndAt));
        if (rawEnd < rawStart)
            return Error(ErrorKind::Format, "the raw table ends at address " + hex(rawEnd) + " (header offset "
                                                + std::to_string(rawEndAt) + ") before it starts at " + hex(rawStart)
                                                + " (directory word 12 + 16)");
        records = (rawEnd - rawStart) / kRawRecordSize;
        rawOffset = word[kRawTableWord] - imageBase_ + kRawTableLead;
        if (!fits(rawOffset, records, kRawRecordSize, size))
            return Error(ErrorKind::Format, "the raw table of " + std::to_string(records) + " records at file offset "
                                                + hex(rawOffset) + " lies outside the file of " + std::to_string(size)
                                                + " bytes");
    }

    const uint32_t storedBase = word[kStoredBaseWord] - imageBase_;
    offsetTable_.resize(entries);
    for (uint64_t j = 0; j < entries; ++j)
        offsetTable_[j] = readBE32(image.at(tableOffset + 4 * j)) + storedBase;

    const uint32_t rawDataBase = word[kRawDataWord] - imageBase_;
    rawTable_.resize(records);
    for (uint64_t i = 0; i < records; ++i) {
        const uint8_t* r = image.at(rawOffset + kRawRecordSize * i);
        RawImageRecord& record = rawTable_[i];
        record.width = readBE16(r);
        record.height = readBE16(r + 2);
        record.keyColour = 0xFF000000u | (uint32_t(r[8]) << 16) | (uint32_t(r[9]) << 8) | r[10];
        record.dataOffset = rawDataBase + 2 * readBE32(r + 12);
    }

    // Both counts are bounded by the file size, so the sum cannot overflow 32 bits; an image
    // with neither stored nor raw icons has a total of 0.
    const uint64_t sum = entries + records;
    if (kind_ == PackKind::HeadedRaw)
        total_ = sum > 0 ? uint32_t(sum - 1) : 0;
    else
        total_ = uint32_t(entries);
    return total_;
}

std::optional<std::vector<uint8_t>> DrmPack::extractDrmIcon(uint32_t index) const
{
    if (index < rawTable_.size())
        return rawIcon(index);
    return storedIcon(index);
}

std::optional<std::vector<uint8_t>> DrmPack::rawIcon(uint32_t index) const
{
    const RawImageRecord& record = rawTable_[index];
    if (record.width == 0 || record.height == 0)
        return std::nullopt;
    const uint64_t needed = rawImageDataSize(record.width, record.height);
    // A record's data runs up to the next record's data; the last record has no successor
    // and is only bounded by the file.
    if (index + 1 < rawTable_.size()) {
        const uint32_t next = rawTable_[index + 1].dataOffset;
        if (next <= record.dataOffset || next - record.dataOffset < needed)
            return std::nullopt;
    }
    const ByteReader image(image_);
    if (!image.has(record.dataOffset, needed))
        return std::nullopt;
    auto pixels = decodeRawImage(record, image.slice(record.dataOffset, needed));
    if (!pixels)
        return std::nullopt;
    auto gif = convertToGif(*pixels);
    if (!gif)
        return std::nullopt;
    return std::move(gif).value();
}

std::optional<std::vector<uint8_t>> DrmPack::storedIcon(uint32_t index) const
{
    // Only indices below total - 1 are icons; with a raw table that leaves the last stored
    // icon out.
    if (uint64_t(index) + 1 >= total_)
        return std::nullopt;
    const uint64_t j = index - rawTable_.size();
    if (j + 1 >= offsetTable_.size())
        return std::nullopt;
    const uint32_t begin = offsetTable_[j];
    const uint32_t end = offsetTable_[j + 1];
    const ByteReader image(image_);
    if (end <= begin || !image.has(begin, end - begin))
        return std::nullopt;
    const auto bytes = image.slice(begin, end - begin);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::optional<ArgbImage> DrmPack::decodeRawImage(const RawImageRecord& record, std::span<const uint8_t> data)
{
    if (record.width == 0 || record.height == 0 || data.size() < rawImageDataSize(record.width, record.height))
        return std::nullopt;
    ArgbImage image;
    image.width = record.width;
    image.height = record.height;
    const size_t pixels = size_t(record.width) * record.height;
    image.pixels.resize(pixels);
    const uint8_t* mask = data.data() + 2 * pixels;
    for (size_t k = 0; k < pixels; ++k) {
        const uint8_t b0 = data[2 * k];
        const uint8_t b1 = data[2 * k + 1];
        // RGB565 without low-bit replication: the low bits stay zero.
        const uint32_t red = b0 & 0xF8u;
        const uint32_t green = ((((b0 & 7u) << 3) | (b1 >> 5)) << 2) & 0xFFu;
        const uint32_t blue = (uint32_t(b1) << 3) & 0xFFu;
        uint32_t argb = 0xFF000000u | (red << 16) | (green << 8) | blue;
        if (mask[k / 8] & (0x80u >> (k % 8)))
            argb ^= record.keyColour;
        image.pixels[k] = argb;
    }
    return image;
}

} // namespace tessaro
