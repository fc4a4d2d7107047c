#include "section/model/Polygons.h"

#include "ModelFixtures.h"
#include "RingGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace lp {
namespace {

using test::AddFourTriangles;
using test::AddNode;
using test::FrameModel;
using test::MakeRing;
using test::ExpectSound;

// Body 1: two triangles over the square (10,10)-(30,30) sharing the diagonal
// 4-6: nodes 4 (10,10), 5 (30,10), 6 (30,30), 7 (10,30).
struct TwoTriangles : FrameModel {
    int body = 0;
    TwoTriangles()
    {
        AddNode(nodes, 10, 10);
        AddNode(nodes, 30, 10);
        AddNode(nodes, 30, 30);
        AddNode(nodes, 10, 30);
        SPolygon rings;
        rings.Add(MakeRing({4, 5, 6}));
        rings.Add(MakeRing({4, 6, 7}));
        model.Add(rings);
        body = model.High();
        UpdateBodySharing(body, model, nodes);
    }
};

TEST(NodeSharing, OutlineNodesOfTwoTrianglesSharingAnEdge)
{
    TwoTriangles m;
    EXPECT_EQ(m.nodes[4].sharing, nsOutlineShared);
    EXPECT_EQ(m.nodes[6].sharing, nsOutlineShared);
    EXPECT_EQ(m.nodes[5].sharing, nsOutlineOnce);
    EXPECT_EQ(m.nodes[7].sharing, nsOutlineOnce);
    EXPECT_EQ(NodeSharing(2, 0, m.model, m.nodes), nsOutlineOnce); // a frame node
    EXPECT_EQ(NodeSharing(5, 0, m.model, m.nodes), nsInner);      // a node the body does not use
    ExpectSound(m);
}

TEST(NodeSharing, OneRingBodiesAgreeWithTheNodeByNodeRule)
{
    // A body of one ring has its sharing counted without its edges when its
    // nodes are distinct; a ring through a node twice (a pinched ring) and
    // one of two rings are counted in full. Both must give what NodeSharing
    // gives node by node.
    AllSpolygon model;
    SPolygon host;
    host.Add(MakeRing({0, 1, 2, 3, 2, 1}));
    model.Add(host);
    for (const std::vector<int32_t>& ring :
         {std::vector<int32_t>{4, 5, 6}, std::vector<int32_t>{7, 8, 9, 10, 11}, std::vector<int32_t>{4, 5, 6, 4, 7, 8},
          std::vector<int32_t>{9, 10, 11, 12, 10}}) {
        Polygon polygon;
        polygon.ring = arofintM(ring);
        SPolygon body;
        body.Add(polygon);
        model.Add(body);
    }
    Tnodes nodes;
    for (int i = 0; i < 13; ++i)
        AddNode(nodes, i, i * i % 7);
    for (int body = 1; body < model.Length(); ++body) {
        const std::vector<std::pair<int, int>> sharing = BodySharing(body, model);
        std::vector<int> listed;
        for (const auto& [node, kind] : sharing) {
            listed.push_back(node);
            EXPECT_EQ(kind, NodeSharing(node, body, model, nodes)) << "body " << body << " node " << node;
        }
        EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end())) << "body " << body;
        std::vector<int> distinct(model[body][0].ring.begin(), model[body][0].ring.end());
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        EXPECT_EQ(listed, distinct) << "body " << body;
    }
}

TEST(NodeSharing, TheCentreOfFourTrianglesIsInner)
{
    FrameModel m;
    const int centre = AddFourTriangles(m);
    EXPECT_EQ(m.nodes[centre].sharing, nsInner);
    EXPECT_EQ(m.nodes[4].sharing, nsOutlineShared); // a corner of the square
    ExpectSound(m);
}

TEST(RemoveNodeFromTable, RenumbersEveryLaterIndex)
{
    FrameModel m;
    m.AddSquare(10, 10, 10); // 4..7
    m.AddSquare(40, 10, 10); // 8..11
    m.model[1][0].ring = {4, 5, 7};
    RemoveNodeFromTable(6, m.nodes, m.model);
    EXPECT_EQ(m.model[1][0].ring, (arofintM{4, 5, 6}));
    EXPECT_EQ(m.model[2][0].ring, (arofintM{7, 8, 9, 10}));
    EXPECT_EQ(m.nodes.Length(), 11);
    EXPECT_EQ(m.nodes[7].x, 40);
}

TEST(RegroupBody, SplitsRingsThatShareNoNode)
{
    FrameModel m;
    const int first = m.AddSquare(10, 10, 10);
    const int second = m.AddSquare(40, 10, 10);
    m.model[first].Add(m.model[second][0]);
    m.model.Delete(second);
    m.nodes[9].border = bkLeft; // stale kinds are cleared in bodies other than the host
    RegroupBody(first, m.model, m.nodes);
    ASSERT_EQ(m.model.Length(), 3);
    EXPECT_EQ(m.model[1].Length(), 1);
    EXPECT_EQ(m.model[2][0].ring, (arofintM{8, 9, 10, 11}));
    EXPECT_EQ(m.nodes[9].border, bkNone);
    RegroupBody(7, m.model, m.nodes); // beyond the model: nothing
    EXPECT_EQ(m.model.Length(), 3);
    ExpectSound(m);
}

TEST(MergeNodes, CouplingTwoBodiesLeavesOneBodyAndOneNodeFewer)
{
    FrameModel m;
    const int left = m.AddSquare(10, 10, 10);  // 4 (10,10) 5 (20,10) 6 (20,20) 7 (10,20)
    const int right = m.AddSquare(20, 10, 10); // 8 (20,10) ... 11 (20,20)
    const int nodeCount = m.nodes.Length();
    ASSERT_TRUE(MergeNodes(8, 5, right, m.nodes, m.model, left));
    ASSERT_TRUE(MergeNodes(10, 6, 1, m.nodes, m.model, 1)); // 11 became 10
    EXPECT_EQ(m.model.Length(), 2);
    EXPECT_EQ(m.model[1].Length(), 2);
    EXPECT_EQ(m.nodes.Length(), nodeCount - 2);
    EXPECT_EQ(m.model[1][1].ring, (arofintM{5, 8, 9, 6}));
    EXPECT_EQ(m.nodes[5].sharing, nsOutlineShared);
    ExpectSound(m);
}

TEST(MergeNodes, ABodyCoupledToTheHostBodyGoesIntoIt)
{
    FrameModel m;
    // A ring of the host body in the top-left corner: 0 (0,0), 6 (20,0), 5 (20,20), 4 (0,20).
    const int a = AddNode(m.nodes, 0, 20, bkLeft), b = AddNode(m.nodes, 20, 20), c = AddNode(m.nodes, 20, 0, bkNone);
    m.model[0].Add(MakeRing({0, c, b, a}));
    UpdateBodySharing(0, m.model, m.nodes);
    const int other = m.AddSquare(30, 20, 10); // 7 (30,20) 8 9 10
    // Couple the host-body node b into the other body's first node: the roles
    // exchange and the other body's rings move into the host body.
    ASSERT_TRUE(MergeNodes(b, 7, 0, m.nodes, m.model, other));
    EXPECT_EQ(m.model.Length(), 1);
    EXPECT_EQ(m.model[0].Length(), 3);
    EXPECT_EQ(m.model[0][1].ring, (arofintM{0, 5, 6, 4}));
    EXPECT_EQ(m.model[0][2].ring, (arofintM{6, 7, 8, 9}));
    ExpectSound(m);
}

TEST(MergeNodes, AdjacentNodesLoseTheirEdge)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 10);
    AddNode(m.nodes, 15, 5);
    m.model[body][0].ring = {4, 8, 5, 6, 7};
    UpdateBodySharing(body, m.model, m.nodes);
    ASSERT_TRUE(MergeNodes(8, 5, body, m.nodes, m.model, body));
    EXPECT_EQ(m.model[body][0].ring, (arofintM{4, 5, 6, 7}));
    EXPECT_EQ(m.nodes.Length(), 8);
    ExpectSound(m);
}

TEST(MergeNodes, RefusesWhatWouldBreakTheModel)
{
    // Coupling two neighbours of a triangle would leave a ring of two nodes.
    TwoTriangles m;
    EXPECT_FALSE(MergeNodes(5, 6, m.body, m.nodes, m.model, m.body));
    EXPECT_FALSE(MergeNodes(5, 5, m.body, m.nodes, m.model, m.body));
    // An inner node cannot be coupled to another body; nothing changes.
    FrameModel f;
    const int centre = AddFourTriangles(f);
    const int other = f.AddSquare(50, 10, 10);
    const AllSpolygon before = CopyAllSpolygon(f.model);
    EXPECT_FALSE(MergeNodes(centre, f.model[other][0].ring[0], 1, f.nodes, f.model, other));
    EXPECT_EQ(f.model.Length(), before.Length());
}

TEST(SplitSharedNode, GivesFurtherRingsTheirOwnCopy)
{
    TwoTriangles m;
    ASSERT_TRUE(SplitSharedNode(4, m.body, m.model, m.nodes));
    EXPECT_EQ(m.model[m.body][0].ring, (arofintM{4, 5, 6}));
    EXPECT_EQ(m.model[m.body][1].ring, (arofintM{8, 6, 7}));
    EXPECT_EQ(m.nodes[8].x, 10);
    EXPECT_EQ(m.nodes[8].border, bkNone);
    EXPECT_EQ(m.model.Length(), 2); // still joined through node 6
    ExpectSound(m);
    EXPECT_FALSE(SplitSharedNode(5, m.body, m.model, m.nodes)); // sharing 0: nothing
}

TEST(SplitSharedNode, AFrameNodeKeepsTheHostRingMirrored)
{
    // Regression: copies given to the host ring's return half broke its layout.
    FrameModel m;
    const int a = AddNode(m.nodes, 0, 20, bkLeft), b = AddNode(m.nodes, 20, 20), c = AddNode(m.nodes, 20, 0);
    m.model[0].Add(MakeRing({0, c, b, a}));
    UpdateBodySharing(0, m.model, m.nodes);
    ASSERT_EQ(m.nodes[0].sharing, nsOutlineShared);
    ASSERT_TRUE(SplitSharedNode(0, 0, m.model, m.nodes));
    EXPECT_EQ(m.model[0][0].ring, (arofintM{0, 1, 2, 3, 0, 3, 2, 1}));
    EXPECT_EQ(m.model.Length(), 2); // the ring no longer touches the frame: a body of its own
    ExpectSound(m);
}

TEST(UncoupleSubPolygon, ARingSharingTwoNodesBecomesABodyOfItsOwn)
{
    TwoTriangles m;
    ASSERT_TRUE(UncoupleSubPolygon(1, m.body, m.model, m.nodes));
    ASSERT_EQ(m.model.Length(), 3);
    EXPECT_EQ(m.model[1][0].ring, (arofintM{4, 5, 6}));
    EXPECT_EQ(m.model[2][0].ring, (arofintM{8, 9, 7}));
    EXPECT_EQ(m.nodes[8].x, 10);
    EXPECT_EQ(m.nodes[9].y, 30);
    ExpectSound(m);
    EXPECT_FALSE(UncoupleSubPolygon(0, 0, m.model, m.nodes)); // the host ring stays
}

TEST(UncoupleSubPolygon, ANodeWithoutSharingIsLeftAlone)
{
    TwoTriangles m;
    const int count = m.nodes.Length();
    SplitNodeForSubPolygon(5, 0, m.body, m.nodes, m.model);
    EXPECT_EQ(m.nodes.Length(), count);
    EXPECT_EQ(m.model[m.body][0].ring, (arofintM{4, 5, 6}));
}

TEST(DeleteNode, ATriangleCannotLoseANode)
{
    TwoTriangles m;
    EXPECT_FALSE(DeleteNode(5, m.body, m.model, m.nodes));
}

TEST(DeleteNode, RemovesTheNodeFromRingsAndTable)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    AddNode(m.nodes, 20, 5);
    m.model[body][0].ring = {4, 8, 5, 6, 7};
    UpdateBodySharing(body, m.model, m.nodes);
    ASSERT_TRUE(DeleteNode(8, body, m.model, m.nodes));
    EXPECT_EQ(m.model[body][0].ring, (arofintM{4, 5, 6, 7}));
    EXPECT_EQ(m.nodes.Length(), 8);
    ExpectSound(m);
}

TEST(DeleteNode, RefusesCornersForeignNodesAndCrossings)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    EXPECT_FALSE(DeleteNode(2, 0, m.model, m.nodes));
    EXPECT_FALSE(DeleteNode(5, 0, m.model, m.nodes)); // node 5 belongs to body 1
    // Deleting the notch node of an arrow-shaped ring makes its new edge
    // cross a neighbouring body.
    FrameModel n;
    const int a = AddNode(n.nodes, 10, 10), b = AddNode(n.nodes, 40, 10), notch = AddNode(n.nodes, 25, 20),
              c = AddNode(n.nodes, 40, 30), d = AddNode(n.nodes, 10, 30);
    SPolygon arrow;
    arrow.Add(MakeRing({a, b, notch, c, d}));
    n.model.Add(arrow);
    n.AddSquare(35, 18, 3); // sits in the notch
    ASSERT_FALSE(RingIsClockwise(n.model[1][0].ring, n.nodes));
    EXPECT_FALSE(DeleteNode(notch, 1, n.model, n.nodes));
    (void)body;
}

TEST(DeleteSubPolygon, TheOnlyRingTakesItsBodyAndNodes)
{
    FrameModel m;
    m.AddSquare(10, 10, 10);
    m.AddSquare(40, 10, 10);
    ASSERT_TRUE(DeleteSubPolygon(0, 1, m.model, m.nodes));
    EXPECT_EQ(m.model.Length(), 2);
    EXPECT_EQ(m.nodes.Length(), 8);
    EXPECT_EQ(m.model[1][0].ring, (arofintM{4, 5, 6, 7}));
    EXPECT_EQ(m.nodes[4].x, 40);
    ExpectSound(m);
    EXPECT_FALSE(DeleteSubPolygon(0, 0, m.model, m.nodes)); // the host ring stays
}

TEST(DeleteSubPolygon, SharedNodesStayWithTheOtherRing)
{
    TwoTriangles m;
    ASSERT_TRUE(DeleteSubPolygon(1, m.body, m.model, m.nodes));
    EXPECT_EQ(m.model[m.body].Length(), 1);
    EXPECT_EQ(m.nodes.Length(), 7); // node 7 went, 4 and 6 stay
    EXPECT_EQ(m.nodes[4].sharing, nsOutlineOnce);
    ExpectSound(m);
}

TEST(RemoveStrayFrameNodes, DeletesOutlineNodesThatLostTheirMirror)
{
    FrameModel m;
    const int surface = AddNode(m.nodes, 50, 0, bkSurface);
    m.model[0][0].ring = {0, 1, 2, 3, surface, 0, 3, 2, 1};
    UpdateBodySharing(0, m.model, m.nodes);
    ASSERT_TRUE(RemoveStrayFrameNodes(m.model, m.nodes));
    EXPECT_EQ(m.model[0][0].ring, (arofintM{0, 1, 2, 3, 0, 3, 2, 1}));
    EXPECT_EQ(m.nodes.Length(), 4);
    ExpectSound(m);
}

// --- Rings without area and rings that reach into each other ----------------

// A quadrilateral A, P, Q, B, C, D in the kept orientation whose top edge
// A-B slopes at the given angle (degrees); P and Q were added on that edge at
// 0.3 and 0.6 of its length, so they lie on it only up to rounding.
struct SlopedQuad : test::FrameModel {
    int a = 0, p = 0, q = 0, b = 0, c = 0, d = 0, body = 0;

    explicit SlopedQuad(double degrees)
    {
        const double angle = degrees * std::numbers::pi / 180.0;
        const complexM start = test::P(10.3, 20.7);
        const complexM end = test::P(start.re + 31.7 * std::cos(angle), start.im + 31.7 * std::sin(angle));
        a = AddNode(nodes, start.re, start.im);
        b = AddNode(nodes, end.re, end.im);
        c = AddNode(nodes, end.re, 45.1);
        d = AddNode(nodes, start.re, 45.1);
        SPolygon rings;
        rings.Add(MakeRing({a, b, c, d}));
        model.Add(rings);
        body = model.High();
        auto along = [&](double t) {
            return test::P(start.re + t * (end.re - start.re), start.im + t * (end.im - start.im));
        };
        EXPECT_TRUE(AddNodeOnEdge(a, b, body, 1, 1, nodes, model, along(0.3)));
        p = nodes.High();
        EXPECT_TRUE(AddNodeOnEdge(p, b, body, 1, 1, nodes, model, along(0.6)));
        q = nodes.High();
    }
};

// Adds a failure for every ring without area.
void ExpectEveryRingHasArea(const test::FrameModel& m, const std::string& context)
{
    for (int body = 0; body < m.model.Length(); ++body)
        for (int sub = 0; sub < m.model[body].Length(); ++sub)
            if (!IsHostRing(body, sub)) {
                EXPECT_FALSE(RingHasNoArea(m.model[body][sub].ring, m.nodes))
                    << context << ": ring " << sub << " of body " << body;
            }
}

TEST(RingsWithoutArea, NodesOnASlopedEdgeNeverFormARing)
{
    for (int step = 0; step < 300; ++step) {
        const double degrees = -35.0 + step * 70.0 / 299.0;
        const std::string slope = "slope " + std::to_string(degrees);
        {
            // Chords along the edge would cut off the edge's nodes alone.
            SlopedQuad m(degrees);
            const std::pair<int, int> chords[] = {{m.a, m.q}, {m.p, m.b}, {m.a, m.b}};
            for (auto [from, to] : chords) {
                int id = 0;
                EXPECT_FALSE(DividePolygon(from, to, m.body, id, m.nodes, m.model)) << slope;
            }
        }
        {
            // Deleting C leaves a triangle-like ring; deleting D as well
            // would leave the edge's four nodes alone.
            SlopedQuad m(degrees);
            ASSERT_TRUE(DeleteNode(m.c, m.body, m.model, m.nodes)) << slope;
            const AllSpolygon model = CopyAllSpolygon(m.model);
            const Tnodes nodes = CopyNodes(m.nodes);
            EXPECT_FALSE(DeleteNode(m.d - 1, m.body, m.model, m.nodes)) << slope;
            EXPECT_EQ(m.model[m.body][0].ring, model[m.body][0].ring) << slope;
            EXPECT_TRUE(m.nodes == nodes) << slope;
        }
        {
            // Coupling D into A is sound; coupling C into B then would leave
            // the edge's nodes alone, whether the move is checked or not.
            SlopedQuad m(degrees);
            m.nodes[m.d].x = m.nodes[m.a].x;
            m.nodes[m.d].y = m.nodes[m.a].y;
            ASSERT_TRUE(CheckMovedNodes({m.d}, m.body, m.model, 0, m.nodes)) << slope;
            ASSERT_TRUE(MergeNodes(m.d, m.a, m.body, m.nodes, m.model, m.body)) << slope;
            m.nodes[m.c].x = m.nodes[m.b].x;
            m.nodes[m.c].y = m.nodes[m.b].y;
            EXPECT_FALSE(CheckMovedNodes({m.c}, m.body, m.model, 0, m.nodes)) << slope;
            EXPECT_FALSE(MergeNodes(m.c, m.b, m.body, m.nodes, m.model, m.body)) << slope;
        }
    }
}

TEST(RingsWithoutArea, NewRingsAlongALineAreRefused)
{
    for (int step = 0; step < 100; ++step) {
        const double slope = -0.8 + step * 0.016;
        auto on = [slope](double x) { return test::P(x, 25.0 + slope * (x - 50.0)); };
        test::FrameModel m;
        arofcomplexM points{on(20.1), on(35.3), on(61.7)};
        EXPECT_FALSE(AddPolygon(points, m.model, m.nodes)) << "slope " << slope;
        ExpectEveryRingHasArea(m, "AddPolygon");
    }
}

// Deleting N makes A-B the new edge of the middle ring, and it crosses the
// inner edge D-E, which the old test skipped as not free.
TEST(DeleteNode, AShortcutAcrossAnInnerEdgeIsRefused)
{
    Tnodes nodes;
    AllSpolygon model;
    BuildFrameModel(nodes, model, {}, false, 600, 0, 700, 0);
    const int a = AddNode(nodes, 300, 400), n = AddNode(nodes, 100, 200), b = AddNode(nodes, 400, 250),
              c = AddNode(nodes, 600, 300), d = AddNode(nodes, 350, 300), e = AddNode(nodes, 320, 380),
              x = AddNode(nodes, 350, 100), y = AddNode(nodes, 600, 500);
    SPolygon rings;
    rings.Add(MakeRing({c, b, n, x}));
    rings.Add(MakeRing({a, n, b, c, d, e}));
    rings.Add(MakeRing({e, d, c, y}));
    model.Add(rings);
    UpdateBodySharing(1, model, nodes);
    const TModelArea area{0, 0, 700, 600};
    ASSERT_TRUE(CheckModelInvariants(model, nodes, &area).empty());
    ASSERT_TRUE(test::RingGeometryFaults(model, nodes).empty());

    const AllSpolygon modelBefore = CopyAllSpolygon(model);
    const Tnodes nodesBefore = CopyNodes(nodes);
    EXPECT_FALSE(DeleteNode(n, 1, model, nodes));
    EXPECT_TRUE(nodes == nodesBefore);
    ASSERT_EQ(model.Length(), modelBefore.Length());
    for (int sub = 0; sub < 3; ++sub)
        EXPECT_EQ(model[1][sub].ring, modelBefore[1][sub].ring) << "ring " << sub;
}

} // namespace
} // namespace lp
