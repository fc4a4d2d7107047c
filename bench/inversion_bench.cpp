// The inversion of synthetic surveys whose truth is known, and its speed:
// 48 electrodes, dipole-dipole, 2 % seeded Gaussian noise inverted with
// that error, on two threads, meshing included.
//   InvertTwoLayers   analytic two-layer data: chi2, the upper layer's cells
//                     (centres above 0.6 h, central half) and the lower layer's
//                     (2 h .. the depth of investigation) against the truth
//   InvertBlock       a conductive block (host / 10), centre two spacings
//                     deep, from the forward computation: where the image's
//                     lowest value lies, and the block's cells when the
//                     block's outline constrains the inversion (arg 1)
//   InvertChargeableBlock  the same block polarizable (20 %): where the
//                     largest chargeability lies
//   InvertExample     the example section's 255 data: the time, cells,
//                     iterations and chi2
//   InvertTwoLayersSharpOrRobust  the two-layer data with sharp boundaries
//                     (arg 0) or the robust misfit (arg 1; arg 2 the data
//                     with 5 % of them 1.5 times too large): the time over
//                     the smooth inversion's of the same data (target at
//                     most 1.5), iterations and chi2 of both

#include "ExampleSection.h"
#include "ForwardFixtures.h"
#include "LineMesh.h"
#include "section/inversion/SurveyInversion.h"
#include "section/modelling/ForwardPseudoSection.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <random>

namespace lp {
namespace {

constexpr double Spacing = 5.0;
constexpr int Electrodes = 48;

TForwardOptions TwoThreads()
{
    TForwardOptions options;
    options.Threads = 2;
    return options;
}

// Measured data from a computed response, ρa (and ηa) with 2 % seeded noise.
TMeasuredData NoisyData(const TSurvey& Survey, const std::vector<double>& Rho, const std::vector<double>& Eta)
{
    std::mt19937 random(2026);
    std::normal_distribution<double> noise(0.0, 0.02);
    TMeasuredData data;
    data.Electrodes = Survey.Electrodes;
    data.Configurations = Survey.Configurations;
    for (size_t i = 0; i < Rho.size(); ++i) {
        data.Resistivities.push_back(Rho[i] * std::exp(noise(random)));
        data.GeometricFactors.push_back(FlatGeometricFactor(Survey, Survey.Configurations[i]));
        if (!Eta.empty())
            data.Chargeabilities.push_back(Eta[i] * std::exp(noise(random)));
    }
    return data;
}

TSurvey Line(int Levels)
{
    TSurvey survey;
    for (int e = 0; e < Electrodes; ++e)
        survey.Electrodes.push_back({e * Spacing, 0.0});
    survey.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, Electrodes, Levels);
    return survey;
}

// The geometric mean of the cells whose centre passes Inside.
template <typename TInside>
double GeometricMean(const TInversionMesh& Mesh, const std::vector<double>& Values, const TInside& Inside)
{
    double sum = 0.0;
    int count = 0;
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        double top = 0, bottom = 0;
        CellDepths(Mesh, cell, top, bottom);
        if (Inside(CellCentre(Mesh, cell).x, top, bottom)) {
            sum += std::log(Values[static_cast<size_t>(cell)]);
            ++count;
        }
    }
    return count > 0 ? std::exp(sum / count) : std::nan("");
}

void Report(benchmark::State& state, const TInversionMesh& mesh, const TSurveyInversion& inversion, double seconds)
{
    state.counters["cells"] = mesh.Cells();
    state.counters["nodes"] = inversion.MeshNodes;
    state.counters["iterations"] = static_cast<double>(inversion.Steps.size() - 1);
    state.counters["chi2"] = inversion.Steps.back().ChiSquare;
    state.counters["rrms"] = inversion.Steps.back().Rrms;
    state.counters["seconds"] = seconds;
}

template <typename TRun>
TSurveyInversion Timed(benchmark::State& state, double& seconds, const TRun& Run)
{
    TSurveyInversion inversion;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        inversion = Run();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return inversion;
}

// The analytic apparent resistivities of the two layers (InvertTwoLayers).
std::vector<double> TwoLayerData(const TSurvey& survey, double rho1, double rho2, double h)
{
    std::vector<double> rho;
    for (const TConfiguration& c : survey.Configurations) {
        const auto u = [&](int a, int m) {
            return a < 0 || m < 0 ? 0.0
                                  : test::TwoLayerPotential(rho1, rho2, h, std::fabs(survey.Electrodes[a].x - survey.Electrodes[m].x));
        };
        rho.push_back(FlatGeometricFactor(survey, c) * (u(c.a, c.m) - u(c.a, c.n) - u(c.b, c.m) + u(c.b, c.n)));
    }
    return rho;
}

void InvertTwoLayers(benchmark::State& state)
{
    const double rho1 = 100.0, rho2 = 20.0, h = 0.8 * Spacing;
    const TSurvey survey = Line(6);
    const TMeasuredData data = NoisyData(survey, TwoLayerData(survey, rho1, rho2, h), {});
    const TInversionMesh mesh = LineMesh(survey, Spacing);
    TSurveyInversionOptions options;
    options.ErrorPercent = 2.0;
    options.Forward = TwoThreads();
    double seconds = 0.0;
    const TSurveyInversion inversion = Timed(state, seconds, [&] { return InvertSurvey(data, mesh, options); });
    Report(state, mesh, inversion, seconds);
    const double first = survey.Electrodes.front().x, last = survey.Electrodes.back().x;
    const auto central = [&](double x) { return x > first + (last - first) / 4 && x < last - (last - first) / 4; };
    state.counters["upper_over_rho1"] = GeometricMean(mesh, inversion.Resistivities, [&](double x, double t, double b) {
                                            return central(x) && (t + b) / 2 <= 0.6 * h;
                                        }) / rho1;
    state.counters["lower_over_rho2"] = GeometricMean(mesh, inversion.Resistivities, [&](double x, double t, double b) {
                                            return central(x) && (t + b) / 2 >= 2 * h && b <= mesh.RowDepths.back() + 1e-9;
                                        }) / rho2;
}
BENCHMARK(InvertTwoLayers)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void InvertTwoLayersSharpOrRobust(benchmark::State& state)
{
    const TSurvey survey = Line(6);
    TMeasuredData data = NoisyData(survey, TwoLayerData(survey, 100.0, 20.0, 0.8 * Spacing), {});
    if (state.range(0) == 2) {
        std::mt19937 random(7);
        for (size_t i = 0; i < data.Resistivities.size(); ++i)
            if (random() % 20 == 0)
                data.Resistivities[i] *= 1.5;
    }
    const TInversionMesh mesh = LineMesh(survey, Spacing);
    TSurveyInversionOptions options;
    options.ErrorPercent = 2.0;
    options.Forward = TwoThreads();
    const auto start = std::chrono::steady_clock::now();
    const TSurveyInversion smooth = InvertSurvey(data, mesh, options);
    const double smoothSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    (state.range(0) == 0 ? options.Settings.Blocky : options.Settings.Robust) = true;
    double seconds = 0.0;
    const TSurveyInversion inversion = Timed(state, seconds, [&] { return InvertSurvey(data, mesh, options); });
    Report(state, mesh, inversion, seconds);
    state.counters["smooth_seconds"] = smoothSeconds;
    state.counters["over_smooth"] = seconds / smoothSeconds;
    state.counters["smooth_iterations"] = static_cast<double>(smooth.Steps.size() - 1);
    state.counters["smooth_chi2"] = smooth.Steps.back().ChiSquare;
}
BENCHMARK(InvertTwoLayersSharpOrRobust)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// A block 4 spacings wide, 1.5 .. 2.5 spacings deep, under the line's centre.
struct TBlock {
    double Left = 21.5 * Spacing, Right = 25.5 * Spacing, Top = 1.5 * Spacing, Bottom = 2.5 * Spacing;
    double Host = 100.0, Rho = 10.0;
    bool Inside(double x, double top, double bottom) const
    {
        const double z = (top + bottom) / 2;
        return x > Left && x < Right && z > Top && z < Bottom;
    }
    // The block as the middle cell of a 3 x 3 ground (a drawn section).
    TInversionMesh Section(double left, double right) const
    {
        TInversionMesh s;
        s.ColumnEdges = {left, Left, Right, right};
        s.Elevations = {0, 0, 0, 0};
        s.RowDepths = {0, Top, Bottom, 4 * Bottom};
        s.Bottom = -4 * Bottom;
        return s;
    }
};

TMeasuredData BlockData(const TBlock& block, const TSurvey& survey, double eta)
{
    const TInversionMesh section = block.Section(-50 * Spacing, 100 * Spacing);
    std::vector<double> rho(9, block.Host), polarizability(9, 0.0);
    rho[4] = block.Rho;
    polarizability[4] = eta;
    const TForwardResult truth =
        ComputeForwardResponse(InversionGround(section, rho, eta > 0 ? polarizability : std::vector<double>{}), survey,
                               TwoThreads());
    return NoisyData(survey, truth.Resistivities, truth.Chargeabilities);
}

// The block's data (chargeable by Eta) inverted on the line's cells,
// constrained by its outline or not; the numbers reported.
TSurveyInversion InvertBlockData(benchmark::State& state, const TBlock& block, double Eta, bool Constrained,
                                 TInversionMesh& mesh)
{
    const TSurvey survey = Line(10);
    const TMeasuredData data = BlockData(block, survey, Eta);
    mesh = LineMesh(survey, Spacing);
    TSurveyInversionOptions options;
    options.ErrorPercent = 2.0;
    options.Forward = TwoThreads();
    if (Constrained) {
        const TInversionMesh section = block.Section(mesh.ColumnEdges.front(), mesh.ColumnEdges.back());
        for (int zone : CellZones(mesh, InversionGround(section, std::vector<double>(9, 1.0))))
            options.Zones.push_back(zone == 4 ? 1 : 0);
    }
    double seconds = 0.0;
    const TSurveyInversion inversion = Timed(state, seconds, [&] { return InvertSurvey(data, mesh, options); });
    Report(state, mesh, inversion, seconds);
    return inversion;
}

void InvertBlock(benchmark::State& state)
{
    const TBlock block;
    TInversionMesh mesh;
    const TSurveyInversion inversion = InvertBlockData(state, block, 0.0, state.range(0) == 1, mesh);
    const auto lowest = std::min_element(inversion.Resistivities.begin(), inversion.Resistivities.end());
    const int cell = static_cast<int>(lowest - inversion.Resistivities.begin());
    double top = 0, bottom = 0;
    CellDepths(mesh, cell, top, bottom);
    state.counters["lowest_in_block"] = block.Inside(CellCentre(mesh, cell).x, top, bottom) ? 1 : 0;
    state.counters["lowest_over_host"] = *lowest / block.Host;
    state.counters["block_over_truth"] =
        GeometricMean(mesh, inversion.Resistivities, [&](double x, double t, double b) { return block.Inside(x, t, b); }) /
        block.Rho;
}
BENCHMARK(InvertBlock)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void InvertChargeableBlock(benchmark::State& state)
{
    const TBlock block;
    TInversionMesh mesh;
    const TSurveyInversion inversion = InvertBlockData(state, block, 0.2, false, mesh);
    const auto largest = std::max_element(inversion.Chargeabilities.begin(), inversion.Chargeabilities.end());
    const int cell = static_cast<int>(largest - inversion.Chargeabilities.begin());
    double top = 0, bottom = 0;
    CellDepths(mesh, cell, top, bottom);
    state.counters["largest_eta_percent"] = *largest;
    state.counters["largest_in_block"] = block.Inside(CellCentre(mesh, cell).x, top, bottom) ? 1 : 0;
    state.counters["block_eta_percent"] =
        GeometricMean(mesh, inversion.Chargeabilities, [&](double x, double t, double b) { return block.Inside(x, t, b); });
}
BENCHMARK(InvertChargeableBlock)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// The example section's 48-electrode dipole-dipole data (255), the
// parameter mesh over the section's model area; with argument 1 constrained
// by the section's boundaries at weight 0 as --constrain does (the rows bent
// onto them, the smoothing cut across them), to set its time beside the
// unconstrained one's (argument 0).
void InvertExample(benchmark::State& state)
{
    const bool constrained = state.range(0) != 0;
    const TSectionModel section = bench::ExampleSection();
    const TForwardModel ground = PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 100.0);
    const TForwardResult truth =
        ComputeForwardResponse(ground, MakeArraySurvey(TArrayLayout{}, ground.Left, ground.Right), TwoThreads());
    const TMeasuredData data = NoisyData(truth.Survey, truth.Resistivities, {});
    double deepest = 0.0;
    std::vector<double> x;
    for (const TConfiguration& c : truth.Survey.Configurations)
        deepest = std::max(deepest, MedianDepthOfInvestigation(truth.Survey, c));
    for (const TElectrode& e : truth.Survey.Electrodes)
        x.push_back(e.x);
    TSurveyInversionOptions options;
    options.ErrorPercent = 2.0;
    options.Forward = TwoThreads();
    double seconds = 0.0;
    TInversionMesh mesh;
    const TSurveyInversion inversion = Timed(state, seconds, [&] {
        mesh = DefaultInversionMesh(x, ground.Left, ground.Right, ground.Surface, deepest);
        if (constrained) {
            const std::vector<double> weights(ground.Regions.size(), 0.0);
            mesh = MeshFollowingConstraint(mesh, SectionBoundaryLines(ground, weights), {});
            options.Structure.Zones = CellZones(mesh, ground);
            options.Structure.ZoneWeights = weights;
        }
        return InvertSurvey(data, mesh, options);
    });
    Report(state, mesh, inversion, seconds);
    state.counters["data"] = static_cast<double>(data.Size());
    state.counters["bent_edges"] = 0.0;
    for (size_t i = 0; i < mesh.Shifts.size(); ++i)
        state.counters["bent_edges"] += mesh.Shifts[i] != 0.0 ? 1.0 : 0.0;
}
BENCHMARK(InvertExample)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
} // namespace lp

BENCHMARK_MAIN();
