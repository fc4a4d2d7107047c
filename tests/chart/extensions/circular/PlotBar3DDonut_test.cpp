// 3-D bars from a per-point offset (their span, the value range, the stored
// offsets) and the donut's hole through Assign.

#include "chart/extensions/circular/PlotBar3DDonut.h"

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotValueList.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/circular/CircularTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(Bar3DSeries, BarRunsFromItsOffsetToItsValue)
{
    // Y 0 .. 10 at pixel 200 - 20 Y.
    test::TFixedAxesChart C(false, 10, 10);
    auto* S = new TBar3DSeries(&C.Chart);
    C.Chart.AddSeries(S);
    S->AddBar(5, 3, 5);
    C.Layout();
    EXPECT_EQ(S->GetOriginValue(0, false), 5);
    EXPECT_EQ(S->GetOriginPos(0), 100);
    C.DC.ClearCalls();
    S->DrawAllValues();
    const QStringList Bars = test::CallsNamed(C.DC.Calls(), QStringLiteral("Rectangle"));
    ASSERT_EQ(Bars.size(), 1) << C.DC.Calls().join('\n').toStdString();
    // From the offset's pixel (100) down to the value's (140).
    EXPECT_TRUE(Bars[0].contains(QRegularExpression(",100,\\d+,14[01]\\)$"))) << Bars[0].toStdString();
}

TEST(Bar3DSeries, OffsetsWidenTheRangeOnlyOfBarsThatDoNotStack)
{
    TBar3DSeries S;
    S.AddBar(0, -5, 2);
    S.AddBar(1, -1, -10);
    // Side by side: up to the largest offset, down to value + offset.
    EXPECT_EQ(S.MaxYValue(), 2);
    EXPECT_EQ(S.MinYValue(), -11);
    S.SetMultiBar(mbNone);
    EXPECT_EQ(S.MaxYValue(), 2);
    // Stacked bars end at offset + value (-3 and -11); the offsets
    // themselves do not widen the range.
    S.SetMultiBar(mbStacked);
    EXPECT_EQ(S.MaxYValue(), 0);
    EXPECT_EQ(S.MinYValue(), -11);
    EXPECT_EQ(S.GetStackValue(0), -3);
}

TEST(Bar3DSeries, DataBlockKeepsTheOffsets)
{
    TChart Original;
    auto* S = new TBar3DSeries(&Original);
    S->SetName(QStringLiteral("Bars"));
    Original.AddSeries(S);
    S->AddBar(1, 2, 0.5);
    S->AddBar(2, 4, -1.25);
    S->SetSaveData(true);
    S->SetManualData(true);
    TChart Copy;
    test::ReadInto(Original, Copy);
    ASSERT_EQ(Copy.SeriesCount(), 1);
    auto* R = qobject_cast<TBar3DSeries*>(Copy.Series(0));
    ASSERT_TRUE(R);
    ASSERT_EQ(R->Count(), 2);
    EXPECT_EQ(R->OffsetValues()->Name(), "Offset");
    EXPECT_EQ(R->OffsetValues()->Value(0), 0.5);
    EXPECT_EQ(R->OffsetValues()->Value(1), -1.25);
    EXPECT_EQ(R->YValues()->Value(1), 4);
}

TEST(DonutSeries, HoleSurvivesAssignFromAnyPie)
{
    TDonutSeries Donut;
    EXPECT_EQ(Donut.DonutPercent(), 50);
    TDonutSeries Other;
    Other.SetDonutPercent(30);
    Donut.Assign(&Other);
    EXPECT_EQ(Donut.DonutPercent(), 30);
    // From a plain pie the hole stays.
    TPieSeries Pie;
    Donut.Assign(&Pie);
    EXPECT_EQ(Donut.DonutPercent(), 30);
    // A hole below 1 per cent becomes 50.
    Other.SetDonutPercent(0);
    Donut.Assign(&Other);
    EXPECT_EQ(Donut.DonutPercent(), 50);
}

} // namespace
} // namespace lp
