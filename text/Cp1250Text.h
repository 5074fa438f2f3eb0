// Text in the Windows-1250 code page: its case maps, the case-keeping
// Mazovia -> Windows-1250 conversion, and the conversion to and from Unicode
// (UTF-8), all by fixed tables (no locale, no ICU).
//
// They work on bytes, keep no state and, but for Utf8ToCp1250, never fail.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvo {

// --- byte maps --------------------------------------------------------------

// A byte-for-byte conversion: the new value of every byte.
using ByteMap = std::array<unsigned char, 256>;

// The map that keeps every byte; the starting point of every other map.
constexpr ByteMap IdentityByteMap() {
  ByteMap m{};
  for (int i = 0; i < 256; ++i) m[i] = static_cast<unsigned char>(i);
  return m;
}

// Applies a byte map to every byte of `text`; the length never changes.
std::string MapBytes(std::string_view text, const ByteMap& map);

namespace detail {

// The Windows-1250 letter pairs (lower-case byte, upper-case byte) that sit
// outside the two regular runs a-z / A-Z and 0xE0-0xFE / 0xC0-0xDE.
inline constexpr std::array<std::array<unsigned char, 2>, 10> kCp1250ExtraPairs = {{
    {0x9A, 0x8A},  // š Š
    {0x9C, 0x8C},  // ś Ś
    {0x9D, 0x8D},  // ť Ť
    {0x9E, 0x8E},  // ž Ž
    {0x9F, 0x8F},  // ź Ź
    {0xB3, 0xA3},  // ł Ł
    {0xB9, 0xA5},  // ą Ą
    {0xBA, 0xAA},  // ş Ş
    {0xBE, 0xBC},  // ľ Ľ
    {0xBF, 0xAF},  // ż Ż
}};

constexpr ByteMap MakeCaseMap(bool toUpper) {
  ByteMap m = IdentityByteMap();
  auto pair = [&m, toUpper](int lower, int upper) {
    if (toUpper) m[lower] = static_cast<unsigned char>(upper);
    else m[upper] = static_cast<unsigned char>(lower);
  };
  for (int c = 0x61; c <= 0x7A; ++c) pair(c, c - 0x20);
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) pair(c, c - 0x20);  // 0xF7 ÷ and 0xD7 × are no letters
  for (const auto& p : kCp1250ExtraPairs) pair(p[0], p[1]);
  return m;
}

inline constexpr ByteMap kUpper1250 = MakeCaseMap(true);
inline constexpr ByteMap kLower1250 = MakeCaseMap(false);

// The 18 Polish letters of the Mazovia code page, case kept.
inline constexpr std::array<std::array<unsigned char, 2>, 18> kMazoviaPairs = {{
    {0x86, 0xB9},  // ą
    {0x8D, 0xE6},  // ć
    {0x8F, 0xA5},  // Ą
    {0x90, 0xCA},  // Ę
    {0x91, 0xEA},  // ę
    {0x92, 0xB3},  // ł
    {0x95, 0xC6},  // Ć
    {0x98, 0x8C},  // Ś
    {0x9C, 0xA3},  // Ł
    {0x9E, 0x9C},  // ś
    {0xA0, 0x8F},  // Ź
    {0xA1, 0xAF},  // Ż
    {0xA2, 0xF3},  // ó
    {0xA3, 0xD3},  // Ó
    {0xA4, 0xF1},  // ń
    {0xA5, 0xD1},  // Ń
    {0xA6, 0x9F},  // ź
    {0xA7, 0xBF},  // ż
}};

constexpr ByteMap MakeMazoviaMap() {
  ByteMap m = IdentityByteMap();
  for (const auto& p : kMazoviaPairs) m[p[0]] = p[1];
  return m;
}

inline constexpr ByteMap kMazoviaToCp1250 = MakeMazoviaMap();

}  // namespace detail

// --- case -------------------------------------------------------------------

// One byte by the Windows-1250 letter pairs; every other byte unchanged.
constexpr unsigned char ToUpper1250(unsigned char c) { return detail::kUpper1250[c]; }
constexpr unsigned char ToLower1250(unsigned char c) { return detail::kLower1250[c]; }

// Every byte of `text` mapped as above; same length.
std::string ToUpper1250(std::string_view text);
std::string ToLower1250(std::string_view text);

// --- Mazovia ----------------------------------------------------------------

// One Mazovia byte as Windows-1250, case kept; unlisted bytes unchanged.
constexpr unsigned char MazoviaToCp1250(unsigned char c) { return detail::kMazoviaToCp1250[c]; }

// Mazovia text as Windows-1250, byte for byte, case kept; same length.
std::string MazoviaToCp1250(std::string_view text);

// --- Unicode ----------------------------------------------------------------

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

// The code point of the UTF-8 sequence that starts at `text[at]`, with `at`
// moved past it; nullopt, and `at` unchanged, when the sequence is malformed:
// a stray, missing or cut-off continuation byte, an overlong form (C0 80 for
// NUL, say), a surrogate or a value past U+10FFFF.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& at);

// Whether all of `text` is well-formed UTF-8, as NextUtf8 reads it.
bool IsValidUtf8(std::string_view text);

}  // namespace tolvo
