#include "text/lokat.h"

#include <array>

#include "data/lokat_table.h"
#include "text/FirstMatchIndex.h"

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

// Built on first use; a function-local static is initialised exactly once.
const auto& Index() {
  static const FirstMatchIndex index(data::lokat);
  return index;
}

LocatorRegion RegionAt(std::size_t row) {
  return row < kRows.size() ? RegionOf(kRows[row]) : LocatorRegion{};
}

}  // namespace

std::span<const LocatorRow> LocatorRegionTable() { return kRows; }

LocatorRegion FindLocatorRegion(std::string_view locator) { return RegionAt(Index().Find(locator)); }

LocatorRegion FindLocatorRegionLinear(std::string_view locator) {
  return RegionAt(FindFirstRowLinear(data::lokat, locator));
}

}  // namespace tolvo
