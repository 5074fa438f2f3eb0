#include "text/FirstNames.h"

#include "data/first_names_table.h"

namespace tolvo {

const NameTable& FirstNames() {
  // A function-local static is initialised exactly once.
  static const NameTable table(data::first_names);
  return table;
}

}  // namespace tolvo
