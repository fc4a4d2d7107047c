// Douglas-Peucker and X-grouping reduction, and the down-sampling function.

#include "chart/extensions/functions/PlotDownSampling.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace lp {

namespace {

double SquaredLength(double DX, double DY)
{
    return DX * DX + DY * DY;
}

// The squared distance of P from the segment A-B.
double SquaredSegmentDistance(double PX, double PY, double AX, double AY, double BX, double BY)
{
    const double DX = BX - AX;
    const double DY = BY - AY;
    const double C1 = (PX - AX) * DX + (PY - AY) * DY;
    if (C1 <= 0)
        return SquaredLength(PX - AX, PY - AY);
    const double C2 = DX * DX + DY * DY;
    if (C2 <= C1)
        return SquaredLength(PX - BX, PY - BY);
    const double T = C1 / C2;
    return SquaredLength(PX - (AX + T * DX), PY - (AY + T * DY));
}

TXYList Douglas(const TXYList& P, size_t N, double Tolerance)
{
    TXYList Result;
    if (N < 2)
        return Result;
    const double Limit = Tolerance * Tolerance;
    std::vector<bool> Keep(N, false);
    Keep.front() = Keep.back() = true;
    std::vector<std::pair<size_t, size_t>> Spans{{0, N - 1}};
    while (!Spans.empty()) {
        const auto [I, J] = Spans.back();
        Spans.pop_back();
        if (I + 1 >= J)
            continue;
        double Farthest = -1;
        size_t At = I;
        for (size_t K = I + 1; K < J; ++K) {
            const double D = SquaredSegmentDistance(P.X[K], P.Y[K], P.X[I], P.Y[I], P.X[J], P.Y[J]);
            if (D > Farthest) {
                Farthest = D;
                At = K;
            }
        }
        if (Farthest > Limit) {
            Keep[At] = true;
            Spans.emplace_back(At, J);
            Spans.emplace_back(I, At);
        }
    }
    for (size_t K = 0; K < N; ++K)
        if (Keep[K]) {
            Result.X.push_back(P.X[K]);
            Result.Y.push_back(P.Y[K]);
        }
    return Result;
}

TXYList Grouped(const TXYList& P, size_t N, TDownSampleMethod Method, double Tolerance)
{
    TXYList Result;
    const auto Add = [&Result](double X, double Y) {
        Result.X.push_back(X);
        Result.Y.push_back(Y);
    };
    for (size_t I = 0; I < N;) {
        size_t J = I;
        double Sum = P.Y[I];
        double Max = Sum;
        double Min = Sum;
        while (J + 1 < N && std::fabs(P.X[J + 1] - P.X[I]) < Tolerance) {
            ++J;
            Sum += P.Y[J];
            Max = std::max(Max, P.Y[J]);
            Min = std::min(Min, P.Y[J]);
        }
        const double Mid = (P.X[I] + P.X[J]) * 0.5;
        switch (Method) {
        case dsMax: Add(Mid, Max); break;
        case dsMin: Add(Mid, Min); break;
        case dsAverage: Add(Mid, Sum / static_cast<double>(J - I + 1)); break;
        default:
            Add(P.X[I], Min);
            Add(P.X[J], Max);
            break;
        }
        I = J + 1;
    }
    return Result;
}

} // namespace

TXYList DownSample(const TXYList& Points, TDownSampleMethod Method, double Tolerance)
{
    const size_t N = std::min(Points.X.size(), Points.Y.size());
    Tolerance = std::max(Tolerance, 0.0);
    if (Method == dsDouglas)
        return Douglas(Points, N, Tolerance);
    return Grouped(Points, N, Method, Tolerance);
}

// --- TDownSamplingFunction ----------------------------------------------------------------------

TDownSamplingFunction::TDownSamplingFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(1);
    SetSingleSource(true);
}

void TDownSamplingFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TDownSamplingFunction*>(Source)) {
        FMethod = Other->FMethod;
        FTolerance = Other->FTolerance;
    }
    TPlotFunction::Assign(Source);
}

void TDownSamplingFunction::SetDownSampleMethod(TDownSampleMethod Value)
{
    if (Value == FMethod)
        return;
    FMethod = Value;
    ReCalculate();
}

void TDownSamplingFunction::SetTolerance(double Value)
{
    Value = std::max(Value, 0.0);
    if (Value == FTolerance)
        return;
    FTolerance = Value;
    ReCalculate();
}

void TDownSamplingFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return;
    // Cleared even for an empty source: the last result must not outlive it.
    Parent->Clear();
    FOutputCount = 0;
    if (!Source || Source->Count() == 0)
        return;
    const bool Crossed = Parent->MandatoryIsY() != Source->MandatoryIsY();
    Parent->XValues()->SetOrder(Crossed ? loNone : loAscending);
    Parent->YValues()->SetOrder(Crossed ? loAscending : loNone);
    TXYList Points;
    const TChartValueList& X = *Source->XValues();
    const TChartValueList& Y = *Source->YValues();
    Points.X.assign(X.Data(), X.Data() + X.Count());
    Points.Y.assign(Y.Data(), Y.Data() + Y.Count());
    const TXYList Reduced = DownSample(Points, FMethod, FTolerance);
    FOutputCount = static_cast<int>(Reduced.Size());
    TFunctionOutput Output(*Parent);
    for (size_t I = 0; I < Reduced.Size(); ++I)
        Output.Add(Reduced.X[I], Reduced.Y[I]);
    Output.Finish();
}

void RegisterDownSamplingFunction()
{
    RegisterPlotFunction<TDownSamplingFunction>(&PlotMsg_FunctionDownsampling, &PlotMsg_GalleryExtended, 1);
}

void UnregisterDownSamplingFunction()
{
    UnRegisterPlotFunctions({&TDownSamplingFunction::staticMetaObject});
}

} // namespace lp
