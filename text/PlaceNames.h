// The place-name table: town texts as they follow the postal code in a Polish
// station list (trimmed, upper-cased, still in the source's code page) mapped
// to the proper Windows-1250 place name.
#pragma once

#include "text/FirstMatchIndex.h"

namespace tolvo {

// Built on first use.
const NameTable& PlaceNames();

}  // namespace tolvo
