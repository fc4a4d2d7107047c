#include "chart/extensions/tools/PlotDragPointTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotRegistry.h"

namespace lp {

double AxisValueAtPixel(TChartAxis& Axis, int Pixel)
{
    if (Axis.Maximum() == Axis.Minimum()) {
        Axis.SetAutomaticMaximum(false);
        Axis.SetMaximum(Axis.Maximum() + 0.1 * PlotMinAxisRange);
        // The inverse calculation works on the computed range.
        Axis.AdjustMaxMin();
    }
    return Axis.CalcPosPoint(Pixel);
}

TDragPointTool::TDragPointTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

QString TDragPointTool::Description() const
{
    return PlotMsg_DragPoint;
}

void TDragPointTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TChartSeries* Target = Series();
    if (!Target || !ParentChart())
        return;
    switch (Kind) {
    case cmeDown:
        FIndex = Target->Clicked(X, Y);
        if (FIndex != -1)
            ParentChart()->SetMouseCancelled(true);
        break;
    case cmeMove:
        if (FIndex >= 0)
            DragTo(X, Y);
        break;
    case cmeUp:
        FIndex = -1;
        break;
    }
}

void TDragPointTool::DragTo(int X, int Y)
{
    TChartSeries& Target = *Series();
    if (FIndex >= Target.Count()) {
        FIndex = -1;
        return;
    }
    Target.BeginUpdate();
    try {
        if (FDragStyle != dsY && Target.GetHorizAxis())
            Target.SetXValue(FIndex, AxisValueAtPixel(*Target.GetHorizAxis(), X));
        if (FDragStyle != dsX && Target.GetVertAxis())
            Target.SetYValue(FIndex, AxisValueAtPixel(*Target.GetVertAxis(), Y));
    } catch (...) {
        Target.EndUpdate();
        throw;
    }
    Target.EndUpdate();
    if (OnDragPoint)
        OnDragPoint(this, FIndex);
}

void RegisterDragPointTool()
{
    RegisterPlotTools({PlotClass<TDragPointTool>()});
}

void UnregisterDragPointTool()
{
    UnRegisterPlotTools({&TDragPointTool::staticMetaObject});
}

} // namespace lp
