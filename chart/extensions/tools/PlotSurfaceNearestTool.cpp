#include "chart/extensions/tools/PlotSurfaceNearestTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"

namespace lp {

namespace {

// The corner whose colour the cell found last by Clicked shows: the one
// with the smaller column and the larger row.
int CellColorPoint(const TSurfaceSeries& Surface)
{
    int Best = Surface.Corner(0);
    for (int I = 1; I < 4; ++I) {
        const int P = Surface.Corner(I);
        const double X = Surface.XValues()->Value(P);
        const double BestX = Surface.XValues()->Value(Best);
        if (X < BestX || (X == BestX && Surface.ZValues()->Value(P) > Surface.ZValues()->Value(Best)))
            Best = P;
    }
    return Best;
}

} // namespace

TSurfaceNearestTool::TSurfaceNearestTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

QString TSurfaceNearestTool::Description() const
{
    return PlotMsg_SurfaceNearest;
}

void TSurfaceNearestTool::SetSeries(TChartSeries* Value)
{
    auto* Surface = qobject_cast<TSurfaceSeries*>(Value);
    if (Surface != Series())
        FIndex = -1;
    TPlotCustomToolSeries::SetSeries(Surface);
}

void TSurfaceNearestTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    auto* Surface = qobject_cast<TSurfaceSeries*>(Series());
    TCustomAxisPanel* Chart = ParentChart();
    if (Kind != cmeMove || !Surface || !Chart)
        return;
    const int Index = Surface->Clicked(X, Y);
    if (Index == FIndex)
        return;
    FIndex = Index;
    const int ColorPoint = Index >= 0 ? CellColorPoint(*Surface) : -1;
    // One repaint for all the colours.
    const bool OldRepaint = Chart->RepaintEnabled();
    Chart->SetRepaintEnabled(false);
    try {
        ColorPoints(*Surface, ColorPoint);
    } catch (...) {
        Chart->SetRepaintEnabled(OldRepaint);
        throw;
    }
    Chart->SetRepaintEnabled(OldRepaint);
    Chart->Invalidate();
    if (OnSelectCell)
        OnSelectCell(this);
}

void TSurfaceNearestTool::ColorPoints(TSurfaceSeries& Surface, int ColorPoint)
{
    const bool Pointed = ColorPoint >= 0;
    const double CellX = Pointed ? Surface.XValues()->Value(ColorPoint) : 0;
    const double CellZ = Pointed ? Surface.ZValues()->Value(ColorPoint) : 0;
    for (int I = 0; I < Surface.Count(); ++I) {
        TColor Color = clPlotColor;
        if (Pointed) {
            const bool SameX = Surface.XValues()->Value(I) == CellX;
            const bool SameZ = Surface.ZValues()->Value(I) == CellZ;
            if (SameX && SameZ)
                Color = FCellColor;
            else if (SameX)
                Color = FRowColor;
            else if (SameZ)
                Color = FColumnColor;
        }
        Surface.SetValueColor(I, Color);
    }
}

void RegisterSurfaceNearestTool()
{
    RegisterPlotTools({PlotClass<TSurfaceNearestTool>()});
}

void UnregisterSurfaceNearestTool()
{
    UnRegisterPlotTools({&TSurfaceNearestTool::staticMetaObject});
}

} // namespace lp
