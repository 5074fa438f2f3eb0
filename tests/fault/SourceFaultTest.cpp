// Whole imports of hostile station lists: dBASE tables whose header lies,
// memo files that are missing or too short, sources that are folders or
// cannot be read, reports full of NUL bytes or noise, a line of a gigabyte,
// files changed while they are read. Each ends with a clear message, no
// crash, and only rows that the source really holds.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <random>

#include "import/ListFields.h"
#include "tests/fault/FaultHarness.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/ReportWriter.h"
#include "tools/writers/Tolvo10Database.h"

namespace tolvo::fault {
namespace {

void PatchLe(std::string& bytes, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// The okcall.dbf that the tests damage: ten stations, six character fields.
constexpr int kRecords = 10;
// The okcall.dbf that WriteOkCall lays out: a header of 32 bytes, one of 32
// for each field and an end mark; a deletion flag before each record.
const std::size_t kHeaderLength = 32 + 32 * ListFieldsOf(ImportKindId::OKCall).size() + 1;
const std::size_t kRecordLength = [] {
  std::size_t length = 1;
  for (const ListField& field : ListFieldsOf(ImportKindId::OKCall)) length += field.length;
  return length;
}();

class SourceFault : public FaultTest {
 protected:
  SourceFault() { CreateTolvo10Database(db); }

  // One import and the end of the program; the driver must end cleanly.
  std::vector<Shown> Import(const std::string& action) {
    return RunDriver(dir.Path(), {action, "close"});
  }

  // Exactly one message: the error report, with `part` in its text.
  static void ExpectError(const std::vector<Shown>& shown, std::string_view part) {
    ASSERT_EQ(shown.size(), 1u) << ::testing::PrintToString(shown);
    EXPECT_TRUE(shown[0].error) << shown[0].text;
    EXPECT_NE(shown[0].text.find(part), std::string::npos) << shown[0].text;
  }

  // The imports `actions` and the end of the program, paused at the fifth
  // record for `change` to the sources; the driver must end cleanly.
  std::vector<Shown> PausedImport(std::vector<std::string> actions,
                                  const std::function<void()>& change) {
    actions.insert(actions.begin(), {"--pause-at", "5"});
    actions.push_back("close");
    Driver run(dir.Path(), actions);
    EXPECT_TRUE(run.WaitFor("paused")) << run.Describe();
    change();
    run.Send();
    run.Finish();
    EXPECT_TRUE(run.EndedCleanly()) << run.Describe();
    return run.Messages();
  }

  // The peak memory of an import of `kind` from the sources as they are,
  // for a larger source to keep within; the database is made anew after it.
  void MeasureBaseline(const std::string& kind) {
    Driver small(dir.Path(), {kind, "close"});
    small.Finish();
    ASSERT_TRUE(small.EndedCleanly()) << small.Describe();
    baselineKiB_ = small.MaxRssKiB();
    fs::remove(db);
    CreateTolvo10Database(db);
  }
  // `big` grew at most 32 MiB beyond the baseline.
  void ExpectWithinBaseline(const Driver& big) const {
    EXPECT_LT(big.MaxRssKiB(), baselineKiB_ + 32 * 1024) << "baseline " << baselineKiB_ << " KiB";
  }
  long baselineKiB_ = 0;

  // Every value in STACJE keeps to what a column may hold: no NUL byte, no
  // blank at either end, KRAJ the given country.
  void ExpectCleanRows(int kraj) {
    for (const Row& row : Query(db,
                                "SELECT STACJA, NAZWA, IMIE, NAZWISKO, MIASTO, KODPOCZT,"
                                " ADRES, DOMENA, KRAJ FROM STACJE")) {
      for (std::size_t i = 0; i + 1 < row.size(); ++i) {
        if (!row[i]) continue;
        const std::string& v = *row[i];
        EXPECT_FALSE(v.empty());
        EXPECT_EQ(v.find('\0'), std::string::npos) << "column " << i;
      }
      EXPECT_EQ(row.back(), std::optional(std::to_string(kraj)));
    }
  }

  void ExpectValid() { EXPECT_EQ(ValidationErrors(db), ""); }
};

// ---- dBASE tables whose header lies ----

TEST_F(SourceFault, LyingTableHeaders) {
  const auto rows = OkCallRows("OK1", kRecords);
  const fs::path table = dir / "okcall.dbf";
  WriteOkCall(table, rows);
  const std::string good = ReadBytes(table);
  ASSERT_EQ(good.size(), kHeaderLength + kRecords * kRecordLength + 1);
  auto firstCalls = [&](int n) {
    return CallsOf(std::vector<std::vector<std::string>>(rows.begin(), rows.begin() + n));
  };

  const std::string cutInsideARecord =
      "okcall.dbf: plik jest obcięty lub uszkodzony: nagłówek zapowiada 10 rekordów po " +
      std::to_string(kRecordLength) + " bajtów, czyli razem z nagłówkiem " +
      std::to_string(kHeaderLength + kRecords * kRecordLength) + " bajtów, a plik ma tylko " +
      std::to_string(kHeaderLength + 6 * kRecordLength + 40) +
      " bajtów. Pobierz listę ponownie i powtórz import.";
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    const char* error;  // nullptr: the import runs through
    int imported;       // stations of the table that reach the callbook
  };
  const std::vector<Case> cases = {
      {"more records than the file holds", [](std::string& b) { PatchLe(b, 4, 1000, 4); },
       "okcall.dbf: plik jest obcięty: zawiera w całości tylko 10 rekordów z 1000 zapowiedzianych "
       "w nagłówku. Pobierz listę ponownie i powtórz import.",
       kRecords},
      {"the largest record count", [](std::string& b) { PatchLe(b, 4, 0xFFFFFFFF, 4); },
       "w całości tylko 10 rekordów z ", kRecords},
      {"fewer records than the file holds", [](std::string& b) { PatchLe(b, 4, 4, 4); }, nullptr,
       4},
      {"header longer than the file", [](std::string& b) { PatchLe(b, 8, 60000, 2); },
       "sam nagłówek powinien mieć 60000 bajtów", 0},
      {"header too short for its fields", [](std::string& b) { PatchLe(b, 8, 32 + 2 * 32 + 1, 2); },
       "opisy pól nie kończą się w obrębie nagłówka", 0},
      {"header too short for any field", [](std::string& b) { PatchLe(b, 8, 40, 2); },
       "nie mieści opisu żadnego pola", 0},
      {"header a few bytes longer than its fields",
       [](std::string& b) { PatchLe(b, 8, kHeaderLength + 5, 2); },
       "nagłówek zapowiada 10 rekordów po", 0},
      {"record longer than its fields and the file's records",
       [](std::string& b) { PatchLe(b, 10, kRecordLength + 20, 2); },
       "nagłówek zapowiada 10 rekordów po", 0},
      {"record shorter than its fields",
       [](std::string& b) { PatchLe(b, 10, kRecordLength - 20, 2); }, "a jego pola wymagają", 0},
      {"a field longer than it is, the record length to match",
       [](std::string& b) {
         b[32 + 16] = static_cast<char>(10 + 40);  // CALL
         PatchLe(b, 10, kRecordLength + 40, 2);
       },
       "nagłówek zapowiada 10 rekordów po", 0},
      {"field offsets that point anywhere",
       [](std::string& b) {
         for (int f = 0; f < 6; ++f) PatchLe(b, 32 + 32 * f + 12, 0xDEADBEEF - f * 977, 4);
       },
       nullptr, kRecords},
      {"a field of length 0", [](std::string& b) { b[32 + 32 + 16] = 0; }, "ma długość 0", 0},
      {"no end of the field list", [](std::string& b) { b[kHeaderLength - 1] = ' '; },
       "opisy pól nie kończą się w obrębie nagłówka", 0},
      {"a damaged type byte", [](std::string& b) { b[32 + 11] = 0; },
       "uszkodzony opis pola nr 1 (bajt typu 0x00)", 0},
      {"not a dBASE version", [](std::string& b) { b[0] = 0x42; }, "to nie jest tabela dBASE", 0},
      {"cut inside the header", [](std::string& b) { b.resize(100); }, "plik jest obcięty", 0},
      // What a download that broke off gives: a cut inside some record.
      {"cut inside a record",
       [](std::string& b) { b.resize(kHeaderLength + 6 * kRecordLength + 40); },
       cutInsideARecord.c_str(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(db);
    CreateTolvo10Database(db);
    std::string bytes = good;
    c.damage(bytes);
    WriteBytes(table, bytes);
    const std::vector<Shown> shown = Import("okcall");
    if (c.error) ExpectError(shown, c.error);
    else EXPECT_EQ(shown, std::vector<Shown>{Plain(kFinished)});
    EXPECT_EQ(CallSigns(db), firstCalls(c.imported));
  }
  ExpectValid();
}

// ---- memo files ----

const std::vector<DbfFieldSpec> kLogCFields = {
    {"CALL", 'C', 10}, {"NAME", 'C', 30}, {"MEM_F", 'M', 0}, {"QRA_LOC", 'C', 6}, {"WOJ", 'C', 2}};
constexpr std::size_t kLogCHeader = 32 + 5 * 32 + 1;
constexpr std::size_t kLogCRecord = 1 + 10 + 30 + 10 + 6 + 2;
constexpr std::size_t kMemoPointerAt = 1 + 10 + 30;

void WriteLogCSp(const fs::path& table, int count) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= count; ++i)
    rows.push_back({"SP" + std::to_string(i) + "AB", "JAN",
                    "JAN KOWALSKI;UL. POLNA " + std::to_string(i) + ";00-950 WARSZAWA", "KO02MD",
                    "M"});
  WriteDbf(table, kLogCFields, rows);
}

TEST_F(SourceFault, MemoFilesThatFailTheTable) {
  const fs::path table = dir / "LOG_C_SP.DBF";
  const fs::path memo = dir / "LOG_C_SP.DBT";
  const std::set<std::string> firstTwo = {"SP1AB", "SP2AB"};
  auto pointTo = [&](int record, const std::string& pointer) {
    std::string b = ReadBytes(table);
    b.replace(kLogCHeader + (record - 1) * kLogCRecord + kMemoPointerAt, 10, pointer);
    WriteBytes(table, b);
  };
  auto fresh = [&] {
    fs::remove(db);
    CreateTolvo10Database(db);
    WriteLogCSp(table, 5);
  };

  fresh();
  pointTo(3, "  99999999");
  ExpectError(Import("logcsp"),
              "rekord 3: blok memo 99999999 leży poza końcem pliku memo LOG_C_SP.DBT");
  EXPECT_EQ(CallSigns(db), firstTwo);

  fresh();
  pointTo(3, "   12ab   ");
  ExpectError(Import("logcsp"), "uszkodzony odnośnik do pliku memo");
  EXPECT_EQ(CallSigns(db), firstTwo);

  fresh();
  fs::resize_file(memo, 100);
  ExpectError(Import("logcsp"), "rekord 1: blok memo 1 leży poza końcem pliku memo");
  EXPECT_EQ(CallSigns(db), std::set<std::string>{});

  fresh();
  fs::remove(memo);
  ExpectError(Import("logcsp"), "brak pliku memo LOG_C_SP.DBT");
  EXPECT_EQ(CallSigns(db), std::set<std::string>{});
  ExpectValid();
}

// ---- sources that are no files, or cannot be read ----

TEST_F(SourceFault, SourcesThatCannotBeRead) {
  // A folder of the source's name is no source file.
  fs::create_directory(dir / "CB.DBF");
  fs::create_directory(dir / "amateur.rpt");
  EXPECT_EQ(Import("cb"), std::vector<Shown>{Plain("Brak pliku: CB.DBF")});
  EXPECT_EQ(Import("amateur"), std::vector<Shown>{Plain("Brak pliku: AMATEUR.RPT")});
  fs::remove(dir / "CB.DBF");
  fs::remove(dir / "amateur.rpt");

  // A link to nowhere.
  fs::create_symlink(dir / "gone.dbf", dir / "okcall.dbf");
  ExpectError(Import("okcall"),
              "okcall.dbf: nie można otworzyć pliku: nie ma takiego pliku ani folderu");
  fs::create_symlink(dir / "gone.rpt", dir / "AMATEUR.RPT");
  ExpectError(Import("amateur"), "nie można otworzyć pliku: nie ma takiego pliku ani folderu");
  fs::remove(dir / "AMATEUR.RPT");

  // A file that fails when it is read (this process's memory at address 0).
  fs::create_symlink("/proc/self/mem", dir / "AMATEUR.RPT");
  ExpectError(Import("amateur"), "błąd odczytu pliku: błąd wejścia-wyjścia");
  EXPECT_EQ(CallSigns(db), std::set<std::string>{});
  ExpectValid();
}

TEST_F(SourceFault, SourceWithoutTheRightToReadIt) {
  WriteOkCall(dir / "okcall.dbf", OkCallRows("OK1", 3));
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("VA", 3));
  fs::permissions(dir / "okcall.dbf", fs::perms::none);
  fs::permissions(dir / "AMATEUR.RPT", fs::perms::none);
  fs::permissions(db, fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                         fs::perms::others_exec));
  std::vector<std::string> asUser;
  if (geteuid() == 0) {
    const std::optional<std::vector<std::string>> user = UnprivilegedUser(dir.Path());
    if (!user) GTEST_SKIP() << "running as root and cannot become another user";
    asUser = *user;
  }
  for (const char* action : {"okcall", "amateur"}) {
    std::vector<std::string> args = asUser;
    args.push_back(action);
    args.push_back("close");
    ExpectError(RunDriver(dir.Path(), args), "nie można otworzyć pliku: brak uprawnień dostępu");
  }
  EXPECT_EQ(CallSigns(db), std::set<std::string>{});
}

// ---- reports full of NUL bytes or noise ----

TEST_F(SourceFault, ReportWithNulBytes) {
  std::vector<std::string> lines = AmateurLines("VA", 3);
  lines[0][43 + 3] = '\0';                  // inside the first surname
  lines[1][2] = '\0';                       // inside the second call sign
  lines.push_back(std::string(199, '\0'));  // nothing but NULs
  lines.push_back(AmateurLine("VE4NUL", "Ann", "Lee", "1 Main St", "Ottawa", "ON", "K1A"));
  std::vector<std::string> all = AmateurHeader();
  all[1] += std::string(3, '\0');
  all.insert(all.end(), lines.begin(), lines.end());
  std::string text;
  for (const std::string& l : all) text += l + "\r\n";
  WriteBytes(dir / "AMATEUR.RPT", text);

  EXPECT_EQ(Import("amateur"), std::vector<Shown>{Plain(kFinished)});
  // A value ends at its first NUL: the second call sign is what precedes it.
  EXPECT_EQ(CallSigns(db), (std::set<std::string>{"VA", "VA1", "VA3", "VE4NUL"}));
  EXPECT_EQ(Query(db, "SELECT NAZWISKO FROM STACJE WHERE STACJA = 'VA1'"),
            (std::vector<Row>{{"Smi"}}));
  ExpectCleanRows(1);
  ExpectValid();
}

TEST_F(SourceFault, NoiseInsteadOfASource) {
  std::mt19937 random(20240601);
  auto noise = [&](std::size_t size, char first) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    bytes[0] = first;
    return bytes;
  };
  // Tables: refused before anything is written, whatever the first byte
  // claims the file to be.
  for (char version : {'\x03', '\x83', '\x8B', '\xF5', '\x30', 'x'}) {
    WriteBytes(dir / "CB.DBF", noise(64 * 1024, version));
    const std::vector<Shown> shown = Import("cb");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].error) << shown[0].text;
    EXPECT_EQ(shown[0].text.rfind("CB.DBF: ", 0), 0u) << shown[0].text;
  }
  EXPECT_EQ(CallSigns(db), std::set<std::string>{});

  // A report: every long line is a station by the report's rules, but
  // whatever is written keeps to its columns. (No Ctrl-Z: it would end the
  // report at once.)
  std::string report = noise(1 << 20, 'x');
  for (char& c : report)
    if (c == '\x1A') c = 'z';
  for (std::size_t at = 0; at < report.size(); at += 150 + random() % 200) report[at] = '\n';
  WriteBytes(dir / "AMATEUR.RPT", report);
  EXPECT_EQ(Import("amateur"), std::vector<Shown>{Plain(kFinished)});
  EXPECT_GT(CallSigns(db).size(), 100u);
  for (const std::string& call : CallSigns(db)) EXPECT_LE(call.size(), 6u);
  ExpectCleanRows(1);
  ExpectValid();
}

// ---- a line of a gigabyte ----

// A line of a gigabyte (a hole in the file: nothing is written to the disk)
// is no report line: the report is refused as damaged at once, without
// reading the rest or growing in memory, and nothing is imported.
TEST_F(SourceFault, LineOfAGigabyteIsADamagedReport) {
  const fs::path report = dir / "AMATEUR.RPT";
  WriteAmateurReport(report, AmateurLines("VA", 2));
  ASSERT_NO_FATAL_FAILURE(MeasureBaseline("amateur"));
  const std::vector<std::string> lines = AmateurLines("VE", 2);
  std::string head;
  for (const std::string& l : AmateurHeader()) head += l + "\r\n";
  head += lines[0];
  WriteBytes(report, head);
  constexpr std::uintmax_t kGigabyte = std::uintmax_t{1} << 30;
  fs::resize_file(report, head.size() + kGigabyte);
  {
    std::ofstream tail(report, std::ios::binary | std::ios::app);
    tail << "\r\n" << lines[1] << "\r\n";
  }
  Driver big(dir.Path(), {"amateur", "close"});
  big.Finish(20s);
  fs::remove(report);
  ASSERT_TRUE(big.EndedCleanly()) << big.Describe();
  const std::vector<Shown> shown = big.Messages();
  ASSERT_EQ(shown.size(), 1u) << big.Describe();
  EXPECT_TRUE(shown[0].error);
  EXPECT_NE(shown[0].text.find("AMATEUR.RPT: uszkodzony raport: wiersz 5 ma ponad 65536 bajtów"),
            std::string::npos)
      << shown[0].text;
  EXPECT_EQ(CallSigns(db), std::set<std::string>{});
  ExpectWithinBaseline(big);
}

TEST_F(SourceFault, MemoOfAGigabyteCostsNoMemory) {
  const fs::path table = dir / "LOG_C_SP.DBF";
  WriteLogCSp(table, 2);
  ASSERT_NO_FATAL_FAILURE(MeasureBaseline("logcsp"));

  // The first memo has no end mark and runs on for a gigabyte of NUL bytes
  // to the end of the memo file.
  WriteLogCSp(table, 2);
  const fs::path memo = dir / "LOG_C_SP.DBT";
  std::string bytes = ReadBytes(memo);
  bytes.resize(512 + 40);  // the header block and the start of the first memo
  WriteBytes(memo, bytes);
  constexpr std::uintmax_t kGigabyte = std::uintmax_t{1} << 30;
  fs::resize_file(memo, bytes.size() + kGigabyte);
  {
    std::string b = ReadBytes(table);
    b.replace(kLogCHeader + kLogCRecord + kMemoPointerAt, 10, std::string(10, ' '));
    WriteBytes(table, b);  // the second record has no memo
  }
  Driver big(dir.Path(), {"logcsp", "close"});
  big.Finish(120s);
  fs::remove(memo);
  ASSERT_TRUE(big.EndedCleanly()) << big.Describe();
  EXPECT_EQ(big.Messages(), std::vector<Shown>{Plain(kFinished)});
  EXPECT_EQ(CallSigns(db), (std::set<std::string>{"SP1AB", "SP2AB"}));
  ExpectWithinBaseline(big);
}

// ---- sources changed while they are read ----

TEST_F(SourceFault, TablesChangedWhileTheyAreRead) {
  const fs::path table = dir / "okcall.dbf";
  const auto czech = OkCallRows("OK1", 40);
  auto fresh = [&] {
    fs::remove(db);
    CreateTolvo10Database(db);
    WriteOkCall(table, czech);
  };
  auto first = [&](int n) {
    return CallsOf(std::vector<std::vector<std::string>>(czech.begin(), czech.begin() + n));
  };

  // Cut short in place: what is gone cannot be read, and nothing that was
  // read before the cut is taken for what follows it.
  fresh();
  ExpectError(PausedImport({"okcall"},
                           [&] { fs::resize_file(table, kHeaderLength + 7 * kRecordLength + 3); }),
              "w całości tylko 7 rekordów z 40 zapowiedzianych");
  EXPECT_EQ(CallSigns(db), first(7));

  // Rewritten in place as a table of other fields: the rest is not read as
  // if it were the old one.
  fresh();
  ExpectError(PausedImport({"okcall"},
                           [&] {
                             std::vector<std::vector<std::string>> rows;
                             for (int i = 0; i < 300; ++i)
                               rows.push_back({"OK9Z" + std::to_string(i), "Eva", "Brno"});
                             WriteDbf(dir / "other.dbf",
                                      {{"CALL", 'C', 7}, {"NAME", 'C', 33}, {"CITY", 'C', 50}},
                                      rows);
                             WriteBytes(table, ReadBytes(dir / "other.dbf"));
                           }),
              "budowa tabeli zmieniła się w trakcie odczytu");
  EXPECT_EQ(CallSigns(db), first(5));

  // Replaced by a new file: the one that was opened is read to its end, and
  // the next import of the session reads the new one.
  fresh();
  const auto next = OkCallRows("OK2", 3);
  EXPECT_EQ(PausedImport({"okcall", "okcall"},
                         [&] {
                           WriteOkCall(dir / "next.dbf", next);
                           fs::rename(dir / "next.dbf", table);
                         }),
            (std::vector<Shown>{Plain(kFinished), Plain(kFinished)}));
  std::set<std::string> both = CallsOf(czech);
  both.merge(CallsOf(next));
  EXPECT_EQ(CallSigns(db), both);
  ExpectValid();
}

TEST_F(SourceFault, ReportsChangedWhileTheyAreRead) {
  const fs::path report = dir / "AMATEUR.RPT";
  // Far longer than what the reader holds at a time, so that most of it is
  // read after the change.
  constexpr int kLines = 4000;
  const std::set<std::string> all = CallsOf("VA", kLines);

  // Cut short in place: an error, not an import that looks complete.
  WriteAmateurReport(report, AmateurLines("VA", kLines));
  ExpectError(
      PausedImport({"amateur"}, [&] { fs::resize_file(report, fs::file_size(report) / 8); }),
      "AMATEUR.RPT: plik zmienił się w trakcie odczytu");
  const std::set<std::string> cut = CallSigns(db);
  EXPECT_GE(cut.size(), 5u);
  EXPECT_LT(cut.size(), 1000u);
  EXPECT_TRUE(std::includes(all.begin(), all.end(), cut.begin(), cut.end()));

  // Rewritten in place with other stations: the same.
  fs::remove(db);
  CreateTolvo10Database(db);
  WriteAmateurReport(report, AmateurLines("VA", kLines));
  ExpectError(
      PausedImport({"amateur"}, [&] { WriteAmateurReport(report, AmateurLines("VE", kLines)); }),
      "plik zmienił się w trakcie odczytu");
  const std::set<std::string> rewritten = CallSigns(db);
  EXPECT_TRUE(std::includes(all.begin(), all.end(), rewritten.begin(), rewritten.end()));

  // Replaced by a new file: the one that was opened is read to its end.
  fs::remove(db);
  CreateTolvo10Database(db);
  WriteAmateurReport(report, AmateurLines("VA", kLines));
  EXPECT_EQ(PausedImport({"amateur"},
                         [&] {
                           WriteAmateurReport(dir / "next.rpt", AmateurLines("VE", 3));
                           fs::rename(dir / "next.rpt", report);
                         }),
            std::vector<Shown>{Plain(kFinished)});
  EXPECT_EQ(CallSigns(db), all);
  ExpectValid();
}

}  // namespace
}  // namespace tolvo::fault
