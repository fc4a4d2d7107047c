#pragma once
// An independent check of the section model's promises for the editing
// tests. It shares no geometry with the model: every shape test is a
// measure of area computed by clipping triangles, so rings that meet only
// along edges or at vertices pass and any area covered twice is found.

#include "section/editor/PolygonChart.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lp::test {

// One text per fault: a ring that crosses or covers itself, has no area,
// a zero-length edge or a zero-width spike, leaves the frame's outline, or
// overlaps another ring. Empty when the shapes are sound.
std::vector<std::string> ShapeFaults(const AllSpolygon& Model, const Tnodes& Nodes);

// The positions of the nodes the rings use, each with how many nodes lie there.
using TNodeCensus = std::map<std::pair<double, double>, int>;
TNodeCensus NodeCensus(const AllSpolygon& Model, const Tnodes& Nodes);
// Adds the position of the node to the census.
void CountNode(TNodeCensus& Census, const Tnode& Node);
// The positions of Before, less those in Allowed, that After lacks.
std::vector<std::string> LostNodes(const TNodeCensus& Before, const TNodeCensus& After, const TNodeCensus& Allowed);

// What the undo history has to bring back exactly: the rings with their
// parameters (ids of map polygons aside, they are given anew), the nodes,
// the lines' points and values, and the area.
struct TSectionState {
    AllSpolygon Model;
    Tnodes Nodes;
    lines Lines;
    TModelArea Area;
};
TSectionState StateOf(const TPolygonChart& Chart);
// Empty when the states are the same, else what differs first.
std::string StateDifference(const TSectionState& Expected, const TSectionState& Actual);

} // namespace lp::test
