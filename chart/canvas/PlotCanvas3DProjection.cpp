// TPlotCanvas3D: the projection of chart points and the 3-D primitives.
//
// Faces of the solids are told visible by the turn of their projected
// corners. Each face lists its corners in a fixed order about its outward
// normal (chart space: X right, Y down, Z away from the viewer); a face whose
// corners run counter-clockwise about that normal faces the viewer when they
// turn counter-clockwise on the screen. A solid given with a reversed extent
// (Right < Left, say) is the mirror image and reverses every face.

#include "chart/canvas/PlotCanvas3D.h"

#include "chart/canvas/PlotCanvas3D_p.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace lp {

using canvas3d::Clockwise;
using canvas3d::HeldProjected;
using canvas3d::ProjectedPixel;
using canvas3d::SetFourPoints;
using canvas3d::SignedArea2;

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The arc of a 3-D pie: one point per 2 degrees, at most this many.
constexpr int kPieMaxPoints = 96;

int GConeSegments = 16;

// The device pen for the scope (a null pen, say); the canvas pen's device
// pen comes back at the end. The canvas pen object itself is not touched,
// so an explicit device pen it carries survives.
class TDevicePenScope {
public:
    TDevicePenScope(TDeviceContext& DC, const TPen& CanvasPen, const TLogPen& Pen) : FDC(DC), FCanvasPen(CanvasPen)
    {
        FDC.SelectPen(Pen);
    }
    ~TDevicePenScope() { FDC.SelectPen(FCanvasPen.LogPen()); }
    TDevicePenScope(const TDevicePenScope&) = delete;
    TDevicePenScope& operator=(const TDevicePenScope&) = delete;

private:
    TDeviceContext& FDC;
    const TPen& FCanvasPen;
};

int Sign(__int128 Value)
{
    return Value > 0 ? 1 : (Value < 0 ? -1 : 0);
}

} // namespace

int ConeSegments()
{
    return GConeSegments;
}

void SetConeSegments(int Value)
{
    if (Value < 3)
        RaiseRangeError("A cone needs at least 3 segments, not %d", {ArgText(static_cast<long long>(Value))});
    GConeSegments = Value;
}

// --- Set-up ------------------------------------------------------------------------------------------

TRect TPlotCanvas3D::InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor BackColor, bool AIs3D,
                                const TRect& ABounds)
{
    (void)BackColor;
    FBounds = ABounds;
    FView3DOptions = Options;
    if (Options)
        SetFontZoom(Options->FontZoom());
    FIs3D = AIs3D;
    FIsOrthogonal = false;
    FZoom3D = 1.0;
    if (AIs3D && Options) {
        FIsOrthogonal = Options->Orthogonal();
        if (FIsOrthogonal) {
            double angle = Options->OrthoAngle();
            if (angle > 90.0) {
                FOrthoSign = -1.0;
                angle = 180.0 - angle;
            } else {
                FOrthoSign = 1.0;
            }
            const double sine = std::sin(angle * kDegree);
            const double cosine = std::cos(angle * kDegree);
            // 90 degrees would shift depth infinitely far up.
            FOrthoRatio = cosine >= 0.01 ? sine / cosine : 1.0;
        }
        FZoom3D = Options->Zoom() * 0.01;
        FZoomText = Options->ZoomText();
    }
    if (AIs3D && !FIsOrthogonal)
        CalcTrigValues();
    return BindForPass(DestCanvas, ABounds);
}

void TPlotCanvas3D::CalcTrigValues()
{
    const TView3DOptions* options = View3DOptions();
    const double elevation = options ? -options->ElevationFloat() : 0.0;
    const double rotation = options ? -options->RotationFloat() : 0.0;
    const double tilt = options ? options->Tilt() : 0.0;
    FUsePerspective = false;
    FPerspectiveFactor = 0.0;
    FUseTilt = tilt != 0.0;
    FSinElevation = std::sin(elevation * kDegree);
    FCosElevation = std::cos(elevation * kDegree);
    FSinRotation = std::sin(rotation * kDegree);
    FCosRotation = std::cos(rotation * kDegree);
    FSinTilt = std::sin(tilt * kDegree);
    FCosTilt = std::cos(tilt * kDegree);

    // Without perspective the rotated projection is linear at a given depth:
    //   X' = a x + b y + z u,  Y' = c x + d y + z v   (times Zoom3D)
    // Its inverse is kept for Calculate2DPosition.
    const double se = FSinElevation, ce = FCosElevation;
    const double sr = FSinRotation, cr = FCosRotation;
    const double st = FSinTilt, ct = FCosTilt;
    const double a = ct * cr - st * se * sr;
    const double b = -st * ce;
    const double c = ct * se * sr + st * cr;
    const double d = ct * ce;
    const double u = ct * sr + st * se * cr;
    const double v = st * sr - ct * se * cr;
    const double determinant = a * d - b * c;
    FInvertible = std::fabs(determinant) > 1e-12;
    if (FInvertible)
        FInverseTerms = {d / determinant, -b / determinant, -c / determinant, a / determinant, u, v};
    else
        FInverseTerms = {0.0, 0.0, 0.0, 0.0, u, v};
}

void TPlotCanvas3D::SetProjection(int MaxDepth, const TRect& ABounds)
{
    int32_t centerX = 0;
    int32_t centerY = 0;
    RectCenter(ABounds, centerX, centerY);
    const TPointFloat3D offset = RotationCenter();
    FXCenter = Add32(centerX, RoundToInt32(offset.X));
    FYCenter = Add32(centerY, RoundToInt32(offset.Y));
    FZCenter = RoundToInt32(MaxDepth * 0.5 + offset.Z);
    FXCenterOffset = FXCenter;
    FYCenterOffset = FYCenter;
    if (const TView3DOptions* options = View3DOptions()) {
        // Any offset moves the view; a huge one takes it off the device.
        FXCenterOffset = HeldProjected(int64_t(FXCenterOffset) + options->HorizOffset());
        FYCenterOffset = HeldProjected(int64_t(FYCenterOffset) + options->VertOffset());
        CalcPerspective(ABounds);
    }
}

void TPlotCanvas3D::CalcPerspective(const TRect& ABounds)
{
    const TView3DOptions* options = View3DOptions();
    // The orthogonal projection has no perspective.
    FUsePerspective = !FIsOrthogonal && options->Perspective() > 0;
    if (FUsePerspective) {
        const int32_t width = std::max(Sub32(ABounds.Right, ABounds.Left), 1);
        FPerspectiveFactor = options->Perspective() * FZoom3D / 150.0 / width;
    }
}

// --- Projection --------------------------------------------------------------------------------------

TPoint TPlotCanvas3D::ProjectRotated(double x, double y, double z, bool Tilt) const
{
    const double zz = z * FCosRotation - x * FSinRotation;
    double scale = FZoom3D;
    if (FUsePerspective)
        scale = FZoom3D / ((FCosElevation * zz + y * FSinElevation) * FPerspectiveFactor + 1.0);
    const double xx = x * FCosRotation + z * FSinRotation;
    const double yy = y * FCosElevation - FSinElevation * zz;
    if (Tilt)
        return {ProjectedPixel((FCosTilt * xx - FSinTilt * yy) * scale, FXCenterOffset),
                ProjectedPixel((FCosTilt * yy + FSinTilt * xx) * scale, FYCenterOffset)};
    return {ProjectedPixel(xx * scale, FXCenterOffset), ProjectedPixel(yy * scale, FYCenterOffset)};
}

TPoint TPlotCanvas3D::Project(int X, int Y, int Z) const
{
    if (FIsOrthogonal) {
        // Depth enters as it is: 0 is the front plane.
        const double x = static_cast<double>(X) - FXCenter;
        const double y = static_cast<double>(Y) - FYCenter;
        return {ProjectedPixel((x + Z * FOrthoSign) * FZoom3D, FXCenterOffset),
                ProjectedPixel((y - Z * FOrthoRatio) * FZoom3D, FYCenterOffset)};
    }
    if (!FIs3D)
        return {X, Y};
    return ProjectRotated(static_cast<double>(X) - FXCenter, static_cast<double>(Y) - FYCenter,
                          static_cast<double>(Z) - FZCenter, FUseTilt);
}

TPoint TPlotCanvas3D::ProjectPoint(double X, double Y, double Z) const
{
    if (FIsOrthogonal)
        return {ProjectedPixel((X - FXCenter + Z * FOrthoSign) * FZoom3D, FXCenterOffset),
                ProjectedPixel((Y - FYCenter - Z * FOrthoRatio) * FZoom3D, FYCenterOffset)};
    if (!FIs3D)
        return {ProjectedPixel(X, 0), ProjectedPixel(Y, 0)};
    return ProjectRotated(X - FXCenter, Y - FYCenter, Z - FZCenter, true);
}

TPoint TPlotCanvas3D::Calculate3DPosition(int X, int Y, int Z) const
{
    return Project(X, Y, Z);
}

TPoint TPlotCanvas3D::Calculate3DPositionFloat(double X, double Y, int Z) const
{
    return ProjectPoint(X, Y, Z);
}

void TPlotCanvas3D::Calculate2DPosition(int& X, int& Y, int Z) const
{
    if (FZoom3D == 0.0)
        return;
    const double k = 1.0 / FZoom3D;
    if (FIsOrthogonal) {
        const double x = (static_cast<double>(X) - FXCenterOffset) * k - Z * FOrthoSign;
        const double y = (static_cast<double>(Y) - FYCenterOffset) * k + Z * FOrthoRatio;
        X = Add32(RoundToInt32(x), FXCenter);
        Y = Add32(RoundToInt32(y), FYCenter);
        return;
    }
    if (!FIs3D || !FInvertible)
        return;
    const double z = static_cast<double>(Z) - FZCenter;
    const double sx = (static_cast<double>(X) - FXCenterOffset) * k - z * FInverseTerms[4];
    const double sy = (static_cast<double>(Y) - FYCenterOffset) * k - z * FInverseTerms[5];
    const double x = FInverseTerms[0] * sx + FInverseTerms[1] * sy;
    const double y = FInverseTerms[2] * sx + FInverseTerms[3] * sy;
    X = Add32(RoundToInt32(x), FXCenter);
    Y = Add32(RoundToInt32(y), FYCenter);
}

void TPlotCanvas3D::DisableRotation()
{
    FSavedIs3D = FIs3D;
    FIs3D = false;
}

void TPlotCanvas3D::EnableRotation()
{
    FIs3D = FSavedIs3D;
}

// --- Helpers -----------------------------------------------------------------------------------------

TColor TPlotCanvas3D::BaseColor() const
{
    const TBrush& brush = *Brush();
    return brush.Style() == bsSolid ? brush.Color() : GetBackColor();
}

bool TPlotCanvas3D::BrushClear() const
{
    return Brush()->Style() == bsClear;
}

bool TPlotCanvas3D::PenClear() const
{
    return Pen()->Style() == psClear;
}

bool TPlotCanvas3D::FourPointsFace(bool CounterClockwise, bool Mirrored) const
{
    const __int128 area = SignedArea2(AsSpan(FFourPoints));
    const bool facing = CounterClockwise ? area < 0 : area > 0;
    return facing != Mirrored;
}

void TPlotCanvas3D::GradientPolygon(TCustomPlotGradient& Gradient, std::span<const TPoint> Points)
{
    const int count = static_cast<int>(Points.size());
    ClipPolygon(Points, count);
    Gradient.Draw(*this, PolygonBounds(Points, count), 0);
    UnClipRectangle();
    if (!PenClear()) {
        TDeviceContext& dc = GetHandle();
        dc.SelectBrush(NullBrush());
        dc.Polygon(Points.data(), count);
        dc.SelectBrush(Brush()->LogBrush());
    }
}

// --- Lines, points and text --------------------------------------------------------------------------

void TPlotCanvas3D::MoveTo3D(int X, int Y, int Z)
{
    const TPoint p = Project(X, Y, Z);
    GetHandle().MoveTo(p.X, p.Y);
}

void TPlotCanvas3D::LineTo3D(int X, int Y, int Z)
{
    const TPoint p = Project(X, Y, Z);
    GetHandle().LineTo(p.X, p.Y);
}

void TPlotCanvas3D::LineWithZ(int X0, int Y0, int X1, int Y1, int Z)
{
    const TPoint p0 = Project(X0, Y0, Z);
    const TPoint p1 = Project(X1, Y1, Z);
    TDeviceContext& dc = GetHandle();
    dc.MoveTo(p0.X, p0.Y);
    dc.LineTo(p1.X, p1.Y);
}

void TPlotCanvas3D::HorizLine3D(int Left, int Right, int Y, int Z)
{
    LineWithZ(Left, Y, Right, Y, Z);
}

void TPlotCanvas3D::VertLine3D(int X, int Top, int Bottom, int Z)
{
    LineWithZ(X, Top, X, Bottom, Z);
}

void TPlotCanvas3D::ZLine3D(int X, int Y, int Z0, int Z1)
{
    const TPoint p0 = Project(X, Y, Z0);
    const TPoint p1 = Project(X, Y, Z1);
    TDeviceContext& dc = GetHandle();
    dc.MoveTo(p0.X, p0.Y);
    dc.LineTo(p1.X, p1.Y);
}

TColor TPlotCanvas3D::GetPixel3D(int X, int Y, int Z) const
{
    const TPoint p = Project(X, Y, Z);
    return GetPixel(p.X, p.Y);
}

void TPlotCanvas3D::SetPixel3D(int X, int Y, int Z, TColor Color)
{
    const TPoint p = Project(X, Y, Z);
    if (Pen()->Width() != 1) {
        TDeviceContext& dc = GetHandle();
        dc.MoveTo(p.X, p.Y);
        dc.LineTo(p.X, p.Y);
    } else {
        SetPixel(p.X, p.Y, Color);
    }
}

void TPlotCanvas3D::TextOut3D(int X, int Y, int Z, const QString& Text)
{
    const TPoint p = Project(X, Y, Z);
    if (FZoomText && FZoom3D != 1.0) {
        const TFont& font = *Font();
        const int size = std::max(RoundToInt32(font.Size() * FZoom3D), 1);
        if (size != font.Size()) {
            TDeviceContext& dc = GetHandle();
            const TLogFont previous = dc.Font();
            TLogFont zoomed = font.LogFont();
            zoomed.Height = -MulDiv(size, font.PixelsPerInch(), 72);
            dc.SelectFont(zoomed);
            struct TRestore {
                TDeviceContext& DC;
                const TLogFont& Font;
                ~TRestore() { DC.SelectFont(Font); }
            } restore{dc, previous};
            TextOut(p.X, p.Y, Text);
            return;
        }
    }
    TextOut(p.X, p.Y, Text);
}

void TPlotCanvas3D::RotateLabel3D(int X, int Y, int Z, const QString& Text, double Angle)
{
    const TPoint p = Project(X, Y, Z);
    RotateLabel(p.X, p.Y, Text, Angle);
}

// --- Planes and polygons -----------------------------------------------------------------------------

void TPlotCanvas3D::RectangleWithZ(const TRect& Rect, int Z)
{
    FFourPoints[0] = Project(Rect.Left, Rect.Top, Z);
    FFourPoints[1] = Project(Rect.Right, Rect.Top, Z);
    FFourPoints[2] = Project(Rect.Right, Rect.Bottom, Z);
    FFourPoints[3] = Project(Rect.Left, Rect.Bottom, Z);
    PolygonFour();
}

void TPlotCanvas3D::PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z)
{
    FFourPoints[0] = Project(P1.X, P1.Y, Z);
    FFourPoints[1] = Project(P2.X, P2.Y, Z);
    FFourPoints[2] = Project(P3.X, P3.Y, Z);
    FFourPoints[3] = Project(P4.X, P4.Y, Z);
    PolygonFour();
}

void TPlotCanvas3D::Plane3D(const TPoint& P0, const TPoint& P1, int Z0, int Z1)
{
    FFourPoints[0] = Project(P0.X, P0.Y, Z0);
    FFourPoints[1] = Project(P1.X, P1.Y, Z0);
    FFourPoints[2] = Project(P1.X, P1.Y, Z1);
    FFourPoints[3] = Project(P0.X, P0.Y, Z1);
    PolygonFour();
}

void TPlotCanvas3D::PlaneAtX(int X, int Y0, int Y1, int Z0, int Z1)
{
    FFourPoints[0] = Project(X, Y0, Z0);
    FFourPoints[1] = Project(X, Y0, Z1);
    FFourPoints[2] = Project(X, Y1, Z1);
    FFourPoints[3] = Project(X, Y1, Z0);
    PolygonFour();
}

void TPlotCanvas3D::PlaneAtY(int X0, int Y, int X1, int Z0, int Z1)
{
    FFourPoints[0] = Project(X0, Y, Z0);
    FFourPoints[1] = Project(X1, Y, Z0);
    FFourPoints[2] = Project(X1, Y, Z1);
    FFourPoints[3] = Project(X0, Y, Z1);
    PolygonFour();
}

void TPlotCanvas3D::PlaneFour3D(TFourPoints& Points, int Z0, int Z1)
{
    FFourPoints[0] = ProjectPoint(Points[0].X, Points[0].Y, Z0);
    FFourPoints[1] = ProjectPoint(Points[1].X, Points[1].Y, Z0);
    FFourPoints[2] = ProjectPoint(Points[2].X, Points[2].Y, Z1);
    FFourPoints[3] = ProjectPoint(Points[3].X, Points[3].Y, Z1);
    PolygonFour();
}

void TPlotCanvas3D::PolygonWithZ(std::span<const TPoint> Points, int Z)
{
    if (Points.empty())
        return;
    std::vector<TPoint> projected(Points.size());
    for (size_t i = 0; i < Points.size(); ++i)
        projected[i] = Project(Points[i].X, Points[i].Y, Z);
    Polygon(projected, static_cast<int>(projected.size()) - 1);
}

void TPlotCanvas3D::PolylineWithZ(std::span<const TPoint> Points, int Z)
{
    if (Points.empty())
        return;
    std::vector<TPoint> projected(Points.size());
    for (size_t i = 0; i < Points.size(); ++i)
        projected[i] = Project(Points[i].X, Points[i].Y, Z);
    Polyline(projected, static_cast<int>(projected.size()) - 1);
}

void TPlotCanvas3D::TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z)
{
    const std::array<TPoint, 3> points{Project(P1.X, P1.Y, Z), Project(P2.X, P2.Y, Z), Project(P3.X, P3.Y, Z)};
    Polygon(points, 2);
}

void TPlotCanvas3D::Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors& Colors)
{
    const std::array<TPoint, 3> points{Project(Points[0].X, Points[0].Y, Points[0].Z),
                                       Project(Points[1].X, Points[1].Y, Points[1].Z),
                                       Project(Points[2].X, Points[2].Y, Points[2].Z)};
    if (!BrushClear())
        Brush()->SetColor(Colors[0]);
    Polygon(points, 2);
}

void TPlotCanvas3D::Surface3D(int Style, const TSurfacePointFunc& GetPoint, int NumXValues, int NumZValues)
{
    (void)Style;
    (void)GetPoint;
    (void)NumXValues;
    (void)NumZValues;
}

// --- Ellipses ----------------------------------------------------------------------------------------

void TPlotCanvas3D::CircleWithZ(int X, int Y, double Radius, int Z)
{
    const int32_t r = RoundToInt32(Radius);
    EllipseWithZ(Sub32(X, r), Sub32(Y, r), Add32(X, r), Add32(Y, r), Z);
}

std::array<TPoint, TPlotCanvas3D::EllipseOutlineSize> TPlotCanvas3D::RotatedEllipseOutline(int X1, int Y1, int X2,
                                                                                         int Y2, int Z) const
{
    const int32_t centerX = static_cast<int32_t>((static_cast<int64_t>(X1) + X2) / 2);
    const int32_t centerY = static_cast<int32_t>((static_cast<int64_t>(Y1) + Y2) / 2);
    const int32_t radiusX = static_cast<int32_t>((static_cast<int64_t>(X2) - X1) / 2);
    const int32_t radiusY = static_cast<int32_t>((static_cast<int64_t>(Y2) - Y1) / 2);
    std::array<TPoint, EllipseOutlineSize> outline;
    outline[0] = Project(centerX, Y2, Z);
    constexpr double step = 2.0 * std::numbers::pi / (EllipseOutlineSize - 1);
    for (int i = 1; i < EllipseOutlineSize; ++i) {
        const double angle = i * step;
        outline[static_cast<size_t>(i)] =
            ProjectPoint(centerX + radiusX * std::sin(angle), centerY + radiusY * std::cos(angle), Z);
    }
    return outline;
}

void TPlotCanvas3D::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z)
{
    TDeviceContext& dc = GetHandle();
    if (FIsOrthogonal) {
        const TPoint p0 = Project(X1, Y1, Z);
        const TPoint p1 = Project(X2, Y2, Z);
        dc.Ellipse(p0.X, p0.Y, p1.X, p1.Y);
        return;
    }
    if (!FIs3D) {
        // The device leaves the right and bottom edges out.
        dc.Ellipse(X1, Y1, Add32(X2, 1), Add32(Y2, 1));
        return;
    }
    const std::array<TPoint, EllipseOutlineSize> outline = RotatedEllipseOutline(X1, Y1, X2, Y2, Z);
    if (!BrushClear()) {
        const int32_t centerX = static_cast<int32_t>((static_cast<int64_t>(X1) + X2) / 2);
        const int32_t centerY = static_cast<int32_t>((static_cast<int64_t>(Y1) + Y2) / 2);
        const TPoint center = Project(centerX, centerY, Z);
        const TDevicePenScope noPen(dc, *Pen(), CreatePen(PS_NULL, 1, clBlack));
        for (size_t i = 1; i < outline.size(); ++i) {
            const std::array<TPoint, 3> triangle{center, outline[i - 1], outline[i]};
            Polygon(triangle, 2);
        }
    }
    if (!PenClear())
        Polyline(outline, EllipseOutlineSize - 1);
}

void TPlotCanvas3D::ClipEllipseWithZ(const TRect& Rect, int Z)
{
    if (FIsOrthogonal) {
        const TPoint p0 = Project(Rect.Left, Rect.Top, Z);
        const TPoint p1 = Project(Rect.Right, Rect.Bottom, Z);
        ClipEllipse({p0.X, p0.Y, p1.X, p1.Y}, false);
        return;
    }
    if (!FIs3D) {
        ClipEllipse({Rect.Left, Rect.Top, Add32(Rect.Right, 1), Add32(Rect.Bottom, 1)}, false);
        return;
    }
    const std::array<TPoint, EllipseOutlineSize> outline =
        RotatedEllipseOutline(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, Z);
    ClipPolygon(outline, EllipseOutlineSize);
}

// --- Solids ------------------------------------------------------------------------------------------

void TPlotCanvas3D::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides)
{
    // The same box with its extents in order, so that the faces' corners run
    // the way the visibility test expects.
    if (Left > Right)
        std::swap(Left, Right);
    if (Top > Bottom)
        std::swap(Top, Bottom);
    if (Z0 > Z1)
        std::swap(Z0, Z1);
    const TColor base = BaseColor();
    const bool clear = BrushClear();
    const auto face = [&](const TPoint3D& a, const TPoint3D& b, const TPoint3D& c, const TPoint3D& d) {
        FFourPoints[0] = Project(a.X, a.Y, a.Z);
        FFourPoints[1] = Project(b.X, b.Y, b.Z);
        FFourPoints[2] = Project(c.X, c.Y, c.Z);
        FFourPoints[3] = Project(d.X, d.Y, d.Z);
        // (P3 - P2) x (P1 - P2) > 0: the corners, listed clockwise about
        // the face's outward normal, turn clockwise on the screen.
        return clear || FourPointsFace(false, false);
    };

    if (face({Left, Top, Z0}, {Right, Top, Z0}, {Right, Bottom, Z0}, {Left, Bottom, Z0})) {
        PolygonFour();
    } else {
        RectangleWithZ({Left, Top, Right, Bottom}, Z1);
    }
    if (face({Right, Top, Z0}, {Right, Top, Z1}, {Right, Bottom, Z1}, {Right, Bottom, Z0})) {
        if (DarkSides)
            ApplyDark(base, 128);
        PolygonFour();
    }
    if (face({Left, Top, Z0}, {Left, Bottom, Z0}, {Left, Bottom, Z1}, {Left, Top, Z1})) {
        if (DarkSides)
            ApplyDark(base, 128);
        PolygonFour();
    }
    if (face({Left, Top, Z0}, {Left, Top, Z1}, {Right, Top, Z1}, {Right, Top, Z0})) {
        if (DarkSides)
            ApplyDark(base, 64);
        PolygonFour();
    }
    if (face({Left, Bottom, Z0}, {Right, Bottom, Z0}, {Right, Bottom, Z1}, {Left, Bottom, Z1})) {
        if (DarkSides)
            ApplyDark(base, 64);
        PolygonFour();
    }
}

void TPlotCanvas3D::Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover)
{
    Cone(Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkCover, 100);
}

void TPlotCanvas3D::Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover,
                         int ConePercent)
{
    const TColor base = BaseColor();
    const bool clear = BrushClear();
    const int segments = GConeSegments;
    const size_t count = static_cast<size_t>(segments) + 1;
    const double ratio = ConePercent * 0.01;
    const double centerZ = (static_cast<double>(Z0) + Z1) * 0.5;
    const double radiusZ = (static_cast<double>(Z1) - Z0) * 0.5;
    std::vector<TPoint> baseEnd(count);
    std::vector<TPoint> farEnd(count);
    bool mirrored = false;
    // The outline of an end runs counter-clockwise about the axis (from the
    // base to the far end); the sides therefore run counter-clockwise about
    // their outward normals.
    if (Vertical) {
        const double centerX = (static_cast<double>(Left) + Right) * 0.5;
        const double radiusX = (static_cast<double>(Right) - Left) * 0.5;
        for (size_t i = 0; i < count; ++i) {
            const double angle = static_cast<double>(i) * 2.0 * std::numbers::pi / segments;
            const double c = std::cos(angle), s = std::sin(angle);
            baseEnd[i] = ProjectPoint(centerX + radiusX * c, Bottom, centerZ + radiusZ * s);
            farEnd[i] = ProjectPoint(centerX + radiusX * ratio * c, Top, centerZ + radiusZ * ratio * s);
        }
        mirrored = ((Right < Left) != (Z1 < Z0)) != (Top > Bottom);
    } else {
        const double centerY = (static_cast<double>(Top) + Bottom) * 0.5;
        const double radiusY = (static_cast<double>(Bottom) - Top) * 0.5;
        for (size_t i = 0; i < count; ++i) {
            const double angle = static_cast<double>(i) * 2.0 * std::numbers::pi / segments;
            const double c = std::cos(angle), s = std::sin(angle);
            baseEnd[i] = ProjectPoint(Left, centerY + radiusY * c, centerZ + radiusZ * s);
            farEnd[i] = ProjectPoint(Right, centerY + radiusY * ratio * c, centerZ + radiusZ * ratio * s);
        }
        mirrored = ((Bottom < Top) != (Z1 < Z0)) != (Right < Left);
    }

    // The shading grows by 256 / (2 × segments) per side around the body.
    const int shadeStep = 256 / (2 * segments);
    for (size_t i = 0; i < static_cast<size_t>(segments); ++i) {
        const std::array<TPoint, 4> side{baseEnd[i], baseEnd[i + 1], farEnd[i + 1], farEnd[i]};
        const bool facing = !Clockwise(side[0], side[1], side[2]) != mirrored;
        if (!clear && !facing)
            continue;
        if (DarkCover)
            ApplyDark(base, i + 1 < static_cast<size_t>(segments) ? shadeStep * static_cast<int>(i) : 0);
        Polygon(side, 3);
    }

    // The end turned to the viewer: the far end's outline runs counter-
    // clockwise about its outward normal, the base's clockwise.
    const __int128 farArea = SignedArea2(farEnd);
    const __int128 baseArea = SignedArea2(baseEnd);
    const std::vector<TPoint>* cap = nullptr;
    if ((farArea < 0) != mirrored && farArea != 0)
        cap = &farEnd;
    else if ((baseArea > 0) != mirrored && baseArea != 0)
        cap = &baseEnd;
    if (cap) {
        if (DarkCover)
            ApplyDark(base, 64);
        Polygon(*cap, static_cast<int>(cap->size()) - 1);
    }
}

void TPlotCanvas3D::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides)
{
    const TColor base = BaseColor();
    const bool clear = BrushClear();
    const int32_t middleZ = static_cast<int32_t>((static_cast<int64_t>(Z0) + Z1) / 2);
    // Each triangle runs counter-clockwise about its outward normal.
    const auto triangle = [&](const TPoint& a, const TPoint& b, const TPoint& c, bool mirrored, int shade) {
        if (!clear && Clockwise(a, b, c) == !mirrored)
            return;
        if (DarkSides && shade > 0)
            ApplyDark(base, shade);
        const std::array<TPoint, 3> points{a, b, c};
        Polygon(points, 2);
    };
    if (Vertical) {
        const bool mirrored = ((Right < Left) != (Z1 < Z0)) != (Top > Bottom);
        const TPoint apex = Project(static_cast<int32_t>((static_cast<int64_t>(Left) + Right) / 2), Top, middleZ);
        const TPoint leftFront = Project(Left, Bottom, Z0);
        const TPoint rightFront = Project(Right, Bottom, Z0);
        const TPoint rightBack = Project(Right, Bottom, Z1);
        const TPoint leftBack = Project(Left, Bottom, Z1);
        triangle(leftFront, rightFront, apex, mirrored, 0);
        triangle(rightBack, leftBack, apex, mirrored, 0);
        triangle(leftBack, leftFront, apex, mirrored, 0);
        // The face turned sideways is the shaded one, as on a cube.
        triangle(rightFront, rightBack, apex, mirrored, 128);
        // The base runs clockwise about its outward normal (down).
        SetFourPoints(FFourPoints, leftFront, rightFront, rightBack, leftBack);
        if (clear || FourPointsFace(false, mirrored)) {
            if (DarkSides)
                ApplyDark(base, 64);
            PlaneAtY(Left, Bottom, Right, Z0, Z1);
        }
    } else {
        const bool mirrored = ((Bottom < Top) != (Z1 < Z0)) != (Right < Left);
        const TPoint apex = Project(Right, static_cast<int32_t>((static_cast<int64_t>(Top) + Bottom) / 2), middleZ);
        const TPoint topFront = Project(Left, Top, Z0);
        const TPoint bottomFront = Project(Left, Bottom, Z0);
        const TPoint topBack = Project(Left, Top, Z1);
        const TPoint bottomBack = Project(Left, Bottom, Z1);
        triangle(topFront, bottomFront, apex, mirrored, 0);
        triangle(bottomBack, topBack, apex, mirrored, 0);
        triangle(bottomFront, bottomBack, apex, mirrored, 0);
        // The face turned up is the shaded one.
        triangle(topBack, topFront, apex, mirrored, 64);
        // The base runs counter-clockwise about its outward normal (left).
        SetFourPoints(FFourPoints, topFront, topBack, bottomBack, bottomFront);
        if (clear || FourPointsFace(true, mirrored)) {
            if (DarkSides)
                ApplyDark(base, 128);
            PlaneAtX(Left, Top, Bottom, Z0, Z1);
        }
    }
}

void TPlotCanvas3D::PyramidTrunc(const TRect& Rect, int StartZ, int EndZ, int TruncX, int TruncZ)
{
    const bool clear = BrushClear();
    const int32_t centerX = static_cast<int32_t>((static_cast<int64_t>(Rect.Left) + Rect.Right) / 2);
    const int32_t centerZ = static_cast<int32_t>((static_cast<int64_t>(StartZ) + EndZ) / 2);
    const int32_t topLeft = Sub32(centerX, TruncX);
    const int32_t topRight = Add32(centerX, TruncX);
    const int32_t topFront = Add32(centerZ, TruncZ);
    const int32_t topBack = Sub32(centerZ, TruncZ);
    const bool mirrored = ((Rect.Right < Rect.Left) != (Rect.Bottom < Rect.Top)) != (EndZ < StartZ);

    const auto baseCap = [&] { PlaneAtY(Rect.Left, Rect.Bottom, Rect.Right, StartZ, EndZ); };
    const auto topCap = [&] {
        if (TruncX != 0)
            PlaneAtY(topLeft, Rect.Top, topRight, topBack, topFront);
    };
    const bool baseBelow = Rect.Bottom > Rect.Top;
    if (baseBelow)
        baseCap();
    else
        topCap();

    // The faces at EndZ and StartZ: base edge at that depth, top edge at
    // the top's depth on the same side.
    const auto depthFace = [&](int baseZ, int topZ, bool counterClockwise, bool always) {
        TFourPoints points;
        SetFourPoints(points, {Rect.Left, Rect.Bottom}, {Rect.Right, Rect.Bottom}, {topRight, Rect.Top},
                      {topLeft, Rect.Top});
        FFourPoints[0] = ProjectPoint(points[0].X, points[0].Y, baseZ);
        FFourPoints[1] = ProjectPoint(points[1].X, points[1].Y, baseZ);
        FFourPoints[2] = ProjectPoint(points[2].X, points[2].Y, topZ);
        FFourPoints[3] = ProjectPoint(points[3].X, points[3].Y, topZ);
        if (always || clear || FourPointsFace(counterClockwise, mirrored))
            PlaneFour3D(points, baseZ, topZ);
    };
    const auto sideFace = [&](int baseX, int topX, bool counterClockwise) {
        FFourPoints[0] = Project(baseX, Rect.Bottom, StartZ);
        FFourPoints[1] = Project(baseX, Rect.Bottom, EndZ);
        FFourPoints[2] = Project(topX, Rect.Top, topFront);
        FFourPoints[3] = Project(topX, Rect.Top, topBack);
        if (clear || FourPointsFace(counterClockwise, mirrored))
            PolygonFour();
    };
    if (TruncX == 0 && StartZ == EndZ) {
        // A flat shape: seen from either side.
        depthFace(EndZ, topFront, false, true);
    } else {
        depthFace(EndZ, topFront, false, false);
        sideFace(Rect.Left, topLeft, false);
        depthFace(StartZ, topBack, true, false);
        sideFace(Rect.Right, topRight, true);
    }

    if (baseBelow)
        topCap();
    else
        baseCap();
}

// --- Pies and arrows ---------------------------------------------------------------------------------

void TPlotCanvas3D::Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
                          double EndAngle, bool DarkSides, bool DrawSides, int DonutPercent,
                          TCustomPlotGradient* Gradient)
{
    // A slice whose angles are not numbers has no place on the circle.
    if (!std::isfinite(StartAngle) || !std::isfinite(EndAngle))
        return;
    const double sweepDegrees = std::fabs(EndAngle - StartAngle) / kDegree;
    const int count = RoundToInt32(std::min(sweepDegrees * 0.5, static_cast<double>(kPieMaxPoints - 2))) + 2;
    const double step = (EndAngle - StartAngle) / (count - 1);
    const bool donut = DonutPercent > 0;
    const double innerX = DonutPercent * XRadius * 0.01;
    const double innerY = DonutPercent * YRadius * 0.01;

    std::vector<TPoint> outerFront(static_cast<size_t>(count));
    std::vector<TPoint> outerBack(static_cast<size_t>(count));
    std::vector<TPoint> innerFront(static_cast<size_t>(count));
    std::vector<TPoint> innerBack(static_cast<size_t>(count));
    const TPoint centerFront = Project(XCenter, YCenter, Z0);
    const TPoint centerBack = Project(XCenter, YCenter, Z1);
    for (size_t k = 0; k < static_cast<size_t>(count); ++k) {
        const double angle = StartAngle + static_cast<double>(k) * step;
        const double c = std::cos(angle), s = std::sin(angle);
        const double x = XCenter + XRadius * c;
        const double y = YCenter - YRadius * s;
        outerFront[k] = ProjectPoint(x, y, Z0);
        outerBack[k] = ProjectPoint(x, y, Z1);
        if (donut) {
            const double ix = XCenter + innerX * c;
            const double iy = YCenter - innerY * s;
            innerFront[k] = ProjectPoint(ix, iy, Z0);
            innerBack[k] = ProjectPoint(ix, iy, Z1);
        } else {
            innerFront[k] = centerFront;
            innerBack[k] = centerBack;
        }
    }

    // The cover at Z1: the arc closed through the inner points (or the
    // centre).
    std::vector<TPoint> cover(outerBack);
    if (donut)
        cover.insert(cover.end(), innerBack.rbegin(), innerBack.rend());
    else
        cover.push_back(centerBack);

    // A parallel projection can be read two ways: the cover at Z1 seen from
    // its side, or the cover at Z0. Faces are judged in the reading in which
    // the cover at Z1 is the one seen, so that the walls and sides drawn
    // around it lie outside it. Its corners run clockwise about its outward
    // normal, as do the outer wall's and the start side's; the end side's
    // run the other way. An edge-on cover leaves the reading of the
    // projection as it is.
    int reading = Sign(SignedArea2(cover));
    if (reading == 0)
        reading = (((XRadius < 0) != (YRadius < 0)) != ((Z1 < Z0) != (EndAngle < StartAngle))) ? -1 : 1;
    const auto seen = [&](std::span<const TPoint> points, int turn) {
        return Sign(SignedArea2(points)) == turn * reading;
    };

    const TColor base = BaseColor();
    if (donut) {
        std::vector<TPoint> wall(innerFront);
        wall.insert(wall.end(), innerBack.rbegin(), innerBack.rend());
        if (DarkSides)
            ApplyDark(base, 32);
        Polygon(wall, static_cast<int>(wall.size()) - 1);
    }

    if (DrawSides) {
        const size_t last = static_cast<size_t>(count) - 1;
        const auto side = [&](size_t k, int turn) {
            SetFourPoints(FFourPoints, innerFront[k], outerFront[k], outerBack[k], innerBack[k]);
            if (!seen(AsSpan(FFourPoints), turn))
                return;
            if (DarkSides)
                ApplyDark(base, 32);
            PolygonFour();
        };
        side(0, 1);
        side(last, -1);
    }

    ApplyDark(base, 0);
    if (Gradient)
        GradientPolygon(*Gradient, cover);
    else
        Polygon(cover, static_cast<int>(cover.size()) - 1);

    // The outer wall, one polygon per run of segments that face the viewer.
    std::vector<TPoint> run;
    size_t k = 0;
    const size_t segments = static_cast<size_t>(count) - 1;
    while (k < segments) {
        const auto segmentSeen = [&](size_t i) {
            const std::array<TPoint, 4> quad{outerFront[i], outerFront[i + 1], outerBack[i + 1], outerBack[i]};
            return seen(quad, 1);
        };
        if (!segmentSeen(k)) {
            ++k;
            continue;
        }
        size_t end = k;
        while (end + 1 < segments && segmentSeen(end + 1))
            ++end;
        run.assign(outerBack.begin() + static_cast<std::ptrdiff_t>(k),
                   outerBack.begin() + static_cast<std::ptrdiff_t>(end) + 2);
        for (size_t i = end + 2; i-- > k;)
            run.push_back(outerFront[i]);
        if (DarkSides)
            ApplyDark(base, 32);
        if (Gradient)
            GradientPolygon(*Gradient, run);
        else
            Polygon(run, static_cast<int>(run.size()) - 1);
        k = end + 1;
    }
}

void TPlotCanvas3D::Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight,
                          int Z, double Percent)
{
    const double dx = static_cast<double>(ToPoint.X) - FromPoint.X;
    const double dy = static_cast<double>(ToPoint.Y) - FromPoint.Y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0)
        return;
    const int headHeight = std::min(HeadHeight, RoundToInt32(length));
    // The arrow's own frame: along (ux, uy), across (-uy, ux).
    const double ux = dx / length;
    const double uy = dy / length;
    const auto point = [&](const TPoint& origin, double along, double across) {
        const TPoint p{RoundToInt32(origin.X + ux * along - uy * across),
                       RoundToInt32(origin.Y + uy * along + ux * across)};
        return Project(p.X, p.Y, Z);
    };
    const double headBase = length - headHeight;
    const double headHalf = HeadWidth * 0.5;
    const double shaftHalf = HeadWidth * Percent * 0.005;
    const TPoint tip = Project(ToPoint.X, ToPoint.Y, Z);
    const TPoint headSide = point(FromPoint, headBase, headHalf);
    const TPoint headOther = point(FromPoint, headBase, -headHalf);
    if (Filled) {
        const std::array<TPoint, 7> points{
            point(FromPoint, 0.0, shaftHalf),       point(FromPoint, headBase, shaftHalf), headSide, tip, headOther,
            point(FromPoint, headBase, -shaftHalf), point(FromPoint, 0.0, -shaftHalf)};
        Polygon(points, 6);
        return;
    }
    TDeviceContext& dc = GetHandle();
    const TPoint from = Project(FromPoint.X, FromPoint.Y, Z);
    dc.MoveTo(from.X, from.Y);
    dc.LineTo(tip.X, tip.Y);
    dc.MoveTo(tip.X, tip.Y);
    dc.LineTo(headSide.X, headSide.Y);
    dc.MoveTo(tip.X, tip.Y);
    dc.LineTo(headOther.X, headOther.Y);
}

// --- Clipping ----------------------------------------------------------------------------------------

void TPlotCanvas3D::ClipCube(const TRect& Rect, int MinZ, int MaxZ)
{
    if (!FIs3D) {
        ClipRectangle(Rect);
        return;
    }
    TPointArray corners{Project(Rect.Left, Rect.Top, MinZ),     Project(Rect.Right, Rect.Top, MinZ),
                        Project(Rect.Right, Rect.Bottom, MinZ), Project(Rect.Left, Rect.Bottom, MinZ),
                        Project(Rect.Left, Rect.Top, MaxZ),     Project(Rect.Right, Rect.Top, MaxZ),
                        Project(Rect.Right, Rect.Bottom, MaxZ), Project(Rect.Left, Rect.Bottom, MaxZ)};
    ConvexHull(corners);
    ClipPolygon(AsSpan(corners), corners.Length());
}

} // namespace lp
