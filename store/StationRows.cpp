#include "store/StationRows.h"

#include <limits>

namespace tolvo {

void StationRows::Clear() {
  bytes_.clear();
  start_.clear();
}

bool StationRows::Begin(std::uint32_t station) {
  if (bytes_.size() >= kNone - 1024) return false;
  if (station >= start_.size()) start_.resize(station + 1, kNone);
  start_[station] = static_cast<std::uint32_t>(bytes_.size());
  return true;
}

bool StationRows::Text(std::optional<std::string_view> value) {
  if (!value) {
    bytes_ += static_cast<char>(kNull);
    return true;
  }
  if (value->size() >= kNull) return false;
  bytes_ += static_cast<char>(value->size());
  bytes_ += *value;
  return true;
}

void StationRows::Country(std::optional<std::int64_t> value) {
  const bool fits = value && *value >= std::numeric_limits<std::int16_t>::min() &&
                    *value <= std::numeric_limits<std::int16_t>::max();
  const auto number = static_cast<std::uint16_t>(fits ? *value : 0);
  bytes_ += static_cast<char>(fits ? 1 : 0);
  bytes_ += static_cast<char>(number & 0xFF);
  bytes_ += static_cast<char>(number >> 8);
}

bool StationRows::Row(std::uint32_t station, StationRow& row) const {
  if (station >= start_.size() || start_[station] == kNone) return false;
  std::size_t at = start_[station];
  for (auto& text : row.text) {
    const auto size = static_cast<unsigned char>(bytes_[at++]);
    if (size == kNull) {
      text.reset();
      continue;
    }
    const std::string_view value(bytes_.data() + at, size);
    if (text) text->assign(value);
    else text.emplace(value);
    at += size;
  }
  row.country.reset();
  if (bytes_[at] != 0)
    row.country = static_cast<std::int16_t>(static_cast<unsigned char>(bytes_[at + 1]) |
                                            static_cast<unsigned char>(bytes_[at + 2]) << 8);
  return true;
}

}  // namespace tolvo
