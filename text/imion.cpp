#include "text/imion.h"

#include "data/imion_table.h"
#include "text/FirstMatchIndex.h"

namespace tolvo {

namespace {

// Built on first use; a function-local static is initialised exactly once.
const auto& Index() {
  static const FirstMatchIndex index(data::imion);
  return index;
}

const std::string_view* ValueAt(std::size_t row) {
  return row < data::imion_rows ? &data::imion[row][1] : nullptr;
}

}  // namespace

std::size_t FirstNameTableSize() { return data::imion_rows; }

std::string_view FirstNameKey(std::size_t i) { return data::imion[i][0]; }

std::string_view FirstNameValue(std::size_t i) { return data::imion[i][1]; }

const std::string_view* FindFirstName(std::string_view key) { return ValueAt(Index().Find(key)); }

const std::string_view* FindFirstNameLinear(std::string_view key) {
  return ValueAt(FindFirstRowLinear(data::imion, key));
}

}  // namespace tolvo
