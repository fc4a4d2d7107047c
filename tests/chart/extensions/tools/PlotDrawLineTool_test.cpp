// Draw-line tool: the user's sequences of drawing, selecting and dragging,
// lines kept in axis values, the drawing of lines and handles, and the
// exclusive-or rubber band in the chart's buffer.

#include "chart/extensions/tools/PlotDrawLineTool.h"

#include "ToolsTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TToolChart;

struct TDrawLineFixture : TToolChart {
    TDrawLineTool* Tool = new TDrawLineTool(&Chart);
    int NewLines = 0, Selects = 0, DragSteps = 0, Dragged = 0;

    TDrawLineFixture()
    {
        Chart.Tools().Add(Tool);
        Tool->OnNewLine = [this](QObject*) { ++NewLines; };
        Tool->OnSelect = [this](QObject*) { ++Selects; };
        Tool->OnDragLine = [this](QObject*) { ++DragSteps; };
        Tool->OnDraggedLine = [this](QObject*) { ++Dragged; };
        Paint(); // places the axes
    }
    TDrawLine* AddLine(double X0, double Y0, double X1, double Y1)
    {
        TDrawLine* Line = Tool->Lines()->Add();
        Line->SetX0(X0);
        Line->SetY0(Y0);
        Line->SetX1(X1);
        Line->SetY1(Y1);
        return Line;
    }
    TPoint Start(const TDrawLine& L) const { return Pixel(L.X0(), L.Y0()); }
    TPoint End(const TDrawLine& L) const { return Pixel(L.X1(), L.Y1()); }
};

TPoint Middle(const TPoint& A, const TPoint& B)
{
    return TPoint{(A.X + B.X) / 2, (A.Y + B.Y) / 2};
}

TEST(DrawLineSequence, ADragOnEmptySpaceDrawsASelectedLineInAxisValues)
{
    TDrawLineFixture F;
    F.Drag({100, 100}, {200, 150});
    ASSERT_EQ(F.Tool->Lines()->Count(), 1);
    const TDrawLine& Line = *F.Tool->Lines()->Items(0);
    EXPECT_EQ(F.Start(Line), (TPoint{100, 100}));
    EXPECT_EQ(F.End(Line), (TPoint{200, 150}));
    EXPECT_DOUBLE_EQ(Line.X0(), F.Chart.BottomAxis()->CalcPosPoint(100));
    EXPECT_EQ(F.Tool->Selected(), &Line);
    EXPECT_EQ(F.NewLines, 1);
}

TEST(DrawLineSequence, AClickWithoutMovementAddsNoLine)
{
    TDrawLineFixture F;
    F.Drag({100, 100}, {100, 100});
    EXPECT_EQ(F.Tool->Lines()->Count(), 0);
    EXPECT_EQ(F.NewLines, 0);
}

TEST(DrawLineSequence, APressOnTheSelectedLineAwayFromItsEndsDragsItWhole)
{
    TDrawLineFixture F;
    TDrawLine* Line = F.AddLine(20, 20, 60, 60);
    F.Tool->SetSelected(Line);
    const TPoint S = F.Start(*Line), E = F.End(*Line);
    const TPoint M = Middle(S, E);
    F.Drag(M, {M.X + 30, M.Y - 10});
    EXPECT_EQ(F.Start(*Line), (TPoint{S.X + 30, S.Y - 10}));
    EXPECT_EQ(F.End(*Line), (TPoint{E.X + 30, E.Y - 10}));
    EXPECT_EQ(F.DragSteps, 1);
    EXPECT_EQ(F.Dragged, 1);
}

TEST(DrawLineSequence, EachEndOfTheSelectedLineDragsAlone)
{
    TDrawLineFixture F;
    TDrawLine* Line = F.AddLine(20, 20, 60, 60);
    F.Tool->SetSelected(Line);
    const TPoint S = F.Start(*Line), E = F.End(*Line);
    F.Drag(S, {S.X - 15, S.Y + 5});
    EXPECT_EQ(F.Start(*Line), (TPoint{S.X - 15, S.Y + 5}));
    EXPECT_EQ(F.End(*Line), E);
    F.Drag({E.X + 2, E.Y - 2}, {E.X + 40, E.Y});
    EXPECT_EQ(F.End(*Line), (TPoint{E.X + 40, E.Y}));
    EXPECT_EQ(F.Start(*Line), (TPoint{S.X - 15, S.Y + 5}));
}

TEST(DrawLineSequence, APressOnAnotherLineSelectsItWithoutMovingIt)
{
    TDrawLineFixture F;
    TDrawLine* First = F.AddLine(10, 10, 40, 10);
    TDrawLine* Second = F.AddLine(10, 80, 40, 80);
    F.Tool->SetSelected(First);
    const TPoint M = Middle(F.Start(*Second), F.End(*Second));
    F.Drag(M, M);
    EXPECT_EQ(F.Tool->Selected(), Second);
    EXPECT_EQ(F.Selects, 1);
    // A click keeps the line's values exactly (no pixel round trip).
    EXPECT_EQ(Second->X0(), 10);
    EXPECT_EQ(Second->Y1(), 80);
}

// A press on a line whose selection OnSelecting refuses used to start a
// drag of no line, or of the previous selection's rubber band.
TEST(DrawLineSequence, APressOnALineWhoseSelectionIsRefusedIsIgnored)
{
    TDrawLineFixture F;
    TDrawLine* First = F.AddLine(10, 10, 40, 10);
    TDrawLine* Second = F.AddLine(10, 80, 40, 80);
    F.Tool->SetSelected(First);
    F.Tool->OnSelecting = [&](TDrawLineTool*, TDrawLine* Line, bool& Allow) { Allow = Line != Second; };
    const TPoint M = Middle(F.Start(*Second), F.End(*Second));
    F.Tool->ChartMouseEvent(cmeDown, mbLeft, {}, M.X, M.Y);
    EXPECT_FALSE(F.Chart.MouseCancelled());
    F.Tool->ChartMouseEvent(cmeMove, mbLeft, {}, M.X + 50, M.Y + 50);
    F.Tool->ChartMouseEvent(cmeUp, mbLeft, {}, M.X + 50, M.Y + 50);
    EXPECT_EQ(F.Tool->Selected(), First);
    EXPECT_EQ(First->X0(), 10);
    EXPECT_EQ(First->Y0(), 10);
    EXPECT_EQ(Second->Y0(), 80);
    EXPECT_EQ(F.Dragged, 0);
}

TEST(DrawLineSequence, WithoutSelectingPressesDrawAndWithoutDrawingTheyAreIgnored)
{
    TDrawLineFixture F;
    TDrawLine* Line = F.AddLine(20, 20, 60, 60);
    F.Tool->SetSelected(Line);
    F.Tool->SetEnableSelect(false);
    EXPECT_EQ(F.Tool->Selected(), nullptr);
    const TPoint M = Middle(F.Start(*Line), F.End(*Line));
    F.Drag(M, {M.X + 20, M.Y});
    EXPECT_EQ(F.Tool->Lines()->Count(), 2);
    EXPECT_EQ(F.Start(*Line), F.Pixel(20, 20));
    F.Tool->SetEnableDraw(false);
    F.Tool->ChartMouseEvent(cmeDown, mbLeft, {}, M.X, M.Y);
    EXPECT_FALSE(F.Chart.MouseCancelled());
    F.Tool->ChartMouseEvent(cmeMove, mbLeft, {}, M.X + 20, M.Y);
    EXPECT_FALSE(F.Chart.MouseCancelled());
    F.Tool->ChartMouseEvent(cmeUp, mbLeft, {}, M.X + 20, M.Y);
    EXPECT_EQ(F.Tool->Lines()->Count(), 2);
}

TEST(DrawLineDrawing, LinesFollowAZoom)
{
    TDrawLineFixture F;
    F.AddLine(20, 20, 60, 60);
    QStringList Calls = F.Paint();
    EXPECT_TRUE(Calls.contains(QStringLiteral("LineTo(%1,%2)").arg(F.Pixel(60, 60).X).arg(F.Pixel(60, 60).Y)));
    const TPoint Before = F.Pixel(60, 60);
    F.Chart.BottomAxis()->SetMinMax(0, 80);
    F.Chart.LeftAxis()->SetMinMax(10, 90);
    Calls = F.Paint();
    const TPoint After = F.Pixel(60, 60);
    EXPECT_NE(After, Before);
    EXPECT_TRUE(Calls.contains(QStringLiteral("LineTo(%1,%2)").arg(After.X).arg(After.Y)))
        << Calls.join('\n').toStdString();
}

TEST(DrawLineDrawing, ParallelStylesDrawTwoLinesAndTheSelectedLineHasHandles)
{
    TDrawLineFixture F;
    TDrawLine* Line = F.AddLine(20, 20, 60, 60);
    Line->SetStyle(dlHorizParallel);
    const TPoint S = F.Pixel(20, 20), E = F.Pixel(60, 60);
    QStringList Calls = F.Paint();
    for (const int Y : {S.Y, E.Y})
        EXPECT_TRUE(Calls.contains(QStringLiteral("MoveTo(%1,%2)").arg(S.X).arg(Y))) << Y;
    const QString Handle = QStringLiteral("Polygon([%1 %2;%3 %2;").arg(S.X - 3).arg(S.Y - 3).arg(S.X + 3);
    EXPECT_EQ(Calls.filter(Handle).size(), 0);
    F.Tool->SetSelected(Line);
    Calls = F.Paint();
    EXPECT_EQ(Calls.filter(Handle).size(), 1) << Calls.join('\n').toStdString();
}

TEST(DrawLineSettings, AnOwnPenIsMadeOnFirstReadAndStoredOnlyThen)
{
    TDrawLineFixture F;
    F.Tool->Pen()->SetColor(clRed);
    TDrawLine* Line = F.AddLine(0, 0, 1, 1);
    EXPECT_FALSE(Line->HasPen());
    EXPECT_EQ(Line->Pen()->Color(), clRed);
    EXPECT_TRUE(Line->HasPen());
    Line->SetPen(nullptr);
    EXPECT_FALSE(Line->HasPen());
    F.Tool->SetSelected(Line);
    F.Tool->Lines()->Delete(0);
    EXPECT_EQ(F.Tool->Selected(), nullptr);
}

// The rubber band goes into the chart's buffered picture with a
// not-exclusive-or pen: drawing it again restores every pixel.
TEST(DrawLineRubberBand, IsDrawnIntoTheBufferAndErasedByTheNextStep)
{
    TDrawLineFixture F;
    F.Chart.SetBufferedDisplay(true);
    TBitmap Window(400, 300);
    F.Chart.DrawToCanvas(&Window.Canvas(), F.Chart.GetRectangle());
    const TBitmap* Buffer = F.Chart.Canvas().Bitmap();
    ASSERT_NE(Buffer, nullptr);
    const QImage Clean = Buffer->ToImage();
    F.Press(100, 100);
    F.Move(200, 100);
    EXPECT_NE(Buffer->ToImage().pixel(150, 100), Clean.pixel(150, 100));
    F.Move(100, 200);
    EXPECT_EQ(Buffer->ToImage().pixel(150, 100), Clean.pixel(150, 100));
    EXPECT_NE(Buffer->ToImage().pixel(100, 150), Clean.pixel(100, 150));
    F.Release(100, 200);
    EXPECT_EQ(Buffer->ToImage(), Clean);
    EXPECT_EQ(F.Tool->Lines()->Count(), 1);
}

} // namespace
} // namespace lp
