// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <string>

namespace korvani::base {
namespace {

struct NumberCase {
  std::string Text;
  double Expected;
};

std::ostream& operator<<(std::ostream& out, const NumberCase& c) {
  return out << '"' << c.Text << '"';
}

class LenientNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LenientNumberTest, ReadsTheLongestLeadingNumber) {
  EXPECT_DOUBLE_EQ(LenientNumber(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LenientNumberTest,
    ::testing::Values(NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{"42", 42}, NumberCase{"  42  ", 42},
                      NumberCase{"1 2", 12}, NumberCase{"1\t2\n3", 123}, NumberCase{"-3.5", -3.5},
                      NumberCase{"+7", 7}, NumberCase{".25", 0.25}, NumberCase{"-.5", -0.5},
                      NumberCase{"3C", 3}, NumberCase{"12abc", 12}, NumberCase{"1.2.3", 1.2},
                      NumberCase{"1e3", 1000}, NumberCase{"2D2", 200}, NumberCase{"1e", 1},
                      NumberCase{"1e+", 1}, NumberCase{"2.5E-1x", 0.25}, NumberCase{"&HFF", 255},
                      NumberCase{"&HFFFF", -1}, NumberCase{"&h7fff", 32767}, NumberCase{"&H10000", 65536},
                      NumberCase{"&H", 0}, NumberCase{"- 5", -5}, NumberCase{"-", 0}, NumberCase{".", 0},
                      NumberCase{"1e999", 0}));

TEST(WholeNumberTest, RoundsHalvesToEven) {
  EXPECT_EQ(WholeNumber(2.5), 2);
  EXPECT_EQ(WholeNumber(3.5), 4);
  EXPECT_EQ(WholeNumber(-2.5), -2);
  EXPECT_EQ(WholeNumber(254.5), 254);
  EXPECT_EQ(WholeNumber(2.6), 3);
  EXPECT_EQ(WholeNumber(1e12), 2147483647);
}

TEST(WholeNumberTest, SixteenBitRangeAfterRounding) {
  EXPECT_TRUE(FitsInt16(32767.4));
  EXPECT_FALSE(FitsInt16(32767.6));
  EXPECT_TRUE(FitsInt16(-32768));
  EXPECT_FALSE(FitsInt16(-32769));
}

}  // namespace
}  // namespace korvani::base
