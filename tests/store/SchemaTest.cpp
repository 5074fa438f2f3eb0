// Creation of STACJE in a database that has none, as the catalogue records it.
#include <gtest/gtest.h>

#include "store/Callbook.h"
#include "tests/import/RecordMap.h"
#include "tests/store/StoreHelpers.h"
#include "tools/writers/Tolvo10Database.h"

namespace tolvo::storetest {
namespace {

// One line per column: name, type, NOT NULL, collation, domain when a named one.
std::vector<std::string> ColumnsOf(const fs::path& db) {
  const auto rows = Query(
      db,
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
  const auto rows =
      Query(db,
            "SELECT TRIM(i.RDB$INDEX_NAME) || ' ' || TRIM(s.RDB$FIELD_NAME)"
            " FROM RDB$INDICES i JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = i.RDB$INDEX_NAME"
            " WHERE i.RDB$RELATION_NAME = 'STACJE' ORDER BY 1");
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(*r[0]);
  return out;
}

// The primary key constraint of STACJE and its index.
std::vector<Row> PrimaryKeyOf(const fs::path& db) {
  return Query(db,
               "SELECT TRIM(RDB$CONSTRAINT_NAME), TRIM(RDB$INDEX_NAME)"
               " FROM RDB$RELATION_CONSTRAINTS WHERE RDB$RELATION_NAME = 'STACJE'"
               " AND RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'");
}

bool HasStacje(const fs::path& db) {
  return !Query(db, "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'STACJE'").empty();
}

// STACJE as it is made: its columns, and its indexes with the primary key.
const std::vector<std::string> kColumns = {
    "STACJA VARCHAR(10) NOT NULL PXW_PLK",
    "NAZWA VARCHAR(60) PXW_PLK",
    "NAZWISKO VARCHAR(40) PXW_PLK",
    "IMIE VARCHAR(15) PXW_PLK",
    "MIASTO VARCHAR(25) PXW_PLK",
    "KODPOCZT VARCHAR(10) PXW_PLK",
    "ADRES VARCHAR(50) PXW_PLK",
    "LOKATOR VARCHAR(6) PXW_PLK",
    "DOMENA VARCHAR(6) PXW_PLK",
    "WOJEW VARCHAR(1) PXW_PLK",
    "POWIAT VARCHAR(2) PXW_PLK",
    "MANAGER VARCHAR(7) PXW_PLK",
    "IOTA VARCHAR(6) PXW_PLK",
    "EMAIL1 VARCHAR(50) PXW_PLK",
    "EMAIL2 VARCHAR(50) PXW_PLK",
    "UWAGI VARCHAR(50) PXW_PLK",
    "RODZAJ CHAR(1) PXW_PLK",
    "KRAJ SMALLINT",
    "DATAAKT DATE",
    "AKTUAL SMALLINT domain D_BOOL",
};

const std::vector<std::string> kIndexes = {
    "PK_STACJE STACJA",     "STACJE_IMIE IMIE",         "STACJE_KODPOCZT KODPOCZT",
    "STACJE_KRAJ KRAJ",     "STACJE_LOKATOR LOKATOR",   "STACJE_MIASTO MIASTO",
    "STACJE_NAZWA NAZWA",   "STACJE_NAZWISKO NAZWISKO", "STACJE_POWIAT POWIAT",
    "STACJE_RODZAJ RODZAJ", "STACJE_WOJEW WOJEW",
};

const std::vector<Row> kPrimaryKey = {{"PK_STACJE", "PK_STACJE"}};

using SchemaTest = StoreTest;

TEST_F(SchemaTest, FirstOpenCreatesTheTableWithKeyAndIndexes) {
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(db));
    EXPECT_TRUE(HasStacje(db));
    EXPECT_FALSE(cb.Find("SP1ABC"));
  }
  EXPECT_EQ(ColumnsOf(db), kColumns);
  EXPECT_EQ(IndexesOf(db), kIndexes);
  EXPECT_EQ(PrimaryKeyOf(db), kPrimaryKey);
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

// Before it makes STACJE, the store makes and drops a table of its own to
// clear what a creation killed in its commit leaves behind; a kill between
// the two leaves that table, which the next import drops.
TEST_F(SchemaTest, PlaceholderLeftByAKillIsDropped) {
  Execute(db, {"CREATE TABLE TOLVOIMP$PLACEHOLDER (X SMALLINT)"});
  Callbook cb;
  ASSERT_TRUE(cb.Open(db));
  cb.Close();
  EXPECT_EQ(
      Query(db, "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TOLVOIMP$PLACEHOLDER'"),
      std::vector<Row>{});
  EXPECT_EQ(IndexesOf(db), kIndexes);
}

// A cause that makes the making of STACJE fail, and what takes it away.
struct CreationFault {
  const char* what;
  std::vector<std::string> cause;  // run on a Tolvo 1.0 database
  std::vector<std::string> cure;
  const char* serverText;  // part of the error the import reports
};

// Whatever fails, nothing of the table stays, every later import tries again
// and fails the same way, and the first one after the cure makes the whole
// table.
TEST(SchemaFaults, FailedCreationLeavesTheCatalogueAsItWas) {
  const std::vector<CreationFault> faults = {
      {"a name of the fourth index taken by another table",
       {"CREATE TABLE INNA (MIASTO VARCHAR(25))", "CREATE INDEX STACJE_MIASTO ON INNA(MIASTO)"},
       {"DROP INDEX STACJE_MIASTO"},
       "Index STACJE_MIASTO already exists"},
      {"CREATE TABLE refused: no domain D_BOOL",
       {"DROP DOMAIN D_BOOL"},
       {"CREATE DOMAIN D_BOOL AS SMALLINT CHECK (VALUE IS NULL OR VALUE IN (0,1))"},
       "D_BOOL"},
      {"the last index refused",
       {"CREATE TABLE INNA (KRAJ SMALLINT)", "CREATE INDEX STACJE_KRAJ ON INNA(KRAJ)"},
       {"DROP INDEX STACJE_KRAJ"},
       "Index STACJE_KRAJ already exists"},
      {"the commit refused after every statement went through",
       {"CREATE EXCEPTION E_ODMOWA 'schema refused at commit'",
        "CREATE TRIGGER T_ODMOWA ON TRANSACTION COMMIT AS BEGIN"
        " IF (EXISTS(SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'STACJE')) THEN"
        " EXCEPTION E_ODMOWA; END"},
       {"DROP TRIGGER T_ODMOWA"},
       "schema refused at commit"},
  };
  for (const CreationFault& fault : faults) {
    SCOPED_TRACE(fault.what);
    ScratchFolder dir(ScratchFolder::Enter::Yes);
    const fs::path db = dir / "LOG.DAT";
    CreateTolvo10Database(db);
    Execute(db, fault.cause);
    const std::vector<std::string> before = Catalogue(db);
    Callbook cb;
    for (int attempt = 1; attempt <= 2; ++attempt) {
      try {
        cb.Open(db);
        ADD_FAILURE() << "no error at attempt " << attempt;
      } catch (const DatabaseError& e) {
        // Our sentence first, then the server's words.
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Nie udało się dodać do bazy tabeli callbooka STACJE; w bazie nic nie "
                             "zmieniono:\n",
                             0),
                  0u)
            << text;
        EXPECT_NE(text.find(fault.serverText), std::string::npos) << text;
      }
      EXPECT_EQ(CatalogueChanges(before, Catalogue(db)), std::vector<std::string>{}) << attempt;
    }

    Execute(db, fault.cure);
    ASSERT_TRUE(cb.Open(db));
    cb.Insert(test::Station({{StationField::STACJA, "SP1ABC"}}));
    cb.Close();
    EXPECT_EQ(ColumnsOf(db), kColumns);
    EXPECT_EQ(IndexesOf(db), kIndexes);
    EXPECT_EQ(PrimaryKeyOf(db), kPrimaryKey);
    EXPECT_EQ(Query(db, "SELECT STACJA FROM STACJE"), (std::vector<Row>{{"SP1ABC"}}));
  }
}

}  // namespace
}  // namespace tolvo::storetest
