// Fitting the example's four regions to a 48-electrode dipole-dipole data
// file (255 data, 3 % seeded Gaussian noise, errors 3 %) from starting
// values off by a factor of 3 (1/3 and 3 in turn), meshing included, on
// two threads: the time, the iterations, χ² and each fitted value against
// the truth. Run on two cores: taskset -c 0,1 build/test/bench/region_fit_bench

#include "ExampleSection.h"
#include "section/survey/DataFile.h"
#include "section/inversion/RegionFit.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>

namespace lp {
namespace {

TForwardModel ExampleGround()
{
    const TSectionModel section = bench::ExampleSection();
    return PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 100.0);
}

// The data file's text: the example's response with its noise, read back
// as a field file is.
TMeasuredData NoisyDataFile(const TForwardModel& ground, double noise)
{
    TForwardResult truth = ComputeForwardResponse(ground, MakeArraySurvey(TArrayLayout{}, ground.Left, ground.Right));
    std::mt19937 random(3);
    std::normal_distribution<double> gauss;
    for (double& rho : truth.Resistivities)
        rho *= std::exp(noise * gauss(random));
    return ReadMeasuredData(FormatUnifiedData(truth));
}

void RegionFitExample(benchmark::State& state)
{
    const TForwardModel ground = ExampleGround();
    const TMeasuredData data = NoisyDataFile(ground, state.range(0) / 100.0);
    TForwardModel start = ground;
    for (size_t r = 0; r < start.Regions.size(); ++r)
        start.Regions[r].resistivity *= r % 2 ? 3.0 : 1.0 / 3.0;
    TRegionFitOptions options;
    options.Forward.Threads = 2;
    TRegionFitResult fit;
    for (auto _ : state)
        fit = FitRegions(start, data, std::vector<TRegionFitSetting>(start.Regions.size()), options);
    state.counters["data"] = static_cast<double>(data.Size());
    state.counters["nodes"] = fit.MeshNodes;
    state.counters["iterations"] = static_cast<double>(fit.Steps.size() - 1);
    state.counters["chi_square"] = fit.Misfit.ChiSquare;
    for (size_t r = 0; r < fit.Regions.size(); ++r) {
        const std::string region = "region" + std::to_string(r);
        state.counters[region + "_fit_over_truth"] = fit.Regions[r].Resistivity / ground.Regions[r].resistivity;
        state.counters[region + "_factor"] = fit.Regions[r].Factor;
    }
}
// The argument: the noise in per cent.
BENCHMARK(RegionFitExample)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace lp

BENCHMARK_MAIN();
