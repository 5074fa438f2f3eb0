#include "text/imion.h"

#include <unordered_map>

#include "data/imion_table.h"

namespace tolvo {

namespace {

using Index = std::unordered_map<std::string_view, std::size_t>;

// Key -> row of its first occurrence. emplace keeps the earlier row when a
// key repeats, so the index answers exactly like a scan from the top.
const Index& FirstNameIndex() {
  static const Index index = [] {
    Index built;
    built.reserve(data::imion_rows);
    for (std::size_t i = 0; i < data::imion_rows; ++i) built.emplace(data::imion[i][0], i);
    return built;
  }();
  return index;
}

}  // namespace

std::size_t FirstNameTableSize() { return data::imion_rows; }

std::string_view FirstNameKey(std::size_t i) { return data::imion[i][0]; }

std::string_view FirstNameValue(std::size_t i) { return data::imion[i][1]; }

const std::string_view* FindFirstName(std::string_view key) {
  const Index& index = FirstNameIndex();
  auto it = index.find(key);
  return it == index.end() ? nullptr : &data::imion[it->second][1];
}

const std::string_view* FindFirstNameLinear(std::string_view key) {
  for (std::size_t i = 0; i < data::imion_rows; ++i)
    if (data::imion[i][0] == key) return &data::imion[i][1];
  return nullptr;
}

}  // namespace tolvo
