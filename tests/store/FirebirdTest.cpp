// The client layer on its own: message buffers, errors, transaction ends.
#include <gtest/gtest.h>

#include "store/Firebird.h"
#include "tests/store/StoreHelpers.h"

namespace tolvo::storetest {
namespace {

using FirebirdTest = StoreTest;

TEST_F(FirebirdTest, MessageSlotsFollowTheStatementMetadata) {
  fb::Attachment att = OpenRaw(db);
  fb::Transaction tr;
  tr.Start(att);
  fb::Statement st(att, tr,
                   "SELECT CAST(? AS CHAR(4)), CAST(? AS VARCHAR(3)), CAST(? AS SMALLINT),"
                   " CAST(? AS BIGINT) FROM RDB$DATABASE");
  fb::Message in = st.NewInput();
  fb::Message out = st.NewOutput();
  ASSERT_EQ(in.Count(), 4u);
  EXPECT_TRUE(in.IsNull(0));  // every slot starts NULL
  EXPECT_EQ(in.Capacity(0), 4u);
  EXPECT_EQ(in.Capacity(1), 3u);

  in.SetText(0, "ab");
  in.SetText(1, "wxyz");  // cut to the capacity, never past the buffer
  in.SetInteger(2, -269);
  in.SetInteger(3, 1LL << 40);
  EXPECT_THROW(in.SetInteger(2, 40000), std::out_of_range);
  EXPECT_THROW(in.SetText(2, "x"), std::logic_error);

  fb::Cursor cursor = st.Open(tr, &in, out);
  ASSERT_TRUE(cursor.Fetch());
  EXPECT_EQ(out.Text(0), "ab");  // CHAR padding is not part of the text
  EXPECT_EQ(out.Text(1), "wxy");
  EXPECT_EQ(out.Integer(2), -269);
  EXPECT_EQ(out.Integer(3), 1LL << 40);
  EXPECT_FALSE(cursor.Fetch());
  cursor.Close();

  in.SetNull(1);
  fb::Cursor again = st.Open(tr, &in, out);
  ASSERT_TRUE(again.Fetch());
  EXPECT_TRUE(out.IsNull(1));
  EXPECT_EQ(out.Text(1), "");
}

TEST_F(FirebirdTest, ErrorsCarryTheServerText) {
  fb::Attachment att = OpenRaw(db);
  fb::Transaction tr;
  tr.Start(att);
  try {
    fb::Statement st(att, tr, "SELEKT 1 FROM RDB$DATABASE");
    FAIL() << "prepared";
  } catch (const DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("Token unknown"), std::string::npos) << e.what();
    EXPECT_NE(e.Code(), 0);
  }
  EXPECT_THROW(fb::Attachment::Open((dir / "missing.fdb").string(), {}), DatabaseError);
  EXPECT_FALSE(fs::exists(dir / "missing.fdb"));
}

TEST_F(FirebirdTest, UnfinishedTransactionIsRolledBack) {
  Execute(db, {"CREATE TABLE T (A INTEGER)"});
  {
    fb::Attachment att = OpenRaw(db);
    fb::Transaction tr;
    tr.Start(att);
    att.ExecuteImmediate(tr, "INSERT INTO T VALUES (1)");
    tr.Rollback();
    tr.Start(att);
    att.ExecuteImmediate(tr, "INSERT INTO T VALUES (2)");
  }  // transaction before attachment: rolled back, then detached
  {
    fb::Attachment att = OpenRaw(db);
    fb::Transaction tr;
    tr.Start(att);
    att.ExecuteImmediate(tr, "INSERT INTO T VALUES (3)");
    EXPECT_TRUE(tr.CommitOrRollbackQuietly());
    EXPECT_FALSE(tr.IsActive());
  }
  EXPECT_EQ(Query(db, "SELECT A FROM T"), (std::vector<Row>{{"3"}}));
}

}  // namespace
}  // namespace tolvo::storetest
