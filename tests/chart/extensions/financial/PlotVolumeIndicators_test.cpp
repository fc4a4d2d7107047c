// Close location value (bar positions, volume weighting, accumulation) and
// on-balance volume (direction, missing or short volume, a volume series
// that goes away).

#include "chart/extensions/financial/PlotVolumeIndicators.h"

#include "chart/extensions/financial/PlotCandleSeries.h"
#include "tests/chart/extensions/functions/FunctionTestUtil.h"

#include <array>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::ExpectNear;
using test::YsOf;

// Bars {open, high, low, close} on days 0, 1, ... and a volume line.
struct TVolumeChart : test::TFunctionChart<TOHLCSeries> {
    TLineSeries* Volume = new TLineSeries(&Chart);

    TVolumeChart(TVolumeLinkedFunction* F, const std::vector<std::array<double, 4>>& Bars,
                 const std::vector<double>& Volumes)
        : TFunctionChart(F)
    {
        Chart.AddSeries(Volume);
        test::AddValues(*Volume, Volumes);
        for (size_t I = 0; I < Bars.size(); ++I)
            Source->AddOHLC(static_cast<double>(I), Bars[I][0], Bars[I][1], Bars[I][2], Bars[I][3]);
        Refresh();
    }
};

TEST(CLVFunction, PositionOfTheCloseVolumeAndAccumulation)
{
    auto* F = new TCLVFunction;
    F->SetAccumulate(false);
    TVolumeChart C(F, {{0, 10, 0, 7}, {0, 10, 0, 10}, {0, 10, 0, 0}, {0, 10, 0, 5}, {3, 3, 3, 3}}, {2, 3});
    ExpectNear(YsOf(*C.Output), {0.4, 1, -1, 0, 1});
    // Volumes multiply only as far as they go.
    F->SetVolume(C.Volume);
    ExpectNear(YsOf(*C.Output), {0.8, 3, -1, 0, 1});
    F->SetAccumulate(true);
    ExpectNear(YsOf(*C.Output), {0.8, 3.8, 2.8, 2.8, 3.8});
    EXPECT_FALSE(F->IsValidSource(C.Volume));
}

TEST(OBVFunction, AddsOnRisingBarsSubtractsOtherwise)
{
    auto* F = new TOBVFunction;
    // Up, down, then a bar closing at its open: it subtracts.
    TVolumeChart C(F, {{1, 2, 1, 1}, {1, 3, 1, 2}, {2, 2, 1, 1}, {1, 1, 1, 1}}, {100, 200, 150});
    EXPECT_EQ(C.Output->Count(), 0); // no volume yet
    F->SetVolume(C.Volume);
    // The shorter volume series ends the output.
    EXPECT_EQ(YsOf(*C.Output), (std::vector<double>{100, 300, 150}));
    // The volume series goes: the function forgets it.
    delete C.Volume;
    EXPECT_EQ(F->Volume(), nullptr);
    C.Refresh();
    EXPECT_EQ(C.Output->Count(), 0);
}

} // namespace
} // namespace lp
