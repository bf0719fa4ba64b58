#pragma once
// Texts of the menu document as UTF-8 for the terminal and for JSON: identifiers, names and
// ASCII records are 8-bit strings, one character per byte; titles and paths are UTF-16.

#include <string>
#include <string_view>

namespace tessaro::cli {

// Each byte as the character of the same number (U+0000..U+00FF).
std::string latin1ToUtf8(std::string_view text);
// UTF-16 code units as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

} // namespace tessaro::cli
