#include "text/Cp1250Text.h"

namespace tolvo {

std::string MapBytes(std::string_view text, const ByteMap& map) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<char>(map[static_cast<unsigned char>(text[i])]);
  return out;
}

std::string ToUpper1250(std::string_view text) { return MapBytes(text, detail::kUpper1250); }

std::string ToLower1250(std::string_view text) { return MapBytes(text, detail::kLower1250); }

std::string MazoviaToCp1250(std::string_view text) {
  return MapBytes(text, detail::kMazoviaToCp1250);
}

namespace {

// Code points of the bytes 0x80..0xFF.
constexpr char32_t kHigh[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

char32_t Cp1250ToUnicode(unsigned char byte) {
  return byte < 0x80 ? char32_t(byte) : kHigh[byte - 0x80];
}

int UnicodeToCp1250(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  for (int i = 0; i < 128; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

std::string Cp1250ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (unsigned char c : text) {
    char32_t cp = Cp1250ToUnicode(c);
    AppendUtf8(out, cp == 0 && c != 0 ? char32_t(0xFFFD) : cp);
  }
  return out;
}

std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& at) {
  if (at >= text.size()) return std::nullopt;
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return char32_t(text[at++]);
  // The lead byte gives the length and the smallest value that length may
  // carry; anything below it is an overlong form.
  std::size_t extra;
  char32_t cp;
  char32_t least;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, cp = lead & 0x1Fu, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0Fu, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, cp = lead & 0x07u, least = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() - at <= extra) return std::nullopt;
  for (std::size_t k = 1; k <= extra; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (next & 0x3Fu);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  at += extra + 1;
  return cp;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();)
    if (!NextUtf8(text, at)) return false;
  return true;
}

bool Utf8ToCp1250(std::string_view text, std::string& out) {
  for (std::size_t at = 0; at < text.size();) {
    const std::optional<char32_t> cp = NextUtf8(text, at);
    if (!cp) return false;
    const int b = UnicodeToCp1250(*cp);
    if (b < 0) return false;
    out += static_cast<char>(b);
  }
  return true;
}

}  // namespace tolvo
