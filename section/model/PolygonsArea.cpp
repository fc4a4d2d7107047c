// Keeping the model consistent with its rectangular area: the host frame with
// its optional relief surface, border nodes that stay on their border while
// moved, surface nodes kept in order, validation of a move and the adaptation
// of the whole model to a new area.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
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

// The surface nodes of the host outline from left to right, framed by node 0
// and node 3.
arofintM SurfaceLeftToRight(const arofintM& outline)
{
    arofintM surface;
    surface.Add(0);
    for (int i = outline.High(); i >= TopRightPosition(outline); --i)
        surface.Add(outline[i]);
    return surface;
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

int Cyclic(int position, int length)
{
    return ((position % length) + length) % length;
}

// The ring's entries from position `from` onwards, cyclically, up to and
// including position `to`.
arofintM CyclicStretch(const arofintM& ring, int from, int to)
{
    arofintM stretch;
    const int n = ring.Length();
    for (int p = from;; p = Cyclic(p + 1, n)) {
        stretch.Add(ring[p]);
        if (p == to)
            break;
    }
    return stretch;
}

// The nodes of the surface whose x lies strictly between low and high, by x.
arofintM SurfaceNodesBetween(const arofintM& surface, double low, double high, const Tnodes& nodes)
{
    std::vector<int32_t> between;
    for (int node : surface)
        if (low < nodes[node].x && nodes[node].x < high)
            between.push_back(node);
    std::stable_sort(between.begin(), between.end(),
                     [&](int32_t a, int32_t b) { return nodes[a].x < nodes[b].x; });
    return arofintM(std::move(between));
}

// Rebuilds the stretch of a ring that runs along the surface from the node:
// the walk follows the surface from the node (backwards when the entry
// before it is on the surface, else forwards) and the part walked is replaced
// by the surface nodes now lying between its two ends.
void RefillSurfaceStretch(arofintM& ring, int node, const arofintM& surface, const Tnodes& nodes)
{
    const int q = ring.IndexOf(node);
    if (q < 0)
        return;
    const int n = ring.Length();
    int step = 0;
    if (surface.Contains(ring[Cyclic(q + 1, n)]))
        step = 1;
    if (surface.Contains(ring[Cyclic(q - 1, n)]))
        step = -1;
    if (step == 0)
        return;
    int f = q;
    for (int k = 1; k < n; ++k) {
        const int p = Cyclic(q + step * k, n);
        if (!surface.Contains(ring[p]))
            break;
        f = p;
    }
    if (f == q)
        return;
    const int low = step > 0 ? q : f;  // left end of the walked stretch
    const int high = step > 0 ? f : q; // right end
    arofintM rebuilt = CyclicStretch(ring, high, low);
    for (int between : SurfaceNodesBetween(surface, nodes[ring[low]].x, nodes[ring[high]].x, nodes))
        rebuilt.Add(between);
    ring = std::move(rebuilt);
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

bool NestedWithAnyBody(int body, const AllSpolygon& model, const Tnodes& nodes)
{
    for (int other = 0; other < model.Length(); ++other)
        if (BodiesNested(body, other, model, nodes))
            return true;
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

void ShiftNonHostRings(AllSpolygon& model, int lastFrame, int delta)
{
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub)
            if (!IsHostRing(body, sub))
                for (int32_t& index : model[body][sub].ring)
                    index = ShiftedIndex(index, lastFrame, delta);
}

int LargestIndex(const arofintM& ring)
{
    int largest = -1;
    for (int node : ring)
        largest = std::max(largest, node);
    return largest;
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

void FitBorderNodesToArea(Tnodes& nodes, double bottom, [[maybe_unused]] double top, double right, double left)
{
    // The top corners keep their depth: it comes from the surface, not the area.
    for (Tnode& node : nodes) {
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
}

bool ConstrainNodeToBorder(int node, const arofcomplexM& profile, bool useProfile, const Tnodes& nodes,
                           const AllSpolygon& model, double& y, double& x, double bottom, double top, double right,
                           double left)
{
    // Frame nodes are the ones on the host ring's return half.
    const arofintM& host = model[0][0].ring;
    int lastFrame = -1;
    for (int p = RingEdgeCount(host, true); p < host.Length(); ++p)
        lastFrame = std::max(lastFrame, static_cast<int>(host[p]));
    if (node <= lastFrame)
        return false;

    x = std::max(left, std::min(x, right));
    y = std::min(y, bottom);
    switch (nodes[node].border) {
    case bkLeft:
        x = left;
        return true;
    case bkBottom:
        y = bottom;
        return true;
    case bkRight:
        x = right;
        return true;
    case bkSurface:
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
    // Taken before sorting: the other rings are rebuilt from the nodes that
    // were on the surface, whatever their new order.
    const arofintM surface = SurfaceLeftToRight(outline);
    SortSurfaceByDescendingX(outline, nodes);
    model[0][0].ring = HostRingFromOutline(outline);
    for (int sub = 1; sub < model[0].Length(); ++sub)
        RefillSurfaceStretch(model[0][sub].ring, node, surface, nodes);
}

bool CheckMovedNodes(const arofintM& moved, int body, const AllSpolygon& model, int mode, const Tnodes& nodes)
{
    if (!BodyKeepsOrientation(body, model, nodes))
        return false; // the move has turned a ring over
    if ((mode == 0 || mode == 1) && MovedEdgeCrosses(moved, body, model, mode, nodes))
        return false;
    return !NestedWithAnyBody(body, model, nodes);
}

void ChangeModelArea(const arofcomplexM& profile, bool useProfile, AllSpolygon& model, Tnodes& nodes,
                     double newBottom, double newTop, double newRight, double newLeft, double oldBottom,
                     double oldTop, double oldRight, double oldLeft)
{
    if (!useProfile)
        return; // border nodes alone follow the area (FitBorderNodesToArea)
    Tnodes oldFrame, newFrame;
    AllSpolygon oldFrameModel, newFrameModel;
    const int oldCount =
        BuildFrameModel(oldFrame, oldFrameModel, profile, true, oldBottom, oldTop, oldRight, oldLeft);
    const int newCount =
        BuildFrameModel(newFrame, newFrameModel, profile, true, newBottom, newTop, newRight, newLeft);
    const int lastFrame = LargestIndex(oldFrameModel[0][0].ring);
    const int delta = newCount - oldCount;

    // The new node table first, so that the surface order below can be read
    // from the nodes' new indices.
    Tnodes newNodes = newFrame;
    for (int i = oldCount; i < nodes.Length(); ++i)
        newNodes.Add(nodes[i]);

    const arofintM oldRing = model[0][0].ring;
    arofintM outline = HostOutline(newFrameModel[0][0].ring);
    CarryBorderNodes(oldRing, nodes, lastFrame, delta, outline);
    CarrySurfaceNodes(oldRing, nodes, lastFrame, delta, newNodes, outline);
    model[0][0].ring = HostRingFromOutline(outline);
    ShiftNonHostRings(model, lastFrame, delta);
    nodes = std::move(newNodes);

    for (int sub = 1; sub < model[0].Length(); ++sub) {
        const arofintM& ring = model[0][sub].ring;
        const auto found =
            std::find_if(ring.begin(), ring.end(), [&](int n) { return nodes[n].border == bkSurface; });
        if (found == ring.end())
            continue;
        const int surfaceNode = *found; // the ring is rebuilt by the call
        SortSurfaceNodes(surfaceNode, true, model, nodes);
    }
    UpdateBodySharing(0, model, nodes);
}

} // namespace lp
