// The colour band tool: its rectangle in either value order and on
// inverted axes, cut at the axis ends or empty outside them, the paint
// stage it draws at, blending only with a transparency, the private edges
// and their drags, clicks.

#include "chart/extensions/tools/PlotColorBandTool.h"

#include "tests/chart/extensions/tools/ToolsRecordingUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TRecordingToolChart;

struct TBandChart : TRecordingToolChart {
    TColorBandTool* Band = AddTool<TColorBandTool>();

    explicit TBandChart(bool Vertical = false)
    {
        Band->SetAxis(Vertical ? Chart.LeftAxis() : Chart.BottomAxis());
        DC.ClearCalls();
    }
    void Set(double Start, double End)
    {
        Band->SetStartValue(Start);
        Band->SetEndValue(End);
    }
};

TEST(ColorBandTool, TheRectangleIsTheSameInEitherValueOrder)
{
    struct TRow {
        bool Vertical, Inverted;
        double A, B;
        TRect Expected;
    };
    const TRow Rows[] = {
        // 1 .. 3 across: pixels 100 .. 300, one more on the right for the frame.
        {false, false, 1, 3, {100, 0, 301, 200}},
        {false, true, 1, 3, {100, 0, 301, 200}},
        // 20 .. 60 up: pixels 160 .. 80; one in from the left, one lower.
        {true, false, 20, 60, {1, 80, 400, 161}},
        {true, true, 20, 60, {1, 40, 400, 121}},
    };
    for (const TRow& Row : Rows) {
        for (const bool Reversed : {false, true}) {
            TBandChart F(Row.Vertical);
            F.Band->Axis()->SetInverted(Row.Inverted);
            test::PlaceAxes(F.Chart, {0, 0, 400, 200});
            if (Reversed)
                F.Set(Row.B, Row.A);
            else
                F.Set(Row.A, Row.B);
            EXPECT_EQ(F.Band->BoundsRect(), Row.Expected) << Row.Vertical << Row.Inverted << Reversed;
        }
    }
}

TEST(ColorBandTool, ABandOutsideTheAxisIsEmptyAndPartlyOutsideIsCut)
{
    struct TRow {
        double Start, End;
        TRect Expected;
    };
    const TRow Rows[] = {
        {5, 6, {}},
        {-3, -1, {}},
        {-1, 2, {0, 0, 201, 200}},
        {3, 9, {300, 0, 401, 200}},
    };
    for (const TRow& Row : Rows) {
        TBandChart F;
        F.Set(Row.Start, Row.End);
        EXPECT_EQ(F.Band->BoundsRect(), Row.Expected) << Row.Start;
        const bool Empty = Row.Expected == TRect{};
        bool Clicked = false;
        F.Band->OnClick = [&](TColorBandTool*, TMouseButton, TShiftState, int, int) { Clicked = true; };
        TRecordingToolChart::Press(*F.Band, Empty ? 100 : (Row.Expected.Left + Row.Expected.Right) / 2, 100);
        EXPECT_EQ(Clicked, !Empty);
        F.Band->ChartEvent(cteBeforeDrawSeries);
        EXPECT_EQ(F.Calls("Rectangle(").isEmpty(), Empty);
    }
    // Without a frame the band keeps its exact right edge.
    TBandChart F;
    F.Band->Pen()->SetVisible(false);
    F.Set(1, 3);
    EXPECT_EQ(F.Band->BoundsRect(), (TRect{100, 0, 300, 200}));
}

TEST(ColorBandTool, DrawsAtOneStageOfThePaint)
{
    struct TRow {
        bool DrawBehind, DrawBehindAxes;
        int Stage;
    };
    const TRow Rows[] = {
        {false, false, cteAfterDraw},
        {true, false, cteBeforeDrawSeries},
        {true, true, cteBeforeDrawAxes},
        {false, true, cteBeforeDrawAxes},
    };
    for (const TRow& Row : Rows) {
        TBandChart F;
        F.Set(1, 3);
        F.Band->SetDrawBehind(Row.DrawBehind);
        F.Band->SetDrawBehindAxes(Row.DrawBehindAxes);
        for (const int Event : {cteBeforeDraw, cteBeforeDrawAxes, cteBeforeDrawSeries, cteAfterDrawSeries,
                                cteAfterDraw}) {
            F.DC.ClearCalls();
            F.Band->ChartEvent(Event);
            EXPECT_EQ(F.Calls("Rectangle("), Event == Row.Stage ? QStringList{"Rectangle(100,0,301,200)"}
                                                                 : QStringList{})
                << Row.DrawBehind << Row.DrawBehindAxes << " " << Event;
        }
    }
}

TEST(ColorBandTool, BlendsOnlyWithATransparency)
{
    for (const int Transparency : {0, 50}) {
        test::TTestChart Chart;
        Chart.SetBounds(0, 0, 400, 200);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Chart.BottomAxis()->SetMinMax(0, 4);
        Chart.LeftAxis()->SetMinMax(0, 100);
        test::PlaceAxes(Chart, {0, 0, 400, 200});
        auto Target = test::BindCanvas(Chart);
        Target->Canvas().Brush().SetColor(clWhite);
        Target->Canvas().FillRect(TRect{0, 0, 400, 200});
        auto* Band = new TColorBandTool(&Chart);
        Chart.Tools().Add(Band);
        Band->SetAxis(Chart.BottomAxis());
        Band->SetColor(clRed);
        Band->SetStartValue(1);
        Band->SetEndValue(3);
        Band->SetTransparency(Transparency);
        Band->ChartEvent(cteBeforeDrawSeries);
        const TColor Inside = Target->Canvas().Pixel(200, 100);
        if (Transparency == 0)
            EXPECT_EQ(Inside, clRed);
        else
            EXPECT_TRUE(Inside != clRed && Inside != clWhite) << std::hex << Inside;
    }
    TColorBandTool Band;
    EXPECT_THROW(Band.SetTransparency(101), ERangeError);
    EXPECT_EQ(Band.Transparency(), 0);
}

TEST(ColorBandTool, TheEdgesStayOffTheToolsListAndDragTheBandsValues)
{
    TBandChart F;
    EXPECT_EQ(F.Chart.Tools().Count(), 1);
    EXPECT_EQ(F.Band->StartLine()->ParentChart(), nullptr);
    EXPECT_EQ(F.Band->StartLine()->OwnerChart(), &F.Chart);
    F.Set(1, 3);
    F.Band->SetResizeStart(true);
    // Dragging the start edge past the end edge swaps their roles.
    TRecordingToolChart::Press(*F.Band, 100, 100);
    ASSERT_TRUE(F.Band->StartLine()->Dragging());
    EXPECT_TRUE(F.Chart.MouseCancelled());
    TRecordingToolChart::Move(*F.Band, 350, 100);
    TRecordingToolChart::Release(*F.Band, 350, 100);
    EXPECT_DOUBLE_EQ(F.Band->StartValue(), 3.5);
    EXPECT_DOUBLE_EQ(F.Band->EndValue(), 3);
    EXPECT_EQ(F.Band->BoundsRect(), (TRect{300, 0, 351, 200}));
    // An inactive edge takes no mouse.
    TRecordingToolChart::Press(*F.Band, 300, 100);
    EXPECT_FALSE(F.Band->EndLine()->Dragging());
}

TEST(ColorBandTool, TheBandsCursorShowsOverIt)
{
    TBandChart F;
    F.Set(1, 3);
    F.Band->SetCursor(crHandPoint);
    F.Chart.SetMouseCancelled(false);
    TRecordingToolChart::Move(*F.Band, 50, 100);
    EXPECT_EQ(F.Chart.Cursor(), crDefault);
    TRecordingToolChart::Move(*F.Band, 150, 100);
    EXPECT_EQ(F.Chart.Cursor(), crHandPoint);
    EXPECT_TRUE(F.Chart.MouseCancelled());
}

} // namespace
} // namespace lp
