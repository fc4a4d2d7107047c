#include "chart/engine/PlotFunction.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"

namespace lp {

TPlotFunction::TPlotFunction(TComponent* AOwner) : TComponent(AOwner) {}

void TPlotFunction::Assign(const TPersistent* Source)
{
    const auto* Other = qobject_cast<const TPlotFunction*>(Source);
    if (!Other) {
        TComponent::Assign(Source);
        return;
    }
    FPeriod = Other->FPeriod;
    FPeriodStyle = Other->FPeriodStyle;
    FPeriodAlign = Other->FPeriodAlign;
}

void TPlotFunction::SetPeriod(double Value)
{
    if (Value < 0)
        throw ChartException(PlotMsg_FunctionPeriod);
    if (FPeriod != Value) {
        FPeriod = Value;
        ReCalculate();
    }
}

void TPlotFunction::SetPeriodStyle(TFunctionPeriodStyle Value)
{
    if (FPeriodStyle != Value) {
        FPeriodStyle = Value;
        ReCalculate();
    }
}

void TPlotFunction::SetPeriodAlign(TFunctionPeriodAlign Value)
{
    if (FPeriodAlign != Value) {
        FPeriodAlign = Value;
        ReCalculate();
    }
}

void TPlotFunction::EndUpdate()
{
    if (FUpdating) {
        FUpdating = false;
        ReCalculate();
    }
}

void TPlotFunction::ReCalculate()
{
    if (!FUpdating && FParent)
        FParent->CheckDataSource();
}

void TPlotFunction::AddPoints(TChartSeries*)
{
    // The plain base computes nothing; each function class walks its
    // sources its own way.
}

bool TPlotFunction::IsValidSource(TChartSeries*) const
{
    return true;
}

TComponent* TPlotFunction::GetParentComponent() const
{
    return FParent;
}

void TPlotFunction::SetParentComponent(TComponent* Value)
{
    if (auto* Series = qobject_cast<TChartSeries*>(Value))
        Series->SetFunction(this);
}

} // namespace lp
