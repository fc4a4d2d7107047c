// Deleting, coupling and uncoupling nodes and rings, with the two
// bookkeeping steps every structural change ends with: the nodes' sharing
// and the regrouping of a body into node-connected bodies.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace lp {

int NodeSharing(int node, int body, const AllSpolygon& model, const Tnodes& nodes)
{
    std::map<std::pair<int, int>, int> edges; // undirected edge at the node -> occurrences
    int positions = 0;
    const SPolygon& rings = model[body];
    for (int sub = 0; sub < rings.Length(); ++sub) {
        const arofintM& ring = rings[sub].ring;
        const bool host = IsHostRing(body, sub);
        AnyRingEdge(ring, host, [&](int a, int b) {
            if (a == node || b == node)
                ++edges[{std::min(a, b), std::max(a, b)}];
            return false;
        });
        const int walked = RingEdgeCount(ring, host);
        for (int i = 0; i < walked; ++i)
            if (ring[i] == node)
                ++positions;
    }
    const bool outlineEdge = std::any_of(edges.begin(), edges.end(), [](const auto& e) { return e.second == 1; });
    if (!outlineEdge)
        return nsInner;
    return positions > 1 ? nsOutlineShared : nsOutlineOnce;
}

void BodySharingInto(int body, const AllSpolygon& model, std::vector<std::pair<int, int>>& sharing)
{
    // One pass over the body instead of NodeSharing per node: the same rule,
    // counted for all nodes at once, in time that depends on the body only.
    // The working lists are kept between calls: a check of a whole model
    // asks for every body in turn.
    struct TScratch {
        std::vector<std::pair<int, int>> edges;
        std::vector<int> positions;
        std::vector<int> outline;
    };
    thread_local TScratch scratch;
    // Plain references: lambdas below capture them (a structured binding
    // cannot be captured by every compiler we build with).
    auto& edges = scratch.edges;
    auto& positions = scratch.positions;
    auto& outline = scratch.outline;
    edges.clear();
    positions.clear();
    outline.clear();
    sharing.clear();
    const SPolygon& rings = model[body];
    if (rings.Length() == 1 && !IsHostRing(body, 0) && rings[0].ring.Length() >= 3) {
        // A body of one ring through distinct nodes (most bodies): each of
        // its edges is met once, so every node is on the outline, once.
        positions.assign(rings[0].ring.begin(), rings[0].ring.end());
        std::sort(positions.begin(), positions.end());
        if (std::adjacent_find(positions.begin(), positions.end()) == positions.end()) {
            for (const int node : positions)
                sharing.emplace_back(node, nsOutlineOnce);
            return;
        }
        positions.clear();
    }
    for (int sub = 0; sub < rings.Length(); ++sub) {
        const arofintM& ring = rings[sub].ring;
        const bool host = IsHostRing(body, sub);
        AnyRingEdge(ring, host, [&](int a, int b) {
            edges.emplace_back(std::min(a, b), std::max(a, b));
            return false;
        });
        const int walked = RingEdgeCount(ring, host);
        for (int i = 0; i < walked; ++i)
            positions.push_back(ring[i]);
    }
    std::sort(edges.begin(), edges.end());
    for (size_t i = 0; i < edges.size();) {
        size_t j = i + 1;
        while (j < edges.size() && edges[j] == edges[i])
            ++j;
        if (j - i == 1) {
            outline.push_back(edges[i].first);
            outline.push_back(edges[i].second);
        }
        i = j;
    }
    std::sort(outline.begin(), outline.end());
    std::sort(positions.begin(), positions.end());
    for (size_t i = 0; i < positions.size();) {
        size_t j = i + 1;
        while (j < positions.size() && positions[j] == positions[i])
            ++j;
        const int node = positions[i];
        const bool onOutline = std::binary_search(outline.begin(), outline.end(), node);
        sharing.emplace_back(node, !onOutline ? nsInner : j - i > 1 ? nsOutlineShared : nsOutlineOnce);
        i = j;
    }
}

std::vector<std::pair<int, int>> BodySharing(int body, const AllSpolygon& model)
{
    std::vector<std::pair<int, int>> sharing;
    BodySharingInto(body, model, sharing);
    return sharing;
}

void UpdateBodySharing(int body, const AllSpolygon& model, Tnodes& nodes)
{
    for (const auto& [node, sharing] : BodySharing(body, model))
        nodes[node].sharing = sharing;
}

void RemoveNodeFromTable(int node, Tnodes& nodes, AllSpolygon& model)
{
    nodes.Delete(node);
    for (SPolygon& rings : model)
        for (Polygon& ring : rings)
            for (int32_t& index : ring.ring)
                if (index > node)
                    --index;
}

namespace {

// Union-find over the rings of one body: rings that share a node are joined.
int GroupRoot(std::vector<int>& parent, int ring)
{
    while (parent[static_cast<size_t>(ring)] != ring)
        ring = parent[static_cast<size_t>(ring)] = parent[static_cast<size_t>(parent[static_cast<size_t>(ring)])];
    return ring;
}

void ResetBorders(int body, const AllSpolygon& model, Tnodes& nodes)
{
    for (const Polygon& ring : model[body])
        for (int node : ring.ring)
            nodes[node].border = bkNone;
}

bool BodyUsesNode(const SPolygon& rings, int node)
{
    return std::any_of(rings.begin(), rings.end(), [node](const Polygon& ring) { return ring.ring.Contains(node); });
}

// True when any ring of a body other than `body` uses the node.
bool OtherBodyUsesNode(const AllSpolygon& model, int body, int node)
{
    for (int b = 0; b < model.Length(); ++b)
        if (b != body && BodyUsesNode(model[b], node))
            return true;
    return false;
}


// The host ring's positions up to (not including) its return to its first
// node: the forward outline. Positions after it mirror the outline.
int HostOutlineLength(const AllSpolygon& model)
{
    return RingEdgeCount(model[0][0].ring, true);
}

} // namespace

bool NestedWithAnyBody(int body, const AllSpolygon& model, const Tnodes& nodes)
{
    for (int other = 0; other < model.Length(); ++other)
        if (BodiesNested(body, other, model, nodes))
            return true;
    return false;
}

bool RingIsSound(const arofintM& ring, const Tnodes& nodes)
{
    // The area first: the orientation of a ring without area is a matter of
    // rounding.
    return !RingHasNoArea(ring, nodes) && !RingIsClockwise(ring, nodes);
}

bool BodyRingsSound(int body, const AllSpolygon& model, const Tnodes& nodes)
{
    for (int sub = 0; sub < model[body].Length(); ++sub)
        if (!IsHostRing(body, sub) && !RingIsSound(model[body][sub].ring, nodes))
            return false;
    return true;
}

void RegroupBody(int body, AllSpolygon& model, Tnodes& nodes)
{
    if (body < 0 || body >= model.Length())
        return;
    const int count = model[body].Length();
    std::vector<int> parent(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        parent[static_cast<size_t>(i)] = i;
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            if (SubPolygonsShareNode(i, j, body, model))
                parent[static_cast<size_t>(GroupRoot(parent, j))] = GroupRoot(parent, i);

    // Groups in the order of their lowest ring index; group 0 stays.
    std::vector<int> roots;
    for (int i = 0; i < count; ++i) {
        const int root = GroupRoot(parent, i);
        if (std::find(roots.begin(), roots.end(), root) == roots.end())
            roots.push_back(root);
    }
    std::vector<int> touched{body};
    if (roots.size() > 1) {
        SPolygon kept;
        for (size_t group = 1; group < roots.size(); ++group) {
            SPolygon split;
            for (int i = 0; i < count; ++i)
                if (GroupRoot(parent, i) == roots[group])
                    split.Add(CopyPolygon(model[body][i]));
            model.Add(split);
            touched.push_back(model.High());
        }
        for (int i = 0; i < count; ++i)
            if (GroupRoot(parent, i) == roots[0])
                kept.Add(model[body][i]);
        model[body] = kept;
    }
    for (int b : touched) {
        UpdateBodySharing(b, model, nodes);
        if (b != 0)
            ResetBorders(b, model, nodes);
    }
}

bool MergeNodes(int from, int to, int bodyFrom, Tnodes& nodes, AllSpolygon& model, int bodyTo)
{
    if (from == to)
        return false;
    int merged = bodyTo;
    if (bodyFrom != bodyTo) {
        // A node inside a body (sharing 2) has no outline to couple along.
        if (nodes[from].sharing >= nsInner || nodes[to].sharing >= nsInner)
            return false;
        for (Polygon& ring : model[bodyFrom])
            for (int32_t& index : ring.ring)
                if (index == from)
                    index = to;
        RemoveNodeFromTable(from, nodes, model);
        int source = bodyFrom, target = bodyTo;
        if (source == 0)
            std::swap(source, target); // the other body goes into the host body
        for (const Polygon& ring : model[source])
            model[target].Add(CopyPolygon(ring));
        model.Delete(source);
        merged = target > source ? target - 1 : target;
    } else {
        bool removed = true;
        while (removed) {
            removed = false;
            for (Polygon& polygon : model[bodyFrom]) {
                arofintM& ring = polygon.ring;
                for (int i = 0; i < ring.Length() && !removed; ++i) {
                    if (ring[i] != from)
                        continue;
                    ring[i] = to;
                    int before = 0, after = 0;
                    PrevInRing(i, ring, before);
                    NextInRing(i, ring, after);
                    if (before == to || after == to) {
                        ring.Delete(i);
                        // The edge between the two nodes collapsed: a ring
                        // needs three nodes to stay a ring.
                        if (ring.Length() < 3)
                            return false;
                        removed = true;
                    }
                }
                if (removed)
                    break;
            }
        }
        // Two nodes of one ring that are not neighbours would pinch the ring
        // into two loops.
        for (int sub = 0; sub < model[bodyFrom].Length(); ++sub) {
            const arofintM& ring = model[bodyFrom][sub].ring;
            const int walked = RingEdgeCount(ring, IsHostRing(bodyFrom, sub));
            if (std::count(ring.begin(), ring.begin() + walked, to) > 1)
                return false;
        }
        RemoveNodeFromTable(from, nodes, model);
    }
    // The rings that used `from` now run through the position of `to`; one
    // that turned over or lost its area would break the model, and so would
    // one that now reaches into a ring it only meets at `to`.
    if (!BodyRingsSound(merged, model, nodes))
        return false;
    const int kept = to > from ? to - 1 : to;
    for (int sub = 0; sub < model[merged].Length(); ++sub)
        if (!IsHostRing(merged, sub) && model[merged][sub].ring.Contains(kept) &&
            RingOverlapsOtherRings(sub, merged, model, nodes))
            return false;
    UpdateBodySharing(merged, model, nodes);
    return true;
}

bool SplitSharedNode(int node, int body, AllSpolygon& model, Tnodes& nodes)
{
    if (nodes[node].sharing == nsOutlineOnce)
        return false;
    bool kept = false;
    for (int sub = 0; sub < model[body].Length(); ++sub) {
        arofintM& ring = model[body][sub].ring;
        // The host ring's return half mirrors its outline: it follows the
        // outline's node instead of getting copies of its own.
        const int positions = IsHostRing(body, sub) ? RingEdgeCount(ring, true) : ring.Length();
        for (int i = 0; i < positions; ++i) {
            if (ring[i] != node)
                continue;
            if (!kept) {
                kept = true;
                continue;
            }
            Tnode copy = CopyNodeRecord(nodes[node]);
            copy.border = bkNone;
            nodes.Add(copy);
            ring[i] = nodes.High();
        }
    }
    RegroupBody(body, model, nodes);
    return RemoveStrayFrameNodes(model, nodes);
}

void SplitNodeForSubPolygon(int node, int sub, int body, Tnodes& nodes, AllSpolygon& model)
{
    if (nodes[node].sharing == nsOutlineOnce)
        return;
    bool usedElsewhere = false;
    for (int other = 0; other < model[body].Length(); ++other)
        if (other != sub && model[body][other].ring.Contains(node))
            usedElsewhere = true;
    if (!usedElsewhere)
        return;
    arofintM& ring = model[body][sub].ring;
    for (int i = ring.High(); i >= 0; --i)
        if (ring[i] == node) {
            nodes.Add(CopyNodeRecord(nodes[node]));
            ring[i] = nodes.High();
            return;
        }
}

bool UncoupleSubPolygon(int sub, int body, AllSpolygon& model, Tnodes& nodes)
{
    // The host ring frames the model; it cannot leave its body.
    if (IsHostRing(body, sub))
        return false;
    const int count = model[body][sub].ring.Length();
    for (int i = 0; i < count; ++i)
        SplitNodeForSubPolygon(model[body][sub].ring[i], sub, body, nodes, model);
    RegroupBody(body, model, nodes);
    return RemoveStrayFrameNodes(model, nodes);
}

namespace {

// Removes every position of the node from the body's rings. Each removal
// joins the node's two neighbours by a new edge, a shortcut; the shortcuts
// and the rings that changed are collected. False when a ring is left with
// fewer than three nodes.
bool RemoveNodeFromRings(int node, int body, AllSpolygon& model, std::vector<std::pair<int, int>>& shortcuts,
                         std::vector<int>& changed)
{
    for (int sub = 0; sub < model[body].Length(); ++sub) {
        arofintM& ring = model[body][sub].ring;
        for (int position = ring.IndexOf(node); position >= 0; position = ring.IndexOf(node)) {
            ring.Delete(position);
            const int n = ring.Length();
            if (n < 3)
                return false;
            shortcuts.emplace_back(ring[(position + n - 1) % n], ring[position % n]);
            if (changed.empty() || changed.back() != sub)
                changed.push_back(sub);
        }
    }
    return true;
}

// Whether the body, after the node's removal, is still sound: no shortcut
// crosses an edge of any ring (inner edges of the body included, since the
// sharing has changed), the changed rings enclose an area in the model's
// orientation and reach into no other ring, and no body lies in another.
bool SoundAfterRemoval(int body, const std::vector<std::pair<int, int>>& shortcuts, const std::vector<int>& changed,
                       const AllSpolygon& model, const Tnodes& nodes)
{
    for (const auto& [a, b] : shortcuts)
        if (a == b || NodeSegmentCrossesModel(a, b, model, nodes))
            return false;
    for (int sub : changed)
        if (!IsHostRing(body, sub) &&
            (!RingIsSound(model[body][sub].ring, nodes) || RingOverlapsOtherRings(sub, body, model, nodes)))
            return false;
    return !NestedWithAnyBody(body, model, nodes);
}

} // namespace

bool DeleteNode(int node, int body, AllSpolygon& model, Tnodes& nodes)
{
    // The frame corners stay, and a node of another body is not this body's
    // to delete: removing it would leave that body's rings pointing elsewhere.
    if (node <= 3 || OtherBodyUsesNode(model, body, node))
        return false;
    // The rings are judged without the node before the table changes; a
    // refused deletion gets the body's rings back and changes nothing.
    const SPolygon saved = model[body];
    std::vector<std::pair<int, int>> shortcuts;
    std::vector<int> changed;
    if (!RemoveNodeFromRings(node, body, model, shortcuts, changed) ||
        !SoundAfterRemoval(body, shortcuts, changed, model, nodes)) {
        model[body] = saved;
        return false;
    }
    RemoveNodeFromTable(node, nodes, model);
    RegroupBody(body, model, nodes);
    return true;
}

bool DeleteSubPolygon(int sub, int body, AllSpolygon& model, Tnodes& nodes)
{
    if (IsHostRing(body, sub))
        return false;
    const arofintM ring = model[body][sub].ring;
    std::vector<int> onlyHere;
    for (int node : ring) {
        if (std::find(onlyHere.begin(), onlyHere.end(), node) != onlyHere.end())
            continue;
        int users = 0;
        for (const Polygon& other : model[body])
            if (other.ring.Contains(node))
                ++users;
        if (users == 1)
            onlyHere.push_back(node);
    }
    model[body].Delete(sub);
    std::sort(onlyHere.rbegin(), onlyHere.rend());
    for (int node : onlyHere)
        RemoveNodeFromTable(node, nodes, model);
    for (int b = model.High(); b >= 0; --b)
        if (model[b].Empty())
            model.Delete(b);
    RegroupBody(body, model, nodes);
    return RemoveStrayFrameNodes(model, nodes);
}

bool RemoveStrayFrameNodes(AllSpolygon& model, Tnodes& nodes)
{
    for (;;) {
        if (model.Empty() || model[0].Empty())
            return true;
        const arofintM& host = model[0][0].ring;
        const int k = HostOutlineLength(model);
        if (k >= host.Length())
            return true; // no return to the first node: nothing mirrors
        int stray = -1;
        for (int j = 0; j < k && stray < 0; ++j) {
            const int node = host[j];
            bool mirrored = false;
            for (int i = k; i < host.Length(); ++i)
                mirrored = mirrored || host[i] == node;
            for (int sub = 1; sub < model[0].Length() && !mirrored; ++sub)
                mirrored = model[0][sub].ring.Contains(node);
            if (!mirrored)
                stray = node;
        }
        if (stray < 0)
            return true;
        if (!DeleteNode(stray, 0, model, nodes))
            return false;
    }
}

} // namespace lp
