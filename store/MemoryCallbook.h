// An in-memory callbook with the semantics of the real store: exact lookup
// (trailing blanks ignored), one pending row, values cut and emptied to NULL
// as the columns do. Used by tests, fuzz targets and benchmarks.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include "store/ICallbook.h"

namespace tolvo {

struct StationRow {
  std::array<std::optional<std::string>, kStationTextFieldCount> text;
  std::optional<std::int16_t> country;  // KRAJ

  const std::optional<std::string>& operator[](StationField f) const {
    return text[static_cast<std::size_t>(f)];
  }
};

class MemoryCallbook : public ICallbook {
 public:
  bool FindStation(std::string_view callSign) override;
  std::string FieldAsString(StationField field) const override;
  void AppendStation() override;
  void EditStation() override;
  void SetField(StationField field, std::string_view value) override;
  void SetCountry(std::int16_t country) override;
  void PostStation() override;

  // Rows by STACJA (trailing blanks removed), and counts of what was sent.
  const std::map<std::string, StationRow>& Rows() const { return rows_; }
  const StationRow* Row(const std::string& callSign) const;
  int inserts = 0;
  int updates = 0;
  int lookups = 0;

 private:
  enum class Pending { None, New, Edit };
  std::map<std::string, StationRow> rows_;
  std::optional<std::string> current_;  // key of the current row
  Pending pending_ = Pending::None;
  StationRow row_;
};

}  // namespace tolvo
