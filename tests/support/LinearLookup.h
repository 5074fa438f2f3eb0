// The lookups of the built-in tables written as a walk over the rows from the
// first: the reference that the indexed lookups of text/ must agree with.
#pragma once

#include <string_view>

#include "text/FirstMatchIndex.h"
#include "text/Locators.h"

namespace tolvo {

// The value of the first row whose key equals `key`, or nullptr; a pointer
// into the same table as NameTable::Find gives.
const std::string_view* FindLinear(const NameTable& table, std::string_view key);

// The region of the first row of LocatorRegionTable() whose locator equals
// `locator`; nothing found when there is none.
LocatorRegion FindLocatorRegionLinear(std::string_view locator);

}  // namespace tolvo
