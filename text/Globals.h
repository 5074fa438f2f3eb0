// Small text functions shared by every importer: blank stripping, case maps
// fixed to Windows-1250, name joining, semicolon splitting, word helpers and
// the case-keeping Mazovia -> Windows-1250 conversion.
//
// All of them work on bytes, never on a locale, keep no state and never fail.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tolvo {

namespace detail {

using ByteMap = std::array<unsigned char, 256>;

constexpr ByteMap IdentityByteMap() {
  ByteMap m{};
  for (int i = 0; i < 256; ++i) m[i] = static_cast<unsigned char>(i);
  return m;
}

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
    if (toUpper)
      m[lower] = static_cast<unsigned char>(upper);
    else
      m[upper] = static_cast<unsigned char>(lower);
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

// Applies a byte map to every byte of `text`; the length never changes.
std::string MapBytes(std::string_view text, const ByteMap& map);

}  // namespace detail

// --- blanks -----------------------------------------------------------------

// True for the bytes StripBlanks removes: 0x00 to 0x20.
constexpr bool IsBlankByte(unsigned char c) { return c <= 0x20; }

// `text` without its leading and trailing bytes 0x00-0x20 (a view into the
// argument; bytes inside are untouched, 0x7F and 0xA0 are not blanks).
constexpr std::string_view StripBlanksView(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlankByte(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && IsBlankByte(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

// The same as a new string.
std::string StripBlanks(std::string_view text);

// --- case -------------------------------------------------------------------

// One byte by the Windows-1250 letter pairs; every other byte unchanged.
constexpr unsigned char ToUpper1250(unsigned char c) { return detail::kUpper1250[c]; }
constexpr unsigned char ToLower1250(unsigned char c) { return detail::kLower1250[c]; }

// Every byte of `text` mapped as above; same length.
std::string ToUpper1250(std::string_view text);
std::string ToLower1250(std::string_view text);

// --- names and fields -------------------------------------------------------

// Display name "surname firstName": the stripped surname, then one space and
// the first name when it is not empty, all stripped once more.
std::string BuildFullName(std::string_view surname, std::string_view firstName);

// True when ';' occurs anywhere in `text` (not stripped first).
bool HasSemicolon(std::string_view text);

struct SemicolonTriple {
  std::string first, second, third;
};

// The three parts of "first;second;third" after stripping the whole text;
// the parts keep their own blanks, a third or later ';' stays in `third`.
// Fewer than two ';' give three empty parts.
SemicolonTriple SplitSemicolonTriple(std::string_view text);

// True when the stripped text holds exactly one byte 0x20.
bool HasExactlyOneSpace(std::string_view text);

// The stripped text up to its first space; empty when there is no space.
std::string FirstWord(std::string_view text);

// The stripped text with its first byte upper-cased and the rest
// lower-cased (the whole text is treated as one word).
std::string CapitalizeWord(std::string_view text);

// --- Mazovia ----------------------------------------------------------------

// One Mazovia byte as Windows-1250, case kept; unlisted bytes unchanged.
constexpr unsigned char MazoviaToCp1250(unsigned char c) { return detail::kMazoviaToCp1250[c]; }

// Mazovia text as Windows-1250, byte for byte, case kept; same length.
std::string MazoviaToCp1250(std::string_view text);

}  // namespace tolvo
