#include "text/Locators.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/LinearLookup.h"

namespace tolvo {
namespace {

void ExpectRegion(std::string_view locator, std::string_view voivodeship, std::string_view county) {
  for (const LocatorRegion r : {FindLocatorRegion(locator), FindLocatorRegionLinear(locator)}) {
    EXPECT_TRUE(r.found) << locator;
    EXPECT_EQ(r.voivodeship, voivodeship) << locator;
    EXPECT_EQ(r.county, county) << locator;
  }
}

void ExpectMiss(std::string_view locator) {
  for (const LocatorRegion r : {FindLocatorRegion(locator), FindLocatorRegionLinear(locator)}) {
    EXPECT_FALSE(r.found) << locator;
    EXPECT_TRUE(r.voivodeship.empty()) << locator;
    EXPECT_TRUE(r.county.empty()) << locator;
  }
}

TEST(FindLocatorRegion, GivesTheFirstRowOfALocator) {
  ExpectRegion("JN99HR", "G", "CY");
  ExpectRegion("KO19HI", "K", "UD");
  ExpectRegion("JN99HS", "G", "CY");
  ExpectRegion("JO90KH", "G", "ET");
  ExpectRegion("JO80RG", "C", "GY");
  ExpectRegion("JO91QZ", "C", "BJ");
  ExpectRegion("KNO9VQ", "K", "KN");
  ExpectRegion("KN09VQ", "K", "KN");
  ExpectRegion("KO02", "R", "WM");
}

TEST(FindLocatorRegion, FoundRowMayHaveAnEmptyCounty) {
  const LocatorRegion r = FindLocatorRegion("JO90LE");
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.voivodeship, "G");
  EXPECT_EQ(r.county, "");
}

TEST(FindLocatorRegion, ComparesWholeStringsExactly) {
  ExpectMiss("jo90kh");
  ExpectMiss("Jo90KH");
  ExpectMiss("JO90KH ");
  ExpectMiss(" JO90KH");
  ExpectMiss("");
  ExpectMiss("JO90K");
  ExpectMiss("JO90KHAA");
  ExpectMiss(std::string_view("JO90KH\0", 7));
  ExpectMiss("KO02AA0");
  ExpectMiss("AA00AA");
}

TEST(FindLocatorRegion, IndexAgreesWithTheLinearWalk) {
  std::vector<std::string> probes;
  for (const LocatorRow& row : LocatorRegionTable()) {
    std::string loc(row.locator);
    probes.push_back(loc);
    probes.push_back(loc + " ");
    probes.push_back(loc.substr(0, loc.size() - 1));
    std::string lower = loc;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    probes.push_back(lower);
    std::string next = loc;
    ++next.back();
    probes.push_back(next);
  }
  for (const std::string& p : probes) {
    const LocatorRegion a = FindLocatorRegion(p), b = FindLocatorRegionLinear(p);
    ASSERT_EQ(a.found, b.found) << p;
    // Same row, not just equal text.
    EXPECT_EQ(a.voivodeship.data(), b.voivodeship.data()) << p;
    EXPECT_EQ(a.county.data(), b.county.data()) << p;
  }
}

bool IsRegularLocator(std::string_view s) {
  auto in = [](char c, char lo, char hi) { return c >= lo && c <= hi; };
  return s.size() == 6 && in(s[0], 'A', 'R') && in(s[1], 'A', 'R') && in(s[2], '0', '9') &&
         in(s[3], '0', '9') && in(s[4], 'A', 'X') && in(s[5], 'A', 'X');
}

// The shape of the built-in table, counted from its rows.
TEST(LocatorRegionTable, HasTheShapeOfThePublishedTable) {
  const auto table = LocatorRegionTable();
  ASSERT_EQ(table.size(), 875u);
  EXPECT_EQ(table.front().locator, "JN99HR");
  EXPECT_EQ(table.back().locator, "KO19HI");

  std::set<std::string_view> fields, squares;
  std::map<std::string_view, std::vector<std::size_t>> rowsOf;
  std::map<std::string_view, int> perLetter;
  std::map<std::string_view, std::set<std::string_view>> lettersOfCode;
  std::vector<std::string_view> irregular;
  int emptyCounties = 0;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const LocatorRow& row = table[i];
    if (i > 0) {
      EXPECT_LE(table[i - 1].locator, row.locator) << "row " << i;
    }
    fields.insert(row.locator.substr(0, 2));
    squares.insert(row.locator.substr(0, 4));
    rowsOf[row.locator].push_back(i);
    ASSERT_EQ(row.voivodeship.size(), 1u) << row.locator;
    ++perLetter[row.voivodeship];
    if (row.county.empty()) {
      ++emptyCounties;
    } else {
      ASSERT_EQ(row.county.size(), 2u) << row.locator;
      for (char c : row.county) EXPECT_TRUE(c >= 'A' && c <= 'Z') << row.locator;
      lettersOfCode[row.county].insert(row.voivodeship);
    }
    if (!IsRegularLocator(row.locator)) irregular.push_back(row.locator);
  }

  EXPECT_EQ(fields, (std::set<std::string_view>{"JN", "JO", "KN", "KO"}));
  EXPECT_EQ(squares.size(), 32u);
  EXPECT_TRUE(squares.count("KNO9") && squares.count("KO19"));

  EXPECT_EQ(rowsOf.size(), 814u);
  std::map<std::size_t, int> repeats;  // rows per locator -> locators
  int mixedLetters = 0;
  for (const auto& [loc, rows] : rowsOf) {
    if (rows.size() > 1) ++repeats[rows.size()];
    std::set<std::string_view> letters;
    for (std::size_t r : rows) letters.insert(table[r].voivodeship);
    if (letters.size() > 1) ++mixedLetters;
    // Rows of one locator sit together.
    EXPECT_EQ(rows.back() - rows.front() + 1, rows.size()) << loc;
  }
  EXPECT_EQ(repeats, (std::map<std::size_t, int>{{2, 54}, {3, 2}, {4, 1}}));
  EXPECT_EQ(rowsOf["JO90KH"].size(), 4u);
  EXPECT_EQ(mixedLetters, 12);

  const std::map<std::string_view, int> wantPerLetter = {
      {"B", 23}, {"C", 47}, {"D", 69}, {"F", 52},  {"G", 109}, {"J", 38}, {"K", 68}, {"L", 49},
      {"M", 66}, {"O", 27}, {"P", 47}, {"R", 105}, {"S", 24},  {"U", 28}, {"W", 76}, {"Z", 47}};
  EXPECT_EQ(perLetter, wantPerLetter);

  EXPECT_EQ(lettersOfCode.size(), 311u);
  std::map<std::string_view, std::set<std::string_view>> shared;
  for (const auto& [code, letters] : lettersOfCode)
    if (letters.size() > 1) shared[code] = letters;
  EXPECT_EQ(shared, (std::map<std::string_view, std::set<std::string_view>>{{"SK", {"B", "P"}},
                                                                            {"PR", {"K", "L"}}}));
  EXPECT_EQ(emptyCounties, 1);
  EXPECT_EQ(irregular, (std::vector<std::string_view>{"JO91QZ", "KNO9VQ", "KO02"}));
}

TEST(LocatorRegionTable, HoldsTheKnownRowsInOrder) {
  struct Row {
    std::string_view v, c;
    bool operator==(const Row&) const = default;
  };
  auto rowsOf = [](std::string_view loc) {
    std::vector<Row> out;
    for (const LocatorRow& r : LocatorRegionTable())
      if (r.locator == loc) out.push_back({r.voivodeship, r.county});
    return out;
  };
  using Rows = std::vector<Row>;
  EXPECT_EQ(rowsOf("JN99HR"), (Rows{{"G", "CY"}}));
  EXPECT_EQ(rowsOf("JN99HS"), (Rows{{"G", "CY"}, {"G", "GE"}}));
  EXPECT_EQ(rowsOf("JO90KH"), (Rows{{"G", "ET"}, {"G", "RS"}, {"G", "YT"}, {"G", "ZX"}}));
  EXPECT_EQ(rowsOf("JO90LE"), (Rows{{"G", ""}, {"G", "KB"}}));
  EXPECT_EQ(rowsOf("JO80RG"), (Rows{{"C", "GY"}, {"U", "PJ"}}));
  EXPECT_EQ(rowsOf("JO91QZ"), (Rows{{"C", "BJ"}}));
  EXPECT_EQ(rowsOf("KO02"), (Rows{{"R", "WM"}}));
  EXPECT_EQ(rowsOf("KO19HI"), (Rows{{"K", "UD"}}));
  EXPECT_EQ(rowsOf("KNO9VQ"), (Rows{{"K", "KN"}}));
  EXPECT_EQ(rowsOf("KN09VQ"), (Rows{{"K", "KN"}}));

  // The letter O sorts after every digit: KNO9VQ comes right after KN19OK.
  const auto table = LocatorRegionTable();
  for (std::size_t i = 1; i < table.size(); ++i)
    if (table[i].locator == "KNO9VQ") {
      EXPECT_EQ(table[i - 1].locator, "KN19OK");
    }
}

}  // namespace
}  // namespace tolvo
