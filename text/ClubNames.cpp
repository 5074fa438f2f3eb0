#include "text/ClubNames.h"

#include "data/club_names_table.h"

namespace tolvo {

std::size_t ClubNameTableSize() { return data::club_names_rows; }

std::string_view ClubNameKey(std::size_t i) { return data::club_names[i][0]; }

std::string_view ClubNameValue(std::size_t i) { return data::club_names[i][1]; }

// A plain scan: the table is short, and comparing lengths first rejects
// almost every row at once.
const std::string_view* FindClubName(std::string_view name) {
  for (std::size_t i = 0; i < data::club_names_rows; ++i)
    if (data::club_names[i][0] == name) return &data::club_names[i][1];
  return nullptr;
}

std::string FixClubName(std::string_view name) {
  const std::string_view* fixed = FindClubName(name);
  return std::string(fixed ? *fixed : name);
}

}  // namespace tolvo
