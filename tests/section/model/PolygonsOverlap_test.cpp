#include "section/model/Polygons.h"

#include "ModelFixtures.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::P;

const arofcomplexM kSquare{P(100, 10), P(200, 10), P(200, 50), P(100, 50)};

TEST(PolygonsOverlap, AreasNotMereContact)
{
    struct Row {
        const char* name;
        arofcomplexM other;
        bool overlaps;
    };
    // A point nearly on the square's right edge, as a node added on a
    // sloped edge lies nearly on it.
    const double nearly = 200 + 1e-13;
    const Row rows[] = {
        {"identical", kSquare, true},
        {"identical, other start and direction", {P(100, 50), P(200, 50), P(200, 10), P(100, 10)}, true},
        {"triangle through two corners", {P(100, 10), P(200, 50), P(50, 70)}, true},
        {"inside, touching nothing", {P(120, 20), P(140, 20), P(130, 30)}, true},
        {"around it", {P(0, 0), P(300, 0), P(300, 90), P(0, 90)}, true},
        {"inside, sharing a corner and two edges", {P(100, 10), P(150, 10), P(100, 30)}, true},
        {"crossing an edge", {P(150, 30), P(250, 30), P(250, 40)}, true},
        {"neighbour sharing an edge", {P(200, 10), P(300, 10), P(300, 50), P(200, 50)}, false},
        {"neighbour sharing part of an edge", {P(200, 20), P(300, 20), P(300, 30), P(200, 30)}, false},
        {"neighbour along a nearly straight edge",
         {P(200, 10), P(300, 10), P(300, 50), P(200, 50), P(nearly, 30)}, false},
        {"touching at a corner", {P(200, 50), P(300, 50), P(300, 90)}, false},
        {"apart", {P(300, 10), P(400, 10), P(400, 50)}, false},
        {"touching a corner with an edge", {P(190, 60), P(260, 60), P(200, 50)}, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PolygonsOverlap(kSquare, row.other), row.overlaps) << row.name;
        EXPECT_EQ(PolygonsOverlap(row.other, kSquare), row.overlaps) << row.name << " (swapped)";
    }
}

TEST(PolygonWithinOutline, InsideOrOnTheOutline)
{
    // A frame whose surface dips into a valley at x = 50.
    const arofcomplexM frame{P(0, 0), P(0, 100), P(100, 100), P(100, 0), P(50, 40)};
    struct Row {
        const char* name;
        arofcomplexM polygon;
        bool within;
    };
    const Row rows[] = {
        {"deep inside", {P(40, 60), P(60, 60), P(50, 80)}, true},
        {"along the bottom and the left", {P(0, 60), P(0, 100), P(50, 100)}, true},
        {"against the valley's slope", {P(25, 20), P(50, 40), P(40, 60)}, true},
        {"above the surface", {P(40, 10), P(60, 10), P(50, 30)}, false},
        {"a chord across the valley", {P(20, 17), P(80, 17), P(50, 90)}, false},
        {"beyond the right edge", {P(90, 60), P(120, 60), P(90, 80)}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PolygonWithinOutline(row.polygon, frame), row.within) << row.name;
    EXPECT_FALSE(SegmentWithinOutline(P(20, 17), P(80, 17), frame));
    EXPECT_TRUE(SegmentWithinOutline(P(0, 0), P(50, 40), frame));
}

TEST(PolygonCrossesItself, NonNeighbouringEdgesMustNotMeet)
{
    EXPECT_FALSE(PolygonCrossesItself(kSquare));
    EXPECT_TRUE(PolygonCrossesItself({P(600, 20), P(800, 20), P(600, 80), P(700, 80)})); // a bow tie
    // Pinched: a vertex on a non-neighbouring edge.
    EXPECT_TRUE(PolygonCrossesItself({P(0, 0), P(10, 0), P(5, 10), P(10, 10), P(5, 0)}));
    EXPECT_FALSE(PolygonCrossesItself({P(0, 0), P(10, 0), P(5, 10)}));
}

TEST(PolygonHasDegenerateVertex, ZeroLengthEdgesAndSpikes)
{
    EXPECT_FALSE(PolygonHasDegenerateVertex(kSquare));
    // A node on a straight edge is fine.
    EXPECT_FALSE(PolygonHasDegenerateVertex({P(100, 10), P(150, 10), P(200, 10), P(200, 50), P(100, 50)}));
    EXPECT_TRUE(PolygonHasDegenerateVertex({P(100, 10), P(200, 50), P(200, 50), P(100, 50)}));
    // The corner (200, 50) becomes a spike when (200, 10) is dropped onto the bottom edge.
    EXPECT_TRUE(PolygonHasDegenerateVertex({P(100, 10), P(150, 50), P(200, 50), P(100, 50)}));
}

TEST(AddNodeOnEdge, TheEndTestAppliesToTheSnappedPoint)
{
    test::FrameModel m;
    arofcomplexM triangle{P(10, 5), P(10.5, 45), P(5, 45)};
    ASSERT_TRUE(AddPolygon(triangle, m.model, m.nodes));
    const arofintM ring = m.model[1][0].ring;
    int a = -1, b = -1;
    for (int node : ring) {
        if (NodePoint(m.nodes, node) == P(10, 5))
            a = node;
        if (NodePoint(m.nodes, node) == P(10.5, 45))
            b = node;
    }
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    const Tnodes nodes = m.nodes;
    // Clear of the end before the snap, onto it after (the edge is steep).
    EXPECT_FALSE(AddNodeOnEdge(a, b, 1, 1, 1, m.nodes, m.model, P(9.9, 5.00001)));
    EXPECT_EQ(m.nodes, nodes);
    // Beyond the end the snap stops at the end: refused too.
    EXPECT_FALSE(AddNodeOnEdge(a, b, 1, 1, 1, m.nodes, m.model, P(10, 2)));
    EXPECT_TRUE(AddNodeOnEdge(a, b, 1, 1, 1, m.nodes, m.model, P(9, 25)));
    EXPECT_DOUBLE_EQ(m.nodes.Last().x, 10.25);
}

TEST(SnapPointToSegment, StaysOnTheSegment)
{
    complexM point = P(340, 41.75);
    SnapPointToSegment(point, 1, 1, P(100, 40), P(300, 42));
    EXPECT_EQ(point, P(300, 42));
    point = P(200, 10);
    SnapPointToSegment(point, 1, 1, P(100, 40), P(300, 42));
    EXPECT_EQ(point, P(200, 41));
    point = P(0, 70);
    SnapPointToSegment(point, 1, 1, P(10, 0), P(10, 50));
    EXPECT_EQ(point, P(10, 50));
}

TEST(CheckDrawnPolyline, TheClosingSegmentMustNotCrossThePath)
{
    test::FrameModel m; // 100 x 50
    const arofcomplexM bowTie{P(60, 2), P(80, 2), P(60, 8), P(70, 8)};
    EXPECT_EQ(CheckDrawnPolyline(bowTie, m.model, m.nodes, false), 1);
    EXPECT_EQ(CheckDrawnPolyline(bowTie, m.model, m.nodes, true), 0);
    const arofcomplexM square{P(60, 2), P(80, 2), P(80, 8), P(60, 8)};
    EXPECT_EQ(CheckDrawnPolyline(square, m.model, m.nodes, true), 1);
}

TEST(DividePolygon, TheHostRingIsNeverTheRingToDivide)
{
    test::FrameModel m; // 100 x 50, host ring 0 1 2 3 0 3 2 1
    // A top layer against the frame: 0, L, R, 3.
    const int left = test::AddNode(m.nodes, 0, 20, bkLeft);
    const int right = test::AddNode(m.nodes, 100, 20, bkRight);
    m.model[0][0].ring = {0, left, 1, 2, right, 3, 0, 3, right, 2, 1, left};
    Polygon layer = test::MakeRing({0, left, right, 3});
    if (RingIsClockwise(layer.ring, m.nodes))
        std::reverse(layer.ring.begin(), layer.ring.end());
    m.model[0].Add(layer);
    UpdateBodySharing(0, m.model, m.nodes);
    ASSERT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
    // Start on the top edge (in the host ring twice), end on the layer's bottom.
    ASSERT_TRUE(AddNodeOnEdge(3, 0, 0, 1, 1, m.nodes, m.model, P(30, 0)));
    const int start = m.nodes.High();
    ASSERT_TRUE(AddNodeOnEdge(left, right, 0, 1, 1, m.nodes, m.model, P(30, 20)));
    const int end = m.nodes.High();
    int id = 0;
    ASSERT_TRUE(DividePolygon(start, end, 0, id, m.nodes, m.model));
    EXPECT_EQ(m.model[0].Length(), 3);
    EXPECT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
}

} // namespace
} // namespace lp
