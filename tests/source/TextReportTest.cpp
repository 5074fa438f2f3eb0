#include "source/TextReport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>

#include "tests/support/ScratchFolder.h"
#include "tools/writers/ReportWriter.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;

class TextReportTest : public ::testing::Test {
 protected:
  // All lines of a file holding `bytes`, then "error: <text>" if reading
  // them raised.
  std::vector<std::string> Lines(const std::string& bytes) {
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out << bytes;
    }
    TextReport r;
    r.Open(path);
    std::vector<std::string> lines;
    std::string line;
    try {
      while (r.ReadLine(line)) {
        EXPECT_LE(line.capacity(), 4 * TextReport::kKeep);  // however long the line
        lines.push_back(line);
      }
    } catch (const std::runtime_error& e) {
      lines.push_back(std::string("error: ") + e.what());
      return lines;
    }
    EXPECT_FALSE(r.ReadLine(line));  // the end stays the end
    EXPECT_EQ(line, "");
    r.Close();
    return lines;
  }
  using L = std::vector<std::string>;
  ScratchFolder folder;
  const fs::path path = folder / "r.rpt";
};

TEST_F(TextReportTest, LineEndsAndCarriageReturns) {
  EXPECT_EQ(Lines(""), L{});
  EXPECT_EQ(Lines("a\r\nb\nc\r\n"), (L{"a", "b", "c"}));
  EXPECT_EQ(Lines("last line without end"), L{"last line without end"});
  EXPECT_EQ(Lines("\n\r\n\nx"), (L{"", "", "", "x"}));
  // A lone CR ends a line too; CR LF is one line end.
  EXPECT_EQ(Lines("ab\rcd\r\r\nef\r"), (L{"ab", "cd", "", "ef"}));
  EXPECT_EQ(Lines("a\rb\rc\r"), (L{"a", "b", "c"}));
  EXPECT_EQ(Lines("\r\n\rx\n\r"), (L{"", "", "x", ""}));
  EXPECT_EQ(Lines(std::string("nul\0inside\n", 11)), L{std::string("nul\0inside", 10)});
}

TEST_F(TextReportTest, CtrlZEndsTheFile) {
  EXPECT_EQ(Lines("a\r\nb\r\n\x1a"
                  "c\r\nd\r\n"),
            (L{"a", "b"}));
  EXPECT_EQ(Lines("a\r\nbefore\x1a"
                  "after\r\n"),
            (L{"a", "before"}));
  EXPECT_EQ(Lines("\x1a"
                  "a\n"),
            L{});
}

TEST_F(TextReportTest, OnlyTheStartOfALineIsKeptAndAFarTooLongLineRaises) {
  const std::size_t k = TextReport::kKeep, max = TextReport::kMaxLine;
  const std::string exact(k, 'e');
  EXPECT_EQ(Lines(exact + "\r\nnext"), (L{exact, "next"}));

  // The longest line allowed costs no more than a short one, and the line
  // after it comes whole; one byte more is a damaged report, named by its
  // line, and so is a file of zero bytes without any line end.
  EXPECT_EQ(Lines("head" + std::string(max - 4, 'z') + "\r\nnext line\r\n"),
            (L{"head" + std::string(k - 4, 'z'), "next line"}));
  EXPECT_EQ(Lines("first\n" + std::string(max + 1, 'z') + "\nnext\n"),
            (L{"first", "error: " + path.string() +
                            ": uszkodzony raport: wiersz 2 ma ponad 65536 bajtów, a wiersze "
                            "raportu mają około 200 bajtów. Pobierz listę ponownie i powtórz "
                            "import."}));
  const L zeros = Lines(std::string(4 * max, '\0'));
  ASSERT_EQ(zeros.size(), 1u);
  EXPECT_NE(zeros[0].find("wiersz 1 ma ponad"), std::string::npos) << zeros[0];
}

TEST_F(TextReportTest, OpenAndCloseFailuresNameTheFile) {
  TextReport r;
  r.Close();  // safe when not open
  const fs::path missing = folder / "AMATEUR.RPT";
  try {
    r.Open(missing);
    FAIL() << "no error";
  } catch (const ReaderError& e) {
    // The code and its values, and the text made of them.
    EXPECT_EQ(e.fault(), ReaderFault::CannotOpen);
    EXPECT_EQ(e.values().err, ENOENT);
    EXPECT_EQ(e.file(), missing.string());
    const std::string what = e.what();
    EXPECT_NE(what.find(missing.string()), std::string::npos) << what;
    EXPECT_NE(what.find("nie można otworzyć pliku: nie ma takiego pliku ani folderu"),
              std::string::npos)
        << what;
  }
  EXPECT_FALSE(r.IsOpen());
  EXPECT_THROW(r.Open(folder.Path()), std::runtime_error);  // a folder is not a report
  // Nor is a FIFO (never waited on for a writer) or a device such as
  // /dev/zero (never read for ever), reached through a link as well.
  const fs::path fifo = folder / "fifo.rpt", zero = folder / "zero.rpt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", zero);
  for (const auto& [path, what] : {std::pair{fifo, "to jest potok (FIFO), a nie plik"},
                                   std::pair{zero, "to jest urządzenie, a nie plik"}}) {
    try {
      r.Open(path);
      ADD_FAILURE() << path;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
    }
  }
  std::string line;
  EXPECT_THROW(r.ReadLine(line), std::runtime_error);
}

TEST_F(TextReportTest, ReopeningStartsAgainFromTheTop) {
  const fs::path p = folder / "AMATEUR.RPT";
  WriteAmateurReport(
      p, {AmateurLine("VE3ABC", "John Paul", "Smith", "1 Main St", "Ottawa", "ON", "K1A 0B1")});
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
