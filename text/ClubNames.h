// Club-name table: club names as the mixed-case Mazovia source reads after the
// upper-case conversion (ASCII letters keep their case, Polish letters become
// Windows-1250 capitals, Mazovia s-acute stays the raw byte 0x9E), mapped to
// the name as it should be written.
#pragma once

#include <string>
#include <string_view>

#include "text/FirstMatchIndex.h"

namespace tolvo {

// Built on first use.
const NameTable& ClubNames();

// The correction of a whole club name, or the name unchanged. The name is
// neither trimmed nor cased before the comparison.
std::string FixClubName(std::string_view name);

}  // namespace tolvo
