// Looking up, inserting station rows and filling their locators, and when
// they become permanent.
#include <ibase.h>

#include <gtest/gtest.h>

#include "import/ImportRun.h"
#include "import/LogCokImport.h"
#include "store/Callbook.h"
#include "tests/import/RecordMap.h"
#include "tests/store/StoreHelpers.h"

namespace tolvo::storetest {
namespace {

const char* const kAllColumns =
    "SELECT STACJA, NAZWA, NAZWISKO, IMIE, MIASTO, KODPOCZT, ADRES, LOKATOR, DOMENA, WOJEW,"
    " POWIAT, MANAGER, IOTA, EMAIL1, EMAIL2, UWAGI, RODZAJ, KRAJ, CAST(DATAAKT AS VARCHAR(10)),"
    " AKTUAL FROM STACJE ORDER BY STACJA";

void Post(Callbook& cb, std::string_view call, std::string_view town = {}) {
  cb.Insert(test::Station({{StationField::STACJA, call}, {StationField::MIASTO, town}}));
}

std::size_t CountOf(const fs::path& db) {
  return std::stoul(*Query(db, "SELECT COUNT(*) FROM STACJE")[0][0]);
}

class RowsTest : public StoreTest {
 protected:
  RowsTest() {
    Callbook cb;  // creates STACJE
    EXPECT_TRUE(cb.Open(db));
  }
};

TEST_F(RowsTest, LookupMatchesTheWholeKeyExactly) {
  Callbook cb;
  ASSERT_TRUE(cb.Open(db));
  Post(cb, "SP1ABC", "Pozna\xF1");
  Post(cb, "SP2X  ", "Gda\xF1sk");  // stored with its blanks
  EXPECT_TRUE(cb.Find("SP1ABC"));
  EXPECT_TRUE(cb.Find("SP1ABC     "));  // trailing blanks, even past the width
  EXPECT_EQ(cb.Find("SP2X")->callSign, "SP2X");
  EXPECT_EQ(cb.Find("SP2X")->locator, "");  // NULL reads as empty
  EXPECT_FALSE(cb.Find("sp1abc"));
  EXPECT_FALSE(cb.Find("SP1AB"));
  EXPECT_FALSE(cb.Find("SP1ABCD"));
  EXPECT_FALSE(cb.Find(" SP1ABC"));
  EXPECT_FALSE(cb.Find("SP1ABC0123456789"));  // longer than any stored key
  EXPECT_FALSE(cb.Find(""));

  // A key in another case is a different station.
  Post(cb, "sp1abc");
  EXPECT_TRUE(cb.Find("sp1abc"));
}

TEST_F(RowsTest, SecondPostOfOneCallSignIsRefusedAndEarlierRowsStay) {
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    Post(cb, "SP1ABC", "Pierwsze");
    ASSERT_TRUE(cb.Find("SP1ABC"));  // uncommitted, yet found
    Post(cb,
         "SP1\xA3"
         "X");
    try {
      Post(cb,
           "SP1\xA3"
           "X",
           "Drugie");
      FAIL() << "no error";
    } catch (const DatabaseError& e) {
      // The server's text, with the Windows-1250 key turned into UTF-8.
      EXPECT_NE(std::string(e.what()).find("PK_STACJE"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("SP1\xC5\x81X"), std::string::npos) << e.what();
    }
    Post(cb, "SP3C");
  }
  EXPECT_EQ(Query(db, "SELECT STACJA, MIASTO FROM STACJE ORDER BY STACJA"),
            (std::vector<Row>{{"SP1ABC", "Pierwsze"},
                              {"SP1\xA3"
                               "X",
                               std::nullopt},
                              {"SP3C", std::nullopt}}));
}

// A row of a call sign that another program has inserted and not yet
// committed waits for that program; the wait asks its handler about once a
// second and gives up when told to, with the lock's error at that station,
// and the import goes on from there.
TEST_F(RowsTest, RowWaitingForAnotherProgramsLockGivesUpWhenTold) {
  fb::Attachment other = fb::Attachment::Open(db.string(), testdb::Sysdba());
  fb::Transaction held(other);
  other.ExecuteImmediate(held, "INSERT INTO STACJE (STACJA) VALUES ('SP1ABC')");
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    Post(cb, "SP1AAA");
    int asked = 0;
    cb.SetLockWaitHandler([&] { return ++asked < 3; });
    try {
      Post(cb, "SP1ABC");
      FAIL() << "no error";
    } catch (const DatabaseError& e) {
      EXPECT_TRUE(e.Has(isc_deadlock) || e.Has(isc_lock_conflict)) << e.what();
      EXPECT_NE(std::string(e.what()).find("stacji SP1ABC w bazie danych:"), std::string::npos)
          << e.what();
    }
    EXPECT_EQ(asked, 3);
    Post(cb, "SP1ABD");
  }
  held.Rollback();
  other.Detach();
  EXPECT_EQ(Query(db, "SELECT STACJA FROM STACJE ORDER BY STACJA"),
            (std::vector<Row>{{"SP1AAA"}, {"SP1ABD"}}));
}

// The writing transaction sees the callbook as it was when the import began:
// a station that another program commits later is not found, however far the
// lookups have got, and its insert is then refused at that record; the rows
// before it stay and are committed.
TEST_F(RowsTest, LookupsSeeTheCallbookAsTheImportBeganIt) {
  enum class Committed { BeforeTheImport, BeforeTheFirstLookup, AfterTheFirstLookup };
  const struct {
    Committed when;
    bool found;
  } cases[] = {{Committed::BeforeTheImport, true},
               {Committed::BeforeTheFirstLookup, false},
               {Committed::AfterTheFirstLookup, false}};
  std::vector<Row> expected;
  for (const auto& c : cases) {
    const std::string n = std::to_string(static_cast<int>(c.when));
    const std::string other = "SP" + n + "OTHER", before = "SP" + n + "FIRST";
    const auto commitOther = [&] {
      Execute(db, {"INSERT INTO STACJE (STACJA, MIASTO) VALUES ('" + other + "', 'Inny')"});
    };
    Callbook cb;
    if (c.when == Committed::BeforeTheImport) commitOther();
    ASSERT_TRUE(cb.Open(db));
    if (c.when == Committed::BeforeTheFirstLookup) commitOther();
    EXPECT_FALSE(cb.Find(before));
    Post(cb, before);
    if (c.when == Committed::AfterTheFirstLookup) commitOther();
    EXPECT_EQ(cb.Find(other).has_value(), c.found) << n;
    if (!c.found) {
      try {
        Post(cb, other, "Nasz");
        ADD_FAILURE() << "no error " << n;
      } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("PK_STACJE"), std::string::npos) << e.what();
      }
    }
    EXPECT_TRUE(cb.Find(before)) << n;
    cb.Close();
    expected.push_back({before, std::nullopt});
    expected.push_back({other, "Inny"});
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Query(db, "SELECT STACJA, MIASTO FROM STACJE ORDER BY STACJA"), expected);
}

// A list that names a station again finds the row its first occurrence
// wrote, and a locator filled once is not filled again: the store answers as
// the in-memory callbook does, record by record.
TEST_F(RowsTest, RepeatedStationsAndLocatorsFilledTwice) {
  const auto record = [](const char* call, const char* name, const char* loc) {
    return test::RecordMap{
        {"CALL", call}, {"NAME", name}, {"MEM_F", ""}, {"QRA_LOC", loc}, {"WOJ", ""}};
  };
  const test::RecordMap list[] = {
      record("OK1NEW", "Jan", ""),         record("OK1NEW", "Petr", "JN89AB"),
      record("OK1NEW", "Karel", "JN99XX"), record("OK1OLD", "Jan", "JO70FB"),
      record("OK1OLD", "Jan", "JO60AA"),   record("OK1NEW", "Jan", "JO60AA")};
  const std::vector<RecordOutcome> outcomes = {
      RecordOutcome::Added,         RecordOutcome::LocatorFilled, RecordOutcome::AlreadyThere,
      RecordOutcome::LocatorFilled, RecordOutcome::AlreadyThere,  RecordOutcome::AlreadyThere};
  Execute(db, {"INSERT INTO STACJE (STACJA, NAZWA) VALUES ('OK1OLD', 'Stary')"});
  MemoryCallbook memory;
  memory.Insert(test::Station({{StationField::STACJA, "OK1OLD"}, {StationField::NAZWA, "Stary"}}));
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    std::vector<RecordOutcome> byStore, byMemory;
    for (const test::RecordMap& r : list) {
      byStore.push_back(CarryOut(ImportLogCOKRecord(r, cb), cb));
      byMemory.push_back(CarryOut(ImportLogCOKRecord(r, memory), memory));
    }
    EXPECT_EQ(byStore, outcomes);
    EXPECT_EQ(byMemory, outcomes);
  }
  EXPECT_EQ(Query(db, "SELECT STACJA, NAZWA, IMIE, LOKATOR, KRAJ FROM STACJE ORDER BY STACJA"),
            (std::vector<Row>{{"OK1NEW", std::nullopt, "Jan", "JN89AB", "503"},
                              {"OK1OLD", "Stary", std::nullopt, "JO70FB", std::nullopt}}));
  EXPECT_EQ((*memory.Row("OK1NEW"))[StationField::LOKATOR], "JN89AB");
  EXPECT_EQ((*memory.Row("OK1OLD"))[StationField::LOKATOR], "JO70FB");
}

TEST_F(RowsTest, TextColumnsAreCutAtNulAndWidthAndEmptyIsNull) {
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    // Row A: every column over-long; row B: exactly the width; row C: cut at
    // NUL; row D: empty or starting with NUL, so NULL.
    const char* keys[] = {"A", "B", "C", "D"};
    for (int r = 0; r < 4; ++r) {
      StationRow row;  // the values as they come, for the store to cut
      for (const auto& info : kStationFieldInfo) {
        const auto f = static_cast<StationField>(&info - kStationFieldInfo.data());
        std::string v;
        if (f == StationField::STACJA) v = keys[r];
        else if (r == 0) v = std::string(info.width + 5, '\xB9');
        else if (r == 1) v = std::string(info.width, 'x');
        else if (r == 2) v = std::string("y\0zz", 4);
        else v = (info.width % 2) ? std::string() : std::string("\0q", 2);
        row.text[static_cast<std::size_t>(f)] = v;
      }
      cb.Insert(row);
    }
    StationRow longKey;
    longKey.text[0] = "SP1ABCDEFGHIJ";
    cb.Insert(longKey);
  }
  const auto rows = Query(db, kAllColumns);
  ASSERT_EQ(rows.size(), 5u);
  // Column positions of kAllColumns for each field object.
  const std::pair<StationField, int> at[] = {
      {StationField::NAZWA, 1},   {StationField::NAZWISKO, 2}, {StationField::IMIE, 3},
      {StationField::MIASTO, 4},  {StationField::KODPOCZT, 5}, {StationField::ADRES, 6},
      {StationField::LOKATOR, 7}, {StationField::DOMENA, 8},   {StationField::WOJEW, 9},
      {StationField::POWIAT, 10}, {StationField::RODZAJ, 16}};
  for (auto [field, col] : at) {
    const std::size_t width = InfoOf(field).width;
    EXPECT_EQ(rows[0][col], std::string(width, '\xB9')) << InfoOf(field).column;
    EXPECT_EQ(rows[1][col], std::string(width, 'x')) << InfoOf(field).column;
    EXPECT_EQ(rows[2][col], "y") << InfoOf(field).column;
    EXPECT_EQ(rows[3][col], std::nullopt) << InfoOf(field).column;
  }
  EXPECT_EQ(rows[4][0], "SP1ABCDEFG");
}

TEST_F(RowsTest, NewRowHasNullsWhereNothingWasSet) {
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    cb.Insert(
        test::Station({{StationField::STACJA, "OK1AB"}, {StationField::NAZWA, "Nov\xE1k Jan"}}));
    cb.Insert(test::Station({{StationField::STACJA, "SP1ABC"}}, 269));
  }
  Row ok(20, std::nullopt), sp(20, std::nullopt);
  ok[0] = "OK1AB";
  ok[1] = "Nov\xE1k Jan";
  sp[0] = "SP1ABC";
  sp[17] = "269";
  EXPECT_EQ(Query(db, kAllColumns), (std::vector<Row>{ok, sp}));
}

TEST_F(RowsTest, FillingTheLocatorChangesNothingElse) {
  Execute(db, {"INSERT INTO STACJE VALUES ('OK1AB', 'Nov\xE1k Jan ', '', 'Jan', 'Brno', '60200',"
               " 'N\xE1m\x9Ast\xED 1', NULL, 'D1', 'x', '12', 'M1', 'EU-001', 'a@b.cz', NULL, 'u',"
               " 'K', 503, '2001-02-03', 1)"});
  const auto before = Query(db, kAllColumns);
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    ASSERT_TRUE(cb.Find("OK1AB"));
    EXPECT_EQ(cb.Find("OK1AB")->locator, "");
    cb.FillLocator("OK1AB", "JN89HF");
    EXPECT_EQ(cb.Find("OK1AB")->locator, "JN89HF");
  }
  auto expected = before;
  expected[0][7] = "JN89HF";
  EXPECT_EQ(Query(db, kAllColumns), expected);
}

TEST_F(RowsTest, RowsBecomePermanentAtTheNextOpenOrAtTheEnd) {
  Callbook first;
  ASSERT_TRUE(first.Open(db));
  Post(first, "SP1A");
  Post(first, "SP1B");
  EXPECT_EQ(CountOf(db), 0u);  // another connection does not see them yet

  ASSERT_TRUE(first.Open(db));  // the next import commits them
  EXPECT_EQ(CountOf(db), 2u);
  EXPECT_TRUE(first.Find("SP1A"));

  Post(first, "SP1C");
  first.Close();  // end of program
  EXPECT_EQ(CountOf(db), 3u);
  EXPECT_FALSE(first.IsConnected());

  {
    Callbook last;
    ASSERT_TRUE(last.Open(db));
    Post(last, "SP1D");
  }  // destroyed without Close
  EXPECT_EQ(CountOf(db), 4u);
}

// A database that refuses every commit while the station FAIL is in the
// committing transaction's view.
TEST_F(RowsTest, FailedCommitIsReportedAndOnlyTheDestructorIsSilent) {
  Execute(db, {"CREATE EXCEPTION E_ODMOWA 'commit refused by trigger'",
               "CREATE TRIGGER T_ODMOWA ON TRANSACTION COMMIT AS BEGIN"
               " IF (EXISTS(SELECT 1 FROM STACJE WHERE STACJA = 'FAIL')) THEN EXCEPTION E_ODMOWA;"
               " END"});
  auto expectLostImport = [](const auto& end) {
    try {
      end();
      ADD_FAILURE() << "no error";
    } catch (const DatabaseError& e) {
      const std::string text = e.what();
      EXPECT_EQ(text.rfind(kPreviousImportLost, 0), 0u) << text;
      EXPECT_NE(text.find("commit refused by trigger"), std::string::npos) << text;
    }
  };
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    Post(cb, "SP1A");
    Post(cb, "FAIL");
    expectLostImport([&] { cb.Open(db); });  // the next import stops at once
    EXPECT_FALSE(cb.IsConnected());

    ASSERT_TRUE(cb.Open(db));  // a later attempt starts afresh
    Post(cb, "FAIL");
    expectLostImport([&] { cb.Close(); });
    EXPECT_FALSE(cb.IsConnected());

    ASSERT_TRUE(cb.Open(db));
    Post(cb, "FAIL");
  }  // the destructor cannot report: it rolls back without throwing
  EXPECT_EQ(CountOf(db), 0u);
}

}  // namespace
}  // namespace tolvo::storetest
