#pragma once
// The data of a forward computation laid out as a pseudo-section: each
// configuration plotted at the midpoint of its electrodes and at its median
// depth of investigation, the points triangulated and handed to the
// pseudo-section chart as its owner must fill it.
//
// The median depth of investigation is the depth above which half the
// sensitivity of a homogeneous half-space to a horizontal layer lies. A
// configuration's sensitivity is the sum of its four pole-pole terms
// (AM - AN - BM + BN); the layer sensitivity of a pole-pole pair at
// distance L, per unit depth, is 4 L z / (L² + 4 z²)^(3/2) (integral 1), so
// the share above depth z is
//   C(z) = 1 - [Σ s / √(L² + 4 z²)] / [Σ s / L]
// over the pairs with their signs s; the median depth solves C(z) = 1/2.
// It is about 0.52 a for Wenner and grows with n for the other arrays; any
// four electrodes (a scheme file's) are covered the same way. Distances
// are horizontal: pseudo-depths are counted from the surface below each
// point.
//
// A survey with electrodes in holes (ElectrodeHoles) has no pseudo-depth
// that means much: each configuration is plotted where its dipoles lie, at
// the mean x and the mean elevation of its electrodes (an absent pole's
// left out, and a remote's off the line), on a vertical axis of elevation.
// Other surveys (on the surface, a line on a lake's bottom) are laid out as
// above.

#include "section/model/ModelGeometry.h"
#include "section/survey/DepthOfInvestigation.h"
#include "section/survey/Survey.h"

#include <QtCore/QString>

#include <optional>
#include <vector>

namespace lp {

class TMetafile;
class TPseudoSection2d;

struct TPseudoPoint {
    double X = 0.0;     // the midpoint of the configuration's electrodes
    double Depth = 0.0; // its median depth of investigation, positive down
    // With buried electrodes: the electrodes' mean elevation, where the
    // point is plotted (Depth then their mean depth below the ground).
    std::optional<double> Elevation;
};

// One point per configuration, in the survey's order; placed at the
// electrodes' mean elevation (Elevation set) when the survey has
// electrodes in holes. A datum whose electrodes stand in two holes is drawn
// between them by the tilt of its path from one hole to the other: midway
// for a level path, at the right hole for one falling the holes' whole
// height to the right (its right electrodes' mean z below the left ones'),
// at the left hole for one rising as far; in between in proportion.
std::vector<TPseudoPoint> PseudoSectionPoints(const TSurvey& Survey);

// Whether the points are placed at their electrodes' elevations.
bool PlacedPseudoPoints(const std::vector<TPseudoPoint>& Points);

// Fills the chart's vertex and triangle tables (from index 1) with the
// points and values (equal counts; one vertex per point), the
// triangulation's neighbour, neighbour-edge and edge-kind tables, the
// counts and the data range; a logarithmic scale when every value is above
// 0. Then the levels are prepared and the picture rebuilt (unless the
// caller rebuilds it after changing more). Points at one place share a
// vertex of the triangulation (the first of them is drawn).
// Each vertex is plotted at its pseudo-depth (AxisY, growing downward), or
// over a Surface (points by rising x, not empty) at the surface's elevation
// below its midpoint less its pseudo-depth (AxisY the elevation, the
// picture's Z its negative); a placed point at its Elevation (AxisY the
// elevation, with a surface or without).
void FillPseudoSection(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                       const std::vector<double>& Values, bool Rebuild = true,
                       const std::vector<TGeometryPoint>& Surface = {});

// The colours as pseudo-sections are drawn in the field: low values blue,
// through green and yellow, high values red (a conductor blue, a resistor
// red; a polarizable body red).
void UseFieldColours(TPseudoSection2d& Chart);

// After FillPseudoSection: the levels spread over Min..Max instead of the
// chart's own data range (logarithmic when Min is above 0), so that charts
// given one range colour equal values alike.
void SetPseudoSectionRange(TPseudoSection2d& Chart, double Min, double Max);

// After FillPseudoSection: a linear scale symmetric about 0 (limits ± the
// largest |value|, an even number of levels so that a band is centred on
// 0) with colours running from blue through white at 0 to red.
void UseDivergingScale(TPseudoSection2d& Chart);

// The chart's colour bar in its right margin (drawn after the chart, from
// OnAfterDraw): one box per band beside the plot's height, lowest at the
// bottom, the levels written between them as room allows, Unit over the
// bar. Nothing while the chart's ShowColorBar is off, it has no bands or
// data, or its plot is too low for a box of 2 pixels a band.
void DrawPseudoSectionColorBar(TPseudoSection2d& Chart, const QString& Unit);

// A pseudo-section chart as the modelling windows show one: field colours,
// bands without contour lines, pseudo-depth growing downwards, the data
// points as dots sized to their spacing on screen at every drawing
// (SizeDatumMarks), a line series for the ground surface, a right margin
// for the colour bar, its picture drawn through Metafile (which must
// outlive the chart).
TPseudoSection2d* CreateFieldPseudoSection(const QString& Title, TMetafile& Metafile);

// The width in pixels of the data's dots where distinct midpoints lie
// GapPixels apart on the chart: 40 % of the gap, at most MaxDatumMarkPixels;
// 0 (no dots, the colours alone) where that is below MinDatumMarkPixels:
// dots closer than that would hide the colours between them.
inline constexpr int MinDatumMarkPixels = 2;
inline constexpr int MaxDatumMarkPixels = 6;
int DatumMarkPixels(double GapPixels);

// Sizes the dots of a chart CreateFieldPseudoSection made to its layout:
// DatumMarkPixels of the median gap between distinct midpoints as the
// bottom axis lays them out (the dots hidden at 0); for placed points the
// smaller of that and the median gap between their distinct elevations on
// the vertical axis (MinDatumMarkPixels at least where they stand in one
// column, which no triangle colours). The chart calls it before it draws
// its series, so a resized chart resizes its dots.
void SizeDatumMarks(TPseudoSection2d& Chart);

// Whether a surface line has relief: some point's elevation differs from
// another's.
bool SurfaceHasRelief(const std::vector<TGeometryPoint>& Surface);

// Fills a chart CreateFieldPseudoSection made (FillPseudoSection), its x
// axis over Left .. Right, and the picture rebuilt (unless the caller
// rebuilds it after changing more: each picture drawn once).
// Without a Surface: the vertical axis is pseudo-depth, down to a little
// below DeepestPoint. With one (points by rising x): each datum hangs from
// the ground below its midpoint (plotted at the surface's elevation there
// less its pseudo-depth), the surface drawn as a line over the chart and
// the vertical axis the elevation, growing upwards. Placed points
// (PlacedPseudoPoints) stand at their elevations on an elevation axis from
// a little below the lowest to a little above the highest point or ground,
// the surface drawn when given.
void ShowFieldPseudoSection(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                            const std::vector<double>& Values, double Left, double Right, double DeepestPoint,
                            const std::vector<TGeometryPoint>& Surface, bool Rebuild = true);
// The same without a surface: pseudo-depth below a level ground.
void ShowFieldPseudoSection(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                            const std::vector<double>& Values, double Left, double Right, double DeepestPoint,
                            bool Rebuild = true);

// The vertical axis value the chart plots its Point-th point at (from 0):
// its elevation over a surface, else its pseudo-depth; Depth when the
// chart holds no such point.
double PlottedVertical(const TPseudoSection2d& Chart, size_t Point, double Depth);

// The vertical axis values data at Points would be plotted at on the chart
// as last shown, whether the chart holds them or not: over the surface the
// chart draws, the ground's elevation there less the pseudo-depth, else
// the pseudo-depth; a placed point's elevation.
std::vector<double> PlottedVerticals(const TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points);

} // namespace lp
