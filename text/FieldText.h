// The text of a record's fields as every importer handles it: blank
// stripping, digits, name joining, semicolon splitting and word helpers.
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

// `text` without the bytes at its end for which `isPad(byte)` holds (a view
// into the argument).
template <typename IsPad>
constexpr std::string_view StripTrailing(std::string_view text, IsPad isPad) {
  while (!text.empty() && isPad(text.back())) text.remove_suffix(1);
  return text;
}

// `text` without its trailing spaces (0x20), the padding of fixed-width
// fields; other blanks stay.
constexpr std::string_view StripTrailingSpaces(std::string_view text) {
  return StripTrailing(text, [](char c) { return c == ' '; });
}

// `text` without its leading and trailing bytes 0x00-0x20 (a view into the
// argument; bytes inside are untouched, 0x7F and 0xA0 are not blanks).
constexpr std::string_view StripBlanksView(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsBlankByte(static_cast<unsigned char>(text[begin]))) ++begin;
  return StripTrailing(text.substr(begin), IsBlankByte);
}

// The same as a new string.
std::string StripBlanks(std::string_view text);

// --- digits -----------------------------------------------------------------

// True for the ASCII digits '0' to '9' only.
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// --- postal codes -----------------------------------------------------------

// True when the stripped text begins with a postal code: two digits, one of
// `separators`, three digits. What follows is not examined.
bool BeginsWithPostalCode(std::string_view text, std::string_view separators = "-");

// The first six bytes of the stripped text: its postal code when it begins
// with one.
std::string_view PostalCodeOf(std::string_view text);

// The stripped text from its seventh byte on when it begins with a postal
// code (by `separators`), otherwise the text unchanged.
std::string_view TownAfterPostalCode(std::string_view text, std::string_view separators = "-");

// --- ASCII letter case ------------------------------------------------------

// `c` with a-z made A-Z; every other byte as it is.
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The same for every byte of `text`.
std::string AsciiUpper(std::string_view text);

// Whether two texts are equal ignoring ASCII letter case (as file and field
// names are compared).
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

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

// The stripped text after its first space; empty when there is no space.
std::string AfterFirstWord(std::string_view text);

// The stripped text with its first byte upper-cased and the rest
// lower-cased by the Windows-1250 letter pairs (the whole text is treated
// as one word).
std::string CapitalizeWord(std::string_view text);

}  // namespace tolvo
