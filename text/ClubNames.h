// Club-name table: club names as the mixed-case Mazovia source reads after the
// upper-case conversion (ASCII letters keep their case, Polish letters become
// Windows-1250 capitals, Mazovia s-acute stays the raw byte 0x9E), mapped to
// the name as it should be written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvo {

// ClubNameTable in table order.
std::size_t ClubNameTableSize();
std::string_view ClubNameKey(std::size_t i);
std::string_view ClubNameValue(std::size_t i);

// Value of the first entry whose key equals `name` byte for byte, or nullptr.
const std::string_view* FindClubName(std::string_view name);

// The correction of a whole club name, or the name unchanged. The name is
// neither trimmed nor cased before the comparison.
std::string FixClubName(std::string_view name);

}  // namespace tolvo
