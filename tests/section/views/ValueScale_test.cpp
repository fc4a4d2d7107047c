#include "section/views/ValueScale.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// Every label is 10 pixels high and 6 pixels per character wide.
TSize FixedMeasure(const QString& Text)
{
    return TSize{6 * static_cast<int>(Text.length()), 10};
}

TEST(NiceTicks, ByHeightPicksTheStepWhoseLabelsFillSeventyPercent)
{
    struct TCase {
        int Length;
        double Step;
        int Count;
    };
    for (const TCase& c : {TCase{300, 0.5, 21}, TCase{100, 2.0, 6}}) {
        arofdoubleM ticks;
        NiceTicksByHeight(FixedMeasure, c.Length, ticks, 0, 10);
        ASSERT_EQ(ticks.Length(), c.Count) << c.Length;
        EXPECT_DOUBLE_EQ(ticks[0], 0.0);
        EXPECT_DOUBLE_EQ(ticks[1] - ticks[0], c.Step);
        EXPECT_NEAR(ticks.Last(), 10.0, 1e-9);
    }
}

TEST(NiceTicks, ShortScalesGetOneTickAtTheMiddle)
{
    for (int length : {30, 20, 1, 0}) {
        arofdoubleM ticks;
        NiceTicksByHeight(FixedMeasure, length, ticks, 0, 10);
        ASSERT_EQ(ticks.Length(), 1) << length;
        EXPECT_DOUBLE_EQ(ticks[0], 5.0);
    }
    // One pixel more and the ticks are multiples of a step again.
    arofdoubleM wide;
    NiceTicksByHeight(FixedMeasure, 31, wide, 0, 10);
    EXPECT_EQ(wide, arofdoubleM{0.0});
}

TEST(NiceTicks, EqualOrUnusableLimitsLeaveTheTicksAlone)
{
    arofdoubleM ticks{7.0};
    NiceTicksByHeight(FixedMeasure, 300, ticks, 3, 3);
    NiceTicksByWidth(FixedMeasure, 300, ticks, 3, 3);
    NiceTicksByHeight(FixedMeasure, 300, ticks, 0, std::numeric_limits<double>::infinity());
    NiceTicksByWidth(FixedMeasure, 300, ticks, std::nan(""), 1);
    EXPECT_EQ(ticks, arofdoubleM{7.0});
}

TEST(NiceTicks, ByWidthMeasuresTheWidestLabelOfEachStep)
{
    arofdoubleM ticks;
    // Labels of 0..10 are two digits wide ("00", 12 px), one more decimal
    // for each step below 1: a 400 px scale takes steps of 1.
    NiceTicksByWidth(FixedMeasure, 400, ticks, 0, 10);
    ASSERT_GE(ticks.Length(), 2);
    const double step = ticks[1] - ticks[0];
    const double fill = (ticks.Length() + 1) * 12.0 / 400;
    EXPECT_DOUBLE_EQ(step, 1.0);
    EXPECT_NEAR(fill, 0.5, 0.15);
}

TEST(TickLabels, DecimalsFollowTheTicksAndTheirStep)
{
    EXPECT_EQ(TickLabel(arofdoubleM{0, 0.5, 1}, 0), QStringLiteral("0.0"));
    EXPECT_EQ(TickLabel(arofdoubleM{0, 0.5, 1}, 1), QStringLiteral("0.5"));
    // The last tick keeps the decimals of the one before it.
    EXPECT_EQ(TickLabel(arofdoubleM{0, 0.5, 1}, 2), QStringLiteral("1.0"));
    EXPECT_EQ(TickLabel(arofdoubleM{0, 2, 4}, 2), QStringLiteral("4"));
    EXPECT_EQ(TickLabel(arofdoubleM{0.05}, 0), QStringLiteral("0.05"));
    EXPECT_EQ(TickLabel(arofdoubleM{10, 20}, 0), QStringLiteral("10"));
}

} // namespace
} // namespace lp
