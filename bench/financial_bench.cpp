// Price indicators over 1,000,000 OHLC points (ADX with its two lines, MACD
// with its signal line and histogram, Bollinger bands); each function that
// computes its whole output at once on a candle series growing to 1,000
// points one point at a time; and 100,000 candles drawn into a full-HD
// bitmap against their floor (the same rectangles and lines replayed on
// plain QPainter).

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "chart/extensions/stats/PlotStatFunctions.h"

#include "PainterFloor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// A random walk of N days.
void FillPrices(lp::TCandleSeries& S, int N)
{
    S.BeginUpdate();
    double Close = 100;
    for (int I = 0; I < N; ++I) {
        const double Open = Close;
        Close = Open + std::sin(I * 0.37) * 2 + std::cos(I * 0.011) * 0.5;
        const double Spread = 1 + (I % 7) * 0.25;
        S.AddOHLC(I, Open, std::max(Open, Close) + Spread, std::min(Open, Close) - Spread, Close);
    }
    S.EndUpdate();
}

// Prices and an output line on one chart; each iteration recomputes the
// output through F.
template <class TFunction>
void RunIndicator(benchmark::State& state, const std::function<void(TFunction&)>& Setup = {})
{
    lp::TChart Chart;
    auto* Prices = new lp::TCandleSeries(&Chart);
    Chart.AddSeries(Prices);
    FillPrices(*Prices, 1000000);
    auto* Output = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Output);
    auto* F = new TFunction(&Chart);
    if (Setup)
        Setup(*F);
    Output->SetFunction(F);
    Output->SetDataSource(Prices);
    for (auto _ : state) {
        Output->BeginUpdate();
        F->AddPoints(Prices);
        Output->EndUpdate();
        benchmark::DoNotOptimize(Output->Count());
    }
    if (Output->Count() == 0)
        state.SkipWithError("the indicator computed nothing");
}

void ADX_1M_Points(benchmark::State& state)
{
    RunIndicator<lp::TADXFunction>(state);
}
BENCHMARK(ADX_1M_Points)->Iterations(3)->Unit(benchmark::kMillisecond);

void MACD_1M_Points(benchmark::State& state)
{
    RunIndicator<lp::TMACDFunction>(state);
}
BENCHMARK(MACD_1M_Points)->Iterations(3)->Unit(benchmark::kMillisecond);

void Bollinger_1M_Points(benchmark::State& state)
{
    RunIndicator<lp::TBollingerFunction>(state, [](lp::TBollingerFunction& F) { F.SetPeriod(20); });
}
BENCHMARK(Bollinger_1M_Points)->Iterations(3)->Unit(benchmark::kMillisecond);

// A candle series that grows by one point at a time, as a program or a
// data page adds them, with a function on it: every point added makes the
// function compute its whole output again, so the run costs the square of
// the points at least. Argument "newest_first" 1 adds the days from the
// last back to the first into a date list kept in the order of adding
// (Order none), so each output comes out against the order of its own
// X list. Cross points take a 5-point moving average of the prices as
// their second source (in X order only: they walk both sources from the
// smallest X on).
enum TGrowingFunction { gfBollinger, gfMACD, gfMovingAverage, gfExpMovingAverage, gfCrossPoints, gfPerimeter };

lp::TPlotFunction* CreateGrowingFunction(TGrowingFunction Kind, lp::TChart& Chart)
{
    switch (Kind) {
    case gfBollinger: return new lp::TBollingerFunction(&Chart);
    case gfMACD: return new lp::TMACDFunction(&Chart);
    case gfMovingAverage: {
        auto* F = new lp::TMovingAverageFunction(&Chart);
        F->InternalSetPeriod(10);
        return F;
    }
    case gfExpMovingAverage: return new lp::TExpMovAveFunction(&Chart);
    case gfCrossPoints: return new lp::TCrossPointsFunction(&Chart);
    case gfPerimeter: return new lp::TPerimeterFunction(&Chart);
    }
    return nullptr;
}

void Growing_1000_Points(benchmark::State& state)
{
    constexpr int N = 1000;
    const auto Kind = static_cast<TGrowingFunction>(state.range(0));
    const bool NewestFirst = state.range(1) != 0;
    int Computed = 0;
    for (auto _ : state) {
        // Fixed axes over every price: the perimeter projects the points
        // through them.
        lp::TChart Chart;
        Chart.SetBounds(0, 0, 800, 600);
        Chart.BottomAxis()->SetMinMax(0, N + 1);
        Chart.LeftAxis()->SetMinMax(0, 300);
        auto* Prices = new lp::TCandleSeries(&Chart);
        Chart.AddSeries(Prices);
        if (NewestFirst)
            Prices->XValues()->SetOrder(lp::loNone);
        auto* Output = new lp::TLineSeries(&Chart);
        Chart.AddSeries(Output);
        Output->SetFunction(CreateGrowingFunction(Kind, Chart));
        Output->SetDataSource(Prices);
        if (Kind == gfCrossPoints) {
            auto* Average = new lp::TLineSeries(&Chart);
            Chart.AddSeries(Average);
            auto* F = new lp::TMovingAverageFunction(&Chart);
            F->InternalSetPeriod(5);
            Average->SetFunction(F);
            Average->SetDataSource(Prices);
            Output->DataSources().Add(Average);
        }
        double Close = 100;
        for (int I = 0; I < N; ++I) {
            const double Open = Close;
            Close = Open + std::sin(I * 0.37) * 2 + std::cos(I * 0.011) * 0.5;
            Prices->AddOHLC(NewestFirst ? N - I : I, Open, std::max(Open, Close) + 1, std::min(Open, Close) - 1,
                            Close);
            Prices->RefreshSeries();
        }
        Computed = Output->Count();
        benchmark::DoNotOptimize(Computed);
    }
    state.counters["points_out"] = Computed;
    if (Computed == 0)
        state.SkipWithError("the function computed nothing");
}
BENCHMARK(Growing_1000_Points)
    ->ArgNames({"function", "newest_first"})
    ->Apply([](benchmark::internal::Benchmark* B) {
        for (int NewestFirst : {0, 1})
            for (int Kind = gfBollinger; Kind <= gfPerimeter; ++Kind)
                if (!(NewestFirst && Kind == gfCrossPoints))
                    B->Args({Kind, NewestFirst});
    })
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// 4,000 prices added one by one under Bollinger bands (period 20), each
// point followed by a refresh, as a program filling a candle series does;
// the bands are read at the end. Argument "read_each" 1 reads the bands
// (and a moving average of period 20 beside them) after every point, as
// the paints of a chart on the screen do: the average takes each new point
// as one more result, the bands are recalculated at every read.
void Growing_4000_Under_Bollinger(benchmark::State& state)
{
    constexpr int N = 4000;
    const bool ReadEach = state.range(0) != 0;
    int Computed = 0;
    for (auto _ : state) {
        lp::TChart Chart;
        auto* Prices = new lp::TCandleSeries(&Chart);
        Chart.AddSeries(Prices);
        auto* Bands = new lp::TLineSeries(&Chart);
        Chart.AddSeries(Bands);
        auto* Bollinger = new lp::TBollingerFunction(&Chart);
        Bollinger->SetPeriod(20);
        Bands->SetFunction(Bollinger);
        Bands->SetDataSource(Prices);
        auto* Average = new lp::TLineSeries(&Chart);
        Chart.AddSeries(Average);
        auto* F = new lp::TMovingAverageFunction(&Chart);
        F->SetPeriod(20);
        Average->SetFunction(F);
        Average->SetDataSource(Prices);
        double Close = 100;
        for (int I = 0; I < N; ++I) {
            const double Open = Close;
            Close = Open + std::sin(I * 0.37) * 2 + std::cos(I * 0.011) * 0.5;
            Prices->AddOHLC(I, Open, std::max(Open, Close) + 1, std::min(Open, Close) - 1, Close);
            Prices->RefreshSeries();
            if (ReadEach)
                benchmark::DoNotOptimize(Bands->Count() + Average->Count());
        }
        Computed = Bands->Count() + Average->Count();
        benchmark::DoNotOptimize(Computed);
    }
    state.counters["points_out"] = Computed;
}
BENCHMARK(Growing_4000_Under_Bollinger)->ArgName("read_each")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// 100,000 candlesticks on a full-HD chart.
void Candles_100k_vs_Floor(benchmark::State& state)
{
    lp::TChart Chart;
    auto* Prices = new lp::TCandleSeries(&Chart);
    Chart.AddSeries(Prices);
    FillPrices(*Prices, 100000);
    lp::bench::SetUpFullHDChart(Chart, 0, 99999, Prices->MinYValue(), Prices->MaxYValue());
    Prices->CalcFirstLastVisibleIndex();
    lp::bench::RunPaintAgainstFloor(state, Chart, [&] { Prices->DrawAllValues(); });
}
BENCHMARK(Candles_100k_vs_Floor)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
