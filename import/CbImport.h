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
// appends the station to the callbook unless it is already there or the
// call sign is empty; says which of these it was. Errors of the record
// reader and of the callbook pass through.
RecordOutcome ImportCBRecord(const IRecordFields& rec, ICallbook& book);

}  // namespace tolvo
