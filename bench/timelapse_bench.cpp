// A monitoring series of a 48-electrode line and its speed: ten surveys
// (the baseline and nine repeats) of a ground of 200 ohm-m over 100 ohm-m
// (the interface a spacing deep) in which a conductive block grows and
// falls from 100 ohm-m toward 20 ohm-m under the line's centre, computed by
// the forward computation with 2 % seeded Gaussian noise per survey,
// inverted with that error on two threads, meshing included.
//   InvertBaseline   the baseline alone, as InvertSurvey does: one
//                    inversion's time
//   InvertSeries     the whole series by InvertTimeLapse: its time, its time
//                    over one inversion's (InvertBaseline's, measured again
//                    here), the forward computations of the difference
//                    steps, and the worst step's chi-square

#include "LineMesh.h"
#include "section/inversion/TimeLapseInversion.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <random>

namespace lp {
namespace {

constexpr double Spacing = 5.0;
constexpr int Electrodes = 48;
constexpr int Surveys = 10;

TSurvey Line()
{
    TSurvey survey;
    for (int e = 0; e < Electrodes; ++e)
        survey.Electrodes.push_back({e * Spacing, 0.0});
    survey.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, Electrodes, 6);
    return survey;
}

TSurveyInversionOptions Options()
{
    TSurveyInversionOptions options;
    options.ErrorPercent = 2.0;
    options.Forward.Threads = 2;
    return options;
}

// Survey t: the block t spacings wide (none in the baseline), 1 .. 2 + t/3
// spacings deep, of 100 (1 − 0.09 t) ohm-m in the lower layer.
TMeasuredData SurveyData(const TSurvey& Survey, int t)
{
    const double centre = (Electrodes - 1) * Spacing / 2, half = t * Spacing / 2;
    const double left = -50 * Spacing, right = 100 * Spacing;
    TInversionMesh ground;
    ground.ColumnEdges = {left, centre - half - Spacing, centre + half + Spacing, right};
    ground.Elevations = {0, 0, 0, 0};
    ground.RowDepths = {0, Spacing, (1.0 + t / 3.0) * Spacing + Spacing, 40 * Spacing};
    ground.Bottom = -40 * Spacing;
    std::vector<double> rho{200.0, 200.0, 200.0, 100.0, 100.0 * (1.0 - 0.09 * t), 100.0, 100.0, 100.0, 100.0};
    TForwardOptions forward;
    forward.Threads = 2;
    const TForwardResult truth = ComputeForwardResponse(InversionGround(ground, rho), Survey, forward);
    std::mt19937 random(static_cast<unsigned>(500 + t));
    std::normal_distribution<double> noise(0.0, 0.02);
    TMeasuredData data;
    data.Electrodes = Survey.Electrodes;
    data.Configurations = Survey.Configurations;
    for (size_t i = 0; i < truth.Resistivities.size(); ++i) {
        data.Resistivities.push_back(truth.Resistivities[i] * (1.0 + noise(random)));
        data.GeometricFactors.push_back(truth.GeometricFactors[i]);
    }
    return data;
}

std::vector<TMeasuredData> Series(const TSurvey& Survey)
{
    std::vector<TMeasuredData> series;
    for (int t = 0; t < Surveys; ++t)
        series.push_back(SurveyData(Survey, t));
    return series;
}

double Seconds(const std::chrono::steady_clock::time_point& Start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

void InvertBaseline(benchmark::State& state)
{
    const TSurvey survey = Line();
    const TMeasuredData data = SurveyData(survey, 0);
    const TInversionMesh mesh = LineMesh(survey, Spacing);
    TSurveyInversion inversion;
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        inversion = InvertSurvey(data, mesh, Options());
        seconds = Seconds(start);
    }
    state.counters["cells"] = mesh.Cells();
    state.counters["data"] = static_cast<double>(data.Size());
    state.counters["iterations"] = static_cast<double>(inversion.Steps.size() - 1);
    state.counters["chi2"] = inversion.Steps.back().ChiSquare;
    state.counters["seconds"] = seconds;
}
BENCHMARK(InvertBaseline)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void InvertSeries(benchmark::State& state)
{
    const TSurvey survey = Line();
    const std::vector<TMeasuredData> series = Series(survey);
    const TInversionMesh mesh = LineMesh(survey, Spacing);
    const auto one = std::chrono::steady_clock::now();
    const TSurveyInversion baseline = InvertSurvey(series.front(), mesh, Options());
    const double single = Seconds(one);
    TTimeLapseInversion lapse;
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        lapse = InvertTimeLapse(series, mesh, Options());
        seconds = Seconds(start);
    }
    double worst = 0.0;
    int iterations = 0;
    for (const TTimeLapseStep& step : lapse.Steps) {
        worst = std::max(worst, step.Inversion.Steps.back().ChiSquare);
        iterations += static_cast<int>(step.Inversion.Steps.size()) - 1;
    }
    state.counters["surveys"] = static_cast<double>(series.size());
    state.counters["seconds"] = seconds;
    state.counters["one_inversion_seconds"] = single;
    state.counters["over_one_inversion"] = seconds / single;
    state.counters["baseline_iterations"] = static_cast<double>(baseline.Steps.size() - 1);
    state.counters["step_iterations"] = iterations;
    state.counters["step_responses"] = lapse.Responses;
    state.counters["worst_chi2"] = worst;
}
BENCHMARK(InvertSeries)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
} // namespace lp

BENCHMARK_MAIN();
