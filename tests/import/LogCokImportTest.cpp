#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "import/LogCokImport.h"
#include "tests/import/RecordMap.h"
#include "text/FieldText.h"

namespace tolvo {
namespace {

using test::RecordMap;
using test::RowText;
using F = StationField;

RecordMap OKRecord(std::string call, std::string name, std::string memF, std::string loc = "",
                   std::string woj = "") {
  return RecordMap{{"CALL", call}, {"NAME", name}, {"MEM_F", memF}, {"QRA_LOC", loc}, {"WOJ", woj}};
}

void PutStation(ICallbook& book, std::string_view call, std::string_view lokator) {
  book.Insert(test::Station(
      {{F::STACJA, call}, {F::NAZWA, "Stary Wpis"}, {F::MIASTO, "Opava"}, {F::LOKATOR, lokator}},
      503));
}

TEST(LogCOKRoutines, AfterFirstWord) {
  EXPECT_EQ(AfterFirstWord(" Jan Novak "), "Novak");
  EXPECT_EQ(AfterFirstWord("Jan Karel Novak"), "Karel Novak");
  EXPECT_EQ(AfterFirstWord("Novak"), "");
  EXPECT_EQ(AfterFirstWord(""), "");
}

TEST(LogCOKImport, NewStationFromAFullRecord) {
  MemoryCallbook book;
  RecordMap rec = OKRecord(" ok1abc ", "Jan", "Jan Novak;Hlavni 5;12-345 Praha", "JO7OFB", "PR");
  test::Import(ImportLogCOKRecord, rec, book);
  EXPECT_EQ(RowText(book, "OK1ABC"),
            "STACJA=OK1ABC|NAZWA=Novak Jan|IMIE=Jan|NAZWISKO=Novak|MIASTO= Praha|KODPOCZT=12-345"
            "|ADRES=Hlavni 5|LOKATOR=JO70FB|KRAJ=503");
  EXPECT_EQ(rec.reads, (std::vector<std::string>{"Call", "Name", "mem_f", "QRA_LOC", "WOJ"}));
}

TEST(LogCOKImport, TownAndPostalCodeFromPartThree) {
  struct Case {
    const char* memF;
    std::optional<std::string> kod, miasto, adres;
  };
  const Case cases[] = {
      {"x;Hlavni 5;12 345 Praha", "12 345", " Praha", "Hlavni 5"},
      {"x;Hlavni 5;110 00 Praha", std::nullopt, "110 00 Praha", "Hlavni 5"},
      {"x;Hlavni 5;  12-345 Praha", "12-345", " Praha", "Hlavni 5"},
      {"x;Hlavni 5;12-345", "12-345", std::nullopt, "Hlavni 5"},
      {"x; Hlavni 5; Praha", std::nullopt, " Praha", " Hlavni 5"},
      {"x;;Praha;Brno", std::nullopt, "Praha;Brno", std::nullopt},
      {"x;Hlavni 5;   ", std::nullopt, std::nullopt, "Hlavni 5"},
  };
  for (const Case& c : cases) {
    MemoryCallbook book;
    test::Import(ImportLogCOKRecord, OKRecord("OK1T", "", c.memF), book);
    const StationRow& row = *book.Row("OK1T");
    EXPECT_EQ(row[F::KODPOCZT], c.kod) << c.memF;
    EXPECT_EQ(row[F::MIASTO], c.miasto) << c.memF;
    EXPECT_EQ(row[F::ADRES], c.adres) << c.memF;
  }
}

TEST(LogCOKImport, NamesFromNameAndPartOne) {
  struct Case {
    const char* name;
    const char* memF;
    std::optional<std::string> nazwa, imie, nazwisko;
  };
  const Case cases[] = {
      {"Jan", "Jan Karel Novak;;", "Jan", "Jan", std::nullopt},
      {"Jan", "Novak;;", "Jan", "Jan", std::nullopt},
      {"", "Jan Novak;;", "Jan Novak", std::nullopt, std::nullopt},
      {"Petr", "Jan Novak;;", "Novak Petr", "Petr", "Novak"},
      {"Jan", "", std::nullopt, "Jan", std::nullopt},
      {"Jan", "Jan Novak;Hlavni 5", std::nullopt, "Jan", std::nullopt},  // one ';' only
      {"Jan", ";Hlavni 5;Praha", std::nullopt, "Jan", std::nullopt},
  };
  for (const Case& c : cases) {
    MemoryCallbook book;
    test::Import(ImportLogCOKRecord, OKRecord("OK1N", c.name, c.memF), book);
    const StationRow& row = *book.Row("OK1N");
    EXPECT_EQ(row[F::NAZWA], c.nazwa) << c.name << " / " << c.memF;
    EXPECT_EQ(row[F::IMIE], c.imie) << c.name << " / " << c.memF;
    EXPECT_EQ(row[F::NAZWISKO], c.nazwisko) << c.name << " / " << c.memF;
  }
  // A field with fewer than two ';' gives nothing but IMIE (and the locator).
  MemoryCallbook book;
  test::Import(ImportLogCOKRecord, OKRecord("OK1M", "Jan", "Jan Novak;Hlavni 5", "JO70"), book);
  EXPECT_EQ(RowText(book, "OK1M"), "STACJA=OK1M|IMIE=Jan|LOKATOR=JO70|KRAJ=503");
}

TEST(LogCOKImport, LocatorRepairs) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"JO7O", "JO70"},     {"jo7o", "jo70"},   {"JOOO", "JO00"},     {"JO70??", "JO70"},
      {"JO7O??", "JO70"},   {"JO70?", "JO70?"}, {"JO70?A", "JO70 A"}, {" JO70AB ", "JO70AB"},
      {"JO70OO", "JO70OO"}, {"JO", "JO"},       {"??", "??"},         {"", std::nullopt},
  };
  for (const auto& [loc, want] : cases) {
    MemoryCallbook book;
    test::Import(ImportLogCOKRecord, OKRecord("OK1L", "", "", loc), book);
    EXPECT_EQ((*book.Row("OK1L"))[F::LOKATOR], want) << loc;
  }
}

TEST(LogCOKImport, KnownStationOnlyGetsAMissingLocator) {
  MemoryCallbook book;
  PutStation(book, "OK1NOLOC", "");
  PutStation(book, "OK1BLANK", "  ");
  PutStation(book, "OK1HASLOC", "JN79AA");
  const int before = book.updates;

  for (const char* call : {"OK1NOLOC", "OK1BLANK", "OK1HASLOC"})
    test::Import(ImportLogCOKRecord,
                 OKRecord(call, "Jan", "Jan Novak;Hlavni 5;12-345 Praha", "JO7O??"), book);

  for (const std::string call : {"OK1NOLOC", "OK1BLANK"})
    EXPECT_EQ(RowText(book, call),
              "STACJA=" + call + "|NAZWA=Stary Wpis|MIASTO=Opava|LOKATOR=JO70|KRAJ=503");
  EXPECT_EQ(RowText(book, "OK1HASLOC"),
            "STACJA=OK1HASLOC|NAZWA=Stary Wpis|MIASTO=Opava|LOKATOR=JN79AA|KRAJ=503");
  EXPECT_EQ(book.updates - before, 2);
  EXPECT_EQ(book.inserts, 3);

  // No locator in the file: nothing to fill, no update.
  PutStation(book, "OK1NONE", "");
  test::Import(ImportLogCOKRecord, OKRecord("OK1NONE", "Jan", "", "   "), book);
  test::Import(ImportLogCOKRecord, OKRecord("OK1NONE", "Jan", "", ""), book);
  EXPECT_EQ(book.updates - before, 2);
  EXPECT_EQ((*book.Row("OK1NONE"))[F::LOKATOR], std::nullopt);
}

TEST(LogCOKImport, RepeatedCallSignWritesFirstAndFillsItsLocatorLater) {
  MemoryCallbook book;
  test::Import(ImportLogCOKRecord, OKRecord("OK2A", "Jan", "Jan Novak;;", ""), book);
  test::Import(ImportLogCOKRecord, OKRecord("OK2A", "Petr", "Petr Dvorak;Dlouha;Brno", "JN89AB"),
               book);
  test::Import(ImportLogCOKRecord, OKRecord("OK2A", "Karel", "", "JN99XX"), book);
  EXPECT_EQ(RowText(book, "OK2A"),
            "STACJA=OK2A|NAZWA=Novak Jan|IMIE=Jan|NAZWISKO=Novak|LOKATOR=JN89AB|KRAJ=503");
  EXPECT_EQ(book.inserts, 1);
  EXPECT_EQ(book.updates, 1);
}

TEST(LogCOKImport, EmptyCallSignWritesNothing) {
  MemoryCallbook book;
  test::Import(ImportLogCOKRecord,
               OKRecord(" ", "Jan", "Jan Novak;Hlavni 5;12-345 Praha", "JO70FB"), book);
  EXPECT_TRUE(book.Rows().empty());
}

TEST(LogCOKImport, MissingFieldRaisesAfterTheLookupAndWritesNothing) {
  MemoryCallbook book;
  PutStation(book, "OK1ABC", "");
  RecordMap rec = OKRecord("OK1ABC", "Jan", "", "JO70FB");
  rec.Drop("woj");
  try {
    test::Import(ImportLogCOKRecord, rec, book);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Calls: Field 'WOJ' not found");
  }
  EXPECT_EQ(book.lookups, 1);
  EXPECT_EQ(book.updates, 0);
  EXPECT_EQ((*book.Row("OK1ABC"))[F::LOKATOR], std::nullopt);
}

}  // namespace
}  // namespace tolvo
