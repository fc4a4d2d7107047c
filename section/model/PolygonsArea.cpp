// Keeping the model consistent with its rectangular area: the host frame with
// its optional relief surface, border nodes that stay on their border while
// moved, surface nodes kept in order, validation of a move and the adaptation
// of the whole model to a new area.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace lp {

namespace {

// --- Host ring layout ----------------------------------------------------------

// The host ring's closed outline: its entries up to the first return to its
// first node.
arofintM HostOutline(const arofintM& ring)
{
    const int count = RingEdgeCount(ring, true);
    arofintM outline(count);
    for (int i = 0; i < count; ++i)
        outline[i] = ring[i];
    return outline;
}

// The host ring for an outline: the outline, then the same nodes in reverse,
// so that every edge occurs twice and nothing lies inside the ring.
arofintM HostRingFromOutline(const arofintM& outline)
{
    arofintM ring = outline;
    if (outline.Empty())
        return ring;
    ring.Add(outline[0]);
    for (int i = outline.High(); i >= 1; --i)
        ring.Add(outline[i]);
    return ring;
}

// Position of the top-right frame node in the outline; the surface runs from
// there to the outline's end (the return to node 0).
int TopRightPosition(const arofintM& outline)
{
    const int position = outline.IndexOf(3);
    if (position < 0)
        RaiseRangeError("The host ring has no top-right frame node");
    return position;
}

// --- Relief profile -------------------------------------------------------------

// The profile points that bear on the area: a point is kept when the profile
// reaches the area on both its sides (the next point, or for the last point
// the point itself, is not left of the area; the previous point, or for the
// first point the point itself, is not right of it). Empty when the profile
// is not to be used.
arofcomplexM SurfaceKnots(const arofcomplexM& profile, bool useProfile, double right, double left)
{
    arofcomplexM knots;
    if (!useProfile)
        return knots;
    const int last = profile.High();
    for (int i = 0; i <= last; ++i) {
        const bool reachesLeft = i == last ? profile[i].re >= left : profile[i + 1].re > left;
        const bool reachesRight = i == 0 ? profile[i].re <= right : profile[i - 1].re < right;
        if (reachesLeft && reachesRight)
            knots.Add(profile[i]);
    }
    return knots;
}

// Depth of the top surface at x: the profile's value, or the area's top when
// there is no profile.
double SurfaceDepth(const arofcomplexM& knots, double x, double top)
{
    return knots.Empty() ? top : InterpolateComplexAt(knots, x);
}

Tnode FrameNode(double x, double y, int32_t border)
{
    Tnode node;
    node.x = x;
    node.y = y;
    node.border = border;
    return node;
}

// --- Surface order ----------------------------------------------------------------

// The nodes of the host outline's top line: the surface nodes from node 3
// to the end of the outline, and node 0.
arofintM SurfaceLine(const arofintM& outline)
{
    arofintM line;
    for (int i = TopRightPosition(outline); i < outline.Length(); ++i)
        line.Add(outline[i]);
    line.Add(0);
    return line;
}

// Sorts the surface part of the outline by descending x; equal x keep their
// order. The corner nodes stay where they are.
void SortSurfaceByDescendingX(arofintM& outline, const Tnodes& nodes)
{
    const int first = TopRightPosition(outline) + 1;
    std::vector<int32_t> surface;
    for (int i = first; i < outline.Length(); ++i)
        surface.push_back(outline[i]);
    std::stable_sort(surface.begin(), surface.end(),
                     [&](int32_t a, int32_t b) { return nodes[a].x > nodes[b].x; });
    for (int i = 0; i < static_cast<int>(surface.size()); ++i)
        outline[first + i] = surface[i];
}

// The nodes of the top line whose x lies strictly between the x of the two
// ends, in the direction from the first end to the second.
std::vector<int32_t> SurfaceNodesBetween(const arofintM& line, int from, int to, const Tnodes& nodes)
{
    const double low = std::min(nodes[from].x, nodes[to].x), high = std::max(nodes[from].x, nodes[to].x);
    std::vector<int32_t> between;
    for (int node : line)
        if (low < nodes[node].x && nodes[node].x < high)
            between.push_back(node);
    const bool ascending = nodes[from].x < nodes[to].x;
    std::stable_sort(between.begin(), between.end(), [&](int32_t a, int32_t b) {
        return ascending ? nodes[a].x < nodes[b].x : nodes[a].x > nodes[b].x;
    });
    return between;
}

// Makes every stretch of the ring that runs along the top line (consecutive
// entries on it) hold exactly the top-line nodes lying between the
// stretch's two ends, in order. This is what keeps a host-body ring on the
// surface when surface nodes move past each other or the frame's surface
// nodes change: a node that left the stretch's span drops out of it, one
// that came into it is taken in. Rings wholly on the line have no area and
// are left alone.
void RefillSurfaceStretches(arofintM& ring, const arofintM& line, const Tnodes& nodes)
{
    const int n = ring.Length();
    int start = -1;
    for (int i = 0; i < n && start < 0; ++i)
        if (!line.Contains(ring[i]))
            start = i;
    if (start < 0)
        return;
    arofintM rebuilt;
    for (int k = 0; k < n;) {
        const int first = ring[(start + k) % n];
        if (!line.Contains(first)) {
            rebuilt.Add(first);
            ++k;
            continue;
        }
        int last = first;
        int length = 1;
        while (k + length < n && line.Contains(ring[(start + k + length) % n])) {
            last = ring[(start + k + length) % n];
            ++length;
        }
        rebuilt.Add(first);
        if (length > 1) {
            for (int between : SurfaceNodesBetween(line, first, last, nodes))
                rebuilt.Add(between);
            rebuilt.Add(last);
        }
        k += length;
    }
    // Keep the ring's first entry first where it survived.
    const int keep = rebuilt.IndexOf(ring[0]);
    if (keep > 0)
        std::rotate(rebuilt.begin(), rebuilt.begin() + keep, rebuilt.end());
    ring = std::move(rebuilt);
}

// Refills the surface stretches of every ring of the host body but the host
// ring itself.
void RefillHostBodyRings(AllSpolygon& model, const Tnodes& nodes)
{
    const arofintM line = SurfaceLine(HostOutline(model[0][0].ring));
    for (int sub = 1; sub < model[0].Length(); ++sub)
        RefillSurfaceStretches(model[0][sub].ring, line, nodes);
}

// --- Move checks -------------------------------------------------------------------

// Whether an edge at a moved node crosses the body (mode 0 only) or a free
// edge of another body; in mode 1 inner edges of the body are not looked at.
bool MovedEdgeCrosses(const arofintM& moved, int body, const AllSpolygon& model, int mode, const Tnodes& nodes)
{
    const SPolygon& rings = model[body];
    for (int sub = 0; sub < rings.Length(); ++sub) {
        const bool crosses = AnyRingEdge(rings[sub].ring, IsHostRing(body, sub), [&](int a, int b) {
            if (mode == 1 && (nodes[a].sharing >= nsInner || nodes[b].sharing >= nsInner))
                return false;
            if (!moved.Contains(a) && !moved.Contains(b))
                return false;
            if (mode == 0 && NodeSegmentCrossesBody(a, b, body, nodes, model))
                return true;
            return SegmentCrossesOtherBodies(NodePoint(nodes, a), NodePoint(nodes, b), body, nodes, model);
        });
        if (crosses)
            return true;
    }
    return false;
}


// The nodes whose edges a move may have changed: the moved nodes, and when a
// surface node of the host body moved, every node of the surface. Sorting
// the surface after such a move joins the node's old neighbours by a new
// edge and takes the node out of rings whose stretch it left; neither
// change is at the moved node.
arofintM NodesWithChangedEdges(const arofintM& moved, int body, const AllSpolygon& model, const Tnodes& nodes)
{
    const bool surfaceMoved =
        body == 0 && std::any_of(moved.begin(), moved.end(), [&](int node) { return nodes[node].border == bkSurface; });
    if (!surfaceMoved)
        return moved;
    arofintM changed = moved;
    for (int node : SurfaceLine(HostOutline(model[0][0].ring)))
        if (!changed.Contains(node))
            changed.Add(node);
    return changed;
}

// Whether a ring of the body that holds a moved node overlaps another ring.
bool MovedRingOverlaps(const arofintM& moved, int body, const AllSpolygon& model, const Tnodes& nodes)
{
    for (int sub = 0; sub < model[body].Length(); ++sub) {
        const arofintM& ring = model[body][sub].ring;
        const bool holdsMoved = std::any_of(ring.begin(), ring.end(), [&](int node) { return moved.Contains(node); });
        if (holdsMoved && !IsHostRing(body, sub) && RingOverlapsOtherRings(sub, body, model, nodes))
            return true;
    }
    return false;
}

// --- Model area change ---------------------------------------------------------------

// The new index of an old node: frame nodes keep theirs, later nodes move by
// the change in the frame's node count.
int ShiftedIndex(int node, int lastFrame, int delta)
{
    return node > lastFrame ? node + delta : node;
}

// Puts the host ring's border nodes (other than surface nodes) into the new
// outline, each after the node that precedes it in the old host ring.
void CarryBorderNodes(const arofintM& oldRing, const Tnodes& oldNodes, int lastFrame, int delta,
                      arofintM& outline)
{
    const int topRight = oldRing.IndexOf(3);
    if (topRight < 0)
        RaiseRangeError("The host ring has no top-right frame node");
    for (int p = 1; p <= topRight; ++p) {
        const int node = oldRing[p];
        if (node <= lastFrame || oldNodes[node].border == bkSurface)
            continue;
        // The nearest earlier entry that is in the new outline (node 0 always is).
        int anchor = -1;
        for (int back = p - 1; back >= 0 && anchor < 0; --back)
            anchor = outline.IndexOf(ShiftedIndex(oldRing[back], lastFrame, delta));
        if (anchor < 0)
            RaiseRangeError("The host ring does not start at a frame node");
        outline.Insert(anchor + 1, ShiftedIndex(node, lastFrame, delta));
    }
}

// Inserts a surface node where the surface, which runs from node 3 to the
// right end of the outline by descending x, keeps that order. A node beyond
// the area goes to the nearer end of the surface, so it is never lost.
void InsertSurfaceNode(arofintM& outline, int node, const Tnodes& nodes)
{
    int p = TopRightPosition(outline);
    while (p + 1 < outline.Length() && nodes[outline[p + 1]].x > nodes[node].x)
        ++p;
    outline.Insert(p + 1, node);
}

void CarrySurfaceNodes(const arofintM& oldRing, const Tnodes& oldNodes, int lastFrame, int delta,
                       const Tnodes& newNodes, arofintM& outline)
{
    for (int node : oldRing) {
        if (node <= lastFrame || oldNodes[node].border != bkSurface)
            continue;
        const int shifted = ShiftedIndex(node, lastFrame, delta);
        if (!outline.Contains(shifted)) // the host ring holds each node twice
            InsertSurfaceNode(outline, shifted, newNodes);
    }
}

// The new index of every node of the old table, -1 for the old frame's
// surface nodes that the new frame does not have (profile points outside
// the new area). Both frames come from the same profile, so a surface node
// of the old frame is the new frame's node with the same x.
std::vector<int> NodeIndexMap(int lastFrame, int delta, const Tnodes& oldNodes, const Tnodes& newFrame)
{
    std::vector<int> map(static_cast<size_t>(oldNodes.Length()), -1);
    for (int node = 0; node < oldNodes.Length(); ++node) {
        int& mapped = map[static_cast<size_t>(node)];
        if (node < 4)
            mapped = node;
        else if (node > lastFrame)
            mapped = ShiftedIndex(node, lastFrame, delta);
        else
            for (int candidate = 4; candidate < newFrame.Length() && mapped < 0; ++candidate)
                if (newFrame[candidate].x == oldNodes[node].x)
                    mapped = candidate;
    }
    return map;
}

// Renumbers the rings other than the host ring; entries of nodes that are
// gone are dropped.
void RenumberOtherRings(AllSpolygon& model, const std::vector<int>& map)
{
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub) {
            if (IsHostRing(body, sub))
                continue;
            arofintM renumbered;
            for (int index : model[body][sub].ring) {
                const int mapped = map.at(static_cast<size_t>(index));
                if (mapped >= 0)
                    renumbered.Add(mapped);
            }
            model[body][sub].ring = std::move(renumbered);
        }
}

// Whether the side nodes lie between the top and bottom corners of their
// side: a new top corner may come to lie below them.
bool SideNodesWithinCorners(const Tnodes& nodes, double bottom)
{
    for (const Tnode& node : nodes) {
        if (node.border != bkLeft && node.border != bkRight)
            continue;
        const double top = nodes[node.border == bkLeft ? 0 : 3].y;
        if (node.y < top || node.y > bottom)
            return false;
    }
    return true;
}

// Whether the host body's rings, after the frame changed, still enclose an
// area each, cross no edge of any ring and reach into no other ring.
bool HostBodyStaysSound(const AllSpolygon& model, const Tnodes& nodes)
{
    if (!BodyRingsSound(0, model, nodes))
        return false;
    for (int sub = 0; sub < model[0].Length(); ++sub) {
        const bool crosses = AnyRingEdge(model[0][sub].ring, IsHostRing(0, sub), [&](int a, int b) {
            return NodeSegmentCrossesModel(a, b, model, nodes);
        });
        if (crosses || (!IsHostRing(0, sub) && RingOverlapsOtherRings(sub, 0, model, nodes)))
            return false;
    }
    return true;
}

} // namespace

int BuildFrameModel(Tnodes& nodes, AllSpolygon& model, const arofcomplexM& profile, bool useProfile, double bottom,
                    double top, double right, double left)
{
    const arofcomplexM knots = SurfaceKnots(profile, useProfile, right, left);
    nodes.Clear();
    nodes.Add(FrameNode(left, SurfaceDepth(knots, left, top), bkLeft));
    nodes.Add(FrameNode(left, bottom, bkBottomLeft));
    nodes.Add(FrameNode(right, bottom, bkBottomRight));
    nodes.Add(FrameNode(right, SurfaceDepth(knots, right, top), bkRight));
    // Profile points are taken from the last to the first, so an ascending
    // profile gives the surface from right to left, as the outline runs.
    for (int i = knots.High(); i >= 0; --i)
        if (left < knots[i].re && knots[i].re < right)
            nodes.Add(FrameNode(knots[i].re, SurfaceDepth(knots, knots[i].re, top), bkSurface));

    arofintM outline(nodes.Length());
    for (int i = 0; i < nodes.Length(); ++i)
        outline[i] = i;
    Polygon host;
    host.ring = HostRingFromOutline(outline);
    host.params[psId] = -1;
    SPolygon body;
    body.Add(std::move(host));
    model.Clear();
    model.Add(std::move(body));
    return nodes.Length();
}

namespace {

// Puts a node onto the border its kind names.
void FitNodeToBorder(Tnode& node, double bottom, double right, double left)
{
    // The top corners keep their depth: it comes from the surface, not the area.
    switch (node.border) {
    case bkLeft:
        node.x = left;
        break;
    case bkBottomLeft:
        node.x = left;
        node.y = bottom;
        break;
    case bkBottom:
        node.y = bottom;
        break;
    case bkBottomRight:
        node.y = bottom;
        node.x = right;
        break;
    case bkRight:
        node.x = right;
        break;
    default:
        break;
    }
}

} // namespace

void FitBorderNodesToArea(Tnodes& nodes, double bottom, [[maybe_unused]] double top, double right, double left)
{
    for (Tnode& node : nodes)
        FitNodeToBorder(node, bottom, right, left);
}

namespace {

// The border kind each node of the frame's outline has by its stretch of
// the outline: the left edge from node 0 to node 1, the bottom edge to
// node 2, the right edge to node 3, then the surface back to node 0.
// Empty when the outline does not run through nodes 0..3 in order (the
// model's checks refuse such a host ring).
std::vector<std::pair<int, int>> OutlineKinds(const AllSpolygon& model)
{
    std::vector<std::pair<int, int>> kinds; // (node, kind)
    if (model.Empty() || model[0].Empty())
        return kinds;
    const arofintM outline = HostOutline(model[0][0].ring);
    if (outline.Empty() || outline[0] != 0)
        return kinds;
    // Between corner c - 1 and corner c the stretch's kind; at corner c its own.
    const int stretch[4] = {bkLeft, bkBottom, bkRight, bkSurface};
    const int corner[4] = {bkLeft, bkBottomLeft, bkBottomRight, bkRight};
    int next = 1; // the corner looked for
    for (int position = 0; position < outline.Length(); ++position) {
        const int node = outline[position];
        if (next < 4 && node == next)
            kinds.emplace_back(node, corner[next++]);
        else
            kinds.emplace_back(node, position == 0 ? bkLeft : stretch[next - 1]);
    }
    if (next < 4)
        kinds.clear();
    return kinds;
}

const char* EdgeName(int kind)
{
    switch (kind) {
    case bkLeft: return "left edge";
    case bkBottomLeft: return "bottom-left corner";
    case bkBottom: return "bottom edge";
    case bkBottomRight: return "bottom-right corner";
    default: return "right edge";
    }
}

std::string PlaceText(const Tnode& node)
{
    std::ostringstream text;
    text.precision(15);
    text << "(" << node.x << ", " << node.y << ")";
    return text.str();
}

} // namespace

std::vector<std::string> SettleBorderNodes(const AllSpolygon& model, Tnodes& nodes, double bottom, double top,
                                           double right, double left)
{
    std::vector<std::string> faults;
    std::vector<bool> onOutline(static_cast<size_t>(nodes.Length()), false);
    // The frame's outline first: its stretch decides; a node of an edge
    // stretch must lie on that edge (the corners are checked with the
    // model's rules). The frame is the area's outline: a node of it away
    // from its edge is a damaged frame, which no kind describes.
    for (const auto& [node, kind] : OutlineKinds(model)) {
        if (node < 0 || node >= nodes.Length() || onOutline[static_cast<size_t>(node)])
            continue;
        onOutline[static_cast<size_t>(node)] = true;
        if (node >= 4 && kind != bkSurface && BorderLineKind(NodePoint(nodes, node), bottom, right, left) != kind)
            faults.push_back("node " + std::to_string(node) + " of the frame's " + EdgeName(kind) + " at " +
                             PlaceText(nodes[node]) + " does not lie on the area's " + EdgeName(kind));
        nodes[node].border = kind;
    }
    if (!faults.empty())
        return faults;
    // One pass over the table, which holds mostly inner nodes of kind 0.
    for (int node = 0; node < nodes.Length(); ++node) {
        Tnode& record = nodes[node];
        if (record.border == bkNone)
            continue; // kind 0 stays wherever the node lies: a free node dropped on the border is free
        const complexM place = MakeComplex(record.x, record.y);
        const int line = BorderLineKind(place, bottom, right, left);
        // A node off the outline that claims a border: the kind of its
        // place, as the editor gives a node it adds (a border line, the
        // surface at a node of the host ring, or none).
        if (!onOutline[static_cast<size_t>(node)])
            record.border = line != bkNone ? line : GetNodeBorderKind(node, model, nodes, bottom, top, right, left);
        // Onto the border only within rounding: a corner of the frame away
        // from its corner of the area stays, and the model's checks name it.
        if (record.border != bkSurface && record.border == line)
            FitNodeToBorder(record, bottom, right, left);
    }
    return faults;
}

int FrameNodeCount(const arofcomplexM& profile, bool useProfile, double bottom, double top, double right,
                   double left)
{
    Tnodes frameNodes;
    AllSpolygon frameModel;
    return BuildFrameModel(frameNodes, frameModel, profile, useProfile, bottom, top, right, left);
}

namespace {

// The range a border node may take along its border line. Where it keeps
// its order (ordered), strictly between its neighbours on the frame's
// outline, so it neither overtakes them nor lands on a corner; a node that
// is not on the outline (a node of another body lying on the border), and a
// node that may pass its neighbours, keeps off the ends of its border line.
// False when the node has no room to move.
bool BorderRange(int node, const AllSpolygon& model, const Tnodes& nodes, bool alongX, bool ordered, double low,
                 double high, double& from, double& to)
{
    const arofintM outline =
        !ordered || model.Empty() || model[0].Empty() ? arofintM() : HostOutline(model[0][0].ring);
    const int position = outline.IndexOf(node);
    if (position >= 0) {
        const int before = outline[(position + outline.Length() - 1) % outline.Length()];
        const int after = outline[(position + 1) % outline.Length()];
        low = alongX ? nodes[before].x : nodes[before].y;
        high = alongX ? nodes[after].x : nodes[after].y;
        if (low > high)
            std::swap(low, high);
    }
    // Clear of the border-kind tolerance, and in proportion to the area.
    const double margin = std::max(1e-6 * (high - low), 2e-5);
    from = low + margin;
    to = high - margin;
    return from <= to;
}

// Keeps the coordinate along the border within the node's range; a node
// without room stays where it is.
void KeepInBorderRange(int node, const AllSpolygon& model, const Tnodes& nodes, bool alongX, bool ordered,
                       double low, double high, double& value)
{
    double from = 0.0, to = 0.0;
    if (BorderRange(node, model, nodes, alongX, ordered, low, high, from, to))
        value = std::clamp(value, from, to);
    else
        value = alongX ? nodes[node].x : nodes[node].y;
}

} // namespace

bool ConstrainNodeToBorder(int node, const arofcomplexM& profile, bool useProfile, const Tnodes& nodes,
                           const AllSpolygon& model, double& y, double& x, double bottom, double top, double right,
                           double left)
{
    // The frame's own nodes come first in the table, as many as the frame
    // built for this profile and area has. Nodes added later on the frame's
    // outline join the host ring, but they are not frame nodes: counting
    // every node up to the largest index on the host ring would freeze
    // every border node numbered below the latest such node.
    if (node < FrameNodeCount(profile, useProfile, bottom, top, right, left))
        return false;

    x = std::max(left, std::min(x, right));
    y = std::min(y, bottom);
    switch (nodes[node].border) {
    case bkLeft:
        x = left;
        KeepInBorderRange(node, model, nodes, false, true, nodes[0].y, bottom, y);
        return true;
    case bkBottom:
        y = bottom;
        KeepInBorderRange(node, model, nodes, true, true, left, right, x);
        return true;
    case bkRight:
        x = right;
        KeepInBorderRange(node, model, nodes, false, true, nodes[3].y, bottom, y);
        return true;
    case bkSurface:
        // The surface is re-sorted at the drop only where there is a profile
        // (SortSurfaceNodes); the straight top keeps its order like an edge.
        KeepInBorderRange(node, model, nodes, true, !useProfile, left, right, x);
        // The same surface the frame was built on, so the node stays on it.
        y = SurfaceDepth(SurfaceKnots(profile, useProfile, right, left), x, top);
        return true;
    default:
        return false;
    }
}

void SortSurfaceNodes(int node, bool useProfile, AllSpolygon& model, const Tnodes& nodes)
{
    if (!useProfile || nodes[node].border != bkSurface)
        return;
    arofintM outline = HostOutline(model[0][0].ring);
    SortSurfaceByDescendingX(outline, nodes);
    model[0][0].ring = HostRingFromOutline(outline);
    // Every ring along the surface follows, not only those through the node:
    // the node may have moved into another ring's stretch.
    RefillHostBodyRings(model, nodes);
}

bool CheckMovedNodes(const arofintM& moved, int body, const AllSpolygon& model, int mode, const Tnodes& nodes)
{
    if (!BodyRingsSound(body, model, nodes))
        return false; // the move has turned a ring over or flattened it
    const arofintM changed = NodesWithChangedEdges(moved, body, model, nodes);
    if ((mode == 0 || mode == 1) && MovedEdgeCrosses(changed, body, model, mode, nodes))
        return false;
    // A ring pushed into a neighbouring ring crosses none of its edges when
    // they meet only at shared nodes, or at two nodes that uncoupling left at
    // one place; the nesting test below sees only first nodes.
    if (mode == 0 && MovedRingOverlaps(changed, body, model, nodes))
        return false;
    return !NestedWithAnyBody(body, model, nodes);
}

namespace {

// The surface nodes of the host outline by x (ties in outline order), each
// with whether a frame node was matched to it.
struct TSurfaceCandidates {
    std::vector<std::pair<double, int>> byX; // (x, node)
    std::vector<bool> taken;

    TSurfaceCandidates(const arofintM& outline, const Tnodes& nodes)
    {
        for (int node : outline)
            if (node >= 4 && node < nodes.Length() && nodes[node].border == bkSurface)
                byX.emplace_back(nodes[node].x, node);
        std::stable_sort(byX.begin(), byX.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        taken.assign(byX.size(), false);
    }

    // The first surface node at exactly x that is not taken yet, now taken;
    // -1 when there is none.
    int Take(double x)
    {
        auto it = std::lower_bound(byX.begin(), byX.end(), x, [](const auto& a, double v) { return a.first < v; });
        for (; it != byX.end() && it->first == x; ++it) {
            const auto i = static_cast<size_t>(it - byX.begin());
            if (!taken[i]) {
                taken[i] = true;
                return it->second;
            }
        }
        return -1;
    }
};

} // namespace

arofintM FindFrameNodes(const arofcomplexM& profile, bool useProfile, const AllSpolygon& model, const Tnodes& nodes,
                        double bottom, double top, double right, double left)
{
    Tnodes frame;
    AllSpolygon frameModel;
    const int count = BuildFrameModel(frame, frameModel, profile, useProfile, bottom, top, right, left);
    arofintM found(count);
    const arofintM outline = model.Empty() || model[0].Empty() ? arofintM() : HostOutline(model[0][0].ring);
    TSurfaceCandidates surface(outline, nodes);
    // The corners are nodes 0..3 of every model; the surface nodes the
    // profile gives lie at its points' x, whatever their place in the table
    // (both come from the same profile, so x is equal).
    for (int k = 0; k < count; ++k)
        found[k] = k < 4 ? (k < nodes.Length() ? k : -1) : surface.Take(frame[k].x);
    return found;
}

int PutFrameNodesFirst(const arofcomplexM& profile, bool useProfile, AllSpolygon& model, Tnodes& nodes,
                       double bottom, double top, double right, double left)
{
    const arofintM frame = FindFrameNodes(profile, useProfile, model, nodes, bottom, top, right, left);
    std::vector<int> order; // old indices in their new order
    order.reserve(static_cast<size_t>(nodes.Length()));
    std::vector<bool> inFrame(static_cast<size_t>(nodes.Length()), false);
    for (int node : frame)
        if (node >= 0) {
            order.push_back(node);
            inFrame[static_cast<size_t>(node)] = true;
        }
    const int frameCount = static_cast<int>(order.size());
    for (int node = 0; node < nodes.Length(); ++node)
        if (!inFrame[static_cast<size_t>(node)])
            order.push_back(node);
    bool inPlace = true;
    for (size_t i = 0; i < order.size() && inPlace; ++i)
        inPlace = order[i] == static_cast<int>(i);
    if (inPlace)
        return frameCount;
    std::vector<int32_t> renumbered(order.size());
    Tnodes reordered(nodes.Length());
    for (size_t i = 0; i < order.size(); ++i) {
        renumbered[static_cast<size_t>(order[i])] = static_cast<int32_t>(i);
        reordered[static_cast<int>(i)] = nodes[order[i]];
    }
    for (SPolygon& rings : model)
        for (Polygon& ring : rings)
            for (int32_t& index : ring.ring)
                if (index >= 0 && index < nodes.Length())
                    index = renumbered[static_cast<size_t>(index)];
    nodes = std::move(reordered);
    return frameCount;
}

bool ChangeModelArea(const arofcomplexM& profile, bool useProfile, AllSpolygon& model, Tnodes& nodes,
                     double newBottom, double newTop, double newRight, double newLeft, double oldBottom,
                     double oldTop, double oldRight, double oldLeft)
{
    // The frame is found by its nodes' kinds and places, not by their
    // place in the table: a section file may list its surface nodes after
    // the bodies' nodes. On copies with the frame's nodes first, the frame
    // nodes are the first frameCount nodes below. Without a profile the
    // frame is the corners, nodes 0..3 of every model.
    AllSpolygon ordered;
    Tnodes orderedNodes;
    if (useProfile) {
        ordered = CopyAllSpolygon(model);
        orderedNodes = CopyNodes(nodes);
    }
    const int frameCount =
        useProfile ? PutFrameNodesFirst(profile, true, ordered, orderedNodes, oldBottom, oldTop, oldRight, oldLeft)
                   : FrameNodeCount(profile, false, oldBottom, oldTop, oldRight, oldLeft);
    // A node added on the frame's edges keeps its depth (side edges) or its
    // distance (bottom edge, surface) while the corners move: an area that
    // does not hold it strictly inside would leave it outside.
    double edgeMinX = 0.0;
    double edgeMaxX = 0.0;
    double edgeMaxY = 0.0;
    GetFrameEdgeNodeExtent(edgeMinX, edgeMaxX, useProfile ? orderedNodes : nodes, frameCount, edgeMaxY);
    if (!(newLeft < edgeMinX && newRight > edgeMaxX && newBottom > edgeMaxY))
        return false;
    if (!useProfile)
        return true; // border nodes alone follow the area (FitBorderNodesToArea)
    Tnodes newFrame;
    AllSpolygon newFrameModel;
    const int newCount =
        BuildFrameModel(newFrame, newFrameModel, profile, true, newBottom, newTop, newRight, newLeft);
    const int lastFrame = frameCount - 1;
    const int delta = newCount - frameCount;

    // The new node table first, so that the surface order below can be read
    // from the nodes' new indices.
    Tnodes newNodes = newFrame;
    for (int i = frameCount; i < orderedNodes.Length(); ++i)
        newNodes.Add(orderedNodes[i]);

    const arofintM oldRing = ordered[0][0].ring;
    arofintM outline = HostOutline(newFrameModel[0][0].ring);
    CarryBorderNodes(oldRing, orderedNodes, lastFrame, delta, outline);
    CarrySurfaceNodes(oldRing, orderedNodes, lastFrame, delta, newNodes, outline);
    ordered[0][0].ring = HostRingFromOutline(outline);
    RenumberOtherRings(ordered, NodeIndexMap(lastFrame, delta, orderedNodes, newFrame));

    RefillHostBodyRings(ordered, newNodes);
    UpdateBodySharing(0, ordered, newNodes);
    model = std::move(ordered);
    nodes = std::move(newNodes);
    // A host-body ring that ran through profile points now outside the area
    // may have lost too much of itself, or the frame's new corners may have
    // passed nodes near them; the caller then keeps the old area. The result
    // is judged as the caller leaves it: with the border nodes on the area.
    Tnodes fitted = CopyNodes(nodes);
    FitBorderNodesToArea(fitted, newBottom, newTop, newRight, newLeft);
    return SideNodesWithinCorners(fitted, newBottom) && HostBodyStaysSound(model, fitted) &&
           CheckModelInvariants(model, fitted).empty();
}

} // namespace lp
