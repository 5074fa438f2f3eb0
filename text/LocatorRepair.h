// Locators as the station lists hold them, with the usual slips repaired.
#pragma once

#include <string>
#include <string_view>

namespace tolvo {

// The locator without its surrounding blanks, the letter O (either case)
// typed for the digit 0 in the square (third and fourth characters) made a
// 0, and a '?' for an unknown subsquare character (fifth or sixth of a
// six-character locator) dropped: "JO7O" -> "JO70", "JO70??" -> "JO70".
std::string RepairLocator(std::string_view raw);

}  // namespace tolvo
