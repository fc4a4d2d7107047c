#include "chart/extensions/tools/PlotCursorTool.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/extensions/tools/PlotBufferOverlay.h"
#include "chart/extensions/tools/PlotToolSupport.h"
#include "platform/ui/Application.h"

#include <cmath>
#include <cstdlib>

namespace lp {

TCursorTool::TCursorTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

QString TCursorTool::Description() const
{
    return PlotMsg_ToolCursor;
}

void TCursorTool::SetStyle(TCursorToolStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    SnapToPoint();
    Repaint();
}

void TCursorTool::SetSeries(TChartSeries* Value)
{
    TPlotCustomToolSeries::SetSeries(Value);
    FLastSnapped = -1;
    if (Value && !IsLoading()) {
        SnapToPoint();
        Repaint();
    }
}

TRect TCursorTool::CursorRect() const
{
    const TChartAxis* H = GetHorizAxis();
    const TChartAxis* V = GetVertAxis();
    if (!H || !V)
        return {};
    return TRect{H->StartPixel(), V->StartPixel(), H->EndPixel(), V->EndPixel()};
}

int TCursorTool::CursorDepth() const
{
    return FUseSeriesZ && Series() ? Series()->DepthStart() : 0;
}

TPoint TCursorTool::AtCursorDepth(int X, int Y) const
{
    if (FUseSeriesZ && ParentChart())
        ParentChart()->Canvas().Calculate2DPosition(X, Y, CursorDepth());
    return TPoint{X, Y};
}

bool TCursorTool::InsideCursorRect(int X, int Y) const
{
    const TPoint P = AtCursorDepth(X, Y);
    return PointInRect(CursorRect(), P.X, P.Y);
}

TCursorTool::TCursorPart TCursorTool::Clicked(int X, int Y) const
{
    if (!InsideCursorRect(X, Y))
        return cpNothing;
    const TPoint P = AtCursorDepth(X, Y);
    const bool NearY = std::abs(P.Y - FPixelY) <= FClickTolerance;
    const bool NearX = std::abs(P.X - FPixelX) <= FClickTolerance;
    if (FStyle == cssBoth && NearX && NearY)
        return cpCrossing;
    if (FStyle != cssVertical && NearY)
        return cpHorizontal;
    if (FStyle != cssHorizontal && NearX)
        return cpVertical;
    return cpNothing;
}

int TCursorTool::NearestPoint() const
{
    TChartSeries* S = Series();
    if (!S || S->Count() <= 0)
        return -1;
    int First = 0;
    int Last = -1;
    VisibleRange(*S, First, Last);
    int Result = -1;
    double Best = 0;
    for (int I = First; I <= Last; ++I) {
        const double DX = FXValue - S->XValues()->Value(I);
        const double DY = FYValue - S->YValues()->Value(I);
        const double Distance = FStyle == cssHorizontal ? std::abs(DY)
                                : FStyle == cssVertical ? std::abs(DX)
                                                        : std::sqrt(DX * DX + DY * DY);
        // Strictly smaller: on a tie the lower index stays.
        if (Result == -1 || Distance < Best) {
            Result = I;
            Best = Distance;
        }
    }
    return Result;
}

int TCursorTool::SnapToPoint()
{
    if (!Series() || !FSnap)
        return -1;
    const int Index = NearestPoint();
    if (Index < 0)
        return -1;
    if (FStyle != cssVertical)
        FYValue = Series()->YValues()->Value(Index);
    if (FStyle != cssHorizontal)
        FXValue = Series()->XValues()->Value(Index);
    return Index;
}

void TCursorTool::ValuesFromPoint(int X, int Y)
{
    const TPoint P = AtCursorDepth(X, Y);
    if (FDragged != cpVertical)
        if (const TChartAxis* V = GetVertAxis())
            FYValue = V->CalcPosPoint(P.Y);
    if (FDragged != cpHorizontal)
        if (const TChartAxis* H = GetHorizAxis())
            FXValue = H->CalcPosPoint(P.X);
}

void TCursorTool::PixelsFromValues()
{
    if (const TChartAxis* H = GetHorizAxis())
        FPixelX = H->CalcPosValue(FXValue);
    if (const TChartAxis* V = GetVertAxis())
        FPixelY = V->CalcPosValue(FYValue);
}

void TCursorTool::DrawCursorLines()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    const TRect R = CursorRect();
    const int Z = CursorDepth();
    DrawChartOverlay(*Chart, [&](TCanvas3D& Canvas) {
        Canvas.AssignVisiblePenColor(*Pen(), XorPenColor(*Chart, Pen()->Color()));
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.Pen()->SetMode(pmXor);
        const bool Is3D = Chart->View3D();
        if (FStyle != cssVertical) {
            if (Is3D)
                Canvas.HorizLine3D(R.Left, R.Right, FPixelY, Z);
            else
                Canvas.HorizLine(R.Left, R.Right, FPixelY);
        }
        if (FStyle != cssHorizontal) {
            if (Is3D)
                Canvas.VertLine3D(FPixelX, R.Top, R.Bottom, Z);
            else
                Canvas.VertLine(FPixelX, R.Top, R.Bottom);
        }
        Canvas.Pen()->SetMode(pmCopy);
    });
}

void TCursorTool::DoChange(int ValueIndex)
{
    if (OnChange)
        OnChange(this, FPixelX, FPixelY, FXValue, FYValue, Series(), ValueIndex);
}

void TCursorTool::ChartEvent(int Event)
{
    TPlotCustomToolSeries::ChartEvent(Event);
    // A paint leaves no cursor on the screen: the next move must not erase.
    if (Event == cteAfterDraw) {
        FPixelX = -1;
        FPixelY = -1;
    }
}

void TCursorTool::MoveTo(int X, int Y)
{
    if (FPixelX != -1)
        DrawCursorLines();
    ValuesFromPoint(X, Y);
    const int Index = SnapToPoint();
    PixelsFromValues();
    DrawCursorLines();
    DoChange(Index);
    if (OnSnapChange && Index != FLastSnapped)
        OnSnapChange(this, FPixelX, FPixelY, FXValue, FYValue, Series(), Index);
    FLastSnapped = Index;
}

void TCursorTool::Hover(int X, int Y)
{
    TCustomAxisPanel* Chart = ParentChart();
    const TCursorPart Part = Clicked(X, Y);
    if (Part == cpHorizontal)
        Chart->ShowCursor(crVSplit);
    else if (Part == cpVertical)
        Chart->ShowCursor(crHSplit);
    else if (Part == cpCrossing)
        Chart->ShowCursor(crSizeAll);
    Chart->SetMouseCancelled(Part != cpNothing);
}

void TCursorTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    switch (Kind) {
    case cmeDown:
        if (!FFollowMouse) {
            FDragged = Clicked(X, Y);
            if (FDragged != cpNothing)
                Chart->SetMouseCancelled(true);
        }
        break;
    case cmeMove:
        if ((FDragged != cpNothing || FFollowMouse) && InsideCursorRect(X, Y))
            MoveTo(X, Y);
        else
            Hover(X, Y);
        break;
    case cmeUp:
        FDragged = cpNothing;
        break;
    default:
        break;
    }
}

} // namespace lp
