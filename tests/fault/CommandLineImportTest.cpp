// tolvo-import run as a user runs it, on real files: the summary's counts
// for every list, the exit status and the rows kept after an error, a stop
// by SIGTERM that commits what came before it, and the trial run and the
// reports of differing and added stations.
#include <signal.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "tests/fault/FaultHarness.h"
#include "tools/demo/DemoFolder.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/ReportWriter.h"

namespace tolvo::fault {
namespace {

const Program kImportTool{TOLVO_IMPORT_TOOL, {}};

const std::vector<DbfFieldSpec> kCbFields = DbfFieldsOf(ImportKindId::CB);
const std::vector<DbfFieldSpec> kLogCFields = DbfFieldsOf(ImportKindId::LogCSP);

std::vector<std::string> CbRow(const std::string& call) {
  return {call, "Jan", "Kowalski", "Polna 1", "Opole", "JO90AA", "45001"};
}
std::vector<std::string> LogCRow(const std::string& call, const std::string& locator = "") {
  return {call, "Jan", "Jan Nowak;Polna 1;45-001 Opole", locator, ""};
}

// The summary's counts by their labels, and every line the tool wrote.
struct ToolRun {
  int status = 0;
  std::vector<std::string> lines;
  std::map<std::string, long> counts;

  bool Says(std::string_view line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::string Text() const {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
  }
};

ToolRun Parse(const Driver& run) {
  ToolRun result;
  result.status = run.Status();
  result.lines = run.Lines();
  for (const std::string& line : result.lines) {
    const std::size_t colon = line.rfind(':');
    if (colon == std::string::npos) continue;
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    if (value.empty() || !std::all_of(value.begin(), value.end(), ::isdigit)) continue;
    std::string label = line.substr(0, colon);
    label.erase(0, label.find_first_not_of(' '));
    result.counts[label] = std::stol(value);
  }
  return result;
}

ToolRun RunTool(const fs::path& folder, const std::vector<std::string>& args,
                const std::vector<std::string>& environment = {}) {
  Driver run({kImportTool.path, environment}, folder, args);
  run.Finish();
  return Parse(run);
}

// What the summary says, in its order: records read, stations added, already
// there, locators filled, without a call sign, skipped; deleted records
// (-1 where the list has none to tell of).
struct Counts {
  long read, added, alreadyThere, locatorsFilled, noCallSign, skipped, deleted;
};

void ExpectCounts(const ToolRun& run, const Counts& want) {
  const auto& c = run.counts;
  auto count = [&](const std::string& label) {
    const auto it = c.find(label);
    return it == c.end() ? -1L : it->second;
  };
  const long skipped = std::max(count("wpisy pominięte z innego powodu"),
                                count("wpisy pominięte z innego powodu (za krótkie)"));
  EXPECT_EQ(count("Wczytane wpisy"), want.read) << run.Text();
  EXPECT_EQ(count("dodane stacje"), want.added) << run.Text();
  EXPECT_EQ(count("stacje już w callbooku (lub wcześniej na liście)"), want.alreadyThere)
      << run.Text();
  EXPECT_EQ(count("uzupełnione lokatory"), want.locatorsFilled) << run.Text();
  EXPECT_EQ(count("wpisy bez znaku wywoławczego"), want.noCallSign) << run.Text();
  EXPECT_EQ(skipped, want.skipped) << run.Text();
  EXPECT_EQ(count("Wpisy usunięte w pliku (niewczytane)"), want.deleted) << run.Text();
}

class CommandLineImport : public FaultTest {};

// Each list in turn into one callbook, named in another letter case than its
// file, each holding new stations, stations already there (from an earlier
// list or earlier in the same one), a record without a call sign and deleted
// records; LOG_C_OK.DBF gives a locator to a station that lacked one,
// AMATEUR.RPT has a line too short for a station.
TEST_F(CommandLineImport, SummaryCountsEveryRecordOfEveryList) {
  CreateDurableDatabase(db);
  struct Case {
    const char* list;  // as typed
    std::function<void()> write;
    Counts counts;
    const char* lastLine;  // the last progress line
    // Run from the folder above, naming the folder and, with --database, the
    // database by relative paths.
    bool fromAbove = false;
  };
  const std::vector<Case> cases = {
      {"OKCALL.DBF",
       [&] {
         auto rows = OkCallRows("OK1", 3);
         rows.push_back(rows[0]);
         rows.push_back(OkCallRows("", 1)[0]);
         rows[4][0] = "";
         WriteOkCall(dir / "okcall.dbf", rows, {false, false, true, false, false});
       },
       {4, 2, 1, 0, 1, 0, 1},
       "okcall.dbf: wpis 5 z 5, koniec"},
      {"cb.dbf",
       [&] {
         WriteDbf(dir / "CB.DBF", kCbFields,
                  {CbRow("SP1A"), CbRow("SP9Z"), CbRow("OK12"), CbRow("   "), CbRow("SP1B"),
                   CbRow("sp1a"), CbRow("SP9Y")},
                  {false, true, false, false, false, false, true});
       },
       {5, 2, 2, 0, 1, 0, 2},
       "CB.DBF: wpis 7 z 7, koniec"},
      {"Log_C_Sp.dbf",
       [&] {
         WriteDbf(dir / "LOG_C_SP.DBF", kLogCFields,
                  {LogCRow("SP2A"), LogCRow("SP1A"), LogCRow(""), LogCRow("SP2Z")},
                  {false, false, false, true});
       },
       {3, 1, 1, 0, 1, 0, 1},
       "LOG_C_SP.DBF: wpis 4 z 4, koniec"},
      {"log_c_ok.DBF",
       [&] {
         WriteDbf(dir / "LOG_C_OK.DBF", kLogCFields,
                  {LogCRow("OK11", "JO70FD"), LogCRow("OK12"), LogCRow("OK2A", "JO70FE"),
                   LogCRow("OK2A", "JO70FF"), LogCRow(" ")});
       },
       {5, 1, 2, 1, 1, 0, 0},
       "LOG_C_OK.DBF: wpis 5 z 5, koniec"},
      {"amateur.rpt",
       [&] {
         std::vector<std::string> lines = AmateurLines("VA1", 2);
         lines.push_back("a line too short for a station");
         lines.push_back(lines[0]);
         lines.push_back(AmateurLine("", "John", "Smith", "1 Main St", "Ottawa", "ON", "K1A"));
         WriteAmateurReport(dir / "AMATEUR.RPT", lines);
       },
       {5, 2, 1, 0, 1, 1, -1},
       "AMATEUR.RPT: wpis 5, koniec",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    c.write();
    const fs::path name = dir.Path().filename();
    const ToolRun run =
        c.fromAbove ? RunTool(dir.Path().parent_path(),
                              {"--database", (name / "LOG.DAT").string(), c.list, name.string()})
                    : RunTool(dir.Path(), {c.list});
    EXPECT_TRUE(run.Says("Baza:  " + db.string())) << run.Text();
    EXPECT_EQ(run.status, 0) << run.Text();
    EXPECT_TRUE(run.Says(kFinished)) << run.Text();
    EXPECT_TRUE(run.Says(c.lastLine)) << run.Text();
    ExpectCounts(run, c.counts);
    const Counts& n = c.counts;
    EXPECT_EQ(n.added + n.alreadyThere + n.locatorsFilled + n.noCallSign + n.skipped, n.read);
  }
  EXPECT_EQ(CallSigns(db), (std::set<std::string>{"OK11", "OK12", "SP1A", "SP1B", "SP2A", "OK2A",
                                                  "VA11", "VA12"}));
  // The locator went to the station that lacked one; the new station kept
  // its first one.
  EXPECT_EQ(Query(db,
                  "SELECT STACJA, LOKATOR FROM STACJE WHERE STACJA IN ('OK11', 'OK2A') "
                  "ORDER BY STACJA"),
            (std::vector<Row>{{"OK11", "JO70FD"}, {"OK2A", "JO70FE"}}));
}

// A list that breaks off in the middle: the message, a failing exit status,
// and the rows before the bad record in the database. A progress line comes
// every 1000 records.
TEST_F(CommandLineImport, ErrorEndsWithFailureAndKeepsTheRowsBeforeIt) {
  CreateDurableDatabase(db);
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= 1500; ++i) rows.push_back(LogCRow("SP" + std::to_string(i)));
  const fs::path table = dir / "LOG_C_SP.DBF";
  WriteDbf(table, kLogCFields, rows);
  // Every memo takes one block after the memo file's header block: the
  // 1201st record's lies beyond the cut.
  fs::resize_file(DbfWriter::MemoPath(table), 1201 * 512);

  const ToolRun run = RunTool(dir.Path(), {"log_c_sp.dbf"});
  EXPECT_EQ(run.status, 1) << run.Text();
  EXPECT_TRUE(run.Says("LOG_C_SP.DBF: wpis 1000 z 1500")) << run.Text();
  EXPECT_TRUE(run.Says("LOG_C_SP.DBF: wpis 1201 z 1500, przerwano")) << run.Text();
  EXPECT_TRUE(run.Says("Przerwano z powodu błędu; wpisy sprzed błędu zapisano w bazie."))
      << run.Text();
  EXPECT_FALSE(run.Says(kFinished)) << run.Text();
  ExpectCounts(run, {1200, 1200, 0, 0, 0, 0, 0});
  std::set<std::string> before;
  for (int i = 1; i <= 1200; ++i) before.insert("SP" + std::to_string(i));
  EXPECT_EQ(CallSigns(db), before);
  EXPECT_EQ(ValidationErrors(db), "");
}

// SIGTERM stops the run between two records; what came before is committed
// and the summary tells how much that was.
TEST_F(CommandLineImport, SigtermStopsAndCommits) {
  CreateDurableDatabase(db);
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("V", 40000));
  Driver run({kImportTool.path, {}}, dir.Path(), {"AMATEUR.RPT"});
  ASSERT_TRUE(run.WaitFor("AMATEUR.RPT: wpis 1000")) << run.Describe();
  run.Signal(SIGTERM);
  run.Finish();
  const ToolRun result = Parse(run);
  EXPECT_EQ(result.status, 128 + SIGTERM) << result.Text();
  const long added = result.counts.count("dodane stacje") ? result.counts.at("dodane stacje") : -1;
  EXPECT_GE(added, 999) << result.Text();  // the line comes before the 1000th step
  EXPECT_LT(added, 40000) << result.Text();
  EXPECT_TRUE(result.Says("Przerwano (SIGTERM) przed wpisem " + std::to_string(added + 1) +
                          "; wcześniejsze wpisy zapisano w bazie."))
      << result.Text();
  EXPECT_EQ(static_cast<long>(CallSigns(db).size()), added);
  EXPECT_EQ(ValidationErrors(db), "");
}

constexpr std::string_view kNothingWritten = "Import próbny: nic nie zapisano w bazie danych.";
constexpr std::string_view kChangedLabel = "Stacje w callbooku z innymi danymi niż na liście";

// The lines of a CSV report after its byte-order mark, each as its fields.
std::vector<std::vector<std::string>> ReadCsv(const fs::path& file) {
  const std::string text = ReadBytes(file);
  EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF")) << file;
  std::vector<std::vector<std::string>> lines(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 3; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      lines.back().back() += text[++i];
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      lines.back().emplace_back();
    } else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      if (i + 1 < text.size()) lines.push_back(std::vector<std::string>(1));
    } else {
      lines.back().back() += c;
    }
  }
  return lines;
}

bool HasStationsTable(const fs::path& db) {
  return !Query(db, "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'STACJE'").empty();
}

// Every demo list into a demo folder's Tolvo 1.0 LOG.DAT: a trial run says
// what a real one then does, to the count and to the stations added, and
// leaves the database without its callbook; after three stations are
// changed by hand, a trial run with --changes reports exactly their changed
// columns and writes nothing.
TEST_F(CommandLineImport, TrialRunAndReportsOverTheDemoLists) {
  for (const char* list : {"CB.DBF", "LOG_C_SP.DBF", "LOG_C_OK.DBF", "okcall.dbf", "AMATEUR.RPT"}) {
    SCOPED_TRACE(list);
    for (const fs::path& entry : fs::directory_iterator(dir.Path())) fs::remove_all(entry);
    demo::PrepareDemoFolder(dir.Path());
    const ToolRun trial = RunTool(dir.Path(), {"--dry-run", "--added", "trial.csv", list});
    EXPECT_EQ(trial.status, 0) << trial.Text();
    EXPECT_TRUE(trial.Says(kNothingWritten)) << trial.Text();
    EXPECT_FALSE(HasStationsTable(db));
    const ToolRun real = RunTool(dir.Path(), {"--added", "added.csv", list});
    EXPECT_EQ(real.status, 0) << real.Text();
    EXPECT_EQ(trial.counts, real.counts) << trial.Text() << real.Text();
    EXPECT_EQ(ReadBytes(dir / "trial.csv"), ReadBytes(dir / "added.csv"));
    const auto added = ReadCsv(dir / "added.csv");
    const std::set<std::string> stations = CallSigns(db);
    ASSERT_EQ(added.size(), stations.size() + 1);
    EXPECT_EQ(static_cast<long>(stations.size()), real.counts.at("dodane stacje"));

    // What the list holds twice already differs; the stations changed by
    // hand are three others.
    const ToolRun before = RunTool(dir.Path(), {"--dry-run", "--changes", "before.csv", list});
    const auto baseline = ReadCsv(dir / "before.csv");
    std::set<std::string> changed;
    for (const auto& row : baseline) changed.insert(row[0]);
    std::vector<std::string> edited;
    for (std::size_t i = 1; i < added.size() && edited.size() < 3; i += added.size() / 4)
      if (!changed.count(added[i][0])) edited.push_back(added[i][0]);
    ASSERT_EQ(edited.size(), 3u);
    for (const std::string& call : edited)
      Execute(db, {"UPDATE STACJE SET MIASTO = 'Zmienione', ADRES = 'Inny adres' WHERE STACJA = '" +
                   call + "'"});
    const std::vector<Row> rows = Query(db, "SELECT * FROM STACJE ORDER BY STACJA");

    const ToolRun after = RunTool(dir.Path(), {"--dry-run", "--changes", "after.csv", list});
    EXPECT_EQ(after.status, 0) << after.Text();
    EXPECT_EQ(after.counts.at(std::string(kChangedLabel)),
              before.counts.at(std::string(kChangedLabel)) + 3)
        << after.Text();
    auto reported = ReadCsv(dir / "after.csv");
    EXPECT_EQ(reported.front(),
              (std::vector<std::string>{"znak", "kolumna", "w callbooku", "na liście"}));
    for (const auto& row : baseline) {
      const auto at = std::find(reported.begin(), reported.end(), row);
      if (at != reported.end()) reported.erase(at);
    }
    std::set<std::pair<std::string, std::string>> columns;
    for (const auto& row : reported) {
      ASSERT_EQ(row.size(), 4u);
      columns.insert({row[0], row[1]});
      EXPECT_EQ(row[2], row[1] == "MIASTO" ? "Zmienione" : "Inny adres") << row[0];
    }
    EXPECT_EQ(reported.size(), 6u);
    EXPECT_EQ(columns.size(), 6u);
    for (const std::string& call : edited)
      EXPECT_TRUE(columns.count({call, "MIASTO"}) && columns.count({call, "ADRES"})) << call;
    EXPECT_EQ(Query(db, "SELECT * FROM STACJE ORDER BY STACJA"), rows);
    EXPECT_EQ(Entries(dir.Path()).size(), 12u);  // no temporary file left
  }
}

// SIGTERM in a --changes run over a list whose every station is stored with
// another town: the report holds each record's difference up to the stop, in
// list order, and says where it stopped; the database is as it was.
TEST_F(CommandLineImport, SigtermDuringChangesWritesTheReportUpToTheStop) {
  CreateDurableDatabase(db);
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("V", 20000));
  ASSERT_EQ(RunTool(dir.Path(), {"AMATEUR.RPT"}).status, 0);
  Execute(db, {"UPDATE STACJE SET MIASTO = 'Zmienione'"});
  const std::vector<Row> rows = Query(db, "SELECT * FROM STACJE ORDER BY STACJA");
  Driver run({kImportTool.path, {}}, dir.Path(), {"--changes", "changes.csv", "AMATEUR.RPT"});
  ASSERT_TRUE(run.WaitFor("AMATEUR.RPT: wpis 1000")) << run.Describe();
  run.Signal(SIGTERM);
  run.Finish();
  const ToolRun result = Parse(run);
  EXPECT_EQ(result.status, 128 + SIGTERM) << result.Text();
  const long read = result.counts.at("Wczytane wpisy");
  const auto report = ReadCsv(dir / "changes.csv");
  ASSERT_EQ(static_cast<long>(report.size()), read + 2) << result.Text();
  for (long i = 0; i < read; ++i) {
    const auto& row = report[static_cast<std::size_t>(i + 1)];
    ASSERT_EQ(row.size(), 4u);
    EXPECT_EQ(row[0], "V" + std::to_string(i + 1));
    EXPECT_EQ(row[1], "MIASTO");
    EXPECT_EQ(row[2], "Zmienione");
  }
  EXPECT_EQ(report.back(), (std::vector<std::string>{"Przerwano (SIGTERM) przed wpisem " +
                                                     std::to_string(read + 1) +
                                                     "; plik obejmuje tylko wcześniejsze wpisy."}));
  EXPECT_EQ(result.counts.at(std::string(kChangedLabel)), read);
  EXPECT_EQ(Query(db, "SELECT * FROM STACJE ORDER BY STACJA"), rows);
  EXPECT_EQ(ValidationErrors(db), "");
}

// What a hostile surrounding does to a run of 5000 CB.DBF stations: a pipe
// that closes, a terminal that goes away, a folder named in Polish under
// LANG=C, closed standard descriptors, output onto a full disk, a LOG.DAT
// that is a loop of links, renamed or deleted while the rows go in, lists
// that are pipes, devices, gigabytes of zero bytes, reports with lone CRs,
// headers that count nothing and tables without the list's fields. Each
// row runs the tool from a shell in a child process, bounded in time, and
// checks its exit status, what it said, the rows committed and Firebird's
// validation of the file.
TEST_F(CommandLineImport, HostileSurroundingsNeitherLoseAnImportNorHangIt) {
  constexpr int kStations = 5000;
  std::vector<std::vector<std::string>> rows;
  std::set<std::string> all;
  for (int i = 1; i <= kStations; ++i) {
    rows.push_back(CbRow("SP" + std::to_string(i)));
    all.insert("SP" + std::to_string(i));
  }
  struct Case {
    const char* name;
    // The shell command, run in the folder; $TOOL is tolvo-import. Its last
    // line is "status N" where the tool's status is not the shell's.
    std::string script;
    int status;
    std::vector<std::string> says;  // parts of what it writes
    // The rows the file named in `database` holds afterwards: all of them,
    // none, or (-1) some but not all.
    int stations;
    std::function<void(const fs::path&)> before = {};
    // Done to the running tool once it has shown record 1000 (it is
    // stopped meanwhile), and the database to look at afterwards.
    std::function<void(Driver&, const fs::path&)> during = {};
    const char* database = "LOG.DAT";
  };
  auto renamed = [](Driver& run, const fs::path& folder) {
    fs::rename(folder / "LOG.DAT", folder / "OLD.DAT");
    (void)run;
  };
  const std::vector<Case> cases = {
      {"pipe closed by head",
       "\"$TOOL\" CB.DBF 2>&1 | head -3; echo \"status ${PIPESTATUS[0]}\"",
       1,
       {"CB.DBF: wpis 3000 z 5000"},
       kStations},
      {"terminal closed (SIGHUP)",
       "exec \"$TOOL\" CB.DBF",
       128 + SIGHUP,
       {"Przerwano (SIGHUP) przed wpisem"},
       -1,
       {},
       [](Driver& run, const fs::path&) { run.Signal(SIGHUP); }},
      {"folder named in Polish, LANG=C",
       "mkdir -p Łączności && mv LOG.DAT CB.DBF Łączności/ && cd Łączności && "
       "env -u LC_ALL LANG=C \"$TOOL\" CB.DBF; echo \"status $?\"",
       0,
       {std::string(kFinished), "Baza:  " + (dir / "Łączności" / "LOG.DAT").string()},
       kStations,
       {},
       {},
       "Łączności/LOG.DAT"},
      {"standard descriptors closed",
       "\"$TOOL\" CB.DBF <&- >&- 2>&-; echo \"status $?\"",
       0,
       {},
       kStations},
      {"summary onto a full disk",
       "\"$TOOL\" CB.DBF >/dev/full; echo \"status $?\"",
       1,
       {"nie udało się wypisać podsumowania: brak miejsca na dysku"},
       kStations},
      {"LOG.DAT a loop of links",
       "mv LOG.DAT REAL.DAT && ln -s loop LOG.DAT && ln -s LOG.DAT loop && exec \"$TOOL\" CB.DBF",
       1,
       {std::string(kCannotOpen), "prowadzi w pętli"},
       0,
       {},
       {},
       "REAL.DAT"},
      {"LOG.DAT renamed during the run",
       "exec \"$TOOL\" CB.DBF",
       1,
       {"przeniesiono lub zmieniono jego nazwę w trakcie importu: wpisy tego importu zapisano "
        "w pliku " +
        (dir / "OLD.DAT").string()},
       kStations,
       {},
       renamed,
       "OLD.DAT"},
      {"LOG.DAT replaced during the run",
       "exec \"$TOOL\" CB.DBF",
       1,
       {"W miejscu " + db.string() + " jest teraz inny plik"},
       0,
       {},
       [&](Driver& run, const fs::path& folder) {
         renamed(run, folder);
         CreateDurableDatabase(folder / "LOG.DAT");
       }},
      {"LOG.DAT deleted during the run",
       "exec \"$TOOL\" CB.DBF",
       1,
       {"usunięto w trakcie importu"},
       0,
       {},
       [](Driver&, const fs::path& folder) { fs::remove(folder / "LOG.DAT"); }},
      {"LOG.DAT immutable",
       "if chattr +i LOG.DAT 2>/dev/null; then \"$TOOL\" CB.DBF; s=$?; chattr -i LOG.DAT; "
       "echo \"status $s\"; else echo \"status skipped\"; fi",
       1,
       {"ma atrybut „niezmienny” (immutable)", "chattr -i"},
       0},
      {"CB.DBF a pipe",
       "mv CB.DBF REAL.DBF && mkfifo CB.DBF && exec \"$TOOL\" CB.DBF",
       1,
       {"CB.DBF: nie można otworzyć pliku: to jest potok (FIFO), a nie plik."},
       0},
      {"CB.DBF a link to /dev/zero",
       "rm CB.DBF && ln -s /dev/zero CB.DBF && exec \"$TOOL\" CB.DBF",
       1,
       {"CB.DBF: nie można otworzyć pliku: to jest urządzenie, a nie plik."},
       0},
      {"AMATEUR.RPT of 8 GiB of zero bytes",
       "truncate -s 8G AMATEUR.RPT && exec \"$TOOL\" AMATEUR.RPT",
       1,
       {"AMATEUR.RPT: uszkodzony raport: wiersz 1 ma ponad 65536 bajtów"},
       0},
      {"AMATEUR.RPT with lone CRs",
       "exec \"$TOOL\" AMATEUR.RPT",
       0,
       {std::string(kFinished)},
       300,
       [](const fs::path& folder) {
         std::string text;
         for (const std::string& l : AmateurHeader()) text += l + "\r";
         for (const std::string& l : AmateurLines("VA", 300)) text += l + "\r";
         WriteBytes(folder / "AMATEUR.RPT", text);
       }},
      {"header counting no records",
       "exec \"$TOOL\" CB.DBF",
       1,
       {"uszkodzony nagłówek: zapowiada 0 rekordów, a plik zawiera 5000 rekordów."},
       0,
       [](const fs::path& folder) {
         std::string table = ReadBytes(folder / "CB.DBF");
         table.replace(4, 4, std::string(4, '\0'));
         WriteBytes(folder / "CB.DBF", table);
       }},
      {"a list without its call-sign field",
       "exec \"$TOOL\" CB.DBF",
       1,
       {"Calls: Field 'Znak' not found\nPlik CB.DBF nie jest listą CB.DBF: nie ma w nim pola Znak."},
       0,
       [](const fs::path& folder) {
         WriteDbf(folder / "CB.DBF", {{"IMIE", 'C', 15}}, {{"Jan"}});
       }},
      {"a report named as the database",
       "exec \"$TOOL\" --changes LOG.DAT CB.DBF",
       2,
       {"plik raportu " + db.string() + " to LOG.DAT; podaj inny plik"},
       0},
      {"--database in another letter case",
       "exec \"$TOOL\" --database ./log.dat CB.DBF",
       0,
       {std::string(kFinished)},
       kStations},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const fs::path& entry : fs::directory_iterator(dir.Path())) fs::remove_all(entry);
    CreateDurableDatabase(db);
    WriteDbf(dir / "CB.DBF", kCbFields, rows);
    if (c.before) c.before(dir.Path());
    Driver run({"/bin/bash", {"TOOL=" + kImportTool.path.string()}}, dir.Path(), {"-c", c.script});
    if (c.during) {
      ASSERT_TRUE(run.WaitFor("CB.DBF: wpis 1000")) << run.Describe();
      run.Signal(SIGSTOP);
      c.during(run, dir.Path());
      run.Signal(SIGCONT);
    }
    run.Finish(30s);
    ASSERT_TRUE(run.Exited()) << run.Describe();
    const ToolRun result = Parse(run);
    int status = result.status;
    if (!result.lines.empty() && result.lines.back() == "status skipped") continue;  // no chattr
    if (!result.lines.empty() && result.lines.back().starts_with("status "))
      status = std::stoi(result.lines.back().substr(7));
    EXPECT_EQ(status, c.status) << result.Text();
    for (const std::string& part : c.says)
      EXPECT_NE(result.Text().find(part), std::string::npos) << part << "\n" << result.Text();
    const fs::path database = dir / c.database;
    if (!fs::exists(database)) {  // deleted, as it is meant to be
      EXPECT_EQ(c.stations, 0);
      continue;
    }
    const std::set<std::string> kept = CallSigns(database);
    if (c.stations == kStations) {
      EXPECT_EQ(kept, all);
    } else if (c.stations > 0) {
      EXPECT_EQ(kept.size(), static_cast<std::size_t>(c.stations));
    } else if (c.stations == 0) {
      EXPECT_TRUE(kept.empty()) << kept.size();
    } else {
      EXPECT_GT(kept.size(), 0u);
      EXPECT_LT(kept.size(), all.size());
    }
    EXPECT_EQ(ValidationErrors(database), "");
  }
}

}  // namespace
}  // namespace tolvo::fault
