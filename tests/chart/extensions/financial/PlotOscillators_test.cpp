// Commodity channel index (windows, flat stretches, the constant) and the
// volume oscillator (percentage or difference, averages shorter than the
// source).

#include "chart/extensions/financial/PlotOscillators.h"

#include "chart/engine/PlotSeries.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::YsOf;

void ExpectNear(const std::vector<double>& Actual, const std::vector<double>& Expected)
{
    ASSERT_EQ(Actual.size(), Expected.size());
    for (size_t I = 0; I < Actual.size(); ++I)
        EXPECT_NEAR(Actual[I], Expected[I], 1e-9) << I;
}

// Bars whose high, low and close all equal the typical price.
struct TCCIChart {
    test::TTestChart Chart;
    TOHLCSeries* Prices = new TOHLCSeries(&Chart);
    TLineSeries* Output = new TLineSeries(&Chart);
    TCCIFunction* F = new TCCIFunction(&Chart);

    explicit TCCIChart(const std::vector<double>& Typical, double Period)
    {
        Chart.AddSeries(Prices);
        Chart.AddSeries(Output);
        for (size_t I = 0; I < Typical.size(); ++I)
            Prices->AddOHLC(static_cast<double>(I), Typical[I], Typical[I], Typical[I], Typical[I]);
        F->InternalSetPeriod(Period);
        Output->SetFunction(F);
        Output->SetDataSource(Prices);
    }
};

TEST(CCIFunction, WindowsFlatStretchesAndTheConstant)
{
    TCCIChart C({1, 2, 3, 4}, 3);
    ExpectNear(YsOf(*C.Output), {100, 100});
    EXPECT_EQ(test::XsOf(*C.Output), (std::vector<double>{2, 3}));
    C.F->SetConstant(0);
    ExpectNear(YsOf(*C.Output), {1.5, 1.5});
    // A flat window has no point; the others keep theirs.
    TCCIChart Flat({5, 5, 5, 8}, 3);
    ExpectNear(YsOf(*Flat.Output), {100});
    EXPECT_EQ(test::XsOf(*Flat.Output), (std::vector<double>{3}));
    TCCIChart Short({1, 2}, 3);
    EXPECT_EQ(Short.Output->Count(), 0);
    EXPECT_EQ(TCCIFunction().Period(), 20);
}

struct TPVOChart {
    test::TTestChart Chart;
    TLineSeries* Source = new TLineSeries(&Chart);
    TLineSeries* Output = new TLineSeries(&Chart);
    TPVOFunction* F = new TPVOFunction(&Chart);

    explicit TPVOChart(const std::vector<double>& Values)
    {
        Chart.AddSeries(Source);
        Chart.AddSeries(Output);
        test::AddValues(*Source, Values);
        F->InternalSetPeriod(1);
        F->SetPeriod2(3);
        Output->SetFunction(F);
        Output->SetDataSource(Source);
    }
};

TEST(PVOFunction, PercentOfTheShortAverageOrTheDifference)
{
    TPVOChart C({1, 2, 3});
    ExpectNear(YsOf(*C.Output), {0, 25, 25});
    C.F->SetPercentage(false);
    ExpectNear(YsOf(*C.Output), {0, 50, 75});
    C.F->SetPeriod(0);
    EXPECT_EQ(C.Output->Count(), 0);
}

TEST(PVOFunction, StopsWhereAnAverageEnds)
{
    // One point has no exponential average; a long period of 0 neither.
    TPVOChart One({4});
    EXPECT_EQ(One.Output->Count(), 0);
    TPVOChart C({1, 2, 3});
    C.F->SetPeriod2(0);
    EXPECT_EQ(C.F->Period2(), 0);
    EXPECT_EQ(C.Output->Count(), 0);
}

} // namespace
} // namespace lp
