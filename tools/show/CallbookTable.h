// The callbook listing as tolvo-show prints it.
#pragma once

#include <string>

#include "tools/show/CallbookListing.h"

namespace tolvo::show {

// The listing as an aligned table in UTF-8: a header line, a rule, one line
// per row (NULL shown as nothing, control bytes as '?'), then the row count.
std::string FormatCallbook(const CallbookListing& listing);

}  // namespace tolvo::show
