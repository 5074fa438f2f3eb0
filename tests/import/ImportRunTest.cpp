// The run loop that every caller shares: which records reach the step, with
// which numbers, and where a stop request ends the run.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "import/ImportKinds.h"
#include "import/ImportRun.h"
#include "source/DbfTable.h"
#include "store/MemoryCallbook.h"
#include "tests/import/RecordMap.h"
#include "tools/writers/DbfWriter.h"
#include "tests/support/ScratchFolder.h"

namespace tolvo {
namespace {

// Notes what the run told it; asks to stop when record `stopAt` is shown,
// or, with `stopWhilePassing`, when asked without a record shown.
class RecordingDisplay : public IRunDisplay {
 public:
  void Begin(std::optional<std::int64_t> total) override {
    events.push_back(total ? "begin " + std::to_string(*total) : "begin");
  }
  void ShowRecord(std::int64_t number) override {
    events.push_back("show " + std::to_string(number));
    shown_ = true;
  }
  bool StopRequested() override {
    if (!std::exchange(shown_, false)) {
      ++asksWhilePassing;
      return stopWhilePassing;
    }
    return stopAt != 0 && events.back() == "show " + std::to_string(stopAt);
  }

  std::vector<std::string> events;
  std::int64_t stopAt = 0;
  int asksWhilePassing = 0;
  bool stopWhilePassing = false;

 private:
  bool shown_ = false;
};

TEST(ImportRun, TableRecordsByTheirNumbersDeletedOnesPassedOverStopBeforeTheStep) {
  ScratchFolder folder(ScratchFolder::Enter::Yes);
  WriteDbf("CALLS.DBF", {{"CALL", 'C', 8}}, {{"A"}, {"B"}, {"C"}, {"D"}, {"E"}},
           {false, true, false, false, true});
  DbfTable table("Calls", "CALLS.DBF");
  MemoryCallbook book;
  std::vector<std::string> stepped;
  RecordingDisplay display;
  TableSource source(table, [&](const IRecordFields& record, IStationLookup&) {
    stepped.push_back(record.FieldAsString("CALL"));
    display.events.push_back("step");
    if (stepped.back() == "A")
      return RecordPlan::Insert(test::Station({{StationField::STACJA, "A"}}));
    if (stepped.back() == "C") return RecordPlan::FillLocator("A", "JO00AA");
    return RecordPlan::Skip(RecordOutcome::NoCallSign);
  });

  RunSummary summary = RunImport(source, book, display);
  EXPECT_FALSE(summary.stopped);
  EXPECT_EQ(summary.records, 3);
  EXPECT_EQ(display.events, (std::vector<std::string>{"begin 5", "show 1", "step", "show 3", "step",
                                                      "show 4", "step"}));
  // Every record read is counted once by what came of it; the deleted ones,
  // the last record among them, are counted apart.
  EXPECT_EQ(summary.added, 1);
  EXPECT_EQ(summary.locatorsFilled, 1);
  EXPECT_EQ(summary.noCallSign, 1);
  EXPECT_EQ(summary.alreadyThere + summary.skipped, 0);
  EXPECT_EQ(summary.deleted, 2);
  // The run carries the plans out: one insert, one locator filled.
  EXPECT_EQ(test::RowText(book, "A"), "STACJA=A|LOKATOR=JO00AA");
  EXPECT_EQ(book.inserts + book.updates, 2);

  // A second run over the same open table starts again at its first record;
  // a stop request ends it after the display, before the step.
  display.events.clear();
  stepped.clear();
  display.stopAt = 3;
  book = MemoryCallbook{};
  summary = RunImport(source, book, display);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.records, 1);
  EXPECT_EQ(summary.added, 1);
  EXPECT_EQ(summary.deleted, 1);
  EXPECT_EQ(stepped, std::vector<std::string>{"A"});
  EXPECT_EQ(display.events.back(), "show 3");
}

// However long a stretch of deleted records, the run is asked whether to
// stop while it is passed over, and the records around it come as before.
TEST(ImportRun, AStopRequestIsHonouredAmongAStretchOfDeletedRecords) {
  ScratchFolder folder(ScratchFolder::Enter::Yes);
  const std::int64_t stretch = 2 * DbfTable::kPassOverBytes / 9 + 1;  // records of 9 bytes
  {
    DbfWriter w("CALLS.DBF", {{"CALL", 'C', 8}});
    w.Add({"A"});
    for (std::int64_t i = 0; i < stretch; ++i) w.Add({"X"}, true);
    w.Add({"B"});
    for (std::int64_t i = 0; i < stretch; ++i) w.Add({"X"}, true);
  }
  const std::int64_t total = 2 * stretch + 2;
  DbfTable table("Calls", "CALLS.DBF");
  MemoryCallbook book;
  RecordingDisplay display;
  TableSource source(table, {});
  RunSummary summary = RunImport(source, book, display);
  EXPECT_FALSE(summary.stopped);
  EXPECT_EQ(display.events, (std::vector<std::string>{"begin " + std::to_string(total), "show 1",
                                                      "show " + std::to_string(stretch + 2)}));
  EXPECT_GE(display.asksWhilePassing, 2);  // in each stretch
  EXPECT_EQ(summary.records, 2);
  EXPECT_EQ(summary.deleted, 2 * stretch);

  display = RecordingDisplay{};
  display.stopWhilePassing = true;
  summary = RunImport(source, book, display);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(display.events, (std::vector<std::string>{"begin " + std::to_string(total), "show 1"}));
  EXPECT_EQ(summary.records, 1);
  EXPECT_GT(summary.deleted, 0);
  EXPECT_LT(summary.deleted, stretch);
}

TEST(ImportRun, ReportLinesAfterTheHeaderCountedFromOne) {
  ScratchFolder folder(ScratchFolder::Enter::Yes);
  {
    std::ofstream out("AMATEUR.RPT", std::ios::binary);
    out << "h1\r\nh2\r\nh3\r\nh4\r\nfirst\r\n\r\nthird\r\n";
  }
  std::vector<std::string> lines;
  ReportSource source("AMATEUR.RPT", [&](std::string_view line, IStationLookup&) {
    lines.emplace_back(line);
    return RecordPlan::Skip(RecordOutcome::Skipped);
  });
  MemoryCallbook book;
  RecordingDisplay display;
  const RunSummary summary = RunImport(source, book, display);
  EXPECT_EQ(summary.records, 3);
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "", "third"}));
  EXPECT_EQ(display.events, (std::vector<std::string>{"begin", "show 1", "show 2", "show 3"}));
}

TEST(ImportRun, HeadlessRunOfAKindNeedsItsSourceFile) {
  ScratchFolder folder(ScratchFolder::Enter::Yes);
  MemoryCallbook book;
  NoDisplay none;
  for (const ImportKind& kind : ImportKinds()) {
    try {
      RunImportInWorkingFolder(kind, book, none);
      ADD_FAILURE() << kind.sourceFile;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), "Brak pliku: " + std::string(kind.sourceFile));
    }
  }
  EXPECT_EQ(book.lookups, 0);
}

}  // namespace
}  // namespace tolvo
