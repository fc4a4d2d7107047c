#pragma once
// Helpers shared by the chart tools.
//
// Erasable overlays of the interactive tools (cursor lines, dragged lines,
// nearest-point markers): drawn twice with an exclusive-or pen between
// paints, so that moving them never repaints the chart.
//
// Nothing paints outside a paint event: on a buffered chart the overlay is
// drawn into the chart's buffer and the window is asked to show the buffer
// again (the chart itself is not redrawn). A chart without a window draws
// onto the target its canvas is bound to (an export or test device). An
// unbuffered chart with a window keeps no pixels between paints, so no
// overlay can be shown there; nothing is drawn.

#include "platform/graphics/GraphicsTypes.h"

#include <functional>

namespace lp {

class TCanvas3D;
class TCustomAxisPanel;
class TChartSeries;
class TChartValueList;

// Runs Draw on the chart's canvas where an overlay can live (see above);
// false when nothing was drawn.
bool DrawChartOverlay(TCustomAxisPanel& Chart, const std::function<void(TCanvas3D& Canvas)>& Draw);

// The pen colour that stays visible when drawn exclusive-or over the
// chart's background: Color xor the RGB value of the chart's Color (the
// button-face colour when the chart has none of its own).
TColor XorPenColor(const TCustomAxisPanel& Chart, TColor Color);

// The series' visible points: First = its first visible index (at least
// 0), Last = its last visible index when that lies within the points, else
// the last point. First > Last without points.
void VisibleRange(const TChartSeries& Series, int& First, int& Last);

// The series' value list named "Z" (ignoring case); nullptr when it has none.
TChartValueList* ZValueList(const TChartSeries& Series);

// A transparency percentage of a tool: ERangeError outside 0 .. 100.
void CheckTransparency(int Value);

} // namespace lp
