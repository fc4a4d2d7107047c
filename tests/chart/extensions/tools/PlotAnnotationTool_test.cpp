// Annotation and rectangle tools: block geometry, text lines, the callout's
// start, stored sizes, and the rectangle's moving and resizing by mouse.

#include "chart/extensions/tools/PlotAnnotationTool.h"
#include "chart/extensions/tools/PlotRectangleTool.h"

#include "ToolsTestUtil.h"
#include "platform/core/PropertyInfo.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TToolChart;

// The annotation on a chart whose canvas measures on a recording device.
struct TAnnotationFixture : TToolChart {
    TRecordingDC DC{400, 300};
    TCanvas Target{&DC};
    TAnnotationTool* Tool = new TAnnotationTool(&Chart);

    TAnnotationFixture()
    {
        Chart.Tools().Add(Tool);
        Chart.Canvas().SetCanvas(&Target);
    }
    ~TAnnotationFixture() { Chart.Canvas().SetCanvas(nullptr); }
    int FontHeight()
    {
        Chart.Canvas().AssignFont(*Tool->Shape()->Font());
        return Chart.Canvas().FontHeight();
    }
    int TextWidth(const QString& Text)
    {
        Chart.Canvas().AssignFont(*Tool->Shape()->Font());
        return Chart.Canvas().TextWidth(Text);
    }
};

TEST(AnnotationGeometry, TwoLinesAreTwoFontHeightsAndTheMarginsHigh)
{
    TAnnotationFixture F;
    F.Tool->SetText(QStringLiteral("First") + PlotLineSeparator + QStringLiteral("Second line"));
    const TAnnotationTool::TBlock Block = F.Tool->CalcBlock();
    EXPECT_EQ(Block.Lines, 2);
    EXPECT_EQ(Block.Rect.Bottom - Block.Rect.Top, 2 * F.FontHeight() + 4);
    EXPECT_EQ(Block.Rect.Right - Block.Rect.Left, F.TextWidth(QStringLiteral("Second line")) + 6);
    // Left top: the text at (10, 10), the block 4 left of it and 2 above.
    EXPECT_EQ(Block.X, 10);
    EXPECT_EQ(Block.Rect.Left, 6);
    EXPECT_EQ(Block.Rect.Top, 8);
}

TEST(AnnotationGeometry, EachLineIsWrittenOneFontHeightBelowTheOneBefore)
{
    TAnnotationFixture F;
    F.Tool->SetText(QStringLiteral("A") + PlotLineSeparator + QStringLiteral("B"));
    const int Height = F.FontHeight();
    const QStringList Calls = F.Paint();
    EXPECT_TRUE(Calls.contains(QStringLiteral("TextOut(10,10,\"A\")"))) << Calls.join('\n').toStdString();
    EXPECT_TRUE(Calls.contains(QStringLiteral("TextOut(10,%1,\"B\")").arg(10 + Height)));
}

TEST(AnnotationGeometry, AnEmptyTextIsOneBlankWide)
{
    TAnnotationFixture F;
    const TAnnotationTool::TBlock Block = F.Tool->CalcBlock();
    EXPECT_EQ(Block.Rect.Right - Block.Rect.Left, F.TextWidth(QStringLiteral(" ")) + 6);
    EXPECT_GT(Block.Rect.Right - Block.Rect.Left, 6);
}

TEST(AnnotationGeometry, CornersKeepTheirDistanceFromTheChartEdges)
{
    TAnnotationFixture F;
    F.Tool->SetText(QStringLiteral("Note"));
    const int W = F.TextWidth(QStringLiteral("Note"));
    const int H = F.FontHeight();
    const struct {
        TAnnotationPosition Position;
        int X, Y;
    } Rows[] = {{ppLeftTop, 10, 10},
                {ppLeftBottom, 10, 300 - H - 8},
                {ppRightTop, 400 - W - 8, 10},
                {ppRightBottom, 400 - W - 8, 300 - H - 8}};
    for (const auto& Row : Rows) {
        F.Tool->SetPosition(Row.Position);
        const TAnnotationTool::TBlock Block = F.Tool->CalcBlock();
        EXPECT_EQ(Block.X, Row.X) << Row.Position;
        EXPECT_EQ(Block.Y, Row.Y) << Row.Position;
    }
}

TEST(AnnotationGeometry, PerCentPlacesAndPixelPlacesAnchorTheText)
{
    TAnnotationFixture F;
    F.Tool->SetLeft(50);
    F.Tool->SetTop(50);
    F.Tool->SetPositionUnits(muPercent);
    TAnnotationTool::TBlock Block = F.Tool->CalcBlock();
    EXPECT_EQ(Block.X, 200);
    EXPECT_EQ(Block.Y, 150);
    F.Tool->SetPositionUnits(muPixels);
    Block = F.Tool->CalcBlock();
    EXPECT_EQ(Block.X, 54);
    EXPECT_EQ(Block.Y, 52);
}

TEST(AnnotationCallout, StartsOnTheSideFacingItsTarget)
{
    TAnnotationTool Tool;
    const TRect Block{100, 100, 200, 140};
    // Beside the block: its right or left side, at mid-height when the
    // target is level with it.
    EXPECT_EQ(Tool.CalloutStart(Block, {300, 120}), (TPoint{200, 120}));
    EXPECT_EQ(Tool.CalloutStart(Block, {20, 10}), (TPoint{100, 100}));
    // Within the block's horizontal extent: the middle of the top or bottom.
    EXPECT_EQ(Tool.CalloutStart(Block, {130, 250}), (TPoint{150, 140}));
    EXPECT_EQ(Tool.CalloutStart(Block, {199, 0}), (TPoint{150, 100}));
    Tool.Callout()->SetDistance(5);
    EXPECT_EQ(Tool.CalloutStart(Block, {300, 300}), (TPoint{205, 145}));
}

TEST(AnnotationCallout, IsDrawnFromTheBlockToItsTarget)
{
    TAnnotationFixture F;
    F.Tool->SetText(QStringLiteral("Here"));
    F.Tool->Callout()->Arrow()->SetVisible(true);
    F.Tool->Callout()->SetXPosition(300);
    F.Tool->Callout()->SetYPosition(200);
    const TAnnotationTool::TBlock Block = F.Tool->CalcBlock();
    const QStringList Calls = F.Paint();
    const int At = Calls.indexOf(QStringLiteral("MoveTo(%1,%2)").arg(Block.Rect.Right).arg(Block.Rect.Bottom));
    ASSERT_GE(At, 0) << Calls.join('\n').toStdString();
    EXPECT_EQ(Calls.value(At + 1), QStringLiteral("LineTo(300,200)"));
}

TEST(AnnotationSettings, SizeSwitchesAutoSizeOffAndIsStoredOnlyThen)
{
    TAnnotationTool Tool;
    EXPECT_FALSE(Tool.IsSizeStored());
    Tool.SetWidth(80);
    EXPECT_FALSE(Tool.AutoSize());
    EXPECT_EQ(Tool.Width(), 80);
    EXPECT_TRUE(Tool.IsSizeStored());
    Tool.Shape()->SetCustomPosition(true);
    Tool.SetPosition(ppRightBottom);
    EXPECT_FALSE(Tool.Shape()->CustomPosition());
    // Left and Top belong to the shape's stored settings, never the tool's.
    const QMetaObject& Meta = TAnnotationTool::staticMetaObject;
    EXPECT_FALSE(Meta.property(Meta.indexOfProperty("Left")).isStored());
    EXPECT_FALSE(Meta.property(Meta.indexOfProperty("Top")).isStored());
}

TEST(AnnotationMouse, APressOnTheBlockCallsOnClickAndAMoveShowsTheCursor)
{
    TAnnotationFixture F;
    F.Tool->SetText(QStringLiteral("Click me"));
    int Clicks = 0;
    F.Tool->OnClick = [&](TAnnotationTool*, TMouseButton, TShiftState, int, int) { ++Clicks; };
    F.Tool->SetCursor(crHelp);
    F.Press(12, 12);
    F.Release(12, 12);
    F.Press(390, 290);
    F.Release(390, 290);
    EXPECT_EQ(Clicks, 1);
    F.Tool->ChartMouseEvent(cmeMove, mbLeft, {}, 12, 12);
    EXPECT_EQ(F.Chart.Cursor(), crHelp);
    EXPECT_TRUE(F.Chart.MouseCancelled());
}

// --- Rectangle -----------------------------------------------------------------------------

struct TRectangleFixture : TToolChart {
    TRectangleTool* Tool = new TRectangleTool(&Chart);
    TRectangleFixture()
    {
        Chart.Tools().Add(Tool);
        Tool->Shape()->SetShapeBounds(TRect{100, 100, 199, 179});
    }
    TRect Bounds() const { return Tool->Shape()->ShapeBounds(); }
};

TEST(RectangleTool, EdgesAreTestedLeftTopRightBottom)
{
    TRectangleFixture F;
    EXPECT_EQ(F.Tool->ClickedEdge(101, 101), TRectangleTool::reLeft);
    EXPECT_EQ(F.Tool->ClickedEdge(198, 101), TRectangleTool::reTop);
    EXPECT_EQ(F.Tool->ClickedEdge(198, 140), TRectangleTool::reRight);
    EXPECT_EQ(F.Tool->ClickedEdge(150, 178), TRectangleTool::reBottom);
    EXPECT_EQ(F.Tool->ClickedEdge(150, 140), TRectangleTool::reNone);
    EXPECT_EQ(F.Tool->ClickedEdge(50, 50), TRectangleTool::reNone);
}

TEST(RectangleTool, DraggingTheInsideMovesItWhole)
{
    TRectangleFixture F;
    int Dragging = 0, Dragged = 0;
    F.Tool->OnDragging = [&](QObject*) { ++Dragging; };
    F.Tool->OnDragged = [&](QObject*) { ++Dragged; };
    F.Drag({150, 140}, {170, 120});
    EXPECT_EQ(F.Bounds(), (TRect{120, 80, 219, 159}));
    EXPECT_EQ(Dragging, 1);
    EXPECT_EQ(Dragged, 1);
}

TEST(RectangleTool, ResizingKeepsThreePixelsBetweenOppositeEdges)
{
    TRectangleFixture F;
    int Resized = 0;
    F.Tool->OnResized = [&](QObject*) { ++Resized; };
    F.Drag({101, 140}, {350, 140});
    EXPECT_EQ(F.Bounds().Left, 196);
    F.Tool->Shape()->SetShapeBounds(TRect{100, 100, 199, 179});
    F.Drag({150, 178}, {150, 10});
    EXPECT_EQ(F.Bounds().Bottom, 103);
    EXPECT_EQ(Resized, 2);
    EXPECT_EQ(F.Bounds().Right, 199);
}

TEST(RectangleTool, TheRightButtonNeitherDragsNorResizes)
{
    TRectangleFixture F;
    for (const TPoint& P : {TPoint{150, 140}, TPoint{101, 140}}) {
        F.Tool->ChartMouseEvent(cmeDown, mbRight, {}, P.X, P.Y);
        F.Tool->ChartMouseEvent(cmeMove, mbRight, {}, P.X + 30, P.Y + 30);
        F.Tool->ChartMouseEvent(cmeUp, mbRight, {}, P.X + 30, P.Y + 30);
    }
    EXPECT_EQ(F.Bounds(), (TRect{100, 100, 199, 179}));
}

TEST(RectangleTool, TheCursorFollowsTheEdgeUnderTheMouse)
{
    TRectangleFixture F;
    const struct {
        TPoint At;
        TCursor Cursor;
    } Rows[] = {{{101, 140}, crSizeWE}, {{150, 101}, crSizeNS}, {{150, 140}, crHandPoint}};
    for (const auto& Row : Rows) {
        F.Chart.SetMouseCancelled(false);
        F.Tool->ChartMouseEvent(cmeMove, mbLeft, {}, Row.At.X, Row.At.Y);
        EXPECT_EQ(F.Chart.Cursor(), Row.Cursor);
        EXPECT_TRUE(F.Chart.MouseCancelled());
    }
    F.Chart.SetMouseCancelled(false);
    F.Tool->ChartMouseEvent(cmeMove, mbLeft, {}, 20, 20);
    EXPECT_FALSE(F.Chart.MouseCancelled());
}

} // namespace
} // namespace lp
