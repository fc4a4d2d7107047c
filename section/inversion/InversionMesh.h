#pragma once
// The parameter mesh of an inversion: rectangular cells in columns and
// rows that follow the ground surface, one resistivity per cell, and the
// ground of the forward computation in which every cell is a region.
//
// Coordinates: x the distance, y the elevation (minus the depth). Column c
// runs from ColumnEdges[c] to ColumnEdges[c + 1]; Elevations[c] is the
// ground surface at ColumnEdges[c] (the surface is linear between column
// edges). Row boundary k lies RowDepths[k] below a surface that blends
// from the ground (near the top) to the flat Level (deep down):
//   y(c, k) = Level + (Elevations[c] − Level) · D(RowDepths[k]) − RowDepths[k],
// D(d) = 1 down to FadeTop, 0 from FadeBottom on, and between them
// 1 − (3t² − 2t³), t = (d − FadeTop) / (FadeBottom − FadeTop): a smooth step
// (no kink where the blending starts or ends). Without a fade (FadeBottom
// not below FadeTop) D is 1 everywhere and every row follows the surface.
// Level lies at or below the lowest surface point, so a boundary under
// higher ground only moves down: the rows stay in order and a row below
// FadeBottom is level and equally thick under the whole line. Shifts,
// when given, move each row boundary at each column edge up (+) or down
// (−) from there: rows bent onto a drawn line or a log's layers
// (FollowTargets); the surface and the flat bottom never move. The last
// row instead reaches down to the flat Bottom (y), so that the padding of
// the forward mesh continues the cells of the border: the padding beside a
// side column belongs to that column's cells and the padding below to the
// bottom row's cells (tied to the nearest cell, no parameters of its own).
//
// Cells are numbered row by row from the surface, left to right within a
// row: cell = row * Columns() + column.
//
//   data / section ──DefaultInversionMesh──> TInversionMesh ──InversionGround──> TForwardModel (a region per cell)
//   a drawn section ──CellZones──> the region of each cell's centre (structural cuts)

#include "section/forward/ForwardModel.h"
#include "section/survey/Survey.h"

#include <Eigen/Sparse>

#include <vector>

namespace lp {

struct TInversionMesh {
    std::vector<double> ColumnEdges; // x, strictly increasing
    std::vector<double> Elevations;  // surface y at each column edge
    std::vector<double> RowDepths;   // below the surface, from 0, strictly increasing; one more than rows
    double Bottom = 0.0;             // y of the last row's flat bottom, below every other row boundary
    double Level = 0.0;              // y the row boundaries blend to, at or below every surface point
    double FadeTop = 0.0;            // depth where the row boundaries start to leave the surface's shape
    double FadeBottom = 0.0;         // depth from which they are level; not below FadeTop: no fade
    // y added to row boundary k at column edge c, [k * (Columns() + 1) + c];
    // empty for none, else one per boundary and edge, 0 at the surface and the bottom.
    std::vector<double> Shifts;

    int Columns() const { return static_cast<int>(ColumnEdges.size()) - 1; }
    int Rows() const { return static_cast<int>(RowDepths.size()) - 1; }
    int Cells() const { return Columns() * Rows(); }
};

// How the default layout grows.
struct TInversionMeshLayout {
    double ColumnShare = 0.5;    // of the electrode spacing, between electrodes
    double SideGrowth = 1.5;     // of each side column's width over the one inside it
    double RowShare = 0.5;       // the first row's thickness, of the electrode spacing
    double RowGrowth = 1.2;      // of each row's thickness over the one above
    double DepthFactor = 2.0;    // the depth reached, in deepest median depths of investigation
    double CellGrowth = 2.0;     // the most a cell may be taller than the one above it, over relief
    // With buried electrodes (BuriedElectrodeLayout): the spacing the cells
    // follow (0: the median gap between the electrodes' x), and the depth
    // below the surface down to which the rows keep the first row's
    // thickness before they grow (0: they grow from the top).
    double Spacing = 0.0;
    double EvenDepth = 0.0;
};

// How far below the deepest buried electrode the cells reach, in electrode spacings.
inline constexpr double BuriedMeshMargin = 3.0;

// The layout for a survey's electrodes: Layout itself when none is buried
// (Depth above 0); else the cells follow the spacing along the holes (the
// median gap between neighbouring electrodes at one x, when smaller than
// the one along x), the rows keep their first thickness down to the deepest
// buried electrode, and DeepestMedianDepth grows, where it must, so that
// the mesh reaches BuriedMeshMargin spacings below that electrode.
TInversionMeshLayout BuriedElectrodeLayout(const TSurvey& Survey, double& DeepestMedianDepth,
                                           TInversionMeshLayout Layout = {});

// The default layout over Left .. Right for electrodes at the given x
// (any order, at least two apart): columns of ColumnShare of the electrode
// spacing (the median gap) between the outermost electrodes, a column edge
// at every electrode, wider columns toward the sides; rows from RowShare
// of the spacing growing by RowGrowth down to DepthFactor times
// DeepestMedianDepth below the lowest surface point. The surface is that
// of Surface (x increasing; level beyond its ends). Over relief the rows
// follow the surface in the top row and blend to level lines below it
// (see TInversionMesh), the blend ending at the shallowest row boundary
// at or below DeepestMedianDepth (two full rows above the bottom at least)
// at which no cell is more than CellGrowth times as tall as the one above
// it; the mesh grows deeper, row by row, where the relief needs more room.
// Refuses (EForwardError) fewer than two distinct electrodes, electrodes
// outside Left .. Right, a depth that is not a finite number above 0, and
// a mesh of more cells than an int counts.
TInversionMesh DefaultInversionMesh(const std::vector<double>& ElectrodeX, double Left, double Right,
                                    const std::vector<TGeometryPoint>& Surface, double DeepestMedianDepth,
                                    const TInversionMeshLayout& Layout = {});

// The cells DefaultInversionMesh lays with the same arguments, counted
// without laying the columns (a count beyond any memory still counts), so
// that a mesh the memory cannot hold is refused before it is laid.
// Refuses what DefaultInversionMesh refuses.
double DefaultInversionMeshCells(const std::vector<double>& ElectrodeX, double Left, double Right,
                                 const std::vector<TGeometryPoint>& Surface, double DeepestMedianDepth,
                                 const TInversionMeshLayout& Layout = {});

// Raises EForwardError when the mesh is unusable: fewer than one column or
// row, edges or depths not strictly increasing or not finite, a count of
// elevations that is not one per column edge, a level above the lowest
// surface point or a fade depth that is not finite, a bottom not below the
// last row boundary above it, shifts not one per boundary and edge, not
// finite, moving the surface or the bottom, or putting a row boundary at
// or below the next one.
void CheckInversionMesh(const TInversionMesh& Mesh);

// Mesh with row boundaries moved onto Targets (per column edge, elevations
// y): at each edge each target, from the highest, takes the nearest row
// boundary not yet taken (else the second nearest) when the target lies
// strictly between the surface and the bottom and taking it keeps every
// cell at that edge at most CellGrowth times as tall as the one above it
// (or as much taller as it already was); the boundaries between two taken
// ones (the surface and the bottom count as taken) stretch evenly between
// them. A target that no boundary can take is left out. Targets empty (or
// all left out): Mesh unchanged. Cells then meet along a drawn line where
// it crosses a column edge; in the columns where the line passes from one
// row boundary to the next, it runs through a cell.
TInversionMesh FollowTargets(const TInversionMesh& Mesh, const std::vector<std::vector<double>>& Targets,
                             double CellGrowth = 2.0);

// The corners of a cell, counter-clockwise from the lower left.
std::vector<TGeometryPoint> CellCorners(const TInversionMesh& Mesh, int Cell);
TGeometryPoint CellCentre(const TInversionMesh& Mesh, int Cell);
double CellArea(const TInversionMesh& Mesh, int Cell);

// The cell's depth range below the surface, half way across its column
// (the bottom row: to the flat bottom there).
void CellDepths(const TInversionMesh& Mesh, int Cell, double& Top, double& Bottom);

// The y of row boundary Boundary (0 .. Rows(); Rows() is the flat bottom)
// at column edge Edge.
double RowBoundaryY(const TInversionMesh& Mesh, int Edge, int Boundary);

// The row of Column holding the point at X (inside the column) and Y;
// -1 above the surface or below the bottom.
int RowAt(const TInversionMesh& Mesh, int Column, double X, double Y);

// The ground of the forward computation: one region per cell with the
// cell's resistivity (ohm-m, finite and above 0, one per cell) and
// polarizability (fraction 0 .. <1; empty for none).
TForwardModel InversionGround(const TInversionMesh& Mesh, const std::vector<double>& Resistivities,
                              const std::vector<double>& Polarizabilities = {});

// The region of Section (into Section.Regions) holding each cell's centre;
// -1 for a centre outside the section's model area.
std::vector<int> CellZones(const TInversionMesh& Mesh, const TForwardModel& Section);

// The roughness: one row per pair of neighbouring cells,
// w × (m_second − m_first) with w² = a × L / d, L the length of the edge the
// two cells share and d the distance between their centres, a = 1 for
// horizontal neighbours and ZWeight (finite, at least 0) for vertical ones.
// ‖Cm‖² then approximates ∫ (a_x (∂m/∂x)² + a_z (∂m/∂z)²) dA over the
// cells, whatever their shapes: on a mesh whose deep cells are tall and
// narrow, plain differences would penalise vertical change far less than
// horizontal change and the image would run in columns. With Zones (one per
// cell; empty for none) a pair of cells in different zones gets weight 0:
// the smoothing stops at the drawn section's boundaries.
Eigen::SparseMatrix<double> SmoothnessOperator(const TInversionMesh& Mesh, double ZWeight,
                                               const std::vector<int>& Zones = {});

// The region of Ground holding a point; -1 outside every surface.
int RegionAt(const TModelGeometry& Geometry, TGeometryPoint Point);

} // namespace lp
