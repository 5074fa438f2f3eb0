// The place-name table: town texts as they follow the postal code in a Polish
// station list (trimmed, upper-cased, still in the source's code page) mapped
// to the proper Windows-1250 place name.
#pragma once

#include <cstddef>
#include <string_view>

namespace tolvo {

// PlaceNameTable in table order: key (raw source bytes), value (Windows-1250).
std::size_t PlaceNameTableSize();
std::string_view PlaceNameKey(std::size_t i);
std::string_view PlaceNameValue(std::size_t i);

// Value of the first entry whose key equals `key` byte for byte, or nullptr
// (by a hash index that keeps the first entry of a repeated key).
const std::string_view* FindPlaceName(std::string_view key);

}  // namespace tolvo
