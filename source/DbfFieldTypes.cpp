#include "source/DbfFieldTypes.h"

#include <array>
#include <bit>
#include <charconv>

#include "source/LittleEndian.h"
#include "text/FieldText.h"

namespace tolvo {
namespace {

bool IsPad(char c) { return c == ' ' || c == '\0'; }

// Proleptic Gregorian date of a Julian day number.
void CivilFromJulianDay(std::int64_t jd, int& year, int& month, int& day) {
  std::int64_t l = jd + 68569;
  const std::int64_t n = 4 * l / 146097;
  l -= (146097 * n + 3) / 4;
  const std::int64_t i = 4000 * (l + 1) / 1461001;
  l -= 1461 * i / 4 - 31;
  const std::int64_t j = 80 * l / 2447;
  day = static_cast<int>(l - 2447 * j / 80);
  l = j / 11;
  month = static_cast<int>(j + 2 - 12 * l);
  year = static_cast<int>(100 * (n - 49) + i + l);
}

void AppendPadded(std::string& out, long value, int width) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;
  for (int k = static_cast<int>(end - buf); k < width; ++k) out += '0';
  out.append(buf, end);
}

const unsigned char* Bytes(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

std::string CharacterText(std::string_view stored) {
  return std::string(WithoutTrailingPadding(stored));
}

std::string DigitsText(std::string_view stored) { return std::string(WithoutPadding(stored)); }

std::string LogicalText(std::string_view stored) {
  switch (stored[0]) {
    case 'T':
    case 't':
    case 'Y':
    case 'y': return "T";
    case 'F':
    case 'f':
    case 'N':
    case 'n': return "F";
    default: return {};
  }
}

std::string IntegerText(std::string_view stored) {
  return std::to_string(static_cast<std::int32_t>(Le32(Bytes(stored))));
}

std::string CurrencyText(std::string_view stored) {
  const auto value = static_cast<std::int64_t>(Le64(Bytes(stored)));
  // Magnitude as unsigned so that the most negative value survives.
  const std::uint64_t mag =
      value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  std::string out = value < 0 ? "-" : "";
  out += std::to_string(mag / 10000);
  out += '.';
  const std::string frac = std::to_string(mag % 10000);
  out.append(4 - frac.size(), '0');
  out += frac;
  return out;
}

std::string DoubleText(std::string_view stored) {
  const double d = std::bit_cast<double>(Le64(Bytes(stored)));
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
  if (ec != std::errc()) return {};
  return std::string(buf, end);
}

std::string DateTimeText(std::string_view stored) {
  const auto jd = static_cast<std::int32_t>(Le32(Bytes(stored)));
  const std::uint32_t ms = Le32(Bytes(stored) + 4);
  if (jd == 0 && ms == 0) return {};
  int y, m, d;
  CivilFromJulianDay(jd, y, m, d);
  const std::uint32_t secs = (ms + 500) / 1000;
  std::string out;
  AppendPadded(out, y, 4);
  AppendPadded(out, m, 2);
  AppendPadded(out, d, 2);
  AppendPadded(out, static_cast<long>(secs / 3600 % 100), 2);
  AppendPadded(out, static_cast<long>(secs / 60 % 60), 2);
  AppendPadded(out, static_cast<long>(secs % 60), 2);
  return out;
}

using Tables = DbfFieldType::Tables;

constexpr std::array kFieldTypes = {
    DbfFieldType{'C', Tables::All, 0, true, CharacterText},
    DbfFieldType{'N', Tables::All, 0, false, DigitsText},
    DbfFieldType{'F', Tables::All, 0, false, DigitsText},
    DbfFieldType{'D', Tables::All, 0, false, DigitsText},
    DbfFieldType{'L', Tables::All, 0, false, LogicalText},
    DbfFieldType{'I', Tables::All, 4, false, IntegerText},
    DbfFieldType{'Y', Tables::All, 8, false, CurrencyText},
    DbfFieldType{'T', Tables::All, 8, false, DateTimeText},
    DbfFieldType{'B', Tables::VisualFoxPro, 8, false, DoubleText},
    DbfFieldType{'B', Tables::OtherThanVisualFoxPro, 0, false, nullptr},
    DbfFieldType{'M', Tables::All, 0, false, nullptr},
    DbfFieldType{'G', Tables::All, 0, false, nullptr},
    DbfFieldType{'P', Tables::All, 0, false, nullptr},
    DbfFieldType{'W', Tables::All, 0, false, nullptr},
};

}  // namespace

const DbfFieldType* FindFieldType(char letter, bool visualFoxPro) {
  for (const DbfFieldType& t : kFieldTypes) {
    if (t.letter != letter) continue;
    if (t.tables == Tables::VisualFoxPro && !visualFoxPro) continue;
    if (t.tables == Tables::OtherThanVisualFoxPro && visualFoxPro) continue;
    return &t;
  }
  return nullptr;
}

std::optional<std::uint64_t> MemoBlockOf(std::string_view stored) {
  if (stored.size() == 4) return Le32(Bytes(stored));
  const std::string_view digits = WithoutPadding(stored);
  std::uint64_t block = 0;
  if (digits.empty()) return block;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), block);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return block;
}

std::string_view WithoutTrailingPadding(std::string_view s) { return StripTrailing(s, IsPad); }

std::string_view WithoutPadding(std::string_view s) {
  s = WithoutTrailingPadding(s);
  while (!s.empty() && IsPad(s.front())) s.remove_prefix(1);
  return s;
}

}  // namespace tolvo
