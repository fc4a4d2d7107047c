#pragma once
// The holes a survey's electrodes stand in: electrodes below the ground's
// surface grouped by x, for the windows that draw and list them.
//
// A hole is a run of two or more used electrodes whose x lie within
// HoleTolerance of their neighbour's (sorted by x), at least one of them
// buried (Depth above 0): a lone buried electrode (on a lake's bottom) is
// none. An electrode on the surface at a hole's x (its top electrode, which a
// file of holes alone puts on the ground) belongs to the hole. Holes are
// numbered from 1 by rising x, their electrodes listed from the top down.

#include "section/survey/Survey.h"

#include <vector>

namespace lp {

struct TElectrodeHole {
    double X = 0.0;              // the mean x of its electrodes
    std::vector<int> Electrodes; // the survey's indexes, from the highest down
};

// How close two electrodes' x must lie to stand in one hole, in smallest
// distances between the survey's buried electrodes in the section's plane
// (a hole drilled a little off the vertical keeps its electrodes).
inline constexpr double HoleShare = 0.25;

// The largest distance along x between neighbouring electrodes of one hole:
// HoleShare of the smallest plane distance between buried electrodes (a
// billionth of the electrodes' span at least); 0 without a buried one.
double HoleTolerance(const TSurvey& Survey);

// The holes of the electrodes the configurations use; empty when none is
// buried.
std::vector<TElectrodeHole> ElectrodeHoles(const TSurvey& Survey);

// The median gap between neighbouring electrodes down the holes; 0 with no
// hole of two electrodes at distinct elevations.
double HoleSpacing(const TSurvey& Survey, const std::vector<TElectrodeHole>& Holes);

} // namespace lp
