// Generated station lists for the import benchmark: N records of one source
// in its own format, every record a new station with its own call sign, the
// values written the way the real lists hold them (Mazovia letters, upper-case
// names, '?' and letter-O locators, postal codes without their hyphen).
// Every record is a pure function of its number and the seed, so two calls
// write the same file byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportKinds.h"

namespace tolvo::bench {

// The five lists, named as the imports are.
using Source = ImportKindId;

struct SourceInfo {
  Source source;
  std::string_view name;  // short name in the report: "cb", "log_c_sp", ...
  std::string_view file;  // the table or report the dialog looks for
  std::string_view memo;  // its memo file, or empty
};

inline constexpr std::array<SourceInfo, 5> kSources = {{
    {Source::CB, "cb", "CB.DBF", ""},
    {Source::LogCSP, "log_c_sp", "LOG_C_SP.DBF", "LOG_C_SP.DBT"},
    {Source::LogCOK, "log_c_ok", "LOG_C_OK.DBF", "LOG_C_OK.DBT"},
    {Source::OKCall, "okcall", "okcall.dbf", ""},
    {Source::Amateur, "amateur", "AMATEUR.RPT", ""},
}};

const SourceInfo& InfoOf(Source source);
// The source of that short name; throws std::invalid_argument when unknown.
Source SourceNamed(std::string_view name);

// The largest N a source can hold with distinct call signs.
std::int64_t MaxRecords(Source source);

// The call sign of record `i` (from 0) as the callbook stores it: distinct
// for every i below MaxRecords and across sources, at most six characters.
std::string StationCall(Source source, std::int64_t i);

// Writes the source's file (and memo file) into `folder` with `n` records.
// Throws std::invalid_argument when n exceeds MaxRecords, std::runtime_error
// when a file cannot be written.
void WriteSource(Source source, const std::filesystem::path& folder, std::int64_t n,
                 std::uint64_t seed);

// One synthetic row for the floor and store measurements, Windows-1250 text,
// values about as long as an importer's.
struct SyntheticRow {
  std::string stacja, nazwa, imie, nazwisko, miasto, kodpoczt, adres, lokator, wojew, powiat;
  std::int16_t kraj = 269;
};

// The call sign of row `i` of the floor and store measurements (distinct
// from every source's).
std::string SyntheticCall(std::int64_t i);
// Fills `row` for row `i`, reusing its buffers.
void FillSyntheticRow(std::int64_t i, std::uint64_t seed, SyntheticRow& row);

inline constexpr std::uint64_t kDefaultSeed = 0x5EED'7010'BE9C'0001ULL;

}  // namespace tolvo::bench
