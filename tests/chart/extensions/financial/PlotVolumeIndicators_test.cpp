// Close location value (bar positions, volume weighting, accumulation) and
// on-balance volume (direction, missing or short volume, a volume series
// that goes away).

#include "chart/extensions/financial/PlotVolumeIndicators.h"

#include "chart/engine/PlotSeries.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <array>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::YsOf;

// Bars as {open, high, low, close}.
struct TVolumeChart {
    test::TTestChart Chart;
    TOHLCSeries* Prices = new TOHLCSeries(&Chart);
    TLineSeries* Volume = new TLineSeries(&Chart);
    TLineSeries* Output = new TLineSeries(&Chart);

    TVolumeChart(TVolumeLinkedFunction* F, const std::vector<std::array<double, 4>>& Bars,
                 const std::vector<double>& Volumes)
    {
        Chart.AddSeries(Prices);
        Chart.AddSeries(Volume);
        Chart.AddSeries(Output);
        for (size_t I = 0; I < Bars.size(); ++I)
            Prices->AddOHLC(static_cast<double>(I), Bars[I][0], Bars[I][1], Bars[I][2], Bars[I][3]);
        test::AddValues(*Volume, Volumes);
        Output->SetFunction(F);
        Output->SetDataSource(Prices);
    }
};

TEST(CLVFunction, PositionOfTheCloseVolumeAndAccumulation)
{
    auto* F = new TCLVFunction;
    F->SetAccumulate(false);
    TVolumeChart C(F, {{0, 10, 0, 7}, {0, 10, 0, 10}, {0, 10, 0, 0}, {0, 10, 0, 5}, {3, 3, 3, 3}}, {2, 3});
    const std::vector<double> Plain{0.4, 1, -1, 0, 1};
    std::vector<double> Actual = YsOf(*C.Output);
    ASSERT_EQ(Actual.size(), Plain.size());
    for (size_t I = 0; I < Plain.size(); ++I)
        EXPECT_NEAR(Actual[I], Plain[I], 1e-12) << I;
    // Volumes multiply only as far as they go.
    F->SetVolume(C.Volume);
    Actual = YsOf(*C.Output);
    EXPECT_NEAR(Actual[0], 0.8, 1e-12);
    EXPECT_NEAR(Actual[1], 3, 1e-12);
    EXPECT_NEAR(Actual[2], -1, 1e-12);
    F->SetAccumulate(true);
    Actual = YsOf(*C.Output);
    EXPECT_NEAR(Actual[4], 0.8 + 3 - 1 + 0 + 1, 1e-12);
    EXPECT_FALSE(F->IsValidSource(C.Volume));
    EXPECT_TRUE(F->IsValidSource(C.Prices));
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
    F->ReCalculate();
    EXPECT_EQ(C.Output->Count(), 0);
}

} // namespace
} // namespace lp
