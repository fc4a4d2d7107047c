#include "section/model/Polygons.h"

#include "ModelFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <sstream>

namespace lp {
namespace {

using test::FrameModel;

const TModelArea kFrameArea{0, 0, 100, 50};

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

TEST(CheckModelInvariants, FindsEachKindOfFault)
{
    struct Row {
        const char* name;
        void (*spoil)(FrameModel&);
        const char* expected;
    };
    const Row rows[] = {
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
    };
    for (const Row& row : rows) {
        FrameModel m;
        m.AddSquare(10, 10, 20);
        row.spoil(m);
        const std::string faults = Describe(CheckModelInvariants(m.model, m.nodes, &kFrameArea));
        EXPECT_NE(faults.find(row.expected), std::string::npos) << row.name << ":" << faults;
    }
}

// Applies long seeded sequences of random operations. Every operation either
// reports success and leaves a sound model, or reports failure and the model
// is restored from its copy, as the section chart does.
class RandomEditing {
public:
    explicit RandomEditing(unsigned seed) : FRandom(seed) {}

    void Run(int steps)
    {
        for (int step = 0; step < steps; ++step) {
            const AllSpolygon savedModel = CopyAllSpolygon(F.model);
            const Tnodes savedNodes = CopyNodes(F.nodes);
            std::string operation;
            const bool done = Apply(operation);
            if (!done) {
                F.model = savedModel;
                F.nodes = savedNodes;
            }
            const std::vector<std::string> faults = CheckModelInvariants(F.model, F.nodes, &kFrameArea);
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
        for (int body = 0; body < F.model.Length(); ++body)
            for (const Polygon& ring : F.model[body])
                if (ring.ring.Contains(node))
                    return body;
        return -1;
    }

    // A random ring other than the host ring, as (body, sub); false when none.
    bool PickRing(int& body, int& sub)
    {
        std::vector<std::pair<int, int>> rings;
        for (int b = 0; b < F.model.Length(); ++b)
            for (int s = 0; s < F.model[b].Length(); ++s)
                if (!IsHostRing(b, s))
                    rings.emplace_back(b, s);
        if (rings.empty())
            return false;
        std::tie(body, sub) = rings[static_cast<size_t>(Index(static_cast<int>(rings.size())))];
        return true;
    }

    bool Apply(std::string& operation)
    {
        const int bodies = F.model.Length();
        switch (Index(12)) {
        case 0:
        case 1: {
            operation = "AddPolygon";
            if (bodies > 30)
                return false;
            const double cx = Uniform(5, 95), cy = Uniform(5, 45), radius = Uniform(1, 8);
            const int corners = 3 + Index(4);
            arofcomplexM points;
            for (int i = 0; i < corners; ++i) {
                const double angle = 2 * std::numbers::pi * i / corners + Uniform(0, 0.5);
                points.Add(MakeComplex(std::clamp(cx + radius * std::cos(angle), 0.5, 99.5),
                                       std::clamp(cy + radius * std::sin(angle), 0.5, 49.5)));
                // The drawing mode accepts a point only when the path may go on.
                if (!CheckDrawnPolyline(points, F.model, F.nodes, i == corners - 1))
                    return false;
            }
            return AddPolygon(points, F.model, F.nodes);
        }
        case 2: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            const arofintM& ring = F.model[body][sub].ring;
            const int i = Index(ring.Length());
            const int a = ring[i], b = ring[(i + 1) % ring.Length()];
            operation = "AddNodeOnEdge " + std::to_string(a) + "-" + std::to_string(b);
            const complexM point{(F.nodes[a].x + F.nodes[b].x) / 2, (F.nodes[a].y + F.nodes[b].y) / 2};
            return AddNodeOnEdge(a, b, body, 1, 1, F.nodes, F.model, point);
        }
        case 3: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            const arofintM& ring = F.model[body][sub].ring;
            const int a = ring[Index(ring.Length())], b = ring[Index(ring.Length())];
            operation = "DividePolygon " + std::to_string(a) + "-" + std::to_string(b);
            int id = 0;
            return DividePolygon(a, b, body, id, F.nodes, F.model);
        }
        case 4: {
            // As the coupling mode does: a free inner-area node is dropped on a
            // nearby node, the move is checked, then the nodes are merged.
            const int from = Index(F.nodes.Length());
            const int to = NearbyNode(from, 6.0);
            operation = "MergeNodes " + std::to_string(from) + "->" + std::to_string(to);
            if (to < 0 || F.nodes[from].border != bkNone)
                return false;
            const int bodyFrom = BodyOf(from);
            F.nodes[from].x = F.nodes[to].x;
            F.nodes[from].y = F.nodes[to].y;
            if (!CheckMovedNodes({from}, bodyFrom, F.model, 0, F.nodes))
                return false;
            return MergeNodes(from, to, bodyFrom, F.nodes, F.model, BodyOf(to));
        }
        case 5: {
            const int node = Index(F.nodes.Length());
            operation = "SplitSharedNode " + std::to_string(node);
            return SplitSharedNode(node, BodyOf(node), F.model, F.nodes);
        }
        case 6: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            operation = "UncoupleSubPolygon " + std::to_string(body) + "/" + std::to_string(sub);
            return UncoupleSubPolygon(sub, body, F.model, F.nodes);
        }
        case 7: {
            const int node = Index(F.nodes.Length());
            operation = "DeleteNode " + std::to_string(node);
            return DeleteNode(node, BodyOf(node), F.model, F.nodes);
        }
        case 8: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            operation = "DeleteSubPolygon " + std::to_string(body) + "/" + std::to_string(sub);
            return DeleteSubPolygon(sub, body, F.model, F.nodes);
        }
        case 9: {
            int body = 0, sub = 0;
            if (!PickRing(body, sub))
                return false;
            const arofintM& ring = F.model[body][sub].ring;
            const int node = ring[Index(ring.Length())];
            operation = "move node " + std::to_string(node);
            if (F.nodes[node].border != bkNone || node < 4)
                return false;
            F.nodes[node].x = std::clamp(F.nodes[node].x + Uniform(-3, 3), 0.1, 99.9);
            F.nodes[node].y = std::clamp(F.nodes[node].y + Uniform(-3, 3), 0.1, 49.9);
            return CheckMovedNodes({node}, body, F.model, 0, F.nodes);
        }
        default: {
            // As the sub-polygon mode does: a path from one outline node of a
            // body to another, bulging out, checked point by point.
            int body = 0, sub = 0;
            if (!PickRing(body, sub) || body == 0)
                return false;
            const arofintM& ring = F.model[body][sub].ring;
            const int start = ring[Index(ring.Length())], end = ring[Index(ring.Length())];
            operation = "AddSubPolygon " + std::to_string(start) + "->" + std::to_string(end);
            if (start == end || F.nodes[start].sharing >= nsInner || F.nodes[end].sharing >= nsInner)
                return false;
            const complexM a = NodePoint(F.nodes, start), b = NodePoint(F.nodes, end);
            const double bulge = Uniform(-1.5, 1.5);
            const complexM middle{(a.re + b.re) / 2 - (b.im - a.im) * bulge, (a.im + b.im) / 2 + (b.re - a.re) * bulge};
            arofcomplexM points{a, middle};
            if (!CheckDrawnPolyline(points, F.model, F.nodes, false))
                return false;
            points.Add(b);
            if (!CheckDrawnPolyline(points, F.model, F.nodes, false))
                return false;
            return AddSubPolygon(start, end, body, false, F.nodes, F.model, points);
        }
        }
    }

    // A random node within the distance of node, other than itself; -1 when none.
    int NearbyNode(int node, double distance)
    {
        std::vector<int> near;
        for (int other = 0; other < F.nodes.Length(); ++other)
            if (other != node && PlainDistance(NodePoint(F.nodes, other), NodePoint(F.nodes, node)) < distance)
                near.push_back(other);
        return near.empty() ? -1 : near[static_cast<size_t>(Index(static_cast<int>(near.size())))];
    }

    FrameModel F;
    std::mt19937 FRandom;
    int FDone = 0;
    int FRefused = 0;
    std::set<std::string> FDoneKinds;
};

TEST(RandomEditing, EveryStepKeepsTheModelSound)
{
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        RandomEditing editing(seed);
        editing.Run(2000);
        if (HasFatalFailure())
            return;
        EXPECT_GT(editing.Done(), 200) << "seed " << seed << ": too few operations succeeded to mean much";
        EXPECT_EQ(editing.DoneKinds().size(), 10u) << "seed " << seed << ": some kind of operation never succeeded";
    }
}

} // namespace
} // namespace lp
