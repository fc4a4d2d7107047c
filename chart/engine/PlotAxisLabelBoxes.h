#pragma once
// Label boxes shared by axes drawn into one area.
//
// An axis leaves out a label that would overlap a label it drew before.
// Axes that meet (the radial axes of a polar chart, all starting at the
// centre) can share one list of label boxes: while a list is set for an
// axis, its labels also keep clear of every box in the list, and each label
// it draws adds its box (control pixels).

#include "platform/graphics/GraphicsTypes.h"

#include <vector>

namespace lp {

class TChartAxis;

// Boxes is owned by the caller and must outlive the axis' drawings while it
// is set; nullptr ends the sharing.
void SetSharedLabelBoxes(const TChartAxis& Axis, std::vector<TRect>* Boxes);

} // namespace lp
