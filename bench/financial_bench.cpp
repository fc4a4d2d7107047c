// Price indicators over 1,000,000 OHLC points (ADX with its two lines, MACD
// with its signal line and histogram, Bollinger bands) and 100,000 candles
// drawn into a full-HD bitmap against their floor (the same rectangles and
// lines replayed on plain QPainter).

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"

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
