// Gauge series: the scale's angles, Value and its limits, ticks and labels
// (a full circle, equal limits, a tiny increment), the hand, its pen
// mode and its clicks.

#include "chart/extensions/circular/PlotGaugeSeries.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotValueList.h"
#include "tests/chart/extensions/circular/CircularTestUtil.h"

#include <cmath>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::CallsNamed;
using test::TCircularChart;

QStringList LabelTexts(const QStringList& Calls)
{
    QStringList Result;
    for (const QString& Call : CallsNamed(Calls, QStringLiteral("TextOut")))
        Result << Call.section('"', 1, 1);
    return Result;
}

TEST(GaugeSeries, DefaultScaleRunsOverTheTop)
{
    TGaugeSeries S;
    EXPECT_EQ(std::fmod(S.ValueAngle(0), 360), 45);
    EXPECT_EQ(std::fmod(S.ValueAngle(50), 360), 90);
    EXPECT_EQ(std::fmod(S.ValueAngle(100), 360), 135);
    EXPECT_EQ(S.Count(), 1);
    EXPECT_FALSE(S.ShowInLegend());
    EXPECT_TRUE(S.Circled());
}

TEST(GaugeSeries, LimitsPullValueIntoRange)
{
    TGaugeSeries S;
    int Changes = 0;
    S.OnChange = [&](QObject*) { ++Changes; };
    S.SetValue(80);
    EXPECT_EQ(Changes, 1);
    S.SetValue(80);
    EXPECT_EQ(Changes, 1) << "an equal value is no change";
    S.SetMaximum(50);
    EXPECT_EQ(S.Value(), 50);
    EXPECT_EQ(Changes, 2);
    S.SetMinimum(60);
    EXPECT_EQ(S.Value(), 60);
    EXPECT_EQ(S.MaxYValue(), 50);
    EXPECT_EQ(S.MinYValue(), 60);
    // Reading an emptied series adds the point back.
    S.Clear();
    EXPECT_EQ(S.Value(), 0);
    EXPECT_EQ(S.Count(), 1);
}

TEST(GaugeSeries, TicksAndLabelsWalkTheScale)
{
    TCircularChart C;
    auto* S = C.Add<TGaugeSeries>();
    C.Chart.LeftAxis()->SetIncrement(25);
    EXPECT_EQ(LabelTexts(C.Paint()), (QStringList{"0", "25", "50", "75", "100"}));
    // A full circle does not write the maximum over the minimum.
    S->SetTotalAngle(360);
    EXPECT_EQ(LabelTexts(C.Paint()), (QStringList{"0", "25", "50", "75"}));
    // A step too small for a dial ends after a sane count of ticks.
    C.Chart.LeftAxis()->SetIncrement(1e-9);
    EXPECT_EQ(LabelTexts(C.Paint()).size(), 1000);
    // A zero increment steps by 10.
    S->SetTotalAngle(90);
    C.Chart.LeftAxis()->SetIncrement(0);
    EXPECT_EQ(LabelTexts(C.Paint()).size(), 11);
}

TEST(GaugeSeries, EqualLimitsDrawNoScaleAndTheHandUp)
{
    TCircularChart C;
    auto* S = C.Add<TGaugeSeries>();
    S->SetMaximum(0);
    C.Chart.LeftAxis()->MinorTicks()->SetVisible(false);
    const QStringList Calls = C.Paint();
    EXPECT_TRUE(LabelTexts(Calls).isEmpty());
    const TGaugeSeries::THand Hand = S->HandGeometry();
    EXPECT_EQ(Hand.End.X, S->CircleXCenter());
    EXPECT_LT(Hand.End.Y, S->CircleYCenter());
    // The hand is the only line.
    EXPECT_EQ(CallsNamed(Calls, QStringLiteral("LineTo")).size(), 1) << Calls.join('\n').toStdString();
}

TEST(GaugeSeries, HandStopsShortAndInvertsUnlessFullRepaint)
{
    TCircularChart C;
    auto* S = C.Add<TGaugeSeries>();
    S->SetValue(50);
    QStringList Calls = C.Paint();
    const TGaugeSeries::THand Hand = S->HandGeometry();
    // Straight up, HandDistance short of the circle, starting at the rim of
    // the centre knob.
    EXPECT_EQ(Hand.End, (TPoint{S->CircleXCenter(), S->CircleYCenter() - S->YRadius() + 30}));
    EXPECT_EQ(Hand.Start.Y, S->CircleYCenter() - 8);
    // The raster operation in force when the hand's line is drawn.
    const auto HandMode = [&](const QStringList& Drawn) {
        const qsizetype Line = Drawn.indexOf(QStringLiteral("LineTo(%1,%2)").arg(Hand.End.X).arg(Hand.End.Y));
        const QStringList Modes = Drawn.mid(0, Line).filter(QStringLiteral("SetROP2("));
        return Line > 0 && !Modes.isEmpty() ? Modes.last() : QString();
    };
    EXPECT_EQ(HandMode(Calls), "SetROP2(10)") << "not-xor";
    S->SetFullRepaint(true);
    EXPECT_EQ(HandMode(C.Paint()), "SetROP2(13)");

    EXPECT_EQ(S->Clicked(Hand.End.X + 1, (Hand.Start.Y + Hand.End.Y) / 2), 0);
    EXPECT_EQ(S->Clicked(Hand.End.X + 6, (Hand.Start.Y + Hand.End.Y) / 2), -1);
}

TEST(GaugeSeries, TriangularHandHasItsBaseAcrossTheHand)
{
    TCircularChart C;
    auto* S = C.Add<TGaugeSeries>();
    S->SetValue(50);
    S->SetHandStyle(hsTriangle);
    const QStringList Calls = C.Paint();
    const TGaugeSeries::THand Hand = S->HandGeometry();
    const QString Expected = QStringLiteral("Polygon([%1 %2;%3 %4;%5 %4])")
                                 .arg(Hand.End.X)
                                 .arg(Hand.End.Y)
                                 .arg(Hand.Start.X + 4)
                                 .arg(Hand.Start.Y)
                                 .arg(Hand.Start.X - 4);
    EXPECT_TRUE(Calls.contains(Expected)) << Expected.toStdString() << "\n" << Calls.join('\n').toStdString();
}

} // namespace
} // namespace lp
