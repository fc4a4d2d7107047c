#include "chart/extensions/tools/PlotGridTransposeTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/grid3d/PlotGridSeries.h"

namespace lp {

TGridTransposeTool::TGridTransposeTool(TComponent* AOwner) : TPlotCustomTool(AOwner) {}

QString TGridTransposeTool::Description() const
{
    return PlotMsg_Grid3DTranspose;
}

TChartSeries* TGridTransposeTool::Series() const
{
    return FSeries;
}

void TGridTransposeTool::SetSeries(TChartSeries* Value)
{
    SetObserved(FSeries, qobject_cast<TCustom3DGridSeries*>(Value));
}

void TGridTransposeTool::Notification(TComponent* AComponent, TOperation Operation)
{
    TPlotCustomTool::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSeries)
        FSeries = nullptr;
}

void TGridTransposeTool::Transpose()
{
    if (!Active() || !FSeries)
        return;
    TCustom3DGridSeries& Grid = *FSeries;
    TCustom3DGridSeries Swapped;
    Swapped.SetIrregularGrid(Grid.IrregularGrid());
    Swapped.SetNumXValues(Grid.NumZValues());
    Swapped.SetNumZValues(Grid.NumXValues());
    Swapped.Clear();
    for (int I = 0; I < Grid.Count(); ++I)
        Swapped.AddXYZLabel(Grid.ZValues()->Value(I), Grid.YValues()->Value(I), Grid.XValues()->Value(I),
                            Grid.Labels().GetLabel(I),
                            Grid.GetStoredValueColor(I));
    Grid.AssignValues(&Swapped);
}

void RegisterGridTransposeTool()
{
    RegisterPlotTools({PlotClass<TGridTransposeTool>()});
}

void UnregisterGridTransposeTool()
{
    UnRegisterPlotTools({&TGridTransposeTool::staticMetaObject});
}

} // namespace lp
