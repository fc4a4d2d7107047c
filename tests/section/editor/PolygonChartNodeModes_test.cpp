// The section chart's node modes driven through EditStep with a scale of
// one pixel per model unit: picking, coupling, deleting, moving,
// uncoupling, adding and fixing nodes.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lp {
namespace {

// A chart over a 1000 x 100 area with square bodies placed by the tests.
class NodeModes : public TEditingFixture {
protected:

    void SetUp() override { chart.NewModel({}, false, 0, 1000, 0, 100); }

    void AddSquare(double Left, double Top, double Size)
    {
        arofcomplexM square{{Left, Top}, {Left + Size, Top}, {Left + Size, Top + Size}, {Left, Top + Size}};
        ASSERT_TRUE(AddPolygon(square, chart.Model, chart.Nodes));
        chart.RebuildMapSeries();
        chart.TakeBackup();
    }

    // Body A: 100..200 x 10..110 would leave the area, so 40-unit squares:
    // A spans 100..140, B 142..182 (2 units apart), both y 10..50.
    void AddTwoSquares()
    {
        AddSquare(100, 10, 40);
        AddSquare(142, 10, 40);
    }


    // Whether the model equals the backup taken at the last recorded edit.
    bool AtBackup() const
    {
        if (!(chart.Nodes == chart.NodesBackup) || chart.Model.Length() != chart.ModelBackup.Length())
            return false;
        for (int b = 0; b < chart.Model.Length(); ++b) {
            if (chart.Model[b].Length() != chart.ModelBackup[b].Length())
                return false;
            for (int s = 0; s < chart.Model[b].Length(); ++s)
                if (!(chart.Model[b][s].ring == chart.ModelBackup[b][s].ring))
                    return false;
        }
        return true;
    }

    // The number of map polygons equals the number of shown rings.
    void ExpectMapInStep() const
    {
        int rings = 0;
        for (int b = 0; b < chart.Model.Length(); ++b)
            rings += chart.Model[b].Length();
        EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), rings - 1);
        for (int b = 0; b < chart.Model.Length(); ++b)
            for (int s = 0; s < chart.Model[b].Length(); ++s)
                if (!IsHostRing(b, s)) {
                    EXPECT_GE(chart.FindMapPolygon(b, s), 0);
                }
    }
};

// --- Hover picks: a node exactly 7 pixels away is picked, 7.01 is not -------

struct PickRow {
    TPolygonEditMode mode;
    double offset;
    bool picked;
};

class NodeModesPick : public NodeModes, public ::testing::WithParamInterface<PickRow> {};

TEST_P(NodeModesPick, SevenPixelsAtMost)
{
    const PickRow row = GetParam();
    AddTwoSquares();
    SetMode(row.mode);
    const int node = NodeAt(100, 50);
    ASSERT_GE(node, 0);
    Move(100 - row.offset, 50);
    EXPECT_EQ(chart.PickNode, row.picked ? node : -1);
    EXPECT_EQ(chart.EditPathSeries->Count(), row.picked ? 2 : 0);
    if (row.mode != pmMoveNode) {
        EXPECT_EQ(chart.Editing, row.picked);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, NodeModesPick,
                         ::testing::Values(PickRow{pmDeleteNode, 7.0, true}, PickRow{pmDeleteNode, 7.01, false},
                                           PickRow{pmMoveNode, 7.0, true}, PickRow{pmMoveNode, 7.01, false},
                                           PickRow{pmUncoupleNodes, 7.0, true},
                                           PickRow{pmUncoupleNodes, 7.01, false}, PickRow{pmFixNode, 7.0, true},
                                           PickRow{pmFixNode, 7.01, false}));

TEST_F(NodeModes, ScaleTurnsModelUnitsIntoPixels)
{
    AddTwoSquares();
    SetMode(pmDeleteNode);
    chart.ScaleX = 2.0;
    Move(100 - 3.6, 50); // 7.2 pixels
    EXPECT_EQ(chart.PickNode, -1);
    Move(100 - 3.5, 50); // 7 pixels
    EXPECT_EQ(chart.PickNode, NodeAt(100, 50));
}

// --- pmCoupleNodes ---------------------------------------------------------------

struct CoupleSourceRow {
    double offset;
    bool picked;
};

class NodeModesCoupleSource : public NodeModes, public ::testing::WithParamInterface<CoupleSourceRow> {};

TEST_P(NodeModesCoupleSource, SourceCloserThanFivePixels)
{
    AddTwoSquares();
    SetMode(pmCoupleNodes);
    Move(100 - GetParam().offset, 50);
    Press(false);
    EXPECT_EQ(chart.PickNode, GetParam().picked ? NodeAt(100, 50) : -1);
    EXPECT_EQ(chart.Editing, GetParam().picked);
    EXPECT_EQ(chart.RubberBandSeries->Count(), GetParam().picked ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Offsets, NodeModesCoupleSource,
                         ::testing::Values(CoupleSourceRow{0.0, true}, CoupleSourceRow{4.99, true},
                                           CoupleSourceRow{5.0, false}));

TEST_F(NodeModes, CoupleRubberBandFollowsTheCursor)
{
    AddTwoSquares();
    SetMode(pmCoupleNodes);
    Move(140, 10);
    Press(false);
    Move(160, 30);
    ASSERT_EQ(chart.RubberBandSeries->Count(), 2);
    EXPECT_DOUBLE_EQ(chart.RubberBandSeries->XValues()->Value(1), 160.0);
    EXPECT_DOUBLE_EQ(chart.RubberBandSeries->YValues()->Value(1), 30.0);
    // Near B's top-left node: that node is the shown target.
    Move(142, 11);
    ASSERT_EQ(chart.EditPathSeries->Count(), 1);
    EXPECT_DOUBLE_EQ(chart.EditPathSeries->XValues()->Value(0), 142.0);
}

struct CoupleTargetRow {
    double offset;
    bool merged;
};

class NodeModesCoupleTarget : public NodeModes, public ::testing::WithParamInterface<CoupleTargetRow> {};

TEST_P(NodeModesCoupleTarget, TargetCloserThanThreePixelsJoinsTheBodies)
{
    AddTwoSquares();
    SetMode(pmCoupleNodes);
    const int nodes = chart.Nodes.Length();
    Move(140, 10); // A's top-right node
    Press(false);
    ASSERT_EQ(chart.PickNode, NodeAt(140, 10));
    // Above B's top-left node (142, 10): no edge is within 3 pixels there.
    Move(142, 10 - GetParam().offset);
    EXPECT_EQ(Press(true), GetParam().merged);
    EXPECT_EQ(chart.PickNode, -1);
    EXPECT_FALSE(chart.Editing);
    if (GetParam().merged) {
        EXPECT_EQ(chart.Nodes.Length(), nodes - 1);
        EXPECT_EQ(NodeAt(140, 10), -1);
        // The two bodies became one of two rings sharing the node.
        ASSERT_EQ(chart.Model.Length(), 2);
        ASSERT_EQ(chart.Model[1].Length(), 2);
        const int shared = NodeAt(142, 10);
        EXPECT_TRUE(chart.Model[1][0].ring.Contains(shared));
        EXPECT_TRUE(chart.Model[1][1].ring.Contains(shared));
    } else {
        EXPECT_TRUE(AtBackup());
        EXPECT_EQ(chart.Model.Length(), 3);
    }
    ExpectMapInStep();
}

INSTANTIATE_TEST_SUITE_P(Offsets, NodeModesCoupleTarget,
                         ::testing::Values(CoupleTargetRow{0.0, true}, CoupleTargetRow{2.99, true},
                                           CoupleTargetRow{3.0, false}));

TEST_F(NodeModes, CoupleIntoANewNodeOnAnEdge)
{
    AddTwoSquares();
    SetMode(pmCoupleNodes);
    const int nodes = chart.Nodes.Length();
    Move(140, 10);
    Press(false);
    Move(143, 30); // 1 pixel from B's left edge x = 142
    EXPECT_TRUE(Press(true));
    // One node inserted on the edge, the source coupled into it.
    EXPECT_EQ(chart.Nodes.Length(), nodes);
    const int target = NodeAt(142, 30);
    ASSERT_GE(target, 0);
    EXPECT_EQ(chart.Nodes[target].border, bkNone);
    ASSERT_EQ(chart.Model.Length(), 2);
    EXPECT_TRUE(chart.Model[1][0].ring.Contains(target));
    EXPECT_TRUE(chart.Model[1][1].ring.Contains(target));
    ExpectMapInStep();
}

TEST_F(NodeModes, CoupleRefusalsRestoreTheModel)
{
    AddTwoSquares();
    SetMode(pmCoupleNodes);
    // No edge within 3 pixels: refused, nothing inserted.
    Move(140, 10);
    Press(false);
    Move(500, 70);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    EXPECT_EQ(chart.PickNode, -1);
    // A's top-left node onto B's bottom-right node: A's ring would cross B.
    Move(100, 10);
    Press(false);
    Move(182, 50);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    EXPECT_FALSE(chart.Editing);
    ExpectMapInStep();
    // A right press alone picks the node and finds it as its own target.
    Move(100, 10);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
}

TEST_F(NodeModes, FixedAndBorderNodesAreNoMergeSources)
{
    AddTwoSquares();
    SetMode(pmCoupleNodes);
    chart.Nodes[NodeAt(100, 50)].fixed = 1;
    Move(100, 50);
    Press(false);
    EXPECT_EQ(chart.PickNode, -1);
    EXPECT_FALSE(chart.Editing);
    for (const complexM corner : {complexM{0, 0}, complexM{1000, 100}, complexM{0, 100}}) {
        Move(corner.re, corner.im);
        Press(false);
        EXPECT_EQ(chart.PickNode, -1);
    }
    // A free node is picked as before.
    Move(142, 10);
    Press(false);
    EXPECT_EQ(chart.PickNode, NodeAt(142, 10));
}

TEST_F(NodeModes, MergeIntoAnEdgeNearItsEndIsRefused)
{
    AddTwoSquares();
    SetMode(pmCoupleNodes);
    const int source = NodeAt(140, 10);
    // 1.5 pixels from B's top-left node: that node, not its edge, is the target.
    EXPECT_FALSE(chart.DoMergeNode(source, -1, 142, 11.5));
    EXPECT_TRUE(AtBackup());
    // 10 pixels above the frame's bottom edge: no edge within 3 pixels.
    EXPECT_FALSE(chart.DoMergeNode(source, -1, 500, 90));
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
}

struct BadArgumentsRow {
    const char* name;
    int first;
    int second;
};

TEST_F(NodeModes, OperationsRefuseIndexesOutsideTheModel)
{
    AddTwoSquares();
    SetMode(pmDeleteNode);
    const int node = NodeAt(100, 10);
    const int n = chart.Nodes.Length();
    const BadArgumentsRow rows[] = {{"node past the table", n, 1},
                                    {"negative node", -3, 1},
                                    {"body past the model", node, 9},
                                    {"negative body", node, -1}};
    for (const BadArgumentsRow& row : rows) {
        EXPECT_FALSE(chart.DoDeleteNode(row.first, row.second)) << row.name;
        EXPECT_FALSE(chart.DoSplitNode(row.first, row.second)) << row.name;
        EXPECT_FALSE(chart.DoAddNode(row.first, NodeAt(140, 10), complexM{120, 10}, row.second)) << row.name;
        EXPECT_TRUE(AtBackup()) << row.name;
    }
    EXPECT_FALSE(chart.DoMergeNode(n, NodeAt(142, 10), 0, 0));
    EXPECT_FALSE(chart.DoMergeNode(node, n + 5, 0, 0));
    EXPECT_FALSE(chart.DoMergeNode(node, node, 0, 0));
    EXPECT_FALSE(chart.CheckMoveOrRollBack(arofintM{node}, 9, false));
    EXPECT_TRUE(AtBackup());
    ExpectSound();
    ExpectMapInStep();
}

// --- pmDeleteNode --------------------------------------------------------------------

TEST_F(NodeModes, DeleteNodeOfASquareLeavesATriangle)
{
    AddTwoSquares();
    SetMode(pmDeleteNode);
    Move(140, 10);
    EXPECT_TRUE(Press(true));
    EXPECT_EQ(chart.Model[1][0].ring.Length(), 3);
    ExpectMapInStep();
    EXPECT_EQ(chart.MapSeries()->Shapes()->GetPolygon(chart.FindMapPolygon(1, 0))->Points()->Count(), 3);
    // A triangle's node cannot go: the ring would be gone.
    Move(100, 10);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
}

TEST_F(NodeModes, DeleteNodeRefusesFrameCorners)
{
    AddTwoSquares();
    SetMode(pmDeleteNode);
    for (const complexM corner : {complexM{0, 0}, complexM{1000, 0}, complexM{0, 100}, complexM{1000, 100}}) {
        Move(corner.re, corner.im);
        ASSERT_GE(chart.PickNode, 0);
        EXPECT_FALSE(Press(true));
        EXPECT_TRUE(AtBackup());
    }
}

TEST_F(NodeModes, DeleteNodeRightPressWithoutPickDoesNothing)
{
    AddTwoSquares();
    SetMode(pmDeleteNode);
    Move(500, 70);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
}

// --- pmMoveNode ------------------------------------------------------------------------

TEST_F(NodeModes, MoveNodePickDragDrop)
{
    AddTwoSquares();
    SetMode(pmMoveNode);
    const int node = NodeAt(100, 10);
    Move(100, 10);
    EXPECT_EQ(chart.PickNode, node);
    Press(false);
    EXPECT_TRUE(chart.Editing);
    EXPECT_EQ(chart.PickBody, 1);
    ASSERT_EQ(chart.SelIds.Length(), 1);
    EXPECT_EQ(chart.SelIds[0], 0); // moved to the front of the map polygons
    Move(90, 5);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 90.0);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, 5.0);
    const TPlotPolygon* shape = chart.MapSeries()->Shapes()->GetPolygon(chart.SelIds[0]);
    EXPECT_DOUBLE_EQ(shape->Points()->XValues()->Value(0), 90.0);
    EXPECT_TRUE(Press(true));
    EXPECT_FALSE(chart.Editing);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 90.0);
    // Recorded: a mode reset keeps the new place.
    SetMode(pmMoveNode);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 90.0);
}

TEST_F(NodeModes, MoveNodeThatWouldCrossIsRolledBackAndStaysPickedUp)
{
    AddTwoSquares();
    SetMode(pmMoveNode);
    const int node = NodeAt(140, 10);
    Move(140, 10);
    Press(false);
    Move(160, 30); // inside B: A's edges cross B's left edge
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
    EXPECT_TRUE(chart.Editing);
    EXPECT_EQ(chart.PickNode, node);
    // The next move puts it under the cursor again; a valid drop is taken.
    Move(135, 5);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 135.0);
    EXPECT_TRUE(Press(true));
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, 5.0);
}

TEST_F(NodeModes, RefusedMoveSelectsEveryRingOfTheBody)
{
    // One body of two rings sharing the edge x = 140.
    AddTwoSquares();
    chart.ScaleX = chart.ScaleY = 1.0;
    ASSERT_TRUE(chart.DoMergeNode(NodeAt(142, 10), NodeAt(140, 10), 140, 10));
    ASSERT_TRUE(chart.DoMergeNode(NodeAt(142, 50), NodeAt(140, 50), 140, 50));
    chart.TakeBackup();
    ASSERT_EQ(chart.Model.Length(), 2);
    ASSERT_EQ(chart.Model[1].Length(), 2);
    AddSquare(40, 55, 30); // a body of its own at 40..70 x 55..85
    SetMode(pmMoveNode);
    const int node = NodeAt(100, 10); // used by ring A only
    Move(100, 10);
    Press(false);
    EXPECT_EQ(chart.SelIds.Length(), 1);
    Move(55, 70); // inside the third body
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
    // The selection now holds both rings of the body, as map polygon indexes.
    ASSERT_EQ(chart.SelIds.Length(), 2);
    ASSERT_EQ(chart.SelBodies.Length(), 2);
    ASSERT_EQ(chart.SelSubPolygons.Length(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(chart.SelBodies[i], 1);
        EXPECT_EQ(chart.SelIds[i], chart.FindMapPolygon(1, chart.SelSubPolygons[i]));
    }
    EXPECT_NE(chart.SelSubPolygons[0], chart.SelSubPolygons[1]);
    // Still picked up: the next move refreshes the rings from the nodes.
    EXPECT_TRUE(chart.Editing);
    Move(95, 5);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 95.0);
    ExpectMapInStep();
    EXPECT_TRUE(Press(true));
}

TEST_F(NodeModes, MoveNodeModeChangePutsTheNodeBack)
{
    AddTwoSquares();
    SetMode(pmMoveNode);
    Move(140, 10);
    Press(false);
    Move(120, 60);
    SetMode(pmMoveNode);
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
}

TEST_F(NodeModes, FrameCornersAndFixedNodesDoNotMove)
{
    AddTwoSquares();
    SetMode(pmMoveNode);
    for (const complexM corner : {complexM{0, 0}, complexM{1000, 0}, complexM{0, 100}, complexM{1000, 100}}) {
        Move(corner.re, corner.im);
        ASSERT_GE(chart.PickNode, 0);
        Press(false);
        EXPECT_FALSE(chart.Editing);
        Move(corner.re + 20, corner.im + (corner.im > 0 ? -20 : 20));
        EXPECT_TRUE(AtBackup());
    }
    chart.Nodes[NodeAt(100, 10)].fixed = 1;
    chart.TakeBackup();
    Move(100, 10);
    Press(false);
    EXPECT_FALSE(chart.Editing);
    Move(90, 5);
    EXPECT_TRUE(AtBackup());
}

TEST(NodeModesProfile, SurfaceNodeFollowsTheProfile)
{
    TPolygonChart chart;
    // Elevations 20 at x = 0 and 0 at x = 1000: depths 0 .. 20.
    chart.NewModel({{0, 20}, {1000, 0}}, true, 0, 1000, 0, 100);
    const auto sound = [&] { EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty()); };
    // A body whose top side lies on the surface, as drawn against it.
    arofcomplexM body{{400, 8}, {500, 10}, {500, 40}, {400, 40}};
    ASSERT_TRUE(AddPolygon(body, chart.Model, chart.Nodes));
    int node = -1;
    for (int i = 0; i < chart.Nodes.Length(); ++i)
        if (chart.Nodes[i].x == 400 && chart.Nodes[i].y == 8)
            node = i;
    ASSERT_GE(node, 0);
    chart.Nodes[node].border = bkSurface;
    chart.RebuildMapSeries();
    chart.TakeBackup();
    sound();

    chart.EditMode = pmMoveNode;
    chart.ResetEditMode();
    chart.ScaleX = chart.ScaleY = 1.0;
    chart.EditStep(pmMoveNode, 1, 400, 8, false);
    ASSERT_EQ(chart.PickNode, node);
    chart.EditStep(pmMoveNode, 0, 400, 8, false);
    EXPECT_TRUE(chart.BorderMove);
    EXPECT_TRUE(chart.Editing);
    chart.EditStep(pmMoveNode, 1, 450, 30, false);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 450.0);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, 9.0);
    sound();
    // Left of the area the node stops short of the corner (by 1e-6 of the
    // surface's length), still on the surface.
    chart.EditStep(pmMoveNode, 1, -50, 30, false);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 1e-3);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, 2e-5);
    chart.EditStep(pmMoveNode, 1, 350, 90, false);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 350.0);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, 7.0);
    sound();
    // A mode change while the node is picked up puts it back.
    chart.ResetEditMode();
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, 400.0);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, 8.0);
    EXPECT_FALSE(chart.Editing);
    sound();
}

// Surface nodes on a profile used to stop at their neighbours on the surface;
// the profile bends there, so they pass them and the surface is re-sorted.
struct SurfaceMoveRow {
    const char* name;
    arofcomplexM elevations; // the chart measures depth down from the highest point
    complexM added;          // where "Add node" puts the surface node (depth)
    double toX;              // where it is dragged
    double expectedY;
};

class NodeModesSurfaceMove : public TEditingFixture, public ::testing::WithParamInterface<SurfaceMoveRow> {};

TEST_P(NodeModesSurfaceMove, SurfaceNodePassesItsNeighbours)
{
    const SurfaceMoveRow& row = GetParam();
    chart.NewModel(row.elevations, true, 0, 1000, 0, 100);

    SetMode(pmAddNode);
    Move(row.added.re, row.added.im);
    ASSERT_TRUE(Press(true));
    const int node = chart.Nodes.High();
    ASSERT_EQ(chart.Nodes[node].border, bkSurface);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, row.added.re);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, row.added.im);

    SetMode(pmMoveNode);
    Move(row.added.re, row.added.im);
    Press(false);
    ASSERT_TRUE(chart.BorderMove);
    Move(row.toX, 60); // the cursor well below the surface
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, row.toX);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, row.expectedY);
    ASSERT_TRUE(Press(true));
    EXPECT_DOUBLE_EQ(chart.Nodes[node].x, row.toX);
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, row.expectedY);
    // The surface runs by descending x from the top-right corner to node 0.
    const arofintM& host = chart.Model[0][0].ring;
    const int from = host.IndexOf(3);
    for (int i = from; host[i + 1] != 0; ++i)
        EXPECT_GT(chart.Nodes[host[i]].x, chart.Nodes[host[i + 1]].x) << i;
}

// Depths (0, 0) (500, 10) (1000, 20); and (-100, 5) (200, 15) (500, 0)
// (800, 25) (1200, 10), the profile the model tests use lifted by 5.
INSTANTIATE_TEST_SUITE_P(
    Profiles, NodeModesSurfaceMove,
    ::testing::Values(SurfaceMoveRow{"past the knot at 500", {{0, 20}, {500, 10}, {1000, 0}}, {250, 5}, 750, 15},
                      SurfaceMoveRow{"back past the knot at 500",
                                     {{-100, 20}, {200, 10}, {500, 25}, {800, 0}, {1200, 15}},
                                     {650, 12.5},
                                     300,
                                     10}));

// A node dropped onto a corner used to be accepted just beside it, and the
// corner was picked in its place from then on.
TEST_F(NodeModes, DropBesideAnotherNodeIsRefused)
{
    AddTwoSquares();
    SetMode(pmAddNode);
    Move(0, 30);
    ASSERT_TRUE(Press(true));
    const int node = chart.Nodes.High();
    ASSERT_EQ(chart.Nodes[node].border, bkLeft);

    SetMode(pmMoveNode);
    Move(0, 30);
    Press(false);
    Move(0, 100); // onto the bottom-left corner: kept just above it
    EXPECT_GT(chart.Nodes[node].y, 99.99);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    EXPECT_TRUE(chart.Editing); // still picked up
    Move(0, 93); // exactly 7 pixels from the corner
    EXPECT_FALSE(Press(true));
    Move(0, 92.9);
    EXPECT_TRUE(Press(true));
    EXPECT_DOUBLE_EQ(chart.Nodes[node].y, 92.9);

    // An inner node dropped onto a node of the other body.
    const int corner = NodeAt(140, 10);
    Move(140, 10);
    Press(false);
    Move(141, 5); // 5.1 pixels from the other body's corner (142, 10), crossing nothing
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    Move(135, 5);
    EXPECT_TRUE(Press(true));
    EXPECT_DOUBLE_EQ(chart.Nodes[corner].x, 135);
}

// --- pmUncoupleNodes -----------------------------------------------------------------

TEST_F(NodeModes, UncoupleSharedNodeSeparatesTheBodies)
{
    AddTwoSquares();
    SetMode(pmCoupleNodes);
    Move(140, 10);
    Press(false);
    Move(142, 10);
    ASSERT_TRUE(Press(true));
    ASSERT_EQ(chart.Model.Length(), 2);
    const int nodes = chart.Nodes.Length();

    SetMode(pmUncoupleNodes);
    Move(142, 10);
    ASSERT_EQ(chart.PickNode, NodeAt(142, 10));
    EXPECT_TRUE(Press(true));
    EXPECT_EQ(chart.Nodes.Length(), nodes + 1);
    // No ring shares a node any more: the rings are bodies of their own again.
    EXPECT_EQ(chart.Model.Length(), 3);
    ExpectMapInStep();
}

TEST_F(NodeModes, UncoupleNodeOfOneRingChangesNothing)
{
    AddTwoSquares();
    SetMode(pmUncoupleNodes);
    Move(100, 10);
    ASSERT_GE(chart.PickNode, 0);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
}

// --- pmAddNode ---------------------------------------------------------------------------

struct AddRow {
    double x;
    double y;
    bool picked;
};

class NodeModesAdd : public NodeModes, public ::testing::WithParamInterface<AddRow> {};

TEST_P(NodeModesAdd, EdgeCloserThanFourPixelsAwayFromItsEnds)
{
    AddTwoSquares();
    SetMode(pmAddNode);
    const int nodes = chart.Nodes.Length();
    Move(GetParam().x, GetParam().y);
    EXPECT_TRUE(chart.Editing);
    EXPECT_EQ(chart.PickNode >= 0, GetParam().picked);
    EXPECT_EQ(chart.EditPathSeries->Count(), GetParam().picked ? 2 : 0);
    EXPECT_EQ(Press(true), GetParam().picked);
    EXPECT_EQ(chart.Nodes.Length(), nodes + (GetParam().picked ? 1 : 0));
    if (GetParam().picked) {
        EXPECT_EQ(chart.Model[1][0].ring.Length(), 5);
        EXPECT_GE(NodeAt(GetParam().x, 50), 0); // snapped onto A's bottom edge
    } else {
        EXPECT_TRUE(AtBackup());
    }
    ExpectMapInStep();
}

INSTANTIATE_TEST_SUITE_P(Cursors, NodeModesAdd,
                         ::testing::Values(AddRow{120, 50, true}, AddRow{120, 53.99, true}, AddRow{120, 54, false},
                                           AddRow{101, 51, false}));

TEST_F(NodeModes, AddNodeOnTheFrameGetsItsBorderKind)
{
    AddTwoSquares();
    SetMode(pmAddNode);
    Move(500, 99);
    ASSERT_GE(chart.PickNode, 0);
    EXPECT_EQ(chart.PickBody, 0);
    EXPECT_TRUE(Press(true));
    const int node = NodeAt(500, 100);
    ASSERT_GE(node, 0);
    EXPECT_EQ(chart.Nodes[node].border, bkBottom);
}

// --- pmFixNode ---------------------------------------------------------------------------

TEST_F(NodeModes, FixTogglesTwiceAndSkipsBorderNodes)
{
    AddTwoSquares();
    SetMode(pmFixNode);
    const int node = NodeAt(100, 10);
    Move(100, 10);
    EXPECT_TRUE(Press(true));
    EXPECT_EQ(chart.Nodes[node].fixed, 1);
    Move(100, 10);
    EXPECT_TRUE(Press(true));
    EXPECT_EQ(chart.Nodes[node].fixed, 0);
    for (const complexM corner : {complexM{0, 0}, complexM{1000, 100}}) {
        Move(corner.re, corner.im);
        EXPECT_EQ(chart.PickNode, -1);
        EXPECT_FALSE(chart.Editing);
        EXPECT_FALSE(Press(true));
    }
    EXPECT_TRUE(AtBackup());
}

} // namespace
} // namespace lp
