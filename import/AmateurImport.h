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
// code), drops the report's "unknown" placeholders, and plans the station's
// row unless the line is shorter than kAmateurMinLineLength, its call sign
// is empty, or the station is already in the callbook. Errors of the lookup
// pass through.
RecordPlan ImportAmateurLine(std::string_view line, IStationLookup& lookup);

}  // namespace tolvo
