// The text of a record's fields as every importer handles it: blank
// stripping, name joining, semicolon splitting and word helpers.
//
// All of them work on bytes (Windows-1250 where case matters), never on a
// locale, keep no state and never fail.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvo {

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
// lower-cased by the Windows-1250 letter pairs (the whole text is treated
// as one word).
std::string CapitalizeWord(std::string_view text);

}  // namespace tolvo
