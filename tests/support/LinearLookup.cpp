#include "tests/support/LinearLookup.h"

#include <cstddef>

#include "data/first_names_table.h"
#include "data/place_names_table.h"
#include "text/FirstMatchIndex.h"

namespace tolvo {

namespace {

// The value column of the first row whose key equals `key`, or nullptr.
template <std::size_t Rows, std::size_t Columns>
const std::string_view* FindValueLinear(const TableRows<Rows, Columns>& table, std::string_view key) {
  for (const auto& row : table)
    if (row[0] == key) return &row[1];
  return nullptr;
}

}  // namespace

const std::string_view* FindFirstNameLinear(std::string_view key) {
  return FindValueLinear(data::first_names, key);
}

const std::string_view* FindPlaceNameLinear(std::string_view key) {
  return FindValueLinear(data::place_names, key);
}

LocatorRegion FindLocatorRegionLinear(std::string_view locator) {
  for (const LocatorRow& row : LocatorRegionTable())
    if (row.locator == locator) return {true, row.voivodeship, row.county};
  return {};
}

}  // namespace tolvo
