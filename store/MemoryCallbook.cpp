#include "store/MemoryCallbook.h"

#include <stdexcept>

#include "text/FieldText.h"

namespace tolvo {
namespace {

std::string KeyOf(std::string_view s) { return std::string(StripTrailingSpaces(s)); }

}  // namespace

std::optional<StoredStation> MemoryCallbook::Find(std::string_view callSign) {
  ++lookups;
  auto it = rows_.find(KeyOf(callSign));
  if (it == rows_.end()) return std::nullopt;
  const auto& locator = it->second[StationField::LOKATOR];
  return StoredStation{it->first, locator ? *locator : std::string()};
}

void MemoryCallbook::Insert(const StationRow& row) {
  const auto& key = row[StationField::STACJA];
  if (!key) throw std::runtime_error("validation error for column STACJA, value \"*** null ***\"");
  std::string k = KeyOf(*key);
  if (rows_.count(k))
    throw std::runtime_error(
        "violation of PRIMARY or UNIQUE KEY constraint \"PK_STACJE\" on table \"STACJE\"");
  ++inserts;
  rows_[k] = row;
}

void MemoryCallbook::FillLocator(std::string_view callSign, std::string_view locator) {
  auto it = rows_.find(KeyOf(callSign));
  if (it == rows_.end()) throw std::logic_error("FillLocator: no such station");
  it->second.Set(StationField::LOKATOR, locator);
  ++updates;
}

bool MemoryCallbook::StoredRow(std::string_view callSign, StationRow& row) {
  auto it = rows_.find(KeyOf(callSign));
  if (it == rows_.end()) return false;
  row.text = it->second.text;
  row.country = it->second.country;
  return true;
}

const StationRow* MemoryCallbook::Row(const std::string& callSign) const {
  auto it = rows_.find(callSign);
  return it == rows_.end() ? nullptr : &it->second;
}

}  // namespace tolvo
