#include "section/model/Polygons.h"

#include "ModelFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace lp {
namespace {

using test::FrameModel;
using test::P;

TEST(SegmentsIntersect, Cases)
{
    struct Row {
        const char* name;
        complexM p1, p2, q1, q2;
        bool expected;
    };
    const Row rows[] = {
        {"cross", P(0, 0), P(10, 10), P(0, 10), P(10, 0), true},
        {"shared end", P(0, 0), P(10, 10), P(10, 10), P(20, 0), false},
        {"T, stem towards smaller y", P(0, 5), P(10, 5), P(5, 5), P(5, 0), true},
        // An end exactly on the other segment's line counts with the points
        // on its larger-y side, so this T does not cross.
        {"T, stem towards larger y", P(0, 5), P(10, 5), P(5, 5), P(5, 10), false},
        {"collinear overlapping", P(0, 0), P(10, 0), P(5, 0), P(15, 0), false},
        {"apart", P(0, 0), P(1, 1), P(5, 5), P(6, 7), false},
        {"parallel", P(0, 0), P(10, 0), P(0, 1), P(10, 1), false},
        {"boxes touch, lines miss", P(0, 0), P(10, 10), P(10, 0), P(12, 1), false},
        {"near miss", P(0, 0), P(10, 0), P(5, 0.001), P(5, 10), false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SegmentsIntersect(row.p1, row.p2, row.q1, row.q2), row.expected) << row.name;
        EXPECT_EQ(SegmentsIntersect(row.q1, row.q2, row.p1, row.p2), row.expected) << row.name << " (swapped)";
    }
}

TEST(SegmentsIntersect, NodeForm)
{
    FrameModel m;
    // The two diagonals of the frame.
    EXPECT_TRUE(NodeSegmentsIntersect(0, 2, 1, m.nodes, 3));
    EXPECT_FALSE(NodeSegmentsIntersect(0, 1, 1, m.nodes, 2));
    EXPECT_THROW(NodeSegmentsIntersect(0, 2, 1, m.nodes, 40), ERangeError);
}

TEST(PointInPolygon, EvenOddRuleWithVerticesOutside)
{
    const arofcomplexM square{P(0, 0), P(10, 0), P(10, 10), P(0, 10)};
    EXPECT_TRUE(PointInComplexPolygon(P(5, 5), square));
    EXPECT_FALSE(PointInComplexPolygon(P(15, 5), square));
    EXPECT_FALSE(PointInComplexPolygon(P(10, 10), square));         // on a vertex
    EXPECT_FALSE(PointInComplexPolygon(P(10 - 1e-11, 10), square)); // within 1e-10 of it
    EXPECT_FALSE(PointInComplexPolygon(P(1, 1), {}));
    // A concave ring: the notch is outside.
    const arofcomplexM notch{P(0, 0), P(10, 0), P(10, 10), P(5, 5), P(0, 10)};
    EXPECT_FALSE(PointInComplexPolygon(P(5, 8), notch));
    EXPECT_TRUE(PointInComplexPolygon(P(5, 3), notch));
}

TEST(PointInPolygon, NothingIsInsideTheHostRing)
{
    FrameModel m;
    EXPECT_FALSE(PointInRing(P(50, 25), m.model[0][0].ring, m.nodes));
    EXPECT_TRUE(PointInRing(P(50, 25), {0, 1, 2, 3}, m.nodes));
}

TEST(Orientation, KeptRingsAreNotClockwise)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    arofintM ring = m.model[body][0].ring;
    EXPECT_FALSE(RingIsClockwise(ring, m.nodes));
    std::reverse(ring.begin(), ring.end());
    EXPECT_TRUE(RingIsClockwise(ring, m.nodes));
    EXPECT_TRUE(PolygonIsClockwise({})); // no triangle counts
    // A concave ring keeps the sign of its area.
    const arofcomplexM notch{P(0, 0), P(10, 0), P(10, 10), P(5, 5), P(0, 10)};
    arofcomplexM reversed = notch;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_NE(PolygonIsClockwise(notch), PolygonIsClockwise(reversed));
}

// The orientation by its definition, every corner triangle tested: the
// answer the quicker orientation test has to give on every polygon.
bool ClockwiseByEveryCorner(const arofcomplexM& polygon)
{
    const int n = polygon.Length();
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const complexM& a = polygon[i];
        const complexM& b = polygon[(i + 1) % n];
        const complexM& c = polygon[(i + 2) % n];
        const double twiceArea = (b.im - c.im) * a.re + (c.im - a.im) * b.re + (a.im - b.im) * c.re;
        if (PointInComplexPolygon(P((a.re + b.re + c.re) / 3.0, (a.im + b.im + c.im) / 3.0), polygon))
            sum -= 0.5 * twiceArea;
    }
    return sum >= 0.0;
}

TEST(Orientation, AgreesWithEveryCornerTestedOnAnyShape)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto regular = [](int n, double radius) {
        arofcomplexM points;
        for (int k = 0; k < n; ++k)
            points.Add(P(radius * std::cos(2 * M_PI * k / n), radius * std::sin(2 * M_PI * k / n)));
        return points;
    };
    std::vector<arofcomplexM> shapes{
        regular(3, 1), regular(10, 4), regular(200, 1e-6), regular(64, 1e150), // convex, both ways below
        {P(0, 0), P(10, 0), P(10, 10), P(5, 5), P(0, 10)},                        // notch
        {P(0, 0), P(10, 10), P(10, 0), P(0, 10)},                                 // bow tie
        {P(0, 0), P(5, 0), P(10, 0)},                                             // flat
        {P(0, 0), P(0, 0), P(0, 0), P(0, 0)},                                     // one point
        {P(0, 0), P(1e300, 0), P(1e300, 1e300), P(0, 1e300)},                     // areas past the range
        {P(0, 0), P(1, NAN), P(2, 0), P(1, 1)},                                   // no number
        {P(0, 0), P(10, 0)},
    };
    for (int round = 0; round < 300; ++round) {
        // Stars (concave, simple) and scattered points (crossing themselves).
        const int n = 3 + round % 40;
        arofcomplexM star, scatter;
        for (int k = 0; k < n; ++k) {
            const double angle = 2 * M_PI * k / n, radius = 1 + 3 * unit(random);
            star.Add(P(radius * std::cos(angle), radius * std::sin(angle)));
            scatter.Add(P(unit(random), unit(random)));
        }
        shapes.push_back(star);
        shapes.push_back(scatter);
    }
    for (size_t i = 0; i < shapes.size(); ++i) {
        arofcomplexM reversed = shapes[i];
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_EQ(PolygonIsClockwise(shapes[i]), ClockwiseByEveryCorner(shapes[i])) << "shape " << i;
        EXPECT_EQ(PolygonIsClockwise(reversed), ClockwiseByEveryCorner(reversed)) << "shape " << i << " reversed";
    }
    EXPECT_FALSE(PolygonIsClockwise(regular(10, 4)));
    EXPECT_TRUE(PolygonIsClockwise({P(0, 0), P(0, 10), P(10, 10), P(10, 0)}));
}

TEST(Orientation, NearlyCollinearRingsHaveNoArea)
{
    EXPECT_TRUE(PolygonHasNoArea({}));
    EXPECT_TRUE(PolygonHasNoArea({P(0, 0), P(1, 1)}));
    EXPECT_FALSE(PolygonHasNoArea({P(0, 0), P(10, 0), P(0, 1e-3)}));
    EXPECT_TRUE(PolygonHasNoArea({P(0, 0), P(0, 0), P(0, 0)}));
    EXPECT_TRUE(PolygonHasNoArea({P(0, 0), P(1, NAN), P(2, 0)}));
    // Points computed at 0.3 and 0.6 along sloped edges: rounding leaves them
    // a hair off the line, which must not count as area.
    for (int step = 1; step < 400; ++step) {
        const complexM a = P(100.0 + step * 0.37, 40.0);
        const complexM b = P(200.0 + step * 1.3, 40.0 + step * 0.77);
        auto along = [&](double t) { return P(a.re + t * (b.re - a.re), a.im + t * (b.im - a.im)); };
        EXPECT_TRUE(PolygonHasNoArea({a, along(0.3), along(0.6)})) << step;
        EXPECT_TRUE(PolygonHasNoArea({along(0.3), along(0.6), b})) << step;
        EXPECT_FALSE(PolygonHasNoArea({a, along(0.3), b, P(a.re, b.im)})) << step;
    }
}

TEST(AngleBetween, Degrees)
{
    EXPECT_NEAR(AngleBetween(P(1, 0), P(0, 3)), 90, 1e-12);
    EXPECT_NEAR(AngleBetween(P(1, 0), P(-2, 0)), 180, 1e-12);
    EXPECT_NEAR(AngleBetween(P(1, 1), P(2, 2)), 0, 1e-5);
    EXPECT_EQ(AngleBetween(P(0, 0), P(1, 0)), 0); // no direction
}

TEST(SubPolygonsShareNode, SameRingOrCommonIndex)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    m.model[body].Add(test::MakeRing({5, 20, 21}));
    m.model[body].Add(test::MakeRing({30, 31, 32}));
    EXPECT_TRUE(SubPolygonsShareNode(1, 1, body, m.model));
    EXPECT_TRUE(SubPolygonsShareNode(0, 1, body, m.model));
    EXPECT_FALSE(SubPolygonsShareNode(0, 2, body, m.model));
    EXPECT_THROW(SubPolygonsShareNode(0, 5, body, m.model), ERangeError);
}

TEST(FindSubPolygonAt, NeverGivesTheHostRing)
{
    FrameModel m;
    m.AddSquare(10, 10, 20);
    const int second = m.AddSquare(50, 10, 20);
    int body = 9, sub = 9;
    FindSubPolygonAt(m.model, body, sub, m.nodes, P(60, 20));
    EXPECT_EQ(body, second);
    EXPECT_EQ(sub, 0);
    FindSubPolygonAt(m.model, body, sub, m.nodes, P(40, 40)); // in the area, in no body
    EXPECT_EQ(body, -1);
    EXPECT_EQ(sub, -1);
}

TEST(FindSubPolygonAt, RingsOfTheHostBodyCount)
{
    FrameModel m;
    const int a = test::AddNode(m.nodes, 0, 20, bkLeft);
    const int b = test::AddNode(m.nodes, 30, 20);
    const int c = test::AddNode(m.nodes, 30, 0, bkSurface);
    m.model[0].Add(test::MakeRing({0, a, b, c}));
    int body = -1, sub = -1;
    FindSubPolygonAt(m.model, body, sub, m.nodes, P(10, 10));
    EXPECT_EQ(body, 0);
    EXPECT_EQ(sub, 1);
    EXPECT_TRUE(PointInOtherBodies(P(10, 10), -1, m.model, m.nodes));
    EXPECT_FALSE(PointInOtherBodies(P(10, 10), 0, m.model, m.nodes));
}

TEST(PointInOtherBodies, ExcludesOneBody)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    EXPECT_TRUE(PointInOtherBodies(P(20, 20), -1, m.model, m.nodes));
    EXPECT_FALSE(PointInOtherBodies(P(20, 20), body, m.model, m.nodes));
    EXPECT_FALSE(PointInOtherBodies(P(80, 20), -1, m.model, m.nodes));
}

TEST(SegmentCrossesBody, OnlyFreeEdgesCount)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20); // nodes 4..7
    const complexM from = P(5, 20), to = P(20, 20);
    EXPECT_TRUE(SegmentCrossesBody(from, to, body, m.nodes, m.model));
    EXPECT_TRUE(SegmentCrossesOtherBodies(from, to, -1, m.nodes, m.model));
    EXPECT_FALSE(SegmentCrossesOtherBodies(from, to, body, m.nodes, m.model));
    // The crossed edge runs from node 7 (10,30) to node 4 (10,10): an inner
    // edge once both nodes are inner nodes.
    m.nodes[4].sharing = nsInner;
    m.nodes[7].sharing = nsInner;
    EXPECT_FALSE(SegmentCrossesBody(from, to, body, m.nodes, m.model));
    m.nodes[4].sharing = nsOutlineShared;
    m.nodes[7].sharing = nsOutlineShared;
    EXPECT_TRUE(SegmentCrossesBody(from, to, body, m.nodes, m.model));
}

TEST(SegmentCrossesBody, TheHostFrameIsABody)
{
    FrameModel m;
    EXPECT_TRUE(SegmentCrossesBody(P(50, 25), P(150, 25), 0, m.nodes, m.model));
    EXPECT_FALSE(SegmentCrossesBody(P(50, 25), P(60, 25), 0, m.nodes, m.model));
}

TEST(NodeSegmentCrossesBody, EdgesAtTheEndNodesDoNotCount)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20); // nodes 4 (10,10) 5 (30,10) 6 (30,30) 7 (10,30)
    const int outside = test::AddNode(m.nodes, 50, 20);
    // 4 -> outside crosses edge 5-6; edges at node 4 do not count.
    EXPECT_TRUE(NodeSegmentCrossesBody(4, outside, body, m.nodes, m.model));
    EXPECT_TRUE(NodeSegmentCrossesRing(4, outside, body, m.nodes, m.model, 0));
    // 5 -> outside leaves through its own corner: no crossing.
    EXPECT_FALSE(NodeSegmentCrossesBody(5, outside, body, m.nodes, m.model));
    // Inner edges count here too.
    m.nodes[5].sharing = nsInner;
    m.nodes[6].sharing = nsInner;
    EXPECT_TRUE(NodeSegmentCrossesBody(4, outside, body, m.nodes, m.model));
}

TEST(BodiesNested, InsideButNotTouching)
{
    FrameModel m;
    const int outer = m.AddSquare(10, 5, 40);
    const int inner = m.AddSquare(20, 15, 10);
    const int apart = m.AddSquare(60, 10, 10);
    EXPECT_TRUE(BodiesNested(outer, inner, m.model, m.nodes));
    EXPECT_TRUE(BodiesNested(inner, outer, m.model, m.nodes));
    EXPECT_FALSE(BodiesNested(outer, apart, m.model, m.nodes));
    EXPECT_FALSE(BodiesNested(outer, outer, m.model, m.nodes));
    // A body that only touches the outline of another.
    const int touching = m.AddSquare(70, 10, 10); // shares the x = 70 edge line with "apart"
    EXPECT_FALSE(BodiesNested(apart, touching, m.model, m.nodes));
}

TEST(RingsOverlap, AreasThatShareMoreThanAnOutline)
{
    // A square 4 (10,10) 5 (30,10) 6 (30,30) 7 (10,30), its centre 8, a copy 9
    // of corner 5, and points beside and inside it.
    test::FrameModel m;
    m.AddSquare(10, 10, 20);
    const int centre = test::AddNode(m.nodes, 20, 20), copy5 = test::AddNode(m.nodes, 30, 10),
              right = test::AddNode(m.nodes, 50, 10), rightLow = test::AddNode(m.nodes, 50, 30),
              copy6 = test::AddNode(m.nodes, 30, 30), onEdge = test::AddNode(m.nodes, 30, 20),
              inside = test::AddNode(m.nodes, 25, 15), far = test::AddNode(m.nodes, 60, 40);
    const arofintM square{4, 5, 6, 7};
    struct Row {
        const char* name;
        arofintM other;
        bool overlap;
    };
    const Row rows[] = {
        {"the same ring", {5, 6, 7, 4}, true},
        {"a triangle over three corners", {4, 5, 6}, true},
        {"a triangle on the centre", {4, 5, centre}, true},
        {"sharing an edge, outside", {5, right, rightLow, 6}, false},
        {"at copies of two corners, outside", {copy5, right, rightLow, copy6}, false},
        {"with a node on the square's edge", {copy5, right, rightLow, copy6, onEdge}, false},
        {"reaching in through a shared corner", {5, right, inside}, true},
        {"reaching in through a copied corner", {copy5, right, inside}, true},
        {"far away", {right, far, rightLow}, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(RingsOverlap(square, row.other, m.nodes), row.overlap) << row.name;
        EXPECT_EQ(RingsOverlap(row.other, square, m.nodes), row.overlap) << row.name << ", exchanged";
    }
}

TEST(PolylineCrossesItself, NewestSegmentAgainstTheEarlierOnes)
{
    arofcomplexM path{P(0, 0), P(10, 0), P(10, 10), P(5, -5)};
    EXPECT_TRUE(PolylineCrossesItself(path.Last(), path));
    path.Last() = P(5, 5);
    EXPECT_FALSE(PolylineCrossesItself(path.Last(), path));
    EXPECT_FALSE(PolylineCrossesItself(P(1, 1), {P(0, 0), P(2, 2)}));
}

TEST(PolygonOverlapsModel, VerticesInsideOrRingsEnclosed)
{
    FrameModel m;
    m.AddSquare(10, 10, 20);
    EXPECT_TRUE(PolygonOverlapsModel({P(20, 20), P(40, 20), P(40, 40)}, m.model, m.nodes));
    EXPECT_TRUE(PolygonOverlapsModel({P(5, 5), P(45, 5), P(45, 45), P(5, 45)}, m.model, m.nodes));
    EXPECT_FALSE(PolygonOverlapsModel({P(50, 5), P(90, 5), P(90, 45)}, m.model, m.nodes));
}

TEST(CheckDrawnPolyline, Steps)
{
    FrameModel m;
    m.AddSquare(10, 10, 20);
    const AllSpolygon& model = m.model;
    const Tnodes& nodes = m.nodes;
    // 1: a last point inside a body.
    EXPECT_EQ(CheckDrawnPolyline({P(20, 20)}, model, nodes, false), 0);
    EXPECT_EQ(CheckDrawnPolyline({P(40, 20)}, model, nodes, false), 1);
    // 2: two points whose segment crosses a body.
    EXPECT_EQ(CheckDrawnPolyline({P(5, 20), P(35, 20)}, model, nodes, false), 0);
    EXPECT_EQ(CheckDrawnPolyline({P(40, 20), P(60, 20)}, model, nodes, false), 1);
    // 3: the last segment crosses a body, the path itself, or the closing segment does.
    EXPECT_EQ(CheckDrawnPolyline({P(40, 5), P(40, 40), P(5, 40)}, model, nodes, false), 1);
    EXPECT_EQ(CheckDrawnPolyline({P(40, 5), P(40, 40), P(5, 20)}, model, nodes, false), 0);
    EXPECT_EQ(CheckDrawnPolyline({P(40, 5), P(60, 5), P(60, 20), P(50, 2)}, model, nodes, false), 0);
    EXPECT_EQ(CheckDrawnPolyline({P(5, 40), P(40, 40), P(40, 5)}, model, nodes, false), 1);
    EXPECT_EQ(CheckDrawnPolyline({P(5, 40), P(40, 40), P(40, 5)}, model, nodes, true), 0);
    // Leaving the model area crosses the host frame.
    EXPECT_EQ(CheckDrawnPolyline({P(40, 20), P(140, 20)}, model, nodes, false), 0);
}

} // namespace
} // namespace lp
