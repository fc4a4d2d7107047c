// Wind rose and clock series: compass and hour labels, the hands at a
// fixed time, the chart's axes while a clock is on it, the legend text and
// the repaint timer.

#include "chart/extensions/circular/PlotRoseSeries.h"

#include "chart/engine/PlotAxis.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/ui/Timer.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/circular/CircularTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::CallsNamed;
using test::TCircularChart;

TEST(WindRoseSeries, LabelsAreCompassDirections)
{
    TWindRoseSeries S;
    EXPECT_TRUE(S.CircleLabels());
    EXPECT_EQ(S.RotationAngle(), 90);
    EXPECT_EQ(S.GetCircleLabel(0, 0), "N");
    EXPECT_EQ(S.GetCircleLabel(0, 359.6), "N");
    EXPECT_EQ(S.GetCircleLabel(0, 50), "");
    EXPECT_EQ(S.GetCircleLabel(0, 90), "W");
    EXPECT_EQ(S.GetCircleLabel(0, 15), "NNNW");
    EXPECT_EQ(S.GetCircleLabel(0, 285), "NEEE");
    EXPECT_EQ(S.GetCircleLabel(0, -30), "");
    EXPECT_EQ(S.GetCircleLabel(0, 1e300), "");
    S.SetMirrorLabels(true);
    EXPECT_EQ(S.GetCircleLabel(0, 90), "E");
    EXPECT_EQ(S.GetCircleLabel(0, 0), "N");
}

TEST(ClockSeries, HourNumeralsRomanOrDecimal)
{
    TClockSeries S;
    EXPECT_EQ(S.Style(), cssRoman);
    EXPECT_EQ(S.GetCircleLabel(0, 0), "XII");
    EXPECT_EQ(S.GetCircleLabel(3, 90), "IX");
    EXPECT_EQ(S.GetCircleLabel(11, 330), "I");
    S.SetStyle(cssDecimal);
    EXPECT_EQ(S.GetCircleLabel(0, 0), "12");
    EXPECT_EQ(S.GetCircleLabel(3, 90), "9");
    EXPECT_EQ(S.GetCircleLabel(9, 270), "3");
}

TEST(ClockSeries, HandsShowTheSuppliedTime)
{
    TCircularChart C;
    auto* S = C.Add<TClockSeries>();
    S->OnGetTime = [](TClockSeries*, double& Time) { Time = EncodeDateTime(2024, 5, 6, 15, 0, 0, 0); };
    S->PenMinutes()->SetVisible(false);
    S->PenSeconds()->SetVisible(false);
    const QStringList Calls = C.Paint();
    // The hour hand at three o'clock points right: its arrow reaches the
    // point 1.3 / 2 of the radius to the right of the centre.
    const TPoint Tip = S->HandEnd(360 - 15 * 60 * 360.0 / 720, 1.3 / 2);
    EXPECT_EQ(Tip.Y, S->CircleYCenter());
    EXPECT_GT(Tip.X, S->CircleXCenter());
    const QStringList Arrows = CallsNamed(Calls, QStringLiteral("Polygon"));
    ASSERT_EQ(Arrows.size(), 1) << Calls.join('\n').toStdString();
    EXPECT_TRUE(Arrows[0].contains(QStringLiteral("%1 %2").arg(Tip.X).arg(Tip.Y))) << Arrows[0].toStdString();
    // Twelve numerals around the face.
    EXPECT_EQ(CallsNamed(Calls, QStringLiteral("TextOut")).size(), 12);

    QString Legend;
    S->GetLegendText(0, TChartSeries::ltsPlain, Legend);
    EXPECT_EQ(Legend, "15:00:00");
    EXPECT_EQ(S->CountLegendItems(), 1);
    EXPECT_EQ(S->LegendItemColor(0), clNone);
    // A time source far outside the calendar still gives a time of day.
    S->OnGetTime = [](TClockSeries*, double& Time) { Time = -1e12 - 0.25; };
    S->GetLegendText(0, TChartSeries::ltsPlain, Legend);
    EXPECT_EQ(Legend, "06:00:00");
}

TEST(ClockSeries, TheChartsAxesComeBackWhenTheClockLeaves)
{
    TCircularChart C;
    auto* S = C.Add<TClockSeries>();
    EXPECT_FALSE(C.Chart.AxisVisible());
    EXPECT_EQ(S->AngleIncrement(), 30);
    C.Chart.RemoveSeries(S);
    EXPECT_TRUE(C.Chart.AxisVisible());
    delete S;

    // Hidden before the clock came: hidden after it is gone.
    C.Chart.SetAxisVisible(false);
    auto* Other = C.Add<TClockSeries>();
    C.Chart.SetAxisVisible(true);
    EXPECT_TRUE(C.Chart.AxisVisible());
    delete Other;
    EXPECT_FALSE(C.Chart.AxisVisible());
}

TEST(ClockSeries, TheTimerRepaintsEverySecond)
{
    test::TCountingChart<TChart> Chart;
    auto* S = new TClockSeries(&Chart);
    Chart.AddSeries(S);
    EXPECT_EQ(S->Timer().Interval(), 1000);
    EXPECT_TRUE(S->Timer().Enabled());
    const int Before = Chart.Invalidations;
    S->Timer().Tick();
    EXPECT_GT(Chart.Invalidations, Before);
    EXPECT_TRUE(S->Timer().Enabled());
}

} // namespace
} // namespace lp
