#pragma once
// The axis window as the section shows it ("Left axis edit", ...): the
// section file keeps of its axes only the model area, which the axes'
// limits show (the bottom and top axis its left and right edge, the left
// and right axis its bottom; its top stays where the section began). The
// controls that set anything else, the lower limit of the depth axes
// among them, are disabled in the section's axis windows, saying so in
// their tooltip (chart/editors/UnkeptSettings.h).

#include "chart/editors/UnkeptSettings.h"

namespace lp {

class TChartAxis;

// What the section file does not keep of Axis; nothing for an axis of
// another chart. Of an axis other than the four side axes nothing is kept.
TUnkeptSettings SectionUnkeptAxisSettings(const TChartAxis& Axis);

} // namespace lp
