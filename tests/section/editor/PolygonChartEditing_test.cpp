// The editing state machine's frame: mouse handlers, resetting and clearing
// an edit, the map polygon of a ring, the hover highlight and the double
// click on a body.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/engine/PlotAppearance.h"
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// A laid-out chart with a model of Bodies square bodies.
struct EditingChart : ::testing::Test {
    TPolygonChart Chart;
    void SetUp() override
    {
        Chart.SetBounds(0, 0, 900, 400);
        TSectionFixture::AddBodies(Chart, 3);
        TBitmap picture(900, 400);
        Chart.DrawToCanvas(&picture.Canvas(), Chart.GetRectangle());
    }
    void TearDown() override { BodyParametersEntryPoint() = nullptr; }
    int PixelX(double X) const { return Chart.BottomAxis()->CalcPosValue(X); }
    int PixelY(double Y) const { return Chart.LeftAxis()->CalcPosValue(Y); }
    void MoveTo(double X, double Y) { Chart.ChartMouseMove(&Chart, {}, PixelX(X), PixelY(Y)); }
    bool Sound() const { return CheckModelInvariants(Chart.Model, Chart.Nodes, &Chart.ModelArea).empty(); }
};

TEST_F(EditingChart, MouseMovesSetTheCursorInModelUnits)
{
    int moves = 0;
    Chart.OnCursorMove = [&](TPolygonChart*) { ++moves; };
    MoveTo(500, 40);
    EXPECT_NEAR(Chart.CursorX, 500, 2.0);
    EXPECT_NEAR(Chart.CursorY, 40, 0.5);
    EXPECT_EQ(Chart.CursorPoint.re, Chart.CursorX);
    EXPECT_EQ(Chart.CursorPixelX, PixelX(500));
    EXPECT_EQ(moves, 1);
    // Before a model exists, moves are ignored.
    TPolygonChart empty;
    empty.OnCursorMove = [&](TPolygonChart*) { ++moves; };
    empty.ChartMouseMove(&empty, {}, 10, 10);
    EXPECT_EQ(moves, 1);
}

TEST_F(EditingChart, ModeMinusOneAndUnknownModesDoNothing)
{
    const Tnodes nodes = CopyNodes(Chart.Nodes);
    for (int mode : {-1, 13, 999, 1009}) {
        EXPECT_FALSE(Chart.EditStep(mode, 0, 150, 30, true));
        EXPECT_FALSE(Chart.EditStep(mode, 1, 150, 30, false));
    }
    EXPECT_EQ(Chart.Nodes, nodes);
    EXPECT_FALSE(Chart.Editing);
}

TEST_F(EditingChart, ResetRollsBackAnUnfinishedEdit)
{
    const Tnodes nodes = CopyNodes(Chart.Nodes);
    // Half an edit: a node moved, points drawn, a pick.
    Chart.Editing = true;
    Chart.Nodes[5].x += 20;
    Chart.DrawnPoints.Add({1, 2});
    Chart.PickNode = 5;
    Chart.EditPathSeries->AddXY(1, 2);
    Chart.ResetEditMode();
    EXPECT_EQ(Chart.Nodes, nodes);
    EXPECT_FALSE(Chart.Editing);
    EXPECT_TRUE(Chart.DrawnPoints.Empty());
    EXPECT_EQ(Chart.PickNode, -1);
    EXPECT_EQ(Chart.EditPathSeries->Count(), 0);
    EXPECT_EQ(Chart.MapSeries()->Shapes()->GetPolygon(0)->Points()->XValues()->Value(1),
              Chart.Nodes[Chart.Model[1][0].ring[1]].x);
    EXPECT_TRUE(Sound());
}

TEST_F(EditingChart, ClearingLeavesTheModel)
{
    Chart.Nodes[5].x += 20; // an accepted change not yet in the backup
    const Tnodes nodes = CopyNodes(Chart.Nodes);
    Chart.Editing = true;
    Chart.PickLine = 2;
    Chart.SelIds = {1};
    Chart.SelNodes = {4};
    Chart.ClearEditState();
    EXPECT_EQ(Chart.Nodes, nodes);
    EXPECT_FALSE(Chart.Editing);
    EXPECT_EQ(Chart.PickLine, -1);
    EXPECT_TRUE(Chart.SelIds.Empty());
    EXPECT_EQ(Chart.SelNodes.Length(), 1); // not a selection of rings
}

TEST_F(EditingChart, FindMapPolygonByTheRingsId)
{
    for (int body = 1; body <= 3; ++body)
        EXPECT_EQ(Chart.FindMapPolygon(body, 0), body - 1);
    EXPECT_EQ(Chart.FindMapPolygon(0, 0), -1); // the host frame has none
    Chart.Model[2][0].params[psId] = ParamValue(12345);
    EXPECT_EQ(Chart.FindMapPolygon(2, 0), -1);
}

TEST_F(EditingChart, HoverHighlightFollowsTheCursor)
{
    TPlotPolygonList& shapes = *Chart.MapSeries()->Shapes();
    const TColor original = shapes.GetPolygon(0)->Pen()->Color();
    Chart.CursorPoint = {150, 30}; // inside body 1
    Chart.HoverHighlightSubPolygon();
    EXPECT_EQ(Chart.PickBody, 1);
    EXPECT_EQ(shapes.GetPolygon(0)->Pen()->Color(), 0x0000FF);
    EXPECT_EQ(Chart.SavedPenColor, original);
    EXPECT_FALSE(shapes.GetPolygon(0)->ParentPen()); // its own pen, recoloured
    Chart.CursorPoint = {400, 30}; // inside body 2
    Chart.HoverHighlightSubPolygon();
    EXPECT_EQ(shapes.GetPolygon(0)->Pen()->Color(), original);
    EXPECT_EQ(shapes.GetPolygon(1)->Pen()->Color(), 0x0000FF);
    Chart.CursorPoint = {50, 80}; // only the host frame
    Chart.HoverHighlightSubPolygon();
    EXPECT_EQ(Chart.PickBody, -1);
    EXPECT_EQ(shapes.GetPolygon(1)->Pen()->Color(), original);
    // Clearing takes every red pen back.
    Chart.CursorPoint = {650, 30};
    Chart.HoverHighlightSubPolygon();
    Chart.ClearEditState();
    EXPECT_EQ(shapes.GetPolygon(2)->Pen()->Color(), original);
}

TEST_F(EditingChart, ABodyWithARedPenKeepsItWhenTheHighlightGoes)
{
    // Body 3 has its own red pen.
    TChartPen red;
    red.SetColor(0x0000FF);
    Chart.Model[3][0].params[psPen] = ParamValue(PenSettingsToText(red).toStdString());
    Chart.RebuildMapSeries();
    TPlotPolygonList& shapes = *Chart.MapSeries()->Shapes();
    const TColor original = shapes.GetPolygon(0)->Pen()->Color();
    ASSERT_EQ(shapes.GetPolygon(2)->Pen()->Color(), 0x0000FF);

    Chart.CursorPoint = {150, 30}; // body 1 lights up
    Chart.HoverHighlightSubPolygon();
    ASSERT_EQ(shapes.GetPolygon(0)->Pen()->Color(), 0x0000FF);
    Chart.ClearEditState();
    EXPECT_EQ(shapes.GetPolygon(0)->Pen()->Color(), original);
    EXPECT_EQ(shapes.GetPolygon(2)->Pen()->Color(), 0x0000FF);

    // Hovering body 3 paints nothing over its own red; leaving it keeps it.
    Chart.CursorPoint = {650, 30};
    Chart.HoverHighlightSubPolygon();
    Chart.CursorPoint = {50, 80};
    Chart.HoverHighlightSubPolygon();
    Chart.ResetEditMode();
    EXPECT_EQ(shapes.GetPolygon(2)->Pen()->Color(), 0x0000FF);
    EXPECT_EQ(shapes.GetPolygon(0)->Pen()->Color(), original);
}

TEST_F(EditingChart, TheHighlightFollowsItsPolygonToTheFront)
{
    TChartPen red;
    red.SetColor(0x0000FF);
    Chart.Model[1][0].params[psPen] = ParamValue(PenSettingsToText(red).toStdString());
    Chart.RebuildMapSeries();
    TPlotPolygonList& shapes = *Chart.MapSeries()->Shapes();
    const TColor original = shapes.GetPolygon(1)->Pen()->Color();
    const int litId = shapes.GetPolygon(2)->ID();
    Chart.CursorPoint = {650, 30}; // body 3, map polygon 2
    Chart.HoverHighlightSubPolygon();
    arofintM picked{2};
    Chart.MoveMapPolygonsFirst(picked); // as a move mode does on its pick
    ASSERT_EQ(shapes.GetPolygon(0)->ID(), litId);
    EXPECT_EQ(Chart.HighlightIndex, 0);
    Chart.ClearEditState();
    EXPECT_EQ(shapes.GetPolygon(0)->Pen()->Color(), original);
    // Body 1, now map polygon 1, has its own red pen still.
    EXPECT_EQ(shapes.GetPolygon(1)->ID(), Chart.Model[1][0].params[psId].AsInteger());
    EXPECT_EQ(shapes.GetPolygon(1)->Pen()->Color(), 0x0000FF);
}

TEST_F(EditingChart, TheBodyDialogOpensOnTheBodysOwnPen)
{
    TPlotPolygonList& shapes = *Chart.MapSeries()->Shapes();
    const TColor original = shapes.GetPolygon(1)->Pen()->Color();
    TColor seen = 0;
    BodyParametersEntryPoint() = [&](TPolygonChart* chart, int map, int, int) {
        seen = chart->MapSeries()->Shapes()->GetPolygon(map)->Pen()->Color();
    };
    Chart.EditMode = pmDeleteSubPolygon;
    Chart.ResetEditMode();
    MoveTo(400, 30); // the hover paints body 2 red
    ASSERT_EQ(shapes.GetPolygon(1)->Pen()->Color(), 0x0000FF);
    Chart.ChartDblClick(&Chart);
    EXPECT_EQ(seen, original);
    EXPECT_TRUE(Sound());
}

TEST_F(EditingChart, DoubleClickOnABodyOrTheHostMediumOpensItsDialog)
{
    std::vector<std::tuple<int, int, int>> opened;
    std::vector<std::pair<int, int>> picked;
    BodyParametersEntryPoint() = [&](TPolygonChart*, int map, int body, int sub) {
        opened.emplace_back(map, body, sub);
    };
    Chart.OnRegionDoubleClick = [&](TPolygonChart*, TRingRef Region) { picked.emplace_back(Region.Body, Region.Ring); };
    int changes = 0;
    Chart.onchangemodel = [&](TPolygonChart*) { ++changes; };
    const int slotsBefore = Chart.UndoSequence.Length();

    MoveTo(50, 80); // in no body: the host medium
    Chart.ChartDblClick(&Chart);
    MoveTo(400, 30);
    Chart.ChartDblClick(&Chart);
    const std::vector<std::tuple<int, int, int>> expected{{-1, 0, 0}, {1, 2, 0}};
    EXPECT_EQ(opened, expected);
    EXPECT_EQ(picked, (std::vector<std::pair<int, int>>{{0, 0}, {2, 0}}));
    // A dialog that changed nothing records nothing: its Apply records.
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(Chart.UndoSequence.Length(), slotsBefore);
    EXPECT_TRUE(Chart.MouseCancelled());

    // Outside the model area (beyond its right edge) nothing opens.
    opened.clear();
    Chart.ChartDblClick(&Chart);
    Chart.CursorPoint = MakeComplex(Chart.ModelArea.right + 10, 50);
    Chart.ChartDblClick(&Chart);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(EditingChart, ADoubleClickDuringAnEditRollsTheEditBackFirst)
{
    Tnodes seen;
    BodyParametersEntryPoint() = [&](TPolygonChart* Chart, int, int, int) { seen = CopyNodes(Chart->Nodes); };
    const Tnodes nodes = CopyNodes(Chart.Nodes);
    Chart.Editing = true; // a node being dragged
    Chart.Nodes[5].x += 30;
    MoveTo(400, 30);
    Chart.ChartDblClick(&Chart);
    EXPECT_EQ(seen, nodes);
    EXPECT_EQ(Chart.Nodes, nodes);
    EXPECT_TRUE(Sound());
}

TEST_F(EditingChart, ADoubleClickOutsideTheBodiesLeavesAnEditAlone)
{
    int opened = 0;
    BodyParametersEntryPoint() = [&](TPolygonChart*, int, int, int) { ++opened; };
    Chart.EditMode = pmAddPolygon;
    Chart.ResetEditMode();
    MoveTo(20, 60);
    Chart.ChartMouseDown(&Chart, mbLeft, {}, 0, 0);
    MoveTo(60, 60);
    Chart.ChartMouseDown(&Chart, mbLeft, {}, 0, 0);
    ASSERT_TRUE(Chart.Editing);
    ASSERT_EQ(Chart.DrawnPoints.Length(), 2);
    const int pathPoints = Chart.EditPathSeries->Count();
    const int undoSlots = Chart.UndoSequence.Length();
    // A double click over the host frame only does nothing: the polygon
    // being drawn stays.
    Chart.ChartDblClick(&Chart);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(Chart.Editing);
    EXPECT_EQ(Chart.DrawnPoints.Length(), 2);
    EXPECT_EQ(Chart.EditPathSeries->Count(), pathPoints);
    EXPECT_EQ(Chart.UndoSequence.Length(), undoSlots);
    EXPECT_TRUE(Sound());
}

TEST_F(EditingChart, RightPressDuringAnEditSuppressesTheChartMenu)
{
    Chart.EditMode = -1;
    Chart.Editing = true;
    Chart.ChartMouseDown(&Chart, mbRight, {}, 0, 0);
    EXPECT_TRUE(ChartMenuSuppressed);
    Chart.ChartMouseUp(&Chart, mbRight, {}, 0, 0);
    EXPECT_FALSE(ChartMenuSuppressed);
    Chart.Editing = false;
    Chart.ChartMouseDown(&Chart, mbRight, {}, 0, 0);
    EXPECT_FALSE(ChartMenuSuppressed);
}

TEST_F(EditingChart, ModeTexts)
{
    EXPECT_EQ(EditModeStatusText(pmMoveNode),
              "\"Move node\" mode. Use left-click dragging for nodes moving, right-click for new position placing");
    EXPECT_EQ(EditModeStatusText(pmFixNode), "\"Fix node\" mode. Use right-click to fix node");
    EXPECT_EQ(EditModeStatusText(pmDeleteLineNode), "\"Delete line node\" mode. Use right-click to remove node of line");
    EXPECT_TRUE(EditModeStatusText(pmPolygonFromLinesA).isEmpty());
    EXPECT_TRUE(EditModeStatusText(pmMoveLine).isEmpty());
    EXPECT_EQ(EditModeHint(pmUncoupleSubPolygon), "Uncouple sub-polygon from polygon");
    EXPECT_EQ(EditModeHint(pmPolygonFromLinesB), "Create polygon from two lines");
    EXPECT_EQ(EditModeHint(pmDeleteLineNode), "Delete node");
    EXPECT_TRUE(EditModeHint(pmFixNode).isEmpty());
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// Adds a node on an edge of the frame through the add-node mode.
int AddFrameNode(TPolygonChart& Chart, double X, double Y)
{
    Chart.EditMode = pmAddNode;
    Chart.ResetEditMode();
    Chart.ScaleX = Chart.ScaleY = 1.0;
    Chart.EditStep(pmAddNode, 1, X, Y, false);
    if (!Chart.EditStep(pmAddNode, 0, X, Y, true))
        return -1;
    Chart.TakeBackup();
    Chart.PushUndo();
    Chart.ClearEditState();
    return Chart.Nodes.High();
}

// Picks the node at (X, Y) in Move-node mode, drags it to (ToX, ToY) and
// drops it there; true when the drop was accepted.
bool DragNode(TPolygonChart& Chart, double X, double Y, double ToX, double ToY)
{
    Chart.EditMode = pmMoveNode;
    Chart.ResetEditMode();
    Chart.ScaleX = Chart.ScaleY = 1.0;
    Chart.EditStep(pmMoveNode, 1, X, Y, false);
    Chart.EditStep(pmMoveNode, 0, X, Y, false);
    Chart.EditStep(pmMoveNode, 1, ToX, ToY, false);
    return Chart.EditStep(pmMoveNode, 0, ToX, ToY, true);
}

TEST(FrameEdgeNodes, NodesAddedOnTheFrameMoveAlongIt)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    const int first = AddFrameNode(chart, 0, 40);
    ASSERT_GE(first, 4);
    EXPECT_EQ(chart.Nodes[first].border, bkLeft);
    const int second = AddFrameNode(chart, 0, 70);
    ASSERT_GT(second, first);
    // The node added first still moves along its edge, though a node with a
    // higher number has joined the frame's outline since.
    ASSERT_TRUE(DragNode(chart, 0, 40, 30, 50));
    EXPECT_DOUBLE_EQ(chart.Nodes[first].x, 0.0);
    EXPECT_DOUBLE_EQ(chart.Nodes[first].y, 50.0);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
    // The frame's own corners stay where they are.
    EXPECT_FALSE(DragNode(chart, 0, 100, 20, 90));
    EXPECT_DOUBLE_EQ(chart.Nodes[1].y, 100.0);
}

TEST(FrameEdgeNodes, ASurfaceNodeMovesAlongTheProfile)
{
    TPolygonChart chart;
    // Elevations 20 at x = 0 and 0 at x = 1000: depths 0 .. 20.
    chart.NewModel({{0, 20}, {1000, 0}}, true, 0, 1000, 0, 100);
    const int node = AddFrameNode(chart, 500, 10);
    ASSERT_GE(node, 4);
    EXPECT_EQ(chart.Nodes[node].border, bkSurface);
    ASSERT_TRUE(DragNode(chart, 500, 10, 700, 40));
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 700.0);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, 14.0);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
    // The surface the chart shows runs through the moved node.
    bool found = false;
    for (int i = 0; i < chart.SurfaceSeries->Count(); ++i)
        found |= chart.SurfaceSeries->XValues()->Value(i) == 700.0;
    EXPECT_TRUE(found);
}

} // namespace
} // namespace lp

namespace lp {
namespace {

QImage Frame(TPolygonChart& Chart)
{
    TBitmap picture(Chart.Width(), Chart.Height());
    Chart.DrawToCanvas(&picture.Canvas(), Chart.GetRectangle());
    return picture.ToImage();
}

struct DragCache : ::testing::Test {
    TPolygonChart Chart;
    void SetUp() override
    {
        Chart.SetBounds(0, 0, 900, 400);
        TSectionFixture::AddBodies(Chart, 3);
        Chart.Model[1][0].params[psColor] = ParamValue(0x3080E0);
        Chart.Model[1][0].params[psBrush] = ParamValue("0#0");
        Chart.Model[1][0].params[psLabelText] = ParamValue("clay");
        Chart.Model[3][0].params[psLabelText] = ParamValue("sand");
        Chart.RebuildMapSeries();
        Chart.TakeBackup();
    }
    bool AllPolygonsActive() const
    {
        for (int m = 0; m < Chart.MapSeries()->Shapes()->Count(); ++m)
            if (!Chart.MapSeries()->Shapes()->GetPolygon(m)->Points()->Active())
                return false;
        return true;
    }
};

TEST_F(DragCache, FramesDuringANodeDragLookLikeFullPaints)
{
    Chart.EditMode = pmMoveNode;
    Chart.ResetEditMode();
    Chart.ScaleX = Chart.ScaleY = 1.0;
    // Pick the top-left node of body 2 up and drag it.
    Chart.EditStep(pmMoveNode, 1, 350, 10, false);
    Chart.EditStep(pmMoveNode, 0, 350, 10, false);
    ASSERT_TRUE(Chart.Editing);
    Chart.EditStep(pmMoveNode, 1, 330, 5, false);
    const QImage cached = Frame(Chart);
    EXPECT_TRUE(Chart.DragCacheActive());
    EXPECT_FALSE(AllPolygonsActive()); // the still rings come from the picture
    Chart.EditStep(pmMoveNode, 1, 320, 4, false);
    const QImage cachedLater = Frame(Chart);

    Chart.DragCacheEnabled = false;
    const QImage full = Frame(Chart);
    EXPECT_FALSE(Chart.DragCacheActive());
    EXPECT_TRUE(AllPolygonsActive());
    EXPECT_EQ(cachedLater, full);
    EXPECT_NE(cached, full); // the ring did move between the two frames
    Chart.DragCacheEnabled = true;

    // The drop ends the drag: the next frame draws everything again.
    ASSERT_TRUE(Chart.EditStep(pmMoveNode, 0, 320, 4, true));
    Chart.ClearEditState();
    Frame(Chart);
    EXPECT_FALSE(Chart.DragCacheActive());
    EXPECT_TRUE(AllPolygonsActive());
    EXPECT_TRUE(CheckModelInvariants(Chart.Model, Chart.Nodes, &Chart.ModelArea).empty());
}

TEST_F(DragCache, BodyDragAndOtherSizes)
{
    Chart.EditMode = pmMovePolygon;
    Chart.ResetEditMode();
    Chart.ScaleX = Chart.ScaleY = 1.0;
    Chart.EditStep(pmMovePolygon, 1, 150, 30, false);
    Chart.EditStep(pmMovePolygon, 0, 150, 30, false);
    ASSERT_TRUE(Chart.Editing);
    Chart.EditStep(pmMovePolygon, 1, 160, 35, false);
    const QImage cached = Frame(Chart);
    EXPECT_TRUE(Chart.DragCacheActive());
    // A picture of another size draws everything and ends the cache.
    TBitmap small(300, 200);
    Chart.DrawToCanvas(&small.Canvas(), TRect{0, 0, 300, 200});
    EXPECT_FALSE(Chart.DragCacheActive());
    EXPECT_TRUE(AllPolygonsActive());
    Chart.DragCacheEnabled = false;
    EXPECT_EQ(cached, Frame(Chart));
    // A mode change mid-drag rolls back and the cache goes.
    Chart.DragCacheEnabled = true;
    Frame(Chart);
    Chart.ResetEditMode();
    Frame(Chart);
    EXPECT_FALSE(Chart.DragCacheActive());
    EXPECT_TRUE(AllPolygonsActive());
}

} // namespace
} // namespace lp
