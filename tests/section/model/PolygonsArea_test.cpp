#include "section/model/Polygons.h"

#include "ModelFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace lp {
namespace {

using test::AddNode;
using test::FrameModel;
using test::MakeRing;
using test::P;

// The host ring is its outline followed by the same nodes in reverse.
void ExpectHostLayout(const arofintM& ring, const arofintM& outline)
{
    arofintM expected = outline;
    expected.Add(outline[0]);
    for (int i = outline.High(); i >= 1; --i)
        expected.Add(outline[i]);
    EXPECT_EQ(ring, expected);
}

void ExpectAt(const Tnode& node, double x, double y)
{
    EXPECT_DOUBLE_EQ(node.x, x);
    EXPECT_DOUBLE_EQ(node.y, y);
}

// A 100 x 50 frame (top at 0) with flat surface nodes 4 (75), 5 (50), 6 (25)
// on its host ring.
FrameModel SurfaceFrame()
{
    FrameModel m;
    AddNode(m.nodes, 75, 0, bkSurface);
    AddNode(m.nodes, 50, 0, bkSurface);
    AddNode(m.nodes, 25, 0, bkSurface);
    m.model[0][0].ring = {0, 1, 2, 3, 4, 5, 6, 0, 6, 5, 4, 3, 2, 1};
    return m;
}

// --- BuildFrameModel ------------------------------------------------------------

TEST(BuildFrameModel, WithoutProfileFourCornersAndTheFoldedRing)
{
    Tnodes nodes;
    AllSpolygon model;
    AddNode(nodes, 7, 7); // whatever the arrays held is replaced
    model.SetLength(3);
    EXPECT_EQ(BuildFrameModel(nodes, model, {P(0, 5), P(100, 5)}, false, 50, 10, 100, 0), 4);
    ASSERT_EQ(nodes.Length(), 4);
    ExpectAt(nodes[0], 0, 10);
    ExpectAt(nodes[1], 0, 50);
    ExpectAt(nodes[2], 100, 50);
    ExpectAt(nodes[3], 100, 10);
    const int32_t borders[] = {bkLeft, bkBottomLeft, bkBottomRight, bkRight};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(nodes[i].border, borders[i]);
        EXPECT_EQ(nodes[i].fixed, 0);
        EXPECT_EQ(nodes[i].sharing, 0);
    }
    ASSERT_EQ(model.Length(), 1);
    ASSERT_EQ(model[0].Length(), 1);
    EXPECT_EQ(model[0][0].ring, arofintM({0, 1, 2, 3, 0, 3, 2, 1}));
    EXPECT_EQ(model[0][0].params[psId], ParamValue(-1));
}

TEST(BuildFrameModel, ProfileGivesSurfaceNodesFromRightToLeft)
{
    Tnodes nodes;
    AllSpolygon model;
    const arofcomplexM profile{P(-10, 5), P(20, 8), P(50, 2), P(80, 10), P(110, 4)};
    EXPECT_EQ(BuildFrameModel(nodes, model, profile, true, 50, 0, 100, 0), 7);
    ExpectAt(nodes[0], 0, 6); // corners take the profile's depth at the sides
    ExpectAt(nodes[3], 100, 6);
    ExpectAt(nodes[4], 80, 10);
    ExpectAt(nodes[5], 50, 2);
    ExpectAt(nodes[6], 20, 8);
    for (int i = 4; i < 7; ++i)
        EXPECT_EQ(nodes[i].border, bkSurface);
    EXPECT_EQ(model[0][0].ring, arofintM({0, 1, 2, 3, 4, 5, 6, 0, 6, 5, 4, 3, 2, 1}));
}

TEST(BuildFrameModel, ProfilePointsOnTheSidesAreNotSurfaceNodes)
{
    Tnodes nodes;
    AllSpolygon model;
    EXPECT_EQ(BuildFrameModel(nodes, model, {P(0, 3), P(50, 5), P(100, 7)}, true, 50, 0, 100, 0), 5);
    ExpectAt(nodes[0], 0, 3);
    ExpectAt(nodes[3], 100, 7);
    ExpectAt(nodes[4], 50, 5);
}

TEST(BuildFrameModel, ProfileThatMissesTheAreaIsNotUsed)
{
    struct Row {
        const char* name;
        arofcomplexM profile;
    };
    const Row rows[] = {
        {"all left", {P(-30, 4), P(-20, 6), P(-10, 8)}},
        {"all right", {P(110, 4), P(120, 6)}},
        {"empty", {}},
    };
    for (const Row& row : rows) {
        Tnodes nodes;
        AllSpolygon model;
        EXPECT_EQ(BuildFrameModel(nodes, model, row.profile, true, 50, 2, 100, 0), 4) << row.name;
        EXPECT_DOUBLE_EQ(nodes[0].y, 2) << row.name;
        EXPECT_DOUBLE_EQ(nodes[3].y, 2) << row.name;
    }
}

// --- FitBorderNodesToArea ------------------------------------------------------------

TEST(FitBorderNodesToArea, EachKindFollowsItsBorder)
{
    struct Row {
        int32_t border;
        double x, y;
    };
    // A node at (30, 20), area now left -10, right 200, top 0, bottom 80.
    const Row rows[] = {
        {bkNone, 30, 20},         {bkLeft, -10, 20},      {bkBottomLeft, -10, 80}, {bkBottom, 30, 80},
        {bkBottomRight, 200, 80}, {bkRight, 200, 20},     {bkSurface, 30, 20},
    };
    for (const Row& row : rows) {
        Tnodes nodes;
        AddNode(nodes, 30, 20, row.border);
        FitBorderNodesToArea(nodes, 80, 0, 200, -10);
        EXPECT_DOUBLE_EQ(nodes[0].x, row.x) << "border " << row.border;
        EXPECT_DOUBLE_EQ(nodes[0].y, row.y) << "border " << row.border;
    }
}

TEST(FitBorderNodesToArea, WideningMovesTheRightSideOnly)
{
    FrameModel m;
    const int onRight = AddNode(m.nodes, 100, 30, bkRight);
    const int free = AddNode(m.nodes, 90, 30);
    FitBorderNodesToArea(m.nodes, 50, 0, 150, 0);
    ExpectAt(m.nodes[2], 150, 50);
    ExpectAt(m.nodes[3], 150, 0);
    ExpectAt(m.nodes[onRight], 150, 30);
    ExpectAt(m.nodes[free], 90, 30);
    ExpectAt(m.nodes[0], 0, 0);
    ExpectAt(m.nodes[1], 0, 50);
}

// --- ConstrainNodeToBorder -------------------------------------------------------------

TEST(ConstrainNodeToBorder, KeepsAMovedNodeOnItsBorder)
{
    struct Row {
        const char* name;
        int32_t border;
        bool useProfile;
        double x, y;                 // proposed
        double expectedX, expectedY; // kept
        bool onBorder;
    };
    const Row rows[] = {
        {"left edge moved beyond right", bkLeft, false, 150, 20, 0, 20, true},
        {"bottom edge", bkBottom, false, 40, 10, 40, 50, true},
        // Off the corner: a margin of 1e-6 of the edge's length, at least 2e-5.
        {"bottom edge pulled out sideways", bkBottom, false, -30, 70, 1e-4, 50, true},
        {"right edge", bkRight, false, -20, 30, 100, 30, true},
        {"surface without profile", bkSurface, false, 40, 30, 40, 0, true},
        {"surface on the profile", bkSurface, true, 40, 30, 40, 8, true},
        {"surface beyond right, on the profile", bkSurface, true, 130, 30, 100 - 1e-4, 20 - 2e-5, true},
        {"free node below bottom", bkNone, false, 50, 70, 50, 50, false},
        {"free node above top", bkNone, false, 50, -10, 50, -10, false},
        {"bottom-left corner", bkBottomLeft, false, 120, 60, 100, 50, false},
        {"bottom-right corner", bkBottomRight, false, -5, 20, 0, 20, false},
    };
    const arofcomplexM profile{P(0, 0), P(100, 20)};
    for (const Row& row : rows) {
        FrameModel m;
        const int node = AddNode(m.nodes, 50, 25, row.border);
        double x = row.x, y = row.y;
        EXPECT_EQ(ConstrainNodeToBorder(node, profile, row.useProfile, m.nodes, m.model, y, x, 50, 0, 100, 0),
                  row.onBorder)
            << row.name;
        EXPECT_DOUBLE_EQ(x, row.expectedX) << row.name;
        EXPECT_DOUBLE_EQ(y, row.expectedY) << row.name;
    }
}

TEST(ConstrainNodeToBorder, FrameNodesAreLeftAlone)
{
    FrameModel frame;
    for (int node = 0; node < 4; ++node) {
        double x = 250, y = 250;
        EXPECT_FALSE(ConstrainNodeToBorder(node, {}, false, frame.nodes, frame.model, y, x, 50, 0, 100, 0));
        EXPECT_EQ(x, 250);
        EXPECT_EQ(y, 250);
    }
    // Surface nodes built with the frame count as frame nodes too.
    FrameModel surface = SurfaceFrame();
    double x = 60, y = 9;
    const arofcomplexM built{P(0, 0), P(25, 0), P(50, 0), P(75, 0), P(100, 0)};
    EXPECT_FALSE(ConstrainNodeToBorder(5, built, true, surface.nodes, surface.model, y, x, 50, 0, 100, 0));
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 9);
}

TEST(ConstrainNodeToBorder, SurfaceNodeUsesTheTopWhenTheProfileMissesTheArea)
{
    FrameModel m;
    const int node = AddNode(m.nodes, 50, 0, bkSurface);
    double x = 40, y = 30;
    EXPECT_TRUE(
        ConstrainNodeToBorder(node, {P(-30, 9), P(-10, 9)}, true, m.nodes, m.model, y, x, 50, 0, 100, 0));
    EXPECT_EQ(y, 0); // the frame was built without this profile, so its surface is the top
}

// A frame over 0 .. 1000 x 0 .. 100 built on a profile, with a surface node
// added on the surface at (X, Y); returns that node.
int AddSurfaceNode(FrameModel& m, const arofcomplexM& profile, double X, double Y)
{
    BuildFrameModel(m.nodes, m.model, profile, true, 100, 0, 1000, 0);
    const arofintM outline = [&] {
        arofintM ring = m.model[0][0].ring;
        ring.SetLength(ring.Length() / 2);
        return ring;
    }();
    // The surface edge (a, b) of the outline that spans X.
    for (int i = 0; i < outline.Length(); ++i) {
        const int a = outline[i];
        const int b = outline[(i + 1) % outline.Length()];
        if (m.nodes[a].border != bkSurface && a != 3)
            continue;
        if (m.nodes[b].x < X && X < m.nodes[a].x) {
            EXPECT_TRUE(AddNodeOnEdge(a, b, 0, 1, 1, m.nodes, m.model, P(X, Y)));
            const int node = m.nodes.High();
            m.nodes[node].border = GetNodeBorderKind(node, m.model, m.nodes, 100, 0, 1000, 0);
            EXPECT_EQ(m.nodes[node].border, bkSurface);
            return node;
        }
    }
    ADD_FAILURE() << "no surface edge spans x " << X;
    return -1;
}

// Moves the node as the move mode does: constrained, placed, the surface
// sorted; returns whether the move is sound.
bool MoveAlongSurface(FrameModel& m, const arofcomplexM& profile, int node, double X, double Y)
{
    double x = X, y = Y;
    EXPECT_TRUE(ConstrainNodeToBorder(node, profile, true, m.nodes, m.model, y, x, 100, 0, 1000, 0));
    m.nodes[node].x = x;
    m.nodes[node].y = y;
    SortSurfaceNodes(node, true, m.model, m.nodes);
    UpdateBodySharing(0, m.model, m.nodes);
    return CheckMovedNodes({node}, 0, m.model, 0, m.nodes) && CheckModelInvariants(m.model, m.nodes).empty();
}

TEST(ConstrainNodeToBorder, SurfaceNodePassesItsNeighboursAlongTheProfile)
{
    // The surface node is not held between the nodes beside it: the profile
    // bends there, and the drop re-sorts the surface.
    const arofcomplexM profile{P(0, 0), P(500, 10), P(1000, 20)};
    FrameModel m;
    const int node = AddSurfaceNode(m, profile, 250, 5); // between node 0 and the knot at 500
    ASSERT_EQ(node, 5);
    ASSERT_TRUE(MoveAlongSurface(m, profile, node, 750, 40));
    ExpectAt(m.nodes[node], 750, 15);
    ExpectHostLayout(m.model[0][0].ring, {0, 1, 2, 3, node, 4});
}

TEST(ConstrainNodeToBorder, SurfaceNodeTakesTheProfileDepthWhereverItGoes)
{
    const arofcomplexM profile{P(-100, 10), P(200, 20), P(500, 5), P(800, 30), P(1200, 15)};
    FrameModel m;
    const int node = AddSurfaceNode(m, profile, 650, 17.5);
    double x = 300, y = 0;
    EXPECT_TRUE(ConstrainNodeToBorder(node, profile, true, m.nodes, m.model, y, x, 100, 0, 1000, 0));
    EXPECT_DOUBLE_EQ(x, 300);
    EXPECT_DOUBLE_EQ(y, 15);
    ASSERT_TRUE(MoveAlongSurface(m, profile, node, 300, 0));
    // Past the knot at 500: between the knots at 500 and 200 on the outline.
    const int knot500 = 5, knot200 = 6;
    ExpectHostLayout(m.model[0][0].ring, {0, 1, 2, 3, 4, knot500, node, knot200});
    // Short of the corners whatever the cursor does.
    x = -400;
    EXPECT_TRUE(ConstrainNodeToBorder(node, profile, true, m.nodes, m.model, y, x, 100, 0, 1000, 0));
    EXPECT_GT(x, 0);
    EXPECT_LT(x, 0.01);
}

TEST(ConstrainNodeToBorder, StraightEdgesKeepTheOrderOfTheirNodes)
{
    struct Row {
        const char* name;
        int32_t border;
        double first, second; // the two nodes' places along their edge, in outline order
        bool alongX;
        double pushedTo; // the first node proposed beyond the second
    };
    const Row rows[] = {
        {"left edge", bkLeft, 20, 30, false, 45},
        {"right edge", bkRight, 30, 20, false, 10},
        {"bottom edge", bkBottom, 40, 60, true, 90},
        {"top without profile", bkSurface, 60, 40, true, 10},
    };
    for (const Row& row : rows) {
        FrameModel m;
        // Both on the outline, the first next to its corner.
        const auto place = [&](double along) {
            const double x = row.alongX ? along : (row.border == bkLeft ? 0 : 100);
            const double y = row.alongX ? (row.border == bkBottom ? 50 : 0) : along;
            return AddNode(m.nodes, x, y, row.border);
        };
        const int first = place(row.first);
        const int second = place(row.second);
        const int before = row.border == bkLeft ? 0 : row.border == bkBottom ? 1 : row.border == bkRight ? 2 : 3;
        arofintM outline;
        for (int corner = 0; corner < 4; ++corner) {
            outline.Add(corner);
            if (corner == before) {
                outline.Add(first);
                outline.Add(second);
            }
        }
        arofintM ring = outline;
        ring.Add(outline[0]);
        for (int i = outline.High(); i >= 1; --i)
            ring.Add(outline[i]);
        m.model[0][0].ring = ring;
        double x = row.alongX ? row.pushedTo : 0, y = row.alongX ? 0 : row.pushedTo;
        EXPECT_TRUE(ConstrainNodeToBorder(first, {}, false, m.nodes, m.model, y, x, 50, 0, 100, 0)) << row.name;
        const double along = row.alongX ? x : y;
        EXPECT_NEAR(along, row.second, 1e-4) << row.name;
        EXPECT_NE(along, row.second) << row.name;
    }
}

// --- SortSurfaceNodes ----------------------------------------------------------------------

TEST(SortSurfaceNodes, OnlySurfaceNodesWithAProfileReorder)
{
    FrameModel m = SurfaceFrame();
    m.nodes[6].x = 60; // node 6 passes node 5
    const arofintM before = m.model[0][0].ring;
    SortSurfaceNodes(6, false, m.model, m.nodes);
    EXPECT_EQ(m.model[0][0].ring, before);
    m.nodes[6].border = bkNone;
    SortSurfaceNodes(6, true, m.model, m.nodes);
    EXPECT_EQ(m.model[0][0].ring, before);
}

TEST(SortSurfaceNodes, HostRingReorderedAfterANodePassedItsNeighbour)
{
    FrameModel m = SurfaceFrame();
    m.nodes[6].x = 60;
    SortSurfaceNodes(6, true, m.model, m.nodes);
    ExpectHostLayout(m.model[0][0].ring, {0, 1, 2, 3, 4, 6, 5});
}

TEST(SortSurfaceNodes, RingStartingAtTheNodeLeavesThePassedNodeOut)
{
    // A ring under the surface from node 6 (25) to node 4 (75).
    FrameModel m = SurfaceFrame();
    const int lowRight = AddNode(m.nodes, 75, 30);
    const int lowLeft = AddNode(m.nodes, 25, 30);
    m.model[0].Add(MakeRing({6, 5, 4, lowRight, lowLeft}));
    m.nodes[6].x = 60;
    SortSurfaceNodes(6, true, m.model, m.nodes);
    EXPECT_TRUE(test::SameCycle(m.model[0][1].ring, {4, lowRight, lowLeft, 6}));
}

TEST(SortSurfaceNodes, RingStartingAtTheNodeTakesInTheNodesItNowSpans)
{
    // A ring under the surface from node 5 (50) to node 4 (75); node 5 moves
    // past node 6 (25), which then lies above the ring.
    FrameModel m = SurfaceFrame();
    const int lowRight = AddNode(m.nodes, 75, 30);
    const int lowLeft = AddNode(m.nodes, 50, 30);
    m.model[0].Add(MakeRing({5, 4, lowRight, lowLeft}));
    m.nodes[5].x = 10;
    SortSurfaceNodes(5, true, m.model, m.nodes);
    ExpectHostLayout(m.model[0][0].ring, {0, 1, 2, 3, 4, 6, 5});
    EXPECT_TRUE(test::SameCycle(m.model[0][1].ring, {4, lowRight, lowLeft, 5, 6}));
}

TEST(SortSurfaceNodes, RingEndingAtTheNodeIsWalkedBackwards)
{
    // The ring's surface stretch runs 6, 5, 4 and ends at the moved node 4.
    FrameModel m = SurfaceFrame();
    const int lowRight = AddNode(m.nodes, 75, 30);
    const int lowLeft = AddNode(m.nodes, 25, 30);
    m.model[0].Add(MakeRing({lowRight, lowLeft, 6, 5, 4}));
    m.nodes[4].x = 40;
    SortSurfaceNodes(4, true, m.model, m.nodes);
    ExpectHostLayout(m.model[0][0].ring, {0, 1, 2, 3, 5, 4, 6});
    EXPECT_TRUE(test::SameCycle(m.model[0][1].ring, {4, lowRight, lowLeft, 6}));
}

TEST(SortSurfaceNodes, NodeMovingWithinAStretchKeepsTheRing)
{
    // Both neighbours of node 5 are on the surface and it passes neither.
    FrameModel m = SurfaceFrame();
    const int lowRight = AddNode(m.nodes, 75, 30);
    const int lowLeft = AddNode(m.nodes, 25, 30);
    m.model[0].Add(MakeRing({6, 5, 4, lowRight, lowLeft}));
    m.nodes[5].x = 40;
    SortSurfaceNodes(5, true, m.model, m.nodes);
    ExpectHostLayout(m.model[0][0].ring, {0, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(m.model[0][1].ring, arofintM({6, 5, 4, lowRight, lowLeft})); // unchanged
}

TEST(SortSurfaceNodes, NodeInsideAStretchPassingANeighbourLeavesTheRing)
{
    // Regression: a node inside a ring's surface stretch that passed a
    // neighbour left that ring holding a node twice or losing one.
    for (double x : {80.0, 10.0}) {
        FrameModel m = SurfaceFrame();
        const int lowRight = AddNode(m.nodes, 75, 30);
        const int lowLeft = AddNode(m.nodes, 25, 30);
        m.model[0].Add(MakeRing({6, 5, 4, lowRight, lowLeft}));
        UpdateBodySharing(0, m.model, m.nodes);
        m.nodes[5].x = x;
        SortSurfaceNodes(5, true, m.model, m.nodes);
        EXPECT_TRUE(test::SameCycle(m.model[0][1].ring, {6, 4, lowRight, lowLeft})) << "x = " << x;
        UpdateBodySharing(0, m.model, m.nodes);
        EXPECT_TRUE(CheckModelInvariants(m.model, m.nodes).empty()) << "x = " << x;
    }
}

TEST(SortSurfaceNodes, ANodeMovingIntoAnotherRingsStretchJoinsIt)
{
    // Node 6 (25) moves to 60, above a ring that runs along the surface from
    // node 5 (50) to node 4 (75) without holding node 6.
    FrameModel m = SurfaceFrame();
    const int lowRight = AddNode(m.nodes, 75, 30);
    const int lowLeft = AddNode(m.nodes, 50, 30);
    m.model[0].Add(MakeRing({5, 4, lowRight, lowLeft}));
    m.nodes[6].x = 60;
    SortSurfaceNodes(6, true, m.model, m.nodes);
    EXPECT_EQ(m.model[0][1].ring, arofintM({5, 6, 4, lowRight, lowLeft}));
}

TEST(SortSurfaceNodes, RingsOfOtherBodiesAreNotTouched)
{
    FrameModel m = SurfaceFrame();
    const int body = m.AddSquare(20, 10, 10);
    const arofintM square = m.model[body][0].ring;
    m.nodes[6].x = 60;
    SortSurfaceNodes(6, true, m.model, m.nodes);
    EXPECT_EQ(m.model[body][0].ring, square);
}

// --- CheckMovedNodes ------------------------------------------------------------------

TEST(CheckMovedNodes, ARingTurnedOverIsRefused)
{
    FrameModel m;
    const int a = AddNode(m.nodes, 10, 20);
    const int b = AddNode(m.nodes, 30, 20);
    const int c = AddNode(m.nodes, 20, 40);
    SPolygon triangle;
    triangle.Add(MakeRing({a, b, c}));
    m.model.Add(triangle);
    const int body = m.model.High();
    ASSERT_TRUE(CheckMovedNodes({c}, body, m.model, 0, m.nodes));
    m.nodes[c].y = 5; // c crosses the edge ab
    for (int mode : {0, 1, 2})
        EXPECT_FALSE(CheckMovedNodes({c}, body, m.model, mode, m.nodes)) << "mode " << mode;
}

TEST(CheckMovedNodes, CrossingsWithinTheBodyCountInModeZeroOnly)
{
    // Two rings joined at node b; c moves into the second ring's triangle.
    FrameModel m;
    const int a = AddNode(m.nodes, 10, 10);
    const int b = AddNode(m.nodes, 30, 10);
    const int c = AddNode(m.nodes, 30, 30);
    const int d = AddNode(m.nodes, 10, 30);
    const int e = AddNode(m.nodes, 50, 10);
    const int f = AddNode(m.nodes, 40, 25);
    SPolygon body;
    body.Add(MakeRing({a, b, c, d}));
    body.Add(MakeRing({b, e, f}));
    m.model.Add(body);
    const int index = m.model.High();
    m.nodes[c].x = 45;
    m.nodes[c].y = 20;
    ASSERT_FALSE(RingIsClockwise(m.model[index][0].ring, m.nodes));
    EXPECT_FALSE(CheckMovedNodes({c}, index, m.model, 0, m.nodes));
    EXPECT_TRUE(CheckMovedNodes({c}, index, m.model, 1, m.nodes));
    EXPECT_TRUE(CheckMovedNodes({c}, index, m.model, 2, m.nodes));
}

// Two squares; node 5 of the first moves to (60, 20), inside the second.
struct CrossingBodies : FrameModel {
    int first = AddSquare(10, 10, 20);  // nodes 4..7
    int second = AddSquare(50, 10, 20); // nodes 8..11
    CrossingBodies()
    {
        nodes[5].x = 60;
        nodes[5].y = 20;
    }
};

TEST(CheckMovedNodes, CrossingAnotherBodyIsRefusedInModesZeroAndOne)
{
    struct Row {
        int mode;
        bool valid;
    };
    const Row rows[] = {{0, false}, {1, false}, {2, true}, {7, true}};
    for (const Row& row : rows) {
        CrossingBodies m;
        EXPECT_EQ(CheckMovedNodes({5}, m.first, m.model, row.mode, m.nodes), row.valid) << "mode " << row.mode;
    }
}

TEST(CheckMovedNodes, OnlyRingsAtListedNodesAreTested)
{
    struct Row {
        arofintM moved;
        bool valid;
    };
    // Node 7 is not at a crossing edge, but its ring now reaches into the
    // second square.
    const Row rows[] = {{{}, true}, {{7}, false}, {{4}, false}, {{7, 5}, false}};
    for (const Row& row : rows) {
        CrossingBodies m;
        EXPECT_EQ(CheckMovedNodes(row.moved, m.first, m.model, 0, m.nodes), row.valid)
            << "moved " << row.moved.Length() << " nodes";
    }
}

TEST(CheckMovedNodes, ModeOneSkipsInnerEdges)
{
    CrossingBodies m;
    m.nodes[5].sharing = nsInner;
    EXPECT_TRUE(CheckMovedNodes({5}, m.first, m.model, 1, m.nodes));
    EXPECT_FALSE(CheckMovedNodes({5}, m.first, m.model, 0, m.nodes));
}

TEST(CheckMovedNodes, ABodyMovedInsideAnotherIsRefused)
{
    FrameModel m;
    m.AddSquare(10, 5, 40);
    const int small = m.AddSquare(60, 10, 10); // nodes 8..11
    ASSERT_TRUE(CheckMovedNodes({8, 9, 10, 11}, small, m.model, 2, m.nodes));
    for (int node = 8; node <= 11; ++node)
        m.nodes[node].x -= 40; // now within 20..30, inside the first square
    for (int mode : {0, 1, 2})
        EXPECT_FALSE(CheckMovedNodes({8, 9, 10, 11}, small, m.model, mode, m.nodes)) << "mode " << mode;
}

// A triangle S, a, b left of a square; the triangle's S is the square's
// top-left corner, or with `apart` a node of its own at the same place (as
// uncoupling leaves it, the two rings then being two bodies). Moving a and b
// into the square pushes the triangle into it without crossing an edge.
struct TriangleBesideSquare : FrameModel {
    int a = 0, b = 0, triangleBody = 0;

    explicit TriangleBesideSquare(bool apart)
    {
        const int square = AddSquare(40, 10, 20); // nodes 4..7, top-left 4 at (40, 10)
        const int s = apart ? AddNode(nodes, 40, 10) : 4;
        a = AddNode(nodes, 30, 20);
        b = AddNode(nodes, 20, 5);
        Polygon triangle = MakeRing({s, a, b});
        if (apart) {
            SPolygon body;
            body.Add(triangle);
            model.Add(body);
            triangleBody = model.High();
        } else {
            model[square].Add(triangle);
            triangleBody = square;
        }
        UpdateBodySharing(triangleBody, model, nodes);
        EXPECT_FALSE(RingIsClockwise(triangle.ring, nodes));
    }

    void PushIn()
    {
        nodes[a].x = 50;
        nodes[a].y = 14;
        nodes[b].x = 55;
        nodes[b].y = 25;
    }
};

TEST(CheckMovedNodes, ARingPushedIntoANeighbourAtOnePlaceIsRefused)
{
    for (bool apart : {false, true}) {
        TriangleBesideSquare m(apart);
        ASSERT_TRUE(CheckMovedNodes({m.a, m.b}, m.triangleBody, m.model, 0, m.nodes)) << "apart " << apart;
        test::ExpectSound(m);
        m.PushIn();
        ASSERT_FALSE(RingIsClockwise(m.model[m.triangleBody].Last().ring, m.nodes));
        EXPECT_FALSE(CheckMovedNodes({m.a, m.b}, m.triangleBody, m.model, 0, m.nodes)) << "apart " << apart;
        EXPECT_FALSE(CheckMovedNodes({m.a}, m.triangleBody, m.model, 0, m.nodes)) << "apart " << apart;
    }
}

TEST(CheckMovedNodes, ARingFlattenedOntoALineIsRefused)
{
    FrameModel m;
    const int a = AddNode(m.nodes, 10.3, 10.1), b = AddNode(m.nodes, 30.7, 13.9), c = AddNode(m.nodes, 20, 30);
    SPolygon body;
    body.Add(MakeRing({a, b, c}));
    m.model.Add(body);
    ASSERT_TRUE(CheckMovedNodes({c}, m.model.High(), m.model, 0, m.nodes));
    // c moves onto the line a-b, where rounding leaves it a hair off.
    for (int step = 1; step < 50; ++step) {
        const double t = step / 50.0;
        m.nodes[c].x = 10.3 + t * (30.7 - 10.3);
        m.nodes[c].y = 10.1 + t * (13.9 - 10.1);
        for (int mode : {0, 1, 2})
            EXPECT_FALSE(CheckMovedNodes({c}, m.model.High(), m.model, mode, m.nodes)) << "mode " << mode << ", " << t;
    }
}

// --- ChangeModelArea -----------------------------------------------------------------

// A surface rising and falling between x = -100 and 200. Over 0..100 it
// gives surface nodes at 75, 50 and 25; over 0..150 one more at 120; over
// 0..55 only those at 50 and 25.
arofcomplexM Relief()
{
    return {P(-100, 5), P(25, 10), P(50, 0), P(75, 10), P(120, 4), P(200, 5)};
}

// The relief frame over 0..100 (top 0, bottom 50, nodes 0..6) with a left,
// a bottom and a right border node, a surface node at x = 60 and a square
// body (nodes 11..14).
struct ReliefModel {
    Tnodes nodes;
    AllSpolygon model;
    int left = 0, bottom = 0, right = 0, surface = 0, square = 0;

    ReliefModel()
    {
        BuildFrameModel(nodes, model, Relief(), true, 50, 0, 100, 0);
        left = AddNode(nodes, 0, 20, bkLeft);           // 7
        bottom = AddNode(nodes, 40, 50, bkBottom);      // 8
        right = AddNode(nodes, 100, 30, bkRight);       // 9
        surface = AddNode(nodes, 60, 4, bkSurface);     // 10
        model[0][0].ring = {0, 7, 1, 8, 2, 9, 3, 4, 10, 5, 6, 0, 6, 5, 10, 4, 3, 9, 2, 8, 1, 7};
        const int a = AddNode(nodes, 60, 20);
        const int b = AddNode(nodes, 70, 20);
        const int c = AddNode(nodes, 70, 30);
        const int d = AddNode(nodes, 60, 30);
        SPolygon body;
        body.Add(MakeRing({a, b, c, d}));
        model.Add(body);
        square = model.High();
    }
};

TEST(ChangeModelArea, ASideNodeAboveTheNewCornerIsRefused)
{
    // The right top corner lies at depth 6.7 over 0..100 and 9.3 over 0..80;
    // a right-edge node at depth 7 would be left above it.
    ReliefModel m;
    const int high = AddNode(m.nodes, 100, 7, bkRight);
    m.model[0][0].ring = {0, 7, 1, 8, 2, 9, high, 3, 4, 10, 5, 6, 0, 6, 5, 10, 4, 3, high, 9, 2, 8, 1, 7};
    UpdateBodySharing(0, m.model, m.nodes);
    ASSERT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
    EXPECT_FALSE(ChangeModelArea(Relief(), true, m.model, m.nodes, 50, 0, 80, 0, 50, 0, 100, 0));
    ReliefModel wider;
    EXPECT_TRUE(ChangeModelArea(Relief(), true, wider.model, wider.nodes, 50, 0, 110, 0, 50, 0, 100, 0));
}

TEST(ChangeModelArea, WithoutProfileNothingChanges)
{
    ReliefModel m;
    const Tnodes nodes = m.nodes;
    const AllSpolygon model = m.model;
    ChangeModelArea(Relief(), false, m.model, m.nodes, 60, 0, 150, 0, 50, 0, 100, 0);
    EXPECT_EQ(m.nodes, nodes);
    ASSERT_EQ(m.model.Length(), model.Length());
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub)
            EXPECT_EQ(m.model[body][sub].ring, model[body][sub].ring);
}

TEST(ChangeModelArea, WideningAddsFrameNodesAndRenumbersTheRest)
{
    ReliefModel m;
    ChangeModelArea(Relief(), true, m.model, m.nodes, 60, 0, 150, 0, 50, 0, 100, 0);
    // The new frame has one surface node more (x = 120): every later node moves up one.
    ASSERT_EQ(m.nodes.Length(), 16);
    ExpectAt(m.nodes[0], 0, 9);
    ExpectAt(m.nodes[1], 0, 60);
    ExpectAt(m.nodes[2], 150, 60);
    ExpectAt(m.nodes[3], 150, 4.375);
    ExpectAt(m.nodes[4], 120, 4);
    ExpectAt(m.nodes[7], 25, 10);
    ExpectAt(m.nodes[8], 0, 20);    // left
    ExpectAt(m.nodes[11], 60, 4);   // surface
    ExpectAt(m.nodes[12], 60, 20);  // square
    ExpectHostLayout(m.model[0][0].ring, {0, 8, 1, 9, 2, 10, 3, 4, 5, 11, 6, 7});
    EXPECT_EQ(m.model[m.square][0].ring, arofintM({12, 13, 14, 15}));
    for (int node : m.model[0][0].ring)
        EXPECT_EQ(m.nodes[node].sharing, nsOutlineOnce);

    // The section chart then fits the border nodes: the right side follows
    // the new bound, nodes off the border stay.
    FitBorderNodesToArea(m.nodes, 60, 0, 150, 0);
    ExpectAt(m.nodes[10], 150, 30);
    ExpectAt(m.nodes[9], 40, 60);
    ExpectAt(m.nodes[12], 60, 20);
}

TEST(ChangeModelArea, NarrowingRemovesFrameNodesAndRenumbersTheRest)
{
    ReliefModel m;
    m.nodes[m.surface].x = 40; // on the relief between 25 and 50
    m.nodes[m.surface].y = 4;
    m.model[0][0].ring = {0, 7, 1, 8, 2, 9, 3, 4, 5, 10, 6, 0, 6, 10, 5, 4, 3, 9, 2, 8, 1, 7};
    ChangeModelArea(Relief(), true, m.model, m.nodes, 50, 0, 55, 0, 50, 0, 100, 0);
    ASSERT_EQ(m.nodes.Length(), 14);
    ExpectAt(m.nodes[3], 55, 2);
    ExpectAt(m.nodes[4], 50, 0);
    ExpectAt(m.nodes[5], 25, 10);
    ExpectAt(m.nodes[9], 40, 4);
    ExpectHostLayout(m.model[0][0].ring, {0, 6, 1, 7, 2, 8, 3, 4, 9, 5});
    EXPECT_EQ(m.model[m.square][0].ring, arofintM({10, 11, 12, 13}));
}

// A node added on the frame's edges keeps its depth (side edges) or its
// distance (bottom edge, surface) while the corners move: an area that
// would leave it on or outside a side is refused, with or without profile,
// and the model stays as it was.
TEST(ChangeModelArea, AnAreaThatWouldLeaveANodeOfTheFrameOutsideIsRefused)
{
    struct TRow {
        const char* Name;
        double Bottom, Right, Left;
    };
    // Relief model over 0..100 x 0..50: left-edge node at depth 20, bottom
    // node at x 40, right-edge node at depth 30, surface node at x 60.
    const TRow refused[] = {{"bottom above the right-edge node", 29, 100, 0},
                            {"bottom onto the right-edge node", 30, 100, 0},
                            {"right onto the surface node", 50, 60, 0},
                            {"right short of the surface node", 50, 55, 0},
                            {"left past the bottom node", 50, 100, 45}};
    for (const TRow& row : refused) {
        SCOPED_TRACE(row.Name);
        ReliefModel m;
        const Tnodes nodes = m.nodes;
        const arofintM host = m.model[0][0].ring;
        EXPECT_FALSE(ChangeModelArea(Relief(), true, m.model, m.nodes, row.Bottom, 0, row.Right, row.Left, 50, 0, 100, 0));
        EXPECT_EQ(m.nodes, nodes);
        EXPECT_EQ(m.model[0][0].ring, host);
    }
    ReliefModel m;
    EXPECT_TRUE(ChangeModelArea(Relief(), true, m.model, m.nodes, 31, 0, 71, 39, 50, 0, 100, 0));

    // Without a profile the four corners are the frame's own nodes.
    Tnodes nodes;
    AllSpolygon model;
    BuildFrameModel(nodes, model, {}, false, 50, 0, 100, 0);
    const int edge = AddNode(nodes, 100, 30, bkRight);
    model[0][0].ring = {0, 1, 2, edge, 3, 0, 3, edge, 2, 1};
    EXPECT_FALSE(ChangeModelArea({}, false, model, nodes, 30, 0, 100, 0, 50, 0, 100, 0));
    EXPECT_TRUE(ChangeModelArea({}, false, model, nodes, 31, 0, 100, 0, 50, 0, 100, 0));
}

TEST(GetFrameEdgeNodeExtent, CountsTheNodesAddedOnTheEdgesByTheirEdge)
{
    ReliefModel m; // frame nodes 0..6, then left (0, 20), bottom (40, 50), right (100, 30), surface (60, 4)
    double minX = 0, maxX = 0, maxY = 0;
    GetFrameEdgeNodeExtent(minX, maxX, m.nodes, 7, maxY);
    EXPECT_EQ(minX, 40);
    EXPECT_EQ(maxX, 60);
    EXPECT_EQ(maxY, 30);
    // The frame's own nodes and the inner nodes do not count.
    GetFrameEdgeNodeExtent(minX, maxX, m.nodes, 11, maxY);
    EXPECT_EQ(minX, 1e30);
    EXPECT_EQ(maxX, -1e30);
    EXPECT_EQ(maxY, -1e30);
}

TEST(ChangeModelArea, HostBodyRingsThroughFrameSurfaceNodesAreRenumbered)
{
    // Regression: a host-body ring through the old frame's own surface nodes
    // kept their old indices, which then named other nodes of the new frame.
    ReliefModel m;
    const int low = AddNode(m.nodes, 50, 20); // 15
    m.model[0].Add(MakeRing({0, 6, 5, low, m.left}));
    UpdateBodySharing(0, m.model, m.nodes);
    ASSERT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
    ASSERT_TRUE(ChangeModelArea(Relief(), true, m.model, m.nodes, 50, 0, 150, 0, 50, 0, 100, 0));
    // Over 0..150 the frame's surface nodes are 120 (4), 75 (5), 50 (6), 25 (7).
    EXPECT_EQ(m.model[0][1].ring, arofintM({0, 7, 6, low + 1, m.left + 1}));
    ExpectAt(m.nodes[7], 25, 10);
    ExpectAt(m.nodes[6], 50, 0);
    EXPECT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
}

TEST(ChangeModelArea, HostBodyRingsFollowTheNewSurface)
{
    // A ring under the surface from x = 40 to x = 60 that passes the frame's
    // surface node at 50 (node 5 over 0..100, node 6 over 0..150).
    ReliefModel m;
    const int leftTop = AddNode(m.nodes, 40, 4, bkSurface); // 15
    const int lowRight = AddNode(m.nodes, 60, 30);          // 16
    const int lowLeft = AddNode(m.nodes, 40, 30);           // 17
    m.model[0][0].ring = {0, 7, 1, 8, 2, 9, 3, 4, 10, 5, 15, 6, 0, 6, 15, 5, 10, 4, 3, 9, 2, 8, 1, 7};
    m.model[0].Add(MakeRing({leftTop, 5, m.surface, lowRight, lowLeft}));
    ChangeModelArea(Relief(), true, m.model, m.nodes, 50, 0, 150, 0, 50, 0, 100, 0);
    ExpectHostLayout(m.model[0][0].ring, {0, 8, 1, 9, 2, 10, 3, 4, 5, 11, 6, 16, 7});
    EXPECT_TRUE(test::SameCycle(m.model[0][1].ring, {11, 17, 18, 16, 6}));
    EXPECT_EQ(m.nodes[11].sharing, nsOutlineShared);
    EXPECT_EQ(m.nodes[6].sharing, nsInner); // now under both edges of the refilled ring
    EXPECT_EQ(m.nodes[17].sharing, nsOutlineOnce);
}

// --- The frame wherever it stands in the node table -------------------------------------

// The relief model with a host-body ring along the surface through the
// frame's surface node at 50 (nodes 15..17): every kind of node the area
// change treats apart.
ReliefModel ReliefWithSurfaceRing()
{
    ReliefModel m;
    const int leftTop = AddNode(m.nodes, 40, 4, bkSurface); // 15
    const int lowRight = AddNode(m.nodes, 58, 30);          // 16, clear of the square
    const int lowLeft = AddNode(m.nodes, 40, 30);           // 17
    m.model[0][0].ring = {0, 7, 1, 8, 2, 9, 3, 4, 10, 5, 15, 6, 0, 6, 15, 5, 10, 4, 3, 9, 2, 8, 1, 7};
    m.model[0].Add(MakeRing({leftTop, 5, m.surface, lowRight, lowLeft}));
    UpdateBodySharing(0, m.model, m.nodes);
    return m;
}

// The model with its node table listed in Order (old indices in their new
// places); the rings name the same nodes.
void Relist(Tnodes& nodes, AllSpolygon& model, const std::vector<int>& order)
{
    std::vector<int32_t> renumbered(order.size());
    Tnodes relisted;
    for (size_t i = 0; i < order.size(); ++i) {
        renumbered[static_cast<size_t>(order[i])] = static_cast<int32_t>(i);
        relisted.Add(nodes[order[i]]);
    }
    for (SPolygon& rings : model)
        for (Polygon& ring : rings)
            for (int32_t& index : ring.ring)
                index = renumbered[static_cast<size_t>(index)];
    nodes = relisted;
}

// Each ring as the points it runs through.
std::vector<std::vector<std::pair<double, double>>> PointsOfRings(const AllSpolygon& model, const Tnodes& nodes)
{
    std::vector<std::vector<std::pair<double, double>>> points;
    for (const SPolygon& rings : model)
        for (const Polygon& ring : rings) {
            points.emplace_back();
            for (int node : ring.ring)
                points.back().emplace_back(nodes[node].x, nodes[node].y);
        }
    return points;
}

void ExpectSameModel(const AllSpolygon& model, const Tnodes& nodes, const AllSpolygon& expectedModel,
                     const Tnodes& expectedNodes)
{
    EXPECT_EQ(nodes, expectedNodes);
    ASSERT_EQ(model.Length(), expectedModel.Length());
    for (int body = 0; body < model.Length(); ++body) {
        ASSERT_EQ(model[body].Length(), expectedModel[body].Length()) << "body " << body;
        for (int sub = 0; sub < model[body].Length(); ++sub)
            EXPECT_EQ(model[body][sub].ring, expectedModel[body][sub].ring) << "ring " << sub << " of body " << body;
    }
}

struct TAreaChange {
    const char* Name;
    double Bottom, Right, Left;
};

// Applying the same area again, widening past a profile point, narrowing
// onto one, deepening.
const TAreaChange AreaChanges[] = {{"the same area", 50, 100, 0},
                                   {"wider", 50, 150, 0},
                                   {"narrower", 50, 75, 0},
                                   {"deeper", 60, 100, 0}};

// Regression: the area change took the first nodes of the table for the
// frame, so a section whose surface nodes were listed after a body's nodes
// lost a corner of that body to the new frame's surface node, and the host
// ring ran through a doubled surface node. The frame is now found by its
// nodes' kinds and places: the result is the one the frame-first listing
// gives.
TEST(ChangeModelArea, TheFrameIsFoundWhereverItsSurfaceNodesAreListed)
{
    struct TListing {
        const char* Name;
        std::vector<int> Order;
    };
    // Frame nodes 0..6 (surface 4, 5, 6), left 7, bottom 8, right 9,
    // surface 10, square 11..14, surface ring nodes 15..17.
    const TListing listings[] = {
        {"the frame's surface nodes last", {0, 1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 4, 5, 6}},
        {"after the square's first node", {0, 1, 2, 3, 7, 8, 9, 10, 11, 6, 5, 4, 12, 13, 14, 15, 16, 17}},
        {"one of them after the bodies", {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 5}},
    };
    for (const TAreaChange& change : AreaChanges) {
        ReliefModel expected = ReliefWithSurfaceRing();
        ASSERT_TRUE(CheckModelInvariants(expected.model, expected.nodes).empty());
        const bool accepted = ChangeModelArea(Relief(), true, expected.model, expected.nodes, change.Bottom, 0,
                                              change.Right, change.Left, 50, 0, 100, 0);
        ASSERT_TRUE(accepted) << change.Name;
        for (const TListing& listing : listings) {
            SCOPED_TRACE(std::string(change.Name) + ", " + listing.Name);
            ReliefModel m = ReliefWithSurfaceRing();
            Relist(m.nodes, m.model, listing.Order);
            ASSERT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
            EXPECT_TRUE(ChangeModelArea(Relief(), true, m.model, m.nodes, change.Bottom, 0, change.Right,
                                        change.Left, 50, 0, 100, 0));
            ExpectSameModel(m.model, m.nodes, expected.model, expected.nodes);
            EXPECT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
        }
    }
}

// Any listing of the nodes (the corners first, as every model has them)
// gives the same rings through the same points.
TEST(ChangeModelArea, AnyListingOfTheNodesGivesTheSameRings)
{
    std::mt19937 random(2461);
    for (int trial = 0; trial < 40; ++trial) {
        const TAreaChange& change = AreaChanges[trial % std::size(AreaChanges)];
        ReliefModel expected = ReliefWithSurfaceRing();
        ASSERT_TRUE(ChangeModelArea(Relief(), true, expected.model, expected.nodes, change.Bottom, 0, change.Right,
                                    change.Left, 50, 0, 100, 0));
        ReliefModel m = ReliefWithSurfaceRing();
        std::vector<int> order(static_cast<size_t>(m.nodes.Length()));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin() + 4, order.end(), random);
        Relist(m.nodes, m.model, order);
        SCOPED_TRACE(std::string(change.Name) + ", trial " + std::to_string(trial));
        EXPECT_TRUE(ChangeModelArea(Relief(), true, m.model, m.nodes, change.Bottom, 0, change.Right, change.Left,
                                    50, 0, 100, 0));
        EXPECT_EQ(PointsOfRings(m.model, m.nodes), PointsOfRings(expected.model, expected.nodes));
        EXPECT_EQ(m.nodes.Length(), expected.nodes.Length());
        EXPECT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
    }
}

TEST(PutFrameNodesFirst, RenumbersTheRingsAndChangesNothingElse)
{
    const ReliefModel frameFirst = ReliefWithSurfaceRing();
    ReliefModel m = ReliefWithSurfaceRing();
    Relist(m.nodes, m.model, {0, 1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 6, 4, 5});
    EXPECT_EQ(FindFrameNodes(Relief(), true, m.model, m.nodes, 50, 0, 100, 0), arofintM({0, 1, 2, 3, 16, 17, 15}));
    EXPECT_EQ(PutFrameNodesFirst(Relief(), true, m.model, m.nodes, 50, 0, 100, 0), 7);
    ExpectSameModel(m.model, m.nodes, frameFirst.model, frameFirst.nodes);
    // Listed in order already: nothing moves.
    EXPECT_EQ(PutFrameNodesFirst(Relief(), true, m.model, m.nodes, 50, 0, 100, 0), 7);
    ExpectSameModel(m.model, m.nodes, frameFirst.model, frameFirst.nodes);
    // Without the profile the corners alone are the frame.
    EXPECT_EQ(FindFrameNodes(Relief(), false, m.model, m.nodes, 50, 0, 100, 0), arofintM({0, 1, 2, 3}));
}

TEST(FindFrameNodes, AFrameNodeTheModelLacksIsNotFound)
{
    // A surface node of the model at another x, where the profile gives
    // one at 75, is not the frame's.
    ReliefModel m;
    m.nodes[4].x = 80;
    m.nodes[4].y = 9;
    EXPECT_EQ(FindFrameNodes(Relief(), true, m.model, m.nodes, 50, 0, 100, 0), arofintM({0, 1, 2, 3, -1, 5, 6}));
    EXPECT_EQ(PutFrameNodesFirst(Relief(), true, m.model, m.nodes, 50, 0, 100, 0), 6);
    ExpectAt(m.nodes[6], 80, 9); // the first of the other nodes
    EXPECT_TRUE(CheckModelInvariants(m.model, m.nodes).empty());
}

} // namespace
} // namespace lp
