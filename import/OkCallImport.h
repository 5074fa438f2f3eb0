// The per-record step of the okcall.dbf import (Czech stations).
#pragma once

#include "import/RecordOutcome.h"
#include "text/CountryNumbers.h"
#include "source/RecordFields.h"
#include "store/ICallbook.h"

namespace tolvo {

// Reads one record of okcall.dbf (fields Call, Name, LastName, Address,
// City, ZIP), and appends the station to the callbook unless it is already
// there or the call sign is empty; says which of these it was. Errors of the
// record reader and of the callbook pass through.
RecordOutcome ImportOKCallRecord(const IRecordFields& rec, ICallbook& book);

}  // namespace tolvo
