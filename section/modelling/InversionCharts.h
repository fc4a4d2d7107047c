#pragma once
// The inversion window's mesh model charts: the parameter mesh the user
// edits before inverting, and the inverted resistivities and
// chargeabilities. The chart's tables come from and go back to the plain
// record of the forward layer (TInversionChartData), so what the user
// edits is what the inversion takes.
//
//   TInversionChartData ──ShowChartCells──> TTModelSection2d ──ChartCells──> TInversionChartData

#include "section/inversion/InversionChartData.h"
#include "section/model/NumberArrays.h"
#include "section/survey/MeasuredData.h"

#include <QtCore/QString>

#include <optional>
#include <utility>
#include <vector>

namespace lp {

class TTModelSection2d;

// A line segment of the drawn section (x, elevation).
using TOutline = std::pair<TGeometryPoint, TGeometryPoint>;

// A mesh model chart as the window shows it: low values blue, high red,
// no mesh lines, the title, the colour bar's unit. Where its surface
// stands anywhere but at elevation 0 (a relief, the file's elevations) the
// vertical axis is titled "Elevation (m)" and labelled with round
// elevations; else it shows depths.
void PrepareInversionChart(TTModelSection2d& Chart, const QString& Title, const QString& Units);

// The chart shows Cells: its mesh, values, fixed cells and limits (the
// selection cleared), on a logarithmic or linear scale over the values'
// range. The chart's undo ring starts anew from this state.
void ShowChartCells(TTModelSection2d& Chart, const TInversionChartData& Cells, bool Logarithmic);

// The chart's mesh, the values it shows, its fixed cells and limits.
TInversionChartData ChartCells(const TTModelSection2d& Chart);

// The electrodes the data use as marks on the chart's surface.
void MarkElectrodes(TTModelSection2d& Chart, const TMeasuredData& Data);

// The section's boundaries over the cells, clipped to the chart's
// rectangle (called after the chart's drawing), in black lines Width
// pixels wide, dashed with Dashed.
void DrawOutlines(TTModelSection2d& Chart, const std::vector<TOutline>& Outlines, int Width = 1, bool Dashed = false);
// The segments joined end to end into chains (points in order; a closed
// ring ends where it begins), each segment in one chain once.
std::vector<std::vector<TGeometryPoint>> JoinedOutlines(const std::vector<TOutline>& Outlines);

// How far each cell fades toward white for its coverage (mesh order, one
// per cell): a coverage of 1 keeps the colour, 0.01 and less is white;
// [column][row] as the chart keeps it. Empty when the sizes differ.
std::vector<std::vector<double>> CoverageFade(int Columns, int Rows, const std::vector<double>& Coverage);

// The chart's fade table (CellFade) of such a [column][row] record.
ararofdoubleM FadeTable(const std::vector<std::vector<double>>& Fade);

// The fade of one coverage (0: the colour, 1: white).
double FadeOfCoverage(double Coverage);

// The fade of a cell beyond the depth of investigation (its index above
// Limit, or no number): pale enough to tell it from the cells the data
// decide, its colour still readable; 0 within.
double FadeOfDepthOfInvestigation(double Doi, double Limit);

// The line where Values (one per cell, mesh order) cross Level, as
// segments (x, elevation) between the centres of neighbouring cells,
// placed by linear interpolation (marching squares over the cells'
// centres; a saddle is split by the mean of its four corners). Empty when
// the sizes differ or no value crosses Level.
std::vector<TOutline> CellContour(const TInversionMesh& Mesh, const std::vector<double>& Values, double Level);

// The colour scale of an inverted image: the 2nd to the 98th percentile
// of the values of the cells the data see (coverage above 0.01, the cells
// Fade by coverage does not whiten), so that a cell no datum sees (a
// corner of a pole-dipole line) does not stretch the scale over the
// image; of every cell while the coverage is not known (one per value) or
// fewer than 3 cells are seen. Values beyond it are drawn in the end
// colours. Empty without a finite value.
std::optional<std::pair<double, double>> CoveredScale(const std::vector<double>& Values,
                                                      const std::vector<double>& Coverage);

// The chart's colour scale set to CoveredScale (Values and Coverage in
// mesh order: row by row from the surface), from 0 with FromZero; the
// colour bar menu's Automatic gives it back after the user has set the
// scale.
void UseCoveredScale(TTModelSection2d& Chart, const std::vector<double>& Values, const std::vector<double>& Coverage,
                     bool FromZero);

// The chart's newest edit taken back (its undo ring); false when the ring
// holds nothing before the present state.
bool StepBackChartEdit(TTModelSection2d& Chart);

} // namespace lp
