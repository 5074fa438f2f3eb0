#include "source/TextReport.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/ScratchFolder.h"
#include "tools/writers/ReportWriter.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;

class TextReportTest : public ::testing::Test {
 protected:
  // All lines of a file holding `bytes`.
  std::vector<std::string> Lines(const std::string& bytes) {
    const fs::path p = folder / "r.rpt";
    {
      std::ofstream out(p, std::ios::binary | std::ios::trunc);
      out << bytes;
    }
    TextReport r;
    r.Open(p);
    std::vector<std::string> lines;
    std::string line;
    while (r.ReadLine(line)) lines.push_back(line);
    EXPECT_FALSE(r.ReadLine(line));  // the end stays the end
    EXPECT_EQ(line, "");
    r.Close();
    return lines;
  }
  using L = std::vector<std::string>;
  ScratchFolder folder;
};

TEST_F(TextReportTest, LineEndsAndCarriageReturns) {
  EXPECT_EQ(Lines(""), L{});
  EXPECT_EQ(Lines("a\r\nb\nc\r\n"), (L{"a", "b", "c"}));
  EXPECT_EQ(Lines("last line without end"), L{"last line without end"});
  EXPECT_EQ(Lines("\n\r\n\nx"), (L{"", "", "", "x"}));
  EXPECT_EQ(Lines("ab\rcd\r\r\nef\r"), (L{"abcd", "ef"}));  // a lone CR is dropped
  EXPECT_EQ(Lines(std::string("nul\0inside\n", 11)), L{std::string("nul\0inside", 10)});
}

TEST_F(TextReportTest, CtrlZEndsTheFile) {
  EXPECT_EQ(Lines("a\r\nb\r\n\x1a" "c\r\nd\r\n"), (L{"a", "b"}));
  EXPECT_EQ(Lines("a\r\nbefore\x1a" "after\r\n"), (L{"a", "before"}));
  EXPECT_EQ(Lines("\x1a" "a\n"), L{});
}

TEST_F(TextReportTest, OnlyTheStartOfALongLineIsKept) {
  const std::size_t k = TextReport::kKeep;
  const std::string exact(k, 'e');
  EXPECT_EQ(Lines(exact + "\r\nnext"), (L{exact, "next"}));
  // CRs do not take up room.
  EXPECT_EQ(Lines(std::string(k - 1, 'c') + "\r\r\r" + "xy\n"), L{std::string(k - 1, 'c') + "x"});

  // A line of 20 MB costs no more than a short one, and the line after it
  // comes whole.
  std::string big = "head" + std::string(20 << 20, 'z') + "\r\nnext line\r\n";
  const fs::path p = folder / "big.rpt";
  {
    std::ofstream out(p, std::ios::binary);
    out << big;
  }
  TextReport r;
  r.Open(p);
  std::string line;
  ASSERT_TRUE(r.ReadLine(line));
  EXPECT_EQ(line, "head" + std::string(k - 4, 'z'));
  EXPECT_LE(line.capacity(), 4 * k);
  ASSERT_TRUE(r.ReadLine(line));
  EXPECT_EQ(line, "next line");
  EXPECT_FALSE(r.ReadLine(line));
  r.Close();
}

TEST_F(TextReportTest, OpenAndCloseFailuresNameTheFile) {
  TextReport r;
  r.Close();  // safe when not open
  const fs::path missing = folder / "AMATEUR.RPT";
  try {
    r.Open(missing);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find(missing.string()), std::string::npos) << what;
    EXPECT_NE(what.find("nie można otworzyć pliku: nie ma takiego pliku ani folderu"),
              std::string::npos)
        << what;
  }
  EXPECT_FALSE(r.IsOpen());
  EXPECT_THROW(r.Open(folder.Path()), std::runtime_error);  // a folder is not a report
  std::string line;
  EXPECT_THROW(r.ReadLine(line), std::runtime_error);
}

TEST_F(TextReportTest, ReopeningStartsAgainFromTheTop) {
  const fs::path p = folder / "AMATEUR.RPT";
  WriteAmateurReport(p, {AmateurLine("VE3ABC", "John Paul", "Smith", "1 Main St", "Ottawa", "ON",
                                     "K1A 0B1")});
  TextReport r;
  for (int run = 0; run < 2; ++run) {
    r.Open(p);
    std::vector<std::string> lines;
    std::string line;
    while (r.ReadLine(line)) lines.push_back(line);
    r.Close();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], AmateurHeader()[0]);
    EXPECT_EQ(lines[4].size(), 199u);
  }
}

TEST(ReportWriterTest, ValuesStandInTheirColumns) {
  const std::string l =
      AmateurLine("VE3ABC", "John Paul", "Smith", "1 Main St", "Ottawa", "ON", "K1A0B1");
  auto column = [&](std::size_t from, std::size_t to) { return l.substr(from - 1, to - from + 1); };
  EXPECT_EQ(column(1, 6), "VE3ABC");
  EXPECT_EQ(column(8, 42), "John Paul" + std::string(26, ' '));
  EXPECT_EQ(column(44, 48), "Smith");
  EXPECT_EQ(column(80, 88), "1 Main St");
  EXPECT_EQ(column(151, 156), "Ottawa");
  EXPECT_EQ(column(187, 188), "ON");
  EXPECT_EQ(column(190, 199), "K1A0B1    ");
  EXPECT_EQ(l[6], ' ');
  EXPECT_THROW(AmateurLine("VE3ABCD", "", "", "", "", "", ""), std::invalid_argument);
}

}  // namespace
}  // namespace tolvo
