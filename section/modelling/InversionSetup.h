#pragma once
// What an inversion of measured data starts from, for the command line and
// the inversion window alike: the parameter mesh over the survey (within
// a drawn section's model area, on its relief), and the section's part in it,
// its boundaries cutting the smoothness and its resistivities as the
// starting model.
//
//   TMeasuredData (+ a drawn section) ──InversionMeshFor──> TInversionMesh
//                                     ──UseSectionInInversion──> TSurveyInversionOptions

#include "section/forward/ForwardModel.h"
#include "section/inversion/InversionMesh.h"
#include "section/survey/MeasuredData.h"
#include "section/inversion/SurveyInversion.h"

namespace lp {

// The median of the data's apparent resistivities (the data hold at least
// one datum). Raises EForwardError for data of ρa 0 or below
// (RequirePositiveResistivities).
double MedianResistivity(const TMeasuredData& Data);

// The ground surface the data give, points by rising x: the file's
// topography, else the electrodes' elevations (level where there are none).
std::vector<TGeometryPoint> MeasuredSurface(const TMeasuredData& Data);

// The parameter mesh over the survey's frame (SurveyFrame): the electrodes' span padded
// by two spacings (within the section's model area, with its relief, when
// a section is given; else with the data's surface). Raises EForwardError
// when the data use electrodes at fewer than two places, use one far beyond
// the rest (StrayElectrode; named by the file's line), reach beyond the
// section's model area, or when the memory cannot hold an inversion on the
// mesh (RefuseInversionBeyondMemory, before it is laid).
TInversionMesh InversionMeshFor(const TMeasuredData& Data, const TForwardModel* Section);

// With Constrain, the section's regions cut the smoothness; with
// StartFromSection, each cell starts from the resistivity of the region
// holding its centre (cells outside every region: the data's median).
void UseSectionInInversion(const TInversionMesh& Mesh, const TForwardModel& Section, const TMeasuredData& Data,
                           bool Constrain, bool StartFromSection, TSurveyInversionOptions& Options);

} // namespace lp
