#include "chart/extensions/tools/PlotAxisArrowTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"

#include <cstdlib>

namespace lp {

TAxisArrowTool::TAxisArrowTool(TComponent* AOwner) : TPlotCustomToolAxis(AOwner) {}

QString TAxisArrowTool::Description() const
{
    return PlotMsg_ToolAxisArrows;
}

void TAxisArrowTool::SetPosition(TAxisArrowToolPosition Value)
{
    if (FPosition != Value) {
        FPosition = Value;
        Repaint();
    }
}

void TAxisArrowTool::ChartEvent(int Event)
{
    if (Event == cteAfterDraw && Axis() && ParentChart())
        DrawArrows();
}

void TAxisArrowTool::DrawArrows()
{
    TCustomAxisPanel& Chart = *ParentChart();
    TPlotCanvas3D& Canvas = Chart.Canvas();
    Canvas.AssignBrush(*Brush(), Brush()->Color());
    Canvas.AssignVisiblePen(*Pen());
    const int Z = Chart.View3D() && Axis()->OtherSide() ? Chart.Depth3D() : 0;
    if (FPosition != aaEnd)
        DrawArrow(Axis()->StartPixel(), FLength, Z);
    if (FPosition != aaStart)
        DrawArrow(Axis()->EndPixel(), -FLength, Z);
}

void TAxisArrowTool::DrawArrow(int Position, int Length, int Z)
{
    const int Line = Axis()->AxisLinePixel();
    const bool Horizontal = Axis()->Horizontal();
    const TPoint From = Horizontal ? TPoint{Position + Length, Line} : TPoint{Line, Position + Length};
    const TPoint To = Horizontal ? TPoint{Position, Line} : TPoint{Line, Position};
    ParentChart()->Canvas().Arrow(true, From, To, FHeadWidth, FHeadWidth, Z, FSizePercent);
}

int TAxisArrowTool::ClickedArrow(int X, int Y) const
{
    const TChartAxis* A = Axis();
    if (!A)
        return ahNoArrow;
    const int Across = A->Horizontal() ? Y : X;
    const int Along = A->Horizontal() ? X : Y;
    if (std::abs(Across - A->AxisLinePixel()) >= 3)
        return ahNoArrow;
    if (FPosition != aaEnd && A->StartPixel() < Along && Along < A->StartPixel() + FLength)
        return ahStartArrow;
    if (FPosition != aaStart && A->EndPixel() - FLength < Along && Along < A->EndPixel())
        return ahEndArrow;
    return ahNoArrow;
}

TChartAxis* TAxisArrowTool::PairedAxis() const
{
    TCustomAxisPanel& Chart = *ParentChart();
    TChartAxis* A = Axis();
    for (TChartSeries* S : Chart.SeriesList()) {
        if (!S->AssociatedToAxis(A))
            continue;
        if (A->Horizontal() && S->HorizAxis() == aBothHorizAxis)
            return A == Chart.TopAxis() ? Chart.BottomAxis() : Chart.TopAxis();
        if (!A->Horizontal() && S->VertAxis() == aBothVertAxis)
            return A == Chart.RightAxis() ? Chart.LeftAxis() : Chart.RightAxis();
    }
    return nullptr;
}

void TAxisArrowTool::ScrollAxis(double Delta)
{
    TChartAxis* A = Axis();
    auto* Chart = qobject_cast<TCustomChart*>(ParentChart());
    if (!A || !ParentChart())
        return;
    bool Allow = true;
    if (Chart && Chart->OnAllowScroll) {
        double NewMin = A->Minimum() + Delta;
        double NewMax = A->Maximum() + Delta;
        Chart->OnAllowScroll(A, NewMin, NewMax, Allow);
    }
    if (!Allow)
        return;
    A->Scroll(Delta, false);
    if (TChartAxis* Other = PairedAxis(); Other && Other != A)
        Other->Scroll(Delta, false);
    if (Chart && Chart->OnScroll)
        Chart->OnScroll(Chart);
}

void TAxisArrowTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolAxis::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TChartAxis* A = Axis();
    TCustomAxisPanel* Chart = ParentChart();
    if (!A || !A->Visible() || !Chart)
        return;
    const int Arrow = ClickedArrow(X, Y);
    if (Arrow == ahNoArrow)
        return;
    if (Kind == cmeDown && FScrollPercent != 0) {
        double Delta = (A->Maximum() - A->Minimum()) * FScrollPercent / 100.0;
        if (FScrollInverted)
            Delta = -Delta;
        ScrollAxis(Arrow == ahStartArrow ? Delta : -Delta);
        Chart->SetMouseCancelled(true);
        if (OnClick)
            OnClick(this, Arrow == ahStartArrow);
    } else if (Kind == cmeMove) {
        Chart->ShowCursor(crHandPoint);
        Chart->SetMouseCancelled(true);
    }
}

} // namespace lp
