// Importer test helpers: a source record with field values by name (names
// matched without regard to ASCII case, a missing name raising the reader's
// error), a station row from its columns and a callbook row as text.
#pragma once

#include <optional>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "import/ImportRun.h"
#include "source/RecordFields.h"
#include "store/MemoryCallbook.h"

namespace tolvo::test {

class RecordMap : public IRecordFields {
 public:
  RecordMap() = default;
  RecordMap(std::initializer_list<std::pair<std::string, std::string>> fields) : fields_(fields) {}

  // Sets (or replaces) one field.
  RecordMap& Set(std::string name, std::string value) {
    for (auto& f : fields_) {
      if (SameName(f.first, name)) {
        f.second = std::move(value);
        return *this;
      }
    }
    fields_.emplace_back(std::move(name), std::move(value));
    return *this;
  }

  // Removes a field, so that reading it fails as on a table without it.
  RecordMap& Drop(std::string_view name) {
    std::erase_if(fields_, [&](const auto& f) { return SameName(f.first, name); });
    return *this;
  }

  std::string FieldAsString(std::string_view name) const override {
    reads.emplace_back(name);
    for (const auto& f : fields_)
      if (SameName(f.first, name)) return f.second;
    throw std::runtime_error("Calls: Field '" + std::string(name) + "' not found");
  }

  // The names asked for, in the order asked.
  mutable std::vector<std::string> reads;

 private:
  static bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
      if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
  }

  std::vector<std::pair<std::string, std::string>> fields_;
};

// A row of `columns` (set as a column stores them) and `kraj`.
inline StationRow Station(std::initializer_list<std::pair<StationField, std::string_view>> columns,
                          std::optional<std::int16_t> kraj = std::nullopt) {
  StationRow row;
  for (const auto& [field, value] : columns) row.Set(field, value);
  row.country = kraj;
  return row;
}

// What a run does with one record: the step's plan for it, carried out
// into `book`.
template <class Step, class Record>
RecordOutcome Import(Step step, const Record& record, ICallbook& book) {
  return CarryOut(step(record, book), book);
}

// The row of `callSign` as text, so that one comparison checks every
// column: the columns that are not NULL, in their order, as COLUMN=value
// joined by '|' (an empty value is "COLUMN="), then KRAJ=number unless it is
// NULL; "no row CALLSIGN" when there is no such row.
inline std::string RowText(const MemoryCallbook& book, const std::string& callSign) {
  const StationRow* row = book.Row(callSign);
  if (!row) return "no row " + callSign;
  std::string out;
  for (std::size_t i = 0; i < kStationTextFieldCount; ++i) {
    const auto field = static_cast<StationField>(i);
    if (const std::optional<std::string>& value = (*row)[field]) {
      if (!out.empty()) out += '|';
      out.append(InfoOf(field).column).append("=").append(*value);
    }
  }
  if (row->country) out += "|KRAJ=" + std::to_string(*row->country);
  return out;
}

}  // namespace tolvo::test
