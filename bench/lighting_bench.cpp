// The lighting tool on a full-HD chart against its floor: one pass of the
// tool after the chart is drawn (copy of the picture, darkening, drawing
// back) against one plain per-pixel copy of the same 24-bit picture.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotChart.h"
#include "chart/extensions/tools/PlotLightTool.h"
#include "platform/graphics/Bitmap.h"

#include <QtGui/QImage>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

namespace {

using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point Start)
{
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

// Every pixel's three bytes copied one by one, as the darkening walks them.
void CopyPixels(const QImage& Source, QImage& Target)
{
    for (int R = 0; R < Source.height(); ++R) {
        const uchar* From = Source.constScanLine(R);
        uchar* To = Target.scanLine(R);
        for (int C = 0; C < Source.width(); ++C, From += 3, To += 3) {
            To[0] = From[0];
            To[1] = From[1];
            To[2] = From[2];
        }
    }
    benchmark::DoNotOptimize(Target.constBits());
}

void Lighting_1920x1080_vs_Copy(benchmark::State& state)
{
    lp::TChart Chart;
    Chart.SetBounds(0, 0, 1920, 1080);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    auto* Bars = new lp::TBarSeries(&Chart);
    Chart.AddSeries(Bars);
    Bars->FillSampleValues(20);
    auto* Light = new lp::TLightTool(&Chart);
    Chart.Tools().Add(Light);
    Light->SetStyle(state.range(0) ? lp::lsSpotLight : lp::lsLinear);
    lp::TBitmap Target(1920, 1080);
    // The chart drawn once, then its canvas bound to the bitmap again as
    // during the paint's last stage.
    Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
    Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), lp::clWhite, false, Chart.GetRectangle());
    const QImage Picture = Target.Image().convertToFormat(QImage::Format_RGB888);
    QImage Copy(Picture.size(), QImage::Format_RGB888);
    double ToolSeconds = 0;
    double FloorSeconds = 0;
    for (auto _ : state) {
        const auto Start = TClock::now();
        Light->ChartEvent(lp::cteAfterDraw);
        Target.Image();
        const double Tool = SecondsSince(Start);
        const auto FloorStart = TClock::now();
        CopyPixels(Picture, Copy);
        const double Floor = SecondsSince(FloorStart);
        ToolSeconds += Tool;
        FloorSeconds += Floor;
        state.SetIterationTime(Tool);
    }
    if (Light->Picture().size() != Picture.size())
        state.SkipWithError("the lighting pass did not run");
    const double Iterations = static_cast<double>(state.iterations());
    state.counters["tool_ms"] = ToolSeconds / Iterations * 1000;
    state.counters["floor_ms"] = FloorSeconds / Iterations * 1000;
    state.counters["ratio"] = FloorSeconds > 0 ? ToolSeconds / FloorSeconds : 0;
}
BENCHMARK(Lighting_1920x1080_vs_Copy)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("spot")
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

} // namespace
