#include "tools/show/CallbookTable.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "text/Cp1250Text.h"

namespace tolvo::show {

std::string FormatCallbook(const CallbookListing& listing) {
  auto shown = [](std::string_view cell) {
    std::string s(cell);
    for (char& c : s)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return s;
  };
  const std::size_t n = listing.columns.size();
  std::vector<std::size_t> width(n);
  for (std::size_t c = 0; c < n; ++c) width[c] = listing.columns[c].size();
  for (const auto& row : listing.rows)
    for (std::size_t c = 0; c < n && c < row.size(); ++c)
      if (row[c]) width[c] = std::max(width[c], row[c]->size());

  // Every Windows-1250 byte is one character, so widths count bytes.
  auto line = [&](auto cell) {
    std::string l;
    for (std::size_t c = 0; c < n; ++c) {
      if (c) l += "  ";
      std::string v = cell(c);
      if (c == n - 1 && n > 1) l += std::string(width[c] - v.size(), ' ') + v;  // KRAJ to the right
      else l += v + std::string(width[c] - v.size(), ' ');
    }
    while (!l.empty() && l.back() == ' ') l.pop_back();
    return Cp1250ToUtf8(l) + "\n";
  };
  std::string out = line([&](std::size_t c) { return listing.columns[c]; });
  out += line([&](std::size_t c) { return std::string(width[c], '-'); });
  for (const auto& row : listing.rows)
    out += line([&](std::size_t c) {
      return c < row.size() && row[c] ? shown(*row[c]) : std::string();
    });
  const std::size_t count = listing.rows.size();
  out += std::to_string(count) + (count == 1 ? " row\n" : " rows\n");
  return out;
}

}  // namespace tolvo::show
