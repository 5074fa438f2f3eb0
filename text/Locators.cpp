#include "text/Locators.h"

#include <array>

#include "data/locators_table.h"
#include "text/FirstMatchIndex.h"

namespace tolvo {

namespace {

static_assert(data::locators_columns == 3, "locators.tsv holds locator, voivodeship, county");

constexpr auto kRows = [] {
  std::array<LocatorRow, data::locators_rows> rows{};
  for (std::size_t i = 0; i < data::locators_rows; ++i)
    rows[i] = {data::locators[i][0], data::locators[i][1], data::locators[i][2]};
  return rows;
}();

LocatorRegion RegionOf(const LocatorRow& row) { return {true, row.voivodeship, row.county}; }

// Built on first use; a function-local static is initialised exactly once.
const auto& Index() {
  static const FirstMatchIndex index(data::locators);
  return index;
}

LocatorRegion RegionAt(std::size_t row) {
  return row < kRows.size() ? RegionOf(kRows[row]) : LocatorRegion{};
}

}  // namespace

std::span<const LocatorRow> LocatorRegionTable() { return kRows; }

LocatorRegion FindLocatorRegion(std::string_view locator) {
  return RegionAt(Index().Find(locator));
}

}  // namespace tolvo
