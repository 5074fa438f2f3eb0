#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

#include "text/ClubCallSigns.h"
#include "import/LogCspImport.h"
#include "text/Cp1250.h"
#include "text/klub.h"
#include "text/skrot.h"

namespace tolvo {
namespace {

// UTF-8 test text as Windows-1250 bytes.
std::string W(std::string_view utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp1250(utf8, out)) << utf8;
  return out;
}

TEST(ClubNameTable, RowsByteForByteAndWholeNameMatch) {
  ASSERT_EQ(ClubNameTableSize(), 52u);
  // Mazovia s-acute stays the raw byte 0x9E in the keys.
  const std::string lacznosci = "\xA3\xA5" "czno\x9E" "ci";
  EXPECT_EQ(ClubNameKey(0), W("KoszaliŃski Radioklub LOK"));
  EXPECT_EQ(ClubNameValue(1), W("K. LOK przy ZS Rybołówstwa"));
  EXPECT_EQ(ClubNameKey(6), "Harcerski Klub " + lacznosci);
  EXPECT_EQ(ClubNameKey(16), W("WojewÓdzki Klub \"Meridian\""));
  EXPECT_EQ(ClubNameValue(16), W("Wojewódzki Klub \"Meridian\""));
  EXPECT_EQ(ClubNameKey(46), "\x8C.Klub " + lacznosci + " przy KH");
  EXPECT_EQ(ClubNameValue(51), W("Tyski Klub Krótkofalowców"));

  const std::string key = W("K.KrÓtkofalowcÓw");
  EXPECT_EQ(FixClubName(key), W("Klub Krótkofalowców"));
  EXPECT_EQ(FixClubName("Harcerski Klub " + lacznosci), W("Harcerski Klub Łączności"));
  for (const std::string& other : {key + " ", " " + key, key + " PZK", std::string("Klub"),
                                   W("K.KRÓTKOFALOWCÓW"), std::string()})
    EXPECT_EQ(FixClubName(other), other);
}

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

TEST(ClubCallSigns, FourGroupsAscendingAndExactLookup) {
  ASSERT_EQ(ClubCallSignCount(), 68u);
  const char groups[] = "KPZY";
  const std::size_t sizes[] = {23, 21, 9, 15};
  std::size_t i = 0;
  for (std::size_t g = 0; g < 4; ++g) {
    for (std::size_t n = 0; n < sizes[g]; ++n, ++i) {
      const std::string_view c = ClubCallSign(i);
      ASSERT_EQ(c.size(), 6u) << c;
      EXPECT_TRUE(c.starts_with("SP") && std::isdigit(static_cast<unsigned char>(c[2])) &&
                  c[3] == groups[g] && std::isupper(static_cast<unsigned char>(c[4])) &&
                  std::isupper(static_cast<unsigned char>(c[5])))
          << c;
      if (n > 0) {
        EXPECT_LT(ClubCallSign(i - 1), c);
      }
    }
  }
  const std::string call(ClubCallSign(67));
  EXPECT_TRUE(IsClubCallSign(" " + call + "\t"));
  std::string lower = call;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string& other : {lower, call + "/P", call.substr(0, 5), std::string()})
    EXPECT_FALSE(IsClubCallSign(other)) << other;
}

}  // namespace
}  // namespace tolvo
