#include "tools/demo/DemoText.h"

#include <algorithm>
#include <array>
#include <utility>

#include "text/Cp1250Text.h"
#include "tools/demo/DemoError.h"

namespace tolvo::demo {
namespace {

// The Polish letters of the Mazovia code page by their code points.
constexpr std::array<std::pair<char32_t, unsigned char>, 18> kMazovia = {{
    {U'ą', 0x86},
    {U'ć', 0x8D},
    {U'Ą', 0x8F},
    {U'Ę', 0x90},
    {U'ę', 0x91},
    {U'ł', 0x92},
    {U'Ć', 0x95},
    {U'Ś', 0x98},
    {U'Ł', 0x9C},
    {U'ś', 0x9E},
    {U'Ź', 0xA0},
    {U'Ż', 0xA1},
    {U'ó', 0xA2},
    {U'Ó', 0xA3},
    {U'ń', 0xA4},
    {U'Ń', 0xA5},
    {U'ź', 0xA6},
    {U'ż', 0xA7},
}};

// The code points of UTF-8 text; DemoError on a malformed sequence.
std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  for (std::size_t at = 0; at < s.size();) {
    const std::optional<char32_t> cp = NextUtf8(s, at);
    if (!cp) throw DemoError("błędny UTF-8 w '" + std::string(s) + "'");
    out.push_back(*cp);
  }
  return out;
}

}  // namespace

std::string Utf8ToMazovia(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char32_t cp : DecodeUtf8(utf8)) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    const auto it = std::find_if(kMazovia.begin(), kMazovia.end(),
                                 [cp](const auto& e) { return e.first == cp; });
    if (it == kMazovia.end())
      throw DemoError("w '" + std::string(utf8) + "' jest znak spoza strony kodowej Mazovia");
    out += static_cast<char>(it->second);
  }
  return out;
}

std::string Utf8To1250(std::string_view utf8) {
  std::string out;
  if (!Utf8ToCp1250(utf8, out))
    throw DemoError("w '" + std::string(utf8) + "' jest znak spoza strony kodowej Windows-1250");
  return out;
}

std::string Cp1250ToMazovia(std::string_view cp1250) { return Utf8ToMazovia(Cp1250ToUtf8(cp1250)); }

std::string FoldPolish(std::string_view cp1250) {
  static constexpr std::array<std::pair<unsigned char, char>, 18> kFold = {{
      {0xB9, 'a'},
      {0xE6, 'c'},
      {0xEA, 'e'},
      {0xB3, 'l'},
      {0xF1, 'n'},
      {0xF3, 'o'},
      {0x9C, 's'},
      {0x9F, 'z'},
      {0xBF, 'z'},
      {0xA5, 'A'},
      {0xC6, 'C'},
      {0xCA, 'E'},
      {0xA3, 'L'},
      {0xD1, 'N'},
      {0xD3, 'O'},
      {0x8C, 'S'},
      {0x8F, 'Z'},
      {0xAF, 'Z'},
  }};
  std::string out(cp1250);
  for (char& ch : out)
    for (const auto& [from, to] : kFold)
      if (static_cast<unsigned char>(ch) == from) ch = to;
  return out;
}

}  // namespace tolvo::demo
