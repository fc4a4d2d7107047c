// The close location value and on-balance volume functions.

#include "chart/extensions/financial/PlotVolumeIndicators.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"

#include <algorithm>

namespace lp {

// --- TVolumeLinkedFunction ----------------------------------------------------------------------

TVolumeLinkedFunction::TVolumeLinkedFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(1);
    // Reads the prices of one candle series (and its volume series).
    SetSingleSource(true);
    SetFixedValueLists(true);
}

void TVolumeLinkedFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TVolumeLinkedFunction*>(Source))
        SetObserved(FVolume, Other->FVolume);
    TPlotFunction::Assign(Source);
}

bool TVolumeLinkedFunction::IsValidSource(TChartSeries* Series) const
{
    return qobject_cast<TOHLCSeries*>(Series) != nullptr;
}

void TVolumeLinkedFunction::SetVolume(TChartSeries* Value)
{
    if (Value == FVolume)
        return;
    SetObserved(FVolume, Value);
    ReCalculate();
}

void TVolumeLinkedFunction::Notification(TComponent* AComponent, TOperation Operation)
{
    TPlotFunction::Notification(AComponent, Operation);
    // The base has dropped the link already.
    if (Operation == opRemove && AComponent == FVolume)
        FVolume = nullptr;
}

TOHLCSeries* TVolumeLinkedFunction::StartCalculation(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return nullptr;
    Parent->Clear();
    return qobject_cast<TOHLCSeries*>(Source);
}

// --- TCLVFunction -------------------------------------------------------------------------------

void TCLVFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TCLVFunction*>(Source))
        FAccumulate = Other->FAccumulate;
    TVolumeLinkedFunction::Assign(Source);
}

void TCLVFunction::SetAccumulate(bool Value)
{
    if (Value == FAccumulate)
        return;
    FAccumulate = Value;
    ReCalculate();
}

void TCLVFunction::AddPoints(TChartSeries* Source)
{
    TOHLCSeries* Prices = StartCalculation(Source);
    if (!Prices)
        return;
    const TChartValueList* Volumes = Volume() ? Volume()->MandatoryValues() : nullptr;
    double Last = 0;
    TFunctionOutput Output(*ParentSeries());
    for (int I = 0; I < Prices->Count(); ++I) {
        const double High = Prices->HighValues()->Value(I);
        const double Low = Prices->LowValues()->Value(I);
        const double Close = Prices->CloseValues()->Value(I);
        double V = High == Low ? 1 : ((Close - Low) - (High - Close)) / (High - Low);
        if (Volumes && I < Volumes->Count())
            V *= Volumes->Value(I);
        if (FAccumulate && I >= 1)
            V += Last;
        Output.Add(Prices->DateValues()->Value(I), V);
        Last = V;
    }
    Output.Finish();
}

// --- TOBVFunction -------------------------------------------------------------------------------

void TOBVFunction::AddPoints(TChartSeries* Source)
{
    TOHLCSeries* Prices = StartCalculation(Source);
    if (!Prices || !Volume())
        return;
    const TChartValueList& Volumes = *Volume()->MandatoryValues();
    const int N = std::min(Prices->Count(), Volumes.Count());
    double Last = 0;
    TFunctionOutput Output(*ParentSeries());
    for (int I = 0; I < N; ++I) {
        double V = Volumes.Value(I);
        if (I >= 1)
            V = Prices->CloseValues()->Value(I) > Prices->OpenValues()->Value(I) ? Last + V : Last - V;
        Output.Add(Prices->DateValues()->Value(I), V);
        Last = V;
    }
    Output.Finish();
}

void RegisterVolumeIndicatorFunctions()
{
    RegisterPlotFunction<TCLVFunction>(&PlotMsg_FunctionCloseLocationValue, &PlotMsg_GalleryFinancial, 1);
    RegisterPlotFunction<TOBVFunction>(&PlotMsg_FunctionOnBalanceVolume, &PlotMsg_GalleryFinancial, 1);
}

void UnregisterVolumeIndicatorFunctions()
{
    UnRegisterPlotFunctions({&TCLVFunction::staticMetaObject, &TOBVFunction::staticMetaObject});
}

} // namespace lp
