#include "text/PlaceNames.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <string_view>

#include "import/LogCspImport.h"
#include "tests/text/NameTableChecks.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"

namespace tolvo {
namespace {

using namespace std::string_view_literals;

using test::kCapitals;
using test::kMixedCase;

// The Polish letters of Windows-1250, small and capital.
const std::string_view kPolish1250 =
    "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"sv;

bool Contains(std::string_view set, unsigned char c) {
  return set.find(static_cast<char>(c)) != std::string_view::npos;
}

// An upper-cased Mazovia key read back as Windows-1250 capitals.
std::string MazoviaKeyAsCp1250(std::string_view key) {
  std::string out;
  for (unsigned char c : key) {
    if (c == 0x8C) out += '\xA3';       // Ł
    else if (c == 0x8E) out += '\x8C';  // Ś
    else out += static_cast<char>(ToUpper1250(MazoviaToCp1250(c)));
  }
  return out;
}

// Windows-1250 text with its Polish letters replaced by the bare ASCII letter.
std::string WithoutPolishLetters(std::string_view text) {
  static const std::string_view plain = "acelnoszzACELNOSZZ";
  std::string out;
  for (unsigned char c : text) {
    const std::size_t at = kPolish1250.find(static_cast<char>(c));
    out += at == std::string_view::npos ? static_cast<char>(c) : plain[at];
  }
  return out;
}

struct PlaceNameTable {
  static const NameTable& Table() { return PlaceNames(); }
  static constexpr test::TableShape kShape{.rows = 2143, .empty = 4, .distinct = 1208, .twice = 16};
  static constexpr std::string_view kWordStarts = " -/.";
  static void ExpectKeyForm(std::string_view key) {
    // The lookup sees the text trimmed and upper-cased; any other key is dead.
    EXPECT_EQ(StripBlanks(key), key);
    EXPECT_EQ(ToUpper1250(key), key);
    // What follows a postal code never begins with another one.
    EXPECT_FALSE(BeginsWithPostalCode(key));
  }
  static void ExpectAsciiByte(unsigned char c) {
    EXPECT_FALSE(c >= 'a' && c <= 'z');
    EXPECT_GE(c, 0x20);
  }
  static constexpr std::array kEmptyKeys{"POLAND"sv, "POLSKA"sv};
  // Windows-1250 Ó (0xD3) is no Mazovia letter: the table holds no converted text.
  static constexpr std::array kMisses{"WARSZAW"sv,  "WARSZAWA "sv, " WARSZAWA"sv,  "warszawa"sv,
                                      "Warszawa"sv, ""sv,          "WARSZAWA\0"sv, "RZESZ\xD3W"sv};
  static constexpr std::array kScanMisses{"00950 WARSZAWA"sv, ""sv, "warszawa"sv, "XYZ"sv,
                                          "RZESZ\xD3W"sv};
};

TEST(PlaceNameTable, MazoviaKeysSpellTheirPlace) {
  int withMazovia = 0;
  for (std::size_t i = 0; i < PlaceNames().Size(); ++i) {
    const std::string_view key = PlaceNames().Key(i);
    if (key.find_first_of(std::string(kMixedCase) + std::string(kCapitals)) == std::string::npos)
      continue;
    ++withMazovia;
    SCOPED_TRACE(::testing::Message() << "row " << i + 1 << " key " << key);
    // Read back, the key is the place in capitals, perhaps followed by more
    // (a post-office number).
    const std::string place = ToUpper1250(PlaceNames().Value(i));
    EXPECT_EQ(MazoviaKeyAsCp1250(key).substr(0, place.size()), place);
  }
  EXPECT_GT(withMazovia, 500);
}

TEST(PlaceNameTable, ValuesAreProperlySpelledPlaceNames) {
  std::set<std::string> keys;
  for (std::size_t i = 0; i < PlaceNames().Size(); ++i) keys.emplace(PlaceNames().Key(i));
  for (std::size_t i = 0; i < PlaceNames().Size(); ++i) {
    const std::string_view value = PlaceNames().Value(i);
    if (value.empty()) continue;
    SCOPED_TRACE(::testing::Message() << "row " << i + 1 << " value " << Cp1250ToUtf8(value));
    EXPECT_EQ(StripBlanks(value), value);
    const unsigned char first = value[0];
    EXPECT_NE(ToLower1250(first), first) << "no capital initial";
    EXPECT_NE(ToLower1250(value), value);
    EXPECT_NE(ToUpper1250(value), value) << "written in capitals";
    for (unsigned char c : value) {
      if (c >= 0x80) {
        EXPECT_TRUE(Contains(kPolish1250, c)) << "byte " << int(c) << " is no Polish letter";
      }
    }
    // Every place can be found as written without Polish letters.
    EXPECT_TRUE(keys.count(ToUpper1250(WithoutPolishLetters(value))));
  }
}

std::string Value(std::string_view key) { return test::ValueOf(PlaceNames(), key); }

TEST(PlaceNameTable, KnownEntries) {
  EXPECT_EQ(Value("WARSZAWA"), "Warszawa");
  EXPECT_EQ(Value("35036 RZESZOW"), "Rzesz\xF3w");
  EXPECT_EQ(Value("RZESZOW"), "Rzesz\xF3w");
  EXPECT_EQ(Value("BIELSKO-B."),
            "Bielsko-Bia\xB3"
            "a");
  EXPECT_EQ(Value("BARANOW SAND."), "Baran\xF3w Sandomierski");
  EXPECT_EQ(Value("BYDGOSZCZ 43"), "Bydgoszcz");
  EXPECT_EQ(Value("BYTOM-23"), "Bytom");
  EXPECT_EQ(Value("BARCZEW WOJ. SIERADZ"), "Barczew");
  EXPECT_EQ(Value("ALEKSANDROW"), "Aleksandr\xF3w");
  // Aleksandrów Łódzki in mixed case (ó 0xA2, Ł 0x9C made 0x8C) and in capitals (Ó 0xA3).
  const std::string lodzki =
      "Aleksandr\xF3w \xA3\xF3"
      "dzki";
  EXPECT_EQ(Value("ALEKSANDROW LODZKI"), lodzki);
  EXPECT_EQ(Value("ALEKSANDR\xA2W \x8C\xA2"
                  "DZKI"),
            lodzki);
  EXPECT_EQ(Value("ALEKSANDR\xA3W \x8C\xA3"
                  "DZKI"),
            lodzki);
  // Mixed-case ś (0x9E) made 0x8E by upper-casing, ł (0x92) kept.
  EXPECT_EQ(Value("BABICE K/O\x8EWI\x91"
                  "CIMIA"),
            "Babice k/O\x9Cwi\xEA"
            "cimia");
  EXPECT_EQ(Value("BIELSKO-BIA\x92"
                  "A"),
            "Bielsko-Bia\xB3"
            "a");
  EXPECT_EQ(Value("\x8C\xA2"
                  "D\xA6"),
            "\xA3\xF3"
            "d\x9F");
  // A postal code that lost its hyphen in front of Warszawa is no key: the
  // town keeps the default spelling.
  EXPECT_EQ(PlaceNames().Find("00950 WARSZAWA"), nullptr);
  EXPECT_EQ(NormalizePlaceName("00950 WARSZAWA"), "00950 warszawa");
}

TEST(PlaceNameTable, KeysThatAreNoPlacesGiveNothing) {
  // Found with an empty value (kEmptyKeys): no town at all, not "Polska".
  EXPECT_EQ(NormalizePlaceName(" POLSKA "), "");
}

TEST(PlaceNameTable, EveryKeyIsReachedFromAPostalCodeAndTownField) {
  for (std::size_t i = 0; i < PlaceNames().Size(); ++i) {
    const std::string part3 = "00-950 " + std::string(PlaceNames().Key(i)) + " ";
    EXPECT_EQ(NormalizePlaceName(ToUpper1250(TownAfterPostalCode(part3))), PlaceNames().Value(i))
        << "row " << i + 1 << " key " << PlaceNames().Key(i);
  }
}

}  // namespace

namespace test {
INSTANTIATE_TYPED_TEST_SUITE_P(PlaceNames, NameTableTest, PlaceNameTable);
}  // namespace test
}  // namespace tolvo
