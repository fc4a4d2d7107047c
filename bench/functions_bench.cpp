// Analysis functions over 1,000,000 source points against their floor, one
// pass copying the source's X and Y values out of the series: each
// down-sampling method (Douglas-Peucker at tolerance 1, the groupings at
// tolerance 10) and a 5-term polynomial fit drawn at every source point.
// A standard deviation across two sources, one of them filled value by
// value.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/PlotErrorBar.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "chart/extensions/functions/PlotDownSampling.h"
#include "chart/extensions/stats/PlotStatFunctions.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int PointCount = 1000000;

// A slow wave with noise of ±2 at X 0, 1, 2, ...
void FillWave(lp::TChartSeries& S)
{
    std::mt19937 Random(37);
    std::uniform_real_distribution<double> Noise(-2, 2);
    S.BeginUpdate();
    for (int I = 0; I < PointCount; ++I)
        S.AddXY(I, 100 * std::sin(I * 0.0005) + Noise(Random));
    S.EndUpdate();
}

// Source and output on one chart; each iteration recomputes the output
// through F and then copies the source's points once (the floor).
void RunAgainstCopy(benchmark::State& state, lp::TPlotFunction* F, lp::TChart& Chart)
{
    auto* Source = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Source);
    FillWave(*Source);
    auto* Output = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Output);
    Output->SetFunction(F);
    Output->SetDataSource(Source);
    using Clock = std::chrono::steady_clock;
    double FunctionSeconds = 0;
    double FloorSeconds = 0;
    std::vector<double> X, Y;
    for (auto _ : state) {
        const auto T0 = Clock::now();
        Output->BeginUpdate();
        F->AddPoints(Source);
        Output->EndUpdate();
        benchmark::DoNotOptimize(Output->Count());
        const auto T1 = Clock::now();
        X.clear();
        Y.clear();
        for (int I = 0; I < Source->Count(); ++I) {
            X.push_back(Source->XValues()->Value(I));
            Y.push_back(Source->YValues()->Value(I));
        }
        benchmark::DoNotOptimize(X.data());
        benchmark::DoNotOptimize(Y.data());
        const auto T2 = Clock::now();
        FunctionSeconds += std::chrono::duration<double>(T1 - T0).count();
        FloorSeconds += std::chrono::duration<double>(T2 - T1).count();
        state.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
    }
    const double Iterations = static_cast<double>(state.iterations());
    state.counters["function_ms"] = FunctionSeconds / Iterations * 1000;
    state.counters["floor_ms"] = FloorSeconds / Iterations * 1000;
    state.counters["ratio"] = FloorSeconds > 0 ? FunctionSeconds / FloorSeconds : 0;
    state.counters["points_out"] = Output->Count();
    if (Output->Count() == 0)
        state.SkipWithError("the function computed nothing");
}

void DownSampling_1M_Points(benchmark::State& state)
{
    lp::TChart Chart;
    auto* F = new lp::TDownSamplingFunction(&Chart);
    const auto Method = static_cast<lp::TDownSampleMethod>(state.range(0));
    F->SetDownSampleMethod(Method);
    F->SetTolerance(Method == lp::dsDouglas ? 1 : 10);
    RunAgainstCopy(state, F, Chart);
}
BENCHMARK(DownSampling_1M_Points)
    ->ArgName("method")
    ->DenseRange(lp::dsDouglas, lp::dsAverage)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void CurveFitting_5_Terms_1M_Points(benchmark::State& state)
{
    lp::TChart Chart;
    RunAgainstCopy(state, new lp::TCurveFittingFunction(&Chart), Chart);
}
BENCHMARK(CurveFitting_5_Terms_1M_Points)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// A horizontal area of 3,200 points and an error-bar series, a standard
// deviation over both; the error-bar series filled with 3,000 points value
// by value (each point added, then its value and error set), the
// deviation read at the end.
void Deviation_ErrorBars_Filled_3000(benchmark::State& state)
{
    int Computed = 0;
    for (auto _ : state) {
        lp::TChart Chart;
        auto* Area = new lp::THorizAreaSeries(&Chart);
        Chart.AddSeries(Area);
        auto* Errors = new lp::TErrorBarSeries(&Chart);
        Chart.AddSeries(Errors);
        auto* Output = new lp::TLineSeries(&Chart);
        Chart.AddSeries(Output);
        Area->BeginUpdate();
        for (int I = 0; I < 3200; ++I)
            Area->AddXY(50 + 40 * std::sin(I * 0.37), I, QStringLiteral("a%1").arg(I));
        Area->EndUpdate();
        Output->SetFunction(new lp::TStdDeviationFunction(&Chart));
        Output->SetDataSource(Area);
        Output->DataSources().Add(Errors);
        for (int I = 0; I < 3000; ++I) {
            const int Index = Errors->AddErrorBar(I, 0, 0);
            Errors->YValues()->SetValue(Index, 30 + 20 * std::cos(I * 0.21));
            Errors->ErrorValues()->SetValue(Index, 1 + I % 5);
        }
        Computed = Output->Count();
        benchmark::DoNotOptimize(Computed);
    }
    state.counters["points_out"] = Computed;
}
BENCHMARK(Deviation_ErrorBars_Filled_3000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
