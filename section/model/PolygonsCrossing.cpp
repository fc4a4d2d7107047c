// Crossing and containment tests: the predicates with which the editing
// operations keep the model valid. None of them changes anything.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace lp {

namespace {

// Which side of the line through `from` with direction d the point q lies on;
// a point on the line counts with those above it.
bool BelowLine(const complexM& from, const complexM& d, const complexM& q)
{
    const double c = d.re * from.im - d.im * from.re;
    return d.re * q.im - d.im * q.re < c;
}

bool StraddlesLine(const complexM& a1, const complexM& a2, const complexM& b1, const complexM& b2)
{
    const complexM d{a2.re - a1.re, a2.im - a1.im};
    return BelowLine(a1, d, b1) != BelowLine(a1, d, b2);
}

} // namespace

bool SegmentsIntersect(const complexM& p1, const complexM& p2, const complexM& q1, const complexM& q2)
{
    if (p1 == q1 || p1 == q2 || p2 == q1 || p2 == q2)
        return false;
    if (std::max(p1.re, p2.re) < std::min(q1.re, q2.re) || std::min(p1.re, p2.re) > std::max(q1.re, q2.re))
        return false;
    if (std::max(p1.im, p2.im) < std::min(q1.im, q2.im) || std::min(p1.im, p2.im) > std::max(q1.im, q2.im))
        return false;
    return StraddlesLine(p1, p2, q1, q2) && StraddlesLine(q1, q2, p1, p2);
}

bool NodeSegmentsIntersect(int a, int b, int c, const Tnodes& nodes, int d)
{
    return SegmentsIntersect(NodePoint(nodes, a), NodePoint(nodes, b), NodePoint(nodes, c), NodePoint(nodes, d));
}

namespace {

// The even-odd test over any vertex source; vertexAt(i) gives vertex i. No
// copies: it runs for every ring on every mouse move.
template <class VertexAt>
bool PointInVertices(const complexM& point, int n, VertexAt vertexAt)
{
    // One pass: a vertex on the point ends the test at once (outside);
    // otherwise edges spanning the point's y are counted (even-odd rule).
    bool inside = false;
    complexM vj = n > 0 ? vertexAt(n - 1) : complexM{};
    for (int i = 0; i < n; ++i) {
        const complexM vi = vertexAt(i);
        if (std::fabs(vi.re - point.re) < 1e-10 && std::fabs(vi.im - point.im) < 1e-10)
            return false;
        const bool spans = (vi.im <= point.im && point.im < vj.im) || (vj.im <= point.im && point.im < vi.im);
        if (spans && point.re < vi.re + (vj.re - vi.re) * (point.im - vi.im) / (vj.im - vi.im))
            inside = !inside;
        vj = vi;
    }
    return inside;
}

} // namespace

bool PointInComplexPolygon(const complexM& point, const arofcomplexM& polygon)
{
    return PointInVertices(point, polygon.Length(), [&](int i) { return polygon[i]; });
}

bool PointInRing(const complexM& point, const arofintM& ring, const Tnodes& nodes)
{
    return PointInVertices(point, ring.Length(), [&](int i) { return NodePoint(nodes, ring[i]); });
}

namespace {

// Twice the signed area of the corner triangle at vertex i (i, i + 1, i + 2,
// taken cyclically): positive for a counter-clockwise turn.
double CornerTwiceArea(const arofcomplexM& polygon, int i)
{
    const int n = polygon.Length();
    const complexM& a = polygon[i];
    const complexM& b = polygon[(i + 1) % n];
    const complexM& c = polygon[(i + 2) % n];
    return (b.im - c.im) * a.re + (c.im - a.im) * b.re + (a.im - b.im) * c.re;
}

bool CornerCentroidInside(const arofcomplexM& polygon, int i)
{
    const int n = polygon.Length();
    const complexM& a = polygon[i];
    const complexM& b = polygon[(i + 1) % n];
    const complexM& c = polygon[(i + 2) % n];
    const complexM centroid{(a.re + b.re + c.re) / 3.0, (a.im + b.im + c.im) / 3.0};
    return PointInComplexPolygon(centroid, polygon);
}

} // namespace

bool PolygonIsClockwise(const arofcomplexM& polygon)
{
    // The sum runs over the corner triangles whose centroid lies inside; the
    // inside test walks the whole polygon, so the sum costs n² steps. When
    // every corner turns one way its sign is known with far fewer tests:
    // no corner turning counter-clockwise leaves the sum at or above zero,
    // and with none turning clockwise it drops below zero as soon as one
    // counter-clockwise corner counts (sums of terms of one sign never come
    // back to zero). Polygons turning both ways, and areas past the double
    // range (no sign), need every term.
    const int n = polygon.Length();
    bool anyLeft = false, anyRight = false, anyUnsigned = false;
    for (int i = 0; i < n; ++i) {
        const double half = 0.5 * CornerTwiceArea(polygon, i);
        anyLeft = anyLeft || half > 0.0;
        anyRight = anyRight || half < 0.0;
        anyUnsigned = anyUnsigned || std::isnan(half);
    }
    if (!anyLeft && !anyUnsigned)
        return true;
    if (!anyRight && !anyUnsigned) {
        for (int i = 0; i < n; ++i)
            if (0.5 * CornerTwiceArea(polygon, i) > 0.0 && CornerCentroidInside(polygon, i))
                return false;
        return true;
    }
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        if (CornerCentroidInside(polygon, i))
            sum -= 0.5 * CornerTwiceArea(polygon, i);
    return sum >= 0.0;
}

bool RingIsClockwise(const arofintM& ring, const Tnodes& nodes)
{
    return PolygonIsClockwise(RingPoints(ring, nodes));
}

bool PolygonHasNoArea(const arofcomplexM& polygon)
{
    const int n = polygon.Length();
    if (n < 3)
        return true;
    double twiceArea = 0.0;
    double minX = polygon[0].re, maxX = minX, minY = polygon[0].im, maxY = minY;
    for (int i = 0; i < n; ++i) {
        const complexM& a = polygon[i];
        const complexM& b = polygon[(i + 1) % n];
        twiceArea += a.re * b.im - b.re * a.im;
        minX = std::min(minX, a.re);
        maxX = std::max(maxX, a.re);
        minY = std::min(minY, a.im);
        maxY = std::max(maxY, a.im);
    }
    const double extent = std::max(maxX - minX, maxY - minY);
    constexpr double relativeTolerance = 1e-9;
    return !(std::fabs(0.5 * twiceArea) > relativeTolerance * extent * extent);
}

bool RingHasNoArea(const arofintM& ring, const Tnodes& nodes)
{
    return PolygonHasNoArea(RingPoints(ring, nodes));
}

double AngleBetween(const complexM& u, const complexM& v)
{
    const double lengths = std::hypot(u.re, u.im) * std::hypot(v.re, v.im);
    if (lengths == 0.0)
        return 0.0; // a vector without length has no direction
    const double cosine = std::clamp((u.re * v.re + u.im * v.im) / lengths, -1.0, 1.0);
    return std::fabs(std::acos(cosine) * 180.0 / std::numbers::pi);
}

bool SubPolygonsShareNode(int s1, int s2, int body, const AllSpolygon& model)
{
    if (s1 == s2)
        return true;
    const arofintM& first = model[body][s1].ring;
    const arofintM& second = model[body][s2].ring;
    return std::any_of(first.begin(), first.end(), [&](int node) { return second.Contains(node); });
}

void FindSubPolygonAt(const AllSpolygon& model, int& body, int& sub, const Tnodes& nodes, const complexM& point)
{
    body = -1;
    sub = -1;
    AnyNonHostRing(model, [&](int b, int s) {
        if (!PointInRing(point, model[b][s].ring, nodes))
            return false;
        body = b;
        sub = s;
        return true;
    });
}

bool PointInOtherBodies(const complexM& point, int excluded, const AllSpolygon& model, const Tnodes& nodes)
{
    return AnyNonHostRing(model, [&](int b, int s) {
        return b != excluded && PointInRing(point, model[b][s].ring, nodes);
    });
}

bool SegmentCrossesBody(const complexM& p1, const complexM& p2, int body, const Tnodes& nodes,
                        const AllSpolygon& model)
{
    // The segment's box rejects most edges before anything else is read;
    // SegmentsIntersect would reject them by the same test.
    const double minX = std::min(p1.re, p2.re), maxX = std::max(p1.re, p2.re);
    const double minY = std::min(p1.im, p2.im), maxY = std::max(p1.im, p2.im);
    const SPolygon& rings = model[body];
    for (int sub = 0; sub < rings.Length(); ++sub) {
        const bool crosses = AnyRingEdge(rings[sub].ring, IsHostRing(body, sub), [&](int a, int b) {
            const Tnode& na = nodes[a];
            const Tnode& nb = nodes[b];
            if ((maxX < na.x && maxX < nb.x) || (minX > na.x && minX > nb.x) || (maxY < na.y && maxY < nb.y) ||
                (minY > na.y && minY > nb.y))
                return false;
            return na.sharing < nsInner && nb.sharing < nsInner &&
                   SegmentsIntersect(p1, p2, {na.x, na.y}, {nb.x, nb.y});
        });
        if (crosses)
            return true;
    }
    return false;
}

bool SegmentCrossesOtherBodies(const complexM& p1, const complexM& p2, int excluded, const Tnodes& nodes,
                               const AllSpolygon& model)
{
    for (int body = 0; body < model.Length(); ++body)
        if (body != excluded && SegmentCrossesBody(p1, p2, body, nodes, model))
            return true;
    return false;
}

namespace {

bool NodeSegmentCrossesEdges(int a, int b, const arofintM& ring, bool hostRing, const Tnodes& nodes)
{
    // The segment's box rejects most edges before anything else is read, as
    // SegmentsIntersect would.
    const Tnode& na = nodes[a];
    const Tnode& nb = nodes[b];
    const double minX = std::min(na.x, nb.x), maxX = std::max(na.x, nb.x);
    const double minY = std::min(na.y, nb.y), maxY = std::max(na.y, nb.y);
    return AnyRingEdge(ring, hostRing, [&](int c, int d) {
        const Tnode& nc = nodes[c];
        const Tnode& nd = nodes[d];
        if ((maxX < nc.x && maxX < nd.x) || (minX > nc.x && minX > nd.x) || (maxY < nc.y && maxY < nd.y) ||
            (minY > nc.y && minY > nd.y))
            return false;
        return c != a && c != b && d != a && d != b && NodeSegmentsIntersect(a, b, c, nodes, d);
    });
}

} // namespace

bool NodeSegmentCrossesBody(int a, int b, int body, const Tnodes& nodes, const AllSpolygon& model)
{
    const SPolygon& rings = model[body];
    for (int sub = 0; sub < rings.Length(); ++sub)
        if (NodeSegmentCrossesEdges(a, b, rings[sub].ring, IsHostRing(body, sub), nodes))
            return true;
    return false;
}

bool NodeSegmentCrossesRing(int a, int b, int body, const Tnodes& nodes, const AllSpolygon& model, int sub)
{
    return NodeSegmentCrossesEdges(a, b, model[body][sub].ring, false, nodes);
}

bool NodeSegmentCrossesModel(int a, int b, const AllSpolygon& model, const Tnodes& nodes)
{
    for (int body = 0; body < model.Length(); ++body)
        if (NodeSegmentCrossesBody(a, b, body, nodes, model))
            return true;
    return false;
}

namespace {

// Whether the point lies inside some ring of the body (the host ring never
// contains anything).
bool PointInBody(const complexM& point, int body, const AllSpolygon& model, const Tnodes& nodes)
{
    for (int sub = 0; sub < model[body].Length(); ++sub)
        if (!IsHostRing(body, sub) && PointInRing(point, model[body][sub].ring, nodes))
            return true;
    return false;
}

// The point of the first node of the body's first ring; false for a body
// without nodes.
bool FirstNodePoint(int body, const AllSpolygon& model, const Tnodes& nodes, complexM& point)
{
    if (model[body].Empty() || model[body][0].ring.Empty())
        return false;
    point = NodePoint(nodes, model[body][0].ring[0]);
    return true;
}

} // namespace

bool BodiesNested(int b1, int b2, const AllSpolygon& model, const Tnodes& nodes)
{
    if (b1 == b2)
        return false;
    complexM point;
    if (FirstNodePoint(b1, model, nodes, point) && PointInBody(point, b2, model, nodes))
        return true;
    return FirstNodePoint(b2, model, nodes, point) && PointInBody(point, b1, model, nodes);
}

bool PolylineCrossesItself(const complexM& point, const arofcomplexM& polyline)
{
    const int n = polyline.Length();
    if (n < 3)
        return false;
    const complexM& from = polyline[n - 2];
    for (int i = 0; i <= n - 3; ++i)
        if (SegmentsIntersect(from, point, polyline[i], polyline[i + 1]))
            return true;
    return false;
}

bool PolygonOverlapsModel(const arofcomplexM& polygon, const AllSpolygon& model, const Tnodes& nodes)
{
    // By area: vertex tests alone let a ring through that runs through
    // another's corners or lies exactly on it.
    return AnyNonHostRing(model, [&](int b, int s) {
        return PolygonsOverlap(polygon, RingPoints(model[b][s].ring, nodes));
    });
}

namespace {

// The closing segment from the last point back to the first against the
// segments that do not end in either of them.
bool ClosingSegmentCrossesPolyline(const arofcomplexM& points)
{
    const int n = points.Length();
    for (int i = 1; i <= n - 3; ++i)
        if (SegmentsIntersect(points[n - 1], points[0], points[i], points[i + 1]))
            return true;
    return false;
}

// Whether the segment leaves the frame (the host ring's outline).
bool LeavesFrame(const complexM& a, const complexM& b, const arofcomplexM& frame)
{
    return frame.Length() >= 3 && !SegmentWithinOutline(a, b, frame);
}

} // namespace

int CheckDrawnPolyline(const arofcomplexM& points, const AllSpolygon& model, const Tnodes& nodes, bool closing)
{
    const int n = points.Length();
    if (n == 0)
        return 1;
    const complexM& last = points[n - 1];
    const arofcomplexM frame = FrameOutline(model, nodes);
    if (PointInOtherBodies(last, -1, model, nodes) || LeavesFrame(last, last, frame))
        return 0;
    if (n >= 2 && LeavesFrame(points[n - 2], last, frame))
        return 0;
    if (n == 2 && SegmentCrossesOtherBodies(points[0], last, -1, nodes, model))
        return 0;
    if (n >= 3) {
        if (SegmentCrossesOtherBodies(points[n - 2], last, -1, nodes, model))
            return 0;
        if (PolylineCrossesItself(last, points))
            return 0;
        if (closing && (SegmentCrossesOtherBodies(points[0], last, -1, nodes, model) ||
                        ClosingSegmentCrossesPolyline(points) || LeavesFrame(last, points[0], frame)))
            return 0;
    }
    return 1;
}

namespace {

struct RingBounds {
    double minX, maxX, minY, maxY;
    bool Meets(const RingBounds& o) const { return minX <= o.maxX && o.minX <= maxX && minY <= o.maxY && o.minY <= maxY; }
};

RingBounds BoundsOf(const arofintM& ring, const Tnodes& nodes)
{
    constexpr double far = std::numeric_limits<double>::infinity();
    RingBounds bounds{far, -far, far, -far};
    for (int node : ring) {
        bounds.minX = std::min(bounds.minX, nodes[node].x);
        bounds.maxX = std::max(bounds.maxX, nodes[node].x);
        bounds.minY = std::min(bounds.minY, nodes[node].y);
        bounds.maxY = std::max(bounds.maxY, nodes[node].y);
    }
    return bounds;
}

} // namespace

bool RingsOverlap(const arofintM& first, const arofintM& second, const Tnodes& nodes)
{
    return PolygonsOverlap(RingPoints(first, nodes), RingPoints(second, nodes));
}

bool RingOverlapsOtherRings(int sub, int body, const AllSpolygon& model, const Tnodes& nodes)
{
    const arofintM& ring = model[body][sub].ring;
    const RingBounds bounds = BoundsOf(ring, nodes);
    const arofcomplexM points = RingPoints(ring, nodes);
    // Rings whose bounds do not meet cannot share area; only the others are
    // turned into points for the area test.
    return AnyNonHostRing(model, [&](int b, int s) {
        return (b != body || s != sub) && bounds.Meets(BoundsOf(model[b][s].ring, nodes)) &&
               PolygonsOverlap(points, RingPoints(model[b][s].ring, nodes));
    });
}

} // namespace lp
