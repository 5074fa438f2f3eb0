// The fields of each dBASE list, written down once: their names as the
// per-record steps spell them (the reader matches them without regard to
// letter case), their types and widths. The steps read these fields by
// name; the writers of sample lists (the demo folder, the benchmark, the
// tests) lay tables out from this description.
#pragma once

#include <span>
#include <string_view>

#include "import/ImportKinds.h"

namespace tolvo {

struct ListField {
  std::string_view name;
  char type;        // 'C' character, 'M' memo
  unsigned length;  // in bytes; a memo's is its block number's, 10
};

// The fields of the list that `kind` reads, in table order; empty for the
// report, which has lines rather than fields.
std::span<const ListField> ListFieldsOf(ImportKindId kind);

}  // namespace tolvo
