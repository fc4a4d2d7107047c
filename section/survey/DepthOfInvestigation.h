#pragma once
// How deep a configuration sees: the depth above which half of its
// sensitivity over a homogeneous ground lies (the pole-pole terms of its
// electrodes along the line). The pseudo-section plots its data there and
// the inversion's cells reach below the deepest.

#include "section/survey/Survey.h"

namespace lp {

// The median depth of investigation of one configuration; 0 when its
// electrodes measure nothing over a homogeneous ground.
double MedianDepthOfInvestigation(const TSurvey& Survey, const TConfiguration& Configuration);

} // namespace lp
