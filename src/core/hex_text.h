#pragma once
// Bytes as hexadecimal text and back, for what is shown or kept as text byte for byte.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

// Bytes as lower-case hexadecimal digits, two per byte: {0x0A, 0xFF} is "0aff".
inline std::string hexText(std::span<const uint8_t> bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
    return out;
}

// The byte written as two hexadecimal digits (either case); nothing for any other text.
inline std::optional<uint8_t> byteOfHex(std::string_view digits)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    if (digits.size() != 2)
        return std::nullopt;
    const int high = digit(digits[0]);
    const int low = digit(digits[1]);
    if (high < 0 || low < 0)
        return std::nullopt;
    return static_cast<uint8_t>(high << 4 | low);
}

// The bytes written as hexadecimal digits (either case, two per byte); nothing for an odd
// number of digits or any other character.
inline std::optional<std::vector<uint8_t>> bytesOfHex(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<uint8_t> out(text.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto b = byteOfHex(text.substr(2 * i, 2));
        if (!b)
            return std::nullopt;
        out[i] = *b;
    }
    return out;
}

} // namespace tessaro
