#include "tools/demo/DemoLocators.h"

#include <algorithm>
#include <set>
#include <vector>

#include "text/Locators.h"

namespace tolvo::demo {
namespace {

bool IsSubsquare(std::string_view l) {
  return l.size() == 6 && l[0] >= 'A' && l[0] <= 'R' && l[1] >= 'A' && l[1] <= 'R' && l[2] >= '0' &&
         l[2] <= '9' && l[3] >= '0' && l[3] <= '9' && l[4] >= 'A' && l[4] <= 'X' && l[5] >= 'A' &&
         l[5] <= 'X';
}

// The sub-squares of the locator table that name a county, each with the
// region its first row gives it.
const std::vector<RegionPoint>& RegionPoints() {
  static const std::vector<RegionPoint> points = [] {
    std::vector<RegionPoint> out;
    std::set<std::string_view> seen;
    for (const LocatorRow& row : LocatorRegionTable()) {
      if (!IsSubsquare(row.locator) || !seen.insert(row.locator).second) continue;
      if (row.county.empty()) continue;
      const std::string_view l = row.locator;
      const double lon =
          (l[0] - 'A') * 20.0 + (l[2] - '0') * 2.0 + (l[4] - 'A' + 0.5) / 12.0 - 180.0;
      const double lat = (l[1] - 'A') * 10.0 + (l[3] - '0') + (l[5] - 'A' + 0.5) / 24.0 - 90.0;
      out.push_back({row.locator, row.voivodeship, row.county, lat, lon});
    }
    return out;
  }();
  return points;
}

}  // namespace

std::string LocatorAt(double lat, double lon) {
  double x = lon + 180.0, y = lat + 90.0;
  const int fx = static_cast<int>(x / 20), fy = static_cast<int>(y / 10);
  x -= fx * 20.0, y -= fy * 10.0;
  const int sx = static_cast<int>(x / 2), sy = static_cast<int>(y);
  x -= sx * 2.0, y -= sy;
  const int ux = std::min(23, static_cast<int>(x * 12)),
            uy = std::min(23, static_cast<int>(y * 24));
  return {static_cast<char>('A' + fx), static_cast<char>('A' + fy), static_cast<char>('0' + sx),
          static_cast<char>('0' + sy), static_cast<char>('A' + ux), static_cast<char>('A' + uy)};
}

const RegionPoint* NearestRegion(double lat, double lon, double* distance) {
  const RegionPoint* best = nullptr;
  double bestD = 0;
  for (const RegionPoint& p : RegionPoints()) {
    const double dy = p.lat - lat, dx = (p.lon - lon) * 0.63;
    const double d = dx * dx + dy * dy;
    if (!best || d < bestD) best = &p, bestD = d;
  }
  *distance = bestD;
  return best;
}

}  // namespace tolvo::demo
