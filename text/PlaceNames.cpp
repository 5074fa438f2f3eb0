#include "text/PlaceNames.h"

#include "data/place_names_table.h"

namespace tolvo {

const NameTable& PlaceNames() {
  // A function-local static is initialised exactly once.
  static const NameTable table(data::place_names);
  return table;
}

}  // namespace tolvo
