#include "store/MemoryCallbook.h"

#include "text/FieldText.h"

namespace tolvo {
namespace {

std::string KeyOf(std::string_view s) { return std::string(StripTrailingSpaces(s)); }

}  // namespace

bool MemoryCallbook::FindStation(std::string_view callSign) {
  ++lookups;
  auto it = rows_.find(KeyOf(callSign));
  if (it == rows_.end()) return false;
  current_ = it->first;
  return true;
}

std::string MemoryCallbook::FieldAsString(StationField field) const {
  if (!current_) return {};
  const auto& v = rows_.at(*current_)[field];
  return v ? *v : std::string();
}

void MemoryCallbook::AppendStation() {
  row_ = StationRow{};
  pending_ = Pending::New;
}

void MemoryCallbook::EditStation() {
  if (!current_) throw std::logic_error("EditStation: no current row");
  row_ = rows_.at(*current_);
  pending_ = Pending::Edit;
}

void MemoryCallbook::SetField(StationField field, std::string_view value) {
  if (pending_ == Pending::None) throw std::logic_error("SetField: no pending row");
  row_.text[static_cast<std::size_t>(field)] = ColumnValue(field, value);
}

void MemoryCallbook::SetCountry(std::int16_t country) {
  if (pending_ == Pending::None) throw std::logic_error("SetCountry: no pending row");
  row_.country = country;
}

void MemoryCallbook::PostStation() {
  if (pending_ == Pending::None) throw std::logic_error("PostStation: no pending row");
  const auto& key = row_[StationField::STACJA];
  if (!key) throw std::runtime_error("validation error for column STACJA, value \"*** null ***\"");
  std::string k = KeyOf(*key);
  if (pending_ == Pending::New) {
    if (rows_.count(k))
      throw std::runtime_error("violation of PRIMARY or UNIQUE KEY constraint \"PK_STACJE\" on table \"STACJE\"");
    ++inserts;
  } else {
    rows_.erase(*current_);
    ++updates;
  }
  rows_[k] = row_;
  current_ = k;
  pending_ = Pending::None;
}

const StationRow* MemoryCallbook::Row(const std::string& callSign) const {
  auto it = rows_.find(callSign);
  return it == rows_.end() ? nullptr : &it->second;
}

}  // namespace tolvo
