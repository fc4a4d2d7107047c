// The 3-D solids of the chart canvas: 10,000 cubes and 1,000 pie slices
// drawn through TPlotCanvas3D into a 1920 x 1080 off-screen bitmap and shown
// on a bitmap of the same size, in a rotated view with perspective and in
// the orthogonal view.

#include "chart/canvas/PlotCanvas3D.h"

#include <QtGui/QGuiApplication>

#include <benchmark/benchmark.h>

#include <numbers>
#include <random>
#include <vector>

namespace {

using namespace lp;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kDepth = 200;

struct TCubeSpec {
    TRect Rect;
    int Z0 = 0;
    int Z1 = 0;
    TColor Color = clRed;
};

struct TPieSpec {
    TPoint Center;
    int Radius = 0;
    int Z0 = 0;
    int Z1 = 0;
    double Start = 0.0;
    double End = 0.0;
    int Donut = 0;
    TColor Color = clRed;
};

std::vector<TCubeSpec> MakeCubes(int Count)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(0, kWidth - 40), y(0, kHeight - 80), w(4, 40), h(4, 80), z(0, kDepth - 20);
    std::uniform_int_distribution<int> channel(40, 255);
    std::vector<TCubeSpec> cubes;
    for (int i = 0; i < Count; ++i) {
        const int left = x(random), top = y(random), front = z(random);
        cubes.push_back({{left, top, left + w(random), top + h(random)},
                         front,
                         front + 20,
                         RGB(channel(random), channel(random), channel(random))});
    }
    return cubes;
}

std::vector<TPieSpec> MakePies(int Count)
{
    std::mt19937 random(13);
    std::uniform_int_distribution<int> x(100, kWidth - 100), y(100, kHeight - 100), r(20, 90), z(0, kDepth - 30);
    std::uniform_real_distribution<double> angle(0.0, 2.0 * std::numbers::pi), sweep(0.1, 2.0 * std::numbers::pi);
    std::uniform_int_distribution<int> channel(40, 255), donut(0, 3);
    std::vector<TPieSpec> pies;
    for (int i = 0; i < Count; ++i) {
        const double start = angle(random);
        const int front = z(random);
        pies.push_back({{x(random), y(random)},
                        r(random),
                        front,
                        front + 25,
                        start,
                        start + sweep(random),
                        donut(random) == 0 ? 40 : 0,
                        RGB(channel(random), channel(random), channel(random))});
    }
    return pies;
}

// Sets the view up: rotated with perspective, or orthogonal.
void SetView(TView3DOptions& Options, bool Orthogonal)
{
    Options.SetOrthogonal(Orthogonal);
    Options.SetElevation(345);
    Options.SetRotation(345);
    Options.SetPerspective(Orthogonal ? 0 : 15);
    Options.SetZoom(100);
}

void Cubes(benchmark::State& state, bool Orthogonal)
{
    const std::vector<TCubeSpec> cubes = MakeCubes(10000);
    TBitmap screen(kWidth, kHeight);
    TView3DOptions options;
    SetView(options, Orthogonal);
    TPlotCanvas3D canvas;
    const TRect bounds{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        canvas.InitWindow(&screen.Canvas(), &options, clWhite, true, bounds);
        canvas.ResetState();
        canvas.SetProjection(kDepth, bounds);
        canvas.Brush()->SetColor(clWhite);
        canvas.FillRect(bounds);
        for (const TCubeSpec& cube : cubes) {
            canvas.Brush()->SetColor(cube.Color);
            canvas.CubeRect(cube.Rect, cube.Z0, cube.Z1, true);
        }
        canvas.ShowImage(&screen.Canvas(), &screen.Canvas(), bounds);
        benchmark::DoNotOptimize(screen.Image().constBits());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cubes.size()));
}

void Pies(benchmark::State& state, bool Orthogonal)
{
    const std::vector<TPieSpec> pies = MakePies(1000);
    TBitmap screen(kWidth, kHeight);
    TView3DOptions options;
    SetView(options, Orthogonal);
    TPlotCanvas3D canvas;
    const TRect bounds{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        canvas.InitWindow(&screen.Canvas(), &options, clWhite, true, bounds);
        canvas.ResetState();
        canvas.SetProjection(kDepth, bounds);
        canvas.Brush()->SetColor(clWhite);
        canvas.FillRect(bounds);
        for (const TPieSpec& pie : pies) {
            canvas.Brush()->SetColor(pie.Color);
            canvas.Pie3D(pie.Center.X, pie.Center.Y, pie.Radius, pie.Radius * 2 / 3, pie.Z0, pie.Z1, pie.Start, pie.End,
                         true, true, pie.Donut, nullptr);
        }
        canvas.ShowImage(&screen.Canvas(), &screen.Canvas(), bounds);
        benchmark::DoNotOptimize(screen.Image().constBits());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pies.size()));
}

void Cubes_RotatedPerspective(benchmark::State& state)
{
    Cubes(state, false);
}
BENCHMARK(Cubes_RotatedPerspective)->Unit(benchmark::kMillisecond);

void Cubes_Orthogonal(benchmark::State& state)
{
    Cubes(state, true);
}
BENCHMARK(Cubes_Orthogonal)->Unit(benchmark::kMillisecond);

void Pies_RotatedPerspective(benchmark::State& state)
{
    Pies(state, false);
}
BENCHMARK(Pies_RotatedPerspective)->Unit(benchmark::kMillisecond);

void Pies_Orthogonal(benchmark::State& state)
{
    Pies(state, true);
}
BENCHMARK(Pies_Orthogonal)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
