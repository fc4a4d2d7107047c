#pragma once
// Small helpers shared by the chart tools (their exclusive-or overlays are
// PlotBufferOverlay's).

namespace lp {

class TChartSeries;
class TChartValueList;

// The series' visible points: First = its first visible index (at least
// 0), Last = its last visible index when that lies within the points, else
// the last point. First > Last without points.
void VisibleRange(const TChartSeries& Series, int& First, int& Last);

// The series' value list named "Z" (ignoring case); nullptr when it has none.
TChartValueList* ZValueList(const TChartSeries& Series);

// A transparency percentage of a tool: ERangeError outside 0 .. 100.
void CheckTransparency(int Value);

} // namespace lp
