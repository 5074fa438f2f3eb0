// The callbook listing as tolvo-show prints it, and the tool's texts about
// the database.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/show/CallbookListing.h"

namespace tolvo::show {

// The width, in terminal columns, that the table keeps to unless asked for
// whole values.
inline constexpr std::size_t kTableWidth = 120;

// The widths of the listing's columns. Whole: each as wide as its widest value
// or its name. Otherwise the same when the table fits in `limit` columns (one
// blank between columns); when it does not, the call sign (STACJA) and the
// country (KRAJ) keep their width, every other column keeps at least its
// name's, and the room left is shared out so that as few values as possible
// have to be cut.
std::vector<std::size_t> ColumnWidths(const CallbookListing& listing, bool whole,
                                      std::size_t limit = kTableWidth);

// The listing as an aligned table in UTF-8: a header line of the column
// names, a rule, one line per row (NULL shown as nothing, control bytes as
// '?', KRAJ to the right), then the number of stations. Unless `whole`, the
// table fits in kTableWidth columns: a value too long for its column is cut
// and ends in "…", and a last line says so and how to see them whole.
std::string FormatCallbook(const CallbookListing& listing, bool whole = false);

// What tolvo-show says when another program has the database open.
std::string InUseText(const std::filesystem::path& database);

}  // namespace tolvo::show
