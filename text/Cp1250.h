// Windows-1250 <-> Unicode, by a fixed table (no locale, no ICU).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvo {

// The Unicode code point of a Windows-1250 byte; 0 for the five unassigned
// bytes (0x81, 0x83, 0x88, 0x90, 0x98).
char32_t Cp1250ToUnicode(unsigned char byte);

// The Windows-1250 byte of a code point, or -1 when the set has none.
int UnicodeToCp1250(char32_t codePoint);

// Windows-1250 bytes as UTF-8; unassigned bytes become U+FFFD.
std::string Cp1250ToUtf8(std::string_view text);

// UTF-8 as Windows-1250. Returns false (and leaves `out` partial) on bad
// UTF-8 or on a character the set lacks.
bool Utf8ToCp1250(std::string_view text, std::string& out);

}  // namespace tolvo
