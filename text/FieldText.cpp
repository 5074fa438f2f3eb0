#include "text/FieldText.h"

#include "text/Cp1250Text.h"

namespace tolvo {

std::string StripBlanks(std::string_view text) { return std::string(StripBlanksView(text)); }

bool BeginsWithPostalCode(std::string_view text, std::string_view separators) {
  const std::string_view t = StripBlanksView(text);
  return t.size() >= 6 && IsDigit(t[0]) && IsDigit(t[1]) &&
         separators.find(t[2]) != std::string_view::npos && IsDigit(t[3]) && IsDigit(t[4]) &&
         IsDigit(t[5]);
}

std::string_view PostalCodeOf(std::string_view text) { return StripBlanksView(text).substr(0, 6); }

std::string_view TownAfterPostalCode(std::string_view text, std::string_view separators) {
  if (!BeginsWithPostalCode(text, separators)) return text;
  return StripBlanksView(text).substr(6);
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::string BuildFullName(std::string_view surname, std::string_view firstName) {
  std::string result(StripBlanksView(surname));
  if (!firstName.empty()) {
    result += ' ';
    result += firstName;
  }
  // The first name is appended as it is, so its own blanks (and the space
  // before it when the surname is empty) go in this last strip.
  return std::string(StripBlanksView(result));
}

bool HasSemicolon(std::string_view text) { return text.find(';') != std::string_view::npos; }

SemicolonTriple SplitSemicolonTriple(std::string_view text) {
  SemicolonTriple parts;
  const std::string_view t = StripBlanksView(text);
  if (t.empty() || !HasSemicolon(t)) return parts;
  const std::size_t i = t.find(';');
  const std::size_t j = t.find(';', i + 1);
  if (j == std::string_view::npos) return parts;
  parts.first.assign(t.substr(0, i));
  parts.second.assign(t.substr(i + 1, j - i - 1));
  parts.third.assign(t.substr(j + 1));
  return parts;
}

bool HasExactlyOneSpace(std::string_view text) {
  const std::string_view t = StripBlanksView(text);
  const std::size_t first = t.find(' ');
  return first != std::string_view::npos && t.find(' ', first + 1) == std::string_view::npos;
}

std::string FirstWord(std::string_view text) {
  const std::string_view t = StripBlanksView(text);
  const std::size_t space = t.find(' ');
  if (space == std::string_view::npos) return {};
  return std::string(t.substr(0, space));
}

std::string AfterFirstWord(std::string_view text) {
  const std::string_view t = StripBlanksView(text);
  const std::size_t space = t.find(' ');
  if (space == std::string_view::npos) return {};
  return std::string(t.substr(space + 1));
}

std::string CapitalizeWord(std::string_view text) {
  const std::string_view t = StripBlanksView(text);
  std::string out = ToLower1250(t);
  if (!out.empty()) out[0] = static_cast<char>(ToUpper1250(static_cast<unsigned char>(t[0])));
  return out;
}

}  // namespace tolvo
