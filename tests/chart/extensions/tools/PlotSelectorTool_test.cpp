// The selector tool: what a click selects, where its handles stand, the
// drag threshold, resizing the chart from its corner, and the extra legend
// tool's own legend.

#include "chart/extensions/tools/PlotExtraLegendTool.h"
#include "chart/extensions/tools/PlotSelectorTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotSeries.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TSelectorChart : test::TToolChart {
    TSelectorTool* Selector = nullptr;
    TBarSeries* Bars = nullptr;
    int Dragged = 0;

    TSelectorChart()
    {
        Chart.BottomAxis()->SetAutomatic(true);
        Chart.Legend()->SetVisible(true);
        Bars = new TBarSeries(&Chart);
        Bars->SetTitle(QStringLiteral("Bars"));
        Chart.AddSeries(Bars);
        for (const double V : {35, 70, 50, 85, 20})
            Bars->Add(V);
        Selector = new TSelectorTool(&Chart);
        Chart.Tools().Add(Selector);
        Selector->OnDragged = [this](TSelectorTool*) { ++Dragged; };
        Paint();
    }
    TPoint LegendPoint() const
    {
        const TRect R = Chart.Legend()->RectLegend();
        return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
};

TEST(SelectorTool, AClickOnEmptySpaceMarksTheWholeChartsCorners)
{
    TSelectorChart F;
    F.Chart.Legend()->SetVisible(false);
    F.Paint();
    F.Press(2, 298);
    F.Release(2, 298);
    EXPECT_EQ(F.Selector->Part().Part, cpNone);
    EXPECT_EQ(F.Selector->HandleCentres(), (std::vector<TPoint>{{3, 3}, {397, 3}, {3, 297}, {397, 297}}));
}

TEST(SelectorTool, AFullyVisibleSeriesOf1000PointsShows21Handles)
{
    TSelectorChart F;
    F.Bars->SetActive(false);
    auto* Line = new TLineSeries(&F.Chart);
    F.Chart.AddSeries(Line);
    for (int I = 0; I < 1000; ++I)
        Line->Add(50);
    F.Paint();
    const int X = Line->CalcXPos(500);
    const int Y = Line->CalcYPos(500);
    ASSERT_EQ(F.Chart.CalcClickedPart(X, Y).Part, cpSeries);
    F.Press(X, Y);
    F.Release(X, Y);
    const std::vector<TPoint> Handles = F.Selector->HandleCentres();
    ASSERT_EQ(Handles.size(), 21u);
    // Every 49th point (999 div 20), from the first.
    EXPECT_EQ(Handles[1], (TPoint{Line->CalcXPos(49), Line->CalcYPos(49)}));
    EXPECT_EQ(Handles[20], (TPoint{Line->CalcXPos(980), Line->CalcYPos(980)}));
}

TEST(SelectorTool, APressAndReleaseWithinTwoPixelsMovesNothing)
{
    TSelectorChart F;
    const TPoint P = F.LegendPoint();
    const TRect Before = F.Chart.Legend()->RectLegend();
    F.Press(P.X, P.Y);
    EXPECT_EQ(F.Selector->Shape(), F.Chart.Legend());
    F.Move(P.X + 2, P.Y - 2);
    F.Release(P.X + 2, P.Y - 2);
    EXPECT_EQ(F.Chart.Legend()->RectLegend().Left, Before.Left);
    EXPECT_EQ(F.Chart.Legend()->RectLegend().Top, Before.Top);
    EXPECT_EQ(F.Dragged, 0);
    // Three pixels move it, and every pixel after the first move counts.
    F.Press(P.X, P.Y);
    F.Move(P.X + 3, P.Y);
    F.Move(P.X + 4, P.Y + 1);
    F.Release(P.X + 4, P.Y + 1);
    EXPECT_EQ(F.Chart.Legend()->Left(), Before.Left + 4);
    EXPECT_EQ(F.Chart.Legend()->Top(), Before.Top + 1);
    EXPECT_EQ(F.Dragged, 1);
    // The selection stays after the release.
    EXPECT_EQ(F.Selector->Part().Part, cpLegend);
}

TEST(SelectorTool, TheCornerResizesTheChartOnlyWithAllowResizeChart)
{
    TSelectorChart F;
    F.Press(397, 297);
    F.Move(350, 250);
    F.Release(350, 250);
    EXPECT_FALSE(F.Selector->Resizing());
    EXPECT_EQ(F.Chart.Width(), 400);
    int Resized = 0;
    F.Selector->OnResized = [&](TSelectorTool*) { ++Resized; };
    F.Selector->SetAllowResizeChart(true);
    F.Press(397, 297);
    EXPECT_TRUE(F.Selector->Resizing());
    F.Move(350, 250);
    F.Release(350, 250);
    EXPECT_EQ(F.Chart.Width(), 350);
    EXPECT_EQ(F.Chart.Height(), 250);
    EXPECT_EQ(Resized, 1);
}

TEST(SelectorTool, NoHandlesWhilePrinting)
{
    TSelectorChart F;
    const TPoint P = F.LegendPoint();
    F.Press(P.X, P.Y);
    F.Release(P.X, P.Y);
    EXPECT_EQ(F.Selector->HandleCentres().size(), 4u);
    F.Chart.SetPrinting(true);
    EXPECT_TRUE(F.Selector->HandleCentres().empty());
}

TEST(SelectorTool, PictureOfHandlesOnTheLegend)
{
    TSelectorChart F;
    F.Selector->Brush()->SetColor(clBlue);
    const TPoint P = F.LegendPoint();
    F.Press(P.X, P.Y);
    F.Release(P.X, P.Y);
    F.Paint();
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "selector-legend"));
}

TEST(ExtraLegendTool, DrawsItsOwnValuesLegendOnlyWithASeries)
{
    TSelectorChart F;
    F.Chart.Legend()->SetLegendStyle(lsSeries);
    auto* Extra = new TExtraLegendTool(&F.Chart);
    F.Chart.Tools().Add(Extra);
    Extra->Legend()->SetLeft(60);
    Extra->Legend()->SetTop(20);
    const QStringList Without = F.Paint();
    Extra->SetSeries(F.Bars);
    const QStringList With = F.Paint();
    EXPECT_GT(With.size(), Without.size());
    EXPECT_EQ(Extra->Legend()->LastValue(), 4);
    EXPECT_EQ(Extra->Legend()->RectLegend().Left, 60);
    // The chart's own legend keeps its style and place.
    EXPECT_EQ(F.Chart.Legend()->LegendStyle(), lsSeries);
    EXPECT_FALSE(F.Chart.Legend()->CustomPosition());
}

} // namespace
} // namespace lp
