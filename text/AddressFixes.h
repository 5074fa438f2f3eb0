// Address fixes: the abbreviation table of fragments of title-cased addresses
// (Roman numerals, acronyms, ordinal endings, small words, street names
// written without Polish letters) and what they should read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvo {

// AbbreviationTable in table order: pattern, replacement.
std::size_t AbbreviationTableSize();
std::string_view AbbreviationPattern(std::size_t i);
std::string_view AbbreviationReplacement(std::size_t i);

// Applies every row in table order, each on the result of the rows before
// it. Within one row, occurrences are found from the left without overlap,
// and text a row has just inserted is not searched again by that row.
std::string FixAbbreviations(std::string_view address);

}  // namespace tolvo
