// The Jacobian of an inversion's cells: a flat dipole-dipole line (1 m
// spacing, six levels) over the default parameter mesh, one response with
// every cell's sensitivity on two threads (the mesh made beforehand, not
// timed), against the electrodes. The peak resident memory (ru_maxrss)
// only grows over a process's life: run one size per process
// (--benchmark_filter=SensitivityLine/384) to read its own peak; its rise
// over the timed work is beside the memory the computation estimated.

#include "LineMesh.h"
#include "section/inversion/SurveyInversion.h"
#include "section/modelling/ForwardPseudoSection.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>

namespace lp {
namespace {

// The peak resident memory of the process so far (ru_maxrss), in MB.
double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kB
}

TSurvey Line(int Electrodes)
{
    TSurvey survey;
    for (int e = 0; e < Electrodes; ++e)
        survey.Electrodes.push_back({static_cast<double>(e), 0.0});
    survey.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, Electrodes, 6);
    return survey;
}

void SensitivityLine(benchmark::State& state)
{
    const TSurvey survey = Line(static_cast<int>(state.range(0)));
    const TInversionMesh mesh = LineMesh(survey, 1.0);
    TForwardOptions options;
    options.Threads = 2;
    TCellInversionProblem problem(mesh, survey, options);
    const Eigen::VectorXd logRho = Eigen::VectorXd::Constant(mesh.Cells(), std::log(100.0));
    Eigen::MatrixXd jacobian;
    const double before = PeakMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(problem.Respond(logRho, &jacobian));
    state.counters["electrodes"] = static_cast<double>(survey.Electrodes.size());
    state.counters["data"] = static_cast<double>(survey.Configurations.size());
    state.counters["cells"] = mesh.Cells();
    state.counters["nodes"] = problem.MeshNodes();
    state.counters["peak_MB"] = PeakMegabytes();
    state.counters["peak_rise_MB"] = PeakMegabytes() - before;
    state.counters["estimate_MB"] = problem.MemoryNeed(options.Threads) / 1e6;
    // Over a homogeneous ground every row sums to 1 (the cells cover the
    // whole ground): a check that the timed work computed the Jacobian.
    state.counters["worst_row_sum_error"] = (jacobian.rowwise().sum().array() - 1.0).abs().maxCoeff();
}
BENCHMARK(SensitivityLine)->Arg(96)->Arg(192)->Arg(384)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
} // namespace lp

BENCHMARK_MAIN();
