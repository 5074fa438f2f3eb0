// The call signs of Polish club stations that the LOG_C_SP import treats as
// clubs whatever their first-name field holds (the table of
// data/klubcalls.tsv).
#pragma once

#include <cstddef>
#include <string_view>

namespace tolvo {

// ClubCallSigns in list order (upper case, six characters each).
std::size_t ClubCallSignCount();
std::string_view ClubCallSign(std::size_t i);

}  // namespace tolvo
