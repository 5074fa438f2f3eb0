// The per-record step of the CB.DBF import (Polish stations, Mazovia-coded).
#pragma once

#include "import/RecordOutcome.h"
#include "text/CountryNumbers.h"
#include "source/RecordFields.h"
#include "store/ICallbook.h"

namespace tolvo {

// Reads one record of CB.DBF (fields Znak, Imie, Nazwisko, Adres, Poczta,
// Loc, Kod), converts its Polish letters from Mazovia to Windows-1250,
// derives the voivodeship and county from a six-character locator, and
// plans the station's row unless it is already there or the call sign is
// empty. Errors of the record reader and of the lookup pass through.
RecordPlan ImportCBRecord(const IRecordFields& rec, IStationLookup& lookup);

}  // namespace tolvo
