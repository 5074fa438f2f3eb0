// Opening the database file the caller names, as the program finds LOG.DAT in
// the working folder.
#include <cstdio>
#include <random>

#include <gtest/gtest.h>

#include "source/FileLookup.h"
#include "store/Callbook.h"
#include "tests/import/RecordMap.h"
#include "tests/store/StoreHelpers.h"
#include "tools/writers/Tolvo10Database.h"

namespace tolvo::storetest {
namespace {

// Opening must fail (or raise a database error), never crash, and leave
// the file as it was.
void ExpectRefusedAndUnchanged(const fs::path& file) {
  const std::string before = ReadBytes(file);
  {
    Callbook cb;
    bool opened = true;
    try {
      opened = cb.Open(file);
    } catch (const DatabaseError&) {
      opened = false;
    }
    EXPECT_FALSE(opened);
  }
  EXPECT_EQ(ReadBytes(file), before);
}

TEST(Connect, MissingDatabaseGivesFalseAndCreatesNothing) {
  ScratchFolder dir(ScratchFolder::Enter::Yes);
  fs::create_directory(dir / "LOG.DAT.d");
  fs::create_directory(dir / "log.dat");  // a folder of that name does not count
  EXPECT_FALSE(FindInWorkingFolder(kCallbookFile));
  Callbook cb;
  EXPECT_FALSE(cb.Open(dir / "LOG.DAT"));
  EXPECT_FALSE(cb.Open(dir / "log.dat"));
  EXPECT_FALSE(cb.IsConnected());
  EXPECT_THROW(cb.Find("SP1ABC"), std::logic_error);
  cb.Close();
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"LOG.DAT.d", "log.dat"}));
}

TEST(Connect, NameIsFoundWithoutRegardToCaseAndOpenedInPlace) {
  for (const char* name : {"Log.dat", "log.dat"}) {
    ScratchFolder dir(ScratchFolder::Enter::Yes);
    CreateTolvo10Database(dir / name);
    {
      const auto file = FindInWorkingFolder(kCallbookFile);
      ASSERT_TRUE(file) << name;
      Callbook cb;
      ASSERT_TRUE(cb.Open(*file)) << name;
    }
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{name});
    EXPECT_EQ(Query(dir / name, "SELECT COUNT(*) FROM STACJE"), (std::vector<Row>{{"0"}}));
  }
}

TEST(Connect, FilesThatAreNoDatabaseAreRefusedUntouched) {
  ScratchFolder dir(ScratchFolder::Enter::Yes);
  const fs::path file = dir / "LOG.DAT";

  WriteBytes(file, "");
  ExpectRefusedAndUnchanged(file);

  std::mt19937 random(1234);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  WriteBytes(file, noise);
  ExpectRefusedAndUnchanged(file);

  // The first page of a real database with the rest cut off.
  fs::remove(file);
  CreateTolvo10Database(file);
  WriteBytes(file, ReadBytes(file).substr(0, 1024));
  ExpectRefusedAndUnchanged(file);
}

TEST(Connect, DatabaseHeldByAnotherProcessIsRefused) {
  if (std::system("command -v isql-fb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no isql-fb";
  ScratchFolder dir(ScratchFolder::Enter::Yes);
  const fs::path file = dir / "LOG.DAT";
  const fs::path out = dir / "isql.out";
  CreateTolvo10Database(file);
  std::FILE* other = testdb::AttachIsql(file, out);
  ASSERT_NE(other, nullptr) << ReadBytes(out);
  {
    Callbook cb;
    EXPECT_FALSE(cb.Open(file));
  }
  pclose(other);  // end of input: the other program detaches and ends
  Callbook cb;
  EXPECT_TRUE(cb.Open(file));
}

TEST(Connect, DialectOneDatabaseWorks) {
  ScratchFolder dir(ScratchFolder::Enter::Yes);
  const fs::path file = dir / "LOG.DAT";
  CreateTolvo10Database(file, true, /*dialect=*/1);
  {
    Callbook cb;
    ASSERT_TRUE(cb.Open(file));
    cb.Insert(test::Station({{StationField::STACJA, "OK1AB"}, {StationField::MIASTO, "Praha"}}));
    ASSERT_TRUE(cb.Find("OK1AB"));
    cb.FillLocator("OK1AB", "JO70FB");
  }
  EXPECT_EQ(Query(file, "SELECT MON$SQL_DIALECT FROM MON$DATABASE"), (std::vector<Row>{{"1"}}));
  EXPECT_EQ(Query(file, "SELECT MIASTO, LOKATOR FROM STACJE"),
            (std::vector<Row>{{"Praha", "JO70FB"}}));
}

}  // namespace
}  // namespace tolvo::storetest
