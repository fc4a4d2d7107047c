#include "chart/extensions/tools/PlotNearestTool.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/tools/PlotBufferOverlay.h"
#include "chart/extensions/tools/PlotToolSupport.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <array>
#include <cmath>

namespace lp {

namespace {
// No point farther than this is ever marked.
constexpr int NearestLimit = 10000;
} // namespace

TNearestTool::TNearestTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner), FLinePen(CreateChartPen())
{
    Brush()->SetStyle(bsClear);
    Pen()->SetStyle(psDot);
    Pen()->SetColor(clWhite);
    KeepStartAsDefault(*Brush(), {"Style"});
    KeepStartAsDefault(*Pen(), {"Color", "Style"});
}

TNearestTool::~TNearestTool() = default;

QString TNearestTool::Description() const
{
    return PlotMsg_ToolNearestPoint;
}

bool TNearestTool::DrawLine() const
{
    return FLinePen->Visible();
}

void TNearestTool::SetDrawLine(bool Value)
{
    FLinePen->SetVisible(Value);
}

void TNearestTool::SetLinePen(const TChartPen* Value)
{
    FLinePen->Assign(Value);
}

void TNearestTool::SetStyle(TNearestToolStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Repaint();
}

int TNearestTool::GetNearestPoint(TChartSeries& Series, int X, int Y, int& Distance)
{
    int Result = -1;
    Distance = NearestLimit;
    TCustomAxisPanel* Chart = Series.ParentChart();
    if (!Chart)
        return Result;
    const TRect R = Chart->ChartRectangle();
    const TChartValueList* Z = ZValueList(Series);
    int First = 0;
    int Last = -1;
    VisibleRange(Series, First, Last);
    for (int I = First; I <= Last; ++I) {
        if (Series.IsNull(I))
            continue;
        TPoint P{Series.CalcXPos(I), Series.CalcYPos(I)};
        if (Z)
            P = Chart->Canvas().Calculate3DPosition(P.X, P.Y, Chart->DepthAxis()->CalcPosValue(Z->Value(I)));
        if (!PointInRect(R, P.X, P.Y))
            continue;
        const double DX = static_cast<double>(X) - P.X;
        const double DY = static_cast<double>(Y) - P.Y;
        const double Exact = std::sqrt(DX * DX + DY * DY);
        // Far points are left before rounding (which could not hold them).
        if (!(Exact < Distance + 1))
            continue;
        const int Rounded = RoundToInt32(Exact);
        if (Rounded < Distance) {
            Distance = Rounded;
            Result = I;
        }
    }
    return Result;
}

void TNearestTool::PaintMarker(TCanvas3D& Canvas)
{
    TChartSeries* S = Series();
    TCustomAxisPanel* Chart = ParentChart();
    if (!S || !Chart || FPoint == -1 || FPoint >= S->Count())
        return;
    Canvas.AssignVisiblePen(*Pen());
    if (!FFullRepaint)
        Canvas.Pen()->SetMode(pmNotXor);
    const int X = S->CalcXPos(FPoint);
    const int Y = S->CalcYPos(FPoint);
    const TChartValueList* ZList = ZValueList(*S);
    const int Z = ZList ? Chart->DepthAxis()->CalcPosValue(ZList->Value(FPoint)) : S->DepthStart();
    const bool Is3D = Chart->View3D();
    if (FStyle != hsNone) {
        Canvas.AssignBrush(*Brush(), Brush()->Color());
        const TRect Box{X - FSize, Y - FSize, X + FSize, Y + FSize};
        if (FStyle == hsCircle) {
            if (Is3D)
                Canvas.EllipseWithZ(Box.Left, Box.Top, Box.Right, Box.Bottom, Z);
            else
                Canvas.EllipseRect(Box);
        } else if (FStyle == hsRectangle) {
            if (Is3D)
                Canvas.RectangleWithZ(Box, Z);
            else
                Canvas.RectangleRect(Box);
        } else {
            const std::array<TPoint, 4> Diamond{TPoint{X, Y - FSize}, TPoint{X + FSize, Y}, TPoint{X, Y + FSize},
                                                TPoint{X - FSize, Y}};
            if (Is3D)
                Canvas.PolygonWithZ(Diamond, Z);
            else
                Canvas.Polygon(Diamond, 3);
        }
    }
    if (DrawLine()) {
        Canvas.AssignVisiblePen(*FLinePen);
        if (!FFullRepaint)
            Canvas.Pen()->SetMode(pmNotXor);
        Canvas.MoveTo(FMouse.X, FMouse.Y);
        if (Is3D)
            Canvas.LineTo3D(X, Y, Z);
        else
            Canvas.LineTo(X, Y);
    }
    if (!FFullRepaint)
        Canvas.Pen()->SetMode(pmCopy);
}

void TNearestTool::DrawMarkerOverlay()
{
    if (TCustomAxisPanel* Chart = ParentChart())
        DrawChartOverlay(*Chart, [this](TCanvas3D& Canvas) { PaintMarker(Canvas); });
}

void TNearestTool::ChartEvent(int Event)
{
    TPlotCustomToolSeries::ChartEvent(Event);
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    if (Event == cteAfterDraw) {
        PaintMarker(Chart->Canvas());
    } else if (Event == cteMouseLeave) {
        if (!FFullRepaint)
            DrawMarkerOverlay();
        FPoint = -1;
        if (FFullRepaint)
            Chart->Invalidate();
    }
}

void TNearestTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TCustomAxisPanel* Chart = ParentChart();
    if (Kind != cmeMove || !Chart)
        return;
    if (!FFullRepaint)
        DrawMarkerOverlay();
    if (TChartSeries* S = Series())
        FPoint = GetNearestPoint(*S, X, Y, FDistance);
    FMouse = TPoint{X, Y};
    if (!FFullRepaint)
        DrawMarkerOverlay();
    if (OnChange)
        OnChange(this);
    if (FFullRepaint)
        Chart->Invalidate();
}

} // namespace lp
