#pragma once
// Geometric promises of the rings, checked independently of the operations:
// every ring but the host ring encloses an area, no two ring edges cross and
// no ring reaches into another. The random editing tests run this after
// every step, beside CheckModelInvariants; overlaps are judged by
// RingsOverlap, which has its own tests.

#include "section/model/Polygons.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace lp::test {

namespace detail {

struct RingEdge {
    complexM from;
    complexM to;
    int body = 0;
    int sub = 0;
    double minX() const { return std::min(from.re, to.re); }
    double maxX() const { return std::max(from.re, to.re); }
};

inline std::string RingLabel(int body, int sub)
{
    return "ring " + std::to_string(sub) + " of body " + std::to_string(body);
}

// Every edge the rings' walks take, sorted by their left end.
inline std::vector<RingEdge> SortedRingEdges(const AllSpolygon& model, const Tnodes& nodes)
{
    std::vector<RingEdge> edges;
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub) {
            const arofintM& ring = model[body][sub].ring;
            const int count = RingEdgeCount(ring, IsHostRing(body, sub));
            for (int i = 0; i < count; ++i)
                edges.push_back({NodePoint(nodes, ring[i]), NodePoint(nodes, ring[(i + 1) % ring.Length()]), body, sub});
        }
    std::sort(edges.begin(), edges.end(), [](const RingEdge& a, const RingEdge& b) { return a.minX() < b.minX(); });
    return edges;
}

// Signed distance of q from the line through a and b.
inline double SideOf(const complexM& a, const complexM& b, const complexM& q)
{
    const double dx = b.re - a.re, dy = b.im - a.im;
    const double length = std::hypot(dx, dy);
    return length > 0 ? (dx * (q.im - a.im) - dy * (q.re - a.re)) / length : 0.0;
}

// Whether the two edges cross beyond rounding: each edge's ends lie on
// either side of the other's line, farther than a hair (relative to the
// coordinates). Edges that lie on each other, as those of bodies touching
// along a line do, may cross by a hair once a node is added on one of them.
inline bool EdgesCross(const RingEdge& e, const RingEdge& f)
{
    if (!SegmentsIntersect(e.from, e.to, f.from, f.to))
        return false;
    const double size = std::max({1.0, std::fabs(e.from.re), std::fabs(e.from.im), std::fabs(e.to.re),
                                  std::fabs(e.to.im), std::fabs(f.from.re), std::fabs(f.from.im), std::fabs(f.to.re),
                                  std::fabs(f.to.im)});
    const double hair = 1e-9 * size;
    auto apart = [hair](double s1, double s2) { return (s1 > hair && s2 < -hair) || (s1 < -hair && s2 > hair); };
    return apart(SideOf(e.from, e.to, f.from), SideOf(e.from, e.to, f.to)) &&
           apart(SideOf(f.from, f.to, e.from), SideOf(f.from, f.to, e.to));
}

// Sweep over x: only edges whose x ranges meet are compared.
inline void AddCrossingFaults(const AllSpolygon& model, const Tnodes& nodes, std::vector<std::string>& faults)
{
    const std::vector<RingEdge> edges = SortedRingEdges(model, nodes);
    for (size_t i = 0; i < edges.size(); ++i)
        for (size_t j = i + 1; j < edges.size() && edges[j].minX() <= edges[i].maxX(); ++j)
            if (EdgesCross(edges[i], edges[j]))
                faults.push_back("an edge of " + RingLabel(edges[i].body, edges[i].sub) + " crosses an edge of " +
                                 RingLabel(edges[j].body, edges[j].sub));
}

struct RingBox {
    int body = 0;
    int sub = 0;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

// The rings other than the host ring with their boxes, sorted by left side.
inline std::vector<RingBox> SortedRingBoxes(const AllSpolygon& model, const Tnodes& nodes)
{
    std::vector<RingBox> boxes;
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub) {
            if (IsHostRing(body, sub))
                continue;
            RingBox box{body, sub, 1e300, -1e300, 1e300, -1e300};
            for (int node : model[body][sub].ring) {
                box.minX = std::min(box.minX, nodes[node].x);
                box.maxX = std::max(box.maxX, nodes[node].x);
                box.minY = std::min(box.minY, nodes[node].y);
                box.maxY = std::max(box.maxY, nodes[node].y);
            }
            boxes.push_back(box);
        }
    std::sort(boxes.begin(), boxes.end(), [](const RingBox& a, const RingBox& b) { return a.minX < b.minX; });
    return boxes;
}

// Sweep over x: only rings whose boxes meet are compared.
inline void AddOverlapFaults(const AllSpolygon& model, const Tnodes& nodes, std::vector<std::string>& faults)
{
    const std::vector<RingBox> boxes = SortedRingBoxes(model, nodes);
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size() && boxes[j].minX <= boxes[i].maxX; ++j) {
            const RingBox& a = boxes[i];
            const RingBox& b = boxes[j];
            if (a.minY <= b.maxY && b.minY <= a.maxY &&
                RingsOverlap(model[a.body][a.sub].ring, model[b.body][b.sub].ring, nodes))
                faults.push_back(RingLabel(a.body, a.sub) + " and " + RingLabel(b.body, b.sub) + " overlap");
        }
}

} // namespace detail

// One text per fault; empty when the rings keep their geometric promises.
inline std::vector<std::string> RingGeometryFaults(const AllSpolygon& model, const Tnodes& nodes)
{
    std::vector<std::string> faults;
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub)
            if (!IsHostRing(body, sub) && RingHasNoArea(model[body][sub].ring, nodes))
                faults.push_back(detail::RingLabel(body, sub) + " has no area");
    detail::AddCrossingFaults(model, nodes, faults);
    detail::AddOverlapFaults(model, nodes, faults);
    return faults;
}

} // namespace lp::test
