#pragma once
// The parameter mesh of an inversion: rectangular cells in columns and
// rows that follow the ground surface, one resistivity per cell, and the
// ground of the forward computation in which every cell is a region.
//
// Coordinates: x the distance, y the elevation (minus the depth). Column c
// runs from ColumnEdges[c] to ColumnEdges[c + 1]; Elevations[c] is the
// ground surface at ColumnEdges[c] (the surface is linear between column
// edges). Row r runs from RowDepths[r] to RowDepths[r + 1] below the
// surface, RowDepths[0] = 0; the last row instead reaches down to the flat
// Bottom (y), so that the padding of the forward mesh continues the cells
// of the border: the padding beside a side column belongs to that column's
// cells and the padding below to the bottom row's cells (tied to the
// nearest cell, no parameters of its own).
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
    double DepthFactor = 1.2;    // the depth reached, in deepest median depths of investigation
};

// The default layout over Left .. Right for electrodes at the given x
// (any order, at least two apart): columns of ColumnShare of the electrode
// spacing (the median gap) between the outermost electrodes, a column edge
// at every electrode, wider columns toward the sides; rows from RowShare
// of the spacing growing by RowGrowth down to DepthFactor times
// DeepestMedianDepth. The surface is that of Surface (x increasing; level
// beyond its ends). Refuses (EForwardError) fewer than two distinct
// electrodes, electrodes outside Left .. Right, a depth that is not a
// finite number above 0, and a mesh of more cells than an int counts.
TInversionMesh DefaultInversionMesh(const std::vector<double>& ElectrodeX, double Left, double Right,
                                    const std::vector<TGeometryPoint>& Surface, double DeepestMedianDepth,
                                    const TInversionMeshLayout& Layout = {});

// The cells DefaultInversionMesh lays with the same arguments, counted
// without laying them (a count beyond any memory still counts), so that a
// mesh the memory cannot hold is refused before it is laid. Refuses what
// DefaultInversionMesh refuses.
double DefaultInversionMeshCells(const std::vector<double>& ElectrodeX, double Left, double Right,
                                 double DeepestMedianDepth, const TInversionMeshLayout& Layout = {});

// Raises EForwardError when the mesh is unusable: fewer than one column or
// row, edges or depths not strictly increasing or not finite, a count of
// elevations that is not one per column edge, a bottom not below the last
// row boundary above it.
void CheckInversionMesh(const TInversionMesh& Mesh);

// The corners of a cell, counter-clockwise from the lower left.
std::vector<TGeometryPoint> CellCorners(const TInversionMesh& Mesh, int Cell);
TGeometryPoint CellCentre(const TInversionMesh& Mesh, int Cell);
double CellArea(const TInversionMesh& Mesh, int Cell);

// The cell's depth range below the surface at its centre (the bottom row:
// to the flat bottom there).
void CellDepths(const TInversionMesh& Mesh, int Cell, double& Top, double& Bottom);

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
