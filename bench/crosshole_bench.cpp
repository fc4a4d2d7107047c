// The inversion of cross-hole data and its speed: two holes at x 44 and
// 56 m, 12 electrodes each from 1 m to 12 m deep, the generated cross-hole
// survey (809 data: dipoles of 1 to 3 spacings, a geometric factor of at
// most 5000 m), over a 20 ohm-m block (x 48 to 52 m, 4 m to 8 m deep) in
// 100 ohm-m under flat ground (a model area 100 m wide, 40 m deep, as
// tests/data/section/inversion/crosshole-block.sec draws it); the forward
// computation's response with 3 % seeded noise, inverted with that error
// on the default mesh for buried electrodes over the model area, on two
// threads, meshing included.
//   InvertCrosshole   the time, cells, iterations, chi2, and the image:
//                     the block's cells (centres in it, geometric mean),
//                     the background between the holes (down to their
//                     depth, more than a spacing from the block: its least
//                     and largest value), the log10 correlation with the
//                     truth over the cells between the holes
// pyGIMLi's time on the same data beside the program's: bench/pygimli_crosshole_bench.py.

#include "section/inversion/InversionSetup.h"
#include "section/survey/HoleSurvey.h"
#include "tests/section/inversion/NoisySurveyData.h"

#include <Eigen/Core>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace lp {
namespace {

constexpr double Left = 0.0, Right = 100.0, Depth = 40.0;
constexpr double HoleX1 = 44.0, HoleX2 = 56.0, HoleSpacing = 1.0;
constexpr int HoleElectrodes = 12;
constexpr double BlockLeft = 48.0, BlockRight = 52.0, BlockTop = 4.0, BlockBottom = 8.0;
constexpr double Host = 100.0, BlockRho = 20.0;

// The ground as three columns by three rows, the block the middle cell.
TForwardModel Ground()
{
    TInversionMesh section;
    section.ColumnEdges = {Left, BlockLeft, BlockRight, Right};
    section.Elevations.assign(section.ColumnEdges.size(), 0.0);
    section.RowDepths = {0.0, BlockTop, BlockBottom, Depth};
    section.Bottom = -Depth;
    std::vector<double> rho(9, Host);
    rho[4] = BlockRho;
    return InversionGround(section, rho);
}

bool InBlock(TGeometryPoint Centre, double Margin)
{
    const double depth = -Centre.y;
    return Centre.x > BlockLeft - Margin && Centre.x < BlockRight + Margin && depth > BlockTop - Margin &&
           depth < BlockBottom + Margin;
}

// The image between the holes against the truth.
void ReportImage(benchmark::State& state, const TInversionMesh& Mesh, const std::vector<double>& Resistivities)
{
    double blockLog = 0.0, low = Host * 1e3, high = 0.0;
    int blockCells = 0;
    std::vector<double> image, truth;
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        const TGeometryPoint c = CellCentre(Mesh, cell);
        if (c.x <= HoleX1 || c.x >= HoleX2 || -c.y >= HoleElectrodes * HoleSpacing)
            continue;
        const double value = Resistivities.at(static_cast<size_t>(cell));
        if (InBlock(c, 0.0)) {
            blockLog += std::log(value);
            ++blockCells;
        } else if (!InBlock(c, HoleSpacing)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
        image.push_back(std::log10(value));
        truth.push_back(std::log10(InBlock(c, 0.0) ? BlockRho : Host));
    }
    const auto size = static_cast<Eigen::Index>(image.size());
    const Eigen::ArrayXd i = Eigen::Map<const Eigen::ArrayXd>(image.data(), size) -
                             Eigen::Map<const Eigen::ArrayXd>(image.data(), size).mean();
    const Eigen::ArrayXd t = Eigen::Map<const Eigen::ArrayXd>(truth.data(), size) -
                             Eigen::Map<const Eigen::ArrayXd>(truth.data(), size).mean();
    state.counters["block_ohm_m"] = blockCells > 0 ? std::exp(blockLog / blockCells) : std::nan("");
    state.counters["background_low"] = low;
    state.counters["background_high"] = high;
    state.counters["correlation"] = (i * t).sum() / std::sqrt((i * i).sum() * (t * t).sum());
}

void InvertCrosshole(benchmark::State& state)
{
    const TForwardModel ground = Ground();
    THoleLayout layout;
    layout.Holes = {HoleX1, HoleX2};
    layout.HoleElectrodes = HoleElectrodes;
    layout.HoleSpacing = HoleSpacing;
    const TSurvey survey = MakeHoleSurvey(layout, [](double) { return 0.0; }).Survey;
    TMeasuredData data = test::NoisySurveyData(survey, ground, 11, 0.03, true);
    data.HasElevations = true;
    TSurveyInversionOptions options;
    options.ErrorPercent = 3.0;
    options.Forward.Threads = 2;
    TInversionMesh mesh;
    TSurveyInversion inversion;
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        mesh = InversionMeshFor(data, &ground);
        inversion = InvertSurvey(data, mesh, options);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["data"] = static_cast<double>(data.Size());
    state.counters["cells"] = mesh.Cells();
    state.counters["iterations"] = static_cast<double>(inversion.Steps.size() - 1);
    state.counters["chi2"] = inversion.Steps.back().ChiSquare;
    state.counters["seconds"] = seconds;
    ReportImage(state, mesh, inversion.Resistivities);
}
BENCHMARK(InvertCrosshole)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
} // namespace lp

BENCHMARK_MAIN();
