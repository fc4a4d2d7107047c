// Numbers as messages show them: a misfit total of 1.7e62 % was printed as
// a row of 63 digits.

#include "section/survey/ReadableNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lp {
namespace {

TEST(ReadableNumbers, HugeAndTinyNumbersGetAShortPowerOfTen)
{
    EXPECT_EQ(ReadableFixed(1.6666952722796863e62), "1.7e62");
    EXPECT_EQ(ReadableFixed(-2.5e7), "-2.5e7");
    EXPECT_EQ(ReadableNumber(1.6666952722796863e62), "1.67e62");
    EXPECT_EQ(ReadableNumber(1e300), "1e300");
    EXPECT_EQ(ReadableNumber(3.2e-5, 2), "3.2e-5");
    EXPECT_EQ(ReadableNumber(1e-300), "1e-300");
    EXPECT_EQ(ReadableNumber(123456.0), "1.23e5");
}

TEST(ReadableNumbers, OrdinaryNumbersKeepTheirDigits)
{
    EXPECT_EQ(ReadableFixed(2.414), "2.41");
    EXPECT_EQ(ReadableFixed(999999.0), "999999.00");
    EXPECT_EQ(ReadableFixed(0.0), "0.00");
    EXPECT_EQ(ReadableFixed(1.23456, 3), "1.235");
    EXPECT_EQ(ReadableNumber(0.812), "0.812");
    EXPECT_EQ(ReadableNumber(5.0625), "5.06");
    EXPECT_EQ(ReadableNumber(0.0), "0");
    EXPECT_EQ(ReadableNumber(120.0, 6), "120");
}

TEST(ReadableNumbers, WhatIsNoFiniteNumberIsNamed)
{
    EXPECT_EQ(ReadableNumber(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(ReadableFixed(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(ReadableNumber(std::nan("")), "nan");
}

} // namespace
} // namespace lp
