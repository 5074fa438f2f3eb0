#include "text/Globals.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "text/Cp1250.h"

namespace tolvo {
namespace {

// UTF-8 test text as Windows-1250 bytes.
std::string W(std::string_view utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp1250(utf8, out)) << utf8;
  return out;
}

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(StripBlanks, RemovesControlBytesAndSpacesAtBothEnds) {
  EXPECT_EQ(StripBlanks("\t Jan \r\n"), "Jan");
  EXPECT_EQ(StripBlanks(std::string("\0 \0\0 ", 5)), "");
  EXPECT_EQ(StripBlanks(""), "");
  EXPECT_EQ(StripBlanks(std::string("\x01\x1f" "a \t b" "\x20\x00", 9)), "a \t b");
  // 0x7F and the no-break space 0xA0 are not blanks.
  EXPECT_EQ(StripBlanks("\xA0Jan\x7F"), "\xA0Jan\x7F");
  EXPECT_EQ(StripBlanks(" \xA0 "), "\xA0");
  for (int c = 0; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(StripBlanks(one).empty(), c <= 0x20) << c;
  }
  EXPECT_EQ(StripBlanksView("  x  "), "x");
}

// The Windows-1250 letter pairs written out as characters, so that they are
// checked against the code page table rather than against the same numbers.
const char* const kLowerLetters =
    "abcdefghijklmnopqrstuvwxyz" "šśťžźłąşľż" "ŕáâăäĺćçčéęëěíîďđńňóôőöřůúűüýţ";
const char* const kUpperLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ" "ŠŚŤŽŹŁĄŞĽŻ" "ŔÁÂĂÄĹĆÇČÉĘËĚÍÎĎĐŃŇÓÔŐÖŘŮÚŰÜÝŢ";

TEST(CaseMaps, AreExactlyTheWindows1250LetterPairs) {
  const std::string lower = W(kLowerLetters), upper = W(kUpperLetters);
  ASSERT_EQ(lower.size(), 66u);
  ASSERT_EQ(upper.size(), lower.size());
  std::map<unsigned char, unsigned char> up, down;
  for (std::size_t i = 0; i < lower.size(); ++i) {
    up[static_cast<unsigned char>(lower[i])] = static_cast<unsigned char>(upper[i]);
    down[static_cast<unsigned char>(upper[i])] = static_cast<unsigned char>(lower[i]);
  }
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    const unsigned char wantUp = up.count(b) ? up[b] : b;
    const unsigned char wantDown = down.count(b) ? down[b] : b;
    EXPECT_EQ(ToUpper1250(b), wantUp) << "byte " << c;
    EXPECT_EQ(ToLower1250(b), wantDown) << "byte " << c;
  }
  EXPECT_EQ(ToUpper1250(lower), upper);
  EXPECT_EQ(ToLower1250(upper), lower);
}

TEST(CaseMaps, ConvertWholeTextsAndKeepOtherBytes) {
  EXPECT_EQ(ToUpper1250(W("łódź żółć")), W("ŁÓDŹ ŻÓŁĆ"));
  EXPECT_EQ(ToLower1250(W("ŚĄ")), W("śą"));
  for (const char* keep : {"µß", "0123456789 .,;:-_/()!?", "÷×"}) {
    EXPECT_EQ(ToUpper1250(W(keep)), W(keep)) << keep;
    EXPECT_EQ(ToLower1250(W(keep)), W(keep)) << keep;
  }
  EXPECT_EQ(ToUpper1250("\xFF\xDF\xB5\xF7"), "\xFF\xDF\xB5\xF7");
  const std::string withNul("a\0b", 3);
  EXPECT_EQ(ToUpper1250(withNul), std::string("A\0B", 3));
  EXPECT_EQ(ToUpper1250(""), "");
  // Mazovia bytes are changed as if they were Windows-1250 letters.
  EXPECT_EQ(ToUpper1250("\x9E\x9C"), "\x8E\x8C");
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

TEST(MazoviaToCp1250, ConvertsTheEighteenPolishLetters) {
  // Mazovia byte -> the Polish letter it stands for.
  const std::pair<unsigned char, const char*> letters[] = {
      {0x86, "ą"}, {0x8D, "ć"}, {0x8F, "Ą"}, {0x90, "Ę"}, {0x91, "ę"}, {0x92, "ł"},
      {0x95, "Ć"}, {0x98, "Ś"}, {0x9C, "Ł"}, {0x9E, "ś"}, {0xA0, "Ź"}, {0xA1, "Ż"},
      {0xA2, "ó"}, {0xA3, "Ó"}, {0xA4, "ń"}, {0xA5, "Ń"}, {0xA6, "ź"}, {0xA7, "ż"},
  };
  std::map<unsigned char, std::string> want;
  for (const auto& [mazovia, letter] : letters) want[mazovia] = W(letter);
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    const std::string expected = want.count(b) ? want[b] : std::string(1, static_cast<char>(b));
    EXPECT_EQ(MazoviaToCp1250(std::string(1, static_cast<char>(b))), expected) << "byte " << c;
    EXPECT_EQ(std::string(1, static_cast<char>(MazoviaToCp1250(b))), expected) << "byte " << c;
  }
}

TEST(MazoviaToCp1250, ConvertsTextByteForByte) {
  EXPECT_EQ(MazoviaToCp1250(Bytes({0x8F, 0x86, 0x9C, 0x92})), Bytes({0xA5, 0xB9, 0xA3, 0xB3}));
  EXPECT_EQ(MazoviaToCp1250(Bytes({0x8D, 0x9E})), Bytes({0xE6, 0x9C}));
  EXPECT_EQ(MazoviaToCp1250(""), "");
  // "Łódź" in Mazovia, with blanks that stay where they are.
  EXPECT_EQ(MazoviaToCp1250(Bytes({' ', 0x9C, 0xA2, 'd', 0xA6, ' '})), " " + W("Łódź") + " ");
  // Text already in Windows-1250 is damaged by a second conversion.
  EXPECT_EQ(MazoviaToCp1250(W("Ą")), W("Ń"));
  EXPECT_EQ(MazoviaToCp1250(W("Ł")), W("Ó"));
  const std::string withNul("\x86\0\x86", 3);
  EXPECT_EQ(MazoviaToCp1250(withNul), std::string("\xB9\0\xB9", 3));
}

}  // namespace
}  // namespace tolvo
