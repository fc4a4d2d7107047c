// The cursor tool: snapping in axis units with ties, hit precedence, drags
// inside and outside the cursor rectangle, events, hover cursors, and the
// exclusive-or drawing that erases exactly what it drew.

#include "chart/extensions/tools/PlotCursorTool.h"

#include "chart/engine/PlotChart.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/tools/ToolsRecordingUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

using test::Line;
using test::TRecordingToolChart;

struct TCursorChart : TRecordingToolChart {
    TCursorTool* Cursor = AddTool<TCursorTool>();

    // Puts the cursor lines at pixel (X, Y) as a move with FollowMouse does.
    void PlaceAt(int X, int Y)
    {
        Cursor->SetFollowMouse(true);
        Move(*Cursor, X, Y);
        Cursor->SetFollowMouse(false);
        DC.ClearCalls();
    }
};

TEST(CursorTool, SnapsToTheNearestPointInAxisUnitsTiesToTheLowerIndex)
{
    struct TRow {
        TCursorTool::TCursorToolStyle Style;
        double X, Y;
        int Expected;
        double SnappedX, SnappedY;
    };
    // Points 0 (1, 10), 1 (2, 40), 2 (3, 10): X and Y have different
    // scales in axis units, and distances are measured in axis units.
    const TRow Rows[] = {
        {TCursorTool::cssVertical, 2, 99, 1, 2, 99},        // exact X
        {TCursorTool::cssVertical, 1.5, 0, 0, 1, 0},        // 0.5 from points 0 and 1: lower
        {TCursorTool::cssHorizontal, 3.9, 10, 0, 3.9, 10},  // Y ties points 0 and 2: lower
        {TCursorTool::cssHorizontal, 0, 30, 1, 0, 40},
        {TCursorTool::cssBoth, 2.9, 12, 2, 3, 10},
        {TCursorTool::cssBoth, 2, 10, 0, 1, 10},            // 1 from points 0 and 2: lower
    };
    for (const TRow& Row : Rows) {
        TCursorChart F;
        TChartSeries* S = F.AddPoints({{1, 10}, {2, 40}, {3, 10}});
        F.Cursor->SetSnap(true);
        F.Cursor->SetSeries(S);
        F.Cursor->SetStyle(Row.Style);
        F.Cursor->SetXValue(Row.X);
        F.Cursor->SetYValue(Row.Y);
        EXPECT_EQ(F.Cursor->SnapToPoint(), Row.Expected) << Row.Style << " " << Row.X << " " << Row.Y;
        EXPECT_DOUBLE_EQ(F.Cursor->XValue(), Row.SnappedX);
        EXPECT_DOUBLE_EQ(F.Cursor->YValue(), Row.SnappedY);
    }
}

TEST(CursorTool, WithoutPointsOrSnapNothingSnapsAndTheValuesFollowTheMouse)
{
    for (const bool WithPoints : {false, true}) {
        TCursorChart F;
        TChartSeries* S = WithPoints ? F.AddPoints({{1, 10}}) : F.AddPoints({});
        F.Cursor->SetSeries(S);
        F.Cursor->SetSnap(!WithPoints);
        std::vector<int> Indexes;
        F.Cursor->OnChange = [&](TCursorTool*, int, int, double, double, TChartSeries*, int Index) {
            Indexes.push_back(Index);
        };
        F.Cursor->SetFollowMouse(true);
        TRecordingToolChart::Move(*F.Cursor, 250, 50);
        EXPECT_EQ(Indexes, std::vector<int>{-1});
        EXPECT_DOUBLE_EQ(F.Cursor->XValue(), 2.5);
        EXPECT_DOUBLE_EQ(F.Cursor->YValue(), 75);
    }
}

TEST(CursorTool, SnapChangeOnlyWhenTheIndexChanges)
{
    TCursorChart F;
    TChartSeries* S = F.AddPoints({{1, 10}, {3, 10}});
    F.Cursor->SetSnap(true);
    F.Cursor->SetSeries(S);
    F.Cursor->SetFollowMouse(true);
    std::vector<int> Changes;
    std::vector<int> SnapChanges;
    F.Cursor->OnChange = [&](TCursorTool*, int, int, double, double, TChartSeries*, int I) { Changes.push_back(I); };
    F.Cursor->OnSnapChange = [&](TCursorTool*, int X, int, double XValue, double, TChartSeries* Series, int I) {
        SnapChanges.push_back(I);
        EXPECT_EQ(Series, S);
        EXPECT_EQ(X, I == 0 ? 100 : 300);
        EXPECT_DOUBLE_EQ(XValue, I == 0 ? 1 : 3);
    };
    for (const int X : {90, 120, 310, 350, 150})
        TRecordingToolChart::Move(*F.Cursor, X, 100);
    EXPECT_EQ(Changes, (std::vector<int>{0, 0, 1, 1, 0}));
    EXPECT_EQ(SnapChanges, (std::vector<int>{0, 1, 0}));
}

TEST(CursorTool, PressDragsTheCrossingBeforeEitherLine)
{
    struct TRow {
        int PressX, PressY;
        TCursorTool::TCursorPart Part;
        double XAfter, YAfter;
    };
    // Cursor at pixel (200, 100) = (2, 50); the drag goes to (300, 40) = (3, 80).
    const TRow Rows[] = {
        {202, 97, TCursorTool::cpCrossing, 3, 80},
        {260, 103, TCursorTool::cpHorizontal, 2, 80},
        {197, 20, TCursorTool::cpVertical, 3, 50},
        {204, 96, TCursorTool::cpNothing, 2, 50},
    };
    for (const TRow& Row : Rows) {
        TCursorChart F;
        F.PlaceAt(200, 100);
        F.Chart.SetMouseCancelled(false);
        TRecordingToolChart::Press(*F.Cursor, Row.PressX, Row.PressY);
        EXPECT_EQ(F.Cursor->DraggedPart(), Row.Part) << Row.PressX << "," << Row.PressY;
        EXPECT_EQ(F.Chart.MouseCancelled(), Row.Part != TCursorTool::cpNothing);
        TRecordingToolChart::Move(*F.Cursor, 300, 40);
        EXPECT_DOUBLE_EQ(F.Cursor->XValue(), Row.XAfter);
        EXPECT_DOUBLE_EQ(F.Cursor->YValue(), Row.YAfter);
        TRecordingToolChart::Release(*F.Cursor, 300, 40);
        EXPECT_EQ(F.Cursor->DraggedPart(), TCursorTool::cpNothing);
    }
}

TEST(CursorTool, ADragOutsideTheRectangleMovesNothing)
{
    TCursorChart F;
    F.PlaceAt(200, 100);
    TRecordingToolChart::Press(*F.Cursor, 200, 100);
    int Changes = 0;
    F.Cursor->OnChange = [&](TCursorTool*, int, int, double, double, TChartSeries*, int) { ++Changes; };
    TRecordingToolChart::Move(*F.Cursor, 450, 100);
    TRecordingToolChart::Move(*F.Cursor, 200, -5);
    EXPECT_DOUBLE_EQ(F.Cursor->XValue(), 2);
    EXPECT_DOUBLE_EQ(F.Cursor->YValue(), 50);
    EXPECT_EQ(Changes, 0);
    EXPECT_TRUE(F.Drawn().isEmpty());
}

TEST(CursorTool, HoverShowsTheSplitCursorsAndCancelsTheChartsMouse)
{
    struct TRow {
        int X, Y;
        TCursor Cursor;
        bool Cancelled;
    };
    const TRow Rows[] = {
        {300, 101, crVSplit, true},   // the horizontal line
        {199, 30, crHSplit, true},    // the vertical line
        {201, 99, crSizeAll, true},   // the crossing
        {300, 30, crDefault, false},  // nothing
    };
    for (const TRow& Row : Rows) {
        TCursorChart F;
        F.PlaceAt(200, 100);
        F.Chart.SetCursor(crDefault);
        F.Chart.SetMouseCancelled(!Row.Cancelled);
        TRecordingToolChart::Move(*F.Cursor, Row.X, Row.Y);
        EXPECT_EQ(F.Chart.Cursor(), Row.Cursor) << Row.X << "," << Row.Y;
        EXPECT_EQ(F.Chart.MouseCancelled(), Row.Cancelled);
    }
}

TEST(CursorTool, FollowMouseNeverDragsNorCancelsTheChartsMouse)
{
    TCursorChart F;
    F.PlaceAt(200, 100);
    F.Cursor->SetFollowMouse(true);
    F.Chart.SetMouseCancelled(false);
    TRecordingToolChart::Press(*F.Cursor, 200, 100);
    EXPECT_EQ(F.Cursor->DraggedPart(), TCursorTool::cpNothing);
    EXPECT_FALSE(F.Chart.MouseCancelled());
    TRecordingToolChart::Move(*F.Cursor, 100, 150);
    EXPECT_FALSE(F.Chart.MouseCancelled());
    EXPECT_EQ(F.Cursor->PixelX(), 100);
    EXPECT_EQ(F.Cursor->PixelY(), 150);
}

TEST(CursorTool, AMoveErasesTheOldLinesOnceAndDrawsTheNewOnesOnceInXorMode)
{
    TCursorChart F;
    F.Chart.SetColor(clWhite);
    F.Cursor->Pen()->SetColor(clRed);
    F.PlaceAt(200, 100);
    F.Cursor->SetFollowMouse(true);
    TRecordingToolChart::Move(*F.Cursor, 300, 40);
    EXPECT_EQ(F.Drawn(), (QStringList{Line(0, 100, 400, 100), Line(200, 0, 200, 200), Line(0, 40, 400, 40),
                                      Line(300, 0, 300, 200)}));
    // Red xor the white background, in exclusive-or mode, back to copy after.
    const QStringList& Calls = F.DC.Calls();
    for (int I = 0; I < Calls.size(); ++I) {
        if (!Calls[I].startsWith(QLatin1String("LineTo(")))
            continue;
        QString Pen;
        QString Rop;
        for (int J = I - 1; J >= 0 && (Pen.isEmpty() || Rop.isEmpty()); --J) {
            if (Pen.isEmpty() && Calls[J].startsWith(QLatin1String("SelectPen(")))
                Pen = Calls[J];
            if (Rop.isEmpty() && Calls[J].startsWith(QLatin1String("SetROP2(")))
                Rop = Calls[J];
        }
        EXPECT_TRUE(Pen.contains(QStringLiteral("0xFFFF00"))) << Pen.toStdString();
        EXPECT_EQ(Rop, QStringLiteral("SetROP2(7)"));
    }
    EXPECT_EQ(F.Calls("SetROP2(").last(), QStringLiteral("SetROP2(13)"));
}

TEST(CursorTool, TheFirstMoveAfterARepaintErasesNothing)
{
    TCursorChart F;
    F.PlaceAt(200, 100);
    F.Cursor->ChartEvent(cteAfterDraw);
    EXPECT_EQ(F.Cursor->PixelX(), -1);
    F.Cursor->SetFollowMouse(true);
    TRecordingToolChart::Move(*F.Cursor, 300, 40);
    EXPECT_EQ(F.Drawn(), (QStringList{Line(0, 40, 400, 40), Line(300, 0, 300, 200)}));
}

TEST(CursorTool, ABufferedChartTakesTheLinesIntoItsBufferAndRestoresItExactly)
{
    // Nothing paints outside a paint: the lines go into the chart's buffer
    // (which the next window paint shows), never onto the last target.
    TChart Chart;
    Chart.SetBounds(0, 0, 200, 150);
    Chart.SetView3D(false);
    auto* S = new TChartSeries(&Chart);
    Chart.AddSeries(S);
    S->AddXY(0, 0);
    S->AddXY(10, 10);
    auto Target = std::make_unique<TBitmap>(200, 150);
    Chart.DrawToCanvas(&Target->Canvas(), Chart.ClientRect());
    ASSERT_NE(Chart.Canvas().Bitmap(), nullptr);
    const QImage Painted = Target->Image().copy();
    const QImage Before = Chart.Canvas().Bitmap()->Image().copy();
    auto* Cursor = new TCursorTool(&Chart);
    Chart.Tools().Add(Cursor);
    Cursor->SetFollowMouse(true);
    TRecordingToolChart::Move(*Cursor, 100, 70);
    const int OldX = Cursor->PixelX();
    const int OldY = Cursor->PixelY();
    ASSERT_NE(OldX, -1);
    EXPECT_NE(Chart.Canvas().Bitmap()->Image().pixel(OldX + 5, OldY), Before.pixel(OldX + 5, OldY));
    TRecordingToolChart::Move(*Cursor, 60, 40);
    const QImage& After = Chart.Canvas().Bitmap()->Image();
    const int NewX = Cursor->PixelX();
    for (int X = 0; X < 200; ++X)
        if (X != NewX) {
            ASSERT_EQ(After.pixel(X, OldY), Before.pixel(X, OldY)) << X;
        }
    EXPECT_EQ(Target->Image(), Painted);
}

} // namespace
} // namespace lp
