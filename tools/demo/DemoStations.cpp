#include "tools/demo/DemoStations.h"

#include <string_view>

#include "text/ClubCallSigns.h"
#include "tools/demo/DemoLocators.h"
#include "tools/demo/DemoText.h"
#include "tools/demo/DemoWords.h"

namespace tolvo::demo {
namespace {

namespace w = words;

std::string Letters(Rng& r, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += r.Letter();
  return s;
}

std::string PolishCall(Rng& r, const w::Town& town, bool club) {
  const char area = town.callArea;
  if (club) {
    const int k = r.Below(10) < 7 ? 'K' : r.Percent(50) ? 'P' : 'Z';
    return std::string("SP") + area + static_cast<char>(k) + Letters(r, 2);
  }
  const std::size_t p = r.Below(100);
  const std::string prefix = p < 55 ? "SP" : p < 85 ? "SQ" : p < 97 ? "SO" : "SN";
  std::string suffix = Letters(r, prefix == "SP" && r.Percent(40) ? 2 : 3);
  if (suffix[0] == 'K') suffix[0] = 'L';  // K-suffixes are the clubs'
  return prefix + area + suffix;
}

std::string CzechCall(Rng& r, const w::Town& town, bool club) {
  const char area = town.callArea;
  if (club) return std::string("OK") + area + "K" + Letters(r, 2);
  const std::size_t p = r.Below(100);
  if (p < 65) return std::string("OK") + area + Letters(r, 3);
  if (p < 85) return std::string("OL") + static_cast<char>('1' + r.Below(9)) + Letters(r, 3);
  return std::string("OK") + area + Letters(r, 2);
}

// A club's call sign has the form of any other.
std::string CanadianCall(Rng& r, const w::Town& town, bool /*club*/) {
  const std::string_view p = town.region;
  std::string prefix;
  if (p == "NL") prefix = "VO1";
  else if (p == "PE") prefix = "VY2";
  else if (p == "YT") prefix = "VY1";
  else if ((p == "ON" || p == "QC" || p == "BC") && r.Percent(35))
    prefix = std::string("VA") + town.callArea;
  else prefix = std::string("VE") + town.callArea;
  return prefix + Letters(r, r.Percent(30) ? 2 : 3);
}

template <class F>
std::string Claimed(CallSigns& calls, F&& make) {
  for (;;) {
    std::string c = make();
    if (calls.Claim(c)) return c;
  }
}

// A station in a town drawn from `towns`, a club for `clubPercent` percent of
// them, with a call sign from `call` that no other station has.
template <std::size_t N>
Station InTown(Rng& r, CallSigns& calls, const w::Town (&towns)[N], int clubPercent,
               std::string (*call)(Rng&, const w::Town&, bool)) {
  Station s;
  s.town = r.Below(N);
  s.club = r.Percent(clubPercent);
  s.call = Claimed(calls, [&] { return call(r, towns[s.town], s.club); });
  return s;
}

}  // namespace

CallSigns::CallSigns() {
  for (std::size_t i = 0; i < ClubCallSignCount(); ++i) taken_.insert(std::string(ClubCallSign(i)));
}

std::string Number(Rng& r, int lo, int hi) { return std::to_string(r.Between(lo, hi)); }

Station MakePolish(Rng& r, CallSigns& calls) {
  Station s = InTown(r, calls, w::kPolishTowns, 6, PolishCall);
  const w::Town& town = w::kPolishTowns[s.town];
  if (s.club) {
    s.surname = Utf8To1250(r.Pick(w::kPolishClubs));
  } else {
    const bool woman = r.Percent(25);
    s.first = Utf8To1250(woman ? r.Pick(w::kPolishWomen) : r.Pick(w::kPolishMen));
    std::string surname = Utf8To1250(r.Pick(w::kPolishSurnames));
    if (woman && surname.size() > 2 && surname.compare(surname.size() - 2, 2, "ki") == 0)
      surname.back() = 'a';
    s.surname = surname;
  }
  std::string street = r.Percent(85) ? "ul. " + Utf8To1250(r.Pick(w::kPolishStreets))
                                     : Utf8To1250(r.Pick(w::kPolishAvenues));
  street += " " + Number(r, 1, 150);
  if (r.Percent(35)) street += "/" + Number(r, 1, 60);
  s.street = street;
  s.postal = std::string(town.postal) + "-" + r.Digit() + r.Digit() + r.Digit();

  const double lat = town.lat + r.Uniform(-0.08, 0.08), lon = town.lon + r.Uniform(-0.12, 0.12);
  double distance = 0;
  const RegionPoint* near = NearestRegion(lat, lon, &distance);
  s.locator = LocatorAt(lat, lon);
  if (near) {
    // Most stations sit in a sub-square the locator table knows.
    if (distance < 0.3 * 0.3 && r.Percent(70)) s.locator = std::string(near->locator);
    s.region = std::string(near->voivodeship) + std::string(near->county);
  }
  return s;
}

Station MakeCzech(Rng& r, CallSigns& calls) {
  Station s = InTown(r, calls, w::kCzechTowns, 5, CzechCall);
  const w::Town& town = w::kCzechTowns[s.town];
  const std::string townName = Utf8To1250(town.name);
  if (s.club) {
    s.surname = townName.size() <= 20 ? "Radioklub " + townName : "Radioklub";
  } else {
    const bool woman = r.Percent(20);
    s.first = Utf8To1250(woman ? r.Pick(w::kCzechWomen) : r.Pick(w::kCzechMen));
    const w::CzechSurname& surname = r.Pick(w::kCzechSurnames);
    s.surname = Utf8To1250(woman ? surname.woman : surname.man);
  }
  s.street = Utf8To1250(r.Pick(w::kCzechStreets)) + " " + Number(r, 1, 2400);
  if (r.Percent(40)) s.street += "/" + Number(r, 1, 60);
  static constexpr std::string_view kPostOffices[] = {"00", "00", "01", "02", "03", "11", "21"};
  s.postal = std::string(town.postal) + " " + std::string(r.Pick(kPostOffices));
  s.locator = LocatorAt(town.lat + r.Uniform(-0.08, 0.08), town.lon + r.Uniform(-0.12, 0.12));
  s.region = std::string(town.region);
  return s;
}

Station MakeCanadian(Rng& r, CallSigns& calls) {
  Station s = InTown(r, calls, w::kCanadianTowns, 4, CanadianCall);
  const w::Town& town = w::kCanadianTowns[s.town];
  const std::string townName = Utf8To1250(town.name);
  if (s.club) {
    s.first = "First Name Unknown";
    s.surname = townName + (townName.size() <= 16 ? " Amateur Radio Club" : " ARC");
  } else {
    const bool woman = r.Percent(25);
    auto name = [&] {
      return Utf8To1250(woman ? r.Pick(w::kCanadianWomen) : r.Pick(w::kCanadianMen));
    };
    s.first = name();
    if (r.Percent(12)) s.first += " " + name();
    if (r.Percent(2)) s.first += " " + name() + " " + name();
    if (r.Percent(2)) s.first = "First Name Unknown";
    s.surname = r.Percent(2) ? "Surname Unknown" : Utf8To1250(r.Pick(w::kCanadianSurnames));
  }
  const std::size_t a = r.Below(100);
  const std::string street = Utf8To1250(r.Pick(w::kCanadianStreets));
  if (a < 72) s.street = Number(r, 1, 9999) + " " + street;
  else if (a < 82) s.street = "PO Box " + Number(r, 1, 999);
  else if (a < 88) s.street = "RR " + Number(r, 1, 9) + " Site " + Number(r, 1, 40);
  else if (a < 97) s.street = Number(r, 1, 40) + "-" + Number(r, 1, 2999) + " " + street;
  else s.street = "ADDRESS UNKNOWN";
  static constexpr char kPostalLetters[] = "ABCEGHJKLMNPRSTVWXYZ";
  auto letter = [&] { return kPostalLetters[r.Below(sizeof kPostalLetters - 1)]; };
  s.postal =
      std::string(town.postal) + r.Digit() + letter() + " " + r.Digit() + letter() + r.Digit();
  s.region = std::string(town.region);
  return s;
}

Lists Share(Rng& r, int both, int firstOnly) {
  const std::size_t p = r.Below(100);
  return p < static_cast<std::size_t>(both)               ? Lists::Both
         : p < static_cast<std::size_t>(both + firstOnly) ? Lists::First
                                                          : Lists::Second;
}

}  // namespace tolvo::demo
