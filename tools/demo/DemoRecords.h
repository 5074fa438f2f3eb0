// How each demo list writes its stations: the records of the four dBASE
// tables and the lines of AMATEUR.RPT, with the flaws such files really
// have: Mazovia letters in the Polish tables, upper-case names, '?' and
// letter-O locators, postal codes without their hyphen, "unknown"
// sentinels, short report lines, duplicates and lower-case call signs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/demo/DemoStations.h"
#include "tools/demo/Random.h"

namespace tolvo::demo {

// One record of a dBASE table: one value per field, in field order.
struct Record {
  std::vector<std::string> values;
  bool deleted = false;
};

// CB.DBF (ZNAK, IMIE, NAZWISKO, ADRES, POCZTA, LOC, KOD): Mazovia text, a few
// stations twice, a record without a call sign and two deleted records
// (stations newly made from `calls`).
std::vector<Record> CbRecords(Rng& r, const std::vector<Station>& stations, CallSigns& calls);

// LOG_C_SP.DBF (CALL, NAME, MEM_F, QRA_LOC, WOJ): upper-case Mazovia memos
// "names;street;postal code town", each in capitals in one of the ways such
// lists hold them.
std::vector<Record> LogCSpRecords(Rng& r, const std::vector<Station>& stations);

// LOG_C_OK.DBF (CALL, NAME, MEM_F, QRA_LOC, WOJ): Windows-1250 memos.
std::vector<Record> LogCOkRecords(Rng& r, const std::vector<Station>& stations);

// okcall.dbf (CALL, NAME, LASTNAME, ADDRESS, CITY, ZIP).
std::vector<Record> OkcallRecords(Rng& r, const std::vector<Station>& stations);

// The lines of AMATEUR.RPT after its header, blank and footer lines
// included; `stationLines` gets the number of lines long enough to be
// station records.
std::vector<std::string> AmateurLines(Rng& r, const std::vector<Station>& stations,
                                      std::int64_t* stationLines);

}  // namespace tolvo::demo
