// MACD, Bollinger bands, cross points and the perimeter.

#include "chart/extensions/stats/PlotIndicatorFunctions.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cmath>

namespace lp {

// --- TMACDFunction ------------------------------------------------------------------------------

TMACDFunction::TMACDFunction(TComponent* AOwner) : TPlotMovingFunction(AOwner)
{
    FFastSeries = CreateExpAverageSeries(12, FFast);
    FSlowSeries = CreateExpAverageSeries(26, FSlow);
    InternalSetPeriod(26);
    FHistogram = new TVolumeSeries(nullptr);
    FHistogram->SetSeriesColor(clRed);
    KeepStartAsDefault(*FHistogram->Pen(), {"Color"});
    FHistogram->SetUseYOrigin(true);
    FHistogram->SetYOrigin(0);
    FHistogram->SetShowInLegend(false);
    FHistogram->SetShowInEditor(false);
    FHistogram->SetInternal(true);
    FMACDExp = CreateIndicatorLine(clGreen);
    auto* SignalAverage = new TExpMovAveFunction(nullptr);
    SignalAverage->InternalSetPeriod(9);
    FMACDExp->SetFunction(SignalAverage);
}

TMACDFunction::~TMACDFunction()
{
    delete FMACDExp.data();
    delete FHistogram.data();
}

void TMACDFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TMACDFunction*>(Source)) {
        FFast->InternalSetPeriod(Other->FFast->Period());
        if (Signal() && Other->Signal())
            Signal()->InternalSetPeriod(Other->Signal()->Period());
    }
    TPlotMovingFunction::Assign(Source);
}

TFastLineSeries* TMACDFunction::MACDExp() const
{
    return FMACDExp.data();
}

TVolumeSeries* TMACDFunction::Histogram() const
{
    return FHistogram.data();
}

double TMACDFunction::Period2() const
{
    return FFast->Period();
}

void TMACDFunction::SetPeriod2(double Value)
{
    if (FFast->Period() == Value)
        return;
    FFast->InternalSetPeriod(std::max(Value, 1.0));
    ReCalculate();
}

TExpMovAveFunction* TMACDFunction::Signal() const
{
    return FMACDExp ? qobject_cast<TExpMovAveFunction*>(FMACDExp->SeriesFunction()) : nullptr;
}

int TMACDFunction::Period3() const
{
    return Signal() ? RoundToInt32(Signal()->Period()) : 9;
}

void TMACDFunction::SetPeriod3(int Value)
{
    if (Signal())
        Signal()->SetPeriod(Value);
}

TChartPen* TMACDFunction::MACDPen() const
{
    return ParentSeries() ? ParentSeries()->Pen() : nullptr;
}

void TMACDFunction::SetMACDPen(const TChartPen* Value)
{
    if (ParentSeries())
        ParentSeries()->SetPen(Value);
}

TChartPen* TMACDFunction::MACDExpPen() const
{
    return FMACDExp ? FMACDExp->Pen() : nullptr;
}

void TMACDFunction::SetMACDExpPen(const TChartPen* Value)
{
    if (FMACDExp)
        FMACDExp->SetPen(Value);
}

TChartPen* TMACDFunction::HistogramPen() const
{
    return FHistogram ? FHistogram->Pen() : nullptr;
}

void TMACDFunction::SetHistogramPen(const TChartPen* Value)
{
    if (FHistogram)
        FHistogram->SetPen(Value);
}

void TMACDFunction::Clear()
{
    if (FMACDExp)
        FMACDExp->Clear();
    if (FHistogram)
        FHistogram->Clear();
}

void TMACDFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return;
    Parent->Clear();
    if (Source && Source->Count() > 1) {
        FFast->AddPoints(Source);
        FSlow->InternalSetPeriod(Period());
        FSlow->AddPoints(Source);
        const int N = std::min(FFastSeries->Count(), FSlowSeries->Count());
        TFunctionOutput Output(*Parent);
        for (int I = 0; I < N; ++I)
            Output.Add(Source->XValues()->Value(I), FFastSeries->YValues()->Value(I) - FSlowSeries->YValues()->Value(I));
        Output.Finish();
        FFastSeries->Clear();
        FSlowSeries->Clear();
    }
    if (Parent->SeriesColor() == clWhite)
        Parent->SetSeriesColor(clBlue);
    RestoreOwnLines(*Parent);
}

void TMACDFunction::RestoreOwnLines(TChartSeries& Parent)
{
    if (!FMACDExp)
        return;
    SetUpIndicatorLine(*FMACDExp, Parent);
    // Set again, so the signal average is computed anew from the MACD line.
    FMACDExp->SetDataSource(nullptr);
    FMACDExp->SetDataSource(&Parent);
    FillHistogram(Parent);
}

void TMACDFunction::FillHistogram(TChartSeries& Parent)
{
    if (!FHistogram || !FHistogram->Active())
        return;
    SetUpIndicatorLine(*FHistogram, Parent);
    FHistogram->BeginUpdate();
    FHistogram->Clear();
    const int N = std::min(FMACDExp->Count(), Parent.Count());
    TFunctionOutput Output(*FHistogram);
    for (int I = 0; I < N; ++I)
        Output.Add(FMACDExp->XValues()->Value(I), Parent.YValues()->Value(I) - FMACDExp->YValues()->Value(I));
    Output.Finish();
    FHistogram->EndUpdate();
}

namespace {

// A result beyond the doubles (inf or NaN) adds no point, as with every
// other function: it has no place on an axis.
void AddFiniteXY(TFunctionOutput& Output, double X, double Y)
{
    if (std::isfinite(X) && std::isfinite(Y))
        Output.Add(X, Y);
}

// The largest |value| of List from index First up to (not including) Last.
double LargestMagnitude(const TChartValueList& List, int First, int Last)
{
    double Largest = 0;
    for (int I = First; I < Last; ++I)
        Largest = std::max(Largest, std::fabs(List.Value(I)));
    return Largest;
}

} // namespace

// --- TBollingerFunction -------------------------------------------------------------------------

TBollingerFunction::TBollingerFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(10);
    SetSingleSource(true);
    FLowBand = CreateIndicatorLine(clPlotColor);
}

TBollingerFunction::~TBollingerFunction()
{
    delete FLowBand.data();
}

void TBollingerFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TBollingerFunction*>(Source)) {
        FDeviation = Other->FDeviation;
        FExponential = Other->FExponential;
    }
    TPlotFunction::Assign(Source);
}

TFastLineSeries* TBollingerFunction::LowBand() const
{
    return FLowBand.data();
}

void TBollingerFunction::SetDeviation(double Value)
{
    if (FDeviation == Value)
        return;
    FDeviation = Value;
    ReCalculate();
}

void TBollingerFunction::SetExponential(bool Value)
{
    if (FExponential == Value)
        return;
    FExponential = Value;
    ReCalculate();
}

TChartPen* TBollingerFunction::LowBandPen() const
{
    return FLowBand ? FLowBand->Pen() : nullptr;
}

void TBollingerFunction::SetLowBandPen(const TChartPen* Value)
{
    if (FLowBand)
        FLowBand->SetPen(Value);
}

TChartPen* TBollingerFunction::UpperBandPen() const
{
    return ParentSeries() ? ParentSeries()->Pen() : nullptr;
}

void TBollingerFunction::SetUpperBandPen(const TChartPen* Value)
{
    if (ParentSeries())
        ParentSeries()->SetPen(Value);
}

void TBollingerFunction::Clear()
{
    FBandsFor = -1;
    if (FLowBand)
        FLowBand->Clear();
}

int TBollingerFunction::WindowPoints() const
{
    // A period below half a point rounds to no window at all.
    return RoundToInt32(std::min(Period(), 2147483647.0));
}

void TBollingerFunction::AddBand(TChartSeries& Source, TChartSeries& Target, double D, int Band)
{
    Target.Clear();
    FBandsFor = -1;
    const double P = Period();
    const int Points = WindowPoints();
    if (Points < 1)
        return;
    // Read by source index below: the averages stay in the source's order.
    TChartSeries Averages;
    Averages.XValues()->SetOrder(loNone);
    TPlotFunction* Average = FExponential ? static_cast<TPlotFunction*>(new TExpMovAveFunction(nullptr))
                                          : new TMovingAverageFunction(nullptr);
    Average->InternalSetPeriod(P);
    Averages.SetFunction(Average);
    Average->AddPoints(&Source);
    FAverages.assign(Averages.YValues()->Data(), Averages.YValues()->Data() + Averages.Count());
    AddBandRuns(Source, Target, D, Band, Points);
    // Averages the series left out (not numbers) shift those after them:
    // only a whole list grows point by point.
    const int N = Source.Count();
    const int Whole = FExponential ? (N > 1 ? N : 0) : std::max(0, N - Points + 1);
    if (Averages.Count() == Whole) {
        FBandsSource = &Source;
        FBandsFor = N;
    }
}

void TBollingerFunction::AddBandRuns(TChartSeries& Source, TChartSeries& Target, double D, int Band, int FirstRun)
{
    const double P = Period();
    const int Points = WindowPoints();
    const TChartValueList& V = *ValueList(&Source);
    const TChartValueList& X = *Source.XValues();
    const int Averages = static_cast<int>(FAverages.size());
    TBandRun& Run = FRuns[Band];
    Run.Start = FirstRun;
    Run.Before = Target.Count();
    // The window's sums slide along, summed afresh once per period so that
    // rounding cannot build up: linear in the points whatever the period.
    // Each run between two fresh sums adds values divided by the power of
    // two that brings the largest value of its windows below 1 (see
    // ScaleExponent), so the sums of squares of values near the limit of the
    // doubles stay finite and ordinary values give their unscaled results.
    TFunctionOutput Output(Target);
    int Exponent = 0;
    double Factor = 1; // 2^-Exponent, exact
    const auto Scaled = [&](int J) { return V.Value(J) * Factor; };
    double Sum = 0;
    double SumSqr = 0;
    for (int I = FirstRun; I <= Source.Count(); ++I) {
        if ((I - Points) % Points == 0) {
            // This run's windows reach from I - Points to I + Points - 2.
            // Values all far below 1 are scaled up no further than 2^1022
            // can carry them.
            const int RunEnd = I + std::min(Points - 1, Source.Count() - I);
            Exponent = std::max(ScaleExponent(LargestMagnitude(V, I - Points, RunEnd)), -1022);
            Factor = std::ldexp(1.0, -Exponent);
            Sum = 0;
            SumSqr = 0;
            for (int J = I - Points; J < I; ++J) {
                const double U = Scaled(J);
                Sum += U;
                SumSqr += U * U;
            }
            Run.Start = I;
            Run.Before = Target.Count();
        } else {
            const double Leaving = Scaled(I - Points - 1);
            const double Entering = Scaled(I - 1);
            Sum += Entering - Leaving;
            SumSqr += Entering * Entering - Leaving * Leaving;
        }
        const int At = FExponential ? I - 1 : I - Points;
        if (At >= Averages)
            break;
        const double Variance = (P * SumSqr - Sum * Sum) / (P * P);
        const double Deviation = Variance > 0 ? std::ldexp(std::sqrt(Variance), Exponent) : 0;
        AddFiniteXY(Output, X.Value(I - 1), FAverages[static_cast<size_t>(At)] + D * Deviation);
    }
    Output.Finish();
    Run.Count = Target.Count();
}

bool TBollingerFunction::AppendAverage(TChartSeries& Source)
{
    // As the averages series computes them: TExpMovAveFunction and
    // TMovingAverageFunction over the source's mandatory list.
    const TChartValueList& V = *Source.MandatoryValues();
    const TChartValueList& Positions = *Source.OtherValues();
    const int N = Source.Count();
    const auto Add = [&](double Value, int Index) {
        if (!std::isfinite(Value) || !std::isfinite(Positions.Value(Index)))
            return false;
        FAverages.push_back(Value);
        return true;
    };
    if (FExponential) {
        if (N <= 1)
            return true;
        const double K = 2 / (Period() + 1);
        if (N == 2 && !Add(V.Value(0), 0))
            return false;
        return Add(V.Value(N - 1) * K + (1 - K) * FAverages.back(), N - 1);
    }
    const int Points = std::max(1, WindowPoints());
    if (N < Points)
        return true;
    TMovingAverageFunction Average(nullptr);
    Average.InternalSetPeriod(Period());
    return Add(Average.Calculate(&Source, N - Points, N - 1), N - 1);
}

bool TBollingerFunction::AddAppendedPoint(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || !Source || IsUpdating() || Period() <= 0 || WindowPoints() < 1)
        return false;
    const int N = Source->Count();
    // The bands of the points before, whole, in the order they came.
    if (FBandsFor != N - 1 || FBandsSource != Source || !Source->MandatoryIsY() ||
        !Source->XValues()->AscendingWithoutNaN())
        return false;
    TChartSeries* Targets[2] = {Parent, FLowBand.data()};
    for (int Band = 0; Band < 2; ++Band) {
        TChartSeries* Target = Targets[Band];
        if (Target && (Target->Count() != FRuns[Band].Count || Target->Stale() ||
                       Target->XValues()->Order() == loDescending))
            return false;
    }
    const int Points = WindowPoints();
    // The run of windows the new point's result belongs to: the last run
    // again, or a new one starting at it.
    const int Run = N < Points ? 0 : Points + (N - Points) / Points * Points;
    if (N >= Points && Run != FRuns[0].Start && Run != N)
        return false;
    if (!AppendAverage(*Source)) {
        FBandsFor = -1;
        return false;
    }
    FBandsFor = -1;
    const double Deviations[2] = {FDeviation, -FDeviation};
    for (int Band = 0; Band < 2; ++Band) {
        TChartSeries* Target = Targets[Band];
        if (!Target || N < Points)
            continue;
        Target->BeginUpdate();
        try {
            const int Keep = Run == FRuns[Band].Start ? FRuns[Band].Before : Target->Count();
            if (Target->Count() > Keep)
                Target->DeleteRange(Keep, Target->Count() - Keep);
            AddBandRuns(*Source, *Target, Deviations[Band], Band, Run);
        } catch (...) {
            Target->EndUpdate();
            throw;
        }
        Target->EndUpdate();
    }
    FBandsFor = N;
    return true;
}

void TBollingerFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    FBandsFor = -1;
    if (!Parent || !Source || IsUpdating())
        return;
    SetUpLowBand(*Parent);
    if (Period() <= 0)
        return;
    AddBand(*Source, *Parent, FDeviation, 0);
    const int Computed = FBandsFor;
    if (FLowBand)
        AddBand(*Source, *FLowBand, -FDeviation, 1);
    FBandsFor = FLowBand ? std::min(Computed, FBandsFor) : Computed;
}

void TBollingerFunction::SetUpLowBand(TChartSeries& Parent)
{
    if (!FLowBand)
        return;
    SetUpIndicatorLine(*FLowBand, Parent);
    FLowBand->SetSeriesColor(Parent.SeriesColor());
    if (FLowBand->SameClass(&Parent))
        FLowBand->SetPen(Parent.Pen());
}

void TBollingerFunction::RestoreOwnLines(TChartSeries& Parent)
{
    auto* Source = qobject_cast<TChartSeries*>(Parent.DataSource());
    if (!Source)
        return;
    SetUpLowBand(Parent);
    if (FLowBand && Period() > 0)
        AddBand(*Source, *FLowBand, -FDeviation, 1);
    FBandsFor = -1;
}

// --- TCrossPointsFunction -----------------------------------------------------------------------

TCrossPointsFunction::TCrossPointsFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    SetUsesPeriod(false);
}

void TCrossPointsFunction::AddPoints(TChartSeries*)
{
    TChartSeries* Parent = ParentSeries();
    const std::vector<TChartSeries*> Sources = SourceSeriesList();
    if (!Parent || IsUpdating() || Sources.size() < 2)
        return;
    const TChartValueList& A = *ValueList(Sources[0]);
    const TChartValueList& B = *ValueList(Sources[1]);
    const TChartValueList& AX = *Sources[0]->OtherValues();
    const TChartValueList& BX = *Sources[1]->OtherValues();
    Parent->Clear();
    if (A.Count() < 2 || B.Count() < 2)
        return;
    TFunctionOutput Output(*Parent);
    int I = 0;
    int J = 0;
    while (I + 1 < A.Count() && J + 1 < B.Count()) {
        double X = 0;
        double Y = 0;
        if (LinesIntersect({AX.Value(I), A.Value(I)}, {AX.Value(I + 1), A.Value(I + 1)}, {BX.Value(J), B.Value(J)},
                           {BX.Value(J + 1), B.Value(J + 1)}, X, Y))
            Output.Add(X, Y);
        if (BX.Value(J + 1) < AX.Value(I + 1))
            ++J;
        else
            ++I;
    }
    Output.Finish();
}

// --- TPerimeterFunction -------------------------------------------------------------------------

TPerimeterFunction::TPerimeterFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    SetUsesPeriod(false);
    SetIsMoving(true);
    SetSingleSource(true);
}

void TPerimeterFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return;
    Parent->Clear();
    TCustomAxisPanel* Chart = Source ? Source->ParentChart() : nullptr;
    if (!Chart || Source->Count() == 0)
        return;
    // The axes get their pixel sizes from a paint; a chart not painted yet
    // is painted once off screen.
    const TChartAxis* H = Source->GetHorizAxis();
    const TChartAxis* V = Source->GetVertAxis();
    if ((H && H->AxisPixelSize() == 0) || (V && V->AxisPixelSize() == 0))
        Chart->CreateBitmap(clWhite, Chart->GetRectangle());
    const TPlotCanvas3D& Canvas = Chart->Canvas();
    const bool Is3D = Chart->View3D();
    TPointArray Points;
    for (int I = 0; I < Source->Count(); ++I) {
        const TPoint P{Source->CalcXPos(I), Source->CalcYPos(I)};
        Points.Add(Is3D ? Canvas.Calculate3DPosition(P.X, P.Y, Source->DepthStart()) : P);
    }
    ConvexHull(Points);
    Parent->XValues()->SetOrder(loNone);
    // A corner projected beyond the end of a logarithmic axis can turn back
    // into a value past the doubles: that corner is left out, and the
    // outline closes on the first corner added.
    TFunctionOutput Output(*Parent);
    for (const TPoint& P : Points)
        AddFiniteXY(Output, Source->XScreenToValue(P.X), Source->YScreenToValue(P.Y));
    Output.Finish();
    if (Parent->Count() > 0)
        Parent->AddXY(Parent->XValues()->Value(0), Parent->YValues()->Value(0), QString(), clPlotColor);
}

} // namespace lp
