#include "section/model/Polygons.h"

#include "ModelFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

using test::AddNode;
using test::FrameModel;
using test::MakeRing;
using test::P;

// --- Distances ---------------------------------------------------------------

TEST(DistanceToSegment, Cases)
{
    struct Row {
        const char* name;
        complexM a, b, p;
        double kx, ky;
        double expected;
    };
    const Row rows[] = {
        {"beside in x: perpendicular", P(0, 0), P(10, 0), P(5, 3), 1, 1, 3},
        {"beside in y only", P(0, 0), P(0, 10), P(4, 5), 1, 1, 4},
        {"beyond the end counts double", P(0, 0), P(10, 0), P(13, 4), 1, 1, 10},
        {"beyond the start counts double", P(0, 0), P(10, 0), P(-3, 4), 1, 1, 10},
        {"level with an end is beyond", P(0, 0), P(10, 0), P(10, 3), 1, 1, 6},
        {"oblique, beside", P(0, 0), P(10, 10), P(6, 4), 1, 1, std::sqrt(2.0)},
        {"oblique, level with both ends but beside", P(0, 0), P(10, 10), P(10, 0), 1, 1, std::sqrt(50.0)},
        // Within the segment's span in y, but the foot of the perpendicular
        // falls outside the segment: measured to the end, not to the line.
        {"oblique, beyond the start within the span in y", P(0, 0), P(10, 10), P(-8, 1), 1, 1,
         2 * std::sqrt(65.0)},
        {"flat edge, beyond the end within the span in y", P(100, 40), P(300, 42), P(340, 41.75), 1, 1,
         2 * std::sqrt(40.0 * 40.0 + 0.25 * 0.25)},
        {"without length", P(5, 5), P(5, 5), P(8, 9), 1, 1, 10},
        {"scaled perpendicular", P(0, 0), P(10, 0), P(5, 3), 2, 3, 9},
        {"scaled beyond", P(0, 0), P(10, 0), P(13, 4), 2, 3, 2 * std::sqrt(36.0 + 144.0)},
    };
    for (const Row& row : rows) {
        EXPECT_NEAR(DistanceToSegment(row.kx, row.ky, row.a, row.b, row.p), row.expected, 1e-9) << row.name;
        EXPECT_NEAR(DistanceToSegment(row.kx, row.ky, row.b, row.a, row.p), row.expected, 1e-9)
            << row.name << " (reversed)";
    }
}

TEST(ScaledDistance, FactorsMultiplyTheDifferences)
{
    EXPECT_DOUBLE_EQ(PlainDistance(P(0, 0), P(3, 4)), 5);
    EXPECT_DOUBLE_EQ(ScaledDistance(P(0, 0), P(3, 4), 1, 1), 5);
    EXPECT_DOUBLE_EQ(ScaledDistance(P(0, 0), P(3, 4), 2, 1), std::sqrt(52.0));
    EXPECT_DOUBLE_EQ(ScaledDistance(P(3, 4), P(0, 0), 1, 0.5), std::sqrt(13.0));
}

// --- Nearest node ------------------------------------------------------------

TEST(FindNearestNode, EmptyTableGivesNone)
{
    // Guards against reading node 0 of an empty table.
    const Tnodes nodes;
    double plain = 0, scaled = 0;
    EXPECT_EQ(FindNearestNode(P(1, 1), nodes, plain, 1, 1, scaled), -1);
    EXPECT_EQ(plain, 1e30);
    EXPECT_EQ(scaled, 1e30);
}

TEST(FindNearestNode, TiesKeepTheFirst)
{
    Tnodes nodes;
    AddNode(nodes, 0, 0);
    AddNode(nodes, 20, 0);
    AddNode(nodes, 20, 0);
    double plain = 0, scaled = 0;
    EXPECT_EQ(FindNearestNode(P(19, 0), nodes, plain, 1, 1, scaled), 1);
    EXPECT_EQ(FindNearestNode(P(10, 0), nodes, plain, 1, 1, scaled), 0);
}

TEST(FindNearestNode, ScalingDecidesAndBothDistancesAreReported)
{
    Tnodes nodes;
    AddNode(nodes, 10, 0);
    AddNode(nodes, 0, 5);
    struct Row {
        double kx, ky;
        int expected;
        double plain, scaled;
    };
    const Row rows[] = {
        {1, 1, 1, 5, 5},
        {0.1, 1, 0, 10, 1},
        {1, 3, 0, 10, 10},
    };
    for (const Row& row : rows) {
        double plain = 0, scaled = 0;
        EXPECT_EQ(FindNearestNode(P(0, 0), nodes, plain, row.kx, row.ky, scaled), row.expected) << row.kx;
        EXPECT_DOUBLE_EQ(plain, row.plain) << row.kx;
        EXPECT_DOUBLE_EQ(scaled, row.scaled) << row.kx;
    }
}

TEST(FindNodeWithin, ANodeDraggedOntoACornerIsFoundBesideIt)
{
    // A left-edge node pulled down to the bottom-left corner stops just
    // short of it: the corner would be picked in its place from then on.
    Tnodes nodes;
    AllSpolygon model;
    BuildFrameModel(nodes, model, {}, false, 100, 0, 1000, 0);
    ASSERT_TRUE(AddNodeOnEdge(0, 1, 0, 1, 1, nodes, model, P(0, 30)));
    const int node = nodes.High();
    nodes[node].border = bkLeft;
    double x = 0, y = 100;
    ASSERT_TRUE(ConstrainNodeToBorder(node, {}, false, nodes, model, y, x, 100, 0, 1000, 0));
    EXPECT_LT(100 - y, 1e-3);
    nodes[node].y = y;
    // 0.8 pixels per unit across, 3 down: the limit is 7 pixels.
    EXPECT_EQ(FindNodeWithin(node, nodes, 0.8, 3, 7), 1);
    nodes[node].y = 98; // 6 pixels
    EXPECT_EQ(FindNodeWithin(node, nodes, 0.8, 3, 7), 1);
    nodes[node].y = 97;
    EXPECT_EQ(FindNodeWithin(node, nodes, 0.8, 3, 7), -1);
}

TEST(FindNodeWithin, AnyOtherNodeCountsTheFirstIsReported)
{
    Tnodes nodes;
    AddNode(nodes, 50, 50);
    AddNode(nodes, 10, 10);
    AddNode(nodes, 54, 50); // 4 units right of node 0
    AddNode(nodes, 50, 53); // 3 units below node 0
    EXPECT_EQ(FindNodeWithin(0, nodes, 1, 1, 5), 2);
    EXPECT_EQ(FindNodeWithin(0, nodes, 2, 1, 5), 3); // node 2 is 8 scaled units away now
    EXPECT_EQ(FindNodeWithin(0, nodes, 2, 2, 5), -1);
    EXPECT_EQ(FindNodeWithin(1, nodes, 1, 1, 5), -1); // the node itself does not count
}

// --- Nearest line point and segment -------------------------------------------

line MakeLine(std::initializer_list<complexM> points)
{
    line result;
    result.points = arofcomplexM(points);
    return result;
}

TEST(FindNearestLinePoint, WithoutPointsGivesNoneAndTheStartDistances)
{
    for (const lines& modelLines : {lines{}, lines{MakeLine({})}}) {
        double plain = 0, scaled = 0;
        int lineIndex = 9, pointIndex = 9;
        FindNearestLinePoint(P(3, 4), modelLines, plain, lineIndex, pointIndex, 2, 1, scaled);
        EXPECT_EQ(lineIndex, -1);
        EXPECT_EQ(pointIndex, -1);
        EXPECT_DOUBLE_EQ(plain, std::sqrt(2e10));
        EXPECT_DOUBLE_EQ(scaled, std::sqrt(5e10));
    }
}

TEST(FindNearestLinePoint, OnlyPointsNearerThanTheStartDistance)
{
    struct Row {
        const char* name;
        complexM point;
        int expected;
    };
    const Row rows[] = {
        {"as far as the start", P(1e5, 1e5), -1},
        {"beyond the start", P(2e5, 0), -1},
        {"just nearer", P(1e5, 99999), 0},
    };
    for (const Row& row : rows) {
        double plain = 0, scaled = 0;
        int lineIndex = 9, pointIndex = 9;
        FindNearestLinePoint(P(0, 0), {MakeLine({row.point})}, plain, lineIndex, pointIndex, 2, 1, scaled);
        EXPECT_EQ(lineIndex, row.expected) << row.name;
        EXPECT_EQ(pointIndex, row.expected) << row.name;
    }
}

TEST(FindNearestLinePoint, TiesKeepTheFirstLine)
{
    const lines modelLines{MakeLine({P(0, 0), P(10, 0)}), MakeLine({P(5, 5), P(10, 0)})};
    double plain = 0, scaled = 0;
    int lineIndex = -1, pointIndex = -1;
    FindNearestLinePoint(P(10, 1), modelLines, plain, lineIndex, pointIndex, 1, 1, scaled);
    EXPECT_EQ(lineIndex, 0);
    EXPECT_EQ(pointIndex, 1);
    EXPECT_DOUBLE_EQ(plain, 1);
    EXPECT_DOUBLE_EQ(scaled, 1);
}

TEST(FindNearestLinePoint, ScalingDecides)
{
    const lines modelLines{MakeLine({P(10, 0)}), MakeLine({P(0, 5)})};
    double plain = 0, scaled = 0;
    int lineIndex = -1, pointIndex = -1;
    FindNearestLinePoint(P(0, 0), modelLines, plain, lineIndex, pointIndex, 1, 1, scaled);
    EXPECT_EQ(lineIndex, 1);
    FindNearestLinePoint(P(0, 0), modelLines, plain, lineIndex, pointIndex, 0.1, 1, scaled);
    EXPECT_EQ(lineIndex, 0);
    EXPECT_EQ(pointIndex, 0);
    EXPECT_DOUBLE_EQ(plain, 10);
    EXPECT_DOUBLE_EQ(scaled, 1);
}

TEST(FindNearestLineSegment, WithoutSegmentsGivesNone)
{
    for (const lines& modelLines : {lines{}, lines{MakeLine({P(1, 1)})}}) {
        double distance = 0;
        int lineIndex = 9, segment = 9;
        FindNearestLineSegment(P(1, 1), modelLines, distance, lineIndex, segment, 1, 1);
        EXPECT_EQ(lineIndex, -1);
        EXPECT_EQ(segment, -1);
        EXPECT_EQ(distance, 1e30);
    }
}

TEST(FindNearestLineSegment, NearestSegmentOfAnyLine)
{
    const lines modelLines{MakeLine({P(0, 0), P(10, 0), P(10, 10)}), MakeLine({P(20, 0), P(20, 10)})};
    struct Row {
        complexM cursor;
        int line, segment;
        double distance;
    };
    const Row rows[] = {
        {P(12, 5), 0, 1, 2},
        {P(19, 5), 1, 0, 1},
        {P(5, -3), 0, 0, 3},
    };
    for (const Row& row : rows) {
        double distance = 0;
        int lineIndex = -1, segment = -1;
        FindNearestLineSegment(row.cursor, modelLines, distance, lineIndex, segment, 1, 1);
        EXPECT_EQ(lineIndex, row.line) << row.cursor.re;
        EXPECT_EQ(segment, row.segment) << row.cursor.re;
        EXPECT_NEAR(distance, row.distance, 1e-9) << row.cursor.re;
    }
}

TEST(FindNearestLineSegment, TiesKeepTheFirstLine)
{
    const lines modelLines{MakeLine({P(0, 0), P(10, 0)}), MakeLine({P(0, 0), P(10, 0)})};
    double distance = 0;
    int lineIndex = -1, segment = -1;
    FindNearestLineSegment(P(5, 1), modelLines, distance, lineIndex, segment, 1, 1);
    EXPECT_EQ(lineIndex, 0);
    EXPECT_EQ(segment, 0);
}

// --- Nearest ring edge ----------------------------------------------------------

struct EdgeResult {
    int node = -2;
    int a = -2;
    int b = -2;
    int body = -2;
    bool nearEnd = false;
    double distance = -1;
};

EdgeResult NearestEdge(const Tnodes& nodes, const AllSpolygon& model, const complexM& cursor, double kx = 1,
                       double ky = 1)
{
    EdgeResult r;
    r.nearEnd = true; // so a search that leaves it alone shows
    r.node = FindNearestPolygonEdge(cursor, nodes, model, r.b, r.a, r.body, r.nearEnd, kx, ky, r.distance);
    return r;
}

EdgeResult NearestFreeEdge(const Tnodes& nodes, const AllSpolygon& model, const complexM& cursor, double kx = 1,
                           double ky = 1)
{
    EdgeResult r;
    r.nearEnd = true;
    r.node = FindNearestFreePolygonEdge(cursor, nodes, model, r.b, r.a, r.body, r.nearEnd, kx, ky, r.distance);
    return r;
}

TEST(FindNearestPolygonEdge, EndNodeWithinTwoScaledUnits)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20); // nodes 4 (10,10) 5 (30,10) 6 (30,30) 7 (10,30)
    struct Row {
        const char* name;
        double x;
        int expected;
        bool nearEnd;
    };
    const Row rows[] = {
        {"1.5 from a", 11.5, 4, true},
        {"just under 2 from a", 11.9999, 4, true},
        {"exactly 2 from a", 12, -1, false},
        {"1.5 from b", 28.5, 5, true},
        {"exactly 2 from b", 28, -1, false},
        {"mid-edge", 20, -1, false},
    };
    for (const Row& row : rows) {
        const EdgeResult r = NearestEdge(m.nodes, m.model, P(row.x, 10));
        EXPECT_EQ(r.node, row.expected) << row.name;
        EXPECT_EQ(r.nearEnd, row.nearEnd) << row.name;
        EXPECT_EQ(r.a, 4) << row.name;
        EXPECT_EQ(r.b, 5) << row.name;
        EXPECT_EQ(r.body, body) << row.name;
        EXPECT_NEAR(r.distance, 0, 1e-12) << row.name;
    }
}

TEST(FindNearestPolygonEdge, NearEndNeedsRatioBelowATenth)
{
    struct Row {
        const char* name;
        double size, offset;
        bool nearEnd;
    };
    const Row rows[] = {
        {"ratio 0.099", 10, 0.99, true},
        {"ratio exactly 0.1", 10, 1.0, false},
        {"ratio 0.15", 10, 1.5, false},
        {"ratio 0.0995", 20, 1.99, true},
    };
    for (const Row& row : rows) {
        FrameModel m;
        m.AddSquare(10, 10, row.size);
        const EdgeResult r = NearestEdge(m.nodes, m.model, P(10 + row.offset, 10));
        EXPECT_EQ(r.node, 4) << row.name;
        EXPECT_EQ(r.nearEnd, row.nearEnd) << row.name;
    }
}

TEST(FindNearestPolygonEdge, BeyondTheEndLosesAgainstAnEdgeBeside)
{
    FrameModel m;
    m.AddSquare(10, 10, 2);                       // corner node 5 at (12,10)
    const int beside = m.AddSquare(15.5, 5, 20); // left edge: node 11 (15.5,25) to node 8 (15.5,5)
    const complexM cursor = P(13, 9);
    // The corner is nearer than the edge beside, but beyond an edge's end
    // the distance counts double.
    ASSERT_LT(PlainDistance(cursor, NodePoint(m.nodes, 5)), 2.5);
    const EdgeResult r = NearestEdge(m.nodes, m.model, cursor);
    EXPECT_EQ(r.body, beside);
    EXPECT_EQ(r.a, 11);
    EXPECT_EQ(r.b, 8);
    EXPECT_NEAR(r.distance, 2.5, 1e-12);
    EXPECT_EQ(r.node, -1);
}

TEST(FindNearestPolygonEdge, EqualEndDistancesGiveA)
{
    FrameModel m;
    m.AddSquare(10, 10, 3); // edge 4 (10,10) to 5 (13,10)
    const EdgeResult r = NearestEdge(m.nodes, m.model, P(11.5, 10));
    EXPECT_EQ(r.a, 4);
    EXPECT_EQ(r.node, 4);
    EXPECT_FALSE(r.nearEnd);
}

TEST(FindNearestPolygonEdge, TiesKeepTheFirstBody)
{
    FrameModel m;
    const int first = m.AddSquare(10, 10, 20); // right edge 5 -> 6 on x = 30
    m.AddSquare(30, 10, 20);                   // left edge 11 -> 8 on x = 30 as well
    const EdgeResult r = NearestEdge(m.nodes, m.model, P(31, 20));
    EXPECT_EQ(r.body, first);
    EXPECT_EQ(r.a, 5);
    EXPECT_EQ(r.b, 6);
    EXPECT_NEAR(r.distance, 1, 1e-12);
}

TEST(FindNearestPolygonEdge, ScalingDecidesTheEdge)
{
    FrameModel m;
    m.AddSquare(10, 10, 20);
    const complexM cursor = P(28, 14); // 2 from the right edge 5-6, 4 from the top edge 4-5
    struct Row {
        double kx, ky;
        int a, b;
        double distance;
    };
    const Row rows[] = {
        {1, 1, 5, 6, 2},
        {3, 1, 4, 5, 4},
        {1, 0.25, 4, 5, 1},
    };
    for (const Row& row : rows) {
        const EdgeResult r = NearestEdge(m.nodes, m.model, cursor, row.kx, row.ky);
        EXPECT_EQ(r.a, row.a) << row.kx << " " << row.ky;
        EXPECT_EQ(r.b, row.b) << row.kx << " " << row.ky;
        EXPECT_NEAR(r.distance, row.distance, 1e-9) << row.kx << " " << row.ky;
    }
}

TEST(FindNearestPolygonEdge, HostRingWalkStopsAtItsFirstReturn)
{
    FrameModel m;
    const int stray = AddNode(m.nodes, 50, 25);
    // The half after the return runs through a node of its own; only the
    // outline before it is the frame.
    const Polygon twoHalves = MakeRing({0, 1, 2, 3, 0, 3, stray, 2, 1});
    m.model[0][0] = twoHalves;
    const complexM cursor = P(50, 26);
    EdgeResult r = NearestEdge(m.nodes, m.model, cursor);
    EXPECT_EQ(r.a, 1);
    EXPECT_EQ(r.b, 2);
    EXPECT_NEAR(r.distance, 24, 1e-12);
    EXPECT_EQ(r.node, -1);

    // Any other ring is walked whole.
    m.model[0].Add(twoHalves);
    r = NearestEdge(m.nodes, m.model, cursor);
    EXPECT_EQ(r.body, 0);
    EXPECT_EQ(r.a, stray);
    EXPECT_EQ(r.b, 2);
    EXPECT_EQ(r.node, stray);
}

TEST(FindNearestPolygonEdge, RingsWithoutEdgesAreSkipped)
{
    FrameModel m;
    const int lone = AddNode(m.nodes, 50, 25);
    SPolygon body;
    body.Add(MakeRing({lone}));
    body.Add(MakeRing({}));
    m.model.Add(body);
    m.model.Add(SPolygon());
    const EdgeResult r = NearestEdge(m.nodes, m.model, P(50, 25));
    EXPECT_EQ(r.body, 0);
    EXPECT_EQ(r.a, 1); // the bottom frame edge, first of the two 25 away
    EXPECT_EQ(r.b, 2);
}

TEST(FindNearestPolygonEdge, NoEdgeAtAll)
{
    Tnodes nodes;
    AddNode(nodes, 0, 0);
    for (const AllSpolygon& edgeless : {AllSpolygon(), AllSpolygon{SPolygon{MakeRing({0})}}}) {
        for (const EdgeResult& r : {NearestEdge(nodes, edgeless, P(0, 0)), NearestFreeEdge(nodes, edgeless, P(0, 0))}) {
            EXPECT_EQ(r.node, -1);
            EXPECT_EQ(r.a, -1);
            EXPECT_EQ(r.b, -1);
            EXPECT_EQ(r.body, -1);
            EXPECT_FALSE(r.nearEnd);
            EXPECT_EQ(r.distance, 1e30);
        }
    }
}

TEST(FindNearestFreePolygonEdge, SkipsEdgesAtInnerNodes)
{
    struct Row {
        const char* name;
        int32_t sharing;
        int a, b;
        double distance;
    };
    const Row rows[] = {
        {"inner nodes: only edge 7-4 stays free", nsInner, 7, 4, 18},
        {"shared outline nodes stay free", nsOutlineShared, 5, 6, 2},
    };
    for (const Row& row : rows) {
        FrameModel m;
        m.AddSquare(10, 10, 20); // nodes 4 (10,10) 5 (30,10) 6 (30,30) 7 (10,30)
        m.nodes[5].sharing = row.sharing;
        m.nodes[6].sharing = row.sharing;
        const EdgeResult r = NearestFreeEdge(m.nodes, m.model, P(28, 20));
        EXPECT_EQ(r.a, row.a) << row.name;
        EXPECT_EQ(r.b, row.b) << row.name;
        EXPECT_NEAR(r.distance, row.distance, 1e-9) << row.name;
        // The search over all edges still finds the inner one.
        EXPECT_EQ(NearestEdge(m.nodes, m.model, P(28, 20)).a, 5) << row.name;
    }
}

TEST(FindNearestFreePolygonEdge, EndNodeWithinSevenScaledUnits)
{
    FrameModel m;
    m.AddSquare(10, 5, 40); // edge 4 (10,5) to 5 (50,5)
    struct Row {
        const char* name;
        double offset;
        int free, all;
    };
    const Row rows[] = {
        {"5 from a", 5, 4, -1},
        {"just under 7 from a", 6.9, 4, -1},
        {"exactly 7 from a", 7, -1, -1},
        {"1 from a", 1, 4, 4},
    };
    for (const Row& row : rows) {
        const complexM cursor = P(10 + row.offset, 5);
        EXPECT_EQ(NearestFreeEdge(m.nodes, m.model, cursor).node, row.free) << row.name;
        EXPECT_EQ(NearestEdge(m.nodes, m.model, cursor).node, row.all) << row.name;
    }
}

TEST(FindNearestFreePolygonEdge, NearEndGivesTheDistanceToThatEnd)
{
    FrameModel m;
    m.AddSquare(10, 5, 40); // edge 4 (10,5) to 5 (50,5)
    struct Row {
        const char* name;
        complexM cursor;
        int node;
        bool nearEnd;
        double distance;
    };
    // 3.16 from node 4 and 1 from the edge: near within the free threshold
    // of 7, not within 2.
    const Row freeRows[] = {
        {"near end beyond 2", P(13, 6), 4, true, std::sqrt(10.0)},
        {"near end within 2", P(11.5, 5), 4, true, 1.5},
        {"not near: ratio about 0.13", P(15, 6), 4, false, 1},
    };
    for (const Row& row : freeRows) {
        const EdgeResult r = NearestFreeEdge(m.nodes, m.model, row.cursor);
        EXPECT_EQ(r.node, row.node) << row.name;
        EXPECT_EQ(r.nearEnd, row.nearEnd) << row.name;
        EXPECT_NEAR(r.distance, row.distance, 1e-9) << row.name;
    }
    // The search over all edges keeps the edge distance.
    const Row allRows[] = {
        {"near end beyond 2", P(13, 6), -1, false, 1},
        {"near end within 2", P(11.5, 5), 4, true, 0},
    };
    for (const Row& row : allRows) {
        const EdgeResult r = NearestEdge(m.nodes, m.model, row.cursor);
        EXPECT_EQ(r.node, row.node) << row.name;
        EXPECT_EQ(r.nearEnd, row.nearEnd) << row.name;
        EXPECT_NEAR(r.distance, row.distance, 1e-9) << row.name;
    }
}

// --- Border kinds and extent -------------------------------------------------------

struct Area {
    double left, top, right, bottom;
};

// A frame over the area with one surface node 40 right of the top-left
// corner; returns the surface node in surface.
struct BorderFrame {
    Tnodes nodes;
    AllSpolygon model;
    int surface = -1;

    explicit BorderFrame(const Area& area)
    {
        AddNode(nodes, area.left, area.top, bkLeft);
        AddNode(nodes, area.left, area.bottom, bkBottomLeft);
        AddNode(nodes, area.right, area.bottom, bkBottomRight);
        AddNode(nodes, area.right, area.top, bkRight);
        surface = AddNode(nodes, area.left + 40, area.top, bkSurface);
        SPolygon host;
        host.Add(MakeRing({0, 1, 2, 3, surface, 0, surface, 3, 2, 1}));
        model.Add(host);
    }

    int Kind(const Area& area, double x, double y)
    {
        const int node = AddNode(nodes, x, y);
        return GetNodeBorderKind(node, model, nodes, area.bottom, area.top, area.right, area.left);
    }
};

TEST(GetNodeBorderKind, Kinds)
{
    // Bottom and left at 0 (or right at 0) so that 1e-5 offsets are exact.
    const Area leftArea{0, -50, 100, 0};
    const Area rightArea{-100, -50, 0, 0};
    struct Row {
        const char* name;
        Area area;
        double x, y;
        int expected;
    };
    const Row rows[] = {
        {"bottom-left corner", leftArea, 0, 0, bkBottomLeft},
        {"bottom-left corner within 1e-5", leftArea, 0.9e-5, -0.9e-5, bkBottomLeft},
        {"bottom-left corner within 1e-5, outside", leftArea, -0.9e-5, 0.9e-5, bkBottomLeft},
        {"left edge above bottom", leftArea, 0, -20, bkLeft},
        {"left edge within 1e-5", leftArea, -0.9e-5, -20, bkLeft},
        {"top-left corner counts as left", leftArea, 0, -50, bkLeft},
        {"bottom-right corner", rightArea, 0, 0, bkBottomRight},
        {"bottom-right corner within 1e-5", rightArea, 0.9e-5, 0.9e-5, bkBottomRight},
        {"right edge", rightArea, 0, -20, bkRight},
        {"top-right corner counts as right", rightArea, 0, -50, bkRight},
        {"bottom edge", leftArea, 40, 0, bkBottom},
        {"bottom edge within 1e-5", leftArea, 40, 0.9e-5, bkBottom},
        {"just over 1e-5 from the left, on the bottom", leftArea, 1.1e-5, 0, bkBottom},
        {"on a surface node", leftArea, 40, -50, bkSurface},
        {"within 1e-5 of a surface node", leftArea, 40.000009, -50, bkSurface},
        {"top edge away from host-ring nodes", leftArea, 70, -50, bkNone},
        {"inside", leftArea, 40, -20, bkNone},
        // A difference of exactly 1e-5 is neither zero nor non-zero.
        {"exactly 1e-5 from the left, above bottom", leftArea, 1e-5, -20, bkNone},
        {"exactly 1e-5 above bottom, on the left", leftArea, 0, -1e-5, bkNone},
        {"exactly 1e-5 from the left, on the bottom", leftArea, 1e-5, 0, bkNone},
        {"exactly 1e-5 from the right, on the bottom", rightArea, -1e-5, 0, bkNone},
        {"exactly 1e-5 below bottom, on the right", rightArea, 0, 1e-5, bkNone},
    };
    for (const Row& row : rows) {
        BorderFrame frame(row.area);
        EXPECT_EQ(frame.Kind(row.area, row.x, row.y), row.expected) << row.name;
    }
}

TEST(GetNodeBorderKind, NodeOutsideTheTableRaises)
{
    FrameModel m;
    EXPECT_THROW(GetNodeBorderKind(4, m.model, m.nodes, 50, 0, 100, 0), ERangeError);
}

TEST(GetNodeExtent, OverNodesOffTheBorder)
{
    FrameModel m;
    double minX = 0, maxX = 0, maxY = 0;
    GetNodeExtent(minX, maxX, m.nodes, maxY); // frame nodes only
    EXPECT_EQ(minX, 1e30);
    EXPECT_EQ(maxX, -1e30);
    EXPECT_EQ(maxY, -1e30);

    m.AddSquare(10, 5, 20);
    AddNode(m.nodes, 60, 48, bkBottom);
    GetNodeExtent(minX, maxX, m.nodes, maxY);
    EXPECT_EQ(minX, 10);
    EXPECT_EQ(maxX, 30);
    EXPECT_EQ(maxY, 25);
}

// --- Selections -------------------------------------------------------------------

// A body of two rings sharing the edge 5-6: ring 0 (4 5 6 7) with id 11,
// ring 1 (5 8 9 6) with id 12.
struct TwoRingBody : FrameModel {
    int body = -1;

    TwoRingBody()
    {
        body = AddSquare(10, 10, 20);
        const int p = AddNode(nodes, 50, 10);
        const int q = AddNode(nodes, 50, 30);
        model[body].Add(MakeRing({5, p, q, 6}));
        model[body][0].params[psId] = 11;
        model[body][1].params[psId] = 12;
    }
};

TEST(SelectSubPolygonsByNodes, RingsUsingListedNodes)
{
    TwoRingBody m;
    struct Row {
        const char* name;
        arofintM list;
        arofintM subs;
    };
    const Row rows[] = {
        {"two nodes of one ring list it once", {4, 7}, {0}},
        {"a shared node lists both", {6}, {0, 1}},
        {"ring order, not list order", {9, 4}, {0, 1}},
        {"unused nodes", {0, 99}, {}},
        {"empty list", {}, {}},
    };
    for (const Row& row : rows) {
        arofintM ids{-5}, subs{-5}, bodies{-5};
        SelectSubPolygonsByNodes(row.list, m.body, m.model, ids, subs, bodies);
        EXPECT_EQ(subs, row.subs) << row.name;
        ASSERT_EQ(ids.Length(), row.subs.Length()) << row.name;
        ASSERT_EQ(bodies.Length(), row.subs.Length()) << row.name;
        for (int i = 0; i < row.subs.Length(); ++i) {
            EXPECT_EQ(ids[i], 11 + row.subs[i]) << row.name;
            EXPECT_EQ(bodies[i], m.body) << row.name;
        }
    }
}

TEST(SelectSubPolygonsByNodes, OneRingPerId)
{
    TwoRingBody m;
    m.model[m.body][1].params[psId] = 11;
    arofintM ids, subs, bodies;
    SelectSubPolygonsByNodes({6}, m.body, m.model, ids, subs, bodies);
    EXPECT_EQ(ids, arofintM({11}));
    EXPECT_EQ(subs, arofintM({0}));
}

TEST(SelectBody, EveryRingOfTheBody)
{
    TwoRingBody m;
    m.model[m.body][1].params[psId] = 11.0; // a real id is read as an integer; equal ids stay
    arofintM ids{-5}, subs{-5}, bodies{-5};
    SelectBody(m.body, m.model, ids, subs, bodies);
    EXPECT_EQ(ids, arofintM({11, 11}));
    EXPECT_EQ(subs, arofintM({0, 1}));
    EXPECT_EQ(bodies, arofintM({m.body, m.body}));
}

TEST(SelectSubPolygon, TheOneRing)
{
    TwoRingBody m;
    arofintM ids{-5}, subs{-5}, bodies{-5};
    SelectSubPolygon(m.body, 1, m.model, ids, subs, bodies);
    EXPECT_EQ(ids, arofintM({12}));
    EXPECT_EQ(subs, arofintM({1}));
    EXPECT_EQ(bodies, arofintM({m.body}));
    EXPECT_THROW(SelectSubPolygon(m.body, 2, m.model, ids, subs, bodies), ERangeError);
}

TEST(FindBodyOfNode, FirstBodyWhoseRingsUseIt)
{
    TwoRingBody m;
    const int other = m.AddSquare(60, 10, 10);
    const int unused = AddNode(m.nodes, 90, 40);
    int body = -9;
    EXPECT_TRUE(FindBodyOfNode(9, body, m.model)); // only in the second ring
    EXPECT_EQ(body, m.body);
    EXPECT_TRUE(FindBodyOfNode(2, body, m.model));
    EXPECT_EQ(body, 0);
    EXPECT_TRUE(FindBodyOfNode(m.model[other][0].ring[2], body, m.model));
    EXPECT_EQ(body, other);
    EXPECT_FALSE(FindBodyOfNode(unused, body, m.model));
}

// --- Collections --------------------------------------------------------------------

TEST(CollectBodyNodes, DistinctInOrderOfDiscovery)
{
    TwoRingBody m;
    arofintM list{-5};
    bool allFree = false;
    CollectBodyNodes(false, m.body, m.model, list, allFree, m.nodes);
    EXPECT_EQ(list, arofintM({4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(allFree);

    CollectBodyNodes(false, 0, m.model, list, allFree, m.nodes); // the host ring repeats its nodes
    EXPECT_EQ(list, arofintM({0, 1, 2, 3}));
    EXPECT_FALSE(allFree);
}

TEST(CollectBodyNodes, OnlyFreeLeavesOutFixedAndBorderNodes)
{
    struct Row {
        bool onlyFree;
        arofintM list;
    };
    const Row rows[] = {
        {false, {4, 5, 6, 7, 8, 9}},
        {true, {4, 7, 8}},
    };
    for (const Row& row : rows) {
        TwoRingBody m;
        m.nodes[5].fixed = 1;
        m.nodes[6].border = bkBottom;
        m.nodes[9].fixed = 1;
        m.nodes[9].border = bkRight;
        arofintM list;
        bool allFree = true;
        CollectBodyNodes(row.onlyFree, m.body, m.model, list, allFree, m.nodes);
        EXPECT_EQ(list, row.list) << row.onlyFree;
        EXPECT_FALSE(allFree) << row.onlyFree;
    }
}

TEST(CollectBodyNodes, RingIndexOutsideTheTableRaises)
{
    TwoRingBody m;
    m.model[m.body][1].ring.Add(99);
    arofintM list;
    bool allFree = true;
    EXPECT_THROW(CollectBodyNodes(false, m.body, m.model, list, allFree, m.nodes), ERangeError);
}

TEST(CollectSubPolygonNodes, OneRing)
{
    TwoRingBody m;
    m.nodes[4].fixed = 1; // in ring 0 only
    arofintM list{-5};
    bool allFree = false;
    CollectSubPolygonNodes(false, m.body, 1, list, allFree, m.nodes, m.model);
    EXPECT_EQ(list, arofintM({5, 8, 9, 6}));
    EXPECT_TRUE(allFree);

    CollectSubPolygonNodes(true, m.body, 0, list, allFree, m.nodes, m.model);
    EXPECT_EQ(list, arofintM({5, 6, 7}));
    EXPECT_FALSE(allFree);

    CollectSubPolygonNodes(false, 0, 0, list, allFree, m.nodes, m.model);
    EXPECT_EQ(list, arofintM({0, 1, 2, 3}));
}

// --- Ring neighbours --------------------------------------------------------------

TEST(RingNeighbours, NextAndPreviousWrapAround)
{
    const arofintM ring{7, 8, 9};
    int node = -1;
    EXPECT_EQ(NextInRing(0, ring, node), 1);
    EXPECT_EQ(node, 8);
    EXPECT_EQ(NextInRing(2, ring, node), 0);
    EXPECT_EQ(node, 7);
    EXPECT_EQ(PrevInRing(2, ring, node), 1);
    EXPECT_EQ(node, 8);
    EXPECT_EQ(PrevInRing(0, ring, node), 2);
    EXPECT_EQ(node, 9);

    const arofintM single{5};
    EXPECT_EQ(NextInRing(0, single, node), 0);
    EXPECT_EQ(PrevInRing(0, single, node), 0);
    EXPECT_EQ(node, 5);
}

TEST(RingNeighbours, PositionsOutsideTheRingRaise)
{
    const arofintM ring{7, 8, 9};
    const arofintM empty;
    int node = -1;
    EXPECT_THROW(NextInRing(5, ring, node), ERangeError);
    EXPECT_THROW(PrevInRing(5, ring, node), ERangeError);
    EXPECT_THROW(NextInRing(0, empty, node), ERangeError);
    EXPECT_THROW(PrevInRing(0, empty, node), ERangeError);
}

TEST(RingNeighbours, FindInRingGivesTheFirstPosition)
{
    FrameModel m;
    const arofintM& host = m.model[0][0].ring; // node 0 at positions 0 and 4
    int position = -1;
    EXPECT_TRUE(FindInRing(3, host, position));
    EXPECT_EQ(position, 3);
    EXPECT_TRUE(FindInRing(0, host, position));
    EXPECT_EQ(position, 0);
    EXPECT_FALSE(FindInRing(42, host, position));
    EXPECT_FALSE(FindInRing(0, arofintM(), position));
}

} // namespace
} // namespace lp
