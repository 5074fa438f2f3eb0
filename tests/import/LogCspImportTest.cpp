#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "import/LogCspImport.h"
#include "tests/import/RecordMap.h"
#include "tests/support/LinearLookup.h"
#include "text/ClubCallSigns.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "text/FirstNames.h"
#include "text/PlaceNames.h"

namespace tolvo {
namespace {

using test::RecordMap;
using test::RowText;
using F = StationField;

// UTF-8 test text as Windows-1250 bytes.
std::string W(std::string_view utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp1250(utf8, out)) << utf8;
  return out;
}

RecordMap SPRecord(std::string call, std::string name = "", std::string memF = "",
                   std::string loc = "", std::string woj = "") {
  return RecordMap{{"CALL", call}, {"NAME", name}, {"MEM_F", memF}, {"QRA_LOC", loc}, {"WOJ", woj}};
}

// Imports one record into a fresh callbook; the RowText of its row `key`.
std::string ImportedRow(RecordMap rec, const std::string& key) {
  MemoryCallbook book;
  test::Import(ImportLogCSPRecord, rec, book);
  return RowText(book, key);
}

TEST(LogCSPText, UpperMazoviaMapChangesEighteenBytesOnly) {
  EXPECT_EQ(MazoviaToCp1250Upper("\x86\x91\xA2"
                                 "a"),
            "\xA5\xCA\xD3"
            "a");
  EXPECT_EQ(MazoviaToCp1250Upper("\x8D\x9E\x8C\x8E"), "\x8D\x9E\xA3\x8C");
  EXPECT_EQ(MazoviaToCp1250Upper("\x8F\x90\x92\x95\x98\x9C\xA0\xA1\xA3\xA4\xA5\xA6\xA7"),
            "\xA5\xCA\xA3\xC6\x8C\xA3\x8F\xAF\xD3\xD1\xD1\x8F\xAF");
  int changed = 0;
  for (int b = 0; b < 256; ++b) {
    const std::string in(1, static_cast<char>(b)), out = MazoviaToCp1250Upper(in);
    ASSERT_EQ(out.size(), 1u);
    changed += out != in;
    EXPECT_TRUE(out == in || (b >= 0x86 && b <= 0xA7)) << b;
  }
  EXPECT_EQ(changed, 18);
}

TEST(LogCSPText, FirstNamesAndTownsByTableOrCapitalised) {
  EXPECT_EQ(NormalizeFirstName(" \t "), "");
  EXPECT_EQ(NormalizeFirstName(" bartek "), W("Bartłomiej"));
  EXPECT_EQ(NormalizeFirstName("RADIOKLUB"), "");
  EXPECT_EQ(NormalizeFirstName("KLUB"), "Klub");
  EXPECT_EQ(NormalizeFirstName("ADAM MARIUSZ"), "Adam mariusz");
  EXPECT_EQ(NormalizePlaceName("35036 RZESZOW"), W("Rzeszów"));
  EXPECT_EQ(NormalizePlaceName(" bielsko-b. "), W("Bielsko-Biała"));
  ASSERT_EQ(PlaceNames().Find("00950 WARSZAWA"), nullptr);
  EXPECT_EQ(NormalizePlaceName("00950 WARSZAWA"), "00950 warszawa");
  // Names missing from the tables still get their Polish letters: Mazovia
  // capitals, mixed case with ś (0x9E) and ć (0x8D).
  ASSERT_EQ(FirstNames().Find("\xA1\xA3\x8CWIK"), nullptr);
  EXPECT_EQ(NormalizeFirstName("\xA1\xA3\x9CWIK"), W("Żółwik"));
  EXPECT_EQ(NormalizeFirstName("\x9Ewit"), W("Świt"));
  EXPECT_EQ(NormalizePlaceName("\x8Dma"), W("Ćma"));
  const NameTable& names = FirstNames();
  for (std::size_t i = 0; i < names.Size(); ++i)
    EXPECT_EQ(NormalizeFirstName(names.Key(i)), *FindLinear(names, names.Key(i))) << i;
  const NameTable& places = PlaceNames();
  for (std::size_t i = 0; i < places.Size(); ++i)
    EXPECT_EQ(NormalizePlaceName(places.Key(i)), *FindLinear(places, places.Key(i))) << i;
}

TEST(LogCSPText, TitleCaseAndSurname) {
  EXPECT_EQ(TitleCase("UL. JANA III SOBIESKIEGO 1"), "Ul. Jana Iii Sobieskiego 1");
  EXPECT_EQ(TitleCase("OS. XXXV-LECIA;A"), "Os. Xxxv-Lecia;A");
  EXPECT_EQ(TitleCase("ul.zielona (JANA) 'X'"), "Ul.Zielona (jana) 'x'");
  EXPECT_EQ(TitleCase(W(" ŁÓDŹ ŚRÓDMIEŚCIE ")), W("Łódź Śródmieście"));
  EXPECT_EQ(TitleCase("   "), "");

  EXPECT_EQ(SurnamePart(" JAN KOWALSKA-NOWAK "), "Kowalska-Nowak");
  EXPECT_EQ(SurnamePart("KOWALSKI"), "");
  EXPECT_EQ(LowerTail("A"), "A");
  EXPECT_EQ(LowerTail(W("żÓŁW")), W("żółw"));
  EXPECT_EQ(CapitalAfterHyphen("-"), "-");
  EXPECT_EQ(CapitalAfterHyphen("ab-cd-ef"), "ab-Cd-ef");
}

TEST(LogCSPImport, PersonalRecordColumnByColumn) {
  MemoryCallbook book;
  test::Import(
      ImportLogCSPRecord,
      SPRecord(" sp5abc ", "JAN", "JAN KOWALSKI;UL. KOSCIUSZKI 5;00-950 WARSZAWA", "ko02mf", "wsi"),
      book);
  EXPECT_EQ(RowText(book, "SP5ABC"),
            W("STACJA=SP5ABC|NAZWA=Kowalski Jan|IMIE=Jan|NAZWISKO=Kowalski|MIASTO=Warszawa"
              "|KODPOCZT=00-950|ADRES=Ul. Kościuszki 5|LOKATOR=ko02mf|WOJEW=W|POWIAT=SI|KRAJ=269"));
}

TEST(LogCSPImport, LooksUpBeforeReadingAnythingElseEvenWithoutCallSign) {
  RecordMap rec = SPRecord("  ", "JAN", "JAN KOWALSKI;UL. X 1;00-950 WARSZAWA", "KO02", "WSI");
  struct Watch : MemoryCallbook {
    const RecordMap* rec = nullptr;
    std::vector<std::string> readsAtLookup, keys;
    std::optional<StoredStation> Find(std::string_view call) override {
      readsAtLookup = rec->reads;
      keys.emplace_back(call);
      return MemoryCallbook::Find(call);
    }
  } book;
  book.rec = &rec;
  test::Import(ImportLogCSPRecord, rec, book);
  EXPECT_EQ(book.keys, std::vector<std::string>{""});
  EXPECT_EQ(book.readsAtLookup, std::vector<std::string>{"Call"});
  EXPECT_EQ(rec.reads, (std::vector<std::string>{"Call", "Name", "mem_f", "QRA_LOC", "WOJ"}));
  EXPECT_TRUE(book.Rows().empty());

  RecordMap noLocator = SPRecord("SP5ABC", "JAN");
  noLocator.Drop("QRA_LOC");
  MemoryCallbook plain;
  EXPECT_THROW(test::Import(ImportLogCSPRecord, noLocator, plain), std::runtime_error);
  EXPECT_EQ(plain.lookups, 1);
  EXPECT_TRUE(plain.Rows().empty());
}

TEST(LogCSPImport, ClubsAndNames) {
  const std::string club(ClubCallSign(0)), club2(ClubCallSign(30));
  // A club word as first name; Mazovia ó (0xA2); the club-name table corrects it.
  EXPECT_EQ(ImportedRow(SPRecord("SP9XYZ", "RADIOKLUB", "Klub Kr\xA2tkofalowc\xA2w;;"), "SP9XYZ"),
            W("STACJA=SP9XYZ|NAZWA=Klub Krótkofalowców|KRAJ=269"));
  // A listed club keeps no personal name, but only when mem_f names the station.
  EXPECT_EQ(ImportedRow(SPRecord(club, "JAN", "JAN KOWALSKI;;"), club),
            "STACJA=" + club + "|NAZWA=JAN KOWALSKI|KRAJ=269");
  EXPECT_EQ(ImportedRow(SPRecord(club2, "JAN", ";UL. POLNA 1;"), club2),
            "STACJA=" + club2 + "|IMIE=Jan|ADRES=Ul. Polna 1|KRAJ=269");
  // A surname only from exactly two words.
  for (const char* part1 : {"JAN MARIA KOWALSKI;;", "KOWALSKI;;"})
    EXPECT_EQ(ImportedRow(SPRecord("SP1AAA", "JAN", part1), "SP1AAA"),
              "STACJA=SP1AAA|NAZWA=Jan|IMIE=Jan|KRAJ=269")
        << part1;
  EXPECT_EQ(ImportedRow(SPRecord("SP1AAC", "", "JAN KOWALSKI;;"), "SP1AAC"),
            "STACJA=SP1AAC|NAZWA=JAN KOWALSKI|KRAJ=269");
}

TEST(LogCSPImport, MazoviaSAndCAcuteAreStoredAsPolishLetters) {
  // Mixed-case Mazovia: ś is 0x9E, ć 0x8D, ł 0x92, Ł 0x9C, ą 0x86.
  EXPECT_EQ(
      ImportedRow(SPRecord("SP2ABC", "JAN",
                           "JAN Ko\x9E"
                           "ciuszko;ul. Ko\x9E"
                           "cielna 4;"),
                  "SP2ABC"),
      W("STACJA=SP2ABC|NAZWA=Kościuszko Jan|IMIE=Jan|NAZWISKO=Kościuszko|ADRES=Ul. Kościelna 4"
        "|KRAJ=269"));
  EXPECT_EQ(ImportedRow(SPRecord("SP2ABD", "", "Pawe\x92 Wi\x9Cni\x8Dski;;"), "SP2ABD"),
            W("STACJA=SP2ABD|NAZWA=PaweŁ WiŁniĆski|KRAJ=269"));
  EXPECT_EQ(ImportedRow(SPRecord("SP2ABE", "",
                                 "Harcerski Klub \x9C\x86"
                                 "czno\x9E"
                                 "ci;;"),
                        "SP2ABE"),
            W("STACJA=SP2ABE|NAZWA=Harcerski Klub Łączności|KRAJ=269"));
}

TEST(LogCSPImport, AddressPartsAndRegion) {
  // mem_f without two semicolons gives no name, address or town.
  for (const char* memF : {"", "   ", "JAN KOWALSKI;UL. POLNA 1"})
    EXPECT_EQ(ImportedRow(SPRecord("SP3ABC", "JAN", memF, "KO02MF", " wSi "), "SP3ABC"),
              "STACJA=SP3ABC|IMIE=Jan|LOKATOR=KO02MF|WOJEW=W|POWIAT=SI|KRAJ=269")
        << memF;
  EXPECT_EQ(ImportedRow(SPRecord("SP4AAA", "", "; ;00950 WARSZAWA", "", "WS"), "SP4AAA"),
            "STACJA=SP4AAA|MIASTO=00950 warszawa|KRAJ=269");
  EXPECT_EQ(ImportedRow(SPRecord("SP4AAB", "", "; ; 00-950 WARSZAWA", "", "WSIX"), "SP4AAB"),
            "STACJA=SP4AAB|MIASTO=Warszawa|KODPOCZT=00-950|KRAJ=269");
  EXPECT_EQ(ImportedRow(SPRecord("SP4AAD", "", ";;00-950;x"), "SP4AAD"),
            "STACJA=SP4AAD|MIASTO=;x|KODPOCZT=00-950|KRAJ=269");
}

TEST(LogCSPImport, LocatorRepairs) {
  const std::pair<const char*, const char*> cases[] = {
      {"JO9o", "JO90"},     {"JOOO", "JO00"},    {" JO91?? ", "JO91"}, {"JO91?", "JO91?"},
      {"JO91?A", "JO91 A"}, {"JO91A?", "JO91A"}, {"JOo", "JOo"},       {"jo91oo", "jo91oo"}};
  for (const auto& [in, want] : cases)
    EXPECT_EQ(ImportedRow(SPRecord("SP1LOC", "", "", in), "SP1LOC"),
              "STACJA=SP1LOC|LOKATOR=" + std::string(want) + "|KRAJ=269")
        << in;
}

TEST(LogCSPImport, KnownStationsAndOverlongValues) {
  MemoryCallbook book;
  book.Insert(test::Station({{F::STACJA, "SP7OLD"}}));
  test::Import(ImportLogCSPRecord, SPRecord("sp7old", "JAN", "JAN KOWALSKI;;", "KO02MF", "WSI"),
               book);
  EXPECT_EQ(RowText(book, "SP7OLD"), "STACJA=SP7OLD");
  test::Import(ImportLogCSPRecord, SPRecord("SP7NEW", "JAN"), book);
  test::Import(ImportLogCSPRecord, SPRecord("SP7NEW", "ADAM"), book);
  EXPECT_EQ(RowText(book, "SP7NEW"), "STACJA=SP7NEW|IMIE=Jan|KRAJ=269");

  test::Import(ImportLogCSPRecord, SPRecord("SP8ABCDEFGHX", "", std::string(70, 'A') + ";;"), book);
  EXPECT_EQ(RowText(book, "SP8ABCDEFG"),
            "STACJA=SP8ABCDEFG|NAZWA=" + std::string(60, 'A') + "|KRAJ=269");
  // Call signs alike in their first ten characters, or up to a NUL, meet
  // the row of the first instead of failing on the primary key.
  test::Import(ImportLogCSPRecord, SPRecord("SP8ABCDEFGHY", "JAN"), book);
  test::Import(ImportLogCSPRecord, SPRecord(std::string("SP8\0X", 5), "JAN"), book);
  test::Import(ImportLogCSPRecord, SPRecord(std::string("SP8\0Y", 5), "ADAM"), book);
  EXPECT_EQ(RowText(book, "SP8"), "STACJA=SP8|IMIE=Jan|KRAJ=269");
  EXPECT_EQ(book.inserts, 4);  // SP7OLD, SP7NEW, SP8ABCDEFG, SP8
  EXPECT_EQ(book.updates, 0);
}

}  // namespace
}  // namespace tolvo
