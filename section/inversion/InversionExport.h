#pragma once
// The inverted image for other programs: the cells as a VTK unstructured
// grid (a mesh viewer draws the cells as the window does), and the
// resistivity sampled on a regular x, elevation grid (contouring programs
// take such point lists); beside the cell table (SurveyInversion.h), the
// file's extension choosing among the three.
//
//   TInversionMesh + TSurveyInversion ──FormatInversionFile──> .csv | .vtk | .xyz text
//
// Every cell is taken as the quadrilateral CellCorners gives (a sheared
// column over relief, a trapezoid on the flat bottom), never as a
// rectangle. Each refuses (EForwardError, nothing to write) what
// CheckInversionValues refuses, and a mesh whose corners are not finite.

#include "section/inversion/InversionMesh.h"
#include "section/inversion/SurveyInversion.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lp {

enum class TInversionFileFormat { Table, Vtk, Xyz };

// The format a file name's extension asks for (.csv, .vtk, .xyz, in any
// case); nothing for another extension or none.
std::optional<TInversionFileFormat> InversionFileFormatOf(std::string_view FileName);

// "csv", "vtk" or "xyz".
std::string_view InversionFileExtension(TInversionFileFormat Format);

// The cells in the format asked: FormatInversionTable, FormatInversionVtk
// or FormatInversionXyz.
std::string FormatInversionFile(const TInversionMesh& Mesh, const TSurveyInversion& Inversion,
                                TInversionFileFormat Format);

// A VTK legacy ASCII unstructured grid: the cells' corners as points
// (x, elevation, 0; a corner shared by cells written once), each cell a
// quadrilateral (VTK_QUAD, counter-clockwise; a polygon, VTK_POLYGON,
// were a cell to have another number of corners), cell data "resistivity"
// (ohm-m), "chargeability" (per cent, with measured chargeabilities),
// "coverage" (0 .. 1), "doi" (with a depth of investigation) and "phase"
// (mrad, with measured phases).
std::string FormatInversionVtk(const TInversionMesh& Mesh, const TSurveyInversion& Inversion);

// A regular grid of points over the cells' extent, each point with the cell
// holding it (-1 outside every cell, above the surface over relief). Steps:
// half the narrowest cell's width and half the thinnest cell's mean height
// (its area over its width), both widened by one factor when the grid would
// have more than MaxPoints points (at most 1e8). Point (i, j) lies at
// x = Left + i StepX, elevation = Top - j StepY; Cells[j * Columns + i].
struct TCellGrid {
    double Left = 0.0, Top = 0.0, StepX = 0.0, StepY = 0.0;
    int Columns = 0, Rows = 0;
    std::vector<int> Cells;
};
constexpr std::size_t MaxCellGridPoints = 1000000; // about 40 MB of text
TCellGrid CellGrid(const TInversionMesh& Mesh, std::size_t MaxPoints = MaxCellGridPoints);

// The resistivity on CellGrid's points (MaxCellGridPoints) inside the cells: the header line
// "# x elevation resistivity ..." (saying the units and the steps), then one
// "x elevation resistivity" line per point (with phases "x elevation
// resistivity phase", the phase in mrad), row by row from the top, x
// increasing, separated by spaces.
std::string FormatInversionXyz(const TInversionMesh& Mesh, const TSurveyInversion& Inversion);

} // namespace lp
