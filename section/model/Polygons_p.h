#pragma once
// Walks shared by the geometry sources of the section model.

#include "section/model/Polygons.h"

#include <utility>
#include <vector>

namespace lp {

// Calls visit(a, b) with the node indices of every edge the ring's walk
// takes (see RingEdgeCount); stops early and returns true when visit does.
template <class Visit>
bool AnyRingEdge(const arofintM& ring, bool hostRing, Visit visit)
{
    const int n = ring.Length();
    const int count = RingEdgeCount(ring, hostRing);
    for (int i = 0; i < count; ++i)
        if (visit(ring[i], ring[i + 1 < n ? i + 1 : 0]))
            return true;
    return false;
}

// Calls visit(body, sub) for every ring of the model, the host ring skipped;
// stops early and returns true when visit does.
template <class Visit>
bool AnyNonHostRing(const AllSpolygon& model, Visit visit)
{
    for (int body = 0; body < model.Length(); ++body)
        for (int sub = 0; sub < model[body].Length(); ++sub)
            if (!IsHostRing(body, sub) && visit(body, sub))
                return true;
    return false;
}

// BodySharing into a list of the caller's (cleared first), which keeps its
// capacity from body to body.
void BodySharingInto(int body, const AllSpolygon& model, std::vector<std::pair<int, int>>& sharing);

// True when BodiesNested holds between the body and any body of the model.
bool NestedWithAnyBody(int body, const AllSpolygon& model, const Tnodes& nodes);

// True when the ring runs the model's way round and encloses an area
// (RingHasNoArea false): what every ring but the host ring must do.
bool RingIsSound(const arofintM& ring, const Tnodes& nodes);
// True when RingIsSound holds for every ring of the body but the host ring.
bool BodyRingsSound(int body, const AllSpolygon& model, const Tnodes& nodes);

// Whether the segment between nodes a and b crosses an edge of any ring of
// the model that does not end in a or b.
bool NodeSegmentCrossesModel(int a, int b, const AllSpolygon& model, const Tnodes& nodes);

// Whether ring sub of the body overlaps (RingsOverlap) any other ring of the
// model, the host ring skipped. Nesting and crossing tests miss a ring that
// reaches into another where the two meet only at nodes of one place.
bool RingOverlapsOtherRings(int sub, int body, const AllSpolygon& model, const Tnodes& nodes);

} // namespace lp
