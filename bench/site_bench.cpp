// The cost of tying a site's lines at their crossings: five parallel lines
// 8 m apart and a tie line across them, each 32 electrodes 2 m apart,
// dipole-dipole n = 1 .. 6 (159 data), each line's data the program's 2-D
// response of its own layered ground (100 over 30 ohm-m, the contact from
// 2 m under the first line down to 3.2 m under the fifth, 2.6 m under the
// tie line: 2-D images that disagree at the crossings, as a 3-D ground's
// lines do) with 1 % noise.
//   SiteTies   in one run on the same cores: every line inverted alone
//              (InvertSite of one line: its first pass only), then the
//              site (InvertSite: the first passes and the ties); their
//              times and ratio, and the median |Δlog10 ρ| along the shared
//              verticals before and after the ties.

#include "section/site/CrossingTies.h"
#include "section/site/SiteInversion.h"

#include "tests/section/site/SiteTestLines.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace lp {
namespace {

std::vector<TSiteLine> Site()
{
    std::vector<TSiteLine> lines;
    for (int l = 0; l < 5; ++l) {
        const TForwardModel ground = test::LayeredGround(-30.0, 100.0, 100.0, 2.0 + 0.3 * l, 30.0);
        lines.push_back(SiteLineOf("L" + std::to_string(l + 1) + ".dat",
                                   test::StraightLineData(0.0, 8.0 * l, 0.0, 32, 2.0, ground, 10 + l)));
    }
    const TForwardModel ground = test::LayeredGround(-30.0, 100.0, 100.0, 2.6, 30.0);
    lines.push_back(SiteLineOf("tie.dat",
                               test::StraightLineData(31.0, -15.0, std::numbers::pi / 2, 32, 2.0, ground, 20)));
    return lines;
}

// The median over the crossings of the median |Δlog10 ρ| down the shared vertical.
double CrossingMisfit(const std::vector<TLineImage>& Images, const std::vector<TCrossing>& Crossings)
{
    std::vector<double> medians;
    for (const TCrossing& c : Crossings) {
        const TLineImage &a = Images[c.LineA], &b = Images[c.LineB];
        std::vector<double> misfits;
        for (double depth : ColumnDepths(a.Mesh, c.DistanceA)) {
            const int i = CellBelowGround(a.Mesh, c.DistanceA, depth), j = CellBelowGround(b.Mesh, c.DistanceB, depth);
            if (i >= 0 && j >= 0)
                misfits.push_back(std::fabs(std::log10(a.Resistivities[static_cast<size_t>(i)] /
                                                       b.Resistivities[static_cast<size_t>(j)])));
        }
        std::nth_element(misfits.begin(), misfits.begin() + static_cast<long>(misfits.size() / 2), misfits.end());
        medians.push_back(misfits[misfits.size() / 2]);
    }
    std::nth_element(medians.begin(), medians.begin() + static_cast<long>(medians.size() / 2), medians.end());
    return medians[medians.size() / 2];
}

double Seconds(std::chrono::steady_clock::time_point From)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - From).count();
}

void SiteTies(benchmark::State& state)
{
    const std::vector<TSiteLine> lines = Site();
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::vector<TLineImage> alone;
        for (const TSiteLine& line : lines)
            alone.push_back(InvertSite({line}, {}).Images.at(0));
        const double separate = Seconds(start);
        start = std::chrono::steady_clock::now();
        const TSiteImages site = InvertSite(lines, {});
        const double tied = Seconds(start);
        state.counters["separate_s"] = separate;
        state.counters["site_s"] = tied;
        state.counters["ratio"] = tied / separate;
        state.counters["misfit_before"] = CrossingMisfit(alone, site.Crossings);
        state.counters["misfit_after"] = CrossingMisfit(site.Images, site.Crossings);
        for (size_t l = 0; l < lines.size(); ++l)
            std::printf("%s: chi-square %.3g alone, %.3g tied; %zu iterations alone\n", lines[l].Name.c_str(),
                        alone[l].ChiSquare, site.Images[l].ChiSquare, alone[l].Inversion.Steps.size() - 1);
    }
}
BENCHMARK(SiteTies)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
} // namespace lp

BENCHMARK_MAIN();
