// The planar partition of hand-built models: shared edges, host pockets,
// multi-ring bodies, nodes on other rings' edges, rings touching at one
// node, lines, and models that are refused.

#include "section/model/ModelGeometry.h"

#include "tests/section/model/ModelFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace lp::test {
namespace {

TModelGeometry Partition(const FrameModel& m, const lines& modelLines = {})
{
    return BuildModelGeometry(m.model, m.nodes, modelLines);
}

// How often each edge is used by the surfaces' loops, forwards and backwards.
std::map<int, std::pair<int, int>> EdgeUses(const TModelGeometry& g)
{
    std::map<int, std::pair<int, int>> uses;
    for (const TGeometrySurface& surface : g.Surfaces) {
        std::vector<const TGeometryLoop*> loops{&surface.outer};
        for (const TGeometryLoop& hole : surface.holes)
            loops.push_back(&hole);
        for (const TGeometryLoop* loop : loops)
            for (int edge : *loop)
                (edge > 0 ? uses[edge].first : uses[-edge].second) += 1;
    }
    return uses;
}

// Each loop closes, runs through every point once, and the edges are unique.
void ExpectWellFormed(const TModelGeometry& g)
{
    std::set<std::pair<int, int>> edges;
    for (const auto& [a, b] : g.Edges) {
        EXPECT_NE(a, b);
        EXPECT_TRUE(edges.insert({std::min(a, b), std::max(a, b)}).second) << "edge " << a << "-" << b << " twice";
    }
    const auto endOf = [&](int edge, bool start) {
        const auto& [a, b] = g.Edges[static_cast<size_t>(std::abs(edge) - 1)];
        return (edge > 0) == start ? a : b;
    };
    for (const TGeometrySurface& surface : g.Surfaces) {
        std::vector<const TGeometryLoop*> loops{&surface.outer};
        for (const TGeometryLoop& hole : surface.holes)
            loops.push_back(&hole);
        for (const TGeometryLoop* loop : loops) {
            std::set<int> visited;
            for (size_t i = 0; i < loop->size(); ++i) {
                EXPECT_EQ(endOf((*loop)[i], false), endOf((*loop)[(i + 1) % loop->size()], true));
                EXPECT_TRUE(visited.insert(endOf((*loop)[i], true)).second) << "a loop passes a point twice";
            }
        }
    }
    // Interior edges are used once each way, frame edges once.
    const std::set<int> frame(g.FrameEdges.begin(), g.FrameEdges.end());
    for (const auto& [edge, use] : EdgeUses(g))
        if (frame.count(edge)) {
            EXPECT_EQ(use.first + use.second, 1) << "frame edge " << edge;
        } else {
            EXPECT_EQ(use, std::make_pair(1, 1)) << "edge " << edge;
        }
    double total = 0.0;
    for (const TGeometryRegion& region : g.Regions)
        total += region.area;
    EXPECT_NEAR(total, g.FrameArea, 1e-9 * g.FrameArea);
}

TEST(ModelGeometry, AFrameAloneIsTheHostMediumAlone)
{
    const FrameModel m;
    const TModelGeometry g = Partition(m);
    ExpectWellFormed(g);
    EXPECT_EQ(g.Points.size(), 4u);
    EXPECT_EQ(g.Edges.size(), 4u);
    ASSERT_EQ(g.Regions.size(), 1u);
    EXPECT_EQ(g.Regions[0].name, "Host medium");
    EXPECT_EQ(g.Regions[0].tag, 1);
    EXPECT_DOUBLE_EQ(g.Regions[0].area, 5000.0);
    EXPECT_DOUBLE_EQ(g.Width, 100.0);
    EXPECT_EQ(g.FrameEdges.size(), 4u);
    // y is minus the depth.
    EXPECT_EQ(g.Points[1].y, -50.0);
}

TEST(ModelGeometry, CoupledBodiesShareTheirEdgeOnceUsedBothWays)
{
    FrameModel m;
    const int left = m.AddSquare(10, 10, 10);
    const int right = m.AddSquare(20, 10, 10);
    ASSERT_TRUE(MergeNodes(8, 5, right, m.nodes, m.model, left));
    ASSERT_TRUE(MergeNodes(10, 6, 1, m.nodes, m.model, 1));
    ExpectSound(m);
    const TModelGeometry g = Partition(m);
    ExpectWellFormed(g);
    EXPECT_EQ(g.Edges.size(), 4u + 7u);
    ASSERT_EQ(g.Regions.size(), 3u);
    EXPECT_DOUBLE_EQ(g.Regions[1].area, 100.0);
    EXPECT_DOUBLE_EQ(g.Regions[2].area, 100.0);
    EXPECT_EQ(g.Regions[1].name, "Body 1 ring 0");
    EXPECT_EQ(g.Regions[2].name, "Body 1 ring 1");
    EXPECT_EQ(g.Regions[2].tag, 3);
    // The host medium: one surface with the two bodies as one hole.
    ASSERT_EQ(g.Regions[0].surfaces.size(), 1u);
    const TGeometrySurface& host = g.Surfaces[static_cast<size_t>(g.Regions[0].surfaces[0])];
    ASSERT_EQ(host.holes.size(), 1u);
    EXPECT_EQ(host.holes[0].size(), 6u);
    EXPECT_DOUBLE_EQ(g.Regions[0].area, 4800.0);
}

TEST(ModelGeometry, BarsAroundAPocketLeaveTheHostMediumInTwoSurfaces)
{
    FrameModel m;
    // Bars around (20,20)-(40,35); the side bars' inner corners lie on the
    // top and bottom bars' edges without being their nodes.
    m.AddSquare(60, 10, 10); // a lone body too
    const auto bar = [&](double x0, double y0, double x1, double y1) {
        arofcomplexM points{P(x0, y0), P(x1, y0), P(x1, y1), P(x0, y1)};
        ASSERT_TRUE(AddPolygon(points, m.model, m.nodes));
    };
    bar(15, 15, 45, 20);
    bar(15, 35, 45, 40);
    bar(15, 20, 20, 35);
    bar(40, 20, 45, 35);
    ExpectSound(m);
    const TModelGeometry g = Partition(m);
    ExpectWellFormed(g);
    // Nodes at one place are one point: 4 frame + 4 square + 16 bar nodes less 4 repeats.
    EXPECT_EQ(g.Points.size(), 20u);
    ASSERT_EQ(g.Regions[0].surfaces.size(), 2u);
    const TGeometrySurface& pocket = g.Surfaces[static_cast<size_t>(g.Regions[0].surfaces[1])];
    EXPECT_DOUBLE_EQ(pocket.area, 20.0 * 15.0);
    EXPECT_TRUE(pocket.holes.empty());
    EXPECT_DOUBLE_EQ(g.Regions[0].area, 5000.0 - 100.0 - 30.0 * 25.0 + 300.0);
    EXPECT_DOUBLE_EQ(g.Regions[2].area, 150.0);
    EXPECT_DOUBLE_EQ(g.Regions[4].area, 75.0);
}

TEST(ModelGeometry, ANodeOnAnotherRingsEdgeSplitsThatEdge)
{
    FrameModel m;
    m.AddSquare(10, 10, 20); // its top edge (10,10)-(30,10)
    arofcomplexM points{P(15, 5), P(25, 5), P(25, 10), P(15, 10)};
    ASSERT_TRUE(AddPolygon(points, m.model, m.nodes));
    ExpectSound(m);
    const TModelGeometry g = Partition(m);
    ExpectWellFormed(g);
    // The square's top edge is three edges; the middle one is shared.
    EXPECT_EQ(g.Edges.size(), 4u + 6u + 3u);
    EXPECT_DOUBLE_EQ(g.Regions[1].area, 400.0);
    EXPECT_DOUBLE_EQ(g.Regions[2].area, 50.0);
    ASSERT_EQ(g.Regions[0].surfaces.size(), 1u);
    EXPECT_EQ(g.Surfaces[static_cast<size_t>(g.Regions[0].surfaces[0])].holes.size(), 1u);
}

TEST(ModelGeometry, RingsTouchingAtOneNodeGiveSimpleLoops)
{
    FrameModel m;
    const int first = m.AddSquare(10, 10, 10);  // 4 (10,10) .. 6 (20,20)
    const int second = m.AddSquare(20, 20, 10); // 8 (20,20)
    ASSERT_TRUE(MergeNodes(8, 6, second, m.nodes, m.model, first));
    ExpectSound(m);
    const TModelGeometry g = Partition(m);
    ExpectWellFormed(g);
    const TGeometrySurface& host = g.Surfaces[static_cast<size_t>(g.Regions[0].surfaces[0])];
    EXPECT_EQ(host.holes.size(), 2u);
    EXPECT_DOUBLE_EQ(g.Regions[0].area, 4800.0);
}

TEST(ModelGeometry, ABodyTouchingTheFrameAtOneNode)
{
    FrameModel m;
    // A triangle of the host body with one node on the left side.
    const int a = AddNode(m.nodes, 0, 20, bkLeft), b = AddNode(m.nodes, 20, 10), c = AddNode(m.nodes, 20, 30);
    m.model[0][0].ring = {0, a, 1, 2, 3, 0, 3, 2, 1, a};
    m.model[0].Add(MakeRing({a, c, b}));
    if (RingIsClockwise(m.model[0][1].ring, m.nodes))
        m.model[0][1].ring = {a, b, c};
    UpdateBodySharing(0, m.model, m.nodes);
    ExpectSound(m);
    const TModelGeometry g = Partition(m);
    ExpectWellFormed(g);
    ASSERT_EQ(g.Regions.size(), 2u);
    EXPECT_DOUBLE_EQ(g.Regions[1].area, 200.0);
    EXPECT_DOUBLE_EQ(g.Regions[0].area, 4800.0);
    EXPECT_EQ(g.FrameEdges.size(), 5u);
}

TEST(ModelGeometry, ADividedRingIsTwoRegionsOfOneBody)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    int id = 0;
    ASSERT_TRUE(DividePolygon(4, 6, body, id, m.nodes, m.model));
    m.model[body][0].params[psLabelText] = "Clay";
    m.model[body][1].params[psLabelText] = "Clay";
    m.model[body][0].params[psResistivity] = 12.5;
    const TModelGeometry g = Partition(m);
    ExpectWellFormed(g);
    ASSERT_EQ(g.Regions.size(), 3u);
    EXPECT_EQ(g.Regions[1].name, "Clay (1.0)");
    EXPECT_EQ(g.Regions[2].name, "Clay (1.1)");
    EXPECT_DOUBLE_EQ(g.Regions[1].area + g.Regions[2].area, 400.0);
    EXPECT_DOUBLE_EQ(g.Regions[1].resistivity.AsReal(), 12.5);
    EXPECT_TRUE(g.Regions[2].resistivity.IsEmpty());
}

TEST(ModelGeometry, ALineInsideOneRegionIsEmbeddedOneAcrossIsNot)
{
    FrameModel m;
    m.AddSquare(10, 10, 20);
    lines modelLines;
    line inside;
    inside.text = "Fault";
    inside.points = {P(12, 12), P(20, 25), P(28, 13)};
    line across;
    across.points = {P(5, 20), P(50, 20)};
    line single;
    single.points = {P(60, 20), P(60, 20)};
    line frame;
    frame.text = "Frame";
    frame.points = {P(70, 20), P(80, 30)};
    line broken;
    broken.points = {P(60, 20), P(std::nan(""), 30)};
    modelLines.Add(inside);
    modelLines.Add(across);
    modelLines.Add(single);
    modelLines.Add(frame);
    modelLines.Add(broken);
    const TModelGeometry g = Partition(m, modelLines);
    ASSERT_EQ(g.Lines.size(), 3u);
    // Names stay apart from the frame's physical curve.
    EXPECT_EQ(g.Lines[2].name, "Frame (4)");
    EXPECT_GE(g.Lines[2].surface, 0);
    EXPECT_EQ(g.Lines[0].name, "Fault");
    ASSERT_GE(g.Lines[0].surface, 0);
    EXPECT_EQ(g.Surfaces[static_cast<size_t>(g.Lines[0].surface)].region, 1);
    EXPECT_EQ(g.Lines[0].edges.size(), 2u);
    EXPECT_EQ(g.Lines[1].name, "Line 2");
    EXPECT_EQ(g.Lines[1].surface, -1);
    ASSERT_EQ(g.Warnings.size(), 3u);
    EXPECT_NE(g.Warnings[0].find("Line 2"), std::string::npos);
    EXPECT_NE(g.Warnings[0].find("not embedded"), std::string::npos);
    EXPECT_EQ(g.Warnings[1], "Line \"Line 3\" has fewer than two points: it is left out.");
    EXPECT_EQ(g.Warnings[2], "Line \"Line 5\" has a point that is not a finite number: it is left out.");
    // Line edges come after the model's.
    EXPECT_GT(g.Lines[0].edges[0], g.ModelEdgeCount);
}

TEST(ModelGeometry, BrokenModelsAreRefusedWithTheFirstFault)
{
    const auto refusal = [](const FrameModel& m) {
        try {
            BuildModelGeometry(m.model, m.nodes, {});
        } catch (const EModelGeometryError& error) {
            return error.Message();
        }
        return std::string("accepted");
    };
    FrameModel crossing;
    crossing.AddSquare(10, 10, 10);
    crossing.AddSquare(15, 15, 10);
    EXPECT_NE(refusal(crossing).find("crosses"), std::string::npos) << refusal(crossing);

    FrameModel index;
    index.AddSquare(10, 10, 10);
    index.model[1][0].ring[2] = 99;
    EXPECT_NE(refusal(index).find("outside the node table"), std::string::npos) << refusal(index);

    FrameModel outside;
    outside.AddSquare(150, 10, 10);
    EXPECT_EQ(refusal(outside), "The model cannot be exported: ring 0 of body 1 lies outside the model area.");

    FrameModel twisted;
    twisted.AddSquare(10, 10, 10);
    twisted.model[1][0].ring = {4, 6, 5, 7};
    EXPECT_NE(refusal(twisted).find("ring 0 of body 1"), std::string::npos) << refusal(twisted);
}

} // namespace
} // namespace lp::test
