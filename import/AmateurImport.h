// The per-line step of the AMATEUR.RPT import (Canadian stations).
#pragma once

#include <cstddef>
#include <string_view>

#include "import/RecordOutcome.h"
#include "text/CountryNumbers.h"
#include "store/ICallbook.h"

namespace tolvo {

// Lines shorter than this are not station records.
inline constexpr std::size_t kAmateurMinLineLength = 190;

// Takes one line of the report after its four header lines: cuts the fixed
// columns (call sign, first names, surname, address, town, region, postal
// code), drops the report's "unknown" placeholders, and appends the station
// unless the line is shorter than kAmateurMinLineLength, its call sign is
// empty, or the station is already in the callbook; says which of these it
// was. Callbook errors pass through.
RecordOutcome ImportAmateurLine(std::string_view line, ICallbook& book);

}  // namespace tolvo
