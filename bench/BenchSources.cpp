#include "bench/BenchSources.h"

#include <stdexcept>

#include "data/imion_table.h"
#include "data/lokat_table.h"
#include "data/miast_table.h"
#include "tests/support/DbfWriter.h"
#include "tests/support/ReportWriter.h"

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

// A small, fast generator; each record draws from its own stream.
class Draw {
 public:
  Draw(std::uint64_t seed, std::int64_t record)
      : state_(seed ^ (static_cast<std::uint64_t>(record) * 0x9E3779B97F4A7C15ULL)) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  bool OneIn(unsigned n) { return Next() % n == 0; }
  template <std::size_t K>
  std::string_view Pick(const std::string_view (&list)[K]) {
    return list[Below(K)];
  }
  std::string Digits(int count) {
    std::string s;
    for (int k = 0; k < count; ++k) s += static_cast<char>('0' + Below(10));
    return s;
  }

 private:
  std::uint64_t state_;
};

// Mazovia-coded Polish values (ą 86, ę 91, ł 92, ń A4, ó A2, ś 9E, ź A6,
// ż A7, Ł 9C).
constexpr std::string_view kPolishFirst[] = {
    "Jan", "Micha\x92", "Pawe\x92", "Krzysztof", "Andrzej", "Tomasz", "Ma\x92gorzata",
    "Stanis\x92" "aw", "Zbigniew", "J\xA2zef", "Piotr", "Wojciech", "Gra\xA7yna", "Miros\x92" "aw"};
constexpr std::string_view kPolishSurname[] = {
    "Kowalski", "Nowak", "W\x86sik", "Lewandowski", "Zieli\xA4ski", "Szyma\xA4ski", "Wo\xA6niak",
    "D\x86" "browski", "Koz\x92owski", "Mazur", "Krawczyk", "Kaczmarek", "Pi\x91tek", "Grabowski",
    "Je\xA7" "ewski", "Ko\x9Amierczak"};
constexpr std::string_view kPolishStreet[] = {
    "ul. Polna", "ul. Ko\x9E" "ciuszki", "ul. Mickiewicza", "ul. S\x92oneczna",
    "al. Jana Paw\x92" "a II", "ul. \x9C\x86kowa", "ul. Kr\xA2lowej Jadwigi", "os. Tysi\x86" "clecia",
    "ul. 3 Maja", "ul. \xA7wirki i Wigury"};
constexpr std::string_view kPolishTown[] = {
    "Warszawa", "Krak\xA2w", "\x9C\xA2" "d\xA6", "Gda\xA4sk", "Pozna\xA4", "Wroc\x92" "aw",
    "Szczecin", "Bia\x92ystok", "Rzesz\xA2w", "Zielona G\xA2ra", "Bielsko-Bia\x92" "a", "Toru\xA4"};

// The same kinds of values as LOG_C_SP.DBF holds them: upper case, raw
// Mazovia capitals (Ą 8F, Ł 9C, Ń A5, Ó A3, Ś 98, Ż A1).
constexpr std::string_view kUpperSurname[] = {
    "KOWALSKI", "NOWAK", "W\x8FSIK", "LEWANDOWSKI", "ZIELI\xA5SKI", "SZYMA\xA5SKI", "MAZUR",
    "D\x8F" "BROWSKI", "KOZ\x9COWSKI", "KRAWCZYK", "KACZMAREK", "NOWAK-JELE\xA5", "GRABOWSKI"};
constexpr std::string_view kUpperStreet[] = {
    "UL. POLNA", "UL. KOSCIUSZKI", "UL. 1-GO MAJA", "UL. ZWIRKI I WIGURY", "OS. XXXV-LECIA PRL",
    "UL. SLOWACKIEGO", "UL. KR\xA3LOWEJ JADWIGI", "AL. JANA PAWLA II", "UL. 11-GO LISTOPADA",
    "UL. \x98WI\x8FTOKRZYSKA"};

constexpr std::string_view kCzechFirst[] = {"Jan", "Petr", "Pavel", "Josef", "Tom\xE1\x9A",
                                            "Ji\xF8\xED", "Eva", "Martin", "Karel", "Lenka"};
constexpr std::string_view kCzechSurname[] = {"Nov\xE1k", "Svoboda", "Dvo\xF8\xE1k", "Novotn\xFD",
                                              "\xC8" "ern\xFD", "Proch\xE1zka", "Kucera", "Vesel\xFD",
                                              "Hor\xE1k", "Nem\xE9" "c"};
constexpr std::string_view kCzechStreet[] = {"Hlavni", "Dlouha", "Kratka", "N\xE1rodn\xED",
                                             "Masarykova", "Palack\xE9ho", "Husova", "Sokolsk\xE1"};
constexpr std::string_view kCzechTown[] = {"Praha", "Brno", "Ostrava", "Plze\xF2", "Liberec",
                                           "Olomouc", "\xDA" "st\xED nad Labem", "Opava"};

constexpr std::string_view kCanadianFirst[] = {"John", "Mary", "John Paul", "Robert", "Anne Marie",
                                               "Michel", "David", "Susan", "Pierre Jean Luc"};
constexpr std::string_view kCanadianSurname[] = {"Smith", "Tremblay", "Brown", "Roy", "Wilson",
                                                 "Gagnon", "MacDonald", "Taylor", "Cote"};
constexpr std::string_view kCanadianStreet[] = {"Main St", "King St W", "Rue Principale",
                                                "Maple Ave", "Queen St E", "Boul. St-Laurent"};
constexpr std::string_view kCanadianTown[] = {"Ottawa", "Toronto", "Montreal", "Vancouver",
                                              "Calgary", "Halifax", "Quebec", "Winnipeg"};
constexpr std::string_view kProvince[] = {"ON", "QC", "BC", "AB", "NS", "MB", "SK", "NB"};

// A locator row of the region table with a six-character locator.
std::size_t LocatorRow(Draw& d) {
  for (;;) {
    const std::size_t row = d.Below(data::lokat_rows);
    if (data::lokat[row][0].size() == 6) return row;
  }
}

std::string Number(Draw& d) { return std::to_string(1 + d.Below(120)); }

std::string PostalCodeNNdashNNN(Draw& d) { return d.Digits(2) + "-" + d.Digits(3); }

// ---- the five sources ----

const std::vector<DbfFieldSpec> kCBFields = {
    {"ZNAK", 'C', 10},  {"IMIE", 'C', 15}, {"NAZWISKO", 'C', 25}, {"ADRES", 'C', 40},
    {"POCZTA", 'C', 25}, {"LOC", 'C', 6},   {"KOD", 'C', 5}};

std::vector<std::string> CBRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  std::string call = StationCall(Source::CB, i);
  if (d.OneIn(7)) call = " " + call;  // the file has blanks and lower case here and there
  if (d.OneIn(9))
    for (char& c : call) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  std::string loc;
  if (d.OneIn(10))
    loc = "?";
  else if (!d.OneIn(12))
    loc = std::string(data::lokat[LocatorRow(d)][0]);
  return {call,
          std::string(d.Pick(kPolishFirst)),
          std::string(d.Pick(kPolishSurname)),
          std::string(d.Pick(kPolishStreet)) + " " + Number(d),
          std::string(d.Pick(kPolishTown)),
          loc,
          d.Digits(5)};
}

const std::vector<DbfFieldSpec> kLogCFields = {
    {"CALL", 'C', 10}, {"NAME", 'C', 15}, {"MEM_F", 'M', 10}, {"QRA_LOC", 'C', 6}, {"WOJ", 'C', 3}};

std::vector<std::string> LogCSPRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  const std::string_view first = data::imion[d.Below(data::imion_rows)][0];
  const std::string_view town = data::miast[d.Below(data::miast_rows)][0];
  std::string memF = std::string(first) + " " + std::string(d.Pick(kUpperSurname)) + ";" +
                     std::string(d.Pick(kUpperStreet)) + " " + Number(d) + ";";
  memF += d.OneIn(15) ? std::string(town) : PostalCodeNNdashNNN(d) + " " + std::string(town);
  const std::size_t row = LocatorRow(d);
  std::string loc(data::lokat[row][0]);
  if (d.OneIn(8)) loc.replace(4, 2, "??");  // subsquare unknown
  if (d.OneIn(11) && loc[3] == '0') loc[3] = 'O';
  std::string woj = std::string(data::lokat[row][1]) + std::string(data::lokat[row][2]);
  if (d.OneIn(6)) woj.clear();
  return {StationCall(Source::LogCSP, i), std::string(first), memF, loc, woj};
}

std::vector<std::string> LogCOKRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  const std::string first(d.Pick(kCzechFirst));
  std::string memF = first + " " + std::string(d.Pick(kCzechSurname)) + ";" +
                     std::string(d.Pick(kCzechStreet)) + " " + Number(d) + ";";
  memF += d.OneIn(4) ? d.Digits(3) + " " + d.Digits(2) : d.Digits(2) + " " + d.Digits(3);
  memF += " " + std::string(d.Pick(kCzechTown));
  std::string loc = "JO" + std::to_string(60 + d.Below(20)) + static_cast<char>('A' + d.Below(24)) +
                    static_cast<char>('A' + d.Below(24));
  if (d.OneIn(5) && loc[3] == '0') loc[3] = 'O';
  if (d.OneIn(7)) loc.replace(4, 2, "??");
  return {StationCall(Source::LogCOK, i), first, memF, loc, ""};
}

const std::vector<DbfFieldSpec> kOKCallFields = {
    {"CALL", 'C', 10},    {"NAME", 'C', 20}, {"LASTNAME", 'C', 40},
    {"ADDRESS", 'C', 40}, {"CITY", 'C', 30}, {"ZIP", 'C', 10}};

std::vector<std::string> OKCallRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  return {StationCall(Source::OKCall, i),
          std::string(d.Pick(kCzechFirst)),
          std::string(d.Pick(kCzechSurname)),
          std::string(d.Pick(kCzechStreet)) + " " + Number(d),
          std::string(d.Pick(kCzechTown)),
          d.Digits(3) + " " + d.Digits(2)};
}

std::string AmateurRecord(std::int64_t i, std::uint64_t seed) {
  Draw d(seed, i);
  const bool noName = d.OneIn(25);
  const std::string postal = std::string(1, static_cast<char>('A' + d.Below(26))) + d.Digits(1) +
                             static_cast<char>('A' + d.Below(26)) + " " + d.Digits(1) +
                             static_cast<char>('A' + d.Below(26)) + d.Digits(1);
  return AmateurLine(StationCall(Source::Amateur, i),
                     noName ? "First Name Unknown" : d.Pick(kCanadianFirst),
                     noName ? "Surname Unknown" : d.Pick(kCanadianSurname),
                     d.OneIn(30) ? "ADDRESS UNKNOWN" : Number(d) + " " + std::string(d.Pick(kCanadianStreet)),
                     d.Pick(kCanadianTown), d.Pick(kProvince), postal);
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
  for (const std::string& line : AmateurHeader()) ok = ok && std::fprintf(out, "%s\r\n", line.c_str()) > 0;
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

std::string StationCall(Source source, std::int64_t i) { return CallWithPrefix(PrefixOf(source), i); }

void WriteSource(Source source, const fs::path& folder, std::int64_t n, std::uint64_t seed) {
  if (n < 0 || n > MaxRecords(source))
    throw std::invalid_argument("a " + std::string(InfoOf(source).file) + " of " +
                                std::to_string(n) + " records cannot have distinct call signs");
  const fs::path file = folder / InfoOf(source).file;
  switch (source) {
    case Source::CB: return WriteTable(file, kCBFields, n, seed, CBRecord);
    case Source::LogCSP: return WriteTable(file, kLogCFields, n, seed, LogCSPRecord);
    case Source::LogCOK: return WriteTable(file, kLogCFields, n, seed, LogCOKRecord);
    case Source::OKCall: return WriteTable(file, kOKCallFields, n, seed, OKCallRecord);
    case Source::Amateur: return WriteReport(file, n, seed);
  }
}

std::string SyntheticCall(std::int64_t i) { return CallWithPrefix("SO", i); }

void FillSyntheticRow(std::int64_t i, std::uint64_t seed, SyntheticRow& row) {
  Draw d(seed, i);
  static constexpr std::string_view kFirst[] = {"Jan", "Micha\xB3", "Pawe\xB3", "Krzysztof",
                                                "Andrzej", "Ma\xB3gorzata", "Stanis\xB3" "aw"};
  static constexpr std::string_view kSurname[] = {"Kowalski", "Nowak", "W\xB9sik",
                                                  "Zieli\xF1ski", "D\xB9" "browski", "Mazur"};
  static constexpr std::string_view kTown[] = {"Warszawa", "Krak\xF3w", "Gda\xF1sk",
                                               "Pozna\xF1", "Wroc\xB3" "aw", "Rzesz\xF3w"};
  row.stacja = SyntheticCall(i);
  row.imie = d.Pick(kFirst);
  row.nazwisko = d.Pick(kSurname);
  row.nazwa = row.nazwisko;
  row.nazwa += ' ';
  row.nazwa += row.imie;
  row.miasto = d.Pick(kTown);
  row.kodpoczt = PostalCodeNNdashNNN(d);
  row.adres = "Ul. Polna ";
  row.adres += Number(d);
  const std::size_t loc = LocatorRow(d);
  row.lokator = data::lokat[loc][0];
  row.wojew = data::lokat[loc][1];
  row.powiat = data::lokat[loc][2];
  row.kraj = 269;
}

}  // namespace tolvo::bench
