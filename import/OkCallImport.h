// The per-record step of the okcall.dbf import (Czech stations).
#pragma once

#include "import/RecordOutcome.h"
#include "text/CountryNumbers.h"
#include "source/RecordFields.h"
#include "store/ICallbook.h"

namespace tolvo {

// Reads one record of okcall.dbf (fields Call, Name, LastName, Address,
// City, ZIP), and plans the station's row unless it is already there or the
// call sign is empty. Errors of the record reader and of the lookup pass
// through.
RecordPlan ImportOKCallRecord(const IRecordFields& rec, IStationLookup& lookup);

}  // namespace tolvo
