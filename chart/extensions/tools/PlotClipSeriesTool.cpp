#include "chart/extensions/tools/PlotClipSeriesTool.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"

namespace lp {

TClipSeriesTool::TClipSeriesTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

TClipSeriesTool::~TClipSeriesTool()
{
    Unhook();
}

QString TClipSeriesTool::Description() const
{
    return PlotMsg_ClipSeries;
}

void TClipSeriesTool::Unhook()
{
    if (TChartSeries* S = Series()) {
        S->BeforeDrawValues = nullptr;
        S->AfterDrawValues = nullptr;
    }
}

void TClipSeriesTool::SetSeries(TChartSeries* Value)
{
    Unhook();
    TPlotCustomToolSeries::SetSeries(Value);
    if (Value) {
        Value->BeforeDrawValues = [this](QObject*) { ClipSeries(); };
        Value->AfterDrawValues = [this](QObject*) { UnClipSeries(); };
    }
}

void TClipSeriesTool::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == Series()) {
        // A series that is being destroyed takes its hooks with it; by now
        // only its component part is left, so they must not be touched.
        if (AComponent->IsDestroying())
            TPlotCustomToolSeries::SetSeries(nullptr);
        else
            Unhook();
    }
    TPlotCustomToolSeries::Notification(AComponent, Operation);
}

void TClipSeriesTool::ClipSeries()
{
    TChartSeries* S = Series();
    TCustomAxisPanel* Chart = ParentChart();
    if (!S || !Chart || !Chart->ClipPoints() || !Chart->CanClip())
        return;
    const TChartAxis* H = S->GetHorizAxis();
    const TChartAxis* V = S->GetVertAxis();
    if (!H || !V)
        return;
    Chart->Canvas().ClipRectangle(TRect{H->StartPixel(), V->StartPixel(), H->EndPixel(), V->EndPixel()});
    FClipped = true;
}

void TClipSeriesTool::UnClipSeries()
{
    if (!FClipped)
        return;
    FClipped = false;
    if (TCustomAxisPanel* Chart = ParentChart())
        Chart->Canvas().UnClipRectangle();
}

} // namespace lp
