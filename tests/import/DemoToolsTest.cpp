#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "import/AmateurImport.h"
#include "import/ImportKinds.h"
#include "import/ImportRun.h"
#include "source/DbfTable.h"
#include "source/TextReport.h"
#include "store/Callbook.h"
#include "store/MemoryCallbook.h"
#include "tests/import/RecordMap.h"
#include "tests/support/DbAccess.h"
#include "tests/support/ScratchFolder.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "tools/demo/DemoError.h"
#include "tools/demo/DemoFolder.h"
#include "tools/demo/DemoText.h"
#include "tools/demo/DemoWords.h"
#include "tools/show/CallbookListing.h"
#include "tools/show/CallbookTable.h"
#include "tools/writers/Tolvo10Database.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;
using show::CallbookListing;

using testdb::ReadBytes;
using testdb::WriteBytes;

// The 18 Mazovia codes of the Polish letters.
const std::set<unsigned char> kMazoviaLetters = {0x86, 0x8D, 0x8F, 0x90, 0x91, 0x92,
                                                 0x95, 0x98, 0x9C, 0x9E, 0xA0, 0xA1,
                                                 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7};

void AddHighBytes(std::string_view text, std::set<unsigned char>& seen) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) seen.insert(static_cast<unsigned char>(c));
}

TEST(DemoText, MazoviaEncoderAgreesWithTheDecoder) {
  const std::string letters = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
  const std::string mazovia = demo::Utf8ToMazovia(letters);
  ASSERT_EQ(mazovia.size(), 18u);
  EXPECT_EQ(std::set<unsigned char>(mazovia.begin(), mazovia.end()), kMazoviaLetters);
  EXPECT_EQ(MazoviaToCp1250(mazovia), demo::Utf8To1250(letters));
  EXPECT_EQ(demo::Utf8ToMazovia("Łódź 12;x"),
            "\x9C\xA2"
            "d\xA6 12;x");

  // Letters the code page lacks, and broken UTF-8, are refused.
  EXPECT_THROW(demo::Utf8ToMazovia("Dvořák"), demo::DemoError);
  EXPECT_THROW(demo::Utf8ToMazovia("Québec"), demo::DemoError);
  EXPECT_THROW(demo::Utf8ToMazovia("ab\xC5"), demo::DemoError);
  EXPECT_THROW(demo::Utf8ToMazovia("\xC5"
                                   "a"),
               demo::DemoError);
  EXPECT_THROW(demo::Utf8To1250("Trois-Rivières"), demo::DemoError);
  EXPECT_EQ(demo::Utf8To1250("Dvořák"), "Dvo\xF8\xE1k");
}

// Walks a table from the working folder: its records and the values of some
// fields, by field name as the importers ask for them.
struct Walked {
  std::int64_t declared = 0;
  std::vector<std::map<std::string, std::string>> records;
};

Walked Walk(const std::string& table, const std::vector<std::string>& fields) {
  DbfTable t("Calls", table);
  t.Open();
  Walked w;
  w.declared = t.RecordCount();
  for (t.First(); !t.Eof(); t.Next()) {
    std::map<std::string, std::string> rec;
    for (const auto& f : fields) rec[f] = t.FieldByName(f).AsString();
    w.records.push_back(std::move(rec));
  }
  return w;
}

class DemoSources : public ::testing::Test {
 protected:
  ScratchFolder dir{ScratchFolder::Enter::Yes};
  demo::DemoCounts counts = demo::WriteDemoSources(dir.Path());
};

TEST_F(DemoSources, CbHoldsMazoviaTextAndTheUsualFlaws) {
  const Walked cb = Walk("CB.DBF", {"Znak", "Imie", "Nazwisko", "Adres", "Poczta", "Loc", "Kod"});
  EXPECT_EQ(cb.declared, counts.cb);
  EXPECT_EQ(static_cast<std::int64_t>(cb.records.size()), counts.cb - counts.cbDeleted);
  EXPECT_GE(counts.cbDeleted, 1);
  EXPECT_GE(cb.records.size(), 200u);

  std::set<unsigned char> high;
  std::set<std::string> calls;
  int duplicates = 0, unknownLocator = 0, plainCode = 0, lowerCall = 0, emptyCall = 0;
  for (const auto& r : cb.records) {
    for (const char* f : {"Imie", "Nazwisko", "Adres", "Poczta"}) AddHighBytes(r.at(f), high);
    const std::string call = ToUpper1250(StripBlanks(r.at("Znak")));
    emptyCall += call.empty();
    if (!call.empty() && !calls.insert(call).second) ++duplicates;
    lowerCall += call != StripBlanks(r.at("Znak"));
    unknownLocator += r.at("Loc") == "?";
    plainCode += r.at("Kod").size() == 5;
  }
  // Polish letters only ever as Mazovia codes, and most of them in use (few
  // words begin with Ą, Ę, Ć or Ń).
  for (unsigned char b : high) EXPECT_TRUE(kMazoviaLetters.count(b)) << std::hex << int(b);
  EXPECT_GE(high.size(), 12u);
  EXPECT_GE(duplicates, 1);
  EXPECT_GE(unknownLocator, 1);
  EXPECT_GE(lowerCall, 1);
  EXPECT_EQ(emptyCall, 1);
  EXPECT_GT(plainCode, static_cast<int>(cb.records.size()) / 2);
}

TEST_F(DemoSources, LogCSpHasUpperCaseMazoviaMemos) {
  const Walked sp = Walk("LOG_C_SP.DBF", {"Call", "Name", "mem_f", "QRA_LOC", "WOJ"});
  EXPECT_EQ(sp.declared, counts.logCSp);
  EXPECT_EQ(static_cast<std::int64_t>(sp.records.size()), counts.logCSp);

  std::set<unsigned char> high;
  int triples = 0, letterO = 0, clubs = 0, lowerRegion = 0;
  for (const auto& r : sp.records) {
    const std::string& memo = r.at("mem_f");
    AddHighBytes(memo, high);
    AddHighBytes(r.at("Name"), high);
    triples += std::count(memo.begin(), memo.end(), ';') == 2;
    const std::string& loc = r.at("QRA_LOC");
    letterO +=
        loc.size() >= 4 && (loc[2] == 'O' || loc[3] == 'O' || loc[2] == 'o' || loc[3] == 'o');
    clubs += r.at("Name") == "RADIOKLUB";
    lowerRegion += !r.at("WOJ").empty() && r.at("WOJ") != ToUpper1250(r.at("WOJ"));
  }
  // Mazovia codes, and the two that Mazovia Ł and ś become when the text is
  // upper-cased by the Windows rules.
  for (unsigned char b : high)
    EXPECT_TRUE(kMazoviaLetters.count(b) || b == 0x8C || b == 0x8E) << std::hex << int(b);
  EXPECT_TRUE(high.count(0x8C) && high.count(0x8E) && high.count(0x98));
  EXPECT_GT(triples, static_cast<int>(sp.records.size()) * 9 / 10);
  EXPECT_GE(letterO, 1);
  EXPECT_GE(clubs, 1);
  EXPECT_GE(lowerRegion, 1);
}

TEST_F(DemoSources, CzechTablesShareStationsInWindows1250) {
  const Walked ok = Walk("LOG_C_OK.DBF", {"Call", "Name", "mem_f", "QRA_LOC", "WOJ"});
  const Walked okcall = Walk("OKCALL.DBF", {"Call", "Name", "LastName", "Address", "City", "ZIP"});
  EXPECT_EQ(ok.declared, counts.logCOk);
  EXPECT_EQ(okcall.declared, counts.okcall);
  EXPECT_GE(ok.records.size(), 200u);
  EXPECT_GE(okcall.records.size(), 200u);

  std::set<std::string> inOkcall;
  std::string text;
  for (const auto& r : okcall.records) {
    inOkcall.insert(ToUpper1250(StripBlanks(r.at("Call"))));
    text += r.at("LastName") + r.at("City");
  }
  int shared = 0;
  for (const auto& r : ok.records) {
    shared += inOkcall.count(ToUpper1250(StripBlanks(r.at("Call")))) > 0;
    text += r.at("mem_f");
  }
  // Stations in both lists, so that the second import has locators to add.
  EXPECT_GE(shared, 50);
  for (unsigned char c : {0xF8, 0x9A, 0x9E, 0xE8, 0xE1})  // ř š ž č á
    EXPECT_NE(text.find(static_cast<char>(c)), std::string::npos) << std::hex << int(c);
}

TEST_F(DemoSources, ReportHasHeaderStationsAndShortLines) {
  TextReport report;
  report.Open(dir / "AMATEUR.RPT");
  std::string line;
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(report.ReadLine(line));
  std::int64_t lines = 0, stations = 0;
  int unknownFirst = 0, lowerCall = 0;
  while (report.ReadLine(line)) {
    ++lines;
    if (line.size() < 190) continue;
    ++stations;
    unknownFirst += StripBlanks(line.substr(7, 35)) == "First Name Unknown";
    const std::string call = StripBlanks(line.substr(0, 6));
    lowerCall += call != ToUpper1250(call);
  }
  report.Close();
  EXPECT_EQ(lines, counts.amateurLines);
  EXPECT_EQ(stations, counts.amateurStations);
  EXPECT_GE(stations, 200);
  EXPECT_GE(lines - stations, 3);  // blank, footer and cut-short lines
  EXPECT_GE(unknownFirst, 1);
  EXPECT_GE(lowerCall, 1);
}

TEST_F(DemoSources, SameSeedGivesTheSameBytes) {
  ScratchFolder again;
  ScratchFolder other;
  demo::WriteDemoSources(again.Path());
  demo::WriteDemoSources(other.Path(), demo::kDemoSeed + 1);
  for (std::string_view name : demo::kDemoSourceFiles) {
    EXPECT_EQ(ReadBytes(dir / name), ReadBytes(again / name)) << name;
    EXPECT_NE(ReadBytes(dir / name), ReadBytes(other / name)) << name;
  }
}

// The whole demo through the five importers, in the order a user would run
// them: every country arrives, Polish towns come out properly spelt, and the
// Czech stations of okcall.dbf get their locators from LOG_C_OK.DBF.
TEST_F(DemoSources, ImportsIntoASensibleCallbook) {
  MemoryCallbook book;
  NoDisplay none;
  for (ImportKindId kind :
       {ImportKindId::OKCall, ImportKindId::LogCOK, ImportKindId::CB, ImportKindId::LogCSP})
    RunImportInWorkingFolder(ImportKindOf(kind), book, none);
  std::set<std::string> canadian;
  ReportSource report(dir / "AMATEUR.RPT", [&](std::string_view line, IStationLookup& b) {
    if (line.size() >= 190) canadian.insert(ToUpper1250(StripBlanks(line.substr(0, 6))));
    return ImportAmateurLine(line, b);
  });
  RunImport(report, book, none);

  std::set<std::string> towns;
  for (const auto& t : demo::words::kPolishTowns) towns.insert(demo::Utf8To1250(t.name));
  std::map<int, int> byCountry;
  int polish = 0, properTown = 0, region = 0, czechWithLocator = 0;
  for (const auto& [call, row] : book.Rows()) {
    ++byCountry[row.country.value_or(0)];
    if (row.country == 269) {
      ++polish;
      properTown += row[StationField::MIASTO] && towns.count(*row[StationField::MIASTO]);
      region += row[StationField::WOJEW].has_value();
    }
    czechWithLocator += row.country == 503 && row[StationField::LOKATOR];
  }
  EXPECT_GE(polish, 300);
  EXPECT_GT(properTown, polish * 85 / 100);
  EXPECT_GT(region, polish / 2);
  EXPECT_GE(byCountry[503], 200);
  EXPECT_GE(czechWithLocator, 50);
  EXPECT_EQ(byCountry[1], static_cast<int>(canadian.size()));
}

TEST(DemoFolder, PreparedOnceThenLeftAlone) {
  ScratchFolder dir;
  const fs::path folder = dir / "new" / "demo";  // made with its parent
  demo::DemoCounts counts;
  EXPECT_EQ(demo::PrepareDemoFolder(folder, &counts), demo::DemoFolder::Created);
  EXPECT_GT(counts.cb, 0);
  for (std::string_view name : demo::kDemoSourceFiles)
    EXPECT_TRUE(fs::exists(folder / name)) << name;
  EXPECT_EQ(show::ReadCallbook(folder).state, CallbookListing::State::NoTable);

  // A second run changes nothing, whatever the lists now hold.
  WriteBytes(folder / "CB.DBF", "edited");
  fs::rename(folder / "LOG.DAT", folder / "log.dat");
  EXPECT_EQ(demo::PrepareDemoFolder(folder), demo::DemoFolder::AlreadyThere);
  EXPECT_EQ(ReadBytes(folder / "CB.DBF"), "edited");
  EXPECT_FALSE(fs::exists(folder / "LOG.DAT"));
}

TEST(DemoFolder, SomebodysListIsNeverOverwritten) {
  ScratchFolder dir;
  WriteBytes(dir / "amateur.rpt", "my own report");
  EXPECT_THROW(demo::PrepareDemoFolder(dir.Path()), demo::DemoError);
  EXPECT_EQ(ReadBytes(dir / "amateur.rpt"), "my own report");
  // Nothing else was written.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

  WriteBytes(dir / "file", "x");
  EXPECT_THROW(demo::PrepareDemoFolder(dir / "file"), demo::DemoError);
}

// ---- the viewer ----

// The lines of a text as characters (one per UTF-8 lead byte), to measure
// columns as a terminal shows them.
std::vector<std::u32string> TerminalLines(const std::string& text) {
  std::vector<std::u32string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    std::u32string cps;
    for (char c : l)
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) cps += static_cast<char32_t>(c);
    lines.push_back(cps);
  }
  return lines;
}

class CallbookView : public ::testing::Test {
 protected:
  CallbookView() {
    CreateTolvo10Database(dir / "LOG.DAT");
    Callbook book;
    EXPECT_TRUE(book.Open(dir / "LOG.DAT"));
    auto put = [&](std::string_view call, std::string_view name, std::int16_t kraj) {
      book.Insert(test::Station({{StationField::STACJA, call}, {StationField::NAZWA, name}}, kraj));
    };
    put("SP9XYZ",
        "\xA3\xB9"
        "cki Jan",
        269);                            // Łącki in Windows-1250
    put("SP5ABC", "Nowak\x1B[2J", 269);  // a control byte in a name
    put("OK1ABC", "Dvo\xF8\xE1k Petr", 503);
    put("VE3AB", "", 1);
    book.Close();
  }
  static std::vector<std::string> Calls(const CallbookListing& l) {
    std::vector<std::string> calls;
    for (const auto& row : l.rows) calls.push_back(row.at(0).value_or("NULL"));
    return calls;
  }
  ScratchFolder dir;
};

TEST_F(CallbookView, RowsInCallSignOrderFiltered) {
  using V = std::vector<std::string>;
  const CallbookListing all = show::ReadCallbook(dir.Path());
  ASSERT_EQ(all.state, CallbookListing::State::Rows);
  EXPECT_EQ(all.columns.front(), "STACJA");
  EXPECT_EQ(all.columns.back(), "KRAJ");
  EXPECT_EQ(Calls(all), (V{"OK1ABC", "SP5ABC", "SP9XYZ", "VE3AB"}));
  // NULL stays NULL: VE3AB has no name, nobody has a locator.
  EXPECT_EQ(all.rows[3][1], std::nullopt);
  EXPECT_EQ(all.rows[0][7], std::nullopt);
  EXPECT_EQ(all.rows[0].back(), "503");

  EXPECT_EQ(Calls(show::ReadCallbook(dir.Path(), {269, ""})), (V{"SP5ABC", "SP9XYZ"}));
  EXPECT_EQ(Calls(show::ReadCallbook(dir.Path(), {std::nullopt, "sp9"})), V{"SP9XYZ"});
  EXPECT_EQ(Calls(show::ReadCallbook(dir.Path(), {503, "SP"})), V{});
  EXPECT_EQ(Calls(show::ReadCallbook(dir.Path(), {99999, ""})), V{});
  EXPECT_EQ(Calls(show::ReadCallbook(dir.Path(), {std::nullopt, "SP9XYZ0123456"})), V{});
}

TEST_F(CallbookView, TableIsAlignedUtf8) {
  const std::string table = show::FormatCallbook(show::ReadCallbook(dir.Path()));
  const std::vector<std::u32string> lines = TerminalLines(table);
  ASSERT_EQ(lines.size(), 7u);  // header, rule, four rows, count
  EXPECT_NE(table.find("Łącki Jan"), std::string::npos);
  EXPECT_NE(table.find("Dvořák Petr"), std::string::npos);
  EXPECT_NE(table.find("Nowak?[2J"), std::string::npos);
  EXPECT_EQ(table.find('\x1B'), std::string::npos);
  EXPECT_TRUE(table.ends_with("\n4 stacje\n"));  // nothing cut

  // Every row's name starts where the header's NAZWA does, and every line
  // that reaches the last column ends where the header's KRAJ does.
  const std::size_t nazwa = std::string(table).find("NAZWA");
  for (std::size_t i = 2; i <= 4; ++i) EXPECT_NE(lines[i][nazwa], U' ') << i;
  EXPECT_EQ(lines[5][nazwa - 1], U' ');
  for (std::size_t i = 1; i <= 5; ++i) EXPECT_EQ(lines[i].size(), lines[0].size()) << i;
}

// Long values fit 120 columns by being cut with a mark; the call sign and the
// country never are; --full shows everything.
TEST(CallbookViewLayout, LongValuesAreCutToFitUnlessWhole) {
  CallbookListing l;
  l.state = CallbookListing::State::Rows;
  for (const auto& info : kStationFieldInfo) l.columns.emplace_back(info.column);
  l.columns.emplace_back("KRAJ");
  auto row = [&](std::string call, std::string name, std::string town, std::string address) {
    std::vector<std::optional<std::string>> r(l.columns.size());
    r[0] = call;
    r[1] = name;
    r[4] = town;
    r[6] = address;
    r.back() = "269";
    l.rows.push_back(r);
  };
  const std::string longName = "Klub Ł" + std::string(50, 'x');
  for (int i = 0; i < 20; ++i)
    row("SP" + std::to_string(i) + "ABCDEF", "Nowak Jan", "Krak\xF3w", std::string(20 + i, 'u'));
  row("SP9XYZ", "Klub \xA3" + std::string(50, 'x'), std::string(25, 't'), std::string(50, 'a'));

  const std::string table = show::FormatCallbook(l);
  const std::vector<std::u32string> cut = TerminalLines(table);
  for (const auto& line : cut) EXPECT_LE(line.size(), show::kTableWidth);
  std::size_t marks = 0;
  for (std::size_t at = 0; (at = table.find("…", at)) != std::string::npos; at += 3) ++marks;
  EXPECT_NE(table.find("SP19ABCDEF "), std::string::npos);  // call signs whole
  EXPECT_NE(table.find("Nowak Jan"), std::string::npos);    // short values whole
  EXPECT_NE(table.find("Klub Łxx"), std::string::npos);     // a long one cut after its start
  EXPECT_EQ(table.find(longName), std::string::npos);
  EXPECT_GE(marks, 3u + 1u);  // the last line names the mark too
  EXPECT_TRUE(
      table.ends_with("21 stacji\nWartości dłuższe niż ich kolumna są ucięte („…”); "
                      "całe pokazuje opcja --full.\n"));
  // Every line that reaches the last column ends where the header's KRAJ does.
  for (std::size_t i = 1; i < cut.size() - 2; ++i) EXPECT_EQ(cut[i].size(), cut[0].size()) << i;

  const std::string full = show::FormatCallbook(l, true);
  EXPECT_NE(full.find(longName), std::string::npos);
  EXPECT_EQ(full.find("…"), std::string::npos);
  EXPECT_TRUE(full.ends_with("\n21 stacji\n"));
  EXPECT_GT(TerminalLines(full)[0].size(), show::kTableWidth);
}

// While another program holds the database, the viewer says so in its own
// words rather than in the engine's.
TEST_F(CallbookView, DatabaseInUseIsSaid) {
  if (std::system("command -v isql-fb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no isql-fb";
  const fs::path out = dir / "isql.out";
  std::FILE* other = testdb::AttachIsql(dir / "LOG.DAT", out);
  ASSERT_NE(other, nullptr) << ReadBytes(out);
  const CallbookListing held = show::ReadCallbook(dir.Path());
  pclose(other);  // end of input: the other program detaches and ends
  EXPECT_EQ(held.state, CallbookListing::State::InUse);
  EXPECT_EQ(show::InUseText(held.database),
            (dir / "LOG.DAT").lexically_normal().string() +
                " jest otwarty przez inny program (Tolvo lub TolvoIMP). Zamknij go i spróbuj "
                "ponownie.");
  EXPECT_EQ(show::ReadCallbook(dir.Path()).state, CallbookListing::State::Rows);
}

TEST(CallbookViewStates, MissingDatabaseOrTableIsSaid) {
  ScratchFolder dir;
  EXPECT_EQ(show::ReadCallbook(dir.Path()).state, CallbookListing::State::NoDatabase);
  CreateTolvo10Database(dir / "log.dat");
  const CallbookListing l = show::ReadCallbook(dir.Path());
  EXPECT_EQ(l.state, CallbookListing::State::NoTable);
  EXPECT_EQ(l.database.filename(), "log.dat");
  EXPECT_TRUE(show::FormatCallbook(CallbookListing{}).ends_with("0 stacji\n"));
}

}  // namespace
}  // namespace tolvo
