// The chart extensions against their floors: a 200 × 200 surface painted into
// a full-HD bitmap (floor: the same quads replayed on plain QPainter), the
// contour lines of a 500 × 500 grid at 10 levels (floor: one pass computing
// every cell's triangle cases), the triangulation of 100,000 scattered points
// (floor: sorting them by distance from their centre), a 1000 × 1000 colour
// grid painted into a full-HD bitmap (floor: the same cell picture, already
// made, stretched onto the bitmap by QPainter), sparse colour grids in a
// turned 3-D view (floor: their occupied cells filled as projected quads on
// plain QPainter) and the smoothing of 100,000 points.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/PlotExtensions.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"
#include "chart/extensions/functions/PlotSmoothing.h"
#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "chart/extensions/grid3d/PlotContourSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/grid3d/PlotTriangulation.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/graphics/Bitmap.h"

#include "PainterFloor.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <set>
#include <vector>

namespace {

double Terrain(int X, int Z)
{
    return std::sin(X * 0.05) * std::cos(Z * 0.04) * 100 + X * 0.2;
}

// A flat full-HD chart over (1 .. Side) × values, series already added.
void PlaceAxes(lp::TChart& Chart, double XMax, double YMin, double YMax)
{
    const lp::TRect Rect{40, 40, 1880, 1040};
    Chart.SetBounds(0, 0, 1920, 1080);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.SetChartRectangle(Rect);
    Chart.BottomAxis()->SetMinMax(1, XMax);
    Chart.LeftAxis()->SetMinMax(YMin, YMax);
    Chart.BottomAxis()->SetPixelSpan(Rect.Left, Rect.Right);
    Chart.LeftAxis()->SetPixelSpan(Rect.Top, Rect.Bottom);
    Chart.BottomAxis()->AdjustMaxMin();
    Chart.LeftAxis()->AdjustMaxMin();
}

struct TTimes {
    double SeriesSeconds = 0;
    double FloorSeconds = 0;
    void Report(benchmark::State& state) const
    {
        const double Iterations = static_cast<double>(state.iterations());
        state.counters["series_ms"] = SeriesSeconds / Iterations * 1000;
        state.counters["floor_ms"] = FloorSeconds / Iterations * 1000;
        state.counters["ratio"] = FloorSeconds > 0 ? SeriesSeconds / FloorSeconds : 0;
    }
    // One iteration: the series' work, then the floor's; the series' time is
    // the iteration's.
    template <class SeriesWork, class FloorWork>
    void Time(benchmark::State& state, SeriesWork&& Series, FloorWork&& Floor)
    {
        using Clock = std::chrono::steady_clock;
        const auto T0 = Clock::now();
        Series();
        const auto T1 = Clock::now();
        Floor();
        const auto T2 = Clock::now();
        SeriesSeconds += std::chrono::duration<double>(T1 - T0).count();
        FloorSeconds += std::chrono::duration<double>(T2 - T1).count();
        state.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
    }
};

// 200 × 200 nodes (39,601 cells, colour range) against the captured quads.
void Surface_200x200_vs_Floor(benchmark::State& state)
{
    constexpr int Side = 200;
    lp::TChart Chart;
    auto* Surface = new lp::TSurfaceSeries(&Chart);
    Chart.AddSeries(Surface);
    Surface->OnGetYValue = [](lp::TChartSeries*, int X, int Z) { return Terrain(X, Z) + Z * 0.5; };
    Surface->CreateValues(Side, Side);
    PlaceAxes(Chart, Side, Surface->YValues()->MinValue(), Surface->YValues()->MaxValue());
    lp::bench::TFloorCaptureDC Capture(1920, 1080);
    lp::TCanvas CaptureCanvas(&Capture);
    lp::TBitmap Target(1920, 1080);
    Chart.Canvas().InitWindow(&CaptureCanvas, Chart.View3DOptions(), lp::clWhite, false, Chart.GetRectangle());
    Surface->DoBeforeDrawChart();
    Surface->DrawAllValues();
    Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), lp::clWhite, false, Chart.GetRectangle());
    TTimes Times;
    lp::bench::TimeAgainstFloor(
        state,
        [&] {
            Surface->DoBeforeDrawChart();
            Surface->DrawAllValues();
            Target.Image();
        },
        Capture, Times.SeriesSeconds, Times.FloorSeconds);
    state.SetLabel(Capture.Summary().toStdString());
    Times.Report(state);
}
BENCHMARK(Surface_200x200_vs_Floor)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The floor of tracing: every cell's four triangle cases at every level,
// straight from an array (no corners looked up, no segments made).
long long CaseFloor(const std::vector<double>& Grid, int Side, const std::vector<double>& Levels)
{
    long long Sum = 0;
    const auto Sign = [](double H) { return H > 0 ? 2 : (H < 0 ? 0 : 1); };
    for (int Z = 0; Z + 1 < Side; ++Z)
        for (int X = 0; X + 1 < Side; ++X) {
            const double H1 = Grid[static_cast<size_t>(Z * Side + X)];
            const double H2 = Grid[static_cast<size_t>(Z * Side + X + 1)];
            const double H3 = Grid[static_cast<size_t>((Z + 1) * Side + X + 1)];
            const double H4 = Grid[static_cast<size_t>((Z + 1) * Side + X)];
            const double H0 = (H1 + H2 + H3 + H4) * 0.25;
            for (double V : Levels) {
                const int S0 = Sign(H0 - V);
                Sum += Sign(H1 - V) * 9 + S0 * 3 + Sign(H2 - V);
                Sum += Sign(H2 - V) * 9 + S0 * 3 + Sign(H3 - V);
                Sum += Sign(H3 - V) * 9 + S0 * 3 + Sign(H4 - V);
                Sum += Sign(H4 - V) * 9 + S0 * 3 + Sign(H1 - V);
            }
        }
    return Sum;
}

void Contour_500x500_10_Levels_vs_Floor(benchmark::State& state)
{
    constexpr int Side = 500;
    lp::TContourSeries Contour;
    Contour.OnGetYValue = [](lp::TChartSeries*, int X, int Z) { return Terrain(X, Z); };
    Contour.CreateValues(Side, Side);
    Contour.FillGridIndex(0);
    Contour.CreateAutoLevels();
    std::vector<double> Grid(static_cast<size_t>(Side * Side));
    for (int I = 0; I < Side * Side; ++I)
        Grid[static_cast<size_t>(I)] = Contour.YValues()->Value(I);
    std::vector<double> Levels;
    for (int I = 0; I < Contour.Levels()->Count(); ++I)
        Levels.push_back(Contour.Levels()->Items(I)->UpToValue());
    TTimes Times;
    size_t Lines = 0;
    for (auto _ : state)
        Times.Time(state, [&] { Contour.CreateLines(); },
                   [&] { benchmark::DoNotOptimize(CaseFloor(Grid, Side, Levels)); });
    for (int I = 0; I < Contour.Levels()->Count(); ++I)
        Lines += Contour.Levels()->Items(I)->Lines().size();
    state.counters["lines"] = static_cast<double>(Lines);
    Times.Report(state);
}
BENCHMARK(Contour_500x500_10_Levels_vs_Floor)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// 100,000 uniform random points; the floor sorts the same points by their
// distance from the centre of their extent, which the triangulation's own
// ordering step has to do as well.
void Triangulation_100k_Points_vs_Sort(benchmark::State& state)
{
    constexpr int Count = 100000;
    std::mt19937 Random(35);
    std::uniform_real_distribution<double> Unit(0, 1000);
    std::vector<double> X(Count), Z(Count);
    for (int I = 0; I < Count; ++I) {
        X[static_cast<size_t>(I)] = Unit(Random);
        Z[static_cast<size_t>(I)] = Unit(Random);
    }
    const auto [MinX, MaxX] = std::minmax_element(X.begin(), X.end());
    const auto [MinZ, MaxZ] = std::minmax_element(Z.begin(), Z.end());
    const double MidX = (*MinX + *MaxX) / 2;
    const double MidZ = (*MinZ + *MaxZ) / 2;
    TTimes Times;
    size_t Triangles = 0;
    for (auto _ : state)
        Times.Time(
            state, [&] { Triangles = lp::Triangulate(X, Z).Triangles.size(); },
            [&] {
                std::vector<std::pair<double, int>> ByDistance(Count);
                for (int I = 0; I < Count; ++I) {
                    const double DX = X[static_cast<size_t>(I)] - MidX;
                    const double DZ = Z[static_cast<size_t>(I)] - MidZ;
                    ByDistance[static_cast<size_t>(I)] = {DX * DX + DZ * DZ, I};
                }
                std::sort(ByDistance.begin(), ByDistance.end());
                benchmark::DoNotOptimize(ByDistance.data());
            });
    state.counters["triangles"] = static_cast<double>(Triangles);
    Times.Report(state);
}
BENCHMARK(Triangulation_100k_Points_vs_Sort)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// One paint of a colour grid's cells into Target, as the chart's paint runs it.
void PaintColorGrid(lp::TColorGridSeries& Grid, lp::TBitmap& Target)
{
    Grid.DoBeforeDrawChart();
    Grid.DrawAllValues();
    benchmark::DoNotOptimize(Target.Image().constBits());
}

// 1,000,000 cells (colour range) against drawing the finished cell picture.
void ColorGrid_1000x1000_vs_Floor(benchmark::State& state)
{
    constexpr int Side = 1000;
    lp::TChart Chart;
    auto* Grid = new lp::TColorGridSeries(&Chart);
    Chart.AddSeries(Grid);
    Grid->OnGetYValue = [](lp::TChartSeries*, int X, int Z) { return Terrain(X, Z); };
    Grid->CreateValues(Side, Side);
    Grid->Pen()->SetVisible(false);
    PlaceAxes(Chart, Side + 1, 1, Side + 1);
    lp::TBitmap Target(1920, 1080);
    Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), lp::clWhite, false, Chart.GetRectangle());
    Grid->DoBeforeDrawChart();
    Grid->DrawAllValues();
    const QImage Cells = Grid->Bitmap().Image().convertToFormat(QImage::Format_ARGB32);
    const QRect Cover = lp::ToQRect(Grid->VisibleCells().Target);
    QImage Floor(1920, 1080, QImage::Format_RGB32);
    TTimes Times;
    for (auto _ : state)
        Times.Time(state, [&] { PaintColorGrid(*Grid, Target); }, [&] {
            QPainter Painter(&Floor);
            Painter.drawImage(QRectF(Cover), Cells, QRectF(Cells.rect()));
            Painter.end();
            benchmark::DoNotOptimize(Floor.constBits());
        });
    if (Grid->Bitmap().Width() != Side || Grid->Bitmap().Height() != Side)
        state.SkipWithError("the cell picture is not one pixel per cell");
    Times.Report(state);
}
BENCHMARK(ColorGrid_1000x1000_vs_Floor)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// --- Sparse colour grids in a turned 3-D view -------------------------------------------------------

struct TGridPoint {
    double X;
    double Y;
    double Z;
};

// One occupied cell as the floor fills it: its four corners projected at
// the grid's depth, and its colour.
struct TCellQuad {
    QPolygon Corners;
    QColor Color;
};

// A full-HD chart holding a colour grid of Points and a donut (which turns
// the view 3-D and off orthogonal, as when a user adds one), painted once
// onto Target so that the axes and the projection are laid out; the chart's
// canvas is then bound to Target.
lp::TColorGridSeries* SetUpTurnedColorGrid(lp::TChart& Chart, lp::TBitmap& Target,
                                           const std::vector<TGridPoint>& Points, bool DateTimeX)
{
    Chart.SetBounds(0, 0, 1920, 1080);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    auto* Grid = new lp::TColorGridSeries(&Chart);
    Chart.AddSeries(Grid);
    Grid->XValues()->SetDateTime(DateTimeX);
    Grid->BeginUpdate();
    for (const TGridPoint& P : Points)
        Grid->AddXYZ(P.X, P.Y, P.Z);
    Grid->EndUpdate();
    auto* Donut = new lp::TDonutSeries(&Chart);
    Chart.AddSeries(Donut);
    for (int I = 1; I <= 5; ++I)
        Donut->Add(I);
    Chart.SetView3D(true);
    Chart.View3DOptions()->SetOrthogonal(false);
    Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
    // The paint let the canvas go; bind it again, keeping the projection.
    Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), lp::clWhite, true, Chart.GetRectangle());
    return Grid;
}

// The cells that hold points (the last point of a node wins, as in the
// grid's index), projected as the paint laid them out.
std::vector<TCellQuad> OccupiedCellQuads(lp::TChart& Chart, lp::TColorGridSeries& Grid)
{
    std::vector<TCellQuad> Quads;
    std::set<std::pair<double, double>> Nodes;
    const int Z = Grid.DepthStart();
    for (int I = Grid.Count() - 1; I >= 0; --I) {
        const double X = std::nearbyint(Grid.XValues()->Value(I));
        const double V = std::nearbyint(Grid.ZValues()->Value(I));
        if (!Nodes.insert({X, V}).second)
            continue;
        const int Left = Grid.CalcXPosValue(X);
        const int Right = Grid.CalcXPosValue(X + 1);
        const int Top = Grid.CalcYPosValue(V + 1);
        const int Bottom = Grid.CalcYPosValue(V);
        QPolygon Corners;
        for (const lp::TPoint P : {Chart.Canvas().Calculate3DPosition(Left, Top, Z),
                                   Chart.Canvas().Calculate3DPosition(Right, Top, Z),
                                   Chart.Canvas().Calculate3DPosition(Right, Bottom, Z),
                                   Chart.Canvas().Calculate3DPosition(Left, Bottom, Z)})
            Corners << QPoint(P.X, P.Y);
        const auto C = static_cast<uint32_t>(lp::ColorToRGB(Grid.GetValueColor(I)));
        Quads.push_back({Corners, QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF)});
    }
    return Quads;
}

// The grid's paint (index, cells, grid lines) against filling its occupied
// cells straight on QPainter; also reports one whole paint of the chart.
void TurnedColorGridVsFloor(benchmark::State& state, const std::vector<TGridPoint>& Points, bool DateTimeX)
{
    lp::TChart Chart;
    lp::TBitmap Target(1920, 1080);
    lp::TColorGridSeries* Grid = SetUpTurnedColorGrid(Chart, Target, Points, DateTimeX);
    const std::vector<TCellQuad> Quads = OccupiedCellQuads(Chart, *Grid);
    QImage Floor(1920, 1080, QImage::Format_RGB32);
    Floor.fill(Qt::white);
    using Clock = std::chrono::steady_clock;
    TTimes Times;
    for (auto _ : state)
        Times.Time(state, [&] { PaintColorGrid(*Grid, Target); }, [&] {
            QPainter Painter(&Floor);
            Painter.setPen(Qt::NoPen);
            for (const TCellQuad& Quad : Quads) {
                Painter.setBrush(Quad.Color);
                Painter.drawPolygon(Quad.Corners);
            }
            Painter.end();
            benchmark::DoNotOptimize(Floor.constBits());
        });
    // A whole paint of the chart (grid, donut, walls, axes), as the user
    // waits for it.
    constexpr int ChartPaints = 3;
    const auto C0 = Clock::now();
    for (int I = 0; I < ChartPaints; ++I)
        Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
    state.counters["chart_ms"] = std::chrono::duration<double, std::milli>(Clock::now() - C0).count() / ChartPaints;
    state.counters["occupied_cells"] = static_cast<double>(Quads.size());
    state.counters["index_nodes"] = static_cast<double>(Grid->GridColumns()) * Grid->GridRows();
    Times.Report(state);
}

// 2,950 points scattered over 1000 x 1000 values: about a million nodes,
// 0.3 % of them held.
void ColorGrid3D_2950_Scattered_vs_Floor(benchmark::State& state)
{
    std::mt19937 Random(11);
    std::uniform_real_distribution<double> Position(0, 1000);
    std::uniform_real_distribution<double> Value(0, 100);
    std::vector<TGridPoint> Points;
    for (int I = 0; I < 2950; ++I)
        Points.push_back({Position(Random), Value(Random), Position(Random)});
    TurnedColorGridVsFloor(state, Points, false);
}
BENCHMARK(ColorGrid3D_2950_Scattered_vs_Floor)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// 17 points whose X are date-times (days, with times of day) over 26
// years and whose Z run over 0 .. 200: about 1.9 million nodes, 17 held.
void ColorGrid3D_17_DateTimeX_vs_Floor(benchmark::State& state)
{
    std::mt19937 Random(13);
    std::uniform_real_distribution<double> Days(0, 9500);
    std::uniform_real_distribution<double> Row(0, 200);
    std::uniform_real_distribution<double> Value(0, 100);
    const double Start = lp::EncodeDateTime(2000, 1, 1, 0, 0, 0, 0);
    std::vector<TGridPoint> Points;
    for (int I = 0; I < 17; ++I)
        Points.push_back({Start + Days(Random), Value(Random), Row(Random)});
    TurnedColorGridVsFloor(state, Points, true);
}
BENCHMARK(ColorGrid3D_17_DateTimeX_vs_Floor)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Smoothing 100,000 source points (interpolating: the tridiagonal solve over
// every point).
void Smoothing_100k_Points(benchmark::State& state)
{
    lp::TChart Chart;
    auto* Source = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Source);
    Source->BeginUpdate();
    for (int I = 0; I < 100000; ++I)
        Source->AddXY(I, Terrain(I, I / 3));
    Source->EndUpdate();
    auto* Smooth = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Smooth);
    auto* Function = new lp::TSmoothingFunction(&Chart);
    Smooth->SetFunction(Function);
    Smooth->SetDataSource(Source);
    for (auto _ : state) {
        Function->AddPoints(Source);
        benchmark::DoNotOptimize(Smooth->Count());
    }
    if (Smooth->Count() != lp::TBSpline::MaxFragments + 1)
        state.SkipWithError("the smoothed line has the wrong number of points");
}
BENCHMARK(Smoothing_100k_Points)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    lp::InitializeChartLibrary();
    lp::InitializeChartExtensions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    lp::FinalizeChartExtensions();
    lp::FinalizeChartLibrary();
    return 0;
}
