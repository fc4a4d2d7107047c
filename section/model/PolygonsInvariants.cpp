// The structural promises of the section model, checked. Used by the tests
// after every operation and available to callers that load models from files.

#include "section/model/Polygons.h"

#include "section/model/Polygons_p.h"

#include <cmath>
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

void CheckRings(const AllSpolygon& model, const Tnodes& nodes, std::vector<std::string>& faults)
{
    std::vector<int> owner(static_cast<size_t>(nodes.Length()), -1);
    for (int body = 0; body < model.Length(); ++body) {
        if (model[body].Empty())
            faults.push_back("body " + std::to_string(body) + " has no rings");
        for (int sub = 0; sub < model[body].Length(); ++sub) {
            const arofintM& ring = model[body][sub].ring;
            for (int index : ring) {
                int& first = owner[static_cast<size_t>(index)];
                if (first >= 0 && first != body)
                    faults.push_back("node " + std::to_string(index) + " is used by bodies " +
                                     std::to_string(first) + " and " + std::to_string(body));
                first = body;
            }
            if (IsHostRing(body, sub))
                continue;
            if (ring.Length() < 3) {
                faults.push_back(RingName(body, sub) + " has fewer than three nodes");
                continue;
            }
            const int n = ring.Length();
            for (int i = 0; i < n; ++i) {
                if (ring[i] == ring[(i + 1) % n])
                    faults.push_back(RingName(body, sub) + " visits node " + std::to_string(ring[i]) +
                                     " twice in a row");
                if (ring[i] == ring[(i + 2) % n])
                    faults.push_back(RingName(body, sub) + " turns back at node " +
                                     std::to_string(ring[(i + 1) % n]));
            }
            if (RingIsClockwise(ring, nodes))
                faults.push_back(RingName(body, sub) + " runs the wrong way round");
        }
    }
    std::vector<int> counted(static_cast<size_t>(nodes.Length()), -1);
    for (int body = 0; body < model.Length(); ++body)
        for (const auto& [node, sharing] : BodySharing(body, model))
            if (owner[static_cast<size_t>(node)] == body)
                counted[static_cast<size_t>(node)] = sharing;
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

} // namespace

std::vector<std::string> CheckModelInvariants(const AllSpolygon& model, const Tnodes& nodes, const TModelArea* area)
{
    std::vector<std::string> faults;
    if (!CheckIndices(model, nodes, faults))
        return faults;
    CheckHostRing(model, faults);
    CheckRings(model, nodes, faults);
    if (area)
        CheckFrameCorners(nodes, *area, faults);
    return faults;
}

} // namespace lp
