#include "text/PlaceNames.h"

#include "data/place_names_table.h"
#include "text/FirstMatchIndex.h"

namespace tolvo {

namespace {

// Built on first use; a function-local static is initialised exactly once.
const auto& Index() {
  static const FirstMatchIndex index(data::place_names);
  return index;
}

const std::string_view* ValueAt(std::size_t row) {
  return row < data::place_names_rows ? &data::place_names[row][1] : nullptr;
}

}  // namespace

std::size_t PlaceNameTableSize() { return data::place_names_rows; }

std::string_view PlaceNameKey(std::size_t i) { return data::place_names[i][0]; }

std::string_view PlaceNameValue(std::size_t i) { return data::place_names[i][1]; }

const std::string_view* FindPlaceName(std::string_view key) { return ValueAt(Index().Find(key)); }

}  // namespace tolvo
