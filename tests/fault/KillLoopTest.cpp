// The program killed with SIGKILL again and again at random moments of its
// work, as databases are crash-tested: during start-up, while it creates the
// callbook table in a Tolvo 1.0 database, in the middle of each of the five
// imports, while the next import commits the previous one, and while closing
// commits the last. After every kill the database passes Firebird's own
// validation, holds every row committed before exactly as it was and none of
// the killed import's, and of a commit that was cut off either all rows or
// none; and the next run works as if nothing had happened.
//
// Each kill picks its phase (every phase as often as the others, in an order
// of chance), then a moment in it: a record of an import, or a delay after
// the line that opens the phase, within a length that the phase had in one
// of the runs that went through; for the phases that end in a commit, every
// other delay falls in the last third, where the commit becomes lasting.
// The seed is printed, and each kill's phase, moment and outcome; to repeat
// a loop, or to run a longer one:
//   TOLVO_KILLLOOP_SEED=<n> TOLVO_KILLLOOP_KILLS=<n> test_killloop
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fault/FaultHarness.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/ReportWriter.h"

namespace tolvo::fault {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kDefaultSeed = 14021;
constexpr int kDefaultKills = 36;

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  if (!value || !*value) return fallback;
  return std::strtoull(value, nullptr, 10);
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// ---- the station lists ----

enum class Import { CB, LogCSP, LogCOK, OKCall, Amateur };
constexpr std::array<Import, 5> kImports = {Import::CB, Import::LogCSP, Import::LogCOK,
                                            Import::OKCall, Import::Amateur};

// The driver's name for the import.
std::string ActionOf(Import import) {
  switch (import) {
    case Import::CB: return "cb";
    case Import::LogCSP: return "logcsp";
    case Import::LogCOK: return "logcok";
    case Import::OKCall: return "okcall";
    case Import::Amateur: return "amateur";
  }
  return {};
}

// Two letters, a digit and three letters: distinct for every number below
// 175,760.
std::string CallSign(Import import, int number) {
  static constexpr std::array<std::string_view, 5> kPrefixes = {"SP", "SQ", "OK", "OL", "VE"};
  std::string call(kPrefixes[static_cast<std::size_t>(import)]);
  call += static_cast<char>('0' + number % 10);
  int rest = number / 10;
  char letters[3];
  for (int k = 2; k >= 0; --k) {
    letters[k] = static_cast<char>('A' + rest % 26);
    rest /= 26;
  }
  return call.append(letters, 3);
}

// One list as a run reads it: `count` new stations numbered from `first`,
// and (LOG_C_OK.DBF only) stations of the callbook whose missing locator it
// fills in.
struct StationList {
  Import import = Import::CB;
  int first = 0;
  int count = 0;
  std::vector<std::string> known;

  std::string Action() const { return ActionOf(import); }
  int Records() const { return count + static_cast<int>(known.size()); }
  std::set<std::string> NewCalls() const {
    std::set<std::string> calls;
    for (int i = first; i < first + count; ++i) calls.insert(CallSign(import, i));
    return calls;
  }
};

template <class T, std::size_t N>
const T& Pick(const T (&values)[N], int i) {
  return values[static_cast<std::size_t>(i) % N];
}

// The values of each list, a few of each kind, in the list's own code page:
// Mazovia in the Polish tables, Windows-1250 in the Czech ones.
constexpr std::string_view kMazoviaFirst[] = {"Jan", "Zofia", "Pawe\x92",
                                              "\x9C"
                                              "ucja",
                                              "Ma\x92gorzata"};
constexpr std::string_view kMazoviaSurname[] = {"Kowalski", "Wi\x9Eniewska", "Kr\xA2l",
                                                "\xA7"
                                                "ak",
                                                "D\x86"
                                                "browski"};
constexpr std::string_view kMazoviaTown[] = {"Warszawa", "Krak\xA2w",
                                             "\x9C\xA2"
                                             "d\xA7",
                                             "Gda\xA4sk"};
constexpr std::string_view kLocators[] = {"KO02MD", "JO91RT", "?", "", "KO00AA", "JO81LD"};
constexpr std::string_view kMemoNames[] = {"JAN KOWALSKI", "ANNA NOWAK", "KLUB SP-5",
                                           "PIOTR \x98LIWA"};
constexpr std::string_view kMemoStreets[] = {"UL. POLNA 5", "UL. KR\xA3LOWEJ JADWIGI 12", "",
                                             "OS. LE\x98NE 3"};
constexpr std::string_view kMemoTowns[] = {"00-950 WARSZAWA", "KRAK\xA3W", "31-001 KRAK\xA3W", ""};
constexpr std::string_view kRegions[] = {"MWA", "KKR", "", "W"};
constexpr std::string_view kCzechFirst[] = {"Petr", "Ji\xF8\xED", "Eva", "Tom\xE1\x9A"};
constexpr std::string_view kCzechSurname[] = {"Nov\xE1k", "Dvo\xF8\xE1k",
                                              "\xC8"
                                              "ern\xFD",
                                              "Svobodov\xE1"};
constexpr std::string_view kCzechTown[] = {"Praha", "Brno", "Plze\xF2", "Opava 2"};

void WriteList(const fs::path& folder, const StationList& list) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> lines;
  for (int k = 0; k < list.Records(); ++k) {
    // The known stations come between the new ones.
    const bool known = k % 2 == 1 && k / 2 < static_cast<int>(list.known.size());
    const int knownBefore = std::min<int>((k + 1) / 2, static_cast<int>(list.known.size()));
    const int i = list.first + k - knownBefore;
    const std::string call =
        known ? list.known[static_cast<std::size_t>(k / 2)] : CallSign(list.import, i);
    const std::string n = std::to_string(1 + i % 97);
    switch (list.import) {
      case Import::CB:
        rows.push_back({call, std::string(Pick(kMazoviaFirst, i)),
                        std::string(Pick(kMazoviaSurname, i / 5)), "ul. Polna " + n,
                        std::string(Pick(kMazoviaTown, i / 3)), std::string(Pick(kLocators, i)),
                        std::to_string(10000 + i % 89999)});
        break;
      case Import::LogCSP:
        rows.push_back({call, std::string(Pick(kMazoviaFirst, i)),
                        std::string(Pick(kMemoNames, i)) + ";" +
                            std::string(Pick(kMemoStreets, i / 4)) + ";" +
                            std::string(Pick(kMemoTowns, i / 2)),
                        std::string(Pick(kLocators, i / 2)), std::string(Pick(kRegions, i))});
        break;
      case Import::LogCOK:
        rows.push_back({call, std::string(Pick(kCzechFirst, i)),
                        std::string(Pick(kCzechFirst, i)) + " " +
                            std::string(Pick(kCzechSurname, i / 4)) + ";Hlavni " + n + ";" +
                            std::to_string(100 + i % 800) + " 00 " +
                            std::string(Pick(kCzechTown, i)),
                        "JO7" + std::to_string(i % 10) + "FC", ""});
        break;
      case Import::OKCall:
        rows.push_back({call, std::string(Pick(kCzechFirst, i)),
                        std::string(Pick(kCzechSurname, i / 3)), "Hlavni " + n,
                        std::string(Pick(kCzechTown, i / 2)), "110 " + n});
        break;
      case Import::Amateur:
        lines.push_back(AmateurLine(call, i % 4 ? "John Paul" : "Mary", "Smith" + n, n + " Main St",
                                    i % 3 ? "Ottawa" : "Halifax", i % 2 ? "ON" : "NS", "K1A 0B1"));
        break;
    }
  }
  switch (list.import) {
    case Import::CB: WriteDbf(folder / "CB.DBF", DbfFieldsOf(ImportKindId::CB), rows); break;
    case Import::LogCSP:
      WriteDbf(folder / "LOG_C_SP.DBF", DbfFieldsOf(ImportKindId::LogCSP), rows);
      break;
    case Import::LogCOK:
      WriteDbf(folder / "LOG_C_OK.DBF", DbfFieldsOf(ImportKindId::LogCOK), rows);
      break;
    case Import::OKCall: WriteOkCall(folder / "okcall.dbf", rows); break;
    case Import::Amateur: WriteAmateurReport(folder / "AMATEUR.RPT", lines); break;
  }
}

// ---- the callbook as a test sees it ----

constexpr std::string_view kStationColumns =
    "STACJA, NAZWA, NAZWISKO, IMIE, MIASTO, KODPOCZT, ADRES, LOKATOR, DOMENA, WOJEW, POWIAT,"
    " MANAGER, IOTA, EMAIL1, EMAIL2, UWAGI, RODZAJ, KRAJ, DATAAKT, AKTUAL";
constexpr std::size_t kLocatorColumn = 7;
constexpr std::size_t kCountryColumn = 17;

// Every row of STACJE by its call sign, every column as its bytes; empty
// when there is no such table.
using Stations = std::map<std::string, Row>;

bool HasStations(const fs::path& db) {
  return !Query(db, "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'STACJE'").empty();
}

Stations ReadStations(const fs::path& db) {
  Stations stations;
  for (Row& row : Query(db, "SELECT " + std::string(kStationColumns) + " FROM STACJE"))
    stations.emplace(row.at(0).value(), std::move(row));
  return stations;
}

std::string Show(const Row& row) {
  std::string text;
  for (const auto& value : row) text += (value ? "'" + *value + "'" : std::string("NULL")) + " ";
  return text;
}

// What tells two states of the table apart, the first few differences.
std::string Differences(const Stations& expected, const Stations& actual) {
  std::string text;
  int shown = 0;
  auto add = [&](const std::string& line) {
    if (++shown <= 8) text += "    " + line + "\n";
  };
  for (const auto& [call, row] : expected) {
    const auto found = actual.find(call);
    if (found == actual.end()) add("missing " + Show(row));
    else if (found->second != row) add("changed " + Show(row) + "-> " + Show(found->second));
  }
  for (const auto& [call, row] : actual)
    if (!expected.count(call)) add("extra   " + Show(row));
  if (shown > 8) text += "    ... " + std::to_string(shown - 8) + " more\n";
  return text;
}

// STACJE as the catalogue describes it: columns, indexes and constraints.
std::vector<std::string> TableShape(const fs::path& db) {
  std::vector<std::string> shape;
  for (
      const Row& row : Query(
          db,
          "SELECT 'column ' || rf.RDB$FIELD_POSITION || ' ' || TRIM(rf.RDB$FIELD_NAME) || ' ' ||"
          " f.RDB$FIELD_TYPE || ' ' || COALESCE(f.RDB$CHARACTER_LENGTH, 0)"
          " FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE"
          " WHERE rf.RDB$RELATION_NAME = 'STACJE'"
          " UNION ALL SELECT 'index ' || TRIM(i.RDB$INDEX_NAME) || ' ' || TRIM(s.RDB$FIELD_NAME) ||"
          " ' ' || COALESCE(i.RDB$INDEX_INACTIVE, 0)"
          " FROM RDB$INDICES i JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = i.RDB$INDEX_NAME"
          " WHERE i.RDB$RELATION_NAME = 'STACJE'"
          " UNION ALL SELECT 'constraint ' || TRIM(RDB$CONSTRAINT_TYPE) || ' ' || COALESCE(TRIM(RDB$INDEX_NAME), '-')"
          " FROM RDB$RELATION_CONSTRAINTS WHERE RDB$RELATION_NAME = 'STACJE'"))
    shape.push_back(row.at(0).value());
  std::sort(shape.begin(), shape.end());
  return shape;
}

// What the engine records of a table outside the transaction that makes
// it: its pages and its row formats. A creation killed in its commit leaves
// them behind for a table that does not exist.
constexpr std::array<std::string_view, 2> kEngineRecords = {"RDB$PAGES", "RDB$FORMATS"};

// The catalogue but the engine's records above: what a creation cut off
// leaves of the schema.
std::vector<std::string> SchemaCatalogue(const fs::path& db) {
  std::vector<std::string> rows = testdb::Catalogue(db);
  std::erase_if(rows, [](const std::string& r) {
    return std::any_of(kEngineRecords.begin(), kEngineRecords.end(), [&](std::string_view table) {
      return r.rfind(std::string(table) + "|", 0) == 0;
    });
  });
  return rows;
}

// The engine's records of tables that do not exist.
int RecordsOfNoTable(const fs::path& db) {
  int count = 0;
  for (std::string_view table : kEngineRecords)
    count += std::stoi(Query(db, "SELECT COUNT(*) FROM " + std::string(table) +
                                     " x WHERE NOT EXISTS (SELECT 1 FROM RDB$RELATIONS r"
                                     " WHERE r.RDB$RELATION_ID = x.RDB$RELATION_ID)")
                           .at(0)
                           .at(0)
                           .value());
  return count;
}

// ---- phases ----

enum class Phase {
  StartUp,
  CreateTable,
  ImportCB,
  ImportLogCSP,
  ImportLogCOK,
  ImportOKCall,
  ImportAmateur,
  CommitAtNextImport,
  Closing
};
constexpr int kPhaseCount = 9;

std::string NameOf(Phase phase) {
  switch (phase) {
    case Phase::StartUp: return "start-up";
    case Phase::CreateTable: return "table creation";
    case Phase::ImportCB: return "import cb";
    case Phase::ImportLogCSP: return "import logcsp";
    case Phase::ImportLogCOK: return "import logcok";
    case Phase::ImportOKCall: return "import okcall";
    case Phase::ImportAmateur: return "import amateur";
    case Phase::CommitAtNextImport: return "commit at next import";
    case Phase::Closing: return "closing";
  }
  return {};
}

// The lengths of one phase, as the runs that went through measured them.
// They vary a lot, and with the machine's load (a commit waits for the
// disk), so a kill takes one of the latest at random as the length of the
// phase it aims at.
class Length {
 public:
  void Add(double ms) { samples_.push_back(ms); }
  double Mean() const {
    double sum = 0;
    for (double ms : samples_) sum += ms;
    return samples_.empty() ? 0 : sum / static_cast<double>(samples_.size());
  }
  double Any(std::uint64_t random) const {
    const std::size_t latest = std::min<std::size_t>(samples_.size(), 6);
    return latest == 0 ? 0 : samples_[samples_.size() - 1 - random % latest];
  }

 private:
  std::vector<double> samples_;
};

// Where a run was when it died, from the last marker it printed: "start-up",
// "opening <import>" (the callbook opened: the table created or the previous
// import committed), "import <import>", "closing", or "between" (a dialog
// shown, the next action not begun yet).
std::string WhereItDied(const std::vector<std::string>& lines) {
  std::string where = "start-up";
  for (const std::string& line : lines) {
    const std::size_t blank = line.find(' ');
    const std::string word = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (word == "ready") where = "between";
    if (word == "start") where = rest == "close" ? "closing" : "opening " + rest;
    if (word == "step") where = "import " + rest.substr(0, rest.find(' '));
    if (word == "end" && rest != "close") where = "between";
  }
  return where;
}

bool Printed(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// How many of the run's imports the kill may have left committed: the
// commit of import i begins with the next action's "start" line, and is
// surely over at the next import's first step or at "end close".
std::pair<int, int> CommittedRange(const std::vector<std::string>& lines,
                                   const std::vector<StationList>& lists) {
  int sure = 0;
  for (std::size_t i = 0; i < lists.size(); ++i) {
    const bool last = i + 1 == lists.size();
    const std::string over = last ? "end close" : "step " + lists[i + 1].Action() + " 1";
    if (!Printed(lines, over)) break;
    ++sure;
  }
  if (sure == static_cast<int>(lists.size())) return {sure, sure};
  const std::string next = sure + 1 == static_cast<int>(lists.size())
                               ? "start close"
                               : "start " + lists[sure + 1].Action();
  return {sure, Printed(lines, next) ? sure + 1 : sure};
}

// What a killed run left: where it died, what it committed, the table.
struct KillResult {
  std::string where;
  std::string outcome;
  Stations stations;
};

class KillLoop : public ::testing::Test {
 protected:
  KillLoop()
      : seed_(FromEnvironment("TOLVO_KILLLOOP_SEED", kDefaultSeed)),
        kills_(static_cast<int>(FromEnvironment("TOLVO_KILLLOOP_KILLS", kDefaultKills))),
        random_(seed_) {}

  // Printed at once, whatever the test's end.
  template <class... Args>
  static void Say(const char* format, Args... args) {
    std::printf(format, args...);
    std::fflush(stdout);
  }

  int Below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  double Uniform(double high) {
    return high * static_cast<double>(random_() >> 11) / static_cast<double>(1ULL << 53);
  }
  Import AnyImport() { return kImports[static_cast<std::size_t>(Below(5))]; }
  Import AnyImportBut(Import other) {
    for (;;)
      if (const Import i = AnyImport(); i != other) return i;
  }

  // A list of new stations (and, for LOG_C_OK.DBF, of some stations of
  // `book` that have no locator yet).
  StationList NewList(Import import, int count, const Stations& book) {
    StationList list{import, next_[static_cast<std::size_t>(import)], count, {}};
    next_[static_cast<std::size_t>(import)] += count;
    if (import == Import::LogCOK) {
      std::vector<std::string> candidates;
      for (const auto& [call, row] : book)
        if (!row[kLocatorColumn] && row[kCountryColumn] == "503") candidates.push_back(call);
      for (int k = 0; k < count / 4 && !candidates.empty(); ++k) {
        const std::size_t at = static_cast<std::size_t>(Below(static_cast<int>(candidates.size())));
        list.known.push_back(candidates[at]);
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(at));
      }
    }
    return list;
  }

  static std::vector<std::string> Actions(const std::vector<StationList>& lists) {
    std::vector<std::string> actions;
    for (const StationList& list : lists) actions.push_back(list.Action());
    actions.push_back("close");
    return actions;
  }

  static std::string Describe(const std::vector<StationList>& lists) {
    std::string text;
    for (const StationList& list : lists)
      text += (text.empty() ? "" : " + ") + list.Action() + " " + std::to_string(list.Records());
    return text;
  }

  // Runs the lists to the end in `folder`, as a user would: every import
  // finishes, nothing else is shown. Unless `measure` is off, measures the
  // phases on the way (the table creation where `creates` says it is made).
  void RunThrough(const fs::path& folder, const std::vector<StationList>& lists, bool creates,
                  bool measure = true) {
    for (const StationList& list : lists) WriteList(folder, list);
    Length ignored;
    Length& startUps = measure ? startUp_ : ignored;
    Length& creations = measure && creates ? create_ : ignored;
    Length& commits = measure ? commit_ : ignored;
    Length& closings = measure ? closing_ : ignored;
    const Clock::time_point started = Clock::now();
    Driver run(folder, Actions(lists));
    auto at = [&](const std::string& marker) -> std::optional<Clock::time_point> {
      if (!run.WaitFor(marker)) return std::nullopt;
      return Clock::now();
    };
    bool ok = false;
    if (const auto ready = at("ready")) {
      startUps.Add(Milliseconds(*ready - started));
      ok = true;
      for (std::size_t i = 0; i < lists.size() && ok; ++i) {
        const auto opening = at("start " + lists[i].Action());
        const auto first = opening ? at("step " + lists[i].Action() + " 1") : std::nullopt;
        ok = first && at("end " + lists[i].Action());
        if (ok && i > 0) commits.Add(Milliseconds(*first - *opening));
        if (ok && i == 0) creations.Add(Milliseconds(*first - *opening));
      }
      const auto closing = ok ? at("start close") : std::nullopt;
      const auto exited = closing ? at("exit") : std::nullopt;
      if (exited) closings.Add(Milliseconds(*exited - *closing));
      ok = exited.has_value();
    }
    run.Finish();
    ASSERT_TRUE(ok && run.EndedCleanly()) << run.Describe();
    ASSERT_EQ(run.Messages(), std::vector<Shown>(lists.size(), Plain(kFinished))) << run.Describe();
  }

  // The table after the first `count` lists of a killed run went through,
  // from the database as it was before that run (`creates`: without the
  // table). On a copy without synchronous writes, which change nothing in
  // what is stored and only cost time.
  Stations After(const fs::path& before, const std::vector<StationList>& lists, std::size_t count,
                 bool creates) {
    ScratchFolder ref;
    fs::copy_file(before, ref / "LOG.DAT");
    fb::ConnectOptions options = testdb::Sysdba();
    options.forcedWrites = false;
    fb::Attachment::Open((ref / "LOG.DAT").string(), options).Detach();
    RunThrough(
        ref.Path(),
        std::vector<StationList>(lists.begin(), lists.begin() + static_cast<std::ptrdiff_t>(count)),
        creates, false);
    return ReadStations(ref / "LOG.DAT");
  }

  // Starts a run of `lists` in `folder`, has `kill` wait for the moment, and
  // kills it. Checks what it left against `before` (the file before the run)
  // and `book` (its table then; empty for a 1.0 database, which has none).
  KillResult KillRun(const fs::path& folder, const std::vector<StationList>& lists,
                     const fs::path& before, const Stations& book,
                     const std::function<void(Driver&, Clock::time_point)>& kill) {
    const bool creates = book.empty();
    for (const StationList& list : lists) WriteList(folder, list);
    const fs::path db = folder / "LOG.DAT";
    Driver run(folder, Actions(lists));
    kill(run, Clock::now());
    run.Kill();
    KillResult result{WhereItDied(run.Lines()), {}, {}};
    // Up to its death the run went as it should.
    for (const Shown& shown : run.Messages()) EXPECT_EQ(shown, Plain(kFinished)) << run.Describe();

    EXPECT_EQ(ValidationErrors(db), "") << run.Describe();
    const auto [least, most] = CommittedRange(run.Lines(), lists);
    if (!creates || HasStations(db)) result.stations = ReadStations(db);
    std::string mismatch;
    for (int j = least; j <= most; ++j) {
      const Stations expected =
          j == 0 ? book : After(before, lists, static_cast<std::size_t>(j), creates);
      if (result.stations == expected) {
        result.outcome = most == least ? (j == 0 ? "nothing committed" : "committed as expected")
                                       : lists[static_cast<std::size_t>(least)].Action() +
                                             (j == least ? " rows: none" : " rows: all");
        return result;
      }
      mismatch += "  against " + std::to_string(j) + " list(s) committed:\n" +
                  Differences(expected, result.stations);
    }
    ADD_FAILURE() << "the table is neither of what " << least << " to " << most
                  << " committed lists give (died during " << result.where << ")\n"
                  << mismatch << run.Describe();
    return result;
  }

  // The next run after a kill: it goes through, keeps every row of `before`
  // as it was (but a missing locator that LOG_C_OK.DBF fills in) and adds
  // the new stations. The table afterwards.
  Stations NextRunWorks(const fs::path& folder, const std::vector<StationList>& lists,
                        const Stations& before, bool creates = false) {
    const fs::path db = folder / "LOG.DAT";
    RunThrough(folder, lists, creates);
    if (HasFatalFailure()) return {};
    Stations after = ReadStations(db);
    std::set<std::string> added, expectedAdded, filled;
    for (const StationList& list : lists) {
      const std::set<std::string> calls = list.NewCalls();
      expectedAdded.insert(calls.begin(), calls.end());
      filled.insert(list.known.begin(), list.known.end());
    }
    for (const auto& [call, row] : after)
      if (!before.count(call)) added.insert(call);
    EXPECT_EQ(added, expectedAdded);
    for (const auto& [call, row] : before) {
      const auto found = after.find(call);
      if (found == after.end()) {
        ADD_FAILURE() << "lost " << Show(row);
        continue;
      }
      Row expected = row;
      if (filled.count(call)) {
        EXPECT_TRUE(found->second[kLocatorColumn].has_value()) << Show(found->second);
        expected[kLocatorColumn] = found->second[kLocatorColumn];
      }
      EXPECT_EQ(found->second, expected) << "changed " << Show(row);
    }
    return after;
  }

  // Reads the child's output until `deadline` (a line never begins with a
  // line feed), so that it never waits on a full pipe.
  static void ReadUntil(Driver& run, Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() > 0) run.WaitFor("\n", left);
  }

  const std::uint64_t seed_;
  const int kills_;
  std::mt19937_64 random_;
  std::array<int, 5> next_{};  // the next station number of each list
  Length startUp_, create_, commit_, closing_;
};

TEST_F(KillLoop, RandomKillsLoseNothingCommittedAndCommitAllOrNothing) {
  Say("[kill loop] seed %llu, %d kills (TOLVO_KILLLOOP_SEED, TOLVO_KILLLOOP_KILLS to change)\n",
      static_cast<unsigned long long>(seed_), kills_);
  RecordProperty("seed", std::to_string(seed_));
  const auto started = Clock::now();

  ScratchFolder work;
  const fs::path pristine = work / "pristine.DAT";  // a Tolvo 1.0 database
  const fs::path before = work / "before.DAT";      // the file before the killed run
  CreateDurableDatabase(pristine);
  const std::vector<std::string> pristineCatalogue = SchemaCatalogue(pristine);
  ScratchFolder fresh;  // where the table is made, on a copy of the 1.0 file
  ScratchFolder main;   // the callbook that grows from kill to kill
  const fs::path db = main / "LOG.DAT";

  // The table as an import makes it, and a first callbook with every list.
  fs::copy_file(pristine, fresh / "LOG.DAT");
  RunThrough(fresh.Path(), {NewList(Import::OKCall, 5, {})}, true);
  ASSERT_FALSE(HasFatalFailure());
  const std::vector<std::string> wholeTable = TableShape(fresh / "LOG.DAT");
  ASSERT_EQ(std::count_if(wholeTable.begin(), wholeTable.end(),
                          [](const std::string& s) { return s.rfind("index ", 0) == 0; }),
            11);
  fs::copy_file(pristine, db);
  std::vector<StationList> first;
  for (Import import : kImports) first.push_back(NewList(import, 100, {}));
  RunThrough(main.Path(), first, true);
  ASSERT_FALSE(HasFatalFailure());
  Stations book = ReadStations(db);
  Say("[kill loop] lengths: start-up %.0f ms, table creation %.0f ms, commit at next import %.0f ms,"
      " closing %.0f ms\n",
      startUp_.Mean(), create_.Mean(), commit_.Mean(), closing_.Mean());

  // Every phase as often as the others, in an order of chance.
  std::vector<Phase> phases;
  for (int k = 0; k < kills_; ++k) phases.push_back(static_cast<Phase>(k % kPhaseCount));
  for (std::size_t k = phases.size(); k > 1; --k)
    std::swap(phases[k - 1], phases[static_cast<std::size_t>(Below(static_cast<int>(k)))]);
  std::map<std::string, std::pair<int, int>> hits;  // phase -> (died in it, kills)
  std::map<std::string, int> outcomes;              // of the kills in a commit

  for (int k = 1; k <= kills_; ++k) {
    const Phase phase = phases[static_cast<std::size_t>(k - 1)];
    const bool creating = phase == Phase::CreateTable;
    const fs::path folder = creating ? fresh.Path() : main.Path();
    if (creating) {
      fs::remove(fresh / "LOG.DAT");
      fs::copy_file(pristine, fresh / "LOG.DAT");
    }
    fs::copy_file(folder / "LOG.DAT", before, fs::copy_options::overwrite_existing);

    std::vector<StationList> lists;
    std::string moment, aim;
    std::function<void(Driver&, Clock::time_point)> kill;
    // A delay after the marker that opens the phase, within a length the
    // phase has had. A commit becomes lasting at its very end, so every
    // other kill falls in the last third.
    auto afterMarker = [&](const std::string& marker, const Length& lengths) {
      const double length = lengths.Any(random_());
      const double delay = Below(2) ? length * (2.0 / 3 + Uniform(1.0 / 3)) : Uniform(length);
      moment = std::to_string(static_cast<int>(delay)) + " ms after \"" + marker + "\" (of " +
               std::to_string(static_cast<int>(length)) + ")";
      kill = [marker, delay](Driver& run, Clock::time_point) {
        ASSERT_TRUE(run.WaitFor(marker)) << run.Describe();
        ReadUntil(run, Clock::now() + std::chrono::microseconds(static_cast<long>(delay * 1000)));
      };
    };
    switch (phase) {
      case Phase::StartUp: {
        lists = {NewList(AnyImport(), Between(40, 160), book)};
        const double length = startUp_.Any(random_());
        const double delay = Uniform(length);
        moment = std::to_string(static_cast<int>(delay)) + " ms after the start (of " +
                 std::to_string(static_cast<int>(length)) + ")";
        kill = [delay](Driver& run, Clock::time_point t0) {
          ReadUntil(run, t0 + std::chrono::microseconds(static_cast<long>(delay * 1000)));
        };
        aim = "start-up";
        break;
      }
      case Phase::CreateTable:
        lists = {NewList(AnyImport(), Between(40, 160), {})};
        afterMarker("start " + lists[0].Action(), create_);
        aim = "opening " + lists[0].Action();
        break;
      case Phase::CommitAtNextImport: {
        const Import a = AnyImport();
        lists = {NewList(a, Between(40, 160), book),
                 NewList(AnyImportBut(a), Between(20, 80), book)};
        afterMarker("start " + lists[1].Action(), commit_);
        aim = "opening " + lists[1].Action();
        break;
      }
      case Phase::Closing:
        lists = {NewList(AnyImport(), Between(40, 160), book)};
        afterMarker("start close", closing_);
        aim = "closing";
        break;
      default: {
        const Import import = kImports[static_cast<std::size_t>(phase) - 2];
        // Half the time after another import, which this one commits.
        const bool preceded = Below(2);
        if (preceded) lists.push_back(NewList(AnyImportBut(import), Between(40, 160), book));
        lists.push_back(NewList(import, Between(40, 160), book));
        const int record = Between(1, lists.back().Records());
        const std::string action = ActionOf(import);
        moment =
            "at record " + std::to_string(record) + " of " + std::to_string(lists.back().Records());
        kill = [this, action, record, preceded](Driver& run, Clock::time_point) {
          // The commit of the import before is measured on the way.
          if (preceded && record > 1) {
            ASSERT_TRUE(run.WaitFor("start " + action)) << run.Describe();
            const Clock::time_point opening = Clock::now();
            ASSERT_TRUE(run.WaitFor("step " + action + " 1")) << run.Describe();
            commit_.Add(Milliseconds(Clock::now() - opening));
          }
          ASSERT_TRUE(run.WaitFor("step " + action + " " + std::to_string(record)))
              << run.Describe();
        };
        aim = "import " + ActionOf(import);
        break;
      }
    }

    const KillResult result = KillRun(folder, lists, before, creating ? Stations{} : book, kill);
    const bool hit = result.where == aim;
    auto& [hitCount, killCount] = hits[NameOf(phase)];
    hitCount += hit ? 1 : 0;
    ++killCount;
    if (result.outcome.find(" rows: ") != std::string::npos)
      ++outcomes[result.outcome.substr(result.outcome.find(" rows: ") + 1)];
    std::string schema;
    if (creating) {
      if (HasStations(folder / "LOG.DAT")) {
        schema = "; table made whole";
        EXPECT_EQ(TableShape(folder / "LOG.DAT"), wholeTable);
      } else {
        schema = "; no table";
        EXPECT_EQ(testdb::CatalogueChanges(pristineCatalogue, SchemaCatalogue(folder / "LOG.DAT")),
                  std::vector<std::string>{});
      }
      if (const int leftovers = RecordsOfNoTable(folder / "LOG.DAT"))
        schema += ", " + std::to_string(leftovers) + " engine records of no table";
    }
    Say("[kill %2d/%d] %s (%s): %s -> died during %s%s; %s%s\n", k, kills_, NameOf(phase).c_str(),
        Describe(lists).c_str(), moment.c_str(), result.where.c_str(),
        hit ? "" : " (not the phase)", result.outcome.c_str(), schema.c_str());
    if (HasFailure()) break;

    // The next run works normally.
    if (creating) {
      NextRunWorks(folder, {NewList(AnyImport(), Between(10, 40), {})}, result.stations,
                   !HasStations(folder / "LOG.DAT"));
      // Whatever the kill left, the table is made whole, the engine's
      // records of a table cut off are gone, and the file is valid.
      EXPECT_EQ(TableShape(folder / "LOG.DAT"), wholeTable);
      EXPECT_EQ(RecordsOfNoTable(folder / "LOG.DAT"), 0);
      EXPECT_EQ(ValidationErrors(folder / "LOG.DAT"), "");
    } else {
      // As long as the killed runs' lists, so that it measures a closing
      // commit as long as theirs.
      book = NextRunWorks(folder, {NewList(AnyImport(), Between(40, 160), result.stations)},
                          result.stations);
    }
    if (HasFailure()) break;
  }

  if (HasFailure())
    Say("[kill loop] repeat with TOLVO_KILLLOOP_SEED=%llu\n",
        static_cast<unsigned long long>(seed_));
  std::string summary;
  for (const auto& [name, counts] : hits)
    summary +=
        " " + name + " " + std::to_string(counts.first) + "/" + std::to_string(counts.second) + ";";
  std::string commits;
  for (const auto& [outcome, count] : outcomes)
    commits += " " + outcome + " " + std::to_string(count) + ";";
  Say("[kill loop] died in the phase aimed at:%s\n[kill loop] commits cut off:%s %zu rows; %.1f s\n",
      summary.c_str(), commits.c_str(), book.size(), Milliseconds(Clock::now() - started) / 1000);
}

}  // namespace
}  // namespace tolvo::fault
