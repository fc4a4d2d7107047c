// The structural promises of the section model, checked. Used by the tests
// after every operation and available to callers that load models from files.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace lp {

namespace {

std::string RingName(int body, int sub)
{
    return "ring " + std::to_string(sub) + " of body " + std::to_string(body);
}

// Indices must be checked before anything else reads the node table.
bool CheckIndices(const AllSpolygon& model, const Tnodes& nodes, std::vector<std::string>& faults)
{
    bool sound = true;
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub)
            for (int index : model[body][sub].ring)
                if (index < 0 || index >= nodes.Length()) {
                    faults.push_back(RingName(body, sub) + " refers to node " + std::to_string(index) +
                                     " outside the node table");
                    sound = false;
                }
    return sound;
}

void CheckHostRing(const AllSpolygon& model, std::vector<std::string>& faults)
{
    if (model.Empty() || model[0].Empty()) {
        faults.push_back("the model has no host ring");
        return;
    }
    const arofintM& host = model[0][0].ring;
    const int k = RingEdgeCount(host, true);
    if (k < 4 || host.Length() != 2 * k) {
        faults.push_back("the host ring is not its outline followed by the outline reversed");
        return;
    }
    for (int j = 1; j < k; ++j)
        if (host[k + j] != host[k - j]) {
            faults.push_back("the host ring's return half does not mirror its outline at position " +
                             std::to_string(k + j));
            return;
        }
    // Nodes added on frame edges may sit between the corners.
    int position = 0;
    for (int corner = 0; corner < 4 && position < k; ++corner, ++position)
        while (position < k && host[position] != corner)
            ++position;
    if (host[0] != 0 || position > k)
        faults.push_back("the host ring's outline does not run through the frame nodes 0, 1, 2, 3 in order");
}

// With settle, what the rings determine is made true first: each ring but
// the host ring is turned to the model's orientation before it is checked (a
// ring without area is left as it is), and every body's nodes get the sharing
// its rings give, as UpdateBodySharing does, body after body. The faults are
// those the check finds on the settled model.
struct TSettle {
    AllSpolygon& model;
    Tnodes& nodes;
};

void CheckRings(const AllSpolygon& model, const Tnodes& nodes, const TSettle* settle, std::vector<std::string>& faults)
{
    std::vector<int> owner(static_cast<size_t>(nodes.Length()), -1);
    // (node, body, sharing) of every body's nodes: which body's count applies
    // is known only when every ring has been seen.
    struct TBodySharing {
        int node, body, sharing;
    };
    std::vector<TBodySharing> sharings;
    sharings.reserve(static_cast<size_t>(nodes.Length()));
    std::vector<std::pair<int, int>> bodySharing;
    arofcomplexM points; // of the ring in hand
    for (int body = 0; body < model.Length(); ++body) {
        if (model[body].Empty())
            faults.push_back("body " + std::to_string(body) + " has no rings");
        for (int sub = 0; sub < model[body].Length(); ++sub) {
            const arofintM& ring = model[body][sub].ring;
            const bool host = IsHostRing(body, sub);
            // Area and orientation are decided once: settling turns a
            // clockwise ring round, so the turned ring is not clockwise.
            bool noArea = false, clockwise = false;
            if (!host && ring.Length() >= 3) {
                points.SetLength(ring.Length());
                for (int i = 0; i < ring.Length(); ++i)
                    points[i] = NodePoint(nodes, ring[i]);
                noArea = PolygonHasNoArea(points);
                clockwise = !noArea && PolygonIsClockwise(points);
                if (settle && clockwise) {
                    arofintM& turned = settle->model[body][sub].ring;
                    std::reverse(turned.begin(), turned.end());
                    clockwise = false;
                }
            }
            for (int index : ring) {
                int& first = owner[static_cast<size_t>(index)];
                if (first >= 0 && first != body)
                    faults.push_back("node " + std::to_string(index) + " is used by bodies " +
                                     std::to_string(first) + " and " + std::to_string(body));
                first = body;
            }
            if (host)
                continue;
            if (ring.Length() < 3) {
                faults.push_back(RingName(body, sub) + " has fewer than three nodes");
                continue;
            }
            const int n = ring.Length();
            // The next two positions wrap round without a division per node.
            for (int i = 0, next = 1 % n, second = 2 % n; i < n; ++i) {
                if (ring[i] == ring[next])
                    faults.push_back(RingName(body, sub) + " visits node " + std::to_string(ring[i]) +
                                     " twice in a row");
                if (ring[i] == ring[second])
                    faults.push_back(RingName(body, sub) + " turns back at node " + std::to_string(ring[next]));
                next = second;
                second = second + 1 < n ? second + 1 : 0;
            }
            // A ring without area has no orientation worth reporting.
            if (noArea)
                faults.push_back(RingName(body, sub) + " encloses no area");
            else if (clockwise)
                faults.push_back(RingName(body, sub) + " runs the wrong way round");
        }
        BodySharingInto(body, model, bodySharing);
        for (const auto& [node, sharing] : bodySharing) {
            if (settle)
                settle->nodes[node].sharing = sharing;
            sharings.push_back({node, body, sharing});
        }
    }
    std::vector<int> counted(static_cast<size_t>(nodes.Length()), -1);
    for (const TBodySharing& entry : sharings)
        if (owner[static_cast<size_t>(entry.node)] == entry.body)
            counted[static_cast<size_t>(entry.node)] = entry.sharing;
    for (int node = 0; node < nodes.Length(); ++node) {
        const int body = owner[static_cast<size_t>(node)];
        if (body < 0) {
            faults.push_back("node " + std::to_string(node) + " is used by no ring");
            continue;
        }
        const int fromRings = counted[static_cast<size_t>(node)];
        const int expected = fromRings >= 0 ? fromRings : NodeSharing(node, body, model, nodes);
        if (nodes[node].sharing != expected)
            faults.push_back("node " + std::to_string(node) + " has sharing " + std::to_string(nodes[node].sharing) +
                             " but its rings give " + std::to_string(expected));
    }
}

void CheckFrameCorners(const Tnodes& nodes, const TModelArea& area, std::vector<std::string>& faults)
{
    if (nodes.Length() < 4) {
        faults.push_back("the model has fewer than four frame nodes");
        return;
    }
    auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-9 * (1.0 + std::fabs(b)); };
    // The top corners follow the surface profile where there is one.
    const bool placed = near(nodes[0].x, area.left) && near(nodes[1].x, area.left) &&
                        near(nodes[1].y, area.bottom) && near(nodes[2].x, area.right) &&
                        near(nodes[2].y, area.bottom) && near(nodes[3].x, area.right) &&
                        nodes[0].y <= area.bottom && nodes[3].y <= area.bottom;
    if (!placed)
        faults.push_back("the frame nodes 0..3 are not at the corners of the model area");
    const int kinds[4] = {bkLeft, bkBottomLeft, bkBottomRight, bkRight};
    for (int corner = 0; corner < 4; ++corner)
        if (nodes[corner].border != kinds[corner])
            faults.push_back("frame node " + std::to_string(corner) + " has border kind " +
                             std::to_string(nodes[corner].border));
}

bool CheckFiniteNodes(const Tnodes& nodes, std::vector<std::string>& faults)
{
    bool sound = true;
    for (int node = 0; node < nodes.Length(); ++node)
        if (!std::isfinite(nodes[node].x) || !std::isfinite(nodes[node].y)) {
            faults.push_back("node " + std::to_string(node) + " has a coordinate that is not a finite number");
            sound = false;
        }
    return sound;
}

// --- Crossing edges -------------------------------------------------------------
// Every edge of every ring is put into the cells of a uniform grid that it
// passes through, so only edges sharing a cell are tested against each other:
// the check stays near linear for models of 100,000 nodes, which the section
// file is checked as on every open.

struct TRingEdge {
    int a, b;      // node indices
    int body, sub; // the ring
};

std::vector<TRingEdge> CollectRingEdges(const AllSpolygon& model)
{
    std::vector<TRingEdge> edges;
    size_t count = 0;
    for (const SPolygon& rings : model)
        for (const Polygon& ring : rings)
            count += static_cast<size_t>(ring.ring.Length());
    edges.reserve(count);
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub)
            AnyRingEdge(model[body][sub].ring, IsHostRing(body, sub), [&](int a, int b) {
                edges.push_back({a, b, body, sub});
                return false;
            });
    return edges;
}

class TEdgeGrid {
public:
    TEdgeGrid(const std::vector<TRingEdge>& edges, const Tnodes& nodes) : FEdges(edges), FNodes(nodes)
    {
        Layout();
        // Cell lists in one array: count, then offsets, then fill. The
        // cells of an edge within one row are found once and kept.
        FStart.assign(static_cast<size_t>(FColumns) * FRows + 1, 0);
        FSpans.resize(edges.size());
        for (size_t e = 0; e < edges.size(); ++e) {
            FSpans[e] = RowSpan(e);
            if (FSpans[e].Row < 0) {
                // Across rows: the cells found band by band are kept in a
                // list of their own.
                const size_t first = FAcrossRows.size();
                ForEachCell(e, [&](size_t cell) { FAcrossRows.push_back(cell); });
                FSpans[e] = {-1, static_cast<int>(first), static_cast<int>(FAcrossRows.size()) - 1};
            }
            ForEachKeptCell(e, [&](size_t cell) { ++FStart[cell + 1]; });
        }
        for (size_t cell = 1; cell < FStart.size(); ++cell)
            FStart[cell] += FStart[cell - 1];
        FMembers.resize(FStart.back());
        std::vector<size_t> fill(FStart.begin(), FStart.end() - 1);
        for (size_t e = 0; e < edges.size(); ++e)
            ForEachKeptCell(e, [&](size_t cell) { FMembers[fill[cell]++] = static_cast<int>(e); });
    }

    // Calls visit(i, j) once for every pair of edges i < j that share a cell.
    template <class Visit>
    void ForEachNearPair(Visit visit) const
    {
        std::vector<int> lastPartner(FEdges.size(), -1);
        for (size_t i = 0; i < FEdges.size(); ++i)
            ForEachKeptCell(i, [&](size_t cell) {
                for (size_t m = FStart[cell]; m < FStart[cell + 1]; ++m) {
                    const auto j = static_cast<size_t>(FMembers[m]);
                    if (j > i && lastPartner[j] != static_cast<int>(i)) {
                        lastPartner[j] = static_cast<int>(i);
                        visit(i, j);
                    }
                }
            });
    }

private:
    // About one cell per edge, shaped after the model's extent.
    void Layout()
    {
        FMinX = FMinY = 1e300;
        double maxX = -1e300, maxY = -1e300;
        for (const TRingEdge& edge : FEdges)
            for (int node : {edge.a, edge.b}) {
                FMinX = std::min(FMinX, FNodes[node].x);
                maxX = std::max(maxX, FNodes[node].x);
                FMinY = std::min(FMinY, FNodes[node].y);
                maxY = std::max(maxY, FNodes[node].y);
            }
        const double width = maxX - FMinX, height = maxY - FMinY;
        const double cells = std::max<double>(1.0, static_cast<double>(FEdges.size()));
        if (width > 0 && height > 0) {
            FColumns = static_cast<int>(std::clamp(std::round(std::sqrt(cells * width / height)), 1.0, cells));
            FRows = static_cast<int>(std::clamp(std::round(cells / FColumns), 1.0, cells));
        } else {
            FColumns = width > 0 ? static_cast<int>(cells) : 1;
            FRows = height > 0 ? static_cast<int>(cells) : 1;
        }
        FCellWidth = width > 0 ? width / FColumns : 1.0;
        FCellHeight = height > 0 ? height / FRows : 1.0;
        FInverseCellWidth = 1.0 / FCellWidth;
        FInverseCellHeight = 1.0 / FCellHeight;
    }

    // The cell along one axis of an offset from the grid's corner, by the
    // cells' inverse size (one multiplication: every edge asks several
    // times; the same rule for all, so that crossing edges share a cell).
    static int CellIndex(double offset, double inverseSize, int count)
    {
        const double at = offset * inverseSize;
        if (!(at > 0))
            return 0;
        return at >= count ? count - 1 : static_cast<int>(at);
    }

    // Calls visit(cell) for every cell an edge across rows passes through,
    // band by band, widened by a small margin so that a crossing on a cell
    // boundary is seen from both sides (an edge within one row has its
    // cells from RowSpan).
    template <class Visit>
    void ForEachCell(size_t edgeIndex, Visit visit) const
    {
        const TRingEdge& edge = FEdges[edgeIndex];
        const Tnode& p = FNodes[edge.a];
        const Tnode& q = FNodes[edge.b];
        const double marginX = 1e-7 * FCellWidth, marginY = 1e-7 * FCellHeight;
        const double lowY = std::min(p.y, q.y), highY = std::max(p.y, q.y);
        const double lowX = std::min(p.x, q.x), highX = std::max(p.x, q.x);
        const int firstRow = CellIndex(lowY - marginY - FMinY, FInverseCellHeight, FRows);
        const int lastRow = CellIndex(highY + marginY - FMinY, FInverseCellHeight, FRows);
        for (int row = firstRow; row <= lastRow; ++row) {
            // The part of the edge within the row's band.
            const double bandLow = std::clamp(FMinY + row * FCellHeight, lowY, highY);
            const double bandHigh = std::clamp(FMinY + (row + 1) * FCellHeight, lowY, highY);
            double fromX = lowX, toX = highX;
            if (q.y != p.y) {
                const double t1 = std::clamp((bandLow - p.y) / (q.y - p.y), 0.0, 1.0);
                const double t2 = std::clamp((bandHigh - p.y) / (q.y - p.y), 0.0, 1.0);
                fromX = p.x + std::min(t1, t2) * (q.x - p.x);
                toX = p.x + std::max(t1, t2) * (q.x - p.x);
                if (fromX > toX)
                    std::swap(fromX, toX);
            }
            const int firstColumn = CellIndex(fromX - marginX - FMinX, FInverseCellWidth, FColumns);
            const int lastColumn = CellIndex(toX + marginX - FMinX, FInverseCellWidth, FColumns);
            for (int column = firstColumn; column <= lastColumn; ++column)
                visit(static_cast<size_t>(row) * FColumns + column);
        }
    }

    // The cells of an edge that lies within one row: its row and columns;
    // for an edge across rows Row is -1 and the columns are the first and
    // last place of its cells in FAcrossRows.
    struct TRowSpan {
        int Row = -1;
        int FirstColumn = 0;
        int LastColumn = -1;
    };

    TRowSpan RowSpan(size_t edgeIndex) const
    {
        const TRingEdge& edge = FEdges[edgeIndex];
        const Tnode& p = FNodes[edge.a];
        const Tnode& q = FNodes[edge.b];
        const double marginX = 1e-7 * FCellWidth, marginY = 1e-7 * FCellHeight;
        const int firstRow = CellIndex(std::min(p.y, q.y) - marginY - FMinY, FInverseCellHeight, FRows);
        const int lastRow = CellIndex(std::max(p.y, q.y) + marginY - FMinY, FInverseCellHeight, FRows);
        if (firstRow != lastRow)
            return {};
        return {firstRow, CellIndex(std::min(p.x, q.x) - marginX - FMinX, FInverseCellWidth, FColumns),
                CellIndex(std::max(p.x, q.x) + marginX - FMinX, FInverseCellWidth, FColumns)};
    }

    template <class Visit>
    void ForEachKeptCell(size_t edgeIndex, Visit visit) const
    {
        const TRowSpan& span = FSpans[edgeIndex];
        if (span.Row < 0) {
            for (int at = span.FirstColumn; at <= span.LastColumn; ++at)
                visit(FAcrossRows[static_cast<size_t>(at)]);
            return;
        }
        const size_t rowStart = static_cast<size_t>(span.Row) * FColumns;
        for (int column = span.FirstColumn; column <= span.LastColumn; ++column)
            visit(rowStart + column);
    }

    const std::vector<TRingEdge>& FEdges;
    const Tnodes& FNodes;
    std::vector<TRowSpan> FSpans;
    std::vector<size_t> FAcrossRows;
    double FMinX = 0, FMinY = 0, FCellWidth = 1, FCellHeight = 1, FInverseCellWidth = 1, FInverseCellHeight = 1;
    int FColumns = 1, FRows = 1;
    std::vector<size_t> FStart;
    std::vector<int> FMembers;
};

// Whether the edges cross: each has its ends on opposite sides of the
// other's line, farther from it than rounding. A node placed on an edge
// (inserted at its middle, snapped or dragged onto it) lies on it only up to
// rounding, so a node on another ring's edge, two nodes in one place and
// collinear edges touch; they do not cross. The tolerance follows the edges'
// lengths and the coordinates' magnitude.
bool EdgesCross(const complexM& p1, const complexM& p2, const complexM& q1, const complexM& q2)
{
    // Edges whose boxes are apart cannot cross; most pairs of a cell end here.
    if (std::max(p1.re, p2.re) < std::min(q1.re, q2.re) || std::max(q1.re, q2.re) < std::min(p1.re, p2.re) ||
        std::max(p1.im, p2.im) < std::min(q1.im, q2.im) || std::max(q1.im, q2.im) < std::min(p1.im, p2.im))
        return false;
    const double lengthP = std::hypot(p2.re - p1.re, p2.im - p1.im);
    const double lengthQ = std::hypot(q2.re - q1.re, q2.im - q1.im);
    if (lengthP == 0.0 || lengthQ == 0.0)
        return false;
    double magnitude = 0.0;
    for (const complexM* point : {&p1, &p2, &q1, &q2})
        magnitude = std::max({magnitude, std::fabs(point->re), std::fabs(point->im)});
    const double tolerance = 1e-9 * std::max(lengthP, lengthQ) + 1e-12 * magnitude;
    // Signed distance of point from the line through a and b (of the given length).
    const auto distance = [](const complexM& a, const complexM& b, double length, const complexM& point) {
        return ((b.re - a.re) * (point.im - a.im) - (b.im - a.im) * (point.re - a.re)) / length;
    };
    const auto strictlyApart = [&](double first, double second) {
        return (first > tolerance && second < -tolerance) || (first < -tolerance && second > tolerance);
    };
    return strictlyApart(distance(p1, p2, lengthP, q1), distance(p1, p2, lengthP, q2)) &&
           strictlyApart(distance(q1, q2, lengthQ, p1), distance(q1, q2, lengthQ, p2));
}

std::string EdgeName(const TRingEdge& edge)
{
    return std::to_string(edge.a) + "-" + std::to_string(edge.b);
}

// Edges that cross, within a ring and between any two rings; each pair of
// rings is reported once, with the first pair of edges found.
void CheckCrossingEdges(const AllSpolygon& model, const Tnodes& nodes, std::vector<std::string>& faults)
{
    const std::vector<TRingEdge> edges = CollectRingEdges(model);
    std::set<std::array<int, 4>> reported;
    TEdgeGrid(edges, nodes).ForEachNearPair([&](size_t i, size_t j) {
        const TRingEdge& first = edges[i];
        const TRingEdge& second = edges[j];
        // Edges with a node in common never cross (that node lies exactly on
        // both lines); most near pairs are neighbours along a ring.
        if (first.a == second.a || first.a == second.b || first.b == second.a || first.b == second.b)
            return;
        if (!EdgesCross(NodePoint(nodes, first.a), NodePoint(nodes, first.b), NodePoint(nodes, second.a),
                        NodePoint(nodes, second.b)))
            return;
        if (!reported.insert({first.body, first.sub, second.body, second.sub}).second)
            return;
        const std::string where = " (edges " + EdgeName(first) + " and " + EdgeName(second) + ")";
        if (first.body == second.body && first.sub == second.sub)
            faults.push_back(RingName(first.body, first.sub) + " crosses itself" + where);
        else
            faults.push_back(RingName(first.body, first.sub) + " crosses " + RingName(second.body, second.sub) +
                             where);
    });
}

} // namespace

namespace {

std::vector<std::string> CheckModel(const AllSpolygon& model, const Tnodes& nodes, const TModelArea* area,
                                    const TSettle* settle)
{
    std::vector<std::string> faults;
    if (!CheckIndices(model, nodes, faults))
        return faults;
    const bool finite = CheckFiniteNodes(nodes, faults);
    CheckHostRing(model, faults);
    CheckRings(model, nodes, settle, faults);
    if (finite)
        CheckCrossingEdges(model, nodes, faults);
    if (area)
        CheckFrameCorners(nodes, *area, faults);
    return faults;
}

} // namespace

std::vector<std::string> CheckModelInvariants(const AllSpolygon& model, const Tnodes& nodes, const TModelArea* area)
{
    return CheckModel(model, nodes, area, nullptr);
}

std::vector<std::string> SettleAndCheckModel(AllSpolygon& model, Tnodes& nodes, const TModelArea* area)
{
    const TSettle settle{model, nodes};
    return CheckModel(model, nodes, area, &settle);
}

} // namespace lp
