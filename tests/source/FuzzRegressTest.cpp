// Replays the inputs that the fuzz targets once failed on, and their seed
// inputs, through the same cases the targets run, so that a fixed fault
// stays fixed in every ordinary build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzHarness.h"
#include "tests/support/ScratchFolder.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;

// $TOLVO_FIXTURES, else the fixtures beside this file's folder.
fs::path FixtureRoot() {
  if (const char* root = std::getenv("TOLVO_FIXTURES"); root && *root) return root;
  return fs::path(__FILE__).parent_path().parent_path() / "fixtures";
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

using fuzz::Cases;

// The names of the targets.
std::vector<std::string> Targets() {
  std::vector<std::string> names;
  for (const auto& entry : Cases()) names.push_back(entry.first);
  return names;
}

// The files of one target's folder, in name order (none when it is absent).
std::vector<fs::path> Inputs(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Runs every input of `folder` through the case of `target`, each in a
// fresh working folder; returns how many there were.
int Replay(const std::string& target, const fs::path& folder) {
  const auto& run = Cases().at(target);
  int count = 0;
  for (const fs::path& file : Inputs(folder)) {
    ++count;
    const std::string bytes = ReadAll(file);
    ScratchFolder scratch(ScratchFolder::Enter::Yes);
    try {
      run(bytes);
    } catch (const std::exception& e) {
      ADD_FAILURE() << file << ": " << e.what();
    }
  }
  return count;
}

class FuzzReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzReplay, SavedFindingsAndSeedsPass) {
  const std::string target = GetParam();
  Replay(target, FixtureRoot() / "fuzz-regress" / target);
  // The seed corpus lies beside the targets; every target has seeds.
  const fs::path seeds = FixtureRoot().parent_path() / "fuzz" / "corpus" / target;
  EXPECT_GT(Replay(target, seeds), 0) << "no seed inputs in " << seeds;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(Targets()),
                         [](const auto& info) { return info.param; });

// A saved finding in a folder that names no target would never be replayed.
TEST(FuzzRegressFolders, EveryFolderNamesATarget) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(FixtureRoot() / "fuzz-regress", ec))
    EXPECT_TRUE(Cases().count(e.path().filename().string())) << e.path();
}

// The report case compares the reader with this description of its lines,
// so the description itself must be right.
TEST(FuzzReportLines, SplitCleanAndCut) {
  using V = std::vector<std::string>;
  auto lines = [](std::string_view bytes) { return fuzz::ExpectedReportLines(bytes).lines; };
  EXPECT_EQ(lines(""), V{});
  EXPECT_EQ(lines("a\r\nb\n"), (V{"a", "b"}));
  EXPECT_EQ(lines("a\nb"), (V{"a", "b"}));
  EXPECT_EQ(lines("a\r\r\n\n"), (V{"a", "", ""}));
  EXPECT_EQ(lines("x\ry\n\r"), (V{"x", "y", ""}));
  EXPECT_EQ(lines("a\nb\x1A"
                  "c\n"),
            (V{"a", "b"}));
  EXPECT_EQ(lines("\x1A"
                  "a\n"),
            V{});
  const std::string longLine(TextReport::kKeep, 'k');
  EXPECT_EQ(lines(longLine + "k\r\n" + "tail\n"), (V{longLine, "tail"}));
  const auto tooLong =
      fuzz::ExpectedReportLines("a\n" + std::string(TextReport::kMaxLine + 1, 'k') + "\nb\n");
  EXPECT_EQ(tooLong.lines, V{"a"});
  EXPECT_TRUE(tooLong.tooLong);
  EXPECT_FALSE(fuzz::ExpectedReportLines(std::string(TextReport::kMaxLine, 'k')).tooLong);
}

}  // namespace
}  // namespace tolvo
