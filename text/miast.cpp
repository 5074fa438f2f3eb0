#include "text/miast.h"

#include <unordered_map>

#include "data/miast_table.h"

namespace tolvo {

namespace {

using Index = std::unordered_map<std::string_view, std::size_t>;

// Built on first use; a function-local static is initialised exactly once
// even when several threads get here together.
const Index& PlaceNameIndex() {
  static const Index index = [] {
    Index built;
    built.reserve(data::miast_rows);
    // emplace keeps the entry already present, so a repeated key keeps the
    // position of its first occurrence, as a scan in table order would find it.
    for (std::size_t i = 0; i < data::miast_rows; ++i) built.emplace(data::miast[i][0], i);
    return built;
  }();
  return index;
}

}  // namespace

std::size_t PlaceNameTableSize() { return data::miast_rows; }

std::string_view PlaceNameKey(std::size_t i) { return data::miast[i][0]; }

std::string_view PlaceNameValue(std::size_t i) { return data::miast[i][1]; }

const std::string_view* FindPlaceName(std::string_view key) {
  const Index& index = PlaceNameIndex();
  auto it = index.find(key);
  return it == index.end() ? nullptr : &data::miast[it->second][1];
}

const std::string_view* FindPlaceNameLinear(std::string_view key) {
  for (std::size_t i = 0; i < data::miast_rows; ++i)
    if (data::miast[i][0] == key) return &data::miast[i][1];
  return nullptr;
}

}  // namespace tolvo
