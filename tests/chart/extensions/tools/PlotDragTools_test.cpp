// Drag point and Gantt drag tools: points following the mouse in X, Y or
// both, a press beside the points leaving the chart its own mouse, a point
// on an axis without range; Gantt bar ends grabbed within MinPixels, whole
// bars moved, ends stopped at the other end, cursors, and series of other
// kinds ignored.

#include "chart/extensions/tools/PlotDragPointTool.h"
#include "chart/extensions/tools/PlotGanttTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/planning/PlotGantt.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

using test::TToolChart;

struct TDragChart : TToolChart {
    TDragChart()
    {
        Points = new TPointSeries(&Chart);
        Chart.AddSeries(Points);
        Points->AddXY(10, 10);
        Points->AddXY(50, 50);
        Points->AddXY(90, 90);
        Tool = new TDragPointTool(&Chart);
        Chart.Tools().Add(Tool);
        Tool->SetSeries(Points);
        Tool->OnDragPoint = [this](TDragPointTool*, int Index) { Dragged << Index; };
        Picture();
    }
    // The axis value one pixel stands for (both axes run 0 .. 100).
    double Slack() const { return 100.0 / 200; }
    TPointSeries* Points = nullptr;
    TDragPointTool* Tool = nullptr;
    QList<int> Dragged;
};

TEST(DragPointTool, PointsFollowTheMouseInTheAllowedDirections)
{
    const struct {
        TDragPointStyle Style;
        double X, Y;
    } Rows[] = {{dsBoth, 60, 70}, {dsX, 60, 50}, {dsY, 50, 70}};
    for (const auto& Row : Rows) {
        TDragChart F;
        F.Tool->SetDragStyle(Row.Style);
        const TPoint From = F.Pixel(50, 50);
        const TPoint To = F.Pixel(60, 70);
        F.Press(From.X, From.Y);
        // The chart starts no zoom of its own.
        EXPECT_FALSE(F.Chart.Zoom()->Active);
        EXPECT_EQ(F.Tool->DraggedIndex(), 1);
        F.Move(To.X, To.Y);
        F.Release(To.X, To.Y);
        EXPECT_NEAR(F.Points->XValues()->Value(1), Row.X, F.Slack()) << Row.Style;
        EXPECT_NEAR(F.Points->YValues()->Value(1), Row.Y, F.Slack()) << Row.Style;
        EXPECT_EQ(F.Dragged, QList<int>{1});
        EXPECT_EQ(F.Tool->DraggedIndex(), -1);
        // After the release moves drag nothing.
        F.Move(From.X, From.Y);
        EXPECT_EQ(F.Dragged.size(), 1);
    }
}

TEST(DragPointTool, APressBesideThePointsLeavesTheChartItsMouse)
{
    TDragChart F;
    const TPoint Empty = F.Pixel(70, 20);
    F.Press(Empty.X, Empty.Y);
    EXPECT_TRUE(F.Chart.Zoom()->Active);
    EXPECT_EQ(F.Tool->DraggedIndex(), -1);
    F.Move(Empty.X + 30, Empty.Y + 30);
    EXPECT_TRUE(F.Dragged.isEmpty());
}

TEST(DragPointTool, DragsAPointOnAnAxisWithoutRange)
{
    TDragChart F;
    for (int I = 0; I < 3; ++I)
        F.Points->SetYValue(I, 5);
    TChartAxis& Left = *F.Chart.LeftAxis();
    Left.SetAutomatic(true);
    F.Picture();
    ASSERT_EQ(Left.Maximum(), Left.Minimum());
    const TPoint From{F.Chart.BottomAxis()->CalcPosValue(50), Left.CalcPosValue(5)};
    F.Press(From.X, From.Y);
    ASSERT_EQ(F.Tool->DraggedIndex(), 1);
    F.Move(F.Chart.BottomAxis()->CalcPosValue(60), From.Y - 40);
    EXPECT_FALSE(Left.AutomaticMaximum());
    EXPECT_GT(Left.Maximum(), Left.Minimum());
    const double Y = F.Points->YValues()->Value(1);
    EXPECT_TRUE(std::isfinite(Y));
    EXPECT_NEAR(Y, 5, 1e-9);
    EXPECT_NEAR(F.Points->XValues()->Value(1), 60, F.Slack());
}

struct TGanttChart : TToolChart {
    TGanttChart()
    {
        Gantt = new TGanttSeries(&Chart);
        Chart.AddSeries(Gantt);
        Gantt->AddGantt(20, 60, 50);
        Gantt->AddGantt(30, 80, 20);
        Gantt->Pointer()->SetVertSize(6);
        Tool = new TGanttTool(&Chart);
        Chart.Tools().Add(Tool);
        Tool->SetSeries(Gantt);
        Tool->OnDragBar = [this](TGanttTool*, int Bar) { Events << QStringLiteral("drag %1").arg(Bar); };
        Tool->OnResizeBar = [this](TGanttTool*, int Bar, TGanttToolBarPart Part) {
            Events << QStringLiteral("resize %1 %2").arg(Bar).arg(int(Part));
        };
        Picture();
    }
    double Start(int Bar) const { return Gantt->StartValues()->Value(Bar); }
    double End(int Bar) const { return Gantt->EndValues()->Value(Bar); }
    TGanttSeries* Gantt = nullptr;
    TGanttTool* Tool = nullptr;
    QStringList Events;
};

TEST(GanttTool, GrabsAnEndWithinMinPixelsAndTheWholeBarBeyond)
{
    const struct {
        int Offset;
        TGanttToolBarPart Part;
    } Rows[] = {{4, pbStart}, {5, pbAll}, {-4, pbStart}};
    for (const auto& Row : Rows) {
        TGanttChart F;
        const TPoint Start = F.Pixel(20, 50);
        F.Press(Start.X + Row.Offset, Start.Y);
        EXPECT_FALSE(F.Chart.Zoom()->Active);
        EXPECT_EQ(F.Tool->GrabbedBar(), 0) << Row.Offset;
        EXPECT_EQ(F.Tool->GrabbedPart(), Row.Part) << Row.Offset;
        // Ten units to the right (2 pixels a unit on the 400-pixel chart).
        const int Step = F.Pixel(30, 50).X - Start.X;
        F.Move(Start.X + Row.Offset + Step, Start.Y);
        F.Release(Start.X + Row.Offset + Step, Start.Y);
        EXPECT_NEAR(F.Start(0), 30, 0.5);
        EXPECT_NEAR(F.End(0), Row.Part == pbAll ? F.Start(0) + 40 : 60, 1e-9);
        EXPECT_EQ(F.Events, QStringList{Row.Part == pbAll ? "drag 0" : "resize 0 0"});
        EXPECT_EQ(F.Tool->GrabbedBar(), -1);
    }
}

TEST(GanttTool, AnEndStopsAtTheOtherEnd)
{
    TGanttChart F;
    const TPoint Start = F.Pixel(20, 50);
    F.Press(Start.X, Start.Y);
    F.Move(F.Pixel(95, 50).X, Start.Y);
    EXPECT_DOUBLE_EQ(F.Start(0), 60);
    EXPECT_DOUBLE_EQ(F.End(0), 60);
    F.Release(F.Pixel(95, 50).X, Start.Y);

    const TPoint End = F.Pixel(80, 20);
    F.Press(End.X, End.Y);
    EXPECT_EQ(F.Tool->GrabbedPart(), pbEnd);
    F.Move(F.Pixel(5, 20).X, End.Y);
    EXPECT_DOUBLE_EQ(F.End(1), 30);
    EXPECT_DOUBLE_EQ(F.Start(1), 30);
}

TEST(GanttTool, CursorsShowWhatAPressWouldDoTheDragCursorWinning)
{
    TGanttChart F;
    const TPoint Start = F.Pixel(20, 50);
    // Outside the bar but near its start: resize.
    F.Move(Start.X - 3, Start.Y);
    EXPECT_EQ(F.Chart.Cursor(), crSizeWE);
    // Inside the bar near its start: both apply, the drag cursor wins.
    F.Move(Start.X + 3, Start.Y);
    EXPECT_EQ(F.Chart.Cursor(), crHandPoint);
    F.Tool->SetAllowDrag(false);
    F.Move(Start.X + 3, Start.Y);
    EXPECT_EQ(F.Chart.Cursor(), crSizeWE);
    F.Press(F.Pixel(40, 50).X, Start.Y);
    EXPECT_EQ(F.Tool->GrabbedBar(), -1);
}

TEST(GanttTool, IgnoresASeriesThatIsNotGantt)
{
    TDragChart F;
    auto* Tool = new TGanttTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->SetSeries(F.Points);
    F.Tool->SetActive(false);
    const TPoint P = F.Pixel(50, 50);
    F.Press(P.X, P.Y);
    EXPECT_EQ(Tool->GrabbedBar(), -1);
    F.Move(P.X + 10, P.Y);
    F.Release(P.X + 10, P.Y);
}

} // namespace
} // namespace lp
