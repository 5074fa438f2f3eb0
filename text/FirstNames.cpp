#include "text/FirstNames.h"

#include "data/first_names_table.h"
#include "text/FirstMatchIndex.h"

namespace tolvo {

namespace {

// Built on first use; a function-local static is initialised exactly once.
const auto& Index() {
  static const FirstMatchIndex index(data::first_names);
  return index;
}

const std::string_view* ValueAt(std::size_t row) {
  return row < data::first_names_rows ? &data::first_names[row][1] : nullptr;
}

}  // namespace

std::size_t FirstNameTableSize() { return data::first_names_rows; }

std::string_view FirstNameKey(std::size_t i) { return data::first_names[i][0]; }

std::string_view FirstNameValue(std::size_t i) { return data::first_names[i][1]; }

const std::string_view* FindFirstName(std::string_view key) { return ValueAt(Index().Find(key)); }

}  // namespace tolvo
