// The nearest-point tool: the pixel search (rounding, ties, nulls, points
// outside the chart rectangle, the 10000-pixel limit), the marker shapes and
// line, the overlay without full repaints, and leaving the chart.

#include "chart/extensions/tools/PlotNearestTool.h"

#include "tests/chart/extensions/tools/ToolsRecordingUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::Line;
using test::TRecordingToolChart;

struct TNearestChart : TRecordingToolChart {
    TNearestTool* Tool = AddTool<TNearestTool>();
    TChartSeries* Series = nullptr;

    // Points at pixels (100, 100), (300, 100) and, outside the chart
    // rectangle, (500, 100).
    TNearestChart()
    {
        Series = AddPoints({{1, 50}, {3, 50}, {5, 50}});
        Tool->SetSeries(Series);
        DC.ClearCalls();
    }
};

TEST(NearestTool, FindsTheNearestPointInWholePixels)
{
    struct TRow {
        int X, Y;
        int Point, Distance;
    };
    const TRow Rows[] = {
        {110, 110, 0, 14},   // √200 = 14.1
        {200, 100, 0, 100},  // a tie: the lower index
        {201, 100, 1, 99},
        {490, 100, 1, 190},  // the point at 500 lies outside the chart
    };
    for (const TRow& Row : Rows) {
        TNearestChart F;
        int Distance = -1;
        EXPECT_EQ(TNearestTool::GetNearestPoint(*F.Series, Row.X, Row.Y, Distance), Row.Point) << Row.X;
        EXPECT_EQ(Distance, Row.Distance) << Row.X;
    }
}

TEST(NearestTool, NullsAndFarPointsAreNeverChosen)
{
    TNearestChart F;
    int Distance = 0;
    // 10000 pixels and more away from every point.
    EXPECT_EQ(TNearestTool::GetNearestPoint(*F.Series, -9900, 100, Distance), -1);
    EXPECT_EQ(TNearestTool::GetNearestPoint(*F.Series, -9898, 100, Distance), 0);
    EXPECT_EQ(Distance, 9998);
    EXPECT_EQ(TNearestTool::GetNearestPoint(*F.Series, 1000000, -2000000000, Distance), -1);
    F.Series->SetValueColor(0, clNone);
    EXPECT_EQ(TNearestTool::GetNearestPoint(*F.Series, 100, 100, Distance), 1);
}

TEST(NearestTool, TheMarkerShapesAndTheLineFromTheMouse)
{
    struct TRow {
        TNearestTool::TNearestToolStyle Style;
        bool DrawLine;
        QStringList Expected;
    };
    const QString ToPoint = Line(110, 130, 100, 100);
    const TRow Rows[] = {
        {TNearestTool::hsCircle, true, {"Ellipse(80,80,120,120)", ToPoint}},
        {TNearestTool::hsRectangle, false, {"Rectangle(80,80,120,120)"}},
        {TNearestTool::hsDiamond, false, {"Polygon([100 80;120 100;100 120;80 100])"}},
        {TNearestTool::hsNone, true, {ToPoint}},
    };
    for (const TRow& Row : Rows) {
        TNearestChart F;
        F.Tool->SetStyle(Row.Style);
        F.Tool->SetDrawLine(Row.DrawLine);
        TRecordingToolChart::Move(*F.Tool, 110, 130);
        F.DC.ClearCalls();
        F.Tool->ChartEvent(cteAfterDraw);
        EXPECT_EQ(F.Drawn(), Row.Expected) << Row.Style;
    }
}

TEST(NearestTool, WithoutFullRepaintAMoveErasesAndRedrawsInNotXorMode)
{
    TNearestChart F;
    F.Tool->SetFullRepaint(false);
    F.Tool->SetDrawLine(false);
    int Changes = 0;
    F.Tool->OnChange = [&](QObject*) { ++Changes; };
    TRecordingToolChart::Move(*F.Tool, 110, 100);
    EXPECT_EQ(F.Drawn(), QStringList{"Ellipse(80,80,120,120)"});
    F.DC.ClearCalls();
    TRecordingToolChart::Move(*F.Tool, 290, 100);
    EXPECT_EQ(F.Drawn(), (QStringList{"Ellipse(80,80,120,120)", "Ellipse(280,80,320,120)"}));
    EXPECT_TRUE(F.Calls("SetROP2(").contains(QStringLiteral("SetROP2(10)")));
    EXPECT_EQ(Changes, 2);
    // Leaving the chart erases the marker and forgets the point.
    F.DC.ClearCalls();
    F.Tool->ChartEvent(cteMouseLeave);
    EXPECT_EQ(F.Drawn(), QStringList{"Ellipse(280,80,320,120)"});
    EXPECT_EQ(F.Tool->Point(), -1);
    F.DC.ClearCalls();
    F.Tool->ChartEvent(cteAfterDraw);
    EXPECT_TRUE(F.Drawn().isEmpty());
}

} // namespace
} // namespace lp
