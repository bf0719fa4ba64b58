#pragma once
// Conversions between the program's UTF-8 texts and the phone's: identifiers, names, ASCII
// records and phone paths are 8-bit strings, one character per byte; titles are UTF-16.

#include <string>
#include <string_view>

namespace tessaro {

// Appends the UTF-8 bytes of the code point `c`.
void appendUtf8(std::string& out, char32_t c);
// Writes them at `out`, which has room for four bytes; returns the end of what it wrote.
char* writeUtf8(char* out, char32_t c);
// Each byte as the character of the same number (U+0000..U+00FF).
std::string latin1ToUtf8(std::string_view text);
// UTF-8 as one byte per character; characters above U+00FF (and malformed bytes) become '?'.
std::string utf8ToLatin1(std::string_view text);
// UTF-16 code units as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);
// UTF-8 as UTF-16 code units; malformed bytes become U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
// The same written to `out`, which has room for text.size() units (never more are needed);
// returns how many were written.
size_t utf8ToUtf16(std::string_view text, char16_t* out);
// True when every surrogate of the text is one of a pair, so it survives the way to UTF-8
// and back.
bool isPairedUtf16(std::u16string_view text);

} // namespace tessaro
