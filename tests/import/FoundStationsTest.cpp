// A station already in the callbook: the LOG_C_SP and LOG_C_OK steps still
// read every field of the record, in the table's order, so that a table
// lacking one fails on such a record too; they leave the row as it is (but
// for a missing locator from LOG_C_OK).
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "import/LogCokImport.h"
#include "import/LogCspImport.h"
#include "tests/import/RecordMap.h"

namespace tolvo {
namespace {

using test::RecordMap;
using F = StationField;

const std::vector<std::string> kAllFields = {"Call", "Name", "mem_f", "QRA_LOC", "WOJ"};

RecordMap Record(const std::string& call) {
  return RecordMap{{"CALL", call},
                   {"NAME", "JAN"},
                   {"MEM_F", "JAN KOWALSKI;UL. 1-GO MAJA 3;00-950 WARSZAWA"},
                   {"QRA_LOC", "JO91QZ"},
                   {"WOJ", "CBJ"}};
}

void Put(MemoryCallbook& book, std::string_view call, std::string_view lokator) {
  book.Insert(test::Station({{F::STACJA, call}, {F::NAZWA, "Stary Wpis"}, {F::LOKATOR, lokator}}));
}

TEST(FoundStation, LogCSPReadsEveryFieldAndWritesNothing) {
  MemoryCallbook book;
  Put(book, "SP5ABC", "");
  RecordMap rec = Record(" sp5abc ");
  test::Import(ImportLogCSPRecord, rec, book);
  EXPECT_EQ(rec.reads, kAllFields);
  EXPECT_EQ(book.inserts, 1);
  EXPECT_EQ(book.updates, 0);
  EXPECT_EQ(test::RowText(book, "SP5ABC"), "STACJA=SP5ABC|NAZWA=Stary Wpis");

  for (const char* missing : {"NAME", "MEM_F", "QRA_LOC", "WOJ"}) {
    RecordMap lacking = Record("SP5ABC");
    lacking.Drop(missing);
    EXPECT_THROW(test::Import(ImportLogCSPRecord, lacking, book), std::runtime_error) << missing;
  }
  EXPECT_EQ(book.inserts, 1);
}

TEST(FoundStation, LogCOKReadsEveryFieldAndOnlyFillsTheLocator) {
  MemoryCallbook book;
  Put(book, "OK1ABC", "");
  Put(book, "OK1DEF", "JO60AA");
  RecordMap first = Record("OK1ABC");
  test::Import(ImportLogCOKRecord, first, book);
  EXPECT_EQ(first.reads, kAllFields);
  RecordMap second = Record("OK1DEF");
  test::Import(ImportLogCOKRecord, second, book);
  EXPECT_EQ(second.reads, kAllFields);

  EXPECT_EQ(book.inserts, 2);
  EXPECT_EQ(book.updates, 1);
  EXPECT_EQ(test::RowText(book, "OK1ABC"), "STACJA=OK1ABC|NAZWA=Stary Wpis|LOKATOR=JO91QZ");
  EXPECT_EQ(test::RowText(book, "OK1DEF"), "STACJA=OK1DEF|NAZWA=Stary Wpis|LOKATOR=JO60AA");

  RecordMap lacking = Record("OK1DEF");
  lacking.Drop("MEM_F");
  EXPECT_THROW(test::Import(ImportLogCOKRecord, lacking, book), std::runtime_error);
}

}  // namespace
}  // namespace tolvo
