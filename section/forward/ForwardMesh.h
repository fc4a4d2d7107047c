#pragma once
// The mesh of a forward computation: the section's regions, padded beyond
// the model area, in linear triangles, fine at the electrodes.
//
// Two stages (see ForwardResponse.h):
// - PadGeometry: the model geometry with the electrodes put on its ground
//   surface, and the ground continued beyond the model area's sides and
//   bottom as it is at the nearest point of its border: a strip beside
//   every side edge in that edge's region, a strip below every bottom edge,
//   a corner block in the region at the corner. The surface goes on level
//   from each top corner; no current crosses it.
//   Around every electrode a fan is cut out of the geometry and meshed here:
//   the same pattern for every electrode, scaled to its own neighbourhood
//   (a disc of radius R around it, R from its distance to the nearest other
//   electrode and to any other point or edge of the geometry; rings at R,
//   R/2, R/4, rays about 30 degrees apart and along every edge that meets
//   the electrode). Data that must be equal by mirror or shift symmetry so
//   see the same triangles at their electrodes. A fan reaches 0.23 of the
//   way to the nearest electrode by default (ElectrodeSize / its rim chord).
//   Electrodes at one x and different y (a remote set out square from a
//   line electrode) share one point, fan and node: the mesh sees the
//   section's plane, where they are one source; electrodes at different x
//   keep their own points at their own x, however near (their fans shrink
//   to their distance in the plane, as on the line).
//   Refused before any meshing (EForwardError, one line naming the
//   electrodes): two electrodes, or an electrode and another point or edge
//   of the geometry, closer than the mesher resolves beside the padded
//   model (MinMeshSize relative to its extent). An electrode that near a
//   point of the surface stands on that point instead, when that moves it
//   by at most a thousandth of its distance to the nearest electrode.
//   Region corners close beside the electrodes (where boundaries between
//   regions of different parameters meet at an angle, within four
//   nearest-electrode distances of an electrode) get an element size of
//   1.5 % of their distance to it, growing by 0.15 per unit of distance as
//   far as that is finer than the electrodes' growth: the field bends
//   sharply there, and the data using those electrodes were a per cent or
//   more off without it.
// - MeshGeometry: Gmsh meshes the rest (conforming along every region
//   boundary, one segment per rim edge); the element size grows linearly
//   from each fan's rim, and from each corner's spot (a size callback). Frontal-Delaunay, quick, where the smallest rim
//   is at least 1e-9 of the padded model's extent; below that the surfaces
//   round the electrodes are meshed with MeshAdapt, which holds down to
//   about a fifth of MinMeshSize but takes seconds where the other takes a
//   tenth. A surface Frontal-Delaunay leaves uncovered or torn is meshed
//   again with MeshAdapt. The fans' triangles are added, and the whole mesh
//   is checked: every region covered, no triangle without area.
// Coordinates: x the distance, y the elevation (minus the depth).

#include "section/forward/ForwardModel.h"
#include "section/survey/Survey.h"

#include <array>
#include <functional>
#include <vector>

namespace lp {

struct TMeshOptions {
    double ElectrodeSize = 0.12; // element size at an electrode's fan rim, in its nearest-neighbour distances
    double Growth = 0.1;       // element size growth per unit of distance from the nearest rim
    double Padding = 4.0;       // the padding's width and depth, in lengths of the survey or model area
    double Refinement = 1.0;    // every element size divided by it (2 halves them all, the fans' radii too)
    // The padding beside the model area (corners below included) is cut in
    // strips, each leaning on a border region. -1: a strip belongs to that
    // region; from 0: to that region's index plus this offset (regions of
    // its own, whose values the caller sets). The padding below the model
    // area always continues the region above it.
    int SidePaddingOffset = -1;
};

// The smallest element the mesher is given, relative to the padded model's
// larger extent: Gmsh's tolerances are relative to the model's size (beside
// the 1 km example, padded to 9 km: 1.35 µm, electrodes 11 µm apart).
inline constexpr double MinMeshSize = 1.5e-10;

struct TPaddedGeometry {
    std::vector<TGeometryPoint> Points;
    std::vector<std::pair<int, int>> Edges;  // point index pairs
    std::vector<TGeometrySurface> Surfaces;  // loops of edge numbers from 1; region into the model's regions
    std::vector<int> OuterEdges;             // edge indices on the padding's sides and bottom
    std::vector<int> OuterEdgeRegions;       // the region inside each of them
    // The electrodes' fans, meshed without Gmsh.
    std::vector<TGeometryPoint> FanNodes;         // nodes inside the rims, the electrodes among them
    std::vector<std::array<int, 3>> FanTriangles; // a fan node from 0, or the rim's geometry point p as -1 - p
    std::vector<int> FanTriangleRegions;
    std::vector<int> RimEdges;                    // edge indices; each is one mesh segment
    std::vector<int> ElectrodeNodes;              // the fan node of each electrode (one for electrodes at one x)
    std::vector<std::vector<int>> Rims;           // the geometry points on each electrode's rim
    std::vector<double> RimSizes;                 // the element size at each electrode's rim
    // Region corners close beside the electrodes: the element size at each,
    // growing by CornerGrowth per unit of distance as far as its reach.
    std::vector<TGeometryPoint> Corners;
    std::vector<double> CornerSizes;
    std::vector<double> CornerReaches;
    double CornerGrowth = 0.15;
    double Growth = 0.1;
    double MaxSize = 1.0;                         // largest element size
    double Extent = 1.0;                          // the padded model's larger side
};

struct TForwardMesh {
    std::vector<TGeometryPoint> Nodes;
    std::vector<std::array<int, 3>> Triangles; // counter-clockwise
    std::vector<int> TriangleRegion;           // into the model's regions
    std::vector<std::array<int, 2>> OuterEdges; // boundary segments with the mixed condition
    std::vector<int> OuterEdgeRegion;          // the region inside each of them
    std::vector<int> ElectrodeNodes;           // the node of each electrode (one for electrodes at one x)
};

TPaddedGeometry PadGeometry(const TForwardModel& Ground, const TSurvey& Survey, const TMeshOptions& Options = {});

// Meshes with Gmsh; raises EForwardError with the cause when the mesh
// cannot be made or is unfit (a region left uncovered, a triangle without
// area): nothing Gmsh does ends the program. Gmsh keeps one global state:
// calls from several threads take turns. GoOn, when given, is asked when
// Gmsh becomes this call's after another call held it (the caller may no
// longer want its mesh) and before meshing a surface again: false raises
// EForwardCancelled.
TForwardMesh MeshGeometry(const TPaddedGeometry& Geometry, const std::function<bool()>& GoOn = {});

// A triangle counts as without area when twice its area is at most this
// share of its longest edge squared (an equilateral triangle: 0.87).
inline constexpr double MinTriangleShape = 1e-6;

// Raises EForwardError naming where the first triangle without area lies.
void CheckTriangleShapes(const TForwardMesh& Mesh);

} // namespace lp
