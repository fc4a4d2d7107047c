#pragma once
// The mesh model chart's tables as plain values, and their conversion to
// and from a parameter mesh and the inversion's fixed cells, limits and
// starting model. The window copies the chart's arrays into this record
// (and back); nothing here needs Qt.
//
// The chart's layout: column boundaries ColBounds (x, ascending), row
// boundaries RowBounds (depth below the ground surface, ascending; the
// first is the model's top, normally 0), the surface as a table of
// elevations ReliefZ at ReliefX (up positive; empty for a flat surface at
// elevation 0), per-cell tables indexed [column][row]. The chart draws the
// last row down to its model bottom in the last row's colour: the
// parameter mesh's flat bottom below the last row is that. Over relief the
// row boundaries blend from the surface's shape to level lines from
// FadeTop to FadeBottom (depths below the first row boundary; none when
// FadeBottom is not below FadeTop), level with the lowest surface point at
// a column boundary (TInversionMesh). RowShifts, when given, add a depth
// to each row boundary at each column boundary (the mesh's Shifts, down
// positive): rows bent onto a drawn line.

#include "section/inversion/Inversion.h"
#include "section/inversion/InversionMesh.h"

#include <utility>
#include <vector>

namespace lp {

struct TInversionChartData {
    std::vector<double> ColBounds;
    std::vector<double> RowBounds;
    std::vector<double> ReliefX, ReliefZ;
    double FadeTop = 0.0, FadeBottom = 0.0;
    std::vector<std::vector<double>> RowShifts;               // [column boundary][row boundary] depth added; empty for none
    std::vector<std::vector<double>> Values;                  // [c][r], ohm-m
    std::vector<std::vector<bool>> Fixed;                      // [c][r]; empty for none
    std::vector<std::vector<std::pair<double, double>>> Limits; // [c][r] (minimum, maximum); none where min ≥ max; empty for none
    friend bool operator==(const TInversionChartData&, const TInversionChartData&) = default;
};

// The parameter mesh of the chart's cells: the surface at each column
// boundary from the relief table (linear, level beyond its ends), the
// rows' depths from the first row boundary, their blend to level lines,
// level and the flat bottom at the lowest surface point (less the last row
// boundary's depth). Raises EForwardError
// for tables of the wrong size or boundaries that do not ascend.
TInversionMesh ChartInversionMesh(const TInversionChartData& Chart);

// The chart's values as the starting model (one per cell, in the mesh's
// cell order), its fixed cells and limits into Settings (Fixed, Lower,
// Upper; a limit not set: 0 and infinity). A fixed cell keeps its value.
// Raises EForwardError for tables of the wrong size.
std::vector<double> ChartStartingModel(const TInversionChartData& Chart, TInversionSettings& Settings);

// The chart's tables for a parameter mesh and one value per cell (mesh
// order): no fixed cell, no limit.
TInversionChartData ChartDataOf(const TInversionMesh& Mesh, const std::vector<double>& Values);

} // namespace lp
