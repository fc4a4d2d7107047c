// The bar styles' shapes in either orientation, written once across and
// along the bar.

#include "chart/engine/PlotBarShape.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotRoutines.h"

#include <array>
#include <cstdint>

namespace lp {

namespace {

// The pyramids and cones: their apex at the head, or at the tail for the
// inverted styles.
bool PointsToHead(TBarStyle Style)
{
    return Style == bsPyramid || Style == bsCone;
}

bool IsTriangle(TBarStyle Style)
{
    return Style == bsPyramid || Style == bsCone || Style == bsInvPyramid || Style == bsInvCone;
}

// The diamond through the middles of the bar's sides.
std::array<TPoint, 4> Diamond(const TBarGeometry& Bar)
{
    const int Mid = Bar.AcrossMiddle();
    const int MidAlong = Bar.AlongMiddle();
    return {Bar.Point(Mid, Bar.Start), Bar.Point(Bar.AcrossEnd, MidAlong), Bar.Point(Mid, Bar.End),
            Bar.Point(Bar.AcrossStart, MidAlong)};
}

// The arrow along the bar's middle from its tail to its head (inverted:
// the other way), the head as wide as the bar and half as long.
void DrawArrow(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, bool Inverted, int Z)
{
    const int Mid = Bar.AcrossMiddle();
    const TPoint Tail = Bar.Point(Mid, Bar.Tail());
    const TPoint Head = Bar.Point(Mid, Bar.Head());
    Canvas.ArrowDefault(true, Inverted ? Head : Tail, Inverted ? Tail : Head, Bar.Width(), Bar.Width() / 2, Z);
}

// The rectangle styles in 2-D: a solid bar without width or length is a
// line in the bar colour; one thinner than the pen gets the pen in that
// colour.
void DrawFlatRectangle(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, const TChartPen& Pen, TColor Color)
{
    const bool Solid = Canvas.Brush()->Style() == TBrush::bsSolid;
    const bool NoWidth = Bar.Width() <= 1;
    if (Solid && (NoWidth || Bar.End == Bar.Start)) {
        Canvas.AssignVisiblePenColor(Pen, Color);
        Canvas.Pen()->SetStyle(TPen::psSolid);
        const TPoint From = Bar.Point(Bar.AcrossStart, Bar.Start);
        const TPoint To = NoWidth ? Bar.Point(Bar.AcrossStart, Bar.End) : Bar.Point(Bar.AcrossEnd, Bar.Start);
        Canvas.Line(From.X, From.Y, To.X, To.Y);
        return;
    }
    const int PenWidth = Pen.Visible() ? Pen.Width() : 0;
    if (Solid && (Bar.Width() < PenWidth || Bar.End - Bar.Start < PenWidth)) {
        Canvas.AssignVisiblePenColor(Pen, Color);
        Canvas.Pen()->SetStyle(TPen::psSolid);
    }
    const TRect R = Bar.Rect();
    Canvas.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
}

void DrawShape2D(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, TBarStyle Style, const TBarDepth& Depth,
                 const TChartPen& Pen, TColor Color)
{
    const TRect R = Bar.Rect();
    switch (Style) {
    case bsPyramid:
    case bsCone:
    case bsInvPyramid:
    case bsInvCone: {
        const int Base = PointsToHead(Style) ? Bar.Tail() : Bar.Head();
        const int Apex = PointsToHead(Style) ? Bar.Head() : Bar.Tail();
        const std::array<TPoint, 3> P{Bar.Point(Bar.AcrossStart, Base), Bar.Point(Bar.AcrossMiddle(), Apex),
                                      Bar.Point(Bar.AcrossEnd, Base)};
        Canvas.Polygon(P, 2);
        break;
    }
    case bsEllipse: Canvas.Ellipse(R.Left, R.Top, R.Right, R.Bottom); break;
    case bsArrow:
    case bsInvArrow: DrawArrow(Canvas, Bar, Style == bsInvArrow, Depth.Middle); break;
    case bsDiamond: Canvas.Polygon(Diamond(Bar), 3); break;
    case bsSlantCube: {
        Canvas.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
        const TPoint From = Bar.Point(Bar.AcrossMiddle(), Bar.Start);
        const TPoint To = Bar.Point(Bar.AcrossMiddle(), Bar.End);
        Canvas.Line(From.X, From.Y, To.X, To.Y);
        break;
    }
    default: DrawFlatRectangle(Canvas, Bar, Pen, Color); break;
    }
}

void DrawShape3D(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, TBarStyle Style, const TBarDepth& Depth)
{
    const TRect R = Bar.Rect();
    // Given from Start to End, the canvas' pyramids and cones point to the
    // head (up, or right); given the other way round, to the tail.
    const TRect ToHead = Bar.RectAlong(Bar.Start, Bar.End);
    const TRect ToTail = Bar.RectAlong(Bar.End, Bar.Start);
    switch (Style) {
    case bsPyramid:
    case bsInvPyramid: {
        const TRect P = Style == bsPyramid ? ToHead : ToTail;
        Canvas.Pyramid(Bar.Vertical, P.Left, P.Top, P.Right, P.Bottom, Depth.Start, Depth.End, Depth.Dark3D);
        break;
    }
    case bsCone:
    case bsInvCone: {
        const TRect P = Style == bsCone ? ToHead : ToTail;
        Canvas.Cone(Bar.Vertical, P.Left, P.Top, P.Right, P.Bottom, Depth.Start, Depth.End, Depth.Dark3D, 0);
        break;
    }
    case bsCilinder:
        Canvas.Cylinder(Bar.Vertical, R.Left, R.Top, R.Right, R.Bottom, Depth.Start, Depth.End, Depth.Dark3D);
        break;
    case bsEllipse: Canvas.EllipseWithZ(R.Left, R.Top, R.Right, R.Bottom, Depth.Middle); break;
    case bsArrow:
    case bsInvArrow: DrawArrow(Canvas, Bar, Style == bsInvArrow, Depth.Middle); break;
    case bsDiamond: Canvas.PolygonWithZ(Diamond(Bar), Depth.Middle); break;
    default: Canvas.Cube(R.Left, R.Right, R.Top, R.Bottom, Depth.Start, Depth.End, Depth.Dark3D); break;
    }
}

// The line across the bar at pixel Along, from Across0 to Across1.
void AcrossLine(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, int Across0, int Across1, int Along, int Z)
{
    if (Bar.Vertical)
        Canvas.HorizLine3D(Across0, Across1, Along, Z);
    else
        Canvas.VertLine3D(Along, Across0, Across1, Z);
}

// Whether the side face at Across turns towards the viewer (its projected
// corners run clockwise).
bool SideFaceShows(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, int Across, const TBarDepth& Depth)
{
    const TPoint A = Canvas.Calculate3DPoint(Bar.Point(Across, Bar.Start), Depth.Start);
    const TPoint B = Canvas.Calculate3DPoint(Bar.Point(Across, Bar.Start), Depth.End);
    const TPoint C = Canvas.Calculate3DPoint(Bar.Point(Across, Bar.End), Depth.End);
    return 1LL * (B.X - A.X) * (C.Y - A.Y) - 1LL * (B.Y - A.Y) * (C.X - A.X) > 0;
}

} // namespace

int TBarGeometry::AcrossMiddle() const
{
    return static_cast<int>((int64_t{AcrossStart} + AcrossEnd) / 2);
}

int TBarGeometry::AlongMiddle() const
{
    return static_cast<int>((int64_t{Start} + End) / 2);
}

void DrawBarShape(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, TBarStyle Style, bool Is3D, const TBarDepth& Depth,
                  const TChartPen& Pen, TColor Color)
{
    if (Is3D)
        DrawShape3D(Canvas, Bar, Style, Depth);
    else
        DrawShape2D(Canvas, Bar, Style, Depth, Pen, Color);
}

bool BarStyleHasTickLines(TBarStyle Style)
{
    return Style == bsRectangle || Style == bsArrow || Style == bsRectGradient || Style == bsBevel;
}

void DrawBarTickLines(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, TBarStyle Style, bool Is3D,
                      const TBarDepth& Depth, const std::vector<int>& Ticks)
{
    if (!BarStyleHasTickLines(Style))
        return;
    int A0 = Bar.AcrossStart;
    int A1 = Bar.AcrossEnd;
    if (Style == bsArrow) {
        const int Quarter = Bar.Width() / 4;
        A0 += Quarter;
        A1 -= Quarter;
    }
    // The right face of a vertical bar, the top face of a horizontal one.
    const int Face = Bar.Vertical ? Bar.AcrossEnd : Bar.AcrossStart;
    const bool DepthLines = Is3D && Style != bsArrow && SideFaceShows(Canvas, Bar, Face, Depth);
    for (const int Pos : Ticks) {
        if (Pos <= Bar.Start || Pos >= Bar.End)
            continue;
        AcrossLine(Canvas, Bar, A0, A1, Pos, Depth.Start);
        if (DepthLines) {
            const TPoint P = Bar.Point(Face, Pos);
            Canvas.ZLine3D(P.X, P.Y, Depth.Start, Depth.End);
        }
    }
}

bool BarShapeContains(TPlotCanvas3D& Canvas, const TBarGeometry& Bar, TBarStyle Style, bool Is3D,
                      const TBarDepth& Depth, const TPoint& P)
{
    if (IsTriangle(Style)) {
        const int Base = PointsToHead(Style) ? Bar.Tail() : Bar.Head();
        const int Apex = PointsToHead(Style) ? Bar.Head() : Bar.Tail();
        const TPoint A = Bar.Point(Bar.AcrossStart, Base);
        const TPoint B = Bar.Point(Bar.AcrossMiddle(), Apex);
        const TPoint C = Bar.Point(Bar.AcrossEnd, Base);
        if (!Is3D) {
            const int Across = Bar.Vertical ? P.X : P.Y;
            return Across >= Bar.AcrossStart && Across <= Bar.AcrossEnd && PointInTriangle(P, A, B, C);
        }
        const std::array<TPoint, 3> Tri{Canvas.Calculate3DPoint(A, Depth.Start),
                                        Canvas.Calculate3DPoint(B, Depth.Middle),
                                        Canvas.Calculate3DPoint(C, Depth.Start)};
        return PointInPolygon(P, Tri);
    }
    if (Style == bsEllipse) {
        const TRect R = Is3D ? Canvas.CalculateRect3D(Bar.Rect(), Depth.Middle) : Bar.Rect();
        return PointInEllipseRect(P, R);
    }
    int X = P.X;
    int Y = P.Y;
    if (Is3D)
        Canvas.Calculate2DPosition(X, Y, Depth.Start);
    const TRect R = Bar.Rect();
    return X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom;
}

} // namespace lp
