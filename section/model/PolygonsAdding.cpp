// Adding nodes, rings and bodies, and dividing rings: the model side of the
// section chart's adding actions.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace lp {

namespace {

int AppendFreeNode(Tnodes& nodes, const complexM& point)
{
    Tnode node;
    node.x = point.re;
    node.y = point.im;
    nodes.Add(node);
    return nodes.High();
}

Polygon NewRing(arofintM indices)
{
    Polygon ring;
    ring.ring = std::move(indices);
    ring.params = DefaultParameters;
    return ring;
}

// Whether positions i and i+1 (cyclically, over `count` positions) join a and b.
bool EdgeJoins(const arofintM& ring, int i, int count, int a, int b)
{
    const int from = ring[i];
    const int to = ring[(i + 1) % count];
    return (from == a && to == b) || (from == b && to == a);
}

// Inserts node after the first edge of the walk that joins a and b. In the
// host ring the same edge is met again, reversed, on the return half, and the
// node goes there too so the ring keeps mirroring its outline.
void InsertIntoEdge(arofintM& ring, bool hostRing, int a, int b, int node)
{
    const int walked = RingEdgeCount(ring, hostRing);
    const int n = ring.Length();
    for (int i = 0; i < walked; ++i) {
        if (!EdgeJoins(ring, i, n, a, b))
            continue;
        ring.Insert(i + 1, node);
        if (hostRing) {
            const int length = ring.Length();
            for (int j = walked + 1; j < length; ++j)
                if (EdgeJoins(ring, j, length, a, b)) {
                    ring.Insert(j + 1, node);
                    break;
                }
        }
        return;
    }
}

// The outline walk of AddSubPolygon from start to end along free edges of
// the body, always turning by the smallest angle. False when a step has no
// candidate or the walk runs longer than the body has ring positions.
bool WalkOutline(int start, int end, int body, const complexM& firstPrevious, const AllSpolygon& model,
                 const Tnodes& nodes, arofintM& path)
{
    int limit = 1;
    for (const Polygon& ring : model[body])
        limit += ring.ring.Length();
    arofintM visited;
    int current = start;
    complexM previous = firstPrevious;
    for (int step = 0; current != end; ++step) {
        if (step > limit)
            return false;
        int best = -1;
        double bestAngle = std::numeric_limits<double>::infinity();
        int candidates = 0;
        const complexM here = NodePoint(nodes, current);
        const complexM back{previous.re - here.re, previous.im - here.im};
        for (int sub = 0; sub < model[body].Length(); ++sub) {
            const arofintM& ring = model[body][sub].ring;
            const int walked = RingEdgeCount(ring, IsHostRing(body, sub));
            for (int i = 0; i < walked; ++i) {
                if (ring[i] != current)
                    continue;
                const int next = ring[(i + 1) % ring.Length()];
                if (visited.Contains(next) || nodes[next].sharing >= nsInner)
                    continue;
                ++candidates;
                const complexM there = NodePoint(nodes, next);
                const double angle = AngleBetween({there.re - here.re, there.im - here.im}, back);
                if (angle < bestAngle) {
                    bestAngle = angle;
                    best = next;
                }
            }
        }
        if (best < 0)
            return false;
        previous = here;
        current = best;
        if (candidates >= 2)
            visited.Add(current);
        if (current != end)
            path.Add(current);
    }
    return true;
}

bool HasRepeatedNode(const arofintM& ring)
{
    std::vector<int32_t> sorted(ring.begin(), ring.end());
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

} // namespace

void NormalizeOrientation(arofcomplexM& points)
{
    if (PolygonIsClockwise(points))
        std::reverse(points.begin(), points.end());
}

void SnapPointToSegment(complexM& point, double kx, double ky, const complexM& a, const complexM& b)
{
    // The coordinate along the segment is first kept within its span: beyond
    // an end the line's extension would put the point off the segment.
    if (std::fabs(b.re - a.re) * kx <= std::fabs(b.im - a.im) * ky) {
        point.im = std::clamp(point.im, std::min(a.im, b.im), std::max(a.im, b.im));
        point.re = a.im == b.im ? a.re : LinearInterpolate(a.im, a.re, b.im, b.re, point.im);
    } else {
        point.re = std::clamp(point.re, std::min(a.re, b.re), std::max(a.re, b.re));
        point.im = LinearInterpolate(a.re, a.im, b.re, b.im, point.re);
    }
}

bool AddNodeOnEdge(int a, int b, int body, double kx, double ky, Tnodes& nodes, AllSpolygon& model,
                   const complexM& point)
{
    const complexM pa = NodePoint(nodes, a), pb = NodePoint(nodes, b);
    complexM snapped = point;
    SnapPointToSegment(snapped, kx, ky, pa, pb);
    // Tested where the node will be: on a steep edge the snap can move a
    // point that was clear of the ends onto one of them.
    if (PlainDistance(snapped, pa) < 1e-4 || PlainDistance(snapped, pb) < 1e-4)
        return false;
    const int node = AppendFreeNode(nodes, snapped);
    for (int sub = 0; sub < model[body].Length(); ++sub)
        InsertIntoEdge(model[body][sub].ring, IsHostRing(body, sub), a, b, node);
    UpdateBodySharing(body, model, nodes);
    return true;
}

namespace {

// Points closer than this to their predecessor (the last one also to the
// first) are one point: a second press on the same spot, or two lines that
// share an end, would otherwise give two nodes at one place.
constexpr double SamePointDistance = 1e-4;

void RemoveRepeatedPoints(arofcomplexM& points)
{
    arofcomplexM kept;
    for (const complexM& point : points)
        if (kept.Empty() || PlainDistance(point, kept.Last()) >= SamePointDistance)
            kept.Add(point);
    while (kept.Length() > 1 && PlainDistance(kept.Last(), kept[0]) < SamePointDistance)
        kept.Delete(kept.High());
    points = std::move(kept);
}

} // namespace

bool AddPolygon(arofcomplexM& points, AllSpolygon& model, Tnodes& nodes)
{
    RemoveRepeatedPoints(points);
    if (points.Length() < 3)
        return false;
    NormalizeOrientation(points);
    // Points on one line, up to rounding, enclose no area; still clockwise
    // after normalising means the same.
    if (PolygonHasNoArea(points) || PolygonIsClockwise(points))
        return false;
    // Overlap by area, the frame, and rings that cross themselves or have a
    // zero-length edge or a spike.
    if (!PolygonFitsModel(points, model, nodes))
        return false;
    arofintM ring;
    for (const complexM& point : points)
        ring.Add(AppendFreeNode(nodes, point));
    SPolygon body;
    body.Add(NewRing(std::move(ring)));
    model.Add(body);
    return true;
}

bool AddSubPolygon(int start, int end, int body, bool reverse, Tnodes& nodes, AllSpolygon& model,
                   arofcomplexM& points)
{
    const int n = points.Length();
    if (n < 2)
        return false;
    if (PolygonIsClockwise(points)) {
        std::swap(start, end);
        std::reverse(points.begin(), points.end());
    }
    if (reverse) {
        std::swap(start, end);
        std::reverse(points.begin(), points.end());
    }
    arofintM path;
    if (!WalkOutline(start, end, body, points[1], model, nodes, path))
        return false;

    arofintM ring{start};
    for (int i = 1; i <= n - 2; ++i)
        ring.Add(AppendFreeNode(nodes, points[i]));
    ring.Add(end);
    for (int i = path.High(); i >= 0; --i)
        ring.Add(path[i]);
    // A ring running the wrong way round encloses the outline it was walked
    // along instead of closing against it; a path drawn along the outline
    // encloses nothing; one through a node twice (a walk
    // that came back through its start) is no ring at all.
    if (!RingIsSound(ring, nodes) || HasRepeatedNode(ring))
        return false;
    model[body].Add(NewRing(std::move(ring)));

    if (NestedWithAnyBody(body, model, nodes) || !RingFitsModel(body, model[body].High(), model, nodes))
        return false;
    UpdateBodySharing(body, model, nodes);
    return true;
}

bool AddSubPolygonWithBorders(int start, int end, int body, bool reverse, Tnodes& nodes, AllSpolygon& model,
                              arofcomplexM& points, double bottom, double top, double right, double left)
{
    if (!AddSubPolygon(start, end, body, reverse, nodes, model, points))
        return false;
    for (int node : model[0].Last().ring)
        nodes[node].border = GetNodeBorderKind(node, model, nodes, bottom, top, right, left);
    return true;
}

bool DividePolygon(int a, int b, int body, int& id, Tnodes& nodes, AllSpolygon& model)
{
    if (a == b)
        return false;
    int sub = -1;
    // The host ring holds every node of its outline twice: it is never the
    // ring to divide.
    for (int s = 0; s < model[body].Length() && sub < 0; ++s) {
        if (IsHostRing(body, s))
            continue;
        const arofintM& ring = model[body][s].ring;
        const auto holds = std::count_if(ring.begin(), ring.end(), [&](int node) { return node == a || node == b; });
        if (holds == 2)
            sub = s;
    }
    if (sub < 0)
        return false;
    const Polygon divided = model[body][sub];
    const arofintM& ring = divided.ring;
    id = divided.params[psId].AsInteger();

    const int n = ring.Length();
    int p = -1;
    for (int i = 0; i < n && p < 0; ++i)
        if (ring[i] == a || ring[i] == b)
            p = i;
    int q = (p + 1) % n;
    while (ring[q] != a && ring[q] != b)
        q = (q + 1) % n;
    const bool adjacent = q == (p + 1) % n || p == (q + 1) % n;
    if (adjacent || NodeSegmentCrossesRing(a, b, body, nodes, model, sub))
        return false;
    const complexM pa = NodePoint(nodes, a), pb = NodePoint(nodes, b);
    if (!PointInRing({(pa.re + pb.re) / 2, (pa.im + pb.im) / 2}, ring, nodes))
        return false;

    auto piece = [&](int from, int to) {
        Polygon part;
        for (int i = from;; i = (i + 1) % n) {
            part.ring.Add(ring[i]);
            if (i == to)
                break;
        }
        part.params = divided.params;
        part.params[psId] = -1;
        return part;
    };
    Polygon first = piece(p, q), second = piece(q, p);
    // A chord along collinear edges leaves a piece without area.
    if (!RingIsSound(first.ring, nodes) || !RingIsSound(second.ring, nodes))
        return false;
    model[body].Add(std::move(first));
    model[body].Add(std::move(second));
    model[body].Delete(sub);
    UpdateBodySharing(body, model, nodes);
    return true;
}

} // namespace lp
