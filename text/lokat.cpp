#include "text/lokat.h"

#include <array>
#include <cstdint>
#include <unordered_map>

#include "data/lokat_table.h"

namespace tolvo {

namespace {

static_assert(data::lokat_columns == 3, "lokat.tsv holds locator, voivodeship, county");

constexpr auto kRows = [] {
  std::array<LocatorRow, data::lokat_rows> rows{};
  for (std::size_t i = 0; i < data::lokat_rows; ++i)
    rows[i] = {data::lokat[i][0], data::lokat[i][1], data::lokat[i][2]};
  return rows;
}();

LocatorRegion RegionOf(const LocatorRow& row) { return {true, row.voivodeship, row.county}; }

// Locator -> index of its first row. try_emplace keeps the first row of a
// repeated locator, so the answer does not depend on the table being sorted.
const std::unordered_map<std::string_view, std::uint16_t>& Index() {
  static_assert(data::lokat_rows <= UINT16_MAX);
  static const auto index = [] {
    std::unordered_map<std::string_view, std::uint16_t> m;
    m.reserve(kRows.size());
    for (std::size_t i = 0; i < kRows.size(); ++i)
      m.try_emplace(kRows[i].locator, static_cast<std::uint16_t>(i));
    return m;
  }();
  return index;
}

}  // namespace

std::span<const LocatorRow> LocatorRegionTable() { return kRows; }

LocatorRegion FindLocatorRegion(std::string_view locator) {
  const auto& index = Index();
  const auto it = index.find(locator);
  if (it == index.end()) return {};
  return RegionOf(kRows[it->second]);
}

LocatorRegion FindLocatorRegionLinear(std::string_view locator) {
  for (const LocatorRow& row : kRows)
    if (row.locator == locator) return RegionOf(row);
  return {};
}

}  // namespace tolvo
