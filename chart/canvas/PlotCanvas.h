#pragma once
// The canvas interface of the chart library: the one abstract drawing
// surface every chart element draws through.
//
//   TPlotCanvas      2-D contract: drawing state, primitives, text, clipping,
//     │              gradient fill, transparency blending
//     └─ TCanvas3D   + projection of (X, Y, Z) chart coordinates and the
//          │           pseudo-3-D primitives
//          └─ TPlotCanvas3D: the only concrete canvas, on the platform
//                            device (its own unit)
//
// Binding and ownership:
//   TPlotCanvas ──observes──> TCanvas (ReferenceCanvas) and its Font, Pen,
//     │                       Brush, which every operation reaches directly
//     ├──observes──> TPlotFont (FontAssigned; the font points back while it
//     │              is the canvas's current font)
//     └──observes──> TView3DOptions (TCanvas3D, set by InitWindow)
//
// A drawing pass: InitWindow (bind, take the view options) → ResetState →
// SetProjection per chart rectangle → callers set the state (AssignVisiblePen,
// AssignBrush, AssignFont, SetBackMode, SetBackColor, SetTextAlign) and call
// primitives → ShowImage. Balanced pairs: BeginNoRotation/EndNoRotation
// (counted), BeginBlending/EndBlending (each blend keeps its own
// transparency), each clip operation/UnClipRectangle (nested: each canvas
// keeps the clips in force before its clip operations on a stack).
//
// Integer arithmetic of the canvas is checked: a coordinate sum or product
// that leaves 32 bits, or a real rounded outside 32 bits, raises ERangeError,
// which ends the drawing pass. Reals become pixels by rounding half to even.
// Everything here runs on the user-interface thread.

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotTypes.h"
#include "platform/base/DynArray.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DeviceContext.h"

#include <QtCore/QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace lp {

class TPlotBlend; // chart/canvas/PlotBlend.h
class TPlotCanvas;

// --- Value types -------------------------------------------------------------------------------
// Points, point groups and point arrays: chart/canvas/PlotTypes.h.

// The blue, green and red bytes of a colour, in bitmap scan-line order.
struct TRGBTriple {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    friend bool operator==(const TRGBTriple&, const TRGBTriple&) = default;
};

// The transparent-background mark of AssignBrushColor: never a real
// background colour (silver plus one).
inline constexpr TColor clTransparentBack = 0xC0C0C1;

// Surface3D's callback: the point of grid cell (XIndex, ZIndex) and its colour.
using TSurfacePointFunc = std::function<TPoint3D(int XIndex, int ZIndex, TColor& Color)>;

// --- Geometry functions -------------------------------------------------------------------------

// True when (P0.X - P1.X)(P2.Y - P1.Y) - (P2.X - P1.X)(P0.Y - P1.Y) < 0. The
// arithmetic is 32-bit and checked: a step outside 32 bits raises ERangeError.
bool IsClockwise(const TPoint& P0, const TPoint& P1, const TPoint& P2);
// IsClockwise of the first three points; ERangeError with fewer.
bool IsClockwiseTriangle(std::span<const TPoint> Points);

TPoint MakePoint(int32_t X, int32_t Y);
TRect MakeRect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);

// Left <= X <= Right and Top <= Y <= Bottom: the edges count as inside.
bool PointInRect(const TRect& Rect, int32_t X, int32_t Y);
bool PointInRectPoint(const TRect& Rect, const TPoint& P);
// A copy with Left <= Right and Top <= Bottom.
TRect NormalizeRect(const TRect& Rect);
// Right - Left and Bottom - Top (ERangeError beyond 32 bits).
void RectSize(const TRect& Rect, int32_t& Width, int32_t& Height);
// (Left + Right) / 2 and (Top + Bottom) / 2, dividing toward zero: the
// centre of (-3, -3, 0, 0) is (-1, -1).
void RectCenter(const TRect& Rect, int32_t& X, int32_t& Y);
// The bounding rectangle of Points[0 .. High], right and bottom inclusive;
// High -1 gives the unit's default rectangle (all zero). ERangeError when
// High is beyond the points.
TRect RectFromPolygon(std::span<const TPoint> Points, int High);
// The bounding rectangle of the first Count points with Right and Bottom
// each one more (exclusive edges): a single point (5, 7) gives (5, 7, 6, 8).
// ERangeError unless 1 <= Count <= the number of points.
TRect PolygonBounds(std::span<const TPoint> Points, int Count);
TRect TriangleBounds(const TTrianglePoints& Points);
// Reduces Points to their convex hull. Exactly three points: True, left as
// they are; fewer: False, unchanged. Otherwise the hull's corners remain in
// rotational order with the anchor (smallest Y, then largest X) last;
// duplicates and points on a hull edge are dropped. False when the hull
// keeps fewer than three corners (all points on one line).
bool ConvexHull(TPointArray& Points);

// System colours are resolved first (ColorToRGB).
TRGBTriple ColorToRGBTriple(TColor Color);
// Each of red, green and blue lowered (Darken) or raised (Lighten) by
// Quantity, kept within 0 .. 255; system colours are resolved first.
TColor DarkenColor(TColor Color, int Quantity);
TColor LightenColor(TColor Color, int Quantity);

// --- Unit-wide settings ------------------------------------------------------------------------

// Whether canvases that cannot rotate fully turn visible chart pens into
// geometric device pens (end styles, small dots). On from the start, as on
// every platform this program runs on; set once at start-up if at all.
bool GeometricPens();
void SetGeometricPens(bool Value);

// --- Chart fonts, shadows and gradients ------------------------------------------------------------
// TPlotShadow, TCustomPlotGradient, TPlotGradient, TPlotFontGradient,
// TPlotFont, the gradient directions and the default chart font:
// chart/canvas/PlotEffects.h.

// --- TPlotCanvas --------------------------------------------------------------------------------------

class TPlotCanvas {
    Q_GADGET
public:
    // The gradient directions live with the gradients (PlotEffects.h); they
    // stay reachable as members (TPlotCanvas::gdRadial).
    using TGradientDirection = lp::TGradientDirection;
    using enum TGradientDirections::TGradientDirection;

    TPlotCanvas();
    virtual ~TPlotCanvas();
    TPlotCanvas(const TPlotCanvas&) = delete;
    TPlotCanvas& operator=(const TPlotCanvas&) = delete;

    // --- Slots, in their fixed order ---

    // Abstract slots are implemented by the concrete canvas; the ones with a
    // body here are shared by every canvas.
    virtual TColor GetBackColor() const = 0;
    // 1 transparent, 2 opaque.
    virtual uint8_t GetBackMode() const = 0;
    // The device of the bound platform canvas.
    virtual TDeviceContext& GetHandle() const = 0;
    virtual bool GetMonochrome() const = 0;
    virtual TColor GetPixel(int X, int Y) const = 0;
    virtual bool SupportsFullRotation() const = 0;
    virtual unsigned GetTextAlign() const = 0;
    virtual bool GetBufferedDisplay() const = 0;
    virtual void SetBackColor(TColor Color) = 0;
    virtual void SetBackMode(uint8_t Mode) = 0;
    virtual void SetMonochrome(bool Value) = 0;
    virtual void SetPixel(int X, int Y, TColor Color) = 0;
    virtual void SetTextAlign(unsigned Align) = 0;
    virtual void SetBufferedDisplay(bool Value) = 0;

    // Makes the canvas pen draw like Pen in Color:
    // 1. monochrome canvases draw black;
    // 2. an invisible chart pen only sets the clear style (colour and width
    //    stay); a visible one becomes a geometric device pen when the
    //    geometric-pen switch is on and the canvas cannot rotate fully (then
    //    the operation ends), else the canvas pen copies it;
    // 3. any other pen is copied;
    // 4. the canvas pen takes Color.
    virtual void AssignVisiblePenColor(const TPen& Pen, TColor Color);
    // Sets BlendTransparency and returns a blend that has captured the
    // device pixels under Rect and keeps Transparency (percent, 0 .. 100,
    // else ERangeError) for its own EndBlending. The caller owns it until it
    // hands it to EndBlending.
    virtual std::unique_ptr<TPlotBlend> BeginBlending(const TRect& Rect, int Transparency);
    // Mixes the captured pixels back over what was drawn since, by the
    // blend's own transparency, and frees the blend (nothing for nullptr).
    virtual void EndBlending(std::unique_ptr<TPlotBlend> Blend);
    virtual void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
    virtual void Donut(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
                       double HolePercent) = 0;
    virtual void Draw(int X, int Y, const TGraphic* Graphic) = 0;
    virtual void Ellipse(int X1, int Y1, int X2, int Y2) = 0;
    virtual void FillRect(const TRect& Rect) = 0;
    // A raised or sunken frame of Width pixels inside Rect: per pixel ring a
    // polyline along the left and top edges in TopColor and one along the
    // right and bottom edges in BottomColor (pen width 1, solid). Rect ends
    // shrunk by Width on each side, or by the rings up to the one that
    // empties it when Width is larger.
    virtual void Frame3D(TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
    virtual void LineTo(int X, int Y) = 0;
    virtual void MoveTo(int X, int Y) = 0;
    virtual void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
    virtual void Rectangle(int X0, int Y0, int X1, int Y1) = 0;
    virtual void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) = 0;
    virtual void StretchDraw(const TRect& Rect, const TGraphic* Graphic) = 0;
    virtual void TextOut(int X, int Y, const QString& Text) = 0;
    // The text extent plus the absolute shadow size of the assigned font
    // (when it has a shadow), so the text box has room for the shadow.
    virtual int TextWidth(const QString& Text) const;
    virtual int TextHeight(const QString& Text) const;
    // The same through the device's text extent call.
    virtual int WideTextWidth(const QString& Text) const;
    virtual int WideTextHeight(const QString& Text) const;
    virtual void ClipRectangle(const TRect& Rect) = 0;
    // Clips to the rounded rectangle (corners RoundSize x RoundSize).
    virtual void ClipRoundRectangle(const TRect& Rect, int RoundSize);
    // Clips to the ellipse, or with Inverted to everything outside it.
    virtual void ClipEllipse(const TRect& Rect, bool Inverted);
    // Clips to the polygon of the first NumPoints points (logical
    // coordinates; the caller's points are not changed). ERangeError when
    // NumPoints exceeds the points.
    virtual void ClipPolygon(std::span<const TPoint> Points, int NumPoints);
    virtual void HorizLine(int X0, int X1, int Y) = 0;
    virtual void VertLine(int X, int Y0, int Y1) = 0;
    virtual void EraseBackground(const TRect& Rect) = 0;
    virtual void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                              int Balance) = 0;
    virtual void Invalidate() = 0;
    virtual void Line(int X0, int Y0, int X1, int Y1) = 0;
    // Points[0 .. LastIndex].
    virtual void Polyline(std::span<const TPoint> Points, int LastIndex) = 0;
    virtual void Polygon(std::span<const TPoint> Points, int LastIndex) = 0;
    // Angle in degrees, counter-clockwise.
    virtual void RotateLabel(int X, int Y, const QString& Text, double Angle) = 0;
    virtual void UnClipRectangle() = 0;

    // --- Operations over the slots ---

    // Binds the canvas to ACanvas (observed; nullptr unbinds) and keeps its
    // font, pen and brush.
    void SetCanvas(TCanvas* ACanvas);
    // The default drawing state, in this order: pen black, width 1, solid;
    // brush white, solid (and without a bitmap); font black, no style,
    // character set 1, the default font name and size; BlendTransparency 0;
    // no assigned font; back colour white; back mode transparent; text
    // alignment 0 (left, top).
    void ResetState();
    void AssignVisiblePen(const TPen& Pen) { AssignVisiblePenColor(Pen, Pen.Color()); }
    // The brush filled with Color; the brush's own colour becomes the
    // background of its hatch or pattern.
    void AssignBrush(const TChartBrush& Brush, TColor Color) { AssignBrushColor(Brush, Color, Brush.Color()); }
    // Makes the canvas brush fill like Brush in Color, with BackColor behind
    // hatches and patterns (clTransparentBack: nothing behind them):
    // monochrome canvases fill white; a brush with a picture fills with it;
    // styles 0 .. 7 are the platform's; 8 and above the pattern bitmaps
    // (style - 8), drawn in Color through the device text colour.
    void AssignBrushColor(const TChartBrush& Brush, TColor Color, TColor BackColor);
    // Selects AFont: its resolution becomes the canvas font's, the canvas
    // font copies it, scaled by FontZoom percent (ERangeError beyond 32
    // bits), black on monochrome canvases; the device's character spacing
    // becomes its InterCharSize. AFont is remembered (observed) as
    // FontAssigned and points back to this canvas.
    void AssignFont(TPlotFont& AFont);
    int FontHeight() const { return TextHeight(QStringLiteral("W")); }
    void RectangleRect(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void EllipseRect(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void RoundRectRect(const TRect& Rect, int RoundW, int RoundH)
    {
        RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, RoundW, RoundH);
    }
    void LinePoints(const TPoint& P0, const TPoint& P1) { Line(P0.X, P0.Y, P1.X, P1.Y); }
    // With AllowHtml the text goes to the rich-text renderer.
    void TextOutHtml(int X, int Y, const QString& Text, bool AllowHtml);
    // Shades with DarkenColor(Color, Quantity): a solid brush takes it as
    // its colour, any other brush as the background behind its hatch.
    void ApplyDark(TColor Color, int Quantity);

    // The off-screen buffer the canvas draws into during a buffered pass
    // (nullptr when it has none); blends read and write its pixels.
    virtual TBitmap* OffscreenBitmap() const { return nullptr; }

    // --- State ---

    // The platform canvas drawn on and its objects (nullptr while unbound).
    TCanvas* ReferenceCanvas() const { return FReferenceCanvas; }
    TFont* Font() const { return FFont; }
    TPen* Pen() const { return FPen; }
    TBrush* Brush() const { return FBrush; }
    // True while the panel draws a picture of itself (a metafile, or a
    // bitmap made the same way); it leaves out what belongs to the window
    // only, such as selection handles.
    bool Metafiling() const { return FMetafiling; }
    // Whether the drawing lands in pixels that can be read back and
    // changed: the off-screen bitmap, or a bound canvas over a bitmap. A
    // metafile, a printer or a window drawn unbuffered holds none, so
    // blending and lighting, which work on the pixels, are left out there.
    bool HoldsPixels() const;
    void SetMetafiling(bool Value) { FMetafiling = Value; }
    // The transparency of the blending begun last (percent).
    uint8_t BlendTransparency() const { return FBlendTransparency; }
    // The drawing rectangle of the current pass, as given to InitWindow.
    TRect Bounds() const { return FBounds; }
    // The chart font selected last by AssignFont (nullptr after ResetState
    // or once that font is gone).
    TPlotFont* FontAssigned() const { return FFontAssigned.data(); }
    // Percent scale of font sizes applied by AssignFont; 100 at creation.
    double FontZoom() const { return FFontZoom; }
    void SetFontZoom(double Value) { FFontZoom = Value; }

protected:
    // The bound platform canvas; EInvalidOperation while unbound.
    TCanvas& BoundCanvas() const;
    // The clip helpers shared by every clip operation. Clips nest: SaveClip
    // pushes the device's clip (or its absence) on this canvas's stack;
    // IntersectClip saves and intersects Region (device coordinates) with
    // the clip; RestoreClip pops the clip saved last and makes it the
    // device's clip again (removes the clip when none was in force, or when
    // nothing is saved). DiscardSavedClips forgets every saved clip, as a
    // new pass does.
    void SaveClip(const TDeviceContext& DC);
    void IntersectClip(TDeviceContext& DC, const TRegion& Region);
    void RestoreClip(TDeviceContext& DC);
    void DiscardSavedClips() { FSavedClips.clear(); }

    TRect FBounds;

private:
    void SetFontAssigned(TPlotFont* AFont);

    TCanvas* FReferenceCanvas = nullptr;
    TFont* FFont = nullptr;
    TPen* FPen = nullptr;
    TBrush* FBrush = nullptr;
    bool FMetafiling = false;
    uint8_t FBlendTransparency = 0;
    QPointer<TPlotFont> FFontAssigned;
    double FFontZoom = 100.0;
    // The pixels of a brush picture that is not a bitmap, as the canvas
    // brush's bitmap (the brush observes it).
    std::unique_ptr<TBitmap> FImageBitmap;
    // The clips in force before each clip operation still open, innermost
    // last (std::nullopt: no clip).
    std::vector<std::optional<TRegion>> FSavedClips;
};


// --- TCanvas3D -----------------------------------------------------------------------------------------

class TCanvas3D : public TPlotCanvas {
public:
    TCanvas3D();
    ~TCanvas3D() override;

    // --- Slots, in their fixed order (after those of TPlotCanvas) ---

    virtual TColor GetPixel3D(int X, int Y, int Z) const = 0;
    virtual bool Supports3DText() const = 0;
    virtual void SetPixel3D(int X, int Y, int Z, TColor Color) = 0;
    // The chart point at depth Z that projects to (X, Y).
    virtual void Calculate2DPosition(int& X, int& Y, int Z) const = 0;
    virtual TPoint Calculate3DPosition(int X, int Y, int Z) const = 0;
    // Binds the canvas (to DestCanvas or its off-screen bitmap) and takes
    // Options (observed, may be nullptr); returns the rectangle to draw into.
    virtual TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor BackColor, bool Is3D,
                             const TRect& ABounds) = 0;
    // Takes Source's monochrome mode.
    virtual void Assign(const TCanvas3D& Source);
    virtual void SetProjection(int MaxDepth, const TRect& ABounds) = 0;
    virtual void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& Rect) = 0;
    virtual bool RedrawBitmap() = 0;
    virtual void Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight,
                       int Z, double Percent) = 0;
    virtual void ClipCube(const TRect& Rect, int MinZ, int MaxZ) = 0;
    virtual void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover,
                      int ConePercent) = 0;
    virtual void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) = 0;
    virtual void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                          bool DarkCover) = 0;
    virtual void DisableRotation() {}
    virtual void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) = 0;
    // Clips to the ellipse EllipseWithZ draws for Rect's corners at depth Z,
    // so that a fill clipped to it stays within that ellipse; by default the
    // ellipse of the projected corners. UnClipRectangle removes it.
    virtual void ClipEllipseWithZ(const TRect& Rect, int Z);
    virtual void EnableRotation() {}
    virtual void HorizLine3D(int Left, int Right, int Y, int Z) = 0;
    virtual void VertLine3D(int X, int Top, int Bottom, int Z) = 0;
    virtual void ZLine3D(int X, int Y, int Z0, int Z1) = 0;
    // Counted: the first BeginNoRotation disables rotation, the matching
    // last EndNoRotation enables it again. EndNoRotation without a
    // BeginNoRotation raises EInvalidOperation and changes nothing.
    virtual void BeginNoRotation();
    virtual void EndNoRotation();
    virtual void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) = 0;
    virtual void MoveTo3D(int X, int Y, int Z) = 0;
    virtual void LineTo3D(int X, int Y, int Z) = 0;
    virtual void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
                       double EndAngle, bool DarkSides, bool DrawSides, int DonutPercent,
                       TCustomPlotGradient* Gradient) = 0;
    virtual void Plane3D(const TPoint& P0, const TPoint& P1, int Z0, int Z1) = 0;
    virtual void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) = 0;
    virtual void PlaneFour3D(TFourPoints& Points, int Z0, int Z1) = 0;
    virtual void PolygonWithZ(std::span<const TPoint> Points, int Z) = 0;
    virtual void PolylineWithZ(std::span<const TPoint> Points, int Z) = 0;
    virtual void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                         bool DarkSides) = 0;
    virtual void PyramidTrunc(const TRect& Rect, int StartZ, int EndZ, int TruncX, int TruncZ) = 0;
    virtual void RectangleWithZ(const TRect& Rect, int Z) = 0;
    virtual void PlaneAtY(int X0, int Y, int X1, int Z0, int Z1) = 0;
    virtual void PlaneAtX(int X, int Y0, int Y1, int Z0, int Z1) = 0;
    virtual void RotateLabel3D(int X, int Y, int Z, const QString& Text, double Angle) = 0;
    virtual void CircleWithZ(int X, int Y, double Radius, int Z) = 0;
    // Style: the surface's drawing style; GetPoint gives the point and colour
    // of each of NumXValues x NumZValues grid cells.
    virtual void Surface3D(int Style, const TSurfacePointFunc& GetPoint, int NumXValues, int NumZValues) = 0;
    virtual void TextOut3D(int X, int Y, int Z, const QString& Text) = 0;
    virtual void Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors& Colors) = 0;
    virtual void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) = 0;

    // --- Operations over the slots ---

    TPoint Calculate3DPoint(const TPoint& P, int Z) const { return Calculate3DPosition(P.X, P.Y, Z); }
    TPoint Calculate3DPoint3D(const TPoint3D& P) const { return Calculate3DPosition(P.X, P.Y, P.Z); }
    // The rectangle between the projections of the top-left and the
    // bottom-right corner at depth Z.
    TRect CalculateRect3D(const TRect& Rect, int Z) const;
    // The projections of (Left, Top), (Right, Top), (Right, Bottom),
    // (Left, Bottom) at depth Z, in this order.
    TFourPoints FourPointsFromRect(const TRect& Rect, int Z) const;
    // PolygonBounds of FourPointsFromRect.
    TRect RectFromRectZ(const TRect& Rect, int Z) const;
    void CubeRect(const TRect& Rect, int Z0, int Z1, bool DarkSides)
    {
        Cube(Rect.Left, Rect.Right, Rect.Top, Rect.Bottom, Z0, Z1, DarkSides);
    }
    void LineWithZPoints(const TPoint& P0, const TPoint& P1, int Z) { LineWithZ(P0.X, P0.Y, P1.X, P1.Y, Z); }
    void MoveTo3DPoint(const TPoint3D& P) { MoveTo3D(P.X, P.Y, P.Z); }
    void LineTo3DPoint(const TPoint3D& P) { LineTo3D(P.X, P.Y, P.Z); }
    void PlaneWithZPoints(const TFourPoints& Points, int Z) { PlaneWithZ(Points[0], Points[1], Points[2], Points[3], Z); }
    void RectangleWithZCoords(int Left, int Top, int Right, int Bottom, int Z)
    {
        RectangleWithZ(MakeRect(Left, Top, Right, Bottom), Z);
    }
    void ArrowDefault(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight,
                      int Z)
    {
        Arrow(Filled, FromPoint, ToPoint, HeadWidth, HeadHeight, Z, 50.0);
    }
    // Draws Graphic into Rect at depth Z, one projected quadrilateral per
    // source pixel (for small back images); the pen ends clear. Nothing for
    // nullptr or an empty graphic.
    void StretchDrawWithZ(const TRect& Rect, const TGraphic* Graphic, int Z);

    // --- State ---

    // The options of the current pass (observed; nullptr when there are none).
    TView3DOptions* View3DOptions() const { return FView3DOptions.data(); }
    // Depth of BeginNoRotation nesting.
    int NoRotationLevel() const { return FNoRotationLevel; }
    bool IsOrthogonal() const { return FIsOrthogonal; }
    // The projection origin: the centre of the chart rectangle and half the
    // chart depth (SetProjection).
    int XCenter() const { return FXCenter; }
    int YCenter() const { return FYCenter; }
    int ZCenter() const { return FZCenter; }
    // Offsets added to the origin by SetProjection; zero unless set.
    TPointFloat3D RotationCenter() const { return FRotationCenter; }
    void SetRotationCenter(const TPointFloat3D& Value) { FRotationCenter = Value; }

protected:
    QPointer<TView3DOptions> FView3DOptions;
    bool FIsOrthogonal = false;
    int FXCenter = 0;
    int FYCenter = 0;
    int FZCenter = 0;

private:
    int FNoRotationLevel = 0;
    TPointFloat3D FRotationCenter;
};

} // namespace lp
