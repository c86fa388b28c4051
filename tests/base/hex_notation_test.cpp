// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/hex_notation.h"

#include <gtest/gtest.h>

#include <string>

namespace korvani::base {
namespace {

using namespace std::string_literals;

struct TextCase {
  const char* Name;
  std::string Input;
  std::string Expected;
};

std::ostream& operator<<(std::ostream& out, const TextCase& c) {
  return out << c.Name;
}

class ParseTxTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ParseTxTextTest, DecodesTypedText) {
  EXPECT_EQ(ParseTxText(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, ParseTxTextTest,
    ::testing::Values(
        TextCase{"HelloCrLf", "Hello'0D '0A", "Hello\r\n"}, TextCase{"LowerCaseDigits", "'0d", "\r"},
        TextCase{"OneDigitAtEnd", "'D", "\r"}, TextCase{"TwoOneDigitEscapes", "'D'A", "\r\n"},
        TextCase{"DoubledApostrophe", "''", "'"}, TextCase{"ApostropheNonHex", "'G", "'G"},
        TextCase{"CommentDropsRest", "A;B", "A"}, TextCase{"DoubledSemicolon", "A;;B", "A;B"},
        TextCase{"SemicolonAfterEscapeIsLiteral", "'0D;B", "\r;B"},
        TextCase{"LoneApostropheAtEnd", "abc'", "abc'"}, TextCase{"ThirdDigitIsPlain", "'412", "A2"},
        TextCase{"SpaceAfterEscapeSwallowed", "'41 ", "A"},
        TextCase{"OnlyOneSpaceSwallowed", "'41  x", "A x"}, TextCase{"OneDigitThenSpace", "'7 x", "\x07x"},
        TextCase{"OneDigitThenSemicolonComments", "'7;x", "\x07"},
        TextCase{"OneDigitThenOther", "'7x", "\x07x"}, TextCase{"ApostropheSpace", "' x", "' x"},
        TextCase{"ApostropheSemicolon", "';x", "';x"}, TextCase{"EscapeThenApostropheEscape", "'41'42", "AB"},
        TextCase{"NulByte", "'00", "\0"s}, TextCase{"HighByte", "'FF", "\xFF"},
        TextCase{"HexDigitsOutsideEscape", "DEAD 12", "DEAD 12"}, TextCase{"CommentOnly", ";just a note", ""},
        TextCase{"Empty", "", ""}, TextCase{"OneDigitAtEndAfterText", "x'9", "x\x09"},
        TextCase{"SemicolonThenSemicolonAfterEscape", "'41;;", "A;"}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.Name); });

class AsciiToDisplayTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(AsciiToDisplayTest, ShowsNonPrintingCodesAsEscapes) {
  EXPECT_EQ(AsciiToDisplay(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, AsciiToDisplayTest,
    ::testing::Values(TextCase{"Empty", "", ""}, TextCase{"CrLfAsThemselves", "\r\n", "\r\n"},
                      TextCase{"DelAsItself", "\x7F", "\x7F"}, TextCase{"Code128", "\x80", "'80 "},
                      TextCase{"Code0", "\0"s, "'00 "},
                      TextCase{"StxBetweenLetters",
                               "A\x02"
                               "B",
                               "A'02 B"},
                      TextCase{"Code31", "\x1F", "'1F "}, TextCase{"Code255", "\xFF", "'FF "},
                      TextCase{"Printable", " ~", " ~"}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.Name); });

TEST(SafeAscTest, GivesCodeOfFirstCharacterOrZero) {
  EXPECT_EQ(SafeAsc(""), 0);
  EXPECT_EQ(SafeAsc("A"), 65);
  EXPECT_EQ(SafeAsc("\xFFz"), 255);
}

TEST(HexToAsciiStringTest, ListsPairsWithSpaces) {
  EXPECT_EQ(HexToAsciiString("abc"), "61 62 63 ");
  EXPECT_EQ(HexToAsciiString(""), "");
  EXPECT_EQ(HexToAsciiString("\x00\x0F\xF0"s), "00 0F F0 ");
}

TEST(HexToAsciiStringTest, CapsAtFiveThousandBytesWithNote) {
  const std::string exact(5000, 'A');
  EXPECT_EQ(HexToAsciiString(exact).size(), 15000U);

  const std::string listing = HexToAsciiString(std::string(5001, 'A'));
  const std::string note = " truncated to 5000 bytes in HexToAsciiString";
  ASSERT_EQ(listing.size(), 15000U + note.size());
  EXPECT_EQ(listing.substr(0, 3), "41 ");
  EXPECT_EQ(listing.substr(15000), note);
}

TEST(HexNotationTest, DisplayFormParsesBackToReceivedBytes) {
  // Every byte but the apostrophe and the semicolon, which the notation gives a meaning.
  std::string received;
  for (int code = 0; code < 256; ++code) {
    if (code != '\'' && code != ';') {
      received.push_back(static_cast<char>(code));
    }
  }
  EXPECT_EQ(ParseTxText(AsciiToDisplay(received)), received);
}

TEST(HexNotationTest, HandlesChunksBeyondSixteenBitLengths) {
  std::string big(100000, '\x02');
  const std::string shown = AsciiToDisplay(big);
  EXPECT_EQ(shown.size(), 400000U);
  EXPECT_EQ(shown.substr(399996), "'02 ");
  EXPECT_EQ(ParseTxText(shown), big);
}

}  // namespace
}  // namespace korvani::base
