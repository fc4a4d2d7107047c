#pragma once
// Pens, brushes and the 3-D view options of the chart library.
//
//   TChartPen (TPen)          + visibility, end style, small dots
//     ├─ TChartHiddenPen      invisible unless the user shows it
//     ├─ TDottedGrayPen       grey dots
//     ├─ TDarkGrayPen         grey
//     └─ TWhitePen            white
//   TChartBrush (TBrush)      + the default-colour mark, an optional picture
//   TView3DOptions            rotation, elevation, tilt, perspective, zoom,
//                             offsets and the orthogonal (oblique) mode
//
// Each object tells its owner of every effective change through the change
// callback given at creation (pens and brushes) or by repainting its parent
// (view options), so the owner repaints. None holds device resources: the
// canvas builds device pens from chart pens when it selects them
// (CreateDevicePen below).
//
// Published properties carry their defaults and stored rules beside the
// Q_PROPERTY (platform/core/PropertyInfo.h); a preset class redeclares the
// defaults its constructor changes.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"

#include <QtCore/QPointer>

#include <functional>
#include <memory>

namespace lp {

// The change callback of the platform's graphics objects; the sender is the
// object that changed.
using TGraphicsChangeEvent = std::function<void(TGraphicsObject*)>;

// --- Pens ----------------------------------------------------------------------------------------

class TChartPen : public TPen {
    Q_OBJECT
public:
    enum TPenEndStyle { esRound, esSquare, esFlat };
    Q_ENUM(TPenEndStyle)

private:
    // EndStyle and Visible have no fixed published default: an owner moves
    // their defaults (DefaultEndStyle, DefaultVisible), and only the stored
    // rule decides.
    Q_PROPERTY(TPenEndStyle EndStyle READ EndStyle WRITE SetEndStyle)
    Q_CLASSINFO("stored:EndStyle", "IsEndStyleStored")
    Q_PROPERTY(bool SmallDots READ SmallDots WRITE SetSmallDots)
    Q_CLASSINFO("default:SmallDots", "false")
    Q_PROPERTY(int SmallSpace READ SmallSpace WRITE SetSmallSpace)
    Q_CLASSINFO("default:SmallSpace", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("stored:Visible", "IsVisibleStored")

public:
    explicit TChartPen(TGraphicsChangeEvent OnChange = {});

    TPenEndStyle EndStyle() const { return FEndStyle; }
    void SetEndStyle(TPenEndStyle value);
    // Draw one-pixel dots SmallSpace + 1 pixels apart (every other pixel
    // when SmallSpace is 0) instead of the Style and Width.
    bool SmallDots() const { return FSmallDots; }
    void SetSmallDots(bool value);
    int SmallSpace() const { return FSmallSpace; }
    void SetSmallSpace(int value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    // What counts as the default of this pen's EndStyle and Visible when the
    // chart is stored; owners change them (not published, no change signal).
    TPenEndStyle DefaultEndStyle() const { return FDefaultEndStyle; }
    void SetDefaultEndStyle(TPenEndStyle value) { FDefaultEndStyle = value; }
    bool DefaultVisible() const { return FDefaultVisible; }
    void SetDefaultVisible(bool value) { FDefaultVisible = value; }

    Q_INVOKABLE bool IsEndStyleStored() const { return FEndStyle != FDefaultEndStyle; }
    Q_INVOKABLE bool IsVisibleStored() const { return FVisible != FDefaultVisible; }

    void Hide() { SetVisible(false); }
    void Show() { SetVisible(true); }

    // From a chart pen: Visible, SmallDots, SmallSpace and EndStyle (without
    // a signal of their own); then the platform pen's assignment (colour,
    // mode, style, width, which signals) for any pen.
    void Assign(const TPersistent* Source) override;

private:
    TPenEndStyle FEndStyle = esRound;
    bool FSmallDots = false;
    int FSmallSpace = 0;
    bool FVisible = true;
    TPenEndStyle FDefaultEndStyle = esRound;
    bool FDefaultVisible = true;
};

using TPenEndStyle = TChartPen::TPenEndStyle;
inline constexpr TPenEndStyle esRound = TChartPen::esRound;
inline constexpr TPenEndStyle esSquare = TChartPen::esSquare;
inline constexpr TPenEndStyle esFlat = TChartPen::esFlat;

// Invisible until shown; an untouched one is not stored.
class TChartHiddenPen : public TChartPen {
    Q_OBJECT
    Q_CLASSINFO("default:Visible", "false")
public:
    explicit TChartHiddenPen(TGraphicsChangeEvent OnChange = {});
};

class TDottedGrayPen : public TChartPen {
    Q_OBJECT
    Q_CLASSINFO("default:Color", "0x808080")
    Q_CLASSINFO("default:Style", "psDot")
public:
    explicit TDottedGrayPen(TGraphicsChangeEvent OnChange = {});
};

class TDarkGrayPen : public TChartPen {
    Q_OBJECT
    Q_CLASSINFO("default:Color", "0x808080")
public:
    explicit TDarkGrayPen(TGraphicsChangeEvent OnChange = {});
};

class TWhitePen : public TChartPen {
    Q_OBJECT
    Q_CLASSINFO("default:Color", "0xFFFFFF")
public:
    explicit TWhitePen(TGraphicsChangeEvent OnChange = {});
};

// The device style flags of a chart pen's end style: esRound → round cap and
// join (0), esSquare → square cap, bevel join (0x1100), esFlat → flat cap,
// mitre join (0x2200).
int PenEndStyleFlags(TPenEndStyle style);

// The pen that draws one-pixel dots: with Spacing 1 or more a geometric pen
// of width 1 with the user style {0, Spacing + 1} (dots Spacing + 1 apart);
// otherwise a cosmetic alternate pen (every other pixel). Spacing + 1
// beyond the 32-bit range raises ERangeError.
TLogPen CreateSmallDotsPen(TColor color, int spacing);

// Builds the device pen of a visible chart pen into the canvas pen Target,
// drawing in Color, for canvases that use geometric pens:
// - SmallDots: the small-dots pen of Color and SmallSpace becomes Target's
//   handle (the chart pen's width and style are ignored);
// - Width below 2: Target copies the chart pen and takes Color;
// - Width 2 or more: Target copies the chart pen and takes Color, then a
//   geometric pen (the style's device code | PS_GEOMETRIC | the end style's
//   cap and join, the chart pen's width, solid Color) becomes its handle.
// Target's mode is the chart pen's Mode in every case, and with an explicit
// handle the device's raster operation is set from it.
void CreateDevicePen(const TChartPen& Pen, TColor Color, TPen& Target, TDeviceContext& DC);

// --- Brushes ------------------------------------------------------------------------------------

// A platform brush whose colour starts as the chart library's default-colour
// mark (clDefault: the owner's own colour is used) and which may fill with a
// picture. Style values from 8 on select the pattern bitmaps of
// PlotPatterns.h.
class TChartBrush : public TBrush {
    Q_OBJECT
    Q_CLASSINFO("default:Color", "0x20000000")
    Q_PROPERTY(lp::TPicture* Image READ Image WRITE SetImage)
    Q_CLASSINFO("stored:Image", "HasImage")
    Q_CLASSINFO("stored:Style", "IsStyleStored")

public:
    explicit TChartBrush(TGraphicsChangeEvent OnChange = {});
    ~TChartBrush() override;

    // Created on first read; loading a picture into it signals a change of
    // the brush.
    TPicture* Image();
    // A copy of value (the picture created if needed), or nullptr to free
    // the picture; then a change is signalled.
    void SetImage(const TPicture* value);
    // The picture if one was created, without creating it.
    TPicture* ImageIfCreated() const { return FImage.get(); }
    // A picture exists and holds a non-empty graphic (then it is stored).
    Q_INVOKABLE bool HasImage() const;

    // From a chart brush its picture is copied (a source without one frees
    // this brush's picture); then the platform brush's assignment runs.
    void Assign(const TPersistent* Source) override;

    // A pattern style (8 and above) has no name among the brush styles, so
    // Style is stored only while it is one of those; a pattern is stored as
    // "Pattern", its pattern number (style - 8), and reads back as that style.
    Q_INVOKABLE bool IsStyleStored() const;
    void DefineProperties(TFiler& Filer) override;

private:
    std::unique_ptr<TPicture> FImage;
};

// The brush style of pattern number 0; the styles before it are the
// platform's eight named brush styles.
inline constexpr int FirstPatternBrushStyle = TBrush::bsDiagCross + 1;

inline bool IsNamedBrushStyle(TBrush::TBrushStyle Style)
{
    return Style >= TBrush::bsSolid && Style < FirstPatternBrushStyle;
}

// A chart brush that starts clear: its stored default is bsClear, so a
// solid style set later is written and reads back (the base's default is
// solid).
class TChartClearBrush : public TChartBrush {
    Q_OBJECT
    Q_CLASSINFO("default:Style", "bsClear")
public:
    explicit TChartClearBrush(TGraphicsChangeEvent OnChange = {});
};

// --- 3-D view options ------------------------------------------------------------------------------

// The 3-D view of a chart panel. Every setter stores and repaints only when
// the value differs. Rotation and Elevation are held as reals so that
// rotation tools can turn in fractions of a degree; their published integer
// forms are the reals rounded half to even.
class TView3DOptions : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Elevation READ Elevation WRITE SetElevation)
    Q_CLASSINFO("default:Elevation", "345")
    Q_PROPERTY(int FontZoom READ FontZoom WRITE SetFontZoom)
    Q_CLASSINFO("default:FontZoom", "100")
    Q_PROPERTY(int HorizOffset READ HorizOffset WRITE SetHorizOffset)
    Q_CLASSINFO("default:HorizOffset", "0")
    Q_PROPERTY(bool Orthogonal READ Orthogonal WRITE SetOrthogonal)
    Q_CLASSINFO("default:Orthogonal", "true")
    Q_PROPERTY(int OrthoAngle READ OrthoAngle WRITE SetOrthoAngle)
    Q_CLASSINFO("default:OrthoAngle", "45")
    Q_PROPERTY(int Perspective READ Perspective WRITE SetPerspective)
    Q_CLASSINFO("default:Perspective", "15")
    Q_PROPERTY(int Rotation READ Rotation WRITE SetRotation)
    Q_CLASSINFO("default:Rotation", "345")
    Q_PROPERTY(int Tilt READ Tilt WRITE SetTilt)
    Q_CLASSINFO("default:Tilt", "0")
    Q_PROPERTY(int VertOffset READ VertOffset WRITE SetVertOffset)
    Q_CLASSINFO("default:VertOffset", "0")
    Q_PROPERTY(int Zoom READ Zoom WRITE SetZoom)
    Q_CLASSINFO("default:Zoom", "100")
    Q_PROPERTY(bool ZoomText READ ZoomText WRITE SetZoomText)
    Q_CLASSINFO("default:ZoomText", "true")

public:
    // Parent is the panel the options belong to (observed); RepaintParent
    // asks it to repaint and is called on every effective change. Either
    // may be empty (options without a panel repaint nothing).
    explicit TView3DOptions(TComponent* Parent = nullptr, std::function<void()> RepaintParent = {});

    // Degrees; the reals rounded half to even (ERangeError outside 32 bits).
    int Elevation() const;
    void SetElevation(int value);
    double ElevationFloat() const { return FElevation; }
    void SetElevationFloat(double value);
    int FontZoom() const { return FFontZoom; }
    void SetFontZoom(int value);
    int HorizOffset() const { return FHorizOffset; }
    void SetHorizOffset(int value);
    bool Orthogonal() const { return FOrthogonal; }
    void SetOrthogonal(bool value);
    int OrthoAngle() const { return FOrthoAngle; }
    void SetOrthoAngle(int value);
    int Perspective() const { return FPerspective; }
    void SetPerspective(int value);
    int Rotation() const;
    void SetRotation(int value);
    double RotationFloat() const { return FRotation; }
    void SetRotationFloat(double value);
    int Tilt() const { return FTilt; }
    void SetTilt(int value);
    int VertOffset() const { return FVertOffset; }
    void SetVertOffset(int value);
    int Zoom() const { return FZoom; }
    // OnZoomChange runs first, while the old zoom is still in place.
    void SetZoom(int value);
    bool ZoomText() const { return FZoomText; }
    void SetZoomText(bool value);

    // After HorizOffset (true) or VertOffset (false) changed.
    std::function<void(bool IsHorizontal)> OnOffsetChange;
    // Before a new Zoom is stored.
    std::function<void(int NewZoom)> OnZoomChange;

    TComponent* Parent() const { return FParent; }
    // Asks the parent to repaint.
    void Repaint();

    // The vertical shift per unit of depth of the orthogonal projection:
    // tan(OrthoAngle), with angles above 90 mirrored (180 - a), so 135 gives
    // the ratio of 45. Without Orthogonal, 1.0. An angle whose cosine is
    // below 0.01 (90 degrees) gives 1.0, as the canvas's projection does,
    // instead of a ratio so large that every depth offset overflows.
    double CalcOrthoRatio() const;

    // From other view options: the eleven published values (the angles as
    // reals), without repainting and without touching callbacks or parent.
    // Any other source is ignored.
    void Assign(const TPersistent* Source) override;

private:
    double FElevation = 345.0;
    int FFontZoom = 100;
    int FHorizOffset = 0;
    bool FOrthogonal = true;
    int FOrthoAngle = 45;
    int FPerspective = 15;
    double FRotation = 345.0;
    int FTilt = 0;
    int FVertOffset = 0;
    int FZoom = 100;
    bool FZoomText = true;
    QPointer<TComponent> FParent;
    std::function<void()> FRepaintParent;
};

} // namespace lp
