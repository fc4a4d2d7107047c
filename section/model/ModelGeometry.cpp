#include "section/model/ModelGeometry.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <numeric>
#include <unordered_map>

namespace lp {

double SignedLoopArea(const std::vector<TGeometryPoint>& polygon)
{
    double twice = 0.0;
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        const TGeometryPoint& p = polygon[i];
        const TGeometryPoint& q = polygon[i + 1 < n ? i + 1 : 0];
        twice += p.x * q.y - q.x * p.y;
    }
    return twice / 2.0;
}

namespace {

uint64_t EdgeKey(int a, int b)
{
    if (a > b)
        std::swap(a, b);
    return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
}

struct TBox {
    double minX = std::numeric_limits<double>::infinity(), minY = minX;
    double maxX = -minX, maxY = -minX;
    void Add(const TGeometryPoint& p)
    {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    bool Holds(const TGeometryPoint& p) const { return p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY; }
};

// Even-odd test; the point must not lie on the polygon's boundary.
bool PointInPath(const TGeometryPoint& point, const std::vector<int>& path, const std::vector<TGeometryPoint>& points)
{
    bool inside = false;
    const size_t n = path.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const TGeometryPoint& a = points[static_cast<size_t>(path[i])];
        const TGeometryPoint& b = points[static_cast<size_t>(path[j])];
        if ((a.y > point.y) != (b.y > point.y) &&
            point.x < (b.x - a.x) * (point.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

double Cross(const TGeometryPoint& o, const TGeometryPoint& a, const TGeometryPoint& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Whether closed segments pq and rs have a point in common (touching counts).
bool SegmentsMeet(const TGeometryPoint& p, const TGeometryPoint& q, const TGeometryPoint& r, const TGeometryPoint& s)
{
    if (std::max(p.x, q.x) < std::min(r.x, s.x) || std::max(r.x, s.x) < std::min(p.x, q.x) ||
        std::max(p.y, q.y) < std::min(r.y, s.y) || std::max(r.y, s.y) < std::min(p.y, q.y))
        return false;
    const double d1 = Cross(r, s, p), d2 = Cross(r, s, q), d3 = Cross(p, q, r), d4 = Cross(p, q, s);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    // Collinear or touching: the boxes overlap, so a zero cross product
    // puts an end on the other segment.
    const auto onSegment = [](const TGeometryPoint& a, const TGeometryPoint& b, const TGeometryPoint& c) {
        return std::min(a.x, b.x) <= c.x && c.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= c.y &&
               c.y <= std::max(a.y, b.y);
    };
    return (d1 == 0 && onSegment(r, s, p)) || (d2 == 0 && onSegment(r, s, q)) || (d3 == 0 && onSegment(p, q, r)) ||
           (d4 == 0 && onSegment(p, q, s));
}

std::string RingLabel(int body, int sub)
{
    return "ring " + std::to_string(sub) + " of body " + std::to_string(body);
}

// A name as the geometry file can quote it: no quotes, no control characters.
std::string CleanName(std::string text)
{
    for (char& c : text)
        if (c == '"')
            c = '\'';
        else if (c == '\\') // the geometry file's strings take it for an escape
            c = '/';
        else if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            c = ' ';
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class TGeometryBuilder {
public:
    TGeometryBuilder(const AllSpolygon& model, const Tnodes& nodes, const lines& modelLines, const TModelArea* area)
        : FModel(model), FNodes(nodes), FLines(modelLines), FArea(area)
    {
    }

    TModelGeometry Build()
    {
        const std::vector<std::string> faults = CheckModelInvariants(FModel, FNodes, FArea);
        if (!faults.empty())
            throw EModelGeometryError("The model cannot be exported: " + faults.front() + ".");
        MergePoints();
        CollectRingPaths();
        SplitEdgesAtPoints();
        CollectEdges();
        TraceLoops();
        AssignHoles();
        MakeRegions();
        MakeSurfaces();
        AddLines();
        return std::move(G);
    }

private:
    struct TRingPath {
        int body = 0, sub = 0;
        std::vector<int> points; // a closed cycle of point indices
        double area = 0.0;       // signed
        TBox box;
    };
    struct TLoop {
        std::vector<int> halfEdges;
        double area = 0.0;
        TBox box;
        int owner = -1; // for a hole: the outer loop it belongs to; -2 the unbounded face
    };

    // --- Points ------------------------------------------------------------------
    // Nodes at one place (up to a tolerance far below any distance the
    // editor can make) become one point.
    void MergePoints()
    {
        const int n = FNodes.Length();
        double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
        for (const Tnode& node : FNodes) {
            minX = std::min(minX, node.x);
            maxX = std::max(maxX, node.x);
            minY = std::min(minY, node.y);
            maxY = std::max(maxY, node.y);
        }
        FExtent = std::max(maxX - minX, maxY - minY);
        FMagnitude = std::max({std::fabs(minX), std::fabs(maxX), std::fabs(minY), std::fabs(maxY)});
        FSamePlace = 1e-12 * FExtent;
        // Points by cells of the tolerance's size: a node's match, if any,
        // lies in its cell or a neighbouring one.
        // (Never so small that a coordinate over it leaves the integers.)
        const double cell = std::max({FSamePlace, 1e-15 * FMagnitude, 1e-300});
        const auto cellOf = [cell](double value) { return static_cast<int64_t>(std::floor(value / cell)); };
        const auto key = [](int64_t column, int64_t row) {
            return static_cast<uint64_t>(column) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(row);
        };
        std::unordered_multimap<uint64_t, int> byCell;
        byCell.reserve(static_cast<size_t>(n));
        FNodePoint.assign(static_cast<size_t>(n), -1);
        for (int node = 0; node < n; ++node) {
            const double x = FNodes[node].x, y = -FNodes[node].y;
            const int64_t column = cellOf(x), row = cellOf(y);
            int found = -1;
            for (int64_t dc = -1; dc <= 1 && found < 0; ++dc)
                for (int64_t dr = -1; dr <= 1 && found < 0; ++dr) {
                    const auto range = byCell.equal_range(key(column + dc, row + dr));
                    for (auto it = range.first; it != range.second; ++it) {
                        const TGeometryPoint& p = G.Points[static_cast<size_t>(it->second)];
                        if (std::fabs(p.x - x) <= FSamePlace && std::fabs(p.y - y) <= FSamePlace) {
                            found = it->second;
                            break;
                        }
                    }
                }
            if (found < 0) {
                found = static_cast<int>(G.Points.size());
                G.Points.push_back({x, y});
                byCell.emplace(key(column, row), found);
            }
            FNodePoint[static_cast<size_t>(node)] = found;
        }
        G.ModelPointCount = static_cast<int>(G.Points.size());
    }

    // --- Ring paths and edges -----------------------------------------------------
    std::vector<int> PointPath(const arofintM& ring, bool host) const
    {
        std::vector<int> path;
        AnyRingEdge(ring, host, [&](int a, int) {
            const int point = FNodePoint[static_cast<size_t>(a)];
            if (path.empty() || path.back() != point)
                path.push_back(point);
            return false;
        });
        while (path.size() > 1 && path.back() == path.front())
            path.pop_back();
        return path;
    }

    void CollectRingPaths()
    {
        FFrame = PointPath(FModel[0][0].ring, true);
        if (FFrame.size() < 3)
            throw EModelGeometryError("The model cannot be exported: the model area has no extent.");
        for (int body = 0; body < FModel.Length(); ++body)
            for (int sub = 0; sub < FModel[body].Length(); ++sub)
                if (!IsHostRing(body, sub)) {
                    std::vector<int> path = PointPath(FModel[body][sub].ring, false);
                    // A ring far below the smallest distance the points
                    // keep apart has become a point or a stroke: it has no
                    // edges and no area.
                    if (path.size() < 3)
                        path.clear();
                    FRings.push_back({body, sub, std::move(path), 0.0, {}});
                }
    }

    template <class Visit>
    void ForEachPath(Visit visit)
    {
        visit(FFrame);
        for (TRingPath& ring : FRings)
            visit(ring.points);
    }

    // A point that lies on an edge without being one of its ends splits the
    // edge, in every path that uses it. The tolerance follows the one the
    // model's crossing check allows a node placed on an edge.
    void SplitEdgesAtPoints()
    {
        std::unordered_map<uint64_t, std::vector<int>> inner; // edge key -> points inside, from the lower end
        BuildPointGrid();
        ForEachPath([&](std::vector<int>& path) {
            for (size_t i = 0; i < path.size(); ++i) {
                const int a = path[i], b = path[(i + 1) % path.size()];
                const uint64_t key = EdgeKey(a, b);
                if (inner.count(key) == 0)
                    inner.emplace(key, PointsOnEdge(std::min(a, b), std::max(a, b)));
            }
        });
        ForEachPath([&](std::vector<int>& path) {
            std::vector<int> split;
            split.reserve(path.size());
            for (size_t i = 0; i < path.size(); ++i) {
                const int a = path[i], b = path[(i + 1) % path.size()];
                split.push_back(a);
                const std::vector<int>& between = inner.at(EdgeKey(a, b));
                if (a < b)
                    split.insert(split.end(), between.begin(), between.end());
                else
                    split.insert(split.end(), between.rbegin(), between.rend());
            }
            path = std::move(split);
        });
    }

    void BuildPointGrid()
    {
        const size_t count = G.Points.size();
        FGridBox = TBox();
        for (const TGeometryPoint& p : G.Points)
            FGridBox.Add(p);
        const double side = std::max(1.0, std::floor(std::sqrt(static_cast<double>(count))));
        FGridColumns = FGridRows = static_cast<int>(side);
        FCellWidth = std::max((FGridBox.maxX - FGridBox.minX) / side, 1e-300);
        FCellHeight = std::max((FGridBox.maxY - FGridBox.minY) / side, 1e-300);
        FGridStart.assign(static_cast<size_t>(FGridColumns) * FGridRows + 1, 0);
        std::vector<size_t> cellOf(count);
        for (size_t p = 0; p < count; ++p) {
            cellOf[p] = Cell(G.Points[p].x, G.Points[p].y);
            ++FGridStart[cellOf[p] + 1];
        }
        for (size_t c = 1; c < FGridStart.size(); ++c)
            FGridStart[c] += FGridStart[c - 1];
        FGridMembers.resize(count);
        std::vector<size_t> fill(FGridStart.begin(), FGridStart.end() - 1);
        for (size_t p = 0; p < count; ++p)
            FGridMembers[fill[cellOf[p]]++] = static_cast<int>(p);
    }

    int Column(double x) const
    {
        return std::clamp(static_cast<int>(std::floor((x - FGridBox.minX) / FCellWidth)), 0, FGridColumns - 1);
    }
    int Row(double y) const
    {
        return std::clamp(static_cast<int>(std::floor((y - FGridBox.minY) / FCellHeight)), 0, FGridRows - 1);
    }
    size_t Cell(double x, double y) const
    {
        return static_cast<size_t>(Row(y)) * static_cast<size_t>(FGridColumns) + static_cast<size_t>(Column(x));
    }

    std::vector<int> PointsOnEdge(int a, int b) const
    {
        const TGeometryPoint& p = G.Points[static_cast<size_t>(a)];
        const TGeometryPoint& q = G.Points[static_cast<size_t>(b)];
        const double dx = q.x - p.x, dy = q.y - p.y;
        const double length = std::hypot(dx, dy);
        const double tolerance = 1e-9 * length + 1e-12 * FMagnitude;
        std::vector<std::pair<double, int>> found;
        const int firstColumn = Column(std::min(p.x, q.x) - tolerance);
        const int lastColumn = Column(std::max(p.x, q.x) + tolerance);
        const int firstRow = Row(std::min(p.y, q.y) - tolerance);
        const int lastRow = Row(std::max(p.y, q.y) + tolerance);
        for (int row = firstRow; row <= lastRow; ++row)
            for (int column = firstColumn; column <= lastColumn; ++column) {
                const size_t cell = static_cast<size_t>(row) * static_cast<size_t>(FGridColumns) +
                                    static_cast<size_t>(column);
                for (size_t m = FGridStart[cell]; m < FGridStart[cell + 1]; ++m) {
                    const int candidate = FGridMembers[m];
                    if (candidate == a || candidate == b)
                        continue;
                    const TGeometryPoint& c = G.Points[static_cast<size_t>(candidate)];
                    const double along = ((c.x - p.x) * dx + (c.y - p.y) * dy) / length;
                    const double across = (dx * (c.y - p.y) - dy * (c.x - p.x)) / length;
                    if (std::fabs(across) <= tolerance && along > FSamePlace && along < length - FSamePlace)
                        found.emplace_back(along, candidate);
                }
            }
        std::sort(found.begin(), found.end());
        std::vector<int> between;
        between.reserve(found.size());
        for (const auto& entry : found)
            between.push_back(entry.second);
        return between;
    }

    int HalfEdge(int from, int to) const
    {
        const int edge = FEdgeOf.at(EdgeKey(from, to));
        return 2 * edge + (G.Edges[static_cast<size_t>(edge)].first == from ? 0 : 1);
    }
    int Origin(int halfEdge) const
    {
        const auto& edge = G.Edges[static_cast<size_t>(halfEdge / 2)];
        return halfEdge % 2 == 0 ? edge.first : edge.second;
    }
    int Target(int halfEdge) const { return Origin(halfEdge ^ 1); }

    // Every edge once, however many paths use it.
    void CollectEdges()
    {
        ForEachPath([&](std::vector<int>& path) {
            for (size_t i = 0; i < path.size(); ++i) {
                const int a = path[i], b = path[(i + 1) % path.size()];
                if (FEdgeOf.emplace(EdgeKey(a, b), static_cast<int>(G.Edges.size())).second)
                    G.Edges.emplace_back(a, b);
            }
        });
        G.ModelEdgeCount = static_cast<int>(G.Edges.size());
        std::vector<TGeometryPoint> polygon;
        for (int point : FFrame) {
            polygon.push_back(G.Points[static_cast<size_t>(point)]);
            FFrameBox.Add(polygon.back());
        }
        G.FrameArea = std::fabs(SignedLoopArea(polygon));
        G.Width = FFrameBox.maxX - FFrameBox.minX;
        FFrameEdge.assign(G.Edges.size(), false);
        for (size_t i = 0; i < FFrame.size(); ++i) {
            const int edge = FEdgeOf.at(EdgeKey(FFrame[i], FFrame[(i + 1) % FFrame.size()]));
            if (!FFrameEdge[static_cast<size_t>(edge)]) {
                FFrameEdge[static_cast<size_t>(edge)] = true;
                G.FrameEdges.push_back(edge + 1);
            }
        }
        // The side of every ring's edges its inside lies on.
        for (int k = 0; k < static_cast<int>(FRings.size()); ++k) {
            TRingPath& ring = FRings[static_cast<size_t>(k)];
            polygon.clear();
            for (int point : ring.points) {
                polygon.push_back(G.Points[static_cast<size_t>(point)]);
                ring.box.Add(polygon.back());
            }
            ring.area = SignedLoopArea(polygon);
            for (size_t i = 0; i < ring.points.size(); ++i) {
                const int h = HalfEdge(ring.points[i], ring.points[(i + 1) % ring.points.size()]);
                FInsideOf.emplace_back(ring.area > 0 ? h : h ^ 1, k);
            }
        }
        std::sort(FInsideOf.begin(), FInsideOf.end());
    }

    // --- Faces --------------------------------------------------------------------
    // Faces lie to the left of their boundary's half-edges: from a half-edge
    // the walk goes on along the next edge clockwise at its end point.
    void TraceLoops()
    {
        const size_t points = G.Points.size();
        std::vector<std::vector<std::pair<double, int>>> around(points);
        for (int h = 0; h < 2 * static_cast<int>(G.Edges.size()); ++h) {
            const TGeometryPoint& from = G.Points[static_cast<size_t>(Origin(h))];
            const TGeometryPoint& to = G.Points[static_cast<size_t>(Target(h))];
            around[static_cast<size_t>(Origin(h))].emplace_back(std::atan2(to.y - from.y, to.x - from.x), h);
        }
        std::vector<int> next(2 * G.Edges.size());
        std::vector<int> place(2 * G.Edges.size());
        for (auto& outgoing : around) {
            std::sort(outgoing.begin(), outgoing.end());
            for (size_t i = 0; i < outgoing.size(); ++i)
                place[static_cast<size_t>(outgoing[i].second)] = static_cast<int>(i);
        }
        for (size_t h = 0; h < next.size(); ++h) {
            const int twin = static_cast<int>(h) ^ 1;
            const auto& outgoing = around[static_cast<size_t>(Origin(twin))];
            const size_t at = static_cast<size_t>(place[static_cast<size_t>(twin)]);
            next[h] = outgoing[(at + outgoing.size() - 1) % outgoing.size()].second;
        }
        FLoopOf.assign(next.size(), -1);
        std::vector<bool> walked(next.size(), false);
        std::vector<int> walk;
        for (size_t start = 0; start < next.size(); ++start) {
            if (walked[start])
                continue;
            walk.clear();
            for (int h = static_cast<int>(start); !walked[static_cast<size_t>(h)]; h = next[static_cast<size_t>(h)]) {
                walked[static_cast<size_t>(h)] = true;
                walk.push_back(h);
            }
            SplitWalk(walk);
        }
    }

    // Cuts a closed walk into simple loops where it passes a point again.
    void SplitWalk(const std::vector<int>& walk)
    {
        if (FStackPlace.empty())
            FStackPlace.assign(G.Points.size(), -1);
        std::vector<int> stack;
        for (int h : walk) {
            const int origin = Origin(h);
            const int at = FStackPlace[static_cast<size_t>(origin)];
            if (at >= 0) {
                AddLoop(std::vector<int>(stack.begin() + at, stack.end()));
                for (size_t i = static_cast<size_t>(at); i < stack.size(); ++i)
                    FStackPlace[static_cast<size_t>(Origin(stack[i]))] = -1;
                stack.resize(static_cast<size_t>(at));
            }
            FStackPlace[static_cast<size_t>(origin)] = static_cast<int>(stack.size());
            stack.push_back(h);
        }
        for (int h : stack)
            FStackPlace[static_cast<size_t>(Origin(h))] = -1;
        AddLoop(std::move(stack));
    }

    void AddLoop(std::vector<int> halfEdges)
    {
        if (halfEdges.size() < 3) {
            const TGeometryPoint& p = G.Points[static_cast<size_t>(Origin(halfEdges.front()))];
            throw EModelGeometryError("The model cannot be exported: an edge at (" + std::to_string(p.x) + ", " +
                                      std::to_string(-p.y) + ") has the same region on both sides.");
        }
        TLoop loop;
        std::vector<TGeometryPoint> polygon;
        polygon.reserve(halfEdges.size());
        for (int h : halfEdges) {
            polygon.push_back(G.Points[static_cast<size_t>(Origin(h))]);
            loop.box.Add(polygon.back());
        }
        loop.area = SignedLoopArea(polygon);
        for (int h : halfEdges)
            FLoopOf[static_cast<size_t>(h)] = static_cast<int>(FLoops.size());
        loop.halfEdges = std::move(halfEdges);
        FLoops.push_back(std::move(loop));
    }

    std::vector<int> LoopPath(const TLoop& loop) const
    {
        std::vector<int> path;
        path.reserve(loop.halfEdges.size());
        for (int h : loop.halfEdges)
            path.push_back(Origin(h));
        return path;
    }

    TGeometryPoint Middle(int halfEdge) const
    {
        const TGeometryPoint& a = G.Points[static_cast<size_t>(Origin(halfEdge))];
        const TGeometryPoint& b = G.Points[static_cast<size_t>(Target(halfEdge))];
        return {(a.x + b.x) / 2, (a.y + b.y) / 2};
    }

    // A hole belongs to the smallest outer loop that contains it; the
    // holes no outer loop contains bound the model from outside and must
    // run along the frame.
    void AssignHoles()
    {
        // The outer loops by the cells of the point grid their boxes cover,
        // so each hole meets only the loops around its probe's cell.
        std::vector<std::vector<int>> outerPaths(FLoops.size());
        std::vector<size_t> start(FGridStart.size(), 0);
        const auto forEachCell = [&](const TBox& box, auto visit) {
            for (int row = Row(box.minY); row <= Row(box.maxY); ++row)
                for (int column = Column(box.minX); column <= Column(box.maxX); ++column)
                    visit(static_cast<size_t>(row) * static_cast<size_t>(FGridColumns) + static_cast<size_t>(column));
        };
        for (size_t i = 0; i < FLoops.size(); ++i)
            if (FLoops[i].area > 0) {
                outerPaths[i] = LoopPath(FLoops[i]);
                forEachCell(FLoops[i].box, [&](size_t cell) { ++start[cell + 1]; });
            }
        for (size_t cell = 1; cell < start.size(); ++cell)
            start[cell] += start[cell - 1];
        std::vector<int> members(start.back());
        std::vector<size_t> fill(start.begin(), start.end() - 1);
        for (size_t i = 0; i < FLoops.size(); ++i)
            if (FLoops[i].area > 0)
                forEachCell(FLoops[i].box, [&](size_t cell) { members[fill[cell]++] = static_cast<int>(i); });
        for (size_t i = 0; i < FLoops.size(); ++i) {
            TLoop& hole = FLoops[i];
            if (hole.area > 0)
                continue;
            const int h = hole.halfEdges.front();
            const TGeometryPoint probe = Middle(h);
            // The loop across the probe's edge lies inside the hole.
            const int across = FLoopOf[static_cast<size_t>(h ^ 1)];
            double smallest = std::numeric_limits<double>::infinity();
            const size_t cell = static_cast<size_t>(Row(probe.y)) * static_cast<size_t>(FGridColumns) +
                                static_cast<size_t>(Column(probe.x));
            for (size_t m = start[cell]; m < start[cell + 1]; ++m) {
                const int outer = members[m];
                const TLoop& candidate = FLoops[static_cast<size_t>(outer)];
                if (outer == across || candidate.area >= smallest || !candidate.box.Holds(probe))
                    continue;
                if (PointInPath(probe, outerPaths[static_cast<size_t>(outer)], G.Points)) {
                    smallest = candidate.area;
                    hole.owner = outer;
                }
            }
            if (hole.owner < 0) {
                hole.owner = -2;
                CheckOutsideLoop(hole);
            }
        }
    }

    void CheckOutsideLoop(const TLoop& loop) const
    {
        for (int h : loop.halfEdges)
            if (!FFrameEdge[static_cast<size_t>(h / 2)]) {
                const auto user = std::lower_bound(FInsideOf.begin(), FInsideOf.end(), std::make_pair(h ^ 1, -1));
                std::string what = "a ring";
                if (user != FInsideOf.end() && user->first == (h ^ 1)) {
                    const TRingPath& ring = FRings[static_cast<size_t>(user->second)];
                    what = RingLabel(ring.body, ring.sub);
                }
                throw EModelGeometryError("The model cannot be exported: " + what +
                                          " lies outside the model area.");
            }
    }

    // --- Regions ------------------------------------------------------------------
    void MakeRegions()
    {
        std::vector<std::string> names;
        std::map<std::string, int> uses;
        names.push_back("Host medium");
        for (const TRingPath& ring : FRings) {
            const ParamValue& label = FModel[ring.body][ring.sub].params[psLabelText];
            std::string name = label.IsEmpty() ? std::string() : CleanName(label.AsText());
            if (name.empty())
                name = "Body " + std::to_string(ring.body) + " ring " + std::to_string(ring.sub);
            names.push_back(name);
        }
        for (const std::string& name : names)
            ++uses[name];
        for (size_t r = 0; r < names.size(); ++r) {
            TGeometryRegion region;
            region.tag = static_cast<int>(r) + 1;
            const Polygon& ring = r == 0 ? FModel[0][0] : FModel[FRings[r - 1].body][FRings[r - 1].sub];
            region.body = r == 0 ? 0 : FRings[r - 1].body;
            region.ring = r == 0 ? 0 : FRings[r - 1].sub;
            region.name = names[r];
            if (r > 0 && uses[names[r]] > 1)
                region.name += " (" + std::to_string(region.body) + "." + std::to_string(region.ring) + ")";
            region.resistivity = ring.params[psResistivity];
            region.polarizability = ring.params[psPolarizability];
            region.phase = ring.params[psPhase];
            G.Regions.push_back(std::move(region));
        }
    }

    // The innermost ring the face lies in: among the rings whose inside
    // borders the face the smallest; when none does, the smallest ring
    // around it; else the host medium.
    int RegionOfFace(const TLoop& outer, const std::vector<const TLoop*>& holes) const
    {
        int best = -1;
        const auto consider = [&](int k) {
            if (best < 0 || std::fabs(FRings[static_cast<size_t>(k)].area) <
                                std::fabs(FRings[static_cast<size_t>(best)].area))
                best = k;
        };
        const auto borders = [&](const TLoop& loop) {
            for (int h : loop.halfEdges)
                for (auto it = std::lower_bound(FInsideOf.begin(), FInsideOf.end(), std::make_pair(h, -1));
                     it != FInsideOf.end() && it->first == h; ++it)
                    consider(it->second);
        };
        borders(outer);
        for (const TLoop* hole : holes)
            borders(*hole);
        if (best >= 0)
            return best + 1;
        // No ring borders the face from inside: a ring around it does not
        // use the probe's edge, so the probe is inside it or outside.
        const int h = outer.halfEdges.front();
        const TGeometryPoint probe = Middle(h);
        for (int k = 0; k < static_cast<int>(FRings.size()); ++k) {
            const TRingPath& ring = FRings[static_cast<size_t>(k)];
            if (!ring.box.Holds(probe) || UsesEdge(k, h) || (best >= 0 && std::fabs(ring.area) >= std::fabs(FRings[static_cast<size_t>(best)].area)))
                continue;
            if (PointInPath(probe, ring.points, G.Points))
                best = k;
        }
        return best + 1;
    }

    bool UsesEdge(int ring, int halfEdge) const
    {
        for (int h : {halfEdge, halfEdge ^ 1})
            for (auto it = std::lower_bound(FInsideOf.begin(), FInsideOf.end(), std::make_pair(h, -1));
                 it != FInsideOf.end() && it->first == h; ++it)
                if (it->second == ring)
                    return true;
        return false;
    }

    static TGeometryLoop SignedEdges(const TLoop& loop)
    {
        TGeometryLoop edges;
        edges.reserve(loop.halfEdges.size());
        for (int h : loop.halfEdges)
            edges.push_back(h % 2 == 0 ? h / 2 + 1 : -(h / 2 + 1));
        return edges;
    }

    void MakeSurfaces()
    {
        std::vector<std::vector<const TLoop*>> holesOf(FLoops.size());
        for (const TLoop& loop : FLoops)
            if (loop.area < 0 && loop.owner >= 0)
                holesOf[static_cast<size_t>(loop.owner)].push_back(&loop);
        std::vector<TGeometrySurface> surfaces;
        for (size_t i = 0; i < FLoops.size(); ++i) {
            const TLoop& outer = FLoops[i];
            if (outer.area <= 0)
                continue;
            TGeometrySurface surface;
            surface.outer = SignedEdges(outer);
            surface.area = outer.area;
            for (const TLoop* hole : holesOf[i]) {
                surface.holes.push_back(SignedEdges(*hole));
                surface.area += hole->area;
            }
            surface.region = RegionOfFace(outer, holesOf[i]);
            FSurfaceLoop.push_back(static_cast<int>(i));
            surfaces.push_back(std::move(surface));
        }
        // Region by region, each in the order found.
        std::vector<size_t> order(surfaces.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return surfaces[a].region < surfaces[b].region; });
        std::vector<int> loops;
        for (size_t at : order) {
            TGeometryRegion& region = G.Regions[static_cast<size_t>(surfaces[at].region)];
            region.surfaces.push_back(static_cast<int>(G.Surfaces.size()));
            region.area += surfaces[at].area;
            loops.push_back(FSurfaceLoop[at]);
            G.Surfaces.push_back(std::move(surfaces[at]));
        }
        FSurfaceLoop = std::move(loops);
    }

    // --- Lines --------------------------------------------------------------------
    void AddLines()
    {
        std::map<std::pair<double, double>, int> modelPoint;
        for (int p = 0; p < G.ModelPointCount; ++p)
            modelPoint.emplace(std::make_pair(G.Points[static_cast<size_t>(p)].x, G.Points[static_cast<size_t>(p)].y), p);
        std::vector<std::string> names;
        std::map<std::string, int> uses{{"Frame", 1}}; // the frame's physical curve
        for (int n = 0; n < FLines.Length(); ++n) {
            std::string name = CleanName(FLines[n].text);
            if (name.empty())
                name = "Line " + std::to_string(n + 1);
            names.push_back(name);
            ++uses[name];
        }
        for (int n = 0; n < FLines.Length(); ++n) {
            TGeometryLine geometryLine;
            geometryLine.name = names[static_cast<size_t>(n)];
            if (uses[geometryLine.name] > 1)
                geometryLine.name += " (" + std::to_string(n + 1) + ")";
            if (std::any_of(FLines[n].points.begin(), FLines[n].points.end(), [](const complexM& at) {
                    return !std::isfinite(at.re) || !std::isfinite(at.im);
                })) {
                G.Warnings.push_back("Line \"" + geometryLine.name +
                                     "\" has a point that is not a finite number: it is left out.");
                continue;
            }
            std::map<std::pair<double, double>, int> ownPoint;
            bool touchesModel = false;
            for (const complexM& at : FLines[n].points) {
                const std::pair<double, double> place(at.re, -at.im);
                int point = -1;
                if (const auto found = modelPoint.find(place); found != modelPoint.end()) {
                    point = found->second;
                    touchesModel = true;
                } else if (const auto own = ownPoint.find(place); own != ownPoint.end()) {
                    point = own->second;
                } else {
                    point = static_cast<int>(G.Points.size());
                    G.Points.push_back({place.first, place.second});
                    ownPoint.emplace(place, point);
                }
                if (geometryLine.points.empty() || geometryLine.points.back() != point)
                    geometryLine.points.push_back(point);
            }
            if (geometryLine.points.size() < 2) {
                G.Warnings.push_back("Line \"" + geometryLine.name + "\" has fewer than two points: it is left out.");
                continue;
            }
            for (size_t i = 0; i + 1 < geometryLine.points.size(); ++i) {
                const int a = geometryLine.points[i], b = geometryLine.points[i + 1];
                const auto model = FEdgeOf.find(EdgeKey(a, b));
                if (model != FEdgeOf.end()) {
                    touchesModel = true;
                    geometryLine.edges.push_back(G.Edges[static_cast<size_t>(model->second)].first == a ? model->second + 1 : -(model->second + 1));
                    continue;
                }
                const auto own = FLineEdgeOf.find(EdgeKey(a, b));
                if (own != FLineEdgeOf.end()) {
                    geometryLine.edges.push_back(G.Edges[static_cast<size_t>(own->second)].first == a ? own->second + 1 : -(own->second + 1));
                    continue;
                }
                FLineEdgeOf.emplace(EdgeKey(a, b), static_cast<int>(G.Edges.size()));
                G.Edges.emplace_back(a, b);
                geometryLine.edges.push_back(static_cast<int>(G.Edges.size()));
            }
            if (!touchesModel && !CrossesItself(geometryLine) && !MeetsModelEdges(geometryLine))
                geometryLine.surface = SurfaceAt(G.Points[static_cast<size_t>(geometryLine.points.front())]);
            if (geometryLine.surface < 0)
                G.Warnings.push_back("Line \"" + geometryLine.name +
                                     "\" does not lie inside one region: it is written but not embedded.");
            G.Lines.push_back(std::move(geometryLine));
        }
    }

    bool CrossesItself(const TGeometryLine& line) const
    {
        const size_t n = line.points.size();
        const bool closed = line.points.front() == line.points.back();
        std::vector<int> seen(line.points.begin(), line.points.end() - (closed ? 1 : 0));
        std::sort(seen.begin(), seen.end());
        if (std::adjacent_find(seen.begin(), seen.end()) != seen.end())
            return true;
        for (size_t i = 0; i + 1 < n; ++i)
            for (size_t j = i + 2; j + 1 < n; ++j) {
                if (closed && i == 0 && j + 2 == n)
                    continue; // the closing point joins the last segment to the first
                if (SegmentsMeet(G.Points[static_cast<size_t>(line.points[i])], G.Points[static_cast<size_t>(line.points[i + 1])],
                                 G.Points[static_cast<size_t>(line.points[j])], G.Points[static_cast<size_t>(line.points[j + 1])]))
                    return true;
            }
        return false;
    }

    bool MeetsModelEdges(const TGeometryLine& line) const
    {
        for (size_t i = 0; i + 1 < line.points.size(); ++i) {
            const TGeometryPoint& p = G.Points[static_cast<size_t>(line.points[i])];
            const TGeometryPoint& q = G.Points[static_cast<size_t>(line.points[i + 1])];
            for (int e = 0; e < G.ModelEdgeCount; ++e) {
                const auto& edge = G.Edges[static_cast<size_t>(e)];
                if (SegmentsMeet(p, q, G.Points[static_cast<size_t>(edge.first)], G.Points[static_cast<size_t>(edge.second)]))
                    return true;
            }
        }
        return false;
    }

    // The surface strictly holding the point (which lies on no edge), -1 for none.
    int SurfaceAt(const TGeometryPoint& point) const
    {
        for (size_t s = 0; s < G.Surfaces.size(); ++s) {
            const TLoop& outer = FLoops[static_cast<size_t>(FSurfaceLoop[s])];
            if (!outer.box.Holds(point) || !PointInPath(point, LoopPath(outer), G.Points))
                continue;
            bool inHole = false;
            for (const TLoop& loop : FLoops)
                if (loop.area < 0 && loop.owner == FSurfaceLoop[s] && loop.box.Holds(point) &&
                    PointInPath(point, LoopPath(loop), G.Points))
                    inHole = true;
            if (!inHole)
                return static_cast<int>(s);
        }
        return -1;
    }

    const AllSpolygon& FModel;
    const Tnodes& FNodes;
    const lines& FLines;
    const TModelArea* FArea;
    TModelGeometry G;
    double FExtent = 0.0, FMagnitude = 0.0, FSamePlace = 0.0;
    std::vector<int> FNodePoint;
    std::vector<int> FFrame;
    TBox FFrameBox;
    std::vector<TRingPath> FRings;
    // Point grid for the points on edges.
    TBox FGridBox;
    int FGridColumns = 1, FGridRows = 1;
    double FCellWidth = 1.0, FCellHeight = 1.0;
    std::vector<size_t> FGridStart;
    std::vector<int> FGridMembers;
    std::unordered_map<uint64_t, int> FEdgeOf;
    std::unordered_map<uint64_t, int> FLineEdgeOf;
    std::vector<bool> FFrameEdge;
    std::vector<std::pair<int, int>> FInsideOf; // (half-edge, ring) with the ring's inside on its left
    std::vector<TLoop> FLoops;
    std::vector<int> FLoopOf; // half-edge -> loop
    std::vector<int> FStackPlace;
    std::vector<int> FSurfaceLoop; // surface -> its outer loop
};

} // namespace

TModelGeometry BuildModelGeometry(const AllSpolygon& model, const Tnodes& nodes, const lines& modelLines,
                                  const TModelArea* area)
{
    return TGeometryBuilder(model, nodes, modelLines, area).Build();
}

} // namespace lp
