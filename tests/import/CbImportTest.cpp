#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "import/CbImport.h"
#include "tests/import/RecordMap.h"

namespace tolvo {
namespace {

using test::RecordMap;
using test::RowText;
using F = StationField;

RecordMap CBRecord(std::string znak, std::string imie = "", std::string nazwisko = "",
                   std::string adres = "", std::string poczta = "", std::string loc = "",
                   std::string kod = "") {
  return RecordMap{{"ZNAK", znak},   {"IMIE", imie},     {"NAZWISKO", nazwisko},
                   {"ADRES", adres}, {"POCZTA", poczta}, {"LOC", loc},
                   {"KOD", kod}};
}

// A station already in the callbook, with every column the importer could set.
void PutStation(ICallbook& book, std::string_view call) {
  book.Insert(test::Station(
      {{F::STACJA, call}, {F::NAZWA, "Stary Wpis"}, {F::LOKATOR, "KO00AA"}, {F::WOJEW, "X"}}, 1));
}

TEST(CBImport, FullRecordFillsEveryColumn) {
  MemoryCallbook book;
  // Mazovia: "Łódź" as 0x9C 0xA2 'd' 0xA6; "ul. Źródlana" with 0xA0 (Ź) 0xA2 (ó).
  test::Import(ImportCBRecord,
               CBRecord(" test1 ", " Jan ", "Kowalski",
                        "ul. \xA0r\xA2"
                        "dlana 3",
                        "\x9C\xA2"
                        "d\xA6",
                        "JO90KH", "00950"),
               book);
  EXPECT_EQ(RowText(book, "TEST1"),
            "STACJA=TEST1|NAZWA=Kowalski Jan|IMIE=Jan|NAZWISKO=Kowalski|MIASTO=\xA3\xF3"
            "d\x9F|KODPOCZT=00-950|ADRES=ul. \x8Fr\xF3"
            "dlana 3|LOKATOR=JO90KH|WOJEW=G|POWIAT=ET|KRAJ=269");
  EXPECT_EQ(book.inserts, 1);
}

TEST(CBImport, ReadsEachFieldOnceInTableOrder) {
  MemoryCallbook book;
  RecordMap rec = CBRecord("SP1ABC");
  test::Import(ImportCBRecord, rec, book);
  EXPECT_EQ(rec.reads, (std::vector<std::string>{"Znak", "Imie", "Nazwisko", "Adres", "Poczta",
                                                 "Loc", "Kod"}));
}

TEST(CBImport, FullNameFromWhicheverNamePartsExist) {
  MemoryCallbook book;
  test::Import(ImportCBRecord, CBRecord("SP1A", "", "Kowalski"), book);
  test::Import(ImportCBRecord, CBRecord("SP1B", "Jan", ""), book);
  test::Import(ImportCBRecord, CBRecord("SP1C", "  ", "  "), book);
  EXPECT_EQ(RowText(book, "SP1A"), "STACJA=SP1A|NAZWA=Kowalski|NAZWISKO=Kowalski|KRAJ=269");
  EXPECT_EQ(RowText(book, "SP1B"), "STACJA=SP1B|NAZWA=Jan|IMIE=Jan|KRAJ=269");
  // A call sign alone still gives a row: STACJA and KRAJ, all else NULL.
  EXPECT_EQ(RowText(book, "SP1C"), "STACJA=SP1C|KRAJ=269");
}

TEST(CBImport, LocatorAndRegion) {
  struct Case {
    const char* loc;
    std::optional<std::string> lokator, wojew, powiat;
  };
  const Case cases[] = {
      {"JO90KH", "JO90KH", "G", "ET"},    // first of several rows for this locator
      {" JO90KH ", "JO90KH", "G", "ET"},  // blanks are stripped before the lookup
      {"JO90LE", "JO90LE", "G", std::nullopt},
      {"JN99HS", "JN99HS", "G", "CY"},
      {"?", std::nullopt, std::nullopt, std::nullopt},
      {"JO90??", "JO90??", std::nullopt, std::nullopt},
      {"jo90kh", "jo90kh", std::nullopt, std::nullopt},  // stored as given, not found
      {"JO90", "JO90", std::nullopt, std::nullopt},
      {"KO02", "KO02", std::nullopt, std::nullopt},        // only 6-byte locators are looked up
      {"JO90KH12", "JO90KH", std::nullopt, std::nullopt},  // cut by the column, no lookup
  };
  for (const Case& c : cases) {
    MemoryCallbook book;
    test::Import(ImportCBRecord, CBRecord("SP2X", "", "", "", "", c.loc), book);
    const StationRow* row = book.Row("SP2X");
    ASSERT_NE(row, nullptr) << c.loc;
    EXPECT_EQ((*row)[F::LOKATOR], c.lokator) << c.loc;
    EXPECT_EQ((*row)[F::WOJEW], c.wojew) << c.loc;
    EXPECT_EQ((*row)[F::POWIAT], c.powiat) << c.loc;
  }
}

TEST(CBImport, PostalCodeGetsItsHyphenOnlyAtFiveBytes) {
  const std::pair<const char*, const char*> cases[] = {
      {"00950", "00-950"}, {" 00950 ", "00-950"}, {"00-950", "00-950"},
      {"950", "950"},      {"ABCDE", "AB-CDE"},   {"009500", "009500"},
  };
  for (const auto& [kod, want] : cases) {
    MemoryCallbook book;
    test::Import(ImportCBRecord, CBRecord("SP3X", "", "", "", "", "", kod), book);
    EXPECT_EQ(book.Row("SP3X")->text[static_cast<std::size_t>(F::KODPOCZT)], want) << kod;
  }
}

TEST(CBImport, OnlyNamesAddressAndTownAreConvertedFromMazovia) {
  MemoryCallbook book;
  // 0x86 is Mazovia ą; in the call sign, locator and postal code it stays.
  test::Import(ImportCBRecord,
               CBRecord("sp\x86", "\x86", "\x86", "\x86", "\x86", "\x86\x86",
                        "1\x86"
                        "3"),
               book);
  EXPECT_EQ(RowText(book, "SP\x86"),
            "STACJA=SP\x86|NAZWA=\xB9 \xB9|IMIE=\xB9|NAZWISKO=\xB9|MIASTO=\xB9|KODPOCZT=1\x86"
            "3|ADRES=\xB9|LOKATOR=\x86\x86|KRAJ=269");
}

TEST(CBImport, EmptyCallSignWritesNothing) {
  MemoryCallbook book;
  test::Import(ImportCBRecord, CBRecord("", "Jan", "Kowalski"), book);
  test::Import(ImportCBRecord, CBRecord(" \t ", "Jan", "Kowalski", "", "", "JO90KH", "00950"),
               book);
  EXPECT_TRUE(book.Rows().empty());
  EXPECT_EQ(book.inserts, 0);
}

TEST(CBImport, FirstOccurrenceWinsAndKnownStationsStayUntouched) {
  MemoryCallbook book;
  PutStation(book, "SP9OLD");
  test::Import(ImportCBRecord, CBRecord("SP5NEW", "Jan", "Pierwszy"), book);
  test::Import(ImportCBRecord, CBRecord("sp5new", "Adam", "Drugi", "", "", "JO90KH"), book);
  test::Import(ImportCBRecord,
               CBRecord("SP9OLD", "Adam", "Nowak", "Polna 1", "Opole", "JN99HR", "45100"), book);
  EXPECT_EQ(RowText(book, "SP5NEW"),
            "STACJA=SP5NEW|NAZWA=Pierwszy Jan|IMIE=Jan|NAZWISKO=Pierwszy|KRAJ=269");
  EXPECT_EQ(RowText(book, "SP9OLD"),
            "STACJA=SP9OLD|NAZWA=Stary Wpis|LOKATOR=KO00AA|WOJEW=X|KRAJ=1");
  EXPECT_EQ(book.inserts, 2);
  EXPECT_EQ(book.updates, 0);
}

TEST(CBImport, OverLongCallSignRepeatedIsWrittenOnceWithoutError) {
  MemoryCallbook book;
  test::Import(ImportCBRecord, CBRecord("SP1ABCDEFGHIJ", "Jan"), book);
  EXPECT_NO_THROW(test::Import(ImportCBRecord, CBRecord("SP1ABCDEFGHIJ", "Adam"), book));
  EXPECT_NO_THROW(test::Import(ImportCBRecord, CBRecord("SP1ABCDEFGXYZ", "Ewa"), book));
  EXPECT_EQ(book.inserts, 1);
  EXPECT_EQ(RowText(book, "SP1ABCDEFG"), "STACJA=SP1ABCDEFG|NAZWA=Jan|IMIE=Jan|KRAJ=269");
}

TEST(CBImport, MissingFieldRaisesTheReadersErrorAndWritesNothing) {
  for (const char* field : {"Znak", "Loc", "Kod"}) {
    MemoryCallbook book;
    RecordMap rec = CBRecord("SP1ABC", "Jan", "Kowalski");
    rec.Drop(field);
    try {
      test::Import(ImportCBRecord, rec, book);
      ADD_FAILURE() << "no error without " << field;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Calls: Field '") + field + "' not found");
    }
    EXPECT_EQ(book.inserts, 0) << field;
  }
}

}  // namespace
}  // namespace tolvo
