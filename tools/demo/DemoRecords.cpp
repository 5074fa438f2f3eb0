#include "tools/demo/DemoRecords.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>

#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "tools/demo/DemoText.h"
#include "tools/demo/DemoWords.h"
#include "tools/writers/ReportWriter.h"

namespace tolvo::demo {
namespace {

namespace w = words;

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
    case Caps::Mazovia: return Cp1250ToMazovia(ToUpper1250(cp1250));
    case Caps::Windows: return ToUpper1250(Cp1250ToMazovia(cp1250));
    case Caps::Plain: return FoldPolish(ToUpper1250(cp1250));
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
  if (p < 5) return ToLower1250(locator);
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

// Puts `extra` somewhere after position `after` of `records`.
void InsertAfter(Rng& r, std::vector<Record>& records, std::size_t after, Record extra) {
  const std::size_t pos = after + 1 + r.Below(records.size() - after);
  records.insert(records.begin() + static_cast<std::ptrdiff_t>(pos), std::move(extra));
}

}  // namespace

std::vector<Record> CbRecords(Rng& r, const std::vector<Station>& stations, CallSigns& calls) {
  auto record = [&r](const Station& s, const std::string& street) {
    std::string znak = s.call;
    if (r.Percent(6)) znak = ToLower1250(znak);
    if (r.Percent(5)) znak = " " + znak;
    const std::string imie = s.club || r.Percent(3) ? "" : s.first;
    const std::string adres = r.Percent(4) ? "" : street;
    std::string loc = s.locator;
    const std::size_t p = r.Below(100);
    if (p < 6) loc = "?";
    else if (p < 9) loc = loc.substr(0, 4) + "??";
    else if (p < 13) loc = ToLower1250(loc);
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
    InsertAfter(r, out, at,
                record(s, "ul. " + Utf8To1250(r.Pick(w::kPolishStreets)) + " " + Number(r, 1, 90)));
  }
  // A record without a call sign, and two deleted ones.
  InsertAfter(r, out, r.Below(out.size()),
              Record{{"", "Jan", "Nowak", "", "Radom", "KO01", "26600"}});
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
        name = Cut(r.Percent(50) ? ToUpper1250(mazovia) : FoldPolish(ToUpper1250(s.surname)), 10);
      else name = "RADIOKLUB";
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
    if (q < 5) woj = ToLower1250(woj);
    else if (q < 10) woj.clear();
    else if (q < 12) woj = woj.substr(0, 2);

    std::string call = r.Percent(5) ? ToLower1250(s.call) : s.call;
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
    const std::string call = r.Percent(5) ? ToLower1250(s.call) : s.call;
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
    if (r.Percent(5)) call = ToLower1250(call);
    if (r.Percent(5)) call = " " + call;
    const std::string name = s.club || r.Percent(3) ? "" : s.first;
    const std::string address = r.Percent(3) ? "" : s.street;
    std::string zip = s.postal;
    if (r.Percent(5)) zip.clear();
    out.push_back(
        Record{{call, name, s.surname, address, Utf8To1250(w::kCzechTowns[s.town].name), zip}});
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
    const std::string call = r.Percent(4) ? ToLower1250(s.call) : s.call;
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
    const std::string street = Number(r, 1, 999) + " " + Utf8To1250(r.Pick(w::kCanadianStreets));
    const std::size_t pos = at + 1 + r.Below(out.size() - at);
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(pos), line(stations[at], street));
  }
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(r.Below(out.size())), "");
  out.push_back("");
  out.push_back("Total records: " + std::to_string(stations.size()));
  *stationLines =
      std::count_if(out.begin(), out.end(), [](const std::string& l) { return l.size() >= 190; });
  return out;
}

}  // namespace tolvo::demo
