// The volume between a site's lines: parallel lines of 64 electrodes 2 m
// apart, 8 m between the lines, over a slope: the interpolation, the VTK
// and CSV texts, a slice; the points and the texts' size as counters.

#include "section/site/SiteVolume.h"

#include "tests/section/site/SiteFixtures.h"

#include <benchmark/benchmark.h>

namespace {

using namespace lp;
using namespace lp::site_fixtures;

struct TBenchSite {
    std::vector<TSiteLine> Lines;
    TSiteImages Images;
};

TBenchSite ParallelSite(int Lines)
{
    TBenchSite site;
    std::vector<TValue> values;
    for (int l = 0; l < Lines; ++l) {
        site.Lines.push_back(
            TrackLine("line" + std::to_string(l), 0.0, 8.0 * l, {0.0}, [](double d) { return 20.0 + 0.1 * d; }, 64));
        values.push_back([l](double d, double z) { return 50.0 + d + z + 5.0 * l; });
    }
    site.Images = ImagesOf(site.Lines, values);
    return site;
}

void SiteVolumeInterpolation(benchmark::State& State)
{
    const TBenchSite site = ParallelSite(static_cast<int>(State.range(0)));
    size_t points = 0;
    for (auto _ : State)
        points = InterpolateVolume(site.Lines, site.Images).Points.size();
    State.counters["points"] = static_cast<double>(points);
}
BENCHMARK(SiteVolumeInterpolation)->Arg(6)->Arg(12)->Unit(benchmark::kMillisecond);

void SiteVolumeFiles(benchmark::State& State)
{
    const TBenchSite site = ParallelSite(static_cast<int>(State.range(0)));
    const TSiteVolume volume = InterpolateVolume(site.Lines, site.Images);
    size_t bytes = 0;
    for (auto _ : State)
        bytes = FormatVolumeVtk(volume).size() + FormatVolumeCsv(volume).size();
    State.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(SiteVolumeFiles)->Arg(6)->Arg(12)->Unit(benchmark::kMillisecond);

void SiteVolumeSlice(benchmark::State& State)
{
    const TBenchSite site = ParallelSite(static_cast<int>(State.range(0)));
    for (auto _ : State)
        benchmark::DoNotOptimize(VolumeSlice(site.Lines, site.Images, 3.3));
}
BENCHMARK(SiteVolumeSlice)->Arg(6)->Arg(12)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
