// The callbook operations one importer's per-record step uses. The program
// gives it the real store on LOG.DAT; tests, fuzz targets and benchmarks may
// give it the in-memory MemoryCallbook.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/StationFields.h"

namespace tolvo {

class ICallbook {
 public:
  virtual ~ICallbook() = default;

  // True when STACJE has a row whose STACJA equals the key exactly (trailing
  // blanks do not count); that row becomes the current row. Sees the rows
  // posted earlier in the same writing transaction.
  virtual bool FindStation(std::string_view callSign) = 0;

  // A text column of the current row; NULL reads as the empty string.
  virtual std::string FieldAsString(StationField field) const = 0;

  // Begins a new pending row with every column NULL.
  virtual void AppendStation() = 0;
  // Makes the current row the pending row, with its stored values.
  virtual void EditStation() = 0;
  // Sets a text column of the pending row: cut at the first NUL, cut to the
  // column's width, empty stored as NULL.
  virtual void SetField(StationField field, std::string_view value) = 0;
  // Sets KRAJ, the country number, of the pending row.
  virtual void SetCountry(std::int16_t country) = 0;
  // Writes the pending row at once (one INSERT or one UPDATE).
  virtual void PostStation() = 0;
};

}  // namespace tolvo
