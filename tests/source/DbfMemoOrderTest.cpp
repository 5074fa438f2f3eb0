// Memo texts come out whole in whatever order they are asked for: in file
// order, twice for one record, from blocks that lie backwards in the memo
// file, after a return to the first record, and at the very end of a memo
// file that lacks its end mark.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "source/DbfTable.h"
#include "tests/support/ScratchFolder.h"
#include "tools/writers/DbfWriter.h"

namespace tolvo {
namespace {

const std::vector<DbfFieldSpec> kFields = {{"CALL", 'C', 6}, {"MEM_F", 'M', 10}};

// Memo lengths around the eight bytes probed for a dBASE IV mark and the
// 512-byte block.
std::vector<std::string> Memos() {
  std::vector<std::string> memos;
  for (std::size_t n : {1, 7, 8, 9, 511, 512, 513, 1200, 3}) {
    std::string m(n, 'a');
    for (std::size_t i = 0; i < n; ++i) m[i] = static_cast<char>('a' + (i + n) % 26);
    memos.push_back(m);
  }
  return memos;
}

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

TEST(DbfMemoOrder, EveryMemoWholeHoweverItIsAskedFor) {
  ScratchFolder folder(ScratchFolder::Enter::Yes);
  const std::vector<std::string> memos = Memos();
  {
    DbfWriter w("T.DBF", kFields);
    for (std::size_t i = 0; i < memos.size(); ++i) w.Add({std::to_string(i), memos[i]});
    w.Finish();
  }
  DbfTable t("Calls", "T.DBF");
  t.Open();
  for (int round = 0; round < 2; ++round) {  // the second after First()
    std::size_t i = 0;
    for (t.First(); !t.Eof(); t.Next(), ++i) {
      ASSERT_LT(i, memos.size());
      EXPECT_EQ(t.FieldAsString("MEM_F"), memos[i]) << i;
      EXPECT_EQ(t.FieldAsString("mem_f"), memos[i]) << i << " again";
    }
    EXPECT_EQ(i, memos.size());
  }

  // The records point at the memo blocks backwards: the last record at the
  // first block, and so on.
  std::string table = ReadAll("T.DBF");
  std::vector<std::string> pointers;
  const std::size_t header = 32 + 32 * kFields.size() + 1, record = 1 + 6 + 10;
  for (std::size_t i = 0; i < memos.size(); ++i)
    pointers.push_back(table.substr(header + i * record + 7, 10));
  for (std::size_t i = 0; i < memos.size(); ++i)
    table.replace(header + i * record + 7, 10, pointers[memos.size() - 1 - i]);
  WriteAll("R.DBF", table);
  WriteAll("R.DBT", ReadAll("T.DBT"));
  DbfTable r("Calls", "R.DBF");
  r.Open();
  std::size_t i = 0;
  for (r.First(); !r.Eof(); r.Next(), ++i)
    EXPECT_EQ(r.FieldAsString("MEM_F"), memos[memos.size() - 1 - i]) << i;
}

TEST(DbfMemoOrder, LastMemoRunsToTheEndOfAFileWithoutItsMark) {
  ScratchFolder folder(ScratchFolder::Enter::Yes);
  {
    DbfWriter w("T.DBF", kFields);
    w.Add({"A", "first"});
    w.Add({"B", "xyz"});
    w.Finish();
  }
  // The last block cut right after its text: three bytes, no Ctrl-Z.
  const std::string memo = ReadAll("T.DBT");
  WriteAll("T.DBT", memo.substr(0, 2 * 512 + 3));
  DbfTable t("Calls", "T.DBF");
  t.Open();
  EXPECT_EQ(t.FieldAsString("MEM_F"), "first");
  t.Next();
  EXPECT_EQ(t.FieldAsString("MEM_F"), "xyz");
  EXPECT_EQ(t.FieldAsString("MEM_F"), "xyz");
}

}  // namespace
}  // namespace tolvo
