// An in-memory callbook with the semantics of the real store: exact lookup
// (trailing blanks ignored), rows refused as the table refuses them. Used by
// tests, fuzz targets and benchmarks.
#pragma once

#include <map>
#include <string>

#include "store/ICallbook.h"

namespace tolvo {

class MemoryCallbook : public ICallbook {
 public:
  std::optional<StoredStation> Find(std::string_view callSign) override;
  void Insert(const StationRow& row) override;
  void FillLocator(std::string_view callSign, std::string_view locator) override;
  bool StoredRow(std::string_view callSign, StationRow& row) override;

  // Rows by STACJA (trailing blanks removed), and counts of what was sent.
  const std::map<std::string, StationRow>& Rows() const { return rows_; }
  const StationRow* Row(const std::string& callSign) const;
  int inserts = 0;
  int updates = 0;
  int lookups = 0;

 private:
  std::map<std::string, StationRow> rows_;
};

}  // namespace tolvo
