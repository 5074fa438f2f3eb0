// The per-record step of the LOG_C_OK.DBF import (Czech stations) and the
// text routines it uses.
#pragma once

#include <string>
#include <string_view>

#include "import/RecordOutcome.h"
#include "source/RecordFields.h"
#include "store/ICallbook.h"

namespace tolvo {

// Reads one record of LOG_C_OK.DBF (fields Call, Name, mem_f, QRA_LOC,
// WOJ). For a station not yet in the callbook it plans a row, with the
// repaired locator and the Czech country number; a station already there
// only gets the locator filled when its own is empty, and is never given
// another. An empty call sign writes nothing. Errors of the record reader
// and of the lookup pass through.
RecordPlan ImportLogCOKRecord(const IRecordFields& rec, IStationLookup& lookup);

}  // namespace tolvo
