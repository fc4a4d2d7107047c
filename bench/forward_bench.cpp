// The forward response of the example section: meshing, assembling,
// factorising and solving timed apart, and the cost against the mesh size.

#include "ExampleSection.h"
#include "section/forward/ForwardCache.h"
#include "section/forward/ForwardResponse.h"
#include "section/forward/ForwardSolver.h"
#include "tests/section/forward/CornerGrounds.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <string>

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
    state.counters["threads"] = result.Threads;
    state.counters["estimate_MB"] = result.MemoryEstimate / 1e6;
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

// A change of parameters only (the host's resistivity, 100 and 120 ohm-m in
// turn) with a cache: the mesh and its analysis taken over, the
// factorisations done again (48 electrodes, two threads).
void ForwardParameterChange(benchmark::State& state)
{
    const TSectionModel section = bench::ExampleSection();
    const TForwardModel grounds[2] = {PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 100.0),
                                      PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 120.0)};
    TArrayLayout layout;
    TForwardOptions options;
    options.Threads = 2;
    options.Cache = std::make_shared<TForwardCache>();
    const TSurvey survey = MakeArraySurvey(layout, grounds[0].Left, grounds[0].Right);
    TForwardResult result = ComputeForwardResponse(grounds[0], survey, options);
    int turn = 0;
    for (auto _ : state)
        result = ComputeForwardResponse(grounds[++turn % 2], survey, options);
    if (!result.MeshReused)
        state.SkipWithError("the mesh was not reused");
    Report(state, result);
}
BENCHMARK(ForwardParameterChange)->Unit(benchmark::kMillisecond)->UseRealTime();

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

// The peak resident memory of the process so far (VmHWM), in MB.
double PeakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0; // kB
    return 0.0;
}

// A long line: 500 or 1,000 electrodes over the example, dipole-dipole with
// four levels, on the cores the process may run on. The peak memory only
// grows over a process's life: run one size per process
// (--benchmark_filter=ForwardLongLine/500) to read its own peak.
void ForwardLongLine(benchmark::State& state)
{
    TArrayLayout layout;
    layout.Electrodes = static_cast<int>(state.range(0));
    layout.Levels = 4;
    const TForwardModel& ground = ExampleGround();
    const double before = PeakMegabytes();
    TForwardResult result;
    for (auto _ : state)
        result = ComputeForwardResponse(ground, MakeArraySurvey(layout, ground.Left, ground.Right));
    Report(state, result);
    state.counters["peak_MB"] = PeakMegabytes();
    state.counters["peak_rise_MB"] = PeakMegabytes() - before;
}
BENCHMARK(ForwardLongLine)->Arg(500)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// One wavenumber alone, factorisation and the path vectors of every
// electrode (their potentials need only the pairs of the data), against the
// electrodes (over the example, one thread).
void ForwardOneWavenumber(benchmark::State& state)
{
    TArrayLayout layout;
    layout.Electrodes = static_cast<int>(state.range(0));
    const TForwardModel& ground = ExampleGround();
    TSurvey survey = MakeArraySurvey(layout, ground.Left, ground.Right);
    PlaceSurvey(survey, ground);
    const TForwardMesh mesh = MeshGeometry(PadGeometry(ground, survey));
    const TElementMatrices elements = ElementMatrices(mesh);
    const TSystemPattern pattern = SystemPattern(mesh);
    const std::vector<double> conductivity(ground.Regions.size(), 0.01);
    const Eigen::SparseMatrix<double> A =
        AssembleSystem(mesh, elements, pattern, conductivity, 0.01, {(ground.Left + ground.Right) / 2, 0.0});
    const TSystemAnalysis analysis(pattern.Matrix);
    TSystemFactor factor(analysis);
    double factorise = 0.0, paths = 0.0, entries = 0.0;
    for (auto _ : state) {
        auto at = std::chrono::steady_clock::now();
        factor.Factorise(A);
        factorise += std::chrono::duration<double>(std::chrono::steady_clock::now() - at).count();
        at = std::chrono::steady_clock::now();
        entries = 0.0;
        for (int node : mesh.ElectrodeNodes)
            entries += static_cast<double>(factor.PathSolve(node).Columns.size());
        paths += std::chrono::duration<double>(std::chrono::steady_clock::now() - at).count();
    }
    state.counters["nodes"] = static_cast<double>(mesh.Nodes.size());
    state.counters["factor_entries"] = analysis.FactorEntries();
    state.counters["path_entries_mean"] = entries / static_cast<double>(mesh.ElectrodeNodes.size());
    state.counters["factorise_s"] = benchmark::Counter(factorise, benchmark::Counter::kAvgIterations);
    state.counters["paths_s"] = benchmark::Counter(paths, benchmark::Counter::kAvgIterations);
}
BENCHMARK(ForwardOneWavenumber)->Arg(200)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

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


// Beside a body's corner: the dyke and the graben of the tests, every
// configuration of FullCornerSurvey, on the default mesh (timed) against
// the same computation on a mesh refined by the second argument, the worst
// and median relative differences of ρa (in per cent) and the worst
// difference of ηa (in per cent of chargeability), and both node counts.
double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

void ForwardBesideCorners(benchmark::State& state)
{
    const TForwardModel ground = state.range(0) == 0 ? test::DykeGround() : test::GrabenGround();
    const TSurvey survey = test::FullCornerSurvey();
    TForwardOptions options;
    options.Threads = 2;
    TForwardResult result;
    for (auto _ : state)
        result = ComputeForwardResponse(ground, survey, options);
    TForwardOptions refined = options;
    refined.Mesh.Refinement = static_cast<double>(state.range(1));
    const TForwardResult reference = ComputeForwardResponse(ground, survey, refined);
    std::vector<double> rho;
    for (size_t d = 0; d < result.Resistivities.size(); ++d)
        rho.push_back(100.0 * std::fabs(result.Resistivities[d] / reference.Resistivities[d] - 1.0));
    double eta = 0.0;
    for (size_t d = 0; d < result.Chargeabilities.size(); ++d)
        eta = std::max(eta, std::fabs(result.Chargeabilities[d] - reference.Chargeabilities[d]));
    state.counters["worst_%"] = Percentile(rho, 1.0);
    state.counters["median_%"] = Percentile(rho, 0.5);
    state.counters["p95_%"] = Percentile(rho, 0.95);
    state.counters["eta_worst"] = eta;
    state.counters["nodes"] = result.MeshNodes;
    state.counters["refined_nodes"] = reference.MeshNodes;
    state.counters["refined_s"] = reference.Times.Total;
    state.counters["data"] = static_cast<double>(rho.size());
}
BENCHMARK(ForwardBesideCorners)
    ->Args({0, 2})->Args({1, 2})->Args({0, 4})->Args({1, 4})
    ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace lp

BENCHMARK_MAIN();
