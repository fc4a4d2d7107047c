// Analysis functions over 1,000,000 source points against their floor, one
// pass copying the source's X and Y values out of the series: each
// down-sampling method (Douglas-Peucker at tolerance 1, the groupings at
// tolerance 10) and a 5-term polynomial fit drawn at every source point.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "chart/extensions/functions/PlotDownSampling.h"

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

} // namespace
