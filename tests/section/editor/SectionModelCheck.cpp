#include "SectionModelCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

namespace lp::test {

namespace {

struct TPoint {
    double x;
    double y;
};
using TShape = std::vector<TPoint>;

double Cross(const TPoint& o, const TPoint& a, const TPoint& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

double SignedArea(const TShape& shape)
{
    // Relative to the first point: small shapes far from the origin would
    // otherwise lose their area to rounding.
    double twice = 0.0;
    const TPoint& o = shape.empty() ? TPoint{0, 0} : shape[0];
    for (size_t i = 0; i < shape.size(); ++i) {
        const TPoint& a = shape[i];
        const TPoint& b = shape[(i + 1) % shape.size()];
        twice += (a.x - o.x) * (b.y - o.y) - (b.x - o.x) * (a.y - o.y);
    }
    return twice / 2;
}

// The part of a convex polygon on the left of the directed line ab.
TShape ClipLeftOf(const TShape& shape, const TPoint& a, const TPoint& b)
{
    TShape kept;
    for (size_t i = 0; i < shape.size(); ++i) {
        const TPoint& p = shape[i];
        const TPoint& q = shape[(i + 1) % shape.size()];
        const double sp = Cross(a, b, p), sq = Cross(a, b, q);
        if (sp >= 0)
            kept.push_back(p);
        if ((sp > 0 && sq < 0) || (sp < 0 && sq > 0)) {
            const double t = sp / (sp - sq);
            kept.push_back({p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t});
        }
    }
    return kept;
}

// Area of the intersection of two counter-clockwise triangles.
double TriangleOverlap(const std::array<TPoint, 3>& a, const std::array<TPoint, 3>& b)
{
    auto low = [](const std::array<TPoint, 3>& t, double TPoint::*axis) {
        return std::min({t[0].*axis, t[1].*axis, t[2].*axis});
    };
    auto high = [](const std::array<TPoint, 3>& t, double TPoint::*axis) {
        return std::max({t[0].*axis, t[1].*axis, t[2].*axis});
    };
    for (double TPoint::*axis : {&TPoint::x, &TPoint::y})
        if (high(a, axis) <= low(b, axis) || high(b, axis) <= low(a, axis))
            return 0.0;
    TShape clipped(a.begin(), a.end());
    for (int i = 0; i < 3 && !clipped.empty(); ++i)
        clipped = ClipLeftOf(clipped, b[i], b[(i + 1) % 3]);
    return clipped.size() < 3 ? 0.0 : SignedArea(clipped);
}

// The triangles of a fan from o over the shape's edges, turned counter-
// clockwise, with the sign they carry: the sum of their signed indicators
// is the shape's winding number at every point.
struct TFanTriangle {
    std::array<TPoint, 3> corners;
    double sign;
};

std::vector<TFanTriangle> Fan(const TShape& shape, const TPoint& o)
{
    std::vector<TFanTriangle> fan;
    for (size_t i = 0; i < shape.size(); ++i) {
        const TPoint& a = shape[i];
        const TPoint& b = shape[(i + 1) % shape.size()];
        const double turn = Cross(o, a, b);
        if (turn > 0)
            fan.push_back({{o, a, b}, 1.0});
        else if (turn < 0)
            fan.push_back({{o, b, a}, -1.0});
    }
    return fan;
}

// The integral of the product of the two shapes' winding numbers: the area
// they have in common for two simple shapes of the same orientation. Scale
// receives the size of the terms summed (the smaller triangle of each pair
// that meets), which bounds the rounding error of the sum.
double WindingProduct(const TShape& p, const TShape& q, double& scale)
{
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (const TShape* shape : {&p, &q})
        for (const TPoint& point : *shape) {
            minX = std::min(minX, point.x);
            maxX = std::max(maxX, point.x);
            minY = std::min(minY, point.y);
            maxY = std::max(maxY, point.y);
        }
    const TPoint centre{(minX + maxX) / 2, (minY + maxY) / 2};
    const std::vector<TFanTriangle> fanP = Fan(p, centre), fanQ = Fan(q, centre);
    double sum = 0.0;
    scale = 0.0;
    for (const TFanTriangle& a : fanP)
        for (const TFanTriangle& b : fanQ) {
            const double overlap = TriangleOverlap(a.corners, b.corners);
            if (overlap == 0.0)
                continue;
            sum += a.sign * b.sign * overlap;
            scale += std::min(std::fabs(SignedArea({a.corners.begin(), a.corners.end()})),
                              std::fabs(SignedArea({b.corners.begin(), b.corners.end()})));
        }
    return sum;
}

// Whether an area found by WindingProduct stands out of its rounding error
// and is more than a negligible part of the ring's area (and of the square
// of its extent: far below what the model calls no area).
bool Exceeds(double area, double scale, double ringArea, double ringExtent)
{
    return area > 1e-9 * scale && area > 1e-7 * ringArea && area > 1e-12 * ringExtent * ringExtent;
}

double Extent(const TShape& shape)
{
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (const TPoint& point : shape) {
        minX = std::min(minX, point.x);
        maxX = std::max(maxX, point.x);
        minY = std::min(minY, point.y);
        maxY = std::max(maxY, point.y);
    }
    return std::max(maxX - minX, maxY - minY);
}

bool BoxesApart(const TShape& p, const TShape& q)
{
    auto bounds = [](const TShape& s, bool alongX) {
        double low = 1e300, high = -1e300;
        for (const TPoint& point : s) {
            low = std::min(low, alongX ? point.x : point.y);
            high = std::max(high, alongX ? point.x : point.y);
        }
        return std::make_pair(low, high);
    };
    for (bool alongX : {true, false}) {
        const auto a = bounds(p, alongX), b = bounds(q, alongX);
        if (a.second < b.first || b.second < a.first)
            return true;
    }
    return false;
}

// A ring that goes back on itself: a zero-length edge, or two edges at a
// vertex pointing the same way (within 1e-9 of a turn).
bool TurnsBack(const TShape& shape)
{
    const double extent = Extent(shape);
    const size_t n = shape.size();
    for (size_t i = 0; i < n; ++i) {
        const TPoint& before = shape[(i + n - 1) % n];
        const TPoint& at = shape[i];
        const TPoint& after = shape[(i + 1) % n];
        const double ax = before.x - at.x, ay = before.y - at.y, bx = after.x - at.x, by = after.y - at.y;
        const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
        if (la <= 1e-9 * extent || lb <= 1e-9 * extent)
            return true;
        if (std::fabs(ax * by - ay * bx) <= 1e-9 * la * lb && ax * bx + ay * by > 0)
            return true;
    }
    return false;
}

TShape ShapeOf(const arofintM& Ring, const Tnodes& Nodes)
{
    TShape shape;
    for (int node : Ring)
        shape.push_back({Nodes[node].x, Nodes[node].y});
    return shape;
}

std::string RingName(int Body, int Sub)
{
    return "ring " + std::to_string(Sub) + " of body " + std::to_string(Body);
}

struct TNamedShape {
    std::string name;
    TShape shape;
    double area; // absolute
};

void CheckOneRing(const TNamedShape& ring, const TShape& frame, std::vector<std::string>& faults)
{
    double scale = 0.0;
    if (ring.area <= 1e-9 * Extent(ring.shape) * Extent(ring.shape))
        faults.push_back(ring.name + " has no area");
    const double covered = WindingProduct(ring.shape, ring.shape, scale);
    const double extent = Extent(ring.shape);
    if (Exceeds(covered - ring.area, scale, ring.area, extent))
        faults.push_back(ring.name + " crosses or covers itself");
    if (TurnsBack(ring.shape))
        faults.push_back(ring.name + " has a zero-length edge or a spike");
    if (!frame.empty()) {
        const double sign = SignedArea(ring.shape) * SignedArea(frame) > 0 ? 1.0 : -1.0;
        const double inside = sign * WindingProduct(ring.shape, frame, scale);
        if (Exceeds(ring.area - inside, scale, ring.area, extent))
            faults.push_back(ring.name + " leaves the frame");
    }
}

} // namespace

std::vector<std::string> ShapeFaults(const AllSpolygon& Model, const Tnodes& Nodes)
{
    std::vector<std::string> faults;
    TShape frame;
    if (!Model.Empty() && !Model[0].Empty()) {
        const arofintM& host = Model[0][0].ring;
        // The host ring is its outline followed by the outline reversed.
        for (int i = 0; i < host.Length() / 2; ++i)
            frame.push_back({Nodes[host[i]].x, Nodes[host[i]].y});
    }
    std::vector<TNamedShape> rings;
    for (int body = 0; body < Model.Length(); ++body)
        for (int sub = 0; sub < Model[body].Length(); ++sub)
            if (body != 0 || sub != 0) {
                TShape shape = ShapeOf(Model[body][sub].ring, Nodes);
                const double area = std::fabs(SignedArea(shape));
                rings.push_back({RingName(body, sub), std::move(shape), area});
            }
    for (const TNamedShape& ring : rings)
        CheckOneRing(ring, frame, faults);
    for (size_t i = 0; i < rings.size(); ++i)
        for (size_t j = i + 1; j < rings.size(); ++j) {
            const TNamedShape& p = rings[i];
            const TNamedShape& q = rings[j];
            if (BoxesApart(p.shape, q.shape))
                continue;
            const double sign = SignedArea(p.shape) * SignedArea(q.shape) > 0 ? 1.0 : -1.0;
            double scale = 0.0;
            const TNamedShape& smaller = p.area < q.area ? p : q;
            if (Exceeds(sign * WindingProduct(p.shape, q.shape, scale), scale, smaller.area, Extent(smaller.shape)))
                faults.push_back(p.name + " and " + q.name + " overlap");
        }
    return faults;
}

void CountNode(TNodeCensus& Census, const Tnode& Node)
{
    ++Census[{Node.x, Node.y}];
}

TNodeCensus NodeCensus(const AllSpolygon& Model, const Tnodes& Nodes)
{
    std::vector<bool> used(static_cast<size_t>(Nodes.Length()), false);
    for (const SPolygon& body : Model)
        for (const Polygon& ring : body)
            for (int node : ring.ring)
                used.at(static_cast<size_t>(node)) = true;
    TNodeCensus census;
    for (int node = 0; node < Nodes.Length(); ++node)
        if (used[static_cast<size_t>(node)])
            CountNode(census, Nodes[node]);
    return census;
}

std::vector<std::string> LostNodes(const TNodeCensus& Before, const TNodeCensus& After, const TNodeCensus& Allowed)
{
    std::vector<std::string> lost;
    for (const auto& [position, count] : Before) {
        const auto allowed = Allowed.find(position);
        const auto kept = After.find(position);
        const int needed = count - (allowed == Allowed.end() ? 0 : allowed->second);
        if (needed > (kept == After.end() ? 0 : kept->second)) {
            std::ostringstream text;
            text << "node at (" << position.first << ", " << position.second << ") lost";
            lost.push_back(text.str());
        }
    }
    return lost;
}

TSectionState StateOf(const TPolygonChart& Chart)
{
    return {CopyAllSpolygon(Chart.Model), CopyNodes(Chart.Nodes), CopyLines(Chart.Lines), Chart.ModelArea};
}

std::string StateDifference(const TSectionState& Expected, const TSectionState& Actual)
{
    if (!(Expected.Nodes == Actual.Nodes))
        return "the nodes differ";
    if (Expected.Model.Length() != Actual.Model.Length())
        return "the number of bodies differs";
    for (int body = 0; body < Expected.Model.Length(); ++body) {
        if (Expected.Model[body].Length() != Actual.Model[body].Length())
            return "body " + std::to_string(body) + " has another number of rings";
        for (int sub = 0; sub < Expected.Model[body].Length(); ++sub) {
            const Polygon& e = Expected.Model[body][sub];
            const Polygon& a = Actual.Model[body][sub];
            if (!(e.ring == a.ring))
                return RingName(body, sub) + " differs";
            for (int slot = 0; slot < ParamSlotCount; ++slot)
                if (slot != psId && !(e.params[slot] == a.params[slot]))
                    return "parameter " + std::to_string(slot) + " of " + RingName(body, sub) + " differs";
        }
    }
    if (Expected.Lines.Length() != Actual.Lines.Length())
        return "the number of lines differs";
    for (int line = 0; line < Expected.Lines.Length(); ++line)
        if (!(Expected.Lines[line].points == Actual.Lines[line].points) ||
            !(Expected.Lines[line].values == Actual.Lines[line].values))
            return "line " + std::to_string(line) + " differs";
    const TModelArea& e = Expected.Area;
    const TModelArea& a = Actual.Area;
    if (e.left != a.left || e.right != a.right || e.top != a.top || e.bottom != a.bottom)
        return "the area differs";
    return {};
}

} // namespace lp::test
