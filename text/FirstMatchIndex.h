// Lookups in a built-in table by its first column: the first row in table
// order whose key equals the argument byte for byte. The hashed index keeps
// the first row of a repeated key, so it answers exactly like a scan from
// the top.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <unordered_map>

namespace tolvo {

template <std::size_t Rows, std::size_t Columns>
using TableRows = std::string_view[Rows][Columns];

class FirstMatchIndex {
 public:
  template <std::size_t Rows, std::size_t Columns>
  explicit FirstMatchIndex(const TableRows<Rows, Columns>& table) : rows_(Rows) {
    index_.reserve(Rows);
    // try_emplace keeps the row already there, that is the earlier one.
    for (std::size_t i = 0; i < Rows; ++i) index_.try_emplace(table[i][0], i);
  }

  // Row number of the first row whose key equals `key`, or the number of
  // rows.
  std::size_t Find(std::string_view key) const {
    auto it = index_.find(key);
    return it == index_.end() ? rows_ : it->second;
  }

 private:
  std::size_t rows_;
  std::unordered_map<std::string_view, std::size_t> index_;
};

// A built-in table of two columns, a name as a list holds it and what is
// stored in its place, in table order, with its index.
class NameTable {
 public:
  template <std::size_t Rows>
  explicit NameTable(const TableRows<Rows, 2>& table) : rows_(table), index_(table) {}

  std::size_t Size() const { return rows_.size(); }
  std::string_view Key(std::size_t i) const { return rows_[i][0]; }
  // A reference into the table, so that its address tells rows apart.
  const std::string_view& Value(std::size_t i) const { return rows_[i][1]; }

  // The value of the first row whose key equals `key` byte for byte, or
  // nullptr.
  const std::string_view* Find(std::string_view key) const {
    const std::size_t row = index_.Find(key);
    return row < Size() ? &Value(row) : nullptr;
  }

 private:
  std::span<const std::string_view[2]> rows_;
  FirstMatchIndex index_;
};

}  // namespace tolvo
