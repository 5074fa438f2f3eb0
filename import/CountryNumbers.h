// The country numbers (DXCC entities) that the imports write to KRAJ.
#pragma once

#include <cstdint>

namespace tolvo {

inline constexpr std::int16_t kCountryPoland = 269;
inline constexpr std::int16_t kCountryCzechRepublic = 503;
inline constexpr std::int16_t kCountryCanada = 1;

}  // namespace tolvo
