// Axis arrow and axis scroll tools: arrows found and pressed, scrolls
// vetoed or carried to paired axes, axes dragged by the mouse.

#include "chart/extensions/tools/PlotAxisArrowTool.h"
#include "chart/extensions/tools/PlotAxisScrollTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotBarSeries.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TToolChart;

// A series drawn against the left and right axes (right 0 .. 50), painted
// once so that the axes have their pixels.
struct TAxesFixture : TToolChart {
    TBarSeries* Bars = new TBarSeries(&Chart);

    TAxesFixture()
    {
        Chart.AddSeries(Bars);
        Bars->Add(30);
        Bars->Add(60);
        Bars->SetVertAxis(aBothVertAxis);
        Chart.RightAxis()->SetMinMax(0, 50);
        Paint();
    }
    TChartAxis& Left() { return *Chart.LeftAxis(); }
    TChartAxis& Right() { return *Chart.RightAxis(); }
};

struct TArrowFixture : TAxesFixture {
    TAxisArrowTool* Tool = new TAxisArrowTool(&Chart);
    std::vector<bool> Clicks;

    TArrowFixture()
    {
        Tool->SetAxis(&Left());
        Tool->OnClick = [this](TAxisArrowTool*, bool AtStart) { Clicks.push_back(AtStart); };
    }
    TPoint StartArrow() { return TPoint{Left().AxisLinePixel(), Left().StartPixel() + 8}; }
    TPoint EndArrow() { return TPoint{Left().AxisLinePixel() + 2, Left().EndPixel() - 8}; }
};

TEST(AxisArrowTool, ArrowsLieAlongTheAxisLineAtEitherEnd)
{
    TArrowFixture F;
    const TPoint S = F.StartArrow();
    EXPECT_EQ(F.Tool->ClickedArrow(S.X, S.Y), TAxisArrowTool::ahStartArrow);
    EXPECT_EQ(F.Tool->ClickedArrow(F.EndArrow().X, F.EndArrow().Y), TAxisArrowTool::ahEndArrow);
    EXPECT_EQ(F.Tool->ClickedArrow(S.X + 3, S.Y), TAxisArrowTool::ahNoArrow);
    EXPECT_EQ(F.Tool->ClickedArrow(S.X, F.Left().StartPixel() + 16), TAxisArrowTool::ahNoArrow);
    F.Tool->SetPosition(aaEnd);
    EXPECT_EQ(F.Tool->ClickedArrow(S.X, S.Y), TAxisArrowTool::ahNoArrow);
}

TEST(AxisArrowTool, APressScrollsByItsShareOfTheRangeAndThePairedAxisFollows)
{
    TArrowFixture F;
    int Scrolls = 0;
    F.Chart.OnScroll = [&](TCustomPlotPanelExtended*) { ++Scrolls; };
    F.Press(F.StartArrow().X, F.StartArrow().Y);
    EXPECT_DOUBLE_EQ(F.Left().Minimum(), 10);
    EXPECT_DOUBLE_EQ(F.Left().Maximum(), 110);
    EXPECT_DOUBLE_EQ(F.Right().Minimum(), 10);
    F.Tool->SetScrollInverted(true);
    F.Press(F.EndArrow().X, F.EndArrow().Y);
    EXPECT_DOUBLE_EQ(F.Left().Minimum(), 20);
    EXPECT_EQ(F.Clicks, (std::vector<bool>{true, false}));
    EXPECT_EQ(Scrolls, 2);
}

TEST(AxisArrowTool, WithScrollPercentZeroArrowsAreDrawnButNeverScroll)
{
    TArrowFixture F;
    F.Tool->SetScrollPercent(0);
    const QStringList Calls = F.Paint();
    // Two filled arrows of seven corners each.
    EXPECT_EQ(Calls.filter(QRegularExpression(QStringLiteral("^Polygon\\(\\[([^;]*;){6}[^;]*\\]\\)$"))).size(), 2);
    F.Press(F.StartArrow().X, F.StartArrow().Y);
    EXPECT_DOUBLE_EQ(F.Left().Minimum(), 0);
    EXPECT_TRUE(F.Clicks.empty());
}

TEST(AxisArrowTool, AVetoedScrollStillCallsOnClick)
{
    TArrowFixture F;
    double ProposedMin = 0, ProposedMax = 0;
    F.Chart.OnAllowScroll = [&](TChartAxis*, double& NewMin, double& NewMax, bool& Allow) {
        ProposedMin = NewMin;
        ProposedMax = NewMax;
        Allow = false;
    };
    F.Press(F.EndArrow().X, F.EndArrow().Y);
    EXPECT_DOUBLE_EQ(ProposedMin, -10);
    EXPECT_DOUBLE_EQ(ProposedMax, 90);
    EXPECT_DOUBLE_EQ(F.Left().Minimum(), 0);
    EXPECT_DOUBLE_EQ(F.Right().Minimum(), 0);
    EXPECT_EQ(F.Clicks, std::vector<bool>{false});
}

TEST(AxisArrowTool, AHiddenAxisTakesNoPress)
{
    TArrowFixture F;
    F.Left().SetVisible(false);
    F.Tool->ChartMouseEvent(cmeDown, mbLeft, {}, F.StartArrow().X, F.StartArrow().Y);
    EXPECT_DOUBLE_EQ(F.Left().Minimum(), 0);
    EXPECT_FALSE(F.Chart.MouseCancelled());
}

// --- Axis scroll ---------------------------------------------------------------------------

struct TScrollFixture : TAxesFixture {
    TAxisScrollTool* Tool = new TAxisScrollTool(&Chart);
    TScrollFixture() { Chart.Tools().Add(Tool); }
    TPoint OnLeftAxis() { return TPoint{Left().AxisLinePixel() - 2, (Left().StartPixel() + Left().EndPixel()) / 2}; }
};

TEST(AxisScrollTool, DraggingALeftAxisScrollsTheRightAxisOfTheSameSeries)
{
    TScrollFixture F;
    const TPoint P = F.OnLeftAxis();
    ASSERT_EQ(F.Tool->AxisUnder(P.X, P.Y), &F.Left());
    const int Length = F.Left().AxisPixelSize();
    const int RightLength = F.Right().AxisPixelSize();
    F.Drag(P, {P.X, P.Y + 24});
    EXPECT_DOUBLE_EQ(F.Left().Minimum(), 100.0 * 24 / Length);
    EXPECT_DOUBLE_EQ(F.Right().Minimum(), 50.0 * 24 / RightLength);
    EXPECT_DOUBLE_EQ(F.Chart.BottomAxis()->Minimum(), 0);
    F.Tool->SetScrollInverted(true);
    F.Drag(P, {P.X, P.Y + 24});
    EXPECT_NEAR(F.Left().Minimum(), 0, 1e-9);
}

TEST(AxisScrollTool, AHorizontalDragOverAVerticalAxisDoesNotScrollIt)
{
    TScrollFixture F;
    const TPoint P = F.OnLeftAxis();
    F.Drag(P, {P.X + 40, P.Y});
    EXPECT_DOUBLE_EQ(F.Left().Minimum(), 0);
    EXPECT_DOUBLE_EQ(F.Left().Maximum(), 100);
    EXPECT_EQ(F.Tool->DraggedAxis(), nullptr);
}

TEST(AxisScrollTool, AToolWithAnAxisDragsOnlyThatAxis)
{
    TScrollFixture F;
    F.Tool->SetAxis(F.Chart.BottomAxis());
    const TPoint P = F.OnLeftAxis();
    EXPECT_EQ(F.Tool->AxisUnder(P.X, P.Y), nullptr);
    F.Chart.SetMouseCancelled(false);
    F.Tool->ChartMouseEvent(cmeMove, mbLeft, {}, P.X, P.Y);
    EXPECT_FALSE(F.Chart.MouseCancelled());
}

} // namespace
} // namespace lp
