#include "text/klub.h"

#include "data/klub_table.h"

namespace tolvo {

std::size_t ClubNameTableSize() { return data::klub_rows; }

std::string_view ClubNameKey(std::size_t i) { return data::klub[i][0]; }

std::string_view ClubNameValue(std::size_t i) { return data::klub[i][1]; }

// A plain scan: the table is short, and comparing lengths first rejects
// almost every row at once.
const std::string_view* FindClubName(std::string_view name) {
  for (std::size_t i = 0; i < data::klub_rows; ++i)
    if (data::klub[i][0] == name) return &data::klub[i][1];
  return nullptr;
}

std::string FixClubName(std::string_view name) {
  const std::string_view* fixed = FindClubName(name);
  return std::string(fixed ? *fixed : name);
}

}  // namespace tolvo
