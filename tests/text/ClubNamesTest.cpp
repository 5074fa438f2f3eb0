#include "text/ClubNames.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/text/Cp1250Literal.h"

namespace tolvo {
namespace {

using test::W;

TEST(ClubNameTable, RowsByteForByteAndWholeNameMatch) {
  ASSERT_EQ(ClubNames().Size(), 52u);
  // Mazovia s-acute stays the raw byte 0x9E in the keys.
  const std::string lacznosci =
      "\xA3\xA5"
      "czno\x9E"
      "ci";
  EXPECT_EQ(ClubNames().Key(0), W("KoszaliŃski Radioklub LOK"));
  EXPECT_EQ(ClubNames().Value(1), W("K. LOK przy ZS Rybołówstwa"));
  EXPECT_EQ(ClubNames().Key(6), "Harcerski Klub " + lacznosci);
  EXPECT_EQ(ClubNames().Key(16), W("WojewÓdzki Klub \"Meridian\""));
  EXPECT_EQ(ClubNames().Value(16), W("Wojewódzki Klub \"Meridian\""));
  EXPECT_EQ(ClubNames().Key(46), "\x8C.Klub " + lacznosci + " przy KH");
  EXPECT_EQ(ClubNames().Value(51), W("Tyski Klub Krótkofalowców"));

  const std::string key = W("K.KrÓtkofalowcÓw");
  EXPECT_EQ(FixClubName(key), W("Klub Krótkofalowców"));
  EXPECT_EQ(FixClubName("Harcerski Klub " + lacznosci), W("Harcerski Klub Łączności"));
  for (const std::string& other : {key + " ", " " + key, key + " PZK", std::string("Klub"),
                                   W("K.KRÓTKOFALOWCÓW"), std::string()})
    EXPECT_EQ(FixClubName(other), other);
}

}  // namespace
}  // namespace tolvo
