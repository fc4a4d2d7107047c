// The colour line tool: the visible-range limit on normal and inverted
// axes (drawing only: a paint keeps Value), the Value writer and stored
// styles, the drag with the left button only (overlay or repaint), and the
// parts drawn at each paint stage.

#include "chart/extensions/tools/PlotColorLineTool.h"

#include "chart/engine/PlotChart.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/tools/ToolsRecordingUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::Line;
using test::TRecordingToolChart;

struct TLineChart : TRecordingToolChart {
    TColorLineTool* Tool = AddTool<TColorLineTool>();

    explicit TLineChart(bool Vertical = false)
    {
        Tool->SetAxis(Vertical ? Chart.LeftAxis() : Chart.BottomAxis());
        DC.ClearCalls();
    }
};

TEST(ColorLineTool, LimitsFollowTheAxisDirection)
{
    struct TRow {
        bool Vertical, Inverted;
        double Value, Limited;
    };
    const TRow Rows[] = {
        {false, false, -1, 0},  {false, false, 5, 4},     {false, false, 2.5, 2.5},
        {false, true, -1, 0},   {false, true, 5, 4},      {false, true, 2.5, 2.5},
        {true, false, -10, 0},  {true, false, 150, 100},  {true, false, 30, 30},
        {true, true, -10, 0},   {true, true, 150, 100},   {true, true, 30, 30},
    };
    for (const TRow& Row : Rows) {
        TLineChart F(Row.Vertical);
        F.Tool->Axis()->SetInverted(Row.Inverted);
        test::PlaceAxes(F.Chart, {0, 0, 400, 200});
        EXPECT_DOUBLE_EQ(F.Tool->LimitValue(Row.Value), Row.Limited)
            << Row.Vertical << Row.Inverted << " " << Row.Value;
    }
}

TEST(ColorLineTool, SettingValueMakesTheStyleCustom)
{
    TLineChart F;
    F.Tool->SetStyle(TColorLineTool::clMaximum);
    EXPECT_DOUBLE_EQ(F.Tool->EffectiveValue(), 4);
    F.Tool->SetStyle(TColorLineTool::clCenter);
    EXPECT_DOUBLE_EQ(F.Tool->EffectiveValue(), 2);
    F.Tool->SetValue(1);
    EXPECT_EQ(F.Tool->Style(), TColorLineTool::clCustom);
    EXPECT_DOUBLE_EQ(F.Tool->EffectiveValue(), 1);
}

TEST(ColorLineTool, AStoredToolKeepsItsStyle)
{
    TChart Original;
    auto* Tool = new TColorLineTool(&Original);
    Tool->SetName(QStringLiteral("Line1"));
    Tool->SetAxis(Original.LeftAxis());
    Tool->SetValue(30);
    Tool->SetStyle(TColorLineTool::clMaximum);
    Tool->SetDrawBehind(true);
    TChart Copy;
    test::ReadInto(Original, Copy);
    ASSERT_EQ(Copy.Tools().Count(), 1);
    auto* Read = qobject_cast<TColorLineTool*>(Copy.Tools()[0]);
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->Style(), TColorLineTool::clMaximum);
    EXPECT_DOUBLE_EQ(Read->Value(), 30);
    EXPECT_TRUE(Read->DrawBehind());
    EXPECT_EQ(Read->Axis(), Copy.LeftAxis());
}

TEST(ColorLineTool, OnlyTheLeftButtonStartsADrag)
{
    TLineChart F;
    F.Tool->SetValue(2);
    TRecordingToolChart::Press(*F.Tool, 201, 100, mbRight);
    EXPECT_FALSE(F.Tool->Dragging());
    EXPECT_FALSE(F.Chart.MouseCancelled());
    int Began = 0;
    F.Tool->OnBeginDragLine = [&](TColorLineTool*) { ++Began; };
    TRecordingToolChart::Press(*F.Tool, 201, 100);
    EXPECT_TRUE(F.Tool->Dragging());
    EXPECT_TRUE(F.Chart.MouseCancelled());
    EXPECT_EQ(Began, 1);
    // Three pixels away is off the line; the chart rectangle's edges count.
    F.Tool->ChartMouseEvent(cmeUp, mbLeft, {}, 0, 0);
    EXPECT_FALSE(F.Tool->Clicked(203, 100));
    EXPECT_TRUE(F.Tool->Clicked(198, 200));
    EXPECT_FALSE(F.Tool->Clicked(200, 201));
}

TEST(ColorLineTool, DraggingAMaximumLineMakesItCustomAtTheDraggedValue)
{
    TLineChart F;
    F.Tool->SetStyle(TColorLineTool::clMaximum);
    int Dragged = 0;
    int Ended = 0;
    F.Tool->OnDragLine = [&](TColorLineTool*) { ++Dragged; };
    F.Tool->OnEndDragLine = [&](TColorLineTool*) { ++Ended; };
    TRecordingToolChart::Press(*F.Tool, 399, 100);
    ASSERT_TRUE(F.Tool->Dragging());
    F.DC.ClearCalls();
    TRecordingToolChart::Move(*F.Tool, 200, 50);
    EXPECT_EQ(F.Tool->Style(), TColorLineTool::clCustom);
    EXPECT_DOUBLE_EQ(F.Tool->Value(), 2);
    // Erased at the maximum, drawn at 2, both in not-xor mode (2-D: the back
    // wall line alone, as the front one would cancel it).
    const QStringList Lines = F.Drawn();
    EXPECT_EQ(Lines.filter(QStringLiteral("Line(400,0,400,200)")).size(), 1);
    EXPECT_EQ(Lines.filter(QStringLiteral("Line(200,0,200,200)")).size(), 1);
    EXPECT_LT(Lines.indexOf(Line(400, 0, 400, 200)), Lines.indexOf(Line(200, 0, 200, 200)));
    EXPECT_TRUE(F.Calls("SetROP2(").contains(QStringLiteral("SetROP2(10)")));
    EXPECT_EQ(F.Calls("SetROP2(").last(), QStringLiteral("SetROP2(13)"));
    // Past the axis' end the line stops at the end.
    TRecordingToolChart::Move(*F.Tool, 450, 50);
    EXPECT_DOUBLE_EQ(F.Tool->Value(), 4);
    TRecordingToolChart::Release(*F.Tool, 450, 50);
    EXPECT_FALSE(F.Tool->Dragging());
    EXPECT_EQ(Dragged, 2);
    EXPECT_EQ(Ended, 1);
}

TEST(ColorLineTool, NoLimitDragGoesBeyondTheAxis)
{
    TLineChart F;
    F.Tool->SetValue(2);
    F.Tool->SetNoLimitDrag(true);
    TRecordingToolChart::Press(*F.Tool, 200, 100);
    TRecordingToolChart::Move(*F.Tool, 450, 50);
    EXPECT_DOUBLE_EQ(F.Tool->Value(), 4.5);
}

TEST(ColorLineTool, HoverShowsTheSplitCursorAcrossTheAxis)
{
    for (const bool Vertical : {false, true}) {
        TLineChart F(Vertical);
        F.Tool->SetValue(Vertical ? 50 : 2);
        F.Chart.SetCursor(crDefault);
        TRecordingToolChart::Move(*F.Tool, 200, 100);
        EXPECT_EQ(F.Chart.Cursor(), Vertical ? crVSplit : crHSplit);
        EXPECT_TRUE(F.Chart.MouseCancelled());
    }
}

TEST(ColorLineTool, BackPartBeforeTheSeriesFrontPartAfterDrawing)
{
    struct TRow {
        bool DrawBehind, Draw3D;
        int Event;
        QStringList Expected;
    };
    // In 2-D the depth lines have no length; the vertical line at x = 200.
    const QString Depth0 = Line(200, 200, 200, 200);
    const QString Top0 = Line(200, 0, 200, 0);
    const QString Wall = Line(200, 0, 200, 200);
    const TRow Rows[] = {
        {false, true, cteBeforeDrawSeries, {Depth0, Wall}},
        {false, true, cteAfterDraw, {Top0, Wall}},
        {false, false, cteBeforeDrawSeries, {}},
        {false, false, cteAfterDraw, {Wall}},
        {true, false, cteBeforeDrawSeries, {Wall}},
        {true, false, cteAfterDraw, {}},
        {false, true, cteAfterDrawSeries, {}},
        {false, true, cteBeforeDrawAxes, {}},
    };
    for (const TRow& Row : Rows) {
        TLineChart F;
        F.Tool->SetValue(2);
        F.Tool->SetDrawBehind(Row.DrawBehind);
        F.Tool->SetDraw3D(Row.Draw3D);
        F.DC.ClearCalls();
        F.Tool->ChartEvent(Row.Event);
        EXPECT_EQ(F.Drawn(), Row.Expected) << Row.DrawBehind << Row.Draw3D << " " << Row.Event;
    }
}

TEST(ColorLineTool, AValueOutsideTheAxisIsDrawnAtTheNearestEndAndKept)
{
    // The axis ends at 4 (x = 400): a line at 9 is drawn and grabbed there,
    // and the paint leaves the value as it was set.
    TLineChart F;
    F.Tool->SetValue(9);
    F.Tool->ChartEvent(cteAfterDraw);
    EXPECT_EQ(F.Drawn(), (QStringList{Line(400, 0, 400, 0), Line(400, 0, 400, 200)}));
    EXPECT_DOUBLE_EQ(F.Tool->Value(), 9);
    EXPECT_DOUBLE_EQ(F.Tool->DrawnValue(), 4);
    EXPECT_TRUE(F.Tool->Clicked(400, 100));
    F.Tool->SetNoLimitDrag(true);
    EXPECT_DOUBLE_EQ(F.Tool->DrawnValue(), 9);
    EXPECT_FALSE(F.Tool->Clicked(400, 100));
    F.Tool->SetNoLimitDrag(false);
    // Dragged back into the range, the line moves from where it was drawn.
    F.Press(*F.Tool, 400, 100);
    F.Move(*F.Tool, 300, 100);
    F.Release(*F.Tool, 300, 100);
    EXPECT_DOUBLE_EQ(F.Tool->Value(), 3);
}

} // namespace
} // namespace lp
