// Hot paths of the section model: number texts of large lines and the
// crossing tests over sections with many bodies.

#include "section/model/Polygons.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace lp;

arofdoubleM Wave(int count)
{
    arofdoubleM values(count);
    for (int i = 0; i < count; ++i)
        values[i] = 1000.0 * std::sin(i * 0.01) + i * 0.125;
    return values;
}

void RealArrayTextRoundTrip(benchmark::State& state)
{
    const arofdoubleM values = Wave(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::string text = RealArrayToText(values, "", 3, true);
        benchmark::DoNotOptimize(TextToRealArray(text, 0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RealArrayTextRoundTrip)->Arg(1000)->Arg(100000);

// A grid of square bodies, one ring each, inside a frame.
struct GridModel {
    Tnodes nodes;
    AllSpolygon model;
    explicit GridModel(int side)
    {
        auto add = [&](double x, double y) {
            Tnode node;
            node.x = x;
            node.y = y;
            nodes.Add(node);
            return nodes.High();
        };
        const double size = side * 10.0;
        for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, size}, {size, size}, {size, 0.0}})
            add(x, y);
        Polygon host;
        host.ring = {0, 1, 2, 3, 0, 3, 2, 1};
        model.Add(SPolygon{host});
        for (int row = 0; row < side; ++row)
            for (int column = 0; column < side; ++column) {
                const double x = column * 10.0 + 2, y = row * 10.0 + 2;
                Polygon ring;
                ring.ring = {add(x, y), add(x + 6, y), add(x + 6, y + 6), add(x, y + 6)};
                model.Add(SPolygon{ring});
            }
    }
};

void CheckDrawnPolylineOnGrid(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const GridModel grid(side);
    const arofcomplexM path{MakeComplex(1, 1), MakeComplex(side * 10.0 - 1, 1), MakeComplex(side * 10.0 - 1, 9)};
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckDrawnPolyline(path, grid.model, grid.nodes, true));
}
BENCHMARK(CheckDrawnPolylineOnGrid)->Arg(10)->Arg(50);

void FindSubPolygonAtOnGrid(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const GridModel grid(side);
    int body = 0, sub = 0;
    for (auto _ : state) {
        FindSubPolygonAt(grid.model, body, sub, grid.nodes, MakeComplex(side * 10.0 - 5, side * 10.0 - 5));
        benchmark::DoNotOptimize(body);
    }
}
BENCHMARK(FindSubPolygonAtOnGrid)->Arg(10)->Arg(50);

} // namespace
