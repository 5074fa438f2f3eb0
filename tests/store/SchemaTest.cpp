// Creation of STACJE in a database that has none, as the catalogue records it.
#include <gtest/gtest.h>

#include "store/Callbook.h"
#include "tests/store/StoreHelpers.h"
#include "tests/support/TolvoDb.h"

namespace tolvo::storetest {
namespace {

// One line per column: name, type, NOT NULL, collation, domain when a named one.
std::vector<std::string> ColumnsOf(const fs::path& db) {
  const auto rows = Query(db,
      "SELECT TRIM(rf.RDB$FIELD_NAME), f.RDB$FIELD_TYPE, f.RDB$CHARACTER_LENGTH,"
      " COALESCE(rf.RDB$NULL_FLAG, 0), TRIM(c.RDB$COLLATION_NAME), TRIM(rf.RDB$FIELD_SOURCE)"
      " FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE"
      " LEFT JOIN RDB$COLLATIONS c ON c.RDB$COLLATION_ID = rf.RDB$COLLATION_ID"
      " AND c.RDB$CHARACTER_SET_ID = f.RDB$CHARACTER_SET_ID"
      " WHERE rf.RDB$RELATION_NAME = 'STACJE' ORDER BY rf.RDB$FIELD_POSITION");
  std::vector<std::string> out;
  for (const auto& r : rows) {
    std::string line = *r[0] + " ";
    const std::string type = *r[1];
    if (type == "37") line += "VARCHAR(" + *r[2] + ")";
    else if (type == "14") line += "CHAR(" + *r[2] + ")";
    else if (type == "7") line += "SMALLINT";
    else if (type == "12") line += "DATE";
    else line += "type " + type;
    if (*r[3] != "0") line += " NOT NULL";
    if (r[4]) line += " " + *r[4];
    if (r[5]->rfind("RDB$", 0) != 0) line += " domain " + *r[5];
    out.push_back(line);
  }
  return out;
}

// Index name and its column, for every index of STACJE.
std::vector<std::string> IndexesOf(const fs::path& db) {
  const auto rows = Query(db,
      "SELECT TRIM(i.RDB$INDEX_NAME) || ' ' || TRIM(s.RDB$FIELD_NAME)"
      " FROM RDB$INDICES i JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = i.RDB$INDEX_NAME"
      " WHERE i.RDB$RELATION_NAME = 'STACJE' ORDER BY 1");
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(*r[0]);
  return out;
}

bool HasStacje(const fs::path& db) {
  return !Query(db, "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'STACJE'").empty();
}

using SchemaTest = StoreTest;

TEST_F(SchemaTest, FirstOpenCreatesTheTableWithKeyAndIndexes) {
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    EXPECT_TRUE(HasStacje(db));
    EXPECT_FALSE(cb.FindStation("SP1ABC"));
  }
  const std::vector<std::string> columns = {
      "STACJA VARCHAR(10) NOT NULL PXW_PLK", "NAZWA VARCHAR(60) PXW_PLK",
      "NAZWISKO VARCHAR(40) PXW_PLK",       "IMIE VARCHAR(15) PXW_PLK",
      "MIASTO VARCHAR(25) PXW_PLK",         "KODPOCZT VARCHAR(10) PXW_PLK",
      "ADRES VARCHAR(50) PXW_PLK",          "LOKATOR VARCHAR(6) PXW_PLK",
      "DOMENA VARCHAR(6) PXW_PLK",          "WOJEW VARCHAR(1) PXW_PLK",
      "POWIAT VARCHAR(2) PXW_PLK",          "MANAGER VARCHAR(7) PXW_PLK",
      "IOTA VARCHAR(6) PXW_PLK",            "EMAIL1 VARCHAR(50) PXW_PLK",
      "EMAIL2 VARCHAR(50) PXW_PLK",         "UWAGI VARCHAR(50) PXW_PLK",
      "RODZAJ CHAR(1) PXW_PLK",             "KRAJ SMALLINT",
      "DATAAKT DATE",                       "AKTUAL SMALLINT domain D_BOOL",
  };
  EXPECT_EQ(ColumnsOf(db), columns);
  const std::vector<std::string> indexes = {
      "PK_STACJE STACJA",           "STACJE_IMIE IMIE",       "STACJE_KODPOCZT KODPOCZT",
      "STACJE_KRAJ KRAJ",           "STACJE_LOKATOR LOKATOR", "STACJE_MIASTO MIASTO",
      "STACJE_NAZWA NAZWA",         "STACJE_NAZWISKO NAZWISKO", "STACJE_POWIAT POWIAT",
      "STACJE_RODZAJ RODZAJ",       "STACJE_WOJEW WOJEW",
  };
  EXPECT_EQ(IndexesOf(db), indexes);
  EXPECT_EQ(Query(db, "SELECT TRIM(RDB$CONSTRAINT_NAME), TRIM(RDB$INDEX_NAME)"
                      " FROM RDB$RELATION_CONSTRAINTS WHERE RDB$RELATION_NAME = 'STACJE'"
                      " AND RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'"),
            (std::vector<Row>{{"PK_STACJE", "PK_STACJE"}}));
}

TEST_F(SchemaTest, ExistingTableIsLeftAsItIs) {
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
  }
  // With an index gone, a second open that ran any schema statement would
  // either fail on the existing table or bring the index back.
  Execute(db, {"DROP INDEX STACJE_KRAJ"});
  Callbook cb;
  ASSERT_TRUE(cb.Open(db));
  ASSERT_TRUE(cb.Open(db));
  cb.Close();
  EXPECT_EQ(IndexesOf(db).size(), 10u);
}

TEST(SchemaWithoutDomain, CreateFailsWithServerTextAndIsTriedAgain) {
  ScratchFolder dir(ScratchFolder::Enter::Yes);
  const fs::path db = dir / "LOG.DAT";
  CreateTolvo10Database(db, /*withDomain=*/false);
  Callbook cb;
  try {
    cb.Open(db);
    FAIL() << "no error";
  } catch (const DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("D_BOOL"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(HasStacje(db));
  EXPECT_TRUE(Query(db, "SELECT 1 FROM RDB$INDICES WHERE RDB$INDEX_NAME STARTING WITH 'STACJE'").empty());
  EXPECT_THROW(cb.Open(db), DatabaseError);

  cb.Close();
  Execute(db, {"CREATE DOMAIN D_BOOL AS SMALLINT CHECK (VALUE IS NULL OR VALUE IN (0,1))"});
  EXPECT_TRUE(cb.Open(db));
  cb.Close();
  EXPECT_TRUE(HasStacje(db));
  EXPECT_EQ(IndexesOf(db).size(), 11u);
}

TEST_F(SchemaTest, FailingIndexKeepsTableAndEarlierIndexes) {
  Execute(db, {"CREATE TABLE INNA (MIASTO VARCHAR(25))", "CREATE INDEX STACJE_MIASTO ON INNA(MIASTO)"});
  Callbook cb;
  EXPECT_THROW(cb.Open(db), DatabaseError);
  cb.Close();
  const std::vector<std::string> committed = {"PK_STACJE STACJA", "STACJE_IMIE IMIE",
                                              "STACJE_NAZWA NAZWA", "STACJE_NAZWISKO NAZWISKO"};
  EXPECT_EQ(IndexesOf(db), committed);
  // Later imports find the table and never make up the missing indexes.
  ASSERT_TRUE(cb.Open(db));
  cb.AppendStation();
  cb.SetField(StationField::STACJA, "SP1ABC");
  cb.PostStation();
  cb.Close();
  EXPECT_EQ(IndexesOf(db), committed);
  EXPECT_EQ(Query(db, "SELECT STACJA FROM STACJE").size(), 1u);
}

}  // namespace
}  // namespace tolvo::storetest
