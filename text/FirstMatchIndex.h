// Lookups in a built-in table by its first column: the first row in table
// order whose key equals the argument byte for byte. The hashed index keeps
// the first row of a repeated key, so it answers exactly like a scan from
// the top.
#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>

namespace tolvo {

template <std::size_t Rows, std::size_t Columns>
using TableRows = std::string_view[Rows][Columns];

template <std::size_t Rows, std::size_t Columns>
class FirstMatchIndex {
 public:
  explicit FirstMatchIndex(const TableRows<Rows, Columns>& table) {
    index_.reserve(Rows);
    // try_emplace keeps the row already there, that is the earlier one.
    for (std::size_t i = 0; i < Rows; ++i) index_.try_emplace(table[i][0], i);
  }

  // Row number of the first row whose key equals `key`, or Rows.
  std::size_t Find(std::string_view key) const {
    auto it = index_.find(key);
    return it == index_.end() ? Rows : it->second;
  }

 private:
  std::unordered_map<std::string_view, std::size_t> index_;
};

}  // namespace tolvo
