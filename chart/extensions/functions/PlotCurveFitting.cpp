// Polynomial fitting, linear and exponential trends, and correlation.

#include "chart/extensions/functions/PlotCurveFitting.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lp {

namespace {

// FirstIndex -1 means the whole source.
void WholeWhenUnset(const TChartSeries& Source, int& First, int& Last)
{
    if (First == -1) {
        First = 0;
        Last = Source.Count() - 1;
    }
}

struct TSpan {
    double Low = 0;
    double High = 0;
};

// The smallest and largest value of List over First .. Last.
TSpan SpanOf(const TChartValueList& List, int First, int Last)
{
    TSpan Result{List.Value(First), List.Value(First)};
    for (int I = First + 1; I <= Last; ++I) {
        Result.Low = std::min(Result.Low, List.Value(I));
        Result.High = std::max(Result.High, List.Value(I));
    }
    return Result;
}

} // namespace

// --- TCustomFittingFunction ---------------------------------------------------------------------

TCustomFittingFunction::TCustomFittingFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    SetUsesPeriod(false);
    InternalSetPeriod(1);
    SetSingleSource(true);
}

void TCustomFittingFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TCustomFittingFunction*>(Source)) {
        FFactor = Other->FFactor;
        FFirstPoint = Other->FFirstPoint;
        FFirstCalcPoint = Other->FFirstCalcPoint;
        FLastPoint = Other->FLastPoint;
        FLastCalcPoint = Other->FLastCalcPoint;
        FPolyDegree = Other->FPolyDegree;
        FTypeFitting = Other->FTypeFitting;
    }
    TPlotFunction::Assign(Source);
}

void TCustomFittingFunction::SetAndRecalculate(int& Field, int Value)
{
    if (Field == Value)
        return;
    Field = Value;
    ReCalculate();
}

void TCustomFittingFunction::SetFactor(int Value)
{
    SetAndRecalculate(FFactor, std::max(1, Value));
}

void TCustomFittingFunction::SetFirstPoint(int Value)
{
    SetAndRecalculate(FFirstPoint, Value);
}

void TCustomFittingFunction::SetFirstCalcPoint(int Value)
{
    SetAndRecalculate(FFirstCalcPoint, Value);
}

void TCustomFittingFunction::SetLastPoint(int Value)
{
    SetAndRecalculate(FLastPoint, Value);
}

void TCustomFittingFunction::SetLastCalcPoint(int Value)
{
    SetAndRecalculate(FLastCalcPoint, Value);
}

void TCustomFittingFunction::SetPolyDegree(int Value)
{
    if (Value < 1 || Value > MaxPolyTerms)
        throw ChartException(PlotMsg_PolyDegreeRange);
    SetAndRecalculate(FPolyDegree, Value);
}

void TCustomFittingFunction::SetTypeFitting(TTypeFitting Value)
{
    if (Value == FTypeFitting)
        return;
    FTypeFitting = Value;
    ReCalculate();
}

void TCustomFittingFunction::TakeOffsets(TChartSeries* Source)
{
    FMinX = Source->OtherValues()->MinValue();
    FYOffset = ValueList(Source)->MinValue();
}

void TCustomFittingFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return;
    Parent->Clear();
    if (!Source || Source->Count() == 0 || Source->Count() < FPolyDegree)
        return;
    TakeOffsets(Source);
    const int First = FFirstCalcPoint == -1 ? 0 : std::max(0, FFirstCalcPoint);
    const int Last = FLastCalcPoint == -1 ? Source->Count() - 1 : std::min(Source->Count() - 1, FLastCalcPoint);
    if (Last < First)
        return;
    const TChartValueList& Positions = *Source->OtherValues();
    const TChartValueList& Values = *ValueList(Source);
    std::vector<TPolyReal> X;
    std::vector<TPolyReal> Y;
    X.reserve(static_cast<size_t>(Last - First + 1));
    Y.reserve(X.capacity());
    for (int I = First; I <= Last; ++I) {
        X.push_back(static_cast<TPolyReal>(Positions.Value(I)) - FMinX);
        Y.push_back(static_cast<TPolyReal>(Values.Value(I)) - FYOffset);
    }
    FAnswerVector = PolyFitting(FPolyDegree, X, Y);
    AddFittedPoints(Source);
}

void TCustomFittingFunction::AddFittedPoints(TChartSeries* Source)
{
    if (!ParentSeries() || !Source || Source->Count() == 0)
        return;
    TakeOffsets(Source);
    const int High = Source->Count() - 1;
    const int Start = FFirstPoint == -1 ? 0 : std::clamp(FFirstPoint, 0, High);
    const int End = FLastPoint == -1 ? High : std::clamp(FLastPoint, 0, High);
    if (Start > End)
        return;
    FFactor = std::max(1, FFactor);
    const TChartValueList& Positions = *Source->OtherValues();
    const bool IsY = Source->MandatoryIsY();
    TFunctionOutput Output(*ParentSeries());
    const auto AddAt = [&](double X) {
        const auto Y = PolynomialValue(FPolyDegree, FAnswerVector, static_cast<TPolyReal>(X) - FMinX) + FYOffset;
        AddFunctionXY(Output, IsY, static_cast<double>(Y), X);
    };
    for (int I = Start; I < End; ++I) {
        const double X0 = Positions.Value(I);
        const double Step = (Positions.Value(I + 1) - X0) / FFactor;
        for (int K = 0; K < FFactor; ++K)
            AddAt(X0 + K * Step);
    }
    AddAt(Positions.Value(End));
    Output.Finish();
}

// --- TCustomTrendFunction -----------------------------------------------------------------------

TCustomTrendFunction::TCustomTrendFunction(TComponent* AOwner) : TPlotFunction(AOwner) {}

void TCustomTrendFunction::CalculateAllPoints(TChartSeries* Source, TChartValueList*)
{
    CalculatePeriod(Source, 0, 0, Source->Count() - 1);
}

bool TCustomTrendFunction::CalculateSums(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    FSums = {};
    WholeWhenUnset(*Source, FirstIndex, LastIndex);
    if (FirstIndex < 0 || LastIndex >= Source->Count() || LastIndex - FirstIndex + 1 < 2)
        return false;
    const TChartValueList& Positions = *Source->OtherValues();
    const TChartValueList& Values = *ValueList(Source);
    const bool Exponential = FStyle == tsExponential;
    // The points that count (an exponential trend fits the logarithms of
    // the positive values), then their sums at an exact scale.
    std::vector<TFloatPoint> Points;
    double LargestX = 0;
    double LargestY = 0;
    for (int I = FirstIndex; I <= LastIndex; ++I) {
        double Y = Values.Value(I);
        if (Exponential) {
            if (Y <= 0)
                continue;
            Y = std::log(Y);
        }
        Points.push_back({Positions.Value(I), Y});
        LargestX = std::max(LargestX, std::abs(Points.back().X));
        LargestY = std::max(LargestY, std::abs(Y));
    }
    FSums.XExponent = ScaleExponent(LargestX);
    FSums.YExponent = ScaleExponent(LargestY);
    for (const TFloatPoint& P : Points) {
        const double X = std::ldexp(P.X, -FSums.XExponent);
        const double Y = std::ldexp(P.Y, -FSums.YExponent);
        ++FSums.N;
        FSums.SumX += X;
        FSums.SumY += Y;
        FSums.SumXY += X * Y;
        FSums.SumX2 += X * X;
        FSums.SumY2 += Y * Y;
    }
    return FSums.N >= 2;
}

bool TCustomTrendFunction::CalculateTrend(double& M, double& B, TChartSeries* Source, int FirstIndex,
                                          int LastIndex)
{
    if (!CalculateSums(Source, FirstIndex, LastIndex))
        return false;
    // Worked out on the scaled sums; the coefficients then take the scales
    // back: a slope is Y over X, an intercept Y, a rate 1 over X.
    const TTrendSums& S = FSums;
    if (FStyle == tsExponential) {
        const double MeanX = S.SumX / S.N;
        const double MeanY = S.SumY / S.N;
        const double D = S.SumX2 - S.N * MeanX * MeanX;
        if (D == 0) {
            B = 1;
            M = std::exp(std::ldexp(MeanY, S.YExponent) - std::ldexp(MeanX, S.XExponent));
            return true;
        }
        const double Rate = (S.SumXY - S.N * MeanX * MeanY) / D;
        B = std::ldexp(Rate, S.YExponent - S.XExponent);
        M = std::exp(std::ldexp(MeanY - Rate * MeanX, S.YExponent));
        return true;
    }
    double Slope = 0;
    double Intercept = 0;
    if (!ScaledLine(Slope, Intercept)) {
        M = 1;
        B = 0;
    } else {
        M = std::ldexp(Slope, S.YExponent - S.XExponent);
        B = std::ldexp(Intercept, S.YExponent);
    }
    return true;
}

bool TCustomTrendFunction::ScaledLine(double& Slope, double& Intercept) const
{
    const TTrendSums& S = FSums;
    const double D = S.N * S.SumX2 - S.SumX * S.SumX;
    if (D == 0)
        return false;
    Slope = (S.N * S.SumXY - S.SumX * S.SumY) / D;
    Intercept = (S.SumY * S.SumX2 - S.SumX * S.SumXY) / D;
    return true;
}

void TCustomTrendFunction::CalculatePeriod(TChartSeries* Source, double, int FirstIndex, int LastIndex)
{
    double M = 0;
    double B = 0;
    if (!CalculateTrend(M, B, Source, FirstIndex, LastIndex))
        return;
    WholeWhenUnset(*Source, FirstIndex, LastIndex);
    const TChartValueList& Positions = *Source->OtherValues();
    const TSpan Ends = Positions.Order() != loNone
        ? TSpan{Positions.Value(FirstIndex), Positions.Value(LastIndex)}
        : SpanOf(Positions, FirstIndex, LastIndex);
    // A straight line is worked out at the sums' scales: its slope alone may
    // pass the largest double where the line itself does not.
    double Slope = 0;
    double Intercept = 0;
    const bool Scaled = FStyle != tsExponential && ScaledLine(Slope, Intercept);
    const auto TrendAt = [&](double X) {
        if (Scaled)
            return std::ldexp(Intercept + Slope * std::ldexp(X, -FSums.XExponent), FSums.YExponent);
        return FStyle == tsExponential ? M * std::exp(B * X) : M * X + B;
    };
    AddFunctionXY(Source->MandatoryIsY(), TrendAt(Ends.Low), Ends.Low);
    AddFunctionXY(Source->MandatoryIsY(), TrendAt(Ends.High), Ends.High);
}

double TCustomTrendFunction::Calculate(TChartSeries*, int, int)
{
    return 0;
}

double TCustomTrendFunction::CalculateMany(const std::vector<TChartSeries*>&, int)
{
    return 0;
}

TExpTrendFunction::TExpTrendFunction(TComponent* AOwner) : TCustomTrendFunction(AOwner)
{
    SetTrendStyle(tsExponential);
}

// --- TCorrelationFunction -----------------------------------------------------------------------

double TCorrelationFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    if (!CalculateSums(Source, FirstIndex, LastIndex))
        return 1;
    const TTrendSums& S = Sums();
    const double Sxy = S.SumXY - S.SumX * S.SumY / S.N;
    const double Sxx = S.SumX2 - S.SumX * S.SumX / S.N;
    const double Syy = S.SumY2 - S.SumY * S.SumY / S.N;
    const double D = std::sqrt(Sxx * Syy);
    return D == 0 || std::isnan(D) ? 1 : Sxy / D;
}

void TCorrelationFunction::CalculatePeriod(TChartSeries* Source, double, int FirstIndex, int LastIndex)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent)
        return;
    const double R = Calculate(Source, FirstIndex, LastIndex);
    if (Parent->FunctionResultCentered()) {
        if (std::isfinite(R))
            Parent->Add(R);
        else
            Parent->AddNull();
        return;
    }
    WholeWhenUnset(*Source, FirstIndex, LastIndex);
    if (FirstIndex < 0 || LastIndex < FirstIndex || LastIndex >= Source->Count())
        return;
    const TSpan Ends = SpanOf(*Source->OtherValues(), FirstIndex, LastIndex);
    for (const double X : {Ends.Low, Ends.High})
        AddFunctionXY(Parent->MandatoryIsY(), R, X);
}

void RegisterCurveFittingFunctions()
{
    const QString* Extended = &PlotMsg_GalleryExtended;
    RegisterPlotFunction<TCurveFittingFunction>(&PlotMsg_FunctionCurveFitting, Extended, 1);
    RegisterPlotFunction<TTrendFunction>(&PlotMsg_FunctionTrend, Extended, 1);
    RegisterPlotFunction<TExpTrendFunction>(&PlotMsg_FunctionExpTrend, Extended, 1);
    RegisterPlotFunction<TCorrelationFunction>(&PlotMsg_FunctionCorrelation, Extended, 1);
}

void UnregisterCurveFittingFunctions()
{
    UnRegisterPlotFunctions({&TCurveFittingFunction::staticMetaObject, &TTrendFunction::staticMetaObject,
                             &TExpTrendFunction::staticMetaObject, &TCorrelationFunction::staticMetaObject});
}

} // namespace lp
