#pragma once
// Walks shared by the geometry sources of the section model.

#include "section/model/Polygons.h"

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

// True when BodiesNested holds between the body and any body of the model.
bool NestedWithAnyBody(int body, const AllSpolygon& model, const Tnodes& nodes);

// True when no ring of the body but the host ring has turned over.
bool BodyKeepsOrientation(int body, const AllSpolygon& model, const Tnodes& nodes);

} // namespace lp
