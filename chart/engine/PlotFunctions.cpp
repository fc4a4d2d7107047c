#include "chart/engine/PlotFunctions.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"

#include <algorithm>

namespace lp {

namespace {

bool IsAllPoints(int FirstIndex, int LastIndex)
{
    return FirstIndex == -1 && LastIndex == -1;
}

// Resolves -1 to the first / last point of Count points.
void ResolveRange(int Count, int& FirstIndex, int& LastIndex)
{
    if (FirstIndex == -1)
        FirstIndex = 0;
    if (LastIndex == -1)
        LastIndex = Count - 1;
}

} // namespace

// --- Add, High, Low ------------------------------------------------------------------------------

double TAddPlotFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    TChartValueList* List = ValueList(Source);
    if (IsAllPoints(FirstIndex, LastIndex))
        return List->Total();
    ResolveRange(List->Count(), FirstIndex, LastIndex);
    double Result = 0;
    for (int I = FirstIndex; I <= LastIndex; ++I)
        Result += List->Value(I);
    return Result;
}

double TAddPlotFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    double Result = 0;
    for (TChartSeries* S : SourceList)
        if (S->Count() > ValueIndex)
            Result += ValueList(S)->Value(ValueIndex);
    return Result;
}

namespace {

// The largest (Greater) or smallest value of a range; 0 for an empty one.
double Extreme(TChartValueList* List, int FirstIndex, int LastIndex, bool Greater)
{
    ResolveRange(List->Count(), FirstIndex, LastIndex);
    if (LastIndex < FirstIndex)
        return 0;
    double Result = List->Value(FirstIndex);
    for (int I = FirstIndex + 1; I <= LastIndex; ++I) {
        const double V = List->Value(I);
        if (Greater ? V > Result : V < Result)
            Result = V;
    }
    return Result;
}

} // namespace

double THighPlotFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    TChartValueList* List = ValueList(Source);
    if (IsAllPoints(FirstIndex, LastIndex))
        return List->MaxValue();
    return Extreme(List, FirstIndex, LastIndex, true);
}

double TLowPlotFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    TChartValueList* List = ValueList(Source);
    if (IsAllPoints(FirstIndex, LastIndex))
        return List->MinValue();
    return Extreme(List, FirstIndex, LastIndex, false);
}

// The first source having point k starts the result (not the list's first
// source only: a shorter first series must not pin the result to 0).
double THighPlotFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    double Result = 0;
    bool First = true;
    for (TChartSeries* S : SourceList)
        if (S->Count() > ValueIndex) {
            const double V = ValueList(S)->Value(ValueIndex);
            if (First || V > Result)
                Result = V;
            First = false;
        }
    return Result;
}

double TLowPlotFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    double Result = 0;
    bool First = true;
    for (TChartSeries* S : SourceList)
        if (S->Count() > ValueIndex) {
            const double V = ValueList(S)->Value(ValueIndex);
            if (First || V < Result)
                Result = V;
            First = false;
        }
    return Result;
}

// --- Subtract, Multiply, Divide ------------------------------------------------------------------

double TManySeriesPlotFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    double Result = 0;
    bool First = true;
    for (TChartSeries* S : SourceList)
        if (S->Count() > ValueIndex) {
            const double V = ValueList(S)->Value(ValueIndex);
            Result = First ? V : CalculateValue(Result, V);
            First = false;
        }
    return Result;
}

double TManySeriesPlotFunction::CalculateValue(double, double)
{
    return 0;
}

// --- Average -------------------------------------------------------------------------------------

void TAveragePlotFunction::Assign(const TPersistent* Source)
{
    TPlotFunction::Assign(Source);
    if (const auto* Other = qobject_cast<const TAveragePlotFunction*>(Source))
        FIncludeNulls = Other->FIncludeNulls;
}

void TAveragePlotFunction::SetIncludeNulls(bool Value)
{
    if (FIncludeNulls != Value) {
        FIncludeNulls = Value;
        ReCalculate();
    }
}

double TAveragePlotFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    TChartValueList* List = ValueList(Source);
    if (IsAllPoints(FirstIndex, LastIndex) && FIncludeNulls)
        return List->Count() > 0 ? List->Total() / List->Count() : 0;
    ResolveRange(List->Count(), FirstIndex, LastIndex);
    double Sum = 0;
    int Counted = 0;
    for (int I = FirstIndex; I <= LastIndex; ++I) {
        const double V = List->Value(I);
        if (FIncludeNulls || !Source->IsNull(I)) {
            Sum += V;
            ++Counted;
        }
    }
    return Counted > 0 ? Sum / Counted : 0;
}

double TAveragePlotFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    double Sum = 0;
    int Counted = 0;
    for (TChartSeries* S : SourceList)
        if (S->Count() > ValueIndex && (FIncludeNulls || !S->IsNull(ValueIndex))) {
            Sum += ValueList(S)->Value(ValueIndex);
            ++Counted;
        }
    return Counted > 0 ? Sum / Counted : 0;
}

// --- y = f(x) ------------------------------------------------------------------------------------

TCustomPlotFunction::TCustomPlotFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(1);
    SetRecalculateOnRefill(true);
    SetNoSourceRequired(true);
}

void TCustomPlotFunction::Assign(const TPersistent* Source)
{
    TPlotFunction::Assign(Source);
    if (const auto* Other = qobject_cast<const TCustomPlotFunction*>(Source)) {
        FNumPoints = Other->FNumPoints;
        FStartX = Other->FStartX;
    }
}

void TCustomPlotFunction::CheckNumPoints(int Value)
{
    if (Value < 0 || Value > MaxFunctionPoints)
        throw ChartException(QStringLiteral("The number of points must be between 0 and %1.").arg(MaxFunctionPoints));
}

void TCustomPlotFunction::SetNumPoints(int Value)
{
    CheckNumPoints(Value);
    if (FNumPoints != Value) {
        FNumPoints = Value;
        ReCalculate();
    }
}

void TCustomPlotFunction::SetStartX(double Value)
{
    if (FStartX != Value) {
        FStartX = Value;
        ReCalculate();
    }
}

void TCustomPlotFunction::SetOnCalculate(TCalculateEvent Value)
{
    FOnCalculate = std::move(Value);
    ReCalculate();
}

void TCustomPlotFunction::AddPoints(TChartSeries*)
{
    TChartSeries* Parent = ParentSeries();
    if (IsUpdating() || !Parent || !FOnCalculate)
        return;
    Parent->Clear();
    double X = FStartX;
    for (int I = 0; I < FNumPoints; ++I) {
        FX = X;
        double Y = 0;
        FOnCalculate(this, X, Y);
        AddFunctionXY(Parent->MandatoryIsY(), Y, X);
        X += Period();
    }
}

// --- Median and mode -----------------------------------------------------------------------------

void TCustomSortedFunction::Assign(const TPersistent* Source)
{
    TPlotFunction::Assign(Source);
    if (const auto* Other = qobject_cast<const TCustomSortedFunction*>(Source))
        FIncludeNulls = Other->FIncludeNulls;
}

void TCustomSortedFunction::SetIncludeNulls(bool Value)
{
    if (FIncludeNulls != Value) {
        FIncludeNulls = Value;
        ReCalculate();
    }
}

void TCustomSortedFunction::InsertSorted(double Value)
{
    FSorted.insert(std::upper_bound(FSorted.begin(), FSorted.end(), Value), Value);
}

double TCustomSortedFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    TChartValueList* List = ValueList(Source);
    ResolveRange(List->Count(), FirstIndex, LastIndex);
    FSorted.clear();
    if (LastIndex >= FirstIndex)
        FSorted.reserve(static_cast<size_t>(LastIndex - FirstIndex + 1));
    for (int I = FirstIndex; I <= LastIndex; ++I) {
        const double V = List->Value(I);
        if (FIncludeNulls || !Source->IsNull(I))
            InsertSorted(V);
    }
    return CalculateSorted();
}

double TCustomSortedFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    FSorted.clear();
    FSorted.reserve(SourceList.size());
    for (TChartSeries* S : SourceList)
        if (S->Count() > ValueIndex && (FIncludeNulls || !S->IsNull(ValueIndex)))
            InsertSorted(ValueList(S)->Value(ValueIndex));
    return CalculateSorted();
}

double TCustomSortedFunction::CalculateSorted()
{
    return 0;
}

double TMedianPlotFunction::CalculateSorted()
{
    const std::vector<double>& V = SortedValues();
    const size_t Count = V.size();
    if (Count == 0)
        return 0;
    const size_t Mid = Count / 2;
    return Count % 2 == 1 ? V[Mid] : (V[Mid - 1] + V[Mid]) * 0.5;
}

double TModePlotFunction::CalculateSorted()
{
    const std::vector<double>& V = SortedValues();
    if (V.empty())
        return 0;
    double Best = V[0];
    size_t BestRun = 0;
    size_t I = 0;
    while (I < V.size()) {
        size_t J = I + 1;
        while (J < V.size() && V[J] == V[I])
            ++J;
        // Strictly longer only: on a tie the earlier, smaller value stays.
        if (J - I > BestRun) {
            BestRun = J - I;
            Best = V[I];
        }
        I = J;
    }
    return Best;
}

// --- Registration --------------------------------------------------------------------------------

void RegisterBasicFunctions()
{
    RegisterPlotBasicFunction<TAddPlotFunction>(&PlotMsg_FunctionAdd);
    RegisterPlotBasicFunction<TSubtractPlotFunction>(&PlotMsg_FunctionSubtract);
    RegisterPlotBasicFunction<TMultiplyPlotFunction>(&PlotMsg_FunctionMultiply);
    RegisterPlotBasicFunction<TDividePlotFunction>(&PlotMsg_FunctionDivide);
    RegisterPlotBasicFunction<THighPlotFunction>(&PlotMsg_FunctionHigh);
    RegisterPlotBasicFunction<TLowPlotFunction>(&PlotMsg_FunctionLow);
    RegisterPlotBasicFunction<TAveragePlotFunction>(&PlotMsg_FunctionAverage);
    RegisterPlotBasicFunction<TCustomPlotFunction>(&PlotMsg_FunctionCustom);
    RegisterPlotBasicFunction<TMedianPlotFunction>(&PlotMsg_FunctionMedian);
    RegisterPlotBasicFunction<TModePlotFunction>(&PlotMsg_FunctionMode);
}

void UnRegisterBasicFunctions()
{
    UnRegisterPlotFunctions({&TAddPlotFunction::staticMetaObject, &TSubtractPlotFunction::staticMetaObject,
                             &TMultiplyPlotFunction::staticMetaObject, &TDividePlotFunction::staticMetaObject,
                             &THighPlotFunction::staticMetaObject, &TLowPlotFunction::staticMetaObject,
                             &TAveragePlotFunction::staticMetaObject, &TCustomPlotFunction::staticMetaObject,
                             &TMedianPlotFunction::staticMetaObject, &TModePlotFunction::staticMetaObject});
}

} // namespace lp
