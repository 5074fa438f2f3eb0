// Country numbers (DXCC entities) that the imports write to the stations
// they add.
#pragma once

#include <cstdint>

namespace tolvo {

// Poland: every station of the Polish lists (CB.DBF, LOG_C_SP.DBF).
inline constexpr std::int16_t kCountryPoland = 269;

}  // namespace tolvo
