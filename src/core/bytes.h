#pragma once
// Explicit byte-order helpers. Menu files are big-endian except in CDMA mode,
// FSAC requests are big-endian, phone file lists and GIF headers little-endian.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessaro {

enum class ByteOrder { Big, Little };

inline uint16_t read16(const uint8_t* p, ByteOrder order)
{
    return order == ByteOrder::Big ? uint16_t((p[0] << 8) | p[1]) : uint16_t((p[1] << 8) | p[0]);
}

inline uint32_t read32(const uint8_t* p, ByteOrder order)
{
    if (order == ByteOrder::Big)
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

inline uint16_t readBE16(const uint8_t* p) { return read16(p, ByteOrder::Big); }
inline uint32_t readBE32(const uint8_t* p) { return read32(p, ByteOrder::Big); }
inline uint16_t readLE16(const uint8_t* p) { return read16(p, ByteOrder::Little); }
inline uint32_t readLE32(const uint8_t* p) { return read32(p, ByteOrder::Little); }

inline void put16(uint8_t* p, uint16_t v, ByteOrder order)
{
    if (order == ByteOrder::Big) {
        p[0] = uint8_t(v >> 8);
        p[1] = uint8_t(v);
    } else {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
    }
}

inline void put32(uint8_t* p, uint32_t v, ByteOrder order)
{
    if (order == ByteOrder::Big) {
        p[0] = uint8_t(v >> 24);
        p[1] = uint8_t(v >> 16);
        p[2] = uint8_t(v >> 8);
        p[3] = uint8_t(v);
    } else {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
        p[3] = uint8_t(v >> 24);
    }
}

inline void append16(std::vector<uint8_t>& out, uint16_t v, ByteOrder order)
{
    uint8_t b[2];
    put16(b, v, order);
    out.insert(out.end(), b, b + 2);
}

inline void append32(std::vector<uint8_t>& out, uint32_t v, ByteOrder order)
{
    uint8_t b[4];
    put32(b, v, order);
    out.insert(out.end(), b, b + 4);
}

// Bounds-checked view over bytes from a file or the phone: every read says whether it fitted.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t size() const { return bytes_.size(); }
    bool has(size_t offset, size_t count) const
    {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    const uint8_t* at(size_t offset) const { return bytes_.data() + offset; }
    std::span<const uint8_t> slice(size_t offset, size_t count) const
    {
        return has(offset, count) ? bytes_.subspan(offset, count) : std::span<const uint8_t>();
    }

private:
    std::span<const uint8_t> bytes_;
};

// The low `width` hexadecimal digits of `value`, upper-case unless `upper` is false:
// hexDigits(0x4A, 4) is "004A".
inline std::string hexDigits(uint32_t value, int width, bool upper = true)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text(size_t(width > 0 ? width : 0), '0');
    for (auto at = text.rbegin(); at != text.rend(); ++at, value >>= 4)
        *at = digits[value & 0xF];
    return text;
}

// hexDigits with "0x" before them: hexNumber(0x4A, 2) is "0x4A". Byte strings as hexadecimal
// text: core/hex_text.h.
inline std::string hexNumber(uint32_t value, int width, bool upper = true)
{
    return "0x" + hexDigits(value, width, upper);
}

} // namespace tessaro
