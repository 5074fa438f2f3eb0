// Polish nouns after a number: "1 rekord", "3 rekordy", "12 rekordów",
// "22 rekordy". The three forms are the nominative singular, the nominative
// plural (after numbers ending in 2, 3 or 4, but not 12 to 14) and the
// genitive plural (everything else, 0 included). They serve wherever the
// count stands as subject or object ("plik ma 5 bajtów").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvo {

constexpr std::string_view PolishPlural(std::uint64_t n, std::string_view one, std::string_view few,
                                        std::string_view many) {
  if (n == 1) return one;
  const std::uint64_t units = n % 10, tens = n % 100;
  if (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) return few;
  return many;
}

// The number and the noun in the form that goes with it.
inline std::string PolishCount(std::uint64_t n, std::string_view one, std::string_view few,
                               std::string_view many) {
  return std::to_string(n) + ' ' + std::string(PolishPlural(n, one, few, many));
}

}  // namespace tolvo
