#include "text/miast.h"

#include "data/miast_table.h"
#include "text/FirstMatchIndex.h"

namespace tolvo {

namespace {

// Built on first use; a function-local static is initialised exactly once.
const auto& Index() {
  static const FirstMatchIndex index(data::miast);
  return index;
}

const std::string_view* ValueAt(std::size_t row) {
  return row < data::miast_rows ? &data::miast[row][1] : nullptr;
}

}  // namespace

std::size_t PlaceNameTableSize() { return data::miast_rows; }

std::string_view PlaceNameKey(std::size_t i) { return data::miast[i][0]; }

std::string_view PlaceNameValue(std::size_t i) { return data::miast[i][1]; }

const std::string_view* FindPlaceName(std::string_view key) { return ValueAt(Index().Find(key)); }

const std::string_view* FindPlaceNameLinear(std::string_view key) {
  return ValueAt(FindFirstRowLinear(data::miast, key));
}

}  // namespace tolvo
