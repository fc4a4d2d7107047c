// The statistical functions and the statistics unit's registration.

#include "chart/extensions/stats/PlotStatFunctions.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/stats/PlotHistogramSeries.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

struct TWindow {
    int First = 0;
    int Last = -1;
    int Count() const { return Last - First + 1; }
};

// FirstIndex -1 means the whole source.
TWindow WindowOf(const TChartSeries& Source, int FirstIndex, int LastIndex)
{
    if (FirstIndex < 0)
        return {0, Source.Count() - 1};
    return {FirstIndex, LastIndex};
}

std::vector<double> WindowValues(const TChartValueList& List, const TWindow& W)
{
    std::vector<double> Result;
    Result.reserve(static_cast<size_t>(std::max(0, W.Count())));
    for (int I = W.First; I <= W.Last; ++I)
        Result.push_back(List.Value(I));
    return Result;
}

// The value ValueIndex of every source that has it, through List.
template <class TListOf>
std::vector<double> ValuesAt(const std::vector<TChartSeries*>& Sources, int ValueIndex, TListOf List)
{
    std::vector<double> Result;
    for (TChartSeries* S : Sources)
        if (S->Count() > ValueIndex)
            Result.push_back(List(S)->Value(ValueIndex));
    return Result;
}

// Values divided by the power of two that brings the largest magnitude below
// 1 (see ScaleExponent), and that power's exponent: the sums of squares of
// values near the limit of the doubles stay finite.
struct TScaledValues {
    std::vector<double> Values;
    int Exponent = 0;
};

TScaledValues Scaled(const std::vector<double>& Values)
{
    double Largest = 0;
    for (double V : Values)
        Largest = std::max(Largest, std::abs(V));
    TScaledValues Result{{}, ScaleExponent(Largest)};
    Result.Values.reserve(Values.size());
    for (double V : Values)
        Result.Values.push_back(std::ldexp(V, -Result.Exponent));
    return Result;
}

double PopulationVariance(const std::vector<double>& Values, double Mean)
{
    double Sum = 0;
    for (double V : Values)
        Sum += (V - Mean) * (V - Mean);
    return Values.empty() ? 0 : Sum / static_cast<double>(Values.size());
}

void SetRecalculating(TPlotFunction& F, bool& Variable, bool Value)
{
    if (Variable == Value)
        return;
    Variable = Value;
    F.ReCalculate();
}

} // namespace

// --- Averages -----------------------------------------------------------------------------------

void TMovingAverageFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TMovingAverageFunction*>(Source)) {
        FWeighted = Other->FWeighted;
        FWeightedIndex = Other->FWeightedIndex;
    }
    TPlotMovingFunction::Assign(Source);
}

void TMovingAverageFunction::SetWeighted(bool Value)
{
    SetRecalculating(*this, FWeighted, Value);
}

void TMovingAverageFunction::SetWeightedIndex(bool Value)
{
    SetRecalculating(*this, FWeightedIndex, Value);
}

double TMovingAverageFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    Assert(Period() > 0, "Period must be bigger than zero.");
    const TWindow W = WindowOf(*Source, FirstIndex, LastIndex);
    const TChartValueList& V = *ValueList(Source);
    if (FWeighted || FWeightedIndex) {
        const TChartValueList& X = *Source->OtherValues();
        double Sum = 0;
        double Weights = 0;
        for (int I = W.First; I <= W.Last; ++I) {
            const double Weight = FWeighted ? X.Value(I) : I - W.First + 1;
            Sum += V.Value(I) * Weight;
            Weights += Weight;
        }
        return Weights == 0 ? 0 : Sum / Weights;
    }
    if (W.Count() <= 0)
        return 0;
    double Sum = 0;
    for (int I = W.First; I <= W.Last; ++I)
        Sum += V.Value(I);
    return Sum / W.Count();
}

void TExpAverageFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TExpAverageFunction*>(Source))
        FWeight = Other->FWeight;
    TPlotMovingFunction::Assign(Source);
}

void TExpAverageFunction::SetWeight(double Value)
{
    if (!(Value >= 0 && Value <= 1))
        throw ChartException(PlotMsg_ExpAverageWeight);
    if (FWeight == Value)
        return;
    FWeight = Value;
    ReCalculate();
}

double TExpAverageFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    const TWindow W = WindowOf(*Source, FirstIndex, LastIndex);
    const TChartValueList& V = *ValueList(Source);
    if (W.Last <= 0)
        return V.Value(0);
    return FWeight * V.Value(W.Last) + (1 - FWeight) * V.Value(W.Last - 1);
}

TExpMovAveFunction::TExpMovAveFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(10);
    SetUsesPeriod(false);
    SetSingleSource(true);
}

std::unique_ptr<TChartSeries> CreateExpAverageSeries(double Period, TExpMovAveFunction*& Function)
{
    auto Series = std::make_unique<TChartSeries>(nullptr);
    // Read by source index: the averages stay in the source's order.
    Series->XValues()->SetOrder(loNone);
    Function = new TExpMovAveFunction(nullptr);
    Function->InternalSetPeriod(Period);
    Series->SetFunction(Function);
    return Series;
}

void TExpMovAveFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return;
    Parent->Clear();
    if (!Source || Period() <= 0 || Source->Count() <= 1)
        return;
    const TChartValueList& V = *ValueList(Source);
    const TChartValueList& X = *Source->OtherValues();
    const bool IsY = Source->MandatoryIsY();
    const double K = 2 / (Period() + 1);
    TFunctionOutput Output(*Parent);
    double E = V.Value(0);
    AddFunctionXY(Output, IsY, E, X.Value(0));
    for (int I = 1; I < Source->Count(); ++I) {
        E = V.Value(I) * K + (1 - K) * E;
        AddFunctionXY(Output, IsY, E, X.Value(I));
    }
    Output.Finish();
}

// --- Momentum and performance -------------------------------------------------------------------

double TMomentumFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    const TWindow W = WindowOf(*Source, FirstIndex, LastIndex);
    const TChartValueList& V = *ValueList(Source);
    return W.Count() <= 0 ? 0 : V.Value(W.Last) - V.Value(W.First);
}

double TMomentumDivFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    const TWindow W = WindowOf(*Source, FirstIndex, LastIndex);
    const TChartValueList& V = *ValueList(Source);
    if (W.Count() <= 0 || V.Value(W.First) == 0)
        return 0;
    return 100 * V.Value(W.Last) / V.Value(W.First);
}

double TPerformanceFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    const TWindow W = WindowOf(*Source, FirstIndex, LastIndex);
    const TChartValueList& V = *ValueList(Source);
    if (W.Count() <= 0 || V.Value(0) == 0)
        return 0;
    return 100 * (V.Value(W.Last) - V.Value(0)) / V.Value(0);
}

// --- Deviation, RMS, variance -------------------------------------------------------------------

void TStdDeviationFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TStdDeviationFunction*>(Source))
        FComplete = Other->FComplete;
    TPlotFunction::Assign(Source);
}

void TStdDeviationFunction::SetComplete(bool Value)
{
    SetRecalculating(*this, FComplete, Value);
}

double TStdDeviationFunction::Deviation(const std::vector<double>& Values) const
{
    const double N = static_cast<double>(Values.size());
    if (Values.size() < 2)
        return 0;
    const TScaledValues U = Scaled(Values);
    double Sum = 0;
    double SumSqr = 0;
    for (double V : U.Values) {
        Sum += V;
        SumSqr += V * V;
    }
    const double D = (N * SumSqr - Sum * Sum) / (FComplete ? N * N : N * (N - 1));
    return D < 0 ? 0 : std::ldexp(std::sqrt(D), U.Exponent);
}

double TStdDeviationFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    return Deviation(WindowValues(*ValueList(Source), WindowOf(*Source, FirstIndex, LastIndex)));
}

double TStdDeviationFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    return Deviation(ValuesAt(SourceList, ValueIndex, [this](TChartSeries* S) { return ValueList(S); }));
}

void TRMSFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TRMSFunction*>(Source))
        FComplete = Other->FComplete;
    TPlotFunction::Assign(Source);
}

void TRMSFunction::SetComplete(bool Value)
{
    SetRecalculating(*this, FComplete, Value);
}

double TRMSFunction::RootMeanSquare(const std::vector<double>& Values) const
{
    if (Values.size() < 2)
        return 0;
    const TScaledValues U = Scaled(Values);
    double SumSqr = 0;
    for (double V : U.Values)
        SumSqr += V * V;
    const double N = static_cast<double>(Values.size());
    return std::ldexp(std::sqrt(SumSqr / (FComplete ? N : N - 1)), U.Exponent);
}

double TRMSFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    return RootMeanSquare(WindowValues(*ValueList(Source), WindowOf(*Source, FirstIndex, LastIndex)));
}

double TRMSFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    return RootMeanSquare(ValuesAt(SourceList, ValueIndex, [this](TChartSeries* S) { return ValueList(S); }));
}

double TVarianceFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    const TWindow W = WindowOf(*Source, FirstIndex, LastIndex);
    if (W.Count() < 1)
        return 0;
    TChartValueList& V = *Source->MandatoryValues();
    const std::vector<double> Values = WindowValues(V, W);
    double Sum = 0;
    if (W.Count() == V.Count())
        Sum = V.Total();
    else
        for (double X : Values)
            Sum += X;
    return PopulationVariance(Values, Sum / W.Count());
}

double TVarianceFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    const std::vector<double> Values =
        ValuesAt(SourceList, ValueIndex, [](TChartSeries* S) { return S->MandatoryValues(); });
    double Sum = 0;
    for (double X : Values)
        Sum += X;
    return Values.empty() ? 0 : PopulationVariance(Values, Sum / static_cast<double>(Values.size()));
}

// --- Stochastic ---------------------------------------------------------------------------------

TStochasticFunction::TStochasticFunction(TComponent* AOwner) : TPlotMovingFunction(AOwner) {}

void TStochasticFunction::AddPoints(TChartSeries* Source)
{
    FNums.assign(Source ? static_cast<size_t>(Source->Count()) : 0, 0);
    FDens.assign(FNums.size(), 0);
    TPlotMovingFunction::AddPoints(Source);
}

double TStochasticFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    const TWindow W = WindowOf(*Source, FirstIndex, LastIndex);
    if (W.Count() <= 0)
        return 0;
    const TChartValueList& Low = *Source->GetValueListByName(PlotMsg_ValuesLow);
    const TChartValueList& High = *Source->GetValueListByName(PlotMsg_ValuesHigh);
    double MinLow = Low.Value(W.First);
    double MaxHigh = High.Value(W.First);
    for (int I = W.First + 1; I <= W.Last; ++I) {
        MinLow = std::min(MinLow, Low.Value(I));
        MaxHigh = std::max(MaxHigh, High.Value(I));
    }
    const double Num = ValueList(Source)->Value(W.Last) - MinLow;
    const double Den = MaxHigh - MinLow;
    // Sized by AddPoints; a direct call over a larger source grows them.
    if (FNums.size() < static_cast<size_t>(Source->Count())) {
        FNums.resize(static_cast<size_t>(Source->Count()), 0);
        FDens.resize(FNums.size(), 0);
    }
    FNums.at(static_cast<size_t>(W.Last)) = Num;
    FDens.at(static_cast<size_t>(W.Last)) = Den;
    return Den == 0 ? 0 : 100 * Num / Den;
}

// --- Registration -------------------------------------------------------------------------------

void RegisterStatisticsFunctions()
{
    const QString* Financial = &PlotMsg_GalleryFinancial;
    const QString* Extended = &PlotMsg_GalleryExtended;
    RegisterPlotFunction<TMovingAverageFunction>(&PlotMsg_FunctionMovingAverage, Financial, 1);
    RegisterPlotFunction<TExpMovAveFunction>(&PlotMsg_FunctionExpMovingAverage, Financial, 1);
    RegisterPlotFunction<TExpAverageFunction>(&PlotMsg_FunctionExpAverage, Extended, 1);
    RegisterPlotFunction<TMomentumFunction>(&PlotMsg_FunctionMomentum, Financial, 1);
    RegisterPlotFunction<TMomentumDivFunction>(&PlotMsg_FunctionMomentumDivision, Financial, 1);
    RegisterPlotFunction<TStdDeviationFunction>(&PlotMsg_FunctionStdDeviation, Extended, 1);
    RegisterPlotFunction<TRMSFunction>(&PlotMsg_FunctionRootMeanSquare, Extended, 1);
    RegisterPlotFunction<TMACDFunction>(&PlotMsg_FunctionMACD, Financial, 1);
    RegisterPlotFunction<TStochasticFunction>(&PlotMsg_FunctionStochastic, Financial, 1);
    RegisterPlotFunction<TBollingerFunction>(&PlotMsg_FunctionBollinger, Financial, 1);
    RegisterPlotFunction<TCrossPointsFunction>(&PlotMsg_CrossPoints, Extended, 1);
    RegisterPlotFunction<TPerformanceFunction>(&PlotMsg_Performance, Extended, 1);
    RegisterPlotFunction<TVarianceFunction>(&PlotMsg_FunctionVariance, Extended, 1);
    RegisterPlotFunction<TPerimeterFunction>(&PlotMsg_FunctionPerimeter, Extended, 1);
    RegisterPlotSeries<THistogramSeries>(&PlotMsg_GalleryHistogram, &PlotMsg_GalleryStats, 1);
    RegisterPlotSeries<THorizHistogramSeries>(&PlotMsg_GalleryHorizHistogram, &PlotMsg_GalleryStats, 1);
}

void UnregisterStatisticsFunctions()
{
    const std::initializer_list<const QMetaObject*> Functions = {
        &TMovingAverageFunction::staticMetaObject, &TExpMovAveFunction::staticMetaObject,
        &TExpAverageFunction::staticMetaObject,    &TMomentumFunction::staticMetaObject,
        &TMomentumDivFunction::staticMetaObject,   &TStdDeviationFunction::staticMetaObject,
        &TRMSFunction::staticMetaObject,           &TMACDFunction::staticMetaObject,
        &TStochasticFunction::staticMetaObject,    &TBollingerFunction::staticMetaObject,
        &TCrossPointsFunction::staticMetaObject,   &TPerformanceFunction::staticMetaObject,
        &TVarianceFunction::staticMetaObject,      &TPerimeterFunction::staticMetaObject};
    const std::initializer_list<const QMetaObject*> Series = {&THistogramSeries::staticMetaObject,
                                                              &THorizHistogramSeries::staticMetaObject};
    UnRegisterPlotFunctions(Functions);
    UnRegisterPlotSeries(Series);
    for (const QMetaObject* Meta : Functions)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
    for (const QMetaObject* Meta : Series)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
