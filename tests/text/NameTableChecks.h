// The checks that the first-name and the place-name tables share.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "tests/support/LinearLookup.h"
#include "text/FirstMatchIndex.h"

namespace tolvo::test {

// Mazovia letters as upper-casing leaves them: written in mixed case
// (ą ć ę ł ń ó ś ź ż, with ś turned into 0x8E) and in capitals
// (Ą Ć Ę Ł Ń Ó Ś Ź Ż, with Ł turned into 0x8C).
inline constexpr std::string_view kMixedCase = "\x86\x8D\x91\x92\xA4\xA2\x8E\xA6\xA7";
inline constexpr std::string_view kCapitals = "\x8F\x95\x90\x8C\xA5\xA3\x98\xA0\xA1";

// The value `table` gives for `key`, "<none>" when it gives none.
inline std::string ValueOf(const NameTable& table, std::string_view key) {
  const std::string_view* v = table.Find(key);
  return v ? std::string(*v) : std::string("<none>");
}

// The checks every name table passes. A table's Traits give:
//   Table()                 the table
//   kShape                  its counts of rows, values and keys
//   kWordStarts             the bytes after which a word's initial follows
//   ExpectKeyForm(key)      its own checks of a key as a whole
//   ExpectAsciiByte(c)      its own checks of a key's ASCII byte
//   kEmptyKeys              keys it holds with an empty value
//   kMisses                 texts it must not find: no key matches but whole
//   kScanMisses             texts the index must miss like a scan does
struct TableShape {
  std::size_t rows;
  int empty;             // rows with an empty value
  std::size_t distinct;  // other values, each counted once
  int twice;             // keys that stand twice
};

template <class Traits>
class NameTableTest : public ::testing::Test {};
TYPED_TEST_SUITE_P(NameTableTest);

// No key stands more than twice, and a key that stands twice has one value.
TYPED_TEST_P(NameTableTest, HasItsFixedShape) {
  const NameTable& table = TypeParam::Table();
  ASSERT_EQ(table.Size(), TypeParam::kShape.rows);
  std::map<std::string_view, std::set<std::string_view>> valuesByKey;
  std::map<std::string_view, int> occurrences;
  std::set<std::string_view> values;
  int emptyValues = 0;
  for (std::size_t i = 0; i < table.Size(); ++i) {
    valuesByKey[table.Key(i)].insert(table.Value(i));
    ++occurrences[table.Key(i)];
    if (table.Value(i).empty()) ++emptyValues;
    else values.insert(table.Value(i));
  }
  EXPECT_EQ(emptyValues, TypeParam::kShape.empty);
  EXPECT_EQ(values.size(), TypeParam::kShape.distinct);
  int repeated = 0;
  for (const auto& [key, count] : occurrences) {
    EXPECT_LE(count, 2) << key;
    if (count == 2) {
      ++repeated;
      EXPECT_EQ(valuesByKey[key].size(), 1u) << "repeated key with two values: " << key;
    }
  }
  EXPECT_EQ(repeated, TypeParam::kShape.twice);
}

// A key is the field as the source holds it, upper-cased: its bytes above
// ASCII are upper-cased Mazovia letters, all of one way of writing after a
// word's initial.
TYPED_TEST_P(NameTableTest, KeysAreTheUpperCasedFieldAsTheSourceHoldsIt) {
  const NameTable& table = TypeParam::Table();
  for (std::size_t i = 0; i < table.Size(); ++i) {
    const std::string_view key = table.Key(i);
    SCOPED_TRACE(::testing::Message() << "row " << i + 1 << " key " << key);
    ASSERT_FALSE(key.empty());
    TypeParam::ExpectKeyForm(key);
    bool mixed = false, capitals = false;
    for (std::size_t p = 0; p < key.size(); ++p) {
      const unsigned char c = key[p];
      SCOPED_TRACE(::testing::Message() << "byte " << p + 1);
      if (c < 0x80) {
        TypeParam::ExpectAsciiByte(c);
        continue;
      }
      const bool inMixed = kMixedCase.find(static_cast<char>(c)) != std::string_view::npos;
      const bool inCapitals = kCapitals.find(static_cast<char>(c)) != std::string_view::npos;
      EXPECT_TRUE(inMixed || inCapitals) << "no upper-cased Mazovia letter";
      const char before = p > 0 ? key[p - 1] : ' ';
      if (TypeParam::kWordStarts.find(before) == std::string_view::npos) {
        mixed |= inMixed;
        capitals |= inCapitals;
      }
    }
    EXPECT_FALSE(mixed && capitals) << "mixed-case and capital Mazovia letters in one key";
  }
}

TYPED_TEST_P(NameTableTest, KeysWithAnEmptyValue) {
  for (std::string_view key : TypeParam::kEmptyKeys) {
    const std::string_view* v = TypeParam::Table().Find(key);
    ASSERT_NE(v, nullptr) << key;
    EXPECT_TRUE(v->empty()) << key;
  }
}

TYPED_TEST_P(NameTableTest, OnlyWholeKeysMatch) {
  for (std::string_view miss : TypeParam::kMisses)
    EXPECT_EQ(TypeParam::Table().Find(miss), nullptr) << miss;
}

// The index finds what a scan from the top finds: for every key, every key
// cut by one byte or lengthened by one, and kScanMisses.
TYPED_TEST_P(NameTableTest, IndexAnswersLikeAScanFromTheTop) {
  const NameTable& table = TypeParam::Table();
  for (std::size_t i = 0; i < table.Size(); ++i) {
    const std::string_view key = table.Key(i);
    const std::string_view* linear = FindLinear(table, key);
    ASSERT_NE(linear, nullptr) << key;
    // Same entry, not merely an equal value: a repeated key yields its first row.
    EXPECT_EQ(table.Find(key), linear) << key;
    std::size_t first = 0;
    while (table.Key(first) != key) ++first;
    EXPECT_EQ(*linear, table.Value(first));
    const std::string shorter(key.substr(0, key.size() - 1));
    EXPECT_EQ(table.Find(shorter), FindLinear(table, shorter)) << shorter;
    const std::string longer = std::string(key) + "A";
    EXPECT_EQ(table.Find(longer), FindLinear(table, longer)) << longer;
  }
  for (std::string_view miss : TypeParam::kScanMisses)
    EXPECT_EQ(table.Find(miss), FindLinear(table, miss)) << miss;
}

REGISTER_TYPED_TEST_SUITE_P(NameTableTest, HasItsFixedShape,
                            KeysAreTheUpperCasedFieldAsTheSourceHoldsIt, KeysWithAnEmptyValue,
                            OnlyWholeKeysMatch, IndexAnswersLikeAScanFromTheTop);

}  // namespace tolvo::test
