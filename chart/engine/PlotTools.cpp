#include "chart/engine/PlotTools.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"

#include <algorithm>

namespace lp {

// --- TPlotCustomTool ---------------------------------------------------------------------------

TPlotCustomTool::TPlotCustomTool(TComponent* AOwner) : TCustomChartElement(AOwner) {}

TPlotCustomTool::~TPlotCustomTool()
{
    if (FParentChart)
        FParentChart->Tools().InternalRemove(this);
    FParentChart = nullptr;
}

void TPlotCustomTool::SetParentChart(TCustomAxisPanel* Value)
{
    if (FParentChart == Value)
        return;
    if (FParentChart) {
        FParentChart->Tools().InternalRemove(this);
        if (!Value)
            FParentChart->Invalidate();
    }
    TCustomChartElement::SetParentChart(Value);
    if (Value)
        Value->Tools().InternalAdd(this);
}

void TPlotCustomTool::ChartMouseEvent(int, TMouseButton, TShiftState, int, int) {}

// --- TPlotCustomToolSeries -----------------------------------------------------------------------

TPlotCustomToolSeries::TPlotCustomToolSeries(TComponent* AOwner) : TPlotCustomTool(AOwner) {}

TPlotCustomToolSeries::~TPlotCustomToolSeries() = default;

void TPlotCustomToolSeries::SetSeries(TChartSeries* Value)
{
    SetObserved(FSeries, Value);
}

void TPlotCustomToolSeries::Notification(TComponent* AComponent, TOperation Operation)
{
    TPlotCustomTool::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSeries)
        SetSeries(nullptr);
}

TChartAxis* TPlotCustomToolSeries::GetHorizAxis() const
{
    if (FSeries)
        return FSeries->GetHorizAxis();
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return nullptr;
    if (Chart->AxisHasActiveSeries(Chart->BottomAxis(), false))
        return Chart->BottomAxis();
    if (Chart->AxisHasActiveSeries(Chart->TopAxis(), false))
        return Chart->TopAxis();
    return Chart->BottomAxis();
}

TChartAxis* TPlotCustomToolSeries::GetVertAxis() const
{
    if (FSeries)
        return FSeries->GetVertAxis();
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return nullptr;
    if (Chart->AxisHasActiveSeries(Chart->LeftAxis(), false))
        return Chart->LeftAxis();
    if (Chart->AxisHasActiveSeries(Chart->RightAxis(), false))
        return Chart->RightAxis();
    return Chart->LeftAxis();
}

// --- TPlotCustomToolAxis -------------------------------------------------------------------------

TPlotCustomToolAxis::TPlotCustomToolAxis(TComponent* AOwner) : TPlotCustomTool(AOwner) {}

void TPlotCustomToolAxis::SetAxis(TChartAxis* Value)
{
    if (FAxis == Value)
        return;
    FAxis = Value;
    SetParentChart(Value ? Value->ParentChart() : nullptr);
    Repaint();
}

void TPlotCustomToolAxis::DefineProperties(TFiler& Filer)
{
    TPlotCustomTool::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("AxisID"),
        [this](const QVariant& V) {
            // An index that names no axis of the chart is reported (the
            // axes list raises), never dropped quietly.
            TCustomAxisPanel* Chart = ParentChart();
            if (!Chart)
                throw ChartException(QStringLiteral("No chart holds axis %1").arg(V.toInt()));
            SetAxis(Chart->AxesList().Items(V.toInt()));
        },
        [this] { return QVariant(ParentChart() ? ParentChart()->AxesList().IndexOf(Axis()) : -1); },
        Axis() != nullptr);
}

// --- TChartTools ---------------------------------------------------------------------------------

TPlotCustomTool* TChartTools::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

int TChartTools::IndexOf(const TPlotCustomTool* Tool) const
{
    const auto It = std::find(FItems.begin(), FItems.end(), Tool);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

TPlotCustomTool* TChartTools::Add(TPlotCustomTool* Tool)
{
    Tool->SetParentChart(FChart);
    return Tool;
}

void TChartTools::Exchange(int A, int B)
{
    Items(A);
    Items(B);
    std::swap(FItems[static_cast<size_t>(A)], FItems[static_cast<size_t>(B)]);
}

void TChartTools::Clear()
{
    while (!FItems.empty())
        delete FItems.back();
}

void TChartTools::InternalAdd(TPlotCustomTool* Tool)
{
    if (IndexOf(Tool) < 0)
        FItems.push_back(Tool);
}

void TChartTools::InternalRemove(const TPlotCustomTool* Tool)
{
    const auto It = std::find(FItems.begin(), FItems.end(), Tool);
    if (It != FItems.end())
        FItems.erase(It);
}

} // namespace lp
