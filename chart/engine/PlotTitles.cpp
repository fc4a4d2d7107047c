#include "chart/engine/PlotTitles.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotRichText.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace lp {

namespace {

// Layout sums stay within the pixel limit the axes keep to, so that line
// counts, font sizes and custom positions cannot push a coordinate out of
// 32 bits.
int ClampPixel(long long Value)
{
    const long long Limit = PlotMaxPixelPos;
    return static_cast<int>(std::clamp(Value, -Limit, Limit));
}

int AddPixels(int A, long long B)
{
    return ClampPixel(static_cast<long long>(A) + B);
}

} // namespace

// --- TPlotCustomShapePosition ----------------------------------------------------------------

TPlotCustomShapePosition::TPlotCustomShapePosition(TCustomPlotPanel* AOwner) : TPlotCustomShape(AOwner) {}

void TPlotCustomShapePosition::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TPlotCustomShapePosition*>(Source)) {
        FCustomPosition = Other->FCustomPosition;
        if (FCustomPosition) {
            TRect R = ShapeBounds();
            const TRect S = Other->ShapeBounds();
            R.Right = AddPixels(R.Right, static_cast<long long>(S.Left) - R.Left);
            R.Bottom = AddPixels(R.Bottom, static_cast<long long>(S.Top) - R.Top);
            R.Left = S.Left;
            R.Top = S.Top;
            SetShapeBounds(R);
        }
    }
    TPlotCustomShape::Assign(Source);
}

void TPlotCustomShapePosition::SetCustomPosition(bool Value)
{
    if (Value != FCustomPosition) {
        FCustomPosition = Value;
        Repaint();
    }
}

void TPlotCustomShapePosition::SetLeft(int Value)
{
    bool Changed = !FCustomPosition;
    FCustomPosition = true;
    TRect R = ShapeBounds();
    if (R.Left != Value) {
        R.Right = AddPixels(R.Right, static_cast<long long>(Value) - R.Left);
        R.Left = Value;
        SetShapeBounds(R);
        Changed = true;
    }
    if (Changed)
        Repaint();
}

void TPlotCustomShapePosition::SetTop(int Value)
{
    bool Changed = !FCustomPosition;
    FCustomPosition = true;
    TRect R = ShapeBounds();
    if (R.Top != Value) {
        R.Bottom = AddPixels(R.Bottom, static_cast<long long>(Value) - R.Top);
        R.Top = Value;
        SetShapeBounds(R);
        Changed = true;
    }
    if (Changed)
        Repaint();
}

// --- TChartTitle ------------------------------------------------------------------------------

TChartTitle::TChartTitle(TCustomAxisPanel* AOwner) : TChartTitle(AOwner, true) {}

TChartTitle::TChartTitle(TCustomAxisPanel* AOwner, bool IsTitle)
    : TPlotCustomShapePosition(AOwner), FText(std::make_unique<TStringList>()), FIsTitle(IsTitle)
{
    FText->OnChange = [this](TStringList*) { TextChanged(); };
    SetDefaultTransparent(true);
    SetTransparent(true);
    TPlotFont& F = *Font();
    if (FIsTitle) {
        F.SetColor(clBlue);
        F.SetDefaultColor(clBlue);
    } else {
        F.SetColor(clRed);
        F.SetDefaultColor(clRed);
        F.SetStyle(TFont::fsItalic);
        F.SetDefaultStyle(TFont::fsItalic);
    }
}

TChartTitle::~TChartTitle()
{
    // The list must not report its own destruction to the chart.
    FText->OnChange = nullptr;
}

void TChartTitle::TextChanged()
{
    if (TCustomPlotPanel* Chart = ParentChart())
        Chart->PropertyChanged(FText.get());
}

void TChartTitle::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TChartTitle*>(Source)) {
        FAdjustFrame = Other->FAdjustFrame;
        FAlignment = Other->FAlignment;
        FText->Assign(Other->FText.get());
    }
    TPlotCustomShapePosition::Assign(Source);
}

void TChartTitle::SetAdjustFrame(bool Value)
{
    if (Value != FAdjustFrame) {
        FAdjustFrame = Value;
        Repaint();
    }
}

void TChartTitle::SetAlignment(TAlignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Repaint();
    }
}

void TChartTitle::SetText(const TStringList* Value)
{
    if (Value)
        FText->Assign(Value);
    else
        FText->Clear();
}

bool TChartTitle::Clicked(int X, int Y) const
{
    // A block without lines is not drawn; the bounds of an earlier drawing
    // must not answer for it.
    return Visible() && FText->Count() > 0 && PointInRect(ShapeBounds(), X, Y);
}

int TChartTitle::FrameWidth() const
{
    if (Bevel() != bvNone)
        return BevelWidth();
    const TChartPen& P = *Pen();
    return P.Visible() && P.Color() != clPlotColor ? P.Width() : 0;
}

int TChartTitle::LineWidth(TCanvas3D& Canvas, const QString& Line) const
{
    if (TextFormat() == ttfHtml)
        return HtmlTextExtent(Canvas, Line).cx;
    return Canvas.TextWidth(Line);
}

void TChartTitle::DrawTitle()
{
    if (!Visible() || FText->Count() == 0)
        return;
    auto* Chart = qobject_cast<TCustomAxisPanel*>(ParentChart());
    if (!Chart)
        return;
    TCanvas3D& C = Chart->Canvas();
    const int FW = FrameWidth();
    const bool Custom = CustomPosition();

    TRect R = ShapeBounds();
    if (!Custom) {
        R = Chart->ChartRectangle();
        // The frame stays inside the chart rectangle: a title starts one
        // frame width down, a foot ends one frame width up.
        if (FIsTitle)
            R.Top = AddPixels(R.Top, FW);
        else
            R.Bottom = AddPixels(R.Bottom, -static_cast<long long>(FW));
    }

    C.AssignFont(*Font());
    const int LineHeight = C.FontHeight();
    const long long BlockHeight = static_cast<long long>(FText->Count()) * LineHeight;
    if (!FIsTitle && !Custom)
        R.Top = AddPixels(R.Bottom, -BlockHeight);
    else
        R.Bottom = AddPixels(R.Top, BlockHeight);
    const int TextTop = R.Top;

    if (!Custom) {
        R.Left = AddPixels(R.Left, -static_cast<long long>(FW));
        R.Top = AddPixels(R.Top, -static_cast<long long>(FW));
        R.Right = AddPixels(R.Right, FW);
        R.Bottom = AddPixels(R.Bottom, FW);
    }

    const int W = C.TextWidth(QStringLiteral("W"));
    int Widest = 0;
    for (int I = 0; I < FText->Count(); ++I)
        Widest = std::max(Widest, LineWidth(C, FText->Strings(I)));
    const long long BlockWidth = static_cast<long long>(Widest) + W + FW;
    if (FAdjustFrame) {
        switch (FAlignment) {
        case taLeftJustify:
            R.Right = AddPixels(R.Left, BlockWidth);
            break;
        case taRightJustify:
            R.Left = AddPixels(R.Right, -BlockWidth);
            break;
        case taCenter: {
            const long long Middle = (static_cast<long long>(R.Left) + R.Right) / 2;
            R.Left = ClampPixel(Middle - BlockWidth / 2);
            R.Right = AddPixels(R.Left, BlockWidth);
            break;
        }
        }
    } else if (Custom && R.Right <= R.Left) {
        // A block placed by Left and Top before it was ever drawn has no
        // width yet: it gets the width of its text.
        R.Right = AddPixels(R.Left, BlockWidth);
    }

    SetShapeBounds(R);
    Draw();
    C.SetBackMode(TRANSPARENT);
    DrawLines(C, R, TextTop, LineHeight, W);

    if (!Custom && !Chart->FixedChartRectangle()) {
        long long Gap = static_cast<long long>(PlotTitleDistance) + FW;
        if (!Transparent() && Shadow())
            Gap += Shadow()->VertSize();
        TRect Rect = Chart->ChartRectangle();
        if (FIsTitle)
            Rect.Top = AddPixels(R.Bottom, Gap);
        else
            Rect.Bottom = AddPixels(R.Top, -Gap);
        Chart->SetChartRectangle(Rect);
        Chart->RecalcWidthHeight();
    }
}

void TChartTitle::DrawLines(TCanvas3D& Canvas, const TRect& Bounds, int TextTop, int LineHeight, int WidthOfW)
{
    // The shape may have changed the font's colour through its own drawing.
    Canvas.AssignFont(*Font());
    const int Inset = WidthOfW / 2;
    const int Middle = ClampPixel((static_cast<long long>(Bounds.Left) + Bounds.Right) / 2);
    if (TextFormat() == ttfHtml) {
        const QString Html = FText->ToQStringList().join(QStringLiteral("<BR>"));
        Canvas.SetTextAlign(TA_LEFT | TA_TOP);
        int X = AddPixels(Bounds.Left, Inset);
        if (FAlignment != taLeftJustify) {
            const int Width = HtmlTextExtent(Canvas, Html).cx;
            X = FAlignment == taCenter ? AddPixels(Middle, -static_cast<long long>(Width / 2))
                                       : AddPixels(Bounds.Right, -static_cast<long long>(Inset) - Width);
        }
        Canvas.TextOutHtml(X, TextTop, Html, true);
        return;
    }
    unsigned Align = TA_CENTER;
    int X = Middle;
    if (FAlignment == taLeftJustify) {
        Align = TA_LEFT;
        X = AddPixels(Bounds.Left, Inset);
    } else if (FAlignment == taRightJustify) {
        Align = TA_RIGHT;
        X = AddPixels(Bounds.Right, -static_cast<long long>(Inset));
    }
    Canvas.SetTextAlign(Align | TA_TOP);
    for (int I = 0; I < FText->Count(); ++I)
        Canvas.TextOut(X, AddPixels(TextTop, static_cast<long long>(I) * LineHeight), FText->Strings(I));
    Canvas.SetTextAlign(TA_LEFT | TA_TOP);
}

// --- TChartFootTitle ------------------------------------------------------------------------

TChartFootTitle::TChartFootTitle(TCustomAxisPanel* AOwner) : TChartTitle(AOwner, false) {}

// --- Walls ----------------------------------------------------------------------------------

TCustomChartWall::TCustomChartWall(TCustomAxisPanel* AOwner) : TPlotCustomShape(AOwner)
{
    SetColor(clPlotColor);
}

void TCustomChartWall::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TCustomChartWall*>(Source)) {
        FAutoHide = Other->FAutoHide;
        FDark3D = Other->FDark3D;
        FSize = Other->FSize;
    }
    TPlotCustomShape::Assign(Source);
}

void TCustomChartWall::SetAutoHide(bool Value)
{
    if (Value != FAutoHide) {
        FAutoHide = Value;
        Repaint();
    }
}

void TCustomChartWall::SetDark3D(bool Value)
{
    if (Value != FDark3D) {
        FDark3D = Value;
        Repaint();
    }
}

void TCustomChartWall::SetSize(int Value)
{
    if (Value != FSize) {
        FSize = Value;
        Repaint();
    }
}

TColor TCustomChartWall::EffectiveColor() const
{
    if (Color() != clPlotColor)
        return Color();
    return FDefaultColor != clPlotColor ? FDefaultColor : clWhite;
}

int TCustomChartWall::Thickness() const
{
    return Visible() && FSize >= 1 ? FSize : 0;
}

bool TCustomChartWall::HasDarkSides() const
{
    const TChartBrush& B = *Brush();
    return B.Style() != bsClear && !B.HasImage() && FDark3D;
}

TCustomAxisPanel* TCustomChartWall::Chart() const
{
    return qobject_cast<TCustomAxisPanel*>(ParentChart());
}

bool TCustomChartWall::IsDrawable() const
{
    const TCustomAxisPanel* C = Chart();
    return C && C->View3DWalls() && Visible() && !FAutoHide;
}

void TCustomChartWall::PrepareCanvas(TCanvas3D& Canvas) const
{
    Canvas.AssignVisiblePen(*Pen());
    if (Transparent())
        Canvas.Brush()->SetStyle(bsClear);
    else
        Canvas.AssignBrush(*Brush(), EffectiveColor());
}

TChartBackWall::TChartBackWall(TCustomAxisPanel* AOwner) : TChartWall(AOwner)
{
    SetColor(clSilver);
    SetDefaultColor(clSilver);
    SetDefaultTransparent(true);
    SetTransparent(true);
}

TChartRightWall::TChartRightWall(TCustomAxisPanel* AOwner) : TChartWall(AOwner)
{
    SetColor(clSilver);
    SetDefaultColor(clSilver);
    SetVisible(false);
}

// --- TChartWalls ----------------------------------------------------------------------------

TChartWalls::TChartWalls(TCustomAxisPanel* Chart)
    : FChart(Chart),
      FBack(std::make_unique<TChartBackWall>(Chart)),
      FBottom(std::make_unique<TChartWall>(Chart)),
      FLeft(std::make_unique<TChartWall>(Chart)),
      FRight(std::make_unique<TChartRightWall>(Chart))
{
    FLeft->SetColor(0x80FFFF);
    FLeft->SetDefaultColor(0x80FFFF);
    FBottom->SetColor(clWhite);
    FBottom->SetDefaultColor(clWhite);
    SetView3D(true);
}

TChartWalls::~TChartWalls() = default;

void TChartWalls::Assign(const TPersistent* Source)
{
    const auto* Other = qobject_cast<const TChartWalls*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    FBack->Assign(Other->FBack.get());
    FBottom->Assign(Other->FBottom.get());
    FLeft->Assign(Other->FLeft.get());
    FRight->Assign(Other->FRight.get());
}

bool TChartWalls::View3D() const
{
    return FChart && FChart->View3DWalls();
}

void TChartWalls::SetView3D(bool Value)
{
    if (FChart)
        FChart->SetView3DWalls(Value);
}

// --- The chart's wall operations ------------------------------------------------------------

namespace {

// Whether the plane at X of the plot, from the front (depth 0) to the back
// (Depth3D), turns clockwise on the screen: its corners at the top back, top
// front and bottom front. The cross product runs in 64 bits, so projected
// points far outside the window cannot overflow it.
bool PlaneAtXTurnsClockwise(const TCustomAxisPanel& Chart, int X)
{
    const TPlotCanvas3D& C = Chart.Canvas();
    const TRect R = Chart.ChartRectangle();
    const TPoint P0 = C.Calculate3DPosition(X, R.Top, Chart.Depth3D());
    const TPoint P1 = C.Calculate3DPosition(X, R.Top, 0);
    const TPoint P2 = C.Calculate3DPosition(X, R.Bottom, 0);
    const long long Cross = (static_cast<long long>(P0.X) - P1.X) * (static_cast<long long>(P2.Y) - P1.Y) -
                            (static_cast<long long>(P2.X) - P1.X) * (static_cast<long long>(P0.Y) - P1.Y);
    return Cross < 0;
}

// The box spanned by the wall's extent, in chart coordinates.
struct TWallBox {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
    int Z0 = 0;
    int Z1 = 0;
};

// The screen rectangle covering the projected corners of Box (right and
// bottom exclusive), for the blending bracket.
TRect ProjectedBounds(const TCanvas3D& C, const TWallBox& Box)
{
    std::array<TPoint, 8> P;
    size_t I = 0;
    for (int X : {Box.Left, Box.Right})
        for (int Y : {Box.Top, Box.Bottom})
            for (int Z : {Box.Z0, Box.Z1})
                P[I++] = C.Calculate3DPosition(X, Y, Z);
    return PolygonBounds(P, static_cast<int>(P.size()));
}

// Runs Draw inside the canvas' blending bracket when the wall has a
// Transparency; the blend ends also when drawing fails, or its captured
// pixels would never be put back.
template <class TDraw>
void WithBlending(TCanvas3D& C, const TCustomChartWall& Wall, const TRect& Bounds, TDraw&& Draw)
{
    std::unique_ptr<TPlotBlend> Blend;
    if (Wall.Transparency() > 0)
        Blend = C.BeginBlending(Bounds, Wall.Transparency());
    try {
        Draw();
    } catch (...) {
        if (Blend)
            C.EndBlending(std::move(Blend));
        throw;
    }
    if (Blend)
        C.EndBlending(std::move(Blend));
}

bool UsesGradient(const TCustomChartWall& Wall)
{
    return !Wall.Transparent() && Wall.HasGradient() && Wall.Gradient()->Visible();
}

// A 3-D wall: a plane through the box's flat extent when the wall is thinner
// than a pixel, else the box with the wall's dark sides. Plane draws the
// plane once the canvas is prepared; Corners are the plane's four corners in
// chart coordinates, filled by a visible gradient first.
template <class TPlane>
void DrawWall3D(TCanvas3D& C, const TCustomChartWall& Wall, const TWallBox& Box,
                const std::array<TPoint3D, 4>& Corners, TPlane&& Plane)
{
    WithBlending(C, Wall, ProjectedBounds(C, Box), [&] {
        Wall.PrepareCanvas(C);
        if (Wall.Size() < 1) {
            if (UsesGradient(Wall)) {
                TFourPoints P;
                for (int I = 0; I < TFourPoints::Length(); ++I)
                    P[I] = C.Calculate3DPoint3D(Corners[static_cast<size_t>(I)]);
                Wall.Gradient()->DrawFourPoints(C, P);
                C.Brush()->SetStyle(bsClear);
            }
            Plane();
        } else {
            C.Cube(Box.Left, Box.Right, Box.Top, Box.Bottom, Box.Z0, Box.Z1, Wall.HasDarkSides());
        }
    });
}

void DrawInsideBackImage(TCustomAxisPanel& Chart, const TCustomChartWall& Wall, const TRect& Rect, int Z)
{
    if (!Chart.HasBackImage() || !Chart.BackImage()->Inside())
        return;
    TRect R = Rect;
    if (Wall.Pen()->Visible()) {
        R.Left = AddPixels(R.Left, 1);
        R.Top = AddPixels(R.Top, 1);
        R.Right = AddPixels(R.Right, -1);
        R.Bottom = AddPixels(R.Bottom, -1);
    }
    Chart.DrawBackImage(R, Z);
}

// Again: over a wall drawn in front of the axis, which was drawn whole before.
void DrawAxisInFront(TCustomAxisPanel& Chart, TChartAxis* Axis, bool Again)
{
    if (!Axis || !Chart.AxisVisible() || !Axis->PaintVisible())
        return;
    if (Again)
        Axis->DrawAxisAgain();
    else
        Axis->DrawAxis(true);
}

void DrawDepthAxes(TCustomAxisPanel& Chart, bool Again)
{
    DrawAxisInFront(Chart, Chart.DepthAxis(), Again);
    DrawAxisInFront(Chart, Chart.DepthTopAxis(), Again);
}

// The side walls reach down past the plot by the bottom wall's box.
int SideWallBottom(const TRect& R, const TChartWalls& Walls)
{
    return AddPixels(R.Bottom, Walls.Bottom()->Thickness());
}

void DrawSideWall(TCustomAxisPanel& Chart, const TChartWalls& Walls, const TCustomChartWall& Wall, bool IsLeft)
{
    TCanvas3D& C = Chart.Canvas();
    const TRect R = Chart.ChartRectangle();
    const int D = Chart.Depth3D();
    const int X = IsLeft ? R.Left : R.Right;
    const int Bottom = SideWallBottom(R, Walls);
    TWallBox Box{X, X, R.Top, Bottom, 0, D};
    if (Wall.Size() >= 1) {
        if (IsLeft)
            Box.Left = AddPixels(X, -static_cast<long long>(Wall.Size()));
        else
            Box.Right = AddPixels(X, Wall.Size());
    }
    const std::array<TPoint3D, 4> Corners{TPoint3D{X, R.Top, 0}, TPoint3D{X, R.Top, D}, TPoint3D{X, Bottom, D},
                                          TPoint3D{X, Bottom, 0}};
    DrawWall3D(C, Wall, Box, Corners, [&] { C.PlaneAtX(X, R.Top, Bottom, 0, D); });
}

} // namespace

bool ActiveSeriesUseAxis(const TCustomAxisPanel& Chart)
{
    for (TChartSeries* S : Chart.SeriesList())
        if (S->Active() && S->UseAxis())
            return true;
    return false;
}

bool IsRightWallInFront(const TCustomAxisPanel& Chart)
{
    if (Chart.Canvas().SupportsFullRotation())
        return false;
    return !PlaneAtXTurnsClockwise(Chart, Chart.ChartRectangle().Right);
}

bool IsLeftWallInFront(const TCustomAxisPanel& Chart)
{
    if (Chart.Canvas().SupportsFullRotation())
        return true;
    return PlaneAtXTurnsClockwise(Chart, Chart.ChartRectangle().Left);
}

TColor ChartBackColor(const TCustomAxisPanel& Chart, const TChartWalls& Walls)
{
    const TChartBackWall& Back = *Walls.Back();
    return Back.Transparent() ? Chart.Color() : Back.Color();
}

void CalcChartWallsRect(TCustomAxisPanel& Chart, const TChartWalls& Walls)
{
    if (!Chart.View3D() || !Chart.View3DOptions()->Orthogonal())
        return;
    const long long WallSize = ActiveSeriesUseAxis(Chart) ? Walls.Back()->Size() : 0;
    if (!Chart.FixedChartRectangle()) {
        TRect R = Chart.ChartRectangle();
        long long Across = std::abs(static_cast<long long>(Chart.Depth3D())) + WallSize;
        if (Chart.View3DOptions()->OrthoAngle() >= 91) {
            const TChartWall& Left = *Walls.Left();
            if (Left.Visible())
                Across += static_cast<long long>(Left.Size()) + 1;
            R.Left = AddPixels(R.Left, Across);
        } else {
            const TChartRightWall& Right = *Walls.Right();
            if (Right.Visible())
                Across += static_cast<long long>(Right.Size()) + 1;
            R.Right = AddPixels(R.Right, -Across);
        }
        R.Top = AddPixels(R.Top, std::abs(static_cast<long long>(Chart.Height3D())) + WallSize);
        Chart.SetChartRectangle(R);
    }
    Chart.RecalcWidthHeight();
}

int CalcChartWallSize(const TCustomAxisPanel& Chart, const TChartWalls& Walls, const TChartAxis* Axis)
{
    if (!Chart.View3D() || !Chart.View3DWalls())
        return 0;
    const TCustomChartWall* Wall = Walls.Back();
    if (Axis && Axis == Chart.LeftAxis())
        Wall = Walls.Left();
    else if (Axis && Axis == Chart.BottomAxis())
        Wall = Walls.Bottom();
    else if (Axis && Axis == Chart.RightAxis())
        Wall = Walls.Right();
    return Wall->Visible() ? Wall->Size() : 0;
}

void DrawBackWall(TCustomAxisPanel& Chart, TChartWalls& Walls)
{
    const TChartBackWall& Wall = *Walls.Back();
    TCanvas3D& C = Chart.Canvas();
    const TRect R = Chart.ChartRectangle();
    if (!Chart.View3D()) {
        TRect Rect = R;
        Rect.Bottom = AddPixels(Rect.Bottom, 1);
        WithBlending(C, Wall, Rect, [&] {
            Wall.PrepareCanvas(C);
            if (UsesGradient(Wall)) {
                Wall.Gradient()->Draw(C, Rect);
                C.Brush()->SetStyle(bsClear);
            }
            C.Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
        });
        DrawInsideBackImage(Chart, Wall, R, 0);
        return;
    }
    const int D = Chart.Depth3D();
    TWallBox Box{R.Left, R.Right, R.Top, R.Bottom, D, D};
    if (Wall.Size() >= 1) {
        // Behind the back, as wide as the side walls' boxes and as deep as
        // the bottom wall's; a depth running the other way takes the box
        // with it.
        Box.Left = AddPixels(R.Left, -static_cast<long long>(Walls.Left()->Thickness()));
        Box.Right = AddPixels(R.Right, Walls.Right()->Thickness());
        Box.Bottom = AddPixels(R.Bottom, Walls.Bottom()->Thickness());
        Box.Z1 = AddPixels(D, D < 0 ? -static_cast<long long>(Wall.Size()) : Wall.Size());
    }
    const std::array<TPoint3D, 4> Corners{TPoint3D{R.Left, R.Top, D}, TPoint3D{R.Right, R.Top, D},
                                          TPoint3D{R.Right, R.Bottom, D}, TPoint3D{R.Left, R.Bottom, D}};
    DrawWall3D(C, Wall, Box, Corners, [&] { C.RectangleWithZ(R, D); });
    DrawInsideBackImage(Chart, Wall, R, D);
}

void DrawLeftWall(TCustomAxisPanel& Chart, TChartWalls& Walls)
{
    DrawSideWall(Chart, Walls, *Walls.Left(), true);
}

void DrawRightWall(TCustomAxisPanel& Chart, TChartWalls& Walls)
{
    DrawSideWall(Chart, Walls, *Walls.Right(), false);
}

void DrawBottomWall(TCustomAxisPanel& Chart, TChartWalls& Walls)
{
    const TChartWall& Wall = *Walls.Bottom();
    TCanvas3D& C = Chart.Canvas();
    const TRect R = Chart.ChartRectangle();
    const int D = Chart.Depth3D();
    const int Y = C.SupportsFullRotation() ? AddPixels(R.Bottom, 1) : R.Bottom;
    int X0 = R.Left;
    // Under a left wall that stands in front, the floor reaches below it.
    if (IsLeftWallInFront(Chart) && Walls.Left()->IsDrawable())
        X0 = AddPixels(X0, -static_cast<long long>(Walls.Left()->Thickness()));
    TWallBox Box{X0, R.Right, Y, Y, 0, D};
    if (Wall.Size() >= 1)
        Box.Bottom = AddPixels(Y, Wall.Size());
    const std::array<TPoint3D, 4> Corners{TPoint3D{X0, Y, 0}, TPoint3D{R.Right, Y, 0}, TPoint3D{R.Right, Y, D},
                                          TPoint3D{X0, Y, D}};
    DrawWall3D(C, Wall, Box, Corners, [&] { C.PlaneAtY(X0, Y, R.Right, 0, D); });
}

void DrawChartWalls(TCustomAxisPanel& Chart, TChartWalls& Walls)
{
    if (!ActiveSeriesUseAxis(Chart))
        return;
    const bool Walls3D = Chart.View3D() && Chart.View3DWalls();
    if (Walls3D && Walls.Right()->Visible() && !IsRightWallInFront(Chart))
        DrawRightWall(Chart, Walls);
    const bool BackFacing = Chart.IsBackFacing(Chart.Depth3D());
    if (Chart.View3DWalls() && Walls.Back()->Visible() && !BackFacing)
        DrawBackWall(Chart, Walls);
    if (!Walls3D)
        return;
    if (Walls.Left()->Visible() && !IsLeftWallInFront(Chart))
        DrawLeftWall(Chart, Walls);
    if (Walls.Bottom()->Visible())
        DrawBottomWall(Chart, Walls);
    if (BackFacing)
        DrawDepthAxes(Chart, false);
}

void DrawWallsInFront(TCustomAxisPanel& Chart, TChartWalls& Walls)
{
    if (!Chart.View3D() || !ActiveSeriesUseAxis(Chart))
        return;
    if (IsRightWallInFront(Chart)) {
        if (Walls.Right()->IsDrawable())
            DrawRightWall(Chart, Walls);
        DrawAxisInFront(Chart, Chart.RightAxis(), true);
    }
    if (IsLeftWallInFront(Chart)) {
        if (Walls.Left()->IsDrawable())
            DrawLeftWall(Chart, Walls);
        DrawAxisInFront(Chart, Chart.LeftAxis(), true);
    }
    if (Chart.IsBackFacing(Chart.Depth3D())) {
        DrawDepthAxes(Chart, true);
        if (Walls.Back()->IsDrawable())
            DrawBackWall(Chart, Walls);
    }
}

void ApplyBackColor(TChartBackWall& Wall, const QVariant& Value, bool Loading)
{
    TColor Color = clNone;
    if (Value.typeId() == QMetaType::QString) {
        const std::optional<TColor> Named = ColorOfIdent(Value.toString());
        if (!Named)
            throw EConvertError(
                FormatText("BackColor: \"%s\" is not a colour name", {Value.toString().toStdString()}));
        Color = *Named;
    } else {
        bool Ok = false;
        const qlonglong Number = Value.toLongLong(&Ok);
        if (!Ok || Number < INT32_MIN || Number > UINT32_MAX)
            throw EConvertError("BackColor: a colour name or number was expected");
        Color = static_cast<TColor>(static_cast<uint32_t>(Number));
    }
    Wall.SetColor(Color);
    if (!Loading)
        Wall.Brush()->SetStyle(bsSolid);
}

} // namespace lp
