// The scroll bar tool: thumb and drag arithmetic, stepping by clicks and by
// the repeat timer on a fake clock, and the legend scroll bar over the
// legend's items or the chart's pages.

#include "chart/extensions/tools/PlotScrollBarTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotSeries.h"
#include "platform/ui/Timer.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// A plain scroll bar along the bottom of (50, 100) − (250, 150): its
// buttons and track lie in the 18 pixels below that rectangle.
struct TBarChart : test::TToolChart {
    TPlotScrollBar* Bar = nullptr;

    TBarChart()
    {
        Bar = new TPlotScrollBar(&Chart);
        Chart.Tools().Add(Bar);
        Bar->SetBarRect(TRect{50, 100, 250, 150});
        Bar->SetHorizontal(true);
        Bar->SetMax(10);
        Bar->SetPageSize(2);
    }
};

TEST(ScrollBar, TheThumbFollowsPageAndPositionAndADragMovesByTrackFractions)
{
    TPlotScrollBar Bar;
    Bar.SetBarRect(TRect{0, 0, 200, 100});
    Bar.SetHorizontal(true);
    Bar.SetMax(10);
    Bar.SetPageSize(2);
    Bar.SetPosition(3);
    ASSERT_TRUE(Bar.CalcThumb());
    // Track 200 − 2 × 18 = 164 pixels for 10: a page of 2 is 32.8 → 33.
    EXPECT_EQ(Bar.ThumbSize(), 33);
    EXPECT_EQ(Bar.ThumbStart(), 67);
    EXPECT_EQ(Bar.ThumbEnd(), 101);
    EXPECT_DOUBLE_EQ(Bar.CalcDragDelta(141, 100), 2.5);
    EXPECT_DOUBLE_EQ(Bar.CalcDragDelta(100, 141), -2.5);
    EXPECT_DOUBLE_EQ(Bar.CalcDragDelta(100, 100), 0);
    // A thumb shorter than MinThumbSize is drawn that long.
    Bar.SetMax(1000);
    ASSERT_TRUE(Bar.CalcThumb());
    EXPECT_EQ(Bar.ThumbSize(), 4);
}

TEST(ScrollBar, ABarShorterThanItsButtonsHasNoThumbAndIgnoresDrags)
{
    // Regression: the track length 30 − 36 divided the thumb size and the drag.
    TPlotScrollBar Bar;
    Bar.SetBarRect(TRect{0, 0, 30, 100});
    Bar.SetHorizontal(true);
    Bar.SetMax(10);
    Bar.SetPageSize(2);
    EXPECT_FALSE(Bar.CalcThumb());
    EXPECT_DOUBLE_EQ(Bar.CalcDragDelta(25, 5), 0);
    Bar.SetMax(0);
    EXPECT_FALSE(Bar.CalcBarRect());
}

TEST(ScrollBar, StepsStopAtBothEnds)
{
    TPlotScrollBar Bar;
    Bar.SetMax(10);
    Bar.SetPageSize(2);
    Bar.ScrollBy(-1, false);
    EXPECT_EQ(Bar.GetPosition(), 0);
    Bar.ScrollBy(20, false);
    EXPECT_EQ(Bar.GetPosition(), 8);
    Bar.ScrollBy(1, false);
    EXPECT_EQ(Bar.GetPosition(), 8);
    Bar.ScrollBy(-2.5, false);
    EXPECT_EQ(Bar.GetPosition(), 6);
}

TEST(ScrollBar, HoldingAButtonStepsAtOnceAfter250MsThenEvery50MsUntilReleased)
{
    TBarChart F;
    std::vector<int> StepTimes;
    int Now = 0;
    F.Bar->OnScrolled = [&](TPlotScrollBar*) { StepTimes.push_back(Now); };
    F.Press(245, 160);  // the increase button
    ASSERT_NE(F.Bar->RepeatTimer(), nullptr);
    // The fake clock: a tick whenever the timer's interval has passed.
    int Armed = 0;
    for (Now = 1; Now <= 400; ++Now)
        if (F.Bar->RepeatTimer()->Enabled() && Now - Armed >= F.Bar->RepeatTimer()->Interval()) {
            Armed = Now;
            F.Bar->RepeatTimer()->Tick();
        }
    EXPECT_EQ(StepTimes, (std::vector<int>{0, 250, 300, 350, 400}));
    EXPECT_EQ(F.Bar->GetPosition(), 5);
    F.Release(245, 160);
    EXPECT_FALSE(F.Bar->RepeatTimer()->Enabled());
}

TEST(ScrollBar, TheTrackPagesByAQuarterAndTheThumbDrags)
{
    TBarChart F;
    F.Bar->SetPageSize(8);
    F.Bar->SetMax(40);
    F.Bar->SetAutoRepeat(false);
    F.Press(240 - 20, 160);  // the track after the thumb
    EXPECT_EQ(F.Bar->GetPosition(), 2);
    F.Release(220, 160);
    ASSERT_TRUE(F.Bar->CalcThumb());
    const int OnThumb = F.Bar->ThumbStart() + 2;
    F.Press(OnThumb, 160);
    EXPECT_TRUE(F.Bar->DraggingThumb());
    // 164 pixels for 40: 2 pixels are less than one step, 41 are ten.
    F.Move(OnThumb + 2, 160);
    EXPECT_EQ(F.Bar->GetPosition(), 2);
    F.Move(OnThumb + 41, 160);
    EXPECT_EQ(F.Bar->GetPosition(), 12);
    F.Release(OnThumb + 41, 160);
    EXPECT_FALSE(F.Bar->DraggingThumb());
}

// A chart whose right legend lists 30 line series: only some fit.
struct TLegendChart : test::TToolChart {
    TLegendScrollBar* Bar = nullptr;

    explicit TLegendChart(int SeriesCount = 30)
    {
        Chart.Legend()->SetVisible(true);
        Chart.BottomAxis()->SetAutomatic(true);
        for (int I = 0; I < SeriesCount; ++I) {
            auto* S = new TLineSeries(&Chart);
            S->SetTitle(QStringLiteral("Line %1").arg(I + 1));
            Chart.AddSeries(S);
            S->Add(I * 3);
            S->Add(90 - I * 2);
        }
        Bar = new TLegendScrollBar(&Chart);
        Chart.Tools().Add(Bar);
    }
};

TEST(LegendScrollBar, TheLegendGrowsByTheBarAndScrollsItsItems)
{
    TLegendChart Without;
    Without.Bar->SetActive(false);
    Without.Paint();
    TLegendChart F;
    F.Paint();
    const TCustomChartLegend& L = *F.Chart.Legend();
    const TRect Plain = Without.Chart.Legend()->RectLegend();
    EXPECT_EQ(L.RectLegend().Right - L.RectLegend().Left, Plain.Right - Plain.Left + 19);
    ASSERT_GT(L.LastValue(), 0);
    EXPECT_EQ(F.Bar->GetMax(), 30);
    EXPECT_EQ(F.Bar->GetPageSize(), L.LastValue() + 1);
    F.Bar->ScrollBy(3, false);
    EXPECT_EQ(L.FirstValue(), 3);
}

TEST(LegendScrollBar, WhenNeededShowsOnlyWhileItemsAreHidden)
{
    TLegendChart Few(3);
    Few.Bar->SetDrawStyle(TPlotScrollBar::dsWhenNeeded);
    Few.Paint();
    EXPECT_FALSE(Few.Bar->CalcBarRect());
    TLegendChart Many;
    Many.Bar->SetDrawStyle(TPlotScrollBar::dsWhenNeeded);
    Many.Paint();
    EXPECT_TRUE(Many.Bar->CalcBarRect());
}

TEST(LegendScrollBar, PagingKeepsTheLastPageAndGreysTheDecreaseArrowOnPageOne)
{
    test::TToolChart F;
    auto* Bars = new TBarSeries(&F.Chart);
    F.Chart.AddSeries(Bars);
    for (int I = 0; I < 10; ++I)
        Bars->Add(10 + I);
    F.Chart.BottomAxis()->SetAutomatic(true);
    F.Chart.Legend()->SetVisible(true);
    F.Chart.SetMaxPointsPerPage(2);
    auto* Bar = new TLegendScrollBar(&F.Chart);
    F.Chart.Tools().Add(Bar);
    F.Paint();
    ASSERT_TRUE(Bar->CalcBarRect());
    EXPECT_EQ(Bar->GetMax(), 5);
    EXPECT_EQ(Bar->GetPageSize(), 1);

    // Page 1: the decrease arrow grey, the increase arrow in the arrow colour.
    const QImage First = F.Picture();
    const TRect Dec = Bar->DecreaseButton();
    const TRect Inc = Bar->IncreaseButton();
    const auto Centre = [](const TRect& R) { return QPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); };
    EXPECT_EQ(First.pixelColor(Centre(Dec)), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(First.pixelColor(Centre(Inc)), QColor(Qt::black));

    F.Chart.SetPage(5);
    Bar->ScrollBy(1, false);
    EXPECT_EQ(F.Chart.Page(), 5);
    Bar->ScrollBy(-1, false);
    EXPECT_EQ(F.Chart.Page(), 4);
}

TEST(LegendScrollBar, PictureOfALegendWithItsScrollBar)
{
    TLegendChart F;
    F.Paint();
    F.Bar->ScrollBy(4, false);
    F.Paint();
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "legend-scroll-bar"));
}

} // namespace
} // namespace lp
