// The SVG export of a volume pipe of 3,200 points at 1500 x 1200: every
// section is filled with the pipe's gradient (its middle colour across the
// centre line), and each of those gradients goes into the file.

#include "chart/engine/PlotChart.h"
#include "chart/export/PlotExportOther.h"
#include "chart/extensions/stats/PlotVolumePipe.h"

#include <QtCore/QBuffer>

#include <benchmark/benchmark.h>

namespace {

constexpr int PipePoints = 3200;

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
BENCHMARK(SvgExport_VolumePipe_3200)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
