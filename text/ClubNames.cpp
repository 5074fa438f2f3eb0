#include "text/ClubNames.h"

#include "data/club_names_table.h"

namespace tolvo {

const NameTable& ClubNames() {
  // A function-local static is initialised exactly once.
  static const NameTable table(data::club_names);
  return table;
}

std::string FixClubName(std::string_view name) {
  const std::string_view* fixed = ClubNames().Find(name);
  return std::string(fixed ? *fixed : name);
}

}  // namespace tolvo
