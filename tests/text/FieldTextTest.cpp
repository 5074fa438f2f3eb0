#include "text/FieldText.h"

#include <gtest/gtest.h>

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
