// The SVG export of a volume pipe of 3,200 points at 1500 x 1200: every
// section is filled with the pipe's gradient (its middle colour across the
// centre line), and each of those gradients goes into the file. The SVG and
// PNG exports of a point-and-figure series of 3,200 sample quotes at the
// same size: quotes swinging across the range, one symbol per box where
// boxes are as large as the symbols, else one per symbol's size, and of
// columns closer than half a symbol only the last symbol of each kind per
// cell of that width.

#include "chart/engine/PlotChart.h"
#include "chart/export/PlotExportOther.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/extensions/stats/PlotVolumePipe.h"

#include <QtCore/QBuffer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int PipePoints = 3200;

// Each iteration exports Chart at 1500 x 1200 through Format into memory.
void RunExport(benchmark::State& state, lp::TChart& Chart, lp::TPlotExportFormat& Format)
{
    Format.SetPanel(&Chart);
    Format.SetWidth(1500);
    Format.SetHeight(1200);
    qint64 Bytes = 0;
    for (auto _ : state) {
        QBuffer Buffer;
        Buffer.open(QIODevice::WriteOnly);
        Format.SaveToStream(Buffer);
        Bytes = Buffer.size();
    }
    state.counters["bytes"] = static_cast<double>(Bytes);
}

void SvgExport_VolumePipe_3200(benchmark::State& state)
{
    lp::TChart Chart;
    auto* Pipe = new lp::TVolumePipeSeries(&Chart);
    Chart.AddSeries(Pipe);
    Pipe->BeginUpdate();
    for (int I = 0; I < PipePoints; ++I)
        Pipe->Add(1 + I % 17);
    Pipe->EndUpdate();
    lp::TSVGExportFormat Format;
    RunExport(state, Chart, Format);
}
BENCHMARK(SvgExport_VolumePipe_3200)->Iterations(1)->Unit(benchmark::kMillisecond);

// Argument "svg" 1: SVG, else PNG.
void Export_PointFigure_3200(benchmark::State& state)
{
    lp::TChart Chart;
    auto* Figure = new lp::TPointFigureSeries(&Chart);
    Chart.AddSeries(Figure);
    // Quotes swinging across most of the price range: long columns of
    // boxes about a pixel high, each box's symbol several pixels tall.
    Figure->BeginUpdate();
    for (int I = 0; I < PipePoints; ++I) {
        const double A = 500 + 480 * std::sin(I * 1.7);
        const double B = 500 + 480 * std::cos(I * 2.3);
        Figure->AddOHLC(I, A, std::max(A, B), std::min(A, B), B);
    }
    Figure->EndUpdate();
    lp::TSVGExportFormat Svg;
    lp::TPNGExportFormat Png;
    RunExport(state, Chart, state.range(0) != 0 ? static_cast<lp::TPlotExportFormat&>(Svg) : Png);
}
BENCHMARK(Export_PointFigure_3200)->ArgName("svg")->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

// The series' own sample quotes, as a user who fills it from the editor
// gets them.
void Export_PointFigure_Sample_3200(benchmark::State& state)
{
    lp::TChart Chart;
    auto* Figure = new lp::TPointFigureSeries(&Chart);
    Chart.AddSeries(Figure);
    Figure->FillSampleValues(PipePoints);
    lp::TSVGExportFormat Svg;
    lp::TPNGExportFormat Png;
    RunExport(state, Chart, state.range(0) != 0 ? static_cast<lp::TPlotExportFormat&>(Svg) : Png);
}
BENCHMARK(Export_PointFigure_Sample_3200)->ArgName("svg")->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
