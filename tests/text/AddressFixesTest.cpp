#include "text/AddressFixes.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/text/Cp1250Literal.h"

namespace tolvo {
namespace {

using test::W;

TEST(AbbreviationTable, RowsByteForByte) {
  ASSERT_EQ(AbbreviationTableSize(), 84u);
  EXPECT_EQ(AbbreviationPattern(1), " Ii ");
  EXPECT_EQ(AbbreviationReplacement(1), " II ");
  EXPECT_EQ(AbbreviationReplacement(21), W("i Bogumiły"));
  EXPECT_EQ(AbbreviationPattern(24), "11-Tego");
  EXPECT_EQ(AbbreviationReplacement(24), "11 ");
  EXPECT_EQ(AbbreviationPattern(83), "Niepodleglosci");
  EXPECT_EQ(AbbreviationReplacement(83), W("Niepodległości"));
}

TEST(FixAbbreviations, RowAfterRowWithoutOverlap) {
  const std::pair<const char*, const char*> cases[] = {
      {"Ul. 1-Go Maja 3", "Ul. 1 Maja 3"},
      {"Ul. 11-Go Listopada 2", "Ul. 11 Listopada 2"},
      {"Ul. Zwirki I Wigury 7", "Ul. Zwirki i Wigury 7"},
      {"Ul. Slowackiego 5", "Ul. Słowackiego 5"},
      {"Os. Xxxv-Lecia Prl 4", "Os. XXXV-Lecia PRL 4"},
      {"Os. Xxxv-Lecia Prl", "Os. XXXV-Lecia Prl"},
      {"Ul. 8-Go Marca 4", "Ul. 8  Marca 4"},
      {"Al. Jana Pawla Ii 5", "Al. Jana Pawła II 5"},  // a later row sees an earlier one's work
      {"Pl. (jana Pawla)", "Pl. (Jana Pawła)"},
      {"Kosciuszki 1 Kosciuszki", "Kościuszki 1 Kościuszki"},
      {"Ul. Ii Ii 3", "Ul. II II 3"},  // the blank between goes to the first match
      {"XxxXxx Xxx", "XXXXXX XXX"},
      {"UL. KOSCIUSZKI", "UL. KOSCIUSZKI"},
      {"", ""},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(FixAbbreviations(in), W(want)) << in;
}

}  // namespace
}  // namespace tolvo
