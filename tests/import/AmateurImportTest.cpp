#include <gtest/gtest.h>

#include <string>

#include "import/AmateurImport.h"
#include "tests/import/RecordMap.h"
#include "tools/writers/ReportWriter.h"

namespace tolvo {
namespace {

using test::RowText;
using F = StationField;

std::string Line(std::string_view call, std::string_view first = "", std::string_view surname = "",
                 std::string_view address = "", std::string_view town = "",
                 std::string_view region = "", std::string_view postal = "") {
  return AmateurLine(call, first, surname, address, town, region, postal);
}

TEST(AmateurImport, FullLineFillsEveryColumn) {
  MemoryCallbook book;
  std::string line = Line("ve3abc", "John Paul", "Smith", "12 Main St", "Toronto", "ON", "M5V 2T6");
  // The gaps between the columns are never read.
  for (std::size_t gap : {7, 43, 79, 150, 186, 189}) line[gap - 1] = '|';
  test::Import(ImportAmateurLine, line, book);
  EXPECT_EQ(RowText(book, "VE3ABC"),
            "STACJA=VE3ABC|NAZWA=Smith John Paul|IMIE=John|NAZWISKO=Smith|MIASTO=Toronto"
            "|KODPOCZT=M5V 2T6|ADRES=12 Main St|DOMENA=ON|KRAJ=1");
}

TEST(AmateurImport, LineLengthDecidesWhetherItIsARecord) {
  const std::string full = Line("VA3AAA", "Ann", "Lee", "", "", "", "K1A0B1");
  MemoryCallbook book;
  test::Import(ImportAmateurLine, std::string_view(full).substr(0, 189), book);
  EXPECT_TRUE(book.Rows().empty());
  EXPECT_EQ(book.lookups, 0);

  test::Import(ImportAmateurLine, std::string_view(full).substr(0, 190), book);
  EXPECT_EQ(RowText(book, "VA3AAA"),
            "STACJA=VA3AAA|NAZWA=Lee Ann|IMIE=Ann|NAZWISKO=Lee|KODPOCZT=K|KRAJ=1");

  // Bytes after column 199 are not part of any column.
  MemoryCallbook longer;
  test::Import(ImportAmateurLine, full + "XXXXXXXX", longer);
  EXPECT_EQ((*longer.Row("VA3AAA"))[F::KODPOCZT], "K1A0B1");

  MemoryCallbook none;
  test::Import(ImportAmateurLine, "", none);
  EXPECT_TRUE(none.Rows().empty());
}

TEST(AmateurImport, FirstNameForImie) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"John Paul", "John"},
      {"Mary Ann Lee", "Mary Ann Lee"},  // more than one blank: kept whole
      {"  Peter  ", "Peter"},
      {"", std::nullopt},
  };
  for (const auto& [first, want] : cases) {
    MemoryCallbook book;
    test::Import(ImportAmateurLine, Line("VE1X", first, "Smith"), book);
    EXPECT_EQ((*book.Row("VE1X"))[F::IMIE], want) << first;
  }
}

TEST(AmateurImport, UnknownPlaceholdersMatchOnlyInTheirOwnCase) {
  MemoryCallbook book;
  test::Import(ImportAmateurLine,
               Line("VE1A", "First Name Unknown", "Smith", "ADDRESS UNKNOWN", "CITY UNKNOWN"),
               book);
  test::Import(ImportAmateurLine, Line("VE1B", "John", " Surname Unknown "), book);
  test::Import(ImportAmateurLine, Line("VE1C", "First Name Unknown", "Surname Unknown"), book);
  test::Import(
      ImportAmateurLine,
      Line("VE1D", "first name unknown", "surname unknown", "Address Unknown", "city unknown"),
      book);
  EXPECT_EQ(RowText(book, "VE1A"), "STACJA=VE1A|NAZWA=Smith|NAZWISKO=Smith|KRAJ=1");
  EXPECT_EQ(RowText(book, "VE1B"), "STACJA=VE1B|NAZWA=John|IMIE=John|KRAJ=1");
  EXPECT_EQ(RowText(book, "VE1C"), "STACJA=VE1C|KRAJ=1");
  // IMIE: two blanks, so the names stay whole, cut to 15.
  EXPECT_EQ(RowText(book, "VE1D"),
            "STACJA=VE1D|NAZWA=surname unknown first name unknown|IMIE=first name unkn|"
            "NAZWISKO=surname unknown|MIASTO=city unknown|ADRES=Address Unknown|KRAJ=1");
}

TEST(AmateurImport, CallSignCapitalsAreAsciiOnly) {
  MemoryCallbook book;
  // 0xE1 (á) is a letter in Windows-1250 but the report's call signs are
  // ASCII; it passes unchanged.
  test::Import(ImportAmateurLine,
               Line(" va3\xE1"
                    "b"),
               book);
  ASSERT_NE(book.Row("VA3\xE1"
                     "B"),
            nullptr);
}

TEST(AmateurImport, SkipsEmptyCallSignsDuplicatesAndKnownStations) {
  MemoryCallbook book;
  book.Insert(test::Station({{F::STACJA, "VE7OLD"}, {F::DOMENA, "BC"}}, 291));

  test::Import(ImportAmateurLine, Line("", "John", "Smith", "1 Main", "Ottawa", "ON", "K1A"), book);
  test::Import(ImportAmateurLine, Line("VE3NEW", "John", "Smith"), book);
  test::Import(ImportAmateurLine, Line("ve3new", "Jane", "Doe", "", "", "QC"), book);
  test::Import(ImportAmateurLine, Line("VE7OLD", "Jane", "Doe", "2 Main", "Victoria", "ON", "V8W"),
               book);

  EXPECT_EQ(book.Rows().size(), 2u);
  EXPECT_EQ(RowText(book, "VE3NEW"),
            "STACJA=VE3NEW|NAZWA=Smith John|IMIE=John|NAZWISKO=Smith|KRAJ=1");
  EXPECT_EQ(RowText(book, "VE7OLD"), "STACJA=VE7OLD|DOMENA=BC|KRAJ=291");
  EXPECT_EQ(book.updates, 0);
}

}  // namespace
}  // namespace tolvo
