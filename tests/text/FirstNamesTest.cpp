#include "text/FirstNames.h"

#include <gtest/gtest.h>

#include <array>
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

struct FirstNameTable {
  static const NameTable& Table() { return FirstNames(); }
  static constexpr test::TableShape kShape{.rows = 500, .empty = 19, .distinct = 346, .twice = 5};
  static constexpr std::string_view kWordStarts = " ";
  static void ExpectKeyForm(std::string_view key) {
    EXPECT_LE(key.size(), 10u);
    EXPECT_GT(static_cast<unsigned char>(key.front()), 0x20);
    EXPECT_GT(static_cast<unsigned char>(key.back()), 0x20);
    for (std::size_t p = 0; p < key.size(); ++p) {
      const unsigned char c = key[p];
      EXPECT_EQ(Upper(c), c) << "byte " << p + 1 << " would change on upper-casing";
    }
  }
  static void ExpectAsciiByte(unsigned char c) { EXPECT_TRUE((c >= 'A' && c <= 'Z') || c == ' '); }
  // Words of club names.
  static constexpr std::array kEmptyKeys{"CENTRALNY"sv, "HARCERSKI"sv, "KLUB LOK"sv,  "RADIOKLUB"sv,
                                         "REDAKCJA"sv,  "KOPALNIA"sv,  "KLUB KROTK"sv};
  // Windows-1250 Ł (0xA3, in JAROS\xA3AW) is Mazovia Ó: the table holds no
  // converted text.
  static constexpr std::array kMisses{"KLUB"sv,           "ADAM MARIUSZ"sv, "BARTE"sv,
                                      "BARTEK "sv,        "bartek"sv,       ""sv,
                                      "JAROS\xA3\x41W"sv, "JAN\0"sv};
  static constexpr std::array kScanMisses{"KLUB"sv, "ADAM MARIUSZ"sv, ""sv, "bartek"sv, "XYZ"sv};
};

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

std::string Value(std::string_view key) { return test::ValueOf(FirstNames(), key); }

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

}  // namespace

namespace test {
INSTANTIATE_TYPED_TEST_SUITE_P(FirstNames, NameTableTest, FirstNameTable);
}  // namespace test
}  // namespace tolvo
