#include "section/model/Polygons.h"

#include "ModelFixtures.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::AddNode;
using test::AddUShape;
using test::FrameModel;
using test::MakeRing;
using test::P;
using test::ExpectSound;

TEST(NormalizeOrientation, ReversesClockwisePointsOnly)
{
    arofcomplexM kept{P(10, 10), P(30, 10), P(30, 30), P(10, 30)};
    const arofcomplexM original = kept;
    NormalizeOrientation(kept);
    EXPECT_EQ(kept, original);
    arofcomplexM turned{P(10, 30), P(30, 30), P(30, 10), P(10, 10)};
    NormalizeOrientation(turned);
    EXPECT_EQ(turned, (arofcomplexM{P(10, 10), P(30, 10), P(30, 30), P(10, 30)}));
}

TEST(SnapPointToSegment, MovesAlongTheAxisOfTheSmallerScaledExtent)
{
    complexM point = P(5, 3);
    SnapPointToSegment(point, 1, 1, P(0, 0), P(10, 0)); // flat: y from x
    EXPECT_EQ(point, P(5, 0));
    point = P(3, 5);
    SnapPointToSegment(point, 1, 1, P(0, 0), P(0, 10)); // steep: x from y
    EXPECT_EQ(point, P(0, 5));
    point = P(4, 0);
    SnapPointToSegment(point, 1, 1, P(0, 0), P(10, 10));
    EXPECT_EQ(point, P(0, 0)); // equal extents count as steep
    point = P(4, 0);
    SnapPointToSegment(point, 2, 1, P(0, 0), P(10, 10)); // wider on screen: y from x
    EXPECT_EQ(point, P(4, 4));
}

TEST(AddNodeOnEdge, NextToAnEndNodeChangesNothing)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    const AllSpolygon before = CopyAllSpolygon(m.model);
    EXPECT_FALSE(AddNodeOnEdge(4, 5, body, 1, 1, m.nodes, m.model, P(10 + 5e-5, 10)));
    EXPECT_EQ(m.nodes.Length(), 8);
    EXPECT_EQ(m.model[body][0].ring, before[body][0].ring);
}

TEST(AddNodeOnEdge, GoesIntoEveryRingWithTheEdge)
{
    FrameModel m;
    AddNode(m.nodes, 10, 10);
    AddNode(m.nodes, 30, 10);
    AddNode(m.nodes, 30, 30);
    AddNode(m.nodes, 10, 30);
    SPolygon rings;
    rings.Add(MakeRing({4, 5, 6}));
    rings.Add(MakeRing({4, 6, 7}));
    m.model.Add(rings);
    UpdateBodySharing(1, m.model, m.nodes);
    ASSERT_TRUE(AddNodeOnEdge(6, 4, 1, 1, 1, m.nodes, m.model, P(21, 19)));
    EXPECT_EQ(m.model[1][0].ring, (arofintM{4, 5, 6, 8}));
    EXPECT_EQ(m.model[1][1].ring, (arofintM{4, 8, 6, 7}));
    EXPECT_EQ(m.nodes[8].x, 19); // snapped onto the diagonal along x
    EXPECT_EQ(m.nodes[8].y, 19);
    EXPECT_EQ(m.nodes[8].sharing, nsInner); // on the inner edge of the body
    ExpectSound(m);
}

TEST(AddNodeOnEdge, AFrameEdgeGetsTheNodeOnBothHalvesOfTheHostRing)
{
    // Regression: a node added to a frame edge went into the outline only, so
    // the host ring stopped mirroring it and the node was later lost.
    FrameModel m;
    ASSERT_TRUE(AddNodeOnEdge(0, 1, 0, 1, 1, m.nodes, m.model, P(0.5, 20)));
    EXPECT_EQ(m.model[0][0].ring, (arofintM{0, 4, 1, 2, 3, 0, 3, 2, 1, 4}));
    EXPECT_EQ(m.nodes[4].x, 0);
    ExpectSound(m);
    ASSERT_TRUE(AddNodeOnEdge(3, 0, 0, 1, 1, m.nodes, m.model, P(40, 0)));
    EXPECT_EQ(m.model[0][0].ring, (arofintM{0, 4, 1, 2, 3, 5, 0, 5, 3, 2, 1, 4}));
    ExpectSound(m);
}

TEST(AddPolygon, EitherOrientationGivesTheKeptOne)
{
    for (bool reversed : {false, true}) {
        FrameModel m;
        arofcomplexM points{P(10, 10), P(30, 10), P(30, 30), P(10, 30)};
        if (reversed)
            std::reverse(points.begin(), points.end());
        ASSERT_TRUE(AddPolygon(points, m.model, m.nodes));
        ASSERT_EQ(m.model.Length(), 2);
        EXPECT_FALSE(RingIsClockwise(m.model[1][0].ring, m.nodes));
        EXPECT_EQ(m.model[1][0].ring, (arofintM{4, 5, 6, 7}));
        ExpectSound(m);
    }
}

TEST(AddPolygon, RepeatedPointsBecomeOneNode)
{
    struct Row {
        const char* name;
        arofcomplexM points;
        int nodes; // of the new ring; 0: refused
    };
    const Row rows[] = {
        {"a press twice on one spot", {{10, 10}, {40, 10}, {40, 10}, {40, 40}}, 3},
        {"closed on the first point", {{10, 10}, {40, 10}, {40, 40}, {10.00001, 10}}, 3},
        {"two distinct points left", {{10, 10}, {40, 10}, {40, 10}, {10, 10}}, 0},
        {"near but apart", {{10, 10}, {40, 10}, {40.01, 10}, {40, 40}}, 4},
    };
    for (const Row& row : rows) {
        AllSpolygon model;
        Tnodes nodes;
        BuildFrameModel(nodes, model, {}, false, 100, 0, 100, 0);
        arofcomplexM points = row.points;
        const bool added = AddPolygon(points, model, nodes);
        EXPECT_EQ(added, row.nodes > 0) << row.name;
        if (added) {
            EXPECT_EQ(model.Last()[0].ring.Length(), row.nodes) << row.name;
            EXPECT_EQ(nodes.Length(), 4 + row.nodes) << row.name;
            EXPECT_TRUE(CheckModelInvariants(model, nodes).empty()) << row.name;
        }
    }
}

TEST(AddPolygon, RingsTakeTheDefaultParameters)
{
    FrameModel m;
    DefaultParameters[psResistivity] = 120.0;
    DefaultParameters[psId] = -1;
    arofcomplexM points{P(10, 10), P(30, 10), P(20, 30)};
    ASSERT_TRUE(AddPolygon(points, m.model, m.nodes));
    ClearDefaultParameters();
    EXPECT_EQ(m.model[1][0].params[psResistivity], ParamValue(120.0));
}

TEST(AddPolygon, RefusesOverlapsTooFewPointsAndNoArea)
{
    FrameModel m;
    m.AddSquare(20, 20, 5);
    arofcomplexM enclosing{P(10, 10), P(40, 10), P(40, 40), P(10, 40)};
    EXPECT_FALSE(AddPolygon(enclosing, m.model, m.nodes));
    arofcomplexM inside{P(21, 21), P(60, 21), P(60, 40)};
    EXPECT_FALSE(AddPolygon(inside, m.model, m.nodes));
    arofcomplexM two{P(60, 10), P(70, 10)};
    EXPECT_FALSE(AddPolygon(two, m.model, m.nodes));
    // Regression: collinear points made a ring without area that no
    // orientation could keep.
    arofcomplexM line{P(60, 10), P(70, 10), P(80, 10)};
    EXPECT_FALSE(AddPolygon(line, m.model, m.nodes));
    EXPECT_EQ(m.model.Length(), 2);
    EXPECT_EQ(m.nodes.Length(), 8);
}

TEST(AddSubPolygon, ClosesTheDrawnPathAgainstTheBody)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20); // 4 (10,10) 5 (30,10) 6 (30,30) 7 (10,30)
    arofcomplexM points{P(30, 10), P(40, 20), P(30, 30)};
    ASSERT_TRUE(AddSubPolygon(5, 6, body, false, m.nodes, m.model, points));
    ASSERT_EQ(m.model[body].Length(), 2);
    EXPECT_EQ(m.model[body][1].ring, (arofintM{5, 8, 6}));
    EXPECT_EQ(m.nodes[8].x, 40);
    EXPECT_EQ(m.nodes[5].sharing, nsOutlineShared);
    ExpectSound(m);
}

TEST(AddSubPolygon, APathDrawnBackwardsGivesTheSameRing)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    arofcomplexM points{P(30, 30), P(40, 20), P(30, 10)};
    ASSERT_TRUE(AddSubPolygon(6, 5, body, false, m.nodes, m.model, points));
    EXPECT_EQ(m.model[body][1].ring, (arofintM{5, 8, 6}));
    ExpectSound(m);
}

TEST(AddSubPolygon, WalksAlongTheOutlineBetweenFarNodes)
{
    // A U-shaped body; the path closes its mouth between nodes 5 and 8.
    FrameModel m;
    AddUShape(m);
    ASSERT_FALSE(RingIsClockwise(m.model[1][0].ring, m.nodes));
    arofcomplexM points{P(20, 10), P(25, 5), P(30, 10)};
    ASSERT_TRUE(AddSubPolygon(5, 8, 1, false, m.nodes, m.model, points));
    EXPECT_EQ(m.model[1][1].ring, (arofintM{5, 12, 8, 7, 6})); // fills the notch
    ExpectSound(m);
}

TEST(AddSubPolygon, RefusesWhatCannotBeWalkedOrWouldEncloseTheBody)
{
    // Regression: a start and end not joined by free outline edges walked
    // without end.
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    const int far = m.AddSquare(60, 10, 10);
    arofcomplexM across{P(30, 10), P(45, 5), P(60, 10)};
    EXPECT_FALSE(AddSubPolygon(5, m.model[far][0].ring[0], body, false, m.nodes, m.model, across));
    // The reverse walk around the square would enclose it.
    FrameModel n;
    const int square = n.AddSquare(10, 10, 20);
    arofcomplexM points{P(30, 10), P(40, 20), P(30, 30)};
    EXPECT_FALSE(AddSubPolygon(5, 6, square, true, n.nodes, n.model, points));
    arofcomplexM single{P(30, 10)};
    EXPECT_FALSE(AddSubPolygon(5, 6, square, false, n.nodes, n.model, single));
}

TEST(AddSubPolygonWithBorders, GivesTheNewHostRingNodesTheirBorderKinds)
{
    FrameModel m;
    ASSERT_TRUE(AddNodeOnEdge(0, 1, 0, 1, 1, m.nodes, m.model, P(0, 20))); // node 4, left edge
    ASSERT_TRUE(AddNodeOnEdge(3, 0, 0, 1, 1, m.nodes, m.model, P(20, 0))); // node 5, top edge
    arofcomplexM points{P(0, 20), P(15, 15), P(20, 0)};
    ASSERT_TRUE(AddSubPolygonWithBorders(4, 5, 0, false, m.nodes, m.model, points, 50, 0, 100, 0));
    const arofintM& ring = m.model[0].Last().ring;
    EXPECT_EQ(ring, (arofintM{5, 6, 4, 0}));
    EXPECT_EQ(m.nodes[4].border, bkLeft);
    EXPECT_EQ(m.nodes[6].border, bkNone);
    EXPECT_EQ(m.nodes[0].border, bkLeft);
    ExpectSound(m);
}

TEST(DividePolygon, ASquareAlongItsDiagonal)
{
    FrameModel m;
    AddNode(m.nodes, 10, 10);
    AddNode(m.nodes, 30, 10);
    AddNode(m.nodes, 30, 30);
    AddNode(m.nodes, 10, 30);
    SPolygon body;
    body.Add(MakeRing({4, 5, 6, 7}));
    body[0].params[psId] = 17;
    body[0].params[psResistivity] = 50.0;
    m.model.Add(body);
    int id = 0;
    ASSERT_TRUE(DividePolygon(4, 6, 1, id, m.nodes, m.model));
    EXPECT_EQ(id, 17);
    ASSERT_EQ(m.model[1].Length(), 2);
    EXPECT_EQ(m.model[1][0].ring, (arofintM{4, 5, 6}));
    EXPECT_EQ(m.model[1][1].ring, (arofintM{6, 7, 4}));
    for (const Polygon& ring : m.model[1]) {
        EXPECT_EQ(ring.params[psId], ParamValue(-1));
        EXPECT_EQ(ring.params[psResistivity], ParamValue(50.0));
    }
    EXPECT_EQ(m.nodes[4].sharing, nsOutlineShared);
    ExpectSound(m);
}

TEST(DividePolygon, RefusesSidesOutsideChordsAndForeignNodes)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    int id = 0;
    EXPECT_FALSE(DividePolygon(4, 5, body, id, m.nodes, m.model)); // a side
    EXPECT_FALSE(DividePolygon(7, 4, body, id, m.nodes, m.model)); // the closing side
    EXPECT_FALSE(DividePolygon(4, 2, body, id, m.nodes, m.model)); // node 2 is not in the ring
    EXPECT_FALSE(DividePolygon(4, 4, body, id, m.nodes, m.model));
    // The chord between the tips of a U runs outside it.
    FrameModel u;
    AddUShape(u);
    EXPECT_FALSE(DividePolygon(5, 8, 1, id, u.nodes, u.model));
    EXPECT_EQ(u.model[1].Length(), 1);
    // The chord 4-9 runs along the U's open mouth, outside it.
    EXPECT_FALSE(DividePolygon(4, 9, 1, id, u.nodes, u.model));
}

} // namespace
} // namespace lp
