// The checks that the first-name and the place-name tables share.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
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

// `rows` rows, `empty` of them with an empty value, `distinct` other values,
// and `twice` keys that stand twice, each with one value; no key stands more
// often.
inline void ExpectShape(const NameTable& table, std::size_t rows, int empty, std::size_t distinct,
                        int twice) {
  ASSERT_EQ(table.Size(), rows);
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
  EXPECT_EQ(emptyValues, empty);
  EXPECT_EQ(values.size(), distinct);
  int repeated = 0;
  for (const auto& [key, count] : occurrences) {
    EXPECT_LE(count, 2) << key;
    if (count == 2) {
      ++repeated;
      EXPECT_EQ(valuesByKey[key].size(), 1u) << "repeated key with two values: " << key;
    }
  }
  EXPECT_EQ(repeated, twice);
}

// The index finds what a scan from the top finds: for every key, every key
// cut by one byte or lengthened by one, and `misses`.
inline void ExpectIndexAnswersLikeAScan(const NameTable& table,
                                        std::initializer_list<std::string_view> misses) {
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
  for (std::string_view miss : misses) EXPECT_EQ(table.Find(miss), FindLinear(table, miss)) << miss;
}

}  // namespace tolvo::test
