// Shape tests on whole rings: overlap of areas, containment in the frame,
// rings that cross or touch themselves and rings with a zero-length edge or
// a zero-width spike. The edge crossing tests alone miss all of these where
// vertices coincide or edges run along each other, which is exactly how
// neighbouring bodies are drawn.
//
// Boundaries are compared with a tolerance relative to the extent of the
// shapes involved (nodes added on sloped edges lie only nearly on them).
// An edge is cut wherever the other boundary meets it; along each piece the
// relation to the other ring does not change, so one point per piece decides.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace lp {

namespace {

constexpr double RelativeTolerance = 1e-9;

struct TBox {
    double minX = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    void Add(const complexM& p)
    {
        minX = std::min(minX, p.re);
        maxX = std::max(maxX, p.re);
        minY = std::min(minY, p.im);
        maxY = std::max(maxY, p.im);
    }
    double Extent() const { return std::max(maxX - minX, maxY - minY); }
    bool Meets(const TBox& other, double tolerance) const
    {
        return minX <= other.maxX + tolerance && other.minX <= maxX + tolerance && minY <= other.maxY + tolerance &&
               other.minY <= maxY + tolerance;
    }
};

TBox BoxOf(const arofcomplexM& points)
{
    TBox box;
    for (const complexM& p : points)
        box.Add(p);
    return box;
}

TBox EdgeBox(const complexM& a, const complexM& b)
{
    TBox box;
    box.Add(a);
    box.Add(b);
    return box;
}

// The tolerance for comparing two shapes: relative to their common extent.
double ToleranceFor(const TBox& a, const TBox& b)
{
    TBox both = a;
    both.Add({b.minX, b.minY});
    both.Add({b.maxX, b.maxY});
    return RelativeTolerance * both.Extent();
}

complexM Minus(const complexM& a, const complexM& b)
{
    return {a.re - b.re, a.im - b.im};
}

double Cross(const complexM& u, const complexM& v)
{
    return u.re * v.im - u.im * v.re;
}

double Dot(const complexM& u, const complexM& v)
{
    return u.re * v.re + u.im * v.im;
}

// Position of p's projection along ab (0 at a, 1 at b).
double Projection(const complexM& p, const complexM& a, const complexM& b)
{
    const complexM d = Minus(b, a);
    const double length2 = Dot(d, d);
    return length2 > 0.0 ? Dot(Minus(p, a), d) / length2 : 0.0;
}

double PointSegmentDistance(const complexM& p, const complexM& a, const complexM& b)
{
    const double t = std::clamp(Projection(p, a, b), 0.0, 1.0);
    const complexM foot{a.re + (b.re - a.re) * t, a.im + (b.im - a.im) * t};
    return PlainDistance(p, foot);
}

// Whether the segments cross in a point inside both (their ends strictly on
// opposite sides of each other's line).
bool CrossProperly(const complexM& a, const complexM& b, const complexM& c, const complexM& d)
{
    const double c1 = Cross(Minus(b, a), Minus(c, a)), c2 = Cross(Minus(b, a), Minus(d, a));
    const double c3 = Cross(Minus(d, c), Minus(a, c)), c4 = Cross(Minus(d, c), Minus(b, c));
    return ((c1 > 0 && c2 < 0) || (c1 < 0 && c2 > 0)) && ((c3 > 0 && c4 < 0) || (c3 < 0 && c4 > 0));
}

// Whether the segments cross or come within the tolerance of each other.
bool SegmentsMeet(const complexM& a, const complexM& b, const complexM& c, const complexM& d, double tolerance)
{
    return CrossProperly(a, b, c, d) || PointSegmentDistance(a, c, d) <= tolerance ||
           PointSegmentDistance(b, c, d) <= tolerance || PointSegmentDistance(c, a, b) <= tolerance ||
           PointSegmentDistance(d, a, b) <= tolerance;
}

template <class Visit>
void ForEachEdge(const arofcomplexM& ring, Visit visit)
{
    const int n = ring.Length();
    for (int i = 0; i < n; ++i)
        visit(ring[i], ring[(i + 1) % n]);
}

// The positions along ab (0 and 1 included, ascending) where the other
// ring's boundary crosses, touches or leaves it.
std::vector<double> CutsAlong(const complexM& a, const complexM& b, const arofcomplexM& other, double tolerance)
{
    std::vector<double> cuts{0.0, 1.0};
    const TBox edgeBox = EdgeBox(a, b);
    ForEachEdge(other, [&](const complexM& c, const complexM& d) {
        if (!edgeBox.Meets(EdgeBox(c, d), tolerance))
            return;
        if (CrossProperly(a, b, c, d)) {
            const double s1 = Cross(Minus(d, c), Minus(a, c)), s2 = Cross(Minus(d, c), Minus(b, c));
            cuts.push_back(s1 / (s1 - s2));
        }
        for (const complexM& end : {c, d})
            if (PointSegmentDistance(end, a, b) <= tolerance)
                cuts.push_back(std::clamp(Projection(end, a, b), 0.0, 1.0));
    });
    std::sort(cuts.begin(), cuts.end());
    return cuts;
}

// Calls visit(midpoint, edge start, edge end) for the middle of every piece
// of the ring's edges cut by the other ring, pieces within the tolerance
// left out; with onlyNear, edges away from that box are left out too.
// Stops and returns true when visit does.
template <class Visit>
bool AnyPieceMiddle(const arofcomplexM& ring, const arofcomplexM& other, double tolerance, const TBox* onlyNear,
                    Visit visit)
{
    const int n = ring.Length();
    for (int i = 0; i < n; ++i) {
        const complexM& a = ring[i];
        const complexM& b = ring[(i + 1) % n];
        const double length = PlainDistance(a, b);
        if (length <= tolerance || (onlyNear && !EdgeBox(a, b).Meets(*onlyNear, tolerance)))
            continue;
        const std::vector<double> cuts = CutsAlong(a, b, other, tolerance);
        for (size_t k = 0; k + 1 < cuts.size(); ++k) {
            if ((cuts[k + 1] - cuts[k]) * length <= tolerance)
                continue;
            const double t = (cuts[k] + cuts[k + 1]) / 2;
            if (visit(complexM{a.re + (b.re - a.re) * t, a.im + (b.im - a.im) * t}, a, b))
                return true;
        }
    }
    return false;
}

double DistanceToBoundary(const complexM& p, const arofcomplexM& ring)
{
    double nearest = std::numeric_limits<double>::infinity();
    ForEachEdge(ring, [&](const complexM& a, const complexM& b) {
        nearest = std::min(nearest, PointSegmentDistance(p, a, b));
    });
    return nearest;
}

// Twice the signed (shoelace) area.
double TwiceSignedArea(const arofcomplexM& ring)
{
    double twice = 0.0;
    ForEachEdge(ring, [&](const complexM& a, const complexM& b) { twice += Cross(a, b); });
    return twice;
}

// The nearest distance beyond the tolerance at which the ray from m along
// the unit direction n meets an edge of the ring; infinity when none.
double RayHit(const complexM& m, const complexM& n, const arofcomplexM& ring, double tolerance)
{
    double nearest = std::numeric_limits<double>::infinity();
    ForEachEdge(ring, [&](const complexM& c, const complexM& d) {
        const complexM e = Minus(d, c);
        const double denominator = Cross(n, e);
        if (denominator == 0.0)
            return; // parallel
        const complexM w = Minus(c, m);
        const double s = Cross(w, e) / denominator;
        const double u = Cross(w, n) / denominator;
        if (u >= 0.0 && u <= 1.0 && s > tolerance)
            nearest = std::min(nearest, s);
    });
    return nearest;
}

// Whether some point just inside `ring` next to its boundary lies inside
// `other`. The probe starts in the middle of an edge piece and goes along
// the inner normal halfway to the next boundary of either ring, so no
// boundary lies between the edge and the probe; edges away from the other
// ring's box cannot reach into it.
bool RingReachesInto(const arofcomplexM& ring, const arofcomplexM& other, double tolerance)
{
    const double side = TwiceSignedArea(ring) > 0.0 ? 1.0 : -1.0;
    const TBox otherBox = BoxOf(other);
    return AnyPieceMiddle(ring, other, tolerance, &otherBox,
                          [&](const complexM& m, const complexM& a, const complexM& b) {
        const double length = PlainDistance(a, b);
        // Counter-clockwise rings (positive area) have their inside on the left.
        const complexM normal{-side * (b.im - a.im) / length, side * (b.re - a.re) / length};
        const double reach = std::min(RayHit(m, normal, ring, tolerance), RayHit(m, normal, other, tolerance));
        if (!std::isfinite(reach))
            return false;
        const complexM probe{m.re + normal.re * reach / 2, m.im + normal.im * reach / 2};
        return PointInComplexPolygon(probe, other) && PointInComplexPolygon(probe, ring);
    });
}

bool SegmentWithinOutline(const complexM& a, const complexM& b, const arofcomplexM& outline, double tolerance)
{
    const arofcomplexM segment{a, b};
    auto outside = [&](const complexM& p) {
        return DistanceToBoundary(p, outline) > tolerance && !PointInComplexPolygon(p, outline);
    };
    if (outside(a) || outside(b))
        return false;
    // The segment as a two-point ring: its one edge is walked there and back.
    return !AnyPieceMiddle(segment, outline, tolerance, nullptr,
                           [&](const complexM& m, const complexM&, const complexM&) { return outside(m); });
}

double OutlineTolerance(const arofcomplexM& shape, const arofcomplexM& outline)
{
    return ToleranceFor(BoxOf(shape), BoxOf(outline));
}

// The points of every ring of the model but the host ring, with their boxes.
struct TRingShape {
    int body;
    int sub;
    arofcomplexM points;
    TBox box;
};

std::vector<TRingShape> RingShapes(const AllSpolygon& model, const Tnodes& nodes)
{
    std::vector<TRingShape> shapes;
    AnyNonHostRing(model, [&](int body, int sub) {
        arofcomplexM points = RingPoints(model[body][sub].ring, nodes);
        const TBox box = BoxOf(points);
        shapes.push_back(TRingShape{body, sub, std::move(points), box});
        return false;
    });
    return shapes;
}

bool OverlapsAnyRing(const arofcomplexM& points, const std::vector<TRingShape>& shapes, int body, int sub)
{
    const TBox box = BoxOf(points);
    for (const TRingShape& shape : shapes) {
        if (shape.body == body && shape.sub == sub)
            continue;
        if (box.Meets(shape.box, ToleranceFor(box, shape.box)) && PolygonsOverlap(points, shape.points))
            return true;
    }
    return false;
}

// A ring shape on its own: with area, no zero-length edge or spike, not
// crossing itself and inside the frame.
bool ShapeIsSound(const arofcomplexM& points, const arofcomplexM& frame)
{
    return !PolygonHasNoArea(points) && !PolygonHasDegenerateVertex(points) && !PolygonCrossesItself(points) &&
           (frame.Length() < 3 || PolygonWithinOutline(points, frame));
}

} // namespace

bool PolygonsOverlap(const arofcomplexM& p, const arofcomplexM& q)
{
    if (p.Length() < 3 || q.Length() < 3)
        return false;
    const TBox boxP = BoxOf(p), boxQ = BoxOf(q);
    const double tolerance = ToleranceFor(boxP, boxQ);
    if (!boxP.Meets(boxQ, tolerance))
        return false;
    return RingReachesInto(p, q, tolerance) || RingReachesInto(q, p, tolerance);
}

bool PolygonWithinOutline(const arofcomplexM& polygon, const arofcomplexM& outline)
{
    const double tolerance = OutlineTolerance(polygon, outline);
    const int n = polygon.Length();
    for (int i = 0; i < n; ++i)
        if (!SegmentWithinOutline(polygon[i], polygon[(i + 1) % n], outline, tolerance))
            return false;
    return true;
}

bool SegmentWithinOutline(const complexM& a, const complexM& b, const arofcomplexM& outline)
{
    const arofcomplexM ends{a, b};
    return SegmentWithinOutline(a, b, outline, OutlineTolerance(ends, outline));
}

bool PolygonCrossesItself(const arofcomplexM& polygon)
{
    const int n = polygon.Length();
    const double tolerance = RelativeTolerance * BoxOf(polygon).Extent();
    for (int i = 0; i < n; ++i)
        for (int j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1)
                continue; // the closing edge and the first one share point 0
            if (!EdgeBox(polygon[i], polygon[(i + 1) % n])
                     .Meets(EdgeBox(polygon[j], polygon[(j + 1) % n]), tolerance))
                continue;
            if (SegmentsMeet(polygon[i], polygon[(i + 1) % n], polygon[j], polygon[(j + 1) % n], tolerance))
                return true;
        }
    return false;
}

bool PolygonHasDegenerateVertex(const arofcomplexM& polygon)
{
    const int n = polygon.Length();
    for (int i = 0; i < n; ++i) {
        const complexM& before = polygon[(i + n - 1) % n];
        const complexM& at = polygon[i];
        const complexM& after = polygon[(i + 1) % n];
        // Three points on one line: fine when the vertex lies between its
        // neighbours (a node on a straight edge), a spike or a zero-length
        // edge when the path turns back.
        if (PolygonHasNoArea(arofcomplexM{before, at, after}) && Dot(Minus(before, at), Minus(after, at)) >= 0.0)
            return true;
    }
    return false;
}

arofcomplexM FrameOutline(const AllSpolygon& model, const Tnodes& nodes)
{
    if (model.Empty() || model[0].Empty())
        return {};
    const arofintM& host = model[0][0].ring;
    const int count = RingEdgeCount(host, true);
    arofcomplexM outline(count);
    for (int i = 0; i < count; ++i)
        outline[i] = NodePoint(nodes, host[i]);
    return outline;
}

bool PolygonFitsModel(const arofcomplexM& points, const AllSpolygon& model, const Tnodes& nodes)
{
    return ShapeIsSound(points, FrameOutline(model, nodes)) && !OverlapsAnyRing(points, RingShapes(model, nodes), -1, -1);
}

bool BodiesFitModel(const arofintM& bodies, const AllSpolygon& model, const Tnodes& nodes)
{
    const arofcomplexM frame = FrameOutline(model, nodes);
    const std::vector<TRingShape> shapes = RingShapes(model, nodes);
    for (const TRingShape& shape : shapes) {
        if (!bodies.Contains(shape.body))
            continue;
        if (!ShapeIsSound(shape.points, frame) || OverlapsAnyRing(shape.points, shapes, shape.body, shape.sub))
            return false;
    }
    return true;
}

bool ModelFits(const AllSpolygon& model, const Tnodes& nodes)
{
    arofintM bodies(model.Length());
    for (int body = 0; body < model.Length(); ++body)
        bodies[body] = body;
    return BodiesFitModel(bodies, model, nodes);
}

bool RingFitsModel(int body, int sub, const AllSpolygon& model, const Tnodes& nodes)
{
    const arofcomplexM points = RingPoints(model[body][sub].ring, nodes);
    return ShapeIsSound(points, FrameOutline(model, nodes)) &&
           !OverlapsAnyRing(points, RingShapes(model, nodes), body, sub);
}

} // namespace lp
