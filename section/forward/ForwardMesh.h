#pragma once
// The mesh of a forward computation: the section's regions, padded beyond
// the model area, in linear triangles, fine at the electrodes.
//
// Two stages (see ForwardResponse.h):
// - PadGeometry: the model geometry with the electrodes put on its ground
//   surface as points, and the ground continued beyond the model area's
//   sides and bottom as it is at the nearest point of its border: a strip
//   beside every side edge in that edge's region, a strip below every
//   bottom edge, a corner block in the region at the corner. The surface
//   goes on level from each top corner; no current crosses it.
// - MeshGeometry: Gmsh meshes the padded geometry in process (conforming
//   along every region boundary); the element size grows linearly with the
//   distance from the nearest electrode, from ElectrodeSize times the
//   smallest electrode distance.
// Coordinates: x the distance, y the elevation (minus the depth).

#include "section/forward/ForwardModel.h"
#include "section/forward/Survey.h"

#include <array>
#include <vector>

namespace lp {

struct TMeshOptions {
    double ElectrodeSize = 0.1; // element size at an electrode, in smallest electrode distances
    double Growth = 0.1;       // element size growth per unit of distance from the nearest electrode
    double Padding = 4.0;       // the padding's width and depth, in lengths of the survey or model area
};

struct TPaddedGeometry {
    std::vector<TGeometryPoint> Points;
    std::vector<std::pair<int, int>> Edges;  // point index pairs
    std::vector<TGeometrySurface> Surfaces;  // loops of edge numbers from 1; region into the model's regions
    std::vector<int> ElectrodePoints;        // the point of each electrode
    std::vector<int> OuterEdges;             // edge indices on the padding's sides and bottom
    std::vector<int> OuterEdgeRegions;       // the region inside each of them
    double ElectrodeSize = 0.1;              // element size at the electrodes
    double Growth = 0.1;
    double MaxSize = 1.0;                    // largest element size
};

struct TForwardMesh {
    std::vector<TGeometryPoint> Nodes;
    std::vector<std::array<int, 3>> Triangles; // counter-clockwise
    std::vector<int> TriangleRegion;           // into the model's regions
    std::vector<std::array<int, 2>> OuterEdges; // boundary segments with the mixed condition
    std::vector<int> OuterEdgeRegion;          // the region inside each of them
    std::vector<int> ElectrodeNodes;           // the node of each electrode
};

TPaddedGeometry PadGeometry(const TForwardModel& Ground, const TSurvey& Survey, const TMeshOptions& Options = {});

// Meshes with Gmsh; raises EForwardError with Gmsh's message when it fails.
// Gmsh keeps one global state: calls from several threads take turns.
TForwardMesh MeshGeometry(const TPaddedGeometry& Geometry);

} // namespace lp
