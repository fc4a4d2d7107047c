#pragma once
// The section model as a planar partition for a mesh generator.
//
// The rings and the frame (the host ring's outline) divide the model area
// into faces. Every edge that some ring uses is kept once, however many
// rings share it, so a mesh built on the faces is conforming along every
// body boundary. Each face becomes one surface (an outer loop and its hole
// loops) and belongs to the innermost ring that contains it, or to the host
// medium when only the frame does. The model's open lines are carried along
// and embedded in the surface they lie in.
//
// Coordinates here are those of the modelling codes: x is the distance and
// y is minus the depth (up is positive), so a loop running counter-clockwise
// has a positive area.
//
// What the partition does with the model's loose ends:
// - nodes at one place (equal coordinates, up to rounding) become one point;
// - a node that lies on another ring's edge without being one of its nodes
//   splits that edge there, so both rings use the same two pieces;
// - a face boundary that passes one point twice (rings touching at one
//   node, a body touching the frame or a pocket's boundary at one node) is
//   cut there into simple loops: one surface per outer loop, the loops
//   running the other way round are holes.

#include "platform/base/Exception.h"
#include "section/model/Polygons.h"

#include <string>
#include <vector>

namespace lp {

// A model that cannot be exported; the message names the first fault.
class EModelGeometryError : public Exception {
public:
    using Exception::Exception;
};

struct TGeometryPoint {
    double x = 0.0; // distance
    double y = 0.0; // minus the depth
};

// A loop: edge numbers from 1, negative where the edge runs backwards.
using TGeometryLoop = std::vector<int>;

struct TGeometrySurface {
    TGeometryLoop outer;             // counter-clockwise
    std::vector<TGeometryLoop> holes; // clockwise
    int region = 0;                  // index into Regions
    double area = 0.0;               // outer area less the holes
};

struct TGeometryRegion {
    int tag = 0;          // physical surface tag: 1 the host medium, then 2, 3, ... in ring order
    int body = 0;
    int ring = 0;
    std::string name;     // unique among the regions
    ParamValue resistivity;
    ParamValue polarizability;
    ParamValue phase;     // mrad (psPhase)
    double area = 0.0;    // of the faces that belong to the ring
    std::vector<int> surfaces; // indices into Surfaces
};

struct TGeometryLine {
    std::string name;           // unique among the lines
    std::vector<int> points;    // indices into Points
    std::vector<int> edges;     // edge numbers from 1, into Edges, in order
    int surface = -1;           // the surface it is embedded in; -1 when not embedded
};

struct TModelGeometry {
    std::vector<TGeometryPoint> Points;
    // Point index pairs; the model's edges first (ModelEdgeCount), then the lines'.
    std::vector<std::pair<int, int>> Edges;
    int ModelEdgeCount = 0;
    int ModelPointCount = 0; // points the rings use (the lines' own come after)
    std::vector<TGeometrySurface> Surfaces;
    std::vector<TGeometryRegion> Regions; // the host medium first
    std::vector<int> FrameEdges;          // edge numbers from 1
    std::vector<TGeometryLine> Lines;
    double Width = 0.0;     // of the frame
    double FrameArea = 0.0; // enclosed by the frame's outline
    std::vector<std::string> Warnings; // lines left out or not embedded
};

// The partition of a model. A model that breaks CheckModelInvariants (with
// the area when one is given), has a ring outside the frame or leaves an
// edge with one face on both sides raises EModelGeometryError naming the
// first fault.
TModelGeometry BuildModelGeometry(const AllSpolygon& model, const Tnodes& nodes, const lines& modelLines,
                                  const TModelArea* area = nullptr);

// Signed shoelace area of a closed polygon (counter-clockwise positive).
double SignedLoopArea(const std::vector<TGeometryPoint>& polygon);

} // namespace lp
