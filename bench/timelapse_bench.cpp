// A monitoring series of a 48-electrode line and its speed: the line 1 m
// apart, dipole-dipole of dipoles 1, 2 and 4 spacings long, n = 1 .. 6 (633
// data); the ground 50 ohm-m in its first metre over 200 ohm-m sand down to
// 12 m, then 70 ohm-m; eleven surveys, the baseline and ten later ones, in
// which a resistive ellipse (+100 %: 400 ohm-m in the sand) centred 5 m deep
// under the line's middle grows from half-axes 4 x 1.4 m to 13 x 3.7 m
// (evenly, survey by survey). Each survey is the forward computation's
// response of the ground (cells of 0.5 x 0.25 m, the ellipse's by their
// centres) with its own seeded 2 % Gaussian noise, inverted with that error
// on two threads, meshing included.
//   InvertSeries   in one run on the same cores: one inversion of the
//                  baseline alone (InvertSurvey), then the whole series
//                  (InvertTimeLapse, the baseline and ten steps); their
//                  times and ratio, and the series' breakdown: the
//                  baseline's time and iterations within it, the ten steps'
//                  time, their iterations and forward computations, the
//                  slowest step's time and the worst step's chi-square.
//                  Each step's line is printed too, with the change
//                  recovered in its ellipse (the truth +100 %).

#include "LineMesh.h"
#include "section/inversion/TimeLapseInversion.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

namespace lp {
namespace {

constexpr double Spacing = 1.0;
constexpr int Electrodes = 48;
constexpr int LaterSurveys = 10;
constexpr double Noise = 0.02;
constexpr double Cover = 1.0, SandBottom = 12.0;                         // depths, m
constexpr double CoverRho = 50.0, SandRho = 200.0, BelowRho = 70.0, EllipseRho = 400.0;
constexpr double EllipseDepth = 5.0;

TSurvey Line()
{
    TSurvey survey;
    for (int e = 0; e < Electrodes; ++e)
        survey.Electrodes.push_back({e * Spacing, 0.0});
    for (const int a : {1, 2, 4})
        for (int n = 1; n <= 6; ++n)
            for (int i = 0; i + 2 * a + n * a < Electrodes; ++i)
                survey.Configurations.push_back({i, i + a, i + a + n * a, i + 2 * a + n * a});
    return survey;
}

TSurveyInversionOptions Options()
{
    TSurveyInversionOptions options;
    options.ErrorPercent = 100.0 * Noise;
    options.Forward.Threads = 2;
    return options;
}

// The ground's cells: 0.5 m wide and 0.25 m tall around the line down to
// 14 m, growing outside.
TInversionMesh GroundCells()
{
    TInversionMesh ground;
    ground.ColumnEdges = {-250.0, -120.0, -60.0, -30.0, -15.0};
    for (double x = -8.0; x <= Electrodes - 1 + 8.0 + 1e-9; x += 0.5)
        ground.ColumnEdges.push_back(x);
    for (const double x : {62.0, 77.0, 107.0, 167.0, 297.0})
        ground.ColumnEdges.push_back(x);
    for (double z = 0.0; z <= 14.0 + 1e-9; z += 0.25)
        ground.RowDepths.push_back(z);
    for (const double z : {16.0, 20.0, 28.0, 44.0, 76.0, 140.0, 250.0})
        ground.RowDepths.push_back(z);
    ground.Elevations.assign(ground.ColumnEdges.size(), 0.0);
    ground.Bottom = -ground.RowDepths.back();
    return ground;
}

// Survey t's ellipse's half-axes (none in the baseline): 4 x 1.4 m in the
// first later survey to 13 x 3.7 m in the last.
std::pair<double, double> HalfAxes(int t)
{
    const double growth = (t - 1) / double(LaterSurveys - 1);
    return {4.0 + 9.0 * growth, 1.4 + 2.3 * growth};
}

// Per cell of a flat mesh (row by row), whether its centre lies in survey
// t's ellipse (none in the baseline), and its centre's depth.
std::vector<std::pair<bool, double>> CellsInEllipse(const TInversionMesh& Mesh, int t)
{
    const double centre = (Electrodes - 1) * Spacing / 2;
    const auto [width, height] = t > 0 ? HalfAxes(t) : std::pair<double, double>{1.0, 1.0};
    std::vector<std::pair<bool, double>> cells;
    for (int r = 0; r < Mesh.Rows(); ++r)
        for (int c = 0; c < Mesh.Columns(); ++c) {
            const double x = 0.5 * (Mesh.ColumnEdges[c] + Mesh.ColumnEdges[c + 1]);
            const double z = 0.5 * (Mesh.RowDepths[r] + Mesh.RowDepths[r + 1]);
            const bool inside = t > 0 && std::pow((x - centre) / width, 2) + std::pow((z - EllipseDepth) / height, 2) <= 1.0;
            cells.emplace_back(inside, z);
        }
    return cells;
}

std::vector<double> GroundResistivities(const TInversionMesh& Ground, int t)
{
    std::vector<double> rho;
    for (const auto& [inside, z] : CellsInEllipse(Ground, t))
        rho.push_back(z < Cover ? CoverRho : z < SandBottom ? (inside ? EllipseRho : SandRho) : BelowRho);
    return rho;
}

// The change recovered in survey t's ellipse: the geometric mean over the
// mesh's cells whose centres lie in it, in per cent (the truth +100 %).
double ChangeInEllipse(const TInversionMesh& Mesh, const std::vector<double>& ChangePercent, int t)
{
    const std::vector<std::pair<bool, double>> cells = CellsInEllipse(Mesh, t);
    double sum = 0.0;
    int count = 0;
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].first) {
            sum += std::log1p(ChangePercent.at(i) / 100.0);
            ++count;
        }
    return count > 0 ? 100.0 * std::expm1(sum / count) : 0.0;
}

TMeasuredData SurveyData(const TSurvey& Survey, const TInversionMesh& Ground, int t)
{
    TForwardOptions forward;
    forward.Threads = 2;
    const TForwardResult truth = ComputeForwardResponse(InversionGround(Ground, GroundResistivities(Ground, t)), Survey,
                                                        forward);
    std::mt19937 random(static_cast<unsigned>(700 + t));
    std::normal_distribution<double> noise(0.0, Noise);
    TMeasuredData data;
    data.Electrodes = Survey.Electrodes;
    data.Configurations = Survey.Configurations;
    for (size_t i = 0; i < truth.Resistivities.size(); ++i) {
        data.Resistivities.push_back(truth.Resistivities[i] * (1.0 + noise(random)));
        data.GeometricFactors.push_back(truth.GeometricFactors[i]);
    }
    return data;
}

double Seconds(const std::chrono::steady_clock::time_point& Start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

int Iterations(const TSurveyInversion& Inversion)
{
    return static_cast<int>(Inversion.Steps.size()) - 1;
}

void InvertSeries(benchmark::State& state)
{
    const TSurvey survey = Line();
    const TInversionMesh ground = GroundCells();
    std::vector<TMeasuredData> series;
    for (int t = 0; t <= LaterSurveys; ++t)
        series.push_back(SurveyData(survey, ground, t));
    const TInversionMesh mesh = LineMesh(survey, Spacing);
    const auto one = std::chrono::steady_clock::now();
    const TSurveyInversion baseline = InvertSurvey(series.front(), mesh, Options());
    const double single = Seconds(one);
    TTimeLapseInversion lapse;
    double seconds = 0.0;
    std::vector<double> finished; // seconds from the series' start to each step's end (0 the baseline)
    for (auto _ : state) {
        finished.clear();
        const auto start = std::chrono::steady_clock::now();
        TTimeLapseCallbacks callbacks;
        callbacks.Finished = [&](int, const TSurveyInversion&) { finished.push_back(Seconds(start)); };
        lapse = InvertTimeLapse(series, mesh, Options(), callbacks);
        seconds = Seconds(start);
    }
    double worst = 0.0, slowest = 0.0;
    int iterations = 0;
    for (size_t k = 0; k < lapse.Steps.size(); ++k) {
        const TTimeLapseStep& step = lapse.Steps[k];
        const double took = finished.at(k + 1) - finished.at(k);
        worst = std::max(worst, step.Inversion.Steps.back().ChiSquare);
        slowest = std::max(slowest, took);
        iterations += Iterations(step.Inversion);
        std::printf("step %zu: %.2f s, %d iterations, chi-square %.3g, change chi-square %.3g, changed %.1f %%, "
                    "in the ellipse %+.0f %%\n",
                    k + 1, took, Iterations(step.Inversion), step.Inversion.Steps.back().ChiSquare,
                    step.ChangeChiSquare, step.ChangedShare,
                    ChangeInEllipse(mesh, step.ChangePercent, static_cast<int>(k) + 1));
    }
    state.counters["data"] = static_cast<double>(survey.Configurations.size());
    state.counters["cells"] = mesh.Cells();
    state.counters["surveys"] = static_cast<double>(series.size());
    state.counters["one_inversion_seconds"] = single;
    state.counters["one_inversion_iterations"] = Iterations(baseline);
    state.counters["seconds"] = seconds;
    state.counters["over_one_inversion"] = seconds / single;
    state.counters["baseline_seconds"] = finished.front();
    state.counters["steps_seconds"] = seconds - finished.front();
    state.counters["slowest_step_seconds"] = slowest;
    state.counters["step_iterations"] = iterations;
    state.counters["step_responses"] = lapse.Responses;
    state.counters["worst_chi2"] = worst;
}
BENCHMARK(InvertSeries)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
} // namespace lp

BENCHMARK_MAIN();
