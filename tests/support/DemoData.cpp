#include "tests/support/DemoData.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <set>

#include "text/ClubCallSigns.h"
#include "source/FileLookup.h"
#include "store/Firebird.h"
#include "store/StationFields.h"
#include "tests/support/DbfWriter.h"
#include "tests/support/ReportWriter.h"
#include "tests/support/TolvoDb.h"
#include "text/Cp1250.h"
#include "text/Globals.h"
#include "text/lokat.h"
#include "tools/demo/DemoWords.h"

namespace tolvo::demo {
namespace {

namespace w = words;

// ---- text ---------------------------------------------------------------------

// The Polish letters of the Mazovia code page by their code points.
constexpr std::array<std::pair<char32_t, unsigned char>, 18> kMazovia = {{
    {U'ą', 0x86}, {U'ć', 0x8D}, {U'Ą', 0x8F}, {U'Ę', 0x90}, {U'ę', 0x91}, {U'ł', 0x92},
    {U'Ć', 0x95}, {U'Ś', 0x98}, {U'Ł', 0x9C}, {U'ś', 0x9E}, {U'Ź', 0xA0}, {U'Ż', 0xA1},
    {U'ó', 0xA2}, {U'Ó', 0xA3}, {U'ń', 0xA4}, {U'Ń', 0xA5}, {U'ź', 0xA6}, {U'ż', 0xA7},
}};

// The code points of UTF-8 text; DemoError on a malformed sequence.
std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t extra;
    char32_t cp;
    if (c < 0x80) {
      extra = 0, cp = c;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3, cp = c & 0x07;
    } else {
      throw DemoError("bad UTF-8 in '" + std::string(s) + "'");
    }
    if (i + extra >= s.size())
      throw DemoError("bad UTF-8 in '" + std::string(s) + "'");
    for (std::size_t k = 1; k <= extra; ++k) {
      const unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) throw DemoError("bad UTF-8 in '" + std::string(s) + "'");
      cp = (cp << 6) | (t & 0x3F);
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

// ---- Windows-1250 helpers (all Polish and Czech text passes this code page) ----

std::string Upper(std::string_view cp1250) { return ToUpper1250(cp1250); }
std::string Lower(std::string_view cp1250) { return ToLower1250(cp1250); }

// Polish letters without their marks, case kept.
std::string FoldPolish(std::string_view cp1250) {
  static constexpr std::array<std::pair<unsigned char, char>, 18> kFold = {{
      {0xB9, 'a'}, {0xE6, 'c'}, {0xEA, 'e'}, {0xB3, 'l'}, {0xF1, 'n'}, {0xF3, 'o'},
      {0x9C, 's'}, {0x9F, 'z'}, {0xBF, 'z'}, {0xA5, 'A'}, {0xC6, 'C'}, {0xCA, 'E'},
      {0xA3, 'L'}, {0xD1, 'N'}, {0xD3, 'O'}, {0x8C, 'S'}, {0x8F, 'Z'}, {0xAF, 'Z'},
  }};
  std::string out(cp1250);
  for (char& ch : out)
    for (const auto& [from, to] : kFold)
      if (static_cast<unsigned char>(ch) == from) ch = to;
  return out;
}

std::string Cp1250ToMazovia(std::string_view cp1250) {
  return Utf8ToMazovia(Cp1250ToUtf8(cp1250));
}

// ---- chance -------------------------------------------------------------------

// A small generator of our own (splitmix64), so that the files do not depend
// on the standard library's distributions.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  int Between(int lo, int hi) { return lo + static_cast<int>(Below(static_cast<std::size_t>(hi - lo + 1))); }
  bool Percent(int p) { return Below(100) < static_cast<std::size_t>(p); }
  double Uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
  }
  template <class T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }
  char Letter() { return static_cast<char>('A' + Below(26)); }
  char Digit() { return static_cast<char>('0' + Below(10)); }

 private:
  std::uint64_t state_;
};

// ---- locators -------------------------------------------------------------------

std::string LocatorAt(double lat, double lon) {
  double x = lon + 180.0, y = lat + 90.0;
  const int fx = static_cast<int>(x / 20), fy = static_cast<int>(y / 10);
  x -= fx * 20.0, y -= fy * 10.0;
  const int sx = static_cast<int>(x / 2), sy = static_cast<int>(y);
  x -= sx * 2.0, y -= sy;
  const int ux = std::min(23, static_cast<int>(x * 12)), uy = std::min(23, static_cast<int>(y * 24));
  return {static_cast<char>('A' + fx), static_cast<char>('A' + fy), static_cast<char>('0' + sx),
          static_cast<char>('0' + sy), static_cast<char>('A' + ux), static_cast<char>('A' + uy)};
}

bool IsSubsquare(std::string_view l) {
  return l.size() == 6 && l[0] >= 'A' && l[0] <= 'R' && l[1] >= 'A' && l[1] <= 'R' &&
         l[2] >= '0' && l[2] <= '9' && l[3] >= '0' && l[3] <= '9' && l[4] >= 'A' && l[4] <= 'X' &&
         l[5] >= 'A' && l[5] <= 'X';
}

struct RegionPoint {
  std::string_view locator, voivodeship, county;
  double lat, lon;
};

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
      const double lon = (l[0] - 'A') * 20.0 + (l[2] - '0') * 2.0 + (l[4] - 'A' + 0.5) / 12.0 - 180.0;
      const double lat = (l[1] - 'A') * 10.0 + (l[3] - '0') + (l[5] - 'A' + 0.5) / 24.0 - 90.0;
      out.push_back({row.locator, row.voivodeship, row.county, lat, lon});
    }
    return out;
  }();
  return points;
}

// The nearest of RegionPoints, and its distance in degrees of latitude
// (longitude scaled for central Europe); nullptr when the table has none.
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

// ---- stations -----------------------------------------------------------------------

// One invented station; text in Windows-1250 (Polish, Czech, Canadian alike).
struct Station {
  std::string call;  // capitals
  bool club = false;
  std::string first;    // first name(s); empty for a club
  std::string surname;  // or the club's name
  std::string street;
  std::size_t town = 0;
  std::string postal;   // as the country writes it
  std::string locator;  // six capitals (not for Canada)
  std::string region;   // voivodeship and county, district, or province
};

class CallSigns {
 public:
  CallSigns() {
    for (std::size_t i = 0; i < ClubCallSignCount(); ++i) taken_.insert(std::string(ClubCallSign(i)));
  }
  // True (and remembered) when `call` is new.
  bool Claim(const std::string& call) { return taken_.insert(call).second; }

 private:
  std::set<std::string> taken_;
};

std::string Letters(Rng& r, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += r.Letter();
  return s;
}

std::string PolishCall(Rng& r, char area, bool club) {
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

std::string CzechCall(Rng& r, char area, bool club) {
  if (club) return std::string("OK") + area + "K" + Letters(r, 2);
  const std::size_t p = r.Below(100);
  if (p < 65) return std::string("OK") + area + Letters(r, 3);
  if (p < 85) return std::string("OL") + static_cast<char>('1' + r.Below(9)) + Letters(r, 3);
  return std::string("OK") + area + Letters(r, 2);
}

std::string CanadianCall(Rng& r, const w::Town& town) {
  const std::string_view p = town.region;
  std::string prefix;
  if (p == "NL") prefix = "VO1";
  else if (p == "PE") prefix = "VY2";
  else if (p == "YT") prefix = "VY1";
  else if ((p == "ON" || p == "QC" || p == "BC") && r.Percent(35)) prefix = std::string("VA") + town.callArea;
  else prefix = std::string("VE") + town.callArea;
  return prefix + Letters(r, r.Percent(30) ? 2 : 3);
}

std::string Number(Rng& r, int lo, int hi) { return std::to_string(r.Between(lo, hi)); }

template <class F>
std::string Claimed(CallSigns& calls, F&& make) {
  for (;;) {
    std::string c = make();
    if (calls.Claim(c)) return c;
  }
}

Station MakePolish(Rng& r, CallSigns& calls) {
  Station s;
  s.town = r.Below(std::size(w::kPolishTowns));
  const w::Town& town = w::kPolishTowns[s.town];
  s.club = r.Percent(6);
  s.call = Claimed(calls, [&] { return PolishCall(r, town.callArea, s.club); });
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
  Station s;
  s.town = r.Below(std::size(w::kCzechTowns));
  const w::Town& town = w::kCzechTowns[s.town];
  s.club = r.Percent(5);
  s.call = Claimed(calls, [&] { return CzechCall(r, town.callArea, s.club); });
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
  Station s;
  s.town = r.Below(std::size(w::kCanadianTowns));
  const w::Town& town = w::kCanadianTowns[s.town];
  s.club = r.Percent(4);
  s.call = Claimed(calls, [&] { return CanadianCall(r, town); });
  const std::string townName = Utf8To1250(town.name);
  if (s.club) {
    s.first = "First Name Unknown";
    s.surname = townName + (townName.size() <= 16 ? " Amateur Radio Club" : " ARC");
  } else {
    const bool woman = r.Percent(25);
    auto name = [&] { return Utf8To1250(woman ? r.Pick(w::kCanadianWomen) : r.Pick(w::kCanadianMen)); };
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
  s.postal = std::string(town.postal) + r.Digit() + letter() + " " + r.Digit() + letter() + r.Digit();
  s.region = std::string(town.region);
  return s;
}

// Which lists a station of two lists of one country appears in.
enum class Lists { Both, First, Second };

Lists Share(Rng& r, int both, int firstOnly) {
  const std::size_t p = r.Below(100);
  return p < static_cast<std::size_t>(both)                ? Lists::Both
         : p < static_cast<std::size_t>(both + firstOnly) ? Lists::First
                                                           : Lists::Second;
}

// ---- ways of writing --------------------------------------------------------------

// How an upper-case list writes one record's Polish text.
enum class Caps {
  Mazovia,  // capitals, Polish capitals in Mazovia
  // mixed-case Mazovia text upper-cased by a program that took it for
  // Windows-1250: small Polish letters keep their small codes, and Ł and ś
  // become 0x8C and 0x8E
  Windows,
  Plain,  // capitals without Polish marks
};

Caps PickCaps(Rng& r) {
  const std::size_t p = r.Below(100);
  return p < 60 ? Caps::Mazovia : p < 80 ? Caps::Windows : Caps::Plain;
}

std::string InCaps(std::string_view cp1250, Caps caps) {
  switch (caps) {
    case Caps::Mazovia:
      return Cp1250ToMazovia(Upper(cp1250));
    case Caps::Windows:
      return Upper(Cp1250ToMazovia(cp1250));
    case Caps::Plain:
      return FoldPolish(Upper(cp1250));
  }
  return {};
}

std::string Cut(std::string s, std::size_t width) {
  if (s.size() > width) s.resize(width);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// A locator as the operators of the logging program type it in.
std::string LooseLocator(Rng& r, const std::string& locator) {
  const std::size_t p = r.Below(100);
  if (p < 5) return Lower(locator);
  if (p < 11) {
    std::string l = locator;
    const bool third = l[2] == '0', fourth = l[3] == '0';
    if (third || fourth) {
      // the letter O for the digit 0, in either case
      const char o = r.Percent(80) ? 'O' : 'o';
      if (third && (!fourth || r.Percent(50))) l[2] = o;
      else l[3] = o;
      return l;
    }
    return l.substr(0, 4) + "??";
  }
  if (p < 15) return locator.substr(0, 4) + "??";
  if (p < 17) return locator.substr(0, 4) + "?" + locator.substr(5);
  if (p < 20) return locator.substr(0, 4);
  if (p < 23) return "";
  return locator;
}

// ---- the files ----------------------------------------------------------------------

struct Record {
  std::vector<std::string> values;
  bool deleted = false;
};

// Puts `extra` somewhere after position `after` of `records`.
void InsertAfter(Rng& r, std::vector<Record>& records, std::size_t after, Record extra) {
  const std::size_t pos = after + 1 + r.Below(records.size() - after);
  records.insert(records.begin() + static_cast<std::ptrdiff_t>(pos), std::move(extra));
}

void Write(const fs::path& file, const std::vector<DbfFieldSpec>& fields,
           const std::vector<Record>& records) {
  try {
    DbfWriter out(file, fields);
    for (const Record& rec : records) out.Add(rec.values, rec.deleted);
    out.Finish();
  } catch (const std::exception& e) {
    throw DemoError(file.string() + ": " + e.what());
  }
}

std::vector<Record> CbRecords(Rng& r, const std::vector<Station>& stations, CallSigns& calls) {
  auto record = [&r](const Station& s, const std::string& street) {
    std::string znak = s.call;
    if (r.Percent(6)) znak = Lower(znak);
    if (r.Percent(5)) znak = " " + znak;
    const std::string imie = s.club || r.Percent(3) ? "" : s.first;
    const std::string adres = r.Percent(4) ? "" : street;
    std::string loc = s.locator;
    const std::size_t p = r.Below(100);
    if (p < 6) loc = "?";
    else if (p < 9) loc = loc.substr(0, 4) + "??";
    else if (p < 13) loc = Lower(loc);
    else if (p < 16) loc = loc.substr(0, 4);
    else if (p < 19) loc.clear();
    std::string kod = s.postal.substr(0, 2) + s.postal.substr(3);
    const std::size_t q = r.Below(100);
    if (q < 8) kod = s.postal;
    else if (q < 14) kod.clear();
    return Record{{znak, Cp1250ToMazovia(imie), Cp1250ToMazovia(s.surname), Cp1250ToMazovia(adres),
                   Cp1250ToMazovia(Utf8To1250(w::kPolishTowns[s.town].name)), loc, kod}};
  };
  std::vector<Record> out;
  for (const Station& s : stations) out.push_back(record(s, s.street));
  const std::size_t listed = out.size();
  // A few stations twice: the station moved and was entered again.
  for (int i = 0; i < 4; ++i) {
    const std::size_t at = r.Below(listed);
    const Station& s = stations[at];
    InsertAfter(r, out, at, record(s, "ul. " + Utf8To1250(r.Pick(w::kPolishStreets)) + " " +
                                          Number(r, 1, 90)));
  }
  // A record without a call sign, and two deleted ones.
  InsertAfter(r, out, r.Below(out.size()), Record{{"", "Jan", "Nowak", "", "Radom", "KO01", "26600"}});
  for (int i = 0; i < 2; ++i) {
    Rng local(r.Next());
    Station gone = MakePolish(local, calls);
    Record rec = record(gone, gone.street);
    rec.deleted = true;
    InsertAfter(r, out, r.Below(out.size()), std::move(rec));
  }
  return out;
}

std::vector<Record> LogCSpRecords(Rng& r, const std::vector<Station>& stations) {
  std::vector<Record> out;
  for (const Station& s : stations) {
    const Caps caps = PickCaps(r);
    std::string name;
    std::string part1;
    if (s.club) {
      const std::string mazovia = Cp1250ToMazovia(s.surname);
      const bool knownWord = s.surname.starts_with("Klub ") || s.surname.starts_with("Harcerski") ||
                             s.surname.starts_with("Studencki");
      if (knownWord && r.Percent(70))
        name = Cut(r.Percent(50) ? Upper(mazovia) : FoldPolish(Upper(s.surname)), 10);
      else
        name = "RADIOKLUB";
      part1 = mazovia;  // club names come in mixed case
    } else {
      name = r.Percent(8) ? Cp1250ToMazovia(s.first) : InCaps(s.first, caps);
      name = Cut(name, 10);
      std::string names = s.first;
      if (r.Percent(3)) names += " " + Utf8To1250(r.Pick(w::kPolishMen));
      part1 = InCaps(names + " " + s.surname, caps);
    }
    const std::string part2 = InCaps(s.street, caps);
    const std::string town = InCaps(Utf8To1250(w::kPolishTowns[s.town].name), caps);
    std::string part3 = s.postal + " " + town;
    const std::size_t p = r.Below(100);
    if (p < 5) part3 = " " + part3;
    else if (p < 9) part3 = s.postal.substr(0, 2) + s.postal.substr(3) + " " + town;
    else if (p < 15) part3 = town;
    std::string memo = part1 + ";" + part2 + ";" + part3;
    const std::size_t m = r.Below(100);
    if (m < 3) memo.clear();
    else if (m < 5) memo = part1 + ";" + part2;

    std::string woj = s.region;
    const std::size_t q = r.Below(100);
    if (q < 5) woj = Lower(woj);
    else if (q < 10) woj.clear();
    else if (q < 12) woj = woj.substr(0, 2);

    std::string call = r.Percent(5) ? Lower(s.call) : s.call;
    out.push_back(Record{{call, name, memo, LooseLocator(r, s.locator), woj}});
  }
  for (int i = 0; i < 3; ++i) {
    const std::size_t at = r.Below(stations.size());
    Record again = out[at];
    again.values[3] = LooseLocator(r, stations[at].locator);
    InsertAfter(r, out, at, std::move(again));
  }
  return out;
}

std::vector<Record> LogCOkRecords(Rng& r, const std::vector<Station>& stations) {
  std::vector<Record> out;
  for (const Station& s : stations) {
    const std::string name = s.club || r.Percent(4) ? "" : s.first;
    std::string part1 = s.club ? s.surname : s.first + " " + s.surname;
    if (!s.club && r.Percent(5)) part1 = "Ing. " + part1;
    const std::string town = Utf8To1250(w::kCzechTowns[s.town].name);
    std::string part3 = s.postal + " " + town;
    const std::size_t p = r.Below(100);
    if (p < 8) part3 = s.postal.substr(0, 3) + s.postal.substr(4) + " " + town;
    else if (p < 20) part3 = town;
    std::string memo = part1 + ";" + s.street + ";" + part3;
    const std::size_t m = r.Below(100);
    if (m < 3) memo.clear();
    else if (m < 5) memo = part1 + ";" + s.street;
    const std::string woj = r.Percent(60) ? s.region : "";
    const std::string call = r.Percent(5) ? Lower(s.call) : s.call;
    out.push_back(Record{{call, Cut(name, 10), memo, LooseLocator(r, s.locator), woj}});
  }
  for (int i = 0; i < 3; ++i) {
    const std::size_t at = r.Below(stations.size());
    InsertAfter(r, out, at, out[at]);
  }
  return out;
}

std::vector<Record> OkcallRecords(Rng& r, const std::vector<Station>& stations) {
  std::vector<Record> out;
  for (const Station& s : stations) {
    std::string call = s.call;
    if (r.Percent(5)) call = Lower(call);
    if (r.Percent(5)) call = " " + call;
    const std::string name = s.club || r.Percent(3) ? "" : s.first;
    const std::string address = r.Percent(3) ? "" : s.street;
    std::string zip = s.postal;
    if (r.Percent(5)) zip.clear();
    out.push_back(Record{
        {call, name, s.surname, address, Utf8To1250(w::kCzechTowns[s.town].name), zip}});
  }
  for (int i = 0; i < 3; ++i) {
    const std::size_t at = r.Below(stations.size());
    Record again = out[at];
    again.values[3] = Utf8To1250(r.Pick(w::kCzechStreets)) + " " + Number(r, 1, 900);
    InsertAfter(r, out, at, std::move(again));
  }
  return out;
}

std::vector<std::string> AmateurLines(Rng& r, const std::vector<Station>& stations,
                                      std::int64_t* stationLines) {
  auto line = [&r](const Station& s, const std::string& street) {
    const std::string town =
        r.Percent(3) ? "CITY UNKNOWN" : Utf8To1250(w::kCanadianTowns[s.town].name);
    const std::string call = r.Percent(4) ? Lower(s.call) : s.call;
    return AmateurLine(call, s.first, s.surname, street, town, s.region, s.postal);
  };
  std::vector<std::string> out;
  for (const Station& s : stations) {
    std::string l = line(s, s.street);
    if (r.Percent(2)) {
      // Without a postal code and with its trailing blanks dropped, the line
      // ends before the postal-code column and is no record.
      l.resize(186);
      while (!l.empty() && l.back() == ' ') l.pop_back();
    }
    out.push_back(std::move(l));
  }
  for (int i = 0; i < 3; ++i) {
    const std::size_t at = r.Below(stations.size());
    const std::string street =
        Number(r, 1, 999) + " " + Utf8To1250(r.Pick(w::kCanadianStreets));
    const std::size_t pos = at + 1 + r.Below(out.size() - at);
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(pos), line(stations[at], street));
  }
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(r.Below(out.size())), "");
  out.push_back("");
  out.push_back("Total records: " + std::to_string(stations.size()));
  *stationLines = std::count_if(out.begin(), out.end(),
                                [](const std::string& l) { return l.size() >= 190; });
  return out;
}

// The DBF field layouts.
const std::vector<DbfFieldSpec> kCbFields = {
    {"ZNAK", 'C', 10},   {"IMIE", 'C', 15}, {"NAZWISKO", 'C', 30}, {"ADRES", 'C', 40},
    {"POCZTA", 'C', 30}, {"LOC", 'C', 6},   {"KOD", 'C', 6}};
const std::vector<DbfFieldSpec> kLogCFields = {
    {"CALL", 'C', 10}, {"NAME", 'C', 10}, {"MEM_F", 'M', 0}, {"QRA_LOC", 'C', 6}, {"WOJ", 'C', 3}};
const std::vector<DbfFieldSpec> kOkcallFields = {
    {"CALL", 'C', 10},    {"NAME", 'C', 15}, {"LASTNAME", 'C', 30},
    {"ADDRESS", 'C', 40}, {"CITY", 'C', 35}, {"ZIP", 'C', 6}};

}  // namespace

// ---- text ---------------------------------------------------------------------------

std::string Utf8ToMazovia(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char32_t cp : DecodeUtf8(utf8)) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    const auto it = std::find_if(kMazovia.begin(), kMazovia.end(),
                                 [cp](const auto& e) { return e.first == cp; });
    if (it == kMazovia.end())
      throw DemoError("no Mazovia code for a character of '" + std::string(utf8) + "'");
    out += static_cast<char>(it->second);
  }
  return out;
}

std::string Utf8To1250(std::string_view utf8) {
  std::string out;
  if (!Utf8ToCp1250(utf8, out))
    throw DemoError("no Windows-1250 code for a character of '" + std::string(utf8) + "'");
  return out;
}

// ---- the sample files ---------------------------------------------------------------

DemoCounts WriteDemoSources(const fs::path& folder, std::uint64_t seed) {
  Rng r(seed);
  CallSigns calls;
  DemoCounts counts;

  std::vector<Station> cb, sp;
  for (int i = 0; i < 460; ++i) {
    const Station s = MakePolish(r, calls);
    const Lists in = Share(r, 35, 32);
    if (in != Lists::Second) cb.push_back(s);
    if (in != Lists::First) sp.push_back(s);
  }
  std::vector<Station> okcall, ok;
  for (int i = 0; i < 400; ++i) {
    const Station s = MakeCzech(r, calls);
    const Lists in = Share(r, 35, 35);
    if (in != Lists::Second) okcall.push_back(s);
    if (in != Lists::First) ok.push_back(s);
  }
  std::vector<Station> ca;
  for (int i = 0; i < 340; ++i) ca.push_back(MakeCanadian(r, calls));

  const std::vector<Record> cbRecords = CbRecords(r, cb, calls);
  Write(folder / "CB.DBF", kCbFields, cbRecords);
  counts.cb = static_cast<std::int64_t>(cbRecords.size());
  counts.cbDeleted = std::count_if(cbRecords.begin(), cbRecords.end(),
                                   [](const Record& rec) { return rec.deleted; });

  const std::vector<Record> spRecords = LogCSpRecords(r, sp);
  Write(folder / "LOG_C_SP.DBF", kLogCFields, spRecords);
  counts.logCSp = static_cast<std::int64_t>(spRecords.size());

  const std::vector<Record> okRecords = LogCOkRecords(r, ok);
  Write(folder / "LOG_C_OK.DBF", kLogCFields, okRecords);
  counts.logCOk = static_cast<std::int64_t>(okRecords.size());

  const std::vector<Record> okcallRecords = OkcallRecords(r, okcall);
  Write(folder / "okcall.dbf", kOkcallFields, okcallRecords);
  counts.okcall = static_cast<std::int64_t>(okcallRecords.size());

  const std::vector<std::string> lines = AmateurLines(r, ca, &counts.amateurStations);
  try {
    WriteAmateurReport(folder / "AMATEUR.RPT", lines);
  } catch (const std::exception& e) {
    throw DemoError(e.what());
  }
  counts.amateurLines = static_cast<std::int64_t>(lines.size());
  return counts;
}

DemoFolder PrepareDemoFolder(const fs::path& folder, DemoCounts* counts) {
  std::error_code ec;
  if (!fs::exists(folder, ec)) {
    fs::create_directories(folder, ec);
    if (ec) throw DemoError(folder.string() + ": cannot make the folder: " + ec.message());
  } else if (!fs::is_directory(folder, ec)) {
    throw DemoError(folder.string() + " is not a folder");
  }
  if (auto db = FindFileCaseBlind(folder, kDemoDatabase, true)) {
    if (fs::is_directory(*db, ec)) throw DemoError(db->string() + " is a folder, not a database");
    return DemoFolder::AlreadyThere;
  }
  for (std::string_view name : kDemoSourceFiles)
    if (auto found = FindFileCaseBlind(folder, name, true))
      throw DemoError(folder.string() + " has no LOG.DAT but holds " +
                      found->filename().string() +
                      "; nothing was written (it may be somebody's own list)");

  auto removeMade = [&folder] {
    std::error_code ignored;
    for (std::string_view name : kDemoSourceFiles) fs::remove(folder / name, ignored);
    fs::remove(folder / kDemoDatabase, ignored);
  };
  try {
    const DemoCounts made = WriteDemoSources(folder);
    CreateTolvo10Database(folder / kDemoDatabase);
    if (counts) *counts = made;
  } catch (const DatabaseError& e) {
    removeMade();
    throw DemoError((folder / kDemoDatabase).string() + ": " + e.what());
  } catch (...) {
    removeMade();
    throw;
  }
  return DemoFolder::Created;
}

// ---- viewing the callbook -------------------------------------------------------------

namespace {

Firebird::IMaster* Master() { return Firebird::fb_get_master_interface(); }

// A status vector for the calls below; errors become DatabaseError with the
// client library's text.
class ApiStatus {
 public:
  ApiStatus() : status_(Master()->getStatus()), wrapper_(status_) {}
  ~ApiStatus() { status_->dispose(); }
  ApiStatus(const ApiStatus&) = delete;
  ApiStatus& operator=(const ApiStatus&) = delete;

  Firebird::CheckStatusWrapper* operator()() {
    wrapper_.clearException();
    return &wrapper_;
  }
  bool Failed() const { return (wrapper_.getState() & Firebird::IStatus::STATE_ERRORS) != 0; }
  void Check() {
    if (!Failed()) return;
    char text[1024];
    unsigned n = Master()->getUtilInterface()->formatStatus(text, sizeof text - 1, &wrapper_);
    n = std::min<unsigned>(n, sizeof text - 1);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\0')) --n;
    throw DatabaseError(Cp1250ToUtf8(std::string_view(text, n)));
  }

 private:
  Firebird::IStatus* status_;
  Firebird::CheckStatusWrapper wrapper_;
};

// A transaction that only reads; rolled back when it goes.
class ReadTransaction {
 public:
  explicit ReadTransaction(fb::Attachment& att) {
    static constexpr unsigned char kTpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_concurrency,
                                            isc_tpb_nowait};
    ApiStatus s;
    tr_ = att.Get()->startTransaction(s(), sizeof kTpb, kTpb);
    if (s.Failed()) {
      if (tr_) tr_->release();
      tr_ = nullptr;
      s.Check();
    }
  }
  ~ReadTransaction() {
    if (!tr_) return;
    ApiStatus s;
    tr_->rollback(s());
    if (s.Failed()) tr_->release();
  }
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;
  Firebird::ITransaction* Get() const { return tr_; }

 private:
  Firebird::ITransaction* tr_ = nullptr;
};

struct StatementFree {
  void operator()(Firebird::IStatement* st) const {
    ApiStatus s;
    st->free(s());
    if (s.Failed()) st->release();
  }
};
struct ResultSetClose {
  void operator()(Firebird::IResultSet* rs) const {
    ApiStatus s;
    rs->close(s());
    if (s.Failed()) rs->release();
  }
};

// Runs a query, with one integer parameter when `param` is given, and calls
// `row` with the output message of every row.
template <class F>
void Query(fb::Attachment& att, ReadTransaction& tr, const std::string& sql,
           std::optional<int> param, F&& row) {
  ApiStatus s;
  // On failure a call may still hand back an interface; it is released
  // unused.
  auto checked = [&s](auto* handle) {
    if (s.Failed()) {
      if (handle) handle->release();
      s.Check();
    }
    return handle;
  };
  std::unique_ptr<Firebird::IStatement, StatementFree> st(checked(
      att.Get()->prepare(s(), tr.Get(), static_cast<unsigned>(sql.size()), sql.c_str(),
                         att.Dialect(), Firebird::IStatement::PREPARE_PREFETCH_METADATA)));
  fb::Message in(checked(st->getInputMetadata(s())));
  if (param) in.SetInteger(0, *param);
  fb::Message out(checked(st->getOutputMetadata(s())));
  std::unique_ptr<Firebird::IResultSet, ResultSetClose> rs(
      checked(st->openCursor(s(), tr.Get(), in.Metadata(), in.Data(), out.Metadata(), 0)));
  while (rs->fetchNext(s(), out.Data()) == Firebird::IStatus::RESULT_OK) row(out);
  s.Check();
}

constexpr unsigned kKrajColumn = kStationTextFieldCount;

}  // namespace

CallbookListing ReadCallbook(const fs::path& folder, const CallbookFilter& filter) {
  CallbookListing listing;
  const auto file = FindFileCaseBlind(folder, kDemoDatabase);
  if (!file) return listing;
  listing.database = *file;

  fb::ConnectOptions options;
  options.user = "sysdba";
  options.password = "quartzfog";
  options.charset = "WIN1250";
  fb::Attachment att = fb::Attachment::Open(fs::absolute(*file).string(), options);
  {
    ReadTransaction tr(att);
    bool hasTable = false;
    Query(att, tr, "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'STACJE'", std::nullopt,
          [&](const fb::Message&) { hasTable = true; });
    if (!hasTable) {
      listing.state = CallbookListing::State::NoTable;
    } else {
      listing.state = CallbookListing::State::Rows;
      std::string sql = "SELECT ";
      for (const StationFieldInfo& info : kStationFieldInfo) {
        listing.columns.emplace_back(info.column);
        sql += std::string(info.column) + ", ";
      }
      listing.columns.emplace_back("KRAJ");
      sql += "KRAJ FROM STACJE";
      // KRAJ is a SMALLINT: a country number beyond it can match no row.
      const bool possible = !filter.country || (*filter.country >= -32768 && *filter.country <= 32767);
      if (filter.country) sql += " WHERE KRAJ = ?";
      sql += " ORDER BY STACJA";
      const std::string prefix = Upper(filter.prefix);
      if (possible)
        Query(att, tr, sql, filter.country, [&](const fb::Message& m) {
          const std::string_view call = m.Text(0);
          if (!Upper(call).starts_with(prefix)) return;
          std::vector<std::optional<std::string>> row;
          for (unsigned i = 0; i < kStationTextFieldCount; ++i)
            row.push_back(m.IsNull(i) ? std::nullopt : std::optional<std::string>(m.Text(i)));
          row.push_back(m.IsNull(kKrajColumn)
                            ? std::nullopt
                            : std::optional<std::string>(std::to_string(m.Integer(kKrajColumn))));
          listing.rows.push_back(std::move(row));
        });
    }
  }
  att.Detach();
  return listing;
}

std::string FormatCallbook(const CallbookListing& listing) {
  auto shown = [](std::string_view cell) {
    std::string s(cell);
    for (char& c : s)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return s;
  };
  const std::size_t n = listing.columns.size();
  std::vector<std::size_t> width(n);
  for (std::size_t c = 0; c < n; ++c) width[c] = listing.columns[c].size();
  for (const auto& row : listing.rows)
    for (std::size_t c = 0; c < n && c < row.size(); ++c)
      if (row[c]) width[c] = std::max(width[c], row[c]->size());

  // Every Windows-1250 byte is one character, so widths count bytes.
  auto line = [&](auto cell) {
    std::string l;
    for (std::size_t c = 0; c < n; ++c) {
      if (c) l += "  ";
      std::string v = cell(c);
      if (c == n - 1 && n > 1) l += std::string(width[c] - v.size(), ' ') + v;  // KRAJ to the right
      else l += v + std::string(width[c] - v.size(), ' ');
    }
    while (!l.empty() && l.back() == ' ') l.pop_back();
    return Cp1250ToUtf8(l) + "\n";
  };
  std::string out = line([&](std::size_t c) { return listing.columns[c]; });
  out += line([&](std::size_t c) { return std::string(width[c], '-'); });
  for (const auto& row : listing.rows)
    out += line([&](std::size_t c) {
      return c < row.size() && row[c] ? shown(*row[c]) : std::string();
    });
  const std::size_t count = listing.rows.size();
  out += std::to_string(count) + (count == 1 ? " row\n" : " rows\n");
  return out;
}

}  // namespace tolvo::demo
