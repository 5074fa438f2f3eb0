// The callbook operations an import uses. The program gives it the real
// store on LOG.DAT; tests, fuzz targets and benchmarks may give it the
// in-memory MemoryCallbook.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/StationFields.h"

namespace tolvo {

// A station row as it is written: each text column as its column would
// store it (see ColumnValue), nullopt for NULL; KRAJ, the country number.
// `written` tells the text columns that Set was given (NULL ones too): the
// columns an import fills, as against those a new row gets as NULL.
struct StationRow {
  std::array<std::optional<std::string>, kStationTextFieldCount> text;
  std::optional<std::int16_t> country;
  std::uint16_t written = 0;

  const std::optional<std::string>& operator[](StationField f) const {
    return text[static_cast<std::size_t>(f)];
  }
  // Sets a text column: cut at the first NUL, cut to the column's width,
  // empty stored as NULL.
  void Set(StationField f, std::string_view value) {
    text[static_cast<std::size_t>(f)] = ColumnValue(f, value);
    written = static_cast<std::uint16_t>(written | (1u << static_cast<unsigned>(f)));
  }
  bool Writes(StationField f) const { return (written >> static_cast<unsigned>(f)) & 1u; }
};

// What a lookup tells of a stored station: its call sign and its locator as
// stored (NULL reads as empty). The store keeps these two in memory for its
// lookups; the rest of a row is read only when it is written.
struct StoredStation {
  std::string callSign;
  std::string locator;
};

// The lookup a per-record step is given: it reads, never writes.
class IStationLookup {
 public:
  virtual ~IStationLookup() = default;
  // The station whose STACJA equals `callSign` exactly (trailing blanks do
  // not count), nullopt when there is none. Sees the rows written earlier
  // in the same writing transaction.
  virtual std::optional<StoredStation> Find(std::string_view callSign) = 0;
  // Whether a step is to plan, for a station it finds, the row it would
  // write for a new one all the same, so that its caller can hold it
  // against the stored row. An import does not: only a row it writes needs
  // its text converted.
  virtual bool WantsRowsOfFound() const { return false; }
};

class ICallbook : public IStationLookup {
 public:
  // Writes a new station row at once (one INSERT). A row the store refuses
  // (a call sign stored already, none at all) raises an error; nothing of it
  // is written.
  virtual void Insert(const StationRow& row) = 0;
  // Gives the stored station `callSign` the locator `locator` (cut to the
  // column's width), leaving its other columns as stored (one UPDATE).
  virtual void FillLocator(std::string_view callSign, std::string_view locator) = 0;
  // Reads into `row` (reusing its buffers) the whole row stored for the
  // station `callSign`, as Find would find it (the rows written earlier in
  // the same writing transaction included): every text column and KRAJ;
  // `written` is left as it was. False, `row` then unspecified, when there
  // is none.
  virtual bool StoredRow(std::string_view callSign, StationRow& row) = 0;
  // Tells the store, before the first lookup, that StoredRow is going to be
  // asked of most stations found, so that it may read the rows all at once
  // rather than one by one.
  virtual void ExpectStoredRows() {}
};

}  // namespace tolvo
