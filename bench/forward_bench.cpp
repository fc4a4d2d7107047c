// The forward response of the example section: meshing, assembling,
// factorising and solving timed apart, and the cost against the mesh size.

#include "ExampleSection.h"
#include "section/forward/ForwardResponse.h"

#include <benchmark/benchmark.h>

namespace lp {
namespace {

const TForwardModel& ExampleGround()
{
    static const TForwardModel ground = [] {
        const TSectionModel section = bench::ExampleSection();
        return PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 100.0);
    }();
    return ground;
}

void Report(benchmark::State& state, const TForwardResult& result)
{
    state.counters["nodes"] = result.MeshNodes;
    state.counters["triangles"] = result.MeshTriangles;
    state.counters["wavenumbers"] = static_cast<double>(result.Wavenumbers.k.size());
    state.counters["data"] = static_cast<double>(result.Resistivities.size());
    state.counters["mesh_s"] = result.Times.Mesh;
    state.counters["assemble_s"] = result.Times.Assemble;
    state.counters["factorise_s"] = result.Times.Factorise;
    state.counters["solve_s"] = result.Times.Solve;
}

// The example, dipole-dipole L = 6, meshing included, on two threads.
void ForwardExample(benchmark::State& state)
{
    TArrayLayout layout;
    layout.Electrodes = static_cast<int>(state.range(0));
    TForwardOptions options;
    options.Threads = 2;
    const TForwardModel& ground = ExampleGround();
    TForwardResult result;
    for (auto _ : state)
        result = ComputeForwardResponse(ground, MakeArraySurvey(layout, ground.Left, ground.Right), options);
    Report(state, result);
}
BENCHMARK(ForwardExample)->Arg(48)->Arg(96)->Unit(benchmark::kMillisecond)->UseRealTime();

// The cost against the mesh size: the element size at the electrodes and
// its growth scaled together (48 electrodes).
void ForwardMeshSize(benchmark::State& state)
{
    TArrayLayout layout;
    TForwardOptions options;
    options.Threads = 2;
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    options.Mesh.ElectrodeSize *= scale;
    options.Mesh.Growth *= scale;
    const TForwardModel& ground = ExampleGround();
    TForwardResult result;
    for (auto _ : state)
        result = ComputeForwardResponse(ground, MakeArraySurvey(layout, ground.Left, ground.Right), options);
    Report(state, result);
}
BENCHMARK(ForwardMeshSize)->Arg(200)->Arg(100)->Arg(70)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// The mesh alone.
void ForwardMeshOnly(benchmark::State& state)
{
    TArrayLayout layout;
    const TForwardModel& ground = ExampleGround();
    TSurvey survey = MakeArraySurvey(layout, ground.Left, ground.Right);
    PlaceSurvey(survey, ground);
    for (auto _ : state)
        benchmark::DoNotOptimize(MeshGeometry(PadGeometry(ground, survey)));
}
BENCHMARK(ForwardMeshOnly)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lp

BENCHMARK_MAIN();
