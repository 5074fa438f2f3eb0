#include "text/FirstNames.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/text/NameTableChecks.h"

namespace tolvo {
namespace {

using namespace std::string_view_literals;

// Windows-1250 case pairs, kept here on their own so the table is checked
// against an independent statement of the rules.
unsigned char Upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return c - 0x20;
  switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9D:
    case 0x9E:
    case 0x9F: return c - 0x10;
    case 0xB3: return 0xA3;
    case 0xB9: return 0xA5;
    case 0xBA: return 0xAA;
    case 0xBE: return 0xBC;
    case 0xBF: return 0xAF;
    default: return c;
  }
}

unsigned char Lower(unsigned char c) {
  for (int l = 0; l < 256; ++l)
    if (Upper(static_cast<unsigned char>(l)) == c && l != c) return static_cast<unsigned char>(l);
  return c;
}

bool IsUpperLetter(unsigned char c) { return Lower(c) != c; }
bool IsLowerLetter(unsigned char c) { return Upper(c) != c; }

using test::kCapitals;
using test::kMixedCase;

std::string Value(std::string_view key) { return test::ValueOf(FirstNames(), key); }

TEST(FirstNameTable, HasItsFixedShape) { test::ExpectShape(FirstNames(), 500, 19, 346, 5); }

TEST(FirstNameTable, KeysAreTheUpperCasedFieldAsTheSourceHoldsIt) {
  for (std::size_t i = 0; i < FirstNames().Size(); ++i) {
    const std::string_view key = FirstNames().Key(i);
    SCOPED_TRACE(::testing::Message() << "row " << i + 1 << " key " << key);
    ASSERT_FALSE(key.empty());
    EXPECT_LE(key.size(), 10u);
    EXPECT_GT(static_cast<unsigned char>(key.front()), 0x20);
    EXPECT_GT(static_cast<unsigned char>(key.back()), 0x20);
    bool mixed = false, capitals = false;
    for (std::size_t p = 0; p < key.size(); ++p) {
      const unsigned char c = key[p];
      EXPECT_EQ(Upper(c), c) << "byte " << p + 1 << " would change on upper-casing";
      if (c < 0x80) {
        EXPECT_TRUE((c >= 'A' && c <= 'Z') || c == ' ') << "byte " << p + 1;
        continue;
      }
      const bool inMixed = kMixedCase.find(static_cast<char>(c)) != std::string_view::npos;
      const bool inCapitals = kCapitals.find(static_cast<char>(c)) != std::string_view::npos;
      EXPECT_TRUE(inMixed || inCapitals) << "byte " << p + 1 << " is no upper-cased Mazovia letter";
      // A word's initial is a capital in either spelling; after it the letters
      // of one key come from one way of writing only.
      if (p > 0 && key[p - 1] != ' ') {
        mixed |= inMixed;
        capitals |= inCapitals;
      }
    }
    EXPECT_FALSE(mixed && capitals) << "mixed-case and capital Mazovia letters in one key";
  }
}

TEST(FirstNameTable, ValuesAreSingleNamesWithCapitalInitial) {
  for (std::size_t i = 0; i < FirstNames().Size(); ++i) {
    const std::string_view value = FirstNames().Value(i);
    if (value.empty()) continue;
    SCOPED_TRACE(::testing::Message() << "row " << i + 1 << " value " << value);
    EXPECT_TRUE(IsUpperLetter(value[0]));
    for (std::size_t p = 1; p < value.size(); ++p)
      EXPECT_TRUE(IsLowerLetter(value[p])) << "byte " << p + 1;
  }
}

TEST(FirstNameTable, KnownEntries) {
  EXPECT_EQ(Value("JAN"), "Jan");
  EXPECT_EQ(Value("BARTEK"), "Bart\xB3omiej");
  EXPECT_EQ(Value("BARTLOMIEJ"), "Bart\xB3omiej");
  EXPECT_EQ(Value("JOZEK"), "J\xF3zef");
  EXPECT_EQ(Value("ELA"),
            "El\xBF"
            "bieta");
  EXPECT_EQ(Value("BORZENA"),
            "Bo\xBF"
            "ena");
  EXPECT_EQ(Value("ADAM MARIA"), "Adam");
  EXPECT_EQ(Value("ADAM MARIU"), "Adam");
  // Jarosław written in mixed case (ł 0x92 kept) and in capitals (Ł 0x9C made 0x8C).
  EXPECT_EQ(Value("JAROS\x92"
                  "AW"),
            "Jaros\xB3"
            "aw");
  EXPECT_EQ(Value("JAROS\x8C"
                  "AW"),
            "Jaros\xB3"
            "aw");
  EXPECT_EQ(Value("J\xA2ZEF"), "J\xF3zef");
  EXPECT_EQ(Value("J\xA3ZEF"), "J\xF3zef");
}

TEST(FirstNameTable, ClubWordsHaveEmptyValue) {
  for (std::string_view word : {"CENTRALNY"sv, "HARCERSKI"sv, "KLUB LOK"sv, "RADIOKLUB"sv,
                                "REDAKCJA"sv, "KOPALNIA"sv, "KLUB KROTK"sv}) {
    const std::string_view* v = FirstNames().Find(word);
    ASSERT_NE(v, nullptr) << word;
    EXPECT_TRUE(v->empty()) << word;
  }
}

TEST(FirstNameTable, OnlyWholeKeysMatch) {
  // Windows-1250 Ł (0xA3) is Mazovia Ó: the table holds no converted text.
  for (std::string_view miss :
       {"KLUB"sv, "ADAM MARIUSZ"sv, "BARTE"sv, "BARTEK "sv, "bartek"sv, ""sv,
        "JAROS\xA3"
        "AW"sv,
        "JAN\0"sv})
    EXPECT_EQ(FirstNames().Find(miss), nullptr) << miss;
}

TEST(FirstNameTable, IndexAnswersLikeAScanFromTheTop) {
  test::ExpectIndexAnswersLikeAScan(FirstNames(),
                                    {"KLUB"sv, "ADAM MARIUSZ"sv, ""sv, "bartek"sv, "XYZ"sv});
}

}  // namespace
}  // namespace tolvo
