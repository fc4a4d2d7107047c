#include "section/model/Polygons.h"

#include "ModelFixtures.h"
#include "RingGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <sstream>
#include <string_view>

namespace lp {
namespace {

using test::FrameModel;
using test::kFrameArea;

std::string Describe(const std::vector<std::string>& faults)
{
    std::ostringstream text;
    for (const std::string& fault : faults)
        text << "\n  " << fault;
    return text.str();
}

TEST(CheckModelInvariants, ASoundModelHasNoFaults)
{
    FrameModel m;
    m.AddSquare(10, 10, 20);
    EXPECT_TRUE(CheckModelInvariants(m.model, m.nodes, &kFrameArea).empty())
        << Describe(CheckModelInvariants(m.model, m.nodes, &kFrameArea));
}

// A square body in the frame, spoiled in one way each.
struct TSpoiledModel {
    const char* name;
    void (*spoil)(FrameModel&);
    const char* expected;
};

const std::vector<TSpoiledModel>& SpoiledModels()
{
    static const std::vector<TSpoiledModel> rows = {
        {"index outside the table", [](FrameModel& m) { m.model[1][0].ring[0] = 99; }, "outside the node table"},
        {"node of two bodies", [](FrameModel& m) { m.model[1][0].ring[0] = 2; }, "used by bodies"},
        {"host ring not mirrored", [](FrameModel& m) { m.model[0][0].ring[6] = 1; }, "does not mirror"},
        {"wrong orientation",
         [](FrameModel& m) { std::reverse(m.model[1][0].ring.begin(), m.model[1][0].ring.end()); },
         "wrong way round"},
        {"stale sharing", [](FrameModel& m) { m.nodes[5].sharing = nsInner; }, "has sharing"},
        {"unused node", [](FrameModel& m) { test::AddNode(m.nodes, 1, 1); }, "used by no ring"},
        {"corner moved", [](FrameModel& m) { m.nodes[2].x = 90; }, "not at the corners"},
        {"corner kind", [](FrameModel& m) { m.nodes[1].border = bkLeft; }, "border kind"},
        {"two-node ring", [](FrameModel& m) { m.model[1][0].ring.SetLength(2); }, "fewer than three"},
        {"repeated node", [](FrameModel& m) { m.model[1][0].ring.Insert(1, 4); }, "twice in a row"},
        {"no area", [](FrameModel& m) { m.nodes[6].y = m.nodes[7].y = 10; }, "ring 0 of body 1 encloses no area"},
        {"bow tie", [](FrameModel& m) { std::swap(m.model[1][0].ring[2], m.model[1][0].ring[3]); },
         "ring 0 of body 1 crosses itself (edges 5-7 and 6-4)"},
        {"overlapping bodies", [](FrameModel& m) { m.AddSquare(25, 25, 10); },
         "ring 0 of body 1 crosses ring 0 of body 2 (edges 5-6 and 8-9)"},
        {"through the frame", [](FrameModel& m) { m.nodes[5].x = 110; },
         "ring 0 of body 0 crosses ring 0 of body 1 (edges 2-3 and 4-5)"},
        {"not finite", [](FrameModel& m) { m.nodes[5].x = std::nan(""); }, "node 5 has a coordinate that is not"},
    };
    return rows;
}

TEST(CheckModelInvariants, FindsEachKindOfFault)
{
    for (const TSpoiledModel& row : SpoiledModels()) {
        FrameModel m;
        m.AddSquare(10, 10, 20);
        row.spoil(m);
        const std::string faults = Describe(CheckModelInvariants(m.model, m.nodes, &kFrameArea));
        EXPECT_NE(faults.find(row.expected), std::string::npos) << row.name << ":" << faults;
    }
}

// Settling in the same pass as the check gives what settling first and then
// checking gives: the same rings, the same sharing, the same faults in the
// same order.
TEST(SettleAndCheckModel, IsTheSettleFollowedByTheCheck)
{
    for (const TSpoiledModel& row : SpoiledModels()) {
        FrameModel m;
        m.AddSquare(10, 10, 20);
        m.AddSquare(50, 10, 20);
        row.spoil(m);
        if (std::string_view(row.expected) == "outside the node table")
            continue; // nothing is settled over indexes that leave the table
        FrameModel settled = m;
        for (int body = 0; body < settled.model.Length(); ++body) {
            for (int sub = 0; sub < settled.model[body].Length(); ++sub) {
                arofintM& ring = settled.model[body][sub].ring;
                if (!IsHostRing(body, sub) && !RingHasNoArea(ring, settled.nodes) &&
                    RingIsClockwise(ring, settled.nodes))
                    std::reverse(ring.begin(), ring.end());
            }
            UpdateBodySharing(body, settled.model, settled.nodes);
        }
        const std::vector<std::string> expected = CheckModelInvariants(settled.model, settled.nodes, &kFrameArea);
        const std::vector<std::string> faults = SettleAndCheckModel(m.model, m.nodes, &kFrameArea);
        EXPECT_EQ(faults, expected) << row.name;
        for (int node = 0; node < m.nodes.Length(); ++node)
            EXPECT_EQ(m.nodes[node].sharing, settled.nodes[node].sharing) << row.name << ", node " << node;
        for (int body = 0; body < m.model.Length(); ++body)
            for (int sub = 0; sub < m.model[body].Length(); ++sub)
                EXPECT_TRUE(m.model[body][sub].ring == settled.model[body][sub].ring) << row.name;
    }
}

TEST(CheckModelInvariants, ARingWithoutAreaIsNotAlsoTurnedOver)
{
    FrameModel m;
    m.AddSquare(10, 10, 20);
    m.nodes[6].y = m.nodes[7].y = 10;
    const std::vector<std::string> faults = CheckModelInvariants(m.model, m.nodes, &kFrameArea);
    EXPECT_EQ(faults, std::vector<std::string>{"ring 0 of body 1 encloses no area"});
}

TEST(CheckModelInvariants, AModelWithoutExtentIsChecked)
{
    // All nodes on one vertical line, on one horizontal line, in one place:
    // the edge grid degenerates to one column, one row, one cell.
    for (const auto& flatten : {+[](Tnode& node) { node.x = 0; }, +[](Tnode& node) { node.y = 0; },
                                +[](Tnode& node) { node.x = node.y = 7; }}) {
        FrameModel m;
        m.AddSquare(10, 10, 20);
        for (Tnode& node : m.nodes)
            flatten(node);
        const std::string faults = Describe(CheckModelInvariants(m.model, m.nodes, &kFrameArea));
        EXPECT_NE(faults.find("ring 0 of body 1 encloses no area"), std::string::npos) << faults;
        EXPECT_EQ(faults.find("crosses"), std::string::npos) << faults;
    }
}

// Adds a body of one ring over the points, turned to the kept orientation.
void AddRingBody(FrameModel& m, arofcomplexM points)
{
    NormalizeOrientation(points);
    Polygon ring;
    for (const complexM& point : points)
        ring.ring.Add(test::AddNode(m.nodes, point.re, point.im));
    m.model.Add(SPolygon{ring});
}

TEST(CheckModelInvariants, RingsThatOnlyTouchDoNotCross)
{
    // Bodies side by side along a common line, a node of one on the other's
    // edge, and two nodes in one place: all touch, none crosses.
    FrameModel m;
    m.AddSquare(10, 10, 10);
    m.AddSquare(20, 10, 10);                                // collinear edges at x = 20
    AddRingBody(m, {test::P(30, 15), test::P(40, 12), test::P(40, 18)}); // apex on the edge x = 30
    AddRingBody(m, {test::P(40, 18), test::P(50, 15), test::P(50, 25)}); // a node where another body has one
    AddRingBody(m, {test::P(0, 40), test::P(10, 35), test::P(10, 45)});  // a node on the frame
    EXPECT_TRUE(CheckModelInvariants(m.model, m.nodes, &kFrameArea).empty())
        << Describe(CheckModelInvariants(m.model, m.nodes, &kFrameArea));
}

TEST(CheckModelInvariants, ANodeAtTheMiddleOfASlopedEdgeTouchesIt)
{
    // The middle of a sloped edge lies on it only up to rounding; a body
    // whose apex sits there touches the edge on either side of it.
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(0.0, 1.0);
    for (int round = 0; round < 400; ++round) {
        FrameModel m;
        const complexM a = test::P(20 + 10 * coordinate(random), 10 + 5 * coordinate(random));
        const complexM b = test::P(40 + 10 * coordinate(random), 30 + 5 * coordinate(random));
        AddRingBody(m, {a, b, test::P(20, 40)}); // below-left of the edge
        const complexM middle{(a.re + b.re) / 2, (a.im + b.im) / 2};
        AddRingBody(m, {middle, test::P(60, 10), test::P(70, 20)}); // above-right of it
        const std::vector<std::string> faults = CheckModelInvariants(m.model, m.nodes, &kFrameArea);
        ASSERT_TRUE(faults.empty()) << "round " << round << Describe(faults);
    }
}

TEST(CheckModelInvariants, TheEdgeGridFindsWhatAllPairsFind)
{
    // Many small triangles, one body each, some crossing: the checker names
    // exactly the pairs of rings that a test of all edge pairs finds.
    std::mt19937 random(20);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 8; ++round) {
        FrameModel m;
        const int count = 20 + 60 * round;
        for (int t = 0; t < count; ++t) {
            const complexM centre = test::P(5 + 90 * unit(random), 5 + 40 * unit(random));
            arofcomplexM points;
            for (int corner = 0; corner < 3; ++corner) {
                const double angle = 2 * std::numbers::pi * (corner + 0.6 * unit(random)) / 3;
                const double radius = 0.5 + 3 * unit(random);
                points.Add(test::P(centre.re + radius * std::cos(angle), centre.im + radius * std::sin(angle)));
            }
            AddRingBody(m, points);
        }
        std::set<std::string> expected;
        for (int first = 1; first < m.model.Length(); ++first)
            for (int second = first + 1; second < m.model.Length(); ++second) {
                const arofintM& p = m.model[first][0].ring;
                const arofintM& q = m.model[second][0].ring;
                bool crosses = false;
                for (int i = 0; i < 3 && !crosses; ++i)
                    for (int j = 0; j < 3 && !crosses; ++j)
                        crosses = NodeSegmentsIntersect(p[i], p[(i + 1) % 3], q[j], m.nodes, q[(j + 1) % 3]);
                if (crosses)
                    expected.insert("ring 0 of body " + std::to_string(first) + " crosses ring 0 of body " +
                                    std::to_string(second));
            }
        std::set<std::string> found;
        for (const std::string& fault : CheckModelInvariants(m.model, m.nodes, &kFrameArea))
            found.insert(fault.substr(0, fault.find(" (edges")));
        EXPECT_EQ(found, expected) << "round " << round;
        EXPECT_FALSE(expected.empty());
    }
}

// Applies long seeded sequences of random operations the way the section
// chart's editing modes do. Every operation either reports success and
// leaves a sound model, or reports failure and the model is restored from
// its copy, as the section chart does.
class RandomEditing {
public:
    // With a surface, the frame follows a random relief profile and the
    // host body itself is edited too: nodes on the frame, rings against it,
    // surface moves and changes of the model area.
    RandomEditing(unsigned seed, bool surface) : FRandom(seed), FSurface(surface)
    {
        if (surface) {
            for (double x = -60; x <= 160; x += Uniform(10, 40))
                FProfile.Add(MakeComplex(x, Uniform(0, 8)));
        }
        BuildFrameModel(FNodes, FModel, FProfile, FSurface, FArea.bottom, FArea.top, FArea.right, FArea.left);
    }

    void Run(int steps)
    {
        for (int step = 0; step < steps; ++step) {
            const AllSpolygon savedModel = CopyAllSpolygon(FModel);
            const Tnodes savedNodes = CopyNodes(FNodes);
            const TModelArea savedArea = FArea;
            std::string operation;
            const bool done = Apply(operation);
            if (!done) {
                FModel = savedModel;
                FNodes = savedNodes;
                FArea = savedArea;
            }
            std::vector<std::string> faults = CheckModelInvariants(FModel, FNodes, &FArea);
            for (std::string& fault : test::RingGeometryFaults(FModel, FNodes))
                faults.push_back(std::move(fault));
            ASSERT_TRUE(faults.empty()) << "step " << step << ": " << operation << (done ? " (done)" : " (refused)")
                                        << Describe(faults);
            ++(done ? FDone : FRefused);
            if (done)
                FDoneKinds.insert(operation.substr(0, operation.find(' ')));
        }
    }

    int Done() const { return FDone; }
    // The kinds of operation that succeeded at least once.
    const std::set<std::string>& DoneKinds() const { return FDoneKinds; }

private:
    double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(FRandom); }
    int Index(int count) { return std::uniform_int_distribution<int>(0, count - 1)(FRandom); }

    int BodyOf(int node) const
    {
        int body = -1;
        return FindBodyOfNode(node, body, FModel) ? body : -1;
    }

    // A random ring other than the host ring, as (body, sub); false when none.
    bool PickRing(int& body, int& sub, bool hostBodyOnly = false)
    {
        std::vector<std::pair<int, int>> rings;
        for (int b = 0; b < (hostBodyOnly ? 1 : FModel.Length()); ++b)
            for (int s = 0; s < FModel[b].Length(); ++s)
                if (!IsHostRing(b, s))
                    rings.emplace_back(b, s);
        if (rings.empty())
            return false;
        std::tie(body, sub) = rings[static_cast<size_t>(Index(static_cast<int>(rings.size())))];
        return true;
    }

    // A random point inside the area, away from its edges.
    complexM InnerPoint(double margin)
    {
        return MakeComplex(Uniform(FArea.left + margin, FArea.right - margin),
                           Uniform(FArea.top + 10 + margin, FArea.bottom - margin));
    }

    bool Apply(std::string& operation)
    {
        if (FSurface && Index(2) == 0)
            return ApplyToHostBody(operation);
        const int bodies = FModel.Length();
        switch (Index(12)) {
        case 0:
        case 1: {
            operation = "AddPolygon";
            if (bodies > 30)
                return false;
            const complexM centre = InnerPoint(5);
            const double radius = Uniform(1, 8);
            const int corners = 3 + Index(4);
            arofcomplexM points;
            for (int i = 0; i < corners; ++i) {
                const double angle = 2 * std::numbers::pi * i / corners + Uniform(0, 0.5);
                points.Add(MakeComplex(std::clamp(centre.re + radius * std::cos(angle), FArea.left + 0.5, FArea.right - 0.5),
                                       std::clamp(centre.im + radius * std::sin(angle), FArea.top + 10, FArea.bottom - 0.5)));
                // The drawing mode accepts a point only when the path may go on.
                if (!CheckDrawnPolyline(points, FModel, FNodes, i == corners - 1))
                    return false;
            }
            return AddPolygon(points, FModel, FNodes);
        }
        case 2: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            const arofintM& ring = FModel[body][sub].ring;
            const int i = Index(ring.Length());
            return AddNodeAtMiddle(body, ring[i], ring[(i + 1) % ring.Length()], operation);
        }
        case 3: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            const arofintM& ring = FModel[body][sub].ring;
            const int a = ring[Index(ring.Length())], b = ring[Index(ring.Length())];
            operation = "DividePolygon " + std::to_string(a) + "-" + std::to_string(b);
            int id = 0;
            return DividePolygon(a, b, body, id, FNodes, FModel);
        }
        case 4: {
            // As the coupling mode does: a free inner node is dropped on a
            // nearby node, the move is checked, then the nodes are merged.
            const int from = Index(FNodes.Length());
            const int to = NearbyNode(from, 6.0);
            operation = "MergeNodes " + std::to_string(from) + "->" + std::to_string(to);
            if (to < 0 || FNodes[from].border != bkNone || FNodes[from].fixed)
                return false;
            const int bodyFrom = BodyOf(from);
            FNodes[from].x = FNodes[to].x;
            FNodes[from].y = FNodes[to].y;
            if (!CheckMovedNodes({from}, bodyFrom, FModel, 0, FNodes))
                return false;
            return MergeNodes(from, to, bodyFrom, FNodes, FModel, BodyOf(to));
        }
        case 5: {
            const int node = Index(FNodes.Length());
            operation = "SplitSharedNode " + std::to_string(node);
            return SplitSharedNode(node, BodyOf(node), FModel, FNodes);
        }
        case 6: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            operation = "UncoupleSubPolygon " + std::to_string(body) + "/" + std::to_string(sub);
            return UncoupleSubPolygon(sub, body, FModel, FNodes);
        }
        case 7: {
            const int node = Index(FNodes.Length());
            operation = "DeleteNode " + std::to_string(node);
            return DeleteNode(node, BodyOf(node), FModel, FNodes);
        }
        case 8: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            operation = "DeleteSubPolygon " + std::to_string(body) + "/" + std::to_string(sub);
            return DeleteSubPolygon(sub, body, FModel, FNodes);
        }
        case 9: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            const arofintM& ring = FModel[body][sub].ring;
            return MoveNode(ring[Index(ring.Length())], operation);
        }
        default: {
            // As the sub-polygon mode does: a path from one outline node of a
            // body to another, bulging out, checked point by point.
            int body = 0, sub = 0;
            if (!PickRing(body, sub) || body == 0)
                return false;
            const arofintM& ring = FModel[body][sub].ring;
            return AddSubPolygonBetween(body, ring[Index(ring.Length())], ring[Index(ring.Length())], operation);
        }
        }
    }

    // Operations on the host body: the frame, the surface and the area.
    bool ApplyToHostBody(std::string& operation)
    {
        const arofintM& host = FModel[0][0].ring;
        const int outline = RingEdgeCount(host, true);
        switch (Index(5)) {
        case 0: {
            const int i = Index(outline);
            return AddNodeAtMiddle(0, host[i], host[(i + 1) % host.Length()], operation);
        }
        case 1: {
            // A ring of the host body, drawn from one outline node to another.
            const int start = host[Index(outline)], end = host[Index(outline)];
            return AddSubPolygonBetween(0, start, end, operation);
        }
        case 2: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub, true))
                return false;
            const arofintM& ring = FModel[body][sub].ring;
            return MoveNode(ring[Index(ring.Length())], operation);
        }
        case 3:
            return MoveNode(host[Index(outline)], operation);
        default:
            return ChangeArea(operation);
        }
    }

    bool AddNodeAtMiddle(int body, int a, int b, std::string& operation)
    {
        operation = "AddNodeOnEdge " + std::to_string(a) + "-" + std::to_string(b);
        const complexM point{(FNodes[a].x + FNodes[b].x) / 2, (FNodes[a].y + FNodes[b].y) / 2};
        if (!AddNodeOnEdge(a, b, body, 1, 1, FNodes, FModel, point))
            return false;
        // The add-node mode gives the new node its border kind.
        Tnode& added = FNodes[FNodes.High()];
        added.border = GetNodeBorderKind(FNodes.High(), FModel, FNodes, FArea.bottom, FArea.top, FArea.right, FArea.left);
        return true;
    }

    bool AddSubPolygonBetween(int body, int start, int end, std::string& operation)
    {
        operation = "AddSubPolygon " + std::to_string(start) + "->" + std::to_string(end);
        if (start == end || FNodes[start].sharing >= nsInner || FNodes[end].sharing >= nsInner)
            return false;
        const complexM a = NodePoint(FNodes, start), b = NodePoint(FNodes, end);
        const double bulge = Uniform(-1.5, 1.5);
        complexM middle{(a.re + b.re) / 2 - (b.im - a.im) * bulge, (a.im + b.im) / 2 + (b.re - a.re) * bulge};
        if (body == 0) // inside the area, below the surface
            middle = MakeComplex(std::clamp(middle.re, FArea.left + 1, FArea.right - 1),
                                 std::clamp(middle.im, FArea.top + 10, FArea.bottom - 1));
        arofcomplexM points{a, middle};
        if (!CheckDrawnPolyline(points, FModel, FNodes, false))
            return false;
        points.Add(b);
        if (!CheckDrawnPolyline(points, FModel, FNodes, false))
            return false;
        if (body != 0)
            return AddSubPolygon(start, end, body, false, FNodes, FModel, points);
        // The host body: first the one ring, then, when refused, the other.
        const AllSpolygon model = CopyAllSpolygon(FModel);
        const Tnodes nodes = CopyNodes(FNodes);
        arofcomplexM first = points;
        if (AddSubPolygonWithBorders(start, end, 0, false, FNodes, FModel, first, FArea.bottom, FArea.top,
                                     FArea.right, FArea.left))
            return true;
        FModel = model;
        FNodes = nodes;
        return AddSubPolygonWithBorders(start, end, 0, true, FNodes, FModel, points, FArea.bottom, FArea.top,
                                        FArea.right, FArea.left);
    }

    // As the move mode does: border nodes stay on their border, surface nodes
    // follow the profile and the surface is re-sorted, then the move is
    // checked.
    bool MoveNode(int node, std::string& operation)
    {
        operation = "move node " + std::to_string(node);
        if (FNodes[node].fixed)
            return false;
        double x = FNodes[node].x + Uniform(-4, 4);
        double y = FNodes[node].y + Uniform(-4, 4);
        const bool onBorder = ConstrainNodeToBorder(node, FProfile, FSurface, FNodes, FModel, y, x, FArea.bottom,
                                                    FArea.top, FArea.right, FArea.left);
        if (!onBorder && FNodes[node].border != bkNone)
            return false; // frame nodes and corners stay
        if (!onBorder)
            y = std::max(y, FArea.top + 10); // below the surface
        FNodes[node].x = x;
        FNodes[node].y = y;
        SortSurfaceNodes(node, FSurface, FModel, FNodes);
        UpdateBodySharing(0, FModel, FNodes); // the host body's rings may have been rebuilt
        return CheckMovedNodes({node}, BodyOf(node), FModel, 0, FNodes);
    }

    // As the model set-up does: a new area that still holds every node of
    // the model, then the border nodes follow it.
    bool ChangeArea(std::string& operation)
    {
        operation = "ChangeModelArea";
        double minX = 1e30, maxX = -1e30, maxY = -1e30;
        for (int node = 4; node < FNodes.Length(); ++node) {
            if (FNodes[node].border == bkLeft || FNodes[node].border == bkRight)
                continue;
            minX = std::min(minX, FNodes[node].x);
            maxX = std::max(maxX, FNodes[node].x);
            if (FNodes[node].border != bkBottom)
                maxY = std::max(maxY, FNodes[node].y);
        }
        TModelArea area = FArea;
        area.left = std::min(minX, FArea.left + 20) - Uniform(0.5, 20);
        area.right = std::max(maxX, FArea.right - 20) + Uniform(0.5, 20);
        area.bottom = std::max(maxY, FArea.bottom - 10) + Uniform(0.5, 10);
        if (!ChangeModelArea(FProfile, FSurface, FModel, FNodes, area.bottom, area.top, area.right, area.left,
                             FArea.bottom, FArea.top, FArea.right, FArea.left))
            return false;
        FitBorderNodesToArea(FNodes, area.bottom, area.top, area.right, area.left);
        FArea = area;
        return true;
    }

    // A random node within the distance of node, other than itself; -1 when none.
    int NearbyNode(int node, double distance)
    {
        std::vector<int> near;
        for (int other = 0; other < FNodes.Length(); ++other)
            if (other != node && PlainDistance(NodePoint(FNodes, other), NodePoint(FNodes, node)) < distance)
                near.push_back(other);
        return near.empty() ? -1 : near[static_cast<size_t>(Index(static_cast<int>(near.size())))];
    }

    std::mt19937 FRandom;
    bool FSurface;
    arofcomplexM FProfile;
    TModelArea FArea{0, 0, 100, 50};
    Tnodes FNodes;
    AllSpolygon FModel;
    int FDone = 0;
    int FRefused = 0;
    std::set<std::string> FDoneKinds;
};

// One test per seed, so that CTest runs the seeds side by side.
class RandomEditingFlat : public testing::TestWithParam<unsigned> {};
class RandomEditingUnderARelief : public testing::TestWithParam<unsigned> {};

TEST_P(RandomEditingFlat, EveryStepKeepsTheModelSound)
{
    const unsigned seed = GetParam();
    RandomEditing editing(seed, false);
    editing.Run(2000);
    if (HasFatalFailure())
        return;
    EXPECT_GT(editing.Done(), 200) << "seed " << seed << ": too few operations succeeded to mean much";
    EXPECT_EQ(editing.DoneKinds().size(), 10u) << "seed " << seed << ": some kind of operation never succeeded";
}

TEST_P(RandomEditingUnderARelief, EveryStepKeepsTheModelSound)
{
    const unsigned seed = GetParam();
    RandomEditing editing(seed, true);
    editing.Run(2000);
    if (HasFatalFailure())
        return;
    EXPECT_GT(editing.Done(), 200) << "seed " << seed;
    for (const char* kind : {"AddNodeOnEdge", "AddSubPolygon", "move", "ChangeModelArea"})
        EXPECT_EQ(editing.DoneKinds().count(kind), 1u) << "seed " << seed << ": " << kind << " never succeeded";
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEditingFlat, testing::Range(1u, 13u));
INSTANTIATE_TEST_SUITE_P(Seeds, RandomEditingUnderARelief, testing::Range(101u, 107u));

} // namespace
} // namespace lp
