// The per-record step of the LOG_C_SP.DBF import (Polish stations, Mazovia
// code page, names and towns in upper case) and the text routines that only
// this import uses.
#pragma once

#include <string>
#include <string_view>

#include "import/RecordOutcome.h"
#include "source/RecordFields.h"
#include "store/ICallbook.h"

namespace tolvo {

// Mazovia text to Windows-1250 with every Polish letter in upper case, byte
// for byte. ASCII is untouched (also the small letters). Mazovia c-acute
// (0x8D) and s-acute (0x9E) pass unchanged; 0x8C and 0x8E, which Mazovia
// L-stroke and s-acute become when the raw text is upper-cased, give L-stroke
// and S-acute.
std::string MazoviaToCp1250Upper(std::string_view text);

// The proper first name for the source's first-name field: the first-name
// table's value for the trimmed, upper-cased text (possibly empty: club
// words), else that text with capital initial. Empty text gives empty.
std::string NormalizeFirstName(std::string_view text);

// The same for a town text, with the place-name table.
std::string NormalizePlaceName(std::string_view text);

// True when the trimmed call sign is on the club call-sign list (no case
// folding).
bool IsClubCallSign(std::string_view callSign);

// Trimmed, lower-cased, with a capital at the start and after every blank,
// '-', '.' and ';'.
std::string TitleCase(std::string_view text);

// The first character unchanged, the rest lower-cased (shorter texts
// unchanged).
std::string LowerTail(std::string_view text);

// The character after the first '-' upper-cased, if there is one.
std::string CapitalAfterHyphen(std::string_view text);

// From "FIRSTNAME SURNAME": the surname with capital initial, lower-case
// rest and a capital after its first hyphen. Empty when there is no blank.
std::string SurnamePart(std::string_view text);

// Reads one record of LOG_C_SP.DBF (fields Call, Name, mem_f, QRA_LOC, WOJ),
// normalises names, club name, address and town, repairs the locator, splits
// the region code, and plans the station's row with the Polish country
// number unless it is already in the callbook or the call sign is empty.
// Errors of the record reader and of the lookup pass through.
RecordPlan ImportLogCSPRecord(const IRecordFields& rec, IStationLookup& lookup);

}  // namespace tolvo
