// Locators for the invented stations: the sub-square of a position, and the
// nearest sub-square the locator table gives a region (voivodeship and
// county).
#pragma once

#include <string>
#include <string_view>

namespace tolvo::demo {

// The six-character locator (Maidenhead sub-square) of a position in
// degrees.
std::string LocatorAt(double lat, double lon);

// A sub-square of the locator table that names a county, with the region its
// first row gives it and its centre.
struct RegionPoint {
  std::string_view locator, voivodeship, county;
  double lat, lon;
};

// The region point nearest to a position, and its distance in degrees of
// latitude (longitude scaled for central Europe) squared; nullptr when the
// table has none.
const RegionPoint* NearestRegion(double lat, double lon, double* distance);

}  // namespace tolvo::demo
