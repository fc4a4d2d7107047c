#pragma once
// Point symbols of series, callout lines and the class icons of the editor
// lists.
//
//   TSeriesPointer (TPlotCustomShapeBrushPen)  style, half sizes, 3-D look,
//     │                                         gradient, transparency
//     └─ TCallout                               + arrow pen, arrow head, distance
//          └─ TMarksCallout                     + length: the callout of marks
//
// A pointer observes its owner series (for the series' depths) and draws on
// the canvas of the series' chart. Drawing one symbol goes in two steps:
//   PrepareCanvas(Canvas, Colour)   pen and brush of the pointer in the
//                                   point's colour
//   DrawPointer(Canvas, Is3D, ...)  the outline of the style; with a visible
//                                   gradient the inside is filled by it, with
//                                   Transparency it is blended over what is
//                                   below
// Draw, DrawAtPoint and DrawWithStyle are the short forms on the chart's own
// canvas. A callout draws its arrow from a point to a mark and, without an
// arrow head, the pointer at the point.

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotShapes.h"

#include <QtCore/QPointer>

#include <memory>

namespace lp {

class TBitmap;
class TCanvas;
class TCanvas3D;
class TChartSeries;

// --- TSeriesPointer -----------------------------------------------------------------------------

class TSeriesPointer : public TPlotCustomShapeBrushPen {
    Q_OBJECT
public:
    enum TSeriesPointerStyle {
        psRectangle,
        psCircle,
        psTriangle,
        psDownTriangle,
        psCross,
        psDiagCross,
        psStar,
        psDiamond,
        psSmallDot,
        psNothing,
        psLeftTriangle,
        psRightTriangle,
    };
    Q_ENUM(TSeriesPointerStyle)

private:
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool Dark3D READ Dark3D WRITE SetDark3D)
    Q_CLASSINFO("default:Dark3D", "true")
    Q_PROPERTY(bool Draw3D READ Draw3D WRITE SetDraw3D)
    Q_CLASSINFO("default:Draw3D", "true")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(int HorizSize READ HorizSize WRITE SetHorizSize)
    Q_CLASSINFO("default:HorizSize", "4")
    Q_PROPERTY(bool InflateMargins READ InflateMargins WRITE SetInflateMargins)
    Q_CLASSINFO("default:InflateMargins", "true")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(TSeriesPointerStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "psRectangle")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(int VertSize READ VertSize WRITE SetVertSize)
    Q_CLASSINFO("default:VertSize", "4")
    // Series show or hide their pointer at creation; always stored.
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    // AOwner (observed, may be nullptr) gives the depths and the chart.
    explicit TSeriesPointer(TChartSeries* AOwner = nullptr);
    ~TSeriesPointer() override;

    // From a pointer: Dark3D, Draw3D, Gradient, HorizSize, InflateMargins,
    // Style, Transparency, VertSize; then brush, pen and visibility.
    void Assign(const TPersistent* Source) override;

    TChartSeries* ParentSeries() const { return FSeries.data(); }

    // The brush colour.
    TColor Color() const { return Brush()->Color(); }
    void SetColor(TColor Value) { Brush()->SetColor(Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value);
    bool Draw3D() const { return FDraw3D; }
    void SetDraw3D(bool Value);
    TPlotGradient* Gradient() const { return FGradient.get(); }
    // Copies Value (nothing for nullptr).
    void SetGradient(const TPlotGradient* Value);
    // Half the symbol's width and height in pixels. A value below 1 raises
    // ChartException with the pointer-size message; the size stays. Above
    // MaxPixelLength counts as that.
    int HorizSize() const { return FHorizSize; }
    void SetHorizSize(int Value);
    int VertSize() const { return FVertSize; }
    void SetVertSize(int Value);
    // Store a size without repaint (series that size the pointer per
    // point), checked as by SetHorizSize/SetVertSize.
    void ChangeHorizSize(int Value) { FHorizSize = CheckedSize(Value); }
    void ChangeVertSize(int Value) { FVertSize = CheckedSize(Value); }
    bool InflateMargins() const { return FInflateMargins; }
    void SetInflateMargins(bool Value);
    TSeriesPointerStyle Style() const { return FStyle; }
    void SetStyle(TSeriesPointerStyle Value);
    // Per cent, 0 .. 100 (ERangeError outside).
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);
    // Whether editors offer HorizSize and VertSize: series that size each
    // point themselves clear it.
    bool AllowChangeSize() const { return FAllowChangeSize; }
    void SetAllowChangeSize(bool Value) { FAllowChangeSize = Value; }
    // Whether the gradient keeps its own end colour when drawn; without it
    // each point's colour becomes the end colour, so editors hide it.
    bool UseGradientEndColor() const { return FUseGradientEndColor; }
    void SetUseGradientEndColor(bool Value) { FUseGradientEndColor = Value; }

    // Room a visible pointer with InflateMargins needs beyond the axis
    // range: each side becomes at least HorizSize + 1 (VertSize + 1).
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) const;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) const;

    // Pen and brush for a symbol in AColor: a hidden pen clears the pen
    // style, a pen of colour clPlotColor takes AColor, any other pen is used
    // as it is; a brush of colour clPlotColor fills in AColor when solid,
    // else hatches in black over AColor; another brush colour is its own.
    void PrepareCanvas(TCanvas3D& Canvas, TColor AColor) const;
    // PrepareCanvas on the chart's canvas with the pointer's own colour.
    void PrepareCanvas() const;

    // Draws the symbol of AStyle around (X, Y), half sizes HalfWidth and
    // HalfHeight, with the canvas's pen and brush; Is3D draws solids and
    // projects at the owner series' depths (0 without a series). AColor
    // becomes the gradient's end colour. See the style table in the source.
    void DrawPointer(TCanvas3D& Canvas, bool Is3D, int X, int Y, int HalfWidth, int HalfHeight, TColor AColor,
                     TSeriesPointerStyle AStyle);
    // DrawPointer on the chart's canvas, 3-D as the chart, HorizSize and
    // VertSize, the pointer's Style and colour (nothing without a chart).
    void Draw(int X, int Y);
    void DrawAtPoint(const TPoint& P) { Draw(P.X, P.Y); }
    void DrawWithStyle(int X, int Y, TSeriesPointerStyle AStyle, TColor AColor);
    // The legend symbol in AColor centred in Rect, flat: half sizes at most
    // a third of Rect when a line pen is drawn with it (PenDrawn), else half
    // of Rect plus 1. Prepares the canvas itself.
    void DrawLegendShape(TCanvas3D& Canvas, TColor AColor, const TRect& Rect, bool PenDrawn);

private:
    // Value up to MaxPixelLength; below 1 raises ChartException with the
    // pointer-size message.
    static int CheckedSize(int Value);
    void FillGradient(TCanvas3D& Canvas, bool Is3D, int X, int Y, int L, int T, int R, int B, TColor AColor,
                      TSeriesPointerStyle AStyle);

    QPointer<TChartSeries> FSeries;
    bool FDark3D = true;
    bool FDraw3D = true;
    std::unique_ptr<TPlotGradient> FGradient;
    int FHorizSize = 4;
    bool FInflateMargins = true;
    TSeriesPointerStyle FStyle = psRectangle;
    int FTransparency = 0;
    int FVertSize = 4;
    bool FAllowChangeSize = true;
    bool FUseGradientEndColor = false;
};

using TSeriesPointerStyle = TSeriesPointer::TSeriesPointerStyle;
inline constexpr TSeriesPointerStyle psRectangle = TSeriesPointer::psRectangle;
inline constexpr TSeriesPointerStyle psCircle = TSeriesPointer::psCircle;
inline constexpr TSeriesPointerStyle psTriangle = TSeriesPointer::psTriangle;
inline constexpr TSeriesPointerStyle psDownTriangle = TSeriesPointer::psDownTriangle;
inline constexpr TSeriesPointerStyle psCross = TSeriesPointer::psCross;
inline constexpr TSeriesPointerStyle psDiagCross = TSeriesPointer::psDiagCross;
inline constexpr TSeriesPointerStyle psStar = TSeriesPointer::psStar;
inline constexpr TSeriesPointerStyle psDiamond = TSeriesPointer::psDiamond;
inline constexpr TSeriesPointerStyle psSmallDot = TSeriesPointer::psSmallDot;
inline constexpr TSeriesPointerStyle psNothing = TSeriesPointer::psNothing;
inline constexpr TSeriesPointerStyle psLeftTriangle = TSeriesPointer::psLeftTriangle;
inline constexpr TSeriesPointerStyle psRightTriangle = TSeriesPointer::psRightTriangle;

// --- TCallout -----------------------------------------------------------------------------------

// A pointer with a line to somewhere else: visible, flat (Draw3D off), black.
class TCallout : public TSeriesPointer {
    Q_OBJECT
public:
    enum TArrowHeadStyle { ahNone, ahLine, ahSolid };
    Q_ENUM(TArrowHeadStyle)

private:
    Q_PROPERTY(lp::TWhitePen* Arrow READ Arrow WRITE SetArrow)
    Q_PROPERTY(TArrowHeadStyle ArrowHead READ ArrowHead WRITE SetArrowHead)
    Q_CLASSINFO("default:ArrowHead", "ahNone")
    Q_PROPERTY(int ArrowHeadSize READ ArrowHeadSize WRITE SetArrowHeadSize)
    Q_CLASSINFO("default:ArrowHeadSize", "8")
    Q_PROPERTY(int Distance READ Distance WRITE SetDistance)
    Q_CLASSINFO("default:Distance", "0")
    Q_CLASSINFO("default:Draw3D", "false")
    Q_CLASSINFO("default:Visible", "true")

public:
    explicit TCallout(TChartSeries* AOwner = nullptr);
    ~TCallout() override;

    // From a callout: Distance, Arrow, ArrowHead, ArrowHeadSize; then the
    // pointer's copy.
    void Assign(const TPersistent* Source) override;

    // The line's pen; a colour of clPlotColor draws in the colour given to
    // Draw.
    TWhitePen* Arrow() const { return FArrow.get(); }
    void SetArrow(const TChartPen* Value) { FArrow->Assign(Value); }
    TArrowHeadStyle ArrowHead() const { return FArrowHead; }
    void SetArrowHead(TArrowHeadStyle Value);
    // Width and height of the arrow head in pixels. This, Distance and the
    // marks callout's Length keep within +-MaxPixelLength.
    int ArrowHeadSize() const { return FArrowHeadSize; }
    void SetArrowHeadSize(int Value);
    // Pixels between the point and the line's start.
    int Distance() const { return FDistance; }
    void SetDistance(int Value);

    using TSeriesPointer::Draw;
    // With a visible Arrow pen the line from From to To at depth Z: a plain
    // line (ahNone), an outline arrow (ahLine) or a filled one (ahSolid)
    // with a head ArrowHeadSize wide and high. Without a head and with the
    // callout Visible the pointer is drawn flat at From (projected at Z in
    // a 3-D chart). AColor: the point's colour. Nothing without a chart.
    void Draw(TColor AColor, const TPoint& From, int Z, const TPoint& To);

private:
    std::unique_ptr<TWhitePen> FArrow;
    TArrowHeadStyle FArrowHead = ahNone;
    int FArrowHeadSize = 8;
    int FDistance = 0;
};

using TArrowHeadStyle = TCallout::TArrowHeadStyle;
inline constexpr TArrowHeadStyle ahNone = TCallout::ahNone;
inline constexpr TArrowHeadStyle ahLine = TCallout::ahLine;
inline constexpr TArrowHeadStyle ahSolid = TCallout::ahSolid;

// --- TMarksCallout ------------------------------------------------------------------------------

// The callout of series marks: hidden, white arrow, Length 8.
class TMarksCallout : public TCallout {
    Q_OBJECT
    Q_PROPERTY(int Length READ Length WRITE SetLength)
    Q_CLASSINFO("stored:Length", "IsLengthStored")
    Q_CLASSINFO("default:Visible", "false")

public:
    explicit TMarksCallout(TChartSeries* AOwner = nullptr);

    // From a marks callout: Length; then the callout's copy.
    void Assign(const TPersistent* Source) override;

    // Pixels between the point and its mark.
    int Length() const { return FLength; }
    void SetLength(int Value);
    // The length that is not stored; series types move it (bars 20,
    // points 0).
    int DefaultLength() const { return FDefaultLength; }
    void SetDefaultLength(int Value) { FDefaultLength = Value; }
    Q_INVOKABLE bool IsLengthStored() const { return FLength != FDefaultLength; }

private:
    int FLength = 8;
    int FDefaultLength = 8;
};

// --- Class icons --------------------------------------------------------------------------------

// Fills Bitmap (made 16 x 16) with the icon of Object's class: a picture
// resource named after the class when the program carries one, else our
// own drawing for the nearest class the drawing table knows (series types,
// functions, tools), else a generic icon. The background is the colour
// ClassIconBackground (transparent when drawn). True when the class or one
// of its bases has an icon of its own; False for the generic icon.
bool LoadClassIcon(TBitmap& Bitmap, const QObject& Object);
inline constexpr TColor ClassIconBackground = 0xFF00FF;

// Draws the icon of Object's class with its top-left corner at (X, Y); the
// background stays as it was.
void DrawClassBitmap(TCanvas& Canvas, const QObject& Object, int X, int Y);

} // namespace lp
