#include "text/ClubCallSigns.h"

#include "data/club_call_signs_table.h"

namespace tolvo {

std::size_t ClubCallSignCount() { return data::club_call_signs_rows; }

std::string_view ClubCallSign(std::size_t i) { return data::club_call_signs[i][0]; }

}  // namespace tolvo
