// Nearest elements and selections: what the cursor points at, where a node
// lies against the model area, and which rings or nodes an action takes.
// The searches run on every mouse move over large sections, so their loops
// read the arrays in place and allocate nothing per node or edge.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lp {

namespace {

constexpr double NoDistance = 1e30;
constexpr double LineStartOffset = 1e5;  // start of the line point search: as if dx = dy = 1e5
constexpr double EdgeEndThreshold = 2.0; // scaled distance within which an edge's end is taken
constexpr double FreeEdgeEndThreshold = 7.0;
constexpr double NearEndRatio = 0.1;
constexpr double BorderTolerance = 1e-5;

// Whether p lies beside the segment, its projection strictly between the
// ends (on screen, so the factors apply); only then does the perpendicular
// distance apply. A point beyond an end is measured to that end even when
// it lies within the segment's span along one axis.
bool BesideSegment(double kx, double ky, const complexM& a, const complexM& b, const complexM& p)
{
    const double dx = (b.re - a.re) * kx, dy = (b.im - a.im) * ky;
    const double along = (p.re - a.re) * kx * dx + (p.im - a.im) * ky * dy;
    return along > 0.0 && along < dx * dx + dy * dy;
}

// A cheap pre-test of DistanceToSegment against the best distance so far,
// on squares and without roots: false only when the edge is certainly
// farther (with a margin far above rounding), so the exact distance is
// computed for every edge that might win or tie.
bool MayBeCloser(double kx, double ky, const complexM& a, const complexM& b, const complexM& p, double best)
{
    if (best >= NoDistance)
        return true;
    const double limit = best * best * (1.0 + 1e-9);
    if (BesideSegment(kx, ky, a, b, p)) {
        const double c = (a.im - b.im) * p.re + (b.re - a.re) * p.im + (a.re * b.im - b.re * a.im);
        const double dy = (b.im - a.im) * ky;
        const double dx = (b.re - a.re) * kx;
        const double length2 = dy * dy + dx * dx;
        return length2 == 0.0 || c * c * kx * kx * ky * ky <= limit * length2;
    }
    auto squared = [&](const complexM& q) {
        const double dx = (p.re - q.re) * kx, dy = (p.im - q.im) * ky;
        return dx * dx + dy * dy;
    };
    return 4.0 * std::min(squared(a), squared(b)) <= limit;
}

// The nearest edge of the model's rings: its end nodes, body and distance.
struct EdgeHit {
    int a = -1;
    int b = -1;
    int body = -1;
    double distance = NoDistance;
};

void MeasureRingEdges(const complexM& point, const Tnodes& nodes, const arofintM& ring, bool hostRing, int body,
                      bool freeOnly, double kx, double ky, EdgeHit& best)
{
    if (ring.Length() < 2)
        return; // a lone node has no edge to point at
    AnyRingEdge(ring, hostRing, [&](int a, int b) {
        const Tnode& na = nodes[a];
        const Tnode& nb = nodes[b];
        if (freeOnly && (na.sharing >= nsInner || nb.sharing >= nsInner))
            return false;
        const complexM pa{na.x, na.y}, pb{nb.x, nb.y};
        if (!MayBeCloser(kx, ky, pa, pb, point, best.distance))
            return false;
        const double d = DistanceToSegment(kx, ky, pa, pb, point);
        if (d < best.distance)
            best = EdgeHit{a, b, body, d};
        return false;
    });
}

EdgeHit NearestEdge(const complexM& point, const Tnodes& nodes, const AllSpolygon& model, bool freeOnly, double kx,
                    double ky)
{
    EdgeHit best;
    for (int body = 0; body < model.Length(); ++body) {
        const SPolygon& rings = model[body];
        for (int sub = 0; sub < rings.Length(); ++sub)
            MeasureRingEdges(point, nodes, rings[sub].ring, IsHostRing(body, sub), body, freeOnly, kx, ky, best);
    }
    return best;
}

// The shared edge search: the nearest edge, then which of its ends (if any)
// lies within the threshold and whether it is near relative to the edge.
int FindNearestEdgeEnd(const complexM& point, const Tnodes& nodes, const AllSpolygon& model, bool freeOnly,
                       double threshold, int& b, int& a, int& body, bool& nearEnd, double kx, double ky,
                       double& distance)
{
    const EdgeHit hit = NearestEdge(point, nodes, model, freeOnly, kx, ky);
    a = hit.a;
    b = hit.b;
    body = hit.body;
    distance = hit.distance;
    nearEnd = false;
    if (hit.a < 0)
        return -1;
    const complexM pa = NodePoint(nodes, a);
    const complexM pb = NodePoint(nodes, b);
    const double da = ScaledDistance(point, pa, kx, ky);
    const double db = ScaledDistance(point, pb, kx, ky);
    int result = -1;
    if (db >= da && da < threshold)
        result = a;
    else if (db < da && db < threshold)
        result = b;
    const double nearest = std::min(da, db);
    const double length = ScaledDistance(pa, pb, kx, ky);
    // An edge without length has no ratio to speak of.
    nearEnd = nearest < threshold && length > 0.0 && nearest / length < NearEndRatio;
    if (freeOnly && nearEnd)
        distance = nearest;
    return result;
}

bool IsZero(double difference)
{
    return std::fabs(difference) < BorderTolerance;
}

// Not merely "not zero": a difference of exactly the tolerance is neither.
bool IsNonZero(double difference)
{
    return std::fabs(difference) > BorderTolerance;
}

bool NearHostRingNode(const complexM& point, const AllSpolygon& model, const Tnodes& nodes)
{
    if (model.Empty() || model[0].Empty())
        return false;
    const arofintM& ring = model[0][0].ring;
    // The walk's positions cover every node; the reversed half repeats them.
    const int count = RingEdgeCount(ring, true);
    for (int i = 0; i < count; ++i)
        if (PlainDistance(point, NodePoint(nodes, ring[i])) < BorderTolerance)
            return true;
    return false;
}

void ClearSelection(arofintM& ids, arofintM& subs, arofintM& bodies)
{
    ids.Clear();
    subs.Clear();
    bodies.Clear();
}

void AddToSelection(int body, int sub, const AllSpolygon& model, arofintM& ids, arofintM& subs, arofintM& bodies)
{
    ids.Add(model[body][sub].params[psId].AsInteger());
    subs.Add(sub);
    bodies.Add(body);
}

bool RingUsesAny(const arofintM& ring, const std::vector<int32_t>& sortedNodes)
{
    return std::any_of(ring.begin(), ring.end(), [&](int32_t node) {
        return std::binary_search(sortedNodes.begin(), sortedNodes.end(), node);
    });
}

bool NodeIsFree(const Tnode& node)
{
    return node.fixed == 0 && node.border == bkNone;
}

// Appends the ring's nodes not seen before; seen is indexed by node and
// spans the node table, so the node lookup checks the index first.
void CollectRingNodes(bool onlyFree, const arofintM& ring, const Tnodes& nodes, DynArray<ByteBool>& seen,
                      arofintM& list, bool& allFree)
{
    for (const int32_t index : ring) {
        const Tnode& node = nodes[index];
        if (seen[index])
            continue;
        seen[index] = 1;
        const bool free = NodeIsFree(node);
        allFree = allFree && free;
        if (free || !onlyFree)
            list.Add(index);
    }
}

} // namespace

double DistanceToSegment(double kx, double ky, const complexM& a, const complexM& b, const complexM& p)
{
    if (BesideSegment(kx, ky, a, b, p)) {
        const double c = (a.im - b.im) * p.re + (b.re - a.re) * p.im + (a.re * b.im - b.re * a.im);
        const double dy = (b.im - a.im) * ky;
        const double dx = (b.re - a.re) * kx;
        return std::fabs(c + 1e-50) * kx * ky / (std::sqrt(dy * dy + dx * dx) + 1e-50);
    }
    // Doubled, so that a point beyond the end of a short edge loses against
    // an edge it lies beside.
    return 2.0 * std::min(ScaledDistance(p, a, kx, ky), ScaledDistance(p, b, kx, ky));
}

double ScaledDistance(const complexM& p, const complexM& q, double kx, double ky)
{
    const double dx = (p.re - q.re) * kx;
    const double dy = (p.im - q.im) * ky;
    return std::sqrt(dx * dx + dy * dy);
}

double PlainDistance(const complexM& p, const complexM& q)
{
    return ScaledDistance(p, q, 1.0, 1.0);
}

int FindNearestNode(const complexM& point, const Tnodes& nodes, double& plain, double kx, double ky, double& scaled)
{
    plain = NoDistance;
    scaled = NoDistance;
    if (nodes.Empty())
        return -1;
    int best = 0;
    scaled = ScaledDistance(point, NodePoint(nodes, 0), kx, ky);
    for (int i = 1; i < nodes.Length(); ++i) {
        const double d = ScaledDistance(point, NodePoint(nodes, i), kx, ky);
        if (d < scaled) {
            scaled = d;
            best = i;
        }
    }
    plain = PlainDistance(point, NodePoint(nodes, best));
    return best;
}

int FindNodeWithin(int node, const Tnodes& nodes, double kx, double ky, double limit)
{
    const complexM at = NodePoint(nodes, node);
    for (int i = 0; i < nodes.Length(); ++i)
        if (i != node && ScaledDistance(at, NodePoint(nodes, i), kx, ky) <= limit)
            return i;
    return -1;
}

void FindNearestLinePoint(const complexM& point, const lines& modelLines, double& plain, int& lineIndex,
                          int& pointIndex, double kx, double ky, double& scaled)
{
    lineIndex = -1;
    pointIndex = -1;
    const complexM start{LineStartOffset, LineStartOffset};
    plain = PlainDistance(start, complexM{});
    scaled = ScaledDistance(start, complexM{}, kx, ky);
    for (int l = 0; l < modelLines.Length(); ++l) {
        const arofcomplexM& points = modelLines[l].points;
        for (int i = 0; i < points.Length(); ++i) {
            const double d = ScaledDistance(point, points[i], kx, ky);
            if (d < scaled) {
                scaled = d;
                plain = PlainDistance(point, points[i]);
                lineIndex = l;
                pointIndex = i;
            }
        }
    }
}

void FindNearestLineSegment(const complexM& point, const lines& modelLines, double& distance, int& lineIndex,
                            int& segment, double kx, double ky)
{
    distance = NoDistance;
    lineIndex = -1;
    segment = -1;
    for (int l = 0; l < modelLines.Length(); ++l) {
        const arofcomplexM& points = modelLines[l].points;
        for (int i = 0; i + 1 < points.Length(); ++i) {
            const double d = DistanceToSegment(kx, ky, points[i], points[i + 1], point);
            if (d < distance) {
                distance = d;
                lineIndex = l;
                segment = i;
            }
        }
    }
}

int FindNearestPolygonEdge(const complexM& point, const Tnodes& nodes, const AllSpolygon& model, int& b, int& a,
                           int& body, bool& nearEnd, double kx, double ky, double& distance)
{
    return FindNearestEdgeEnd(point, nodes, model, false, EdgeEndThreshold, b, a, body, nearEnd, kx, ky, distance);
}

int FindNearestFreePolygonEdge(const complexM& point, const Tnodes& nodes, const AllSpolygon& model, int& b, int& a,
                               int& body, bool& nearEnd, double kx, double ky, double& distance)
{
    return FindNearestEdgeEnd(point, nodes, model, true, FreeEdgeEndThreshold, b, a, body, nearEnd, kx, ky,
                              distance);
}

int GetNodeBorderKind(int node, const AllSpolygon& model, const Tnodes& nodes, double bottom, double /*top*/,
                      double right, double left)
{
    const complexM p = NodePoint(nodes, node);
    if (const int line = BorderLineKind(p, bottom, right, left); line != bkNone)
        return line;
    if (NearHostRingNode(p, model, nodes))
        return bkSurface;
    return bkNone;
}

int BorderLineKind(const complexM& point, double bottom, double right, double left)
{
    const double toLeft = point.re - left;
    const double toRight = point.re - right;
    const double toBottom = point.im - bottom;
    if (IsZero(toLeft) && IsZero(toBottom))
        return bkBottomLeft;
    if (IsZero(toLeft) && IsNonZero(toBottom))
        return bkLeft;
    if (IsZero(toRight) && IsZero(toBottom))
        return bkBottomRight;
    if (IsZero(toRight) && IsNonZero(toBottom))
        return bkRight;
    if (IsNonZero(toLeft) && IsNonZero(toRight) && IsZero(toBottom))
        return bkBottom;
    return bkNone;
}

void GetNodeExtent(double& minX, double& maxX, const Tnodes& nodes, double& maxY)
{
    minX = NoDistance;
    maxX = -NoDistance;
    maxY = -NoDistance;
    for (const Tnode& node : nodes) {
        if (node.border != bkNone)
            continue;
        minX = std::min(minX, node.x);
        maxX = std::max(maxX, node.x);
        maxY = std::max(maxY, node.y);
    }
}

void GetFrameEdgeNodeExtent(double& minX, double& maxX, const Tnodes& nodes, int frameNodes, double& maxY)
{
    minX = NoDistance;
    maxX = -NoDistance;
    maxY = -NoDistance;
    for (int i = std::max(frameNodes, 0); i < nodes.Length(); ++i) {
        const Tnode& node = nodes[i];
        switch (node.border) {
        case bkLeft:
        case bkRight:
            maxY = std::max(maxY, node.y);
            break;
        case bkBottom:
        case bkSurface:
            minX = std::min(minX, node.x);
            maxX = std::max(maxX, node.x);
            break;
        default:
            break;
        }
    }
}

void SelectSubPolygonsByNodes(const arofintM& list, int body, const AllSpolygon& model, arofintM& ids, arofintM& subs,
                              arofintM& bodies)
{
    ClearSelection(ids, subs, bodies);
    std::vector<int32_t> sorted(list.begin(), list.end());
    std::sort(sorted.begin(), sorted.end());
    const SPolygon& rings = model[body];
    for (int sub = 0; sub < rings.Length(); ++sub) {
        if (!RingUsesAny(rings[sub].ring, sorted))
            continue;
        if (!ids.Contains(rings[sub].params[psId].AsInteger()))
            AddToSelection(body, sub, model, ids, subs, bodies);
    }
}

void SelectBody(int body, const AllSpolygon& model, arofintM& ids, arofintM& subs, arofintM& bodies)
{
    ClearSelection(ids, subs, bodies);
    for (int sub = 0; sub < model[body].Length(); ++sub)
        AddToSelection(body, sub, model, ids, subs, bodies);
}

void SelectSubPolygon(int body, int sub, const AllSpolygon& model, arofintM& ids, arofintM& subs, arofintM& bodies)
{
    ClearSelection(ids, subs, bodies);
    AddToSelection(body, sub, model, ids, subs, bodies);
}

bool FindBodyOfNode(int node, int& body, const AllSpolygon& model)
{
    body = -1;
    for (int b = 0; b < model.Length(); ++b)
        for (const Polygon& ring : model[b])
            if (ring.ring.Contains(node)) {
                body = b;
                return true;
            }
    return false;
}

void CollectBodyNodes(bool onlyFree, int body, const AllSpolygon& model, arofintM& list, bool& allFree,
                      const Tnodes& nodes)
{
    list.Clear();
    allFree = true;
    DynArray<ByteBool> seen(nodes.Length(), 0);
    for (const Polygon& ring : model[body])
        CollectRingNodes(onlyFree, ring.ring, nodes, seen, list, allFree);
}

void CollectSubPolygonNodes(bool onlyFree, int body, int sub, arofintM& list, bool& allFree, const Tnodes& nodes,
                            const AllSpolygon& model)
{
    list.Clear();
    allFree = true;
    DynArray<ByteBool> seen(nodes.Length(), 0);
    CollectRingNodes(onlyFree, model[body][sub].ring, nodes, seen, list, allFree);
}

int NextInRing(int position, const arofintM& ring, int& node)
{
    const int next = position == ring.High() ? 0 : position + 1;
    node = ring[next];
    return next;
}

int PrevInRing(int position, const arofintM& ring, int& node)
{
    const int prev = position == 0 ? ring.High() : position - 1;
    node = ring[prev];
    return prev;
}

bool FindInRing(int node, const arofintM& ring, int& position)
{
    position = ring.IndexOf(node);
    return position >= 0;
}

} // namespace lp
