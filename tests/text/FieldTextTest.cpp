#include "text/FieldText.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "tests/text/Cp1250Literal.h"

namespace tolvo {
namespace {

using test::W;

TEST(StripBlanks, RemovesControlBytesAndSpacesAtBothEnds) {
  EXPECT_EQ(StripBlanks("\t Jan \r\n"), "Jan");
  EXPECT_EQ(StripBlanks(std::string("\0 \0\0 ", 5)), "");
  EXPECT_EQ(StripBlanks(""), "");
  EXPECT_EQ(StripBlanks(std::string("\x01\x1f"
                                    "a \t b"
                                    "\x20\x00",
                                    9)),
            "a \t b");
  // 0x7F and the no-break space 0xA0 are not blanks.
  EXPECT_EQ(StripBlanks("\xA0Jan\x7F"), "\xA0Jan\x7F");
  EXPECT_EQ(StripBlanks(" \xA0 "), "\xA0");
  for (int c = 0; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(StripBlanks(one).empty(), c <= 0x20) << c;
  }
  EXPECT_EQ(StripBlanksView("  x  "), "x");
}

TEST(StripTrailing, RemovesOnlyThePadBytesAtTheEnd) {
  // Fixed-width fields are padded with spaces; a NUL or a tab at the end is
  // data there, and the front is never touched.
  EXPECT_EQ(StripTrailingSpaces("  SP1ABC   "), "  SP1ABC");
  EXPECT_EQ(StripTrailingSpaces(std::string_view("SP1ABC\0 ", 8)), std::string_view("SP1ABC\0", 7));
  EXPECT_EQ(StripTrailingSpaces("SP1ABC\t "), "SP1ABC\t");
  EXPECT_EQ(StripTrailingSpaces("    "), "");
  EXPECT_EQ(StripTrailingSpaces(""), "");
  const auto spaceOrNul = [](char c) { return c == ' ' || c == '\0'; };
  EXPECT_EQ(StripTrailing(std::string_view("AB \0 \0", 6), spaceOrNul), "AB");
  EXPECT_EQ(StripTrailing(std::string_view("\0AB", 3), spaceOrNul), std::string_view("\0AB", 3));
}

TEST(BuildFullName, PutsSurnameFirstAndStrips) {
  EXPECT_EQ(BuildFullName("Kowalski", "Jan"), "Kowalski Jan");
  EXPECT_EQ(BuildFullName("", "Jan"), "Jan");
  EXPECT_EQ(BuildFullName(" Kowalski ", ""), "Kowalski");
  EXPECT_EQ(BuildFullName("", ""), "");
  EXPECT_EQ(BuildFullName(" \t", " \r"), "");
  // The first name is appended unchanged: inner blanks stay, outer ones go.
  EXPECT_EQ(BuildFullName(" Nowak\t", "Anna  Maria "), "Nowak Anna  Maria");
  EXPECT_EQ(BuildFullName("Nowak", "  Anna"), "Nowak   Anna");
}

TEST(HasSemicolon, LooksAtEveryByte) {
  EXPECT_TRUE(HasSemicolon(";"));
  EXPECT_TRUE(HasSemicolon("abc ;"));
  EXPECT_TRUE(HasSemicolon(std::string("\0;", 2)));
  EXPECT_FALSE(HasSemicolon("a,b:c"));
  EXPECT_FALSE(HasSemicolon(""));
}

TEST(SplitSemicolonTriple, SplitsAtTheFirstTwoSeparators) {
  auto expect = [](std::string_view in, const char* a, const char* b, const char* c) {
    const SemicolonTriple t = SplitSemicolonTriple(in);
    EXPECT_EQ(t.first, a) << in;
    EXPECT_EQ(t.second, b) << in;
    EXPECT_EQ(t.third, c) << in;
  };
  expect("x;y;z", "x", "y", "z");
  expect("x;y", "", "", "");
  expect("xyz", "", "", "");
  expect("x;y;z;w", "x", "y", "z;w");
  expect(" x ; y ; z ", "x ", " y ", " z");
  expect(";;", "", "", "");
  expect("", "", "", "");
  expect(" \t ", "", "", "");
  expect("\r\nJan Kowalski;ul. Długa 1;00-950 Warszawa\r\n", "Jan Kowalski", "ul. Długa 1",
         "00-950 Warszawa");
  expect(";b;", "", "b", "");
  expect("a;;c", "a", "", "c");
}

// The Polish lists write a postal code as 00-950; the Czech one as 12-345 or
// 12 345 (separators "- ").
TEST(PostalCode, BeginsTheTextWithItsSeparator) {
  const struct {
    const char* separators;
    std::initializer_list<const char*> yes, no;
  } cases[] = {
      {"-",
       {"00-950 WARSZAWA", "00-950", " 00-950X"},
       {"00950 WARSZAWA", "00 950 WARSZAWA", "00-95", "0a-950", ""}},
      {"- ",
       {"12-345", "12 345 Praha", "  12-345", "12-3456", "00-000x"},
       {"", "12-34", "110 00 Praha", "1a-345", "12_345", "12--345", "Praha"}},
  };
  for (const auto& c : cases) {
    for (const char* yes : c.yes) EXPECT_TRUE(BeginsWithPostalCode(yes, c.separators)) << yes;
    for (const char* no : c.no) EXPECT_FALSE(BeginsWithPostalCode(no, c.separators)) << no;
  }
}

TEST(PostalCode, CodeAndTownAfterIt) {
  EXPECT_EQ(PostalCodeOf(" 00-950 WARSZAWA"), "00-950");
  EXPECT_EQ(PostalCodeOf("12-345 Praha"), "12-345");
  const struct {
    const char *text, *separators, *town;
  } cases[] = {{" 00-950 WARSZAWA ", "-", " WARSZAWA"},
               {"00-950", "-", ""},
               {"WARSZAWA ", "-", "WARSZAWA "},
               {"12-345 Praha", "- ", " Praha"},
               {"12-345", "- ", ""},
               {"110 00 Praha", "- ", "110 00 Praha"}};
  for (const auto& c : cases)
    EXPECT_EQ(TownAfterPostalCode(c.text, c.separators), c.town) << c.text;
}

TEST(HasExactlyOneSpace, CountsOnlySpacesOfTheStrippedText) {
  EXPECT_TRUE(HasExactlyOneSpace("Jan Maria"));
  EXPECT_TRUE(HasExactlyOneSpace("\t Jan Maria \n"));
  EXPECT_FALSE(HasExactlyOneSpace(" Jan "));
  EXPECT_FALSE(HasExactlyOneSpace("Jan  Maria"));
  EXPECT_FALSE(HasExactlyOneSpace("Jan Maria Kowalski"));
  EXPECT_FALSE(HasExactlyOneSpace("Jan\tMaria"));
  EXPECT_TRUE(HasExactlyOneSpace("Jan\tMaria Kowalska"));
  EXPECT_FALSE(HasExactlyOneSpace(""));
  EXPECT_FALSE(HasExactlyOneSpace(" "));
}

TEST(FirstWord, IsTheTextBeforeTheFirstSpace) {
  EXPECT_EQ(FirstWord("Jan Maria Kowalski"), "Jan");
  EXPECT_EQ(FirstWord("  Jan Maria"), "Jan");
  EXPECT_EQ(FirstWord("Jan"), "");
  EXPECT_EQ(FirstWord("Jan "), "");
  EXPECT_EQ(FirstWord(""), "");
  EXPECT_EQ(FirstWord("Jan\tMaria Nowak"), "Jan\tMaria");
}

TEST(CapitalizeWord, UpperCasesTheFirstByteAndLowerCasesTheRest) {
  EXPECT_EQ(CapitalizeWord(W("kRAKÓW")), W("Kraków"));
  EXPECT_EQ(CapitalizeWord("x"), "X");
  EXPECT_EQ(CapitalizeWord("  "), "");
  EXPECT_EQ(CapitalizeWord(""), "");
  EXPECT_EQ(CapitalizeWord(W("NOWY SĄCZ")), W("Nowy sącz"));
  EXPECT_EQ(CapitalizeWord(W("JAN KOWALSKI")), W("Jan kowalski"));
  EXPECT_EQ(CapitalizeWord(W(" ŁÓDŹ\r\n")), W("Łódź"));
  EXPECT_EQ(CapitalizeWord(W("ż")), W("Ż"));
  EXPECT_EQ(CapitalizeWord("1ABC"), "1abc");
}

}  // namespace
}  // namespace tolvo
