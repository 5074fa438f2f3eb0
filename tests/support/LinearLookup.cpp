#include "tests/support/LinearLookup.h"

#include <cstddef>

namespace tolvo {

const std::string_view* FindLinear(const NameTable& table, std::string_view key) {
  for (std::size_t i = 0; i < table.Size(); ++i)
    if (table.Key(i) == key) return &table.Value(i);
  return nullptr;
}

LocatorRegion FindLocatorRegionLinear(std::string_view locator) {
  for (const LocatorRow& row : LocatorRegionTable())
    if (row.locator == locator) return {true, row.voivodeship, row.county};
  return {};
}

}  // namespace tolvo
