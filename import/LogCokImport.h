// The per-record step of the LOG_C_OK.DBF import (Czech stations) and the
// text routines it uses.
#pragma once

#include <string>
#include <string_view>

#include "import/RecordOutcome.h"
#include "source/RecordFields.h"
#include "store/ICallbook.h"

namespace tolvo {

// True when the blank-stripped text starts with a postal code: two digits,
// '-' or a blank, three digits. What follows is not examined.
bool HasPostalCodePrefix(std::string_view text);

// The first six characters of the text (the postal code when the text is
// already stripped and HasPostalCodePrefix holds for it).
std::string_view PostalCodePart(std::string_view text);

// The text after its postal code (from the seventh character on) when
// HasPostalCodePrefix holds for it, otherwise the whole text.
std::string_view TownPart(std::string_view text);

// The blank-stripped text after its first blank; empty when it has none.
std::string AfterFirstWord(std::string_view text);

// Reads one record of LOG_C_OK.DBF (fields Call, Name, mem_f, QRA_LOC,
// WOJ). For a station not yet in the callbook it plans a row, with the
// repaired locator and the Czech country number; a station already there
// only gets the locator filled when its own is empty, and is never given
// another. An empty call sign writes nothing. Errors of the record reader
// and of the lookup pass through.
RecordPlan ImportLogCOKRecord(const IRecordFields& rec, IStationLookup& lookup);

}  // namespace tolvo
