#include "source/DbfTable.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>

#include "tests/support/ScratchFolder.h"
#include "tools/writers/DbfWriter.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;

fs::path FixtureDir() {
  const char* root = std::getenv("TOLVO_FIXTURES");
  if (root && *root) return fs::path(root) / "dbf";
  return fs::path(__FILE__).parent_path().parent_path() / "fixtures" / "dbf";
}

// Copies fixture files into the working folder of the test.
void CopyFixtures(std::initializer_list<const char*> names) {
  for (const char* n : names) fs::copy_file(FixtureDir() / n, fs::current_path() / n);
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
// A fresh file each time: replacing the contents of an existing file can
// make the file system flush it, which slows the many rewrites here.
void WriteAll(const fs::path& p, const std::string& bytes) {
  fs::remove(p);
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}
void PatchLe(std::string& bytes, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Every field of every delivered record, as "RecNo:FIELD=value|...".
std::vector<std::string> Dump(DbfTable& t) {
  std::vector<std::string> out;
  for (t.First(); !t.Eof(); t.Next()) {
    std::string row = std::to_string(t.RecNo()) + ":";
    for (const auto& f : t.Fields()) row += f.name() + "=" + f.AsString() + "|";
    out.push_back(row);
  }
  return out;
}

// Dump of the table `name`, opened.
std::vector<std::string> DumpOf(const char* name) {
  DbfTable t("Calls", name);
  t.Open();
  return Dump(t);
}

class DbfTableTest : public ::testing::Test {
 protected:
  ScratchFolder folder{ScratchFolder::Enter::Yes};
};

// ---- tables written by other programs ----

TEST_F(DbfTableTest, DbaseThreeWithMemoReadsEveryTypeAndSkipsDeletedRecords) {
  CopyFixtures({"db3memo.dbf", "db3memo.dbt"});
  DbfTable t("Calls", "DB3MEMO.DBF");  // matched without regard to case
  t.Open();
  ASSERT_TRUE(t.Active());
  EXPECT_EQ(t.RecordCount(), 4);  // the deleted record counts
  ASSERT_FALSE(t.Eof());
  EXPECT_EQ(t.RecNo(), 1);
  EXPECT_EQ(t.FieldAsString("ZNAK"), "SP1ABC");
  EXPECT_EQ(t.FieldAsString("IMIE"), "\x9cukasz");  // Mazovia bytes untouched
  EXPECT_EQ(t.FieldAsString("NAZWISKO"), "G\x91\x9eiak");
  EXPECT_EQ(t.FieldAsString("UWAGI"), "Mieszka w \x9c\xa2\x64\xa6");
  EXPECT_EQ(t.FieldAsString("ILOSC"), "12");
  EXPECT_EQ(t.FieldAsString("KWOTA"), "3.50");
  EXPECT_EQ(t.FieldAsString("DATA"), "20010203");
  EXPECT_EQ(t.FieldAsString("AKT"), "T");

  t.Next();  // record 2 is deleted
  ASSERT_FALSE(t.Eof());
  EXPECT_EQ(t.RecNo(), 3);
  EXPECT_EQ(t.FieldAsString("UWAGI"), "line 1\r\nline 2 " + std::string(700, 'x') + " end");
  EXPECT_EQ(t.FieldAsString("ILOSC"), "-7");
  EXPECT_EQ(t.FieldAsString("KWOTA"), "-1.25");
  EXPECT_EQ(t.FieldAsString("DATA"), "");
  EXPECT_EQ(t.FieldAsString("AKT"), "F");

  t.Next();
  EXPECT_EQ(t.RecNo(), 4);
  EXPECT_EQ(t.FieldAsString("ZNAK"), "SP4E");
  for (const char* name : {"IMIE", "UWAGI", "ILOSC", "KWOTA", "DATA", "AKT"})
    EXPECT_EQ(t.FieldAsString(name), "") << name;

  t.Next();
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RecNo(), 0);
  EXPECT_EQ(t.FieldAsString("ZNAK"), "");
}

TEST_F(DbfTableTest, DbaseFourMemoUsesItsLengthAndBlockSize) {
  CopyFixtures({"db4memo.dbf", "db4memo.dbt"});
  EXPECT_EQ(
      DumpOf("db4memo.dbf"),
      (std::vector<std::string>{"1:CALL=SP7DB4|NOTE=first memo with a \x1a inside|CNT=1|",
                                "2:CALL=SP8DB4|NOTE=|CNT=2|",
                                "3:CALL=SP9DB4|NOTE=" + std::string(1500, 'z') + "|CNT=333|"}));
}

TEST_F(DbfTableTest, FoxProMemoFileWithSmallBlocks) {
  CopyFixtures({"fox.dbf", "fox.fpt"});
  EXPECT_EQ(DumpOf("FOX.DBF"),
            (std::vector<std::string>{
                "1:CALL=OK1AB|MEMO=Ctrl-Z \x1a inside a FoxPro memo|VAL=2.500|N1=42|",
                "2:CALL=OK2CD|MEMO=" + std::string(150, 'y') + "|VAL=-0.125|N1=-3|",
                "3:CALL=OK3EF|MEMO=|VAL=|N1=|"}));
}

TEST_F(DbfTableTest, VisualFoxProBinaryFields) {
  CopyFixtures({"vfp.dbf", "vfp.fpt"});
  DbfTable t("Calls", "vfp.DBF");
  t.Open();
  EXPECT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(Dump(t),
            (std::vector<std::string>{
                "1:CALL=VE3AAA|MEMO=Montr\x82\x61l|I1=123456|Y1=1234.2500|T1=20200517134530|"
                "B1=2.5|L1=T|D1=20200517|",
                "3:CALL=VE3BBB|MEMO=|I1=-42|Y1=-0.5000|T1=|B1=-0.001|L1=F|D1=|"}));
}

TEST_F(DbfTableTest, ClipperLongCharacterAndShapelibTables) {
  CopyFixtures({"clipper.dbf", "shapelib.dbf"});
  DbfTable clipper("Calls", "clipper.dbf");
  clipper.Open();
  EXPECT_EQ(clipper.FieldByName("LONGC").length(), 300u);
  EXPECT_EQ(clipper.FieldAsString("longc"), std::string(299, 'a') + "z");
  EXPECT_EQ(clipper.FieldAsString("N"), "7");

  DbfTable shp("Calls", "SHAPELIB.DBF");
  shp.Open();
  EXPECT_EQ(Dump(shp), (std::vector<std::string>{"1:CALL=SP5AA|NAME=\x9c\xa2\x64\xa6|QTY=1.50|",
                                                 "2:CALL=SP6BB|NAME=Second name|QTY=-20.00|"}));
}

// ---- navigation and field lookup ----

TEST_F(DbfTableTest, FieldLookupIsCaseBlindAndAMissingFieldNamesTheReader) {
  WriteDbf("CB.DBF", {{"Znak", 'C', 6}}, {{"SP1A"}});
  DbfTable t("Calls", "CB.DBF");
  t.Open();
  EXPECT_EQ(&t.FieldByName("ZNAK"), &t.FieldByName("znak"));
  EXPECT_EQ(t.FieldByName("zNaK").name(), "Znak");
  try {
    t.FieldByName("Imie");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(),
                 "Calls: Field 'Imie' not found\nPlik CB.DBF nie jest listą CB.DBF: nie ma w nim "
                 "pola Imie.");
  }
  EXPECT_THROW(t.FieldByName("Zna"), ReaderError);
}

TEST_F(DbfTableTest, OpenTwiceKeepsThePlaceFirstAndReopenStartAgain) {
  WriteDbf("t.dbf", {{"N", 'C', 3}}, {{"a"}, {"b"}, {"c"}});
  DbfTable t("Calls", "t.dbf");
  EXPECT_FALSE(t.Active());
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RecordCount(), 0);
  EXPECT_THROW(t.FieldByName("N"), ReaderError);
  EXPECT_THROW(t.First(), ReaderError);

  t.Open();
  t.Next();
  t.Open();  // already open: nothing changes
  EXPECT_EQ(t.RecNo(), 2);
  EXPECT_EQ(t.FieldAsString("N"), "b");
  t.Next();
  t.Next();
  EXPECT_TRUE(t.Eof());
  t.Next();  // past the end stays there
  EXPECT_TRUE(t.Eof());
  t.First();
  EXPECT_EQ(t.RecNo(), 1);
  EXPECT_EQ(t.FieldAsString("N"), "a");

  t.Close();
  EXPECT_FALSE(t.Active());
  t.Close();  // closing twice is harmless
  t.Open();
  EXPECT_EQ(t.RecNo(), 1);
  EXPECT_EQ(Dump(t).size(), 3u);
}

TEST_F(DbfTableTest, EmptyAndAllDeletedTablesAreAtTheirEndAtOnce) {
  WriteDbf("empty.dbf", {{"CALL", 'C', 6}}, {});
  WriteDbf("gone.dbf", {{"CALL", 'C', 6}}, {{"A"}, {"B"}}, {true, true});
  DbfTable empty("Calls", "empty.dbf"), gone("Calls", "gone.dbf");
  empty.Open();
  gone.Open();
  EXPECT_EQ(empty.RecordCount(), 0);
  EXPECT_EQ(gone.RecordCount(), 2);
  for (DbfTable* t : {&empty, &gone}) {
    t->First();
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->RecNo(), 0);
    EXPECT_EQ(t->FieldAsString("CALL"), "");
  }
}

TEST_F(DbfTableTest, WriterRoundTripsRawBytesMemosAndDeletedMarks) {
  const std::string mazovia = "\x9c\xa2\x64\xa6 \x86\x91";
  const std::string longMemo(1200, 'm');
  {
    DbfWriter w("log_c_sp.dbf", {{"CALL", 'C', 8}, {"mem_f", 'M'}, {"WOJ", 'C', 3}});
    w.Add({"SP1A", mazovia + ";ul. X 1;00-001 " + mazovia, "W"});
    w.Add({"SP2B", "deleted", ""}, true);
    w.Add({"SP3C", "", ""});
    w.Add({"SP4D", longMemo, "K"});
    EXPECT_EQ(w.Count(), 4);
  }
  EXPECT_TRUE(fs::exists("log_c_sp.dbt"));
  DbfTable t("Calls", "LOG_C_SP.DBF");
  t.Open();
  EXPECT_EQ(t.RecordCount(), 4);
  EXPECT_EQ(Dump(t), (std::vector<std::string>{
                         "1:CALL=SP1A|mem_f=" + mazovia + ";ul. X 1;00-001 " + mazovia + "|WOJ=W|",
                         "3:CALL=SP3C|mem_f=|WOJ=|", "4:CALL=SP4D|mem_f=" + longMemo + "|WOJ=K|"}));
  EXPECT_THROW(DbfWriter("x.dbf", {{"C", 'C', 2}}).Add({"abc"}), std::invalid_argument);
}

TEST_F(DbfTableTest, StreamsALargeTable) {
  constexpr int kRecords = 50000;
  {
    DbfWriter w("big.dbf", {{"CALL", 'C', 8}, {"NAME", 'C', 30}});
    for (int i = 0; i < kRecords; ++i) w.Add({"SP" + std::to_string(i), "name"}, i % 10 == 9);
  }
  DbfTable t("Calls", "big.dbf");
  t.Open();
  long delivered = 0;
  std::int64_t lastRecNo = 0;
  for (t.First(); !t.Eof(); t.Next()) {
    ++delivered;
    lastRecNo = t.RecNo();
    ASSERT_EQ(t.FieldAsString("CALL"), "SP" + std::to_string(t.RecNo() - 1));
  }
  EXPECT_EQ(delivered, kRecords - kRecords / 10);
  EXPECT_EQ(lastRecNo, kRecords - 1);
}

// ---- damaged files ----

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ReaderError& e) {
    return e.what();
  }
  return "(no error)";
}

// The error of reading `field` of the first record of the table `file`.
std::string FieldErrorOf(const char* file, const char* field) {
  return ErrorOf([&] {
    DbfTable t("Calls", file);
    t.Open();
    t.FieldAsString(field);
  });
}

// A small valid table with a memo field: header 97 bytes, records 1+6+10.
void WriteSmall(int records = 3) {
  DbfWriter w("t.dbf", {{"CALL", 'C', 6}, {"NOTE", 'M'}});
  for (int i = 0; i < records; ++i) w.Add({"SP" + std::to_string(i), "note " + std::to_string(i)});
}

TEST_F(DbfTableTest, FilesThatAreNotTablesOrHaveALyingHeaderAreRefusedAtOpen) {
  WriteSmall();
  const std::string good = ReadAll("t.dbf");
  auto openWith = [&](const std::string& bytes) {
    WriteAll("t.dbf", bytes);
    return ErrorOf([] { DbfTable("Calls", "t.dbf").Open(); });
  };
  EXPECT_NE(openWith("Hello, world! This is a text file, not a table at all.\n")
                .find("t.dbf: to nie jest tabela dBASE"),
            std::string::npos);
  EXPECT_NE(openWith(good.substr(0, 10)).find("to nie jest tabela dBASE: plik ma tylko 10 bajtów."),
            std::string::npos);
  EXPECT_EQ(
      openWith(good.substr(0, 60)),
      "t.dbf: plik jest obcięty: sam nagłówek powinien mieć 97 bajtów, a cały plik ma tylko 60 "
      "bajtów. Pobierz listę ponownie i powtórz import.");
  try {
    DbfTable("Calls", "t.dbf").Open();
    FAIL() << "no error";
  } catch (const ReaderError& e) {
    EXPECT_EQ(e.fault(), ReaderFault::HeaderCutShort);
    EXPECT_EQ(e.values().headerLength, 97u);
    EXPECT_EQ(e.values().fileSize, 60u);
  }

  std::string b = good;
  PatchLe(b, 10, 12, 2);  // record length shorter than the fields
  EXPECT_NE(openWith(b).find("rekord ma 12 bajtów, a jego pola wymagają 17 bajtów"),
            std::string::npos);
  b = good;
  PatchLe(b, 10, 40, 2);  // longer than the fields, but not the file's records
  EXPECT_NE(openWith(b).find("po 40 bajtów, czyli razem z nagłówkiem"), std::string::npos);
  b = good;
  PatchLe(b, 8, 80, 2);  // header length cuts the second descriptor
  EXPECT_NE(openWith(b).find("opisy pól nie kończą się w obrębie nagłówka"), std::string::npos);
  b = good;
  PatchLe(b, 8, 64, 2);  // ends after the first descriptor: the records would begin in the second
  EXPECT_NE(openWith(b).find("nie kończą się w obrębie nagłówka (64 bajty)"), std::string::npos);
  b = good;
  b[32] = '\x0D';  // the terminator where the first field should be
  EXPECT_NE(openWith(b).find("tabela nie ma żadnego pola"), std::string::npos);
  b = good;
  b[32 + 16] = 0;  // a field of length 0
  EXPECT_NE(openWith(b).find("ma długość 0"), std::string::npos);
  b = good;
  b[32 + 11] = '\x01';  // a type byte that no writer uses
  EXPECT_NE(openWith(b).find("uszkodzony opis pola nr 1"), std::string::npos);
  b = good;
  b[0] = '\x04';
  EXPECT_NE(openWith(b).find("dBASE 7"), std::string::npos);
  b = good;
  PatchLe(b, 4, 0, 4);  // no record counted, three in the file
  EXPECT_NE(openWith(b).find("zapowiada 0 rekordów, a plik zawiera 3 rekordy"), std::string::npos);
  b.resize(97);
  EXPECT_EQ(openWith(b + '\x1a'), "(no error)");  // the end-of-file mark is no record
  EXPECT_EQ(openWith(b + std::string(40, '\0')), "(no error)");  // padding, not records

  // Something else than a file in the table's or the memo file's place is
  // refused at once, never waited on or read for ever.
  auto refused = [&](const char* name, auto make) {
    WriteAll("t.dbf", good);
    fs::remove(name);
    make(name);
    return ErrorOf([] { DbfTable("Calls", "t.dbf").Open(); });
  };
  auto fifo = [](const char* name) { ASSERT_EQ(mkfifo(name, 0600), 0); };
  auto devZero = [](const char* name) { fs::create_symlink("/dev/zero", name); };
  EXPECT_EQ(refused("t.dbf", fifo),
            "t.dbf: nie można otworzyć pliku: to jest potok (FIFO), a nie plik. Umieść w tym "
            "miejscu pobrany plik listy i powtórz import.");
  EXPECT_NE(refused("t.dbf", devZero).find("to jest urządzenie, a nie plik"), std::string::npos);
  EXPECT_NE(refused("t.dbt", fifo).find("nie można otworzyć pliku memo t.dbt: to jest potok"),
            std::string::npos);
  EXPECT_NE(refused("t.dbt", devZero).find("t.dbt: to jest urządzenie"), std::string::npos);

  WriteAll("t.dbf", good);
  fs::remove("t.dbt");
  EXPECT_NE(ErrorOf([] { DbfTable("Calls", "t.dbf").Open(); }).find("brak pliku memo t.dbt"),
            std::string::npos);
  EXPECT_NE(ErrorOf([] {
              DbfTable("Calls", "none.dbf").Open();
            }).find("none.dbf: nie znaleziono pliku w folderze roboczym"),
            std::string::npos);
}

TEST_F(DbfTableTest, ARecordCountBeyondTheFileDeliversWholeRecordsThenRaises) {
  WriteSmall(3);
  std::string b = ReadAll("t.dbf");
  PatchLe(b, 4, 5, 4);
  WriteAll("t.dbf", b);
  DbfTable t("Calls", "t.dbf");
  t.Open();
  EXPECT_EQ(t.RecordCount(), 5);
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(t.RecNo(), i);
    t.Next();
  }
  EXPECT_EQ(t.FieldAsString("CALL"), "SP2");
  const std::string err = ErrorOf([&] { t.Next(); });  // only the end-of-file mark is left
  EXPECT_EQ(err,
            "t.dbf: plik jest obcięty: zawiera w całości tylko 3 rekordy z 5 zapowiedzianych w "
            "nagłówku. Pobierz listę ponownie i powtórz import.");
  EXPECT_TRUE(t.Eof());
}

TEST_F(DbfTableTest, MemoReferencesBeyondTheMemoFileRaise) {
  WriteSmall(1);
  std::string b = ReadAll("t.dbf");
  const std::size_t memoField = 97 + 1 + 6;
  auto readNoteWith = [&](const std::string& pointer) {
    std::string p = b;
    p.replace(memoField, 10, pointer);
    WriteAll("t.dbf", p);
    return FieldErrorOf("t.dbf", "NOTE");
  };
  EXPECT_EQ(readNoteWith("         1"), "(no error)");
  EXPECT_EQ(
      readNoteWith("         9"),
      "t.dbf: rekord 1: blok memo 9 leży poza końcem pliku memo t.dbt. Pobierz listę ponownie "
      "razem z plikiem t.dbt i powtórz import.");
  EXPECT_NE(readNoteWith("4294967295").find("leży poza końcem"), std::string::npos);
  EXPECT_NE(readNoteWith("-000000001").find("uszkodzony odnośnik do pliku memo"),
            std::string::npos);
  EXPECT_NE(readNoteWith("     1x   ").find("uszkodzony odnośnik do pliku memo"),
            std::string::npos);

  // A dBASE IV memo and a FoxPro memo whose stated length runs past the file.
  CopyFixtures({"db4memo.dbf", "db4memo.dbt", "fox.dbf", "fox.fpt"});
  std::string memo4 = ReadAll("db4memo.dbt");
  PatchLe(memo4, 1024 + 4, 100000, 4);
  WriteAll("db4memo.dbt", memo4);
  EXPECT_NE(FieldErrorOf("db4memo.dbf", "NOTE").find("wychodzi poza koniec pliku memo db4memo.dbt"),
            std::string::npos);
  std::string fpt = ReadAll("fox.fpt");
  const std::size_t firstMemo = 512;  // 64-byte blocks after a 512-byte header
  fpt[firstMemo + 4] = '\x7F';        // big-endian length 0x7F......
  WriteAll("fox.fpt", fpt);
  EXPECT_NE(FieldErrorOf("fox.dbf", "MEMO").find("wychodzi poza koniec pliku memo fox.fpt"),
            std::string::npos);
}

TEST_F(DbfTableTest, AFileCutOrRewrittenWhileOpenRaises) {
  // Large enough that the cut lies beyond what the reader has buffered.
  constexpr int kRecords = 10000;
  WriteSmall(kRecords);
  const std::string good = ReadAll("t.dbf");
  DbfTable t("Calls", "t.dbf");
  t.Open();
  EXPECT_EQ(t.FieldAsString("CALL"), "SP0");
  fs::resize_file("t.dbf", 97 + 17 * 7999 + 5);  // in the middle of record 8000
  const std::string err = ErrorOf([&] {
    while (!t.Eof()) t.Next();
  });
  EXPECT_NE(err.find("w całości tylko 7999 rekordów z "), std::string::npos) << err;
  fs::resize_file("t.dbf", 40);
  EXPECT_NE(ErrorOf([&] { t.First(); }).find("plik jest obcięty"), std::string::npos);

  // The same file rewritten in place with other fields.
  {
    std::ofstream out("t.dbf", std::ios::binary | std::ios::in | std::ios::out);
    std::string other = good;
    other[32 + 16] = 5;
    other[32 + 32 + 16] = 11;
    out.write(other.data(), static_cast<std::streamsize>(other.size()));
  }
  EXPECT_NE(ErrorOf([&] { t.First(); }).find("budowa tabeli zmieniła się"), std::string::npos);

  // Records appended in place: the new count is taken over.
  {
    std::ofstream out("t.dbf", std::ios::binary | std::ios::in | std::ios::out);
    std::string more = good;
    more.pop_back();  // the end-of-file mark
    more += more.substr(97, 17);
    PatchLe(more, 4, kRecords + 1, 4);
    out.write(more.data(), static_cast<std::streamsize>(more.size()));
  }
  t.First();
  EXPECT_EQ(t.RecordCount(), kRecords + 1);
  EXPECT_EQ(Dump(t).size(), kRecords + 1u);
}

// Damaged bytes anywhere (a cut at every length, bytes changed at random)
// give a value or a ReaderError, never a crash or a hang.
TEST_F(DbfTableTest, DamagedBytesNeverCrash) {
  WriteSmall(3);
  const std::string table = ReadAll("t.dbf");
  const std::string memo = ReadAll("t.dbt");
  auto readAll = [] {
    try {
      DbfTable t("Calls", "t.dbf");
      t.Open();
      for (t.First(); !t.Eof(); t.Next())
        for (const auto& f : t.Fields()) (void)f.AsString();
    } catch (const ReaderError&) {
    }
  };
  for (std::size_t cut = 0; cut <= table.size(); ++cut) {
    WriteAll("t.dbf", table.substr(0, cut));
    readAll();
  }
  WriteAll("t.dbf", table);
  for (std::size_t cut = 0; cut <= memo.size(); cut += 7) {
    WriteAll("t.dbt", memo.substr(0, cut));
    readAll();
  }
  std::mt19937 rng(20240101);
  for (int round = 0; round < 2000; ++round) {
    std::string t = table, m = memo;
    for (int k = 0; k < 3; ++k) {
      t[rng() % t.size()] = static_cast<char>(rng());
      m[rng() % m.size()] = static_cast<char>(rng());
    }
    WriteAll("t.dbf", t);
    WriteAll("t.dbt", m);
    readAll();
  }
}

}  // namespace
}  // namespace tolvo
