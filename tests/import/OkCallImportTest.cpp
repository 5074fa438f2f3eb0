#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "import/OkCallImport.h"
#include "tests/import/RecordMap.h"

namespace tolvo {
namespace {

using test::RecordMap;
using test::RowText;
using F = StationField;

RecordMap OKRecord(std::string call, std::string name = "", std::string lastName = "",
                   std::string address = "", std::string city = "", std::string zip = "") {
  return RecordMap{{"call", call},       {"name", name}, {"lastname", lastName},
                   {"address", address}, {"city", city}, {"zip", zip}};
}

TEST(OKCallImport, FullRecord) {
  MemoryCallbook book;
  // Windows-1250 á 0xE1, í 0xED: stored exactly as read.
  RecordMap rec = OKRecord(" ok1abc ", "Jan ", " Nov\xE1k", " Hlavn\xED 5 ", "Praha", "110 00");
  test::Import(ImportOKCallRecord, rec, book);
  EXPECT_EQ(
      RowText(book, "OK1ABC"),
      "STACJA=OK1ABC|NAZWA=Nov\xE1k Jan|IMIE=Jan|NAZWISKO=Nov\xE1k|MIASTO=Praha|KODPOCZT=110 00"
      "|ADRES=Hlavn\xED 5|KRAJ=503");
  EXPECT_EQ(rec.reads,
            (std::vector<std::string>{"Call", "Name", "LastName", "Address", "City", "ZIP"}));
}

TEST(OKCallImport, NamesAndSmallLetters) {
  MemoryCallbook book;
  test::Import(ImportOKCallRecord, OKRecord("OK1A", "", "novak"), book);
  test::Import(ImportOKCallRecord, OKRecord("OK1B", "jan", ""), book);
  test::Import(ImportOKCallRecord, OKRecord("OK1C", "", "", "", "brno"), book);
  EXPECT_EQ(RowText(book, "OK1A"), "STACJA=OK1A|NAZWA=novak|NAZWISKO=novak|KRAJ=503");
  EXPECT_EQ(RowText(book, "OK1B"), "STACJA=OK1B|NAZWA=jan|IMIE=jan|KRAJ=503");
  EXPECT_EQ(RowText(book, "OK1C"), "STACJA=OK1C|MIASTO=brno|KRAJ=503");
}

TEST(OKCallImport, SkipsEmptyCallSignsDuplicatesAndKnownStations) {
  MemoryCallbook book;
  book.Insert(test::Station({{F::STACJA, "OK1OLD"}, {F::NAZWA, "Kowalski Jan"}}, 269));

  test::Import(ImportOKCallRecord, OKRecord("   ", "Jan", "Novak"), book);
  test::Import(ImportOKCallRecord, OKRecord("OK1NEW", "Jan", "Novak"), book);
  test::Import(ImportOKCallRecord, OKRecord("ok1new", "Petr", "Svoboda"), book);
  test::Import(ImportOKCallRecord,
               OKRecord("OK1OLD", "Petr", "Svoboda", "Dlouha 1", "Brno", "60200"), book);

  EXPECT_EQ(book.Rows().size(), 2u);
  EXPECT_EQ(RowText(book, "OK1NEW"),
            "STACJA=OK1NEW|NAZWA=Novak Jan|IMIE=Jan|NAZWISKO=Novak|KRAJ=503");
  EXPECT_EQ(RowText(book, "OK1OLD"), "STACJA=OK1OLD|NAZWA=Kowalski Jan|KRAJ=269");
  EXPECT_EQ(book.updates, 0);
}

TEST(OKCallImport, MissingFieldRaisesTheReadersError) {
  MemoryCallbook book;
  RecordMap rec = OKRecord("OK1ABC", "Jan", "Novak");
  rec.Drop("City");
  EXPECT_THROW(
      {
        try {
          test::Import(ImportOKCallRecord, rec, book);
        } catch (const std::runtime_error& e) {
          EXPECT_STREQ(e.what(), "Calls: Field 'City' not found");
          throw;
        }
      },
      std::runtime_error);
  EXPECT_TRUE(book.Rows().empty());
}

}  // namespace
}  // namespace tolvo
