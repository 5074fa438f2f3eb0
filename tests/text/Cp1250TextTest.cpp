#include "text/Cp1250Text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/text/Cp1250Literal.h"

namespace tolvo {
namespace {

using test::W;

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// The Windows-1250 letter pairs written out as characters, so that they are
// checked against the code page table rather than against the same numbers.
const char* const kLowerLetters =
    "abcdefghijklmnopqrstuvwxyz"
    "šśťžźłąşľż"
    "ŕáâăäĺćçčéęëěíîďđńňóôőöřůúűüýţ";
const char* const kUpperLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "ŠŚŤŽŹŁĄŞĽŻ"
    "ŔÁÂĂÄĹĆÇČÉĘËĚÍÎĎĐŃŇÓÔŐÖŘŮÚŰÜÝŢ";

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

TEST(Utf8ToCp1250, TakesBackEveryByteAndRefusesMalformedUtf8) {
  for (int b = 1; b < 256; ++b) {
    if (Cp1250ToUnicode(static_cast<unsigned char>(b)) == 0) continue;
    const std::string byte(1, static_cast<char>(b));
    std::string back;
    EXPECT_TRUE(Utf8ToCp1250(Cp1250ToUtf8(byte), back) && back == byte) << "byte " << b;
  }
  // Overlong forms (NUL and '/' among them), surrogates, values past
  // U+10FFFF, stray and cut-off continuation bytes.
  for (const char* bad :
       {"\xC0\x80", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x80\x80\x80", "\xED\xA0\x80",
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\x80", "a\xC5", "\xE2\x82"}) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1250(bad, out)) << testing::PrintToString(std::string(bad));
    EXPECT_FALSE(IsValidUtf8(bad));
  }
}

}  // namespace
}  // namespace tolvo
