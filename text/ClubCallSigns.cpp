#include "text/ClubCallSigns.h"

#include "data/klubcalls_table.h"

namespace tolvo {

std::size_t ClubCallSignCount() { return data::klubcalls_rows; }

std::string_view ClubCallSign(std::size_t i) { return data::klubcalls[i][0]; }

}  // namespace tolvo
