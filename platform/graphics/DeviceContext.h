#pragma once
// The device context: the drawing surface every canvas of the system draws
// on, with the state and the rules of a classic raster graphics device.
//
//   TDeviceContext (state, mapping, paths, clipping, geometry of primitives)
//     ├─ TPainterDC    draws with QPainter on an image, a widget or a printer
//     ├─ TRecordingDC  draws nothing, logs every call (tests)
//     └─ (the metafile recorder comes with the metafile support)
//
// The base class keeps the whole drawing state and turns every primitive
// into device-space geometry by the device's rules; an engine implements the
// small core (stroke and fill a path, text, pixels, images, region fills).
// An engine may override a primitive to do it better; the recorder
// overrides all of them to log them.
//
// Rules every engine keeps (the drawing code relies on them):
// - a line does not draw its last pixel; Rectangle, Ellipse, RoundRect,
//   Pie, Chord and FillRect exclude the right and bottom edges;
// - a null pen makes filled shapes one pixel smaller on the right and bottom;
// - hatch gaps follow the background mode and colour; a monochrome pattern
//   brush paints its set (black) pixels in the text colour and its other
//   pixels in the background colour;
// - coordinates are logical and go through the window/viewport mapping;
//   regions and clips are in device coordinates.

#include "platform/graphics/GraphicsTypes.h"

#include <QtCore/QHash>
#include <QtGui/QFont>
#include <QtGui/QImage>
#include <QtGui/QPainterPath>
#include <QtGui/QRegion>
#include <QtGui/QTransform>

#include <optional>
#include <vector>

namespace lp {

// --- Codes --------------------------------------------------------------------

enum TPenStyleCode : int {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
    PS_USERSTYLE = 7,
    PS_ALTERNATE = 8,
};

enum TPenEndCap : int { PS_ENDCAP_ROUND = 0x0000, PS_ENDCAP_SQUARE = 0x0100, PS_ENDCAP_FLAT = 0x0200 };
enum TPenJoin : int { PS_JOIN_ROUND = 0x0000, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000 };
inline constexpr int PS_GEOMETRIC = 0x10000;
inline constexpr int PS_STYLE_MASK = 0x0F;
inline constexpr int PS_ENDCAP_MASK = 0x0F00;
inline constexpr int PS_JOIN_MASK = 0xF000;

// Raster operations of pens and brushes (binary: pen with destination).
enum TRop2 : int {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16,
};

// Raster operations of block transfers (source, pattern, destination).
enum TRop3 : uint32_t {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328,
    NOTSRCCOPY = 0x00330008,
    NOTSRCERASE = 0x001100A6,
    MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};

enum TBkMode : int { TRANSPARENT = 1, OPAQUE = 2 };
enum TPolyFillMode : int { ALTERNATE = 1, WINDING = 2 };
enum TArcDirection : int { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum TRegionMode : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum TMapMode : int { MM_TEXT = 1, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };
enum TFloodFillType : int { FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1 };

// Text alignment flags.
enum TTextAlign : unsigned {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};
inline constexpr unsigned TA_HORIZONTAL_MASK = 6;
inline constexpr unsigned TA_VERTICAL_MASK = 24;

// Hatch indices of hatched brushes.
enum THatch : int { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };

// Device capability indices.
enum TDeviceCap : int {
    TECHNOLOGY = 2,
    HORZSIZE = 4,
    VERTSIZE = 6,
    HORZRES = 8,
    VERTRES = 10,
    BITSPIXEL = 12,
    PLANES = 14,
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
    PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112,
    PHYSICALOFFSETY = 113,
};
enum TTechnology : int { DT_RASDISPLAY = 1, DT_RASPRINTER = 2, DT_METAFILE = 5 };

// --- Logical objects -------------------------------------------------------------

// A colour at a place along a gradient (0 its start, 1 its end).
struct TGradientStop {
    double Offset = 0.0;
    TColor Color = clBlack;
    friend bool operator==(const TGradientStop&, const TGradientStop&) = default;
};

// A pen as the device sees it. Cosmetic pens are one pixel wide whatever
// their width says; geometric pens have width, caps and joins. User-style
// dashes are in logical units and do not scale with the width.
struct TLogPen {
    int Style = PS_SOLID;              // a TPenStyleCode
    bool Geometric = false;
    int Width = 1;
    TColor Color = clBlack;
    int EndCap = PS_ENDCAP_ROUND;
    int Join = PS_JOIN_ROUND;
    std::vector<uint32_t> UserStyle;   // dash, gap, dash, gap ... (PS_USERSTYLE)
    friend bool operator==(const TLogPen&, const TLogPen&) = default;
};

// The pen a plain pen creation gives: widths above 1 make geometric pens
// with round ends and joins, and such pens draw every style but null and
// inside-frame as solid.
TLogPen CreatePen(int style, int width, TColor color);
// An extended pen: style flags (style | PS_GEOMETRIC | end cap | join), a
// width, a solid colour and an optional user style.
TLogPen ExtCreatePen(int styleFlags, int width, TColor color, std::vector<uint32_t> userStyle = {});

enum class TBrushKind { Solid, Null, Hatched, Pattern, DCBrush };

struct TLogBrush {
    TBrushKind Kind = TBrushKind::Solid;
    TColor Color = clWhite;
    int Hatch = HS_HORIZONTAL;   // with Hatched
    QImage Pattern;              // with Pattern: monochrome, or any image used as it is
    friend bool operator==(const TLogBrush& a, const TLogBrush& b)
    {
        return a.Kind == b.Kind && a.Color == b.Color && a.Hatch == b.Hatch && a.Pattern == b.Pattern;
    }
};

TLogBrush CreateSolidBrush(TColor color);
TLogBrush CreateHatchBrush(int hatch, TColor color);
TLogBrush CreatePatternBrush(const QImage& pattern);
TLogBrush NullBrush();

// A font as the device sees it. Height below 0 is the character height
// (em size) in pixels, above 0 the cell height; escapement and orientation
// are in tenths of a degree, counter-clockwise.
struct TLogFont {
    int Height = -11;
    int Escapement = 0;
    int Orientation = 0;
    int Weight = 400;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int CharSet = 1;
    int OutPrecision = 0;
    int Quality = 0;
    QString FaceName = QStringLiteral("Arial");
    friend bool operator==(const TLogFont&, const TLogFont&) = default;
};

// Qt's caps and joins for a geometric pen's end style and join.
Qt::PenCapStyle QtCapOf(int endCap);
Qt::PenJoinStyle QtJoinOf(int join);

// The installed family that stands for a face name ("Arial" → Liberation
// Sans, "Times New Roman" → Liberation Serif, "Courier New" → Liberation
// Mono, "Tahoma" and "MS Sans Serif" → Liberation Sans).
QString MapFontFamily(const QString& faceName);
// The Qt font of a logical font (without rotation).
QFont ToQFont(const TLogFont& font);

struct TTextMetric {
    int Height = 0;  // ascent + descent
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
};

// Where a text goes on the device: the reference point, the angle of the
// baseline (degrees, counter-clockwise), and, in the rotated frame whose
// origin is the reference point, the start of the baseline and the cell.
struct TTextPlacement {
    QPointF Reference;
    double Angle = 0.0;
    QPointF Baseline;
    QRectF Cell;
    QFont DeviceFont;
    int Width = 0; // logical advance of the whole text
    // The horizontal scale of the glyphs in the rotated frame: the device
    // font's height is whole pixels, so a scaled text is stretched to fill
    // the width it was measured at.
    double Stretch = 1.0;
    // Where the glyphs start once the frame is stretched.
    QPointF GlyphOrigin() const { return {Baseline.x() / Stretch, Baseline.y()}; }
};

// A region in device coordinates.
using TRegion = QRegion;
TRegion CreateRectRgn(int left, int top, int right, int bottom);
// The rounded rectangle and the ellipse take the pixels within Area only,
// when Area is not empty (see RegionFromPath).
TRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height,
                           const QRect& area = QRect());
TRegion CreateEllipticRgn(int left, int top, int right, int bottom, const QRect& area = QRect());
TRegion CreatePolygonRgn(const TPoint* points, int count, int fillMode);
// The part of a polygon (device coordinates) within Area: each half-plane
// of Area in turn cuts the edges that leave it and joins the cuts along its
// border. Inside Area the result fills the same pixels as the polygon, by
// either fill rule.
QPolygonF PolygonWithin(const QPolygonF& points, const QRectF& area);
// The region of a polygon (device coordinates, rounded to pixels), of which
// only the part within Area counts: a polygon reaching past Area is cut to
// it first, so the region costs no more than Area's pixels however far its
// corners lie. An empty Area stands for no bound.
TRegion CreatePolygonRgnWithin(const QPolygonF& points, int fillMode, const QRect& area);
TRegion CombineRgn(const TRegion& a, const TRegion& b, int mode);
// The pixels a path (device coordinates) fills, by its fill rule; with an
// Area that is not empty, only those within it: a path reaching past Area
// is cut to it first, so the region costs no more than Area's pixels.
TRegion RegionFromPath(const QPainterPath& path, const QRect& area = QRect());

// --- The device context ---------------------------------------------------------

class TDeviceContext {
public:
    TDeviceContext();
    virtual ~TDeviceContext();
    TDeviceContext(const TDeviceContext&) = delete;
    TDeviceContext& operator=(const TDeviceContext&) = delete;

    // State. Setters return the previous value where the device does.
    virtual void SelectPen(const TLogPen& pen);
    const TLogPen& Pen() const { return FPen; }
    virtual void SelectBrush(const TLogBrush& brush);
    const TLogBrush& Brush() const { return FBrush; }
    virtual void SelectFont(const TLogFont& font);
    const TLogFont& Font() const { return FFont; }
    virtual TColor SetTextColor(TColor color);
    TColor TextColor() const { return FTextColor; }
    virtual TColor SetBkColor(TColor color);
    TColor BkColor() const { return FBkColor; }
    virtual int SetBkMode(int mode);
    int BkMode() const { return FBkMode; }
    virtual unsigned SetTextAlign(unsigned align);
    unsigned TextAlign() const { return FTextAlign; }
    virtual int SetROP2(int rop);
    int ROP2() const { return FRop2; }
    virtual int SetPolyFillMode(int mode);
    int PolyFillMode() const { return FPolyFillMode; }
    virtual int SetArcDirection(int direction);
    int ArcDirection() const { return FArcDirection; }
    // Extra pixels after each character, kept within +-MaxPixelLength.
    virtual int SetTextCharacterExtra(int extra);
    int TextCharacterExtra() const { return FCharExtra; }
    // The colour of the device's own brush (TBrushKind::DCBrush).
    virtual TColor SetDCBrushColor(TColor color);
    TColor DCBrushColor() const { return FDCBrushColor; }
    virtual void SetBrushOrg(int x, int y);
    TPoint BrushOrg() const { return FBrushOrg; }

    // Mapping of logical to device coordinates.
    virtual int SetMapMode(int mode);
    int MapMode() const { return FMapMode; }
    virtual void SetWindowOrg(int x, int y);
    virtual void SetWindowExt(int cx, int cy);
    virtual void SetViewportOrg(int x, int y);
    virtual void SetViewportExt(int cx, int cy);
    TPoint WindowOrg() const { return FWindowOrg; }
    TSize WindowExt() const { return FWindowExt; }
    TPoint ViewportOrg() const { return FViewportOrg; }
    TSize ViewportExt() const { return FViewportExt; }
    TPoint LPtoDP(const TPoint& p) const;
    TPoint DPtoLP(const TPoint& p) const;
    // Logical to device, as a transform.
    QTransform Mapping() const;
    // The scale of Mapping along X and Y.
    void MappingScale(double& sx, double& sy) const;

    virtual int GetDeviceCaps(int index) const = 0;

    // Lines.
    virtual void MoveTo(int x, int y);
    virtual void LineTo(int x, int y);
    TPoint CurrentPosition() const { return FPosition; }
    virtual void Polyline(const TPoint* points, int count);
    virtual void PolylineTo(const TPoint* points, int count);
    virtual void PolyBezier(const TPoint* points, int count);
    virtual void Arc(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd);
    virtual void ArcTo(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd);

    // Filled shapes (outlined with the pen, filled with the brush).
    virtual void Rectangle(int l, int t, int r, int b);
    virtual void RoundRect(int l, int t, int r, int b, int width, int height);
    virtual void Ellipse(int l, int t, int r, int b);
    virtual void Pie(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd);
    virtual void Chord(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd);
    virtual void Polygon(const TPoint* points, int count);
    virtual void PolyPolygon(const TPoint* points, const int* counts, int polygons);

    // Brush fills without the pen.
    virtual void FillRect(const TRect& rect, const TLogBrush& brush);
    virtual void FillRgn(const TRegion& region, const TLogBrush& brush);
    virtual void PatBlt(int x, int y, int width, int height, uint32_t rop);
    // Fills a logical rectangle with colours that change along the line
    // from start to end (logical points) through the stops (offsets 0 to 1,
    // ascending) and stay the same across it. True when the device drew it
    // as one gradient (a vector file keeps it as such); false, with nothing
    // drawn, when the device has none and the caller paints the colours in
    // bands itself. The base has none.
    virtual bool LinearGradientFill(const TRect& rect, const QPointF& start, const QPointF& end,
                                    const std::vector<TGradientStop>& stops);

    // Text at the current alignment, font, colours and spacing.
    virtual void TextOut(int x, int y, const QString& text);
    virtual TSize GetTextExtent(const QString& text) const;
    virtual TTextMetric GetTextMetrics() const;
    // TextOut filling the given logical width (a recorded text played back
    // at the advances it was measured at).
    void TextOutFitted(int x, int y, const QString& text, int width);

    // Pixels; GetPixel of a point outside the device gives clNone.
    virtual void SetPixel(int x, int y, TColor color) = 0;
    virtual TColor GetPixel(int x, int y) const = 0;
    // Fills the area around (x, y): FLOODFILLBORDER up to pixels of the
    // colour, FLOODFILLSURFACE over pixels of the colour. False when the
    // device has no pixels to read or the start pixel does not qualify.
    virtual bool ExtFloodFill(int x, int y, TColor color, int type);

    // Block transfers. The source must have pixels (Image() not null).
    virtual void BitBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy,
                        uint32_t rop);
    virtual void StretchBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy,
                            int sw, int sh, uint32_t rop);
    // Draws an image into the logical rectangle (stretched), optionally
    // leaving the pixels of one colour out.
    virtual void DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent = {});

    // Clipping (device coordinates). Returns the kind of the resulting
    // region (0 none, 1 empty, 2 simple, 3 complex).
    virtual int SelectClipRgn(const TRegion* region);
    virtual int ExtSelectClipRgn(const TRegion* region, int mode);
    virtual int IntersectClipRect(int l, int t, int r, int b);
    // 1 and the clip when there is one, 0 when there is none.
    int GetClipRgn(TRegion& region) const;
    const std::optional<TRegion>& ClipRegion() const { return FClip; }

    // Paths: between BeginPath and EndPath the primitives add to the path
    // instead of drawing.
    virtual void BeginPath();
    virtual void EndPath();
    virtual void AbortPath();
    virtual void CloseFigure();
    virtual void StrokePath();
    virtual void FillPath();
    virtual void StrokeAndFillPath();
    virtual void WidenPath();
    virtual int SelectClipPath(int mode);
    bool InPath() const { return FPathOpen; }
    // The path built last, in device coordinates.
    const QPainterPath& CurrentPath() const { return FPath; }

    // The pixels of a raster device, or null.
    virtual const QImage* Image() const { return nullptr; }
    // The device's surface in device pixels (the area "no clip" stands for).
    virtual QRect DeviceBounds() const = 0;

    // Every device-state value back to the defaults of a new device.
    void ResetDefaults();

protected:
    // The core an engine implements. Paths are in device coordinates, the
    // state (pen, brush, colours, raster mode, clip) is the context's own.
    virtual void EngineStrokeFillPath(const QPainterPath& path, bool stroke, bool fill) = 0;
    virtual void EngineFillRegion(const TRegion& region, const TLogBrush& brush) = 0;
    virtual void EngineText(int x, int y, const QString& text) = 0;
    virtual void EngineDrawImage(const QRect& dest, const QImage& image, const QRect& source, uint32_t rop,
                                 std::optional<TColor> transparent) = 0;
    virtual void EnginePatBlt(const QRect& dest, uint32_t rop) = 0;
    // Called after the clip or the mapping changed.
    virtual void StateChanged() {}

    // The ellipse box (device space) and the parametric start angle and
    // sweep (degrees, counter-clockwise positive) of the arc between two
    // radial points, in the current arc direction.
    struct TArcGeometry {
        QRectF Box;
        double Start = 0.0;
        double Sweep = 0.0;
    };
    TArcGeometry ArcGeometry(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd) const;
    // The arc alone, as a path that starts at its first point.
    QPainterPath ArcPath(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd) const;
    // Adds geometry to the open path, or draws it.
    void Emit(const QPainterPath& path, bool stroke, bool fill);
    // Whether shapes are filled/stroked with the current objects.
    bool PenDraws() const;
    bool BrushFills() const;
    QPointF ToDevice(int x, int y) const;
    // The device-space layout of a text at (x, y) by the alignment, font,
    // escapement and spacing; TA_UPDATECP takes the current position.
    TTextPlacement PlaceText(int x, int y, const QString& text) const;
    // The font in device pixels (the logical height through the mapping).
    QFont DeviceFont() const;
    // The width of a text in the logical font (advance, without the
    // character spacing) and in the device font; kept per font.
    int LogicalAdvance(const QString& text) const;
    double DeviceAdvance(const QString& text) const;
    // Removes the figure being built and closes the path bracket.
    void DiscardPath();
    // Starts a new figure at from unless the path already ends there.
    void ContinuePathFrom(const QPointF& from);
    // Combines the clip with a region (nullptr with RGN_COPY removes it).
    int CombineClip(const TRegion* region, int mode);
    // The pixel rectangle of a filled shape from (l, t) to (r, b): the
    // corners normalised, right and bottom excluded.
    QRectF ShapeBox(int l, int t, int r, int b) const;

private:
    TLogPen FPen;
    TLogBrush FBrush;
    TLogFont FFont;
    TColor FTextColor = clBlack;
    TColor FBkColor = clWhite;
    int FBkMode = OPAQUE;
    unsigned FTextAlign = 0;
    int FRop2 = R2_COPYPEN;
    int FPolyFillMode = ALTERNATE;
    int FArcDirection = AD_COUNTERCLOCKWISE;
    int FCharExtra = 0;
    TColor FDCBrushColor = clWhite;
    TPoint FBrushOrg;
    int FMapMode = MM_TEXT;
    TPoint FWindowOrg;
    TSize FWindowExt{1, 1};
    TPoint FViewportOrg;
    TSize FViewportExt{1, 1};
    TPoint FPosition;
    std::optional<TRegion> FClip;
    std::optional<int> FFittedWidth; // set during TextOutFitted
    bool FPathOpen = false;
    QPainterPath FPath;

    // What text layout keeps while the font, the mapping's scale and the
    // character spacing stay: the Qt fonts, their metrics and the widths of
    // the texts met (a label is measured for the layout and again to be
    // drawn, paint after paint).
    struct TTextCache {
        bool Valid = false;
        TLogFont Font;
        double Scale = 0.0;
        double ScaleX = 0.0;
        int CharExtra = 0;
        QFont LogicalFont;
        int Ascent = 0;
        int Descent = 0;
        QFont DeviceFont;
        double DeviceAscent = 0.0;
        double DeviceDescent = 0.0;
        QHash<QString, int> Advances;
        QHash<QString, double> DeviceAdvances;
    };
    const TTextCache& TextCache() const;
    mutable TTextCache FTextCache;
    // False once the cache was checked against the font, the spacing and
    // the mapping's scale, until one of them is set again: every measured
    // and drawn text asks for the cache.
    mutable bool FTextCacheChecked = false;
};

// A device context that keeps the whole state and draws nothing: the base of
// recorders and of state trackers.
class TNullEngineDC : public TDeviceContext {
protected:
    void EngineStrokeFillPath(const QPainterPath&, bool, bool) override {}
    void EngineFillRegion(const TRegion&, const TLogBrush&) override {}
    void EngineText(int, int, const QString&) override {}
    void EngineDrawImage(const QRect&, const QImage&, const QRect&, uint32_t, std::optional<TColor>) override {}
    void EnginePatBlt(const QRect&, uint32_t) override {}
};

} // namespace lp
