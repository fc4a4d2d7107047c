#include "platform/base/Numeric.h"

#include "platform/base/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lp {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(-0.6), -1);
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
}

TEST(Rounding, ConversionsCheckTheirRange)
{
    EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(RoundToInt32(-2147483648.4), -2147483648);
    EXPECT_THROW(RoundToInt32(2147483648.0), ERangeError);
    EXPECT_THROW(RoundToInt32(std::nan("")), ERangeError);
    EXPECT_THROW(RoundToInt64(1e19), ERangeError);
    EXPECT_THROW(RoundToInt64(std::numeric_limits<double>::infinity()), ERangeError);
    EXPECT_EQ(RoundToInt64(-1e18), -1000000000000000000LL);
    EXPECT_EQ(CheckedInt32(-5), -5);
    EXPECT_THROW(CheckedInt32(1LL << 40), ERangeError);
}

} // namespace
} // namespace lp
