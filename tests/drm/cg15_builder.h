#pragma once
// Builds small CG15 firmware images for the tests, the benchmark and the fuzzer's seeds.
// Layout of what it writes (file offsets; addresses are base + offset):
//   0      60-byte header
//   0x40   64-byte pack directory
//   0x80   offset table: leading word, then one entry per stored icon boundary
//   ...    raw table: leading 16-byte record, then one record per raw picture
//   ...    stored icon bytes, back to back
//   ...    raw picture data (2-byte aligned), back to back

#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "drm/drmpack.h"

namespace tessaro::testing {

struct RawIconSpec {
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t key[3] = {0, 0, 0};
    std::vector<uint16_t> pixels; // RGB565, rows top to bottom
    std::vector<bool> masked;     // one per pixel
};

struct Cg15Layout {
    uint32_t directory = 0;
    uint32_t offsetTable = 0; // the leading word
    uint32_t rawTable = 0;    // the leading record
    uint32_t storedData = 0;
    uint32_t rawData = 0;
    std::vector<uint32_t> rawDataOffsets; // file offset of each raw picture
};

class Cg15Builder {
public:
    PackKind kind = PackKind::Plain;
    // The base word as stored (its low byte is ignored by the reader).
    uint32_t baseWord = 0x10000000;
    std::vector<std::vector<uint8_t>> stored;
    std::vector<RawIconSpec> raw;
    Cg15Layout layout;

    uint32_t base() const { return baseWord & 0xFFFFFF00u; }

    std::vector<uint8_t> build()
    {
        layout = {};
        std::vector<uint8_t> out(0x80, 0);
        layout.directory = 0x40;
        layout.offsetTable = 0x80;
        const uint32_t entries = uint32_t(stored.size()) + 1;
        out.resize(layout.offsetTable + 4 + 4 * entries, 0);
        layout.rawTable = uint32_t(out.size());
        if (kind == PackKind::HeadedRaw)
            out.resize(out.size() + 16 * (raw.size() + 1), 0);
        const uint32_t rawTableEnd = uint32_t(out.size());

        layout.storedData = uint32_t(out.size());
        uint32_t offset = 0;
        for (size_t j = 0; j < stored.size(); ++j) {
            put32(&out[layout.offsetTable + 4 + 4 * j], offset, ByteOrder::Big);
            out.insert(out.end(), stored[j].begin(), stored[j].end());
            offset += uint32_t(stored[j].size());
        }
        put32(&out[layout.offsetTable + 4 + 4 * stored.size()], offset, ByteOrder::Big);

        if (out.size() % 2)
            out.push_back(0);
        layout.rawData = uint32_t(out.size());
        if (kind == PackKind::HeadedRaw) {
            for (size_t i = 0; i < raw.size(); ++i) {
                const RawIconSpec& icon = raw[i];
                const uint32_t dataOffset = uint32_t(out.size());
                layout.rawDataOffsets.push_back(dataOffset);
                uint8_t* record = &out[layout.rawTable + 16 * (i + 1)];
                put16(record, icon.width, ByteOrder::Big);
                put16(record + 2, icon.height, ByteOrder::Big);
                record[8] = icon.key[0];
                record[9] = icon.key[1];
                record[10] = icon.key[2];
                put32(record + 12, (dataOffset - layout.rawData) / 2, ByteOrder::Big);
                appendRawData(out, icon);
                if (out.size() % 2)
                    out.push_back(0);
            }
        }

        // Header.
        const uint32_t dirAddress = base() + layout.directory;
        if (kind == PackKind::Plain) {
            put32(&out[0], baseWord, ByteOrder::Big);
            put32(&out[40], dirAddress, ByteOrder::Big);
        } else {
            put32(&out[8], baseWord, ByteOrder::Big);
            if (kind == PackKind::Headed) {
                put32(&out[52], dirAddress, ByteOrder::Big);
            } else {
                out[31] = 1;
                const bool low = base() == kLowRawLayoutBase;
                put32(&out[low ? 40 : 48], dirAddress, ByteOrder::Big);
                put32(&out[low ? 48 : 56], base() + rawTableEnd, ByteOrder::Big);
            }
        }

        // Directory.
        uint8_t* dir = &out[layout.directory];
        put32(dir + 4 * 1, base() + layout.offsetTable + 4 + 4 * entries, ByteOrder::Big);
        put32(dir + 4 * 4, base() + layout.storedData, ByteOrder::Big);
        put32(dir + 4 * 5, base() + layout.offsetTable, ByteOrder::Big);
        if (kind == PackKind::HeadedRaw) {
            put32(dir + 4 * 12, base() + layout.rawTable, ByteOrder::Big);
            put32(dir + 4 * 13, base() + layout.rawData, ByteOrder::Big);
        }
        return out;
    }

    static void appendRawData(std::vector<uint8_t>& out, const RawIconSpec& icon)
    {
        const size_t pixels = size_t(icon.width) * icon.height;
        for (size_t k = 0; k < pixels; ++k)
            append16(out, k < icon.pixels.size() ? icon.pixels[k] : 0, ByteOrder::Big);
        std::vector<uint8_t> mask((pixels + 7) / 8, 0);
        for (size_t k = 0; k < pixels && k < icon.masked.size(); ++k) {
            if (icon.masked[k])
                mask[k / 8] |= uint8_t(0x80 >> (k % 8));
        }
        out.insert(out.end(), mask.begin(), mask.end());
    }
};

// A raw picture of one RGB565 colour with nothing masked.
inline RawIconSpec solidRawIcon(uint16_t width, uint16_t height, uint16_t colour)
{
    RawIconSpec icon;
    icon.width = width;
    icon.height = height;
    icon.pixels.assign(size_t(width) * height, colour);
    icon.masked.assign(size_t(width) * height, false);
    return icon;
}

} // namespace tessaro::testing
