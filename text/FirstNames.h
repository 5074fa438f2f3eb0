// First-name table: first names as the source's first-name field holds them
// (trimmed and upper-cased, Polish letters still as raw Mazovia bytes) and the
// proper Windows-1250 spelling. An empty value marks a word that stands in the
// first-name field of club records and is no first name.
#pragma once

#include "text/FirstMatchIndex.h"

namespace tolvo {

// Built on first use.
const NameTable& FirstNames();

}  // namespace tolvo
