#include "text/AddressFixes.h"

#include <utility>

#include "data/address_fixes_table.h"

namespace tolvo {

std::size_t AbbreviationTableSize() { return data::address_fixes_rows; }

std::string_view AbbreviationPattern(std::size_t i) { return data::address_fixes[i][0]; }

std::string_view AbbreviationReplacement(std::size_t i) { return data::address_fixes[i][1]; }

std::string FixAbbreviations(std::string_view address) {
  std::string current(address);
  std::string next;
  for (std::size_t row = 0; row < data::address_fixes_rows; ++row) {
    const std::string_view pattern = data::address_fixes[row][0];
    const std::string_view replacement = data::address_fixes[row][1];
    std::size_t hit = current.find(pattern);
    if (hit == std::string::npos) continue;  // the common case: nothing to copy
    next.clear();
    std::size_t from = 0;
    do {
      next.append(current, from, hit - from);
      next.append(replacement);
      from = hit + pattern.size();
      hit = current.find(pattern, from);
    } while (hit != std::string::npos);
    next.append(current, from, std::string::npos);
    std::swap(current, next);
  }
  return current;
}

}  // namespace tolvo
