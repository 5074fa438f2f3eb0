// Country numbers (DXCC entities) that the imports write to the stations
// they add.
#pragma once

#include <cstdint>

namespace tolvo {

inline constexpr std::int16_t kCountryPoland = 269;         // CB.DBF, LOG_C_SP.DBF
inline constexpr std::int16_t kCountryCzechRepublic = 503;  // okcall.dbf, LOG_C_OK.DBF
inline constexpr std::int16_t kCountryCanada = 1;           // AMATEUR.RPT

}  // namespace tolvo
