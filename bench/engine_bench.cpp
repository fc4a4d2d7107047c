// The points of a series: appending in X order (with and without an update
// bracket), inserting at random X, deleting from the middle and sorting every
// point by Y. Each benchmark declares the growth it ought to show, so a change
// that makes one of these steps scale worse shows in the fitted complexity.
//
// The series stand alone (no chart, no dependents), so what is measured is
// the value lists and the per-point bookkeeping of the series itself.

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Bitmap.h"

#include "PainterFloor.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <type_traits>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace lp;

// Count values drawn uniformly from [Low, High); the same for the same seed.
std::vector<double> RandomValues(int Count, std::uint32_t Seed, double Low, double High)
{
    std::mt19937 Random(Seed);
    std::uniform_real_distribution<double> Value(Low, High);
    std::vector<double> Values(static_cast<size_t>(Count));
    for (double& V : Values)
        V = Value(Random);
    return Values;
}

bool IsAscending(const TChartValueList& List)
{
    const double* Values = List.Data();
    for (int I = 1; I < List.Count(); ++I)
        if (Values[I] < Values[I - 1])
            return false;
    return true;
}

// --- Adding in X order --------------------------------------------------------------------------

// X = 0, 1, 2, ...: every point lands at the end of the X list. Bracketed
// adds inside BeginUpdate/EndUpdate, as loaders do; otherwise every point
// goes through the per-add notification. The series is emptied between
// iterations, so the arrays grow from nothing each time.
void AddAscending(benchmark::State& state, bool Bracketed)
{
    const int N = static_cast<int>(state.range(0));
    const std::vector<double> Y = RandomValues(N, 17, 0.0, 1000.0);
    TChartSeries Series;
    for (auto _ : state) {
        state.PauseTiming();
        Series.Clear();
        state.ResumeTiming();
        if (Bracketed)
            Series.BeginUpdate();
        for (int I = 0; I < N; ++I)
            Series.AddXY(I, Y[static_cast<size_t>(I)]);
        if (Bracketed)
            Series.EndUpdate();
        benchmark::DoNotOptimize(Series.YValues()->Data());
    }
    if (Series.Count() != N)
        state.SkipWithError("the series does not hold every point");
    state.SetComplexityN(N);
    state.SetItemsProcessed(state.iterations() * N);
}

void AddXY_Ascending_InUpdate(benchmark::State& state)
{
    AddAscending(state, true);
}
BENCHMARK(AddXY_Ascending_InUpdate)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void AddXY_Ascending(benchmark::State& state)
{
    AddAscending(state, false);
}
BENCHMARK(AddXY_Ascending)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// --- Adding at random X -------------------------------------------------------------------------

// Every point is put in X order: a backward scan to its place and a move of
// the values after it in each list, so filling is quadratic by design.
void AddXY_RandomX(benchmark::State& state)
{
    const int N = static_cast<int>(state.range(0));
    const std::vector<double> X = RandomValues(N, 23, 0.0, N);
    const std::vector<double> Y = RandomValues(N, 29, 0.0, 1000.0);
    TChartSeries Series;
    for (auto _ : state) {
        state.PauseTiming();
        Series.Clear();
        state.ResumeTiming();
        Series.BeginUpdate();
        for (int I = 0; I < N; ++I)
            Series.AddXY(X[static_cast<size_t>(I)], Y[static_cast<size_t>(I)]);
        Series.EndUpdate();
        benchmark::DoNotOptimize(Series.XValues()->Data());
    }
    if (Series.Count() != N || !IsAscending(*Series.XValues()))
        state.SkipWithError("the X list is not in order after adding");
    state.SetComplexityN(N);
    state.SetItemsProcessed(state.iterations() * N);
}
BENCHMARK(AddXY_RandomX)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 15)
    ->Complexity(benchmark::oNSquared)
    ->Unit(benchmark::kMillisecond);

// --- Deleting from the middle -------------------------------------------------------------------

// One iteration deletes the middle point of an N-point series and appends
// one point at the end, so every delete sees N points. The append writes at
// the end of arrays whose capacity is already there (constant time); the
// delete moves the upper half of every list.
void Delete_Middle(benchmark::State& state)
{
    const int N = static_cast<int>(state.range(0));
    const std::vector<double> Y = RandomValues(N, 31, 0.0, 1000.0);
    TChartSeries Series;
    Series.BeginUpdate();
    for (int I = 0; I < N; ++I)
        Series.AddXY(I, Y[static_cast<size_t>(I)]);
    Series.EndUpdate();
    double NextX = N;
    for (auto _ : state) {
        Series.Delete(N / 2);
        Series.AddXY(NextX, NextX);
        NextX += 1.0;
    }
    if (Series.Count() != N || !IsAscending(*Series.XValues()))
        state.SkipWithError("the series lost its size or its X order");
    state.SetComplexityN(N);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(Delete_Middle)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// --- Sorting by Y -------------------------------------------------------------------------------

// N points in X order with random Y, then every point sorted by Y: the
// comparisons read the Y list, each exchange goes through SwapValueIndex
// (both lists, colours, labels). The refill is not timed.
void Sort_ByY(benchmark::State& state)
{
    const int N = static_cast<int>(state.range(0));
    const std::vector<double> Y = RandomValues(N, 37, 0.0, 1000.0);
    TChartSeries Series;
    for (auto _ : state) {
        state.PauseTiming();
        Series.Clear();
        Series.YValues()->SetOrder(loNone);
        Series.BeginUpdate();
        for (int I = 0; I < N; ++I)
            Series.AddXY(I, Y[static_cast<size_t>(I)]);
        Series.EndUpdate();
        Series.YValues()->SetOrder(loAscending);
        state.ResumeTiming();
        Series.YValues()->Sort();
        benchmark::DoNotOptimize(Series.YValues()->Data());
    }
    if (Series.Count() != N || !IsAscending(*Series.YValues()))
        state.SkipWithError("the Y list is not in order after sorting");
    state.SetComplexityN(N);
    state.SetItemsProcessed(state.iterations() * N);
}
BENCHMARK(Sort_ByY)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Complexity(benchmark::oNLogN)
    ->Unit(benchmark::kMillisecond);

// --- Axes --------------------------------------------------------------------------------------

// The plainest chart: no walls, titles or legend.
class TBareChart : public lp::TCustomAxisPanel {
public:
    bool IsFreeSeriesColor(lp::TColor, bool, const lp::TChartSeries*) const override { return true; }
    int CalcWallSize(const lp::TChartAxis*) const override { return 0; }

protected:
    void CalcWallsRect() override {}
    void DrawTitlesAndLegend(bool) override {}
    void DrawWalls() override {}
};

// Labelling and drawing the four side axes of a full-HD chart: their
// ranges, the space they take, the label steps and texts, ticks and grid.
void Axes_LabelAndDraw_1920x1080(benchmark::State& state)
{
    TBareChart Chart;
    Chart.SetBounds(0, 0, 1920, 1080);
    Chart.SetView3D(false);
    auto* Bottom = new lp::TChartSeries(&Chart);
    auto* Top = new lp::TChartSeries(&Chart);
    Chart.AddSeries(Bottom);
    Chart.AddSeries(Top);
    Top->SetHorizAxis(lp::aTopAxis);
    Top->SetVertAxis(lp::aRightAxis);
    for (int I = 0; I < 1000; ++I) {
        Bottom->AddXY(I * 0.37, std::sin(I * 0.01) * 1234.5);
        Top->AddXY(40000 + I * 1.5, I * I * 0.001);
    }
    lp::TBitmap Target(1920, 1080);
    Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), lp::clWhite, false, Chart.GetRectangle());
    const lp::TRect Full{40, 40, 1880, 1040};
    lp::TChartAxis* Axes[] = {Chart.BottomAxis(), Chart.TopAxis(), Chart.LeftAxis(), Chart.RightAxis()};
    for (auto _ : state) {
        Chart.SetChartRectangle(Full);
        for (lp::TChartAxis* Axis : Axes) {
            Axis->SetPaintVisible(true);
            Axis->InternalCalcPositions();
            Axis->AdjustMaxMin();
            lp::TRect Space = Full;
            Axis->CalcAxisSpace(Space, true);
        }
        for (lp::TChartAxis* Axis : Axes)
            Axis->DrawAxis(true);
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(Axes_LabelAndDraw_1920x1080)->Iterations(1000)->Unit(benchmark::kMillisecond);

// N points of a series drawn on a full-HD bitmap through the axis panel,
// side by side with the floor: the same points, mapped beforehand, drawn by
// one plain QPainter::drawPolyline on a QImage of the same size. Both are
// timed in every iteration; the counters give each time and their ratio
// (series over floor).
struct TPolylineFloor {
    double SeriesSeconds = 0;
    double FloorSeconds = 0;

    void Report(benchmark::State& state, int N) const
    {
        const double Iterations = static_cast<double>(state.iterations());
        state.counters["series_ms"] = SeriesSeconds / Iterations * 1000;
        state.counters["floor_ms"] = FloorSeconds / Iterations * 1000;
        state.counters["ratio"] = FloorSeconds > 0 ? SeriesSeconds / FloorSeconds : 0;
        state.SetItemsProcessed(state.iterations() * N);
    }
};

// Y values of the benchmarks: a sine with uniform noise, or a random walk.
std::vector<double> NoisySine(int N)
{
    const std::vector<double> Noise = RandomValues(N, 29, -50.0, 50.0);
    std::vector<double> Y(static_cast<size_t>(N));
    for (int I = 0; I < N; ++I)
        Y[static_cast<size_t>(I)] = 500 + 300 * std::sin(I * 0.00002) + Noise[static_cast<size_t>(I)];
    return Y;
}

std::vector<double> RandomWalk(int N)
{
    const std::vector<double> Steps = RandomValues(N, 47, -1.0, 1.0);
    std::vector<double> Y(static_cast<size_t>(N));
    double Value = 0;
    for (int I = 0; I < N; ++I)
        Y[static_cast<size_t>(I)] = Value += Steps[static_cast<size_t>(I)];
    return Y;
}

template <class TSeries>
void SeriesVsRawPolyline(benchmark::State& state, const std::vector<double>& Y, bool DrawAll = true)
{
    const int N = static_cast<int>(Y.size());
    const lp::TRect Rect{40, 40, 1880, 1040};
    TBareChart Chart;
    Chart.SetBounds(0, 0, 1920, 1080);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    auto* Series = new TSeries(&Chart);
    Chart.AddSeries(Series);
    Series->SetSeriesColor(lp::clBlue);
    if constexpr (std::is_same_v<TSeries, lp::TFastLineSeries>)
        Series->SetDrawAllPoints(DrawAll);
    Series->BeginUpdate();
    for (int I = 0; I < N; ++I)
        Series->AddXY(I, Y[static_cast<size_t>(I)]);
    Series->EndUpdate();
    const auto [Low, High] = std::minmax_element(Y.begin(), Y.end());
    Chart.BottomAxis()->SetMinMax(0, N - 1);
    Chart.LeftAxis()->SetMinMax(*Low, *High);
    Chart.SetChartRectangle(Rect);
    Chart.BottomAxis()->SetPixelSpan(Rect.Left, Rect.Right);
    Chart.LeftAxis()->SetPixelSpan(Rect.Top, Rect.Bottom);
    Chart.BottomAxis()->AdjustMaxMin();
    Chart.LeftAxis()->AdjustMaxMin();
    lp::TBitmap Target(1920, 1080);
    Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), lp::clWhite, false, Chart.GetRectangle());

    // The floor draws the very pixels the axes give.
    QPolygon Raw(N);
    for (int I = 0; I < N; ++I)
        Raw[I] = QPoint(Chart.BottomAxis()->CalcPosValue(I), Chart.LeftAxis()->CalcPosValue(Y[static_cast<size_t>(I)]));
    QImage Image(1920, 1080, QImage::Format_RGB32);
    Image.fill(Qt::white);

    using Clock = std::chrono::steady_clock;
    TPolylineFloor Floor;
    for (auto _ : state) {
        const auto T0 = Clock::now();
        Series->CalcFirstLastVisibleIndex();
        Series->DrawAllValues();
        Target.Image(); // finishes the painter: the drawing is done
        const auto T1 = Clock::now();
        {
            QPainter Painter(&Image);
            QPen Pen(Qt::blue, 1);
            Pen.setCosmetic(true);
            Painter.setPen(Pen);
            Painter.drawPolyline(Raw);
        }
        const auto T2 = Clock::now();
        const double Series = std::chrono::duration<double>(T1 - T0).count();
        Floor.SeriesSeconds += Series;
        Floor.FloorSeconds += std::chrono::duration<double>(T2 - T1).count();
        state.SetIterationTime(Series);
    }
    Floor.Report(state, N);
}

// A fast line on a full chart, 1M sine-and-noise points, every point drawn.
void FastLine_1M_vs_RawPolyline_1920x1080(benchmark::State& state)
{
    SeriesVsRawPolyline<lp::TFastLineSeries>(state, NoisySine(1000000));
}
BENCHMARK(FastLine_1M_vs_RawPolyline_1920x1080)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// A random walk with X increasing: every point drawn (ratio <= 1.3 asked),
// and reduced by pixel column (DrawAllPoints off: <= 0.06 asked at 1M, the
// pixels still those of every point).
void FastLine_RandomWalk_DrawAll(benchmark::State& state)
{
    SeriesVsRawPolyline<lp::TFastLineSeries>(state, RandomWalk(static_cast<int>(state.range(0))), true);
}
BENCHMARK(FastLine_RandomWalk_DrawAll)->Arg(1000000)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void FastLine_RandomWalk_Reduced(benchmark::State& state)
{
    SeriesVsRawPolyline<lp::TFastLineSeries>(state, RandomWalk(static_cast<int>(state.range(0))), false);
}
BENCHMARK(FastLine_RandomWalk_Reduced)
    ->Arg(1000000)
    ->Arg(4000000)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// A line series (pointer off), 100k points (ratio <= 1.3 asked).
void Line_100k_vs_RawPolyline_1920x1080(benchmark::State& state)
{
    SeriesVsRawPolyline<lp::TLineSeries>(state, NoisySine(100000));
}
BENCHMARK(Line_100k_vs_RawPolyline_1920x1080)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// --- Map series ----------------------------------------------------------------------------------

// A map of 10,000 polygons of 10 points each (100,000 points): a 100 x 100
// grid of slightly irregular decagons over axes 0 .. 100, each polygon's Z
// its random value, on a full-HD chart with the axes placed as a paint would.
struct TMapBench {
    static constexpr int Side = 100;
    static constexpr int Corners = 10;
    TBareChart Chart;
    lp::TMapSeries* Map = nullptr;
    lp::TBitmap Target{1920, 1080};
    const lp::TRect Rect{40, 40, 1880, 1040};

    TMapBench()
    {
        Chart.SetBounds(0, 0, 1920, 1080);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Map = new lp::TMapSeries(&Chart);
        Chart.AddSeries(Map);
        Fill(*Map);
        Chart.BottomAxis()->SetMinMax(0, Side);
        Chart.LeftAxis()->SetMinMax(0, Side);
        Chart.SetChartRectangle(Rect);
        Chart.BottomAxis()->SetPixelSpan(Rect.Left, Rect.Right);
        Chart.LeftAxis()->SetPixelSpan(Rect.Top, Rect.Bottom);
        Chart.BottomAxis()->AdjustMaxMin();
        Chart.LeftAxis()->AdjustMaxMin();
        Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), lp::clWhite, false, Chart.GetRectangle());
    }

    static void Fill(lp::TMapSeries& Map)
    {
        const std::vector<double> Z = RandomValues(Side * Side, 31, 0.0, 1.0);
        const std::vector<double> Radius = RandomValues(Side * Side * Corners, 37, 0.35, 0.6);
        Map.BeginUpdate();
        for (int Row = 0; Row < Side; ++Row)
            for (int Col = 0; Col < Side; ++Col) {
                const int Index = Row * Side + Col;
                lp::TPlotPolygon* P = Map.Shapes()->Add();
                for (int K = 0; K < Corners; ++K) {
                    const double A = K * 2 * 3.141592653589793 / Corners;
                    const double R = Radius[static_cast<size_t>(Index * Corners + K)];
                    P->AddXY(Col + 0.5 + R * std::cos(A), Row + 0.5 + R * std::sin(A));
                }
                Map.ZValues()->SetValue(Index, Z[static_cast<size_t>(Index)]);
            }
        Map.EndUpdate();
    }
};

// Building the map: 10,000 polygons with their outline series.
void Map_Build_10k_Polygons(benchmark::State& state)
{
    for (auto _ : state) {
        lp::TMapSeries Map;
        TMapBench::Fill(Map);
        benchmark::DoNotOptimize(Map.Count());
    }
    state.SetItemsProcessed(state.iterations() * TMapBench::Side * TMapBench::Side);
}
BENCHMARK(Map_Build_10k_Polygons)->Iterations(5)->Unit(benchmark::kMillisecond);

// Drawing every polygon (colour range by Z, pen and solid brush) into a
// full-HD bitmap.
void Map_Draw_10k_Polygons_1920x1080(benchmark::State& state)
{
    TMapBench B;
    for (auto _ : state) {
        B.Map->DoBeforeDrawChart();
        B.Map->CalcFirstLastVisibleIndex();
        B.Map->DrawAllValues();
    }
    if (B.Map->Count() != TMapBench::Side * TMapBench::Side)
        state.SkipWithError("the map does not hold every polygon");
    state.SetItemsProcessed(state.iterations() * B.Map->Count());
}
BENCHMARK(Map_Draw_10k_Polygons_1920x1080)->Iterations(20)->Unit(benchmark::kMillisecond);

// The map drawn against its floor: the same polygons, captured from one
// draw, filled and outlined by plain QPainter::drawPolygon (ratio <= 1.3
// asked).
void Map_Draw_10k_Polygons_vs_Floor(benchmark::State& state)
{
    TMapBench B;
    lp::bench::TFloorCaptureDC Capture(1920, 1080);
    lp::TCanvas CaptureCanvas(&Capture);
    B.Chart.Canvas().InitWindow(&CaptureCanvas, B.Chart.View3DOptions(), lp::clWhite, false, B.Chart.GetRectangle());
    B.Map->DoBeforeDrawChart();
    B.Map->CalcFirstLastVisibleIndex();
    B.Map->DrawAllValues();
    B.Chart.Canvas().InitWindow(&B.Target.Canvas(), B.Chart.View3DOptions(), lp::clWhite, false,
                                B.Chart.GetRectangle());
    TPolylineFloor Floor;
    lp::bench::TimeAgainstFloor(
        state,
        [&] {
            B.Map->DoBeforeDrawChart();
            B.Map->CalcFirstLastVisibleIndex();
            B.Map->DrawAllValues();
            B.Target.Image();
        },
        Capture, Floor.SeriesSeconds, Floor.FloorSeconds);
    state.SetLabel(Capture.Summary().toStdString());
    Floor.Report(state, B.Map->Count());
}
BENCHMARK(Map_Draw_10k_Polygons_vs_Floor)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Clicked at 1,000 pixels spread over the chart rectangle: each call tries
// the polygons from the last to the first until one holds the pixel.
void Map_Clicked_10k_Polygons_1920x1080(benchmark::State& state)
{
    TMapBench B;
    const std::vector<double> X = RandomValues(1000, 41, B.Rect.Left, B.Rect.Right);
    const std::vector<double> Y = RandomValues(1000, 43, B.Rect.Top, B.Rect.Bottom);
    int Hits = 0;
    for (auto _ : state) {
        Hits = 0;
        for (size_t I = 0; I < X.size(); ++I)
            Hits += B.Map->Clicked(static_cast<int>(X[I]), static_cast<int>(Y[I])) >= 0 ? 1 : 0;
        benchmark::DoNotOptimize(Hits);
    }
    state.counters["hits_of_1000"] = Hits;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(X.size()));
}
BENCHMARK(Map_Clicked_10k_Polygons_1920x1080)->Iterations(5)->Unit(benchmark::kMillisecond);

// --- Whole charts against their floor ---------------------------------------------------------------

// A chart (full HD unless a size is given) painted onto a bitmap, timed
// against the floor: every primitive of one paint, captured, replayed
// straight on QPainter.
void ChartVsFloor(benchmark::State& state, lp::TChart& Chart, int Width = 1920, int Height = 1080)
{
    Chart.SetBounds(0, 0, Width, Height);
    Chart.SetBufferedDisplay(false);
    lp::bench::TFloorCaptureDC Capture(Width, Height);
    lp::TCanvas CaptureCanvas(&Capture);
    Chart.DrawToCanvas(&CaptureCanvas, Chart.GetRectangle());
    lp::TBitmap Target(Width, Height);
    TPolylineFloor Floor;
    lp::bench::TimeAgainstFloor(
        state,
        [&] {
            Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
            Target.Image();
        },
        Capture, Floor.SeriesSeconds, Floor.FloorSeconds);
    state.SetLabel(Capture.Summary().toStdString());
    Floor.Report(state, 1);
}

// A chart of two dimensions without legend: four axes with labels, ticks and
// grid, the back wall and the background. The one series draws nothing (its
// line is off) but gives the axes their ranges (ratio <= 1.5 asked).
void ChartFrame(benchmark::State& state, bool Grid)
{
    lp::TChart Chart;
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    auto* Series = new lp::TFastLineSeries(&Chart);
    Chart.AddSeries(Series);
    Series->SetDrawLine(false);
    for (int I = 0; I < 1000; ++I)
        Series->AddXY(I * 0.37, std::sin(I * 0.01) * 1234.5);
    Chart.TopAxis()->SetVisible(true);
    Chart.RightAxis()->SetVisible(true);
    if (!Grid)
        for (lp::TChartAxis* Axis : {Chart.BottomAxis(), Chart.TopAxis(), Chart.LeftAxis(), Chart.RightAxis()})
            Axis->Grid()->SetVisible(false);
    ChartVsFloor(state, Chart);
}

void ChartFrame_vs_Floor(benchmark::State& state)
{
    ChartFrame(state, true);
}
BENCHMARK(ChartFrame_vs_Floor)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// The same frame with the grid of every axis hidden.
void ChartFrame_GridOff_vs_Floor(benchmark::State& state)
{
    ChartFrame(state, false);
}
BENCHMARK(ChartFrame_GridOff_vs_Floor)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// Three fast lines of 50,000 random-walk points each, reduced by pixel
// column (DrawAllPoints off), with the chart's default axes, labels and
// grid: the whole paint against the replay of what it drew.
void FastLines_3x50k_WithAxes_vs_Floor(benchmark::State& state)
{
    lp::TChart Chart;
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    constexpr int Points = 50000;
    const std::vector<double> Walk = RandomWalk(3 * Points);
    for (int S = 0; S < 3; ++S) {
        auto* Line = new lp::TFastLineSeries(&Chart);
        Chart.AddSeries(Line);
        Line->SetDrawAllPoints(false);
        Line->BeginUpdate();
        for (int I = 0; I < Points; ++I)
            Line->AddXY(I, Walk[static_cast<size_t>(S * Points + I)]);
        Line->EndUpdate();
    }
    ChartVsFloor(state, Chart);
}
BENCHMARK(FastLines_3x50k_WithAxes_vs_Floor)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

// Ten bar series of 100 bars each, marks hidden, with axes and labels
// (ratio <= 1.5 asked).
void Bars_10x100_vs_Floor(benchmark::State& state)
{
    lp::TChart Chart;
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    const std::vector<double> Values = RandomValues(1000, 53, 10.0, 1000.0);
    for (int S = 0; S < 10; ++S) {
        auto* Bars = new lp::TBarSeries(&Chart);
        Chart.AddSeries(Bars);
        Bars->Marks()->SetVisible(false);
        for (int I = 0; I < 100; ++I)
            Bars->Add(Values[static_cast<size_t>(S * 100 + I)]);
    }
    ChartVsFloor(state, Chart);
}
BENCHMARK(Bars_10x100_vs_Floor)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);

// --- A 3-D box far larger than the window ----------------------------------------------------------

// One paint into a bitmap of a 3-D chart of 300 x 250 with five bars,
// perspective 100, in a view whose box reaches far past the window: the
// clip of the series is built from the box's projected corners.
void SetUpFarBoxChart(lp::TChart& Chart, int Zoom, int Rotation, int Elevation)
{
    Chart.SetBounds(0, 0, 300, 250);
    Chart.SetView3D(true);
    lp::TView3DOptions& View = *Chart.View3DOptions();
    View.SetOrthogonal(false);
    View.SetZoom(Zoom);
    View.SetPerspective(100);
    View.SetRotation(Rotation);
    View.SetElevation(Elevation);
    auto* Bars = new lp::TBarSeries(&Chart);
    Chart.AddSeries(Bars);
    for (int I = 1; I <= 5; ++I)
        Bars->Add(I);
}

// The first paint of a new chart, as when it is first shown.
void Chart3D_FarBox(benchmark::State& state, int Zoom, int Rotation, int Elevation)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto Chart = std::make_unique<lp::TChart>();
        SetUpFarBoxChart(*Chart, Zoom, Rotation, Elevation);
        state.ResumeTiming();
        const std::unique_ptr<lp::TBitmap> Picture = Chart->CreateBitmap(lp::clWhite, Chart->GetRectangle());
        benchmark::DoNotOptimize(Picture->Image().constBits());
        state.PauseTiming();
        Chart.reset();
        state.ResumeTiming();
    }
}

// Zoom 1000 %, perspective 100, the default turn (345, 345).
void Chart3D_Zoom1000_Perspective100(benchmark::State& state)
{
    Chart3D_FarBox(state, 1000, 345, 345);
}
BENCHMARK(Chart3D_Zoom1000_Perspective100)->Unit(benchmark::kMillisecond);

// Zoom 500 %, perspective 100, turned to rotation 300 and elevation 15: the
// box's far corners come close to the eye and project thousands of times
// the window away.
void Chart3D_Zoom500_Perspective100_Turned(benchmark::State& state)
{
    Chart3D_FarBox(state, 500, 300, 15);
}
BENCHMARK(Chart3D_Zoom500_Perspective100_Turned)->Unit(benchmark::kMillisecond);

// The same view painted again and again, against its floor.
void Chart3D_Zoom500_Perspective100_Turned_vs_Floor(benchmark::State& state)
{
    lp::TChart Chart;
    SetUpFarBoxChart(Chart, 500, 300, 15);
    ChartVsFloor(state, Chart, 300, 250);
}
BENCHMARK(Chart3D_Zoom500_Perspective100_Turned_vs_Floor)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace
