// Fitting the example's four regions to a 48-electrode dipole-dipole data
// file (255 data, 3 % seeded Gaussian noise, errors 3 %) from starting
// values off by a factor of 3 (1/3 and 3 in turn), meshing included, on
// two threads: the time, the iterations, χ² and each fitted value against
// the truth. And a fit of many regions: a host and 99 small blocks (3 rows
// of 33) of seeded resistivities under the same survey, 3 % noise, starts
// off by a factor 1.5 (×1.5 and ÷1.5 in turn): the regions fitted, how many
// uncertainty factors hold the truth, χ², the iterations and why it stopped.
// Run on two cores: taskset -c 0,1 build/test/bench/region_fit_bench

#include "ExampleSection.h"
#include "section/survey/DataFile.h"
#include "section/inversion/RegionFit.h"
#include "section/model/Polygons.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
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

// Every region fitted, timed on two threads, from starts off by Factor
// (times and divided by it in turn).
TRegionFitResult TimedFit(benchmark::State& state, const TForwardModel& ground, const TMeasuredData& data,
                          double Factor)
{
    TForwardModel start = ground;
    for (size_t r = 0; r < start.Regions.size(); ++r)
        start.Regions[r].resistivity *= r % 2 ? Factor : 1.0 / Factor;
    TRegionFitOptions options;
    options.Forward.Threads = 2;
    TRegionFitResult fit;
    for (auto _ : state)
        fit = FitRegions(start, data, std::vector<TRegionFitSetting>(start.Regions.size()), options);
    return fit;
}

void RegionFitExample(benchmark::State& state)
{
    const TForwardModel ground = ExampleGround();
    const TMeasuredData data = NoisyDataFile(ground, state.range(0) / 100.0);
    const TRegionFitResult fit = TimedFit(state, ground, data, 3.0);
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

// 245 m of 100 ohm-m with 3 rows of 33 blocks 7 m wide from x = 7 m
// (depths 0 .. 3, 3 .. 7 and 7 .. 12 m), each of 10 .. 1000 ohm-m drawn
// log-uniformly from Seed.
TForwardModel ManyBlocksGround(unsigned seed)
{
    Tnodes nodes;
    AllSpolygon model;
    const TModelArea area{0.0, 0.0, 245.0, 100.0};
    BuildFrameModel(nodes, model, {}, false, area.bottom, area.top, area.right, area.left);
    model[0][0].params[psResistivity] = 100.0;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> exponent(1.0, 3.0);
    const double rows[] = {0.0, 3.0, 7.0, 12.0};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 33; ++column) {
            const double x = 7.0 + 7.0 * column;
            arofcomplexM ring;
            for (const auto& [px, py] : {std::pair{x, rows[row]}, std::pair{x + 7.0, rows[row]},
                                         std::pair{x + 7.0, rows[row + 1]}, std::pair{x, rows[row + 1]}})
                ring.Add(MakeComplex(px, py));
            if (!AddPolygon(ring, model, nodes))
                throw EForwardError("A block of the many-blocks ground could not be added.");
            model[model.High()][0].params[psResistivity] = std::pow(10.0, exponent(random));
        }
    return PrepareForwardModel(model, nodes, area, std::nullopt);
}

void RegionFitManyBlocks(benchmark::State& state)
{
    const unsigned seed = static_cast<unsigned>(state.range(0));
    const TForwardModel ground = ManyBlocksGround(seed);
    const TSurvey survey = MakeArraySurvey(TArrayLayout{}, ground.Left, ground.Right);
    TMeasuredData data;
    {
        TForwardResult truth = ComputeForwardResponse(ground, survey);
        std::mt19937 random(seed);
        std::normal_distribution<double> gauss;
        data.Electrodes = truth.Survey.Electrodes;
        data.Configurations = truth.Survey.Configurations;
        for (double rho : truth.Resistivities) {
            data.Resistivities.push_back(rho * std::exp(0.03 * gauss(random)));
            data.GeometricFactors.push_back(std::nan(""));
            data.Errors.push_back(0.03);
        }
    }
    const TRegionFitResult fit = TimedFit(state, ground, data, 1.5);
    int fitted = 0, holding = 0;
    for (size_t r = 0; r < fit.Regions.size(); ++r)
        if (fit.Regions[r].State == TRegionFitState::Fitted) {
            ++fitted;
            holding += std::fabs(std::log(fit.Regions[r].Resistivity / ground.Regions[r].resistivity)) <=
                       std::log(fit.Regions[r].Factor);
        }
    state.counters["data"] = static_cast<double>(data.Size());
    state.counters["fitted"] = fitted;
    state.counters["holding"] = holding;
    state.counters["iterations"] = static_cast<double>(fit.Steps.size() - 1);
    state.counters["start_chi_square"] = fit.Steps.front().ChiSquare;
    state.counters["chi_square"] = fit.Misfit.ChiSquare;
    state.SetLabel(fit.Stop);
}
// The argument: the seed of the blocks' resistivities and of the noise.
BENCHMARK(RegionFitManyBlocks)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
} // namespace lp

BENCHMARK_MAIN();
