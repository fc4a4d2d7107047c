#pragma once
// A new section started from a measured survey (File > New from data...,
// the inversion window's New section from data): the model area frames the
// survey, the ground's surface follows the file's topography and the host
// medium takes the data's median apparent resistivity, so the forward
// window, Fit regions and the inversion work on it at once.
//
//   TMeasuredData ──SectionFromData──> TDataSection ──DataSectionModel──> TSectionModel
//
// Coordinates as the section's: x along the line; the area's y is the depth,
// minus the elevation, so the file's elevations stay the section's own and
// the electrodes stand on its surface where the file puts them.

#include "section/editor/SectionFile.h"
#include "section/model/ModelGeometry.h"
#include "section/survey/MeasuredData.h"

#include <vector>

namespace lp {

// With electrodes in holes (ElectrodeHoles): how far the area reaches
// beyond the outermost electrodes and below the deepest, in spacings down
// the holes.
inline constexpr double HoleFrameMargin = 3.0;

// A run of electrodes on a lake's or river's bottom: electrodes lying
// below the straight line between the electrode before and the one after
// them, by more than a tenth of the smallest electrode spacing, those two
// (the shores) at one level within that tenth or a quarter of the water's
// depth (the run's greatest depth below the line). Walking from the left,
// a run starts at the first drop below an electrode's level and ends at
// the first electrode back at that level, so land sloping down to the
// water on both sides is taken in from where it stands at one level. The
// water's surface is the line between the shores; the bottom runs through
// the run's electrodes.
struct TDataLake {
    TGeometryPoint Shore1, Shore2;       // x, elevation: the water's surface between them
    std::vector<TGeometryPoint> Bottom;  // the run's electrodes by rising x
};

// The lakes of the ground the electrodes give (Ground: x, elevation, by
// rising x, one point per x), left to right, none overlapping.
std::vector<TDataLake> LakesOfGround(const std::vector<TGeometryPoint>& Ground);

struct TDataSection {
    // Left and right: the first and the last electrode the data use (one
    // no datum uses counts not), widened by two median electrode spacings
    // (HoleFrameMargin spacings down the holes with electrodes in holes);
    // top: minus the highest ground; bottom: deep enough for what the data
    // see (SectionFromData says how deep), and HoleFrameMargin spacings
    // below the deepest hole electrode.
    TModelArea Area;
    // The ground surface from Area.left to Area.right, x strictly
    // increasing, y the elevation; empty where the ground is level (at
    // minus Area.top).
    std::vector<TGeometryPoint> Relief;
    double HostResistivity = 0.0; // ohm-m: the median of the data's ρa above 0
    // The lakes over which Relief is the water's surface (LakesOfGround of
    // the electrodes' ground); empty when the file gives a topography.
    std::vector<TDataLake> Lakes;
};

// The section a survey starts: the frame, the relief (the file's topography
// points, else the elevations of the electrodes on the surface when the
// file gives them, level beyond the outermost point; a buried electrode
// stays below it), the host's resistivity. Raises EForwardError when the
// data use electrodes at fewer than two places and in no hole, a position
// is not a finite number, or no apparent resistivity is above 0.
// With Lakes false, a run of electrodes below their neighbours is ground
// (a valley), no lake (the user's answer to LakesText's question).
TDataSection SectionFromData(const TMeasuredData& Data, bool Lakes = true);

// The median of the data's apparent resistivities above 0 (the mean of the
// middle two of an even count). Raises EForwardError when none is.
double MedianPositiveResistivity(const TMeasuredData& Data);

// The section's model: the frame of the area with the relief as its
// surface and the host ring at the host's resistivity; each lake a body of
// one ring from the water's surface down to its bottom, labelled "Water",
// marked as water, its resistivity not set (the user types the measured
// one). Raises EForwardError when a lake's ring breaks the model's rules.
TSectionModel DataSectionModel(const TDataSection& Section);

// "Electrodes at x 26 to 50 lie below the electrodes beside them (x 24 and
// 52): ..." for the lakes framed, empty without any: what the window says.
QString LakesText(const TDataSection& Section);

} // namespace lp
