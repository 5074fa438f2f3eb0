#include "text/skrot.h"

#include <utility>

#include "data/skrot_table.h"

namespace tolvo {

std::size_t AbbreviationTableSize() { return data::skrot_rows; }

std::string_view AbbreviationPattern(std::size_t i) { return data::skrot[i][0]; }

std::string_view AbbreviationReplacement(std::size_t i) { return data::skrot[i][1]; }

std::string FixAbbreviations(std::string_view address) {
  std::string current(address);
  std::string next;
  for (std::size_t row = 0; row < data::skrot_rows; ++row) {
    const std::string_view pattern = data::skrot[row][0];
    const std::string_view replacement = data::skrot[row][1];
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
