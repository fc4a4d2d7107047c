#pragma once
// Seeded random section models made through the model's own editing
// operations: bodies added, rings divided, nodes added on edges and
// coupled, bodies touching the frame and each other, pockets of host
// medium enclosed by bodies, and (for some seeds) a relief top from a
// surface profile. Every accepted step leaves a sound model; a refused step
// is undone.

#include "section/model/Polygons.h"

#include <random>
#include <string>
#include <vector>

namespace lp::test {

struct TRandomSection {
    Tnodes nodes;
    AllSpolygon model;
    lines modelLines;
    arofcomplexM profile; // the relief the frame was built on, with useProfile
    bool useProfile = false;
    std::vector<std::string> faults; // of the first step that broke the model
};

class TRandomSectionMaker {
public:
    static constexpr double Left = 0, Top = 0, Right = 100, Bottom = 60;

    explicit TRandomSectionMaker(unsigned seed) : FRandom(seed), FSeed(seed) {}

    TRandomSection Make()
    {
        arofcomplexM profile;
        const bool useProfile = FSeed % 3 == 0;
        if (useProfile)
            for (double x = -10; x <= 110; x += Uniform(8, 25))
                profile.Add(MakeComplex(x, Uniform(0, 6)));
        BuildFrameModel(S.nodes, S.model, profile, useProfile, Bottom, Top, Right, Left);
        S.profile = profile;
        S.useProfile = useProfile;
        for (int step = 0; step < 14 && S.faults.empty(); ++step)
            Step(static_cast<int>(FRandom() % 7));
        AddLines();
        return S;
    }

private:
    double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(FRandom); }
    int Pick(int count) { return static_cast<int>(FRandom() % static_cast<unsigned>(count)); }

    template <class Edit>
    void Try(Edit edit)
    {
        const Tnodes nodes = CopyNodes(S.nodes);
        const AllSpolygon model = CopyAllSpolygon(S.model);
        if (!edit()) {
            S.nodes = nodes;
            S.model = model;
            return;
        }
        S.faults = CheckModelInvariants(S.model, S.nodes);
    }

    void Step(int kind)
    {
        switch (kind) {
        case 0:
        case 1:
            Try([&] { return AddQuad(); });
            break;
        case 2:
            Try([&] { return AddPocket(FSeed % 2 == 0); });
            break;
        case 3:
            Try([&] { return Divide(); });
            break;
        case 4:
            Try([&] { return AddNodeAndDivide(); });
            break;
        case 5:
            Try([&] { return CutCorner(); });
            break;
        default:
            Try([&] { return CoupleNearNodes(); });
            break;
        }
    }

    bool AddQuad()
    {
        const double x = Uniform(2, 85), y = Uniform(8, 48), w = Uniform(4, 14), h = Uniform(3, 10);
        arofcomplexM points{MakeComplex(x, y), MakeComplex(x + w + Uniform(-1, 1), y + Uniform(-1, 1)),
                            MakeComplex(x + w, y + h), MakeComplex(x + Uniform(-1, 1), y + h)};
        return AddPolygon(points, S.model, S.nodes);
    }

    // Four bars around a pocket of host medium; with coupling, the bars'
    // nodes at one place become one node.
    bool AddPocket(bool couple)
    {
        const double x = Uniform(5, 60), y = Uniform(12, 30), w = Uniform(15, 30), h = Uniform(12, 25),
                     t = Uniform(2, 4);
        const auto box = [](double x0, double y0, double x1, double y1) {
            return arofcomplexM{MakeComplex(x0, y0), MakeComplex(x1, y0), MakeComplex(x1, y1), MakeComplex(x0, y1)};
        };
        arofcomplexM bars[4] = {box(x, y, x + w, y + t), box(x, y + h - t, x + w, y + h),
                                box(x, y + t, x + t, y + h - t), box(x + w - t, y + t, x + w, y + h - t)};
        for (arofcomplexM& bar : bars)
            if (!AddPolygon(bar, S.model, S.nodes))
                return false;
        if (couple)
            CoupleNodesAtOnePlace();
        return true;
    }

    void CoupleNodesAtOnePlace()
    {
        for (bool merged = true; merged;) {
            merged = false;
            for (int a = 0; a < S.nodes.Length() && !merged; ++a)
                for (int b = a + 1; b < S.nodes.Length() && !merged; ++b)
                    if (S.nodes[a].x == S.nodes[b].x && S.nodes[a].y == S.nodes[b].y) {
                        int bodyA = -1, bodyB = -1;
                        if (!FindBodyOfNode(a, bodyA, S.model) || !FindBodyOfNode(b, bodyB, S.model) ||
                            bodyA == bodyB)
                            continue;
                        const Tnodes nodes = CopyNodes(S.nodes);
                        const AllSpolygon model = CopyAllSpolygon(S.model);
                        if (MergeNodes(b, a, bodyB, S.nodes, S.model, bodyA)) {
                            merged = true;
                        } else {
                            S.nodes = nodes;
                            S.model = model;
                        }
                    }
        }
    }

    // A random ring other than the host ring: (body, sub), body -1 when none.
    std::pair<int, int> PickRing()
    {
        std::vector<std::pair<int, int>> rings;
        for (int body = 0; body < S.model.Length(); ++body)
            for (int sub = 0; sub < S.model[body].Length(); ++sub)
                if (!IsHostRing(body, sub))
                    rings.emplace_back(body, sub);
        if (rings.empty())
            return {-1, -1};
        return rings[static_cast<size_t>(Pick(static_cast<int>(rings.size())))];
    }

    bool Divide()
    {
        const auto [body, sub] = PickRing();
        if (body < 0 || S.model[body][sub].ring.Length() < 4)
            return false;
        const arofintM& ring = S.model[body][sub].ring;
        const int n = ring.Length();
        const int i = Pick(n), j = (i + 2 + Pick(n - 3)) % n;
        int id = 0;
        return DividePolygon(ring[i], ring[j], body, id, S.nodes, S.model);
    }

    // A node on a ring's edge (in every ring of the body with that edge),
    // then a cut from it across the ring.
    bool AddNodeAndDivide()
    {
        const auto [body, sub] = PickRing();
        if (body < 0)
            return false;
        const arofintM ring = S.model[body][sub].ring;
        const int n = ring.Length();
        const int i = Pick(n);
        const int a = ring[i], b = ring[(i + 1) % n];
        const double t = Uniform(0.3, 0.7);
        const complexM point = MakeComplex(S.nodes[a].x + t * (S.nodes[b].x - S.nodes[a].x),
                                           S.nodes[a].y + t * (S.nodes[b].y - S.nodes[a].y));
        if (!AddNodeOnEdge(a, b, body, 1, 1, S.nodes, S.model, point))
            return false;
        const int added = S.nodes.High();
        int id = 0;
        const arofintM& grown = S.model[body][sub].ring;
        int at = 0;
        if (!FindInRing(added, grown, at) || grown.Length() < 4)
            return true;
        const int other = grown[(at + 2 + Pick(grown.Length() - 3)) % grown.Length()];
        const Tnodes nodes = CopyNodes(S.nodes);
        const AllSpolygon model = CopyAllSpolygon(S.model);
        if (!DividePolygon(added, other, body, id, S.nodes, S.model)) {
            S.nodes = nodes;
            S.model = model;
        }
        return true;
    }

    // A ring of the host body in a bottom corner: nodes added on the left
    // (or right) edge and on the bottom edge, joined through the inside.
    bool CutCorner()
    {
        const bool left = Pick(2) == 0;
        const double y = Uniform(40, 55), x = left ? Uniform(5, 20) : Uniform(80, 95);
        const int side0 = left ? 0 : 2, side1 = left ? 1 : 3;
        if (!AddNodeOnEdge(side0, side1, 0, 1, 1, S.nodes, S.model, MakeComplex(left ? Left : Right, y)))
            return false;
        const int onSide = S.nodes.High();
        if (!AddNodeOnEdge(1, 2, 0, 1, 1, S.nodes, S.model, MakeComplex(x, Bottom)))
            return false;
        const int onBottom = S.nodes.High();
        const complexM inner = MakeComplex(left ? x - Uniform(0, 4) : x + Uniform(0, 4), y + Uniform(0, 3));
        arofcomplexM points{MakeComplex(S.nodes[onSide].x, S.nodes[onSide].y), inner,
                            MakeComplex(S.nodes[onBottom].x, S.nodes[onBottom].y)};
        return AddSubPolygonWithBorders(onSide, onBottom, 0, false, S.nodes, S.model, points, Bottom, Top, Right,
                                        Left) ||
               AddSubPolygonWithBorders(onSide, onBottom, 0, true, S.nodes, S.model, points, Bottom, Top, Right,
                                        Left);
    }

    // Couples a node of one body into the nearest node of another, so that
    // bodies touch at a node or along edges.
    bool CoupleNearNodes()
    {
        int bestFrom = -1, bestTo = -1, bodyFrom = -1, bodyTo = -1;
        double best = 6.0;
        for (int a = 4; a < S.nodes.Length(); ++a)
            for (int b = 4; b < S.nodes.Length(); ++b) {
                int ba = -1, bb = -1;
                if (a == b || !FindBodyOfNode(a, ba, S.model) || !FindBodyOfNode(b, bb, S.model) || ba == bb)
                    continue;
                const double d = std::hypot(S.nodes[a].x - S.nodes[b].x, S.nodes[a].y - S.nodes[b].y);
                if (d < best && S.nodes[a].border == bkNone) {
                    best = d;
                    bestFrom = a;
                    bestTo = b;
                    bodyFrom = ba;
                    bodyTo = bb;
                }
            }
        if (bestFrom < 0)
            return false;
        return MergeNodes(bestFrom, bestTo, bodyFrom, S.nodes, S.model, bodyTo);
    }

    // One line inside a body's first ring when one is found, one across the model.
    void AddLines()
    {
        line across;
        across.text = "Across";
        for (double x : {1.0, 35.0, 70.0, 99.0})
            across.points.Add(MakeComplex(x, Uniform(20, 58)));
        S.modelLines.Add(across);
    }

    std::mt19937 FRandom;
    unsigned FSeed;
    TRandomSection S;
};

} // namespace lp::test
