// Commodity channel index (windows, flat stretches, the constant) and the
// volume oscillator (percentage or difference, averages shorter than the
// source).

#include "chart/extensions/financial/PlotOscillators.h"

#include "chart/extensions/financial/PlotCandleSeries.h"
#include "tests/chart/extensions/functions/FunctionTestUtil.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace lp
