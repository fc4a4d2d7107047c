// Hot paths of the section model: number texts of large lines, and the
// queries and edits of the editing modes on a large synthetic section
// (10,000 bodies of ten nodes each: 100,000 nodes). The queries marked
// "mouse move" run on every move of the cursor and must stay well under 1 ms.

#include "section/model/Polygons.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <optional>

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

// side x side bodies, each a ring of ten nodes on a circle, in a frame.
struct LargeSection {
    static constexpr double kCell = 10.0;
    int side;
    Tnodes nodes;
    AllSpolygon model;

    explicit LargeSection(int side_) : side(side_)
    {
        const double size = side * kCell;
        BuildFrameModel(nodes, model, {}, false, size, 0, size, 0);
        for (int row = 0; row < side; ++row)
            for (int column = 0; column < side; ++column) {
                arofcomplexM points;
                for (int k = 0; k < 10; ++k) {
                    const double angle = 2 * std::numbers::pi * k / 10;
                    points.Add(MakeComplex(Centre(column) + 4 * std::cos(angle), Centre(row) + 4 * std::sin(angle)));
                }
                NormalizeOrientation(points);
                Polygon ring;
                for (const complexM& point : points) {
                    Tnode node;
                    node.x = point.re;
                    node.y = point.im;
                    nodes.Add(node);
                    ring.ring.Add(nodes.High());
                }
                model.Add(SPolygon{ring});
            }
    }
    static double Centre(int cell) { return cell * kCell + kCell / 2; }
    // A point in the middle of the section, between bodies.
    complexM Probe() const { return MakeComplex(side / 2 * kCell + 0.3, side / 2 * kCell + 0.2); }
};

const LargeSection& Section()
{
    static const LargeSection section(100);
    return section;
}

void NearestNode_MouseMove(benchmark::State& state)
{
    const LargeSection& s = Section();
    double plain = 0, scaled = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FindNearestNode(s.Probe(), s.nodes, plain, 2.0, 2.0, scaled));
}
BENCHMARK(NearestNode_MouseMove)->Unit(benchmark::kMicrosecond);

void NearestFreeEdge_MouseMove(benchmark::State& state)
{
    const LargeSection& s = Section();
    int a = 0, b = 0, body = 0;
    bool nearEnd = false;
    double distance = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            FindNearestFreePolygonEdge(s.Probe(), s.nodes, s.model, b, a, body, nearEnd, 2.0, 2.0, distance));
}
BENCHMARK(NearestFreeEdge_MouseMove)->Unit(benchmark::kMicrosecond);

void PointInBody_MouseMove(benchmark::State& state)
{
    const LargeSection& s = Section();
    int body = 0, sub = 0;
    const complexM inLastBody = MakeComplex(LargeSection::Centre(s.side - 1), LargeSection::Centre(s.side - 1));
    for (auto _ : state) {
        FindSubPolygonAt(s.model, body, sub, s.nodes, inLastBody);
        benchmark::DoNotOptimize(body);
    }
}
BENCHMARK(PointInBody_MouseMove)->Unit(benchmark::kMicrosecond);

void AddNodeOnEdge_Edit(benchmark::State& state)
{
    // Fresh copies per iteration, made and destroyed outside the timing.
    std::optional<Tnodes> nodes;
    std::optional<AllSpolygon> model;
    for (auto _ : state) {
        state.PauseTiming();
        nodes.reset();
        model.reset();
        nodes = Section().nodes;
        // A live node table has room to grow; a fresh copy would make the
        // measurement about reallocating 100,000 nodes.
        nodes->Items().reserve(static_cast<size_t>(nodes->Length()) + 16);
        model = Section().model;
        const int body = model->High();
        const int a = (*model)[body][0].ring[0], b = (*model)[body][0].ring[1];
        const complexM middle{((*nodes)[a].x + (*nodes)[b].x) / 2, ((*nodes)[a].y + (*nodes)[b].y) / 2};
        state.ResumeTiming();
        benchmark::DoNotOptimize(AddNodeOnEdge(a, b, body, 2.0, 2.0, *nodes, *model, middle));
    }
}
BENCHMARK(AddNodeOnEdge_Edit)->Unit(benchmark::kMicrosecond)->Iterations(20);

void DeleteNode_Edit(benchmark::State& state)
{
    std::optional<Tnodes> nodes;
    std::optional<AllSpolygon> model;
    for (auto _ : state) {
        state.PauseTiming();
        nodes.reset();
        model.reset();
        nodes = Section().nodes;
        model = Section().model;
        const int body = model->High() / 2;
        const int node = (*model)[body][0].ring[3];
        state.ResumeTiming();
        benchmark::DoNotOptimize(DeleteNode(node, body, *model, *nodes));
    }
}
BENCHMARK(DeleteNode_Edit)->Unit(benchmark::kMicrosecond)->Iterations(20);

// Runs when a moved node is dropped, not on every move.
void CheckMovedNode_Drop(benchmark::State& state)
{
    Tnodes nodes = Section().nodes;
    const AllSpolygon& model = Section().model;
    const int body = model.High() / 2;
    const int node = model[body][0].ring[0];
    nodes[node].x += 0.5;
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckMovedNodes({node}, body, model, 0, nodes));
}
BENCHMARK(CheckMovedNode_Drop)->Unit(benchmark::kMicrosecond);

// Runs on every open of a section file: the whole model checked, crossing
// edges included. The nodes' sharing is what the loader computes first.
void CheckModelInvariants_Open(benchmark::State& state)
{
    Tnodes nodes = Section().nodes;
    const AllSpolygon& model = Section().model;
    for (int body = 0; body < model.Length(); ++body)
        UpdateBodySharing(body, model, nodes);
    for (auto _ : state) {
        const std::vector<std::string> faults = CheckModelInvariants(model, nodes);
        if (!faults.empty())
            state.SkipWithError(faults.front().c_str());
    }
    state.counters["nodes"] = nodes.Length();
}
BENCHMARK(CheckModelInvariants_Open)->Unit(benchmark::kMillisecond);

} // namespace
