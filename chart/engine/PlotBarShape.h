#pragma once
// The shapes of the bar styles in either orientation: drawing in 2-D and
// 3-D, the lines of the value axis' ticks across a bar, and the hit test.
//
// A bar is described across and along: across is the category axis (the
// horizontal axis for vertical bars, the vertical one for horizontal bars),
// along is the value axis. The shapes are written once in those terms; the
// geometry turns an (across, along) pair into a pixel. Vertical bars point
// up (their head is the smaller pixel along), horizontal bars point right
// (their head is the larger pixel along), so pyramids, cones and arrows
// point up or right whatever the sign of the value, and their inverted
// styles the other way.
//
// Bar series use these routines for both of their classes; series of other
// kinds that draw bars or boxes in either orientation can use them too.

#include "chart/engine/PlotBarSeries.h"

#include <vector>

namespace lp {

class TPlotCanvas3D;

// One bar in pixels. Across: AcrossStart <= AcrossEnd (left .. right of a
// vertical bar, top .. bottom of a horizontal one); along the value axis:
// Start <= End.
struct TBarGeometry {
    bool Vertical = true;
    int AcrossStart = 0;
    int AcrossEnd = 0;
    int Start = 0;
    int End = 0;

    // The pixel at Across on the category axis and Along on the value axis.
    TPoint Point(int Across, int Along) const { return Vertical ? TPoint{Across, Along} : TPoint{Along, Across}; }
    // The rectangle across the bar's width from Along0 to Along1 (left,
    // top, right, bottom as the orientation places them).
    TRect RectAlong(int Along0, int Along1) const
    {
        return Vertical ? TRect{AcrossStart, Along0, AcrossEnd, Along1} : TRect{Along0, AcrossStart, Along1, AcrossEnd};
    }
    TRect Rect() const { return RectAlong(Start, End); }
    // The end a pyramid's apex and an arrow's head point to, and the other.
    int Head() const { return Vertical ? Start : End; }
    int Tail() const { return Vertical ? End : Start; }
    int AcrossMiddle() const;
    int AlongMiddle() const;
    int Width() const { return AcrossEnd - AcrossStart; }
};

// The depths of a bar in 3-D and whether its sloping faces are darkened.
struct TBarDepth {
    int Start = 0;
    int Middle = 0;
    int End = 0;
    bool Dark3D = true;
};

// Draws Style over Bar with the canvas' current pen and brush, in 3-D when
// Is3D (at Depth). A rectangle drawn with a solid brush that has no width
// or no length becomes a line in Color, and one thinner than Pen's width
// gets the pen in Color, so that every bar shows.
void DrawBarShape(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, TBarStyle Style, bool Is3D, const TBarDepth& Depth,
                  const TChartPen& Pen, TColor Color);

// The styles that show the value axis' ticks across their bars.
bool BarStyleHasTickLines(TBarStyle Style);

// The lines across Bar at the tick pixels strictly inside Start .. End, in
// the canvas' current pen, for the styles that show them (rectangle, arrow,
// gradient, bevel; an arrow's lines a quarter shorter at each end). In 3-D
// the rectangle styles also get the line along the depth on the side face
// that turns towards the viewer (the right face of a vertical bar, the top
// face of a horizontal one).
void DrawBarTickLines(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, TBarStyle Style, bool Is3D,
                      const TBarDepth& Depth, const std::vector<int>& Ticks);

// Whether P (a pixel of the canvas) lies on the shape of Style over Bar:
// the triangle of the pyramids and cones, the ellipse, else the rectangle
// (in 3-D P is first taken back to the bar's front).
bool BarShapeContains(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, TBarStyle Style, bool Is3D,
                      const TBarDepth& Depth, const TPoint& P);

} // namespace lp
