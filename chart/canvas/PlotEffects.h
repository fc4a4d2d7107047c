#pragma once
// The decoration objects of chart elements: drop shadows, gradient fills and
// chart fonts.
//
//   TPlotShadow            offset copy behind a rectangle or an ellipse,
//                          fading or hard, optionally translucent
//   TCustomPlotGradient    two- or three-colour fill in ten directions
//     └─ TPlotGradient     the same with its properties published
//          └─ TPlotFontGradient  + Outline (fill the text outline path)
//   TPlotFont (TFont)      + InterCharSize and, created on first read,
//                          OutLine (TChartHiddenPen), Shadow, Gradient
//
// Ownership: panels, walls, legends, titles, marks and series own these
// objects; TPlotFont owns its three sub-objects and hands them its own
// change callback, so a change anywhere in a font reaches the font's owner.
// Every effective property change calls the object's change callback with
// the object as sender; Assign copies without calling it.
//
// Drawing goes through the chart canvas interface (TCanvas3D, PlotCanvas.h)
// and reaches the device directly only for the radial fill's per-colour
// device brush. Coordinate arithmetic is checked: a sum that leaves 32 bits
// raises ERangeError and ends the drawing. Clips taken by these routines are
// removed again, also when the drawing fails.

#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotTypes.h"
#include "platform/core/Component.h"
#include "platform/graphics/Canvas.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace lp {

class TCanvas3D;   // chart/canvas/PlotCanvas.h
class TPlotBlend;  // chart/canvas/PlotBlend.h
class TPlotCanvas; // chart/canvas/PlotCanvas.h

// --- Gradient directions ------------------------------------------------------------------------

// Holds the gradient directions for the meta-object system, so streaming
// and editors can name them.
class TGradientDirections {
    Q_GADGET
public:
    enum TGradientDirection : uint8_t {
        gdTopBottom,
        gdBottomTop,
        gdLeftRight,
        gdRightLeft,
        gdFromCenter,
        gdFromTopLeft,
        gdFromBottomLeft,
        gdRadial,
        gdDiagonalUp,
        gdDiagonalDown
    };
    Q_ENUM(TGradientDirection)
};

using TGradientDirection = TGradientDirections::TGradientDirection;
inline constexpr TGradientDirection gdTopBottom = TGradientDirections::gdTopBottom;
inline constexpr TGradientDirection gdBottomTop = TGradientDirections::gdBottomTop;
inline constexpr TGradientDirection gdLeftRight = TGradientDirections::gdLeftRight;
inline constexpr TGradientDirection gdRightLeft = TGradientDirections::gdRightLeft;
inline constexpr TGradientDirection gdFromCenter = TGradientDirections::gdFromCenter;
inline constexpr TGradientDirection gdFromTopLeft = TGradientDirections::gdFromTopLeft;
inline constexpr TGradientDirection gdFromBottomLeft = TGradientDirections::gdFromBottomLeft;
inline constexpr TGradientDirection gdRadial = TGradientDirections::gdRadial;
inline constexpr TGradientDirection gdDiagonalUp = TGradientDirections::gdDiagonalUp;
inline constexpr TGradientDirection gdDiagonalDown = TGradientDirections::gdDiagonalDown;

// The range of a gradient's Balance (setters clamp, text readers refuse).
inline constexpr int MinGradientBalance = 0;
inline constexpr int MaxGradientBalance = 100;

// --- Default chart font ------------------------------------------------------------------------

// The chart library's default font, used by ResetState and new chart fonts:
// "Arial", 8 points from the start; start-up (InitializePlotBlend) may
// replace them from the message texts before any chart exists.
QString DefaultFontName();
void SetDefaultFontName(const QString& Value);
int DefaultFontSize();
void SetDefaultFontSize(int Value);

// The change event of the decoration objects; the sender is the object that
// changed.
using TPersistentChangeEvent = std::function<void(TPersistent* Sender)>;

// --- TPlotShadow ---------------------------------------------------------------------------------

// A drop shadow: an offset copy in a colour, fading (Smooth) or hard,
// optionally translucent.
class TPlotShadow : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("stored:Color", "IsColorStored")
    Q_PROPERTY(int HorizSize READ HorizSize WRITE SetHorizSize)
    Q_CLASSINFO("stored:HorizSize", "IsHorizSizeStored")
    Q_PROPERTY(bool Smooth READ Smooth WRITE SetSmooth)
    Q_CLASSINFO("default:Smooth", "true")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(int VertSize READ VertSize WRITE SetVertSize)
    Q_CLASSINFO("stored:VertSize", "IsVertSizeStored")

public:
    explicit TPlotShadow(TPersistentChangeEvent ChangeEvent = {});
    ~TPlotShadow() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // Pixels; negative places the shadow left. Both sizes keep within
    // +-MaxPixelLength (platform/graphics/DrawingLimits.h).
    int HorizSize() const { return FHorizSize; }
    void SetHorizSize(int value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool value);
    // Percent, 0 .. 100; ERangeError outside.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int value);
    // Pixels; negative places the shadow above.
    int VertSize() const { return FVertSize; }
    void SetVertSize(int value);
    // The larger of the two sizes; writing sets both.
    int Size() const;
    void SetSize(int value);

    // The values that are not stored; owners may move them.
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor value) { FDefaultColor = value; }
    int DefaultSize() const { return FDefaultSize; }
    void SetDefaultSize(int value) { FDefaultSize = value; }
    Q_INVOKABLE bool IsColorStored() const { return FColor != FDefaultColor; }
    Q_INVOKABLE bool IsHorizSizeStored() const { return FHorizSize != FDefaultSize; }
    Q_INVOKABLE bool IsVertSizeStored() const { return FVertSize != FDefaultSize; }

    TPersistentChangeEvent OnChange;

    // From a shadow: Color, HorizSize, Smooth, Transparency, VertSize (not
    // the defaults, not the event); anything else raises EConvertError.
    void Assign(const TPersistent* Source) override;

    // The shadow of Rect (right and bottom exclusive) at depth Z: a band
    // below (VertSize) and one to the right (HorizSize). Smooth with a Size
    // above 1 fades each band line by line towards white (bands of negative
    // size are left out; on a flat canvas lines past its bounds are not
    // drawn); otherwise solid rectangles. Inside a no-rotation
    // bracket of the canvas the 2-D primitives draw, else their 3-D forms at
    // Z. Nothing is drawn when PrepareCanvas refuses. The canvas pen and
    // brush are left as the shadow set them.
    void Draw(TCanvas3D& Canvas, const TRect& Rect);
    void DrawWithDepth(TCanvas3D& Canvas, const TRect& Rect, int Z);
    // The shadow of the ellipse in Rect at depth Z: Smooth fills the
    // projected, offset ellipse with a radial fill from the colour darkened
    // by 128 at the centre to the colour lightened by 32 at the rim;
    // otherwise a solid ellipse.
    void DrawEllipse(TCanvas3D& Canvas, const TRect& Rect, int Z);

    // Whether the shadow is drawable (Color not clNone, a size not 0); if so
    // the canvas brush becomes solid in Color (without a pattern bitmap),
    // the pen clear, and with a Transparency above 0 a blend is begun over
    // the offset Rect's projected bounds at Z and kept until FinishBlending.
    bool PrepareCanvas(TCanvas3D& Canvas, const TRect& Rect, int Z);
    // Ends the blend begun by PrepareCanvas, if any.
    void FinishBlending(TCanvas3D& Canvas);

private:
    void Changed();
    // The draw operations after a successful PrepareCanvas.
    void DrawBands(TCanvas3D& Canvas, const TRect& Rect, int Z);
    void DrawEllipseShape(TCanvas3D& Canvas, const TRect& Rect, int Z);

    TColor FColor = clSilver;
    int FHorizSize = 0;
    bool FSmooth = true;
    uint8_t FTransparency = 0;
    int FVertSize = 0;
    TColor FDefaultColor = clSilver;
    int FDefaultSize = 0;
    // The blend of one translucent drawing, between PrepareCanvas and
    // FinishBlending.
    std::unique_ptr<TPlotBlend> FBlend;
};

// --- Gradients -----------------------------------------------------------------------------------

// A two- or three-colour fill. The canvas's GradientFill places the colours
// (gdTopBottom: EndColor at the top, StartColor at the bottom; gdFromCenter:
// StartColor at the centre; gdRadial: StartColor at the centre, EndColor at
// the rim); a middle colour, when in use, lies across the centre line of
// the four straight directions.
class TCustomPlotGradient : public TPersistent {
    Q_OBJECT
public:
    explicit TCustomPlotGradient(std::function<void(TPersistent*)> OnChange = {});
    ~TCustomPlotGradient() override;

    // 50 is a linear ramp; other values bend it:
    // f(i) = ((1 + i) / (1 + n)) ^ (0.015 × Balance + 0.5). Kept within
    // MinGradientBalance .. MaxGradientBalance.
    int Balance() const { return FBalance; }
    void SetBalance(int value);
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor value);
    // clNone while no middle colour is in use, else the stored one. Writing
    // clNone stops using it (the stored colour is kept); any other colour
    // is stored and used. Either write signals a change.
    TColor MidColor() const;
    void SetMidColor(TColor value);
    // Offsets of the radial centre from the rectangle's centre, in pixels,
    // within +-MaxPixelLength.
    int RadialX() const { return FRadialX; }
    void SetRadialX(int value);
    int RadialY() const { return FRadialY; }
    void SetRadialY(int value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    // Uses the stored middle colour again (and signals) when it was not in
    // use.
    void UseMiddleColor();
    bool MiddleColorInUse() const { return FUseMidColor; }

    std::function<void(TPersistent*)> OnChange;

    // From any gradient: the eight values, the stored middle colour and
    // whether it is in use (no change signal); anything else raises
    // EConvertError.
    void Assign(const TPersistent* Source) override;

    // Fills Rect; RoundSize above 0 clips to the rectangle with rounded
    // corners of that size. Monochrome canvases get the colours in grey
    // (the radial fill too). gdRadial: the radial fill. A middle colour in use splits the four
    // straight directions at the centre line into two GradientFill calls of
    // balance 50 (in the normalised rectangle); the three corner and centre
    // directions then draw one start-to-end fill of balance 50; every other
    // case is one GradientFill with Direction and Balance.
    void Draw(TCanvas3D& Canvas, const TRect& Rect, int RoundSize = 0);
    // Concentric ellipses from EndColor at the rim to StartColor at the
    // centre, clipped to the normalised Rect: at most 255 steps, centre one
    // pixel right and below the middle plus (RadialX, RadialY). An empty
    // Rect draws nothing. The canvas brush colour and pen style are
    // restored afterwards, also when the drawing fails.
    void DrawRadial(TCanvas3D& Canvas, const TRect& Rect);
    // Fills the polygon of Points: with Is3D the points are projected at Z
    // and the fill rectangle is the projection of their bounds. No points
    // draw nothing.
    void DrawPolygon(TCanvas3D& Canvas, const TPointArray& Points, int Z, bool Is3D);
    // Fills the quadrilateral P (clipped to it, filling its bounds), or its
    // projection at Z.
    void DrawFourPoints(TCanvas3D& Canvas, const TFourPoints& P);
    void DrawFourPointsWithZ(TCanvas3D& Canvas, const TFourPoints& P, int Z);

protected:
    void Changed();

private:
    // The radial fill in the given colours (Draw passes them greyed on a
    // monochrome canvas).
    void FillRadial(TCanvas3D& Canvas, const TRect& Rect, TColor Start, TColor End);

    int FBalance = 50;
    TGradientDirection FDirection = gdTopBottom;
    TColor FEndColor = clYellow;
    TColor FMidColor = clNone;
    int FRadialX = 0;
    int FRadialY = 0;
    TColor FStartColor = clWhite;
    bool FVisible = false;
    bool FUseMidColor = false;
};

class TPlotGradient : public TCustomPlotGradient {
    Q_OBJECT
    Q_PROPERTY(int Balance READ Balance WRITE SetBalance)
    Q_CLASSINFO("default:Balance", "50")
    Q_PROPERTY(lp::TGradientDirections::TGradientDirection Direction READ Direction WRITE SetDirection)
    Q_CLASSINFO("default:Direction", "gdTopBottom")
    Q_PROPERTY(int EndColor READ EndColor WRITE SetEndColor)
    Q_CLASSINFO("default:EndColor", "65535")
    Q_PROPERTY(int MidColor READ MidColor WRITE SetMidColor)
    Q_CLASSINFO("default:MidColor", "0x1FFFFFFF")
    Q_PROPERTY(int RadialX READ RadialX WRITE SetRadialX)
    Q_CLASSINFO("default:RadialX", "0")
    Q_PROPERTY(int RadialY READ RadialY WRITE SetRadialY)
    Q_CLASSINFO("default:RadialY", "0")
    Q_PROPERTY(int StartColor READ StartColor WRITE SetStartColor)
    Q_CLASSINFO("default:StartColor", "0xFFFFFF")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "false")

public:
    explicit TPlotGradient(std::function<void(TPersistent*)> OnChange = {});
};

// The gradient of a chart font's text. Assign is the gradient's: Outline is
// not copied.
class TPlotFontGradient : public TPlotGradient {
    Q_OBJECT
    Q_PROPERTY(bool Outline READ Outline WRITE SetOutline)
    Q_CLASSINFO("default:Outline", "false")

public:
    explicit TPlotFontGradient(std::function<void(TPersistent*)> OnChange = {});

    // Fill the text's outline path (widened by the pen) instead of its
    // glyphs; the canvas's text output decides how.
    bool Outline() const { return FOutline; }
    void SetOutline(bool value);

private:
    bool FOutline = false;
};

// --- TPlotFont -----------------------------------------------------------------------------------

// A platform font with the chart library's decorations: spacing between
// characters, an outline pen, a shadow and a gradient fill. The three
// sub-objects are created on first read, owned, and report their changes as
// changes of the font.
class TPlotFont : public TFont {
    Q_OBJECT
    // An empty default: the per-object stored rule alone decides (the owner
    // may move the default colour).
    Q_CLASSINFO("default:Color", "")
    Q_CLASSINFO("stored:Color", "IsColorStored")
    Q_PROPERTY(lp::TPlotFontGradient* Gradient READ Gradient WRITE SetGradient)
    Q_CLASSINFO("stored:Height", "IsHeightStored")
    Q_PROPERTY(int InterCharSize READ InterCharSize WRITE SetInterCharSize)
    Q_CLASSINFO("default:InterCharSize", "0")
    Q_CLASSINFO("stored:Name", "IsNameStored")
    Q_PROPERTY(lp::TChartHiddenPen* OutLine READ OutLine WRITE SetOutLine)
    Q_PROPERTY(lp::TPlotShadow* Shadow READ Shadow WRITE SetShadow)
    // Not a valid set: the per-object stored rule alone decides.
    Q_CLASSINFO("default:Style", "-")
    Q_CLASSINFO("stored:Style", "IsStyleStored")

public:
    // The font starts with the default font name and size (DefaultFontName,
    // DefaultFontSize) without signalling.
    explicit TPlotFont(TGraphicsChangeEvent OnChange = {});
    ~TPlotFont() override;

    // Created on first read.
    TPlotFontGradient* Gradient();
    // A copy of value into the own gradient (created if needed); nullptr
    // frees it.
    void SetGradient(const TPlotFontGradient* value);
    bool HasGradient() const { return FGradient != nullptr; }

    // Extra pixels between characters, within +-MaxPixelLength.
    int InterCharSize() const { return FInterCharSize; }
    void SetInterCharSize(int value);

    // Created on first read (an invisible pen).
    TChartHiddenPen* OutLine();
    // A copy of value into the own pen (created if needed); nullptr frees it.
    void SetOutLine(const TChartPen* value);
    bool HasOutLine() const { return FOutLine != nullptr; }

    // Created on first read.
    TPlotShadow* Shadow();
    // A copy of value into the own shadow (created if needed); nullptr frees it.
    void SetShadow(const TPlotShadow* value);
    bool HasShadow() const { return FShadow != nullptr; }

    // The canvas that uses this font as its current font (set by
    // TPlotCanvas::AssignFont, cleared when the canvas moves on or goes).
    TPlotCanvas* Canvas() const { return FCanvas; }

    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor value) { FDefaultColor = value; }
    TFontStyles DefaultStyle() const { return FDefaultStyle; }
    void SetDefaultStyle(TFontStyles value) { FDefaultStyle = value; }
    Q_INVOKABLE bool IsColorStored() const { return Color() != FDefaultColor; }
    Q_INVOKABLE bool IsHeightStored() const { return Size() != DefaultFontSize(); }
    Q_INVOKABLE bool IsNameStored() const { return Name() != DefaultFontName(); }
    Q_INVOKABLE bool IsStyleStored() const { return Style() != FDefaultStyle; }

    // From a chart font: Gradient, OutLine and Shadow through their setters
    // (a source without them frees the own ones) and InterCharSize (no
    // signal of its own); then the platform font's part for any font.
    void Assign(const TPersistent* Source) override;

private:
    friend class TPlotCanvas;

    std::unique_ptr<TPlotFontGradient> FGradient;
    int FInterCharSize = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TPlotShadow> FShadow;
    TPlotCanvas* FCanvas = nullptr;
    TColor FDefaultColor = clBlack;
    TFontStyles FDefaultStyle;
};

} // namespace lp
