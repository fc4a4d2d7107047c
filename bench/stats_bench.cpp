// A box plot of 1,000,000 samples: the statistics alone (sorted copy of
// shuffled samples included), and the statistics with the whole drawing
// (box, median, whiskers, the outliers and the pass over every sample) into
// a full-HD bitmap against its floor (the same primitives replayed on plain
// QPainter). A funnel whose points a MACD computes from a 3,200-point
// line: its first paint (the quotes sorted, the MACD's lines refreshed).

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/stats/PlotBoxPlot.h"
#include "chart/extensions/stats/PlotFunnel.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "platform/graphics/Bitmap.h"

#include "PainterFloor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int SampleCount = 1000000;

// Roughly normal samples in random order, with a tail of outliers.
void FillSamples(lp::TBoxSeries& S)
{
    std::mt19937 Random(7);
    std::normal_distribution<double> Normal(50, 10);
    S.BeginUpdate();
    for (int I = 0; I < SampleCount; ++I)
        S.Add(I % 1000 == 0 ? Normal(Random) * 3 : Normal(Random));
    S.EndUpdate();
}

void BoxStatistics_1M_Samples(benchmark::State& state)
{
    lp::TBoxSeries S;
    FillSamples(S);
    for (auto _ : state) {
        S.CalcStatistics();
        benchmark::DoNotOptimize(S.Statistics().Median);
    }
}
BENCHMARK(BoxStatistics_1M_Samples)->Iterations(5)->Unit(benchmark::kMillisecond);

void BoxDraw_1M_Samples_vs_Floor(benchmark::State& state)
{
    lp::TChart Chart;
    auto* Box = new lp::TBoxSeries(&Chart);
    Chart.AddSeries(Box);
    FillSamples(*Box);
    Box->SetPosition(1);
    lp::bench::SetUpFullHDChart(Chart, 0, 2, Box->MinYValue(), Box->MaxYValue());
    Box->CalcFirstLastVisibleIndex();
    lp::bench::RunPaintAgainstFloor(state, Chart, [&] {
        Box->DoBeforeDrawValues();
        Box->DrawAllValues();
    });
}
BENCHMARK(BoxDraw_1M_Samples_vs_Floor)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// A 3,200-point wavy line, a funnel fed by a MACD of it, on a 1000 x 700
// chart; each iteration times the first paint of a fresh chart.
void FunnelMACD_FirstPaint_3200(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto Chart = std::make_unique<lp::TChart>();
        Chart->SetBounds(0, 0, 1000, 700);
        auto* Line = new lp::TLineSeries(Chart.get());
        Chart->AddSeries(Line);
        for (int I = 0; I < 3200; ++I)
            Line->AddXY(I, 100 + 10 * std::sin(I * 0.05) + 0.01 * I);
        auto* Funnel = new lp::TFunnelSeries(Chart.get());
        Chart->AddSeries(Funnel);
        Funnel->SetFunction(new lp::TMACDFunction(Chart.get()));
        Funnel->SetDataSource(Line);
        state.ResumeTiming();
        auto Picture = Chart->CreateBitmap(lp::clWhite, Chart->GetRectangle());
        benchmark::DoNotOptimize(Picture);
    }
}
BENCHMARK(FunnelMACD_FirstPaint_3200)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
