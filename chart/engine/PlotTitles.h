#pragma once
// The chart's text blocks (titles and foots) and its walls.
//
//   TPlotCustomShape
//     ├─ TPlotCustomShapePosition      CustomPosition, Left, Top
//     │    └─ TChartTitle              Text lines, Alignment, AdjustFrame
//     │         └─ TChartFootTitle     the same at the bottom, red italic
//     └─ TCustomChartWall              AutoHide, Dark3D, Size, default colour
//          └─ TChartWall               publishes the wall (left, bottom)
//               ├─ TChartBackWall      silver, transparent
//               └─ TChartRightWall     silver, hidden
//   TChartWalls (TPersistent) ──owns──> the four walls; View3D is the chart's
//                                       View3DWalls
//
// Titles, foots and walls observe the chart (an axis panel) that owns them:
// they ask it to repaint on a change and draw on its canvas.
//
// Where they enter the chart's paint (PlotAxisPanel's InternalDraw):
//   DrawTitlesAndLegend(true)   TChartTitle::DrawTitle of Title, SubTitle,
//                               Foot, SubFoot that are not custom-positioned;
//                               each takes its room from ChartRectangle
//   CalcWallsRect               CalcChartWallsRect: room for the 3-D depth
//                               and the wall boxes (orthogonal views)
//   axis space                  CalcChartWallSize per axis
//   DrawWalls                   DrawChartWalls: the walls behind the series
//   DrawTitlesAndLegend(false)  DrawTitle of the custom-positioned titles,
//                               then DrawWallsInFront: the walls (and their
//                               axes) that stand in front of the series
//
// Depth runs from 0 at the front of the plot to the chart's Depth3D at the
// back. In 2-D only the back wall is drawn: the chart rectangle.

#include "chart/canvas/PlotShapes.h"
#include "chart/engine/PlotEngine.h"
#include "platform/core/StringList.h"

#include <QtCore/QPointer>
#include <QtCore/QVariant>

#include <memory>

namespace lp {

class TChartAxis;
class TCustomAxisPanel;

// Pixels between a title block and the chart rectangle it leaves (plus the
// frame width, plus the shadow of an opaque block).
inline int PlotTitleDistance = 5;

// --- TPlotCustomShapePosition ---------------------------------------------------------------

// A framed shape that may stand where the user puts it. Left and Top are the
// shape bounds' top-left corner; writing either moves the shape (its size
// stays) and makes it custom-positioned.
class TPlotCustomShapePosition : public TPlotCustomShape {
    Q_OBJECT
public:
    explicit TPlotCustomShapePosition(TCustomPlotPanel* AOwner = nullptr);

    // From another positioned shape: CustomPosition and, when that is set,
    // Left and Top; then the shape.
    void Assign(const TPersistent* Source) override;

    bool CustomPosition() const { return FCustomPosition; }
    // Repaints on a change.
    void SetCustomPosition(bool Value);
    int Left() const { return ShapeBounds().Left; }
    void SetLeft(int Value);
    int Top() const { return ShapeBounds().Top; }
    void SetTop(int Value);
    // Left and Top are stored only for a custom-positioned shape.
    Q_INVOKABLE bool IsCustomPositionStored() const { return FCustomPosition; }

private:
    bool FCustomPosition = false;
};

// --- Titles ---------------------------------------------------------------------------------

// A block of text lines at the top of the chart (Title, SubTitle) or, as
// TChartFootTitle, at the bottom (Foot, SubFoot). Unless custom-positioned a
// block takes its height (and the gap below or above it) out of the chart
// rectangle when it is drawn, so the blocks drawn first lie outermost.
class TChartTitle : public TPlotCustomShapePosition {
    Q_OBJECT
public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

private:
    Q_PROPERTY(bool AdjustFrame READ AdjustFrame WRITE SetAdjustFrame)
    Q_CLASSINFO("default:AdjustFrame", "true")
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_CLASSINFO("default:Alignment", "taCenter")
    Q_PROPERTY(lp::TCustomPanelNoCaption::TBevelCut Bevel READ Bevel WRITE SetBevel)
    Q_CLASSINFO("default:Bevel", "bvNone")
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_CLASSINFO("default:BevelWidth", "2")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0xFFFFFF")
    Q_PROPERTY(bool CustomPosition READ CustomPosition WRITE SetCustomPosition)
    Q_CLASSINFO("default:CustomPosition", "false")
    Q_PROPERTY(lp::TPlotFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(lp::TChartPen* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_CLASSINFO("stored:Left", "IsCustomPositionStored")
    Q_PROPERTY(lp::TPlotShadow* Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(lp::TPlotCustomShape::TChartObjectShapeStyle ShapeStyle READ ShapeStyle WRITE SetShapeStyle)
    Q_CLASSINFO("default:ShapeStyle", "fosRectangle")
    Q_PROPERTY(lp::TStringList* Text READ Text WRITE SetText)
    Q_PROPERTY(lp::TPlotCustomShape::TTextFormat TextFormat READ TextFormat WRITE SetTextFormat)
    Q_CLASSINFO("default:TextFormat", "ttfNormal")
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_CLASSINFO("stored:Top", "IsCustomPositionStored")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_CLASSINFO("default:Transparent", "true")
    Q_CLASSINFO("stored:Transparent", "IsTransparentStored")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    // A transparent title of AOwner in blue (the font's stored default too).
    explicit TChartTitle(TCustomAxisPanel* AOwner = nullptr);
    ~TChartTitle() override;

    // Besides the positioned shape: AdjustFrame, Alignment and Text.
    void Assign(const TPersistent* Source) override;

    bool AdjustFrame() const { return FAdjustFrame; }
    void SetAdjustFrame(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The frame is the shape's pen.
    TChartPen* Frame() const { return Pen(); }
    void SetFrame(const TChartPen* Value) { SetPen(Value); }
    // The lines of the block; any change of the list invalidates the chart
    // (its PropertyChanged). Owned by the title.
    TStringList* Text() const { return FText.get(); }
    void SetText(const TStringList* Value);
    // Empties Text.
    void ClearText() { FText->Clear(); }
    // True for a title, False for a foot (drawn at the bottom).
    bool IsTitle() const { return FIsTitle; }

    // Visible, has text, and (X, Y) lies inside the bounds of the block as it
    // was drawn last (edges included).
    bool Clicked(int X, int Y) const;

    // The frame width the layout reserves: the bevel width with a bevel,
    // else the frame pen's width when the pen is visible and has a colour of
    // its own, else 0.
    int FrameWidth() const;

    // Lays the block out, draws it on the chart's canvas and, unless it is
    // custom-positioned or the chart rectangle is fixed, takes its room out
    // of the chart rectangle (see the unit's comment). Nothing when the
    // title is invisible, has no lines or has no chart.
    void DrawTitle();

protected:
    // A foot (IsTitle False), for TChartFootTitle.
    TChartTitle(TCustomAxisPanel* AOwner, bool IsTitle);

private:
    void TextChanged();
    int LineWidth(TCanvas3D& Canvas, const QString& Line) const;
    void DrawLines(TCanvas3D& Canvas, const TRect& Bounds, int TextTop, int LineHeight, int WidthOfW);

    bool FAdjustFrame = true;
    TAlignment FAlignment = taCenter;
    std::unique_ptr<TStringList> FText;
    bool FIsTitle = true;
};



// A block at the bottom of the chart, red italic by default.
class TChartFootTitle : public TChartTitle {
    Q_OBJECT
public:
    explicit TChartFootTitle(TCustomAxisPanel* AOwner = nullptr);
};

// --- Walls ----------------------------------------------------------------------------------

// A plane behind or beside the plot: flat in 2-D, in 3-D a plane or, with a
// Size of 1 or more, a box Size pixels thick outside the plot.
class TCustomChartWall : public TPlotCustomShape {
    Q_OBJECT
public:
    // Visible, Dark3D, Size 0, colour clPlotColor (also its default).
    explicit TCustomChartWall(TCustomAxisPanel* AOwner = nullptr);

    // Besides the shape: AutoHide, Dark3D and Size.
    void Assign(const TPersistent* Source) override;

    // Not drawn where it would stand in front of the series.
    bool AutoHide() const { return FAutoHide; }
    void SetAutoHide(bool Value);
    // Box sides darker than the face.
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value);
    // Thickness in pixels; below 1 the wall is a plane.
    int Size() const { return FSize; }
    void SetSize(int Value);

    // The colour Color is not stored at; SetDefaultColor does not repaint.
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value) { FDefaultColor = Value; }
    Q_INVOKABLE bool IsColorStored() const { return Color() != FDefaultColor; }
    // Color, or for clPlotColor the default colour (white when that is
    // clPlotColor too).
    TColor EffectiveColor() const;
    // Size when the wall is visible and at least 1 pixel thick, else 0: how
    // far the wall's box reaches out of the plot.
    int Thickness() const;

    // Its brush is not clear, has no picture, and Dark3D is on.
    bool HasDarkSides() const;
    // The chart shows 3-D walls (View3DWalls), the wall is Visible and not
    // AutoHide: a wall standing in front of the series is drawn only then.
    bool IsDrawable() const;
    TCustomAxisPanel* Chart() const;

    // The pen, and unless Transparent the brush in the effective colour
    // (else a clear brush), on Canvas.
    void PrepareCanvas(TCanvas3D& Canvas) const;

private:
    bool FAutoHide = false;
    bool FDark3D = true;
    int FSize = 0;
    TColor FDefaultColor = clPlotColor;
};

class TChartWall : public TCustomChartWall {
    Q_OBJECT
    Q_PROPERTY(bool AutoHide READ AutoHide WRITE SetAutoHide)
    Q_CLASSINFO("default:AutoHide", "false")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    // No fixed default: the stored rule compares with the wall's default.
    Q_CLASSINFO("default:Color", "")
    Q_CLASSINFO("stored:Color", "IsColorStored")
    Q_PROPERTY(bool Dark3D READ Dark3D WRITE SetDark3D)
    Q_CLASSINFO("default:Dark3D", "true")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_CLASSINFO("default:Size", "0")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_CLASSINFO("default:Transparent", "false")
    Q_CLASSINFO("stored:Transparent", "IsTransparentStored")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    using TCustomChartWall::TCustomChartWall;
};

// Silver and transparent by default.
class TChartBackWall : public TChartWall {
    Q_OBJECT
    Q_CLASSINFO("default:Color", "0xC0C0C0")
    Q_CLASSINFO("default:Transparent", "true")
public:
    explicit TChartBackWall(TCustomAxisPanel* AOwner = nullptr);
};

// Silver and hidden by default.
class TChartRightWall : public TChartWall {
    Q_OBJECT
    Q_CLASSINFO("default:Color", "0xC0C0C0")
    Q_CLASSINFO("default:Visible", "false")
public:
    explicit TChartRightWall(TCustomAxisPanel* AOwner = nullptr);
};

// The chart's four walls. Not streamed itself: the chart publishes each wall.
// Creating it switches the chart's View3DWalls on.
class TChartWalls : public TPersistent {
    Q_OBJECT
public:
    // Back: silver, transparent; left: 0x80FFFF; bottom: white; right:
    // silver, hidden. Chart may be nullptr (walls without a chart draw
    // nothing).
    explicit TChartWalls(TCustomAxisPanel* Chart);
    ~TChartWalls() override;

    // From other walls: each wall.
    void Assign(const TPersistent* Source) override;

    TChartBackWall* Back() const { return FBack.get(); }
    TChartWall* Bottom() const { return FBottom.get(); }
    TChartWall* Left() const { return FLeft.get(); }
    TChartRightWall* Right() const { return FRight.get(); }
    void SetBack(const TChartBackWall* Value) { FBack->Assign(Value); }
    void SetBottom(const TChartWall* Value) { FBottom->Assign(Value); }
    void SetLeft(const TChartWall* Value) { FLeft->Assign(Value); }
    void SetRight(const TChartRightWall* Value) { FRight->Assign(Value); }

    // The chart's View3DWalls (False without a chart).
    bool View3D() const;
    void SetView3D(bool Value);

    TCustomAxisPanel* Chart() const { return FChart.data(); }

private:
    QPointer<TCustomAxisPanel> FChart;
    std::unique_ptr<TChartBackWall> FBack;
    std::unique_ptr<TChartWall> FBottom;
    std::unique_ptr<TChartWall> FLeft;
    std::unique_ptr<TChartRightWall> FRight;
};

// --- What the chart control calls -------------------------------------------------------------

// Some active series of Chart uses axes.
bool ActiveSeriesUseAxis(const TCustomAxisPanel& Chart);

// The right wall stands in front of the series when the plane at the chart
// rectangle's right edge, projected by the chart's canvas, does not turn
// clockwise (never on a canvas that rotates fully); the left wall when the
// plane at the left edge does (always on such a canvas). The plane's corners
// are taken at the top back, the top front and the bottom front.
bool IsRightWallInFront(const TCustomAxisPanel& Chart);
bool IsLeftWallInFront(const TCustomAxisPanel& Chart);

// The chart's GetBackColor: the panel colour behind a transparent back wall,
// else the back wall's colour.
TColor ChartBackColor(const TCustomAxisPanel& Chart, const TChartWalls& Walls);

// The chart's CalcWallsRect: in an orthogonal 3-D view (and unless the chart
// rectangle is fixed) the rectangle gives up the depth, the back wall's box
// and a visible side wall's box on the side the depth runs to, and the 3-D
// height plus the back wall's box at the top; then its size is recomputed.
// The back wall's Size counts only when an active series uses axes.
void CalcChartWallsRect(TCustomAxisPanel& Chart, const TChartWalls& Walls);

// The chart's CalcWallSize: 0 unless 3-D and View3DWalls are on; else the
// Size of the axis' wall (left axis: left wall, bottom axis: bottom wall,
// right axis: right wall, any other axis: back wall), 0 when that wall is
// hidden.
int CalcChartWallSize(const TCustomAxisPanel& Chart, const TChartWalls& Walls, const TChartAxis* Axis);

// The chart's DrawWalls: nothing unless an active series uses axes; then in
// this order, each only when Visible: in 3-D with View3DWalls the right wall
// unless it stands in front; with View3DWalls (2-D too) the back wall unless
// the chart is back-facing at its depth; in 3-D with View3DWalls the left
// wall unless it stands in front, the bottom wall, and on a back-facing
// chart the visible depth axes.
void DrawChartWalls(TCustomAxisPanel& Chart, TChartWalls& Walls);

// The last part of the chart's DrawTitlesAndLegend(false): in 3-D with an
// active series using axes, the walls and axes that stand in front of the
// series: the right wall (when drawable) and the right axis when the right
// wall stands in front; the same on the left; on a back-facing chart the
// depth axes and then the back wall (when drawable).
void DrawWallsInFront(TCustomAxisPanel& Chart, TChartWalls& Walls);

// One wall each, as DrawChartWalls and DrawWallsInFront draw it (canvas
// preparation, blending for Transparency, gradient, box or plane; the back
// wall also the chart's inside back image).
void DrawBackWall(TCustomAxisPanel& Chart, TChartWalls& Walls);
void DrawLeftWall(TCustomAxisPanel& Chart, TChartWalls& Walls);
void DrawRightWall(TCustomAxisPanel& Chart, TChartWalls& Walls);
void DrawBottomWall(TCustomAxisPanel& Chart, TChartWalls& Walls);

// The chart's "BackColor" stored value of older charts: a colour identifier
// or an integer colour becomes the back wall's colour; when not loading the
// back wall's brush also becomes solid. EConvertError for anything else.
void ApplyBackColor(TChartBackWall& Wall, const QVariant& Value, bool Loading);

} // namespace lp
