#include "chart/extensions/tools/PlotExtraLegendTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"

namespace lp {

TExtraLegend::TExtraLegend(TCustomAxisPanel* Chart) : TChartLegend(Chart)
{
    SetCustomPosition(true);
    SetLegendStyle(lsValues);
}

TExtraLegendTool::TExtraLegendTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

TExtraLegendTool::~TExtraLegendTool() = default;

QString TExtraLegendTool::Description() const
{
    return PlotMsg_ExtraLegend;
}

TChartLegend* TExtraLegendTool::Legend()
{
    if (!FLegend) {
        FLegend = std::make_unique<TExtraLegend>(ParentChart());
    }
    return FLegend.get();
}

void TExtraLegendTool::SetParentChart(TCustomAxisPanel* Value)
{
    TPlotCustomToolSeries::SetParentChart(Value);
    // The legend repaints the chart it belongs to when it changes.
    if (FLegend)
        FLegend->SetParentChart(Value);
}

void TExtraLegendTool::SetSeries(TChartSeries* Value)
{
    TPlotCustomToolSeries::SetSeries(Value);
    Repaint();
}

void TExtraLegendTool::ChartEvent(int Event)
{
    TPlotCustomToolSeries::ChartEvent(Event);
    if (Event != cteAfterDraw || !ParentChart() || !Series())
        return;
    TChartLegend* L = Legend();
    L->SetSeries(Series());
    if (L->Visible())
        L->DrawLegend();
}

void RegisterExtraLegendTool()
{
    RegisterPlotTools({PlotClass<TExtraLegendTool>()});
}

void UnregisterExtraLegendTool()
{
    UnRegisterPlotTools({&TExtraLegendTool::staticMetaObject});
}

} // namespace lp
