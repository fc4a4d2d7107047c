#pragma once
// What the inversion's setup (section/inversion/InversionSetup.h) takes from
// the drawn section and the well-log files, read through the editor's
// types: the logs as resistivity logs, the regions marked as water with the
// resistivity each is held at.

#include "section/editor/Carotage.h"
#include "section/forward/ForwardModel.h"
#include "section/inversion/SurveyInversion.h"
#include "section/model/Polygons.h"

#include <optional>
#include <vector>

namespace lp {

// A well log overlaid on the section as the inversion's log of resistivity:
// its samples at x = its position, elevation = minus its depth, the values
// as read (a logarithmic log's taken back from their logarithms; a log
// normalised to its group read again from its file, unshifted). Name: its
// caption, else its file's name. Refused (EForwardError naming the log, its
// file and the line) a sample whose value is no number or, as a
// resistivity, 0 or below: the reader drops those for drawing.
TWellLog WellLogOf(const carotagedata& Log);

// Whether a ring of Model is marked as water.
bool SectionHasWater(const AllSpolygon& Model);

// Per region of Section (prepared from Model), the resistivity a body of
// water is held at; none for a region that is not water.
std::vector<std::optional<double>> WaterRegions(const TForwardModel& Section, const AllSpolygon& Model);


} // namespace lp
