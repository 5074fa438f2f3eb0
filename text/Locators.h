// The built-in table that assigns a Polish voivodeship letter and county code
// to a Maidenhead locator, and its lookup.
#pragma once

#include <span>
#include <string_view>

namespace tolvo {

struct LocatorRow {
  std::string_view locator;      // upper case, normally 6 characters
  std::string_view voivodeship;  // one letter
  std::string_view county;       // two letters, may be empty
};

// Every row in table order. A locator may occur in several rows; only the
// first of them is ever found.
std::span<const LocatorRow> LocatorRegionTable();

struct LocatorRegion {
  bool found = false;
  std::string_view voivodeship;  // both empty when nothing is found
  std::string_view county;
};

// The region of the first row whose locator equals `locator` byte for byte
// (case-sensitive, whole string, no stripping), by an index built on first
// use that gives the same answer as walking the rows from the first.
LocatorRegion FindLocatorRegion(std::string_view locator);

}  // namespace tolvo
