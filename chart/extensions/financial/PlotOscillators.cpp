// The commodity channel index and the volume oscillator.

#include "chart/extensions/financial/PlotOscillators.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lp {

namespace {

std::vector<double> TypicalPrices(const TOHLCSeries& Prices)
{
    std::vector<double> Result;
    Result.reserve(static_cast<size_t>(Prices.Count()));
    for (int I = 0; I < Prices.Count(); ++I)
        Result.push_back((Prices.CloseValues()->Value(I) + Prices.HighValues()->Value(I)
                          + Prices.LowValues()->Value(I))
                         * (1.0 / 3));
    return Result;
}

} // namespace

// --- TCCIFunction -------------------------------------------------------------------------------

TCCIFunction::TCCIFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(20);
    // Reads the high, low and close of one candle series.
    SetSingleSource(true);
    SetFixedValueLists(true);
}

void TCCIFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TCCIFunction*>(Source))
        FConstant = Other->FConstant;
    TPlotFunction::Assign(Source);
}

bool TCCIFunction::IsValidSource(TChartSeries* Series) const
{
    return qobject_cast<TOHLCSeries*>(Series) != nullptr;
}

void TCCIFunction::SetConstant(double Value)
{
    if (Value == FConstant)
        return;
    FConstant = Value;
    ReCalculate();
}

void TCCIFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return;
    Parent->Clear();
    const auto* Prices = qobject_cast<TOHLCSeries*>(Source);
    const double Truncated = std::trunc(std::min(Period(), 2147483647.0));
    if (!Prices || Truncated <= 0 || Prices->Count() < Truncated)
        return;
    const int P = static_cast<int>(Truncated);
    const std::vector<double> TP = TypicalPrices(*Prices);
    const double C = FConstant == 0 ? 1 : FConstant;
    TFunctionOutput Output(*Parent);
    for (size_t I = static_cast<size_t>(P) - 1; I < TP.size(); ++I) {
        const size_t First = I + 1 - static_cast<size_t>(P);
        double Sum = 0;
        for (size_t J = First; J <= I; ++J)
            Sum += TP[J];
        const double Average = Sum / P;
        double Deviation = 0;
        for (size_t J = First; J <= I; ++J)
            Deviation += std::fabs(Average - TP[J]);
        Deviation /= P;
        // A flat window has no deviation to measure against.
        if (Deviation != 0)
            Output.Add(Prices->DateValues()->Value(static_cast<int>(I)), (TP[I] - Average) / (C * Deviation));
    }
    Output.Finish();
}

// --- TPVOFunction -------------------------------------------------------------------------------

TPVOFunction::TPVOFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    FShortSeries = CreateExpAverageSeries(12, FShort);
    FLongSeries = CreateExpAverageSeries(26, FLong);
    InternalSetPeriod(12);
    SetSingleSource(true);
}

TPVOFunction::~TPVOFunction() = default;

void TPVOFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TPVOFunction*>(Source)) {
        FLong->InternalSetPeriod(Other->FLong->Period());
        FPercentage = Other->FPercentage;
    }
    TPlotFunction::Assign(Source);
}

int TPVOFunction::Period2() const
{
    return RoundToInt32(std::clamp(FLong->Period(), -2147483648.0, 2147483647.0));
}

void TPVOFunction::SetPeriod2(int Value)
{
    FLong->InternalSetPeriod(Value);
    ReCalculate();
}

void TPVOFunction::SetPercentage(bool Value)
{
    if (Value == FPercentage)
        return;
    FPercentage = Value;
    ReCalculate();
}

void TPVOFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return;
    Parent->Clear();
    if (!Source || Period() <= 0)
        return;
    FShort->InternalSetPeriod(Period());
    FShort->AddPoints(Source);
    FLong->AddPoints(Source);
    const TChartValueList& E1 = *FShortSeries->MandatoryValues();
    const TChartValueList& E2 = *FLongSeries->MandatoryValues();
    // Either average may be empty (one source point, a long period of 0).
    const int N = std::min({Source->Count(), E1.Count(), E2.Count()});
    TFunctionOutput Output(*Parent);
    for (int I = 0; I < N; ++I) {
        const double A = E1.Value(I);
        double V = A - E2.Value(I);
        if (FPercentage)
            V = A == 0 ? E2.Value(I) : V / A;
        Output.Add(Source->XValues()->Value(I), 100 * V);
    }
    Output.Finish();
    FShortSeries->Clear();
    FLongSeries->Clear();
}

void RegisterOscillatorFunctions()
{
    RegisterPlotFunction<TCCIFunction>(&PlotMsg_FunctionCommodityChannelIndex, &PlotMsg_GalleryFinancial, 1);
    RegisterPlotFunction<TPVOFunction>(&PlotMsg_FunctionVolumeOscillator, &PlotMsg_GalleryFinancial, 1);
}

void UnregisterOscillatorFunctions()
{
    UnRegisterPlotFunctions({&TCCIFunction::staticMetaObject, &TPVOFunction::staticMetaObject});
}

} // namespace lp
