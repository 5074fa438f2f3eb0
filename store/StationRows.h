// The whole rows of STACJE, held in memory beside the StationIndex of one
// writing transaction when a caller asks for many stored rows (a report of
// the stations that differ from a list): filled by the same pass over the
// table, kept up to date with the transaction's own writes, and found by the
// index's station numbers.
//
// A row costs its values' bytes, one byte for each of its columns and four
// for its place; all rows lie in one buffer, a row written again is added
// at its end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ICallbook.h"

namespace tolvo {

class StationRows {
 public:
  void Clear();

  // Starts the row of `station` (a number StationIndex gave), in place of
  // one it had; Text for each text column in StationField order, Country
  // last. False, and the row left unfinished, when a value is wider than
  // a row holds or the buffer is full.
  bool Begin(std::uint32_t station);
  bool Text(std::optional<std::string_view> value);
  void Country(std::optional<std::int64_t> value);

  // Reads into `row` (reusing its buffers; `written` left alone) the row of
  // `station` as last given; false when it has none.
  bool Row(std::uint32_t station, StationRow& row) const;

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  static constexpr unsigned char kNull = 0xFF;

  std::string bytes_;
  std::vector<std::uint32_t> start_;  // by station; kNone where there is no row
};

}  // namespace tolvo
