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
};

// The section a survey starts: the frame, the relief (the file's topography
// points, else the elevations of the electrodes on the surface when the
// file gives them, level beyond the outermost point; a buried electrode
// stays below it), the host's resistivity. Raises EForwardError when the
// data use electrodes at fewer than two places and in no hole, a position
// is not a finite number, or no apparent resistivity is above 0.
TDataSection SectionFromData(const TMeasuredData& Data);

// The median of the data's apparent resistivities above 0 (the mean of the
// middle two of an even count). Raises EForwardError when none is.
double MedianPositiveResistivity(const TMeasuredData& Data);

// The section's model: the frame of the area with the relief as its
// surface and the host ring at the host's resistivity, nothing drawn in it.
TSectionModel DataSectionModel(const TDataSection& Section);

} // namespace lp
