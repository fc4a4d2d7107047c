// The tower series: tower boxes, the eight solids, back-to-front order,
// blending and hit tests.

#include "chart/extensions/grid3d/PlotTowerSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"

#include <QtCore/QScopeGuard>

#include <algorithm>
#include <string>

namespace lp {

namespace {

std::vector<int> Walk(int Count, bool Forward)
{
    std::vector<int> Result(static_cast<size_t>(std::max(0, Count)));
    for (int I = 0; I < Count; ++I)
        Result[static_cast<size_t>(I)] = Forward ? I + 1 : Count - I;
    return Result;
}

} // namespace

TTowerSeries::TTowerSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {}

void TTowerSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TTowerSeries*>(Source)) {
        FDark3D = S->FDark3D;
        FOrigin = S->FOrigin;
        FPercentDepth = S->FPercentDepth;
        FPercentWidth = S->FPercentWidth;
        FTowerStyle = S->FTowerStyle;
        FTransparency = S->FTransparency;
        FUseOrigin = S->FUseOrigin;
    }
    TCustom3DGridSeries::Assign(Source);
}

void TTowerSeries::SetTowerStyle(TTowerStyle Value)
{
    if (FTowerStyle != Value) {
        FTowerStyle = Value;
        Repaint();
    }
}

void TTowerSeries::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError("Transparency " + std::to_string(Value) + " is outside 0 .. 100");
    SetIntegerProperty(FTransparency, Value);
}

// --- Gallery ------------------------------------------------------------------------------------

void TTowerSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustom3DGridSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption :
         {&PlotMsg_StyleNoBorder, &PlotMsg_StyleSingleColor, &PlotMsg_StyleMarks, &PlotMsg_StyleHollow,
          &PlotMsg_Rectangle, &PlotMsg_StyleCover, &PlotMsg_StyleCircle, &PlotMsg_GalleryArrow, &PlotMsg_StyleCone,
          &PlotMsg_StylePyramid})
        AddSubChart(*Caption);
}

void TTowerSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 2: Pen()->SetVisible(false); break;
    case 3: SetUsePalette(false); break;
    case 4: Marks()->SetVisible(true); break;
    case 5: Brush()->SetStyle(TBrush::bsClear); break;
    case 6: SetTowerStyle(tsRectangle); break;
    case 7: SetTowerStyle(tsCover); break;
    case 8: SetTowerStyle(tsCylinder); break;
    case 9: SetTowerStyle(tsArrow); break;
    case 10: SetTowerStyle(tsCone); break;
    case 11: SetTowerStyle(tsPyramid); break;
    default: TCustom3DGridSeries::SetSubGallery(Index); break;
    }
}

void TTowerSeries::PrepareForGallery(bool IsEnabled)
{
    TCustom3DGridSeries::PrepareForGallery(IsEnabled);
    SetCreatingSamples(true);
    CreateValues(5, 5);
}

// --- Extents ------------------------------------------------------------------------------------

double TTowerSeries::MaxXValue()
{
    return XValues()->MaxValue() + 0.5;
}

double TTowerSeries::MinXValue()
{
    return XValues()->MinValue() - 0.5;
}

double TTowerSeries::MaxZValue()
{
    return ZValues()->MaxValue() + 0.5;
}

double TTowerSeries::MinZValue()
{
    return ZValues()->MinValue() - 0.5;
}

// --- Painting -----------------------------------------------------------------------------------

TTowerSeries::TTowerBox TTowerSeries::TowerBox(int Index)
{
    const double HalfWidth = FPercentWidth * 0.005;
    const double HalfDepth = FPercentDepth * 0.005;
    const double X = XValues()->Value(Index);
    const double Z = ZValues()->Value(Index);
    const TChartAxis& Depth = *FParentChart->DepthAxis();
    TTowerBox Tower;
    Tower.Box.Left = CalcXPosValue(X - HalfWidth);
    Tower.Box.Right = CalcXPosValue(X + HalfWidth);
    Tower.Box.Top = CalcYPosValue(YValues()->Value(Index));
    Tower.Box.Bottom = CalcYPosValue(FUseOrigin ? FOrigin : YValues()->MinValue());
    if (Tower.Box.Bottom < Tower.Box.Top) {
        std::swap(Tower.Box.Top, Tower.Box.Bottom);
        Tower.Hanging = true;
    }
    Tower.Z0 = Depth.CalcPosValue(Z - HalfDepth);
    Tower.Z1 = Depth.CalcPosValue(Z + HalfDepth);
    return Tower;
}

void TTowerSeries::DrawAllValues()
{
    if (Count() == 0 || !FParentChart || !FParentChart->DepthAxis())
        return;
    if (GridColumns() != NumXValues() + 1 || GridRows() != NumZValues() + 1)
        FillGridIndex(0); // points changed since the paint began
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePen(*Pen());
    Canvas.AssignBrush(*Brush(), GetSeriesColor());
    const bool TowerColours = Brush()->Style() != TBrush::bsClear;
    const std::vector<int> Rows = Walk(NumZValues(), IsDepthReversed());
    for (int Column : Walk(NumXValues(), DrawValuesForward()))
        for (int Row : Rows) {
            const int Index = GridIndex(Column, Row);
            if (Index < 0)
                continue;
            const TColor Color = GetValueColor(Index);
            if (Color == clNone)
                continue;
            if (TowerColours)
                Canvas.Brush()->SetColor(Color);
            const TTowerBox Tower = TowerBox(Index);
            std::unique_ptr<TPlotBlend> Blend;
            if (FTransparency > 0)
                Blend = Canvas.BeginBlending(ScreenArea(Canvas, Tower), FTransparency);
            DrawTower(Canvas, Tower);
            Canvas.EndBlending(std::move(Blend));
        }
}

void TTowerSeries::DrawTower(TPlotCanvas3D& Canvas, const TTowerBox& Tower)
{
    const TRect& B = Tower.Box;
    switch (FTowerStyle) {
    case tsCube: Canvas.CubeRect(B, Tower.Z0, Tower.Z1, FDark3D); break;
    case tsRectangle: Canvas.RectangleWithZ(B, (Tower.Z0 + Tower.Z1) / 2); break;
    case tsCover: Canvas.PlaneAtY(B.Left, B.Top, B.Right, Tower.Z0, Tower.Z1); break;
    case tsCylinder:
        Canvas.Cylinder(true, B.Left, B.Top, B.Right, B.Bottom, Tower.Z0, Tower.Z1, FDark3D);
        break;
    case tsArrow: {
        // From the tower's base towards its value: a hanging tower points
        // down.
        const int Centre = (B.Left + B.Right) / 2;
        const TPoint Base{Centre, Tower.Hanging ? B.Top : B.Bottom};
        const TPoint Tip{Centre, Tower.Hanging ? B.Bottom : B.Top};
        const int Width = B.Right - B.Left;
        Canvas.ArrowDefault(true, Base, Tip, Width, Width / 2, (Tower.Z0 + Tower.Z1) / 2);
        break;
    }
    case tsCone: Canvas.Cone(true, B.Left, B.Top, B.Right, B.Bottom, Tower.Z0, Tower.Z1, FDark3D, 0); break;
    case tsPyramid: Canvas.Pyramid(true, B.Left, B.Top, B.Right, B.Bottom, Tower.Z0, Tower.Z1, FDark3D); break;
    case tsSlantCube: {
        // A cylinder of four sides, for this tower only.
        const int Sides = ConeSegments();
        SetConeSegments(4);
        const auto Restore = qScopeGuard([Sides] { SetConeSegments(Sides); });
        Canvas.Cylinder(true, B.Left, B.Top, B.Right, B.Bottom, Tower.Z0, Tower.Z1, FDark3D);
        break;
    }
    }
}

TRect TTowerSeries::ScreenArea(const TPlotCanvas3D& Canvas, const TTowerBox& Tower) const
{
    const TRect& B = Tower.Box;
    if (FTowerStyle == tsCover) {
        const std::vector<TPoint> Top = {
            Canvas.Calculate3DPosition(B.Left, B.Top, Tower.Z0), Canvas.Calculate3DPosition(B.Right, B.Top, Tower.Z0),
            Canvas.Calculate3DPosition(B.Right, B.Top, Tower.Z1), Canvas.Calculate3DPosition(B.Left, B.Top, Tower.Z1)};
        return RectFromPolygon(Top, 3);
    }
    const TRect Front = Canvas.RectFromRectZ(B, Tower.Z0);
    const TRect Back = Canvas.RectFromRectZ(B, Tower.Z1);
    return {std::min(Front.Left, Back.Left), std::min(Front.Top, Back.Top), std::max(Front.Right, Back.Right),
            std::max(Front.Bottom, Back.Bottom)};
}

void TTowerSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    Marks()->ApplyArrowLength(APosition);
    TCustom3DGridSeries::DrawMark(ValueIndex, St, APosition);
}

// --- Hit test -----------------------------------------------------------------------------------

bool TTowerSeries::Hit(const TPlotCanvas3D& Canvas, const TTowerBox& Tower, const TPoint& P) const
{
    const TRect& B = Tower.Box;
    const std::vector<TPoint> Cover = {
        Canvas.Calculate3DPosition(B.Left, B.Top, Tower.Z0), Canvas.Calculate3DPosition(B.Right, B.Top, Tower.Z0),
        Canvas.Calculate3DPosition(B.Right, B.Top, Tower.Z1), Canvas.Calculate3DPosition(B.Left, B.Top, Tower.Z1)};
    if (PointInPolygon(P, Cover))
        return true;
    if (FTowerStyle == tsCover)
        return false;
    const TFourPoints Front = Canvas.FourPointsFromRect(B, Tower.Z0);
    return PointInPolygon(P, std::vector<TPoint>(Front.begin(), Front.end()));
}

int TTowerSeries::Clicked(int X, int Y)
{
    if (Count() == 0 || !FParentChart || !FParentChart->DepthAxis())
        return -1;
    FillGridIndex(0);
    const TPlotCanvas3D& Canvas = FParentChart->Canvas();
    for (int Column = 1; Column <= NumXValues(); ++Column)
        for (int Row = 1; Row <= NumZValues(); ++Row) {
            const int Index = GridIndex(Column, Row);
            if (Index >= 0 && GetValueColor(Index) != clNone && Hit(Canvas, TowerBox(Index), {X, Y}))
                return Index;
        }
    return -1;
}

} // namespace lp
