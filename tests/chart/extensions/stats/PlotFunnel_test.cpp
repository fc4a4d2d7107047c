// Funnel: sorting, geometry from current points, the fill cases and colour
// rule, zero quotes, mark texts, hit test, stored opportunities and the
// reference picture.

#include "chart/extensions/stats/PlotFunnel.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lp {
namespace {

TEST(FunnelSeries, QuotesAreSortedDescendingUnlessSaidSorted)
{
    TFunnelSeries S;
    S.AddSegment(50, 40, "b", clPlotColor);
    S.AddSegment(100, 90, "a", clPlotColor);
    S.AddSegment(20, 30, "c", clPlotColor);
    EXPECT_EQ(test::YsOf(S), (std::vector<double>{100, 50, 20}));
    EXPECT_EQ(test::XsOf(S), (std::vector<double>{0, 1, 2}));
    EXPECT_DOUBLE_EQ(S.OpportunityValues()->Value(0), 90);
    EXPECT_EQ(S.Labels().GetLabel(2), "c");
    S.Recalc();
    EXPECT_DOUBLE_EQ(S.FirstQuote(), 100);
    EXPECT_DOUBLE_EQ(S.LastQuote(), 20);
    EXPECT_DOUBLE_EQ(S.Step(), 40.0 / 3);

    TFunnelSeries Kept;
    Kept.SetQuotesSorted(true);
    Kept.AddSegment(50, 40, "", clPlotColor);
    Kept.AddSegment(100, 90, "", clPlotColor);
    EXPECT_EQ(test::YsOf(Kept), (std::vector<double>{50, 100}));
}

TEST(FunnelSegment, ColourRule)
{
    TFunnelSeries S;
    // Ratios 1, 0.7 (d = 30, the limit), 0.69 and 0 (a zero quote).
    S.AddSegment(100, 100, "", clPlotColor);
    S.AddSegment(50, 35, "", clPlotColor);
    S.AddSegment(10, 6.9, "", clPlotColor);
    S.AddSegment(0, 5, "", clPlotColor);
    S.Recalc();
    EXPECT_EQ(S.CalcSegment(0).Color, S.AboveColor());
    EXPECT_EQ(S.CalcSegment(1).Color, S.WithinColor());
    EXPECT_EQ(S.CalcSegment(2).Color, S.BelowColor());
    EXPECT_DOUBLE_EQ(S.Ratio(3), 0);
    EXPECT_EQ(S.CalcSegment(3).Color, S.BelowColor());
    S.SetDifferenceLimit(100);
    EXPECT_EQ(S.CalcSegment(3).Color, S.WithinColor());
}

TEST(FunnelSegment, FillCases)
{
    // Quotes 100 and 20 over X 0 .. 2 (pixel 200 X) and Y 0 .. 100 (pixel
    // 200 - 2 Y): F 100, s 20. Segment 1 (quote 20): P0 (100, Y 80 → 40),
    // P1 (300, Y 60 → 80), P2 (300, Y 40 → 120), P3 (100, Y 20 → 160).
    test::TPriceChart C(2, 100);
    auto* S = C.Add<TFunnelSeries>();
    S->AddSegment(100, 0, "", clPlotColor);
    S->AddSegment(20, 0, "", clPlotColor);
    S->Recalc();
    const struct {
        double Opportunity;
        std::vector<TPoint> Polygon;
    } Rows[] = {
        // Ratio 0: level 20, a flat triangle on P3.
        {0, {{100, 160}, {100, 160}, {100, 160}}},
        // Ratio 0.25: level 35 between P3 and P2: a triangle up to X where
        // the bottom edge reaches 35 (0.75 of the way: pixel 250).
        {5, {{100, 130}, {250, 130}, {100, 160}}},
        // Ratio 0.5: level 50 between P2 and P1: four points.
        {10, {{100, 100}, {300, 100}, {300, 120}, {100, 160}}},
        // Ratio 0.75: level 65 between P1 and P0: five points, the top edge
        // reaching 65 at 0.75 of the way.
        {15, {{100, 70}, {250, 70}, {300, 80}, {300, 120}, {100, 160}}},
        // Ratio 1 and beyond: the whole trapezoid.
        {20, {{100, 40}, {300, 80}, {300, 120}, {100, 160}}},
        {30, {{100, 40}, {300, 80}, {300, 120}, {100, 160}}},
    };
    C.Layout();
    for (const auto& Row : Rows) {
        S->OpportunityValues()->SetValue(1, Row.Opportunity);
        EXPECT_EQ(S->CalcSegment(1).Polygon, Row.Polygon) << Row.Opportunity;
    }
}

TEST(FunnelDraw, AddSegmentThenDrawingEqualsRecalcThenDrawing)
{
    // Regression: drawing used the geometry of the last Recalc, so a funnel
    // filled by AddSegment alone divided by a step of 0.
    test::TPriceChart A(3, 100);
    auto* Added = A.Add<TFunnelSeries>();
    test::TPriceChart B(3, 100);
    auto* Recalculated = B.Add<TFunnelSeries>();
    for (TFunnelSeries* S : {Added, Recalculated}) {
        S->AddSegment(90, 80, "", clPlotColor);
        S->AddSegment(60, 20, "", clPlotColor);
        S->AddSegment(30, 25, "", clPlotColor);
    }
    Recalculated->Recalc();
    EXPECT_EQ(A.Draw(*Added), B.Draw(*Recalculated));
    EXPECT_GE(A.Draw(*Added).size(), 4);
    // One segment: a step of 0, a flat funnel.
    test::TPriceChart One(1, 100);
    auto* Single = One.Add<TFunnelSeries>();
    Single->AddSegment(80, -10, "", clPlotColor);
    EXPECT_FALSE(One.Draw(*Single).isEmpty());
}

TEST(FunnelSeries, MarkTextsLegendAndClicks)
{
    test::TPriceChart C(2, 100);
    auto* S = C.Add<TFunnelSeries>();
    S->AddSegment(80, 20, "", clPlotColor);
    S->AddSegment(0, 20, "", clPlotColor);
    EXPECT_EQ(S->GetMarkText(0), "25.00 %");
    EXPECT_EQ(S->GetMarkText(1), "0.00 %");
    EXPECT_EQ(S->LegendString(0, TChartSeries::ltsPlain), "Exceeds quota");
    EXPECT_EQ(S->LegendString(1, TChartSeries::ltsPlain), "30.00 % within quota");
    EXPECT_EQ(S->LegendString(2, TChartSeries::ltsPlain), "30.00 % or more below quota");
    C.Layout();
    // Segment 0 (X -100 .. 100) filled to ratio 0.25: the triangle
    // (-100, 160), (100, 160), (-100, 200); segment 1 is empty.
    EXPECT_EQ(S->Clicked(-50, 180), 0);
    EXPECT_EQ(S->Clicked(50, 180), -1);
    EXPECT_EQ(S->Clicked(-50, 100), -1);
}

TEST(FunnelSeries, StoredPointsKeepTheirOpportunities)
{
    TChart Original;
    auto* S = new TFunnelSeries(&Original);
    Original.AddSeries(S);
    S->AddSegment(70, 55, "x", clPlotColor);
    S->AddSegment(90, 100, "y", clPlotColor);
    S->SetManualData(true);
    S->SetSaveData(true);
    TChart Copy;
    test::ReadInto(Original, Copy);
    ASSERT_EQ(Copy.SeriesCount(), 1);
    auto* Read = qobject_cast<TFunnelSeries*>(Copy.Series(0));
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(test::YsOf(*Read), (std::vector<double>{90, 70}));
    EXPECT_DOUBLE_EQ(Read->OpportunityValues()->Value(0), 100);
    EXPECT_DOUBLE_EQ(Read->OpportunityValues()->Value(1), 55);
}

// The signal average of a MACD, counting its calculations.
class TFunnelTestCountingAverage : public TExpMovAveFunction {
public:
    explicit TFunnelTestCountingAverage(int& Calculations) : FCalculations(Calculations) {}
    void AddPoints(TChartSeries* Source) override
    {
        ++FCalculations;
        TExpMovAveFunction::AddPoints(Source);
    }

private:
    int& FCalculations;
};

TEST(FunnelSeries, AMACDFunnelsFirstPaintRecalculatesItsSignalLineOnce)
{
    // A funnel whose function is MACD over a 400-point wavy line: its first
    // paint sorts the quotes.
    TChart Chart;
    test::SetUpFlatPictureChart(Chart, 500, 350);
    auto* Line = new TLineSeries(&Chart);
    Chart.AddSeries(Line);
    for (int I = 0; I < 400; ++I)
        Line->AddXY(I, 100 + 10 * std::sin(I * 0.05) + 0.01 * I);
    auto* Funnel = new TFunnelSeries(&Chart);
    Chart.AddSeries(Funnel);
    auto* MACD = new TMACDFunction(&Chart);
    Funnel->SetFunction(MACD);
    Funnel->SetDataSource(Line);
    ASSERT_EQ(Funnel->Count(), 400);
    TFastLineSeries* Signal = MACD->MACDExp();
    ASSERT_NE(Signal, nullptr);
    int SignalRecalculations = 0;
    auto* Counting = new TFunnelTestCountingAverage(SignalRecalculations);
    Counting->InternalSetPeriod(9);
    Signal->SetFunction(Counting);
    SignalRecalculations = 0;

    test::RenderPicture(Chart);
    // One recalculation for the whole sort, not one per exchange of points.
    EXPECT_EQ(SignalRecalculations, 1);
    const std::vector<double> Quotes = test::YsOf(*Funnel);
    EXPECT_TRUE(std::is_sorted(Quotes.rbegin(), Quotes.rend()));
    EXPECT_EQ(test::XsOf(*Funnel)[399], 399);
    // The signal line follows the sorted quotes.
    ASSERT_EQ(Signal->Count(), 400);
    EXPECT_DOUBLE_EQ(Signal->YValues()->Value(0), Quotes[0]);
    // Later paints sort nothing and recalculate nothing.
    test::RenderPicture(Chart);
    EXPECT_EQ(SignalRecalculations, 1);
}

TEST(FunnelPicture, ThreeColours)
{
    TChart Chart;
    test::SetUpFlatPictureChart(Chart, 400, 260);
    auto* S = new TFunnelSeries(&Chart);
    Chart.AddSeries(S);
    S->LinesPen()->SetColor(clGray);
    S->AddSegment(100, 110, "Leads", clPlotColor);
    S->AddSegment(80, 62, "Offers", clPlotColor);
    S->AddSegment(50, 20, "Orders", clPlotColor);
    S->AddSegment(30, 0, "Paid", clPlotColor);
    EXPECT_TRUE(test::MatchesReference(test::RenderPicture(Chart), "stats",
                                       "funnel"));
}

} // namespace
} // namespace lp
