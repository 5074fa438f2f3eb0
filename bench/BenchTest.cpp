// The benchmark's own parts: the generated station lists must give every
// importer N new stations (or the figures would measure something else), and
// the ratios and goals must be computed from the right figures.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "bench/BenchReport.h"
#include "bench/BenchSources.h"
#include "import/ImportKinds.h"
#include "import/ImportRun.h"
#include "store/MemoryCallbook.h"
#include "tests/support/ScratchFolder.h"

namespace tolvo::bench {
namespace {

// Walks a generated source with the imports' run loop, into the in-memory
// callbook.
void ImportInto(Source source, MemoryCallbook& book) {
  NoDisplay none;
  RunImportInWorkingFolder(ImportKindOf(source), book, none);
}

std::string Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(BenchSources, EveryRecordIsANewStationAndTheSecondPassOnlyLooksUp) {
  constexpr std::int64_t n = 300;
  for (const SourceInfo& info : kSources) {
    SCOPED_TRACE(std::string(info.file));
    ScratchFolder folder(ScratchFolder::Enter::Yes);
    WriteSource(info.source, folder.Path(), n, kDefaultSeed);
    MemoryCallbook book;
    ImportInto(info.source, book);
    EXPECT_EQ(book.inserts, n);
    EXPECT_EQ(book.lookups, n);
    ASSERT_EQ(book.Rows().size(), static_cast<std::size_t>(n));
    for (std::int64_t i : {std::int64_t{0}, n / 2, n - 1})
      EXPECT_NE(book.Row(StationCall(info.source, i)), nullptr) << i;

    ImportInto(info.source, book);
    EXPECT_EQ(book.inserts, n);
    EXPECT_EQ(book.updates, 0);
    EXPECT_EQ(book.lookups, 2 * n);
  }
}

TEST(BenchSources, SameSeedSameFilesOtherSeedOtherValues) {
  ScratchFolder a, b, c;
  for (const SourceInfo& info : kSources) {
    WriteSource(info.source, a.Path(), 50, 7);
    WriteSource(info.source, b.Path(), 50, 7);
    WriteSource(info.source, c.Path(), 50, 8);
    EXPECT_EQ(Bytes(a / info.file), Bytes(b / info.file)) << info.file;
    EXPECT_NE(Bytes(a / info.file), Bytes(c / info.file)) << info.file;
    if (!info.memo.empty()) {
      EXPECT_EQ(Bytes(a / info.memo), Bytes(b / info.memo)) << info.memo;
    }
  }
}

TEST(BenchSources, CallSignsAreDistinctAcrossSourcesAndFitTheReport) {
  std::set<std::string> seen;
  std::size_t expected = 0;
  for (const SourceInfo& info : kSources) {
    const std::int64_t max = MaxRecords(info.source);
    for (std::int64_t i :
         {std::int64_t{0}, std::int64_t{1}, std::int64_t{9}, std::int64_t{10}, max / 2, max - 1}) {
      const std::string call = StationCall(info.source, i);
      EXPECT_LE(call.size(), 6u) << call;
      seen.insert(call);
      ++expected;
    }
  }
  for (std::int64_t i : {0, 1, 175759}) {
    seen.insert(SyntheticCall(i));
    ++expected;
  }
  EXPECT_EQ(seen.size(), expected);

  // Every number below the maximum has a call sign of its own.
  std::set<std::string> all;
  for (std::int64_t i = 0; i < MaxRecords(Source::CB); ++i) all.insert(StationCall(Source::CB, i));
  EXPECT_EQ(all.size(), static_cast<std::size_t>(MaxRecords(Source::CB)));

  ScratchFolder folder;
  EXPECT_THROW(WriteSource(Source::OKCall, folder.Path(), MaxRecords(Source::OKCall) + 1, 1),
               std::invalid_argument);
}

Figure Fig(std::string subject, std::string pass, std::int64_t n, double seconds, long peakMiB = 50,
           std::string error = "") {
  Figure f;
  f.subject = std::move(subject);
  f.pass = std::move(pass);
  f.n = n;
  f.seconds = seconds;
  f.records = n;
  f.peakKiB = peakMiB * 1024;
  f.error = std::move(error);
  return f;
}

const GoalCheck* Goal(const std::vector<GoalCheck>& goals, const std::string& start) {
  for (const GoalCheck& g : goals)
    if (g.goal.rfind(start, 0) == 0) return &g;
  return nullptr;
}

TEST(BenchReport, RatiosUseTheFloorAndHeadlessOfTheSamePassAndN) {
  const std::vector<Figure> figures = {Fig("floor", "new", 1000, 1.0),
                                       Fig("floor", "find", 1000, 0.5),
                                       Fig("floor", "new", 10, 1.0),
                                       Fig("store", "new", 1000, 1.25),
                                       Fig("store", "find", 1000, 0.5),
                                       Fig("headless:cb", "new", 1000, 2.0),
                                       Fig("dialog:cb", "new", 1000, 4.0),
                                       Fig("dialog:cb", "find", 1000, 1.0),
                                       Fig("headless:okcall", "new", 1000, 1.0, 50, "failed"),
                                       Fig("display:cb", "new", 1000, 0.25)};
  EXPECT_DOUBLE_EQ(Rate(figures[0]), 1000);
  EXPECT_DOUBLE_EQ(*FloorRatio(figures, figures[3]), 0.8);
  EXPECT_DOUBLE_EQ(*FloorRatio(figures, figures[4]), 1.0);
  EXPECT_DOUBLE_EQ(*FloorRatio(figures, figures[6]), 0.25);
  EXPECT_DOUBLE_EQ(*HeadlessRatio(figures, figures[6]), 0.5);
  EXPECT_FALSE(HeadlessRatio(figures, figures[7]));  // no headless find figure
  EXPECT_FALSE(HeadlessRatio(figures, figures[5]));  // only dialogs have one
  EXPECT_FALSE(FloorRatio(figures, figures[8]));     // a failed run has none
  EXPECT_DOUBLE_EQ(Rate(figures[8]), 0);
  EXPECT_FALSE(FloorRatio(figures, figures[9]));  // showing progress does no database work

  const std::string table = FormatTable(figures, {10, 1000});
  EXPECT_NE(table.find("| dialog:cb "), std::string::npos);
  EXPECT_NE(table.find("FAILED"), std::string::npos);
  EXPECT_NE(table.find("0.80"), std::string::npos);
  EXPECT_NE(table.find(" 250.0 |"), std::string::npos);  // microseconds per record of display:cb
  EXPECT_EQ(table.find("log_c_sp"), std::string::npos);  // nothing measured, no row
}

TEST(BenchReport, GoalsAtTheLargestNAndMemoryAgainstTheSmallest) {
  const std::vector<Figure> figures = {Fig("floor", "new", 100, 1.0),
                                       Fig("floor", "new", 10, 1.0),
                                       Fig("store", "new", 100, 1.10),
                                       Fig("store", "new", 10, 100.0),  // only the largest N counts
                                       Fig("headless:cb", "new", 100, 1.25, 60),
                                       Fig("headless:cb", "new", 10, 1.0, 40),
                                       Fig("dialog:cb", "new", 100, 1.6, 80),
                                       Fig("dialog:cb", "new", 10, 1.0, 75)};
  const std::vector<GoalCheck> goals = CheckGoals(figures, {10, 100});
  ASSERT_NE(Goal(goals, "store new"), nullptr);
  EXPECT_TRUE(Goal(goals, "store new")->met);              // 1/1.1 = 0.91
  EXPECT_FALSE(Goal(goals, "headless:cb new >=")->met);    // 0.80
  EXPECT_TRUE(Goal(goals, "dialog:cb new >=")->met);       // 1.25/1.6 = 0.78
  EXPECT_FALSE(Goal(goals, "headless:cb new peak")->met);  // +20 MiB
  EXPECT_EQ(Goal(goals, "headless:cb new peak")->detail, "+20.0 MiB (floor +0.0 MiB)");
  EXPECT_TRUE(Goal(goals, "dialog:cb new peak")->met);  // +5 MiB
  EXPECT_EQ(Goal(goals, "store find")->detail, "not measured");
  EXPECT_NE(FormatGoals(goals).find("NOT met"), std::string::npos);

  // With one N there is nothing to compare the memory with.
  EXPECT_EQ(Goal(CheckGoals(figures, {100}), "headless:cb new peak"), nullptr);

  // Through the server: against floor-server, by the wall clock, time a
  // record over the floor's.
  std::vector<Figure> served = figures;
  for (auto [subject, pass, wall] : {std::tuple{"floor-server", "new", 1.0},
                                     {"floor-server", "find", 1.0},
                                     {"server:cb", "new", 0.7},
                                     {"server:cb", "find", 0.05}}) {
    Figure f = Fig(subject, pass, 100, wall);
    f.wallSeconds = wall;
    f.wall = true;
    served.push_back(f);
  }
  EXPECT_NEAR(*FloorRatio(served, served[served.size() - 2]), 1 / 0.7, 1e-9);
  const std::vector<GoalCheck> serverGoals = CheckGoals(served, {100});
  EXPECT_FALSE(Goal(serverGoals, "server:cb new wall time <= 0.60 x floor-server")->met);
  EXPECT_TRUE(Goal(serverGoals, "server:cb find wall time <= 0.10 x floor-server")->met);
  EXPECT_EQ(Goal(serverGoals, "server:cb find wall time")->detail,
            "0.05 (500.0 vs 10000.0 us/rec)");
}

TEST(BenchReport, DialogsOnDisplayServersAgainstTheOffscreenDialogByTheWallClock) {
  auto wall = [](Figure f, double wallSeconds) {
    f.wall = true;
    f.seconds = f.wallSeconds = wallSeconds;
    return f;
  };
  Figure floor = Fig("floor", "new", 1000, 0.5);
  floor.wallSeconds = 2.0;
  const std::vector<Figure> figures = {
      floor,
      wall(Fig("dialog:cb", "new", 1000, 0), 0.100),    // 100 us/rec
      wall(Fig("headless:cb", "new", 1000, 0), 0.096),  // the dialog +4
      wall(Fig("display:cb", "new", 1000, 0), 0.004),   // 4 us/rec
      wall(Fig("wake", "quiet", 1000, 0), 0.050),
      wall(Fig("wake", "woken", 1000, 0), 0.060),                 // waking costs +10
      wall(Fig("dialog-x11:cb", "new", 1000, 0), 0.114),          // +14
      wall(Fig("dialog-x11:cb", "find", 1000, 0), 0.020),         // no offscreen figure
      wall(Fig("dialog-wayland:cb", "new", 1000, 0, 61), 0.136),  // +36, +11 MiB
      wall(Fig("dialog:okcall", "new", 1000, 0, 50), 0.100),
      wall(Fig("dialog-wayland:okcall", "new", 1000, 0, 60), 0.110)};
  // A dialog's ratio takes the floor's rate by the dialog's clock.
  EXPECT_DOUBLE_EQ(*FloorRatio(figures, figures[1]), 20.0);

  const std::vector<GoalCheck> goals = CheckGoals(figures, {1000});
  ASSERT_NE(Goal(goals, "dialog-x11:cb new <= dialog:cb + wake + 5 us/rec"), nullptr);
  EXPECT_TRUE(Goal(goals, "dialog-x11:cb new <=")->met);
  EXPECT_EQ(Goal(goals, "dialog-x11:cb new <=")->detail,
            "+14.0 us/rec (114.0 vs 100.0; wake +10.0; CPU with the server +0.0)");
  EXPECT_EQ(Goal(goals, "dialog-x11:cb find <=")->detail, "not measured");
  EXPECT_FALSE(Goal(goals, "dialog-wayland:cb new <= dialog:cb + 35")->met);
  EXPECT_TRUE(Goal(goals, "dialog:cb new <= headless:cb + 5 us/rec")->met);
  EXPECT_FALSE(Goal(goals, "display:cb new <= 3 us/rec")->met);
  EXPECT_FALSE(Goal(goals, "dialog-wayland:cb new peak memory")->met);
  EXPECT_TRUE(Goal(goals, "dialog-wayland:okcall new <=")->met);
  EXPECT_TRUE(Goal(goals, "dialog-wayland:okcall new peak memory")->met);
  EXPECT_TRUE(TimedByWallClock("dialog-wayland:cb"));
  EXPECT_FALSE(TimedByWallClock("headless:cb"));
}

}  // namespace
}  // namespace tolvo::bench
