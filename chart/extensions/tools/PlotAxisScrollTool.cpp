#include "chart/extensions/tools/PlotAxisScrollTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"

namespace lp {

TAxisScrollTool::TAxisScrollTool(TComponent* AOwner) : TPlotCustomToolAxis(AOwner) {}

QString TAxisScrollTool::Description() const
{
    return PlotMsg_AxisScroll;
}

TChartAxis* TAxisScrollTool::AxisUnder(int X, int Y) const
{
    if (TChartAxis* A = Axis())
        return A->Visible() && A->Clicked(X, Y) ? A : nullptr;
    const TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return nullptr;
    for (TChartAxis* A : Chart->AxesList())
        if (A->Visible() && A->Clicked(X, Y))
            return A;
    return nullptr;
}

void TAxisScrollTool::ScrollByPixels(TChartAxis& Axis, int Pixels)
{
    const int Length = Axis.AxisPixelSize();
    if (Length == 0 || Pixels == 0)
        return;
    Axis.Scroll((Axis.Maximum() - Axis.Minimum()) * Pixels / Length, false);
}

bool TAxisScrollTool::ShareSeries(const TChartAxis* A, const TChartAxis* B) const
{
    for (TChartSeries* S : ParentChart()->SeriesList())
        if (S->AssociatedToAxis(A) && S->AssociatedToAxis(B))
            return true;
    return false;
}

void TAxisScrollTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolAxis::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !Active())
        return;
    switch (Kind) {
    case cmeDown:
        FDragged = AxisUnder(X, Y);
        FLastPoint = TPoint{X, Y};
        break;
    case cmeMove:
        if (FDragged) {
            DragTo(X, Y);
        } else if (AxisUnder(X, Y)) {
            Chart->ShowCursor(crHandPoint);
            Chart->SetMouseCancelled(true);
        }
        break;
    case cmeUp:
        FDragged = nullptr;
        break;
    }
}

void TAxisScrollTool::DragTo(int X, int Y)
{
    TChartAxis& Dragged = *FDragged;
    const bool Horizontal = Dragged.Horizontal();
    int Delta = Horizontal ? FLastPoint.X - X : FLastPoint.Y - Y;
    if (Dragged.Inverted())
        Delta = -Delta;
    // Pixels grow downwards, values upwards on a vertical axis.
    if (Horizontal == FScrollInverted)
        Delta = -Delta;
    ScrollByPixels(Dragged, Delta);
    for (TChartAxis* Other : ParentChart()->AxesList())
        if (Other != &Dragged && Other->Horizontal() == Horizontal && ShareSeries(&Dragged, Other))
            ScrollByPixels(*Other, Delta);
    FLastPoint = TPoint{X, Y};
    ParentChart()->SetMouseCancelled(true);
}

} // namespace lp
