#pragma once
// TPlotCanvas3D: the one concrete chart canvas. It draws every slot of
// TPlotCanvas and TCanvas3D on the device context of the platform canvas it
// is bound to, keeps an off-screen bitmap for flicker-free display and
// projects (X, Y, Z) chart coordinates onto the device.
//
//   TPlotCanvas3D ──owns──> TBitmap (the off-screen buffer, may be absent)
//        │
//        └──bound to──> the bitmap's canvas during a buffered pass, else the
//                       destination canvas; the default canvas after ShowImage
//
// A buffered pass:
//   InitWindow(Dest, Options, …, Bounds)  sizes the bitmap to Bounds (kept
//        │                                across passes of the same size),
//        │                                binds to it, returns (0, 0, w, h)
//   SetProjection(MaxDepth, ChartRect)    per chart rectangle
//   … drawing …                           into the bitmap
//   ShowImage(Dest, Default, Rect)        copies the bitmap to Rect's corner
//                                         of Dest, binds to Default
//   RedrawBitmap()                        between passes: repaints from the
//                                         bitmap while nothing changed
//
// Projection (rebuilt by every InitWindow and SetProjection):
// - orthogonal (oblique): depth Z shifts a point by Z × OrthoSign across and
//   Z × OrthoRatio up, then everything is scaled by Zoom3D about the origin;
// - rotated: elevation, rotation and tilt about (XCenter, YCenter, ZCenter),
//   optionally with perspective;
// - 3-D off: points pass through unchanged.
// Projected coordinates are reals rounded half to even; a result or a
// coordinate difference outside 32 bits raises ERangeError.
//
// Clips nest: each clip operation keeps the clip in force before it on the
// canvas's own stack and UnClipRectangle restores it (PlotCanvas.h).

#include "chart/canvas/PlotCanvas.h"

#include "platform/graphics/Bitmap.h"

#include <array>
#include <memory>

namespace lp {

// The number of side faces of every canvas's cones and cylinders; 16 from
// the start. Fewer than 3 raise ERangeError.
int ConeSegments();
void SetConeSegments(int Value);

class TPlotCanvas3D : public TCanvas3D {
public:
    // FontZoom 100, ZoomText, BufferedDisplay and Changed on; no bitmap, not
    // bound to any canvas.
    TPlotCanvas3D();
    ~TPlotCanvas3D() override;

    // --- Device state ---

    // The device's background colour and mode (1 transparent, 2 opaque).
    TColor GetBackColor() const override;
    uint8_t GetBackMode() const override;
    TDeviceContext& GetHandle() const override;
    bool GetMonochrome() const override { return FMonochrome; }
    // The pixel of the bound platform canvas (clNone outside the device).
    TColor GetPixel(int X, int Y) const override;
    bool SupportsFullRotation() const override { return false; }
    unsigned GetTextAlign() const override;
    bool GetBufferedDisplay() const override { return FBufferedDisplay; }
    // Colours are converted to RGB before they reach the device.
    void SetBackColor(TColor Color) override;
    void SetBackMode(uint8_t Mode) override;
    // A different value marks the canvas changed and asks the view options'
    // panel to repaint.
    void SetMonochrome(bool Value) override;
    void SetPixel(int X, int Y, TColor Color) override;
    // Flags above the signed 32-bit range (a negative flag word) raise
    // ERangeError.
    void SetTextAlign(unsigned Align) override;
    // Only a change acts. Switching off frees the bitmap and marks the
    // canvas changed, unless KeepBitmap is set (then the bitmap stays for
    // the next buffered pass); switching on while a bitmap exists binds the
    // canvas to it again.
    void SetBufferedDisplay(bool Value) override;

    // --- 2-D primitives (device calls with the same arguments) ---

    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    // A filled ring sector between StartAngle and EndAngle (radians, counter-
    // clockwise from three o'clock), its hole HolePercent of the radii, built
    // as one device path and stroked and filled with the pen and brush.
    // Nothing for an angle that is not finite.
    void Donut(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
               double HolePercent) override;
    // Nothing for nullptr or an empty graphic.
    void Draw(int X, int Y, const TGraphic* Graphic) override;
    void Ellipse(int X1, int Y1, int X2, int Y2) override;
    // With the canvas brush, without the pen.
    void FillRect(const TRect& Rect) override;
    void LineTo(int X, int Y) override;
    void MoveTo(int X, int Y) override;
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void Rectangle(int X0, int Y0, int X1, int Y1) override;
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) override;
    void StretchDraw(const TRect& Rect, const TGraphic* Graphic) override;
    // Draws Text at (X, Y) with the decorations of the assigned chart font:
    // its shadow first (offset by the shadow sizes; a negative size moves
    // the text instead, so text and shadow stay inside the box TextWidth and
    // TextHeight measure; translucent through a blend), then the text either
    // plainly or, with a visible outline pen or gradient, as a device path
    // stroked with the outline and filled with the font colour or the
    // gradient. A font colour of clNone leaves only the outline.
    void TextOut(int X, int Y, const QString& Text) override;
    // Intersects the clip with the rectangle (kept for UnClipRectangle).
    void ClipRectangle(const TRect& Rect) override;
    void HorizLine(int X0, int X1, int Y) override;
    void VertLine(int X, int Y0, int Y1) override;
    void EraseBackground(const TRect& Rect) override;
    // Fills Rect (normalised) from StartColor to EndColor in Direction with
    // Balance (50: linear). Band directions paint at most 256 bands, none
    // when the rectangle is 0 or 1 pixel across the bands; gdRadial draws
    // through a gradient object's radial fill. Where each colour lands:
    // gdTopBottom start at the bottom, gdBottomTop start at the top,
    // gdLeftRight start at the right, gdRightLeft start at the left,
    // gdFromCenter start in the centre, gdFromTopLeft/gdFromBottomLeft end
    // at that corner, gdDiagonalUp start at the bottom-left corner,
    // gdDiagonalDown start at the top-left corner. Every pixel painted lies
    // inside Rect; the canvas brush and pen are in force again afterwards.
    void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                      int Balance) override;
    // Marks the canvas changed: the next RedrawBitmap declines.
    void Invalidate() override { FChanged = true; }
    void Line(int X0, int Y0, int X1, int Y1) override;
    // Points[0 .. LastIndex]; ERangeError when LastIndex is beyond the points.
    void Polyline(std::span<const TPoint> Points, int LastIndex) override;
    void Polygon(std::span<const TPoint> Points, int LastIndex) override;
    // Text at Angle degrees (reduced below 360), through a rotated copy of
    // the canvas font selected around TextOut. With ZoomText on and a 3-D
    // zoom other than 1 the font is scaled by it, to no less than 1 point.
    void RotateLabel(int X, int Y, const QString& Text, double Angle) override;
    // Puts back the clip in force before the latest clip operation.
    void UnClipRectangle() override;

    // --- 3-D slots ---

    TColor GetPixel3D(int X, int Y, int Z) const override;
    bool Supports3DText() const override { return false; }
    // A dot in the current pen when its width is not 1, else the pixel.
    void SetPixel3D(int X, int Y, int Z, TColor Color) override;
    // The inverse of the projection at depth Z (perspective is not undone).
    // Nothing happens while Zoom3D is 0.
    void Calculate2DPosition(int& X, int& Y, int Z) const override;
    TPoint Calculate3DPosition(int X, int Y, int Z) const override;
    // The projection of a point with real X and Y (the tilt is always
    // applied; it is the identity without one).
    TPoint Calculate3DPositionFloat(double X, double Y, int Z) const;
    // Projects P in place.
    void Calculate3DPositionPoint(TPoint& P, int Z) const { P = Calculate3DPosition(P.X, P.Y, Z); }
    // Takes the view options (observed; may be nullptr) and the pass's 3-D
    // switch and sets the projection up; with BufferedDisplay binds to the
    // off-screen bitmap sized to ABounds and returns (0, 0, width, height),
    // else binds to DestCanvas and returns ABounds. BackColor is not used.
    TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor BackColor, bool Is3D,
                     const TRect& ABounds) override;
    // The origin: the centre of ABounds plus the rotation centre, depth
    // MaxDepth / 2 plus its Z; the screen offset of the options; the
    // perspective strength for ABounds' width.
    void SetProjection(int MaxDepth, const TRect& ABounds) override;
    // Copies the bitmap (during buffered display) to DestCanvas at Rect's
    // top-left corner, then binds to DefaultCanvas.
    void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& Rect) override;
    // When nothing changed since ShowImage, copies the bitmap to the bound
    // canvas at (0, 0) and returns true; otherwise (or without a bitmap)
    // returns false and copies nothing.
    bool RedrawBitmap() override;
    // Nothing for a zero-length arrow. Filled: one 7-point polygon; else a
    // line and the two strokes of the head.
    void Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight, int Z,
               double Percent) override;
    // In 3-D clips to the convex hull of the projected box, else to Rect.
    void ClipCube(const TRect& Rect, int MinZ, int MaxZ) override;
    // A body of 16 side faces between two ends of 17 outline points each;
    // the far end's radii are ConePercent of the base's (100 a cylinder, 0
    // a pointed cone). Vertical: base at Bottom, axis up to Top; else base
    // at Left, axis to Right.
    void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover,
              int ConePercent) override;
    // The faces of the box turned to the viewer (all of them with a clear
    // brush); sides darker by 128 and top/bottom by 64 with DarkSides. The
    // brush keeps the last colour set.
    void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) override;
    void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover) override;
    // Switch the rotated projection off and back on; an orthogonal pass
    // keeps its oblique shift.
    void DisableRotation() override;
    void EnableRotation() override;
    // Orthogonal: a device ellipse of the projected corners; 3-D off: a
    // device ellipse including the right and bottom edges; rotated: a
    // 64-point outline filled as 63 triangles.
    void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) override;
    // The device ellipse of the projected corners (orthogonal), of the
    // corners including the right and bottom edges (3-D off), or the
    // polygon of the 64-point outline (rotated).
    void ClipEllipseWithZ(const TRect& Rect, int Z) override;
    void HorizLine3D(int Left, int Right, int Y, int Z) override;
    void VertLine3D(int X, int Top, int Bottom, int Z) override;
    void ZLine3D(int X, int Y, int Z0, int Z1) override;
    void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) override;
    void MoveTo3D(int X, int Y, int Z) override;
    void LineTo3D(int X, int Y, int Z) override;
    // A pie slice (or, with DonutPercent, a ring sector) with thickness from
    // Z0 to Z1; angles in radians. The arc has one point per 2 degrees, at
    // most 96. Drawn in this order: the donut's inner wall, the radial sides
    // (DrawSides), the cover at Z1, the runs of the outer wall that face the
    // viewer. Faces are judged in the reading of the picture in which the
    // cover at Z1 is the one seen. With Gradient the cover and the outer
    // wall are filled by it. The caller's state is unchanged but for the
    // brush colour (the base colour). Nothing for an angle that is not
    // finite.
    void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle, double EndAngle,
               bool DarkSides, bool DrawSides, int DonutPercent, TCustomPlotGradient* Gradient) override;
    void Plane3D(const TPoint& P0, const TPoint& P1, int Z0, int Z1) override;
    void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) override;
    // Points 0 and 1 at Z0, 2 and 3 at Z1 (real projection); Points is not
    // changed.
    void PlaneFour3D(TFourPoints& Points, int Z0, int Z1) override;
    void PolygonWithZ(std::span<const TPoint> Points, int Z) override;
    void PolylineWithZ(std::span<const TPoint> Points, int Z) override;
    // Four sloped faces and the base, those turned to the viewer; one sloped
    // face and the base shaded with DarkSides. Vertical: base at Bottom,
    // apex at Top; else base at Left, apex at Right.
    void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides) override;
    // A frustum: base Rect.Left .. Rect.Right × StartZ .. EndZ at
    // Rect.Bottom, top ±TruncX × ±TruncZ about the base's centre at Rect.Top.
    void PyramidTrunc(const TRect& Rect, int StartZ, int EndZ, int TruncX, int TruncZ) override;
    void RectangleWithZ(const TRect& Rect, int Z) override;
    void PlaneAtY(int X0, int Y, int X1, int Z0, int Z1) override;
    void PlaneAtX(int X, int Y0, int Y1, int Z0, int Z1) override;
    void RotateLabel3D(int X, int Y, int Z, const QString& Text, double Angle) override;
    void CircleWithZ(int X, int Y, double Radius, int Z) override;
    // Does nothing: the surface series then draws cell by cell.
    void Surface3D(int Style, const TSurfacePointFunc& GetPoint, int NumXValues, int NumZValues) override;
    // TextOut at the projected point, with the font scaled by the 3-D zoom
    // when ZoomText is on.
    void TextOut3D(int X, int Y, int Z, const QString& Text) override;
    // Unless the brush is clear it takes the first colour.
    void Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors& Colors) override;
    void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) override;

    // --- Slots of this canvas ---

    // A device polygon of the four points of FourPoints().
    virtual void PolygonFour();
    // Frees the bitmap (marking the canvas changed); a canvas bound to it
    // is unbound.
    virtual void DeleteBitmap();
    // Copies the whole bitmap to Dest's device at (X, Y) (SRCCOPY); nothing
    // without a bitmap or onto the bitmap itself.
    virtual void BitBltBitmap(int X, int Y, TCanvas& Dest);

    // The bitmap while the canvas draws into it, else nullptr.
    TBitmap* OffscreenBitmap() const override;

    // --- State ---

    TBitmap* Bitmap() const { return FBitmap.get(); }
    // Something was drawn or changed since the bitmap was last shown.
    bool Changed() const { return FChanged; }
    // While set, switching BufferedDisplay off keeps the bitmap.
    bool KeepBitmap() const { return FKeepBitmap; }
    void SetKeepBitmap(bool Value) { FKeepBitmap = Value; }
    // Scale text with the 3-D zoom; copied from the options by each 3-D
    // InitWindow that has options.
    bool ZoomText() const { return FZoomText; }
    void SetZoomText(bool Value) { FZoomText = Value; }
    // The current pass projects in 3-D.
    bool Is3D() const { return FIs3D; }
    // The quadrilateral the plane primitives fill and PolygonFour draws.
    TFourPoints& FourPoints() { return FFourPoints; }
    const TFourPoints& FourPoints() const { return FFourPoints; }

    // Projection coefficients of the current pass.
    double Zoom3D() const { return FZoom3D; }
    int XCenterOffset() const { return FXCenterOffset; }
    int YCenterOffset() const { return FYCenterOffset; }
    double OrthoSign() const { return FOrthoSign; }
    double OrthoRatio() const { return FOrthoRatio; }
    bool UsePerspective() const { return FUsePerspective; }
    bool UseTilt() const { return FUseTilt; }
    double PerspectiveFactor() const { return FPerspectiveFactor; }
    // The products of sines and cosines the inverse of the rotated
    // projection uses: the inverse of its 2 x 2 matrix in X and Y (row by
    // row) and the screen shift per unit of depth (X, Y).
    const std::array<double, 6>& InverseTerms() const { return FInverseTerms; }

private:
    // The integer projection without the virtual call.
    TPoint Project(int X, int Y, int Z) const;
    // The real projection (tilt always applied); Z real too, for the
    // outlines of the round solids.
    TPoint ProjectPoint(double X, double Y, double Z) const;
    // The rotated projection of coordinates relative to the origin.
    TPoint ProjectRotated(double x, double y, double z, bool Tilt) const;
    void CalcTrigValues();
    void CalcPerspective(const TRect& ABounds);
    // The buffering part of InitWindow: binds the canvas for the pass and
    // returns the drawing rectangle.
    TRect BindForPass(TCanvas* DestCanvas, const TRect& ABounds);
    // The box of a text drawn at (X, Y) with the current horizontal
    // alignment, by TextWidth and TextHeight.
    TRect TextRect(int X, int Y, const QString& Text) const;
    // The colour that shows on a face: the brush colour of a solid brush,
    // else the background behind the hatch.
    TColor BaseColor() const;
    bool BrushClear() const;
    bool PenClear() const;
    // The outline of a rotated EllipseWithZ: the projected points of the
    // ellipse through the corners, point 0 and 63 more around it (the last
    // one back at point 0).
    static constexpr int EllipseOutlineSize = 64;
    std::array<TPoint, EllipseOutlineSize> RotatedEllipseOutline(int X1, int Y1, int X2, int Y2, int Z) const;
    // Draws the polygon filled by Gradient instead of the brush (clip, fill
    // the bounds, unclip, outline with a clear brush unless the pen is clear).
    void GradientPolygon(TCustomPlotGradient& Gradient, std::span<const TPoint> Points);
    // Draws the quadrilateral in FourPoints when it faces the viewer (always
    // with a clear brush); its corners run counter-clockwise about the
    // face's outward normal when CounterClockwise, else clockwise.
    // Mirrored: the solid is given mirrored (a reversed extent).
    bool FourPointsFace(bool CounterClockwise, bool Mirrored) const;

    int FXCenterOffset = 0;
    int FYCenterOffset = 0;
    double FSinElevation = 0.0;
    double FSinRotation = 0.0;
    double FSinTilt = 0.0;
    double FCosElevation = 0.0;
    double FCosRotation = 0.0;
    double FCosTilt = 0.0;
    std::array<double, 6> FInverseTerms{};
    // The rotated projection can be inverted (it is not seen edge-on).
    bool FInvertible = false;
    bool FSavedIs3D = false;
    std::unique_ptr<TBitmap> FBitmap;
    bool FChanged = true;
    bool FMonochrome = false;
    bool FZoomText = true;
    bool FBufferedDisplay = true;
    bool FIs3D = false;
    bool FKeepBitmap = false;
    TFourPoints FFourPoints;
    bool FUsePerspective = false;
    bool FUseTilt = false;
    double FOrthoSign = 0.0;
    double FOrthoRatio = 0.0;
    double FPerspectiveFactor = 0.0;
    // 1 before the first pass, so that text drawn before any InitWindow keeps
    // its size.
    double FZoom3D = 1.0;
};

} // namespace lp
