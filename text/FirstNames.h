// First-name table: first names as the source's first-name field holds them
// (trimmed and upper-cased, Polish letters still as raw Mazovia bytes) and the
// proper Windows-1250 spelling. An empty value marks a word that stands in the
// first-name field of club records and is no first name.
#pragma once

#include <cstddef>
#include <string_view>

namespace tolvo {

// FirstNameTable in table order: key (raw source bytes), value (Windows-1250).
std::size_t FirstNameTableSize();
std::string_view FirstNameKey(std::size_t i);
std::string_view FirstNameValue(std::size_t i);

// Value of the first entry whose key equals `key` byte for byte, or nullptr
// (by a hash index that keeps the first entry of a repeated key).
const std::string_view* FindFirstName(std::string_view key);

}  // namespace tolvo
