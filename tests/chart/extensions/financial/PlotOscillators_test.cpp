// Commodity channel index (windows, flat stretches, the constant) and the
// volume oscillator (percentage or difference, averages shorter than the
// source).

#include "chart/extensions/financial/PlotOscillators.h"

#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "tests/chart/extensions/functions/FunctionTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

using test::ExpectNear;
using test::XsOf;
using test::YsOf;

// Bars whose high, low and close all equal the typical price.
struct TCCIChart : test::TFunctionChart<TOHLCSeries> {
    TCCIFunction* F;

    TCCIChart(const std::vector<double>& Typical, double Period) : TFunctionChart(new TCCIFunction)
    {
        F = static_cast<TCCIFunction*>(Output->SeriesFunction());
        F->InternalSetPeriod(Period);
        for (size_t I = 0; I < Typical.size(); ++I)
            Source->AddOHLC(static_cast<double>(I), Typical[I], Typical[I], Typical[I], Typical[I]);
        Refresh();
    }
};

TEST(CCIFunction, WindowsFlatStretchesAndTheConstant)
{
    TCCIChart C({1, 2, 3, 4}, 3);
    ExpectNear(YsOf(*C.Output), {100, 100});
    EXPECT_EQ(XsOf(*C.Output), (std::vector<double>{2, 3}));
    C.F->SetConstant(0);
    ExpectNear(YsOf(*C.Output), {1.5, 1.5});
    // A flat window has no point; the others keep theirs.
    TCCIChart Flat({5, 5, 5, 8}, 3);
    ExpectNear(YsOf(*Flat.Output), {100});
    EXPECT_EQ(XsOf(*Flat.Output), (std::vector<double>{3}));
    EXPECT_EQ(TCCIChart({1, 2}, 3).Output->Count(), 0);
}

struct TPVOChart : test::TFunctionChart<> {
    TPVOFunction* F;

    explicit TPVOChart(const std::vector<double>& Values) : TFunctionChart(new TPVOFunction)
    {
        F = static_cast<TPVOFunction*>(Output->SeriesFunction());
        F->InternalSetPeriod(1);
        F->SetPeriod2(3);
        test::AddValues(*Source, Values);
        Refresh();
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
    EXPECT_EQ(TPVOChart({4}).Output->Count(), 0);
    TPVOChart C({1, 2, 3});
    C.F->SetPeriod2(0);
    EXPECT_EQ(C.Output->Count(), 0);
}

TEST(PVOFunction, AVanishingAverageOverADivisionGivesANullPointNotInfinity)
{
    // Regression: a volume oscillator over a division of two fast lines,
    // the first line's data then changed, held -inf at point 2, where its
    // short average (period 1: the quotient itself) fell to 1e-310 beside
    // a long average of about 0.11; that point is now a null point.
    test::TTestChart Chart;
    auto* First = new TFastLineSeries(&Chart);
    auto* Second = new TFastLineSeries(&Chart);
    auto* Division = new TFastLineSeries(&Chart);
    auto* Oscillator = new TLineSeries(&Chart);
    for (TChartSeries* S : std::initializer_list<TChartSeries*>{First, Second, Division, Oscillator})
        Chart.AddSeries(S);
    test::AddValues(*First, {1, 2, 3, 4});
    test::AddValues(*Second, {1, 1e10, 1e10, 2});
    Division->SetFunction(new TDividePlotFunction);
    Division->SetDataSource(First);
    Division->DataSources().Add(Second);
    auto* F = new TPVOFunction;
    F->InternalSetPeriod(1);
    Oscillator->SetFunction(F);
    F->SetPeriod2(2);
    Oscillator->SetDataSource(Division);
    ASSERT_EQ(Oscillator->Count(), 4);
    // The first source's data change: the quotients at point 2 vanish.
    First->Clear();
    test::AddValues(*First, {1, 2, 1e-300, 0});
    ASSERT_EQ(Oscillator->Count(), 4);
    for (int I = 0; I < Oscillator->Count(); ++I)
        EXPECT_TRUE(Oscillator->IsNull(I) || std::isfinite(Oscillator->YValues()->Value(I))) << I;
    EXPECT_TRUE(Oscillator->IsNull(2));
    EXPECT_FALSE(Oscillator->IsNull(1));
    // A zero short average keeps its stated value: 100 times the long one,
    // (1 / 3)^3 + (2 / 3) 2e-10 / 9 from the quotients 1, 2e-10, 1e-310, 0.
    EXPECT_NEAR(Oscillator->YValues()->Value(3), 100 * (1.0 / 27 + 4e-10 / 27), 1e-12);
}

} // namespace
} // namespace lp
