// The editing modes refuse every edit that would leave a ring overlapping
// another, crossing itself, outside the frame or degenerate, and they keep
// the frame's own nodes; driven through EditStep at one pixel per unit.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lp {
namespace {

class Shapes : public TEditingFixture {
protected:
    // Draws a polygon press by press; true when the last (right) press made it.
    bool Draw(std::initializer_list<complexM> Points)
    {
        SetMode(pmAddPolygon);
        bool made = false;
        int i = 0;
        for (const complexM& point : Points) {
            Move(point.re, point.im);
            made = Press(++i == static_cast<int>(Points.size()));
        }
        return made;
    }

    void AddBody(arofcomplexM Points)
    {
        ASSERT_TRUE(AddPolygon(Points, chart.Model, chart.Nodes));
        chart.RebuildMapSeries();
        chart.TakeBackup();
    }

    bool AtBackup() const { return chart.Nodes == chart.NodesBackup && chart.Model.Length() == chart.ModelBackup.Length(); }

    // A 1000 x 100 section with a top layer in the host body against the
    // frame: (0, 0), L (0, 30), R (1000, 30), (1000, 0).
    void TopLayer()
    {
        chart.NewModel({}, false, 0, 1000, 0, 100);
        ASSERT_TRUE(AddNodeOnEdge(0, 1, 0, 1, 1, chart.Nodes, chart.Model, {0, 30}));
        const int left = chart.Nodes.High();
        ASSERT_TRUE(AddNodeOnEdge(3, 2, 0, 1, 1, chart.Nodes, chart.Model, {1000, 30}));
        const int right = chart.Nodes.High();
        const AllSpolygon model = CopyAllSpolygon(chart.Model);
        const Tnodes nodes = CopyNodes(chart.Nodes);
        for (bool reverse : {false, true}) {
            chart.Model = CopyAllSpolygon(model);
            chart.Nodes = CopyNodes(nodes);
            arofcomplexM path{{0, 30}, {1000, 30}};
            const TModelArea& area = chart.ModelArea;
            if (AddSubPolygonWithBorders(left, right, 0, reverse, chart.Nodes, chart.Model, path, area.bottom,
                                         area.top, area.right, area.left) &&
                std::count(chart.Model[0][1].ring.begin(), chart.Model[0][1].ring.end(), 0) == 1)
                break;
        }
        ASSERT_EQ(chart.Model[0].Length(), 2);
        ASSERT_TRUE(chart.Model[0][1].ring.Contains(0)); // the top layer, not the bottom one
        chart.RebuildMapSeries();
        chart.TakeBackup();
        ExpectSound();
    }
};

TEST_F(Shapes, FrameNodesCannotBeDeletedSoNoBodyLosesANode)
{
    chart.NewModel({{0, 0}, {500, 10}, {1000, 20}}, true, 0, 1000, 0, 100);
    AddBody({{100, 40}, {200, 40}, {200, 60}, {100, 60}});
    const int surfaceNode = NodeAt(500, 10);
    ASSERT_EQ(surfaceNode, 4); // a frame node built from the profile
    SetMode(pmDeleteNode);
    Move(500, 10);
    ASSERT_EQ(chart.PickNode, surfaceNode);
    EXPECT_FALSE(Press(true));
    EXPECT_EQ(chart.Nodes, chart.NodesBackup);

    EXPECT_TRUE(chart.SetModelArea(false, 0, 900, 0, 100));
    ExpectSound();
    ASSERT_EQ(chart.Model.Length(), 2);
    ASSERT_EQ(chart.Model[1][0].ring.Length(), 4);
    for (const complexM corner : {complexM{100, 40}, complexM{200, 40}, complexM{200, 60}, complexM{100, 60}})
        EXPECT_GE(NodeAt(corner.re, corner.im), 0);

    // A node the user added to the surface can still go.
    SetMode(pmAddNode);
    Move(700, 6);
    ASSERT_TRUE(Press(true));
    const int added = chart.Nodes.High();
    SetMode(pmDeleteNode);
    Move(chart.Nodes[added].x, chart.Nodes[added].y);
    EXPECT_TRUE(Press(true));
}

TEST_F(Shapes, AreaChangeThatWouldLayARingOverABodyIsRefused)
{
    // A ring of the host body against the right edge, its upper corner on
    // the edge at (1000, 10); a small body just above its slanted top side.
    chart.NewModel({}, false, 0, 1000, 0, 100);
    ASSERT_TRUE(AddNodeOnEdge(3, 2, 0, 1, 1, chart.Nodes, chart.Model, {1000, 10}));
    const int upper = chart.Nodes.High();
    ASSERT_TRUE(AddNodeOnEdge(upper, 2, 0, 1, 1, chart.Nodes, chart.Model, {1000, 60}));
    const int lower = chart.Nodes.High();
    const AllSpolygon model = CopyAllSpolygon(chart.Model);
    const Tnodes nodes = CopyNodes(chart.Nodes);
    for (bool reverse : {false, true}) {
        chart.Model = CopyAllSpolygon(model);
        chart.Nodes = CopyNodes(nodes);
        arofcomplexM path{{1000, 10}, {900, 30}, {900, 60}, {1000, 60}};
        const TModelArea& area = chart.ModelArea;
        if (AddSubPolygonWithBorders(upper, lower, 0, reverse, chart.Nodes, chart.Model, path, area.bottom,
                                     area.top, area.right, area.left) &&
            chart.Model[0][1].ring.Length() == 4)
            break;
    }
    ASSERT_EQ(chart.Model[0][1].ring.Length(), 4);
    AddBody({{930, 18}, {945, 14}, {945, 20}});
    ExpectSound();
    const Tnodes before = CopyNodes(chart.Nodes);
    // At right = 950 the ring's corner would come to (950, 10) and its top
    // side would pass below the body's corners.
    EXPECT_FALSE(chart.SetModelArea(false, 0, 950, 0, 100));
    EXPECT_EQ(chart.ModelArea.right, 1000.0);
    EXPECT_EQ(chart.Nodes, before);
    EXPECT_TRUE(chart.SetModelArea(false, 0, 995, 0, 100));
}

TEST_F(Shapes, DrawnTriangleThroughTwoCornersOfASquareIsRefused)
{
    TSectionFixture::AddBodies(chart, 1); // (100, 10) .. (200, 50)
    EXPECT_FALSE(Draw({{100, 10}, {200, 50}, {50, 70}}));
    EXPECT_EQ(chart.Model.Length(), 2);
}

TEST_F(Shapes, BodyDraggedExactlyOntoAnIdenticalOneIsRefused)
{
    TSectionFixture::AddBodies(chart, 2); // squares at x 100 and 350
    const Tnodes before = CopyNodes(chart.Nodes);
    for (TPolygonEditMode mode : {pmMovePolygon, pmMoveSubPolygon}) {
        SetMode(mode);
        Move(400, 30);
        Press(false);
        ASSERT_TRUE(chart.Editing);
        Move(150, 30);
        EXPECT_FALSE(Press(true));
        EXPECT_EQ(chart.Nodes, before);
    }
}

TEST_F(Shapes, BandBetweenTheSameTwoLinesIsMadeOnce)
{
    TSectionFixture::AddBodies(chart, 0);
    for (double y : {60.0, 80.0}) {
        SetMode(pmAddLine);
        Move(100, y);
        Press(false);
        Move(900, y);
        Press(false);
        ASSERT_TRUE(Press(true));
    }
    for (bool made : {true, false}) {
        SetMode(pmPolygonFromLinesA);
        Move(500, 60);
        Press(false);
        Move(500, 80);
        EXPECT_EQ(Press(true), made);
    }
    EXPECT_EQ(chart.Model.Length(), 2);
}

TEST_F(Shapes, CouplingThatLaysARingOverAnotherIsRefused)
{
    TSectionFixture::AddBodies(chart, 1); // (100, 10) .. (200, 50)
    // A triangle below the square, one corner on the square's corner.
    AddBody({{200, 50}, {50, 70}, {60, 55}});
    SetMode(pmCoupleNodes);
    Move(60, 55);
    Press(false);
    ASSERT_GE(chart.PickNode, 0);
    Move(100, 10); // onto the square's far corner: the triangle would cover half of it
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    EXPECT_EQ(chart.Model.Length(), 3);
}

TEST_F(Shapes, DrawnRingMustNotCrossItselfWhenClosed)
{
    TSectionFixture::AddBodies(chart, 0);
    EXPECT_FALSE(Draw({{600, 20}, {800, 20}, {600, 80}, {700, 80}}));
    EXPECT_EQ(chart.Model.Length(), 1);
    EXPECT_EQ(chart.DrawnPoints.Length(), 3); // the closing press is refused, drawing goes on
}

TEST_F(Shapes, NoBodyInTheAirOrAcrossAValley)
{
    // Elevations 50 at the sides and 10 in the middle: the surface lies at
    // depth 0 at the sides and dips to 40 at x = 500.
    chart.NewModel({{0, 50}, {500, 10}, {1000, 50}}, true, 0, 1000, 0, 100);
    SetMode(pmAddPolygon);
    Move(450, 20); // above the surface (depth 36 there)
    Press(false);
    EXPECT_TRUE(chart.DrawnPoints.Empty());
    Move(100, 10); // below the surface (depth 8)
    Press(false);
    Move(900, 10); // also below it, but the chord passes above the valley
    Press(false);
    EXPECT_EQ(chart.DrawnPoints.Length(), 1);
    // Neither may a band or a body given as a whole.
    EXPECT_FALSE(chart.DoAddPolygon({{100, 10}, {900, 10}, {500, 60}}));
    EXPECT_FALSE(chart.DoAddPolygon({{450, 20}, {550, 20}, {500, 30}}));
    EXPECT_TRUE(chart.DoAddPolygon({{450, 50}, {550, 50}, {500, 60}}));
}

TEST_F(Shapes, DivisionStartingOnTheFrameIsNotTakenForTheHostRing)
{
    TopLayer();
    SetMode(pmDividePolygon);
    Move(300, 0.5);
    Press(false);
    ASSERT_TRUE(chart.Editing);
    Move(300, 29.5);
    EXPECT_TRUE(Press(true));
    ASSERT_EQ(chart.Model[0].Length(), 3);
}

TEST_F(Shapes, NodeIsNeverAddedBeyondItsEdge)
{
    TSectionFixture::AddBodies(chart, 0);
    AddBody({{100, 40}, {300, 42}, {200, 80}});
    SetMode(pmAddNode);
    Move(340, 41.75);
    EXPECT_EQ(chart.PickNode, -1);
    EXPECT_FALSE(Press(true));
    EXPECT_EQ(chart.Nodes, chart.NodesBackup);

    // The same on a line.
    SetMode(pmAddLine);
    for (const complexM point : {complexM{100, 40}, complexM{300, 42}}) {
        Move(point.re, point.im);
        Press(false);
    }
    Press(true);
    ASSERT_EQ(chart.Lines.Length(), 1);
    SetMode(pmAddLineNode);
    Move(340, 41.75);
    EXPECT_FALSE(Press(true));
    EXPECT_EQ(chart.Lines[0].points.Length(), 2);
    Move(200, 40.5);
    EXPECT_TRUE(Press(true));
    ASSERT_EQ(chart.Lines[0].points.Length(), 3);
    EXPECT_EQ(chart.Lines[0].points[1], (complexM{200, 41}));
}

TEST_F(Shapes, BorderNodeKeepsItsPlaceBetweenItsNeighbours)
{
    // Dragged past a corner the node stops just short of it; dropped there it
    // would lie under the corner, which the pointer finds first, so the drop
    // is refused and the node stays in hand.
    TopLayer();
    const int left = NodeAt(0, 30);
    ASSERT_GE(left, 0);
    SetMode(pmMoveNode);
    for (double target : {100.0, 200.0, -10.0}) {
        Move(0, 30);
        ASSERT_EQ(chart.PickNode, left);
        Press(false);
        ASSERT_TRUE(chart.BorderMove);
        Move(0, target);
        const double y = chart.Nodes[left].y;
        EXPECT_EQ(chart.Nodes[left].x, 0.0);
        EXPECT_GT(y, chart.Nodes[0].y);
        EXPECT_LT(y, chart.Nodes[1].y);
        EXPECT_FALSE(Press(true)) << target;
        EXPECT_EQ(chart.Nodes[left].y, 30.0);
        EXPECT_TRUE(chart.Editing);
        SetMode(pmMoveNode); // puts the node down again
    }
    // Clear of the corner the drop is taken.
    Move(0, 30);
    Press(false);
    Move(0, 90);
    EXPECT_TRUE(Press(true));
    EXPECT_EQ(chart.Nodes[left].y, 90.0);
    ExpectSound();
}

TEST_F(Shapes, NodeDroppedOnItsNeighbourOrItsEdgeLineIsRefused)
{
    TSectionFixture::AddBodies(chart, 1); // (100, 10) (200, 10) (200, 50) (100, 50)
    const Tnodes before = CopyNodes(chart.Nodes);
    SetMode(pmMoveNode);
    for (const complexM drop : {complexM{200, 50}, complexM{150, 50}}) {
        Move(200, 10);
        Press(false);
        ASSERT_TRUE(chart.Editing);
        Move(drop.re, drop.im);
        EXPECT_FALSE(Press(true)) << drop.re;
        EXPECT_EQ(chart.Nodes, before);
        SetMode(pmMoveNode); // puts the node down again
    }
}

} // namespace
} // namespace lp
