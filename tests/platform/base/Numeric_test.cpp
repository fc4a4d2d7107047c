#include "platform/base/Numeric.h"

#include "platform/base/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

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

// The rule spelled out: the lower neighbour below half, the upper above,
// the even one at exactly half.
double RoundHalfEvenByRule(double value)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

TEST(Rounding, AgreesWithTheRuleOnHalvesEdgesAndRandomValues)
{
    std::vector<double> values{0.0, -0.0, 0.49999999999999994, -0.49999999999999994, 0.5, -0.5,
                               4503599627370495.5, -4503599627370495.5, 4503599627370496.0,
                               4503599627370497.0, 9007199254740993.0, 1e300, -1e300,
                               std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-1e6, 1e6);
    std::uniform_int_distribution<int> whole(-100000, 100000);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(spread(random));
        values.push_back(whole(random) + 0.5);
    }
    for (const double value : values) {
        const double expected = RoundHalfEvenByRule(value);
        const double rounded = RoundHalfEven(value);
        EXPECT_EQ(rounded, expected) << value;
        EXPECT_EQ(std::signbit(rounded), std::signbit(expected)) << value;
    }
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
