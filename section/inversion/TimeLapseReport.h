#pragma once
// What a monitoring series tells beyond its images, the same for the
// command line and the Time-lapse window:
//
//   InvertTimeLapse's Finished callback (a step's TSurveyInversion)
//       ──FinishedStep──> the step's change, its χ² and changed share, as the step ends
//   a finished TTimeLapseStep
//       ──FormatStepTable──> its cell table, with the change's standard
//                            deviation when the step gives one
//
// The callback hands over a step's inversion alone; FinishedStep forms
// from it what TTimeLapseStep holds by its contract (TimeLapseInversion.h)
// so that a step's numbers can be shown as it ends. The series' result
// (its Steps) stays the reference: it alone carries the change's
// uncertainty and the data each step used.

#include "section/inversion/TimeLapseInversion.h"

#include <string>

namespace lp {

// The step of Inversion (a later survey's, K ≥ 1) against Baseline's
// image: ChangePercent per cell, ChangeChiSquare its last iteration's χ²,
// ChangedShare by its coverage; Used and ChangeUncertainty left empty.
// Raises EForwardError when the two images differ in cells.
TTimeLapseStep FinishedStep(const TSurveyInversion& Baseline, const TSurveyInversion& Inversion);

// FormatChangeTable's table; when the step gives the change's uncertainty,
// a last column change_sd_percent (its standard deviation in per cent)
// too. Raises EForwardError as FormatChangeTable does, and when the
// uncertainty does not match the mesh or a value is negative or not a
// finite number: nothing is formed then.
std::string FormatStepTable(const TInversionMesh& Mesh, const TTimeLapseStep& Step);

} // namespace lp
