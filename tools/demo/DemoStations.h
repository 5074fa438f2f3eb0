// The invented stations of the demo lists: Polish, Czech and Canadian ones,
// each with a call sign of its country that no other station (and no club
// call sign the program knows) has.
#pragma once

#include <cstddef>
#include <set>
#include <string>

#include "tools/demo/Random.h"

namespace tolvo::demo {

// One invented station; text in Windows-1250 (Polish, Czech, Canadian alike).
struct Station {
  std::string call;  // capitals
  bool club = false;
  std::string first;    // first name(s); empty for a club
  std::string surname;  // or the club's name
  std::string street;
  std::size_t town = 0;  // index into the country's town list
  std::string postal;    // as the country writes it
  std::string locator;   // six capitals (not for Canada)
  std::string region;    // voivodeship and county, district, or province
};

// The call signs given out so far, the club call signs of the program
// included.
class CallSigns {
 public:
  CallSigns();
  // True (and remembered) when `call` is new.
  bool Claim(const std::string& call) { return taken_.insert(call).second; }

 private:
  std::set<std::string> taken_;
};

Station MakePolish(Rng& r, CallSigns& calls);
Station MakeCzech(Rng& r, CallSigns& calls);
Station MakeCanadian(Rng& r, CallSigns& calls);

// Which lists a station of two lists of one country appears in.
enum class Lists { Both, First, Second };

// Both for `both` percent of the stations, First for `firstOnly` percent,
// Second for the rest.
Lists Share(Rng& r, int both, int firstOnly);

// A number from lo to hi in decimal.
std::string Number(Rng& r, int lo, int hi);

}  // namespace tolvo::demo
