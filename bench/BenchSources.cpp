#include "bench/BenchSources.h"

#include <set>
#include <stdexcept>

#include "data/first_names_table.h"
#include "data/locators_table.h"
#include "data/place_names_table.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "tools/demo/Random.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/ReportWriter.h"

namespace tolvo::bench {
namespace {

namespace fs = std::filesystem;

// Two-letter prefix, one digit, three letters: 175,760 call signs a prefix.
constexpr std::int64_t kCallsPerPrefix = 10 * 26 * 26 * 26;

std::string CallWithPrefix(std::string_view prefix, std::int64_t i) {
  std::string call(prefix);
  call += static_cast<char>('0' + i % 10);
  std::int64_t rest = i / 10;
  char letters[3];
  for (int k = 2; k >= 0; --k) {
    letters[k] = static_cast<char>('A' + rest % 26);
    rest /= 26;
  }
  call.append(letters, 3);
  return call;
}

std::string_view PrefixOf(Source source) {
  switch (source) {
    case Source::CB: return "SP";
    case Source::LogCSP: return "SQ";
    case Source::LogCOK: return "OK";
    case Source::OKCall: return "OL";
    case Source::Amateur: return "VE";
  }
  return "XX";
}

// The demo maker's small, fast generator; each record draws from its own
// stream.
class Draw : public demo::Rng {
 public:
  Draw(std::uint64_t seed, std::int64_t record)
      : Rng(seed ^ (static_cast<std::uint64_t>(record) * 0x9E3779B97F4A7C15ULL)) {}
  bool OneIn(unsigned n) { return Next() % n == 0; }
  std::string Digits(int count) {
    std::string s;
    for (int k = 0; k < count; ++k) s += Digit();
    return s;
  }
};

// ---- value pools ----
//
// Station lists name thousands of people, towns and streets; the values here
// have that kind of variety (hundreds of distinct surnames and towns), which
// matters for the work of the callbook's indexes. All text is Windows-1250;
// the Polish tables get it converted to Mazovia as they store it.

// clang-format off
constexpr std::string_view kPolishStems[] = {
    "Kowal", "Wi\x9Cniew", "Kami\xF1", "Lewandow", "Zieli\xF1", "Szyma\xF1", "D\xB9" "brow",
    "Koz\xB3ow", "Jankow", "Kwiatkow", "Piotrow", "Grabow", "Paw\xB3ow", "Michal", "Kr\xF3lik",
    "Wieczor", "Jab\xB3o\xF1", "Majew", "Olszew", "Malinow", "Jaworow", "Adamczew", "Nowic",
    "G\xF3r", "Rutkow", "Sikor", "Baran", "Ziel", "Szczepa\xF1", "Wr\xF3" "blew", "\xA3" "ukasz",
    "\x8Cwi\xEAtok", "\xAF" "ak", "Czarnec", "Sobczak", "Mr\xF3z", "Kubiak", "Ostrow", "Duda"};
constexpr std::string_view kPolishEndings[] = {"ski", "ska", "cki", "czyk", "ak", "ek", "owicz", "iak"};
constexpr std::string_view kPolishStreets[] = {
    "ul. Polna", "ul. Ko\x9C" "ciuszki", "ul. Mickiewicza", "ul. S\xB3oneczna", "al. Jana Paw\xB3" "a II",
    "ul. \xA3\xB9kowa", "ul. Kr\xF3lowej Jadwigi", "os. Tysi\xB9" "clecia", "ul. 3 Maja",
    "ul. \xAFwirki i Wigury", "ul. Lipowa", "ul. Ogrodowa", "ul. Le\x9Cna", "ul. Kolejowa",
    "ul. Szkolna", "ul. Kr\xF3tka", "ul. D\xB3uga", "ul. Wiejska", "pl. Wolno\x9C" "ci",
    "ul. Sienkiewicza", "ul. S\xB3owackiego", "ul. Piastowska", "ul. Warszawska", "ul. Br\xF3" "dnowska"};
// The same streets as LOG_C_SP.DBF writes them: capitals, often without
// Polish letters, with ordinal endings.
constexpr std::string_view kUpperStreets[] = {
    "UL. POLNA", "UL. KOSCIUSZKI", "UL. 1-GO MAJA", "UL. ZWIRKI I WIGURY", "OS. XXXV-LECIA PRL",
    "UL. SLOWACKIEGO", "UL. KR\xA3LOWEJ JADWIGI", "AL. JANA PAWLA II", "UL. 11-GO LISTOPADA",
    "UL. \x98WI\x8FTOKRZYSKA", "UL. LIPOWA", "UL. OGRODOWA", "UL. LESNA", "UL. KOLEJOWA",
    "UL. SZKOLNA", "UL. KROTKA", "UL. DLUGA", "PL. WOLNOSCI", "UL. SIENKIEWICZA"};

constexpr std::string_view kCzechFirst[] = {
    "Jan", "Petr", "Pavel", "Josef", "Tom\xE1\x9A", "Ji\xF8\xED", "Eva", "Martin", "Karel", "Lenka",
    "Jaroslav", "Miroslav", "Zden\xECk", "V\xE1" "clav", "Marie", "Jana", "Franti\x9A" "ek", "Ladislav",
    "Milan", "Vladim\xEDr"};
constexpr std::string_view kCzechStems[] = {
    "Nov", "Svobod", "Dvo\xF8", "Novotn", "\xC8" "ern", "Proch\xE1z", "Ku\xE8" "er", "Vesel", "Hor",
    "N\xECmec", "Pokorn", "Marek", "Posp\xED\x9Ail", "H\xE1j", "Jel\xEDn", "Kr\xE1l", "R\xF9\x9Ei\xE8k",
    "Bene\x9A", "Fiala", "Sedl\xE1\xE8", "Dole\x9Ay", "Zeman", "Kol\xE1\xF8", "Navr\xE1til", "\xC8" "erm\xE1k"};
constexpr std::string_view kCzechEndings[] = {"", "a", "\xE1k", "\xFD", "ek", "ov\xE1", "ka", "\xEDk"};
constexpr std::string_view kCzechStreets[] = {
    "Hlavni", "Dlouha", "Kratka", "N\xE1rodn\xED", "Masarykova", "Palack\xE9ho", "Husova",
    "Sokolsk\xE1", "N\xE1" "dra\x9En\xED", "Zahradn\xED", "Polni", "\x8Akolni", "Lesn\xED",
    "Komensk\xE9ho", "Tyr\x9Aova", "Jir\xE1skova"};
constexpr std::string_view kCzechTownBases[] = {
    "Praha", "Brno", "Ostrava", "Plze\xF2", "Liberec", "Olomouc", "Opava", "Zl\xEDn", "Jihlava",
    "Kladno", "Most", "Teplice", "Chomutov", "Prost\xECjov", "P\xF8" "erov", "T\xE1" "bor",
    "Znojmo", "P\xEDsek", "Kol\xEDn", "Cheb", "Trutnov", "Sokolov", "Nymburk", "Beroun"};
constexpr std::string_view kCzechTownParts[] = {"", " 2", " 4", " 5", "-venkov", " - Z\xE1pad",
                                                "-m\xECsto", " 1"};

constexpr std::string_view kCanadianFirst[] = {
    "John", "Mary", "John Paul", "Robert", "Anne Marie", "Michel", "David", "Susan",
    "Pierre Jean Luc", "James", "Linda", "William", "Patricia", "Richard", "Barbara", "Marc",
    "Nathalie", "Joseph", "Elizabeth", "Andre"};
constexpr std::string_view kCanadianStems[] = {
    "Smith", "Tremblay", "Brown", "Roy", "Wilson", "Gagnon", "MacDonald", "Taylor", "Cote",
    "Martin", "Bouchard", "Anderson", "Gauthier", "Morin", "Lavoie", "Fortin", "Campbell",
    "Stewart", "Thompson", "Pelletier", "Belanger", "Leblanc", "Robinson", "Fraser"};
constexpr std::string_view kCanadianEndings[] = {"", "son", "-Hill", "er", "e", "ton", "s", "ley"};
constexpr std::string_view kCanadianStreets[] = {
    "Main St", "King St W", "Rue Principale", "Maple Ave", "Queen St E", "Boul. St-Laurent",
    "Elm St", "Oak Cres", "Church St", "Lakeshore Rd", "Rue St-Denis", "Pine Ave", "Park Rd",
    "Victoria St", "Wellington St", "Highway 7"};
constexpr std::string_view kCanadianTownBases[] = {
    "Ottawa", "Toronto", "Montreal", "Vancouver", "Calgary", "Halifax", "Quebec", "Winnipeg",
    "Regina", "Saskatoon", "Edmonton", "Victoria", "Kingston", "London", "Sudbury", "Moncton",
    "Fredericton", "Sherbrooke", "Gatineau", "Kelowna", "Barrie", "Guelph", "Timmins", "Brandon"};
constexpr std::string_view kCanadianTownParts[] = {"", " North", " East", " South", " West",
                                                   " Centre", " Heights", " Falls"};
// clang-format on
constexpr std::string_view kProvince[] = {"ON", "QC", "BC", "AB", "NS", "MB", "SK", "NB"};

// The distinct, non-empty values of a data table's second column, in table
// order.
template <std::size_t Rows>
std::vector<std::string_view> DistinctValues(const std::string_view (&table)[Rows][2]) {
  std::vector<std::string_view> values;
  std::set<std::string_view> seen;
  for (std::size_t i = 0; i < Rows; ++i)
    if (!table[i][1].empty() && seen.insert(table[i][1]).second) values.push_back(table[i][1]);
  return values;
}

const std::vector<std::string_view>& PolishFirstNames() {
  static const std::vector<std::string_view> names = DistinctValues(data::first_names);
  return names;
}

const std::vector<std::string_view>& PolishTowns() {
  static const std::vector<std::string_view> towns = DistinctValues(data::place_names);
  return towns;
}

std::string_view Pick(Draw& d, const std::vector<std::string_view>& pool) {
  return pool[d.Below(pool.size())];
}

template <std::size_t A, std::size_t B>
std::string Compose(Draw& d, const std::string_view (&stems)[A],
                    const std::string_view (&endings)[B]) {
  std::string s(d.Pick(stems));
  s += d.Pick(endings);
  return s;
}

// Windows-1250 Polish letters as Mazovia bytes; everything else unchanged.
std::string ToMazovia(std::string_view text) {
  static constexpr std::array<unsigned char, 256> kMap = [] {
    std::array<unsigned char, 256> m{};
    for (int i = 0; i < 256; ++i) m[i] = static_cast<unsigned char>(i);
    const unsigned char pairs[][2] = {
        {0xB9, 0x86}, {0xE6, 0x8D}, {0xEA, 0x91}, {0xB3, 0x92}, {0xF1, 0xA4}, {0xF3, 0xA2},
        {0x9C, 0x9E}, {0x9F, 0xA6}, {0xBF, 0xA7}, {0xA5, 0x8F}, {0xC6, 0x95}, {0xCA, 0x90},
        {0xA3, 0x9C}, {0xD1, 0xA5}, {0xD3, 0xA3}, {0x8C, 0x98}, {0x8F, 0xA0}, {0xAF, 0xA1}};
    for (const auto& p : pairs) m[p[0]] = p[1];
    return m;
  }();
  std::string out(text);
  for (char& c : out) c = static_cast<char>(kMap[static_cast<unsigned char>(c)]);
  return out;
}

// A locator row of the region table with a six-character locator.
std::size_t LocatorRow(Draw& d) {
  for (;;) {
    const std::size_t row = d.Below(data::locators_rows);
    if (data::locators[row][0].size() == 6) return row;
  }
}

std::string Number(Draw& d) { return std::to_string(1 + d.Below(120)); }

std::string PostalCodeNNdashNNN(Draw& d) { return d.Digits(2) + "-" + d.Digits(3); }

// ---- the five sources ----

std::vector<std::string> CBRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  std::string call = StationCall(Source::CB, i);
  if (d.OneIn(7)) call = " " + call;  // the file has blanks and lower case here and there
  if (d.OneIn(9))
    for (char& c : call) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  std::string loc;
  if (d.OneIn(10)) loc = "?";
  else if (!d.OneIn(12)) loc = std::string(data::locators[LocatorRow(d)][0]);
  return {call,
          ToMazovia(Pick(d, PolishFirstNames()).substr(0, 15)),
          ToMazovia(Compose(d, kPolishStems, kPolishEndings)),
          ToMazovia(std::string(d.Pick(kPolishStreets)) + " " + Number(d)),
          ToMazovia(Pick(d, PolishTowns()).substr(0, 25)),
          loc,
          d.Digits(5)};
}

std::vector<std::string> LogCSPRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  const std::string_view first = data::first_names[d.Below(data::first_names_rows)][0];
  const std::string_view town = data::place_names[d.Below(data::place_names_rows)][0];
  std::string memF = std::string(first) + " " +
                     ToMazovia(ToUpper1250(Compose(d, kPolishStems, kPolishEndings))) + ";" +
                     std::string(d.Pick(kUpperStreets)) + " " + Number(d) + ";";
  memF += d.OneIn(15) ? std::string(town) : PostalCodeNNdashNNN(d) + " " + std::string(town);
  const std::size_t row = LocatorRow(d);
  std::string loc(data::locators[row][0]);
  if (d.OneIn(8)) loc.replace(4, 2, "??");  // subsquare unknown
  if (d.OneIn(11) && loc[3] == '0') loc[3] = 'O';
  std::string woj = std::string(data::locators[row][1]) + std::string(data::locators[row][2]);
  if (d.OneIn(6)) woj.clear();
  return {StationCall(Source::LogCSP, i), std::string(first), memF, loc, woj};
}

std::vector<std::string> LogCOKRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  const std::string first(d.Pick(kCzechFirst));
  std::string memF = first + " " + Compose(d, kCzechStems, kCzechEndings) + ";" +
                     std::string(d.Pick(kCzechStreets)) + " " + Number(d) + ";";
  memF += d.OneIn(4) ? d.Digits(3) + " " + d.Digits(2) : d.Digits(2) + " " + d.Digits(3);
  memF += " " + Compose(d, kCzechTownBases, kCzechTownParts);
  std::string loc = "JO" + std::to_string(60 + d.Below(20)) + static_cast<char>('A' + d.Below(24)) +
                    static_cast<char>('A' + d.Below(24));
  if (d.OneIn(5) && loc[3] == '0') loc[3] = 'O';
  if (d.OneIn(7)) loc.replace(4, 2, "??");
  return {StationCall(Source::LogCOK, i), first, memF, loc, ""};
}

std::vector<std::string> OKCallRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  return {StationCall(Source::OKCall, i),
          std::string(d.Pick(kCzechFirst)),
          Compose(d, kCzechStems, kCzechEndings),
          std::string(d.Pick(kCzechStreets)) + " " + Number(d),
          Compose(d, kCzechTownBases, kCzechTownParts),
          d.Digits(3) + " " + d.Digits(2)};
}

std::string AmateurRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  const bool noName = d.OneIn(25);
  const std::string postal = std::string(1, static_cast<char>('A' + d.Below(26))) + d.Digits(1) +
                             static_cast<char>('A' + d.Below(26)) + " " + d.Digits(1) +
                             static_cast<char>('A' + d.Below(26)) + d.Digits(1);
  return AmateurLine(
      StationCall(Source::Amateur, i), noName ? "First Name Unknown" : d.Pick(kCanadianFirst),
      noName ? "Surname Unknown" : Compose(d, kCanadianStems, kCanadianEndings),
      d.OneIn(30) ? "ADDRESS UNKNOWN" : Number(d) + " " + std::string(d.Pick(kCanadianStreets)),
      Compose(d, kCanadianTownBases, kCanadianTownParts), d.Pick(kProvince), postal);
}

void WriteTable(const fs::path& file, const std::vector<DbfFieldSpec>& fields, std::int64_t n,
                std::uint64_t seed,
                std::vector<std::string> (*record)(std::int64_t, std::uint64_t)) {
  DbfWriter writer(file, fields);
  for (std::int64_t i = 0; i < n; ++i) writer.Add(record(i, seed));
  writer.Finish();
}

void WriteReport(const fs::path& file, std::int64_t n, std::uint64_t seed) {
  // Streamed: a report of any size costs one line of memory.
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) throw std::runtime_error(file.string() + ": cannot create the report");
  bool ok = true;
  for (const std::string& line : AmateurHeader())
    ok = ok && std::fprintf(out, "%s\r\n", line.c_str()) > 0;
  for (std::int64_t i = 0; i < n && ok; ++i)
    ok = std::fprintf(out, "%s\r\n", AmateurRecord(i, seed).c_str()) > 0;
  ok = std::fclose(out) == 0 && ok;
  if (!ok) throw std::runtime_error(file.string() + ": cannot write the report");
}

}  // namespace

const SourceInfo& InfoOf(Source source) { return kSources[static_cast<std::size_t>(source)]; }

Source SourceNamed(std::string_view name) {
  for (const SourceInfo& info : kSources)
    if (info.name == name) return info.source;
  throw std::invalid_argument("unknown source '" + std::string(name) + "'");
}

std::int64_t MaxRecords(Source) { return kCallsPerPrefix; }

std::string StationCall(Source source, std::int64_t i) {
  return CallWithPrefix(PrefixOf(source), i);
}

void WriteSource(Source source, const fs::path& folder, std::int64_t n, std::uint64_t seed) {
  if (n < 0 || n > MaxRecords(source))
    throw std::invalid_argument("a " + std::string(InfoOf(source).file) + " of " +
                                std::to_string(n) + " records cannot have distinct call signs");
  const fs::path file = folder / InfoOf(source).file;
  switch (source) {
    case Source::CB: return WriteTable(file, DbfFieldsOf(ImportKindId::CB), n, seed, CBRecord);
    case Source::LogCSP:
      return WriteTable(file, DbfFieldsOf(ImportKindId::LogCSP), n, seed, LogCSPRecord);
    case Source::LogCOK:
      return WriteTable(file, DbfFieldsOf(ImportKindId::LogCOK), n, seed, LogCOKRecord);
    case Source::OKCall:
      return WriteTable(file, DbfFieldsOf(ImportKindId::OKCall), n, seed, OKCallRecord);
    case Source::Amateur: return WriteReport(file, n, seed);
  }
}

std::string SyntheticCall(std::int64_t i) { return CallWithPrefix("SO", i); }

void FillSyntheticRow(std::int64_t i, std::uint64_t seed, SyntheticRow& row) {
  // The values of a Polish station as an importer writes them.
  Draw d(seed, i);
  row.stacja = SyntheticCall(i);
  row.imie = Pick(d, PolishFirstNames());
  row.nazwisko = Compose(d, kPolishStems, kPolishEndings);
  row.nazwa = row.nazwisko;
  row.nazwa += ' ';
  row.nazwa += row.imie;
  row.miasto = Pick(d, PolishTowns());
  row.kodpoczt = PostalCodeNNdashNNN(d);
  row.adres = d.Pick(kPolishStreets);
  row.adres += ' ';
  row.adres += Number(d);
  const std::size_t loc = LocatorRow(d);
  row.lokator = data::locators[loc][0];
  row.wojew = data::locators[loc][1];
  row.powiat = data::locators[loc][2];
  row.kraj = 269;
}

}  // namespace tolvo::bench
