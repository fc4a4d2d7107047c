// The counts and typed numbers the modelling windows share.

#include "section/modelling/ModellingWindowCommands.h"

#include <gtest/gtest.h>

namespace lp::test {
namespace {

// "Fitted in 1 iterations": a count names one thing in the singular, any
// other number (none included) in the plural.
TEST(ModellingWindowCommands, CountsNameOneInTheSingular)
{
    EXPECT_EQ(IterationCount(1), QStringLiteral("1 iteration"));
    EXPECT_EQ(IterationCount(0), QStringLiteral("0 iterations"));
    EXPECT_EQ(IterationCount(12), QStringLiteral("12 iterations"));
    EXPECT_EQ(DatumCount(1), QStringLiteral("1 datum"));
    EXPECT_EQ(DatumCount(2), QStringLiteral("2 data"));
    EXPECT_EQ(ElectrodeCount(1), QStringLiteral("1 electrode"));
    EXPECT_EQ(ElectrodeCount(48), QStringLiteral("48 electrodes"));
}

// Typed numbers: empty is none, anything else a finite number (above 0
// where it must be).
TEST(ModellingWindowCommands, TypedNumbersAreFiniteAndPositiveWhereAsked)
{
    bool valid = false;
    EXPECT_FALSE(TypedNumber(QString(), true, valid).has_value());
    EXPECT_TRUE(valid);
    EXPECT_EQ(TypedNumber(QStringLiteral("2.5"), true, valid), 2.5);
    EXPECT_TRUE(valid);
    EXPECT_FALSE(TypedNumber(QStringLiteral("0"), true, valid).has_value());
    EXPECT_FALSE(valid);
    EXPECT_EQ(TypedNumber(QStringLiteral("-1"), false, valid), -1.0);
    EXPECT_TRUE(valid);
    EXPECT_FALSE(TypedNumber(QStringLiteral("inf"), false, valid).has_value());
    EXPECT_FALSE(valid);
    EXPECT_FALSE(TypedNumber(QStringLiteral("abc"), false, valid).has_value());
    EXPECT_FALSE(valid);
}

} // namespace
} // namespace lp::test
